#include "payments/core/ZahlungenAbfrage.h"

#include "zahlungsverkehr/MandatSequenz.h"

ZahlungenFilter ZahlungenFilterAus(const ZahlungsformularZustand& zustand, int absenderNr) {
  ZahlungenFilter f;
  f.absenderNr = absenderNr;
  f.zahlart = zustand.AktuelleZahlart();
  f.suchfilter = zustand.Suchfilter();
  f.nurFehlerhafte = zustand.NurFehlerhafte();
  f.faelligBis = zustand.FaelligBis();
  return f;
}

Bedingung ZahlartBedingung(Zahlart zahlart) {
  switch (zahlart) {
    case Zahlart::Ueberweisung: break;
    case Zahlart::BasisLastschrift: return LastschriftBedingung(false);
    case Zahlart::FirmenLastschrift: return LastschriftBedingung(true);
  }
  return Bedingung("Zahlungen.Art = ?", {QStringLiteral("G")});
}

Bedingung FaelligBisBedingung(const std::optional<QDate>& faelligBis) {
  if (!faelligBis || !faelligBis->isValid()) return {};
  return Bedingung("Zahlungen.\"Fällig\" < ?", {QVariant(faelligBis->addDays(1))});
}

Bedingung ZahlungenBedingung(const ZahlungenFilter& filter) {
  QList<Bedingung> teile;
  teile << Bedingung("Zahlungen.AbsenderNr = ? AND Zahlungen.Erledigt = 0", {QVariant(filter.absenderNr)});
  teile << ZahlartBedingung(filter.zahlart);
  if (!filter.suchfilter.IstLeer()) teile << filter.suchfilter;
  if (filter.nurFehlerhafte) teile << Bedingung("Zahlungen.Fehler = 1");
  teile << FaelligBisBedingung(filter.faelligBis);
  return Bedingung::AlleUnd(teile);
}

Abfrage ZahlungenAbfrageErstellen(const ZahlungenFilter& filter) { return ZahlungenNachNummer(ZahlungenBedingung(filter)); }

Abfrage ZahlungenNachNummer(const Bedingung& bedingung) {
  Abfrage a;
  a.spalten = "*";
  a.quelle = "Zahlungen";
  a.bedingung = bedingung;
  a.sortierung = "Zahlungen.ZahlungNr";
  a.schluessel = "Zahlungen.ZahlungNr";
  a.haupttabelle = QStringLiteral("Zahlungen");
  return a;
}

Bedingung ZahlungenDerListe(const Bedingung& liste, const SqlText& spalte) {
  return Bedingung(spalte + SqlText(" IN (SELECT Zahlungen.ZahlungNr FROM Zahlungen") + liste.AlsWhere() + SqlText(")"),
                   liste.parameter);
}

SqlText AbfrageSql(const Abfrage& abfrage) {
  SqlText sql = SqlText("SELECT ") + (abfrage.spalten.IstLeer() ? SqlText("*") : abfrage.spalten) + SqlText(" FROM ") +
                abfrage.quelle + abfrage.bedingung.AlsWhere();
  if (!abfrage.sortierung.IstLeer()) sql += SqlText(" ORDER BY ") + abfrage.sortierung;
  return sql;
}

DbFehler GesamtsummeErmitteln(Datenbank& db, const ZahlungenFilter& filter, ZahlungenSumme& ergebnis) {
  const Bedingung b = ZahlungenBedingung(filter);
  ergebnis = {};
  return db.Abfragen(SqlText("SELECT tamo_summe(Zahlungen.ZahlungGesamt), COUNT(*) FROM Zahlungen") + b.AlsWhere(),
                     b.parameter, [&](const Zeile& z) {
                       ergebnis.summe = z.Wert(0).isNull() ? std::nullopt
                                                           : std::optional(Waehrung::AusRoh(z.Wert(0).toLongLong()));
                       ergebnis.anzahl = z.Wert(1).toInt();
                       return false;
                     });
}

Bedingung KopierlisteBedingung(int absenderNr, const QString& art, qint64 zahlungNr) {
  return Bedingung("AbsenderNr = ? AND Art = ? AND ZahlungNr <> ?",
                   {QVariant(absenderNr), QVariant(art), QVariant(zahlungNr)});
}

Abfrage ZeilenAbfrage(qint64 zahlungNr, bool nurZeile1) {
  Abfrage a;
  a.spalten = "*";
  a.quelle = "Verwendungszweck";
  a.bedingung = nurZeile1 ? Bedingung("Verwendungszweck.ZahlungNr = ? AND Verwendungszweck.ZeilenNr = 1",
                                      {QVariant(zahlungNr)})
                          : Bedingung("Verwendungszweck.ZahlungNr = ?", {QVariant(zahlungNr)});
  a.sortierung = "Verwendungszweck.ZeilenNr, Verwendungszweck.LfdNr";
  a.schluessel = "Verwendungszweck.LfdNr";
  a.haupttabelle = QStringLiteral("Verwendungszweck");
  return a;
}
