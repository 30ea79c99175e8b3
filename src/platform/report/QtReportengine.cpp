#include "platform/report/QtReportengine.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>

#include "platform/report/Ausgabeeinstellungen.h"
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

// The window the driver names as the parent of the engine's dialogs (none when it names no window).
QWidget* Fenster(QObject* eltern) { return qobject_cast<QWidget*>(eltern); }

int DialogZeigen(QDialog& dialog) { return DialogHaken() ? DialogHaken()(dialog) : dialog.exec(); }

QString DruckerUmleitung() {
  const QString umleitung = Umleitung();
  return umleitung.isEmpty() ? qEnvironmentVariable("TAMOSEPA_DRUCKER_PDF") : umleitung;
}

}  // namespace

QtReportengine::QtReportengine() = default;

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

int QtReportengine::DateiAuswaehlen(QObject* eltern, const QString& titel, int projektTyp, QString& datei) {
  if (!MitFenstern()) return Report::Abgebrochen;
  const QFileInfo muster(datei);
  const std::optional<QString> gewaehlt = Dateidialog::DateiOeffnen(
      Fenster(eltern), titel, muster.absolutePath(),
      QStringLiteral("Reportdateien (*.%1)").arg(Dateiendung(projektTyp).isEmpty() ? QStringLiteral("*")
                                                                                : Dateiendung(projektTyp)));
  if (!gewaehlt || gewaehlt->isEmpty()) return Report::Abgebrochen;
  datei = *gewaehlt;
  return Report::Ok;
}

int QtReportengine::DruckStarten(int projektTyp, const QString& datei, QObject* eltern, const QString& boxTitel) {
  BoxSchliessen();
  const int ergebnis = PdfReportengine::DruckStarten(projektTyp, datei, eltern, boxTitel);
  if (ergebnis != Report::Ok) return ergebnis;
  m_boxEltern = Fenster(eltern);
  m_boxTitel = boxTitel;
  m_boxProzent = -1;
  return Report::Ok;
}

int QtReportengine::Designer(QObject* eltern, const QString& titel, int projektTyp, const QString& datei) {
  if (DesignerHaken()) return DesignerHaken()(Fenster(eltern), titel, projektTyp, datei, Definitionen());
  return PdfReportengine::Designer(eltern, titel, projektTyp, datei);
}

int QtReportengine::OptionenDialog(QObject* eltern, const QString& titel, const QString& text) {
  if (!MitFenstern()) return Report::Abgebrochen;
  QPrinter& drucker = Drucker();
  if (Layout()) drucker.setPageLayout(QPageLayout(QPageSize(Layout()->papier), Layout()->ausrichtung, QMarginsF()));
  Ausgabeeinstellungen dialog(drucker, titel, text, Fenster(eltern));
  dialog.ZielSetzen(DruckOption(Report::OptionZiel));
  dialog.KopienSetzen(std::max(1, DruckOption(Report::OptionKopien)));
  const QString pfad = ExportWert(QStringLiteral("Export.Path"));
  const QString name = ExportWert(QStringLiteral("Export.File"));
  if (!name.isEmpty()) dialog.PdfDateiSetzen(pfad.isEmpty() ? name : QDir(pfad).filePath(name));
  if (DialogZeigen(dialog) != QDialog::Accepted) return Report::Abgebrochen;
  DruckOptionSetzen(Report::OptionZiel, dialog.Ziel());
  DruckOptionSetzen(Report::OptionKopien, dialog.Ziel() == Report::ZielDrucker ? dialog.Kopien() : 1);
  if (dialog.Ziel() == Report::ZielPdf) {
    ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.Path"), QString());
    ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.File"), dialog.PdfDatei());
  }
  // A page set up in the dialog lays the report out anew.
  SeiteNeuEinrichten(drucker.pageLayout());
  return Report::Ok;
}

int QtReportengine::BoxTextSetzen(const QString& text, int prozent) {
  if (Abgebrochen()) return Report::Abgebrochen;
  // Made with the first row, not at the start: its timer would show it over the output settings.
  if (!m_box && JobLaeuft() && MitFenstern()) {
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
    DruckAbbrechen();
    return Report::Abgebrochen;
  }
  // Once per percent: the box lets the window system run, which costs time on every call.
  if (prozent != m_boxProzent) {
    m_boxProzent = prozent;
    m_box->setLabelText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    m_box->setValue(prozent);
    if (m_box->wasCanceled()) {
      DruckAbbrechen();
      return Report::Abgebrochen;
    }
  }
  return Report::Ok;
}

void QtReportengine::BoxSchliessen() {
  if (m_box) {
    m_box->close();
    delete m_box;
  }
  m_box = nullptr;
}

int QtReportengine::DruckEnde(int flags) {
  BoxSchliessen();
  return PdfReportengine::DruckEnde(flags);
}

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
    if (drucker_.isEmpty()) return PdfReportengine::DruckerAusgeben();
    drucker.setOutputFormat(QPrinter::NativeFormat);
    if (drucker.printerName().isEmpty())
      drucker.setPrinterName(QPrinterInfo::defaultPrinterName().isEmpty() ? drucker_.first().printerName()
                                                                          : QPrinterInfo::defaultPrinterName());
  }
  const Druckdokument& dokument = Dokument();
  const int kopien = std::max(1, DruckOption(Report::OptionKopien));
  drucker.setFullPage(true);
  drucker.setPageLayout(dokument.seitenlayout);
  drucker.setDocName(dokument.titel);
  drucker.setCopyCount(kopien);
  const QString name = QStringLiteral("Drucker: ") +
                       (umleitung.isEmpty() ? drucker.printerName() : QDir::toNativeSeparators(umleitung));
  QPainter maler;
  if (!maler.begin(&drucker)) return Fehler(Ausgabefehler::DruckerStart, name);
  // Copies the printer does not make itself are printed as often as asked for, never fewer.
  const int durchgaenge = drucker.supportsMultipleCopies() && drucker.copyCount() == kopien ? 1 : kopien;
  bool erste = true;
  for (int k = 0; k < durchgaenge; ++k) {
    for (int i = 0; i < dokument.seiten.size(); ++i) {
      if (!erste && (Stoerung().seite || !drucker.newPage())) {
        maler.end();
        return Fehler(Ausgabefehler::DruckerSeite, name);
      }
      erste = false;
      dokument.SeiteZeichnen(maler, i, drucker.resolution());
    }
  }
  if (!maler.end() || Stoerung().ende || drucker.printerState() == QPrinter::Error)
    return Fehler(Ausgabefehler::DruckerEnde, name);
  return Report::Ok;
}

void QtReportengine::VorschauAnzeigen(const QString&, const QString&, QObject* eltern) {
  if (!MitFenstern() || Dokument().seiten.isEmpty()) return;
  QWidget* fenster = Fenster(eltern);
  QPrinter& drucker = Drucker();
  drucker.setFullPage(true);
  drucker.setPageLayout(Dokument().seitenlayout);
  QPrintPreviewDialog vorschau(&drucker, fenster);
  vorschau.setWindowTitle(QStringLiteral("Vorschau: ") + Dokument().titel);
  // Large enough to read a page.
  if (const QScreen* schirm = fenster ? fenster->screen() : QGuiApplication::primaryScreen())
    vorschau.resize(schirm->availableGeometry().size() * 0.85);
  QObject::connect(&vorschau, &QPrintPreviewDialog::paintRequested, &vorschau, [this](QPrinter* p) {
    QPainter maler(p);
    for (int i = 0; i < Dokument().seiten.size(); ++i) {
      if (i > 0) p->newPage();
      Dokument().SeiteZeichnen(maler, i, p->resolution());
    }
  });
  Vorschauzoom::Einrichten(vorschau);
  if (VorschauHaken())
    VorschauHaken()(vorschau);
  else
    vorschau.exec();
}
