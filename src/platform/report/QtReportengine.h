#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

#include "platform/report/Ausgabefehler.h"
#include "platform/report/Druckdokument.h"
#include "platform/report/Reportdefinitionen.h"
#include "platform/report/Reportengine.h"
#include "platform/report/Reportlayout.h"

class QDialog;
class QPrintPreviewDialog;
class QPrinter;
class QProgressDialog;
class Seitenaufbau;

// The report engine on Qt: reads our report files, lays the rows out into display lists per page
// and puts the pages out to the printer (QPrinter, copies repeated when the printer cannot make
// them), the preview (QPrintPreviewDialog) or a PDF file (QPdfWriter with embedded fonts, written
// under a temporary name and renamed). Runs headless under a QGuiApplication for PDF output;
// dialogs, the progress box and the preview need a QApplication.
class QtReportengine : public Reportengine {
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

  // The pages of the last job (the preview shows them).
  const Druckdokument& Dokument() const { return m_dokument; }
  // What the print defined before its start (declared values, sort orders offered).
  const Reportdefinitionen& Definitionen() const { return m_definitionen; }
  QPrinter& Drucker();

  QString Dateiendung(int projektTyp) override;
  int DateiAuswaehlen(QWidget* eltern, const QString& titel, int projektTyp, QString& datei) override;
  void SortierungenBeginnen() override;
  void SortierungDefinieren(const QString& kennung, const QString& text) override;
  void FelderBeginnen() override;
  void VariablenBeginnen() override;
  void VariableDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) override;
  void FeldDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) override;
  void SummeSperren(const QString& name, const QString& grund) override;
  int DruckStarten(int projektTyp, const QString& datei, QWidget* eltern, const QString& boxTitel) override;
  int Designer(QWidget* eltern, const QString& titel, int projektTyp, const QString& datei) override;
  void ExportParameterSetzen(const QString& format, const QString& schluessel, const QString& wert) override;
  void ExportFormatSetzen(const QString& format) override;
  int OptionenDialog(QWidget* eltern, const QString& titel, const QString& text) override;
  int DruckOption(int option) override;
  int DruckOptionSetzen(int option, int wert) override;
  QString Sortierung() override;
  int AktuelleSeite() override;
  bool FeldBenutzt(const QString& name) override;
  bool VariableBenutzt(const QString& name) override;
  int BoxTextSetzen(const QString& text, int prozent) override;
  int Drucken() override;
  int FelderDrucken() override;
  int FelderEnde() override;
  void DruckAbbrechen() override;
  int DruckEnde(int flags) override;
  void VorschauAnzeigen(const QString& datei, const QString& optionen, QWidget* eltern) override;
  void VorschauDateienLoeschen(const QString& datei, const QString& optionen) override;
  QString Fehlerdetail() const override { return m_fehlerdetail; }

 private:
  int Fehler(Ausgabefehler fehler, const QString& detail);
  QVariant Wert(const QString& name) const;
  int PdfSchreiben();
  int DruckerAusgeben();
  void BoxSchliessen();

  QHash<QString, QVariant> m_felder;
  QHash<QString, QVariant> m_variablen;
  Reportdefinitionen m_definitionen;
  QHash<int, int> m_optionen;
  QHash<QString, QString> m_export;      // "Export.File", "Export.Path", ...
  std::optional<Reportlayout> m_layout;
  std::unique_ptr<Seitenaufbau> m_aufbau;
  QSet<QString> m_benutzteFelder;
  QSet<QString> m_benutzteVariablen;
  Druckdokument m_dokument;
  std::unique_ptr<QPrinter> m_drucker;
  QPointer<QProgressDialog> m_box;
  QPointer<QWidget> m_boxEltern;
  QString m_boxTitel;
  int m_boxProzent = -1;
  bool m_job = false;
  bool m_abgebrochen = false;
  QString m_fehlerdetail;
};
