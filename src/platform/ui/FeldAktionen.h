#pragma once

class QAbstractItemView;
class QWidget;

// Direct calls for what the old program did with sent keystrokes: "{F4}" and "%{Down}" open the
// drop-down or calendar of a field, "%{Up}" closes it, "{Down 2}" moves a list two rows on.
namespace FeldAktionen {

// Date fields, combos and every Aufklappbar control; false when the widget has nothing to open.
bool AufklappenOeffnen(QWidget* feld);
bool AufklappenSchliessen(QWidget* feld);
bool AufklappenUmschalten(QWidget* feld);
bool IstAufgeklappt(const QWidget* feld);

// Moves the current row of a list or grid by `zeilen` (negative = up), keeping the column;
// stops at the first and last row. False when the view has no rows.
bool ZeilenWeiter(QAbstractItemView* ansicht, int zeilen);

}  // namespace FeldAktionen
