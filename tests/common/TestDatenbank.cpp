#include "TestDatenbank.h"

#include <gtest/gtest.h>

#include <QDir>

#include "common/Datenbankstart.h"

std::unique_ptr<Datenbank> SchemaDatenbank(const QString& ordner) {
  const QString datei = QDir(ordner).filePath(DatenbankDateiname);
  const DbFehler f = DatenbankAnlegen(datei, QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  DbFehler g;
  auto db = Datenbank::Oeffnen(datei, g);
  EXPECT_TRUE(db) << g.Beschreibung.toStdString();
  return db;
}

void SkriptDatei(const QString& datei, const QString& skript) {
  DbFehler f;
  auto db = Datenbank::Oeffnen(datei, f, true);
  ASSERT_TRUE(db) << f.Beschreibung.toStdString();
  f = db->SkriptAusfuehren(skript);
  ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
}
