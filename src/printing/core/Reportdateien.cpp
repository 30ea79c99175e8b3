#include "printing/core/Reportdateien.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "platform/report/core/Reportengine.h"
#include "platform/settings/IniDatei.h"

namespace {

// The first of stem + suffix (when `auchOhneNummer`), stem + 1 + suffix, stem + 2 + suffix, ... for
// which `frei` holds.
template <typename Frei>
QString FreierName(const QString& stamm, const QString& endung, bool auchOhneNummer, Frei frei) {
  if (auchOhneNummer && frei(stamm + endung)) return stamm + endung;
  for (qint64 i = 1;; ++i) {
    const QString name = stamm + QString::number(i) + endung;
    if (frei(name)) return name;
  }
}

}  // namespace

QStringList Reportdateien(const QString& reportname, const QString& verzeichnis) {
  QDir ordner(verzeichnis);
  ordner.setNameFilters({reportname + QStringLiteral("*.LST")});
  // Without QDir::CaseSensitive the pattern ignores letter case.
  return ordner.entryList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
}

QString ReportDateiname(const QString& gespeicherterName) {
  // Stored names may come from Windows: a folder in front is dropped, whichever separator it uses.
  const qsizetype trenner =
      std::max(gespeicherterName.lastIndexOf(QLatin1Char('\\')), gespeicherterName.lastIndexOf(QLatin1Char('/')));
  return gespeicherterName.mid(trenner + 1).trimmed();
}

QString ReportdateiFinden(const QString& gespeicherterName, const QString& verzeichnis) {
  const QString name = ReportDateiname(gespeicherterName);
  if (name.isEmpty()) return {};
  const QDir ordner(verzeichnis);
  if (QFileInfo(ordner.filePath(name)).isFile()) return QDir::toNativeSeparators(ordner.filePath(name));
  const QStringList alle = ordner.entryList(QDir::Files, QDir::Name);
  for (const QString& datei : alle)
    if (datei.compare(name, Qt::CaseInsensitive) == 0) return QDir::toNativeSeparators(ordner.filePath(datei));
  return {};
}

QString NeuerReportname(const QString& reportname, const QString& verzeichnis) {
  return FreierName(reportname, QStringLiteral(".LST"), false,
                    [&verzeichnis](const QString& name) { return ReportdateiFinden(name, verzeichnis).isEmpty(); });
}

QString ReportdateiUebernehmen(const QString& datei, const QString& verzeichnis, QString& fehler) {
  const QFileInfo quelle(datei);
  const QDir ordner(verzeichnis);
  const QString hier = ordner.canonicalPath();
  if (!hier.isEmpty() && quelle.absoluteDir().canonicalPath() == hier) return QDir::toNativeSeparators(quelle.absoluteFilePath());
  const QString endung = quelle.suffix().isEmpty() ? QString() : QLatin1Char('.') + quelle.suffix();
  const QString stamm = quelle.fileName().left(quelle.fileName().size() - endung.size());
  QString ziel;
  FreierName(stamm, endung, true, [&](const QString& name) {
    if (!ReportdateiFinden(name, verzeichnis).isEmpty()) return false;
    ziel = ordner.filePath(name);
    // QFile::copy never replaces a file; one that appeared meanwhile makes the next name the try.
    QFile kopie(datei);
    if (kopie.copy(ziel)) return true;
    if (QFileInfo::exists(ziel)) return false;
    fehler = QStringLiteral("Die Reportdatei ") + QDir::toNativeSeparators(datei) +
             QStringLiteral(" kann nicht ins Programmverzeichnis kopiert werden.\r") + kopie.errorString();
    ziel.clear();
    return true;
  });
  return QDir::toNativeSeparators(ziel);
}

QString ReportBeschreibung(const QString& datei) {
  const QString ohne = QStringLiteral("ohne Beschreibung");
  const std::optional<IniDatei> ini = IniDatei::Laden(datei);
  if (!ini) return ohne;
  const QString text = ini->Wert(QStringLiteral("Description"), QStringLiteral("Text")).trimmed();
  return text.isEmpty() || text == QLatin1String("? (default)") ? ohne : text;
}

int ReportProjekttyp(const QString& datei, int bisher) {
  const QString endung = datei.right(4).toUpper();
  if (endung == QLatin1String(".LST")) return Report::Liste;
  if (endung == QLatin1String(".CRD")) return Report::Karteikarte;
  if (endung == QLatin1String(".LBL")) return Report::Etikett;
  return bisher;
}
