#pragma once

#include <QString>
#include <QStringView>

class BankleitzahlTabelle;

// One line "BLZ;Konto" of the command-line conversion turned into "BLZ;Konto;IBAN;BIC;Hinweis" through the
// same per-address conversion as the run. IBAN and BIC are empty when no IBAN is formed. A trailing CR is
// dropped; a line without ";" is a bank code without account number. Control characters of the input (a NUL
// byte) come back as U+FFFD; such a bank code or account number is refused (hint 5 or 9).
QString IbanZeileKonvertieren(QStringView zeile, const BankleitzahlTabelle& tabelle);
