#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <memory>

#include "platform/db/Datenbank.h"
#include "printing/core/ReportDrucken.h"
#include "printing/core/ReportVariable.h"
#include "printing/core/Reportdaten.h"
#include "sepafiles/core/SepaLaufErgebnis.h"

class Reportengine;

// The control list of a SEPA run: exactly the orders the run wrote, joined with their remittance
// lines, printed with the report of the base name "Zahlungsliste". Whatever the window shows
// later (another selection, a date limit), the list stays the one of the files.
class Kontrollliste {
 public:
  static QString Reportname() { return QStringLiteral("Zahlungsliste"); }

  // The rows: one per remittance line (one for an order without lines), ordered as the selection
  // (Art, MandatSequenz, ZahlungNr, LfdNr), with the columns a payment print adds (Zahlungslistendaten).
  // The column EinzelReferenz holds the end-to-end id the file carries, generated ones included. A
  // failing query returns null with its message in `fehlertext`.
  static std::unique_ptr<Reportdaten> Daten(Datenbank& db, const SepaLaufErgebnis& lauf, QString& fehlertext);
  // "Zahlungsliste.Formularart" = "SEPA-Erstellung", "Zahlungsliste.Status" = the creation date (labelled
  // "Erstellungsdatum: " in "Zahlungsliste.Statuszeile"), the signed total the run's files carry
  // (AuftragsSumme), and in "Zahlungsliste.Dateien" the files (Dateizeilen). A total that cannot be read gives no variables and `fehler`.
  static QList<ReportVariable> Variablen(Datenbank& db, const SepaLaufErgebnis& lauf, const QDate& erstellungsdatum,
                                         DbFehler& fehler);
  // Daten and Variablen together: null with the message in `fehlertext` when either cannot be read.
  static std::unique_ptr<Reportdaten> DatenUndVariablen(Datenbank& db, const SepaLaufErgebnis& lauf,
                                                        const QDate& erstellungsdatum, QList<ReportVariable>& variablen,
                                                        QString& fehlertext);
  // One line per file of the run: the date the bank uses (execution date of transfers, collection
  // date of debits), the message id and the file's name; then the folder.
  static QString Dateizeilen(const SepaLaufErgebnis& lauf);
  // The report of the control list in `programmVerzeichnis`: the stored default of the base name
  // (found whatever its letter case), else the shipped "Zahlungsliste.LST". A stored default that is
  // gone is returned as it would lie there, so that printing reports it missing.
  static QString Reportdatei(Datenbank& db, const QString& programmVerzeichnis);

  // The output right after a run with `kopien` > 0 (none with 0), in two steps around the run's message.
  struct Ausgabe {
    QString pdfDatei;          // the PDF payment overview written (full path), empty when none
    QString pdfFehler;         // why the overview the run named could not be written
    QString datenFehler;       // the rows could not be read: nothing was written (the caller shows it)
    bool ohneDrucker = false;  // the machine has no printer
    bool drucken = false;      // step two puts the list out: on the printer, or without one in the preview
  };
  // Step one, without any message: the PDF payment overview when the run named one, with the report of
  // `formular.programmVerzeichnis`. On a machine without a printer that file stands in for the
  // printout; without it the preview will show the list.
  static Ausgabe Vorbereiten(Datenbank& db, const SepaLaufErgebnis& lauf, int kopien, const QDate& erstellungsdatum,
                             const Druckformular& formular, Reportengine& engine);
  // What the run's message adds: where the overview is, what happens without a printer, a failure.
  static QString Meldungstext(const Ausgabe& ausgabe);
  // Step two: the printer with `kopien` copies or the preview, as step one decided; the driver's
  // result for the caller to report. Rows that cannot be read print nothing: the result is
  // Druckergebnis::Datenfehler and the query's message is left in `datenFehler`.
  static Druckergebnis Drucken(Datenbank& db, const SepaLaufErgebnis& lauf, const Ausgabe& ausgabe, int kopien,
                               const QDate& erstellungsdatum, const Druckformular& formular, Reportengine& engine,
                               QString& datenFehler);

  // The control list as a PDF file without any dialog (headless run); the driver's result, a query
  // that fails included.
  static Druckergebnis PdfSchreiben(Datenbank& db, const SepaLaufErgebnis& lauf, const QDate& erstellungsdatum,
                                    const QString& datei, const QString& reportdatei, const Druckformular& formular,
                                    Reportengine& engine);
};
