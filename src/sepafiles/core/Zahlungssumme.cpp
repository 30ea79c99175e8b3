#include "sepafiles/core/Zahlungssumme.h"

#include "common/Textfunktionen.h"

SqlText ZahlungenMitZeilen() {
  return SqlText("Zahlungen INNER JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr");
}

// The rule of the sign, once in SQL (the total over many rows) and once per row; the two agree.
SqlText VorzeichenSummeSql(const Bedingung& bedingung) {
  return SqlText("SELECT SUM(CASE WHEN Zahlungen.Art = 'G' THEN -IFNULL(Verwendungszweck.ZahlungsBetrag, 0) "
                 "ELSE IFNULL(Verwendungszweck.ZahlungsBetrag, 0) END) FROM ") +
         ZahlungenMitZeilen() + bedingung.AlsWhere();
}

Waehrung VorzeichenSumme(Datenbank& db, const Bedingung& bedingung, DbFehler& fehler) {
  const std::optional<QVariant> summe = db.Wert(VorzeichenSummeSql(bedingung), bedingung.parameter, fehler);
  if (fehler || !summe || IstNull(*summe)) return Waehrung();
  return Waehrung::AusRoh(summe->toLongLong());
}

Waehrung VorzeichenBetrag(const QString& art, const std::optional<Waehrung>& betrag) {
  const Waehrung b = betrag.value_or(Waehrung());
  // Art is compared without regard to case, as its column is.
  return art.compare(QLatin1String("G"), Qt::CaseInsensitive) == 0 ? -b : b;
}
