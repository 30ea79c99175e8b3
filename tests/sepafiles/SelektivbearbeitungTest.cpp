// Selection and bulk action of the selective window: the criteria (done-date range inclusive on
// both ends, export flag, each kind, all orders), the counts and the question, reactivation that
// clears exactly three fields, deletion with the lines, all-or-nothing, the guard against a change
// between reading and writing (a second workstation) and the refusal while a SEPA run is pending.

#include <gtest/gtest.h>

#include "LaufTestDatenbank.h"
#include "QtAusgabe.h"
#include "sepafiles/core/Selektivbearbeitung.h"
#include "sepafiles/core/SepaLaufSperre.h"
#include "sepafiles/core/SepaLaufVermerke.h"
#include "testsupport/TestOrdner.h"

namespace {

class SelektivbearbeitungTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // 1..4 done credit transfers on 29.02., 01.03., 31.03. (late in the day) and 01.04.
    m_nr[1] = Erledigt(QDate(2024, 2, 29));
    m_nr[2] = Erledigt(QDate(2024, 3, 1));
    m_nr[3] = Erledigt(QDate(2024, 3, 31));
    ASSERT_FALSE(m_t.Db().Ausfuehren("UPDATE Zahlungen SET ErledigtDatum = '2024-03-31 17:45:00' WHERE ZahlungNr = ?",
                                     {m_nr[3]}));
    m_nr[4] = Erledigt(QDate(2024, 4, 1));
    // 5: open credit transfer; 6: done core direct debit, exported; 7: done B2B direct debit
    LaufTestDatenbank::Auftrag a;
    m_nr[5] = m_t.Anlegen(a);
    LaufTestDatenbank::Auftrag l = Lastschrift(3, {1000, 2000, 3000});
    l.erledigt = true;
    l.erledigtDatum = QDate(2024, 3, 15);
    l.buchungsdatum = QDate(2024, 3, 18);
    l.buchImport = true;
    m_nr[6] = m_t.Anlegen(l);
    l = Lastschrift(13, {5000});
    l.erledigt = true;
    l.erledigtDatum = QDate(2024, 3, 20);
    l.buchungsdatum = QDate(2024, 3, 22);
    m_nr[7] = m_t.Anlegen(l);
    // 8: another sender's done order in the range
    a.absenderNr = 2;
    a.erledigt = true;
    a.erledigtDatum = QDate(2024, 3, 10);
    m_nr[8] = m_t.Anlegen(a);
  }

  qint64 Erledigt(const QDate& am) {
    LaufTestDatenbank::Auftrag a;
    a.erledigt = true;
    a.erledigtDatum = am;
    a.buchungsdatum = am.addDays(1);
    a.fehler = true;
    a.zeilenCent = {10000, 2500};
    return m_t.Anlegen(a);
  }

  static SelektivKriterien Kriterien() {
    SelektivKriterien k;
    k.absenderNr = 1;
    return k;
  }

  // The order numbers (1..8 as in SetUp) the criteria select.
  QList<int> Auswahl(const SelektivKriterien& k) {
    SelektivBestand b;
    const DbFehler f = Selektivbearbeitung::BestandLesen(m_t.Db(), k, b);
    EXPECT_FALSE(f) << f.Beschreibung.toStdString();
    QList<int> nummern;
    for (const SelektivAuftrag& a : b.auftraege)
      for (int i = 1; i <= 8; ++i)
        if (m_nr[i] == a.zahlungNr) nummern << i;
    return nummern;
  }

  int Anzahl(const SqlText& sql, const QVariantList& p = {}) { return m_t.Wert(sql, p).toInt(); }

  LaufTestDatenbank m_t;
  qint64 m_nr[9] = {};
};

TEST_F(SelektivbearbeitungTest, ErledigtDatumBereichSchliesstBeideEndenEin) {
  SelektivKriterien k = Kriterien();
  k.erledigtVon = QDate(2024, 3, 1);
  k.erledigtBis = QDate(2024, 3, 31);
  EXPECT_EQ(Auswahl(k), (QList<int>{2, 3, 6, 7}));
  k.erledigtVon = QDate(2024, 3, 2);
  k.erledigtBis = QDate(2024, 3, 30);
  EXPECT_EQ(Auswahl(k), (QList<int>{6, 7})) << "a day inside on either side leaves both ends out";
  k.erledigtVon.reset();
  k.erledigtBis = QDate(2024, 3, 1);
  EXPECT_EQ(Auswahl(k), (QList<int>{1, 2})) << "an empty from-date removes only the lower bound";
  k.erledigtVon = QDate(2024, 3, 31);
  k.erledigtBis.reset();
  EXPECT_EQ(Auswahl(k), (QList<int>{3, 4}));
  k.erledigtVon.reset();
  EXPECT_EQ(Auswahl(k), (QList<int>{1, 2, 3, 4, 6, 7}));
}

TEST_F(SelektivbearbeitungTest, OhneNurErledigteAuchOffeneUndDatumOhneWirkung) {
  SelektivKriterien k = Kriterien();
  k.nurErledigte = false;
  k.erledigtVon = QDate(2030, 1, 1);   // only a criterion of done orders
  EXPECT_EQ(Auswahl(k), (QList<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(SelektivbearbeitungTest, ExportiertUndJedeArt) {
  SelektivKriterien k = Kriterien();
  k.nurExportierte = true;
  EXPECT_EQ(Auswahl(k), (QList<int>{6}));
  k.nurExportierte = false;
  k.nurErledigte = false;
  k.zahlartIndex = 1;
  EXPECT_EQ(Auswahl(k), (QList<int>{1, 2, 3, 4, 5}));
  k.zahlartIndex = 2;
  EXPECT_EQ(Auswahl(k), (QList<int>{6}));
  k.zahlartIndex = 3;
  EXPECT_EQ(Auswahl(k), (QList<int>{7}));
}

TEST_F(SelektivbearbeitungTest, AlleZahlungenUebergehtDieKriterien) {
  SelektivKriterien k = Kriterien();
  k.alleZahlungen = true;
  k.nurExportierte = true;
  k.zahlartIndex = 3;
  k.erledigtVon = QDate(2030, 1, 1);
  EXPECT_EQ(Auswahl(k), (QList<int>{1, 2, 3, 4, 5, 6, 7})) << "every order of the sender, none of another";
}

TEST_F(SelektivbearbeitungTest, BestandZaehltAuftraegeNichtZeilenMitOffenUndErledigt) {
  SelektivKriterien k = Kriterien();
  k.nurErledigte = false;
  k.zahlartIndex = 2;
  SelektivBestand b;
  ASSERT_FALSE(Selektivbearbeitung::BestandLesen(m_t.Db(), k, b));
  EXPECT_EQ(b.Anzahl(), 1) << "one order with three lines";
  k.zahlartIndex = 1;
  ASSERT_FALSE(Selektivbearbeitung::BestandLesen(m_t.Db(), k, b));
  EXPECT_EQ(b.Anzahl(), 5);
  EXPECT_EQ(b.Offene(), 1);
  EXPECT_EQ(b.Erledigte(), 4);
  EXPECT_EQ(Selektivbearbeitung::Bestaetigung(QStringLiteral("Löschen"), b),
            QStringLiteral("Die Aktion: 'Löschen' wirkt sich mit den\r gewählten Einstellungen auf 5 Zahlungen aus.\r"
                           "Davon sind 1 noch offen und 4 erledigt.\r\r"
                           "Bitte bestätigen Sie noch einmal mit <OK>"));
}

TEST_F(SelektivbearbeitungTest, ReaktivierenLeertGenauDieDreiFelder) {
  const SqlText zeile(
      "SELECT Name || '|' || IBAN || '|' || ZahlungGesamt || '|' || \"Fällig\" || '|' || Fehler || '|' || BuchImport || "
      "'|' || Art || '|' || IFNULL(MandatSequenz, '') || '|' || (SELECT group_concat(ZahlungsBetrag) FROM "
      "Verwendungszweck v WHERE v.ZahlungNr = Zahlungen.ZahlungNr) FROM Zahlungen WHERE ZahlungNr = ?");
  SelektivKriterien k = Kriterien();
  k.erledigtVon = QDate(2024, 3, 1);
  k.erledigtBis = QDate(2024, 3, 31);
  SelektivBestand b;
  ASSERT_FALSE(Selektivbearbeitung::BestandLesen(m_t.Db(), k, b));
  ASSERT_EQ(b.Anzahl(), 4);
  QStringList vorher;
  for (int i = 1; i <= 8; ++i) vorher << m_t.Wert(zeile, {m_nr[i]}).toString();

  ASSERT_FALSE(Selektivbearbeitung::Ausfuehren(m_t.Db(), k, SelektivAktion::Reaktivieren, b));
  for (int i : {2, 3, 6, 7}) {
    EXPECT_FALSE(m_t.Erledigt(m_nr[i])) << i;
    EXPECT_TRUE(m_t.Wert("SELECT ErledigtDatum FROM Zahlungen WHERE ZahlungNr = ?", {m_nr[i]}).isNull()) << i;
    EXPECT_TRUE(m_t.Wert("SELECT Buchungsdatum FROM Zahlungen WHERE ZahlungNr = ?", {m_nr[i]}).isNull()) << i;
  }
  for (int i : {1, 4, 8}) EXPECT_TRUE(m_t.Erledigt(m_nr[i])) << i << " lies outside";
  EXPECT_EQ(m_t.Wert("SELECT ErledigtDatum FROM Zahlungen WHERE ZahlungNr = ?", {m_nr[4]}).toString(),
            QStringLiteral("2024-04-01"));
  QStringList nachher;
  for (int i = 1; i <= 8; ++i) nachher << m_t.Wert(zeile, {m_nr[i]}).toString();
  EXPECT_EQ(nachher, vorher) << "every other field, the check result and the lines stay";
  EXPECT_TRUE(m_t.Fehler(m_nr[2]));
}

TEST_F(SelektivbearbeitungTest, LoeschenNimmtDieZeilenMit) {
  SelektivKriterien k = Kriterien();
  k.nurErledigte = false;
  k.zahlartIndex = 2;
  SelektivBestand b;
  ASSERT_FALSE(Selektivbearbeitung::BestandLesen(m_t.Db(), k, b));
  const int zeilenVorher = Anzahl("SELECT count(*) FROM Verwendungszweck");
  ASSERT_FALSE(Selektivbearbeitung::Ausfuehren(m_t.Db(), k, SelektivAktion::Loeschen, b));
  EXPECT_EQ(Anzahl("SELECT count(*) FROM Zahlungen WHERE ZahlungNr = ?", {m_nr[6]}), 0);
  EXPECT_EQ(Anzahl("SELECT count(*) FROM Verwendungszweck WHERE ZahlungNr = ?", {m_nr[6]}), 0);
  EXPECT_EQ(Anzahl("SELECT count(*) FROM Verwendungszweck"), zeilenVorher - 3);
  EXPECT_EQ(Anzahl("SELECT count(*) FROM Zahlungen"), 7);
}

// The third order's statement fails: the two before it come back, nothing is changed.
TEST_F(SelektivbearbeitungTest, FehlschlagEinerZahlungRolltAllesZurueck) {
  for (SelektivAktion aktion : {SelektivAktion::Reaktivieren, SelektivAktion::Loeschen}) {
    SelektivKriterien k = Kriterien();
    SelektivBestand b;
    ASSERT_FALSE(Selektivbearbeitung::BestandLesen(m_t.Db(), k, b));
    ASSERT_EQ(b.Anzahl(), 6);
    int aufrufe = 0;
    m_t.Db().SetzeStoerung([&aufrufe](const QString& sql) -> DbFehler {
      if (sql.startsWith(QStringLiteral("UPDATE Zahlungen")) || sql.startsWith(QStringLiteral("DELETE FROM Zahlungen")))
        if (++aufrufe == 3) return {19, QStringLiteral("gesperrt")};
      return {};
    });
    const DbFehler f = Selektivbearbeitung::Ausfuehren(m_t.Db(), k, aktion, b);
    m_t.Db().SetzeStoerung({});
    EXPECT_EQ(f.Beschreibung, QStringLiteral("gesperrt"));
    EXPECT_EQ(m_t.AnzahlErledigt(), 7);
    EXPECT_EQ(Anzahl("SELECT count(*) FROM Zahlungen"), 8);
    EXPECT_EQ(Anzahl("SELECT count(*) FROM Verwendungszweck"), 14);
    EXPECT_EQ(Anzahl("SELECT count(*) FROM Zahlungen WHERE ErledigtDatum IS NULL"), 1);
    EXPECT_EQ(m_t.Db().TransaktionsTiefe(), 0);
  }
}

// Between the confirmation and the action another workstation changed an order: it no longer
// matches (done date moved out of the range), another went open, a third is gone. Each stops the
// whole action.
TEST_F(SelektivbearbeitungTest, AenderungZwischenLesenUndSchreibenStopptDieAktion) {
  const SqlText aenderungen[] = {
      "UPDATE Zahlungen SET ErledigtDatum = '2024-05-01' WHERE ZahlungNr = ?",
      "UPDATE Zahlungen SET Erledigt = 0, ErledigtDatum = NULL WHERE ZahlungNr = ?",
      "DELETE FROM Zahlungen WHERE ZahlungNr = ?",
  };
  SelektivKriterien k = Kriterien();
  k.erledigtVon = QDate(2024, 3, 1);
  k.erledigtBis = QDate(2024, 3, 31);
  SelektivBestand b;
  ASSERT_FALSE(Selektivbearbeitung::BestandLesen(m_t.Db(), k, b));
  ASSERT_EQ(b.Anzahl(), 4);
  const qint64 letzte = b.auftraege.last().zahlungNr;
  for (const SqlText& aenderung : aenderungen) {
    // Each change is taken back afterwards, so that the next one meets the same orders.
    ASSERT_FALSE(m_t.Db().BeginTrans());
    ASSERT_FALSE(m_t.Db().Ausfuehren(aenderung, {letzte}));
    const int erledigt = m_t.AnzahlErledigt();
    const DbFehler f = Selektivbearbeitung::Ausfuehren(m_t.Db(), k, SelektivAktion::Reaktivieren, b);
    EXPECT_EQ(f.Nummer, DbFehlerNr::KeineTreffer) << aenderung.Text().toStdString();
    EXPECT_TRUE(f.Beschreibung.contains(QString::number(letzte))) << f.Beschreibung.toStdString();
    EXPECT_EQ(m_t.AnzahlErledigt(), erledigt) << aenderung.Text().toStdString() << ": the other three stay done";
    ASSERT_FALSE(m_t.Db().Rollback());
  }
  EXPECT_EQ(m_t.AnzahlErledigt(), 7);
}

// ---- two workstations on one database file -----------------------------------------------------------------

class SelektivZweiArbeitsplaetze : public ::testing::Test {
 protected:
  SelektivZweiArbeitsplaetze()
      : m_hier{Datenbank::Oeffnen(m_ordner.Datei(QStringLiteral("TamoSEPA.db")), m_fehler, true)},
        m_dort{Datenbank::Oeffnen(m_ordner.Datei(QStringLiteral("TamoSEPA.db")), m_fehler)} {}

  void SetUp() override {
    ASSERT_TRUE(m_dort) << m_fehler.Beschreibung.toStdString();
    LaufTestDatenbank::Auftrag a;
    m_offen = m_hier.Anlegen(a);
    a.erledigt = true;
    a.erledigtDatum = QDate(2024, 3, 1);
    a.buchungsdatum = QDate(2024, 3, 4);
    m_erledigt = m_hier.Anlegen(a);
    m_dritte = m_hier.Anlegen(a);
  }

  int Anzahl(const SqlText& sql) { return m_hier.Wert(sql).toInt(); }

  static SelektivKriterien Alle() {
    SelektivKriterien k;
    k.absenderNr = 1;
    k.alleZahlungen = true;
    return k;
  }

  TestOrdner m_ordner;
  DbFehler m_fehler;
  LaufTestDatenbank m_hier;   // the selective window
  std::unique_ptr<Datenbank> m_dort;   // another workstation
  qint64 m_offen = 0, m_erledigt = 0, m_dritte = 0;
};

struct Zwischenaenderung {
  const char* name;
  SelektivAktion aktion;
  SqlText sql;   // on the other workstation, between the question and the action
  bool erledigtGeaendert;   // the open order (false: the done one) is the changed one
  bool gestoppt;
};

class SelektivAenderungDazwischen : public SelektivZweiArbeitsplaetze,
                                    public ::testing::WithParamInterface<Zwischenaenderung> {};

// The question named the orders with their done state. When another workstation changed that state before
// the action (marked an open order done in a SEPA file, or reopened a done one), the action does nothing to
// any order and names the changed one: deleting or reopening an order that just went to the bank would
// lose it or pay it twice. A change of any other field does not stop it.
TEST_P(SelektivAenderungDazwischen, GeaenderterErledigtStandStopptDieAktion) {
  const Zwischenaenderung fall = GetParam();
  const SelektivKriterien k = Alle();
  SelektivBestand b;
  ASSERT_FALSE(Selektivbearbeitung::BestandLesen(m_hier.Db(), k, b));
  ASSERT_EQ(b.Anzahl(), 3);
  const qint64 geaendert = fall.erledigtGeaendert ? m_offen : m_erledigt;
  ASSERT_FALSE(m_dort->Ausfuehren(fall.sql, {geaendert}));
  const int erledigtVorher = m_hier.AnzahlErledigt();

  const DbFehler f = Selektivbearbeitung::Ausfuehren(m_hier.Db(), k, fall.aktion, b);
  if (!fall.gestoppt) {
    EXPECT_FALSE(f) << f.Beschreibung.toStdString();
    EXPECT_EQ(Anzahl(fall.aktion == SelektivAktion::Loeschen ? SqlText("SELECT count(*) FROM Zahlungen")
                                                             : SqlText("SELECT count(*) FROM Zahlungen WHERE Erledigt = 1")),
              0);
    return;
  }
  EXPECT_EQ(f.Nummer, DbFehlerNr::KeineTreffer);
  EXPECT_EQ(f.Beschreibung, QStringLiteral("Die Zahlung Nr. %1 wurde inzwischen geändert oder gelöscht und entspricht "
                                           "nicht mehr der Auswahl.")
                                .arg(geaendert));
  EXPECT_EQ(Anzahl("SELECT count(*) FROM Zahlungen"), 3);
  EXPECT_EQ(Anzahl("SELECT count(*) FROM Verwendungszweck"), 3);
  EXPECT_EQ(m_hier.AnzahlErledigt(), erledigtVorher);
}

INSTANTIATE_TEST_SUITE_P(
    Arbeitsplaetze, SelektivAenderungDazwischen,
    ::testing::Values(
        Zwischenaenderung{"LoeschenNachdemEineOffeneErledigtWurde", SelektivAktion::Loeschen,
                          "UPDATE Zahlungen SET Erledigt = 1, ErledigtDatum = '2024-06-05', Buchungsdatum = '2024-06-06' "
                          "WHERE ZahlungNr = ?",
                          true, true},
        Zwischenaenderung{"ReaktivierenNachdemEineOffeneErledigtWurde", SelektivAktion::Reaktivieren,
                          "UPDATE Zahlungen SET Erledigt = 1, ErledigtDatum = '2024-06-05', Buchungsdatum = '2024-06-06' "
                          "WHERE ZahlungNr = ?",
                          true, true},
        Zwischenaenderung{"LoeschenNachdemEineErledigteReaktiviertWurde", SelektivAktion::Loeschen,
                          "UPDATE Zahlungen SET Erledigt = 0, ErledigtDatum = NULL, Buchungsdatum = NULL WHERE ZahlungNr = ?",
                          false, true},
        Zwischenaenderung{"ReaktivierenNachdemEineErledigteReaktiviertWurde", SelektivAktion::Reaktivieren,
                          "UPDATE Zahlungen SET Erledigt = 0, ErledigtDatum = NULL, Buchungsdatum = NULL WHERE ZahlungNr = ?",
                          false, true},
        Zwischenaenderung{"LoeschenNachAndererAenderung", SelektivAktion::Loeschen,
                          "UPDATE Zahlungen SET Name = 'Schulze' WHERE ZahlungNr = ?", true, false},
        Zwischenaenderung{"ReaktivierenNachAndererAenderung", SelektivAktion::Reaktivieren,
                          "UPDATE Zahlungen SET Name = 'Schulze', Buchungsdatum = '2024-03-05' WHERE ZahlungNr = ?", false,
                          false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- a pending SEPA run ------------------------------------------------------------------------------------

enum class Lauf { Keiner, NurBegonnen, Unterbrochen, Laeuft };
struct LaufFall {
  const char* name;
  Lauf lauf;
  const char* anfang;   // of the refusal, empty when the action runs
};

class SelektivOffenerLauf : public SelektivZweiArbeitsplaetze, public ::testing::WithParamInterface<LaufFall> {};

// While a run's orders are marked done and its files are not in place (a run under way on another
// workstation, or one interrupted until the next opening), neither action touches an order: reopened, such an
// order would go to the bank in that run's file and in a new one. A run that never committed marks nothing
// and stands in no way.
TEST_P(SelektivOffenerLauf, OffenerLaufVerhindertBeideAktionen) {
  const LaufFall fall = GetParam();
  std::unique_ptr<SepaLaufSperre> sperre;
  if (fall.lauf == Lauf::Laeuft) {
    sperre = std::make_unique<SepaLaufSperre>(*m_dort);
    ASSERT_TRUE(sperre->Erhalten());
  }
  if (fall.lauf == Lauf::NurBegonnen || fall.lauf == Lauf::Unterbrochen) {
    ASSERT_FALSE(SepaLaufVermerke::Beginnen(*m_dort, QStringLiteral("0011223344556677"), m_ordner.Pfad()));
  }
  if (fall.lauf == Lauf::Unterbrochen) {
    const SepaLaufVermerke::Eintrag u{QLatin1Char('U'), m_ordner.Pfad(),
                                      m_ordner.Datei(QStringLiteral("SEPAGK.XML.0011223344556677.sepatmp")),
                                      m_ordner.Datei(QStringLiteral("SEPAGK.XML")), 10, "ab", {m_erledigt}};
    ASSERT_FALSE(SepaLaufVermerke::Vormerken(*m_dort, QStringLiteral("0011223344556677"), {u}));
  }
  DbFehler f;
  const QString hindernis = Selektivbearbeitung::LaufHindernis(m_hier.Db(), f);
  ASSERT_FALSE(f);
  if (*fall.anfang)
    EXPECT_TRUE(hindernis.startsWith(QString::fromUtf8(fall.anfang))) << hindernis.toStdString();
  else
    EXPECT_TRUE(hindernis.isEmpty()) << hindernis.toStdString();

  // The done orders reactivated, then every order deleted.
  for (SelektivAktion aktion : {SelektivAktion::Reaktivieren, SelektivAktion::Loeschen}) {
    SelektivKriterien k = Alle();
    k.alleZahlungen = aktion == SelektivAktion::Loeschen;
    SelektivBestand b;
    ASSERT_FALSE(Selektivbearbeitung::BestandLesen(m_hier.Db(), k, b));
    const DbFehler e = Selektivbearbeitung::Ausfuehren(m_hier.Db(), k, aktion, b);
    if (hindernis.isEmpty()) {
      EXPECT_FALSE(e) << e.Beschreibung.toStdString();
      EXPECT_EQ(m_hier.AnzahlErledigt(), 0);
      continue;
    }
    EXPECT_EQ(e.Nummer, Selektivbearbeitung::LaufOffenNr);
    EXPECT_EQ(e.Beschreibung, hindernis);
    EXPECT_EQ(m_hier.AnzahlErledigt(), 2);
    EXPECT_EQ(Anzahl("SELECT count(*) FROM Zahlungen"), 3);
  }
  EXPECT_EQ(Anzahl("SELECT count(*) FROM Zahlungen"), hindernis.isEmpty() ? 0 : 3);
}

INSTANTIATE_TEST_SUITE_P(
    Laeufe, SelektivOffenerLauf,
    ::testing::Values(LaufFall{"Keiner", Lauf::Keiner, ""}, LaufFall{"NurBegonnen", Lauf::NurBegonnen, ""},
                      LaufFall{"Unterbrochen", Lauf::Unterbrochen,
                               "Ein SEPA-Lauf wurde unterbrochen, bevor seine SEPA-Dateien fertiggestellt waren"},
                      LaufFall{"Laeuft", Lauf::Laeuft, "Eine SEPA-Datei wird gerade an einem anderen Arbeitsplatz erstellt."}),
    [](const auto& info) { return std::string(info.param.name); });

// A reactivated done order goes to the bank a second time: the question says so, with the done days, and
// counts the one-off and final collections among them (their mandate is used up once executed). Deleting,
// and reactivating open orders alone, ask as before.
struct FrageFall {
  const char* name;
  SelektivAktion aktion;
  bool nurErledigte;
  QDate von;
  QDate bis;
  const char* warnung;   // the lines between the counts and the last line; empty: none
};

class SelektivReaktivierungsFrage : public SelektivbearbeitungTest, public ::testing::WithParamInterface<FrageFall> {};

TEST_P(SelektivReaktivierungsFrage, NenntDieFruehereDateiUndVerbrauchteMandate) {
  // Done one-off (basis) and final (B2B) collections, a done first collection, an open final one.
  for (const auto& [sequenz, am] : {std::pair{1, QDate(2024, 5, 2)}, std::pair{14, QDate(2024, 5, 3)},
                                    std::pair{2, QDate(2024, 5, 3)}, std::pair{4, QDate()}}) {
    LaufTestDatenbank::Auftrag l = Lastschrift(sequenz);
    l.erledigt = am.isValid();
    if (am.isValid()) l.erledigtDatum = am;
    m_t.Anlegen(l);
  }
  const FrageFall& fall = GetParam();
  SelektivKriterien k = Kriterien();
  k.nurErledigte = fall.nurErledigte;
  if (fall.nurErledigte) {
    k.erledigtVon = fall.von;
    k.erledigtBis = fall.bis;
  } else {
    k.zahlartIndex = 2;   // core direct debits: the open final one and the done ones of 6, 5/2 and 5/3
  }
  SelektivBestand b;
  ASSERT_FALSE(Selektivbearbeitung::BestandLesen(m_t.Db(), k, b));
  const QString frage = Selektivbearbeitung::Bestaetigung(QStringLiteral("X"), b, fall.aktion);
  const QString kopf = QStringLiteral("Die Aktion: 'X' wirkt sich mit den\r gewählten Einstellungen auf %1 Zahlungen aus.\r"
                                      "Davon sind %2 noch offen und %3 erledigt.")
                           .arg(b.Anzahl())
                           .arg(b.Offene())
                           .arg(b.Erledigte());
  EXPECT_EQ(frage, kopf + QString::fromUtf8(fall.warnung) + QStringLiteral("\r\rBitte bestätigen Sie noch einmal mit <OK>"));
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, SelektivReaktivierungsFrage,
    ::testing::Values(
        FrageFall{"EinTagMitUhrzeit", SelektivAktion::Reaktivieren, true, QDate(2024, 3, 31), QDate(2024, 3, 31),
                  "\rAchtung: Die erledigten Zahlungen wurden bereits am 31.03.2024 in eine SEPA-Datei übernommen. "
                  "Sie gehen mit der nächsten SEPA-Datei erneut an die Bank; hat die Bank die frühere Datei ausgeführt, "
                  "wird doppelt gezahlt oder eingezogen."},
        FrageFall{"BereichOhneEinmalige", SelektivAktion::Reaktivieren, true, QDate(2024, 3, 1), QDate(2024, 4, 30),
                  "\rAchtung: Die erledigten Zahlungen wurden bereits vom 01.03.2024 bis 01.04.2024 in eine SEPA-Datei "
                  "übernommen. Sie gehen mit der nächsten SEPA-Datei erneut an die Bank; hat die Bank die frühere Datei "
                  "ausgeführt, wird doppelt gezahlt oder eingezogen."},
        FrageFall{"EinmaligeUndLetzteBeiderArten", SelektivAktion::Reaktivieren, true, QDate(2024, 5, 1), QDate(2024, 5, 31),
                  "\rAchtung: Die erledigten Zahlungen wurden bereits vom 02.05.2024 bis 03.05.2024 in eine SEPA-Datei "
                  "übernommen. Sie gehen mit der nächsten SEPA-Datei erneut an die Bank; hat die Bank die frühere Datei "
                  "ausgeführt, wird doppelt gezahlt oder eingezogen.\r2 davon sind Einmal- oder letzte Lastschriften; "
                  "ihr Mandat ist mit einem ausgeführten Einzug verbraucht."},
        FrageFall{"OffeneLetzteZaehltNicht", SelektivAktion::Reaktivieren, false, {}, {},
                  "\rAchtung: Die erledigten Zahlungen wurden bereits vom 15.03.2024 bis 03.05.2024 in eine SEPA-Datei "
                  "übernommen. Sie gehen mit der nächsten SEPA-Datei erneut an die Bank; hat die Bank die frühere Datei "
                  "ausgeführt, wird doppelt gezahlt oder eingezogen.\r1 davon ist eine Einmal- oder letzte Lastschrift; "
                  "ihr Mandat ist mit einem ausgeführten Einzug verbraucht."},
        FrageFall{"LoeschenWarntNicht", SelektivAktion::Loeschen, true, QDate(2024, 5, 1), QDate(2024, 5, 31), ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SelektivFrage, OffeneAlleinWerdenOhneWarnungReaktiviert) {
  SelektivBestand b;
  b.auftraege = {{1, false}, {2, false}};
  EXPECT_FALSE(Selektivbearbeitung::Bestaetigung(QStringLiteral("X"), b, SelektivAktion::Reaktivieren)
                   .contains(QStringLiteral("Achtung")));
  b.auftraege << SelektivAuftrag{3, true};   // done, with no done date stored
  EXPECT_TRUE(Selektivbearbeitung::Bestaetigung(QStringLiteral("X"), b, SelektivAktion::Reaktivieren)
                  .contains(QStringLiteral("Achtung: Die erledigten Zahlungen wurden bereits in eine SEPA-Datei")));
}

}  // namespace
