#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "printing/Druckanfrage.h"
#include "printing/ReportDrucken.h"
#include "printing/ReportVariable.h"
#include "printing/Reportdaten.h"

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

// The report files of a base name in the program folder (names only, sorted, letter case ignored).
QStringList Reportdateien(const QString& reportname);
// The file-name part of a stored report name (a folder in front, with either separator, is dropped).
QString ReportDateiname(const QString& gespeicherterName);
// The full path of a stored report name in `ordner` (default: the program folder): only its file-name
// part counts and the letter case is ignored. Empty when no such file exists.
QString ReportdateiFinden(const QString& gespeicherterName, const QString& ordner = {});
// The first free name base name + 1, 2, ... + ".LST".
QString NeuerReportname(const QString& reportname);

// A print request of a window: the choice, the print of the rows `daten` gives, and back to the
// choice while the designer was asked for. `daten` is asked anew for every print.
void DruckAnfordern(const QString& reportname, const std::function<std::unique_ptr<Reportdaten>()>& daten,
                    const QList<ReportVariable>& variablen, const Druckformular& formular);
