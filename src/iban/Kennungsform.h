#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The primitive forms of account identifiers that the IBAN conversion, the bank-code files and the
// payment domain's value types (Iban, Bic, GlaeubigerId) all rest on. One implementation each.
namespace Kennungsform {

// An identifier as stored (IBAN, BIC, creditor identifier): every blank removed, small letters as capitals.
QString Kompakt(QStringView eingabe);
// The same of UTF-8 bytes, appended to `ziel` as UTF-8 (what Kompakt(QString::fromUtf8(utf8)) gives);
// without a QString for the ASCII text an identifier is.
void KompaktAnhaengen(QByteArrayView utf8, QByteArray& ziel);

// Remainder modulo 97 of the number a text writes, taken digit by digit so the value stays small.
// A capital letter counts as its two-digit value A = 10 ... Z = 35 (as ISO 13616 and the creditor
// identifier read letters). -1 when the text holds any other character, small letters included.
int Mod97Rest(QStringView text);

// The two check digits "02".."98" of ISO 7064 MOD 97-10 for an identifier whose checked part is
// `koerper` and whose country is `land`: 98 minus the remainder of koerper + land + "00".
// Empty when either holds a character Mod97Rest refuses.
QString Pruefziffern(QStringView koerper, QStringView land);

// German IBAN from bank code and account number: "DE", the check digits and the BBAN (bank code
// followed by the account number padded with zeros to ten digits; of a longer number only its last
// ten digits). Blanks anywhere are ignored. Anything but digits gives an empty text.
QString Mod97(QStringView bankleitzahl, QStringView kontoNr);

// What is wrong with the form of a BIC given in capitals without blanks: 4 letters bank code,
// 2 letters country (an ISO 3166 code), 2 letters/digits location (not beginning with 0 or 1 and
// not ending in O, as the banks' schemas demand), optional 3 letters/digits branch.
enum class BicForm { Gueltig, Laenge, Bankcode, Land, Ort, Filiale };
BicForm BicFormPruefen(QStringView bic);
// What is wrong, in German ("Die BIC muss 8 oder 11 Zeichen lang sein."); empty for Gueltig.
QString BicFormText(BicForm form);

// An ISO 3166-1 alpha-2 country code in capitals (with XK, which the banks use for Kosovo).
bool Laendercode(QStringView land);

}  // namespace Kennungsform
