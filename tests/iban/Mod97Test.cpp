#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "iban/Mod97.h"
#include "IbanTestHilfen.h"

namespace {

TEST(Mod97Test, BekannteIban) {
  EXPECT_EQ(Mod97(u"37040044", u"532013000"), QStringLiteral("DE89370400440532013000"));
  EXPECT_EQ(Mod97(u"37040044", u"0532013000"), QStringLiteral("DE89370400440532013000"));
}

TEST(Mod97Test, ZufaelligeEingabenGegenIso7064) {
  QRandomGenerator zufall(20150608);
  for (int i = 0; i < 2000; ++i) {
    const QString blz = QString::number(10000000 + zufall.bounded(89999999));
    const QString konto = QString::number(zufall.bounded(Q_INT64_C(1), Q_INT64_C(10000000000)));
    const QString iban = Mod97(blz, konto);
    ASSERT_EQ(iban.size(), 22) << blz.toStdString() << " " << konto.toStdString();
    ASSERT_TRUE(IbanPruefzifferOk(iban)) << iban.toStdString();
    ASSERT_EQ(iban, ErwarteteIban(blz, konto));
  }
}

TEST(Mod97Test, KontoWirdMitNullenAufgefuellt) {
  const QString iban = Mod97(u"37040044", u"1");
  EXPECT_EQ(iban.mid(4), QStringLiteral("370400440000000001"));
  EXPECT_TRUE(IbanPruefzifferOk(iban));
}

TEST(Mod97Test, LeerzeichenWerdenEntferntVorDemAuffuellen) {
  EXPECT_EQ(Mod97(u"3704 0044", u" 532 013 000"), QStringLiteral("DE89370400440532013000"));
}

TEST(Mod97Test, UeberlangesKontoBehaeltDieLetztenZehnZiffern) {
  EXPECT_EQ(Mod97(u"37040044", u"990532013000"), QStringLiteral("DE89370400440532013000"));
}

TEST(Mod97Test, LeeresKontoGibtZehnNullen) {
  const QString iban = Mod97(u"37040044", u"");
  EXPECT_EQ(iban.mid(12), QStringLiteral("0000000000"));
  EXPECT_TRUE(IbanPruefzifferOk(iban));
}

TEST(Mod97Test, AnderesAlsZiffernGibtKeineIban) {
  EXPECT_TRUE(Mod97(u"37040044", u"12a4").isEmpty());
  EXPECT_TRUE(Mod97(u"3704004X", u"1234").isEmpty());
  EXPECT_EQ(Mod97Rest(u"12x"), -1);
}

TEST(Mod97Test, RestZiffernweise) {
  EXPECT_EQ(Mod97Rest(u""), 0);
  EXPECT_EQ(Mod97Rest(u"96"), 96);
  EXPECT_EQ(Mod97Rest(u"97"), 0);
  EXPECT_EQ(Mod97Rest(u"370400440532013000131400"), 98 - 89);
}

// Remainder 96 gives 02, remainder 0 gives 98: the check digits stay within 02..98.
TEST(Mod97Test, PruefzifferGrenzen) {
  bool rest96 = false;
  bool rest0 = false;
  for (int konto = 1; konto < 100000 && !(rest96 && rest0); ++konto) {
    const QString kontoText = QString::number(konto);
    const int rest = Mod97Rest(QString(QStringLiteral("37040044") + kontoText.rightJustified(10, QLatin1Char('0')) +
                                       QStringLiteral("131400")));
    const QString iban = Mod97(u"37040044", kontoText);
    if (rest == 96) {
      rest96 = true;
      EXPECT_EQ(iban.mid(2, 2), QStringLiteral("02"));
    }
    if (rest == 0) {
      rest0 = true;
      EXPECT_EQ(iban.mid(2, 2), QStringLiteral("98"));
    }
    ASSERT_TRUE(IbanPruefzifferOk(iban));
  }
  EXPECT_TRUE(rest96 && rest0);
}

}  // namespace
