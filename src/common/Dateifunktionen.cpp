#include "common/Dateifunktionen.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>

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
  const QString p = QDir::toNativeSeparators(pfad);
  switch (fehlerNr) {
    case 0:
      return {};
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return {DateiFehlerNr::DatentraegerVoll, QStringLiteral("Auf dem Datenträger ist nicht genug Platz frei: ") + p};
    case EFBIG:
      return {DateiFehlerNr::DatentraegerVoll, QStringLiteral("Die Datei ist zu groß für den Datenträger: ") + p};
    case EACCES:
    case EPERM:
      return {DateiFehlerNr::KeineBerechtigung, QStringLiteral("Keine Berechtigung zum Schreiben: ") + p};
    case EROFS:
      return {DateiFehlerNr::KeineBerechtigung, QStringLiteral("Der Datenträger ist schreibgeschützt: ") + p};
    case ENOTDIR:
      return {DateiFehlerNr::PfadNichtGefunden,
              QStringLiteral("Ein Teil des Pfades ist eine Datei und kein Ordner: ") + p};
    case ENOENT:
      return {DateiFehlerNr::PfadNichtGefunden, QStringLiteral("Pfad nicht gefunden: ") + p};
    case EISDIR:
      return {DateiFehlerNr::ZugriffsFehler, QStringLiteral("An dieser Stelle steht ein Ordner: ") + p};
    case EEXIST:
      return {DateiFehlerNr::DateiVorhanden, QStringLiteral("Die Datei ist bereits vorhanden: ") + p};
    case EIO:
      return {DateiFehlerNr::EinAusgabeFehler, QStringLiteral("Ein-/Ausgabefehler des Datenträgers: ") + p};
    case ENAMETOOLONG:
      return {DateiFehlerNr::ZugriffsFehler, QStringLiteral("Der Dateiname ist zu lang: ") + p};
    default:
      return {DateiFehlerNr::ZugriffsFehler, QStringLiteral("Pfad-/Dateizugriffsfehler (%1): ")
                                                    .arg(QString::fromLocal8Bit(std::strerror(fehlerNr))) +
                                                p};
  }
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
