#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

#include "platform/db/FeldTyp.h"
#include "platform/db/SqlText.h"

// One column of a grid's filter bar: the column's data field, its source table and field (for the
// qualified form), its type and the text the user typed into its filter cell.
struct FilterSpalte {
  QString datenfeld;
  QString quellTabelle;
  QString quellFeld;
  FeldTyp typ = FeldTyp::Text;
  QString filterText;
};

// The condition behind a grid's filter bar (FilterBedingungErstellen): one part per column whose
// filter text is not empty, joined with AND; empty when no cell holds text.
// - Text, memo and number columns: prefix search; the user's * and ? are wildcards, every other
//   character is literal. Currency columns find what the grid shows ("1.2" finds 1.234,56; "1234"
//   finds it too, a text without a point is taken without thousands points), through ranges of the
//   stored value unless the text has wildcards; floating columns in their German form ("12,5"
//   finds 12,50).
// - Date columns: the day typed (dd.mm.yyyy, dd.mm.yy, d.m., yyyy-mm-dd). A text that is no date
//   gives a part that matches no row, so the list shows nothing rather than everything.
// With `qualifiziert` each field is written as source table and source field.
Bedingung FilterBedingungErstellen(const QList<FilterSpalte>& spalten, bool qualifiziert);

// Parses a date as typed into a filter cell or a date field; nullopt when it is none.
std::optional<QDate> FilterDatum(const QString& text);
