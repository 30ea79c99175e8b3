#include "common/MandatverlaufLesen.h"

#include "common/Textfunktionen.h"
#include "platform/db/Wertumwandlung.h"

namespace MandatverlaufLesen {
namespace {

// The done direct debits of one sender; the mandate references compare as their column does (NOCASE).
SqlText Grundabfrage() {
  return SqlText(
    "SELECT Verlauf.MandatReferenz, Verlauf.ZahlungNr, Verlauf.MandatSequenz, "
    "coalesce(Verlauf.Buchungsdatum, Verlauf.ErledigtDatum) FROM Zahlungen AS Verlauf "
    "WHERE Verlauf.AbsenderNr = ? AND Verlauf.Erledigt = 1 AND Verlauf.Art = ? AND Verlauf.MandatReferenz ");
}

DbFehler Lesen(Datenbank& db, const SqlText& sql, const QVariantList& parameter, Mandatverlaeufe& verlauf) {
  verlauf.clear();
  return db.Abfragen(sql, parameter, [&](const Zeile& z) {
    const QString schluessel = Auftragspruefung::MandatSchluessel(TextAusWert(z.Wert(0)));
    if (schluessel.isEmpty()) return true;
    Mandatverlauf v;
    v.ZahlungNr = z.Wert(1).toLongLong();
    v.MandatSequenz = IstNull(z.Wert(2)) ? 0 : int(z.Wert(2).toLongLong());
    v.Datum = DatumAusWert(z.Wert(3)).value_or(QDate());
    auto bisher = verlauf.find(schluessel);
    if (bisher == verlauf.end()) {
      verlauf.insert(schluessel, v);
    } else if (v.Datum > bisher->Datum || (v.Datum == bisher->Datum && v.ZahlungNr > bisher->ZahlungNr)) {
      *bisher = v;
    }
    return true;
  });
}

}  // namespace

SqlText Sql(const Bedingung& auftraege) {
  return Grundabfrage() + SqlText("IN (SELECT Zahlungen.MandatReferenz FROM Zahlungen") + auftraege.AlsWhere() +
         SqlText(")");
}

DbFehler ZuAuftraegen(Datenbank& db, int absenderNr, const Bedingung& auftraege, Mandatverlaeufe& verlauf) {
  return Lesen(db, Sql(auftraege), QVariantList{absenderNr, QStringLiteral("L")} + auftraege.parameter, verlauf);
}

DbFehler ZuReferenz(Datenbank& db, int absenderNr, const QString& referenz, Mandatverlaeufe& verlauf) {
  verlauf.clear();
  if (referenz.trimmed().isEmpty()) return {};
  return Lesen(db, Grundabfrage() + SqlText("= ?"), {absenderNr, QStringLiteral("L"), referenz.trimmed()},
               verlauf);
}

}  // namespace MandatverlaufLesen
