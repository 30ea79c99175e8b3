#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "common/Dateifunktionen.h"
#include "common/Programmzustand.h"
#include "testsupport/TestOrdner.h"

namespace {

QByteArray Inhalt(const QString& datei) {
  QFile f(datei);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

TEST(Pfade, DateinameVerzeichnisBackslash) {
  const QString sep = QDir::separator();
  EXPECT_EQ(DateinameErmitteln(QStringLiteral("/daten/sepa/SEPAGK.XML")), QStringLiteral("SEPAGK.XML"));
  EXPECT_EQ(DateinameErmitteln(QStringLiteral("C:\\Programme\\Tamo\\TamoVarix.MDB")), QStringLiteral("TamoVarix.MDB"));
  EXPECT_EQ(DateinameErmitteln(QStringLiteral("ohne")), QStringLiteral("ohne"));
  EXPECT_EQ(VerzeichnisErmitteln(QStringLiteral("/daten/sepa/SEPAGK.XML")), QStringLiteral("/daten/sepa/"));
  EXPECT_EQ(VerzeichnisErmitteln(QStringLiteral("C:datei.txt")), QStringLiteral("C:"));
  Zustand().ProgrammVerzeichnisSetzen(QStringLiteral("/prog"));
  EXPECT_EQ(VerzeichnisErmitteln(QStringLiteral("datei.txt")), QStringLiteral("/prog") + sep);
  EXPECT_EQ(BackslashAnhaengen(QStringLiteral("/daten")), QStringLiteral("/daten") + sep);
  EXPECT_EQ(BackslashAnhaengen(QStringLiteral("/daten/")), QStringLiteral("/daten/"));
  EXPECT_EQ(BackslashAnhaengen(QString()), QString()) << "an empty path must not become the root folder";
}

TEST(DateiVorhanden, DateienMusterUndGrossKlein) {
  TestOrdner ordner;
  QFile f(ordner.Datei(QStringLiteral("Zahlungsliste Standard.LST")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  EXPECT_FALSE(DateiVorhanden(QString()));
  EXPECT_TRUE(DateiVorhanden(f.fileName()));
  EXPECT_TRUE(DateiVorhanden(ordner.Datei(QStringLiteral("zahlungsliste standard.lst"))));
  EXPECT_TRUE(DateiVorhanden(ordner.Datei(QStringLiteral("Zahlungsliste*.LST"))));
  EXPECT_FALSE(DateiVorhanden(ordner.Datei(QStringLiteral("Absenderliste*.LST"))));
  EXPECT_FALSE(DateiVorhanden(ordner.Pfad())) << "a folder is no file";
  EXPECT_FALSE(DateiVorhanden(ordner.Datei(QStringLiteral("fehlt/x.txt"))));
}

TEST(TextdateiSchreiben, SchreibtUtf8UndErsetzt) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("SEPAGK.XML"));
  EXPECT_EQ(TextdateiSchreiben(QStringLiteral("alter, längerer Inhalt"), datei), 0);
  EXPECT_EQ(TextdateiSchreiben(QStringLiteral("<Nm>Müller</Nm>"), datei), 0);
  EXPECT_EQ(Inhalt(datei), QByteArray("<Nm>M\xC3\xBCller</Nm>"));
  EXPECT_EQ(QDir(ordner.Pfad()).entryList(QDir::Files), QStringList{QStringLiteral("SEPAGK.XML")})
      << "no temporary file is left behind";
}

TEST(TextdateiSchreiben, FehlerNummernOhneTeilDatei) {
  TestOrdner ordner;
  QString beschreibung;
  EXPECT_EQ(TextdateiSchreiben(QStringLiteral("x"), ordner.Datei(QStringLiteral("fehlt/a.xml")), &beschreibung),
            DateiFehlerNr::PfadNichtGefunden);
  EXPECT_FALSE(beschreibung.isEmpty());
  EXPECT_NE(TextdateiSchreiben(QStringLiteral("x"), ordner.Pfad()), 0) << "a folder cannot be replaced by a file";
  EXPECT_NE(TextdateiSchreiben(QStringLiteral("x"), QString()), 0);
}

// A write that fails half-way (file size limit) leaves the old file as it was.
TEST(TextdateiSchreiben, AbgebrochenesSchreibenLaesstAlteDateiStehen) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("SEPALKBasis.XML"));
  ASSERT_EQ(TextdateiSchreiben(QStringLiteral("alt"), datei), 0);

  int nummer = 0;
  {
    const Dateigroessengrenze grenze(1000);
    nummer = TextdateiSchreiben(QString(100000, QLatin1Char('x')), datei);
  }

  EXPECT_NE(nummer, 0);
  EXPECT_EQ(Inhalt(datei), QByteArray("alt"));
  EXPECT_EQ(QDir(ordner.Pfad()).entryList(QDir::Files), QStringList{QStringLiteral("SEPALKBasis.XML")});
}

}  // namespace
