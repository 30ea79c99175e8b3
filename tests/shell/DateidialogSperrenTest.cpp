#include <gtest/gtest.h>

#include <QDir>

#include <sqlite3.h>

#include "testsupport/Kindprozess.h"
#include "testsupport/TestOrdner.h"

namespace {

// Every file dialog of the program, opened on the program folder while the program holds its database,
// leaves SQLite's locks in place; an address saved afterwards is still there after kill -9, although
// another SQLite program read the database in between (which deletes a WAL it believes abandoned).
TEST(DateidialogSperren, JederDateidialogLaesstDieSperrenDerOffenenDatenbankStehen) {
  TestOrdner ordner;
  const QString programm = ordner.Datei(QStringLiteral("programm"));
  const QString datei = programm + QStringLiteral("/TamoSEPA.db");
  Kindprozess kind(QStringLiteral(TAMO_DATEIDIALOG_KIND), {},
                   {QStringLiteral("QT_QPA_PLATFORM=offscreen"), QStringLiteral("TAMOSEPA_PROGRAMMVERZEICHNIS=") + programm,
                    QStringLiteral("TAMOSEPA_EINSTELLUNGEN=") + ordner.Datei(QStringLiteral("einstellungen.ini"))});
  ASSERT_TRUE(kind.Laeuft());

  QStringList dialoge;
  for (;;) {
    bool ok = false;
    const QString zeile = kind.Zeile(20000, &ok);
    ASSERT_TRUE(ok) << "Das Kind antwortet nicht: " << kind.Fehlerausgabe().toStdString();
    ASSERT_FALSE(zeile.startsWith(QLatin1String("FEHLER"))) << zeile.toStdString();
    if (zeile == QLatin1String("SPEICHERN?")) break;
    ASSERT_TRUE(zeile.startsWith(QLatin1String("DIALOG "))) << zeile.toStdString();
    dialoge << zeile.mid(7);
    // Locks of the database and of its shared memory, as SQLite holds them in WAL mode.
    EXPECT_EQ(SperrendeProzess(datei), pid_t(kind.Pid())) << zeile.toStdString();
    EXPECT_EQ(SperrendeProzess(datei + QStringLiteral("-shm")), pid_t(kind.Pid())) << zeile.toStdString();
    kind.Senden(QStringLiteral("weiter"));
  }
  EXPECT_EQ(dialoge, (QStringList{QStringLiteral("Exportlaufwerk einstellen"), QStringLiteral("Datenverzeichnis wählen"),
                                  QStringLiteral("Datenbank auswählen"), QStringLiteral("Tamo-Varix-Datenbank auswählen"),
                                  QStringLiteral("Reportdatei wählen"), QStringLiteral("PDF-Datei wählen")}));

  kind.Senden(QStringLiteral("speichern"));
  ASSERT_EQ(kind.Zeile(), QStringLiteral("GESPEICHERT"));

  // Another program reads the database, then the program dies.
  sqlite3* fremd = nullptr;
  ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(datei).constData(), &fremd, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(fremd, "SELECT count(*) FROM Adressen", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(fremd);
  kind.Toeten();

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(datei).constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT Name FROM Adressen WHERE OPKontoNr = 'K4711'", -1, &st, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
  EXPECT_EQ(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))),
            QStringLiteral("Müller nach dem Dateidialog"));
  sqlite3_finalize(st);
  sqlite3_close(db);
}

}  // namespace
