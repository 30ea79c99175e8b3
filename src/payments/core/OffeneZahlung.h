#pragma once

#include <QStringList>
#include <QVariant>
#include <QtGlobal>

#include <optional>
#include <vector>

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

// A payment's lines, every column by name in line order, and its total, as stored at one moment: what
// the form showed or its own writes left, or the copy "Ändern" takes for a cancel.
struct Zeilenstand {
  QStringList spalten;
  std::vector<QVariantList> zeilen;
  std::optional<QVariant> zahlungGesamt;  // nullopt: the payment is gone
  bool operator==(const Zeilenstand&) const = default;
};
DbFehler ZeilenstandLesen(Datenbank& db, qint64 zahlungNr, Zeilenstand& stand);

// A write of the form puts back what it showed: one from a form that still shows what it read before
// another workstation changed the payment would undo that change without a word. Inside the write's
// transaction (as ZahlungOffenPruefen, whose reason a done payment gives): what the write overwrites must
// still be what the form showed, else InzwischenGeaendert with the message that the form shows the stored
// values again. The save of the payment's row compares the row (a gone row passes); the writes of the
// lines compare the lines and the total.
DbFehler ZahlungUnveraendertPruefen(Datenbank& db, qint64 zahlungNr, const Zahlungsstand& geladen);
DbFehler ZeilenUnveraendertPruefen(Datenbank& db, qint64 zahlungNr, const Zeilenstand& gezeigt);

// The frame of a write of lines. Before it, in its transaction: ZeilenUnveraendertPruefen with `gezeigt`,
// ZahlungOffenPruefen without. Then the commit; with `gezeigt`, it becomes what the write left (read
// before the commit, so that no other workstation's change slips into it).
DbFehler ZeilenschreibenPruefen(Datenbank& db, qint64 zahlungNr, const Zeilenstand* gezeigt);
DbFehler ZeilenschreibenAbschliessen(Datenbank& db, Transaktion& t, qint64 zahlungNr, Zeilenstand* gezeigt);
