#include "payments/core/Verwendungszweckzeilen.h"

#include "payments/core/OffeneZahlung.h"
#include "payments/core/OPUebernahme.h"
#include "payments/core/Zahlungswerte.h"

namespace {

Verwendungszweckzeile ZeileAus(const Zeile& z) {
  Verwendungszweckzeile v;
  v.lfdNr = z.Wert(QStringLiteral("LfdNr")).toLongLong();
  v.zahlungNr = z.Wert(QStringLiteral("ZahlungNr")).toLongLong();
  v.zeilenNr = z.Wert(QStringLiteral("ZeilenNr")).toInt();
  v.verwendungszweck = TextAusWert(z.Wert(QStringLiteral("Verwendungszweck")));
  v.opVorgangNr = TextAusWert(z.Wert(QStringLiteral("OPVorgangNr")));
  v.vorgangsdatum = DatumAusWert(z.Wert(QStringLiteral("Vorgangsdatum")));
  v.opVorgangsArt = TextAusWert(z.Wert(QStringLiteral("OPVorgangsArt")));
  v.betraege.opBetrag = WaehrungAusWert(z.Wert(QStringLiteral("OPBetrag")));
  v.betraege.skontoBetrag = WaehrungAusWert(z.Wert(QStringLiteral("SkontoBetrag")));
  v.betraege.zahlungsBetrag = WaehrungAusWert(z.Wert(QStringLiteral("ZahlungsBetrag")));
  return v;
}

QString Fehlertext(const DbFehler& f) {
  return QStringLiteral("Fehler beim Speichern der Verwendungszweck-Zeile!\r\rBeschreibung: ") + f.Beschreibung;
}

}  // namespace

int ZeilentextBreite(Datenbank& db) {
  const int n = db.FeldGroesse(QStringLiteral("Verwendungszweck"), QStringLiteral("Verwendungszweck"));
  return n > 0 ? n : 27;
}

DbFehler ZeilenLaden(Datenbank& db, qint64 zahlungNr, bool nurZeile1, std::vector<Verwendungszweckzeile>& zeilen) {
  zeilen.clear();
  const SqlText sql = nurZeile1 ? SqlText("SELECT * FROM Verwendungszweck WHERE ZahlungNr = ? AND ZeilenNr = 1 "
                                          "ORDER BY ZeilenNr, LfdNr")
                                : SqlText("SELECT * FROM Verwendungszweck WHERE ZahlungNr = ? ORDER BY ZeilenNr, LfdNr");
  return db.Abfragen(sql, {QVariant(zahlungNr)}, [&](const Zeile& z) {
    zeilen.push_back(ZeileAus(z));
    return true;
  });
}

DbFehler AuftragszeilenLesen(Datenbank& db, qint64 zahlungNr, QList<Auftragszeile>& ergebnis) {
  ergebnis.clear();
  std::vector<Verwendungszweckzeile> zeilen;
  DbFehler f = ZeilenLaden(db, zahlungNr, false, zeilen);
  if (f) return f;
  for (const auto& z : zeilen) ergebnis.append(Auftragszeile{z.verwendungszweck, OderNull(z.betraege.zahlungsBetrag)});
  return {};
}

DbFehler ZeilenAnzahl(Datenbank& db, qint64 zahlungNr, int& anzahl) {
  DbFehler f;
  const auto wert = db.Wert("SELECT COUNT(*) FROM Verwendungszweck WHERE ZahlungNr = ?", {QVariant(zahlungNr)}, f);
  anzahl = wert ? wert->toInt() : 0;
  return f;
}

ZeilenErgebnis ZeileSpeichern(Datenbank& db, Verwendungszweckzeile& zeile, Zeilenstand* gezeigt) {
  ZeilenErgebnis e;
  const auto fehler = [&e](const DbFehler& f) {
    e.fehler = f;
    if (f.Nummer == DbFehlerNr::InzwischenGeaendert) {
      e.art = ZeilenErgebnis::Art::Veraltet;
      e.meldung = f.Beschreibung;
    } else {
      e.art = ZeilenErgebnis::Art::Fehler;
      e.meldung = Fehlertext(f);
    }
    return e;
  };
  Verwendungszweckzeile neu = zeile;
  // Guards, line count and write under one lock.
  Transaktion t(db);
  if (t.Fehler()) return fehler(t.Fehler());
  if (DbFehler f = ZeilenschreibenPruefen(db, neu.zahlungNr, gezeigt)) return fehler(f);
  if (!neu.lfdNr) {
    int anzahl = 0;
    if (DbFehler f = ZeilenAnzahl(db, neu.zahlungNr, anzahl)) return fehler(f);
    if (anzahl + 1 > MaximaleZeilen) {
      e.art = ZeilenErgebnis::Art::Abgelehnt;
      e.meldung = QStringLiteral("Es sind maximal 5 Zeilen als Verwendungszweck möglich!");
      return e;
    }
    neu.zeilenNr = anzahl + 1;
  }
  neu.verwendungszweck = ZeilentextBereinigen(neu.verwendungszweck, ZeilentextBreite(db));
  if (neu.verwendungszweck.isEmpty()) {
    e.art = ZeilenErgebnis::Art::Abgelehnt;
    e.meldung = QStringLiteral("Der Verwendungszweck darf nicht leer sein!\r\rBitte korrigieren/ergänzen Sie die Eingabe.");
    e.fokusAufText = true;
    return e;
  }
  if (neu.betraege.skontoBetrag && neu.betraege.skontoBetrag->IstNull()) neu.betraege.skontoBetrag.reset();

  const QVariantList werte = {QVariant(neu.zahlungNr),
                              QVariant(neu.zeilenNr),
                              QVariant(neu.verwendungszweck),
                              QVariant(neu.opVorgangNr),
                              WertAusDatum(neu.vorgangsdatum),
                              QVariant(neu.opVorgangsArt),
                              WertAusWaehrung(neu.betraege.opBetrag),
                              WertAusWaehrung(neu.betraege.skontoBetrag),
                              WertAusWaehrung(neu.betraege.zahlungsBetrag)};
  DbFehler f;
  if (neu.lfdNr) {
    QVariantList p = werte;
    p << QVariant(*neu.lfdNr) << QVariant(neu.zahlungNr);
    int geaendert = 0;
    f = db.Ausfuehren("UPDATE Verwendungszweck SET ZahlungNr = ?, ZeilenNr = ?, Verwendungszweck = ?, OPVorgangNr = ?, "
                      "Vorgangsdatum = ?, OPVorgangsArt = ?, OPBetrag = ?, SkontoBetrag = ?, ZahlungsBetrag = ? "
                      "WHERE LfdNr = ? AND ZahlungNr = ?",
                      p, &geaendert);
    if (!f && geaendert != 1)
      f = DbFehler{DbFehlerNr::DatensatzGeloescht, QStringLiteral("Die Zeile ist nicht mehr vorhanden.")};
  } else {
    f = db.Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPVorgangNr, Vorgangsdatum, "
                      "OPVorgangsArt, OPBetrag, SkontoBetrag, ZahlungsBetrag) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      werte);
    if (!f) neu.lfdNr = db.LetzteEinfuegeNr();
  }
  if (!f) f = ZeilenschreibenAbschliessen(db, t, neu.zahlungNr, gezeigt);
  if (f) return fehler(f);
  zeile = neu;
  return e;
}

DbFehler ZeilenLoeschen(Datenbank& db, qint64 zahlungNr, const QList<qint64>& lfdNummern, Zeilenstand* gezeigt) {
  Transaktion t(db);
  if (t.Fehler()) return t.Fehler();
  if (DbFehler f = ZeilenschreibenPruefen(db, zahlungNr, gezeigt)) return f;
  for (qint64 nr : lfdNummern) {
    if (DbFehler f = db.Ausfuehren("DELETE FROM Verwendungszweck WHERE LfdNr = ? AND ZahlungNr = ?",
                                   {QVariant(nr), QVariant(zahlungNr)}))
      return f;
  }
  return ZeilenschreibenAbschliessen(db, t, zahlungNr, gezeigt);
}

DbFehler ZeilenSummieren(Datenbank& db, qint64 zahlungNr, bool eingabeModus, ZeilenSummen& summen,
                         Zeilenstand* gezeigt) {
  summen = {};
  std::vector<Verwendungszweckzeile> zeilen;
  if (DbFehler f = ZeilenLaden(db, zahlungNr, false, zeilen)) return f;
  auto dazu = [](std::optional<Waehrung>& summe, const std::optional<Waehrung>& betrag) {
    if (summe) summe = Waehrung::Addiert(*summe, OderNull(betrag));
  };
  for (const auto& z : zeilen) {
    dazu(summen.opBetrag, z.betraege.opBetrag);
    dazu(summen.skontoBetrag, z.betraege.skontoBetrag);
    dazu(summen.zahlungsBetrag, z.betraege.zahlungsBetrag);
  }
  if (!eingabeModus) return {};
  bool noetig = false;
  for (size_t i = 0; i < zeilen.size(); ++i) noetig = noetig || zeilen[i].zeilenNr != static_cast<int>(i + 1);
  if (!noetig) return {};
  Transaktion t(db);
  if (t.Fehler()) return t.Fehler();
  if (DbFehler f = ZeilenschreibenPruefen(db, zahlungNr, gezeigt)) {
    // Lines another workstation changed are not this form's to renumber before it has shown them.
    if (f.Nummer == DbFehlerNr::InzwischenGeaendert) return {};
    return f;
  }
  for (size_t i = 0; i < zeilen.size(); ++i) {
    if (DbFehler f = db.Ausfuehren("UPDATE Verwendungszweck SET ZeilenNr = ? WHERE LfdNr = ?",
                                   {QVariant(static_cast<int>(i + 1)), QVariant(*zeilen[i].lfdNr)}))
      return f;
  }
  return ZeilenschreibenAbschliessen(db, t, zahlungNr, gezeigt);
}

DbFehler ZeilenKopieren(Datenbank& db, qint64 zahlungNr, ZeilenKopie& kopie) {
  kopie = {};
  kopie.zahlungNr = zahlungNr;
  return ZeilenstandLesen(db, zahlungNr, kopie.stand);
}

DbFehler ZeilenWiederherstellen(Datenbank& db, const ZeilenKopie& kopie, const Zeilenstand& gezeigt) {
  Transaktion t(db);
  if (t.Fehler()) return t.Fehler();
  if (DbFehler f = ZeilenUnveraendertPruefen(db, kopie.zahlungNr, gezeigt)) return f;
  if (DbFehler f = db.Ausfuehren("DELETE FROM Verwendungszweck WHERE ZahlungNr = ?", {QVariant(kopie.zahlungNr)})) return f;
  const Zeilenstand& s = kopie.stand;
  if (!s.zeilen.empty()) {
    QList<SqlText> namen;
    QList<SqlText> platzhalter;
    for (const QString& spalte : s.spalten) {
      namen << SqlText::Bezeichner(spalte);
      platzhalter << SqlText("?");
    }
    const SqlText sql = SqlText("INSERT INTO Verwendungszweck (") + SqlText::Verbinden(namen, ", ") +
                        SqlText(") VALUES (") + SqlText::Verbinden(platzhalter, ", ") + SqlText(")");
    for (const auto& werte : s.zeilen)
      if (DbFehler f = db.Ausfuehren(sql, werte)) return f;
  }
  if (s.zahlungGesamt)
    if (DbFehler f = db.Ausfuehren("UPDATE Zahlungen SET ZahlungGesamt = ? WHERE ZahlungNr = ?",
                                   {*s.zahlungGesamt, QVariant(kopie.zahlungNr)}))
      return f;
  return t.Commit();
}

ZeilenFusszeilen FusszeilenErmitteln(const ZeilenSummen& summen) {
  auto text = [](const std::optional<Waehrung>& summe) { return summe ? SummenText(*summe) : QStringLiteral("###"); };
  const std::optional<Waehrung> skonto =
      summen.skontoBetrag ? Waehrung::Subtrahiert(Waehrung(), *summen.skontoBetrag) : std::nullopt;
  return {text(summen.opBetrag), text(skonto), text(summen.zahlungsBetrag)};
}
