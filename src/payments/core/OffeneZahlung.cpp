#include "payments/core/OffeneZahlung.h"

#include "payments/core/Zahlungsbefehle.h"

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

DbFehler ZahlungUnveraendertPruefen(Datenbank& db, qint64 zahlungNr, const Zahlungsstand& geladen, bool& veraltet) {
  veraltet = false;
  if (DbFehler f = ZahlungOffenPruefen(db, zahlungNr)) return f;
  std::optional<Zahlungsstand> jetzt;
  if (DbFehler f = ZahlungsstandLesen(db, zahlungNr, jetzt)) return f;
  if (!jetzt || *jetzt == geladen) return {};
  veraltet = true;
  return {DbFehlerNr::KeineTreffer,
          QStringLiteral("Die Zahlung wurde inzwischen an einem anderen Arbeitsplatz geändert; Ihre Änderung wurde nicht "
                         "gespeichert. Die gespeicherten Angaben werden neu angezeigt; bitte wiederholen Sie Ihre Änderung.")};
}
