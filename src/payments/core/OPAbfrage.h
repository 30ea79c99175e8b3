#pragma once

#include <QString>

#include <functional>
#include <vector>

#include "common/AdressQuellenInfo.h"
#include "payments/core/OPUebernahme.h"
#include "platform/db/Datenbank.h"
#include "platform/db/SqlText.h"

// The open items of one payee from the linked view OPVorgang, as a structured query built from the
// address source (AdressQuelle): its column list, account column and due-date column.
struct OPAbfrageTeile {
  SqlText spalten;
  SqlText quelle = "OPVorgang";
  Bedingung bedingung;
  SqlText sortierung;
  bool IstLeer() const { return spalten.IstLeer(); }
};

// Empty when the source has no open items (OPFeldliste empty). The account is a bound parameter;
// `mitMinus` (OPSelektionMitMinus) lists every item whose rest is not 0, otherwise only positive
// rests; the latest due date comes first.
OPAbfrageTeile OPAbfrageErstellen(const AdressQuellenInfo& quelle, const QString& opKontoNr, bool mitMinus);

// One item from a result row of an open-item query, by column name (a missing column reads as
// Null): VorgangsNr, Art, Vom, Fällig, Betrag, OPKontoNr, Buchungsliste, and the rest from "Rest",
// or, where the source delivers it signed ("Rest2" of the order program), from "Rest2" without its
// sign, so that the take-over gives it the sign of the item kind exactly once.
OffenerPosten OffenerPostenLesen(const std::function<QVariant(const QString& spalte)>& wert);

// Runs the query (an empty one gives no items). The rest of a source that delivers it signed
// ("Rest2" of the order program) is read unsigned, so that the take-over gives it the sign of the
// item kind exactly once.
DbFehler OffenePostenLaden(Datenbank& db, const OPAbfrageTeile& abfrage, std::vector<OffenerPosten>& posten);

// Height of the drop-down in rows: items + 1.8 below 15 items, else 15.
double OPListeZeilen(int anzahl);
