#include "payments/core/ZahlungSpeichern.h"

#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/Iban.h"
#include "zahlungsverkehr/MandatverlaufLesen.h"
#include "zahlungsverkehr/Textschluessel.h"
#include "payments/core/Verwendungszweckzeilen.h"
#include "payments/core/Zahlungswerte.h"

namespace {

QString Zugeschnitten(Datenbank& db, const char* feld, const QString& text) {
  const int groesse = db.FeldGroesse(QStringLiteral("Zahlungen"), QString::fromUtf8(feld));
  return groesse > 0 && text.size() > groesse ? text.left(groesse) : text;
}

}  // namespace

QString SpeicherErgebnis::Meldungstext() const {
  if (pruefFehler) return pruefFehler->Meldungstext();
  if (dbFehler) return QStringLiteral("Fehler beim Speichern der Daten!\r") + dbFehler.Meldungstext();
  return {};
}

SpeicherErgebnis ZahlungSpeichern(Datenbank& db, qint64 zahlungNr, ZahlungEingabe& eingabe, const SpeicherKontext& k) {
  SpeicherErgebnis e;
  PruefKontext pk;
  pk.zahlart = k.zahlart;
  pk.zeilengitterSichtbar = k.zeilengitterSichtbar;
  pk.heute = k.heute;
  // What the checks read (the lines, the mandate's earlier collections) and the write are one transaction: a
  // collection done on another workstation meanwhile cannot slip between them.
  Transaktion t(db);
  if (t.Fehler()) {
    e.dbFehler = t.Fehler();
    return e;
  }
  if (DbFehler f = AuftragszeilenLesen(db, zahlungNr, pk.zeilen)) {
    e.dbFehler = f;
    return e;
  }
  if (k.zahlart != Zahlart::Ueberweisung)
    if (DbFehler f = MandatverlaufLesen::ZuReferenz(db, k.absenderNr, eingabe.mandatReferenz, pk.verlauf)) {
      e.dbFehler = f;
      return e;
    }
  e.pruefFehler = ZahlungPruefen(eingabe, pk);
  if (e.pruefFehler) return e;

  // Values as stored.
  eingabe.name = Zugeschnitten(db, "Name", eingabe.name);
  eingabe.bank = Zugeschnitten(db, "Bank", eingabe.bank);
  eingabe.bic = Zugeschnitten(db, "BIC", Bic(eingabe.bic).Text());
  eingabe.iban = Zugeschnitten(db, "IBAN", Iban(eingabe.iban).Text());
  eingabe.mandatReferenz = Zugeschnitten(db, "MandatReferenz", eingabe.mandatReferenz.trimmed());
  eingabe.opKontoNr = Zugeschnitten(db, "OPKontoNr", eingabe.opKontoNr.trimmed());
  eingabe.verwendungszweck1 = Zugeschnitten(db, "Verwendungszweck1", eingabe.verwendungszweck1);
  const int tsGroesse = db.FeldGroesse(QStringLiteral("Zahlungen"), QStringLiteral("Textschlüssel"));
  eingabe.textschluessel = TextschluesselNormalisieren(eingabe.textschluessel, tsGroesse > 0 ? tsGroesse : 4);

  const bool lastschrift = k.zahlart != Zahlart::Ueberweisung;
  const QString art = lastschrift ? QStringLiteral("L") : QStringLiteral("G");
  QVariant sequenz;
  if (lastschrift) sequenz = QVariant((k.zahlart == Zahlart::BasisLastschrift ? 1 : 11) + eingabe.sequenzIndex);

  QVariantList p = {QVariant(k.absenderNr),
                    QVariant(art),
                    QVariant(eingabe.name),
                    QVariant(eingabe.bank),
                    QVariant(eingabe.bic),
                    QVariant(eingabe.iban),
                    QVariant(eingabe.opKontoNr),
                    QVariant(eingabe.textschluessel),
                    WertAusWaehrung(eingabe.betrag),
                    QVariant(eingabe.verwendungszweck1),
                    WertAusDatum(eingabe.faellig)};
  int geaendert = 0;
  DbFehler f;
  if (lastschrift) {
    p << QVariant(eingabe.mandatReferenz) << WertAusDatum(eingabe.mandatDatum) << sequenz << QVariant(zahlungNr)
      << QVariant(k.absenderNr) << QVariant(art);
    f = db.Ausfuehren("UPDATE Zahlungen SET AbsenderNr = ?, Art = ?, \"Währung\" = 1, Name = ?, Bank = ?, BIC = ?, "
                      "IBAN = ?, OPKontoNr = ?, \"Textschlüssel\" = ?, ZahlungGesamt = ?, Verwendungszweck1 = ?, "
                      "\"Fällig\" = ?, MandatReferenz = ?, MandatDatum = ?, MandatSequenz = ? "
                      "WHERE ZahlungNr = ? AND AbsenderNr = ? AND Art = ?",
                      p, &geaendert);
  } else {
    // Credit transfers leave the mandate fields as they are.
    p << QVariant(zahlungNr) << QVariant(k.absenderNr) << QVariant(art);
    f = db.Ausfuehren("UPDATE Zahlungen SET AbsenderNr = ?, Art = ?, \"Währung\" = 1, Name = ?, Bank = ?, BIC = ?, "
                      "IBAN = ?, OPKontoNr = ?, \"Textschlüssel\" = ?, ZahlungGesamt = ?, Verwendungszweck1 = ?, "
                      "\"Fällig\" = ? WHERE ZahlungNr = ? AND AbsenderNr = ? AND Art = ?",
                      p, &geaendert);
  }
  if (!f && geaendert != 1) {
    f = DbFehler{DbFehlerNr::KeineTreffer,
                 QStringLiteral("Die Zahlung ist nicht mehr vorhanden oder gehört zu einem anderen Absender oder einer "
                                "anderen Zahlungsart.")};
  }
  if (f) {
    e.dbFehler = f;
    return e;
  }

  if (k.zeilengitterSichtbar) {
    // The line sums of a save in entry mode close gaps in the numbering (lines from an import or
    // another program), within this transaction.
    ZeilenSummen summen;
    if ((f = ZeilenSummieren(db, zahlungNr, true, summen))) {
      e.dbFehler = f;
      return e;
    }
  } else {
    if (pk.zeilen.isEmpty()) {
      f = db.Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPBetrag, SkontoBetrag, "
                        "ZahlungsBetrag) VALUES (?, 1, ?, ?, NULL, ?)",
                        {QVariant(zahlungNr), QVariant(eingabe.verwendungszweck1), WertAusWaehrung(eingabe.betrag),
                         WertAusWaehrung(eingabe.betrag)});
    } else if (pk.zeilen.size() == 1) {
      f = db.Ausfuehren("UPDATE Verwendungszweck SET ZeilenNr = 1, Verwendungszweck = ?, OPBetrag = ?, SkontoBetrag = NULL, "
                        "ZahlungsBetrag = ? WHERE ZahlungNr = ?",
                        {QVariant(eingabe.verwendungszweck1), WertAusWaehrung(eingabe.betrag),
                         WertAusWaehrung(eingabe.betrag), QVariant(zahlungNr)});
    } else {
      // Several lines: only the first line's text follows the single field; the amounts stay.
      f = db.Ausfuehren("UPDATE Verwendungszweck SET Verwendungszweck = ? WHERE LfdNr = (SELECT LfdNr FROM "
                        "Verwendungszweck WHERE ZahlungNr = ? ORDER BY ZeilenNr, LfdNr LIMIT 1)",
                        {QVariant(eingabe.verwendungszweck1), QVariant(zahlungNr)});
    }
    if (f) {
      e.dbFehler = f;
      return e;
    }
  }
  e.dbFehler = t.Commit();
  return e;
}
