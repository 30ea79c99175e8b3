#include "masterdata/core/Absenderverwaltung.h"

#include "common/Programmzustand.h"
#include "platform/settings/Registrierung.h"

namespace {

const SqlText kSpalten =
    "AbsenderNr, Suchname, Name, Bank, BIC, IBAN, \"GläubigerID\", ReferenzNr, Bemerkung, AdressenFormat, "
    "AdressenVerbindung";

Absenderdaten AusZeile(const Zeile& z) {
  Absenderdaten d;
  d.nr = z.Wert(0).toInt();
  d.suchname = z.Wert(1).toString();
  d.name = z.Wert(2).toString();
  d.bank = z.Wert(3).toString();
  d.bic = z.Wert(4).toString();
  d.iban = z.Wert(5).toString();
  d.glaeubigerId = z.Wert(6).toString();
  d.referenzNr = z.Wert(7).toString();
  d.bemerkung = z.Wert(8).toString();
  d.adressenFormat = z.Wert(9).toInt();
  d.adressenVerbindung = z.Wert(10).toString();
  return d;
}

QVariant TextOderNull(const QString& text) { return text.isEmpty() ? QVariant() : QVariant(text); }

}  // namespace

std::vector<Absenderdaten> Absenderverwaltung::Alle(Datenbank& db, DbFehler& fehler) {
  std::vector<Absenderdaten> liste;
  fehler = db.Abfragen(SqlText("SELECT ") + kSpalten + " FROM Absender ORDER BY AbsenderNr", {},
                       [&liste](const Zeile& z) {
                         liste.push_back(AusZeile(z));
                         return true;
                       });
  return liste;
}

std::optional<Absenderdaten> Absenderverwaltung::Laden(Datenbank& db, int nr, DbFehler& fehler) {
  std::optional<Absenderdaten> d;
  fehler = db.Abfragen(SqlText("SELECT ") + kSpalten + " FROM Absender WHERE AbsenderNr = ?", {nr},
                       [&d](const Zeile& z) {
                         d = AusZeile(z);
                         return false;
                       });
  return d;
}

DbFehler Absenderverwaltung::Speichern(Datenbank& db, Absenderdaten& d, const Absenderdaten* geladen) {
  const QVariantList werte = {TextOderNull(d.suchname), TextOderNull(d.name), TextOderNull(d.bank),
                              TextOderNull(d.bic), TextOderNull(d.iban), TextOderNull(d.glaeubigerId),
                              TextOderNull(d.referenzNr), TextOderNull(d.bemerkung), d.adressenFormat,
                              TextOderNull(d.adressenVerbindung)};
  if (d.nr > 0) {
    SqlText sql = SqlText(
        "UPDATE Absender SET Suchname = ?, Name = ?, Bank = ?, BIC = ?, IBAN = ?, \"GläubigerID\" = ?, "
        "ReferenzNr = ?, Bemerkung = ?, AdressenFormat = ?, AdressenVerbindung = ? WHERE AbsenderNr = ?");
    QVariantList parameter = QVariantList(werte) << d.nr;
    if (geladen) {
      // Compared as Laden reads them (Null as empty text, format as number).
      sql += SqlText(
          " AND IFNULL(CAST(Suchname AS TEXT), '') = ? COLLATE BINARY AND IFNULL(CAST(Name AS TEXT), '') = ? COLLATE BINARY"
          " AND IFNULL(CAST(Bank AS TEXT), '') = ? COLLATE BINARY AND IFNULL(CAST(BIC AS TEXT), '') = ? COLLATE BINARY"
          " AND IFNULL(CAST(IBAN AS TEXT), '') = ? COLLATE BINARY"
          " AND IFNULL(CAST(\"GläubigerID\" AS TEXT), '') = ? COLLATE BINARY"
          " AND IFNULL(CAST(ReferenzNr AS TEXT), '') = ? COLLATE BINARY"
          " AND IFNULL(CAST(Bemerkung AS TEXT), '') = ? COLLATE BINARY AND IFNULL(AdressenFormat, 0) = ?"
          " AND IFNULL(CAST(AdressenVerbindung AS TEXT), '') = ? COLLATE BINARY");
      parameter << geladen->suchname << geladen->name << geladen->bank << geladen->bic << geladen->iban
                << geladen->glaeubigerId << geladen->referenzNr << geladen->bemerkung << geladen->adressenFormat
                << geladen->adressenVerbindung;
    }
    int geaendert = 0;
    DbFehler f = db.Ausfuehren(sql, parameter, &geaendert);
    if (f) return f;
    if (geaendert == 1) return {};
    const std::optional<QVariant> vorhanden = db.Wert("SELECT COUNT(*) FROM Absender WHERE AbsenderNr = ?", {d.nr}, f);
    if (f) return f;
    if (vorhanden && vorhanden->toInt() > 0)
      return {DbFehlerNr::KeineTreffer,
              QStringLiteral("Der Absender %1 wurde inzwischen an anderer Stelle geändert (z. B. die Referenz-Nr durch "
                             "eine SEPA-Datei). Die gespeicherten Angaben werden neu angezeigt; bitte wiederholen Sie Ihre Änderung.")
                  .arg(d.nr)};
    return {DbFehlerNr::KeineTreffer, QStringLiteral("Der Absender %1 ist nicht mehr vorhanden.").arg(d.nr)};
  }
  Transaktion t(db);
  if (t.Fehler()) return t.Fehler();
  DbFehler f;
  const std::optional<QVariant> hoechste = db.Wert("SELECT MAX(AbsenderNr) FROM Absender", {}, f);
  if (f) return f;
  const int nr = hoechste && !hoechste->isNull() ? hoechste->toInt() + 1 : 1;
  f = db.Ausfuehren(
      "INSERT INTO Absender (AbsenderNr, Suchname, Name, Bank, BIC, IBAN, \"GläubigerID\", ReferenzNr, Bemerkung, "
      "AdressenFormat, AdressenVerbindung) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
      QVariantList{nr} + werte);
  if (f) return f;
  f = t.Commit();
  if (!f) d.nr = nr;
  return f;
}

int Absenderverwaltung::ZahlungenZaehlen(Datenbank& db, int nr, DbFehler& fehler) {
  const std::optional<QVariant> anzahl = db.Wert("SELECT COUNT(*) FROM Zahlungen WHERE AbsenderNr = ?", {nr}, fehler);
  return anzahl ? anzahl->toInt() : 0;
}

DbFehler Absenderverwaltung::Loeschen(Datenbank& db, int nr) {
  Transaktion t(db);
  if (t.Fehler()) return t.Fehler();
  // The remittance lines go with their payments (ON DELETE CASCADE).
  DbFehler f = db.Ausfuehren("DELETE FROM Zahlungen WHERE AbsenderNr = ?", {nr});
  if (f) return f;
  int geloescht = 0;
  f = db.Ausfuehren("DELETE FROM Absender WHERE AbsenderNr = ?", {nr}, &geloescht);
  if (f) return f;
  if (geloescht != 1)
    return {DbFehlerNr::KeineTreffer, QStringLiteral("Der Absender %1 ist nicht mehr vorhanden.").arg(nr)};
  return t.Commit();
}

StartErgebnis Absenderverwaltung::Aktivieren(int nr) {
  const int vorher = Zustand().AktuelleAbsenderNr();
  Zustand().AktuelleAbsenderNrSetzen(nr);
  StartErgebnis e = DatenbankOeffnen();
  if (!e.Ok() || Zustand().AktuelleAbsenderNr() != nr) {
    if (e.Ok())
      e.fehler = {DbFehlerNr::KeineTreffer, QStringLiteral("Der Absender %1 ist nicht vorhanden.").arg(nr)};
    if (e.meldung.isEmpty()) e.meldung = e.fehler.Beschreibung;
    Zustand().AktuelleAbsenderNrSetzen(vorher);
    const StartErgebnis zurueck = DatenbankOeffnen();
    if (!zurueck.Ok()) e.meldung += QStringLiteral("\r\r") + zurueck.meldung;
    return e;
  }
  SaveSetting(QStringLiteral("Window State"), QStringLiteral("AbsenderNr"), QString::number(nr));
  return e;
}
