// Selection and bulk action of the selective window: the criteria (done-date range inclusive on
// both ends, export flag, each kind, all orders), the counts and the question, reactivation that
// clears exactly three fields, deletion with the lines, all-or-nothing and the guard against a
// change between reading and writing.

#include <gtest/gtest.h>

#include "LaufTestDatenbank.h"
#include "QtAusgabe.h"
#include "sepafiles/core/Selektivbearbeitung.h"

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

}  // namespace
