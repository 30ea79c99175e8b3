#include "platform/db/Waehrung.h"

#include <limits>

namespace {

// Integer division rounding half away from zero; divisor > 0.
int64_t TeilenKaufmaennisch(__int128 zaehler, int64_t teiler) {
  __int128 q = zaehler / teiler;
  __int128 r = zaehler % teiler;
  if (r < 0) r = -r;
  if (2 * r >= teiler) q += (zaehler < 0) ? -1 : 1;
  return static_cast<int64_t>(q);
}

QString Ziffern(uint64_t wert) { return QString::number(wert); }

QString MitTausenderPunkten(const QString& ziffern) {
  QString ergebnis;
  const int n = static_cast<int>(ziffern.size());
  ergebnis.reserve(n + n / 3);
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) ergebnis += QLatin1Char('.');
    ergebnis += ziffern.at(i);
  }
  return ergebnis;
}

// Shared parser: optional sign, integer digits (optionally grouped by `tausender`), decimal mark, up to four decimals.
std::optional<Waehrung> Parsen(const QString& eingabe, QChar dezimal, std::optional<QChar> tausender) {
  const QString text = eingabe.trimmed();
  if (text.isEmpty()) return std::nullopt;
  int i = 0;
  bool negativ = false;
  if (text.at(0) == QLatin1Char('-') || text.at(0) == QLatin1Char('+')) {
    negativ = text.at(0) == QLatin1Char('-');
    ++i;
  }
  const int n = static_cast<int>(text.size());
  QString ganz;
  bool gruppiert = false;
  int gruppenLaenge = 0;
  bool ersteGruppe = true;
  for (; i < n; ++i) {
    const QChar c = text.at(i);
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
      ganz += c;
      ++gruppenLaenge;
    } else if (tausender && c == *tausender) {
      // a thousands mark needs 1-3 digits before the first, exactly 3 between marks
      if (gruppenLaenge == 0 || gruppenLaenge > 3 || (!ersteGruppe && gruppenLaenge != 3)) return std::nullopt;
      gruppiert = true;
      ersteGruppe = false;
      gruppenLaenge = 0;
    } else {
      break;
    }
  }
  if (gruppiert && gruppenLaenge != 3) return std::nullopt;
  QString bruch;
  if (i < n) {
    if (text.at(i) != dezimal) return std::nullopt;
    ++i;
    for (; i < n; ++i) {
      const QChar c = text.at(i);
      if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
      bruch += c;
    }
  }
  if (ganz.isEmpty() && bruch.isEmpty()) return std::nullopt;
  if (bruch.size() > 4) return std::nullopt;
  while (bruch.size() < 4) bruch += QLatin1Char('0');
  // strip leading zeros so that long zero runs do not count as overflow
  int start = 0;
  while (start < ganz.size() - 1 && ganz.at(start) == QLatin1Char('0')) ++start;
  ganz = ganz.mid(start);
  if (ganz.isEmpty()) ganz = QStringLiteral("0");
  if (ganz.size() > 15) return std::nullopt;  // beyond 10^15 would overflow the ten-thousandths
  __int128 wert = 0;
  for (QChar c : ganz) wert = wert * 10 + (c.unicode() - u'0');
  for (QChar c : bruch) wert = wert * 10 + (c.unicode() - u'0');
  if (negativ) wert = -wert;
  if (wert > std::numeric_limits<int64_t>::max() || wert < std::numeric_limits<int64_t>::min()) return std::nullopt;
  return Waehrung::AusRoh(static_cast<int64_t>(wert));
}

}  // namespace

QString Waehrung::FormatDeutsch(bool mitTausender, int nachkommastellen) const {
  if (nachkommastellen < 0) nachkommastellen = 0;
  if (nachkommastellen > 4) nachkommastellen = 4;
  int64_t teiler = 1;
  for (int i = nachkommastellen; i < 4; ++i) teiler *= 10;
  const int64_t gerundet = TeilenKaufmaennisch(m_roh, teiler);  // in units of 10^-nachkommastellen
  const bool negativ = gerundet < 0;
  const uint64_t betrag = negativ ? 0 - static_cast<uint64_t>(gerundet) : static_cast<uint64_t>(gerundet);
  uint64_t einheit = 1;
  for (int i = 0; i < nachkommastellen; ++i) einheit *= 10;
  QString ganz = Ziffern(betrag / einheit);
  if (mitTausender) ganz = MitTausenderPunkten(ganz);
  QString ergebnis = negativ ? QStringLiteral("-") + ganz : ganz;
  if (nachkommastellen > 0)
    ergebnis += QLatin1Char(',') + QStringLiteral("%1").arg(betrag % einheit, nachkommastellen, 10, QLatin1Char('0'));
  return ergebnis;
}

QString Waehrung::FormatInvariant() const {
  const int64_t cent = TeilenKaufmaennisch(m_roh, 100);
  const bool negativ = cent < 0;
  const uint64_t betrag = negativ ? 0 - static_cast<uint64_t>(cent) : static_cast<uint64_t>(cent);
  return (negativ ? QStringLiteral("-") : QString()) + Ziffern(betrag / 100) + QLatin1Char('.') +
         QStringLiteral("%1").arg(betrag % 100, 2, 10, QLatin1Char('0'));
}

std::optional<Waehrung> Waehrung::ParseDeutsch(const QString& text) {
  return Parsen(text, QLatin1Char(','), QLatin1Char('.'));
}

std::optional<Waehrung> Waehrung::ParseInvariant(const QString& text) {
  return Parsen(text, QLatin1Char('.'), std::nullopt);
}

Waehrung Waehrung::AufCentGerundet() const { return AusRoh(TeilenKaufmaennisch(m_roh, 100) * 100); }

Waehrung Waehrung::AufCentBankers() const {
  int64_t q = m_roh / 100;
  int64_t r = m_roh % 100;
  const int64_t rb = r < 0 ? -r : r;
  const int64_t richtung = m_roh < 0 ? -1 : 1;
  if (rb > 50 || (rb == 50 && (q % 2 != 0))) q += richtung;
  return AusRoh(q * 100);
}

Waehrung Waehrung::Prozent(int64_t prozentHundertstel) const {
  return AusRoh(TeilenKaufmaennisch(static_cast<__int128>(m_roh) * prozentHundertstel, 10000));
}

Waehrung Waehrung::ProzentAufCent(Waehrung satz) const {
  // roh * satzRoh / (100 % * Skala) is in ten-thousandths; one more 100 gives cents.
  return AusCent(TeilenKaufmaennisch(static_cast<__int128>(m_roh) * satz.m_roh, 100 * Skala * 100));
}

const QString& Waehrung::BetragsrahmenText() {
  static const QString text = QStringLiteral("±") + AusRoh(Hoechstbetrag).FormatDeutsch();
  return text;
}

const QString& Waehrung::SummeNichtBildbarText() {
  static const QString text =
      QStringLiteral("Die Summe ist zu groß, um sie zu bilden (sie liegt außerhalb von %1).\rEin Betrag außerhalb "
                     "von %2 ist ein Fehler in den Daten; bitte korrigieren Sie ihn.")
          .arg(QStringLiteral("±") + AusRoh(Max).FormatDeutsch(), BetragsrahmenText());
  return text;
}
