#include "payments/core/ZeilenBetraege.h"

namespace {

std::optional<Waehrung> NullWennNull(Waehrung w) {
  if (w.IstNull()) return std::nullopt;
  return w;
}

}  // namespace

QString BetragsSpaltenFeld(BetragsSpalte spalte) {
  switch (spalte) {
    case BetragsSpalte::OPBetrag: return QStringLiteral("OPBetrag");
    case BetragsSpalte::SkontoBetrag: return QStringLiteral("SkontoBetrag");
    case BetragsSpalte::ZahlungsBetrag: return QStringLiteral("ZahlungsBetrag");
  }
  return {};
}

void BetragEingeben(ZeilenBetraege& zeile, BetragsSpalte spalte, std::optional<Waehrung> wert) {
  const Waehrung v = OderNull(wert);
  const std::optional<Waehrung> zelle = NullWennNull(v);
  const Waehrung op = OderNull(zeile.opBetrag);
  const Waehrung skonto = OderNull(zeile.skontoBetrag);
  const Waehrung zahlung = OderNull(zeile.zahlungsBetrag);

  switch (spalte) {
    case BetragsSpalte::OPBetrag:
      zeile.opBetrag = zelle;
      if (!v.IstNull()) zeile.zahlungsBetrag = v - skonto;
      break;
    case BetragsSpalte::SkontoBetrag:
      zeile.skontoBetrag = zelle;
      if (!op.IstNull() && !zahlung.IstNull()) zeile.zahlungsBetrag = op - v;
      else if (op.IstNull() && !zahlung.IstNull()) zeile.opBetrag = zahlung + v;
      break;
    case BetragsSpalte::ZahlungsBetrag:
      zeile.zahlungsBetrag = zelle;
      if (v.IstNull()) break;
      if (op.IstNull() && !skonto.IstNull()) zeile.opBetrag = skonto + v;
      else if (!op.IstNull() && skonto.IstNull()) zeile.opBetrag = v;
      else if (op.IstNull() && skonto.IstNull()) zeile.opBetrag = v;
      else zeile.skontoBetrag = NullWennNull(op - v);
      break;
  }
}

QString SummenText(Waehrung summe) {
  if (summe.IstNull()) return QStringLiteral(" ");
  return summe.FormatDeutsch(true, 2);
}
