#include <gtest/gtest.h>

#include "platform/db/Waehrung.h"
#include "testsupport/Testname.h"

namespace {

struct ParseFall {
  const char* text;
  std::optional<int64_t> roh;
};

class WaehrungParseDeutsch : public ::testing::TestWithParam<ParseFall> {};

TEST_P(WaehrungParseDeutsch, Tabelle) {
  const auto& fall = GetParam();
  const auto w = Waehrung::ParseDeutsch(QString::fromUtf8(fall.text));
  if (fall.roh) {
    ASSERT_TRUE(w.has_value()) << fall.text;
    EXPECT_EQ(w->Roh(), *fall.roh) << fall.text;
  } else {
    EXPECT_FALSE(w.has_value()) << fall.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, WaehrungParseDeutsch,
    ::testing::Values(ParseFall{"1.234,56", 12345600}, ParseFall{"1234,56", 12345600}, ParseFall{"-12,5", -125000},
                      ParseFall{"+12", 120000}, ParseFall{"12", 120000}, ParseFall{"1234,5678", 12345678},
                      ParseFall{"  7,01 ", 70100}, ParseFall{",5", 5000}, ParseFall{"0,0001", 1},
                      ParseFall{"1.234.567,89", 12345678900}, ParseFall{"12,", 120000},
                      ParseFall{"1234,56789", std::nullopt}, ParseFall{"", std::nullopt}, ParseFall{"-", std::nullopt},
                      ParseFall{"12a", std::nullopt}, ParseFall{"1.23,00", std::nullopt},
                      ParseFall{"12.34", std::nullopt}, ParseFall{"1,2,3", std::nullopt},
                      ParseFall{"1234.567,00", std::nullopt}, ParseFall{"--1", std::nullopt},
                      ParseFall{"99999999999999999999", std::nullopt}, ParseFall{"922337203685478", std::nullopt},
                      ParseFall{"922337203685477,5807", INT64_MAX}, ParseFall{"000000000000000000012,5", 125000}),
    [](const auto& info) { return "Eingabe_" + TestnameBuchstabiert(info.param.text); });

// At most 15 integer digits (leading zeros aside). Sixteen would overflow the ten-thousandths anyway;
// the limit decides where the digits are so many that the working value itself wraps around: the
// 38 and 35 digit rows would wrap to exactly 100,00 without it.
struct StellenFall {
  const char* name;
  const char* text;
  std::optional<int64_t> roh;
};

class WaehrungGanzzahlstellen : public ::testing::TestWithParam<StellenFall> {};

TEST_P(WaehrungGanzzahlstellen, DeutschUndInvariant) {
  const StellenFall& fall = GetParam();
  const QString text = QString::fromUtf8(fall.text);
  const std::optional<Waehrung> deutsch = Waehrung::ParseDeutsch(text);
  EXPECT_EQ(deutsch ? std::optional<int64_t>(deutsch->Roh()) : std::nullopt, fall.roh) << fall.text;
  if (text.contains(QLatin1Char('.'))) return;  // the invariant form has no thousands marks
  const std::optional<Waehrung> invariant = Waehrung::ParseInvariant(QString(text).replace(QLatin1Char(','), QLatin1Char('.')));
  EXPECT_EQ(invariant ? std::optional<int64_t>(invariant->Roh()) : std::nullopt, fall.roh) << fall.text;
}

INSTANTIATE_TEST_SUITE_P(
    Grenze, WaehrungGanzzahlstellen,
    ::testing::Values(
        StellenFall{"Fuenfzehn", "922337203685477", 9223372036854770000},
        StellenFall{"FuenfzehnMitPunkten", "922.337.203.685.477,58", 9223372036854775800},
        StellenFall{"FuenfzehnNegativMitNachkomma", "-922337203685477,5808", INT64_MIN},
        StellenFall{"FuenfzehnMitPunktenVorzeichenUndNachkomma", "+100.000.000.000.000,01", 1000000000000000100},
        StellenFall{"SechzehnMitFuehrenderNull", "0.922.337.203.685.477,00", 9223372036854770000},
        StellenFall{"Sechzehn", "1000000000000000", std::nullopt},
        StellenFall{"SechzehnMitPunkten", "1.000.000.000.000.000,00", std::nullopt},
        StellenFall{"SechzehnNegativMitNachkomma", "-1000000000000000,0001", std::nullopt},
        StellenFall{"AchtunddreissigStatt100", "21267647932558653966460912964485513316,00", std::nullopt},
        StellenFall{"AchtunddreissigMitPunkten", "21.267.647.932.558.653.966.460.912.964.485.513.316,00", std::nullopt},
        StellenFall{"AchtunddreissigNegativMitNachkomma", "-21267647932558653966460912964485513316,50", std::nullopt},
        StellenFall{"FuenfunddreissigMitNachkomma", "34028236692093846346337460743176921,1456", std::nullopt}),
    [](const ::testing::TestParamInfo<StellenFall>& info) { return std::string(info.param.name); });

TEST(Waehrung, ParseInvariant) {
  EXPECT_EQ(Waehrung::ParseInvariant(QStringLiteral("1234.56"))->Roh(), 12345600);
  EXPECT_EQ(Waehrung::ParseInvariant(QStringLiteral("-0.5"))->Roh(), -5000);
  EXPECT_FALSE(Waehrung::ParseInvariant(QStringLiteral("1,5")).has_value());
  EXPECT_FALSE(Waehrung::ParseInvariant(QStringLiteral("1.234.5")).has_value());
}

struct FormatFall {
  int64_t roh;
  const char* deutsch;
  const char* ohneTausender;
  const char* invariant;
};

class WaehrungFormat : public ::testing::TestWithParam<FormatFall> {};

TEST_P(WaehrungFormat, Tabelle) {
  const auto& f = GetParam();
  const Waehrung w = Waehrung::AusRoh(f.roh);
  EXPECT_EQ(w.FormatDeutsch(), QString::fromUtf8(f.deutsch));
  EXPECT_EQ(w.FormatDeutsch(false), QString::fromUtf8(f.ohneTausender));
  EXPECT_EQ(w.FormatInvariant(), QString::fromUtf8(f.invariant));
  // the display form reads back to the cent-rounded value
  EXPECT_EQ(Waehrung::ParseDeutsch(w.FormatDeutsch())->Roh(), w.AufCentGerundet().Roh());
}

INSTANTIATE_TEST_SUITE_P(Faelle, WaehrungFormat,
                         ::testing::Values(FormatFall{12345600, "1.234,56", "1234,56", "1234.56"},
                                           FormatFall{-500, "-0,05", "-0,05", "-0.05"},
                                           FormatFall{0, "0,00", "0,00", "0.00"},
                                           FormatFall{12345678900, "1.234.567,89", "1234567,89", "1234567.89"},
                                           FormatFall{1000000, "100,00", "100,00", "100.00"},
                                           FormatFall{10000000, "1.000,00", "1000,00", "1000.00"},
                                           FormatFall{50, "0,01", "0,01", "0.01"},
                                           FormatFall{-50, "-0,01", "-0,01", "-0.01"},
                                           FormatFall{49, "0,00", "0,00", "0.00"},
                                           FormatFall{-49, "0,00", "0,00", "0.00"}),
                         [](const auto& info) { return "Roh" + TestnameBuchstabiert(QString::number(info.param.roh)); });

TEST(Waehrung, FormatMitVierStellen) {
  EXPECT_EQ(Waehrung::AusRoh(12345678).FormatDeutsch(true, 4), QStringLiteral("1.234,5678"));
  EXPECT_EQ(Waehrung::AusRoh(12345678).FormatDeutsch(true, 0), QStringLiteral("1.235"));
  EXPECT_EQ(Waehrung::AusRoh(INT64_MIN + 1).FormatDeutsch(false, 4), QStringLiteral("-922337203685477,5807"));
}

struct RundungsFall {
  int64_t roh;
  int64_t kaufmaennisch;
  int64_t bankers;
};

class WaehrungRundung : public ::testing::TestWithParam<RundungsFall> {};

TEST_P(WaehrungRundung, Tabelle) {
  const auto& f = GetParam();
  EXPECT_EQ(Waehrung::AusRoh(f.roh).AufCentGerundet().Roh(), f.kaufmaennisch) << f.roh;
  EXPECT_EQ(Waehrung::AusRoh(f.roh).AufCentBankers().Roh(), f.bankers) << f.roh;
}

INSTANTIATE_TEST_SUITE_P(Faelle, WaehrungRundung,
                         ::testing::Values(RundungsFall{12350, 12400, 12400},   // 1,2350 -> even up
                                           RundungsFall{12250, 12300, 12200},   // 1,2250 -> even down
                                           RundungsFall{12251, 12300, 12300},
                                           RundungsFall{12249, 12200, 12200},
                                           RundungsFall{-12250, -12300, -12200},
                                           RundungsFall{-12350, -12400, -12400},
                                           RundungsFall{-12251, -12300, -12300},
                                           RundungsFall{50, 100, 0}, RundungsFall{-50, -100, 0},
                                           RundungsFall{150, 200, 200}, RundungsFall{12300, 12300, 12300}),
                         [](const auto& info) { return "Roh" + TestnameBuchstabiert(QString::number(info.param.roh)); });

TEST(Waehrung, ProzentUndSummen) {
  // 2,5 % of 100,00 = 2,50
  EXPECT_EQ(Waehrung::AusEuro(100).Prozent(250), Waehrung::AusCent(250));
  // 3 % of 0,0050 = 0,00015 -> rounds half away from zero at ten-thousandths
  EXPECT_EQ(Waehrung::AusRoh(50).Prozent(300).Roh(), 2);
  EXPECT_EQ(Waehrung::AusRoh(-50).Prozent(300).Roh(), -2);
  // no overflow in the intermediate product
  EXPECT_EQ(Waehrung::AusEuro(100000000000LL).Prozent(10000), Waehrung::AusEuro(100000000000LL));
  // exact sums where double would drift
  Waehrung summe;
  for (int i = 0; i < 1000; ++i) summe += Waehrung::AusCent(10);
  EXPECT_EQ(summe, Waehrung::AusEuro(100));
  EXPECT_TRUE(Waehrung::AusCent(-5).IstNegativ());
  EXPECT_EQ(Waehrung::AusCent(-5).Betrag(), Waehrung::AusCent(5));
  EXPECT_FALSE(Waehrung::AusRoh(12345).IstCentGenau());
}

TEST(Waehrung, ProzentAufCentRundetEinmal) {
  // 3 % of 119,00 = 3,57; 0,1 % of 4,00 = 0,004 -> 0,00
  EXPECT_EQ(Waehrung::AusEuro(119).ProzentAufCent(Waehrung::AusEuro(3)), Waehrung::AusCent(357));
  EXPECT_EQ(Waehrung::AusEuro(4).ProzentAufCent(Waehrung::AusRoh(1000)), Waehrung());
  // 0,5 % of 0,99 = 0,00495: one rounding to the cent gives 0,00 (via ten-thousandths it would be 0,01)
  EXPECT_EQ(Waehrung::AusCent(99).ProzentAufCent(Waehrung::AusRoh(5000)), Waehrung());
  // 2 % of 0,25 = 0,005: half away from zero, for either sign
  EXPECT_EQ(Waehrung::AusCent(25).ProzentAufCent(Waehrung::AusEuro(2)), Waehrung::AusCent(1));
  EXPECT_EQ(Waehrung::AusCent(-25).ProzentAufCent(Waehrung::AusEuro(2)), Waehrung::AusCent(-1));
  EXPECT_EQ(Waehrung::AusCent(-5000).ProzentAufCent(Waehrung::AusEuro(2)), Waehrung::AusCent(-100));
}

// Sums that leave the int64 range never wrap into a plausible amount: the checked forms say so, the
// operators stop at the bound, which lies far outside what the rules let through.
TEST(Waehrung, UeberlaufWirdNichtUmgebrochen) {
  const Waehrung fast = Waehrung::AusRoh(INT64_MAX - 5);
  EXPECT_EQ(Waehrung::Addiert(fast, Waehrung::AusRoh(5)), Waehrung::AusRoh(INT64_MAX));
  EXPECT_EQ(Waehrung::Addiert(fast, Waehrung::AusRoh(6)), std::nullopt);
  EXPECT_EQ(Waehrung::Subtrahiert(-fast, Waehrung::AusRoh(6)), Waehrung::AusRoh(INT64_MIN));
  EXPECT_EQ(Waehrung::Subtrahiert(-fast, Waehrung::AusRoh(7)), std::nullopt);
  EXPECT_EQ(Waehrung::Subtrahiert(Waehrung(), Waehrung::AusRoh(INT64_MIN)), std::nullopt);

  // sibling rests of 9,22e14 EUR: two of them would wrap to a negative amount
  const Waehrung rest = Waehrung::AusEuro(922'000'000'000'000LL);
  EXPECT_EQ((rest + rest).Roh(), INT64_MAX);
  EXPECT_EQ((-rest - rest).Roh(), INT64_MIN);
  EXPECT_EQ((rest - -rest).Roh(), INT64_MAX);
  Waehrung summe = rest;
  summe += rest;
  summe -= Waehrung::AusEuro(1);  // stays at the bound's neighbourhood, never wraps
  EXPECT_GT(summe, rest);
  EXPECT_FALSE(summe.ImBetragsrahmen());
  EXPECT_EQ((-Waehrung::AusRoh(INT64_MIN)).Roh(), INT64_MAX);
  EXPECT_EQ(Waehrung::AusRoh(INT64_MIN).Betrag().Roh(), INT64_MAX);
}

TEST(Waehrung, BetragsrahmenBeidseitig) {
  EXPECT_TRUE(Waehrung::ParseDeutsch(QStringLiteral("999.999.999,99"))->ImBetragsrahmen());
  EXPECT_TRUE(Waehrung::ParseDeutsch(QStringLiteral("-999.999.999,99"))->ImBetragsrahmen());
  EXPECT_FALSE(Waehrung::ParseDeutsch(QStringLiteral("999.999.999,9901"))->ImBetragsrahmen());
  EXPECT_FALSE(Waehrung::ParseDeutsch(QStringLiteral("-1.000.000.000,00"))->ImBetragsrahmen());
}

}  // namespace
