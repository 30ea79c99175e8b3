#include "sepafiles/core/Zahlungssumme.h"

#include "common/Textfunktionen.h"

SqlText ZahlungenMitZeilen() {
  return SqlText("Zahlungen INNER JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr");
}

namespace {

// The rule of the sign, once in SQL (the total over many rows) and once per row; the two agree.
SqlText SummeSql(const SqlText& quelle, const SqlText& betrag, const Bedingung& bedingung) {
  return SqlText("SELECT tamo_summe(") + betrag + SqlText(", Zahlungen.Art = 'G') FROM ") + quelle +
         bedingung.AlsWhere();
}

// nullopt: failed (`fehler`) or too large to be formed.
std::optional<Waehrung> SummeLesen(Datenbank& db, const SqlText& sql, const Bedingung& bedingung, DbFehler& fehler) {
  const std::optional<QVariant> summe = db.Wert(sql, bedingung.parameter, fehler);
  if (fehler) return std::nullopt;
  if (!summe || IstNull(*summe)) return std::nullopt;
  return Waehrung::AusRoh(summe->toLongLong());
}

}  // namespace

SqlText VorzeichenSummeSql(const Bedingung& bedingung) {
  return SummeSql(ZahlungenMitZeilen(), SqlText("Verwendungszweck.ZahlungsBetrag"), bedingung);
}

std::optional<Waehrung> VorzeichenSumme(Datenbank& db, const Bedingung& bedingung, DbFehler& fehler) {
  return SummeLesen(db, VorzeichenSummeSql(bedingung), bedingung, fehler);
}

SqlText AuftragsSummeSql(const Bedingung& bedingung) {
  return SummeSql(SqlText("Zahlungen LEFT JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr"),
                  SqlText("CASE WHEN Verwendungszweck.LfdNr IS NULL THEN Zahlungen.ZahlungGesamt "
                          "ELSE Verwendungszweck.ZahlungsBetrag END"),
                  bedingung);
}

Waehrung AuftragsSumme(Datenbank& db, const Bedingung& bedingung, DbFehler& fehler) {
  const std::optional<Waehrung> summe = SummeLesen(db, AuftragsSummeSql(bedingung), bedingung, fehler);
  if (!summe && !fehler) fehler = {DbFehlerNr::FeldZuKlein, Waehrung::SummeNichtBildbarText()};
  return summe.value_or(Waehrung());
}

Waehrung VorzeichenBetrag(const QString& art, const std::optional<Waehrung>& betrag) {
  const Waehrung b = betrag.value_or(Waehrung());
  // Art is compared without regard to case, as its column is.
  return art.compare(QLatin1String("G"), Qt::CaseInsensitive) == 0 ? -b : b;
}
