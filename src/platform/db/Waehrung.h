#pragma once

#include <QMetaType>
#include <QString>

#include <compare>
#include <cstdint>
#include <optional>

// Money as the old Currency type: exact int64 in ten-thousandths. Never double.
class Waehrung {
 public:
  static constexpr int64_t Skala = 10000;

  constexpr Waehrung() = default;
  static constexpr Waehrung AusRoh(int64_t zehntausendstel) { Waehrung w; w.m_roh = zehntausendstel; return w; }
  static constexpr Waehrung AusCent(int64_t cent) { return AusRoh(cent * 100); }
  static constexpr Waehrung AusEuro(int64_t euro) { return AusRoh(euro * Skala); }

  constexpr int64_t Roh() const { return m_roh; }
  constexpr bool IstNull() const { return m_roh == 0; }
  constexpr bool IstNegativ() const { return m_roh < 0; }

  // German display form "1.234,56" (two decimals, thousands dots); mitTausender false gives "1234,56".
  QString FormatDeutsch(bool mitTausender = true, int nachkommastellen = 2) const;
  // Invariant file form with a dot and exactly two decimals ("1234.56", "-0.05").
  QString FormatInvariant() const;
  // Parses German input ("1.234,56", "-12,5", "12", "1234,5678"); more than four decimals is refused.
  static std::optional<Waehrung> ParseDeutsch(const QString& text);
  // Parses invariant text ("1234.56", "-0.5").
  static std::optional<Waehrung> ParseInvariant(const QString& text);

  // Rounding to the cent: half away from zero (commercial rounding).
  Waehrung AufCentGerundet() const;
  // Rounding to the cent: half to even, as the old run time's CCur/Round did.
  Waehrung AufCentBankers() const;
  // Cent-exact: no fraction below the cent.
  constexpr bool IstCentGenau() const { return m_roh % 100 == 0; }

  // Percentage of this amount (prozent in hundredths of a percent, e.g. 250 = 2,50 %), half away from zero to ten-thousandths.
  Waehrung Prozent(int64_t prozentHundertstel) const;
  // This amount times `satz` percent (a rate with up to four decimals, e.g. 2,5 %), rounded half away from
  // zero to the cent in one step (a cash discount).
  Waehrung ProzentAufCent(Waehrung satz) const;

  // The largest amount a payment, a line or a total may have: 999.999.999,99 (the files' and the
  // reports' limit). Anything beyond it is refused by the rules, never written.
  static constexpr int64_t Hoechstbetrag = 99'999'999'999LL * 100;
  // Within -Hoechstbetrag .. +Hoechstbetrag.
  constexpr bool ImBetragsrahmen() const { return m_roh >= -Hoechstbetrag && m_roh <= Hoechstbetrag; }
  // The range as messages name it: "±999.999.999,99".
  static const QString& BetragsrahmenText();
  // Why a total of many amounts cannot be formed: together they leave what the int64 holds (only amounts
  // far beyond the range, of a damaged or hand-edited database, get there). Two lines, joined by CR.
  static const QString& SummeNichtBildbarText();

  // Exact sum and difference, or nullopt where the int64 would overflow.
  static constexpr std::optional<Waehrung> Addiert(Waehrung a, Waehrung b) {
    int64_t r = 0;
    if (__builtin_add_overflow(a.m_roh, b.m_roh, &r)) return std::nullopt;
    return AusRoh(r);
  }
  static constexpr std::optional<Waehrung> Subtrahiert(Waehrung a, Waehrung b) {
    int64_t r = 0;
    if (__builtin_sub_overflow(a.m_roh, b.m_roh, &r)) return std::nullopt;
    return AusRoh(r);
  }

  // The operators saturate at the int64 bounds instead of wrapping: an overflowing sum stays far outside
  // ImBetragsrahmen, so the rules refuse it rather than paying a wrapped, plausible-looking amount.
  constexpr Waehrung operator-() const { return AusRoh(m_roh == Min ? Max : -m_roh); }
  constexpr Waehrung operator+(Waehrung o) const { return AusRoh(Saettigen(Addiert(*this, o), o.m_roh > 0)); }
  constexpr Waehrung operator-(Waehrung o) const { return AusRoh(Saettigen(Subtrahiert(*this, o), o.m_roh < 0)); }
  constexpr Waehrung& operator+=(Waehrung o) { return *this = *this + o; }
  constexpr Waehrung& operator-=(Waehrung o) { return *this = *this - o; }
  constexpr auto operator<=>(const Waehrung&) const = default;
  constexpr Waehrung Betrag() const { return m_roh < 0 ? -*this : *this; }

 private:
  static constexpr int64_t Max = INT64_MAX;
  static constexpr int64_t Min = INT64_MIN;
  // The exact value, or the bound the overflow ran past.
  static constexpr int64_t Saettigen(std::optional<Waehrung> exakt, bool nachOben) {
    if (exakt) return exakt->m_roh;
    return nachOben ? Max : Min;
  }

  int64_t m_roh = 0;
};

Q_DECLARE_METATYPE(Waehrung)
