#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include "sepafiles/core/SepaText.h"

namespace {

struct BetragFall {
  int64_t roh;
  const char* text;
};

class BetragText : public ::testing::TestWithParam<BetragFall> {};

TEST_P(BetragText, NurNoetigeStellen) {
  EXPECT_EQ(SepaText::Betrag(Waehrung::AusRoh(GetParam().roh)), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Tabelle, BetragText,
                         ::testing::Values(BetragFall{500, ".05"}, BetragFall{12500000, "1250"}, BetragFall{1000000, "100"},
                                           BetragFall{125000, "12.5"}, BetragFall{1234500, "123.45"},
                                           BetragFall{100, ".01"}, BetragFall{0, "0"}, BetragFall{10000, "1"},
                                           BetragFall{9999999999900, "999999999.99"},
                                           BetragFall{1000000000000, "100000000"}, BetragFall{12345, "1.2345"},
                                           BetragFall{-500, "-.05"}, BetragFall{-125000, "-12.5"}),
    [](const auto& info) { return "Roh" + TestnameBuchstabiert(QString::number(info.param.roh)); });

TEST(SepaText, XmlMaskierenJedesSonderzeichen) {
  EXPECT_EQ(SepaText::XmlMaskieren(QStringLiteral("A&B<C>D\"E'F")),
            QStringLiteral("A&amp;B&lt;C&gt;D&quot;E&apos;F"));
  EXPECT_EQ(SepaText::XmlMaskieren(QStringLiteral("&amp;")), QStringLiteral("&amp;amp;"));
  // Control characters are not allowed in XML 1.0, not even escaped.
  EXPECT_EQ(SepaText::XmlMaskieren(QString::fromUtf8("a\x01" "b\x1f" "c\td")), QStringLiteral("abc\td"));
  EXPECT_EQ(SepaText::XmlMaskieren(QString::fromUtf8("Grüße 😀")), QString::fromUtf8("Grüße 😀"));
  QString einsam(QStringLiteral("x"));
  einsam += QChar(0xD800);
  EXPECT_EQ(SepaText::XmlMaskieren(einsam), QStringLiteral("x"));
}

TEST(SepaText, GewandeltKuerztNachDerWandlung) {
  EXPECT_EQ(SepaText::Gewandelt(QStringLiteral("  Müller & Söhne  "), 70), QStringLiteral("Muller + Sohne"));
  // 70 umlauts stay 70 characters after the conversion and are not cut short.
  const QString umlaute(70, QChar(0x00C4));
  EXPECT_EQ(SepaText::Gewandelt(umlaute, 70), QString(70, QLatin1Char('A')));
  EXPECT_EQ(SepaText::Gewandelt(umlaute + QStringLiteral("B"), 70).size(), 70);
  EXPECT_EQ(SepaText::Gewandelt(QStringLiteral("<>#"), 70), QString());
  EXPECT_EQ(SepaText::Gewandelt(QStringLiteral("100% *sicher* $"), 140), QStringLiteral("100. .sicher. ."));
}

// Whatever comes in, the converted text holds only what the DK schemas allow in ids.
TEST(SepaText, GewandeltErgibtNurSepaZeichen) {
  static const QString erlaubt =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,+-/():");
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const QString ergebnis = SepaText::Gewandelt(QString::fromUcs4(&c, 1) + QStringLiteral("x"), 35);
    for (const QChar z : ergebnis) ASSERT_TRUE(erlaubt.contains(z)) << "U+" << std::hex << uint32_t(c);
  }
}

TEST(SepaText, DateinamenBemerkung) {
  EXPECT_EQ(SepaText::DateinamenBemerkung(QStringLiteral("Filiale")), QStringLiteral("Filiale"));
  EXPECT_EQ(SepaText::DateinamenBemerkung(QStringLiteral("../Filiale Süd_2-b")), QStringLiteral("..Filiale Süd_2-b"));
  EXPECT_EQ(SepaText::DateinamenBemerkung(QStringLiteral("a\\b/c:d*e?f\"g<h>i|j")), QStringLiteral("abcdefghij"));
  EXPECT_EQ(SepaText::DateinamenBemerkung(QStringLiteral(" /\\ ")), QString());
}

}  // namespace
