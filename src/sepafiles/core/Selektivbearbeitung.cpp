#include "sepafiles/core/Selektivbearbeitung.h"

#include "payments/core/ZahlungenAbfrage.h"
#include "platform/db/Wertumwandlung.h"
#include "sepafiles/core/SepaLaufVermerke.h"
#include "zahlungsverkehr/MandatSequenz.h"

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
  const DbFehler f = db.Abfragen(
      SqlText("SELECT Zahlungen.ZahlungNr, Zahlungen.Erledigt <> 0, Zahlungen.ErledigtDatum, Zahlungen.Art = 'L', "
              "Zahlungen.MandatSequenz FROM Zahlungen") +
          b.AlsWhere() + SqlText(" ORDER BY Zahlungen.ZahlungNr"),
      b.parameter, [&](const Zeile& z) {
        const SelektivAuftrag a{z.Wert(0).toLongLong(), z.Wert(1).toLongLong() != 0};
        bestand.auftraege << a;
        if (!a.erledigt) return true;
        if (const std::optional<QDate> am = DatumAusWert(z.Wert(2))) {
          if (!bestand.erledigtAb || *am < *bestand.erledigtAb) bestand.erledigtAb = am;
          if (!bestand.erledigtBis || *am > *bestand.erledigtBis) bestand.erledigtBis = am;
        }
        if (z.Wert(3).toLongLong() != 0 && !z.Wert(4).isNull() && MandatVerbrauchend(z.Wert(4).toInt()))
          ++bestand.einmalOderLetzte;
        return true;
      });
  if (f) bestand = {};
  return f;
}

QString Selektivbearbeitung::LaufHindernis(Datenbank& db, DbFehler& fehler) {
  switch (SepaLaufVermerke::OffenerLauf(db, fehler)) {
    case SepaLaufVermerke::Stand::Keiner:
      return {};
    case SepaLaufVermerke::Stand::Laeuft:
      return QStringLiteral("Eine SEPA-Datei wird gerade an einem anderen Arbeitsplatz erstellt. Solange dieser Lauf "
                            "nicht beendet ist, können keine Zahlungen gelöscht oder reaktiviert werden.\r"
                            "Bitte warten Sie, bis der Lauf beendet ist, und versuchen Sie es dann noch einmal.");
    case SepaLaufVermerke::Stand::Unterbrochen:
      break;
  }
  return QStringLiteral("Ein SEPA-Lauf wurde unterbrochen, bevor seine SEPA-Dateien fertiggestellt waren; seine "
                        "Zahlungen sind als erledigt gekennzeichnet. Bis er fertiggestellt ist, können keine Zahlungen "
                        "gelöscht oder reaktiviert werden, sonst könnte eine Zahlung in zwei SEPA-Dateien an die Bank "
                        "gehen.\r"
                        "Bitte öffnen Sie das Fenster \"SEPA-Datei erstellen\" oder starten Sie das Programm neu; dabei "
                        "wird der Lauf fertiggestellt. Versuchen Sie es danach noch einmal.");
}

QString Selektivbearbeitung::Bestaetigung(const QString& aktionsname, const SelektivBestand& bestand,
                                          SelektivAktion aktion) {
  QString warnung;
  if (aktion == SelektivAktion::Reaktivieren && bestand.Erledigte() > 0) {
    const auto datum = [](const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); };
    QString wann;
    if (bestand.erledigtAb && bestand.erledigtBis)
      wann = *bestand.erledigtAb == *bestand.erledigtBis
                 ? QStringLiteral(" am ") + datum(*bestand.erledigtAb)
                 : QStringLiteral(" vom ") + datum(*bestand.erledigtAb) + QStringLiteral(" bis ") + datum(*bestand.erledigtBis);
    warnung = QStringLiteral("\rAchtung: Die erledigten Zahlungen wurden bereits%1 in eine SEPA-Datei übernommen. Sie gehen "
                             "mit der nächsten SEPA-Datei erneut an die Bank; hat die Bank die frühere Datei ausgeführt, "
                             "wird doppelt gezahlt oder eingezogen.")
                  .arg(wann);
    if (bestand.einmalOderLetzte > 0)
      warnung += (bestand.einmalOderLetzte == 1
                      ? QStringLiteral("\r1 davon ist eine Einmal- oder letzte Lastschrift")
                      : QStringLiteral("\r%1 davon sind Einmal- oder letzte Lastschriften").arg(bestand.einmalOderLetzte)) +
                 QStringLiteral("; ihr Mandat ist mit einem ausgeführten Einzug verbraucht.");
  }
  return QStringLiteral("Die Aktion: '") + aktionsname + QStringLiteral("' wirkt sich mit den\r gewählten Einstellungen auf ") +
         QString::number(bestand.Anzahl()) + QStringLiteral(" Zahlungen aus.\rDavon sind ") +
         QString::number(bestand.Offene()) + QStringLiteral(" noch offen und ") + QString::number(bestand.Erledigte()) +
         QStringLiteral(" erledigt.") + warnung + QStringLiteral("\r\rBitte bestätigen Sie noch einmal mit <OK>");
}

DbFehler Selektivbearbeitung::Ausfuehren(Datenbank& db, const SelektivKriterien& kriterien, SelektivAktion aktion,
                                         const SelektivBestand& bestand) {
  if (bestand.auftraege.isEmpty()) return {};
  const Bedingung auswahl = Auswahlbedingung(kriterien);
  Transaktion transaktion(db);
  if (transaktion.Fehler()) return transaktion.Fehler();
  // In the write transaction: a run's marks and records commit either before (seen here) or after this.
  DbFehler f;
  if (const QString hindernis = LaufHindernis(db, f); f || !hindernis.isEmpty())
    return f ? f : DbFehler{LaufOffenNr, hindernis};
  for (const SelektivAuftrag& a : bestand.auftraege) {
    const Bedingung unveraendert = UnveraendertBedingung(a, auswahl);
    int geaendert = 0;
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
