#include "import/core/ImportLauf.h"

#include <QSet>

#include <cmath>

#include "zahlungsverkehr/MandatSequenz.h"
#include "common/Textfunktionen.h"
#include "common/Uhr.h"
#include "import/core/ImportPruefung.h"
#include "payments/core/OPUebernahme.h"
#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/Iban.h"
#include "payments/core/Zahlungswerte.h"
#include "platform/db/Recordset.h"
#include "platform/db/Wertumwandlung.h"

namespace {

constexpr int kMaximaleZeilen = 5;

// The payee's address as read once per account.
class Adresse {
 public:
  QVariant Wert(const QString& feld) const {
    for (int i = 0; i < m_namen.size(); ++i)
      if (m_namen.at(i).compare(feld, Qt::CaseInsensitive) == 0) return m_werte.at(i);
    return {};
  }
  void Setzen(const QString& feld, const QVariant& wert) {
    for (int i = 0; i < m_namen.size(); ++i)
      if (m_namen.at(i).compare(feld, Qt::CaseInsensitive) == 0) m_werte[i] = wert;
  }
  void Lesen(const Zeile& z) {
    m_namen = z.Namen();
    m_werte.clear();
    for (int i = 0; i < z.Anzahl(); ++i) m_werte << z.Wert(i);
  }

 private:
  QStringList m_namen;
  QVariantList m_werte;
};

// A discount rate as the address stores it (a number, or a text with a dot); 0 when there is none.
Waehrung Prozentsatz(const QVariant& wert) {
  if (IstNull(wert)) return {};
  if (wert.typeId() == QMetaType::QString)
    return Waehrung::ParseInvariant(wert.toString().trimmed()).value_or(Waehrung());
  bool zahl = false;
  const double d = wert.toDouble(&zahl);
  return zahl && std::isfinite(d) ? Waehrung::AusRoh(std::llround(d * Waehrung::Skala)) : Waehrung();
}

QString Gefiltert(const QString& text, int kennzeichen, bool& geaendert) {
  bool gueltig = false;
  geaendert = false;
  return UngueltigeZeichenEntfernen(QVariant(text), kennzeichen, gueltig, geaendert).toString();
}

QString Feldname(Auftragsfeld feld) {
  switch (feld) {
    case Auftragsfeld::Name: return QStringLiteral("Empfängerangabe");
    case Auftragsfeld::Iban: return QStringLiteral("IBAN (Internationale Konto-Nummer)");
    case Auftragsfeld::Bic: return QStringLiteral("BIC (Internationale Bankleitzahl)");
    default: return {};
  }
}

// The items of one payment: at most five of one account, their lines and total.
struct Entwurf {
  std::vector<const ImportVorgang*> posten;
  std::vector<OPZeilenwerte> zeilen;
  Waehrung gesamt;
};

class Lauf {
 public:
  Lauf(Datenbank& db, const ImportLaufOptionen& o, ImportFrager& frager)
      : m_db(db), m_o(o), m_frager(frager), m_heute(Uhr::Heute()), m_groessen(ImportFeldgroessen::Lesen(db)) {
    m_vorlagen = ZeilenvorlagenAusText(o.vorlage);
    TextZerlegen(o.quelle.Transportfelder, QStringLiteral(";"), m_transportFelder);
    while (m_transportFelder.size() < 8) m_transportFelder << QString();
  }

  ImportErgebnis Ausfuehren(const std::vector<ImportVorgang>& vorgaenge) {
    // The items of one account follow one another (the selection is ordered by account).
    for (size_t i = 0; i < vorgaenge.size();) {
      std::vector<const ImportVorgang*> konto{&vorgaenge[i]};
      size_t j = i + 1;
      while (j < vorgaenge.size() && vorgaenge[j].posten.opKontoNr == vorgaenge[i].posten.opKontoNr)
        konto.push_back(&vorgaenge[j++]);
      KontoUebernehmen(konto);
      i = j;
    }
    return m_e;
  }

 private:
  QString Konto(const ImportVorgang& v) const { return v.posten.opKontoNr.left(m_groessen.opKontoNr); }

  void KontoUebernehmen(const std::vector<const ImportVorgang*>& alle) {
    const QString konto = Konto(*alle.front());
    std::vector<const ImportVorgang*> posten;
    for (const ImportVorgang* v : alle)
      if (DubletteUebernehmen(*v)) posten.push_back(v);
    if (posten.empty()) return;

    DbFehler f;
    Adresse adresse;
    bool gefunden = false;
    // The sibling's account as the selection's join compares it (case and umlauts alike).
    f = m_db.Abfragen(SqlText("SELECT * FROM Adressen WHERE ") + SqlText::Bezeichner(m_o.quelle.OPKontoFeld) +
                          SqlText(" = ? COLLATE TAMO LIMIT 1"),
                      {alle.front()->posten.opKontoNr}, [&](const Zeile& z) {
                        adresse.Lesen(z);
                        gefunden = true;
                        return false;
                      });
    if (f) {
      m_e.FehlerMelden(QStringLiteral("Die Adresse des OP-Kontos %1 konnte nicht gelesen werden; seine %2 OP-Vorgänge "
                                      "wurden übersprungen.\r")
                           .arg(konto)
                           .arg(posten.size()) +
                       f.Meldungstext());
      return;
    }
    if (!gefunden) {
      m_e.ohneAdresse += int(posten.size());
      return;
    }

    // The payments of the account, at most five items each.
    Waehrung satz;
    if (m_o.maximalSkonto) {
      for (int k = 1; k <= 2 && satz <= Waehrung(); ++k)
        satz = Prozentsatz(adresse.Wert(m_o.quelle.SkontoFeld + QString::number(k)));
      if (satz < Waehrung()) satz = Waehrung();
    }
    const OPUebernahmeZusatz zusatz{satz, m_o.skontoNurPositiv, true};
    std::vector<Entwurf> entwuerfe;
    for (const ImportVorgang* v : posten) {
      if (entwuerfe.empty() || entwuerfe.back().posten.size() == kMaximaleZeilen) entwuerfe.emplace_back();
      Entwurf& e = entwuerfe.back();
      e.posten.push_back(v);
      e.zeilen.push_back(OffenenPostenUebernehmen(v->posten, m_vorlagen, m_o.datumKurzFormat, m_groessen.zeile, zusatz));
      e.gesamt += OderNull(e.zeilen.back().betraege.zahlungsBetrag);
    }
    int negativ = 0;
    for (const Entwurf& e : entwuerfe) negativ += e.gesamt < Waehrung() ? 1 : 0;
    if (negativ > 0) {
      m_e.minusZahlungen += negativ;
      m_e.postenNichtGespeichert += int(posten.size());
      if (entwuerfe.size() > 1) m_e.minusKonten << konto;
      return;
    }
    for (const Entwurf& e : entwuerfe) ZahlungAnlegen(e, adresse);
  }

  // Duplicate check: false when the item is to be left out.
  bool DubletteUebernehmen(const ImportVorgang& v) {
    if (!m_o.pruefung) return true;
    bool gefunden = false;
    std::optional<QDate> erledigt;
    const DbFehler f = m_db.Abfragen(
        SqlText("SELECT Zahlungen.ErledigtDatum FROM Zahlungen INNER JOIN Verwendungszweck "
                "ON Verwendungszweck.ZahlungNr = Zahlungen.ZahlungNr WHERE Zahlungen.OPKontoNr = ? "
                "AND Verwendungszweck.OPVorgangNr = ? AND Zahlungen.AbsenderNr = ? "
                "ORDER BY Zahlungen.ErledigtDatum IS NULL, Zahlungen.ErledigtDatum DESC LIMIT 1"),
        {Konto(v), v.posten.vorgangsNr, m_o.absenderNr}, [&](const Zeile& z) {
          gefunden = true;
          erledigt = DatumAusWert(z.Wert(0));
          return false;
        });
    if (f) {
      m_e.FehlerMelden(QStringLiteral("Die Prüfung auf Doppel-Zahlung ist fehlgeschlagen; der OP-Vorgang %1 des "
                                      "OP-Kontos %2 wurde übersprungen.\r")
                           .arg(v.posten.vorgangsNr, Konto(v)) +
                       f.Meldungstext());
      return false;
    }
    if (!gefunden || m_frager.DubletteUebernehmen(DublettenFrage(v.posten.vorgangsNr, erledigt, Konto(v)))) return true;
    ++m_e.dublettenAbgelehnt;
    return false;
  }

  QVariant Transportwert(const Adresse& adresse, int i) const {
    const QString& feld = m_transportFelder.at(i);
    return feld.isEmpty() ? QVariant() : adresse.Wert(feld);
  }

  void NichtGespeichert(const Entwurf& e) {
    ++m_e.nichtGespeichert;
    m_e.postenNichtGespeichert += int(e.posten.size());
  }

  void ZahlungAnlegen(const Entwurf& e, Adresse& adresse) {
    const ImportVorgang& erster = *e.posten.front();
    const QString konto = Konto(erster);
    Zahlungsauftrag z;
    z.Art = m_o.lieferanten ? QStringLiteral("G") : QStringLiteral("L");
    bool geaendert = false;
    auto nameSetzen = [&](const QString& roh) {
      z.Name = Gefiltert(roh, 0, geaendert);
      if (geaendert) ++m_e.automatischeKorrekturen;
    };
    nameSetzen(TextAusWert(Transportwert(adresse, 1)));
    const QString bank = Gefiltert(TextAusWert(Transportwert(adresse, 2)).left(m_groessen.bank), 1, geaendert);
    z.IBAN = Iban(TextAusWert(Transportwert(adresse, 4))).Text();
    z.BIC = Bic(TextAusWert(Transportwert(adresse, 3))).Text();

    MandatDaten mandat;
    if (!m_o.lieferanten) {
      DbFehler f;
      mandat = MandatDatenFuellen(
          Transportwert(adresse, 5), Transportwert(adresse, 6), Transportwert(adresse, 7),
          [&adresse](const QString& feld) { return adresse.Wert(feld); }, m_o.mandat, m_o.formularZahlart, konto,
          [this](const QString& k, const QString& referenz, int code, DbFehler& fehler) -> std::optional<bool> {
            const bool vorhanden = MandatSequenzVorhanden(m_db, k, referenz, code, fehler, m_o.absenderNr);
            return fehler ? std::nullopt : std::optional<bool>(vorhanden);
          },
          f);
      if (f) {
        m_e.FehlerMelden(QStringLiteral("Die früheren Lastschriften des Mandats konnten nicht gesucht werden; eine "
                                        "Zahlung an das OP-Konto %1 wurde nicht gespeichert.\r")
                             .arg(konto) +
                         f.Meldungstext());
        NichtGespeichert(e);
        return;
      }
      z.MandatReferenz = mandat.referenz;
      z.MandatDatum = mandat.datum;
      z.MandatSequenz = mandat.sequenz;
    }
    z.Textschluessel = m_o.textschluessel;
    if (m_o.faelligEintragen) z.Faellig = erster.posten.faellig;
    for (const OPZeilenwerte& w : e.zeilen) {
      z.Zeilen << Auftragszeile{w.verwendungszweck, OderNull(w.betraege.zahlungsBetrag)};
      if (w.zeichenEntfernt) ++m_e.automatischeKorrekturen;
    }
    const QString kundenNr = m_o.lieferantenKundenNr ? TextAusWert(adresse.Wert(QStringLiteral("LieferantenKundenNr"))) : QString();
    if (!kundenNr.isEmpty() && z.Zeilen.size() < kMaximaleZeilen) {
      const QString text = Gefiltert(QStringLiteral("Unsere KundenNr ") + kundenNr, 0, geaendert);
      if (geaendert) ++m_e.automatischeKorrekturen;
      z.Zeilen << Auftragszeile{text.left(m_groessen.zeile), Waehrung()};
    }
    z.Verwendungszweck1 = z.Zeilen.first().Text;
    z.Betrag = e.gesamt;

    // The questions before the transaction; validity follows the final values.
    QList<Auftragsfeld> befunde = ImportZahlungPruefen(z, m_groessen, m_heute);
    QSet<Auftragsfeld> fehlerhaft(befunde.cbegin(), befunde.cend());
    if (m_o.fehlEingaben) {
      for (Auftragsfeld feld : {Auftragsfeld::Name, Auftragsfeld::Iban, Auftragsfeld::Bic}) {
        while (befunde.contains(feld)) {
          const QString antwort =
              m_frager.PflichtfeldAbfragen(PflichtfeldAufforderung(Feldname(feld), konto, erster.suchname));
          ++m_e.manuelleKorrekturen;
          if (antwort.isEmpty()) break;
          if (feld == Auftragsfeld::Name) nameSetzen(antwort);
          if (feld == Auftragsfeld::Iban) z.IBAN = Iban(antwort).Text();
          if (feld == Auftragsfeld::Bic) z.BIC = Bic(antwort).Text();
          befunde = ImportZahlungPruefen(z, m_groessen, m_heute);
          for (Auftragsfeld b : befunde) fehlerhaft.insert(b);
        }
      }
    }
    m_e.fehlerhafteAngaben += int(fehlerhaft.size());
    if (!befunde.isEmpty() && m_o.fehlerNichtSpeichern) {
      NichtGespeichert(e);
      return;
    }

    if (DbFehler f = Schreiben(z, bank, e, konto)) {
      m_e.FehlerMelden(QStringLiteral("Fehler beim Speichern der Daten! Eine Zahlung an das OP-Konto %1 wurde nicht "
                                      "gespeichert.\r")
                           .arg(konto) +
                       f.Meldungstext());
      NichtGespeichert(e);
      return;
    }
    ++m_e.zahlungen;
    m_e.importiert += int(e.posten.size());

    if (!mandat.folgeSequenzText.isEmpty()) {
      const QString feld = m_transportFelder.at(7);
      if (DbFehler f = FolgeeinzugEintragen(erster.posten.opKontoNr, feld, mandat.folgeSequenzText)) {
        m_e.FehlerMelden(QStringLiteral("Die Adresse des OP-Kontos %1 konnte nicht auf Folge-Einzug umgestellt werden; "
                                        "die Zahlung ist gespeichert.\r")
                             .arg(konto) +
                         f.Meldungstext());
      } else {
        adresse.Setzen(feld, mandat.folgeSequenzText);
      }
    }
  }

  // The payment row, its lines and the customer-number line in one transaction.
  DbFehler Schreiben(const Zahlungsauftrag& z, const QString& bank, const Entwurf& e, const QString& konto) {
    Transaktion t(m_db);
    if (t.Fehler()) return t.Fehler();
    const bool lastschrift = z.IstLastschrift();
    if (DbFehler f = m_db.Ausfuehren(
            SqlText("INSERT INTO Zahlungen (Art, AbsenderNr, Name, Bank, IBAN, BIC, MandatReferenz, MandatDatum, "
                    "MandatSequenz, OPKontoNr, \"Textschlüssel\", \"Fällig\", \"Währung\", ZahlungGesamt, "
                    "Verwendungszweck1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, ?, ?)"),
            {z.Art, m_o.absenderNr, z.Name, WertAusText(bank), WertAusText(z.IBAN), WertAusText(z.BIC),
             lastschrift ? WertAusText(z.MandatReferenz) : QVariant(),
             lastschrift ? WertAusDatum(z.MandatDatum) : QVariant(), lastschrift ? QVariant(z.MandatSequenz) : QVariant(),
             konto, WertAusText(z.Textschluessel), WertAusDatum(z.Faellig), QVariant::fromValue(z.Betrag),
             WertAusText(z.Verwendungszweck1)}))
      return f;
    const qint64 nr = m_db.LetzteEinfuegeNr();
    const SqlText zeile(
        "INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPVorgangNr, Vorgangsdatum, OPBetrag, "
        "SkontoBetrag, ZahlungsBetrag, OPVorgangsArt) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    int zeilenNr = 0;
    for (const OPZeilenwerte& w : e.zeilen) {
      ++zeilenNr;
      if (DbFehler f = m_db.Ausfuehren(
              zeile, {nr, zeilenNr, w.verwendungszweck, WertAusText(w.opVorgangNr), WertAusDatum(w.vorgangsdatum),
                      WertAusWaehrung(w.betraege.opBetrag), WertAusWaehrung(w.betraege.skontoBetrag),
                      WertAusWaehrung(w.betraege.zahlungsBetrag), WertAusText(w.opVorgangsArt)}))
        return f;
    }
    // The customer-number line carries no amounts.
    if (z.Zeilen.size() > zeilenNr) {
      if (DbFehler f = m_db.Ausfuehren(
              SqlText("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck) VALUES (?, ?, ?)"),
              {nr, zeilenNr + 1, z.Zeilen.at(zeilenNr).Text}))
        return f;
    }
    return t.Commit();
  }

  // The address's sequence field becomes the recurring collection (the address may lie in the
  // sibling file: its own transaction, after the payment's).
  DbFehler FolgeeinzugEintragen(const QString& konto, const QString& feld, const QString& text) {
    Transaktion t(m_db);
    if (t.Fehler()) return t.Fehler();
    Abfrage a;
    a.quelle = SqlText("Adressen");
    a.bedingung = Bedingung(SqlText::Bezeichner(m_o.quelle.OPKontoFeld) + SqlText(" = ? COLLATE TAMO"), {konto});
    DbFehler f;
    std::unique_ptr<Recordset> rs = Recordset::Oeffnen(m_db, a, RecordsetTyp::Dynaset, f);
    if (!rs) return f;
    if (rs->RecordCount() == 0) return {DbFehlerNr::KeinAktuellerDatensatz, QStringLiteral("Die Adresse wurde nicht gefunden.")};
    if ((f = rs->Edit())) return f;
    if ((f = rs->Setzen(feld, text))) return f;
    if ((f = rs->Update())) return f;
    rs.reset();
    return t.Commit();
  }

  Datenbank& m_db;
  const ImportLaufOptionen& m_o;
  ImportFrager& m_frager;
  QDate m_heute;
  ImportFeldgroessen m_groessen;
  Zeilenvorlagen m_vorlagen;
  QStringList m_transportFelder;   // 1..7
  ImportErgebnis m_e;
};

}  // namespace

ImportLaufOptionen ImportLaufOptionen::AusEinstellungen(const ImportEinstellungen& e, bool lieferanten) {
  ImportLaufOptionen o;
  o.lieferanten = lieferanten;
  o.textschluessel = lieferanten ? e.textschluesselLieferanten : e.textschluesselKunden;
  o.vorlage = e.vorlage;
  o.pruefung = e.pruefung;
  o.fehlEingaben = e.fehlEingaben;
  o.fehlerNichtSpeichern = e.fehlerNichtSpeichern;
  o.faelligEintragen = e.faelligEintragen;
  o.maximalSkonto = e.maximalSkonto;
  o.skontoNurPositiv = e.skontoNurPositiv;
  o.lieferantenKundenNr = e.lieferantenKundenNr;
  o.mandat.erstAufFolge = e.erstAufFolge;
  o.mandat.datumBelegen = e.mandatDatumBelegen;
  o.mandat.referenzBelegen = e.mandatReferenzBelegen;
  o.mandat.datenfeldDatum = e.datenfeldMandatDatum;
  o.mandat.datenfeldReferenz = e.datenfeldMandatReferenz;
  o.mandat.fixdatum = e.fixdatum;
  o.mandat.fixtext = e.fixtext;
  return o;
}

ImportErgebnis ImportAusfuehren(Datenbank& db, const std::vector<ImportVorgang>& vorgaenge,
                                const ImportLaufOptionen& optionen, ImportFrager& frager) {
  return Lauf(db, optionen, frager).Ausfuehren(vorgaenge);
}

QString PflichtfeldAufforderung(const QString& feld, const QString& konto, const QString& suchname) {
  return QStringLiteral("Das folgende Pflichtfeld fehlt oder ist nicht korrekt:\r\r") + feld +
         QStringLiteral("\r\rfür das OP-Konto : ") + konto + QStringLiteral("\rmit dem Suchnamen: ") + suchname +
         QStringLiteral("\r\rBitte korrigieren/ergänzen Sie die Eingabe.");
}

QString DublettenFrage(const QString& vorgangsNr, const std::optional<QDate>& bezahltAm, const QString& konto) {
  return QStringLiteral("Der folgende Vorgang ist schon in den aktuellen\rZahlungen vorhanden!\r\rOP-Vorgangs-Nr: ") +
         vorgangsNr + QStringLiteral("\rBezahlt am: ") +
         (bezahltAm ? bezahltAm->toString(QStringLiteral("dd.MM.yyyy")) : QString()) + QStringLiteral("\rOP-Konto-Nr: ") +
         konto + QStringLiteral("\r\rSoll die Zahlung trotzdem übernommen werden?");
}
