#pragma once

#include <QString>
#include <QVariant>

class QObject;

// The report engine as the print driver calls it: one print job per program run, definitions of
// variables and fields, print start, one call per row, end of the list, end of the job, preview.
// `eltern` is the window the print is made for (the parent of the engine's dialogs), null for none;
// an engine without windows ignores it.
// The calls and the results the driver examines follow the protocol of the old commercial engine,
// so the driver keeps its order of steps; the values are typed instead of text.
namespace Report {

// Type of a variable or field (also ReportVariable::Typ); the codes of the old engine.
enum class Typ : qint32 {
  Keiner = 0,
  Text = 0x10000000,
  Zahl = 0x08000000,
  Datum = 0x04000002,
  Boolean = 0x02000000,
  Bild = 0x20000004,
};

// Project types (only list projects have report files here).
constexpr int Etikett = 1;
constexpr int Liste = 2;
constexpr int Karteikarte = 3;

// Output targets (print option Ziel).
constexpr int ZielAbfragen = 0;   // the engine's output-settings dialog
constexpr int ZielDrucker = 1;
constexpr int ZielVorschau = 2;
constexpr int ZielPdf = 8;        // PDF without any dialog

// Print options.
constexpr int OptionKopien = 0;
constexpr int OptionLetzteSeite = 6;   // the row loop stops behind this page
constexpr int OptionZiel = 13;

// Results the driver examines.
constexpr int Ok = 0;
constexpr int Abgebrochen = -99;          // a dialog or the progress box was cancelled
constexpr int Wiederholen = -998;         // the same row (or the end of the list) once more
constexpr int KeinProjekt = -22;          // the report file does not exist: the designer is opened
constexpr int UnbekanntesFeld = -4;       // the report names a field or variable this print does not define
constexpr int DruckerFehlt = -11;         // no printer can be reached
constexpr int Druckfehler = -12;          // the printer took the job but failed in it
constexpr int ExportFehler = -13;         // the PDF file could not be written
constexpr int DateiDefekt = -24;          // the report file cannot be read or has a wrong format
constexpr int KeinDesigner = -30;         // the designer is not available

}  // namespace Report

class Reportengine {
 public:
  virtual ~Reportengine() = default;

  // File extension of the project type's report files ("lst"); empty for other types.
  virtual QString Dateiendung(int projektTyp) = 0;
  // The engine's file dialog; `datei` holds the search pattern and receives the choice.
  virtual int DateiAuswaehlen(QObject* eltern, const QString& titel, int projektTyp, QString& datei) = 0;

  // Sort orders a list report may choose from (identifier and display text).
  virtual void SortierungenBeginnen() = 0;
  virtual void SortierungDefinieren(const QString& kennung, const QString& text) = 0;

  // Definitions: before the print start they declare the names, during the run they give the
  // current row's values. A null value prints empty. Pictures come as QImage.
  virtual void FelderBeginnen() = 0;
  virtual void VariablenBeginnen() = 0;
  virtual void VariableDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) = 0;
  virtual void FeldDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) = 0;
  // Before the print start: the values of a defined field must not be added up (an amount without
  // the sign its row's kind gives it), with the reason the check names. The old engine had no such
  // call; an engine without sums may ignore it.
  virtual void SummeSperren(const QString& name, const QString& grund) {
    Q_UNUSED(name);
    Q_UNUSED(grund);
  }

  // Starts the job on the report file, with a progress box titled `boxTitel` over `eltern`.
  virtual int DruckStarten(int projektTyp, const QString& datei, QObject* eltern, const QString& boxTitel) = 0;
  // The designer for the report file: Ok when it saved the file, Abgebrochen, KeinProjekt when no
  // report file exists afterwards, KeinDesigner when there is no designer.
  virtual int Designer(QObject* eltern, const QString& titel, int projektTyp, const QString& datei) = 0;

  // Whether the printer target can go anywhere on this machine (a caller chooses the preview or a PDF
  // file instead when not).
  virtual bool DruckerVorhanden() { return true; }

  // Export parameters of the PDF target ("Export.File", "Export.Path", "Export.Quiet").
  virtual void ExportParameterSetzen(const QString& format, const QString& schluessel, const QString& wert) = 0;
  virtual void ExportFormatSetzen(const QString& format) = 0;

  // The output-settings dialog: target, printer, page and copies; Abgebrochen when cancelled.
  virtual int OptionenDialog(QObject* eltern, const QString& titel, const QString& text) = 0;
  virtual int DruckOption(int option) = 0;
  virtual int DruckOptionSetzen(int option, int wert) = 0;

  // The sort order the report chose (an identifier offered before), empty for none.
  virtual QString Sortierung() = 0;
  virtual int AktuelleSeite() = 0;
  virtual bool FeldBenutzt(const QString& name) = 0;
  virtual bool VariableBenutzt(const QString& name) = 0;
  // Progress box text and percentage; Abgebrochen when the user cancelled in the box.
  virtual int BoxTextSetzen(const QString& text, int prozent) = 0;

  // Label and card projects print a row with Drucken; list projects print the page's variable part
  // with Drucken and a row with FelderDrucken. Wiederholen asks for the same call once more.
  virtual int Drucken() = 0;
  virtual int FelderDrucken() = 0;
  // The end of the list (sums, summary); Wiederholen asks for another call.
  virtual int FelderEnde() = 0;
  // Drops what the job has laid out: the following DruckEnde puts nothing out.
  virtual void DruckAbbrechen() = 0;
  // Ends the job: puts the pages out to the target (printer, PDF) or keeps them for the preview.
  // Called a second time, or without a job, it does nothing and returns Ok.
  virtual int DruckEnde(int flags) = 0;
  virtual void VorschauAnzeigen(const QString& datei, const QString& optionen, QObject* eltern) = 0;
  virtual void VorschauDateienLoeschen(const QString& datei, const QString& optionen) = 0;

  // What went wrong in the last failed call, for a line of the message (a file, a printer, a name).
  virtual QString Fehlerdetail() const = 0;
  // The PDF file the last job wrote (full path), also one chosen in the output settings; empty when the
  // last job wrote none. The old engine had no such call.
  virtual QString PdfDatei() const { return {}; }
};
