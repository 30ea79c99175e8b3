#include "platform/report/core/PdfReportengine.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cerrno>
#include <climits>

#include "platform/db/Systemfehler.h"
#include "platform/report/core/Reportpruefung.h"
#include "platform/report/core/Reportvorlage.h"
#include "platform/report/core/Seitenaufbau.h"

namespace {

// A definition made before the print start declares a name: kept in order for the designer.
void Deklarieren(QList<Reportdefinition>& liste, const QString& name, const QVariant& wert, Report::Typ typ) {
  for (Reportdefinition& d : liste)
    if (d.name == name) {
      d.wert = wert;
      d.typ = typ;
      return;
    }
  liste << Reportdefinition{name, wert, typ, {}};
}

}  // namespace

PdfReportengine::PdfReportengine() {
  m_optionen.insert(Report::OptionZiel, Report::ZielVorschau);
  m_optionen.insert(Report::OptionKopien, 1);
  m_optionen.insert(Report::OptionLetzteSeite, INT_MAX);
}

PdfReportengine::~PdfReportengine() = default;

int PdfReportengine::Fehler(Ausgabefehler fehler, const QString& detail) {
  m_fehlerdetail = detail;
  return Ergebniscode(fehler);
}

QString PdfReportengine::Dateiendung(int projektTyp) {
  return projektTyp == Report::Liste ? QStringLiteral("lst") : QString();
}

int PdfReportengine::DateiAuswaehlen(QObject*, const QString&, int, QString&) { return Report::Abgebrochen; }

void PdfReportengine::SortierungenBeginnen() { m_definitionen.sortierungen.clear(); }
void PdfReportengine::SortierungDefinieren(const QString& kennung, const QString& text) {
  m_definitionen.sortierungen << std::pair{kennung, text};
}

void PdfReportengine::FelderBeginnen() {
  m_felder.clear();
  m_definitionen.felder.clear();
}
void PdfReportengine::VariablenBeginnen() {
  m_variablen.clear();
  m_definitionen.variablen.clear();
}

void PdfReportengine::VariableDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) {
  m_variablen.insert(name, wert);
  if (!m_job) Deklarieren(m_definitionen.variablen, name, wert, typ);
}

void PdfReportengine::FeldDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) {
  m_felder.insert(name, wert);
  if (!m_job) Deklarieren(m_definitionen.felder, name, wert, typ);
}

void PdfReportengine::SummeSperren(const QString& name, const QString& grund) {
  for (Reportdefinition& d : m_definitionen.felder)
    if (d.name == name) d.summeGesperrt = grund;
}

QVariant PdfReportengine::Wert(const QString& name) const {
  const auto f = m_felder.constFind(name);
  if (f != m_felder.constEnd()) return *f;
  return m_variablen.value(name);
}

int PdfReportengine::DruckStarten(int projektTyp, const QString& datei, QObject*, const QString&) {
  m_job = false;
  m_abgebrochen = false;
  m_pdfDatei.clear();
  m_aufbau.reset();
  m_layout.reset();
  m_dokument = {};
  m_fehlerdetail.clear();
  // Print options belong to one job.
  m_optionen.insert(Report::OptionZiel, Report::ZielVorschau);
  m_optionen.insert(Report::OptionKopien, 1);
  if (projektTyp != Report::Liste)
    return Fehler(Ausgabefehler::FalscherProjekttyp, QStringLiteral("Es gibt nur Listen-Reports (.LST)."));
  const Reportdatei::Ergebnis gelesen = Reportdatei::Laden(datei);
  switch (gelesen.fehler) {
    case Reportdatei::Lesefehler::FehltDatei: return Fehler(Ausgabefehler::DateiFehlt, QDir::toNativeSeparators(datei));
    case Reportdatei::Lesefehler::Unlesbar: return Fehler(Ausgabefehler::DateiUnlesbar, QDir::toNativeSeparators(datei));
    case Reportdatei::Lesefehler::Format:
      return Fehler(Ausgabefehler::DateiFormat, QDir::toNativeSeparators(datei) + QStringLiteral(": ") + gelesen.beschreibung);
    case Reportdatei::Lesefehler::Keiner: break;
  }
  const Reportlayout& layout = *gelesen.layout;
  const Reportpruefung pruefung = ReportPruefen(
      layout, [this](const QString& n) { return m_felder.contains(n); },
      [this](const QString& n) { return m_variablen.contains(n); },
      [this](const QString& n) { return m_definitionen.SummeGesperrt(n); });
  if (!pruefung.Ok()) return Fehler(*pruefung.fehler, pruefung.beschreibung);
  m_benutzteFelder = pruefung.felder;
  m_benutzteVariablen = pruefung.variablen;

  m_layout = layout;
  m_aufbau = std::make_unique<Seitenaufbau>(layout, [this](const QString& name) { return Wert(name); });
  m_job = true;
  return Report::Ok;
}

int PdfReportengine::Designer(QObject*, const QString&, int, const QString& datei) {
  m_fehlerdetail = QDir::toNativeSeparators(datei);
  return QFileInfo(datei).isFile() ? Report::KeinDesigner : Report::KeinProjekt;
}

void PdfReportengine::ExportParameterSetzen(const QString&, const QString& schluessel, const QString& wert) {
  m_export.insert(schluessel, wert);
}

void PdfReportengine::ExportFormatSetzen(const QString&) {}

int PdfReportengine::OptionenDialog(QObject*, const QString&, const QString&) { return Report::Abgebrochen; }

void PdfReportengine::SeiteNeuEinrichten(const QPageLayout& seite) {
  // Nothing is laid out before the first row: until then the report can take another page.
  if (!m_layout || !m_aufbau || m_aufbau->Seiten() != 0) return;
  m_layout->papier = seite.pageSize().id();
  m_layout->ausrichtung = seite.orientation();
  m_aufbau = std::make_unique<Seitenaufbau>(*m_layout, [this](const QString& n) { return Wert(n); });
}

int PdfReportengine::DruckOption(int option) { return m_optionen.value(option, 0); }

int PdfReportengine::DruckOptionSetzen(int option, int wert) {
  m_optionen.insert(option, wert);
  return Report::Ok;
}

QString PdfReportengine::Sortierung() { return m_layout ? m_layout->sortierung : QString(); }

int PdfReportengine::AktuelleSeite() { return m_aufbau ? m_aufbau->Seiten() : 0; }

bool PdfReportengine::FeldBenutzt(const QString& name) { return m_benutzteFelder.contains(name); }
bool PdfReportengine::VariableBenutzt(const QString& name) { return m_benutzteVariablen.contains(name); }

int PdfReportengine::BoxTextSetzen(const QString&, int) { return m_abgebrochen ? Report::Abgebrochen : Report::Ok; }

int PdfReportengine::Drucken() {
  if (!m_job) return Report::Ok;
  if (m_aufbau->Seiten() == 0 || m_aufbau->UmbruchFaellig()) m_aufbau->SeiteBeginnen();
  return Report::Ok;
}

int PdfReportengine::FelderDrucken() {
  if (!m_job) return Report::Ok;
  return m_aufbau->ZeileSetzen();
}

int PdfReportengine::FelderEnde() {
  if (!m_job) return Report::Ok;
  return m_aufbau->EndeSetzen();
}

void PdfReportengine::DruckAbbrechen() { m_abgebrochen = true; }

int PdfReportengine::DruckEnde(int) {
  if (!m_job) return Report::Ok;
  m_job = false;
  std::unique_ptr<Seitenaufbau> aufbau = std::move(m_aufbau);
  if (m_abgebrochen) return Report::Ok;   // nothing goes out of a cancelled job
  if (!aufbau->EndeGesetzt() && aufbau->Seiten() == 0) aufbau->SeiteBeginnen();
  m_dokument = aufbau->DokumentUebernehmen();
  switch (m_optionen.value(Report::OptionZiel)) {
    case Report::ZielPdf: return PdfSchreiben();
    case Report::ZielDrucker: return DruckerAusgeben();
    default: return Report::Ok;   // the preview shows the pages
  }
}

int PdfReportengine::DruckerAusgeben() {
  return Fehler(Ausgabefehler::KeinDrucker, QStringLiteral("Auf diesem Rechner ist kein Drucker eingerichtet."));
}

int PdfReportengine::PdfSchreiben() {
  const QString name = m_export.value(QStringLiteral("Export.File")).trimmed();
  if (name.isEmpty()) return Fehler(Ausgabefehler::PdfOhneName, QStringLiteral("Für die PDF-Ausgabe ist kein Dateiname angegeben."));
  const QString pfad = m_export.value(QStringLiteral("Export.Path")).trimmed();
  const QString datei = QDir::toNativeSeparators(pfad.isEmpty() || QDir::isAbsolutePath(name) ? name : QDir(pfad).filePath(name));
  if (!QDir::isAbsolutePath(datei))
    return Fehler(Ausgabefehler::PdfStart,
                  QStringLiteral("Die PDF-Datei %1 ist ohne vollständigen Pfad angegeben; sie landete in dem Ordner, in "
                                 "dem das Programm gestartet wurde.\rBitte geben Sie die Datei mit ihrem Ordner an.")
                      .arg(datei));
  // A typed or derived name may hit the database, a SEPA file or a report: only an earlier PDF is replaced.
  if (QFileInfo(datei).isFile()) {
    QFile vorhanden(datei);
    if (!vorhanden.open(QIODevice::ReadOnly) || vorhanden.read(5) != "%PDF-")
      return Fehler(Ausgabefehler::PdfStart,
                    QStringLiteral("Die Datei %1 ist keine PDF-Datei und wird nicht überschrieben.\rBitte wählen Sie für die "
                                   "PDF-Ausgabe einen anderen Dateinamen.")
                        .arg(datei));
  }
  // Drawn in memory, then written beside the target under a temporary name and renamed: a failure never
  // truncates the last file. Unbuffered, because QSaveFile does not see a write that fails while its
  // buffer is flushed at commit (a full disk would put a truncated file in place as a success).
  QByteArray inhalt;
  {
    QBuffer puffer(&inhalt);
    puffer.open(QIODevice::WriteOnly);
    QPdfWriter schreiber(&puffer);
    schreiber.setResolution(int(Druckdokument::Aufloesung));
    schreiber.setPageLayout(m_dokument.seitenlayout);
    schreiber.setTitle(m_dokument.titel);
    schreiber.setCreator(QStringLiteral("Tamo-SEPA"));
    QPainter maler;
    if (!maler.begin(&schreiber)) return Fehler(Ausgabefehler::PdfStart, datei);
    for (int i = 0; i < m_dokument.seiten.size(); ++i) {
      if (i > 0) schreiber.newPage();
      m_dokument.SeiteZeichnen(maler, i, Druckdokument::Aufloesung);
    }
    if (!maler.end()) return Fehler(Ausgabefehler::PdfSchreiben, datei);
  }
  // The reason from the system's error number, in German (Qt's own text is English, or "Unknown error").
  const auto grund = [&datei](int nummer) {
    // QSaveFile refuses a folder of the name without an error number.
    if (nummer == 0 && QFileInfo(datei).isDir()) nummer = EISDIR;
    if (nummer != 0) return SystemfehlerBeschreiben(nummer, datei).text;
    return QStringLiteral("Die Datei konnte nicht vollständig geschrieben werden: ") + datei +
           QStringLiteral("\rBitte prüfen Sie, ob auf dem Datenträger Platz ist und Sie in den Ordner schreiben dürfen, "
                          "und versuchen Sie es dann noch einmal.");
  };
  QSaveFile ziel(datei);
  errno = 0;
  if (!ziel.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return Fehler(Ausgabefehler::PdfStart, grund(errno));
  errno = 0;
  if (ziel.write(inhalt) != inhalt.size()) {
    const int nummer = errno;
    ziel.cancelWriting();
    return Fehler(Ausgabefehler::PdfSchreiben, grund(nummer));
  }
  errno = 0;
  if (!ziel.commit()) return Fehler(Ausgabefehler::PdfSchreiben, grund(errno));
  m_pdfDatei = datei;
  return Report::Ok;
}

void PdfReportengine::VorschauAnzeigen(const QString&, const QString&, QObject*) {}

void PdfReportengine::VorschauDateienLoeschen(const QString&, const QString&) { m_dokument = {}; }
