#include "common/Dateifunktionen.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include "common/Programmzustand.h"

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

int TextdateiSchreiben(const QString& text, const QString& datei, QString* beschreibung) {
  auto fehler = [&](int nummer, const QString& meldung) {
    if (beschreibung) *beschreibung = meldung;
    return nummer;
  };
  if (datei.isEmpty()) return fehler(DateiFehlerNr::DateiNichtGefunden, QStringLiteral("Kein Dateiname angegeben."));
  const QFileInfo info(datei);
  if (!info.absoluteDir().exists())
    return fehler(DateiFehlerNr::PfadNichtGefunden, QStringLiteral("Pfad nicht gefunden: ") + info.absolutePath());
  if (info.isDir()) return fehler(DateiFehlerNr::ZugriffsFehler, QStringLiteral("Pfad-/Dateizugriffsfehler: ") + datei);

  QSaveFile datei_(datei);
  if (!datei_.open(QIODevice::WriteOnly)) {
    const int nummer = datei_.error() == QFileDevice::PermissionsError ? DateiFehlerNr::KeineBerechtigung
                                                                       : DateiFehlerNr::ZugriffsFehler;
    return fehler(nummer, datei_.errorString());
  }
  const QByteArray bytes = text.toUtf8();
  if (datei_.write(bytes) != bytes.size()) {
    const QString meldung = datei_.errorString();
    datei_.cancelWriting();
    return fehler(DateiFehlerNr::DatentraegerVoll, meldung);
  }
  if (!datei_.commit()) return fehler(DateiFehlerNr::ZugriffsFehler, datei_.errorString());
  if (beschreibung) beschreibung->clear();
  return 0;
}
