#include "sepafiles/core/SepaText.h"

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
  const int64_t roh = betrag.Roh();
  const uint64_t wert = roh < 0 ? uint64_t(0) - uint64_t(roh) : uint64_t(roh);
  const uint64_t ganz = wert / uint64_t(Waehrung::Skala);
  const uint64_t bruch = wert % uint64_t(Waehrung::Skala);
  QString text = ganz ? QString::number(ganz) : QString();
  if (bruch) {
    QString stellen = QString::number(bruch).rightJustified(4, QLatin1Char('0'));
    while (stellen.endsWith(QLatin1Char('0'))) stellen.chop(1);
    text += QLatin1Char('.') + stellen;
  }
  if (text.isEmpty()) return QStringLiteral("0");
  return roh < 0 ? QLatin1Char('-') + text : text;
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

QString Gewandelt(const QString& text, int laenge) {
  return SepaZeichenWandeln(text.trimmed()).trimmed().left(laenge).trimmed();
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
