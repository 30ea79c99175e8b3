#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include <sqlite3.h>

#include <QDate>
#include <QDateTime>
#include <QFile>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

#include "platform/db/Datenbank.h"
#include "platform/db/Waehrung.h"
#include "testsupport/Geschwisterdatenbank.h"
#include "testsupport/TestOrdner.h"

namespace {

constexpr const char* Schema = R"(
CREATE TABLE Zahlungen (
  ZahlungNr INTEGER PRIMARY KEY AUTOINCREMENT,
  AbsenderNr INTEGER NOT NULL,
  Art TEXT(1),
  Name TEXT(70) COLLATE TAMO,
  IBAN TEXT(34),
  ZahlungGesamt CURRENCY,
  "Fällig" DATE,
  Erledigt BOOLEAN NOT NULL DEFAULT 0,
  Notiz MEMO
);
CREATE TABLE Verwendungszweck (
  Nr INTEGER PRIMARY KEY AUTOINCREMENT,
  ZahlungNr INTEGER NOT NULL REFERENCES Zahlungen ON DELETE CASCADE,
  Verwendungszweck TEXT(27)
);
)";

std::unique_ptr<Datenbank> MitSchema() {
  auto db = Datenbank::InSpeicher();
  EXPECT_TRUE(db);
  EXPECT_TRUE(db->SkriptAusfuehren(QString::fromUtf8(Schema)).Ok());
  return db;
}

qint64 Zahl(Datenbank& db, const SqlText& sql, const QVariantList& p = {}) {
  DbFehler f;
  const auto w = db.Wert(sql, p, f);
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return w ? w->toLongLong() : -1;
}

TEST(Datenbank, OeffnenSetztFremdschluesselUndJournalNurAufVerlangen) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  DbFehler f;
  EXPECT_FALSE(Datenbank::Oeffnen(datei, f));
  EXPECT_EQ(f.Nummer, DbFehlerNr::DateiFehler);
  auto db = Datenbank::Oeffnen(datei, f, true);
  ASSERT_TRUE(db) << f.Beschreibung.toStdString();
  // The journal stays as the file has it until the caller knows the file is its own.
  EXPECT_EQ(db->JournalModus(), QStringLiteral("delete"));
  ASSERT_TRUE(db->JournalSetzen(true).Ok());
  EXPECT_EQ(db->JournalModus(), QStringLiteral("wal"));
  EXPECT_EQ(Zahl(*db, "PRAGMA foreign_keys"), 1);
  ASSERT_TRUE(db->SkriptAusfuehren(QString::fromUtf8(Schema)).Ok());
  // foreign key: lines need their payment, and go with it
  const DbFehler fk = db->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, Verwendungszweck) VALUES (99, 'x')");
  EXPECT_EQ(fk.Nummer, SQLITE_CONSTRAINT_FOREIGNKEY);
  EXPECT_FALSE(fk.Beschreibung.isEmpty());
  EXPECT_TRUE(fk.Meldungstext().startsWith(QStringLiteral("Nr: 787\rBeschreibung: ")));
  ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr) VALUES (1)").Ok());
  ASSERT_TRUE(db->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr) VALUES (?)", {db->LetzteEinfuegeNr()}).Ok());
  ASSERT_TRUE(db->Ausfuehren("DELETE FROM Zahlungen").Ok());
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Verwendungszweck"), 0);
  db.reset();
  // a file that is not a database is refused at open
  const QString kaputt = ordner.Datei(QStringLiteral("kaputt.db"));
  QFile k(kaputt);
  ASSERT_TRUE(k.open(QIODevice::WriteOnly));
  k.write(QByteArray(4096, 'x'));
  k.close();
  EXPECT_FALSE(Datenbank::Oeffnen(kaputt, f));
  EXPECT_EQ(f.Nummer & 0xff, SQLITE_NOTADB);
}

TEST(Datenbank, ParameterUndSpaltenwerte) {
  auto db = MitSchema();
  int geaendert = -1;
  const DbFehler f = db->Ausfuehren(
      "INSERT INTO Zahlungen (AbsenderNr, Art, Name, ZahlungGesamt, \"Fällig\", Erledigt, Notiz) VALUES (?,?,?,?,?,?,?)",
      {qint64(7), QStringLiteral("L"), QStringLiteral("Müller"), QVariant::fromValue(Waehrung::AusCent(123456)),
       QDate(2024, 2, 29), true, QVariant()},
      &geaendert);
  ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  EXPECT_EQ(geaendert, 1);
  QVariantList werte;
  ASSERT_TRUE(db->Abfragen("SELECT AbsenderNr, Name, ZahlungGesamt, \"Fällig\", Erledigt, Notiz, ?, ?, ?, ? FROM Zahlungen",
                           {1.5, QByteArray("a\0b", 3), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)), 2},
                           [&](const Zeile& z) {
                             for (int i = 0; i < z.Anzahl(); ++i) werte << z.Wert(i);
                             EXPECT_EQ(z.Wert(QStringLiteral("name")).toString(), QStringLiteral("Müller"));
                             return true;
                           })
                  .Ok());
  ASSERT_EQ(werte.size(), 10);
  EXPECT_EQ(werte[0].typeId(), QMetaType::LongLong);
  EXPECT_EQ(werte[1].toString(), QStringLiteral("Müller"));
  EXPECT_EQ(werte[2].toLongLong(), 123456 * 100);
  EXPECT_EQ(werte[3].toString(), QStringLiteral("2024-02-29"));
  EXPECT_EQ(werte[4].toLongLong(), 1);
  EXPECT_TRUE(werte[5].isNull());
  EXPECT_EQ(werte[6].typeId(), QMetaType::Double);
  EXPECT_EQ(werte[7].toByteArray(), QByteArray("a\0b", 3));
  EXPECT_EQ(werte[8].toString(), QStringLiteral("2024-01-02 03:04:05"));
  // wrong parameter counts are errors, not silent NULLs
  EXPECT_EQ(db->Ausfuehren("UPDATE Zahlungen SET Name = ?", {}).Nummer, SQLITE_RANGE);
  EXPECT_EQ(db->Ausfuehren("UPDATE Zahlungen SET Name = ?", {1, 2}).Nummer, SQLITE_RANGE);
  // several statements share the parameter list in order
  ASSERT_TRUE(db->Ausfuehren("UPDATE Zahlungen SET Art = ?; UPDATE Zahlungen SET Name = ?", {QStringLiteral("B"),
                                                                                            QStringLiteral("X")})
                  .Ok());
  DbFehler e;
  EXPECT_EQ(db->Wert("SELECT Art || Name FROM Zahlungen", {}, e)->toString(), QStringLiteral("BX"));
  EXPECT_FALSE(db->Wert("SELECT Name FROM Zahlungen WHERE 0", {}, e).has_value());
  EXPECT_TRUE(e.Ok());
  db->Wert("SELECT Unbekannt FROM Zahlungen", {}, e);
  EXPECT_EQ(e.Nummer, SQLITE_ERROR);
}

class FeindlicheWerte : public ::testing::TestWithParam<QString> {};

TEST_P(FeindlicheWerte, AlsParameterUndFilter) {
  auto db = MitSchema();
  const QString wert = GetParam();
  ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Name) VALUES (1, ?)", {wert}).Ok());
  ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Name) VALUES (1, 'Harmlos')").Ok());
  DbFehler f;
  EXPECT_EQ(db->Wert("SELECT Name FROM Zahlungen WHERE Name = ?", {wert}, f)->toString(), wert);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name = ?", {wert}), 1);
  // as a filter text: literal prefix search finds exactly the row that begins with it
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name LIKE ? ESCAPE '\\'", {LikeMaskieren(wert) + QLatin1Char('%')}),
            1);
  // the filter bar's form: every character but * and ? literal, never a syntax error
  db->Wert("SELECT count(*) FROM Zahlungen WHERE Name LIKE ? ESCAPE '\\'", {LikeMusterAusFilter(wert)}, f);
  EXPECT_TRUE(f.Ok());
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen"), 2);
}

INSTANTIATE_TEST_SUITE_P(Faelle, FeindlicheWerte,
                         ::testing::Values(QStringLiteral("O'Brien"), QStringLiteral("\"; DROP TABLE Zahlungen; --"),
                                           QStringLiteral("100%"), QStringLiteral("a_b"), QStringLiteral("Stern*"),
                                           QStringLiteral("Back\\slash"), QString(QStringLiteral("vor")) + QChar(0) +
                                                                              QStringLiteral("nach"),
                                           QString(10000, QLatin1Char('x')), QStringLiteral("ÄÖÜß ' % _ ?")),
                         [](const ::testing::TestParamInfo<QString>& info) {
                           // The long text would make a 10,000-character name.
                           return info.param.size() > 40 ? std::string("Text") + std::to_string(info.param.size()) + "Zeichen"
                                                         : TestnameBuchstabiert(info.param);
                         });

TEST(Datenbank, SternImFilterIstPlatzhalter) {
  auto db = MitSchema();
  for (const char* n : {"Meier", "Mayer", "Mai*er"})
    ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Name) VALUES (1, ?)", {QString::fromUtf8(n)}).Ok());
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name LIKE ? ESCAPE '\\'",
                 {LikeMusterAusFilter(QStringLiteral("M*er"))}), 3);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name LIKE ? ESCAPE '\\'",
                 {LikeMusterAusFilter(QStringLiteral("M?yer"))}), 1);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name LIKE ? ESCAPE '\\'",
                 {LikeMaskieren(QStringLiteral("Mai*")) + QLatin1Char('%')}), 1);
}

TEST(Datenbank, VergleichOhneGrossKleinMitUmlauten) {
  auto db = MitSchema();
  for (const char* n : {"Müller", "MÜLLER", "mueller", "Öztürk", "ärger", "Zander", "ÄRGERLICH", "Straße"})
    ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Name) VALUES (1, ?)", {QString::fromUtf8(n)}).Ok());
  // '=' on a COLLATE TAMO column
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name = ?", {QStringLiteral("müller")}), 2);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name = ?", {QStringLiteral("ÖZTÜRK")}), 1);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name = ?", {QStringLiteral("STRASSE")}), 0);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name = ?", {QStringLiteral("zander")}), 1);
  EXPECT_EQ(Zahl(*db, "SELECT ? = ? COLLATE TAMO", {QStringLiteral("ä"), QStringLiteral("Ä")}), 1);
  // LIKE everywhere: prefix with umlauts, case ignored
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name LIKE ?", {QStringLiteral("mü%")}), 2);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name LIKE ?", {QStringLiteral("Är%")}), 2);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE IBAN IS NULL AND Name LIKE ?", {QStringLiteral("_RGER")}), 1);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name LIKE ?", {QStringLiteral("%ü%")}), 3);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name LIKE ?", {QStringLiteral("z%")}), 1);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name LIKE ?", {QStringLiteral("%")}), 8);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen WHERE Name LIKE ? ESCAPE 'ä'", {QStringLiteral("Straäße")}), 1);
  EXPECT_EQ(Zahl(*db, "SELECT 'a%b' LIKE 'A!%B' ESCAPE '!'"), 1);
  EXPECT_EQ(Zahl(*db, "SELECT 'axb' LIKE 'A!%B' ESCAPE '!'"), 0);
  DbFehler f;
  EXPECT_TRUE(db->Wert("SELECT NULL LIKE 'a'", {}, f)->isNull());
  db->Wert("SELECT 'a' LIKE 'a' ESCAPE 'xy'", {}, f);
  EXPECT_TRUE(f);
  // sort order of the collation ignores case
  QStringList namen;
  db->Abfragen("SELECT Name FROM Zahlungen WHERE Name IN ('Zander','ärger','mueller') ORDER BY Name", {},
               [&](const Zeile& z) {
                 namen << z.Wert(0).toString();
                 return true;
               });
  EXPECT_EQ(namen, (QStringList{QStringLiteral("mueller"), QStringLiteral("Zander"), QStringLiteral("ärger")}));
}

TEST(Datenbank, TransaktionenUndSicherungspunkte) {
  auto db = MitSchema();
  auto anzahl = [&] { return Zahl(*db, "SELECT count(*) FROM Zahlungen"); };
  auto einfuegen = [&] { ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr) VALUES (1)").Ok()); };
  EXPECT_TRUE(db->CommitTrans());  // nothing open
  EXPECT_TRUE(db->Rollback());
  ASSERT_TRUE(db->BeginTrans().Ok());
  einfuegen();
  ASSERT_TRUE(db->BeginTrans().Ok());  // nested -> savepoint
  EXPECT_EQ(db->TransaktionsTiefe(), 2);
  einfuegen();
  ASSERT_TRUE(db->Rollback().Ok());  // only the inner row goes
  EXPECT_EQ(db->TransaktionsTiefe(), 1);
  EXPECT_EQ(anzahl(), 1);
  ASSERT_TRUE(db->BeginTrans().Ok());
  einfuegen();
  ASSERT_TRUE(db->CommitTrans().Ok());  // releases into the outer one
  EXPECT_EQ(anzahl(), 2);
  ASSERT_TRUE(db->Rollback().Ok());  // outer rollback takes everything
  EXPECT_EQ(db->TransaktionsTiefe(), 0);
  EXPECT_EQ(anzahl(), 0);

  {
    Transaktion t(*db);
    ASSERT_TRUE(t.Fehler().Ok());
    einfuegen();
  }  // not committed -> rolled back
  EXPECT_EQ(anzahl(), 0);
  {
    Transaktion t(*db);
    einfuegen();
    {
      Transaktion innen(*db);
      einfuegen();
      ASSERT_TRUE(innen.Commit().Ok());
    }
    ASSERT_TRUE(t.Commit().Ok());
  }
  EXPECT_EQ(anzahl(), 2);
  EXPECT_EQ(db->TransaktionsTiefe(), 0);

  Arbeitsbereich ws(db.get());
  ASSERT_TRUE(ws.BeginTrans().Ok());
  ASSERT_TRUE(db->Sicherungspunkt(QStringLiteral("vor_Loeschen")).Ok());
  ASSERT_TRUE(db->Ausfuehren("DELETE FROM Zahlungen").Ok());
  ASSERT_TRUE(db->ZurueckZuSicherungspunkt(QStringLiteral("vor_Loeschen")).Ok());
  ASSERT_TRUE(db->SicherungspunktFreigeben(QStringLiteral("vor_Loeschen")).Ok());
  EXPECT_EQ(anzahl(), 2);
  ASSERT_TRUE(ws.CommitTrans().Ok());
  EXPECT_EQ(anzahl(), 2);
  EXPECT_EQ(db->Sicherungspunkt(QStringLiteral("x; DROP TABLE Zahlungen")).Nummer, DbFehlerNr::UngueltigerBezeichner);
  // a savepoint opened by a caller: BeginTrans nests inside it
  ASSERT_TRUE(db->Sicherungspunkt(QStringLiteral("aussen")).Ok());
  ASSERT_TRUE(db->BeginTrans().Ok());
  einfuegen();
  ASSERT_TRUE(db->CommitTrans().Ok());
  ASSERT_TRUE(db->ZurueckZuSicherungspunkt(QStringLiteral("aussen")).Ok());
  ASSERT_TRUE(db->SicherungspunktFreigeben(QStringLiteral("aussen")).Ok());
  EXPECT_EQ(anzahl(), 2);
}

TEST(Datenbank, FehlgeschlagenerCommitBleibtOffen) {
  auto db = MitSchema();
  ASSERT_TRUE(db->Ausfuehren("PRAGMA foreign_keys=OFF").Ok());
  ASSERT_TRUE(db->Ausfuehren("CREATE TABLE Kopf (Nr INTEGER PRIMARY KEY); CREATE TABLE Pos (Kopf INTEGER REFERENCES Kopf "
                             "DEFERRABLE INITIALLY DEFERRED)")
                  .Ok());
  ASSERT_TRUE(db->Ausfuehren("PRAGMA foreign_keys=ON").Ok());
  ASSERT_TRUE(db->BeginTrans().Ok());
  ASSERT_TRUE(db->Ausfuehren("INSERT INTO Pos VALUES (5)").Ok());
  const DbFehler f = db->CommitTrans();
  EXPECT_EQ(f.Nummer, SQLITE_CONSTRAINT_FOREIGNKEY);
  EXPECT_EQ(db->TransaktionsTiefe(), 1);
  ASSERT_TRUE(db->Rollback().Ok());
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Pos"), 0);
}

TEST(Datenbank, StoerungMeldetFehler) {
  auto db = MitSchema();
  db->SetzeStoerung([](const QString& sql) {
    return sql.contains(QLatin1String("INSERT")) ? DbFehler{SQLITE_IOERR, QStringLiteral("Testfehler")} : DbFehler{};
  });
  const DbFehler f = db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr) VALUES (1)");
  EXPECT_EQ(f.Nummer, SQLITE_IOERR);
  EXPECT_EQ(f.Beschreibung, QStringLiteral("Testfehler"));
  db->SetzeStoerung({});
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen"), 0);
}

TEST(Datenbank, TabellendefinitionUndFeldgroessen) {
  TestOrdner ordner;
  DbFehler f;
  // a sibling file with its own tables, of an older version without LieferantenKundenNr
  ASSERT_TRUE(Geschwisterdatenbank(Geschwisterdatenbank::Programm::Buchhaltung)
                  .MitLieferantenKundenNr(false)
                  .Schreiben(ordner.Datei(QStringLiteral("fibu.db")))
                  .Ok());
  auto db = Datenbank::Oeffnen(ordner.Datei(QStringLiteral("TamoSEPA.db")), f, true);
  ASSERT_TRUE(db);
  ASSERT_TRUE(db->SkriptAusfuehren(QString::fromUtf8(Schema)).Ok());
  const auto def = db->Tabelle(QStringLiteral("zahlungen"));
  ASSERT_TRUE(def);
  EXPECT_EQ(def->name, QStringLiteral("Zahlungen"));
  ASSERT_EQ(def->felder.size(), 9u);
  EXPECT_EQ(def->felder[0].name, QStringLiteral("ZahlungNr"));
  EXPECT_TRUE(def->felder[0].primaerschluessel);
  EXPECT_TRUE(def->felder[0].zaehler);
  EXPECT_EQ(def->felder[0].typ, FeldTyp::Long);
  EXPECT_TRUE(def->felder[1].pflicht);
  EXPECT_EQ(def->Groesse(QStringLiteral("Name")), 70);
  EXPECT_EQ(def->Groesse(QStringLiteral("art")), 1);
  EXPECT_EQ(def->Feld(QStringLiteral("Fällig"))->typ, FeldTyp::Datum);
  EXPECT_EQ(def->Feld(QStringLiteral("ZahlungGesamt"))->typ, FeldTyp::Waehrung);
  EXPECT_EQ(def->Feld(QStringLiteral("Erledigt"))->typ, FeldTyp::Boolean);
  EXPECT_EQ(def->Feld(QStringLiteral("Notiz"))->typ, FeldTyp::Memo);
  EXPECT_EQ(def->Groesse(QStringLiteral("ZahlungGesamt")), 0);
  EXPECT_EQ(def->Feld(QStringLiteral("Fehlt")), nullptr);
  EXPECT_EQ(db->FeldGroesse(QStringLiteral("Verwendungszweck"), QStringLiteral("Verwendungszweck")), 27);
  EXPECT_EQ(db->FeldGroesse(QStringLiteral("Gibtsnicht"), QStringLiteral("x")), 0);
  EXPECT_FALSE(db->Tabelle(QStringLiteral("Gibtsnicht"), &f));
  EXPECT_TRUE(f);

  // linked file + TEMP VIEW: the view's columns carry the origin's declared types
  ASSERT_TRUE(db->Anhaengen(ordner.Datei(QStringLiteral("fibu.db")), QStringLiteral("sib")).Ok());
  EXPECT_EQ(db->AngehaengteAliase(), QStringList{QStringLiteral("sib")});
  ASSERT_TRUE(db->Ausfuehren("CREATE TEMP VIEW Adressen AS SELECT * FROM sib.Personenkonten").Ok());
  EXPECT_TRUE(db->TabelleVorhanden(QStringLiteral("Adressen")));
  EXPECT_TRUE(db->TabelleVorhanden(QStringLiteral("Personenkonten")));
  EXPECT_EQ(db->FeldGroesse(QStringLiteral("Adressen"), QStringLiteral("Name")), 70);
  EXPECT_EQ(db->FeldGroesse(QStringLiteral("sib.Personenkonten"), QStringLiteral("OPKontoNr")), 10);
  EXPECT_EQ(db->Tabelle(QStringLiteral("Adressen"))->Feld(QStringLiteral("MandatDatum"))->typ, FeldTyp::Datum);
  // schema changes are seen (definition cache is dropped)
  ASSERT_TRUE(db->Ausfuehren("ALTER TABLE sib.Personenkonten ADD COLUMN LieferantenKundenNr TEXT(20)").Ok());
  EXPECT_EQ(db->FeldGroesse(QStringLiteral("Personenkonten"), QStringLiteral("LieferantenKundenNr")), 20);

  EXPECT_EQ(db->Anhaengen(ordner.Datei(QStringLiteral("fehlt.db")), QStringLiteral("x")).Nummer, DbFehlerNr::DateiFehler);
  EXPECT_EQ(db->Anhaengen(ordner.Datei(QStringLiteral("fibu.db")), QStringLiteral("a b")).Nummer,
            DbFehlerNr::UngueltigerBezeichner);
  QFile kaputt(ordner.Datei(QStringLiteral("kaputt.db")));
  ASSERT_TRUE(kaputt.open(QIODevice::WriteOnly));
  kaputt.write(QByteArray(2048, 'z'));
  kaputt.close();
  EXPECT_EQ(db->Anhaengen(kaputt.fileName(), QStringLiteral("kaputt")).Nummer & 0xff, SQLITE_NOTADB);
  EXPECT_EQ(db->AngehaengteAliase(), QStringList{QStringLiteral("sib")});
  ASSERT_TRUE(db->Ausfuehren("DROP VIEW Adressen").Ok());
  ASSERT_TRUE(db->Abhaengen(QStringLiteral("sib")).Ok());
  EXPECT_TRUE(db->AngehaengteAliase().isEmpty());
  EXPECT_TRUE(db->Abhaengen(QStringLiteral("sib")));

  ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr) VALUES (1)").Ok());
  ASSERT_TRUE(db->BeginTrans().Ok());
  EXPECT_TRUE(db->Komprimieren());
  ASSERT_TRUE(db->CommitTrans().Ok());
  EXPECT_TRUE(db->Komprimieren().Ok());
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM Zahlungen"), 1);
}

}  // namespace

namespace {

// The value of the row in a copy made by Sichern, read by plain SQLite; empty when the file is no whole database.
QString WertDerSicherung(const QString& pfad) {
  sqlite3* db = nullptr;
  QString wert;
  if (sqlite3_open_v2(QFile::encodeName(pfad).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT (SELECT integrity_check FROM pragma_integrity_check), w FROM t", -1, &st, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW &&
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == QStringLiteral("ok"))
      wert = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return wert;
}

struct SicherungsAbbruch {
  const char* schritt;   // where the process dies; nullptr: not at all
  const char* erwartet;  // the copy afterwards
};

class SicherungMitAbbruch : public ::testing::TestWithParam<SicherungsAbbruch> {};

// The copy made before a migration: a process killed between Sichern's steps leaves the older copy or the
// new one whole at its place, never no copy (the old one used to be deleted before the rename).
TEST_P(SicherungMitAbbruch, AlteOderNeueKopieBleibtGanz) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("daten.db"));
  const QString ziel = ordner.Datei(QStringLiteral("daten.db.v2.bak"));
  {
    DbFehler f;
    auto db = Datenbank::Oeffnen(datei, f, true);
    ASSERT_TRUE(db) << f.Beschreibung.toStdString();
    ASSERT_FALSE(db->Ausfuehren(SqlText("CREATE TABLE t (w TEXT); INSERT INTO t VALUES ('alt')")));
    ASSERT_FALSE(db->Sichern(ziel));
    ASSERT_FALSE(db->Ausfuehren(SqlText("UPDATE t SET w = 'neu'")));
  }
  ASSERT_EQ(WertDerSicherung(ziel), QStringLiteral("alt"));

  const SicherungsAbbruch fall = GetParam();
  const pid_t kind = ::fork();
  ASSERT_GE(kind, 0);
  if (kind == 0) {
    // A connection of the child's own: SQLite connections do not cross a fork.
    DbFehler f;
    auto db = Datenbank::Oeffnen(datei, f);
    if (!db) ::_exit(3);
    Datenbank::SicherungsschrittSetzen([&](const char* schritt) {
      if (fall.schritt && qstrcmp(schritt, fall.schritt) == 0) ::kill(::getpid(), SIGKILL);
    });
    ::_exit(db->Sichern(ziel) ? 2 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(kind, &status, 0), kind);
  if (fall.schritt) {
    ASSERT_TRUE(WIFSIGNALED(status));
  } else {
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(QFile::exists(ziel + QStringLiteral(".neu")));
  }
  EXPECT_EQ(WertDerSicherung(ziel), QString::fromUtf8(fall.erwartet));
}

INSTANTIATE_TEST_SUITE_P(Schritte, SicherungMitAbbruch,
                         ::testing::Values(SicherungsAbbruch{"kopiert", "alt"}, SicherungsAbbruch{"ersetzt", "neu"},
                                           SicherungsAbbruch{nullptr, "neu"}),
                         [](const auto& info) {
                           return std::string(info.param.schritt ? info.param.schritt : "ohneAbbruch");
                         });

}  // namespace
