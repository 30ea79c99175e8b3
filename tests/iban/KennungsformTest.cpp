#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "IbanTestHilfen.h"
#include "iban/Kennungsform.h"

namespace {

using Kennungsform::BicForm;
using Kennungsform::BicFormPruefen;
using Kennungsform::Mod97;
using Kennungsform::Mod97Rest;

TEST(Mod97, BekannteIban) {
  EXPECT_EQ(Mod97(u"37040044", u"532013000"), QStringLiteral("DE89370400440532013000"));
  EXPECT_EQ(Mod97(u"37040044", u"0532013000"), QStringLiteral("DE89370400440532013000"));
}

TEST(Mod97, ZufaelligeEingabenGegenIso7064) {
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

TEST(Mod97, KontoWirdMitNullenAufgefuellt) {
  const QString iban = Mod97(u"37040044", u"1");
  EXPECT_EQ(iban.mid(4), QStringLiteral("370400440000000001"));
  EXPECT_TRUE(IbanPruefzifferOk(iban));
}

TEST(Mod97, LeerzeichenWerdenEntferntVorDemAuffuellen) {
  EXPECT_EQ(Mod97(u"3704 0044", u" 532 013 000"), QStringLiteral("DE89370400440532013000"));
}

TEST(Mod97, UeberlangesKontoBehaeltDieLetztenZehnZiffern) {
  EXPECT_EQ(Mod97(u"37040044", u"990532013000"), QStringLiteral("DE89370400440532013000"));
  // blanks do not count; what is cut off is not looked at, a letter in the ten kept digits is
  EXPECT_EQ(Mod97(u"37040044", u"9 9 0532 013 000 "), QStringLiteral("DE89370400440532013000"));
  EXPECT_EQ(Mod97(u"37040044", u"x0532013000"), QStringLiteral("DE89370400440532013000"));
  EXPECT_TRUE(Mod97(u"37040044", u"0x532013000").isEmpty());
}

TEST(Mod97, LeeresKontoGibtZehnNullen) {
  const QString iban = Mod97(u"37040044", u"");
  EXPECT_EQ(iban.mid(12), QStringLiteral("0000000000"));
  EXPECT_TRUE(IbanPruefzifferOk(iban));
}

TEST(Mod97, AnderesAlsZiffernGibtKeineIban) {
  EXPECT_TRUE(Mod97(u"37040044", u"12a4").isEmpty());
  EXPECT_TRUE(Mod97(u"3704004X", u"1234").isEmpty());
  EXPECT_TRUE(Mod97(u"37040044", u"12A4").isEmpty());  // letters count in Mod97Rest, not in a German BBAN
  EXPECT_EQ(Mod97Rest(u"12x"), -1);
  EXPECT_EQ(Mod97Rest(u"12-3"), -1);
}

// Letters count as two digits (A = 10 ... Z = 35): the rearranged IBAN, as the registry reads it.
TEST(Mod97Rest, BuchstabenAlsZweiZiffern) {
  EXPECT_EQ(Mod97Rest(u"A"), 10);
  EXPECT_EQ(Mod97Rest(u"Z"), 35);
  EXPECT_EQ(Mod97Rest(u"1A"), 110 % 97);
  EXPECT_EQ(Mod97Rest(u"370400440532013000DE89"), 1);
  EXPECT_EQ(Mod97Rest(u"WEST12345698765432GB82"), 1);
  EXPECT_EQ(Mod97Rest(u"370400440532013000DE88"), 0);
}

TEST(Kompakt, OhneLeerzeichenInGrossbuchstaben) {
  EXPECT_EQ(Kennungsform::Kompakt(u" de89 3704\t0044 "), QStringLiteral("DE8937040044"));
  EXPECT_EQ(Kennungsform::Kompakt(u"cobadeffxxx"), QStringLiteral("COBADEFFXXX"));
  EXPECT_EQ(Kennungsform::Kompakt(u"äb-1"), QStringLiteral("ÄB-1"));  // the checks refuse what is left
  EXPECT_EQ(Kennungsform::Kompakt(u""), QString());
}

TEST(Pruefziffern, KoerperUndLand) {
  EXPECT_EQ(Kennungsform::Pruefziffern(u"370400440532013000", u"DE"), QStringLiteral("89"));
  // Creditor identifier: the national part, the business code left out.
  EXPECT_EQ(Kennungsform::Pruefziffern(u"09999999999", u"DE"), QStringLiteral("98"));
  EXPECT_TRUE(Kennungsform::Pruefziffern(u"0999ä", u"DE").isEmpty());
}

TEST(Mod97, RestZiffernweise) {
  EXPECT_EQ(Mod97Rest(u""), 0);
  EXPECT_EQ(Mod97Rest(u"96"), 96);
  EXPECT_EQ(Mod97Rest(u"97"), 0);
  EXPECT_EQ(Mod97Rest(u"370400440532013000131400"), 98 - 89);
}

// Remainder 96 gives 02, remainder 0 gives 98: the check digits stay within 02..98.
TEST(Mod97, PruefzifferGrenzen) {
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

// --- BIC form --------------------------------------------------------------------------------

struct BicFall {
  const char* name;
  const char* bic;
  BicForm erwartet;
};

class BicFormTabelle : public ::testing::TestWithParam<BicFall> {};

TEST_P(BicFormTabelle, Form) {
  EXPECT_EQ(BicFormPruefen(QString::fromUtf8(GetParam().bic)), GetParam().erwartet) << GetParam().bic;
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, BicFormTabelle,
    ::testing::Values(BicFall{"OhneFiliale", "COBADEFF", BicForm::Gueltig},
                      BicFall{"MitFiliale", "DEUTDEFF500", BicForm::Gueltig},
                      BicFall{"FilialeXXX", "COBADEFFXXX", BicForm::Gueltig},
                      BicFall{"OrtMitZiffern", "MARKDEF1100", BicForm::Gueltig},
                      BicFall{"OrtZweiteStelleNull", "DEUTDEF0", BicForm::Gueltig},
                      BicFall{"Schweiz", "UBSWCHZH80A", BicForm::Gueltig},
                      BicFall{"Kosovo", "RBKOXKPR", BicForm::Gueltig},
                      BicFall{"SiebenZeichen", "DEUTDEF", BicForm::Laenge},
                      BicFall{"NeunZeichen", "DEUTDEFF5", BicForm::Laenge},
                      BicFall{"ZehnZeichen", "DEUTDEFF50", BicForm::Laenge},
                      BicFall{"ZwoelfZeichen", "DEUTDEFF5000", BicForm::Laenge},
                      BicFall{"Leer", "", BicForm::Laenge},
                      BicFall{"NurZiffern", "12345678", BicForm::Bankcode},
                      BicFall{"ZifferImBankcode", "DEU1DEFF", BicForm::Bankcode},
                      BicFall{"Kleinbuchstaben", "deutdeff", BicForm::Bankcode},
                      BicFall{"LandMitZiffer", "DEUT1EFF", BicForm::Land},
                      BicFall{"LandUnbekannt", "DEUTXXFF", BicForm::Land},
                      BicFall{"LandDD", "COBADDFF", BicForm::Land},
                      BicFall{"OrtBeginntMitNull", "DEUTDE0F", BicForm::Ort},
                      BicFall{"OrtBeginntMitEins", "DEUTDE1F", BicForm::Ort},
                      BicFall{"OrtEndetMitO", "DEUTDEFO", BicForm::Ort},
                      BicFall{"FilialeSonderzeichen", "DEUTDEFF5-0", BicForm::Filiale},
                      BicFall{"FilialeUmlaut", "DEUTDEFFÄÖÜ", BicForm::Filiale}),
    [](const ::testing::TestParamInfo<BicFall>& info) { return std::string(info.param.name); });

TEST(Laendercode, IsoCodesUndKosovo) {
  for (const char16_t* code : {u"DE", u"CH", u"GB", u"JE", u"GG", u"IM", u"VA", u"XK", u"ZW", u"AD"})
    EXPECT_TRUE(Kennungsform::Laendercode(QStringView(code))) << QString::fromUtf16(code).toStdString();
  for (const char16_t* code : {u"XX", u"DD", u"UK", u"EU", u"de", u"D", u"DEU", u"", u"1E"})
    EXPECT_FALSE(Kennungsform::Laendercode(QStringView(code))) << QString::fromUtf16(code).toStdString();
}

}  // namespace
