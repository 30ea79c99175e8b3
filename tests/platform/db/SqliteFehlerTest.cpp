// Real failures of the database in the user's words: a German text first that says what to do, the result
// code kept as the number, SQLite's own text after it.

#include <gtest/gtest.h>

#include <QFile>

#include <sqlite3.h>

#include <functional>

#include "platform/db/Datenbank.h"
#include "testsupport/TestOrdner.h"

namespace {

std::unique_ptr<Datenbank> MitTabelle(const QString& datei) {
  DbFehler f;
  std::unique_ptr<Datenbank> db = Datenbank::Oeffnen(datei, f, true);
  EXPECT_TRUE(db) << f.Beschreibung.toStdString();
  if (db) {
    EXPECT_FALSE(db->Ausfuehren("CREATE TABLE T (Nr INTEGER PRIMARY KEY, Wert BLOB)"));
  }
  return db;
}

struct Fall {
  const char* name;
  std::function<DbFehler(TestOrdner&)> ausloesen;
  int code;             // primary result code
  const char* anfang;   // of the German text
  bool nochEinmal;      // asks to try again: only where that may help (space made, the entry corrected)
};

class SqliteFehlerTest : public ::testing::TestWithParam<Fall> {};

TEST_P(SqliteFehlerTest, DeutscherTextMitNummerUndDemTextDerDatenbank) {
  const Fall fall = GetParam();
  TestOrdner ordner;
  const DbFehler f = fall.ausloesen(ordner);
  EXPECT_EQ(f.Nummer & 0xff, fall.code) << f.Nummer;
  EXPECT_TRUE(f.Beschreibung.startsWith(QString::fromUtf8(fall.anfang))) << f.Beschreibung.toStdString();
  EXPECT_TRUE(f.Beschreibung.contains(QStringLiteral(" Bitte "))) << f.Beschreibung.toStdString();
  EXPECT_EQ(f.Beschreibung.contains(QStringLiteral("noch einmal")), fall.nochEinmal) << f.Beschreibung.toStdString();
  // SQLite's own words stay after the German text, for whoever has to look into it.
  EXPECT_TRUE(f.Beschreibung.contains(QStringLiteral("\r(SQLite: ")) && f.Beschreibung.endsWith(QLatin1Char(')')))
      << f.Beschreibung.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Fehler, SqliteFehlerTest,
    ::testing::Values(
        Fall{"Voll",
             [](TestOrdner& o) {
               auto db = MitTabelle(o.Datei(QStringLiteral("a.db")));
               EXPECT_FALSE(db->Ausfuehren("PRAGMA max_page_count = 3"));
               return db->Ausfuehren("INSERT INTO T (Wert) VALUES (zeroblob(100000))");
             },
             SQLITE_FULL, "Die Datenbank oder der Datenträger ist voll. Bitte schaffen Sie Platz", true},
        // The file-size limit of the process (ulimit -f): the write fails with "file too large".
        Fall{"Dateigroessengrenze",
             [](TestOrdner& o) {
               auto db = MitTabelle(o.Datei(QStringLiteral("a.db")));
               const Dateigroessengrenze grenze(20000);
               return db->Ausfuehren("INSERT INTO T (Wert) VALUES (zeroblob(100000))");
             },
             SQLITE_IOERR, "Die Datenbankdatei ist zu groß für den Datenträger: Die erlaubte Dateigröße ist erreicht",
             false},
        // The same limit met by the write-ahead log at a transaction's commit, for which SQLite keeps no
        // errno of its own (a run's last write; it was reported as an input/output error).
        Fall{"DateigroessengrenzeImProtokoll",
             [](TestOrdner& o) {
               auto db = MitTabelle(o.Datei(QStringLiteral("a.db")));
               EXPECT_FALSE(db->Ausfuehren("PRAGMA journal_mode=WAL"));
               const Dateigroessengrenze grenze(65536);   // the log's index (32 KiB) fits
               Transaktion t(*db);
               EXPECT_FALSE(t.Fehler());
               EXPECT_FALSE(db->Ausfuehren("INSERT INTO T (Wert) VALUES (zeroblob(100000))"));
               return t.Commit();
             },
             SQLITE_IOERR, "Die Datenbankdatei ist zu groß für den Datenträger: Die erlaubte Dateigröße ist erreicht",
             false},
        Fall{"Schreibgeschuetzt",
             [](TestOrdner& o) {
               MitTabelle(o.Datei(QStringLiteral("a.db")));
               DbFehler f;
               auto db = Datenbank::OeffnenNurLesen(o.Datei(QStringLiteral("a.db")), f);
               EXPECT_TRUE(db);
               return db->Ausfuehren("INSERT INTO T (Wert) VALUES (1)");
             },
             SQLITE_READONLY, "Die Datenbank kann nicht geändert werden: Die Datei, ihr Ordner oder der Datenträger",
             false},
        Fall{"KeineDatenbank",
             [](TestOrdner& o) {
               TestOrdner::Schreiben(o.Datei(QStringLiteral("a.db")), QByteArray(4096, 'x'));
               DbFehler f;
               EXPECT_FALSE(Datenbank::Oeffnen(o.Datei(QStringLiteral("a.db")), f));
               return f;
             },
             SQLITE_NOTADB, "Die Datei ist keine Datenbank oder so beschädigt, dass sie nicht gelesen werden kann.", false},
        Fall{"Beschaedigt",
             [](TestOrdner& o) {
               const QString datei = o.Datei(QStringLiteral("a.db"));
               {
                 auto db = MitTabelle(datei);
                 for (int i = 0; i < 50; ++i) EXPECT_FALSE(db->Ausfuehren("INSERT INTO T (Wert) VALUES (randomblob(500))"));
               }
               // The table's pages (after the schema page) overwritten.
               QFile f(datei);
               EXPECT_TRUE(f.open(QIODevice::ReadWrite));
               f.seek(4096);
               f.write(QByteArray(8192, '\xA5'));
               f.close();
               DbFehler fehler;
               auto db = Datenbank::Oeffnen(datei, fehler);
               EXPECT_TRUE(db) << fehler.Beschreibung.toStdString();
               return db->Abfragen("SELECT sum(length(Wert)) FROM T", {}, [](const Zeile&) { return true; });
             },
             SQLITE_CORRUPT, "Die Datenbankdatei ist beschädigt. Bitte arbeiten Sie nicht weiter mit ihr", false},
        // Linked files: a schema entry that does not parse, and a view over a table dropped there.
        Fall{"AngehaengtMitBeschaedigtemSchema",
             [](TestOrdner& o) {
               auto g = MitTabelle(o.Datei(QStringLiteral("g.db")));
               EXPECT_FALSE(g->SkriptAusfuehren(QStringLiteral(
                   "PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql = 'CREATE TABLE T (Nr' WHERE name = 'T';")));
               g.reset();
               auto db = MitTabelle(o.Datei(QStringLiteral("a.db")));
               return db->Anhaengen(o.Datei(QStringLiteral("g.db")), QStringLiteral("g"));
             },
             SQLITE_CORRUPT, "Die Datenbankdatei ist beschädigt. Bitte arbeiten Sie nicht weiter mit ihr", false},
        Fall{"AngehaengteSichtOhneTabelle",
             [](TestOrdner& o) {
               auto g = MitTabelle(o.Datei(QStringLiteral("g.db")));
               EXPECT_FALSE(g->SkriptAusfuehren(QStringLiteral("CREATE VIEW OPVorgang AS SELECT * FROM T; DROP TABLE T;")));
               g.reset();
               auto db = MitTabelle(o.Datei(QStringLiteral("a.db")));
               EXPECT_FALSE(db->Anhaengen(o.Datei(QStringLiteral("g.db")), QStringLiteral("g")));
               return db->Abfragen("SELECT count(*) FROM g.OPVorgang", {}, [](const Zeile&) { return true; });
             },
             SQLITE_ERROR, "Der Aufbau der Datenbank ist fehlerhaft oder passt nicht zu diesem Programm: Eine Tabelle "
             "oder ein Feld fehlt.", false},
        Fall{"Ueberlauf",
             [](TestOrdner& o) {
               auto db = MitTabelle(o.Datei(QStringLiteral("a.db")));
               return db->Abfragen("SELECT sum(x) FROM (SELECT 9223372036854775807 AS x UNION ALL SELECT 1)", {},
                                   [](const Zeile&) { return true; });
             },
             SQLITE_ERROR, "Die Datenbank hat den Vorgang mit einem Fehler abgelehnt. Bitte wenden Sie sich", false},
        Fall{"DoppelterSchluessel",
             [](TestOrdner& o) {
               auto db = MitTabelle(o.Datei(QStringLiteral("a.db")));
               EXPECT_FALSE(db->Ausfuehren("INSERT INTO T (Nr) VALUES (1)"));
               return db->Ausfuehren("INSERT INTO T (Nr) VALUES (1)");
             },
             SQLITE_CONSTRAINT, "Die Änderung verstößt gegen eine Regel der Datenbank", true},
        Fall{"SkriptMitFehler",
             [](TestOrdner& o) {
               auto db = MitTabelle(o.Datei(QStringLiteral("a.db")));
               return db->SkriptAusfuehren(QStringLiteral("INSERT INTO T (Nr) VALUES (1); INSERT INTO T (Nr) VALUES (1);"));
             },
             SQLITE_CONSTRAINT, "Die Änderung verstößt gegen eine Regel der Datenbank", true}),
    [](const auto& info) { return std::string(info.param.name); });

// A trigger's own message is meant for the user and stays as it is.
TEST(SqliteFehler, MeldungEinesTriggersBleibt) {
  auto db = Datenbank::InSpeicher();
  ASSERT_FALSE(db->Ausfuehren("CREATE TABLE T (Nr INTEGER PRIMARY KEY)"));
  ASSERT_FALSE(db->Ausfuehren("CREATE TRIGGER Sperre BEFORE INSERT ON T BEGIN SELECT RAISE(ABORT, 'Gesperrt.'); END"));
  const DbFehler f = db->Ausfuehren("INSERT INTO T (Nr) VALUES (1)");
  EXPECT_EQ(f.Nummer, SQLITE_CONSTRAINT_TRIGGER);
  EXPECT_EQ(f.Beschreibung, QStringLiteral("Gesperrt."));
}

}  // namespace
