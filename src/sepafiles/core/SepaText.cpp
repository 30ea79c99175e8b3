#include "sepafiles/core/SepaText.h"

#include <array>
#include <cstring>

#include "common/Textfunktionen.h"

namespace SepaText {
namespace {

bool XmlZeichenErlaubt(char32_t c) {
  if (c == 0x9 || c == 0xA || c == 0xD) return true;
  if (c < 0x20) return false;
  if (c >= 0xD800 && c <= 0xDFFF) return false;
  return c != 0xFFFE && c != 0xFFFF;
}

}  // namespace

QString Betrag(Waehrung betrag) {
  QByteArray text;
  BetragAnhaengen(text, betrag);
  return QString::fromLatin1(text);
}

void BetragAnhaengen(QByteArray& ziel, Waehrung betrag) {
  char text[BetragLaenge];
  ziel.append(text, BetragSchreiben(text, betrag) - text);
}

char* BetragSchreiben(char* ziel, Waehrung betrag) {
  const int64_t roh = betrag.Roh();
  const uint64_t wert = roh < 0 ? uint64_t(0) - uint64_t(roh) : uint64_t(roh);
  uint64_t ganz = wert / uint64_t(Waehrung::Skala);
  uint64_t bruch = wert % uint64_t(Waehrung::Skala);
  if (wert == 0) {
    *ziel++ = '0';
    return ziel;
  }
  if (roh < 0) *ziel++ = '-';
  if (ganz) {
    char ziffern[20];
    int n = 0;
    for (; ganz > 0; ganz /= 10) ziffern[n++] = char('0' + ganz % 10);
    while (n > 0) *ziel++ = ziffern[--n];
  }
  if (bruch) {
    *ziel++ = '.';
    for (uint64_t teiler = uint64_t(Waehrung::Skala) / 10; bruch > 0; teiler /= 10) {
      *ziel++ = char('0' + bruch / teiler);
      bruch %= teiler;
    }
  }
  return ziel;
}

QString XmlMaskieren(const QString& text) {
  QString ergebnis;
  ergebnis.reserve(text.size() + 8);
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar z = text.at(i);
    switch (z.unicode()) {
      case '&': ergebnis += QLatin1String("&amp;"); break;
      case '<': ergebnis += QLatin1String("&lt;"); break;
      case '>': ergebnis += QLatin1String("&gt;"); break;
      case '"': ergebnis += QLatin1String("&quot;"); break;
      case '\'': ergebnis += QLatin1String("&apos;"); break;
      default:
        if (z.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
          ergebnis += z;
          ergebnis += text.at(++i);
        } else if (XmlZeichenErlaubt(z.unicode())) {
          ergebnis += z;
        }
        break;
    }
  }
  return ergebnis;
}

namespace {
// 1: a byte XmlMaskieren passes unchanged; 0: escaped, dropped or not ASCII.
const std::array<bool, 256>& Einfach() {
  static const auto tafel = [] {
    std::array<bool, 256> t{};
    for (int b = 0x20; b < 0x80; ++b) t[b] = true;
    t['\t'] = t['\n'] = t['\r'] = true;
    t['&'] = t['<'] = t['>'] = t['"'] = t['\''] = false;
    return t;
  }();
  return tafel;
}
}  // namespace

bool OhneMaskierung(QByteArrayView text) {
  const std::array<bool, 256>& einfach = Einfach();
  for (const char c : text)
    if (!einfach[static_cast<unsigned char>(c)]) return false;
  return true;
}

void MaskiertAnhaengen(QByteArray& ziel, QByteArrayView text) {
  if (OhneMaskierung(text)) {
    ziel.append(text);
    return;
  }
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ziel += XmlMaskieren(QString::fromUtf8(text)).toUtf8();
      return;
    }
  }
  const std::array<bool, 256>& einfach = Einfach();
  for (const char c : text) {
    switch (c) {
      case '&': ziel += "&amp;"; break;
      case '<': ziel += "&lt;"; break;
      case '>': ziel += "&gt;"; break;
      case '"': ziel += "&quot;"; break;
      case '\'': ziel += "&apos;"; break;
      default:
        if (einfach[static_cast<unsigned char>(c)]) ziel += c;   // control characters drop out
        break;
    }
  }
}

QString Gewandelt(const QString& text) {
  QByteArray bytes;
  GewandeltAnhaengen(bytes, text.toUtf8());
  return QString::fromLatin1(bytes);
}

void GewandeltAnhaengen(QByteArray& ziel, QByteArrayView text) {
  // The converted text is ASCII whose only blank is ' ': trimming it trims what went in as well.
  const qsizetype anfang = ziel.size();
  SepaZeichenWandelnUtf8(text, ziel);
  qsizetype von = anfang;
  qsizetype bis = ziel.size();
  while (von < bis && ziel.at(von) == ' ') ++von;
  while (bis > von && ziel.at(bis - 1) == ' ') --bis;
  if (von > anfang) std::memmove(ziel.data() + anfang, ziel.constData() + von, size_t(bis - von));
  ziel.truncate(anfang + (bis - von));
}

void GetrimmtAnhaengen(QByteArray& ziel, QByteArrayView text) {
  auto leer = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };   // QChar::isSpace in ASCII
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ziel += QString::fromUtf8(text).trimmed().toUtf8();
      return;
    }
  }
  qsizetype von = 0;
  qsizetype bis = text.size();
  while (von < bis && leer(text[von])) ++von;
  while (bis > von && leer(text[bis - 1])) --bis;
  ziel.append(text.sliced(von, bis - von));
}

QString DateinamenBemerkung(const QString& bemerkung) {
  QString ergebnis;
  for (const QChar z : bemerkung) {
    if (z.isLetterOrNumber() || z == QLatin1Char(' ') || z == QLatin1Char('.') || z == QLatin1Char('_') ||
        z == QLatin1Char('-'))
      ergebnis += z;
  }
  return ergebnis.trimmed();
}

}  // namespace SepaText
