#include "payments/core/SkontoRechnung.h"

#include <algorithm>

namespace {

// Division rounding half away from zero; both operands >= 0, teiler > 0.
int64_t Gerundet(int64_t wert, int64_t teiler) { return (wert + teiler / 2) / teiler; }

int64_t Zehnerpotenz(int n) {
  int64_t p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

int Stellen(int64_t ganz) {
  int n = 0;
  for (; ganz > 0; ganz /= 10) ++n;
  return n;
}

std::optional<bool> WahrheitAusText(const QString& text) {
  const QString t = text.trimmed();
  if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || t.compare(QLatin1String("Wahr"), Qt::CaseInsensitive) == 0)
    return true;
  if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 || t.compare(QLatin1String("Falsch"), Qt::CaseInsensitive) == 0)
    return false;
  if (const auto zahl = SkontoRechnung::ProzentAusText(t)) return !zahl->IstNull();
  return std::nullopt;
}

QString WahrheitAlsText(bool wert) { return wert ? QStringLiteral("True") : QStringLiteral("False"); }

int StellenAusText(const QString& text, int hoechst) {
  const auto zahl = SkontoRechnung::ProzentAusText(text);
  if (!zahl) return 0;
  const int64_t ganz = zahl->Roh() / Waehrung::Skala;
  return int(std::clamp<int64_t>(ganz, 0, hoechst));
}

}  // namespace

std::optional<Waehrung> SkontoRechnung::Abrunden(Waehrung betrag, int vorkomma, int nachkomma) {
  const bool negativ = betrag.IstNegativ();
  const int64_t roh = betrag.Betrag().Roh();
  int64_t ergebnis = 0;
  if (nachkomma > 0) {
    // Rounded to N decimals, then the N-th decimal set to 0.
    const int64_t einheit = Zehnerpotenz(4 - std::min(nachkomma, 4));
    const int64_t gerundet = Gerundet(roh, einheit) / 10 * 10;
    ergebnis = gerundet * einheit;
  } else {
    const int64_t ganz = Gerundet(roh, Waehrung::Skala);
    if (Stellen(ganz) <= vorkomma) return std::nullopt;
    const int64_t stelle = Zehnerpotenz(vorkomma);
    ergebnis = ganz / stelle * stelle * Waehrung::Skala;
  }
  return Waehrung::AusRoh(negativ ? -ergebnis : ergebnis);
}

ZeilenBetraege SkontoRechnung::ZeileBerechnen(const ZeilenBetraege& zeile, const SkontoVorgabe& v) {
  ZeilenBetraege z = zeile;
  Waehrung op = OderNull(z.opBetrag);
  const Waehrung zahlung = OderNull(z.zahlungsBetrag);
  if (!zahlung.IstNull() && op.IstNull()) {
    // The open item of such a line is what it pays plus the discount already taken (as a discount
    // typed into the line has it): from the paid amount alone a second run would take it again.
    const Waehrung offen = zahlung + OderNull(z.skontoBetrag);
    op = offen.IstNull() ? zahlung : offen;
    z.opBetrag = op;
  }
  const Waehrung basis = op.IstNull() ? zahlung : op;
  if (v.skonto) {
    if (basis > Waehrung()) {
      const Waehrung skonto = basis.ProzentAufCent(v.prozent);
      z.skontoBetrag = skonto;
      z.zahlungsBetrag = (basis - skonto).AufCentGerundet();
    }
  } else {
    // With N = 0 and too few digits ZahlungsBetrag keeps its value (which may differ from the base).
    if (const auto gerundet = Abrunden(basis, v.vorkomma, v.nachkomma)) z.zahlungsBetrag = *gerundet;
    if (!op.IstNull()) z.skontoBetrag = op - OderNull(z.zahlungsBetrag);
  }
  if (OderNull(z.skontoBetrag).IstNull()) z.skontoBetrag = std::nullopt;
  return z;
}

bool SkontoRechnung::AbzugMoeglich(bool nurMarkierte, int markierteZeilen, const SkontoVorgabe& v) {
  const bool zeilen = !nurMarkierte || markierteZeilen > 0;
  const bool aktion = v.skonto || v.vorkomma > 0 || v.nachkomma > 0;
  return zeilen && aktion;
}

QString SkontoRechnung::ProzentAlsText(Waehrung prozent) {
  QString text = prozent.AufCentGerundet().FormatInvariant();
  while (text.endsWith(QLatin1Char('0'))) text.chop(1);
  if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  if (text == QLatin1String("-0") || text.isEmpty()) text = QStringLiteral("0");
  return text;
}

std::optional<Waehrung> SkontoRechnung::ProzentAusText(const QString& text) {
  QString t = text.trimmed();
  const bool komma = t.contains(QLatin1Char(','));
  // One decimal mark only: a value below 100 never has a thousands mark.
  if (komma && t.contains(QLatin1Char('.'))) return std::nullopt;
  if (komma) t.replace(QLatin1Char(','), QLatin1Char('.'));
  return Waehrung::ParseInvariant(t);
}

SkontoEinstellungen SkontoEinstellungenLesen(const EinstellungsLeser& leser) {
  SkontoEinstellungen e;
  e.vorgabe.skonto = WahrheitAusText(leser(QStringLiteral("Aktion"), QStringLiteral("-1"))).value_or(true);
  const auto prozent = SkontoRechnung::ProzentAusText(leser(QStringLiteral("Prozent"), QStringLiteral("0")));
  e.vorgabe.prozent = std::clamp(prozent.value_or(Waehrung()).AufCentGerundet(), -SkontoRechnung::ProzentGrenze,
                                 SkontoRechnung::ProzentGrenze);
  e.vorgabe.vorkomma = StellenAusText(leser(QStringLiteral("Vorkomma"), QStringLiteral("0")), SkontoRechnung::VorkommaHoechst);
  e.vorgabe.nachkomma =
      StellenAusText(leser(QStringLiteral("Nachkomma"), QStringLiteral("0")), SkontoRechnung::NachkommaHoechst);
  e.nurMarkierte = WahrheitAusText(leser(QStringLiteral("Markierung"), QStringLiteral("-1"))).value_or(true);
  return e;
}

void SkontoEinstellungenSpeichern(const SkontoEinstellungen& e, const EinstellungsSchreiber& schreiber) {
  schreiber(QStringLiteral("Aktion"), WahrheitAlsText(e.vorgabe.skonto));
  schreiber(QStringLiteral("Prozent"), SkontoRechnung::ProzentAlsText(e.vorgabe.prozent));
  schreiber(QStringLiteral("Vorkomma"), QString::number(e.vorgabe.vorkomma));
  schreiber(QStringLiteral("Nachkomma"), QString::number(e.vorgabe.nachkomma));
  schreiber(QStringLiteral("Markierung"), WahrheitAlsText(e.nurMarkierte));
}
