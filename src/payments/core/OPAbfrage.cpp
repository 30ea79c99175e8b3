#include "payments/core/OPAbfrage.h"

#include "payments/core/Zahlungswerte.h"

OPAbfrageTeile OPAbfrageErstellen(const AdressQuellenInfo& quelle, const QString& opKontoNr, bool mitMinus) {
  OPAbfrageTeile a;
  if (quelle.OPFeldliste.IstLeer() || quelle.OPSchluesselFeld.isEmpty()) return a;
  a.spalten = quelle.OPFeldliste;
  a.bedingung = Bedingung(SqlText::Bezeichner(quelle.OPSchluesselFeld) + SqlText(" = ? AND OPVorgang.Rest") +
                              (mitMinus ? SqlText(" <> 0") : SqlText(" > 0")),
                          {QVariant(opKontoNr)});
  if (!quelle.OPFaelligFeld.isEmpty()) a.sortierung = SqlText::Bezeichner(quelle.OPFaelligFeld) + SqlText(" DESC");
  return a;
}

DbFehler OffenePostenLaden(Datenbank& db, const OPAbfrageTeile& abfrage, std::vector<OffenerPosten>& posten) {
  posten.clear();
  if (abfrage.IstLeer()) return {};
  SqlText sql = SqlText("SELECT ") + abfrage.spalten + SqlText(" FROM ") + abfrage.quelle + abfrage.bedingung.AlsWhere();
  if (!abfrage.sortierung.IstLeer()) sql += SqlText(" ORDER BY ") + abfrage.sortierung;
  return db.Abfragen(sql, abfrage.bedingung.parameter, [&](const Zeile& z) {
    OffenerPosten p;
    p.vorgangsNr = TextAusWert(z.Wert(QStringLiteral("VorgangsNr")));
    p.art = TextAusWert(z.Wert(QStringLiteral("Art")));
    p.vom = DatumAusWert(z.Wert(QStringLiteral("Vom")));
    p.faellig = DatumAusWert(z.Wert(QStringLiteral("Fällig")));
    p.betrag = WaehrungAusWert(z.Wert(QStringLiteral("Betrag")));
    const QVariant rest = z.Wert(QStringLiteral("Rest"));
    if (rest.isValid()) {
      p.rest = WaehrungAusWert(rest);
    } else if (auto vorzeichen = WaehrungAusWert(z.Wert(QStringLiteral("Rest2")))) {
      p.rest = vorzeichen->Betrag();  // signed by the list; the take-over signs it once by kind
    }
    posten.push_back(p);
    return true;
  });
}

double OPListeZeilen(int anzahl) { return anzahl < 15 ? anzahl + 1.8 : 15.0; }
