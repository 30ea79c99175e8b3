#pragma once

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include "platform/report/core/PdfReportengine.h"

class QDialog;
class QPrintPreviewDialog;
class QPrinter;
class QProgressDialog;
class QWidget;

// The report engine of the program: the engine without windows (layout, PDF) and what needs them —
// the printer (QPrinter, copies repeated when the printer cannot make them), the preview
// (QPrintPreviewDialog), the file dialog, the output settings and the progress box. Dialogs, the
// progress box and the preview need a QApplication; under a QGuiApplication it behaves as the engine
// without windows, the printer aside.
class QtReportengine : public PdfReportengine {
 public:
  QtReportengine();
  ~QtReportengine() override;

  // The designer, plugged in by the program: it gets the names and sort orders this print defined.
  // Without one the engine answers Report::KeinProjekt for a missing file and Report::KeinDesigner
  // otherwise.
  using DesignerFunktion = std::function<int(QWidget* eltern, const QString& titel, int projektTyp,
                                             const QString& datei, const Reportdefinitionen& definitionen)>;
  static void DesignerSetzen(DesignerFunktion designer);

  // Test hooks: the printer target goes to this PDF file (also TAMOSEPA_DRUCKER_PDF); the preview
  // and the output-settings dialog are handed over instead of being shown modally (the hook's
  // return value is the dialog's result).
  static void DruckerUmleiten(const QString& pdfDatei);
  static void VorschauHakenSetzen(std::function<void(QPrintPreviewDialog&)> haken);
  static void DialogHakenSetzen(std::function<int(QDialog&)> haken);
  // Test hook: failures of a printer that a build machine cannot produce (a refused page, a job
  // the spooler rejects at its end).
  struct Druckerstoerung {
    bool seite = false;
    bool ende = false;
  };
  static void DruckerStoerungSetzen(Druckerstoerung stoerung);
  // Test hook: a machine with (true) or without (false) a printer whatever CUPS says; nullopt asks CUPS.
  static void DruckerVorhandenSetzen(std::optional<bool> vorhanden);

  // A printer is set up (CUPS), or the printer target is diverted into a file (the test hook,
  // TAMOSEPA_DRUCKER_PDF).
  bool DruckerVorhanden() override;

  QPrinter& Drucker();

  int DateiAuswaehlen(QObject* eltern, const QString& titel, int projektTyp, QString& datei) override;
  int DruckStarten(int projektTyp, const QString& datei, QObject* eltern, const QString& boxTitel) override;
  int Designer(QObject* eltern, const QString& titel, int projektTyp, const QString& datei) override;
  int OptionenDialog(QObject* eltern, const QString& titel, const QString& text) override;
  int BoxTextSetzen(const QString& text, int prozent) override;
  int DruckEnde(int flags) override;
  void VorschauAnzeigen(const QString& datei, const QString& optionen, QObject* eltern) override;

 protected:
  int DruckerAusgeben() override;

 private:
  void BoxSchliessen();

  std::unique_ptr<QPrinter> m_drucker;
  QPointer<QProgressDialog> m_box;
  QPointer<QWidget> m_boxEltern;
  QString m_boxTitel;
  int m_boxProzent = -1;
};
