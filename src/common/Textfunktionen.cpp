#include "common/Textfunktionen.h"

#include <QDate>
#include <QDateTime>
#include <QHash>

#include <array>
#include <limits>

#include "common/Umschrift.h"
#include "platform/db/Waehrung.h"

namespace {

QString AlsText(const QVariant& wert) { return IstNull(wert) ? QString() : wert.toString(); }

bool IstDatum(const QVariant& wert) {
  const int typ = wert.metaType().id();
  return typ == QMetaType::QDate || typ == QMetaType::QDateTime || typ == QMetaType::QTime;
}

// Adds 1 to a decimal magnitude given as digits (no sign).
QString DezimalPlusEins(QString ziffern) {
  for (qsizetype i = ziffern.size() - 1; i >= 0; --i) {
    if (ziffern[i] != QLatin1Char('9')) {
      ziffern[i] = QChar(ziffern[i].unicode() + 1);
      return ziffern;
    }
    ziffern[i] = QLatin1Char('0');
  }
  return QLatin1Char('1') + ziffern;
}

// Subtracts 1 from a decimal magnitude >= 1 given as digits without leading zeros.
QString DezimalMinusEins(QString ziffern) {
  for (qsizetype i = ziffern.size() - 1; i >= 0; --i) {
    if (ziffern[i] != QLatin1Char('0')) {
      ziffern[i] = QChar(ziffern[i].unicode() - 1);
      break;
    }
    ziffern[i] = QLatin1Char('9');
  }
  while (ziffern.size() > 1 && ziffern.front() == QLatin1Char('0')) ziffern.remove(0, 1);
  return ziffern;
}

// A text of digits with optional sign (surrounding blanks allowed) plus 1, as a number when it
// fits 64 bits and as its exact decimal text otherwise. nullopt when the text is no such number.
std::optional<QVariant> ZahltextPlusEins(const QString& roh) {
  const QString text = roh.trimmed();
  if (text.isEmpty()) return std::nullopt;
  qsizetype start = 0;
  bool negativ = false;
  if (text[0] == QLatin1Char('+') || text[0] == QLatin1Char('-')) {
    negativ = text[0] == QLatin1Char('-');
    start = 1;
  }
  if (start == text.size()) return std::nullopt;
  for (qsizetype i = start; i < text.size(); ++i)
    if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')) return std::nullopt;

  bool ok = false;
  const qlonglong zahl = text.toLongLong(&ok);
  if (ok && zahl < std::numeric_limits<qlonglong>::max()) return QVariant(zahl + 1);

  QString betrag = text.mid(start);
  while (betrag.size() > 1 && betrag.front() == QLatin1Char('0')) betrag.remove(0, 1);
  if (!negativ) return QVariant(DezimalPlusEins(betrag));
  return QVariant(QLatin1Char('-') + DezimalMinusEins(betrag));
}

// The odometer over a text: digits, A-Z and a-z count within their class with carry to the left;
// every other character is passed over unchanged. When the carry runs past the leftmost counted
// character, the text grows there by the class's first "one" (1, A or a).
QString TextHochzaehlen(QString text) {
  qsizetype letzteStelle = -1;  // leftmost position that wrapped
  for (qsizetype i = text.size() - 1; i >= 0; --i) {
    const QChar c = text[i];
    QChar erstes;
    QChar letztes;
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
      erstes = QLatin1Char('0');
      letztes = QLatin1Char('9');
    } else if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) {
      erstes = QLatin1Char('A');
      letztes = QLatin1Char('Z');
    } else if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
      erstes = QLatin1Char('a');
      letztes = QLatin1Char('z');
    } else {
      continue;  // the separators " -/.,+;:_#" and any other character stay as they are
    }
    if (c != letztes) {
      text[i] = QChar(c.unicode() + 1);
      return text;
    }
    text[i] = erstes;
    letzteStelle = i;
  }
  if (letzteStelle < 0) return text + QLatin1Char('1');  // nothing to count: never repeat the value
  const QChar c = text[letzteStelle];
  const QChar eins = c == QLatin1Char('0') ? QLatin1Char('1') : c;  // "9" -> "10", "Z" -> "AA"
  text.insert(letzteStelle, eins);
  return text;
}

}  // namespace

namespace {
constexpr std::array<bool, 256> ZahlungszeichenTafel() {
  std::array<bool, 256> t{};
  for (const char16_t c : u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,&-+*%/$ÄÖÜß():abcdefghijklmnopqrstuvwxyzäöü")
    if (c) t[c] = true;
  return t;
}
}  // namespace

// The set and the lower-case letters that count as their capitals, listed, not derived by toUpper(): 'ı' or
// 'ſ' upper-case to I and S but are not part of the set.
const std::array<bool, 256> Zahlungszeichen::Tafel = ZahlungszeichenTafel();

QVariant UngueltigeZeichenEntfernen(const QVariant& text, int kennzeichen, bool& gueltig, bool& geaendert) {
  const Zahlungstext z = ZahlungstextUmschreiben(AlsText(text));
  if (z.geaendert) geaendert = true;
  gueltig = kennzeichen != 0 || !z.text.isEmpty();
  return QVariant(z.text);
}

QString ZahlungszeichenFiltern(const QString& text) { return ZahlungstextUmschreiben(text).text; }

namespace {

// What a character of the payment set becomes in a SEPA text node (SonderzeichenErsetzen is always on): the
// conversion the German banks' character set names for them (umlauts A, O, U, a, o, u; ß s).
QChar SepaErsatz(QChar c) {
  static const QHash<QChar, QChar> ersatz = {
      {QChar(0x00C4), QLatin1Char('A')}, {QChar(0x00D6), QLatin1Char('O')}, {QChar(0x00DC), QLatin1Char('U')},
      {QChar(0x00E4), QLatin1Char('a')}, {QChar(0x00F6), QLatin1Char('o')}, {QChar(0x00FC), QLatin1Char('u')},
      {QChar(0x00DF), QLatin1Char('s')}, {QLatin1Char('&'), QLatin1Char('+')}, {QLatin1Char('*'), QLatin1Char('.')},
      {QLatin1Char('$'), QLatin1Char('.')}, {QLatin1Char('%'), QLatin1Char('.')},
  };
  return ersatz.value(c, c);
}

// SepaZeichenWandeln as byte tables for what is one character in and at most one out, taken from the
// QString form itself: an ASCII byte, or a Latin-1 character as the two bytes C2/C3 xx. 0 drops the byte;
// Umschreiben marks a character whose transliteration is longer (æ ae) or depends on its neighbours.
constexpr char Umschreiben = char(0xFF);

struct Wandeltafel {
  std::array<char, 128> einzeln{};
  std::array<std::array<char, 64>, 2> nachC2C3{};
  Wandeltafel() {
    for (char16_t u = 1; u < 256; ++u) {
      const QString aus = SepaZeichenWandeln(QVariant(QString(QChar(u))));
      Q_ASSERT(aus.size() != 1 || aus.at(0).unicode() < 128);
      const char c = aus.isEmpty() ? char(0) : aus.size() == 1 ? char(aus.at(0).unicode()) : Umschreiben;
      if (u < 128) {
        Q_ASSERT(c != Umschreiben);
        einzeln[u] = c;
      } else {
        nachC2C3[(u >> 6) - 2][u & 0x3F] = c;
      }
    }
  }
};

}  // namespace

QString SepaZeichenWandeln(const QVariant& text) {
  QString s = ZahlungstextUmschreiben(AlsText(text)).text;
  for (QChar& c : s) c = SepaErsatz(c);
  return s;
}

void SepaZeichenWandelnUtf8(QByteArrayView text, QByteArray& ziel) {
  static const Wandeltafel tafel;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* ende = p + text.size();
  const qsizetype anfang = ziel.size();
  ziel.resize(anfang + text.size());   // the tables never give more than comes in
  char* aus = ziel.data() + anfang;
  while (p < ende) {
    const unsigned char b = *p++;
    if (b < 0x80) {
      if (const char c = tafel.einzeln[b]) *aus++ = c;
      continue;
    }
    if ((b == 0xC2 || b == 0xC3) && p < ende && (*p & 0xC0) == 0x80) {
      if (const char c = tafel.nachC2C3[b - 0xC2][*p & 0x3F]; c != Umschreiben) {
        if (c) *aus++ = c;
        ++p;
        continue;
      }
    }
    // A character to transliterate (Cyrillic, æ, é + a combining mark ...) or bytes that are no UTF-8: the
    // whole text through the QString form, which sees the neighbours.
    ziel.truncate(anfang);
    ziel += SepaZeichenWandeln(QVariant(QString::fromUtf8(text))).toLatin1();
    return;
  }
  ziel.truncate(aus - ziel.constData());
}

QVariant NummerErhoehen(const QVariant& wert, bool alsText) {
  if (IstNull(wert) || IstDatum(wert)) return wert;
  switch (wert.metaType().id()) {
    case QMetaType::Bool:
      return wert;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong: {
      const qlonglong zahl = wert.toLongLong();
      // Past the largest number the count goes on in decimal text, as for a text of digits.
      if (zahl == std::numeric_limits<qlonglong>::max()) return QVariant(DezimalPlusEins(QString::number(zahl)));
      return QVariant(zahl + 1);
    }
    case QMetaType::ULongLong:
    case QMetaType::ULong: {
      const qulonglong zahl = wert.toULongLong();
      if (zahl == std::numeric_limits<qulonglong>::max()) return QVariant(DezimalPlusEins(QString::number(zahl)));
      return QVariant(zahl + 1);
    }
    case QMetaType::Double:
    case QMetaType::Float:
      return QVariant(wert.toDouble() + 1.0);
    default:
      break;
  }
  if (wert.metaType() == QMetaType::fromType<Waehrung>())
    return QVariant::fromValue(wert.value<Waehrung>() + Waehrung::AusEuro(1));

  const QString text = wert.toString();
  if (!alsText) {
    if (auto zahl = ZahltextPlusEins(text)) return *zahl;
  }
  return QVariant(TextHochzaehlen(text));
}

namespace {
// Trims blanks only, as the old run time's Trim did.
QString LeerzeichenKuerzen(const QString& s) {
  qsizetype a = 0;
  qsizetype e = s.size();
  while (a < e && s[a] == QLatin1Char(' ')) ++a;
  while (e > a && s[e - 1] == QLatin1Char(' ')) --e;
  return s.mid(a, e - a);
}

QString Ersetzen(const QString& text, const QString& suchen, const QString& ersetzen, Qt::CaseSensitivity cs) {
  if (suchen.isEmpty()) return text;  // nothing to find; avoids an endless scan
  QString s = text;
  return s.replace(suchen, ersetzen, cs);  // left to right, continues behind each insertion
}
}  // namespace

void TextZerlegen(const QString& text, const QString& trenner, QStringList& teile) {
  teile.clear();
  teile.append(QString());
  const QStringList roh = trenner.isEmpty() ? QStringList{text} : text.split(trenner, Qt::KeepEmptyParts);
  for (const QString& teil : roh) teile.append(LeerzeichenKuerzen(teil));
}

void VariantErsetzen(QVariant& wert, const QString& suchen, const QString& ersetzen, int vergleich) {
  if (IstNull(wert)) return;
  wert = QVariant(Ersetzen(wert.toString(), suchen, ersetzen, vergleich == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive));
}

QString TextErsetzen(const QVariant& wert, const QString& suchen, const QString& ersetzen) {
  return Ersetzen(AlsText(wert), suchen, ersetzen, Qt::CaseSensitive);
}

QString AllesErsetzen(const QString& text, const QString& suchen, const QString& ersetzen) {
  return Ersetzen(text, suchen, ersetzen, Qt::CaseSensitive);
}

QString NullzeichenAbschneiden(const QString& text) {
  const qsizetype pos = text.indexOf(QChar(0));
  return pos < 0 ? text : text.left(pos);
}

QString Aufzaehlung(const QStringList& teile) {
  if (teile.size() < 2) return teile.value(0);
  return QStringList(teile.mid(0, teile.size() - 1)).join(QStringLiteral(", ")) + QStringLiteral(" und ") + teile.last();
}

QVariant NullErsetzen(const QVariant& wert) { return IstNull(wert) ? QVariant(0) : wert; }

QVariant LeerErsetzen(const QVariant& wert) {
  if (IstNull(wert)) return QVariant(0);
  if (wert.metaType().id() == QMetaType::QString && wert.toString().isEmpty()) return QVariant(0);
  return wert;
}
