#pragma once

#include <QString>

#include "zahlungsverkehr/Auftragspruefung.h"
#include "platform/db/Datenbank.h"
#include "platform/db/SqlText.h"

// The history of mandates for the rule that a mandate ended by its one-off or final collection is not
// collected again: per mandate reference (MandatSchluessel) the last done direct debit of the sender, by its
// collection date (else the day it was done) and then its number.
namespace MandatverlaufLesen {

// The mandates of the orders of `auftraege` (a condition on Zahlungen), in one statement.
DbFehler ZuAuftraegen(Datenbank& db, int absenderNr, const Bedingung& auftraege, Mandatverlaeufe& verlauf);
// One mandate (the payment form's save).
DbFehler ZuReferenz(Datenbank& db, int absenderNr, const QString& referenz, Mandatverlaeufe& verlauf);

// The statement of ZuAuftraegen (the test pins its plan).
SqlText Sql(const Bedingung& auftraege);

}  // namespace MandatverlaufLesen
