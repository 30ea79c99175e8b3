#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <sqlite3.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "sepafiles/QtAusgabe.h"
#include "common/DatenbankOeffnung.h"
#include "common/Datenbankstart.h"
#include "platform/db/Speicherort.h"
#include "testsupport/TestOrdner.h"

namespace {

const QString Fixture = QStringLiteral(TAMO_SOURCE_DIR "/tests/common/daten/TamoSEPA_v1.db");

QString Schema() {
  QFile f(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  return QString::fromUtf8(f.readAll());
}

QByteArray Pruefsumme(const QString& datei) {
  QFile f(datei);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Every row of every table (rowid first), with the type of each value: "what survives" in one list.
QStringList Inhalt(Datenbank& db, const QStringList& tabellen) {
  QStringList zeilen;
  for (const QString& t : tabellen) {
    const DbFehler f = db.Abfragen(SqlText("SELECT rowid, * FROM ") + SqlText::Bezeichner(t) + SqlText(" ORDER BY rowid"),
                                   {}, [&](const Zeile& z) {
                                     QStringList werte{t};
                                     for (int i = 0; i < z.Anzahl(); ++i)
                                       werte << QString::fromLatin1(z.Wert(i).typeName()) + QLatin1Char(':') +
                                                    z.Wert(i).toString();
                                     zeilen << werte.join(QLatin1Char('|'));
                                     return true;
                                   });
    EXPECT_TRUE(f.Ok()) << t.toStdString() << ": " << f.Beschreibung.toStdString();
  }
  return zeilen;
}

// The AUTOINCREMENT counters by table.
QStringList Zaehler(Datenbank& db) {
  QStringList z;
  EXPECT_TRUE(db.Abfragen("SELECT name, seq FROM sqlite_sequence ORDER BY name", {}, [&](const Zeile& r) {
                  z << r.Wert(0).toString() + QLatin1Char('=') + r.Wert(1).toString();
                  return true;
                }).Ok());
  return z;
}

qint64 Zahl(Datenbank& db, const SqlText& sql, const QVariantList& p = {}) {
  DbFehler f;
  const auto w = db.Wert(sql, p, f);
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return w ? w->toLongLong() : -1;
}

// The table of sent message ids as versions 2 and 3 declared it: by sender record, gone with the sender.
const char* const GesendeteReferenzenV3 =
    "DROP TABLE GesendeteReferenzen; CREATE TABLE GesendeteReferenzen (AbsenderNr INTEGER NOT NULL REFERENCES "
    "Absender(AbsenderNr) ON DELETE CASCADE, Referenz TEXT(35) NOT NULL, Erstellt DATE, PRIMARY KEY (AbsenderNr, "
    "Referenz));";

// The sent message ids as account|id|sender|created, in key order.
QStringList Referenzen(Datenbank& db) {
  QStringList zeilen;
  EXPECT_TRUE(db.Abfragen("SELECT IBAN || '|' || Referenz || '|' || AbsenderNr || '|' || Erstellt FROM "
                          "GesendeteReferenzen ORDER BY IBAN, Referenz", {}, [&](const Zeile& z) {
                            zeilen << z.Wert(0).toString();
                            return true;
                          }).Ok());
  return zeilen;
}

class DatenbankOeffnungTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Speicherort::ErkennungSetzen({});
    Datenbank::WartezeitSetzen(5000);
  }
  QString Neu() {
    const QString datei = ordner.Datei(QStringLiteral("TamoSEPA.db"));
    EXPECT_TRUE(DatenbankAnlegen(datei, QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql")).Ok());
    return datei;
  }
  // A file of our own, changed by `skript` (with the program's collation at hand).
  QString Geaendert(const SqlText& skript) {
    const QString datei = Neu();
    DbFehler f;
    auto db = Datenbank::Oeffnen(datei, f);
    EXPECT_TRUE(db && db->Ausfuehren(skript).Ok());
    return datei;
  }
  // Refused, the message names the file and says what to do, and the file is as it was (no journal files beside it).
  void Abgelehnt(const QString& datei, const QString& teil) {
    const QByteArray vorher = Pruefsumme(datei);
    const DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, Schema());
    EXPECT_FALSE(e.Ok());
    EXPECT_TRUE(e.meldung.contains(QDir::toNativeSeparators(datei))) << e.meldung.toStdString();
    EXPECT_TRUE(e.meldung.contains(teil)) << e.meldung.toStdString();
    EXPECT_TRUE(e.meldung.contains(QStringLiteral("Bitte "))) << "says what to do: " << e.meldung.toStdString();
    EXPECT_EQ(Pruefsumme(datei), vorher);
    EXPECT_FALSE(QFile::exists(datei + QStringLiteral("-wal")));
    EXPECT_FALSE(QFile::exists(datei + QStringLiteral("-shm")));
    EXPECT_FALSE(QFile::exists(datei + QStringLiteral("-journal")));
  }

  TestOrdner ordner;
};

TEST_F(DatenbankOeffnungTest, UnsereDateiMitWalImNetzMitRuecksetzjournal) {
  const QString datei = Neu();
  {
    DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, Schema());
    ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
    EXPECT_TRUE(e.hinweis.isEmpty());
    EXPECT_EQ(e.db->JournalModus(), QStringLiteral("wal"));
  }
  // Several workstations on a network drive: no WAL, whose shared memory stays on one machine.
  QStringList gefragt;
  Speicherort::ErkennungSetzen([&](const QString& pfad) {
    gefragt << pfad;
    return true;
  });
  DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, Schema());
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  EXPECT_EQ(e.db->JournalModus(), QStringLiteral("delete"));
  EXPECT_EQ(gefragt, QStringList{datei});
}

TEST(Speicherort, NetzdateisystemeNachTyp) {
  for (long long typ : {0x6969LL, 0x517BLL, 0xFF534D42LL, 0xFE534D42LL, 0x65735546LL})
    EXPECT_TRUE(Speicherort::IstNetzDateisystem(typ)) << std::hex << typ;
  for (long long typ : {0xEF53LL /* ext4 */, 0x01021994LL /* tmpfs */, 0x58465342LL /* xfs */, 0LL})
    EXPECT_FALSE(Speicherort::IstNetzDateisystem(typ)) << std::hex << typ;
  TestOrdner t;
  EXPECT_FALSE(Speicherort::IstNetzlaufwerk(t.Datei(QStringLiteral("gibt-es-noch-nicht.db"))));
}

TEST_F(DatenbankOeffnungTest, LeereDateiWirdNichtZurNeuenDatenbank) {
  const QString datei = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  QFile f(datei);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  Abgelehnt(datei, QStringLiteral("ist leer (0 Bytes)"));
  EXPECT_EQ(QFileInfo(datei).size(), 0);
}

TEST_F(DatenbankOeffnungTest, FremdeDateienBleibenUnveraendert) {
  // Another program's SQLite file in rollback mode, with a table of the same name as ours.
  const QString fremd = ordner.Datei(QStringLiteral("fremd.db"));
  {
    DbFehler f;
    auto db = Datenbank::Oeffnen(fremd, f, true);
    ASSERT_TRUE(db && db->SkriptAusfuehren(QStringLiteral("CREATE TABLE Adressen (x); INSERT INTO Adressen VALUES (1);")).Ok());
  }
  Abgelehnt(fremd, QStringLiteral("keine Datenbank von Tamo-SEPA"));
  {
    DbFehler f;
    auto db = Datenbank::Oeffnen(fremd, f);
    EXPECT_EQ(db->JournalModus(), QStringLiteral("delete"));
  }
  // Another program's id on a file that has all our tables.
  const QString kennung = Geaendert("PRAGMA application_id = 7");
  Abgelehnt(kennung, QStringLiteral("keine Datenbank von Tamo-SEPA"));
  // No SQLite file at all.
  const QString text = ordner.Datei(QStringLiteral("text.db"));
  QFile t(text);
  ASSERT_TRUE(t.open(QIODevice::WriteOnly));
  t.write(QByteArray(4096, 'x'));
  t.close();
  Abgelehnt(text, QStringLiteral("keine SQLite-Datenbank"));
}

TEST_F(DatenbankOeffnungTest, DateiEinerNeuerenVersionWirdAbgelehnt) {
  Abgelehnt(Geaendert("PRAGMA user_version = 99"),
            QStringLiteral("neueren Version von Tamo-SEPA (Datenbankversion 99).\rDiese Programmversion kennt nur die "
                           "Datenbankversion 4."));
  // A file of the first generation (no application id) from a newer program.
  TestOrdner zweiter;
  const QString alt = zweiter.Datei(QStringLiteral("TamoSEPA.db"));
  ASSERT_TRUE(QFile::copy(Fixture, alt));
  QFile::setPermissions(alt, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  {
    DbFehler f;
    auto db = Datenbank::Oeffnen(alt, f);
    ASSERT_TRUE(db && db->Ausfuehren("PRAGMA user_version = 99").Ok());
  }
  Abgelehnt(alt, QStringLiteral("(Datenbankversion 99)"));
  EXPECT_FALSE(QFile::exists(DatenbankOeffnung::SicherungsDatei(alt, 1)));
}

TEST_F(DatenbankOeffnungTest, SchreibgeschuetzteDateiWirdGemeldetUndBleibtOhneJournal) {
  const QString datei = Neu();
  ASSERT_TRUE(QFile::setPermissions(datei, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
  Abgelehnt(datei, QStringLiteral("ist schreibgeschützt"));
  QFile::setPermissions(datei, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(DatenbankOeffnungTest, FehlendeTabellenUndBeschaedigteDateiWerdenGenannt) {
  Abgelehnt(Geaendert("DROP TABLE Bankverbindung"), QStringLiteral("fehlen die Tabellen Bankverbindung."));

  TestOrdner zweiter;
  const QString datei = zweiter.Datei(QStringLiteral("TamoSEPA.db"));
  ASSERT_TRUE(DatenbankAnlegen(datei, QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql")).Ok());
  {
    DbFehler f;
    auto db = Datenbank::Oeffnen(datei, f);
    ASSERT_TRUE(db);
    Transaktion t(*db);
    for (int i = 0; i < 300; ++i)
      ASSERT_TRUE(db->Ausfuehren("INSERT INTO Adressen (OPKontoNr, Name) VALUES (?, ?)",
                                 {QStringLiteral("K%1").arg(i), QString(60, QLatin1Char('x'))}).Ok());
    ASSERT_TRUE(t.Commit().Ok());
  }
  // An index page overwritten: the table still reads, the check finds the damage.
  DbFehler f;
  qint64 seite = 0;
  {
    auto db = Datenbank::Oeffnen(datei, f);
    seite = Zahl(*db, "SELECT rootpage FROM sqlite_master WHERE name = 'Adressen_Name'");
  }
  QFile roh(datei);
  ASSERT_TRUE(roh.open(QIODevice::ReadWrite));
  ASSERT_TRUE(roh.seek((seite - 1) * 4096 + 8));
  roh.write(QByteArray(200, '\x7f'));
  roh.close();
  Abgelehnt(datei, QStringLiteral("ist beschädigt"));
}

// A file of the current version from an earlier build: a missing index is added, one of the same name over
// other columns replaced, the rows stay; a file whose indexes agree is not written at all.
TEST_F(DatenbankOeffnungTest, IndizesDerAktuellenVersionWerdenAbgeglichen) {
  const QString datei = Neu();
  const QString vorlage = ordner.Datei(QStringLiteral("Vorlage.db"));
  {
    const auto indizes = [](Datenbank& db) {
      QStringList l;
      EXPECT_TRUE(db.Abfragen("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name",
                              {}, [&](const Zeile& z) {
                                l << z.Wert(0).toString() + QLatin1Char('|') + z.Wert(1).toString();
                                return true;
                              }).Ok());
      return l;
    };
    DbFehler f;
    auto db = Datenbank::Oeffnen(datei, f);
    ASSERT_TRUE(db);
    const QStringList soll = indizes(*db);
    ASSERT_TRUE(soll.filter(QStringLiteral("Zahlungen_Offen|")).size() == 1);
    ASSERT_TRUE(db->SkriptAusfuehren(QStringLiteral(
        "DROP INDEX Zahlungen_Offen; DROP INDEX Zahlungen_Auswahl;"
        "CREATE INDEX Zahlungen_Auswahl ON Zahlungen (AbsenderNr, Art, Erledigt, ZahlungNr);"
        "INSERT INTO Zahlungen (AbsenderNr, Art, Erledigt) VALUES (1, 'G', 0), (1, 'G', 1);")).Ok());
    ASSERT_NE(indizes(*db), soll);
    db.reset();

    DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, Schema());
    ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
    EXPECT_TRUE(e.hinweis.isEmpty());
    EXPECT_EQ(indizes(*e.db), soll);
    EXPECT_EQ(Zahl(*e.db, "SELECT count(*) FROM Zahlungen INDEXED BY Zahlungen_Offen WHERE AbsenderNr = 1 AND Art = 'G' "
                          "AND Erledigt = 0"), 1);
    EXPECT_EQ(Zahl(*e.db, "SELECT count(*) FROM Zahlungen"), 2);
  }
  // Agreeing indexes: the file stays byte for byte (checked on a copy without journal files beside it).
  ASSERT_TRUE(QFile::copy(datei, vorlage));
  const QByteArray vorher = Pruefsumme(vorlage);
  {
    DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(vorlage, Schema());
    ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
    ASSERT_TRUE(e.db->Ausfuehren("PRAGMA wal_checkpoint(TRUNCATE)").Ok());
  }
  EXPECT_EQ(Pruefsumme(vorlage), vorher);
}

// A file written by the first version (umlauts, amounts at the edges, dates, counters) is copied aside and
// migrated; every row and value survives, and the file is a plain SQLite file afterwards.
TEST_F(DatenbankOeffnungTest, Version1WirdGesichertUndVollstaendigUmgestellt) {
  const QString datei = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  ASSERT_TRUE(QFile::copy(Fixture, datei));
  QFile::setPermissions(datei, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  const QStringList tabellen = DatenbankOeffnung::Tabellen(1);
  QStringList vorher;
  QStringList zaehlerVorher;
  {
    // Read from a second copy: even reading a WAL file makes files beside it.
    const QString vergleich = ordner.Datei(QStringLiteral("Vergleich.db"));
    ASSERT_TRUE(QFile::copy(Fixture, vergleich));
    DbFehler f;
    auto alt = Datenbank::OeffnenNurLesen(vergleich, f);
    ASSERT_TRUE(alt) << f.Beschreibung.toStdString();
    vorher = Inhalt(*alt, tabellen);
    zaehlerVorher = Zaehler(*alt);
    EXPECT_EQ(Zahl(*alt, "PRAGMA user_version"), 1);
  }
  ASSERT_GT(vorher.size(), 80);

  DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, Schema());
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  const QString sicherung = datei + QStringLiteral(".v1.bak");
  EXPECT_EQ(e.hinweis, QStringLiteral("Die Datenbank %1 wurde auf die Datenbankversion 4 umgestellt.\r"
                                      "Die Datei vor der Umstellung ist gesichert unter:\r%2")
                           .arg(QDir::toNativeSeparators(datei), QDir::toNativeSeparators(sicherung)));
  Datenbank& db = *e.db;
  EXPECT_EQ(Zahl(db, "PRAGMA user_version"), 4);
  EXPECT_EQ(Zahl(db, "PRAGMA application_id"), DatenbankOeffnung::AnwendungsKennung);
  EXPECT_EQ(Inhalt(db, tabellen), vorher);   // the fixture's kinds are "G" and "L" already
  EXPECT_EQ(Zaehler(db), zaehlerVorher);
  EXPECT_EQ(Zahl(db, "SELECT count(*) FROM sqlite_master WHERE sql LIKE '%TAMO%'"), 0);
  EXPECT_EQ(Zahl(db, "SELECT count(*) FROM GesendeteReferenzen") + Zahl(db, "SELECT count(*) FROM SepaLaufDateien"), 0);
  EXPECT_EQ(Zahl(db, "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL"), 11);
  // The partial index of the open orders comes with the migration.
  EXPECT_EQ(Zahl(db, "SELECT count(*) FROM sqlite_master WHERE name = 'Zahlungen_Offen' AND sql LIKE '%WHERE Erledigt = 0'"),
            1);
  EXPECT_EQ(Zahl(db, "SELECT count(*) FROM pragma_foreign_key_list('Verwendungszweck') WHERE \"table\" = 'Zahlungen' "
                     "AND on_delete = 'CASCADE'"), 1);
  // Sent message ids outlive their sender.
  EXPECT_EQ(Zahl(db, "SELECT count(*) FROM pragma_foreign_key_list('GesendeteReferenzen')"), 0);
  // Values by name, as the program reads them.
  EXPECT_EQ(Zahl(db, "SELECT count(*) FROM Adressen WHERE Name = ? AND MandatDatum = '2021-02-28'",
                 {QStringLiteral("Müller & Söhne GmbH")}), 1);
  EXPECT_EQ(Zahl(db, "SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = 1"), -12345678901234);
  EXPECT_EQ(Zahl(db, "SELECT count(*) FROM Absender WHERE ReferenzNr = ?", {QStringLiteral("R-ä101")}), 1);
  // The next payment gets a number never used before (the last one was deleted in the old file).
  ASSERT_TRUE(db.Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art) VALUES (1, 'G')").Ok());
  EXPECT_EQ(db.LetzteEinfuegeNr(), 18);
  // Keys still ignore case, umlauts where the program names its collation.
  EXPECT_FALSE(db.Ausfuehren("INSERT INTO Adressen (OPKontoNr) VALUES ('K10003')").Ok());
  EXPECT_EQ(Zahl(db, "SELECT count(*) FROM Adressen WHERE Suchname = 'MÜLLER' COLLATE TAMO AND Suchname = 'müller' COLLATE TAMO"), 1);
  e.db.reset();

  // The copy is the old file, complete.
  {
    DbFehler f;
    auto kopie = Datenbank::OeffnenNurLesen(sicherung, f);
    ASSERT_TRUE(kopie) << f.Beschreibung.toStdString();
    EXPECT_EQ(Inhalt(*kopie, tabellen), vorher);
    EXPECT_EQ(Zahl(*kopie, "PRAGMA user_version"), 1);
  }
  // Opened again: nothing more to do.
  DatenbankOeffnung::Ergebnis wieder = DatenbankOeffnung::Oeffnen(datei, Schema());
  ASSERT_TRUE(wieder.Ok()) << wieder.meldung.toStdString();
  EXPECT_TRUE(wieder.hinweis.isEmpty());
}

// A file of version 2: copied aside as "<file>.v2.bak", then the kinds of its orders in one spelling ("g", "l",
// with blanks or tabs become "G" and "L"; an unknown kind stays for the rules to name), the index of the
// mandates added, every other value kept.
TEST_F(DatenbankOeffnungTest, Version2WirdGesichertUndDieZahlungsartVereinheitlicht) {
  const QString datei = Neu();
  {
    DbFehler f;
    auto db = Datenbank::Oeffnen(datei, f);
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->SkriptAusfuehren(QStringLiteral(
        "DROP INDEX Zahlungen_Mandate; PRAGMA user_version = 2;") + QLatin1String(GesendeteReferenzenV3) + QStringLiteral(
        "UPDATE Absender SET IBAN = 'DE89 3704 0044 0532 0130 00' WHERE AbsenderNr = 1;"
        "INSERT INTO GesendeteReferenzen VALUES (1, 'R7', '2023-01-01');"
        "INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art, Name) VALUES (1, 1, 'G', 'a'), (2, 1, 'g', 'b'), "
        "(3, 1, 'l', 'c'), (4, 1, ' L ', 'd'), (5, 1, 'L', 'e'), (6, 1, 'x', 'f'), (7, 1, NULL, 'g'), "
        "(8, 1, char(9) || 'g', 'h'), (9, 1, 'GL', 'i'), (10, 1, '', 'j');")).Ok());
  }
  DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, Schema());
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  const QString sicherung = datei + QStringLiteral(".v2.bak");
  EXPECT_EQ(e.hinweis, QStringLiteral("Die Datenbank %1 wurde auf die Datenbankversion 4 umgestellt.\r"
                                      "Die Datei vor der Umstellung ist gesichert unter:\r%2")
                           .arg(QDir::toNativeSeparators(datei), QDir::toNativeSeparators(sicherung)));
  QStringList arten;
  ASSERT_TRUE(e.db->Abfragen("SELECT coalesce(Art, 'NULL') || '|' || Name FROM Zahlungen ORDER BY ZahlungNr", {},
                             [&](const Zeile& z) {
                               arten << z.Wert(0).toString();
                               return true;
                             }).Ok());
  EXPECT_EQ(arten, (QStringList{QStringLiteral("G|a"), QStringLiteral("G|b"), QStringLiteral("L|c"), QStringLiteral("L|d"),
                                QStringLiteral("L|e"), QStringLiteral("x|f"), QStringLiteral("NULL|g"),
                                QStringLiteral("G|h"), QStringLiteral("GL|i"), QStringLiteral("|j")}));
  EXPECT_EQ(Zahl(*e.db, "PRAGMA user_version"), 4);
  EXPECT_EQ(Zahl(*e.db, "SELECT count(*) FROM sqlite_master WHERE name = 'Zahlungen_Mandate'"), 1);
  EXPECT_EQ(Referenzen(*e.db), QStringList{QStringLiteral("DE89370400440532013000|R7|1|2023-01-01")});
  e.db.reset();
  // The copy is the file as it was.
  DbFehler f;
  auto kopie = Datenbank::OeffnenNurLesen(sicherung, f);
  ASSERT_TRUE(kopie) << f.Beschreibung.toStdString();
  EXPECT_EQ(Zahl(*kopie, "PRAGMA user_version"), 2);
  EXPECT_EQ(Zahl(*kopie, "SELECT count(*) FROM Zahlungen WHERE Art = 'l' COLLATE BINARY"), 1);
}

// A file of version 3: its sent message ids belong to the sender's account from now on (the IBAN in its stored
// form), survive the sender's deletion, and an id two records of one account both sent stays once (the earliest).
// A sender without an IBAN keeps its ids under an empty account.
TEST_F(DatenbankOeffnungTest, Version3OrdnetGesendeteReferenzenDemKontoZu) {
  const QString datei = Neu();
  {
    DbFehler f;
    auto db = Datenbank::Oeffnen(datei, f);
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->SkriptAusfuehren(QLatin1String(GesendeteReferenzenV3) + QStringLiteral(
        "PRAGMA user_version = 3;"
        "UPDATE Absender SET IBAN = 'DE89370400440532013000' WHERE AbsenderNr = 1;"
        "INSERT INTO Absender (AbsenderNr, IBAN) VALUES (2, ' de89 3704 0044 0532 0130 00 '), "
        "(3, 'DE02120300000000202051'), (4, NULL), (5, 'DE12500105170648489890');"
        "INSERT INTO GesendeteReferenzen VALUES (2, 'R100', '2024-02-01'), (1, 'R100', '2024-01-02'), "
        "(1, 'R101', '2024-01-03'), (2, 'R200', '2024-02-02'), (3, 'R100', '2024-03-01'), (4, 'X1', '2024-04-01');"))
                    .Ok());
  }
  DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, Schema());
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  const QString sicherung = datei + QStringLiteral(".v3.bak");
  EXPECT_TRUE(e.hinweis.endsWith(QDir::toNativeSeparators(sicherung))) << e.hinweis.toStdString();
  Datenbank& db = *e.db;
  EXPECT_EQ(Zahl(db, "PRAGMA user_version"), 4);
  const QStringList erwartet{QStringLiteral("|X1|4|2024-04-01"), QStringLiteral("DE02120300000000202051|R100|3|2024-03-01"),
                             QStringLiteral("DE89370400440532013000|R100|1|2024-01-02"),
                             QStringLiteral("DE89370400440532013000|R101|1|2024-01-03"),
                             QStringLiteral("DE89370400440532013000|R200|2|2024-02-02")};
  EXPECT_EQ(Referenzen(db), erwartet);
  // The senders go, their ids stay.
  ASSERT_TRUE(db.Ausfuehren("DELETE FROM Absender WHERE AbsenderNr IN (1, 2, 3)").Ok());
  EXPECT_EQ(Referenzen(db), erwartet);
  // One account, one id.
  EXPECT_FALSE(db.Ausfuehren("INSERT INTO GesendeteReferenzen (IBAN, Referenz, AbsenderNr) VALUES "
                             "('DE89370400440532013000', 'R101', 5)").Ok());
  e.db.reset();
  DbFehler f;
  auto kopie = Datenbank::OeffnenNurLesen(sicherung, f);
  ASSERT_TRUE(kopie) << f.Beschreibung.toStdString();
  EXPECT_EQ(Zahl(*kopie, "PRAGMA user_version"), 3);
  EXPECT_EQ(Zahl(*kopie, "SELECT count(*) FROM GesendeteReferenzen"), 6);
}

TEST_F(DatenbankOeffnungTest, GescheiterteUmstellungLaesstDieDateiUnveraendert) {
  const QString datei = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  ASSERT_TRUE(QFile::copy(Fixture, datei));
  QFile::setPermissions(datei, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  DbFehler f;
  auto db = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(db);
  const QStringList vorher = Inhalt(*db, DatenbankOeffnung::Tabellen(1));
  // The indexes come last: everything before them is undone.
  db->SetzeStoerung([](const QString& sql) -> DbFehler {
    if (sql.startsWith(QLatin1String("CREATE INDEX Adressen_Name"))) return {SQLITE_FULL, QStringLiteral("database or disk is full")};
    return {};
  });
  const DbFehler m = DatenbankOeffnung::Migrieren(*db, Schema());
  db->SetzeStoerung({});
  EXPECT_EQ(m.Nummer, SQLITE_FULL);
  EXPECT_EQ(db->TransaktionsTiefe(), 0);
  EXPECT_EQ(Zahl(*db, "PRAGMA user_version"), 1);
  EXPECT_EQ(Zahl(*db, "PRAGMA foreign_keys"), 1);
  EXPECT_EQ(Zahl(*db, "SELECT count(*) FROM sqlite_master WHERE name LIKE '%\\_\\_v1' ESCAPE '\\'"), 0);
  EXPECT_EQ(Inhalt(*db, DatenbankOeffnung::Tabellen(1)), vorher);
}

// The standard shell checks, dumps, sorts and writes every file the program makes.
TEST_F(DatenbankOeffnungTest, DieSqliteShellKannJedeDateiLesenUndSchreiben) {
  const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
  if (shell.isEmpty()) GTEST_SKIP() << "sqlite3 (Debian-Paket sqlite3) fehlt";
  const QString neu = Geaendert("INSERT INTO Adressen (OPKontoNr, Suchname, Name) VALUES ('1', 'ÖKO', 'Öko & Co'), ('2', 'abc', 'Abc')");
  TestOrdner zweiter;
  const QString migriert = zweiter.Datei(QStringLiteral("TamoSEPA.db"));
  ASSERT_TRUE(QFile::copy(Fixture, migriert));
  QFile::setPermissions(migriert, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  ASSERT_TRUE(DatenbankOeffnung::Oeffnen(migriert, Schema()).Ok());
  for (const QString& datei : {neu, migriert}) {
    auto lauf = [&](const QString& befehl) {
      QProcess p;
      p.start(shell, {QStringLiteral("-bail"), datei, befehl});
      EXPECT_TRUE(p.waitForFinished(20000));
      EXPECT_EQ(p.exitCode(), 0) << befehl.toStdString() << ": " << p.readAllStandardError().toStdString();
      return QString::fromUtf8(p.readAllStandardOutput());
    };
    EXPECT_EQ(lauf(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok\n"));
    EXPECT_TRUE(lauf(QStringLiteral(".dump")).contains(QStringLiteral("CREATE TABLE Zahlungen")));
    EXPECT_FALSE(lauf(QStringLiteral("SELECT Name FROM Adressen ORDER BY Name")).isEmpty());
    lauf(QStringLiteral("INSERT INTO Adressen (OPKontoNr, Name) VALUES ('Shell-1', 'Aus der Shell'); "
                        "UPDATE Zahlungen SET Name = 'Geändert' WHERE ZahlungNr = (SELECT min(ZahlungNr) FROM Zahlungen);"));
    EXPECT_EQ(lauf(QStringLiteral("SELECT count(*) FROM Adressen WHERE OPKontoNr = 'shell-1'")), QStringLiteral("1\n"));
    EXPECT_EQ(lauf(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok\n"));
    // And the program still opens what the shell wrote.
    EXPECT_TRUE(DatenbankOeffnung::Oeffnen(datei, Schema()).Ok());
  }
}

TEST_F(DatenbankOeffnungTest, BelegteDatenbankWirdAbgewartetUndDeutschGemeldet) {
  const QString datei = Neu();
  DatenbankOeffnung::Ergebnis a = DatenbankOeffnung::Oeffnen(datei, Schema());
  ASSERT_TRUE(a.Ok());
  Datenbank::WartezeitSetzen(300);
  DatenbankOeffnung::Ergebnis b = DatenbankOeffnung::Oeffnen(datei, Schema());
  ASSERT_TRUE(b.Ok());
  ASSERT_TRUE(a.db->BeginTrans().Ok());
  ASSERT_TRUE(a.db->Ausfuehren("INSERT INTO Adressen (OPKontoNr) VALUES ('A')").Ok());
  QElapsedTimer uhr;
  uhr.start();
  const DbFehler f = b.db->Ausfuehren("INSERT INTO Adressen (OPKontoNr) VALUES ('B')");
  EXPECT_GE(uhr.elapsed(), 250);
  EXPECT_EQ(f.Nummer & 0xff, SQLITE_BUSY);
  EXPECT_EQ(f.Beschreibung, QStringLiteral("Die Datenbank wird gerade an einem anderen Arbeitsplatz benutzt und ist "
                                           "gesperrt. Bitte versuchen Sie es in einigen Sekunden noch einmal."));
  ASSERT_TRUE(a.db->CommitTrans().Ok());
  EXPECT_TRUE(b.db->Ausfuehren("INSERT INTO Adressen (OPKontoNr) VALUES ('B')").Ok());
}

// A copy made before an earlier migration is never replaced by another file's: the new one goes beside it. The
// same file again (a start ended after its copy was made) keeps the one copy.
TEST_F(DatenbankOeffnungTest, VorhandeneSicherungWirdNichtUeberschrieben) {
  const QString datei = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  ASSERT_TRUE(QFile::copy(Fixture, datei));
  QFile::setPermissions(datei, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  const QString erste = DatenbankOeffnung::SicherungsDatei(datei, 1);
  const QString zweite = datei + QStringLiteral(".v1.2.bak");
  {
    QFile alt(erste);
    ASSERT_TRUE(alt.open(QIODevice::WriteOnly));
    alt.write("die ältere Sicherung eines anderen Stands");
  }
  const QByteArray alt = Pruefsumme(erste);
  QStringList vorher;
  {
    const QString vergleich = ordner.Datei(QStringLiteral("Vergleich.db"));
    ASSERT_TRUE(QFile::copy(Fixture, vergleich));
    DbFehler f;
    auto original = Datenbank::OeffnenNurLesen(vergleich, f);
    ASSERT_TRUE(original) << f.Beschreibung.toStdString();
    vorher = Inhalt(*original, DatenbankOeffnung::Tabellen(1));
  }
  {
    DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, Schema());
    ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
    EXPECT_TRUE(e.hinweis.endsWith(QDir::toNativeSeparators(zweite))) << e.hinweis.toStdString();
  }
  EXPECT_EQ(Pruefsumme(erste), alt);
  DbFehler f;
  auto kopie = Datenbank::OeffnenNurLesen(zweite, f);
  ASSERT_TRUE(kopie) << f.Beschreibung.toStdString();
  EXPECT_EQ(Zahl(*kopie, "PRAGMA user_version"), 1);
  EXPECT_EQ(Inhalt(*kopie, DatenbankOeffnung::Tabellen(1)), vorher);
}

// A start killed once the copy is in place but before the migration: the next start migrates, and the copy it
// names is the one made before (no second copy of the same file).
TEST_F(DatenbankOeffnungTest, NachAbbruchNachDerSicherungWirdDieUmstellungNachgeholt) {
  const QString datei = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  ASSERT_TRUE(QFile::copy(Fixture, datei));
  QFile::setPermissions(datei, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  const QString sicherung = DatenbankOeffnung::SicherungsDatei(datei, 1);
  const QString schema = Schema();
  const pid_t kind = ::fork();
  ASSERT_GE(kind, 0);
  if (kind == 0) {
    Datenbank::SicherungsschrittSetzen([](const char* schritt) {
      if (qstrcmp(schritt, "ersetzt") == 0) ::kill(::getpid(), SIGKILL);
    });
    DatenbankOeffnung::Oeffnen(datei, schema);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(kind, &status, 0), kind);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_TRUE(QFile::exists(sicherung));
  const QByteArray kopie = Pruefsumme(sicherung);

  DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, schema);
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  EXPECT_EQ(Zahl(*e.db, "PRAGMA user_version"), 4);
  EXPECT_TRUE(e.hinweis.endsWith(QDir::toNativeSeparators(sicherung))) << e.hinweis.toStdString();
  EXPECT_EQ(Pruefsumme(sicherung), kopie);
  EXPECT_FALSE(QFile::exists(datei + QStringLiteral(".v1.2.bak")));
  EXPECT_EQ(QDir(ordner.Pfad()).entryList({QStringLiteral("*.neu")}, QDir::Files), QStringList());
}

// A migration killed half way (old tables renamed, new ones filled) leaves the old file: the next start
// copies and migrates it whole.
TEST_F(DatenbankOeffnungTest, AbgebrocheneUmstellungWirdBeimNaechstenStartVollstaendigNachgeholt) {
  const QString datei = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  ASSERT_TRUE(QFile::copy(Fixture, datei));
  QFile::setPermissions(datei, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  const QString vergleich = ordner.Datei(QStringLiteral("Vergleich.db"));
  ASSERT_TRUE(QFile::copy(Fixture, vergleich));
  QStringList vorher;
  {
    DbFehler f;
    auto alt = Datenbank::OeffnenNurLesen(vergleich, f);
    ASSERT_TRUE(alt) << f.Beschreibung.toStdString();
    vorher = Inhalt(*alt, DatenbankOeffnung::Tabellen(1));
  }
  const QString schema = Schema();
  const pid_t kind = ::fork();
  ASSERT_GE(kind, 0);
  if (kind == 0) {
    DbFehler f;
    auto db = Datenbank::Oeffnen(datei, f);
    if (!db) ::_exit(3);
    db->SetzeStoerung([](const QString& sql) -> DbFehler {
      if (sql.startsWith(QLatin1String("CREATE INDEX Adressen_Name"))) ::kill(::getpid(), SIGKILL);
      return {};
    });
    DatenbankOeffnung::Migrieren(*db, schema);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(kind, &status, 0), kind);
  ASSERT_TRUE(WIFSIGNALED(status));

  DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, schema);
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  EXPECT_EQ(Zahl(*e.db, "PRAGMA user_version"), 4);
  EXPECT_EQ(Zahl(*e.db, "SELECT count(*) FROM sqlite_master WHERE name LIKE '%\\_\\_v1' ESCAPE '\\'"), 0);
  EXPECT_EQ(Inhalt(*e.db, DatenbankOeffnung::Tabellen(1)), vorher);
  e.db.reset();
  DbFehler f;
  auto kopie = Datenbank::OeffnenNurLesen(DatenbankOeffnung::SicherungsDatei(datei, 1), f);
  ASSERT_TRUE(kopie) << f.Beschreibung.toStdString();
  EXPECT_EQ(Zahl(*kopie, "PRAGMA user_version"), 1);
  EXPECT_EQ(Inhalt(*kopie, DatenbankOeffnung::Tabellen(1)), vorher);
}

// Another workstation writes (rollback journal on a network drive) while this one starts: the start waits,
// then says in German that the file is in use and what to do; the file stays as it was.
TEST_F(DatenbankOeffnungTest, SchreibsperreEinesAnderenProzessesBeimStart) {
  const QString datei = Neu();
  Speicherort::ErkennungSetzen([](const QString&) { return true; });
  ASSERT_TRUE(DatenbankOeffnung::Oeffnen(datei, Schema()).Ok());
  int gesperrt[2], ende[2];
  ASSERT_EQ(::pipe(gesperrt), 0);
  ASSERT_EQ(::pipe(ende), 0);
  const pid_t kind = ::fork();
  ASSERT_GE(kind, 0);
  if (kind == 0) {
    DbFehler f;
    auto db = Datenbank::Oeffnen(datei, f);
    if (!db || db->Ausfuehren("BEGIN EXCLUSIVE; INSERT INTO Adressen (OPKontoNr) VALUES ('fremd')")) ::_exit(3);
    char c = 1;
    if (::write(gesperrt[1], &c, 1) != 1 || ::read(ende[0], &c, 1) != 1) ::_exit(4);
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(gesperrt[0], &c, 1), 1);
  const QByteArray vorher = Pruefsumme(datei);
  Datenbank::WartezeitSetzen(100);
  const DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, Schema());
  EXPECT_FALSE(e.Ok());
  EXPECT_TRUE(e.meldung.contains(QDir::toNativeSeparators(datei))) << e.meldung.toStdString();
  EXPECT_TRUE(e.meldung.contains(QStringLiteral("an einem anderen Arbeitsplatz benutzt"))) << e.meldung.toStdString();
  EXPECT_TRUE(e.meldung.contains(QStringLiteral("Bitte versuchen Sie es"))) << e.meldung.toStdString();
  EXPECT_EQ(Pruefsumme(datei), vorher);
  ASSERT_EQ(::write(ende[1], &c, 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(kind, &status, 0), kind);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int fd : {gesperrt[0], gesperrt[1], ende[0], ende[1]}) ::close(fd);
}

}  // namespace
