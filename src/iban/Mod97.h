#pragma once

#include <QString>
#include <QStringView>

// German IBAN from bank code and account number: "DE", two check digits by ISO 7064 MOD 97-10 and the
// BBAN (bank code followed by the account number padded with zeros to ten digits; of a longer number only
// its last ten digits). Blanks anywhere are ignored. Anything else than digits gives an empty text, since
// no check digits can be formed for it.
QString Mod97(QStringView bankleitzahl, QStringView kontoNr);

// Remainder modulo 97 of the decimal number written by a digit string, digit by digit, so the value never
// exceeds a small integer. -1 when the text holds anything but digits.
int Mod97Rest(QStringView ziffern);
