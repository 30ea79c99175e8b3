#pragma once

#include <QtGlobal>

#include "platform/db/Datenbank.h"

// The guard of every write to one payment's row or lines from the payment form. Another workstation's
// SEPA run may mark a listed payment done at any moment; from then on its row and lines are the record
// of what the bank was sent. Call it inside the write's transaction (which holds the write lock, so the
// answer stays true until the commit): a done payment gives KeineTreffer with the reason, anything else
// (open, or gone: the write itself finds that out) passes.
DbFehler ZahlungOffenPruefen(Datenbank& db, qint64 zahlungNr);
