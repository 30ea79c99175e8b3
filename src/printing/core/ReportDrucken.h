#pragma once

#include <QDate>
#include <QImage>
#include <QList>
#include <QString>

#include "printing/core/Druckanfrage.h"
#include "printing/core/Druckergebnis.h"
#include "printing/core/ReportVariable.h"
#include "printing/core/Reportdaten.h"

class Datenbank;
class QObject;
class Recordset;
class Reportengine;

// What a report is printed for and with. The window is the parent of the engine's dialogs and of the
// progress box (null for none), its caption names the data source, its picture fills picture columns.
// The sender variables come from `absenderDaten` (a table recordset on Absender) and sender
// `absenderNr`; without that recordset from one opened on `datenbank` for the print; without either
// there are none. The report file dialog starts in `programmVerzeichnis`, where a report chosen
// elsewhere is copied to. `reportDatum` is "Allgemeines.AusgabeReportDatum" (invalid: today).
struct Druckformular {
  QObject* fenster = nullptr;
  QString titel{};
  QImage bild{};
  Recordset* absenderDaten = nullptr;
  int absenderNr = 0;
  Datenbank* datenbank = nullptr;
  QString programmVerzeichnis{};
  QDate reportDatum{};
};

// One sort order offered to a list report: its identifier and the columns (index, ascending) it
// sorts by.
struct Sortierangebot {
  QString kennung;
  QList<std::pair<int, bool>> spalten;
};

// The print driver: puts the rows of `daten` out through the report engine with the report date,
// the caller's variables and the sender's (appended to a copy of `variablen`), to the target of
// `anfrage`, or opens the designer for the report file. Shows no message: every failure is in the
// result for the caller to report. `anfrage.DruckKopien` takes the copies chosen in the output
// settings.
Druckergebnis ReportDrucken(Reportdaten& daten, Druckanfrage& anfrage, const QList<ReportVariable>& variablen,
                            const Druckformular& formular, Reportengine& engine);

// The message for a result code of the engine (header, the code's lines, the engine's detail).
QString ReportFehlermeldung(int code, const QString& detail = {});
// Progress of row `zeile` (1-based) of `anzahl`, rounded to the nearest whole number, halves to even.
int ReportProzent(int zeile, int anzahl);
// The sort orders a list report over these columns may choose from: every column of a table, and
// over payments (first column from "Zahlungen") the two fixed orders when the rows hold their columns.
QList<Sortierangebot> Sortierangebote(const QList<Reportdatenspalte>& spalten);
// "Fehler beim Neusortieren der Daten!" for an identifier no offer has.
QString NeusortierenMeldung(const QString& kennung);
