#pragma once

#include <QDate>

#include <optional>

#include "payments/core/ZahlungsformularZustand.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/db/Waehrung.h"

// What the browse query of the payment form selects (ZahlungenLaden), as values.
struct ZahlungenFilter {
  int absenderNr = 0;                 // AktuelleAbsenderNr
  Zahlart zahlart = Zahlart::Ueberweisung;
  Bedingung suchfilter;               // filter bar; empty = none
  bool nurFehlerhafte = false;        // check mode's result list
  std::optional<QDate> faelligBis;    // due-date limit; nullopt = none
};

ZahlungenFilter ZahlungenFilterAus(const ZahlungsformularZustand& zustand, int absenderNr);

// The kind of a payment: credit transfers by Art "G", core and B2B direct debits by Art "L" and
// MandatSequenz 1..4 / 11..14.
Bedingung ZahlartBedingung(Zahlart zahlart);
// "Fällig before the day after the limit": the limit day is included, a payment without due date
// never matches. Empty without a limit.
Bedingung FaelligBisBedingung(const std::optional<QDate>& faelligBis);

// The condition: the sender, the kind (core / B2B by MandatSequenz 1..4 / 11..14), open only,
// the filter bar, the check mode, and "Fällig before the day after the limit" (so the limit day is
// included; a payment without due date never matches a limit).
Bedingung ZahlungenBedingung(const ZahlungenFilter& filter);
// SELECT * FROM Zahlungen WHERE <condition> ORDER BY ZahlungNr, in parts for a Recordset.
Abfrage ZahlungenAbfrageErstellen(const ZahlungenFilter& filter);
// The same over any condition on Zahlungen.
Abfrage ZahlungenNachNummer(const Bedingung& bedingung);

// The payments of a list (a condition on Zahlungen, such as ZahlungenBedingung) for a query that joins
// other tables: "<spalte> IN (SELECT ZahlungNr FROM Zahlungen WHERE <condition>)". The condition is
// evaluated on Zahlungen alone, so that an unqualified column of the filter bar never meets a
// same-named column of the joined table.
Bedingung ZahlungenDerListe(const Bedingung& liste, const SqlText& spalte);

// The whole statement of a query in parts (the parameters stay in abfrage.bedingung).
SqlText AbfrageSql(const Abfrage& abfrage);

// Sum of ZahlungGesamt over the listed payments (Null counts as 0; each read as the program reads it,
// tamo_summe), and their number. The sum is nullopt when it cannot be formed (it leaves the int64:
// Waehrung::SummeNichtBildbarText); the list is shown all the same.
struct ZahlungenSumme {
  std::optional<Waehrung> summe = Waehrung();
  int anzahl = 0;
};
DbFehler GesamtsummeErmitteln(Datenbank& db, const ZahlungenFilter& filter, ZahlungenSumme& ergebnis);

// The copy command's list: the sender's other payments of the same kind, open or done.
Bedingung KopierlisteBedingung(int absenderNr, const QString& art, qint64 zahlungNr);

// The lines of a payment ordered by ZeilenNr; only line 1 in the single-field display.
Abfrage ZeilenAbfrage(qint64 zahlungNr, bool nurZeile1);
