#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/Iban.h"
#include "common/Textfunktionen.h"
#include "sepafiles/core/SepaText.h"
#include "testsupport/Testname.h"

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

TEST(SepaText, GewandeltUmgeschriebenUndNieGekuerzt) {
  EXPECT_EQ(SepaText::Gewandelt(QStringLiteral("  Müller & Söhne  ")), QStringLiteral("Muller + Sohne"));
  EXPECT_EQ(SepaText::Gewandelt(QString(80, QChar(0x00C4))), QString(80, QLatin1Char('A')));
  EXPECT_EQ(SepaText::Gewandelt(QStringLiteral("<>#")), QString());
  EXPECT_EQ(SepaText::Gewandelt(QStringLiteral("100% *sicher* $")), QStringLiteral("100. .sicher. ."));
  EXPECT_EQ(SepaText::Gewandelt(QStringLiteral(" José Ñoño – Œuvre ")), QStringLiteral("Jose Nono - Oeuvre"));
  EXPECT_EQ(SepaText::Gewandelt(QStringLiteral("Счёт 12")), QStringLiteral("Schet 12"));
}

// Whatever comes in, the converted text holds only what the DK schemas allow in ids.
TEST(SepaText, GewandeltErgibtNurSepaZeichen) {
  static const QString erlaubt =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,+-/():");
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const QString ergebnis = SepaText::Gewandelt(QString::fromUcs4(&c, 1) + QStringLiteral("x"));
    for (const QChar z : ergebnis) ASSERT_TRUE(erlaubt.contains(z)) << "U+" << std::hex << uint32_t(c);
  }
}

TEST(SepaText, DateinamenBemerkung) {
  EXPECT_EQ(SepaText::DateinamenBemerkung(QStringLiteral("Filiale")), QStringLiteral("Filiale"));
  EXPECT_EQ(SepaText::DateinamenBemerkung(QStringLiteral("../Filiale Süd_2-b")), QStringLiteral("..Filiale Süd_2-b"));
  EXPECT_EQ(SepaText::DateinamenBemerkung(QStringLiteral("a\\b/c:d*e?f\"g<h>i|j")), QStringLiteral("abcdefghij"));
  EXPECT_EQ(SepaText::DateinamenBemerkung(QStringLiteral(" /\\ ")), QString());
}

// The byte forms the run writes with give exactly the bytes of the QString forms, for whatever a
// database may hold: random mixes of plain letters, the payment set with umlauts, other Latin-1 and wider
// characters, letters to transliterate (Latin, Cyrillic, Greek, combining marks), letters without a Latin
// form, emoji, Unicode blanks at the ends, control characters and bytes that are no UTF-8 at all.
QByteArray ZufallsBytes(QRandomGenerator& z) {
  static const QList<QByteArray> bausteine = {
      "A", "z", "0", " ", "  ", ".", ",", "&", "-", "+", "*", "%", "/", "$", "(", ")", ":", "'", "\"", "<", ">",
      "#", "\t", "\n", "\r", "\x01", "\x7f", "\xc3\x84", "\xc3\x96", "\xc3\x9c", "\xc3\x9f", "\xc3\xa4",
      "\xc3\xb6", "\xc3\xbc", "\xc3\xa9", "\xc2\xa0", "\xc2\xa7", "\xc4\xb1", "\xc5\xbf", "\xe2\x82\xac",
      "\xe3\x80\x80", "\xf0\x9f\x98\x80", "\xc3", "\xe2\x82", "\xff", "\xfe", "\x80", "\xbf", "\xc0\x80",
      "\xed\xa0\x80", "\xef\xbf\xbe", "\xef\xbf\xbf", QByteArray(1, '\0'), "de", "DE89 3704", "coba",
      // to transliterate: æ Æ Œ ø ẞ, Cyrillic Ж ж щ Щ ъ є, Greek Θ ου αυ ά ϋ, combining acute and
      // diaeresis, a Chinese letter, an emoji with a skin tone, €, an en dash, ½ and an Arabic-Indic three
      "\xc3\xa6", "\xc3\x86", "\xc5\x92", "\xc3\xb8", "\xe1\xba\x9e", "\xd0\x96", "\xd0\xb6",
      "\xd1\x89", "\xd0\xa9", "\xd1\x8a", "\xd1\x94", "\xce\x98", "\xce\xbf\xcf\x85",
      "\xce\xb1\xcf\x85", "\xce\xac", "\xcf\x8b", "\xcc\x81", "\xcc\x88", "\xe7\x8e\x8b",
      "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd", "\xe2\x82\xac", "\xe2\x80\x93", "\xc2\xbd", "\xd9\xa3"};
  QByteArray b;
  const int teile = int(z.bounded(40u));
  for (int i = 0; i < teile; ++i) b += bausteine.at(int(z.bounded(quint32(bausteine.size()))));
  return b;
}

TEST(SepaText, BytesWieTexte) {
  QRandomGenerator z(20240606);
  for (int runde = 0; runde < 20000; ++runde) {
    const QByteArray b = ZufallsBytes(z);
    const QString t = QString::fromUtf8(b);
    SCOPED_TRACE(b.toHex().toStdString());
    QByteArray aus;
    SepaZeichenWandelnUtf8(b, aus);
    ASSERT_EQ(aus, SepaZeichenWandeln(t).toUtf8());
    aus = "vorher";
    SepaText::GewandeltAnhaengen(aus, b);
    ASSERT_EQ(aus, "vorher" + SepaZeichenWandeln(t.trimmed()).trimmed().toUtf8());
    aus.clear();
    SepaText::MaskiertAnhaengen(aus, b);
    ASSERT_EQ(aus, SepaText::XmlMaskieren(t).toUtf8());
    aus.clear();
    SepaText::GetrimmtAnhaengen(aus, b);
    ASSERT_EQ(aus, t.trimmed().toUtf8());
    aus.clear();
    Iban::TextAnhaengen(b, aus);
    ASSERT_EQ(aus, Iban(t).Text().toUtf8());
    aus.clear();
    Bic::TextAnhaengen(b, aus);
    ASSERT_EQ(aus, Bic(t).Text().toUtf8());
  }
}

TEST(SepaText, BetragAnhaengenHaengtAn) {
  QByteArray aus("<CtrlSum>");
  SepaText::BetragAnhaengen(aus, Waehrung::AusRoh(-1234500));
  EXPECT_EQ(aus, "<CtrlSum>-123.45");
}

}  // namespace
