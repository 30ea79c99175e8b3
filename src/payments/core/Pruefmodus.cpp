#include "payments/core/Pruefmodus.h"

#include <QSet>

#include <algorithm>

#include "zahlungsverkehr/AuftragLesen.h"
#include "zahlungsverkehr/Auftragspruefung.h"
#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/MandatverlaufLesen.h"
#include "common/Textfunktionen.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "platform/db/Wertumwandlung.h"

namespace {

// What is stored of an order before the check: the guard of the write-back and what it changes.
struct Gespeichert {
  QVariant name;               // Name as stored (Null included)
  QVariant verwendungszweck1;  // Verwendungszweck1 as stored
  QVariantList beurteilt;      // the order's judged columns (AuftragLesen::Spalten without ZahlungNr) as stored
  bool fehler = false;
  std::optional<qint64> zeile1;  // LfdNr of line 1 (first in line order)
  QVariant zeile1Text;
};

// What the check stores of one order.
struct Rueckschrieb {
  qsizetype index = 0;
  QString name;
  QString verwendungszweck1;
  bool fehler = false;
  std::optional<QString> zeile1Text;  // line 1 cleaned as well
};

Waehrung BetragOderNull(const QVariant& wert) { return WaehrungAusWert(wert).value_or(Waehrung()); }

DbFehler AuftraegeLesen(Datenbank& db, const Bedingung& liste, QList<Zahlungsauftrag>& lauf,
                        QList<Gespeichert>& gespeichert, std::optional<int>& absenderNr) {
  constexpr int fehlerSpalte = AuftragLesen::Spaltenzahl;
  constexpr int absenderSpalte = fehlerSpalte + 1;
  constexpr int zeileSpalte = absenderSpalte + 1;  // LfdNr, Verwendungszweck, ZahlungsBetrag of a line
  const Bedingung b = ZahlungenDerListe(liste, "Zahlungen.ZahlungNr");
  const SqlText sql = SqlText("SELECT ") + AuftragLesen::Spalten() +
                      SqlText(", Zahlungen.Fehler, Zahlungen.AbsenderNr, Verwendungszweck.LfdNr, Verwendungszweck.Verwendungszweck, "
                              "Verwendungszweck.ZahlungsBetrag FROM Zahlungen LEFT JOIN Verwendungszweck ON "
                              "Verwendungszweck.ZahlungNr = Zahlungen.ZahlungNr") +
                      b.AlsWhere() +
                      SqlText(" ORDER BY Zahlungen.ZahlungNr, Verwendungszweck.ZeilenNr, Verwendungszweck.LfdNr");
  return db.Abfragen(sql, b.parameter, [&](const Zeile& z) {
    if (lauf.isEmpty() || lauf.last().ZahlungNr != z.Wert(0).toLongLong()) {
      lauf << AuftragLesen::AusZeile(z);
      if (!absenderNr) absenderNr = int(z.Wert(absenderSpalte).toLongLong());
      QVariantList beurteilt;
      for (int i = 1; i < AuftragLesen::Spaltenzahl; ++i) beurteilt << z.Wert(i);
      gespeichert << Gespeichert{z.Wert(AuftragLesen::NameSpalte), z.Wert(AuftragLesen::Verwendungszweck1Spalte),
                                 std::move(beurteilt), z.Wert(fehlerSpalte).toLongLong() != 0, std::nullopt, QVariant()};
    }
    if (z.Wert(zeileSpalte).isNull()) return true;
    Gespeichert& g = gespeichert.last();
    if (!g.zeile1) {
      g.zeile1 = z.Wert(zeileSpalte).toLongLong();
      g.zeile1Text = z.Wert(zeileSpalte + 1);
    }
    lauf.last().Zeilen << Auftragszeile{TextAusWert(z.Wert(zeileSpalte + 1)), BetragOderNull(z.Wert(zeileSpalte + 2))};
    return true;
  });
}

DbFehler BicsLesen(Datenbank& db, QSet<QString>& bics) {
  return db.Abfragen("SELECT BIC FROM Bankverbindung WHERE BIC IS NOT NULL", {}, [&](const Zeile& z) {
    const Bic bic(TextAusWert(z.Wert(0)));
    if (!bic.IstLeer()) bics.insert(bic.Vergleichsform());
    return true;
  });
}

// One order's write-back, all or nothing, guarded by what was read: a row changed elsewhere since
// (or done, or gone) is left alone and reported as not stored.
DbFehler Speichern(Datenbank& db, const Rueckschrieb& r, const Zahlungsauftrag& a, const Gespeichert& g, bool& gespeichert) {
  gespeichert = false;
  if (DbFehler f = db.BeginTrans()) return f;
  int geaendert = 0;
  // Every value the finding rests on, in the order of AuftragLesen::Spalten: a finding on values changed since
  // would mark a corrected order faulty or clear a broken one.
  static_assert(AuftragLesen::Spaltenzahl == 13, "the guard names the columns of AuftragLesen::Spalten");
  DbFehler f = db.Ausfuehren(
      "UPDATE Zahlungen SET Name = ?, Verwendungszweck1 = ?, Fehler = ? WHERE ZahlungNr = ? AND Erledigt = 0 "
      "AND Name IS ? COLLATE BINARY AND IBAN IS ? COLLATE BINARY AND BIC IS ? COLLATE BINARY AND ZahlungGesamt IS ? "
      "AND \"Textschlüssel\" IS ? COLLATE BINARY AND EinzelReferenz IS ? COLLATE BINARY "
      "AND MandatReferenz IS ? COLLATE BINARY AND MandatDatum IS ? AND MandatSequenz IS ? "
      "AND Verwendungszweck1 IS ? COLLATE BINARY AND Art IS ? COLLATE BINARY AND \"Fällig\" IS ?",
      QVariantList{r.name, r.verwendungszweck1, r.fehler ? 1 : 0, a.ZahlungNr} + g.beurteilt, &geaendert);
  if (!f && geaendert == 1 && r.zeile1Text && g.zeile1) {
    f = db.Ausfuehren("UPDATE Verwendungszweck SET Verwendungszweck = ? WHERE LfdNr = ? AND ZahlungNr = ? AND "
                      "Verwendungszweck IS ? COLLATE BINARY",
                      {*r.zeile1Text, *g.zeile1, a.ZahlungNr, g.zeile1Text}, &geaendert);
  }
  if (f || geaendert != 1) {
    db.Rollback();
    return f;
  }
  f = db.CommitTrans();
  gespeichert = !f;
  return f;
}

// The write-backs in transactions of `stapel` orders; returns the indexes of the orders not stored
// (their own store failed, or their transaction's); `erster` receives the first failure.
QSet<qsizetype> StapelweiseSpeichern(Datenbank& db, const QList<Rueckschrieb>& rueckschrieb,
                                     const QList<Zahlungsauftrag>& lauf, const QList<Gespeichert>& gespeichert,
                                     int stapel, DbFehler& erster) {
  QSet<qsizetype> nicht;
  auto merken = [&erster](const DbFehler& f) {
    if (f && !erster) erster = f;
  };
  for (qsizetype start = 0; start < rueckschrieb.size(); start += stapel) {
    const qsizetype ende = std::min<qsizetype>(start + stapel, rueckschrieb.size());
    Transaktion t(db);
    QList<qsizetype> imStapel;
    for (qsizetype k = start; k < ende; ++k) {
      const Rueckschrieb& r = rueckschrieb.at(k);
      bool ok = false;
      if (!t.Fehler()) merken(Speichern(db, r, lauf.at(r.index), gespeichert.at(r.index), ok));
      if (ok) imStapel << r.index;
      else nicht.insert(r.index);
    }
    merken(t.Fehler());
    if (t.Fehler()) continue;
    if (const DbFehler f = t.Commit()) {
      merken(f);
      for (qsizetype i : imStapel) nicht.insert(i);
    }
  }
  return nicht;
}

}  // namespace

PruefmodusErgebnis ZahlungenPruefen(Datenbank& db, const Bedingung& liste, bool blzAbgleich, const QDate& heute,
                                    int stapel) {
  PruefmodusErgebnis e;
  QList<Zahlungsauftrag> lauf;
  QList<Gespeichert> gespeichert;
  std::optional<int> absenderNr;
  if (DbFehler f = AuftraegeLesen(db, liste, lauf, gespeichert, absenderNr)) {
    e.lesefehler = f;
    return e;
  }
  // The list is one sender's (the payment form's): the earlier collections of its mandates, in one statement.
  Mandatverlaeufe verlauf;
  if (absenderNr)
    if (DbFehler f = MandatverlaufLesen::ZuAuftraegen(
            db, *absenderNr, ZahlungenDerListe(liste, "Zahlungen.ZahlungNr").Und(Bedingung("Zahlungen.AbsenderNr = ?", {*absenderNr})),
            verlauf)) {
      e.lesefehler = f;
      return e;
    }
  QSet<QString> bics;
  if (blzAbgleich) {
    if (DbFehler f = BicsLesen(db, bics)) {
      e.lesefehler = f;
      return e;
    }
  }

  // The rules judge the texts as stored (what transliteration would lose is a finding); then the cleaning,
  // stored back only when the texts still say the same.
  const QList<QList<Befund>> befunde = Auftragspruefung::LaufPruefen(lauf, heute, verlauf);
  QList<int> korrekturen(lauf.size(), 0);
  for (qsizetype i = 0; i < lauf.size(); ++i) {
    Zahlungsauftrag& a = lauf[i];
    const QString name = a.Name;
    const QString verwendungszweck1 = a.Verwendungszweck1;
    if (Auftragspruefung::TexteBereinigen(a))
      korrekturen[i] = int(a.Name != name) + int(a.Verwendungszweck1 != verwendungszweck1);
  }

  struct Urteil {
    QStringList gruende;
    int einzelangaben = 0;
    bool bic = false;
  };
  QList<Urteil> urteile;
  urteile.reserve(lauf.size());
  QList<Rueckschrieb> rueckschrieb;
  for (qsizetype i = 0; i < lauf.size(); ++i) {
    const Zahlungsauftrag& a = lauf.at(i);
    const Gespeichert& g = gespeichert.at(i);
    Urteil u;
    for (const Befund& b : befunde.at(i)) {
      u.gruende << b.Text;
      if (b.Feld == Auftragsfeld::Bic) u.bic = true;
      else ++u.einzelangaben;
    }
    const Bic bic(a.BIC);
    if (blzAbgleich && !u.bic && !bic.IstLeer() && !bics.contains(bic.Vergleichsform())) {
      u.bic = true;
      u.gruende << QStringLiteral("Die BIC %1 ist in den Bankverbindungen nicht enthalten!").arg(bic.Text());
    }
    const bool fehler = !u.gruende.isEmpty();
    Rueckschrieb r{i, a.Name, a.Verwendungszweck1, fehler, std::nullopt};
    if (a.Verwendungszweck1 != TextAusWert(g.verwendungszweck1) && g.zeile1) {
      const QString gelesen = TextAusWert(g.zeile1Text);
      const std::optional<QString> zeile1 = Auftragspruefung::TextBereinigt(gelesen, Auftragspruefung::ZeilenLaenge);
      if (zeile1 && *zeile1 != gelesen) r.zeile1Text = zeile1;
    }
    // Only what changes is written; storing every row would give the same data.
    if (korrekturen.at(i) > 0 || fehler != g.fehler || r.zeile1Text) rueckschrieb << r;
    urteile << std::move(u);
  }

  const QSet<qsizetype> nichtGespeichert =
      StapelweiseSpeichern(db, rueckschrieb, lauf, gespeichert, std::max(1, stapel), e.speicherFehler);
  for (qsizetype i = 0; i < lauf.size(); ++i) {
    if (nichtGespeichert.contains(i)) {
      ++e.nichtGespeichert;
      continue;
    }
    const Urteil& u = urteile.at(i);
    ++e.geprueft;
    e.einzelangaben += u.einzelangaben;
    e.korrekturen += korrekturen.at(i);
    if (u.bic) ++e.falscheBic;
    if (!u.gruende.isEmpty()) {
      ++e.fehlerhaft;
      e.gruende.insert(lauf.at(i).ZahlungNr, u.gruende);
    }
  }
  return e;
}

namespace Pruefmodus {

QString KeineFehlerText() {
  return QStringLiteral("Es wurden keine fehlerhafte Zahlungen festgestellt!\rDer Prüfmodus wird daher wieder ausgeschaltet.");
}

QString ErgebnisText(const PruefmodusErgebnis& e, bool blzAbgleich) {
  const QString tab = QStringLiteral("\t");
  QStringList zeilen;
  zeilen << QStringLiteral("Die Prüfung hat folgendes Ergebnis ermittelt:") << QString()
         << QStringLiteral("Geprüfte Zahlungen:        ") + tab + QString::number(e.geprueft)
         << QStringLiteral("Fehlerhafte Zahlungen:     ") + tab + QString::number(e.fehlerhaft)
         << QStringLiteral("Fehlerhafte Einzelangaben: ") + tab + QString::number(e.einzelangaben);
  // BIC findings are not among the single entries: their line shows whenever there is one.
  if (blzAbgleich || e.falscheBic > 0)
    zeilen << QStringLiteral("Zahlung mit falscher BIC:  ") + tab + QString::number(e.falscheBic);
  zeilen << QStringLiteral("Automatische Korrekturen:  ") + tab + QString::number(e.korrekturen);
  if (e.nichtGespeichert > 0)
    zeilen << QStringLiteral("Nicht gespeichert:         ") + tab + QString::number(e.nichtGespeichert);
  zeilen << QString() << QStringLiteral("Die Anzeige wird auf die Selektion dieser Zahlungen umgeschaltet.")
         << QStringLiteral("Es werden also nur die fehlerhaften Zahlungen angezeigt, solange")
         << QStringLiteral("bis der Prüfmodus wieder ausgeschaltet wird.");
  if (e.nichtGespeichert > 0) zeilen << QString() << SpeicherfehlerText(e);
  return zeilen.join(QLatin1Char('\r'));
}

QString SpeicherfehlerText(const PruefmodusErgebnis& e) {
  QString text = QString::number(e.nichtGespeichert) +
                 QStringLiteral(" Zahlung(en) konnten nicht gespeichert werden und gelten nicht als geprüft");
  if (e.speicherFehler)
    return text + QStringLiteral(":\r") + e.speicherFehler.Meldungstext();
  return text + QStringLiteral(", weil sie inzwischen an anderer Stelle geändert, erledigt oder gelöscht wurden.");
}

QString GrundText(const QStringList& gruende) {
  QStringList zeilen;
  for (QString g : gruende) zeilen << g.replace(QLatin1Char('\r'), QLatin1Char(' ')).simplified();
  return QStringLiteral("Fehler: ") + zeilen.join(QStringLiteral(" – "));
}

}  // namespace Pruefmodus
