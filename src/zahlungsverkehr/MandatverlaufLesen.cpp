#include "zahlungsverkehr/MandatverlaufLesen.h"

#include "common/Textfunktionen.h"
#include "platform/db/Wertumwandlung.h"

namespace MandatverlaufLesen {
namespace {

// The done direct debits of one sender, the columns the history needs. Art is written out: the partial index of
// these rows (Zahlungen_Mandate) serves only a statement that names its condition.
SqlText Spalten() {
  return SqlText("SELECT Verlauf.MandatReferenz, Verlauf.ZahlungNr, Verlauf.MandatSequenz, "
                 "coalesce(Verlauf.Buchungsdatum, Verlauf.ErledigtDatum) FROM ");
}
SqlText Verlaufsbedingung() {
  return SqlText("Verlauf.AbsenderNr = ? AND Verlauf.Erledigt = 1 AND Verlauf.Art = 'L' AND Verlauf.MandatReferenz ");
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

// The orders first, each mandate then looked up in the index of the done ones (CROSS JOIN keeps that order): a
// mandate without earlier collections costs one look into a small index, and the sender's history is never read
// as a whole.
SqlText Sql(const Bedingung& auftraege) {
  return Spalten() + SqlText("Zahlungen CROSS JOIN Zahlungen AS Verlauf ON ") + Verlaufsbedingung() +
         SqlText("= Zahlungen.MandatReferenz") + auftraege.AlsWhere();
}

DbFehler ZuAuftraegen(Datenbank& db, int absenderNr, const Bedingung& auftraege, Mandatverlaeufe& verlauf) {
  return Lesen(db, Sql(auftraege), QVariantList{absenderNr} + auftraege.parameter, verlauf);
}

DbFehler ZuReferenz(Datenbank& db, int absenderNr, const QString& referenz, Mandatverlaeufe& verlauf) {
  verlauf.clear();
  if (referenz.trimmed().isEmpty()) return {};
  return Lesen(db, Spalten() + SqlText("Zahlungen AS Verlauf WHERE ") + Verlaufsbedingung() + SqlText("= ?"),
               {absenderNr, referenz.trimmed()}, verlauf);
}

}  // namespace MandatverlaufLesen
