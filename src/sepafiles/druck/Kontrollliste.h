#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <memory>

#include "platform/db/Datenbank.h"
#include "printing/ReportDrucken.h"
#include "printing/ReportVariable.h"
#include "printing/Reportdaten.h"
#include "sepafiles/core/SepaLaufErgebnis.h"

// The control list of a SEPA run: exactly the orders the run wrote, joined with their remittance
// lines, printed with the report of the base name "Zahlungsliste". Whatever the window shows
// later (another selection, a date limit), the list stays the one of the files.
class Kontrollliste {
 public:
  static QString Reportname() { return QStringLiteral("Zahlungsliste"); }

  // The rows: one per remittance line (one for an order without lines), ordered as the selection
  // (Art, MandatSequenz, ZahlungNr, LfdNr). The column EinzelReferenz holds the end-to-end id the
  // file carries, generated ones included. A failing query is reported over `fenster` (null returned).
  static std::unique_ptr<Reportdaten> Daten(Datenbank& db, const SepaLaufErgebnis& lauf, QWidget* fenster);
  // "Zahlungsliste.Formularart" = "SEPA-Erstellung", "Zahlungsliste.Status" = the creation date.
  static QList<ReportVariable> Variablen(const QDate& erstellungsdatum);
  // The report of the control list in `programmVerzeichnis`: the stored default of the base name
  // (found whatever its letter case), else the shipped "Zahlungsliste.LST". A stored default that is
  // gone is returned as it would lie there, so that printing reports it missing.
  static QString Reportdatei(Datenbank& db, const QString& programmVerzeichnis);

  // The print right after the run: the printer with `kopien` copies (none when 0), then, when the
  // run named a PDF payment overview, that file. Failures are reported by the print driver.
  static void Drucken(Datenbank& db, const SepaLaufErgebnis& lauf, int kopien, const QDate& erstellungsdatum,
                      const Druckformular& formular);
  // The control list as a PDF file without any dialog (headless run); the driver's result.
  static int PdfSchreiben(Datenbank& db, const SepaLaufErgebnis& lauf, const QDate& erstellungsdatum,
                          const QString& datei, const QString& reportdatei, const Druckformular& formular);
};
