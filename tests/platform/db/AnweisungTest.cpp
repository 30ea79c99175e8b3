// Kept prepared statements: reuse must never carry bindings, schemas or locks from one use into the next.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "testsupport/TestOrdner.h"

namespace {

std::unique_ptr<Datenbank> DateiMitTabelle(const QString& datei, const QString& name) {
  DbFehler f;
  auto db = Datenbank::Oeffnen(datei, f, true);
  EXPECT_TRUE(db) << f.Beschreibung.toStdString();
  if (!db) return nullptr;
  EXPECT_TRUE(db->Ausfuehren("CREATE TABLE Konten (Nr INTEGER PRIMARY KEY, Name TEXT(30) COLLATE TAMO)").Ok());
  EXPECT_TRUE(db->Ausfuehren("INSERT INTO Konten (Name) VALUES (?)", {name}).Ok());
  return db;
}

QStringList Namen(Datenbank& db, const SqlText& sql, const QVariantList& p, DbFehler* fehler = nullptr) {
  QStringList namen;
  const DbFehler f = db.Abfragen(sql, p, [&](const Zeile& z) {
    namen << (z.Wert(0).isNull() ? QStringLiteral("<null>") : z.Wert(0).toString());
    return true;
  });
  if (fehler) *fehler = f;
  else EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return namen;
}

class AnweisungTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db = Datenbank::InSpeicher();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->SkriptAusfuehren(QStringLiteral(
                                         "CREATE TABLE Adressen (Nr INTEGER PRIMARY KEY, Name TEXT(50) COLLATE TAMO, "
                                         "Ort TEXT(30));"
                                         "INSERT INTO Adressen (Name, Ort) VALUES ('Müller', 'Köln'), ('Mayer', NULL), "
                                         "('Öztürk', 'Ulm'), ('Zander', 'Köln');"))
                    .Ok());
  }
  std::unique_ptr<Datenbank> db;
};

TEST_F(AnweisungTest, WiederverwendeteAnweisungOhneAlteBindungen) {
  const SqlText sql("SELECT Name FROM Adressen WHERE Name LIKE ? ORDER BY Nr");
  EXPECT_EQ(Namen(*db, sql, {QStringLiteral("m%")}), (QStringList{QStringLiteral("Müller"), QStringLiteral("Mayer")}));
  const int gespeichert = db->GespeicherteAnweisungen();
  // the same text again: the kept statement, with the new pattern (LIKE keeps its folded pattern per run only)
  EXPECT_EQ(Namen(*db, sql, {QStringLiteral("ö%")}), QStringList{QStringLiteral("Öztürk")});
  EXPECT_EQ(Namen(*db, sql, {QStringLiteral("z%")}), QStringList{QStringLiteral("Zander")});
  EXPECT_EQ(db->GespeicherteAnweisungen(), gespeichert);
  // NULL after a value, a value after NULL
  const SqlText gleich("SELECT Name FROM Adressen WHERE Ort IS ? ORDER BY Nr");
  EXPECT_EQ(Namen(*db, gleich, {QStringLiteral("Köln")}), (QStringList{QStringLiteral("Müller"), QStringLiteral("Zander")}));
  EXPECT_EQ(Namen(*db, gleich, {QVariant()}), QStringList{QStringLiteral("Mayer")});
  EXPECT_EQ(Namen(*db, gleich, {QStringLiteral("Ulm")}), QStringList{QStringLiteral("Öztürk")});
  // a failed binding (wrong count) leaves nothing behind for the next use
  DbFehler f;
  Namen(*db, gleich, {QStringLiteral("Köln"), 1}, &f);
  EXPECT_EQ(f.Nummer, SQLITE_RANGE);
  Namen(*db, gleich, {QVariantList{}}, &f);
  EXPECT_TRUE(f);
  EXPECT_EQ(Namen(*db, gleich, {QVariant()}), QStringList{QStringLiteral("Mayer")});
  // writes: the changed-row count belongs to each run
  int geaendert = -1;
  const SqlText setzen("UPDATE Adressen SET Ort = ? WHERE Ort = ?");
  ASSERT_TRUE(db->Ausfuehren(setzen, {QStringLiteral("Bonn"), QStringLiteral("Köln")}, &geaendert).Ok());
  EXPECT_EQ(geaendert, 2);
  ASSERT_TRUE(db->Ausfuehren(setzen, {QStringLiteral("Bonn"), QStringLiteral("Köln")}, &geaendert).Ok());
  EXPECT_EQ(geaendert, 0);
}

TEST_F(AnweisungTest, VerschachtelteAbfrageGleichenTextes) {
  const SqlText sql("SELECT Name FROM Adressen WHERE Nr = ?");
  QStringList paare;
  const DbFehler f = db->Abfragen("SELECT Nr FROM Adressen ORDER BY Nr", {}, [&](const Zeile& aussen) {
    // the inner query uses the same text as the previous inner one while the outer one still runs
    paare << Namen(*db, sql, {aussen.Wert(0)});
    return true;
  });
  ASSERT_TRUE(f.Ok());
  EXPECT_EQ(paare, (QStringList{QStringLiteral("Müller"), QStringLiteral("Mayer"), QStringLiteral("Öztürk"),
                                QStringLiteral("Zander")}));
  EXPECT_EQ(Namen(*db, sql, {3}), QStringList{QStringLiteral("Öztürk")});
}

TEST_F(AnweisungTest, StoerungGiltAuchFuerGespeicherteAnweisung) {
  const SqlText sql("UPDATE Adressen SET Ort = ? WHERE Nr = ?");
  ASSERT_TRUE(db->Ausfuehren(sql, {QStringLiteral("Ulm"), 1}).Ok());
  db->SetzeStoerung([](const QString& s) {
    return s.startsWith(QLatin1String("UPDATE")) ? DbFehler{SQLITE_IOERR, QStringLiteral("Platte voll")} : DbFehler{};
  });
  EXPECT_EQ(db->Ausfuehren(sql, {QStringLiteral("Bonn"), 1}).Nummer, SQLITE_IOERR);
  db->SetzeStoerung({});
  DbFehler f;
  EXPECT_EQ(db->Wert("SELECT Ort FROM Adressen WHERE Nr = 1", {}, f)->toString(), QStringLiteral("Ulm"));
}

TEST_F(AnweisungTest, SpeicherIstBegrenzt) {
  for (int i = 0; i < 200; ++i) {
    DbFehler f;
    const auto w = db->Wert(SqlText("SELECT count(*) + ") + SqlText::Zahl(i) + SqlText(" FROM Adressen"), {}, f);
    ASSERT_TRUE(f.Ok());
    ASSERT_EQ(w->toInt(), 4 + i);
  }
  EXPECT_GT(db->GespeicherteAnweisungen(), 0);
  EXPECT_LE(db->GespeicherteAnweisungen(), 64);
  db->AnweisungenVerwerfen();
  EXPECT_EQ(db->GespeicherteAnweisungen(), 0);
}

TEST_F(AnweisungTest, SchemaAenderungWirdGesehen) {
  const SqlText alle("SELECT * FROM Adressen WHERE Nr = ?");
  int spalten = 0;
  auto zaehlen = [&](const Zeile& z) {
    spalten = z.Anzahl();
    return true;
  };
  ASSERT_TRUE(db->Abfragen(alle, {1}, zaehlen).Ok());
  EXPECT_EQ(spalten, 3);
  ASSERT_TRUE(db->Ausfuehren("ALTER TABLE Adressen ADD COLUMN PLZ TEXT(5)").Ok());
  ASSERT_TRUE(db->Abfragen(alle, {1}, zaehlen).Ok());
  EXPECT_EQ(spalten, 4);
  // a table replaced under the same name
  ASSERT_TRUE(db->SkriptAusfuehren(QStringLiteral("DROP TABLE Adressen; CREATE TABLE Adressen (Nr INTEGER PRIMARY "
                                                  "KEY, Name TEXT(50)); INSERT INTO Adressen VALUES (1, 'Neu');"))
                  .Ok());
  ASSERT_TRUE(db->Abfragen(alle, {1}, zaehlen).Ok());
  EXPECT_EQ(spalten, 2);
  EXPECT_EQ(Namen(*db, "SELECT Name FROM Adressen WHERE Nr = ?", {1}), QStringList{QStringLiteral("Neu")});
}

TEST(Anweisung, AenderungDurchAndereVerbindungWirdGesehen) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("a.db"));
  auto db = DateiMitTabelle(datei, QStringLiteral("Erster"));
  ASSERT_TRUE(db);
  const SqlText sql("SELECT * FROM Konten WHERE Nr = ?");
  int spalten = 0;
  ASSERT_TRUE(db->Abfragen(sql, {1}, [&](const Zeile& z) { spalten = z.Anzahl(); return true; }).Ok());
  EXPECT_EQ(spalten, 2);
  {
    DbFehler f;
    auto andere = Datenbank::Oeffnen(datei, f);
    ASSERT_TRUE(andere);
    ASSERT_TRUE(andere->Ausfuehren("ALTER TABLE Konten ADD COLUMN Ort TEXT(30)").Ok());
    ASSERT_TRUE(andere->Ausfuehren("UPDATE Konten SET Name = 'Geändert'").Ok());
  }
  // the data at once; the other connection's columns once this one has read the schema again (as with a
  // freshly prepared statement)
  EXPECT_EQ(Namen(*db, "SELECT Name FROM Konten WHERE Nr = ?", {1}), QStringList{QStringLiteral("Geändert")});
  QVariant ort = QStringLiteral("?");
  ASSERT_TRUE(db->Abfragen(sql, {1}, [&](const Zeile& z) {
                  spalten = z.Anzahl();
                  ort = z.Wert(QStringLiteral("Ort"));
                  return true;
                }).Ok());
  EXPECT_EQ(spalten, 3);
  EXPECT_TRUE(ort.isNull());
}

TEST(Anweisung, AbhaengenTrotzGespeicherterAnweisungen) {
  TestOrdner ordner;
  const QString eins = ordner.Datei(QStringLiteral("eins.db"));
  const QString zwei = ordner.Datei(QStringLiteral("zwei.db"));
  DateiMitTabelle(eins, QStringLiteral("Aus eins"));
  DateiMitTabelle(zwei, QStringLiteral("Aus zwei"));
  auto db = Datenbank::InSpeicher();
  ASSERT_TRUE(db);
  const SqlText sql("SELECT Name FROM \"fibu\".\"Konten\" WHERE Nr = ?");
  ASSERT_TRUE(db->Anhaengen(eins, QStringLiteral("fibu")).Ok());
  EXPECT_EQ(Namen(*db, sql, {1}), QStringList{QStringLiteral("Aus eins")});
  // a query stopped early does not keep the attached file busy
  ASSERT_TRUE(db->Abfragen("SELECT Name FROM fibu.Konten", {}, [](const Zeile&) { return false; }).Ok());
  ASSERT_TRUE(db->Abhaengen(QStringLiteral("fibu")).Ok());
  DbFehler f;
  Namen(*db, sql, {1}, &f);
  EXPECT_TRUE(f);  // no such table any more
  // another file under the same name: its rows, not the old file's
  ASSERT_TRUE(db->Anhaengen(zwei, QStringLiteral("fibu")).Ok());
  EXPECT_EQ(Namen(*db, sql, {1}), QStringList{QStringLiteral("Aus zwei")});
  ASSERT_TRUE(db->Abhaengen(QStringLiteral("fibu")).Ok());
  EXPECT_TRUE(db->Komprimieren().Ok());
}

TEST(Anweisung, GespeicherteAnweisungHaeltKeineSperre) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("a.db"));
  auto db = DateiMitTabelle(datei, QStringLiteral("Erster"));
  ASSERT_TRUE(db);
  ASSERT_TRUE(db->Ausfuehren("PRAGMA journal_mode=DELETE").Ok());
  // stopped after the first row: the statement goes back reset, so no read lock remains
  ASSERT_TRUE(db->Abfragen("SELECT Name FROM Konten", {}, [](const Zeile&) { return false; }).Ok());
  DbFehler f;
  auto andere = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(andere);
  sqlite3_busy_timeout(andere->Handle(), 0);
  EXPECT_TRUE(andere->Ausfuehren("INSERT INTO Konten (Name) VALUES ('Zweiter')").Ok());
  EXPECT_TRUE(db->Komprimieren().Ok());
}

TEST(Anweisung, RecordsetNachSchemaAenderungDerSpalten) {
  auto db = Datenbank::InSpeicher();
  ASSERT_TRUE(db->Ausfuehren("CREATE TABLE T (Nr INTEGER PRIMARY KEY, A TEXT(5))").Ok());
  ASSERT_TRUE(db->Ausfuehren("INSERT INTO T (A) VALUES ('x'), ('y')").Ok());
  DbFehler f;
  auto rs = Recordset::Oeffnen(*db, Abfrage::Tabelle(QStringLiteral("T")), RecordsetTyp::Dynaset, f);
  ASSERT_TRUE(rs);
  ASSERT_TRUE(rs->Edit().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("A"), QStringLiteral("z")).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  ASSERT_TRUE(db->Ausfuehren("ALTER TABLE T ADD COLUMN B TEXT(5)").Ok());
  // the recordset keeps its columns; a new one sees the added column
  ASSERT_TRUE(rs->Edit().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("A"), QStringLiteral("w")).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  EXPECT_EQ(rs->Text(QStringLiteral("A")), QStringLiteral("w"));
  auto neu = Recordset::Oeffnen(*db, Abfrage::Tabelle(QStringLiteral("T")), RecordsetTyp::Dynaset, f);
  ASSERT_TRUE(neu);
  EXPECT_EQ(neu->SpaltenAnzahl(), 3);
  EXPECT_EQ(neu->Text(QStringLiteral("A")), QStringLiteral("w"));
}

}  // namespace
