#include <QFile>

#include <gtest/gtest.h>

#include "testsupport/SchemaPruefung.h"
#include "testsupport/TestOrdner.h"

namespace {

void Schreiben(const QString& pfad, const QByteArray& inhalt) {
  QFile f(pfad);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(inhalt);
}

}  // namespace

TEST(SchemaPruefung, IsoSchemasLiegenImBuildBaum) {
  EXPECT_FALSE(SchemaPruefung::IsoSchemaOrdner().isEmpty())
      << "make test entpackt die ISO-Schemas nach TAMO_SCHEMA_DIR";
}

TEST(SchemaPruefung, LeereNachrichtWirdAbgewiesen) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("leer.xml"));
  Schreiben(datei, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                   "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.001.001.03\"><CstmrCdtTrfInitn/></Document>");
  const QStringList fehler = SchemaPruefung::Pruefen(datei, QStringLiteral("pain.001.001.03"));
  EXPECT_FALSE(fehler.isEmpty());
}

TEST(SchemaPruefung, KeinXmlIstEinFehler) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("kaputt.xml"));
  Schreiben(datei, "kein xml");
  const QStringList fehler = SchemaPruefung::Pruefen(datei, QStringLiteral("pain.008.001.02"));
  EXPECT_FALSE(fehler.isEmpty());
}
