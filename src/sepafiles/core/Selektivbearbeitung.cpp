#include "sepafiles/core/Selektivbearbeitung.h"

#include "payments/core/ZahlungenAbfrage.h"

namespace {

// The order as it was confirmed: still there, its done state unchanged, still within the criteria.
Bedingung UnveraendertBedingung(const SelektivAuftrag& auftrag, const Bedingung& kriterien) {
  return Bedingung("Zahlungen.ZahlungNr = ? AND (Zahlungen.Erledigt <> 0) = ?", {auftrag.zahlungNr, auftrag.erledigt})
      .Und(kriterien);
}

}  // namespace

int SelektivBestand::Erledigte() const {
  int n = 0;
  for (const SelektivAuftrag& a : auftraege) n += a.erledigt ? 1 : 0;
  return n;
}

Bedingung Selektivbearbeitung::Auswahlbedingung(const SelektivKriterien& k) {
  QList<Bedingung> teile;
  teile << Bedingung("Zahlungen.AbsenderNr = ?", {k.absenderNr});
  if (!k.alleZahlungen) {
    if (k.nurErledigte) {
      teile << Bedingung("Zahlungen.Erledigt <> 0");
      if (k.erledigtVon) teile << Bedingung("Zahlungen.ErledigtDatum >= ?", {*k.erledigtVon});
      // The day after: a done date with a time of day still counts to its day.
      if (k.erledigtBis) teile << Bedingung("Zahlungen.ErledigtDatum < ?", {k.erledigtBis->addDays(1)});
    }
    if (k.nurExportierte) teile << Bedingung("Zahlungen.BuchImport <> 0");
    if (k.zahlartIndex >= 1 && k.zahlartIndex <= 3) teile << ZahlartBedingung(static_cast<Zahlart>(k.zahlartIndex - 1));
  }
  return Bedingung::AlleUnd(teile);
}

Abfrage Selektivbearbeitung::Auswahl(const SelektivKriterien& kriterien) {
  return ZahlungenNachNummer(Auswahlbedingung(kriterien));
}

DbFehler Selektivbearbeitung::BestandLesen(Datenbank& db, const SelektivKriterien& kriterien, SelektivBestand& bestand) {
  bestand = {};
  const Bedingung b = Auswahlbedingung(kriterien);
  const DbFehler f = db.Abfragen(SqlText("SELECT Zahlungen.ZahlungNr, Zahlungen.Erledigt <> 0 FROM Zahlungen") +
                                     b.AlsWhere() + SqlText(" ORDER BY Zahlungen.ZahlungNr"),
                                 b.parameter, [&](const Zeile& z) {
                                   bestand.auftraege << SelektivAuftrag{z.Wert(0).toLongLong(), z.Wert(1).toLongLong() != 0};
                                   return true;
                                 });
  if (f) bestand = {};
  return f;
}

QString Selektivbearbeitung::Bestaetigung(const QString& aktionsname, const SelektivBestand& bestand) {
  return QStringLiteral("Die Aktion: '") + aktionsname + QStringLiteral("' wirkt sich mit den\r gewählten Einstellungen auf ") +
         QString::number(bestand.Anzahl()) + QStringLiteral(" Zahlungen aus.\rDavon sind ") +
         QString::number(bestand.Offene()) + QStringLiteral(" noch offen und ") + QString::number(bestand.Erledigte()) +
         QStringLiteral(" erledigt.\r\rBitte bestätigen Sie noch einmal mit <OK>");
}

DbFehler Selektivbearbeitung::Ausfuehren(Datenbank& db, const SelektivKriterien& kriterien, SelektivAktion aktion,
                                         const SelektivBestand& bestand) {
  if (bestand.auftraege.isEmpty()) return {};
  const Bedingung auswahl = Auswahlbedingung(kriterien);
  Transaktion transaktion(db);
  if (transaktion.Fehler()) return transaktion.Fehler();
  for (const SelektivAuftrag& a : bestand.auftraege) {
    const Bedingung unveraendert = UnveraendertBedingung(a, auswahl);
    int geaendert = 0;
    DbFehler f;
    if (aktion == SelektivAktion::Reaktivieren) {
      f = db.Ausfuehren(SqlText("UPDATE Zahlungen SET Erledigt = 0, ErledigtDatum = NULL, Buchungsdatum = NULL") +
                            unveraendert.AlsWhere(),
                        unveraendert.parameter, &geaendert);
    } else {
      // The lines go explicitly, so that no order leaves lines behind whatever the file's relation says.
      f = db.Ausfuehren("DELETE FROM Verwendungszweck WHERE ZahlungNr = ?", {a.zahlungNr});
      if (!f) f = db.Ausfuehren(SqlText("DELETE FROM Zahlungen") + unveraendert.AlsWhere(), unveraendert.parameter, &geaendert);
    }
    if (f) return f;
    if (geaendert != 1)
      return {DbFehlerNr::KeineTreffer,
              QStringLiteral("Die Zahlung Nr. %1 wurde inzwischen geändert oder gelöscht und entspricht nicht mehr "
                             "der Auswahl.")
                  .arg(a.zahlungNr)};
  }
  return transaktion.Commit();
}
