#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>

// Text helpers of the shared module. A Null value is an invalid or null QVariant.

// The payment character set; compared without regard to case (a-z and ä/ö/ü count as well).
inline const QString Zahlungszeichensatz =
    QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,&-+*%/$ÄÖÜß():");

// True when `zeichen` belongs to the payment character set (every character of it is Latin-1: one table).
namespace Zahlungszeichen {
extern const std::array<bool, 256> Tafel;
}
inline bool ImZahlungszeichensatz(QChar zeichen) {
  return zeichen.unicode() < 256 && Zahlungszeichen::Tafel[zeichen.unicode()];
}

// The text in the payment character set (Null counts as ""): characters outside it are transliterated
// (ZahlungstextUmschreiben: é e, Ж Zh, æ ae), signs without a usual form drop out. `gueltig` becomes true
// when `kennzeichen` is non-zero or the result is not empty. `geaendert` becomes true when the text changed
// and is otherwise left as the caller set it. Whether letters were lost tells ZahlungstextUmschreiben.
QVariant UngueltigeZeichenEntfernen(const QVariant& text, int kennzeichen, bool& gueltig, bool& geaendert);
// The same for a text, when only the result counts (lower-case letters stay).
QString ZahlungszeichenFiltern(const QString& text);

// The text in the payment character set with umlauts, ß and & * $ % replaced (SEPA text nodes); the same
// length as ZahlungszeichenFiltern gives.
QString SepaZeichenWandeln(const QVariant& text);
// The same on UTF-8 bytes, appended to `ziel`: exactly SepaZeichenWandeln(QString::fromUtf8(text)) (bytes
// that are no UTF-8 drop out as their replacement character would). Plain and German text goes by one table
// look-up per byte; a text with a character to transliterate goes through the QString form. What it appends
// is ASCII.
void SepaZeichenWandelnUtf8(QByteArrayView text, QByteArray& ziel);

// The next value: with `alsText` false a number (or a text of digits with optional sign) plus 1;
// otherwise the text counted up like an odometer (digits and letters within their class, the
// characters " -/.,+;:_#" passed over, growing at the left when the carry runs past the start).
// Null and dates come back unchanged.
QVariant NummerErhoehen(const QVariant& wert, bool alsText);

// Splits `text` at every `trenner` into `teile` 1..n (element 0 stays empty), each trimmed of blanks.
void TextZerlegen(const QString& text, const QString& trenner, QStringList& teile);
// Replaces in place; `vergleich` 1 ignores case. Null stays Null.
void VariantErsetzen(QVariant& wert, const QString& suchen, const QString& ersetzen, int vergleich = 0);
// `wert` as text with every `suchen` replaced (case-sensitive); Null gives "".
QString TextErsetzen(const QVariant& wert, const QString& suchen, const QString& ersetzen);
// Every occurrence replaced, left to right, going on behind each inserted text.
QString AllesErsetzen(const QString& text, const QString& suchen, const QString& ersetzen);
// The text up to its first character 0.
QString NullzeichenAbschneiden(const QString& text);
// The parts as German prose lists them: "a", "a und b", "a, b und c"; empty for none.
QString Aufzaehlung(const QStringList& teile);
// Null gives 0, anything else unchanged.
QVariant NullErsetzen(const QVariant& wert);
// Null or an empty text gives 0, anything else unchanged.
QVariant LeerErsetzen(const QVariant& wert);

// True for a Null value (invalid or null QVariant).
inline bool IstNull(const QVariant& wert) { return !wert.isValid() || wert.isNull(); }
