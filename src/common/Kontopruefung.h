#pragma once

#include <QString>

// Checks of account data that every window shares (sender form, payment form, SEPA pre-check).
namespace Kontopruefung {

// IBAN: trimmed and upper-cased, two letters, two check digits, 11 to 30 letters/digits.
bool IbanFormatGueltig(const QString& iban);
// ISO 7064 MOD 97-10 check digits of an IBAN.
bool IbanPruefzifferGueltig(const QString& iban);
bool IbanGueltig(const QString& iban);
// BIC: trimmed and upper-cased, 8 or 11 letters/digits in the structure of a BIC
// (bank code 4 letters, country 2 letters, location 2, branch 3 optional).
bool BicGueltig(const QString& bic);
// Creditor identifier: country, check digits, business code (not part of the check), national
// identifier; check digits by ISO 7064 MOD 97-10 over the national identifier and the country.
bool GlaeubigerIdGueltig(const QString& glaeubigerId);

// The input messages of the master-data forms (without the closing request); empty when the value
// passes. The value is taken as entered: blanks are removed and letters upper-cased first.
// BIC: 8 or 11 characters in the structure of a BIC.
QString BicMeldung(const QString& bic);
// IBAN: the length messages of IbanLaengePruefen, then characters, then check digits.
QString IbanMeldung(const QString& iban);
// Blanks removed, upper-case: the stored form of IBAN, BIC and creditor identifier.
QString Kompakt(const QString& text);

}  // namespace Kontopruefung
