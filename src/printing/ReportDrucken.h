#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include "printing/Druckanfrage.h"
#include "printing/ReportVariable.h"
#include "printing/Reportdaten.h"

class QWidget;
class Recordset;
class Reportengine;

// The window a report is printed for: parent of the engine's dialogs and of the progress box, its
// caption names the data source, its picture fills picture columns. The sender variables come from
// `absenderDaten` (a table recordset on Absender) and `absenderNr`; by default from the active sender.
struct Druckformular {
  QWidget* fenster = nullptr;
  QString titel;
  QImage bild;
  Recordset* absenderDaten = nullptr;
  int absenderNr = 0;
};

// Results of the driver beyond the engine's codes.
namespace Druckergebnis {
constexpr int Datenfehler = -1000;     // the rows could not be read ("Fehler bei der Datenermittlung!")
constexpr int Sortierfehler = -1001;   // the report chose a sort order that was not offered
constexpr int Kopierfehler = -1002;    // a report file chosen outside the program folder could not be copied in
}  // namespace Druckergebnis

// One sort order offered to a list report: its identifier and the columns (index, ascending) it
// sorts by.
struct Sortierangebot {
  QString kennung;
  QList<std::pair<int, bool>> spalten;
};

// The print driver: puts the rows of `daten` out through the report engine with the report date,
// the caller's variables and the sender's (appended to a copy of `variablen`), to the target of
// `anfrage`, or opens the designer for the report file. Every failure is reported to the user (or,
// with `anfrage.FehlerZurueck`, left in `anfrage.Fehlertext` for the caller to report).
// Returns Report::Ok when the report went out, Report::Abgebrochen when the user cancelled, the
// designer's answer for a designer request, else the failure's code. `anfrage.DruckKopien` takes the
// copies chosen in the output settings.
int ReportDrucken(Reportdaten& daten, Druckanfrage& anfrage, const QList<ReportVariable>& variablen,
                  const Druckformular& formular, Reportengine& engine);
// The same with the engine of the program run.
int ReportDrucken(Reportdaten& daten, Druckanfrage& anfrage, const QList<ReportVariable>& variablen,
                  const Druckformular& formular);

// The message for a result code of the engine (header, the code's lines, the engine's detail).
QString ReportFehlermeldung(int code, const QString& detail = {});
// Progress of row `zeile` (1-based) of `anzahl`, rounded to the nearest whole number, halves to even.
int ReportProzent(int zeile, int anzahl);
// The sort orders a list report over these columns may choose from: every column of a table, and
// over payments (first column from "Zahlungen") the two fixed orders when the rows hold their columns.
QList<Sortierangebot> Sortierangebote(const QList<Reportdatenspalte>& spalten);
// "Fehler beim Neusortieren der Daten!" for an identifier no offer has.
QString NeusortierenMeldung(const QString& kennung);
