#pragma once

#include <QString>

#include <optional>

#include "platform/db/Waehrung.h"

// The three amounts of a remittance line; Null (nullopt) counts as 0 in every rule and sum.
struct ZeilenBetraege {
  std::optional<Waehrung> opBetrag;        // OPBetrag
  std::optional<Waehrung> skontoBetrag;    // SkontoBetrag
  std::optional<Waehrung> zahlungsBetrag;  // ZahlungsBetrag

  bool operator==(const ZeilenBetraege&) const = default;
};

enum class BetragsSpalte { OPBetrag, SkontoBetrag, ZahlungsBetrag };

// Field name of an amount column in Verwendungszweck.
QString BetragsSpaltenFeld(BetragsSpalte spalte);

// A value typed into one amount column (empty = nullopt). A zero amount is stored as Null; the
// other two amounts follow by the first applying rule:
//   OPBetrag v≠0                         -> ZahlungsBetrag := v - SkontoBetrag
//   SkontoBetrag, OP≠0 and Zahlung≠0     -> ZahlungsBetrag := OPBetrag - v
//   SkontoBetrag, OP=0 and Zahlung≠0     -> OPBetrag := ZahlungsBetrag + v
//   ZahlungsBetrag v≠0, OP=0, Skonto≠0   -> OPBetrag := SkontoBetrag + v
//   ZahlungsBetrag v≠0, OP≠0, Skonto=0   -> OPBetrag := v
//   ZahlungsBetrag v≠0, OP=0, Skonto=0   -> OPBetrag := v
//   ZahlungsBetrag v≠0, OP≠0, Skonto≠0   -> SkontoBetrag := OPBetrag - v
// A derived discount of 0 is stored as Null as well.
void BetragEingeben(ZeilenBetraege& zeile, BetragsSpalte spalte, std::optional<Waehrung> wert);

// Value of an amount with Null as 0.
inline Waehrung OderNull(const std::optional<Waehrung>& w) { return w.value_or(Waehrung()); }

// Footer text of a line sum ("###,###,##0.00;-###,###,##0.00; ;"): a zero sum shows as a blank.
QString SummenText(Waehrung summe);
