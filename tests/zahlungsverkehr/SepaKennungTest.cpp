#include <gtest/gtest.h>

#include <string>

#include "zahlungsverkehr/MandatReferenz.h"
#include "zahlungsverkehr/SepaKennung.h"

namespace {

using Fehler = SepaKennung::Fehler;

struct KennungFall {
  const char* name;
  const char* text;
  Fehler fehler;
};

class KennungTabelle : public ::testing::TestWithParam<KennungFall> {};

TEST_P(KennungTabelle, Pruefen) {
  EXPECT_EQ(SepaKennung(QString::fromUtf8(GetParam().text)).Pruefen(), GetParam().fehler) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, KennungTabelle,
    ::testing::Values(KennungFall{"Einfach", "R100", Fehler::Keiner},
                      KennungFall{"AlleErlaubtenZeichen", "abc +?/-:().,' XYZ 09", Fehler::Keiner},
                      KennungFall{"SchraegstrichInnen", "M/2024/1", Fehler::Keiner},
                      KennungFall{"Genau35", "12345678901234567890123456789012345", Fehler::Keiner},
                      KennungFall{"Leer", "", Fehler::Leer},
                      KennungFall{"Zeichen36", "123456789012345678901234567890123456", Fehler::ZuLang},
                      KennungFall{"Umlaut", "Müller-1", Fehler::Zeichen},
                      KennungFall{"Und", "M&1", Fehler::Zeichen},
                      KennungFall{"Unterstrich", "M_1", Fehler::Zeichen},
                      KennungFall{"Raute", "R#1", Fehler::Zeichen},
                      KennungFall{"Anfuehrungszeichen", "M\"1", Fehler::Zeichen},
                      KennungFall{"Strichpunkt", "M;1", Fehler::Zeichen},
                      KennungFall{"Senkrechtstrich", "M|1", Fehler::Zeichen},
                      KennungFall{"LeerzeichenVorn", " R1", Fehler::Leerzeichen},
                      KennungFall{"LeerzeichenBeidseitig", " R1 ", Fehler::Leerzeichen},
                      KennungFall{"NurLeerzeichen", "   ", Fehler::Leerzeichen},
                      KennungFall{"SchraegstrichVorn", "/R1", Fehler::Schraegstrich},
                      KennungFall{"SchraegstrichHinten", "R1/", Fehler::Schraegstrich},
                      KennungFall{"SchraegstrichUndDoppelt", "/R1//", Fehler::Schraegstrich},
                      KennungFall{"DoppelterSchraegstrich", "A//B", Fehler::DoppelterSchraegstrich}),
    [](const ::testing::TestParamInfo<KennungFall>& info) { return std::string(info.param.name); });

TEST(SepaKennung, MeldungNenntDasFeld) {
  EXPECT_EQ(SepaKennung::Meldung(Fehler::DoppelterSchraegstrich, QStringLiteral("Die Referenz-Angabe")),
            QStringLiteral("Die Referenz-Angabe darf kein \"//\" enthalten."));
  EXPECT_EQ(SepaKennung::Meldung(Fehler::ZuLang, QStringLiteral("Die Einzel-Referenz")),
            QStringLiteral("Die Einzel-Referenz darf höchstens 35 Zeichen lang sein."));
  EXPECT_TRUE(SepaKennung::Meldung(Fehler::Keiner, QStringLiteral("X")).isEmpty());
}

// A mandate reference is stored and written trimmed; the rest are the identifier's rules.
TEST(MandatReferenz, GetrimmtDannKennungsregeln) {
  EXPECT_EQ(MandatReferenz(u"  M-4711 ").Text(), QStringLiteral("M-4711"));
  EXPECT_TRUE(MandatReferenz(u"  M-4711 ").Gueltig());
  EXPECT_EQ(MandatReferenz(u"   ").Pruefen(), Fehler::Leer);
  EXPECT_EQ(MandatReferenz(QString(35, QLatin1Char('M'))).Pruefen(), Fehler::Keiner);
  EXPECT_EQ(MandatReferenz(QString(36, QLatin1Char('M'))).Pruefen(), Fehler::ZuLang);
  EXPECT_EQ(MandatReferenz(u"A//B").Pruefen(), Fehler::DoppelterSchraegstrich);
  EXPECT_EQ(MandatReferenz(u"/M1").Pruefen(), Fehler::Schraegstrich);
  EXPECT_EQ(MandatReferenz(u"M1/").Pruefen(), Fehler::Schraegstrich);
  EXPECT_EQ(MandatReferenz(u"Müller").Pruefen(), Fehler::Zeichen);
  EXPECT_EQ(MandatReferenz::Meldung(Fehler::Leer), QStringLiteral("Die Mandat-Referenz muss zwingend angegeben werden!"));
  EXPECT_EQ(MandatReferenz::Meldung(Fehler::Schraegstrich),
            QStringLiteral("Die Mandat-Referenz darf nicht mit \"/\" beginnen oder enden."));
}

}  // namespace
