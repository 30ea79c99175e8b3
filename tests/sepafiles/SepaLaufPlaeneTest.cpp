// The query plans of the selection and the run, pinned: a plan that reads the whole table of orders or lines
// per order, or sorts them, makes a run over 100,000 orders take minutes instead of a second (a marking
// statement with the wrong plan was once measured at 496 s).
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QRegularExpression>

#include "LaufTestDatenbank.h"
#include "zahlungsverkehr/MandatverlaufLesen.h"
#include "common/Uhr.h"
#include "sepafiles/core/SepaAuftragsleser.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaSelektion.h"
#include "testsupport/TestOrdner.h"

namespace {

const QDateTime Zeitpunkt(QDate(2024, 6, 5), QTime(14, 5, 9));

// The plan's lines ("SEARCH Zahlungen USING ..."), every parameter Null. The statements are the program's own,
// caught as it prepares them; the planner is asked through SQLite directly.
QStringList Plan(Datenbank& db, const QString& sql) {
  QStringList zeilen;
  const QByteArray text = QByteArrayLiteral("EXPLAIN QUERY PLAN ") + sql.toUtf8();
  sqlite3_stmt* stmt = nullptr;
  const int rc = sqlite3_prepare_v2(db.Handle(), text.constData(), int(text.size()), &stmt, nullptr);
  EXPECT_EQ(rc, SQLITE_OK) << sqlite3_errmsg(db.Handle()) << " in " << sql.toStdString();
  while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
    zeilen << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
  sqlite3_finalize(stmt);
  return zeilen;
}

// No order or line read by going through the whole table, and (unless `sortieren`) no sort of them.
void OhneTabellenlauf(const QStringList& plan, const QString& sql, bool sortieren = false) {
  static const QRegularExpression lauf(QStringLiteral("^SCAN (Zahlungen|Verwendungszweck)\\b"));
  for (const QString& zeile : plan) {
    EXPECT_FALSE(lauf.match(zeile).hasMatch()) << zeile.toStdString() << " in " << sql.toStdString();
    if (!sortieren) {
      EXPECT_FALSE(zeile.contains(QLatin1String("TEMP B-TREE"))) << zeile.toStdString() << " in " << sql.toStdString();
    }
  }
}

// A search of Zahlungen by the order's number: its key, or the index of the open orders ending in it.
bool NachNummer(const QString& zeile) {
  return zeile == QLatin1String("SEARCH Zahlungen USING INTEGER PRIMARY KEY (rowid=?)") ||
         (zeile.startsWith(QLatin1String("SEARCH Zahlungen USING INDEX Zahlungen_Offen")) &&
          zeile.contains(QLatin1String("ZahlungNr=?")));
}

class SepaLaufPlaene : public ::testing::Test {
 protected:
  void SetUp() override {
    Uhr::Festhalten(Zeitpunkt);
    for (int i = 0; i < 3; ++i) t.Anlegen({});
    for (int sequenz : {1, 2, 3}) t.Anlegen(Lastschrift(sequenz));
  }
  void TearDown() override { Uhr::Setzen({}); }
  LaufTestDatenbank t;
};

TEST_F(SepaLaufPlaene, AuswahlLiestDieOffenenUeberIhrenIndex) {
  SepaAuswahlAnfrage anfrage;
  anfrage.Art = SepaArt::BasisLastschrift;
  for (int grenzen = 0; grenzen < 2; ++grenzen) {
    if (grenzen) {
      anfrage.FaelligBis = Zeitpunkt.date();
      anfrage.VerwendungszweckDatumBis = Zeitpunkt.date();
      ASSERT_FALSE(SepaSelektion::DatumsfunktionRegistrieren(t.Db()));
    }
    const Bedingung bedingung = SepaSelektion::Auswahlbedingung(anfrage, false);
    const QString auftraege = SepaAuftragsleser::AuftragsSql(bedingung).Text();
    const QStringList a = Plan(t.Db(), auftraege);
    ASSERT_FALSE(a.isEmpty());
    EXPECT_EQ(a.first(), QStringLiteral("SEARCH Zahlungen USING INDEX Zahlungen_Offen (AbsenderNr=? AND Art=?)"));
    OhneTabellenlauf(a, auftraege);
    const QString zeilen = SepaAuftragsleser::ZeilenSql(bedingung).Text();
    const QStringList z = Plan(t.Db(), zeilen);
    EXPECT_EQ(z, (QStringList{QStringLiteral("SEARCH Zahlungen USING INDEX Zahlungen_Offen (AbsenderNr=? AND Art=?)"),
                              QStringLiteral("SEARCH Verwendungszweck USING INDEX Verwendungszweck_ZahlungNr (ZahlungNr=?)")}));
    // The earlier collections of the selection's mandates: the selected orders, each mandate looked up in the index
    // of the done direct debits; never by going over the sender's history (which grows with every run).
    const QString verlauf = MandatverlaufLesen::Sql(bedingung).Text();
    const QStringList v = Plan(t.Db(), verlauf);
    EXPECT_EQ(v, (QStringList{QStringLiteral("SEARCH Zahlungen USING INDEX Zahlungen_Offen (AbsenderNr=? AND Art=?)"),
                              QStringLiteral("SEARCH Verlauf USING INDEX Zahlungen_Mandate (AbsenderNr=? AND MandatReferenz=?)")}));
    OhneTabellenlauf(v, verlauf);
  }
}

// Orders handed in by number are searched one by one (the numbers come sorted from the list they are bound
// as, which the planner does not know: it may sort the few it found, never read the whole table).
TEST_F(SepaLaufPlaene, LaufSuchtJedeZahlungUeberIhreNummer) {
  const QList<qint64> nummern{1, 2, 3};
  const Bedingung lauf = SepaLauf::Laufbedingung(1, SepaArt::Ueberweisung, nummern);
  for (const QString& sql : {SepaAuftragsleser::AuftragsSql(lauf).Text(), SepaAuftragsleser::ZeilenSql(lauf).Text()}) {
    const QStringList plan = Plan(t.Db(), sql);
    ASSERT_FALSE(plan.isEmpty());
    EXPECT_TRUE(NachNummer(plan.first())) << plan.first().toStdString() << " in " << sql.toStdString();
    OhneTabellenlauf(plan, sql, true);
  }
  for (const QString& sql : {SepaLauf::MarkierenSql().Text(), SepaLauf::ZuruecknehmenSql().Text()}) {
    const QStringList plan = Plan(t.Db(), sql);
    ASSERT_FALSE(plan.isEmpty());
    EXPECT_EQ(plan.first(), QStringLiteral("SEARCH Zahlungen USING INTEGER PRIMARY KEY (rowid=?)")) << sql.toStdString();
    OhneTabellenlauf(plan, sql);
  }
}

// Every statement a selection and a run prepare, whatever changes later: none goes through the whole
// table of orders or lines, none sorts them.
TEST_F(SepaLaufPlaene, KeineAnweisungDesLaufsLiestDieGanzeTabelle) {
  QStringList anweisungen;
  t.Db().SetzeStoerung([&](const QString& sql) -> DbFehler {
    anweisungen << sql.trimmed();
    return {};
  });
  TestOrdner ziel;
  for (const SepaArt art : {SepaArt::Ueberweisung, SepaArt::BasisLastschrift}) {
    SepaAuswahlAnfrage a;
    a.Art = art;
    a.Heute = Zeitpunkt.date();
    const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), a);
    ASSERT_TRUE(auswahl.HatZahlungen());
    SepaLaufAnfrage geprueft = LaufAnfrage(art, auswahl.ZahlungNummern, Zeitpunkt, ziel.Pfad(), true);
    geprueft.Auftraege = auswahl.Auftraege;
    geprueft.Referenz = art == SepaArt::Ueberweisung ? QStringLiteral("G100") : QStringLiteral("L100");
    const SepaLaufErgebnis erster = SepaLauf::Ausfuehren(t.Db(), geprueft);
    ASSERT_TRUE(erster.Ok()) << erster.Meldung.toStdString();
    // The same orders once more by number only (read and judged again), after they were opened again.
    ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 0"));
    SepaLaufAnfrage nummern = LaufAnfrage(art, auswahl.ZahlungNummern, Zeitpunkt, ziel.Pfad(), true);
    nummern.Referenz = art == SepaArt::Ueberweisung ? QStringLiteral("N100") : QStringLiteral("N200");
    const SepaLaufErgebnis zweiter = SepaLauf::Ausfuehren(t.Db(), nummern);
    ASSERT_TRUE(zweiter.Ok()) << zweiter.Meldung.toStdString();
  }
  t.Db().SetzeStoerung({});
  anweisungen.removeDuplicates();
  int geplant = 0;
  for (const QString& sql : anweisungen) {
    if (!sql.contains(QLatin1String("Zahlungen")) && !sql.contains(QLatin1String("Verwendungszweck"))) continue;
    if (!sql.startsWith(QLatin1String("SELECT")) && !sql.startsWith(QLatin1String("UPDATE")) &&
        !sql.startsWith(QLatin1String("DELETE")))
      continue;
    if (sql.startsWith(QLatin1String("UPDATE Zahlungen SET Erledigt = 0")) && !sql.contains(QLatin1String("WHERE")))
      continue;   // the test's own
    ++geplant;
    OhneTabellenlauf(Plan(t.Db(), sql), sql, sql.contains(QLatin1String("json_each")));
  }
  EXPECT_GE(geplant, 6);
}

}  // namespace
