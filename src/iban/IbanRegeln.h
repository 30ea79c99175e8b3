#pragma once

#include <QString>
#include <QStringView>

#include <vector>

#include "iban/IbanArbeitswerte.h"

// The Bundesbank's IBAN rules: one arm per rule (versions of a rule share their arm), selected by the exact
// six-character rule id. Applies the arm to the working values; an id that no arm handles gets hint 10.
// Returns false for such an id.
bool IbanRegelAnwenden(IbanArbeitswerte& werte);

// Every rule id an arm handles, in the order of the arms.
const std::vector<QString>& IbanRegelIds();

// The standard computation: IBAN from the working bank code and account number. An account number that is
// empty, zero, holds anything but digits and blanks or has more than ten digits after its leading zeros
// gives no IBAN and hint 9. Returns whether an IBAN was formed.
bool IbanStandardBerechnung(IbanArbeitswerte& werte);

// Whether an account number can go into an IBAN (see IbanStandardBerechnung).
bool KontoNrGueltig(QStringView kontoNr);
// Whether an account number may reach a rule at all: digits and blanks only, at most ten digits after its
// leading zeros; empty is allowed (each rule decides on a missing number).
bool KontoNrFormGueltig(QStringView kontoNr);

// Numeric value of the number a text begins with (blanks skipped; reading stops at the first character
// that cannot continue the number; 0 when the text does not begin with one).
double ZahlenWert(QStringView text);
