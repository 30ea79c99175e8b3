#include "payments/core/OffeneZahlung.h"

#include "payments/core/Zahlungsbefehle.h"

namespace {

// The done guard, then what is stored now against what the form showed; `lesen` leaves nullopt for a
// stored state that passes without comparing.
template <typename Stand, typename Lesen>
DbFehler UnveraendertPruefen(Datenbank& db, qint64 zahlungNr, const Stand& gezeigt, Lesen lesen) {
  if (DbFehler f = ZahlungOffenPruefen(db, zahlungNr)) return f;
  std::optional<Stand> jetzt;
  if (DbFehler f = lesen(jetzt)) return f;
  if (!jetzt || *jetzt == gezeigt) return {};
  return {DbFehlerNr::InzwischenGeaendert,
          QStringLiteral("Die Zahlung wurde inzwischen an einem anderen Arbeitsplatz geändert; Ihre Änderung wurde nicht "
                         "gespeichert. Die gespeicherten Angaben werden neu angezeigt; bitte wiederholen Sie Ihre Änderung.")};
}

}  // namespace

DbFehler ZahlungOffenPruefen(Datenbank& db, qint64 zahlungNr) {
  Q_ASSERT(db.TransaktionsTiefe() > 0);
  DbFehler f;
  const std::optional<QVariant> erledigt =
      db.Wert("SELECT Erledigt FROM Zahlungen WHERE ZahlungNr = ?", {QVariant(zahlungNr)}, f);
  if (f) return f;
  if (erledigt && erledigt->toInt() != 0)
    return {DbFehlerNr::KeineTreffer, QStringLiteral("Die Zahlung ist inzwischen erledigt und wird nicht geändert.")};
  return {};
}

DbFehler ZahlungsstandLesen(Datenbank& db, qint64 zahlungNr, std::optional<Zahlungsstand>& stand) {
  stand.reset();
  std::optional<ZahlungEingabe> werte;
  int sequenz = 0;
  if (DbFehler f = ZahlungLesen(db, zahlungNr, werte, &sequenz)) return f;
  if (werte) stand = Zahlungsstand{*werte, sequenz};
  return {};
}

DbFehler ZeilenstandLesen(Datenbank& db, qint64 zahlungNr, Zeilenstand& stand) {
  stand = {};
  DbFehler f;
  stand.zahlungGesamt = db.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {QVariant(zahlungNr)}, f);
  if (f) return f;
  return db.Abfragen("SELECT * FROM Verwendungszweck WHERE ZahlungNr = ? ORDER BY ZeilenNr, LfdNr", {QVariant(zahlungNr)},
                     [&](const Zeile& z) {
                       if (stand.spalten.isEmpty()) {
                         // Every column, also those the form does not show: a cancel writes them all back.
                         if (auto def = db.Tabelle(QStringLiteral("Verwendungszweck")))
                           for (const auto& feld : def->felder) stand.spalten << feld.name;
                       }
                       QVariantList werte;
                       for (const QString& s : stand.spalten) werte << z.Wert(s);
                       stand.zeilen.push_back(werte);
                       return true;
                     });
}

DbFehler ZahlungUnveraendertPruefen(Datenbank& db, qint64 zahlungNr, const Zahlungsstand& geladen) {
  // A gone row passes: the save finds that out itself.
  return UnveraendertPruefen(db, zahlungNr, geladen,
                             [&](std::optional<Zahlungsstand>& jetzt) { return ZahlungsstandLesen(db, zahlungNr, jetzt); });
}

DbFehler ZeilenUnveraendertPruefen(Datenbank& db, qint64 zahlungNr, const Zeilenstand& gezeigt) {
  // A gone payment differs from every state shown: lines written for it would belong to no payment.
  return UnveraendertPruefen(db, zahlungNr, gezeigt, [&](std::optional<Zeilenstand>& jetzt) {
    jetzt.emplace();
    return ZeilenstandLesen(db, zahlungNr, *jetzt);
  });
}

DbFehler ZeilenschreibenPruefen(Datenbank& db, qint64 zahlungNr, const Zeilenstand* gezeigt) {
  return gezeigt ? ZeilenUnveraendertPruefen(db, zahlungNr, *gezeigt) : ZahlungOffenPruefen(db, zahlungNr);
}

DbFehler ZeilenschreibenAbschliessen(Datenbank& db, Transaktion& t, qint64 zahlungNr, Zeilenstand* gezeigt) {
  Zeilenstand danach;
  if (gezeigt)
    if (DbFehler f = ZeilenstandLesen(db, zahlungNr, danach)) return f;
  if (DbFehler f = t.Commit()) return f;
  if (gezeigt) *gezeigt = std::move(danach);
  return {};
}
