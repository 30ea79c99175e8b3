#include <gtest/gtest.h>

#include <string>

#include "zahlungsverkehr/Iban.h"
#include "iban/Kennungsform.h"

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

// The account part of every country against the IBAN registry's form: an IBAN whose check digits are right
// but whose account part breaks its country's form (a letter where digits stand, a digit where letters stand)
// is refused for that, and the message names the form. Moldova's account part takes letters and digits
// everywhere: any of them passes.
struct KontoFall {
  const char* gueltig;   // a valid IBAN of the country
  const char* falsch;    // its account part with one character of the wrong class; "" where none can be
  const char* aufbau;    // the form in words
};

const KontoFall Kontofaelle[] = {
    {"AD1200012030200359100100", "0001A030200359100100", "8 Ziffern, 12 Buchstaben oder Ziffern"},
    {"AL47212110090000000235698741", "2121100X0000000235698741", "8 Ziffern, 16 Buchstaben oder Ziffern"},
    {"AT611904300234573201", "190430023457320A", "16 Ziffern"},
    {"BE68539007547034", "53900754703A", "12 Ziffern"},
    {"BG80BNBG96611020345678", "BNB396611020345678", "4 Buchstaben, 6 Ziffern, 8 Buchstaben oder Ziffern"},
    {"CH9300762011623852957", "0076A011623852957", "5 Ziffern, 12 Buchstaben oder Ziffern"},
    {"CY17002001280000001200527600", "0020012A0000001200527600", "8 Ziffern, 16 Buchstaben oder Ziffern"},
    {"CZ6508000000192000145399", "0800000019200014539X", "20 Ziffern"},
    {"DE89370400440532013000", "37040044053201300A", "18 Ziffern"},
    {"DK5000400440116243", "004004401162A3", "14 Ziffern"},
    {"EE382200221020145685", "22002210201456A5", "16 Ziffern"},
    {"ES9121000418450200051332", "2100041845020005133A", "20 Ziffern"},
    {"FI2112345600000785", "1234560000078A", "14 Ziffern"},
    {"FR1420041010050500013M02606", "20041010050500013M026A6",
     "10 Ziffern, 11 Buchstaben oder Ziffern, 2 Ziffern"},
    {"GB29NWBK60161331926819", "NWB160161331926819", "4 Buchstaben, 14 Ziffern"},
    {"GI75NWBK000000007099453", "NWB1000000007099453", "4 Buchstaben, 15 Buchstaben oder Ziffern"},
    {"GR1601101250000000012300695", "011012A0000000012300695", "7 Ziffern, 16 Buchstaben oder Ziffern"},
    {"HR1210010051863000160", "1001005186300016A", "17 Ziffern"},
    {"HU42117730161111101800000000", "11773016111110180000000A", "24 Ziffern"},
    {"IE29AIBK93115212345678", "AIB193115212345678", "4 Buchstaben, 14 Ziffern"},
    {"IS140159260076545510730339", "015926007654551073033A", "22 Ziffern"},
    {"IT60X0542811101000000123456", "10542811101000000123456",
     "1 Buchstabe, 10 Ziffern, 12 Buchstaben oder Ziffern"},
    {"LI21088100002324013AA", "0881A0002324013AA", "5 Ziffern, 12 Buchstaben oder Ziffern"},
    {"LT121000011101001000", "100001110100100A", "16 Ziffern"},
    {"LU280019400644750000", "00A9400644750000", "3 Ziffern, 13 Buchstaben oder Ziffern"},
    {"LV80BANK0000435195001", "BAN10000435195001", "4 Buchstaben, 13 Buchstaben oder Ziffern"},
    {"MC5811222000010123456789030", "1122200001012345678903A",
     "10 Ziffern, 11 Buchstaben oder Ziffern, 2 Ziffern"},
    {"MD24AG000225100013104168", "", "20 Buchstaben oder Ziffern"},
    {"ME25505000012345678951", "50500001234567895A", "18 Ziffern"},
    {"MK07250120000058984", "25A120000058984", "3 Ziffern, 10 Buchstaben oder Ziffern, 2 Ziffern"},
    {"MT84MALT011000012345MTLCAST001S", "MALT0110A0012345MTLCAST001S",
     "4 Buchstaben, 5 Ziffern, 18 Buchstaben oder Ziffern"},
    {"NL91ABNA0417164300", "ABN10417164300", "4 Buchstaben, 10 Ziffern"},
    {"NO9386011117947", "8601111794A", "11 Ziffern"},
    {"PL61109010140000071219812874", "10901014000007121981287A", "24 Ziffern"},
    {"PT50000201231234567890154", "00020123123456789015A", "21 Ziffern"},
    {"RO49AAAA1B31007593840000", "AAA11B31007593840000", "4 Buchstaben, 16 Buchstaben oder Ziffern"},
    {"RS35260005601001611379", "26000560100161137A", "18 Ziffern"},
    {"SE4550000000058398257466", "5000000005839825746A", "20 Ziffern"},
    {"SI56263300012039086", "26330001203908A", "15 Ziffern"},
    {"SK3112000000198742637541", "120000001987426375A1", "20 Ziffern"},
    {"SM86U0322509800000000270100", "10322509800000000270100",
     "1 Buchstabe, 10 Ziffern, 12 Buchstaben oder Ziffern"},
    {"VA59001123000012345678", "00112300001234567A", "18 Ziffern"},
};

// The IBAN of `land` and `konto` with the right check digits.
QString MitPruefziffern(const QString& land, const QString& konto) {
  return land + Kennungsform::Pruefziffern(konto, land) + konto;
}

std::string Kontoland(const ::testing::TestParamInfo<KontoFall>& info) { return std::string(info.param.gueltig, 2); }

class KontoaufbauJeLand : public ::testing::TestWithParam<KontoFall> {};

TEST_P(KontoaufbauJeLand, FalscheZeichenklasseTrotzRichtigerPruefziffer) {
  const KontoFall& fall = GetParam();
  const QString gueltig = QString::fromLatin1(fall.gueltig);
  const QString land = gueltig.left(2);
  EXPECT_EQ(Iban(gueltig).Pruefen(), Iban::Fehler::Keiner);
  const auto eintrag = Iban::SepaLandSuchen(land);
  ASSERT_TRUE(eintrag);
  EXPECT_EQ(Iban::KontoaufbauText(eintrag->aufbau), QString::fromUtf8(fall.aufbau));
  const QString falsch = QString::fromLatin1(fall.falsch);
  if (falsch.isEmpty()) {
    // Letters wherever the valid one has digits: still the country's form.
    QString buchstaben = gueltig.mid(4);
    for (QChar& c : buchstaben)
      if (c.isDigit()) c = QLatin1Char('K');
    EXPECT_EQ(Iban(MitPruefziffern(land, buchstaben)).Pruefen(), Iban::Fehler::Keiner);
    return;
  }
  ASSERT_EQ(falsch.size(), gueltig.size() - 4);
  const Iban iban(MitPruefziffern(land, falsch));
  EXPECT_EQ(iban.Pruefen(), Iban::Fehler::Kontoaufbau) << iban.Text().toStdString();
  EXPECT_EQ(iban.Meldung(), QStringLiteral("Die Kontoangabe der IBAN entspricht nicht dem Aufbau für das Land %1: nach "
                                           "der Prüfziffer folgen %2.")
                                .arg(land, QString::fromUtf8(fall.aufbau)));
}

INSTANTIATE_TEST_SUITE_P(SepaLaender, KontoaufbauJeLand, ::testing::ValuesIn(Kontofaelle), Kontoland);

TEST(Iban, KontoaufbauJedesLandesPasstZuSeinerLaenge) {
  EXPECT_EQ(std::size(Kontofaelle), std::size(SepaIbans));
  for (const LandFall& l : SepaIbans) {
    const auto eintrag = Iban::SepaLandSuchen(QString::fromLatin1(l.iban, 2));
    ASSERT_TRUE(eintrag);
    int summe = 0;
    QString zahl;
    for (const QChar c : eintrag->aufbau) {
      if (c.isDigit()) {
        zahl += c;
      } else {
        summe += zahl.toInt();
        zahl.clear();
      }
    }
    EXPECT_EQ(summe + 4, eintrag->laenge) << l.iban;
  }
}

TEST(Iban, KontoaufbauNachDerLaengeUndVorDerPruefziffer) {
  // Too short: the length is named, not the form.
  EXPECT_EQ(Iban(u"DE8937040044053201300").Pruefen(), Iban::Fehler::FalscheLaenge);
  // Lower-case letters are capitals once stored.
  EXPECT_EQ(Iban(u"nl91abna0417164300").Pruefen(), Iban::Fehler::Keiner);
  // A wrong form with wrong check digits is named by its form.
  EXPECT_EQ(Iban(u"DE00370400440532O13000").Pruefen(), Iban::Fehler::Kontoaufbau);
  EXPECT_EQ(Iban::Meldung(Iban::Fehler::Kontoaufbau),
            QStringLiteral("Die Kontoangabe der IBAN entspricht nicht dem Aufbau, den ihr Land vorschreibt."));
  EXPECT_EQ(Iban(u"DE89370400440532013000").Meldung(), QString());
}

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
