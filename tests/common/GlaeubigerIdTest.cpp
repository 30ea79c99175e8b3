#include <gtest/gtest.h>

#include <string>

#include "common/GlaeubigerId.h"

namespace {

struct IdFall {
  const char* name;
  const char* eingabe;
  GlaeubigerId::Fehler fehler;
};

class GlaeubigerIdTabelle : public ::testing::TestWithParam<IdFall> {};

TEST_P(GlaeubigerIdTabelle, Pruefen) {
  const GlaeubigerId id(QString::fromUtf8(GetParam().eingabe));
  EXPECT_EQ(id.Pruefen(), GetParam().fehler) << id.Text().toStdString();
  EXPECT_EQ(GlaeubigerId::Meldung(id.Pruefen()).isEmpty(), GetParam().fehler == GlaeubigerId::Fehler::Keiner);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, GlaeubigerIdTabelle,
    ::testing::Values(IdFall{"DeutscheBundesbankBeispiel", "DE98ZZZ09999999999", GlaeubigerId::Fehler::Keiner},
                      IdFall{"DeutschKleinUndLeerzeichen", " de98 zzz0 9999 9999 99 ", GlaeubigerId::Fehler::Keiner},
                      // The business code takes no part in the check.
                      IdFall{"DeutschGeschaeftsbereich", "DE98ABC09999999999", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Oesterreich", "AT61ZZZ01234567890", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Niederlande", "NL69ZZZ123456780000", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Italien", "IT22ZZZRSSMRA80A01H501U", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Spanien", "ES97ZZZB12345678", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Frankreich", "FR72ZZZ123456", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Leer", "", GlaeubigerId::Fehler::Fehlt},
                      IdFall{"DeutschPruefziffer", "DE97ZZZ09999999999", GlaeubigerId::Fehler::Pruefziffer},
                      IdFall{"DeutschKennung", "DE98ZZZ09999999998", GlaeubigerId::Fehler::Pruefziffer},
                      IdFall{"OesterreichPruefziffer", "AT62ZZZ01234567890", GlaeubigerId::Fehler::Pruefziffer},
                      IdFall{"NiederlandePruefziffer", "NL68ZZZ123456780000", GlaeubigerId::Fehler::Pruefziffer},
                      IdFall{"ItalienPruefziffer", "IT23ZZZRSSMRA80A01H501U", GlaeubigerId::Fehler::Pruefziffer},
                      IdFall{"SpanienPruefziffer", "ES97ZZZB12345679", GlaeubigerId::Fehler::Pruefziffer},
                      IdFall{"DeutschSiebzehn", "DE98ZZZ0999999999", GlaeubigerId::Fehler::Laenge},
                      IdFall{"DeutschNeunzehn", "DE98ZZZ099999999990", GlaeubigerId::Fehler::Laenge},
                      IdFall{"OhneKennung", "DE98ZZZ", GlaeubigerId::Fehler::Aufbau},
                      IdFall{"Schraegstrich", "DE98ZZZ0999999999/", GlaeubigerId::Fehler::Aufbau},
                      IdFall{"PruefzifferVorLand", "98DEZZZ09999999999", GlaeubigerId::Fehler::Aufbau},
                      IdFall{"KeinSepaLand", "US12ZZZ123456", GlaeubigerId::Fehler::Land}),
    [](const ::testing::TestParamInfo<IdFall>& info) { return std::string(info.param.name); });

TEST(GlaeubigerId, GespeichertOhneLeerzeichenInGrossbuchstaben) {
  EXPECT_EQ(GlaeubigerId(u" de98 zzz0 9999 9999 99").Text(), QStringLiteral("DE98ZZZ09999999999"));
  EXPECT_EQ(GlaeubigerId(u"AT61ZZZ01234567890").Land(), QStringLiteral("AT"));
}

}  // namespace
