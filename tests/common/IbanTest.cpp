#include <gtest/gtest.h>

#include <string>

#include "common/Iban.h"

namespace {

// A real-world IBAN of every country of the SEPA list (IBAN registry examples).
struct LandFall {
  const char* iban;
  bool ewr;
};

const LandFall SepaIbans[] = {
    {"AD1200012030200359100100", false},       {"AL47212110090000000235698741", false},
    {"AT611904300234573201", true},            {"BE68539007547034", true},
    {"BG80BNBG96611020345678", true},          {"CH9300762011623852957", false},
    {"CY17002001280000001200527600", true},    {"CZ6508000000192000145399", true},
    {"DE89370400440532013000", true},          {"DK5000400440116243", true},
    {"EE382200221020145685", true},            {"ES9121000418450200051332", true},
    {"FI2112345600000785", true},              {"FR1420041010050500013M02606", true},
    {"GB29NWBK60161331926819", false},         {"GI75NWBK000000007099453", false},
    {"GR1601101250000000012300695", true},     {"HR1210010051863000160", true},
    {"HU42117730161111101800000000", true},    {"IE29AIBK93115212345678", true},
    {"IS140159260076545510730339", true},      {"IT60X0542811101000000123456", true},
    {"LI21088100002324013AA", true},           {"LT121000011101001000", true},
    {"LU280019400644750000", true},            {"LV80BANK0000435195001", true},
    {"MC5811222000010123456789030", false},    {"MD24AG000225100013104168", false},
    {"ME25505000012345678951", false},         {"MK07250120000058984", false},
    {"MT84MALT011000012345MTLCAST001S", true}, {"NL91ABNA0417164300", true},
    {"NO9386011117947", true},                 {"PL61109010140000071219812874", true},
    {"PT50000201231234567890154", true},       {"RO49AAAA1B31007593840000", true},
    {"RS35260005601001611379", false},         {"SE4550000000058398257466", true},
    {"SI56263300012039086", true},             {"SK3112000000198742637541", true},
    {"SM86U0322509800000000270100", false},    {"VA59001123000012345678", false},
};

std::string Landname(const ::testing::TestParamInfo<LandFall>& info) { return std::string(info.param.iban, 2); }

class IbanJeLand : public ::testing::TestWithParam<LandFall> {};

TEST_P(IbanJeLand, GueltigMitLaengeUndEwr) {
  const Iban iban(QString::fromLatin1(GetParam().iban));
  EXPECT_EQ(iban.Pruefen(), Iban::Fehler::Keiner);
  const auto land = Iban::SepaLandSuchen(iban.Land());
  ASSERT_TRUE(land);
  EXPECT_EQ(land->laenge, iban.Text().size());
  EXPECT_EQ(land->ewr, GetParam().ewr);
  EXPECT_EQ(iban.BicPflicht(), !GetParam().ewr);
}

// Each check digit pair but one fails: the next pair up (or 02 after 98) is always wrong.
TEST_P(IbanJeLand, FalschePruefziffer) {
  QString text = QString::fromLatin1(GetParam().iban);
  const int pruefziffer = text.mid(2, 2).toInt();
  text.replace(2, 2, QString::number(pruefziffer == 98 ? 2 : pruefziffer + 1).rightJustified(2, QLatin1Char('0')));
  EXPECT_EQ(Iban(text).Pruefen(), Iban::Fehler::Pruefziffer) << text.toStdString();
}

// A swapped pair of neighbouring digits in the account part is caught too.
TEST_P(IbanJeLand, VertauschteZiffern) {
  QString text = QString::fromLatin1(GetParam().iban);
  for (qsizetype i = text.size() - 2; i >= 4; --i) {
    if (text.at(i) != text.at(i + 1) && text.at(i).isDigit() && text.at(i + 1).isDigit()) {
      std::swap(text[i], text[i + 1]);
      EXPECT_EQ(Iban(text).Pruefen(), Iban::Fehler::Pruefziffer) << text.toStdString();
      return;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SepaLaender, IbanJeLand, ::testing::ValuesIn(SepaIbans), Landname);

TEST(Iban, ListeHatJedesLandGenauEinmal) {
  EXPECT_EQ(std::size(SepaIbans), 42u);
  EXPECT_FALSE(Iban::SepaLandSuchen(u"US"));
  EXPECT_FALSE(Iban::SepaLandSuchen(u"de"));
  EXPECT_FALSE(Iban::SepaLandSuchen(u"JE"));  // Jersey uses British IBANs
}

struct FehlerFall {
  const char* name;
  const char* eingabe;
  Iban::Fehler fehler;
  const char* meldung;
};

class IbanFehler : public ::testing::TestWithParam<FehlerFall> {};

TEST_P(IbanFehler, FehlerUndMeldung) {
  const Iban iban(QString::fromUtf8(GetParam().eingabe));
  EXPECT_EQ(iban.Pruefen(), GetParam().fehler);
  EXPECT_EQ(Iban::Meldung(iban.Pruefen()), QString::fromUtf8(GetParam().meldung));
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, IbanFehler,
    ::testing::Values(
        FehlerFall{"Leer", "", Iban::Fehler::Fehlt, "Die IBAN fehlt noch komplett."},
        FehlerFall{"NurLeerzeichen", "    ", Iban::Fehler::Fehlt, "Die IBAN fehlt noch komplett."},
        FehlerFall{"VierzehnZeichen", "DE893704004405", Iban::Fehler::ZuKurz,
                   "Die IBAN ist zu kurz. Es sind mindestens 15 Zeichen notwendig."},
        FehlerFall{"FuenfzehnZeichenDe", "DE8937040044053", Iban::Fehler::FalscheLaenge,
                   "Die IBAN hat nicht die für das jeweilige Land definierte Länge."},
        FehlerFall{"UnbekanntesLand", "XX89370400440532013000", Iban::Fehler::UnbekanntesLand,
                   "Die IBAN fängt mit 2 unbekannten Zeichen an."},
        FehlerFall{"LandAusserhalbSepa", "BR1800360305000010009795493C1", Iban::Fehler::UnbekanntesLand,
                   "Die IBAN fängt mit 2 unbekannten Zeichen an."},
        FehlerFall{"ZiffernStattLand", "1289370400440532013000", Iban::Fehler::UnbekanntesLand,
                   "Die IBAN fängt mit 2 unbekannten Zeichen an."},
        FehlerFall{"EinZeichenZuviel", "DE893704004405320130001", Iban::Fehler::FalscheLaenge,
                   "Die IBAN hat nicht die für das jeweilige Land definierte Länge."},
        FehlerFall{"BuchstabenAlsPruefziffer", "DEXX370400440532013000", Iban::Fehler::Zeichen,
                   "Die IBAN enthält ungültige Zeichen."},
        FehlerFall{"Sonderzeichen", "DE89370400440532013-00", Iban::Fehler::Zeichen,
                   "Die IBAN enthält ungültige Zeichen."},
        FehlerFall{"Umlaut", "DE8937040044053201300Ä", Iban::Fehler::Zeichen, "Die IBAN enthält ungültige Zeichen."},
        FehlerFall{"Pruefziffer", "DE89370400440532013001", Iban::Fehler::Pruefziffer,
                   "Die Prüfziffer der IBAN ist falsch."},
        FehlerFall{"Gueltig", "DE89370400440532013000", Iban::Fehler::Keiner, ""}),
    [](const ::testing::TestParamInfo<FehlerFall>& info) { return std::string(info.param.name); });

TEST(Iban, KleinbuchstabenUndLeerzeichenWerdenNormalisiert) {
  const Iban iban(u" de89 3704 0044\t0532 0130 00 ");
  EXPECT_EQ(iban.Text(), QStringLiteral("DE89370400440532013000"));
  EXPECT_TRUE(iban.Gueltig());
  EXPECT_EQ(iban.Land(), QStringLiteral("DE"));
  EXPECT_EQ(Iban(u"ch93 0076 2011 6238 5295 7").Text(), QStringLiteral("CH9300762011623852957"));
}

TEST(Iban, BloeckeZuVier) {
  EXPECT_EQ(Iban(u"DE89370400440532013000").Bloecke(), QStringLiteral("DE89 3704 0044 0532 0130 00"));
  EXPECT_EQ(Iban(u"BE68 5390 0754 7034").Bloecke(), QStringLiteral("BE68 5390 0754 7034"));
  EXPECT_EQ(Iban(u"MT84MALT011000012345MTLCAST001S").Bloecke(),
            QStringLiteral("MT84 MALT 0110 0001 2345 MTLC AST0 01S"));
  EXPECT_EQ(Iban().Bloecke(), QString());
}

TEST(Iban, BicPflichtNurAusserhalbDesEwr) {
  EXPECT_TRUE(Iban(u"GB29NWBK60161331926819").BicPflicht());
  EXPECT_TRUE(Iban(u"CH9300762011623852957").BicPflicht());
  EXPECT_FALSE(Iban(u"DE89370400440532013000").BicPflicht());
  EXPECT_FALSE(Iban(u"LI21088100002324013AA").BicPflicht());   // EEA, though outside the EU
  EXPECT_FALSE(Iban(u"XX89370400440532013000").BicPflicht());  // unknown: the IBAN itself is refused
  EXPECT_FALSE(Iban().BicPflicht());
}

}  // namespace
