#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

#include "payments/core/OPUebernahme.h"

class Recordset;

// One open item of the import's selection (a row of the window's grid).
struct ImportVorgang {
  OffenerPosten posten;   // account, number, kind, dates, amounts, booking list
  QString suchname;       // the payee's search name, for the input boxes
};

// The item of row `zeile` (0-based) of the selection's recordset.
OffenerPosten OffenerPostenAusZeile(const Recordset& daten, int zeile);

// The items of the selection's recordset in its order: every row, or the rows (0-based) that
// `gewaehlt` accepts (the marked ones). The current row of the recordset is not moved.
std::vector<ImportVorgang> ImportVorgaengeLesen(const Recordset& daten, const std::function<bool(int zeile)>& gewaehlt = {});
