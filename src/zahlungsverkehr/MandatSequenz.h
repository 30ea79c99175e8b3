#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "platform/db/Datenbank.h"
#include "platform/db/DbFehler.h"
#include "platform/db/SqlText.h"

// The mandate sequence of an address as text: code, hyphen, caption ("0-Ohne",
// "1-Einmaliger Einzug (Basis)", ... "15-Mehrfach-Einzug Automatisch (Firmen)").
// The eleven texts in code order 0-5, 11-15.
const QStringList& MandatSequenzTexte();
// The text of one code; nullopt for a code without text.
std::optional<QString> MandatSequenzText(int code);
// A one-off or final collection (1, 4, 11, 14): once executed, its mandate is used up.
constexpr bool MandatVerbrauchend(int mandatSequenz) {
  const int typ = mandatSequenz % 10;
  return typ == 1 || typ == 4;
}

// The direct debits of one scheme (core, or business-to-business with `firmen`) as the payment form and the SEPA
// selection list them: Art "L" with a code of the scheme (1-5, 11-15) or of neither (0, Null, 6, ...). The
// rules refuse every code that is no collection; listing them here keeps such an order from staying unseen.
Bedingung LastschriftBedingung(bool firmen);

// True when a payment (any kind or state; of any sender, or of `absenderNr` only) with the sequence
// `mandatSequenz` - 3, the mandate reference and the address number exists. A failing query returns
// false with `fehler` set; the caller must not take that for "none found".
bool MandatSequenzVorhanden(Datenbank& db, const QString& opKontoNr, const QString& mandatReferenz, int mandatSequenz,
                            DbFehler& fehler, std::optional<int> absenderNr = std::nullopt);
bool MandatSequenzVorhanden(const QString& opKontoNr, const QString& mandatReferenz, int mandatSequenz,
                            DbFehler& fehler);
