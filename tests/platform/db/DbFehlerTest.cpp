#include <gtest/gtest.h>

#include <sqlite3.h>

#include "platform/db/Datenbank.h"
#include "platform/db/DbFehler.h"

namespace {

// SQLite's own descriptions never reach a message: each code has its German text, extended codes that of
// their primary code; the layer's own failures and the busy text (German already) stay as they are.
TEST(DbFehlerAufDeutsch, SqliteTexteWerdenDeutschEigeneBleiben) {
  const struct {
    int nummer;
    const char* englisch;
    const char* deutsch;   // part of the German description; nullptr: unchanged
  } faelle[] = {
      {SQLITE_FULL, "database or disk is full", "Der Datenträger ist voll."},
      {SQLITE_IOERR_WRITE, "disk I/O error", "Ein-/Ausgabefehler"},
      {SQLITE_CORRUPT, "database disk image is malformed", "beschädigt"},
      {SQLITE_NOTADB, "file is not a database", "beschädigt oder keine Datenbank"},
      {SQLITE_READONLY, "attempt to write a readonly database", "schreibgeschützt"},
      {SQLITE_CANTOPEN, "unable to open database file", "kann nicht geöffnet werden"},
      {SQLITE_CONSTRAINT_UNIQUE, "UNIQUE constraint failed: t.x", "Regel der Datenbank"},
      {SQLITE_ERROR, "no such table: OPVorgang", "Datenbankabfrage ist fehlgeschlagen"},
      {SQLITE_WARNING, "warning", "Interner Fehler"},
      {SQLITE_BUSY, "Die Datenbank wird gerade an einem anderen Arbeitsplatz benutzt", nullptr},
      {DbFehlerNr::KeinAktuellerDatensatz, "Kein aktueller Datensatz", nullptr},
      {DbFehlerNr::DateiFehler, "Datei nicht gefunden: x", nullptr},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.englisch);
    const DbFehler deutsch = DbFehlerAufDeutsch({f.nummer, QString::fromUtf8(f.englisch)});
    EXPECT_EQ(deutsch.Nummer, f.nummer);
    if (f.deutsch)
      EXPECT_TRUE(deutsch.Beschreibung.contains(QString::fromUtf8(f.deutsch))) << deutsch.Beschreibung.toStdString();
    else
      EXPECT_EQ(deutsch.Beschreibung, QString::fromUtf8(f.englisch));
  }
  EXPECT_TRUE(DbFehlerAufDeutsch({}).Ok());
}

// A real failure of SQLite, as the layer reports it, comes out German under its number.
TEST(DbFehlerAufDeutsch, EchterFehlerDerDatenbank) {
  std::unique_ptr<Datenbank> db = Datenbank::InSpeicher();
  const DbFehler f = db->Ausfuehren("SELECT * FROM GibtEsNicht");
  ASSERT_FALSE(f.Ok());
  EXPECT_TRUE(f.Beschreibung.contains(QStringLiteral("no such table")));
  const QString text = DbFehlerAufDeutsch(f).Meldungstext();
  EXPECT_TRUE(text.startsWith(QStringLiteral("Nr: 1\rBeschreibung: Die Datenbankabfrage ist fehlgeschlagen"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("no such table")));
}

}  // namespace
