#include "common/Dateifunktionen.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>

#include "common/Programmzustand.h"
#include "common/SichereDateien.h"

namespace {

bool IstTrenner(QChar c) { return c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QDir::separator(); }

qsizetype LetzterTrenner(const QString& pfad) {
  for (qsizetype i = pfad.size() - 1; i >= 0; --i)
    if (IstTrenner(pfad[i])) return i;
  return -1;
}

}  // namespace

QString DateinameErmitteln(const QString& pfad) { return pfad.mid(LetzterTrenner(pfad) + 1); }

QString VerzeichnisErmitteln(const QString& pfad) {
  qsizetype pos = LetzterTrenner(pfad);
  if (pos < 0) pos = pfad.lastIndexOf(QLatin1Char(':'));
  if (pos < 0) return Programmzustand::Instanz().ProgrammVerzeichnis();
  return pfad.left(pos + 1);
}

QString BackslashAnhaengen(const QString& pfad) {
  if (pfad.isEmpty() || IstTrenner(pfad.back())) return pfad;
  return pfad + QDir::separator();
}

bool DateiVorhanden(const QString& pfad) {
  if (pfad.isEmpty()) return false;
  const QFileInfo info(pfad);
  const QString name = info.fileName();
  const bool muster = name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
  if (!muster && info.isFile()) return true;
  const QDir ordner = info.absoluteDir();
  if (name.isEmpty() || !ordner.exists()) return false;
  const QRegularExpression ausdruck(QRegularExpression::wildcardToRegularExpression(name),
                                    QRegularExpression::CaseInsensitiveOption);
  const QStringList dateien = ordner.entryList(QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& datei : dateien)
    if (ausdruck.match(datei).hasMatch()) return true;
  return false;
}

DateiFehler DateiFehlerAusSystem(int fehlerNr, const QString& pfad) {
  const Systemfehler f = SystemfehlerBeschreiben(fehlerNr, pfad);
  return {f.nummer, f.text};
}

DateiFehler UnvollstaendigGeschrieben(const QString& pfad, qint64 geschrieben, qint64 soll) {
  return {DateiFehlerNr::DatentraegerVoll, QStringLiteral("Die Datei wurde nicht vollständig geschrieben (%1 von %2 Bytes): ")
                                               .arg(geschrieben)
                                               .arg(soll) +
                                               QDir::toNativeSeparators(pfad)};
}

int TextdateiSchreiben(const QString& text, const QString& datei, QString* beschreibung) {
  auto fehler = [&](const DateiFehler& f) {
    if (beschreibung) *beschreibung = f.Beschreibung;
    return f.Nummer;
  };
  if (datei.isEmpty()) return fehler({DateiFehlerNr::DateiNichtGefunden, QStringLiteral("Kein Dateiname angegeben.")});
  const QFileInfo info(datei);
  if (info.isDir()) return fehler(DateiFehlerAusSystem(EISDIR, datei));
  if (DateiFehler f = SichereDateien::Ersetzen(datei, text.toUtf8())) return fehler(f);
  if (beschreibung) beschreibung->clear();
  return 0;
}
