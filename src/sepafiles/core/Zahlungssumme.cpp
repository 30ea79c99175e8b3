#include "sepafiles/core/Zahlungssumme.h"

#include "common/Textfunktionen.h"

SqlText ZahlungenMitZeilen() {
  return SqlText("Zahlungen INNER JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr");
}

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
