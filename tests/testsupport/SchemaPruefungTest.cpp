#include <QFile>

#include <gtest/gtest.h>

#include "testsupport/SchemaPruefung.h"
#include "testsupport/TestOrdner.h"

// The tests' check is the program's own over the schemas it ships: it must find them and refuse what they
// refuse, for every message.

TEST(SchemaPruefung, SchemasLiegenInDenRessourcen) {
  const QString ordner = SchemaPruefung::SchemaOrdner();
  ASSERT_FALSE(ordner.isEmpty());
  EXPECT_TRUE(QFile::exists(ordner + QStringLiteral("/pain.001.001.09_GBIC_5.xsd")));
}

TEST(SchemaPruefung, LeereNachrichtWirdVonBeidenSchemasAbgewiesen) {
  for (const char* nachricht : {"pain.001.001.03", "pain.001.001.09"}) {
    const QByteArray inhalt = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                                "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:") +
                              nachricht + QByteArrayLiteral("\"><CstmrCdtTrfInitn/></Document>");
    const QStringList fehler = SchemaPruefung::PruefenInhalt(inhalt, QString::fromLatin1(nachricht));
    ASSERT_EQ(fehler.size(), 2) << nachricht;
    EXPECT_TRUE(fehler.at(0).startsWith(QLatin1String("ISO: "))) << fehler.at(0).toStdString();
    EXPECT_TRUE(fehler.at(1).startsWith(QLatin1String("DK: "))) << fehler.at(1).toStdString();
  }
}

TEST(SchemaPruefung, KeinXmlIstEinFehler) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("kaputt.xml"));
  TestOrdner::Schreiben(datei, "kein xml");
  for (const char* nachricht : {"pain.008.001.02", "pain.008.001.08"})
    EXPECT_EQ(SchemaPruefung::Pruefen(datei, QString::fromLatin1(nachricht)).size(), 2) << nachricht;
}

TEST(SchemaPruefung, UnbekannteNachrichtIstEinFehler) {
  EXPECT_FALSE(SchemaPruefung::PruefenInhalt("<Document/>", QStringLiteral("pain.001.001.05")).isEmpty());
}
