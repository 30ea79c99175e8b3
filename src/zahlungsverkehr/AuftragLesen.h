#pragma once

#include "zahlungsverkehr/Zahlungsauftrag.h"
#include "platform/db/Datenbank.h"
#include "platform/db/SqlText.h"

// Reading payment orders for the rules: the columns of Zahlungen an order is read from, in this
// order, and the order of a result row that begins with them. The lines are the caller's to read.
namespace AuftragLesen {

SqlText Spalten();
inline constexpr int Spaltenzahl = 13;
// Positions of the two texts the check cleans and stores back.
inline constexpr int NameSpalte = 1;
inline constexpr int Verwendungszweck1Spalte = 10;

Zahlungsauftrag AusZeile(const Zeile& zeile);

}  // namespace AuftragLesen
