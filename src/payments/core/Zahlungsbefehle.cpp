#include "payments/core/Zahlungsbefehle.h"

#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/Iban.h"
#include "zahlungsverkehr/Textschluessel.h"
#include "payments/core/OffeneZahlung.h"
#include "payments/core/Verwendungszweckzeilen.h"
#include "payments/core/Zahlungswerte.h"

Zahlungsuebertrag UebertragErmitteln(const ZahlungEingabe& bisher, const std::array<bool, 6>& kopierfeld) {
  Zahlungsuebertrag u;
  if (kopierfeld[0]) {
    u.name = bisher.name;
    u.opKontoNr = bisher.opKontoNr;
  }
  if (kopierfeld[1]) u.bank = bisher.bank;
  if (kopierfeld[2]) u.bic = bisher.bic;
  if (kopierfeld[3]) u.iban = bisher.iban;
  u.textschluessel = bisher.textschluessel;
  return u;
}

DbFehler NeueZahlungAnlegen(Datenbank& db, int absenderNr, Zahlart zahlart, const Zahlungsuebertrag& u,
                            const QDate& heute, qint64& zahlungNr) {
  zahlungNr = 0;
  const bool lastschrift = zahlart != Zahlart::Ueberweisung;
  QVariant sequenz;
  QVariant mandatDatum;
  if (lastschrift) {
    sequenz = QVariant(0);
    mandatDatum = QVariant(heute);
  }
  const int tsGroesse = db.FeldGroesse(QStringLiteral("Zahlungen"), QStringLiteral("Textschlüssel"));
  DbFehler f = db.Ausfuehren(
      "INSERT INTO Zahlungen (AbsenderNr, Art, \"Währung\", Name, Bank, BIC, IBAN, \"Textschlüssel\", OPKontoNr, "
      "MandatSequenz, MandatDatum) VALUES (?, ?, 1, ?, ?, ?, ?, ?, ?, ?, ?)",
      {QVariant(absenderNr), QVariant(lastschrift ? QStringLiteral("L") : QStringLiteral("G")), QVariant(u.name),
       QVariant(u.bank), QVariant(Bic(u.bic).Text()), QVariant(Iban(u.iban).Text()),
       QVariant(TextschluesselNormalisieren(u.textschluessel, tsGroesse > 0 ? tsGroesse : 4)), QVariant(u.opKontoNr),
       sequenz, mandatDatum});
  if (!f) zahlungNr = db.LetzteEinfuegeNr();
  return f;
}

QString NeuFehlertext(const DbFehler& fehler) {
  return QStringLiteral("Fehler beim Erzeugen einer neuen Zahlung!\r\r") + fehler.Meldungstext();
}

DbFehler ZahlungLesen(Datenbank& db, qint64 zahlungNr, std::optional<ZahlungEingabe>& eingabe, int* mandatSequenz) {
  eingabe.reset();
  return db.Abfragen("SELECT * FROM Zahlungen WHERE ZahlungNr = ?", {QVariant(zahlungNr)}, [&](const Zeile& z) {
    ZahlungEingabe e;
    e.name = TextAusWert(z.Wert(QStringLiteral("Name")));
    e.mandatReferenz = TextAusWert(z.Wert(QStringLiteral("MandatReferenz")));
    e.bank = TextAusWert(z.Wert(QStringLiteral("Bank")));
    e.bic = TextAusWert(z.Wert(QStringLiteral("BIC")));
    e.iban = TextAusWert(z.Wert(QStringLiteral("IBAN")));
    e.verwendungszweck1 = TextAusWert(z.Wert(QStringLiteral("Verwendungszweck1")));
    e.textschluessel = TextAusWert(z.Wert(QStringLiteral("Textschlüssel")));
    e.opKontoNr = TextAusWert(z.Wert(QStringLiteral("OPKontoNr")));
    e.faellig = DatumAusWert(z.Wert(QStringLiteral("Fällig")));
    e.mandatDatum = DatumAusWert(z.Wert(QStringLiteral("MandatDatum")));
    e.betrag = WaehrungAusWert(z.Wert(QStringLiteral("ZahlungGesamt")));
    if (mandatSequenz) *mandatSequenz = z.Wert(QStringLiteral("MandatSequenz")).toInt();
    eingabe = e;
    return false;
  });
}

DbFehler ZahlungLoeschen(Datenbank& db, qint64 zahlungNr) {
  Transaktion t(db);
  if (t.Fehler()) return t.Fehler();
  if (DbFehler f = ZahlungOffenPruefen(db, zahlungNr)) return f;
  // The schema cascades; deleting the lines here as well keeps a database without foreign keys clean.
  if (DbFehler f = db.Ausfuehren("DELETE FROM Verwendungszweck WHERE ZahlungNr = ?", {QVariant(zahlungNr)})) return f;
  if (DbFehler f = db.Ausfuehren("DELETE FROM Zahlungen WHERE ZahlungNr = ?", {QVariant(zahlungNr)})) return f;
  return t.Commit();
}

QString LoeschFehlertext(const DbFehler& fehler) {
  return QStringLiteral("Fehler beim Löschen: ") + QString::number(fehler.Nummer) + QStringLiteral("\rBeschreibung: ") +
         fehler.Beschreibung;
}

QString KopierErgebnis::Hinweis() const {
  if (ausgelassen <= 0) return {};
  return QStringLiteral("Es sind maximal 5 Zeilen als Verwendungszweck möglich!\r") +
         (ausgelassen == 1 ? QStringLiteral("1 Zeile wurde nicht kopiert.")
                           : QStringLiteral("%1 Zeilen wurden nicht kopiert.").arg(ausgelassen));
}

DbFehler ZahlungKopieren(Datenbank& db, qint64 quelleNr, qint64 zielNr, bool zeilenKopieren, KopierErgebnis& ergebnis,
                         Zeilenstand* gezeigt) {
  ergebnis = {};
  if (DbFehler f = ZahlungLesen(db, quelleNr, ergebnis.quelle)) return f;
  if (!ergebnis.quelle || !zeilenKopieren) return {};

  std::vector<Verwendungszweckzeile> quelle;
  if (DbFehler f = ZeilenLaden(db, quelleNr, false, quelle)) return f;

  Transaktion t(db);
  if (t.Fehler()) return t.Fehler();
  if (DbFehler f = ZeilenschreibenPruefen(db, zielNr, gezeigt)) return f;
  // Counted under the write lock: lines another window added meanwhile count towards the five.
  int vorhanden = 0;
  if (DbFehler f = ZeilenAnzahl(db, zielNr, vorhanden)) return f;
  int naechste = vorhanden + 1;
  int angefuegt = 0;
  for (const auto& z : quelle) {
    if (naechste > MaximaleZeilen) break;
    if (DbFehler f = db.Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPVorgangNr, "
                                   "Vorgangsdatum, OPVorgangsArt, OPBetrag, SkontoBetrag, ZahlungsBetrag) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                                   {QVariant(zielNr), QVariant(naechste), QVariant(z.verwendungszweck),
                                    QVariant(z.opVorgangNr), WertAusDatum(z.vorgangsdatum), QVariant(z.opVorgangsArt),
                                    WertAusWaehrung(z.betraege.opBetrag), WertAusWaehrung(z.betraege.skontoBetrag),
                                    WertAusWaehrung(z.betraege.zahlungsBetrag)}))
      return f;
    ++naechste;
    ++angefuegt;
  }
  if (DbFehler f = ZeilenschreibenAbschliessen(db, t, zielNr, gezeigt)) return f;
  ergebnis.angefuegt = angefuegt;
  ergebnis.ausgelassen = static_cast<int>(quelle.size()) - angefuegt;
  return {};
}

KopierteFelder KopierteFelderErmitteln(const ZahlungEingabe& q) {
  KopierteFelder k;
  auto text = [](const QString& s) { return s.isEmpty() ? std::nullopt : std::optional<QString>(s); };
  k.name = text(q.name);
  k.mandatReferenz = text(q.mandatReferenz);
  k.bank = text(q.bank);
  k.bic = text(q.bic);
  k.iban = text(q.iban);
  k.verwendungszweck1 = text(q.verwendungszweck1);
  k.opKontoNr = q.opKontoNr;  // taken as it is, as the copy sets the address number box directly
  k.betrag = q.betrag;
  return k;
}
