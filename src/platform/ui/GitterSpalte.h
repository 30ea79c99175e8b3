#pragma once

#include <QColor>
#include <QString>

#include <optional>

#include "platform/db/FeldTyp.h"

class GitterDropDown;

// How a grid column shows its values.
enum class GitterFormat {
  Allgemein,    // by field type (dates dd.MM.yyyy, currency "1.234,56")
  Standard,     // number with thousands separators and two decimals
  KurzesDatum,  // dd.MM.yyyy
  Muster        // number format text such as "###,###,##0.00;-###,###,##0.00; ;"
};

// Cell editor of a column.
enum class GitterEditor { Text, Zahl, Datum };

// One column of a DatenGitter, bound to a data field of the recordset by name.
struct GitterSpalte {
  QString feld;                   // data field ("Name", "Zahlungen.ZahlungNr")
  QString titel;                  // caption
  bool sichtbar = true;
  GitterFormat format = GitterFormat::Allgemein;
  QString muster;                 // for GitterFormat::Muster
  int datenBreite = 0;            // input limit in characters; 0 = none
  GitterEditor editor = GitterEditor::Text;
  bool gesperrt = false;          // read-only column
  Qt::Alignment ausrichtung = Qt::AlignLeft | Qt::AlignVCenter;
  QString fussText;
  std::optional<QColor> fussFarbe;
  GitterDropDown* dropDown = nullptr;   // not owned

  // Resolved against the bound recordset (by field name); -1 when the field is missing.
  int rsSpalte = -1;
  FeldTyp typ = FeldTyp::Unbekannt;

  // A column of numbers: a value too wide for it is never cut (the cell shows "###" and the tooltip
  // the value).
  bool Zahlen() const {
    return format == GitterFormat::Standard || format == GitterFormat::Muster || typ == FeldTyp::Waehrung ||
           typ == FeldTyp::Integer || typ == FeldTyp::Long || typ == FeldTyp::Double;
  }
  // A column of amounts: as wide as the largest amount a payment may have, whatever else narrows it.
  bool Betraege() const {
    return format == GitterFormat::Standard || format == GitterFormat::Muster || typ == FeldTyp::Waehrung;
  }
  // A column of IBANs or BICs (IBAN, BIC, BankIBAN, BankBIC, table-qualified or not): codes read
  // character by character, as wide as the codes in view.
  bool Kennungen() const { return KennungsfeldVon(feld) != Kennungsfeld::Keines; }
  // Amounts, IBANs and BICs are shown whole or as "###" with the value in the tooltip, never
  // shortened ("5.94" for 5.942,13, "DE89…"): the column is kept wide enough, the grid scrolls.
  bool Ganzwerte() const { return Betraege() || Kennungen(); }
};

// Colours of one cell, filled in by the grid's style callback.
struct ZellStil {
  std::optional<QColor> vordergrund;
  std::optional<QColor> hintergrund;
  bool fett = false;
};
