#include "sepafiles/core/Zahlungssumme.h"

#include "common/Textfunktionen.h"

SqlText ZahlungenMitZeilen() {
  return SqlText("Zahlungen INNER JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr");
}

namespace {

// The rule of the sign, once in SQL (the total over many rows) and once per row; the two agree.
SqlText SummeSql(const SqlText& quelle, const SqlText& betrag, const Bedingung& bedingung) {
  return SqlText("SELECT SUM(CASE WHEN Zahlungen.Art = 'G' THEN -(") + betrag + SqlText(") ELSE ") + betrag +
         SqlText(" END) FROM ") + quelle + bedingung.AlsWhere();
}

Waehrung SummeLesen(Datenbank& db, const SqlText& sql, const Bedingung& bedingung, DbFehler& fehler) {
  const std::optional<QVariant> summe = db.Wert(sql, bedingung.parameter, fehler);
  if (fehler || !summe || IstNull(*summe)) return Waehrung();
  return Waehrung::AusRoh(summe->toLongLong());
}

}  // namespace

SqlText VorzeichenSummeSql(const Bedingung& bedingung) {
  return SummeSql(ZahlungenMitZeilen(), SqlText("IFNULL(Verwendungszweck.ZahlungsBetrag, 0)"), bedingung);
}

Waehrung VorzeichenSumme(Datenbank& db, const Bedingung& bedingung, DbFehler& fehler) {
  return SummeLesen(db, VorzeichenSummeSql(bedingung), bedingung, fehler);
}

SqlText AuftragsSummeSql(const Bedingung& bedingung) {
  return SummeSql(SqlText("Zahlungen LEFT JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr"),
                  SqlText("CASE WHEN Verwendungszweck.LfdNr IS NULL THEN IFNULL(Zahlungen.ZahlungGesamt, 0) "
                          "ELSE IFNULL(Verwendungszweck.ZahlungsBetrag, 0) END"),
                  bedingung);
}

Waehrung AuftragsSumme(Datenbank& db, const Bedingung& bedingung, DbFehler& fehler) {
  return SummeLesen(db, AuftragsSummeSql(bedingung), bedingung, fehler);
}

Waehrung VorzeichenBetrag(const QString& art, const std::optional<Waehrung>& betrag) {
  const Waehrung b = betrag.value_or(Waehrung());
  // Art is compared without regard to case, as its column is.
  return art.compare(QLatin1String("G"), Qt::CaseInsensitive) == 0 ? -b : b;
}
