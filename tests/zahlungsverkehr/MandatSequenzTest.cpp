#include <gtest/gtest.h>

#include "common/Programmzustand.h"
#include "common/TestDatenbank.h"
#include "testsupport/TestOrdner.h"
#include "zahlungsverkehr/MandatSequenz.h"

namespace {

class MandatSequenzVorhandenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_db = SchemaDatenbank(m_ordner.Pfad());
    ASSERT_TRUE(m_db);
  }
  void Zahlung(const QVariant& konto, const QVariant& referenz, int sequenz, int absender = 1, bool erledigt = false) {
    const DbFehler f = m_db->Ausfuehren(
        "INSERT INTO Zahlungen (AbsenderNr, Art, OPKontoNr, MandatReferenz, MandatSequenz, Erledigt) "
        "VALUES (?, 'L', ?, ?, ?, ?)",
        {absender, konto, referenz, sequenz, erledigt});
    ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  }
  TestOrdner m_ordner;
  std::unique_ptr<Datenbank> m_db;
};

TEST_F(MandatSequenzVorhandenTest, OhneOffeneDatenbankEinFehler) {
  Zustand().Zuruecksetzen();
  DbFehler f;
  EXPECT_FALSE(MandatSequenzVorhanden(QStringLiteral("1"), QStringLiteral("M"), 5, f));
  EXPECT_FALSE(f.Ok());
}

TEST_F(MandatSequenzVorhandenTest, SuchtSequenzMinusDrei) {
  Zahlung(QStringLiteral("10001"), QStringLiteral("MANDAT-1"), 2, 7, true);  // another sender, done
  DbFehler f;
  EXPECT_TRUE(MandatSequenzVorhanden(*m_db, QStringLiteral("10001"), QStringLiteral("MANDAT-1"), 5, f));
  EXPECT_TRUE(f.Ok());
  EXPECT_TRUE(MandatSequenzVorhanden(*m_db, QStringLiteral("10001"), QStringLiteral("mandat-1"), 5, f))
      << "text comparison ignores case as the old engine did";
  EXPECT_FALSE(MandatSequenzVorhanden(*m_db, QStringLiteral("10001"), QStringLiteral("MANDAT-1"), 6, f));
  EXPECT_FALSE(MandatSequenzVorhanden(*m_db, QStringLiteral("10002"), QStringLiteral("MANDAT-1"), 5, f));
  EXPECT_TRUE(f.Ok());
  // Limited to one sender: the payment of sender 7 counts for sender 7 only.
  EXPECT_TRUE(MandatSequenzVorhanden(*m_db, QStringLiteral("10001"), QStringLiteral("MANDAT-1"), 5, f, 7));
  EXPECT_FALSE(MandatSequenzVorhanden(*m_db, QStringLiteral("10001"), QStringLiteral("MANDAT-1"), 5, f, 1));
  EXPECT_TRUE(f.Ok());
}

TEST_F(MandatSequenzVorhandenTest, MitFeindlichenWerten) {
  const QString referenz = QStringLiteral("O'Brien' OR '1'='1");
  const QString konto = QStringLiteral("%_*") + QChar(0) + QStringLiteral("'--");
  Zahlung(konto, referenz, 3);
  Zahlung(QStringLiteral("A"), QStringLiteral("B"), 3);
  DbFehler f;
  EXPECT_TRUE(MandatSequenzVorhanden(*m_db, konto, referenz, 6, f));
  EXPECT_FALSE(MandatSequenzVorhanden(*m_db, QStringLiteral("A"), QStringLiteral("' OR '1'='1"), 6, f));
  EXPECT_FALSE(MandatSequenzVorhanden(*m_db, QStringLiteral("%"), QStringLiteral("%"), 6, f));
  EXPECT_FALSE(MandatSequenzVorhanden(*m_db, QString(10000, QLatin1Char('\'')), QString(10000, QLatin1Char('x')), 6, f));
  EXPECT_TRUE(f.Ok());
}

TEST_F(MandatSequenzVorhandenTest, MeldetFehlschlagendeAbfrage) {
  Zahlung(QStringLiteral("A"), QStringLiteral("B"), 2);
  ASSERT_TRUE(m_db->Ausfuehren("ALTER TABLE Zahlungen RENAME TO ZahlungenAlt").Ok());
  DbFehler f;
  EXPECT_FALSE(MandatSequenzVorhanden(*m_db, QStringLiteral("A"), QStringLiteral("B"), 5, f));
  EXPECT_FALSE(f.Ok()) << "a query that cannot run is an error, not 'nothing found'";
  EXPECT_FALSE(f.Beschreibung.isEmpty());
}

}  // namespace
