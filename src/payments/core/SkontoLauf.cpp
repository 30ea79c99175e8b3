#include "payments/core/SkontoLauf.h"

#include <QSet>

#include "payments/core/ZahlungenAbfrage.h"
#include "payments/core/Zahlungswerte.h"
#include "platform/db/Wertumwandlung.h"

namespace {

// A run that failed and was rolled back as a whole.
SkontoErgebnis Fehlgeschlagen(const DbFehler& fehler) {
  SkontoErgebnis e;
  e.fehler = fehler;
  return e;
}

struct Gelesen {
  qint64 zahlungNr = 0;
  ZeilenBetraege betraege;
  QString name;
  QString text;
};

// The line as it is now, inside the run's transaction; nullopt when it or its open payment is gone.
std::optional<Gelesen> ZeileLesen(Datenbank& db, qint64 lfdNr, DbFehler& fehler) {
  std::optional<Gelesen> ergebnis;
  fehler = db.Abfragen(
      "SELECT Verwendungszweck.ZahlungNr, Verwendungszweck.OPBetrag, Verwendungszweck.SkontoBetrag, "
      "Verwendungszweck.ZahlungsBetrag, Zahlungen.Name, Verwendungszweck.Verwendungszweck FROM Verwendungszweck "
      "INNER JOIN Zahlungen ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr WHERE Verwendungszweck.LfdNr = ? "
      "AND Zahlungen.Erledigt = 0",
      {QVariant(lfdNr)}, [&](const Zeile& z) {
        ergebnis = Gelesen{z.Wert(0).toLongLong(),
                           {WaehrungAusWert(z.Wert(1)), WaehrungAusWert(z.Wert(2)), WaehrungAusWert(z.Wert(3))},
                           TextAusWert(z.Wert(4)),
                           TextAusWert(z.Wert(5))};
        return false;
      });
  return ergebnis;
}

DbFehler ZeileSchreiben(Datenbank& db, qint64 lfdNr, const ZeilenBetraege& b) {
  return db.Ausfuehren("UPDATE Verwendungszweck SET OPBetrag = ?, SkontoBetrag = ?, ZahlungsBetrag = ? WHERE LfdNr = ?",
                       {WertAusWaehrung(b.opBetrag), WertAusWaehrung(b.skontoBetrag), WertAusWaehrung(b.zahlungsBetrag),
                        QVariant(lfdNr)});
}

// Why the run may not start with these settings (the dialog's fields keep to them); empty when it may.
QString VorgabeGrund(const SkontoVorgabe& v) {
  if (v.skonto && (v.prozent < -SkontoRechnung::ProzentGrenze || v.prozent > SkontoRechnung::ProzentGrenze))
    return QStringLiteral("Der Prozentsatz %1 liegt außerhalb von -99,99 bis 99,99.").arg(v.prozent.FormatDeutsch(false, 2));
  if (!v.skonto && (v.vorkomma < 0 || v.vorkomma > SkontoRechnung::VorkommaHoechst || v.nachkomma < 0 ||
                    v.nachkomma > SkontoRechnung::NachkommaHoechst))
    return QStringLiteral("Die Stellenzahl der Abrundung liegt außerhalb von 0 bis 9 (vor dem Komma) bzw. 0 bis 2 (nach "
                          "dem Komma).");
  return {};
}

// A line the bank could not pay: its new amounts must stay within the money range.
QString ZeilenGrund(const Gelesen& zeile, const ZeilenBetraege& neu) {
  for (const Waehrung w : {OderNull(neu.zahlungsBetrag), OderNull(neu.skontoBetrag)}) {
    if (w.ImBetragsrahmen()) continue;
    return QStringLiteral("Der Betrag der Zeile \"%1\" der Zahlung an \"%2\" läge mit %3 außerhalb von %4.")
        .arg(zeile.text, zeile.name, w.FormatDeutsch(), Waehrung::BetragsrahmenText());
  }
  return {};
}

// Each touched payment's total becomes the sum of its lines; the first total outside the money range
// is given as the reason (a run then rolls back, a reset keeps it: it was there before the dialog).
DbFehler GesamtbetraegeSchreiben(Datenbank& db, const QSet<qint64>& zahlungen, QString& grund, int& ohneBetrag) {
  for (qint64 nr : zahlungen) {
    if (DbFehler f = db.Ausfuehren("UPDATE Zahlungen SET ZahlungGesamt = (SELECT COALESCE(SUM(ZahlungsBetrag), 0) "
                                   "FROM Verwendungszweck WHERE ZahlungNr = ?) WHERE ZahlungNr = ?",
                                   {QVariant(nr), QVariant(nr)}))
      return f;
    DbFehler f = db.Abfragen("SELECT ZahlungGesamt, Name FROM Zahlungen WHERE ZahlungNr = ?", {QVariant(nr)},
                             [&](const Zeile& z) {
                               const Waehrung gesamt = OderNull(WaehrungAusWert(z.Wert(0)));
                               if (gesamt <= Waehrung()) ++ohneBetrag;
                               if (!gesamt.ImBetragsrahmen() && grund.isEmpty())
                                 grund = QStringLiteral("Der Gesamtbetrag der Zahlung an \"%1\" läge mit %2 außerhalb von %3.")
                                             .arg(TextAusWert(z.Wert(1)), gesamt.FormatDeutsch(), Waehrung::BetragsrahmenText());
                               return false;
                             });
    if (f) return f;
  }
  return {};
}

SkontoErgebnis Abgelehnt(const QString& grund) {
  SkontoErgebnis e;
  e.abgelehnt = grund + QStringLiteral("\r\rDer Abzug wurde nicht vorgenommen; alle Beträge sind unverändert.");
  return e;
}

QString Fehlertext(const QString& titel, const DbFehler& fehler, const QString& folge) {
  return titel + QStringLiteral("\r\r") + fehler.Meldungstext() + QStringLiteral("\r\r") + folge;
}

}  // namespace

Abfrage SkontoAbfrage(const Bedingung& zahlungen) {
  Abfrage a;
  a.spalten = SqlText(
      "Zahlungen.Name, Verwendungszweck.Verwendungszweck, Verwendungszweck.OPBetrag, Verwendungszweck.SkontoBetrag, "
      "Verwendungszweck.ZahlungsBetrag, Verwendungszweck.ZahlungNr, Verwendungszweck.LfdNr");
  a.quelle = SqlText("Zahlungen INNER JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr");
  a.bedingung = ZahlungenDerListe(zahlungen, "Verwendungszweck.ZahlungNr");
  a.sortierung = SqlText("Verwendungszweck.ZahlungNr, Verwendungszweck.LfdNr");
  a.schluessel = SqlText("Verwendungszweck.LfdNr");
  a.haupttabelle = QStringLiteral("Verwendungszweck");
  return a;
}

DbFehler SkontoSummenErmitteln(Datenbank& db, const Bedingung& zahlungen, SkontoSummen& summen) {
  summen = {};
  const Bedingung b = ZahlungenDerListe(zahlungen, "Verwendungszweck.ZahlungNr");
  return db.Abfragen(SqlText("SELECT COALESCE(SUM(OPBetrag), 0), COALESCE(SUM(SkontoBetrag), 0), "
                             "COALESCE(SUM(ZahlungsBetrag), 0) FROM Verwendungszweck") +
                         b.AlsWhere(),
                     b.parameter, [&](const Zeile& z) {
                       summen.opBetrag = Waehrung::AusRoh(z.Wert(0).toLongLong());
                       summen.skontoBetrag = Waehrung::AusRoh(z.Wert(1).toLongLong());
                       summen.zahlungsBetrag = Waehrung::AusRoh(z.Wert(2).toLongLong());
                       return false;
                     });
}

QString SkontoLaufFehlertext(const DbFehler& fehler) {
  return Fehlertext(QStringLiteral("Fehler beim Speichern der Daten!"), fehler,
                    QStringLiteral("Der Abzug wurde nicht vorgenommen; alle Beträge sind unverändert."));
}

QString SkontoZuruecksetzenFehlertext(const DbFehler& fehler) {
  return Fehlertext(QStringLiteral("Fehler beim Zurücksetzen der Änderungen!"), fehler,
                    QStringLiteral("Die Beträge sind unverändert; die Änderungen können weiterhin zurückgesetzt werden."));
}

QString SkontoUebergangenText(const SkontoErgebnis& ergebnis, bool zuruecksetzen) {
  if (ergebnis.uebergangen <= 0) return {};
  const QString anzahl = QString::number(ergebnis.uebergangen);
  if (zuruecksetzen)
    return anzahl + QStringLiteral(" Zeile(n) wurde(n) nicht zurückgesetzt, weil sie inzwischen an anderer Stelle "
                                   "geändert wurde(n) oder ihre Zahlung erledigt oder gelöscht ist.");
  return anzahl + QStringLiteral(" Zeile(n) wurde(n) nicht geändert, weil ihre Zahlung inzwischen erledigt oder "
                                 "gelöscht ist.");
}

QString SkontoOhneBetragText(const SkontoErgebnis& ergebnis) {
  if (ergebnis.ohneBetrag <= 0) return {};
  return QString::number(ergebnis.ohneBetrag) +
         QStringLiteral(" Zahlung(en) hat/haben nach dem Abzug einen Gesamtbetrag von 0,00 oder weniger (Gutschriften "
                        "behalten ihren Betrag) und kann/können so nicht ausgeführt werden.");
}

SkontoErgebnis SkontoSitzung::Abziehen(Datenbank& db, const QList<qint64>& lfdNummern, const SkontoVorgabe& vorgabe) {
  if (const QString grund = VorgabeGrund(vorgabe); !grund.isEmpty()) return Abgelehnt(grund);
  SkontoErgebnis e;
  Transaktion t(db);
  if (t.Fehler()) {
    e.fehler = t.Fehler();
    return e;
  }
  // The session takes the new state only once the transaction is committed.
  QMap<qint64, Stand> staende = m_zeilen;
  QSet<qint64> zahlungen;
  for (qint64 lfdNr : lfdNummern) {
    DbFehler f;
    const std::optional<Gelesen> zeile = ZeileLesen(db, lfdNr, f);
    if (f) return Fehlgeschlagen(f);
    if (!zeile) {
      ++e.uebergangen;
      continue;
    }
    const ZeilenBetraege neu = SkontoRechnung::ZeileBerechnen(zeile->betraege, vorgabe);
    if (neu != zeile->betraege) {
      if (const QString grund = ZeilenGrund(*zeile, neu); !grund.isEmpty()) return Abgelehnt(grund);
      if (DbFehler s = ZeileSchreiben(db, lfdNr, neu)) return Fehlgeschlagen(s);
    }
    auto stand = staende.find(lfdNr);
    if (stand == staende.end()) {
      staende.insert(lfdNr, Stand{zeile->zahlungNr, zeile->betraege, neu});
    } else {
      // Changed elsewhere since the last run: what it had then is no longer the dialog's to restore.
      if (stand->jetzt != zeile->betraege) stand->original = zeile->betraege;
      stand->jetzt = neu;
    }
    zahlungen.insert(zeile->zahlungNr);
    ++e.bearbeitet;
  }
  QString grund;
  if (DbFehler f = GesamtbetraegeSchreiben(db, zahlungen, grund, e.ohneBetrag)) return Fehlgeschlagen(f);
  if (!grund.isEmpty()) return Abgelehnt(grund);
  if (DbFehler f = t.Commit()) return Fehlgeschlagen(f);
  m_zeilen = std::move(staende);
  return e;
}

SkontoErgebnis SkontoSitzung::Zuruecksetzen(Datenbank& db) {
  SkontoErgebnis e;
  Transaktion t(db);
  if (t.Fehler()) {
    e.fehler = t.Fehler();
    return e;
  }
  QSet<qint64> zahlungen;
  for (auto it = m_zeilen.cbegin(); it != m_zeilen.cend(); ++it) {
    DbFehler f;
    const std::optional<Gelesen> zeile = ZeileLesen(db, it.key(), f);
    if (f) return Fehlgeschlagen(f);
    if (!zeile || zeile->betraege != it->jetzt) {
      ++e.uebergangen;
      continue;
    }
    if (it->original != zeile->betraege) {
      if (DbFehler s = ZeileSchreiben(db, it.key(), it->original)) return Fehlgeschlagen(s);
    }
    zahlungen.insert(zeile->zahlungNr);
    ++e.bearbeitet;
  }
  // Back to amounts the lines had before: a total outside the range was there before the dialog.
  QString grund;
  int ohneBetrag = 0;
  if (DbFehler f = GesamtbetraegeSchreiben(db, zahlungen, grund, ohneBetrag)) return Fehlgeschlagen(f);
  if (DbFehler f = t.Commit()) return Fehlgeschlagen(f);
  m_zeilen.clear();
  return e;
}
