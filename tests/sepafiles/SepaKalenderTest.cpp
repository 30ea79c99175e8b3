#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include "sepafiles/core/SepaKalender.h"

namespace {

QDate D(int j, int m, int t) { return QDate(j, m, t); }

TEST(SepaKalender, OstersonntagBekannterJahre) {
  EXPECT_EQ(SepaKalender::Ostersonntag(2000), D(2000, 4, 23));
  EXPECT_EQ(SepaKalender::Ostersonntag(2019), D(2019, 4, 21));
  EXPECT_EQ(SepaKalender::Ostersonntag(2023), D(2023, 4, 9));
  EXPECT_EQ(SepaKalender::Ostersonntag(2024), D(2024, 3, 31));
  EXPECT_EQ(SepaKalender::Ostersonntag(2025), D(2025, 4, 20));
  EXPECT_EQ(SepaKalender::Ostersonntag(2038), D(2038, 4, 25));
}

TEST(SepaKalender, Target2Schliesstage) {
  for (const QDate& tag : {D(2024, 1, 1), D(2024, 3, 29), D(2024, 4, 1), D(2024, 5, 1), D(2024, 12, 25),
                           D(2024, 12, 26), D(2025, 4, 18), D(2025, 4, 21)})
    EXPECT_TRUE(SepaKalender::IstTarget2Schliesstag(tag)) << tag.toString(Qt::ISODate).toStdString();
  // German holidays that are no TARGET2 closing days, and the days around Easter.
  for (const QDate& tag : {D(2024, 10, 3), D(2024, 12, 24), D(2024, 12, 31), D(2024, 3, 28), D(2024, 4, 2),
                           D(2024, 5, 9)})
    EXPECT_FALSE(SepaKalender::IstTarget2Schliesstag(tag)) << tag.toString(Qt::ISODate).toStdString();
}

struct AusfuehrungsFall {
  QDate heute;
  std::optional<QDate> gewuenscht;
  QDate erwartet;
};

class Ausfuehrungsdatum : public ::testing::TestWithParam<AusfuehrungsFall> {};

TEST_P(Ausfuehrungsdatum, FolgtWochenendeUndSchliesstagen) {
  const AusfuehrungsFall& f = GetParam();
  EXPECT_EQ(SepaKalender::Ausfuehrungsdatum(f.gewuenscht, f.heute), f.erwartet)
      << SepaKalender::Ausfuehrungsdatum(f.gewuenscht, f.heute).toString(Qt::ISODate).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Tabelle, Ausfuehrungsdatum,
    ::testing::Values(
        AusfuehrungsFall{D(2024, 6, 5), std::nullopt, D(2024, 6, 6)},          // Wednesday: next day
        AusfuehrungsFall{D(2024, 6, 7), std::nullopt, D(2024, 6, 10)},         // Friday: Saturday + 2
        AusfuehrungsFall{D(2024, 6, 8), std::nullopt, D(2024, 6, 10)},         // Saturday: Sunday + 1
        AusfuehrungsFall{D(2024, 6, 5), D(2024, 6, 15), D(2024, 6, 17)},       // given Saturday
        AusfuehrungsFall{D(2024, 6, 5), D(2024, 6, 16), D(2024, 6, 17)},       // given Sunday
        AusfuehrungsFall{D(2024, 6, 5), D(2024, 6, 12), D(2024, 6, 12)},       // given working day kept
        AusfuehrungsFall{D(2024, 3, 28), std::nullopt, D(2024, 4, 2)},         // Good Friday .. Easter Monday
        AusfuehrungsFall{D(2024, 12, 20), D(2024, 12, 25), D(2024, 12, 27)},   // Christmas
        AusfuehrungsFall{D(2025, 12, 30), D(2026, 1, 1), D(2026, 1, 2)},       // New Year
        AusfuehrungsFall{D(2021, 4, 28), D(2021, 5, 1), D(2021, 5, 3)},
        // A date already past (the window left open over night) is never written: today at the earliest.
        AusfuehrungsFall{D(2024, 6, 5), D(2024, 6, 5), D(2024, 6, 5)},
        AusfuehrungsFall{D(2024, 6, 5), D(2024, 6, 4), D(2024, 6, 5)},
        AusfuehrungsFall{D(2024, 6, 8), D(2024, 6, 7), D(2024, 6, 10)},        // Saturday: Monday
        AusfuehrungsFall{D(2025, 1, 1), D(2024, 12, 31), D(2025, 1, 2)}),
    [](const auto& info) {
      const QString wunsch = info.param.gewuenscht ? info.param.gewuenscht->toString(QStringLiteral("yyyyMMdd")) : QStringLiteral("keiner");
      return Testname(QStringList{QStringLiteral("Heute") + info.param.heute.toString(QStringLiteral("yyyyMMdd")),
                                  QStringLiteral("Wunsch") + wunsch});
    });      // 1 May on a Saturday; the rows after it, a past date

struct EinzugsFall {
  QDate heute;
  int vorlauf;
  QDate erwartet;
};

class Einzugsdatum : public ::testing::TestWithParam<EinzugsFall> {};

TEST_P(Einzugsdatum, VorlaufWochenendeUndSchliesstage) {
  const EinzugsFall& f = GetParam();
  EXPECT_EQ(SepaKalender::Einzugsdatum(f.vorlauf, f.heute), f.erwartet)
      << SepaKalender::Einzugsdatum(f.vorlauf, f.heute).toString(Qt::ISODate).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Tabelle, Einzugsdatum,
    ::testing::Values(
        EinzugsFall{D(2024, 6, 4), 2, D(2024, 6, 6)},     // Tuesday + 2 = Thursday
        EinzugsFall{D(2024, 6, 6), 2, D(2024, 6, 10)},    // Thursday: Saturday + 2 = Monday
        EinzugsFall{D(2024, 6, 7), 2, D(2024, 6, 11)},    // Friday: Sunday + 2 = Tuesday
        EinzugsFall{D(2024, 6, 4), 0, D(2024, 6, 5)},     // lead days below 1 count as 1
        EinzugsFall{D(2024, 6, 4), -3, D(2024, 6, 5)},
        EinzugsFall{D(2024, 6, 4), 14, D(2024, 6, 18)},
        EinzugsFall{D(2024, 3, 27), 2, D(2024, 4, 2)},    // Good Friday, weekend, Easter Monday
        EinzugsFall{D(2024, 12, 23), 2, D(2024, 12, 27)}, // 25 and 26 December
        EinzugsFall{D(2027, 12, 23), 2, D(2027, 12, 27)},
        // A file given in on a day the banks are closed is theirs on the next bank day; the collection
        // must lie at least one bank day after that.
        EinzugsFall{D(2024, 6, 7), 1, D(2024, 6, 10)},    // Friday: Monday, a bank day after
        EinzugsFall{D(2024, 6, 8), 2, D(2024, 6, 11)},    // Saturday: taken Monday, so Tuesday
        EinzugsFall{D(2024, 6, 8), 3, D(2024, 6, 11)},
        EinzugsFall{D(2024, 6, 9), 1, D(2024, 6, 11)},    // Sunday
        EinzugsFall{D(2024, 6, 9), 2, D(2024, 6, 11)},
        EinzugsFall{D(2024, 3, 29), 1, D(2024, 4, 3)},    // Good Friday: taken Tuesday after Easter
        EinzugsFall{D(2024, 4, 1), 1, D(2024, 4, 3)},     // Easter Monday
        EinzugsFall{D(2024, 12, 31), 1, D(2025, 1, 2)},   // 31 December is a bank day
        EinzugsFall{D(2025, 1, 1), 1, D(2025, 1, 3)},     // 1 January is none
        EinzugsFall{D(2025, 12, 25), 1, D(2025, 12, 30)},
        // At most 14 calendar days ahead: where the move to a bank day passes them, the last bank day before.
        EinzugsFall{D(2024, 6, 7), 14, D(2024, 6, 21)},     // Friday + 14 = Friday: kept
        EinzugsFall{D(2024, 6, 8), 14, D(2024, 6, 21)},     // Saturday + 14 = Saturday: not Monday (16 days)
        EinzugsFall{D(2024, 6, 9), 14, D(2024, 6, 21)},     // Sunday + 14 = Sunday: not Tuesday (16 days)
        EinzugsFall{D(2024, 6, 3), 12, D(2024, 6, 17)},     // Saturday + 2 = day 14: kept
        EinzugsFall{D(2024, 6, 3), 13, D(2024, 6, 17)},     // Sunday + 2 = day 15: back to day 14
        EinzugsFall{D(2026, 12, 11), 14, D(2026, 12, 24)},  // Friday before Christmas: not 28.12. (17 days)
        EinzugsFall{D(2026, 12, 10), 14, D(2026, 12, 24)},  // Thursday: 24.12. is day 14
        EinzugsFall{D(2026, 12, 12), 14, D(2026, 12, 24)},
        EinzugsFall{D(2026, 12, 11), 13, D(2026, 12, 24)},  // day 13 is 24.12. itself
        EinzugsFall{D(2024, 3, 18), 14, D(2024, 3, 28)},    // Easter Monday is day 14: Thursday before Good Friday
        EinzugsFall{D(2024, 3, 15), 14, D(2024, 3, 28)},    // Good Friday is day 14
        EinzugsFall{D(2024, 3, 14), 14, D(2024, 3, 28)},    // Thursday before Good Friday is day 14: kept
        EinzugsFall{D(2026, 4, 17), 14, D(2026, 4, 30)},    // 1 May on a Friday
        EinzugsFall{D(2026, 4, 16), 14, D(2026, 4, 30)},
        EinzugsFall{D(2026, 12, 18), 14, D(2026, 12, 31)},  // New Year on a Friday: 31 December
        EinzugsFall{D(2026, 12, 17), 14, D(2026, 12, 31)},
        EinzugsFall{D(2025, 12, 18), 14, D(2025, 12, 31)},  // New Year on a Thursday: not 2 January
        EinzugsFall{D(2025, 12, 19), 14, D(2026, 1, 2)}),   // Friday: 2 January is day 14, a bank day
    [](const auto& info) {
      return Testname(QStringList{QStringLiteral("Heute") + info.param.heute.toString(QStringLiteral("yyyyMMdd"))}) +
             "_Vorlauf" + TestnameBuchstabiert(QString::number(info.param.vorlauf));
    }); // Saturday 25th + 2 = Monday 27th

}  // namespace
