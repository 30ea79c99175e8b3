#include <gtest/gtest.h>

#include <string>

#include "zahlungsverkehr/GlaeubigerId.h"

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

// Check digits below 10 are written with their leading zero ("05"); 00 and 01 never occur (they
// are 97 and 98 modulo 97, as 99 is 02).
INSTANTIATE_TEST_SUITE_P(
    PruefzifferUnterZehn, GlaeubigerIdTabelle,
    ::testing::Values(IdFall{"Deutsch02", "DE02ZZZ01000395950", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Deutsch03", "DE03ZZZ01000641439", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Deutsch04", "DE04ZZZ01000118785", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Deutsch05", "DE05ZZZ01000364274", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Deutsch06", "DE06ZZZ01000609763", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Deutsch07", "DE07ZZZ01000087109", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Deutsch08", "DE08ZZZ01000332598", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Deutsch09", "DE09ZZZ01000578087", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Deutsch05MitLeerzeichen", "DE05 ZZZ0 1000 3642 74", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Oesterreich03", "AT03ZZZ10000015838", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Niederlande06", "NL06ZZZ100000023757", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Frankreich09", "FR09ZZZ242542", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Deutsch05Als04", "DE04ZZZ01000364274", GlaeubigerId::Fehler::Pruefziffer},
                      IdFall{"Deutsch05Als06", "DE06ZZZ01000364274", GlaeubigerId::Fehler::Pruefziffer},
                      IdFall{"Deutsch05Als50", "DE50ZZZ01000364274", GlaeubigerId::Fehler::Pruefziffer},
                      IdFall{"Deutsch05OhneNull", "DE5ZZZ01000364274", GlaeubigerId::Fehler::Aufbau},
                      IdFall{"Deutsch97", "DE97ZZZ01000673115", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Deutsch97Als00", "DE00ZZZ01000673115", GlaeubigerId::Fehler::Pruefziffer},
                      IdFall{"Deutsch98", "DE98ZZZ01000150461", GlaeubigerId::Fehler::Keiner},
                      IdFall{"Deutsch98Als01", "DE01ZZZ01000150461", GlaeubigerId::Fehler::Pruefziffer},
                      IdFall{"Deutsch02Als99", "DE99ZZZ01000395950", GlaeubigerId::Fehler::Pruefziffer}),
    [](const ::testing::TestParamInfo<IdFall>& info) { return std::string(info.param.name); });

TEST(GlaeubigerId, GespeichertOhneLeerzeichenInGrossbuchstaben) {
  EXPECT_EQ(GlaeubigerId(u" de98 zzz0 9999 9999 99").Text(), QStringLiteral("DE98ZZZ09999999999"));
  EXPECT_EQ(GlaeubigerId(u"AT61ZZZ01234567890").Land(), QStringLiteral("AT"));
}

}  // namespace
