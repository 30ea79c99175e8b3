#include "zahlungsverkehr/Textschluessel.h"

namespace {

TextschluesselEintrag E(const char* code, const char* bedeutung) {
  return {QString::fromUtf8(code), QString::fromUtf8(bedeutung)};
}

}  // namespace

QList<TextschluesselEintrag> TextschluesselListe(const QString& art) {
  // Built once: the order check asks for every order.
  static const QList<TextschluesselEintrag> lastschrift = {
      E("COLL", "Einzug"), E("DBTC", "Lastschrift"), E("GDDS", "An- und Verkauf von Waren"),
      E("CORT", "Handelszahlung"), E("TRAD", "Handelsgeschäfte")};
  static const QList<TextschluesselEintrag> ueberweisung = {
          E("CORT", "Handelszahlung"),
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
  return art == QLatin1String("L") ? lastschrift : ueberweisung;
}

int TextschluesselZeilen(const QString& art) {
  return static_cast<int>(TextschluesselListe(art).size());
}

QString TextschluesselNormalisieren(const QString& text, int feldGroesse) {
  QString s = text.trimmed().toUpper();
  if (feldGroesse > 0 && s.size() > feldGroesse) s.truncate(feldGroesse);
  return s;
}

bool TextschluesselErlaubt(const QString& art, const QString& code) {
  for (const TextschluesselEintrag& t : TextschluesselListe(art))
    if (t.schluessel == code) return true;
  return false;
}
