#pragma once

#include <QtGlobal>

#include <optional>

#include "payments/core/Speicherpruefung.h"
#include "platform/db/Datenbank.h"

// The guard of every write to one payment's row or lines from the payment form. Another workstation's
// SEPA run may mark a listed payment done at any moment; from then on its row and lines are the record
// of what the bank was sent. Call it inside the write's transaction (which holds the write lock, so the
// answer stays true until the commit): a done payment gives KeineTreffer with the reason, anything else
// (open, or gone: the write itself finds that out) passes.
DbFehler ZahlungOffenPruefen(Datenbank& db, qint64 zahlungNr);

// The stored row's values the payment form shows and a save writes back (the sequence as stored, not
// as an option index).
struct Zahlungsstand {
  ZahlungEingabe werte;
  int mandatSequenz = 0;
  bool operator==(const Zahlungsstand&) const = default;
};
// Nullopt when the payment is gone.
DbFehler ZahlungsstandLesen(Datenbank& db, qint64 zahlungNr, std::optional<Zahlungsstand>& stand);

// A save writes every field back: one from a form that still shows what it read before another
// workstation changed the payment would undo that change without a word. Inside the save's transaction
// (as ZahlungOffenPruefen): a done payment gives that guard's reason; a stored row that no longer equals
// `geladen` (as shown when the form read it) gives KeineTreffer with `veraltet` set; a gone row passes.
DbFehler ZahlungUnveraendertPruefen(Datenbank& db, qint64 zahlungNr, const Zahlungsstand& geladen, bool& veraltet);
