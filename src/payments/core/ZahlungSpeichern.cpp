#include "payments/core/ZahlungSpeichern.h"

#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/Iban.h"
#include "zahlungsverkehr/MandatverlaufLesen.h"
#include "zahlungsverkehr/Textschluessel.h"
#include "payments/core/Verwendungszweckzeilen.h"
#include "payments/core/Zahlungswerte.h"

namespace {

// A value longer than its field is refused, never cut: each as it would be stored, against the size of its
// field in the open database, in the order of the form's fields; the first is reported. Every value too long
// goes back to its field as typed (the field would cut what the cleaning made longer).
std::optional<PruefFehler> FeldlaengenPruefen(Datenbank& db, ZahlungEingabe& e, const ZahlungEingabe& getippt,
                                              const SpeicherKontext& k) {
  struct Wert {
    const char* tabelle;
    const char* feld;
    QString bezeichnung;
    QString ZahlungEingabe::*wert;
    Fokusfeld fokus;
  };
  const Fokusfeld zeilenfokus = k.zeilengitterSichtbar ? Fokusfeld::Zeilengitter : Fokusfeld::Verwendungszweck;
  QList<Wert> werte = {{"Zahlungen", "Name", QStringLiteral("Die Namensangabe"), &ZahlungEingabe::name, Fokusfeld::Name}};
  if (k.zahlart != Zahlart::Ueberweisung)   // credit transfers keep theirs
    werte << Wert{"Zahlungen", "MandatReferenz", QStringLiteral("Die Mandat-Referenz"), &ZahlungEingabe::mandatReferenz,
                  Fokusfeld::MandatReferenz};
  werte << Wert{"Zahlungen", "Bank", QStringLiteral("Die Bankbezeichnung"), &ZahlungEingabe::bank, Fokusfeld::Bank}
        << Wert{"Zahlungen", "BIC", QStringLiteral("Die BIC"), &ZahlungEingabe::bic, Fokusfeld::Bic}
        << Wert{"Zahlungen", "IBAN", QStringLiteral("Die IBAN"), &ZahlungEingabe::iban, Fokusfeld::Iban}
        << Wert{"Zahlungen", "Verwendungszweck1", QStringLiteral("Der Verwendungszweck"),
                &ZahlungEingabe::verwendungszweck1, zeilenfokus}
        << Wert{"Verwendungszweck", "Verwendungszweck", QStringLiteral("Der Verwendungszweck"),
                &ZahlungEingabe::verwendungszweck1, zeilenfokus}
        << Wert{"Zahlungen", "Textschlüssel", QStringLiteral("Der Textschlüssel"), &ZahlungEingabe::textschluessel,
                Fokusfeld::Textschluessel}
        << Wert{"Zahlungen", "OPKontoNr", QStringLiteral("Die OP-Kontonummer"), &ZahlungEingabe::opKontoNr, Fokusfeld::Name};
  std::optional<PruefFehler> erster;
  for (const Wert& w : werte) {
    const QString& text = e.*w.wert;
    const int groesse = db.FeldGroesse(QString::fromUtf8(w.tabelle), QString::fromUtf8(w.feld));
    if (groesse <= 0 || text.size() <= groesse) continue;
    if (!erster)
      erster = PruefFehler{QStringLiteral("%1 ist %2 Zeichen lang; gespeichert werden können höchstens %3 Zeichen!")
                               .arg(w.bezeichnung)
                               .arg(text.size())
                               .arg(groesse),
                           w.fokus, Befundart::FeldZuLang};
    e.*w.wert = getippt.*w.wert;
  }
  return erster;
}

}  // namespace

QString SpeicherErgebnis::Meldungstext() const {
  if (pruefFehler) return pruefFehler->Meldungstext();
  if (veraltet) return dbFehler.Beschreibung;
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
  DbFehler unveraendert;
  if (k.geladen) unveraendert = ZahlungUnveraendertPruefen(db, zahlungNr, *k.geladen);
  if (!unveraendert && k.zeilen) unveraendert = ZeilenUnveraendertPruefen(db, zahlungNr, *k.zeilen);
  if (unveraendert) {
    e.dbFehler = unveraendert;
    e.veraltet = unveraendert.Nummer == DbFehlerNr::InzwischenGeaendert;
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
  const ZahlungEingabe getippt = eingabe;
  e.pruefFehler = ZahlungPruefen(eingabe, pk);
  if (e.pruefFehler) {
    FeldlaengenPruefen(db, eingabe, getippt, k);   // what the cleaning made too long stays as typed
    return e;
  }

  // Values as stored.
  eingabe.bic = Bic(eingabe.bic).Text();
  eingabe.iban = Iban(eingabe.iban).Text();
  eingabe.mandatReferenz = eingabe.mandatReferenz.trimmed();
  eingabe.opKontoNr = eingabe.opKontoNr.trimmed();
  eingabe.textschluessel = TextschluesselNormalisieren(eingabe.textschluessel, 0);
  e.pruefFehler = FeldlaengenPruefen(db, eingabe, getippt, k);
  if (e.pruefFehler) return e;

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
                      "WHERE ZahlungNr = ? AND AbsenderNr = ? AND Art = ? AND Erledigt = 0",
                      p, &geaendert);
  } else {
    // Credit transfers leave the mandate fields as they are.
    p << QVariant(zahlungNr) << QVariant(k.absenderNr) << QVariant(art);
    f = db.Ausfuehren("UPDATE Zahlungen SET AbsenderNr = ?, Art = ?, \"Währung\" = 1, Name = ?, Bank = ?, BIC = ?, "
                      "IBAN = ?, OPKontoNr = ?, \"Textschlüssel\" = ?, ZahlungGesamt = ?, Verwendungszweck1 = ?, "
                      "\"Fällig\" = ? WHERE ZahlungNr = ? AND AbsenderNr = ? AND Art = ? AND Erledigt = 0",
                      p, &geaendert);
  }
  if (!f && geaendert != 1) {
    f = DbFehler{DbFehlerNr::KeineTreffer,
                 QStringLiteral("Die Zahlung ist nicht mehr vorhanden, inzwischen erledigt oder gehört zu einem anderen "
                                "Absender oder einer anderen Zahlungsart.")};
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
    } else if (pk.zeilen.size() == 1 && eingabe.betrag == pk.zeilen.first().Betrag) {
      // The amount as stored keeps the line's open item and discount: set anew from the paid amount,
      // the next discount run would take the discount a second time.
      f = db.Ausfuehren("UPDATE Verwendungszweck SET ZeilenNr = 1, Verwendungszweck = ? WHERE ZahlungNr = ?",
                        {QVariant(eingabe.verwendungszweck1), QVariant(zahlungNr)});
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
  if ((f = ZahlungsstandLesen(db, zahlungNr, e.gespeichert))) {
    e.dbFehler = f;
    return e;
  }
  e.dbFehler = t.Commit();
  if (e.dbFehler) e.gespeichert.reset();
  return e;
}
