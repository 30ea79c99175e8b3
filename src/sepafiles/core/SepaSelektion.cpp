#include "sepafiles/core/SepaSelektion.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <functional>

#include "zahlungsverkehr/Auftragspruefung.h"
#include "common/Datenhilfen.h"
#include "zahlungsverkehr/MandatSequenz.h"
#include "zahlungsverkehr/MandatverlaufLesen.h"
#include "common/Textfunktionen.h"
#include "common/Uhr.h"
#include "platform/db/Anweisung.h"
#include "platform/db/Datumseingabe.h"
#include "platform/db/Wertumwandlung.h"
#include "sepafiles/core/SepaAuftragsleser.h"

namespace {

const QString DatumsfunktionName = QStringLiteral("SepaVerwendungDatum");

// The date the pattern found, read by the one rule for typed dates (a two-digit year is 20yy).
std::optional<QDate> DatumMitMuster(const QString& text, const QRegularExpression& muster) {
  const QRegularExpressionMatch treffer = muster.match(text);
  if (!treffer.hasMatch()) return std::nullopt;
  return DatumAusEingabe(treffer.captured(0));
}

// What the first pass stores back for an order whose texts the cleaning changed (Name, Verwendungszweck1
// and Fehler); of the others only Fehler, where it changes. The texts as read guard the write: another
// workstation may have saved the order since.
struct Rueckschrieb {
  qint64 zahlungNr;
  QString name;
  QString verwendungszweck1;
  bool fehler;
  QByteArray gelesenName;   // the bytes as stored (a text need not be valid UTF-8)
  QByteArray gelesenText;
};

// What the pass keeps of every order it read until the run's rules have spoken.
struct Gepruefter {
  qint64 zahlungNr;
  int mandatSequenz;
  bool gespeicherterFehler;
  bool eigeneBefunde;
  qsizetype rueckschrieb;   // index in the list of cleaned texts, -1 when the texts stay
  Waehrung betrag;          // what its file pays (ZahlungGesamt; its lines add up to it), for the selection's total
};

DbFehler RueckschriebSpeichern(Datenbank& db, const QList<Rueckschrieb>& texte, const QList<QPair<qint64, bool>>& fehler,
                               QString& anweisungText) {
  if (texte.isEmpty() && fehler.isEmpty()) return {};
  Transaktion transaktion(db);
  if (transaktion.Fehler()) return transaktion.Fehler();
  // An order changed elsewhere since it was read keeps what was saved there (the next check judges it; the run
  // reads it again, as the data version moved): the cleaned texts never overwrite a newer name or line.
  static const char* const textSql =
      "UPDATE Zahlungen SET Name = ?, Verwendungszweck1 = ?, Fehler = ? WHERE ZahlungNr = ? AND Erledigt = 0 "
      "AND CAST(coalesce(Name, '') AS BLOB) = coalesce(?, x'') "
      "AND CAST(coalesce(Verwendungszweck1, '') AS BLOB) = coalesce(?, x'')";
  static const char* const fehlerSql = "UPDATE Zahlungen SET Fehler = ? WHERE ZahlungNr = ?";
  auto alle = [&](const char* sql, qsizetype anzahl, const std::function<QVariantList(qsizetype)>& werte) -> DbFehler {
    if (anzahl == 0) return {};
    anweisungText = QString::fromUtf8(sql);
    Anweisung anweisung;
    if (DbFehler f = anweisung.Vorbereiten(db, anweisungText)) return f;
    for (qsizetype i = 0; i < anzahl; ++i) {
      if (DbFehler f = anweisung.Binden(werte(i))) return f;
      DbFehler f;
      anweisung.Schritt(f);
      if (f) return f;
      anweisung.Zuruecksetzen();
    }
    return {};
  };
  if (DbFehler f = alle(textSql, texte.size(), [&](qsizetype i) {
        const Rueckschrieb& r = texte.at(i);
        return QVariantList{r.name, r.verwendungszweck1, r.fehler ? 1 : 0, r.zahlungNr, r.gelesenName, r.gelesenText};
      }))
    return f;
  if (DbFehler f = alle(fehlerSql, fehler.size(), [&](qsizetype i) {
        return QVariantList{fehler.at(i).second ? 1 : 0, fehler.at(i).first};
      }))
    return f;
  return transaktion.Commit();
}

}  // namespace

std::optional<QDate> SepaSelektion::VerwendungszweckDatum(const QString& verwendungszweck1) {
  static const QRegularExpression lang(QStringLiteral("(\\d{2})\\.(\\d{2})\\.(\\d{4})$"));
  static const QRegularExpression kurz(QStringLiteral("(\\d{2})\\.(\\d{2})\\.(\\d{2})$"));
  QString text = verwendungszweck1;
  while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
  if (const auto datum = DatumMitMuster(text.right(10), lang)) return datum;
  return DatumMitMuster(text.right(8), kurz);
}

DbFehler SepaSelektion::DatumsfunktionRegistrieren(Datenbank& db) {
  return db.TextfunktionRegistrieren(DatumsfunktionName, [](const QString& text) -> std::optional<QString> {
    const std::optional<QDate> datum = VerwendungszweckDatum(text);
    if (!datum) return std::nullopt;
    return datum->toString(Qt::ISODate);
  });
}

Bedingung SepaSelektion::Auswahlbedingung(const SepaAuswahlAnfrage& anfrage, bool nurFehlerfreie) {
  QList<Bedingung> teile;
  teile << Bedingung(SqlText("Zahlungen.AbsenderNr = ?"), {anfrage.AbsenderNr});
  switch (anfrage.Art) {
    case SepaArt::Ueberweisung:
      teile << Bedingung(SqlText("Zahlungen.Art = ?"), {QStringLiteral("G")});
      break;
    case SepaArt::BasisLastschrift:
      teile << LastschriftBedingung(false);
      break;
    case SepaArt::FirmenLastschrift:
      teile << LastschriftBedingung(true);
      break;
  }
  teile << Bedingung(SqlText("Zahlungen.Erledigt = 0"));
  // date() also copes with a stored time of day.
  if (anfrage.FaelligBis)
    teile << Bedingung(SqlText("date(Zahlungen.\"Fällig\") <= ?"), {anfrage.FaelligBis->toString(Qt::ISODate)});
  if (nurFehlerfreie) teile << Bedingung(SqlText("Zahlungen.Fehler = 0"));
  // An order whose text ends in no date is not selected while the limit is set.
  if (anfrage.VerwendungszweckDatumBis)
    teile << Bedingung(SqlText("SepaVerwendungDatum(Zahlungen.Verwendungszweck1) <= ?"),
                       {anfrage.VerwendungszweckDatumBis->toString(Qt::ISODate)});
  return Bedingung::AlleUnd(teile);
}

Abfrage SepaSelektion::Zeilenabfrage(const Bedingung& bedingung) {
  Abfrage abfrage;
  abfrage.quelle =
      SqlText("Zahlungen LEFT JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr");
  abfrage.bedingung = bedingung;
  abfrage.sortierung = SqlText("Zahlungen.Art, Zahlungen.MandatSequenz, Zahlungen.ZahlungNr, Verwendungszweck.LfdNr");
  abfrage.haupttabelle = QStringLiteral("Zahlungen");
  return abfrage;
}

Abfrage SepaSelektion::GitterAbfrage(const SepaAuswahl& auswahl) {
  Abfrage abfrage = Zeilenabfrage(auswahl.Auswahlbedingung);
  abfrage.spalten = SqlText(
      "Zahlungen.ZahlungNr, Zahlungen.Name, Zahlungen.Bank, Zahlungen.BIC, Zahlungen.IBAN, Zahlungen.OPKontoNr, "
      "Zahlungen.\"Textschlüssel\", Zahlungen.ZahlungGesamt, Zahlungen.AbsenderNr, Zahlungen.Erledigt, "
      "Zahlungen.BuchImport, Zahlungen.Art, Zahlungen.ErledigtDatum, Zahlungen.\"Fällig\", Zahlungen.\"Währung\", "
      "Zahlungen.Fehler, Zahlungen.Verwendungszweck1, Verwendungszweck.ZahlungNr, Verwendungszweck.OPVorgangNr, "
      "Verwendungszweck.Vorgangsdatum, Verwendungszweck.OPBetrag, Verwendungszweck.SkontoBetrag, "
      "Verwendungszweck.Verwendungszweck, Verwendungszweck.ZahlungsBetrag, Verwendungszweck.LfdNr, "
      "Verwendungszweck.OPVorgangsArt, Verwendungszweck.ZeilenNr");
  return abfrage;
}

QString SepaSelektion::Fehlerwarnung(int anzahl) {
  return QStringLiteral("Achtung! Die Prüfung hat ") + QString::number(anzahl) +
         QStringLiteral(" fehlerhafte Zahlung(en) ermittelt.\r"
                        "\r"
                        "Die fehlerhaften Zahlungen werden ausgeblendet und bei einer SEPA-\r"
                        "Erstellung automatisch weggelassen.\r"
                        "\r"
                        "Die Liste der weggelassenen Zahlungen nennt die Gründe; korrigieren "
                        "Sie die Zahlungen unter 'Zahlungen erfassen'. Die Liste öffnet auch "
                        "der Knopf 'Fehlerliste...'.\r"
                        "\r"
                        "Möchten Sie die Liste jetzt sehen?");
}

std::optional<Waehrung> SepaSelektion::Auswahlsumme(const QList<Waehrung>& betraege, SepaArt art) {
  std::optional<Waehrung> summe = Waehrung();
  for (const Waehrung& b : betraege) {
    summe = Waehrung::Addiert(*summe, b);
    if (!summe) return std::nullopt;
  }
  // Credit transfers count negative (the window's footer, as the payment list shows them).
  return art == SepaArt::Ueberweisung ? Waehrung::Subtrahiert(Waehrung(), *summe) : summe;
}

QString SepaSelektion::Datenermittlungsfehler(const DbFehler& fehler, const QString& abfrage) {
  return DatenermittlungsFehlertext(fehler, abfrage);
}

SepaAuswahl SepaSelektion::ZahlungenSelektieren(Datenbank& db, const SepaAuswahlAnfrage& anfrage) {
  SepaAuswahl auswahl;
  const QDate heute = anfrage.Heute.isValid() ? anfrage.Heute : Uhr::Heute();
  auto scheitern = [&](const DbFehler& f, const QString& sql) {
    auswahl.Fehler = f;
    auswahl.Meldung = Datenermittlungsfehler(f, sql);
    auswahl.ZahlungNummern.clear();
    auswahl.Auftraege.reset();
    auswahl.Summe = Waehrung();
    auswahl.Statustext.clear();
    return auswahl;
  };

  if (DbFehler f = DatumsfunktionRegistrieren(db)) return scheitern(f, QString());

  // One pass: every selected order with its lines, cleaned, checked as the run it would make and kept as
  // the file would carry it.
  const Bedingung erste = Auswahlbedingung(anfrage, false);
  auswahl.Auswahlbedingung = erste;
  // The earlier collections of the selected orders' mandates, in one statement before the pass.
  Mandatverlaeufe verlauf;
  if (anfrage.Art != SepaArt::Ueberweisung)
    if (DbFehler f = MandatverlaufLesen::ZuAuftraegen(db, anfrage.AbsenderNr, erste, verlauf))
      return scheitern(f, MandatverlaufLesen::Sql(erste).Text());
  auto geprueft = std::make_shared<SepaGepruefteAuftraege>();
  geprueft->Verlauf = verlauf;
  Auftragspruefung::Laufpruefung pruefung(heute, std::move(verlauf));
  QList<Gepruefter> reihe;
  QList<Rueckschrieb> texte;
  QList<QPair<int, SepaAuftragsbefund>> befunde;   // with the mandate sequence, for the order of the list
  QByteArray name, text1;
  DbFehler f = SepaAuftragsleser::Lesen(db, erste, [&](SepaAuftragsleser::Gelesen& g) {
    Zahlungsauftrag& a = g.auftrag;
    const QString gelesenName = a.Name;
    const QString gelesenText = a.Verwendungszweck1;
    // The rules judge the texts as stored (what transliteration would lose is a finding); the cleaned texts
    // are stored back only when they still say the same.
    const QList<Befund> eigene = pruefung.Pruefen(a);
    const bool bereinigt = Auftragspruefung::TexteBereinigen(a);
    qsizetype rueckschrieb = -1;
    if (bereinigt && (g.textNull || a.Name != gelesenName || a.Verwendungszweck1 != gelesenText)) {
      rueckschrieb = texte.size();
      texte << Rueckschrieb{a.ZahlungNr, a.Name, a.Verwendungszweck1, false, g.roh.name.toByteArray(),
                            g.roh.verwendungszweck1.toByteArray()};
      // The fingerprint is of what is stored once the pass is done.
      name = a.Name.toUtf8();
      text1 = a.Verwendungszweck1.toUtf8();
      g.roh.name = name;
      g.roh.verwendungszweck1 = text1;
    }
    reihe << Gepruefter{a.ZahlungNr, a.MandatSequenz, g.fehler, !eigene.isEmpty(), rueckschrieb, a.Betrag};
    if (!eigene.isEmpty()) {
      befunde << qMakePair(a.MandatSequenz, SepaAuftragsbefund{a.ZahlungNr, a.Name, a.IBAN, a.Betrag, a.Faellig, eigene});
      return;
    }
    g.roh.fingerabdruck = SepaAuftragsleser::Fingerabdruck(g);
    geprueft->Auftraege.Anhaengen(g.roh);
  });
  if (f) return scheitern(f, SepaAuftragsleser::AuftragsSql(erste).Text());

  // The run's rules (a mandate once as first or one-off collection) on the orders that passed on their own.
  QSet<qint64> laufFehler;
  {
    QHash<qint64, QList<Befund>> laufBefunde;
    for (const auto& [stelle, befund] : pruefung.Laufbefunde()) {
      laufFehler.insert(reihe.at(stelle).zahlungNr);
      laufBefunde[reihe.at(stelle).zahlungNr] << befund;
    }
    if (!laufBefunde.isEmpty()) {
      // What the list of left-out orders shows of them, read once more (the pass kept only their file form).
      QList<qint64> nummern = laufBefunde.keys();
      f = SepaAuftragsleser::Lesen(db, erste.Und(Bedingung::InNummern(SqlText("Zahlungen.ZahlungNr"), nummern)),
                                   [&](SepaAuftragsleser::Gelesen& g) {
                                     Zahlungsauftrag& a = g.auftrag;
                                     Auftragspruefung::TexteBereinigen(a);
                                     befunde << qMakePair(a.MandatSequenz,
                                                          SepaAuftragsbefund{a.ZahlungNr, a.Name, a.IBAN, a.Betrag,
                                                                             a.Faellig, laufBefunde.value(a.ZahlungNr)});
                                   });
      if (f) return scheitern(f, SepaAuftragsleser::AuftragsSql(erste).Text());
    }
  }
  std::stable_sort(befunde.begin(), befunde.end(), [](const auto& x, const auto& y) {
    return x.first != y.first ? x.first < y.first : x.second.ZahlungNr < y.second.ZahlungNr;
  });
  for (auto& [sequenz, befund] : befunde) auswahl.Befunde << std::move(befund);

  // Only rows whose stored values change are written; the result is the same as rewriting all.
  QList<QPair<qint64, bool>> fehlerAenderungen;
  QList<Waehrung> betraege;   // of the faultless orders
  for (const Gepruefter& p : reihe) {
    const bool fehlerhaft = p.eigeneBefunde || laufFehler.contains(p.zahlungNr);
    ++auswahl.Geprueft;
    if (fehlerhaft)
      ++auswahl.Fehlerhaft;
    else
      betraege << p.betrag;
    if (p.rueckschrieb >= 0)
      texte[p.rueckschrieb].fehler = fehlerhaft;
    else if (p.gespeicherterFehler != fehlerhaft)
      fehlerAenderungen << qMakePair(p.zahlungNr, fehlerhaft);
  }
  QString anweisungText;
  if (DbFehler s = RueckschriebSpeichern(db, texte, fehlerAenderungen, anweisungText)) {
    auswahl.Fehlerhaft = 0;
    auswahl.Befunde.clear();
    return scheitern(s, anweisungText);
  }

  // The faultless orders in the order of the file, their signed total, and the state they were read in.
  SepaAuftraege& auftraege = geprueft->Auftraege;
  if (!laufFehler.isEmpty())
    auftraege.Auswaehlen([&](const SepaAuftraege::Auftrag& a) { return !laufFehler.contains(a.zahlungNr); });
  else
    auftraege.Auswaehlen([](const SepaAuftraege::Auftrag&) { return true; });
  // A total beyond the money range cannot be shown or sent: nothing is offered for a file.
  const std::optional<Waehrung> summe = Auswahlsumme(betraege, anfrage.Art);
  if (!summe) {
    auswahl.Fehler = {DbFehlerNr::FeldZuKlein, QStringLiteral("Summe zu groß")};
    auswahl.Meldung = QStringLiteral("Die Summe der ausgewählten Zahlungen ist zu groß für eine SEPA-Datei.\r"
                                     "Bitte schränken Sie die Auswahl ein (z. B. über 'Fällig bis').");
    auswahl.ZahlungNummern.clear();
    auswahl.Auftraege.reset();
    return auswahl;
  }
  auswahl.Summe = *summe;
  const std::optional<Datenversion> version = db.DatenversionLesen(f);
  if (f) return scheitern(f, QStringLiteral("PRAGMA data_version"));
  geprueft->AbsenderNr = anfrage.AbsenderNr;
  geprueft->Art = anfrage.Art;
  geprueft->Heute = heute;
  geprueft->Version = *version;
  auswahl.Auswahlbedingung = Auswahlbedingung(anfrage, true);
  auswahl.ZahlungNummern = auftraege.Nummern();
  auswahl.Auftraege = std::move(geprueft);

  if (auswahl.ZahlungNummern.isEmpty())
    auswahl.Statustext = QStringLiteral("Keine Zahlungen festgestellt");
  else
    auswahl.Statustext = (auswahl.Fehlerhaft < 1 ? QStringLiteral("Keine") : QString::number(auswahl.Fehlerhaft)) +
                         QStringLiteral(" fehlerhafte Zahlung(en) festgestellt");
  return auswahl;
}
