#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "printing/core/Druckanfrage.h"
#include "printing/core/ReportDrucken.h"
#include "printing/core/ReportVariable.h"
#include "printing/core/Reportdateien.h"
#include "printing/core/Reportdaten.h"

class DruckLL;
class QWidget;

// The report choice: shows "Druckausgabe" with the report files of a base name, and leaves the
// choice in `anfrage` (report file, target, copies, project type, designer request). Returns true
// when the user cancelled. Remembers the chosen file ("VorgabeRPT" + base name) and the target with
// its copies ("VorgabeRPTEinstellungen" + base name) in the settings table.
bool ReportAuswaehlen(const QString& reportname, Druckanfrage& anfrage, QWidget* eltern = nullptr);

// Test hook: called with the shown dialog instead of its modal loop; a dialog still open after it
// counts as closed by its window button.
void DruckdialogHakenSetzen(std::function<void(DruckLL&)> haken);


// The form of a print completed from the program's state where the caller left it open: the active
// sender (when the caller names neither a sender recordset nor a database), the program folder and
// the report date last chosen.
Druckformular DruckformularErgaenzen(Druckformular formular);

// The failures of a print, one message box each over `fenster`, titled with the application's name
// and version; nothing for a print that went out or was cancelled.
void DruckergebnisMelden(const Druckergebnis& ergebnis, QWidget* fenster);

// A print request of a window: the choice, the print of the rows `daten` gives with the program's
// engine and state, its failures shown, and back to the choice while the designer was asked for.
// `daten` is asked anew for every print.
void DruckAnfordern(const QString& reportname, const std::function<std::unique_ptr<Reportdaten>()>& daten,
                    const QList<ReportVariable>& variablen, const Druckformular& formular);
