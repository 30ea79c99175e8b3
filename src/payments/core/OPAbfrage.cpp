#include "payments/core/OPAbfrage.h"

#include "payments/core/Zahlungswerte.h"

OPAbfrageTeile OPAbfrageErstellen(const AdressQuellenInfo& quelle, const QString& opKontoNr, bool mitMinus) {
  OPAbfrageTeile a;
  if (quelle.OPFeldliste.IstLeer() || quelle.OPSchluesselFeld.isEmpty()) return a;
  a.spalten = quelle.OPFeldliste;
  a.bedingung = Bedingung(SqlText::Bezeichner(quelle.OPSchluesselFeld) + SqlText(" = ? COLLATE TAMO AND OPVorgang.Rest") +
                              (mitMinus ? SqlText(" <> 0") : SqlText(" > 0")),
                          {QVariant(opKontoNr)});
  if (!quelle.OPFaelligFeld.isEmpty()) a.sortierung = SqlText::Bezeichner(quelle.OPFaelligFeld) + SqlText(" DESC");
  return a;
}

OffenerPosten OffenerPostenLesen(const std::function<QVariant(const QString& spalte)>& wert) {
  OffenerPosten p;
  p.vorgangsNr = TextAusWert(wert(QStringLiteral("VorgangsNr")));
  p.art = TextAusWert(wert(QStringLiteral("Art")));
  p.vom = DatumAusWert(wert(QStringLiteral("Vom")));
  p.faellig = DatumAusWert(wert(QStringLiteral("Fällig")));
  p.betrag = WaehrungAusWert(wert(QStringLiteral("Betrag")));
  p.opKontoNr = TextAusWert(wert(QStringLiteral("OPKontoNr")));
  p.buchungsliste = TextAusWert(wert(QStringLiteral("Buchungsliste")));
  const QVariant rest = wert(QStringLiteral("Rest"));
  if (rest.isValid()) {
    p.rest = WaehrungAusWert(rest);
  } else if (auto vorzeichen = WaehrungAusWert(wert(QStringLiteral("Rest2")))) {
    p.rest = vorzeichen->Betrag();
  }
  return p;
}

DbFehler OffenePostenLaden(Datenbank& db, const OPAbfrageTeile& abfrage, std::vector<OffenerPosten>& posten) {
  posten.clear();
  if (abfrage.IstLeer()) return {};
  SqlText sql = SqlText("SELECT ") + abfrage.spalten + SqlText(" FROM ") + abfrage.quelle + abfrage.bedingung.AlsWhere();
  if (!abfrage.sortierung.IstLeer()) sql += SqlText(" ORDER BY ") + abfrage.sortierung;
  return db.Abfragen(sql, abfrage.bedingung.parameter, [&](const Zeile& z) {
    posten.push_back(OffenerPostenLesen([&z](const QString& spalte) { return z.Wert(spalte); }));
    return true;
  });
}

double OPListeZeilen(int anzahl) { return anzahl < 15 ? anzahl + 1.8 : 15.0; }
