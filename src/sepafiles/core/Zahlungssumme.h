#pragma once

#include "platform/db/Datenbank.h"
#include "platform/db/SqlText.h"
#include "platform/db/Waehrung.h"

#include <optional>

// The orders with their remittance lines, one row per line (orders without lines drop out).
SqlText ZahlungenMitZeilen();

// The signed total of the remittance lines of the orders that match `bedingung` (columns of
// Zahlungen and Verwendungszweck, qualified): lines of credit transfers (Art "G") count negative,
// all others positive, a line without amount counts 0; each amount read as the program reads it
// (tamo_summe). The SEPA file window and the payment list show this total. nullopt with `fehler` set
// when the query fails, and with `fehler` clear when the total cannot be formed (it leaves the int64:
// Waehrung::SummeNichtBildbarText).
std::optional<Waehrung> VorzeichenSumme(Datenbank& db, const Bedingung& bedingung, DbFehler& fehler);
// Its statement (for the message when it fails).
SqlText VorzeichenSummeSql(const Bedingung& bedingung);
// The signed total of the orders that match `bedingung` as their SEPA files carry them: an order's
// remittance lines, and an order without lines with its ZahlungGesamt (the file pays that amount; the
// total of the lines above leaves it out). Same sign rule. The control list of a run prints this total;
// one that cannot be formed is a failure here (never printed as a figure).
Waehrung AuftragsSumme(Datenbank& db, const Bedingung& bedingung, DbFehler& fehler);
SqlText AuftragsSummeSql(const Bedingung& bedingung);
// One line's amount with the sign the total gives it (Art "G" negative, every other kind positive,
// no amount 0): what a printed list shows beside the total.
Waehrung VorzeichenBetrag(const QString& art, const std::optional<Waehrung>& betrag);
