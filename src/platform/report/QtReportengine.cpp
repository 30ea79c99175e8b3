#include "platform/report/QtReportengine.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSaveFile>

#include <cerrno>

#include <climits>

#include "platform/report/Ausgabeeinstellungen.h"
#include "platform/report/Reportpruefung.h"
#include "platform/db/Systemfehler.h"
#include "platform/report/Reportvorlage.h"
#include "platform/report/Seitenaufbau.h"
#include "platform/report/Vorschauzoom.h"
#include "platform/ui/Dateidialog.h"

namespace {

QtReportengine::DesignerFunktion& DesignerHaken() {
  static QtReportengine::DesignerFunktion f;
  return f;
}
QString& Umleitung() {
  static QString pfad;
  return pfad;
}
std::function<void(QPrintPreviewDialog&)>& VorschauHaken() {
  static std::function<void(QPrintPreviewDialog&)> f;
  return f;
}
std::function<int(QDialog&)>& DialogHaken() {
  static std::function<int(QDialog&)> f;
  return f;
}

std::optional<bool>& DruckerAngenommen() {
  static std::optional<bool> vorhanden;
  return vorhanden;
}

QtReportengine::Druckerstoerung& Stoerung() {
  static QtReportengine::Druckerstoerung s;
  return s;
}

bool MitFenstern() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

int DialogZeigen(QDialog& dialog) { return DialogHaken() ? DialogHaken()(dialog) : dialog.exec(); }

// A definition made before the print start declares a name: kept in order for the designer.
void Deklarieren(QList<Reportdefinition>& liste, const QString& name, const QVariant& wert, Report::Typ typ) {
  for (Reportdefinition& d : liste)
    if (d.name == name) {
      d.wert = wert;
      d.typ = typ;
      return;
    }
  liste << Reportdefinition{name, wert, typ};
}

}  // namespace

QtReportengine::QtReportengine() {
  m_optionen.insert(Report::OptionZiel, Report::ZielVorschau);
  m_optionen.insert(Report::OptionKopien, 1);
  m_optionen.insert(Report::OptionLetzteSeite, INT_MAX);
}

QtReportengine::~QtReportengine() { BoxSchliessen(); }

void QtReportengine::DesignerSetzen(DesignerFunktion designer) { DesignerHaken() = std::move(designer); }
void QtReportengine::DruckerUmleiten(const QString& pdfDatei) { Umleitung() = pdfDatei; }
void QtReportengine::VorschauHakenSetzen(std::function<void(QPrintPreviewDialog&)> haken) {
  VorschauHaken() = std::move(haken);
}
void QtReportengine::DialogHakenSetzen(std::function<int(QDialog&)> haken) { DialogHaken() = std::move(haken); }
void QtReportengine::DruckerStoerungSetzen(Druckerstoerung stoerung) { Stoerung() = stoerung; }
void QtReportengine::DruckerVorhandenSetzen(std::optional<bool> vorhanden) { DruckerAngenommen() = vorhanden; }

QPrinter& QtReportengine::Drucker() {
  if (!m_drucker) m_drucker = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *m_drucker;
}

int QtReportengine::Fehler(Ausgabefehler fehler, const QString& detail) {
  m_fehlerdetail = detail;
  return Ergebniscode(fehler);
}

QString QtReportengine::Dateiendung(int projektTyp) {
  return projektTyp == Report::Liste ? QStringLiteral("lst") : QString();
}

int QtReportengine::DateiAuswaehlen(QWidget* eltern, const QString& titel, int projektTyp, QString& datei) {
  if (!MitFenstern()) return Report::Abgebrochen;
  const QFileInfo muster(datei);
  const std::optional<QString> gewaehlt = Dateidialog::DateiOeffnen(
      eltern, titel, muster.absolutePath(),
      QStringLiteral("Reportdateien (*.%1)").arg(Dateiendung(projektTyp).isEmpty() ? QStringLiteral("*")
                                                                                : Dateiendung(projektTyp)));
  if (!gewaehlt || gewaehlt->isEmpty()) return Report::Abgebrochen;
  datei = *gewaehlt;
  return Report::Ok;
}

void QtReportengine::SortierungenBeginnen() { m_definitionen.sortierungen.clear(); }
void QtReportengine::SortierungDefinieren(const QString& kennung, const QString& text) {
  m_definitionen.sortierungen << std::pair{kennung, text};
}

void QtReportengine::FelderBeginnen() {
  m_felder.clear();
  m_definitionen.felder.clear();
}
void QtReportengine::VariablenBeginnen() {
  m_variablen.clear();
  m_definitionen.variablen.clear();
}

void QtReportengine::VariableDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) {
  m_variablen.insert(name, wert);
  if (!m_job) Deklarieren(m_definitionen.variablen, name, wert, typ);
}

void QtReportengine::FeldDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) {
  m_felder.insert(name, wert);
  if (!m_job) Deklarieren(m_definitionen.felder, name, wert, typ);
}

void QtReportengine::SummeSperren(const QString& name, const QString& grund) {
  for (Reportdefinition& d : m_definitionen.felder)
    if (d.name == name) d.summeGesperrt = grund;
}

QVariant QtReportengine::Wert(const QString& name) const {
  const auto f = m_felder.constFind(name);
  if (f != m_felder.constEnd()) return *f;
  return m_variablen.value(name);
}

int QtReportengine::DruckStarten(int projektTyp, const QString& datei, QWidget* eltern, const QString& boxTitel) {
  BoxSchliessen();
  m_job = false;
  m_abgebrochen = false;
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
  m_boxEltern = eltern;
  m_boxTitel = boxTitel;
  m_boxProzent = -1;
  return Report::Ok;
}

int QtReportengine::Designer(QWidget* eltern, const QString& titel, int projektTyp, const QString& datei) {
  if (DesignerHaken()) return DesignerHaken()(eltern, titel, projektTyp, datei, m_definitionen);
  m_fehlerdetail = QDir::toNativeSeparators(datei);
  return QFileInfo(datei).isFile() ? Report::KeinDesigner : Report::KeinProjekt;
}

void QtReportengine::ExportParameterSetzen(const QString&, const QString& schluessel, const QString& wert) {
  m_export.insert(schluessel, wert);
}

void QtReportengine::ExportFormatSetzen(const QString&) {}

int QtReportengine::OptionenDialog(QWidget* eltern, const QString& titel, const QString& text) {
  if (!MitFenstern()) return Report::Abgebrochen;
  QPrinter& drucker = Drucker();
  if (m_layout) drucker.setPageLayout(QPageLayout(QPageSize(m_layout->papier), m_layout->ausrichtung, QMarginsF()));
  Ausgabeeinstellungen dialog(drucker, titel, text, eltern);
  dialog.ZielSetzen(m_optionen.value(Report::OptionZiel));
  dialog.KopienSetzen(std::max(1, m_optionen.value(Report::OptionKopien, 1)));
  const QString pfad = m_export.value(QStringLiteral("Export.Path"));
  const QString name = m_export.value(QStringLiteral("Export.File"));
  if (!name.isEmpty()) dialog.PdfDateiSetzen(pfad.isEmpty() ? name : QDir(pfad).filePath(name));
  if (DialogZeigen(dialog) != QDialog::Accepted) return Report::Abgebrochen;
  m_optionen.insert(Report::OptionZiel, dialog.Ziel());
  m_optionen.insert(Report::OptionKopien, dialog.Ziel() == Report::ZielDrucker ? dialog.Kopien() : 1);
  if (dialog.Ziel() == Report::ZielPdf) {
    m_export.insert(QStringLiteral("Export.Path"), QString());
    m_export.insert(QStringLiteral("Export.File"), dialog.PdfDatei());
  }
  // A page set up in the dialog lays the report out anew (nothing is laid out before the first row).
  if (m_layout && m_aufbau && m_aufbau->Seiten() == 0) {
    const QPageLayout seite = drucker.pageLayout();
    m_layout->papier = seite.pageSize().id();
    m_layout->ausrichtung = seite.orientation();
    m_aufbau = std::make_unique<Seitenaufbau>(*m_layout, [this](const QString& n) { return Wert(n); });
  }
  return Report::Ok;
}

int QtReportengine::DruckOption(int option) { return m_optionen.value(option, 0); }

int QtReportengine::DruckOptionSetzen(int option, int wert) {
  m_optionen.insert(option, wert);
  return Report::Ok;
}

QString QtReportengine::Sortierung() { return m_layout ? m_layout->sortierung : QString(); }

int QtReportengine::AktuelleSeite() { return m_aufbau ? m_aufbau->Seiten() : 0; }

bool QtReportengine::FeldBenutzt(const QString& name) { return m_benutzteFelder.contains(name); }
bool QtReportengine::VariableBenutzt(const QString& name) { return m_benutzteVariablen.contains(name); }

int QtReportengine::BoxTextSetzen(const QString& text, int prozent) {
  if (m_abgebrochen) return Report::Abgebrochen;
  // Made with the first row, not at the start: its timer would show it over the output settings.
  if (!m_box && m_job && MitFenstern()) {
    m_box = new QProgressDialog(m_boxEltern);
    m_box->setWindowTitle(m_boxTitel);
    auto* abbrechen = new QPushButton(QStringLiteral("Abbrechen"), m_box);
    abbrechen->setAutoDefault(false);   // Enter pressed for another window does not cancel the print
    m_box->setCancelButton(abbrechen);
    m_box->setWindowModality(m_boxEltern ? Qt::WindowModal : Qt::ApplicationModal);
    m_box->setMinimumDuration(400);
    m_box->setRange(0, 100);
    m_box->setAutoClose(false);
    m_box->setAutoReset(false);
  }
  if (!m_box) return Report::Ok;
  if (m_box->wasCanceled()) {
    m_abgebrochen = true;
    return Report::Abgebrochen;
  }
  // Once per percent: the box lets the window system run, which costs time on every call.
  if (prozent != m_boxProzent) {
    m_boxProzent = prozent;
    m_box->setLabelText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    m_box->setValue(prozent);
    if (m_box->wasCanceled()) {
      m_abgebrochen = true;
      return Report::Abgebrochen;
    }
  }
  return Report::Ok;
}

int QtReportengine::Drucken() {
  if (!m_job) return Report::Ok;
  if (m_aufbau->Seiten() == 0 || m_aufbau->UmbruchFaellig()) m_aufbau->SeiteBeginnen();
  return Report::Ok;
}

int QtReportengine::FelderDrucken() {
  if (!m_job) return Report::Ok;
  return m_aufbau->ZeileSetzen();
}

int QtReportengine::FelderEnde() {
  if (!m_job) return Report::Ok;
  return m_aufbau->EndeSetzen();
}

void QtReportengine::DruckAbbrechen() { m_abgebrochen = true; }

void QtReportengine::BoxSchliessen() {
  if (m_box) {
    m_box->close();
    delete m_box;
  }
  m_box = nullptr;
}

int QtReportengine::DruckEnde(int) {
  BoxSchliessen();
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

int QtReportengine::PdfSchreiben() {
  const QString name = m_export.value(QStringLiteral("Export.File")).trimmed();
  if (name.isEmpty()) return Fehler(Ausgabefehler::PdfOhneName, QStringLiteral("Für die PDF-Ausgabe ist kein Dateiname angegeben."));
  const QString pfad = m_export.value(QStringLiteral("Export.Path")).trimmed();
  const QString datei = QDir::toNativeSeparators(pfad.isEmpty() || QDir::isAbsolutePath(name) ? name : QDir(pfad).filePath(name));
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
  return Report::Ok;
}

namespace {
QString DruckerUmleitung() {
  const QString umleitung = Umleitung();
  return umleitung.isEmpty() ? qEnvironmentVariable("TAMOSEPA_DRUCKER_PDF") : umleitung;
}
}  // namespace

bool QtReportengine::DruckerVorhanden() {
  if (DruckerAngenommen()) return *DruckerAngenommen();
  return !DruckerUmleitung().isEmpty() || !QPrinterInfo::availablePrinters().isEmpty();
}

int QtReportengine::DruckerAusgeben() {
  QPrinter& drucker = Drucker();
  const QString umleitung = DruckerUmleitung();
  if (!umleitung.isEmpty()) {
    drucker.setOutputFormat(QPrinter::PdfFormat);
    drucker.setOutputFileName(umleitung);
  } else {
    // Without printers QPrinter falls back to a PDF file of its own: that is no printer.
    const QList<QPrinterInfo> drucker_ = QPrinterInfo::availablePrinters();
    if (drucker_.isEmpty())
      return Fehler(Ausgabefehler::KeinDrucker, QStringLiteral("Auf diesem Rechner ist kein Drucker eingerichtet."));
    drucker.setOutputFormat(QPrinter::NativeFormat);
    if (drucker.printerName().isEmpty())
      drucker.setPrinterName(QPrinterInfo::defaultPrinterName().isEmpty() ? drucker_.first().printerName()
                                                                          : QPrinterInfo::defaultPrinterName());
  }
  const int kopien = std::max(1, m_optionen.value(Report::OptionKopien, 1));
  drucker.setFullPage(true);
  drucker.setPageLayout(m_dokument.seitenlayout);
  drucker.setDocName(m_dokument.titel);
  drucker.setCopyCount(kopien);
  const QString name = QStringLiteral("Drucker: ") +
                       (umleitung.isEmpty() ? drucker.printerName() : QDir::toNativeSeparators(umleitung));
  QPainter maler;
  if (!maler.begin(&drucker)) return Fehler(Ausgabefehler::DruckerStart, name);
  // Copies the printer does not make itself are printed as often as asked for, never fewer.
  const int durchgaenge = drucker.supportsMultipleCopies() && drucker.copyCount() == kopien ? 1 : kopien;
  bool erste = true;
  for (int k = 0; k < durchgaenge; ++k) {
    for (int i = 0; i < m_dokument.seiten.size(); ++i) {
      if (!erste && (Stoerung().seite || !drucker.newPage())) {
        maler.end();
        return Fehler(Ausgabefehler::DruckerSeite, name);
      }
      erste = false;
      m_dokument.SeiteZeichnen(maler, i, drucker.resolution());
    }
  }
  if (!maler.end() || Stoerung().ende || drucker.printerState() == QPrinter::Error)
    return Fehler(Ausgabefehler::DruckerEnde, name);
  return Report::Ok;
}

void QtReportengine::VorschauAnzeigen(const QString&, const QString&, QWidget* eltern) {
  if (!MitFenstern() || m_dokument.seiten.isEmpty()) return;
  QPrinter& drucker = Drucker();
  drucker.setFullPage(true);
  drucker.setPageLayout(m_dokument.seitenlayout);
  QPrintPreviewDialog vorschau(&drucker, eltern);
  vorschau.setWindowTitle(QStringLiteral("Vorschau: ") + m_dokument.titel);
  // Large enough to read a page.
  if (const QScreen* schirm = eltern ? eltern->screen() : QGuiApplication::primaryScreen())
    vorschau.resize(schirm->availableGeometry().size() * 0.85);
  QObject::connect(&vorschau, &QPrintPreviewDialog::paintRequested, &vorschau, [this](QPrinter* p) {
    QPainter maler(p);
    for (int i = 0; i < m_dokument.seiten.size(); ++i) {
      if (i > 0) p->newPage();
      m_dokument.SeiteZeichnen(maler, i, p->resolution());
    }
  });
  Vorschauzoom::Einrichten(vorschau);
  if (VorschauHaken())
    VorschauHaken()(vorschau);
  else
    vorschau.exec();
}

void QtReportengine::VorschauDateienLoeschen(const QString&, const QString&) { m_dokument = {}; }
