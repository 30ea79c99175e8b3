#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include <QDate>
#include <QSet>

#include "common/Textfunktionen.h"
#include "platform/db/Waehrung.h"

namespace {

// --- Payment character set -------------------------------------------------------------------

TEST(UngueltigeZeichenEntfernen, EntferntFremdeZeichenUndBehaeltKleinbuchstaben) {
  bool gueltig = false;
  bool geaendert = false;
  const QVariant r = UngueltigeZeichenEntfernen(QStringLiteral("Müller & Söhne <GmbH> ß_ok!"), 0, gueltig, geaendert);
  EXPECT_EQ(r.toString(), QStringLiteral("Müller & Söhne GmbH ßok"));
  EXPECT_TRUE(gueltig);
  EXPECT_TRUE(geaendert);
}

TEST(UngueltigeZeichenEntfernen, GeaendertBleibtWieVomAufruferGesetzt) {
  bool gueltig = false;
  bool geaendert = true;  // left over from an earlier call
  EXPECT_EQ(UngueltigeZeichenEntfernen(QStringLiteral("ABC 123"), 0, gueltig, geaendert).toString(),
            QStringLiteral("ABC 123"));
  EXPECT_TRUE(geaendert) << "nothing removed: the caller's value stays";
  geaendert = false;
  UngueltigeZeichenEntfernen(QStringLiteral("ABC 123"), 0, gueltig, geaendert);
  EXPECT_FALSE(geaendert);
}

TEST(UngueltigeZeichenEntfernen, GueltigNachKennzeichenUndErgebnis) {
  bool gueltig = true;
  bool geaendert = false;
  EXPECT_EQ(UngueltigeZeichenEntfernen(QVariant(), 0, gueltig, geaendert).toString(), QString());
  EXPECT_FALSE(gueltig) << "Null counts as the empty text, not allowed with Kennzeichen 0";
  EXPECT_FALSE(geaendert);
  UngueltigeZeichenEntfernen(QStringLiteral("<>"), 0, gueltig, geaendert);
  EXPECT_FALSE(gueltig);
  EXPECT_TRUE(geaendert);
  UngueltigeZeichenEntfernen(QString(), 1, gueltig, geaendert);
  EXPECT_TRUE(gueltig) << "Kennzeichen non-zero allows the empty text";
}

TEST(UngueltigeZeichenEntfernen, ZeichenDieNurGrossgeschriebenPassenWerdenUmgeschrieben) {
  // toUpper of these is in the set, but they are not part of it: transliterated, in their case.
  bool gueltig = false;
  bool geaendert = false;
  const QString text = QStringLiteral("A") + QChar(0x0131) + QChar(0x017F) + QChar(0x00E9) + QStringLiteral("B");
  EXPECT_EQ(UngueltigeZeichenEntfernen(text, 0, gueltig, geaendert).toString(), QStringLiteral("AiseB"));
  EXPECT_TRUE(geaendert);
}

TEST(UngueltigeZeichenEntfernen, DerGanzeZeichensatzBleibtStehen) {
  bool gueltig = false;
  bool geaendert = false;
  const QString alle = Zahlungszeichensatz + QStringLiteral("abcdefghijklmnopqrstuvwxyzäöü");
  EXPECT_EQ(UngueltigeZeichenEntfernen(alle, 0, gueltig, geaendert).toString(), alle);
  EXPECT_FALSE(geaendert);
}

TEST(SepaZeichenWandeln, ErsetztUmlauteUndSonderzeichen) {
  EXPECT_EQ(SepaZeichenWandeln(QStringLiteral("ÄÖÜäöüß & * $ % Straße 5a (Rg. 1/2): x")),
            QStringLiteral("AOUaous + . . . Strase 5a (Rg. 1/2): x"));
  EXPECT_EQ(SepaZeichenWandeln(QStringLiteral("Zahlung für Rechnung #12 <neu>")),
            QStringLiteral("Zahlung fur Rechnung 12 neu"));
  EXPECT_EQ(SepaZeichenWandeln(QVariant()), QString());
  EXPECT_EQ(SepaZeichenWandeln(QVariant(1234)), QStringLiteral("1234"));
}

TEST(SepaZeichenWandeln, ErgebnisNurAusDemSepaZeichensatz) {
  QString alles;
  for (int c = 1; c < 0x250; ++c) alles.append(QChar(c));
  const QString r = SepaZeichenWandeln(alles);
  const QString sepa = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,-+/():");
  for (const QChar c : r) EXPECT_TRUE(sepa.contains(c)) << "unexpected character " << int(c.unicode());
}

// --- NummerErhoehen --------------------------------------------------------------------------

struct ErhoehenFall {
  const char* ein;
  bool alsText;
  QVariant erwartet;
};

void PrintTo(const ErhoehenFall& f, std::ostream* os) { *os << '"' << f.ein << '"' << (f.alsText ? " als Text" : ""); }

class NummerErhoehenText : public ::testing::TestWithParam<ErhoehenFall> {};

TEST_P(NummerErhoehenText, Ergebnis) {
  const ErhoehenFall& f = GetParam();
  const QVariant r = NummerErhoehen(QString::fromUtf8(f.ein), f.alsText);
  EXPECT_EQ(r.metaType(), f.erwartet.metaType()) << f.ein;
  EXPECT_EQ(r, f.erwartet) << f.ein << " -> " << r.toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, NummerErhoehenText,
    ::testing::Values(
        ErhoehenFall{"00099", false, QVariant(qlonglong(100))},
        ErhoehenFall{"00099", true, QVariant(QStringLiteral("00100"))},
        ErhoehenFall{"99", true, QVariant(QStringLiteral("100"))},
        ErhoehenFall{"Z9", true, QVariant(QStringLiteral("AA0"))},
        ErhoehenFall{"zz", true, QVariant(QStringLiteral("aaa"))},
        ErhoehenFall{"A9", true, QVariant(QStringLiteral("B0"))},
        ErhoehenFall{"AZ", true, QVariant(QStringLiteral("BA"))},
        ErhoehenFall{"K-0099", true, QVariant(QStringLiteral("K-0100"))},
        ErhoehenFall{"9-9", true, QVariant(QStringLiteral("10-0"))},
        ErhoehenFall{"R2024/12-31", false, QVariant(QStringLiteral("R2024/12-32"))},
        ErhoehenFall{"X 9.9", true, QVariant(QStringLiteral("Y 0.0"))},
        ErhoehenFall{"ab_9#", true, QVariant(QStringLiteral("ac_0#"))},
        ErhoehenFall{"Müller9", true, QVariant(QStringLiteral("Mülles0"))},
        ErhoehenFall{"9ä", true, QVariant(QStringLiteral("10ä"))},
        ErhoehenFall{"-12", false, QVariant(qlonglong(-11))},
        ErhoehenFall{"+7", false, QVariant(qlonglong(8))},
        ErhoehenFall{" 41 ", false, QVariant(qlonglong(42))},
        ErhoehenFall{"1e5", false, QVariant(QStringLiteral("1e6"))},
        ErhoehenFall{"1,5", false, QVariant(QStringLiteral("1,6"))},
        ErhoehenFall{"&H1F", false, QVariant(QStringLiteral("&H1G"))},
        ErhoehenFall{"123456789012345678901234567899", false,
                     QVariant(QStringLiteral("123456789012345678901234567900"))},
        ErhoehenFall{"-100000000000000000000", false, QVariant(QStringLiteral("-99999999999999999999"))},
        ErhoehenFall{"", true, QVariant(QStringLiteral("1"))},
        ErhoehenFall{"--", true, QVariant(QStringLiteral("--1"))}),
    [](const auto& info) {
      return TestnameBuchstabiert(info.param.ein) + (info.param.alsText ? "_AlsText" : "_AlsZahl");
    });

TEST(NummerErhoehen, ZahlenNullUndDaten) {
  EXPECT_EQ(NummerErhoehen(QVariant(41), true), QVariant(qlonglong(42)));
  EXPECT_EQ(NummerErhoehen(QVariant(2.5), false), QVariant(3.5));
  EXPECT_TRUE(NummerErhoehen(QVariant(), false).isNull());
  const QVariant datum(QDate(2024, 3, 15));
  EXPECT_EQ(NummerErhoehen(datum, false), datum);
  const QVariant r = NummerErhoehen(QVariant::fromValue(Waehrung::AusCent(150)), false);
  EXPECT_EQ(r.value<Waehrung>(), Waehrung::AusCent(250));
}

TEST(NummerErhoehen, TextWiederholtSichNieUndBleibtImZeichenvorrat) {
  QString wert = QStringLiteral("A-8");
  QSet<QString> gesehen;
  for (int i = 0; i < 3000; ++i) {
    ASSERT_FALSE(gesehen.contains(wert)) << wert.toStdString();
    gesehen.insert(wert);
    wert = NummerErhoehen(wert, true).toString();
    for (const QChar c : wert)
      ASSERT_TRUE(c.isDigit() || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('-'))
          << wert.toStdString();
  }
}

// --- Replacing and splitting -----------------------------------------------------------------

TEST(TextZerlegen, TeileAbEinsGetrimmt) {
  QStringList teile{QStringLiteral("alt")};
  TextZerlegen(QStringLiteral(" Name ;BankName;; BankIBAN"), QStringLiteral(";"), teile);
  EXPECT_EQ(teile, (QStringList{QString(), QStringLiteral("Name"), QStringLiteral("BankName"), QString(),
                                QStringLiteral("BankIBAN")}));
  TextZerlegen(QString(), QStringLiteral(";"), teile);
  EXPECT_EQ(teile, (QStringList{QString(), QString()}));
  TextZerlegen(QStringLiteral("a<>b<>"), QStringLiteral("<>"), teile);
  EXPECT_EQ(teile, (QStringList{QString(), QStringLiteral("a"), QStringLiteral("b"), QString()}));
}

TEST(Ersetzen, VariantTextUndAlles) {
  QVariant wert(QStringLiteral("Rg. RG rg"));
  VariantErsetzen(wert, QStringLiteral("rg"), QStringLiteral("Rechnung"), 1);
  EXPECT_EQ(wert.toString(), QStringLiteral("Rechnung. Rechnung Rechnung"));
  wert = QStringLiteral("Rg. RG rg");
  VariantErsetzen(wert, QStringLiteral("rg"), QStringLiteral("x"), 0);
  EXPECT_EQ(wert.toString(), QStringLiteral("Rg. RG x"));
  QVariant null;
  VariantErsetzen(null, QStringLiteral("a"), QStringLiteral("b"), 1);
  EXPECT_TRUE(IstNull(null));

  EXPECT_EQ(TextErsetzen(QVariant(), QStringLiteral("a"), QStringLiteral("b")), QString());
  EXPECT_EQ(TextErsetzen(QStringLiteral("aAa"), QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("bAb"));
  // Going on behind each insertion: no endless growth when the replacement contains the search text.
  EXPECT_EQ(AllesErsetzen(QStringLiteral("a a"), QStringLiteral("a"), QStringLiteral("aa")), QStringLiteral("aa aa"));
  EXPECT_EQ(AllesErsetzen(QStringLiteral("DE89 3704 0044"), QStringLiteral(" "), QString()),
            QStringLiteral("DE8937040044"));
  EXPECT_EQ(AllesErsetzen(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
}

TEST(NullUndLeer, Ersetzen) {
  EXPECT_EQ(NullErsetzen(QVariant()), QVariant(0));
  EXPECT_EQ(NullErsetzen(QVariant(QString())), QVariant(QString()));
  EXPECT_EQ(NullErsetzen(QVariant(7)), QVariant(7));
  EXPECT_EQ(LeerErsetzen(QVariant()), QVariant(0));
  EXPECT_EQ(LeerErsetzen(QVariant(QString())), QVariant(0));
  EXPECT_EQ(LeerErsetzen(QVariant(QStringLiteral(" "))), QVariant(QStringLiteral(" ")));
  EXPECT_EQ(NullzeichenAbschneiden(QStringLiteral("abc") + QChar(0) + QStringLiteral("def")), QStringLiteral("abc"));
  EXPECT_EQ(NullzeichenAbschneiden(QStringLiteral("abc")), QStringLiteral("abc"));
}

// At the largest 64-bit numbers the count goes on in decimal text: never in place, back or around.
TEST(NummerErhoehen, AnDenGroesstenZahlen) {
  constexpr qlonglong groesste = std::numeric_limits<qlonglong>::max();
  constexpr qlonglong kleinste = std::numeric_limits<qlonglong>::min();
  EXPECT_EQ(NummerErhoehen(QStringLiteral("9223372036854775806"), false), QVariant(groesste));
  EXPECT_EQ(NummerErhoehen(QStringLiteral("9223372036854775807"), false), QVariant(QStringLiteral("9223372036854775808")));
  EXPECT_EQ(NummerErhoehen(QStringLiteral("9223372036854775807"), true), QVariant(QStringLiteral("9223372036854775808")));
  EXPECT_EQ(NummerErhoehen(QStringLiteral("-9223372036854775808"), false), QVariant(kleinste + 1));
  EXPECT_EQ(NummerErhoehen(QStringLiteral("-9223372036854775809"), false), QVariant(QStringLiteral("-9223372036854775808")));

  EXPECT_EQ(NummerErhoehen(QVariant(groesste - 1), false), QVariant(groesste));
  EXPECT_EQ(NummerErhoehen(QVariant(groesste), false), QVariant(QStringLiteral("9223372036854775808")));
  EXPECT_EQ(NummerErhoehen(QVariant(kleinste), false), QVariant(kleinste + 1));
  EXPECT_EQ(NummerErhoehen(QVariant(std::numeric_limits<qulonglong>::max() - 1), false),
            QVariant(std::numeric_limits<qulonglong>::max()));
  EXPECT_EQ(NummerErhoehen(QVariant(std::numeric_limits<qulonglong>::max()), false),
            QVariant(QStringLiteral("18446744073709551616")));
}

}  // namespace

namespace {

// The table the filter looks characters up in is the set (and its lower-case letters), nothing more: 'ı' and
// 'ſ' upper-case into it, 'ÿ' is Latin-1, neither belongs.
TEST(Zahlungszeichensatz, TafelStimmtMitDemZeichensatz) {
  const QString klein = QStringLiteral("abcdefghijklmnopqrstuvwxyzäöü");
  for (char16_t c = 0; c < 0x180; ++c)
    EXPECT_EQ(ImZahlungszeichensatz(QChar(c)), c != 0 && (Zahlungszeichensatz.contains(QChar(c)) || klein.contains(QChar(c))))
        << "U+" << std::hex << int(c);
}

}  // namespace

TEST(Aufzaehlung, KeinsEinsZweiUndMehr) {
  EXPECT_EQ(Aufzaehlung({}), QString());
  EXPECT_EQ(Aufzaehlung({QStringLiteral("a")}), QStringLiteral("a"));
  EXPECT_EQ(Aufzaehlung({QStringLiteral("a"), QStringLiteral("b")}), QStringLiteral("a und b"));
  EXPECT_EQ(Aufzaehlung({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}), QStringLiteral("a, b und c"));
}
