#include "payments/core/Textschluessel.h"

namespace {

TextschluesselEintrag E(const char* code, const char* bedeutung) {
  return {QString::fromUtf8(code), QString::fromUtf8(bedeutung)};
}

}  // namespace

QList<TextschluesselEintrag> TextschluesselListe(const QString& art) {
  if (art == QLatin1String("L")) {
    return {E("COLL", "Einzug"), E("DBTC", "Lastschrift"), E("GDDS", "An- und Verkauf von Waren"),
            E("CORT", "Handelszahlung"), E("TRAD", "Handelsgeschäfte")};
  }
  return {E("CORT", "Handelszahlung"),
          E("TRAD", "Handelsgeschäfte"),
          E("GDDS", "An- und Verkauf von Waren"),
          E("CBFF", "Vermögenswirksame Leistungen"),
          E("SALA", "Gehaltszahlung"),
          E("PAYR", "Gehaltszahlung"),
          E("BONU", "Gehalt Bonusleistungen"),
          E("CASH", "Dispositionszahlung"),
          E("CHAR", "Spendenzahlung"),
          E("CMDT", "Wirtschaftsgüter"),
          E("PROV", "Provision"),
          E("DIVI", "Dividendenzahlung"),
          E("PHON", "Telefonrechnung"),
          E("RENT", "Miete"),
          E("SUBS", "Abonnement"),
          E("SUPP", "Lieferantenzahlung")};
}

int TextschluesselZeilen(const QString& art) {
  return static_cast<int>(TextschluesselListe(art).size());
}

QString TextschluesselNormalisieren(const QString& text, int feldGroesse) {
  QString s = text.trimmed().toUpper();
  if (feldGroesse > 0 && s.size() > feldGroesse) s.truncate(feldGroesse);
  return s;
}
