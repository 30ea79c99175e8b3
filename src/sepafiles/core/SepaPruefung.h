#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

#include "platform/db/Waehrung.h"
#include "sepafiles/core/SepaAuftrag.h"
#include "sepafiles/core/SepaOptionen.h"

// Pure checks of SEPA data, shared by the pre-check of the SEPA file window, the document builder
// and the payment form's field checks.
namespace SepaPruefung {

// Highest amount of one order: 999.999.999,99.
inline constexpr Waehrung HoechstBetrag = Waehrung::AusCent(99999999999);

// IBAN, BIC and creditor identifier are checked by the shared module (common/Kontopruefung.h).

// Mandate reference: 1 to 35 characters of A-Z a-z 0-9 + ? / - : ( ) . , ' and blank, not
// beginning with "/" and without "//".
bool MandatReferenzGueltig(const QString& mandatReferenz);
// Purpose code: empty or exactly four letters/digits (after trimming).
bool TextschluesselGueltig(const QString& textschluessel);
// Amount of an order: above 0, at most two decimals, at most HoechstBetrag.
bool BetragGueltig(Waehrung betrag);

// Message of the create command for a reference that cannot become a message id (empty after
// conversion to the payment character set, or longer than 35); empty when it is usable.
QString ReferenzMeldung(const QString& referenz);
// Message of the create command for a credit-transfer execution date outside the creation date
// and the 14 days after it (both boundaries pass); empty when the date is in range or not given.
QString AusfuehrungsdatumMeldung(const std::optional<QDate>& ausfuehrungsdatum, const QDate& erstellungsdatum);
// Message for a missing or invalid creditor identifier of a direct-debit run; empty when valid.
QString GlaeubigerIdMeldung(const QString& glaeubigerId);

// Faults the pre-check can find in one order.
enum class Fehlerart {
  Name,               // empty after removing the characters outside the payment set (or blank)
  Verwendungszweck,   // Verwendungszweck1 empty after removing the characters outside the set
  IbanLaenge,         // IbanLaengePruefen refuses it
  Iban,               // pattern or check digits wrong
  Bic,                // given but not a BIC
  BicFehlt,           // empty before the cut-off date of the IBAN's country
  MandatReferenz,     // direct debits: missing or not a valid reference
  MandatDatum,        // direct debits: missing or in the future
  Betrag,             // not above 0, more than two decimals or too high
  Textschluessel      // neither empty nor four letters/digits
};
QString FehlerText(Fehlerart art);

struct Pruefergebnis {
  QString Name;                // the cleaned texts the pre-check stores back
  QString Verwendungszweck1;
  QList<Fehlerart> Fehler;     // empty = the order passes
  bool Fehlerhaft() const { return !Fehler.isEmpty(); }
};

// The pre-check of one order before a SEPA file (run by the selection on every selected order).
Pruefergebnis AuftragPruefen(const SepaAuftrag& auftrag, SepaArt art, const QDate& heute);

}  // namespace SepaPruefung
