#pragma once

#include <optional>
#include <vector>

#include "common/Datenbankstart.h"
#include "masterdata/core/Absenderdaten.h"
#include "platform/db/Datenbank.h"
#include "platform/db/DbFehler.h"

// Reading, storing, deleting and activating senders (UI-free).
class Absenderverwaltung {
 public:
  static std::vector<Absenderdaten> Alle(Datenbank& db, DbFehler& fehler);
  static std::optional<Absenderdaten> Laden(Datenbank& db, int nr, DbFehler& fehler);
  // A new sender (nr 0) gets the next free number, written back into `daten`. With `geladen` (the sender as
  // read when the editing began) a stored sender that no longer matches it is left alone and refused:
  // another workstation's or a SEPA run's change (IBAN, reference) is not reset by a stale form.
  static DbFehler Speichern(Datenbank& db, Absenderdaten& daten, const Absenderdaten* geladen = nullptr);
  // Payments of the sender, of every kind and state.
  static int ZahlungenZaehlen(Datenbank& db, int nr, DbFehler& fehler);
  // Deletes the sender and its payments (with their remittance lines) in one transaction.
  static DbFehler Loeschen(Datenbank& db, int nr);
  // Makes `nr` the active sender: "Window State"/"AbsenderNr", then the database is reopened with the
  // sender's linked tables. When the reopening fails the previous sender comes back.
  static StartErgebnis Aktivieren(int nr);
};
