#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <vector>

#include "platform/db/FeldTyp.h"
#include "platform/db/SqlText.h"

// One filled filter cell of a grid's filter bar, as plain data: what the condition builder of the
// program needs to know about the column. QtCore only, so that cores can take it.
struct GitterFilterSpalte {
  int spalte = -1;          // grid column
  QString feld;             // data field as the recordset names it ("Name", "Zahlungen.ZahlungNr")
  QString quellTabelle;     // base table of the column; empty for computed columns
  QString quellFeld;        // base field; empty for computed columns
  FeldTyp typ = FeldTyp::Unbekannt;
  QString text;             // the user's filter text (wildcards * and ?)
};

// Turns the filled filter cells into a structured condition; `qualifiziert` writes the fields
// with their source table. An empty condition means "no filter".
using FilterBedingungsErsteller =
    std::function<Bedingung(const std::vector<GitterFilterSpalte>& spalten, bool qualifiziert)>;

// Adapts the program's condition builder (FilterBedingungErstellen, which takes its own column
// description `FilterSpalteT` with datenfeld, quellTabelle, quellFeld, typ and filterText) to the
// grids, without this layer depending on the module that defines it. Installed once at start-up:
//   DatenGitter::SetzeStandardFilterErsteller(FilterErstellerAus<FilterSpalte>(&FilterBedingungErstellen));
template <class FilterSpalteT, class Kern>
FilterBedingungsErsteller FilterErstellerAus(Kern kern) {
  return [kern](const std::vector<GitterFilterSpalte>& spalten, bool qualifiziert) {
    QList<FilterSpalteT> liste;
    for (const GitterFilterSpalte& g : spalten) {
      FilterSpalteT s;
      s.datenfeld = g.feld;
      s.quellTabelle = g.quellTabelle;
      s.quellFeld = g.quellFeld;
      s.typ = g.typ;
      s.filterText = g.text;
      liste.push_back(s);
    }
    return kern(liste, qualifiziert);
  };
}
