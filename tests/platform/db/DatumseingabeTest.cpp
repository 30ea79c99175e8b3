#include <gtest/gtest.h>

#include "platform/db/Datumseingabe.h"
#include "testsupport/Testname.h"

namespace {

struct DatumFall {
  const char* text;
  std::optional<QDate> erwartet;
};

class Datumseingabe : public ::testing::TestWithParam<DatumFall> {};

TEST_P(Datumseingabe, EineRegelFuerJedesDatum) {
  EXPECT_EQ(DatumAusEingabe(QString::fromUtf8(GetParam().text)), GetParam().erwartet);
}

INSTANTIATE_TEST_SUITE_P(
    Eingaben, Datumseingabe,
    ::testing::Values(
        // with points: one or two digits for day and month, two or four for the year
        DatumFall{"15.01.2026", QDate(2026, 1, 15)}, DatumFall{"15.1.26", QDate(2026, 1, 15)},
        DatumFall{"1.2.25", QDate(2025, 2, 1)}, DatumFall{" 31.12.1999 ", QDate(1999, 12, 31)},
        DatumFall{"31.12.99", QDate(2099, 12, 31)},
        // without points: two digits each for day and month
        DatumFall{"15012026", QDate(2026, 1, 15)}, DatumFall{"150126", QDate(2026, 1, 15)},
        DatumFall{"29022024", QDate(2024, 2, 29)},
        // days that do not exist, and texts that are no date
        DatumFall{"31.02.2026", std::nullopt}, DatumFall{"29.02.2023", std::nullopt},
        DatumFall{"32.01.24", std::nullopt}, DatumFall{"15.13.2026", std::nullopt},
        DatumFall{"12..2024", std::nullopt}, DatumFall{"1.2.202", std::nullopt}, DatumFall{"15.01.", std::nullopt},
        DatumFall{"1512026", std::nullopt}, DatumFall{"2026-01-15", std::nullopt}, DatumFall{"", std::nullopt},
        DatumFall{"heute", std::nullopt}, DatumFall{"15.01.26') OR 1=1 --", std::nullopt}),
    [](const auto& info) { return TestnameBuchstabiert(info.param.text); });

}  // namespace
