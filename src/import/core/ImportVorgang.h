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
  // Why the item cannot be taken over as the sibling program stored it: an amount that is no number,
  // no finite number or outside ±999.999.999,99, a missing or impossible date, a text longer than its
  // field. Empty when the values are sound.
  QString befund;
};

// The item of row `zeile` (0-based) of the selection's recordset.
OffenerPosten OffenerPostenAusZeile(const Recordset& daten, int zeile);

// The items of the selection's recordset in its order: every row, or the rows (0-based) that
// `gewaehlt` accepts (the marked ones). The current row of the recordset is not moved. Each value is
// judged by the type SQLite stored it with, never coerced: what does not fit fills `befund`.
std::vector<ImportVorgang> ImportVorgaengeLesen(const Recordset& daten, const std::function<bool(int zeile)>& gewaehlt = {});

// A sibling's text as a message names it: long values shortened ("…"), so that a garbage value of a
// megabyte does not fill the box.
QString KurzAnzeige(const QString& text);
