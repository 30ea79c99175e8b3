#include <gtest/gtest.h>

#include <string>

#include "zahlungsverkehr/Bic.h"

namespace {

struct BicFall {
  const char* name;
  const char* eingabe;
  Bic::Fehler fehler;
};

class BicTabelle : public ::testing::TestWithParam<BicFall> {};

TEST_P(BicTabelle, Pruefen) {
  const Bic bic(QString::fromUtf8(GetParam().eingabe));
  EXPECT_EQ(bic.Pruefen(), GetParam().fehler) << bic.Text().toStdString();
  EXPECT_EQ(Bic::Meldung(bic.Pruefen()).isEmpty(), GetParam().fehler == Bic::Fehler::Keiner);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, BicTabelle,
    ::testing::Values(BicFall{"DeutscheOhneFiliale", "DEUTDEFF", Bic::Fehler::Keiner},
                      BicFall{"DeutscheMitFiliale", "DEUTDEFF500", Bic::Fehler::Keiner},
                      BicFall{"FilialeXXX", "COBADEFFXXX", Bic::Fehler::Keiner},
                      BicFall{"Bundesbank", "MARKDEF1100", Bic::Fehler::Keiner},
                      BicFall{"Schweiz", "UBSWCHZH80A", Bic::Fehler::Keiner},
                      BicFall{"Kleinbuchstaben", "cobadeffxxx", Bic::Fehler::Keiner},
                      BicFall{"MitLeerzeichen", " COBA DE FF ", Bic::Fehler::Keiner},
                      BicFall{"Leer", "", Bic::Fehler::Fehlt},
                      BicFall{"NurZiffern", "12345678", Bic::Fehler::Bankcode},
                      BicFall{"NeunZeichen", "COBADEFFX", Bic::Fehler::Laenge},
                      BicFall{"ZehnZeichen", "COBADEFFXX", Bic::Fehler::Laenge},
                      BicFall{"FalscheLandbuchstaben", "COBAXXFF", Bic::Fehler::Land},
                      BicFall{"ZifferImLand", "COBAD1FF", Bic::Fehler::Land},
                      BicFall{"OrtBeginntMitNull", "COBADE0F", Bic::Fehler::Ort},
                      BicFall{"FilialeMitSonderzeichen", "COBADEFF-01", Bic::Fehler::Filiale}),
    [](const ::testing::TestParamInfo<BicFall>& info) { return std::string(info.param.name); });

TEST(Bic, XxxIstGleichOhneFiliale) {
  EXPECT_TRUE(Bic(u"COBADEFFXXX") == Bic(u"COBADEFF"));
  EXPECT_TRUE(Bic(u"cobadeff") == Bic(u"COBADEFFXXX"));
  EXPECT_FALSE(Bic(u"COBADEFF500") == Bic(u"COBADEFF"));
  EXPECT_FALSE(Bic(u"COBADEFFXXX") == Bic(u"COBADEFGXXX"));
  EXPECT_EQ(Bic(u"COBADEFFXXX").Vergleichsform(), QStringLiteral("COBADEFF"));
  EXPECT_EQ(Bic(u"COBADEFF").Land(), QStringLiteral("DE"));
}

TEST(Bic, MeldungenNennenDieStelle) {
  EXPECT_EQ(Bic::Meldung(Bic::Fehler::Laenge), QStringLiteral("Die BIC muss 8 oder 11 Zeichen lang sein."));
  EXPECT_EQ(Bic::Meldung(Bic::Fehler::Fehlt), QStringLiteral("Die BIC fehlt noch."));
  EXPECT_TRUE(Bic::Meldung(Bic::Fehler::Land).contains(QStringLiteral("5 und 6")));
}

}  // namespace
