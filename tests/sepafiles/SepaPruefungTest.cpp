#include <gtest/gtest.h>

#include "QtAusgabe.h"
#include "common/Kontopruefung.h"
#include "sepafiles/core/SepaPruefung.h"

namespace {

using SepaPruefung::Fehlerart;

struct TextFall {
  const char* text;
  bool gueltig;
};

std::ostream& operator<<(std::ostream& os, const TextFall& f) { return os << '"' << f.text << '"'; }

QString T(const char* text) { return QString::fromUtf8(text); }

class Iban : public ::testing::TestWithParam<TextFall> {};
TEST_P(Iban, MusterUndPruefziffer) { EXPECT_EQ(Kontopruefung::IbanGueltig(T(GetParam().text)), GetParam().gueltig); }
INSTANTIATE_TEST_SUITE_P(
    Tabelle, Iban,
    ::testing::Values(TextFall{"DE89370400440532013000", true}, TextFall{"GB82WEST12345698765432", true},
                      TextFall{"FR1420041010050500013M02606", true}, TextFall{"AT611904300234573201", true},
                      TextFall{"CH9300762011623852957", true}, TextFall{"NL91ABNA0417164300", true},
                      TextFall{"BE68539007547034", true}, TextFall{"de89370400440532013000", true},
                      TextFall{"  DE89370400440532013000 ", true},
                      TextFall{"DE89370400440532013001", false},   // check digits
                      TextFall{"DE98370400440532013000", false},
                      TextFall{"DE89 3704 0044 0532 0130 00", false},
                      TextFall{"DE8937040044", false}, TextFall{"", false}, TextFall{"DE", false},
                      TextFall{"1289370400440532013000", false}, TextFall{"DEXX370400440532013000", false},
                      TextFall{"DE89370400440532013000!", false}, TextFall{"DE89370400440532013ÄÖ0", false},
                      TextFall{"DE8937040044053201300012345678901234", false}));

class Bic : public ::testing::TestWithParam<TextFall> {};
TEST_P(Bic, AchtOderElfZeichen) { EXPECT_EQ(Kontopruefung::BicGueltig(T(GetParam().text)), GetParam().gueltig); }
INSTANTIATE_TEST_SUITE_P(
    Tabelle, Bic,
    ::testing::Values(TextFall{"DEUTDEFF", true}, TextFall{"DEUTDEFF500", true}, TextFall{"COBADEFFXXX", true},
                      TextFall{"deutdeff", true}, TextFall{" MARKDEF1100 ", true}, TextFall{"DEUTDEF", false},
                      TextFall{"DEUTDEFF5", false}, TextFall{"DEUTDEFF50", false}, TextFall{"DEUTDEFF5000", false},
                      TextFall{"1234DEFF", false}, TextFall{"DEUTDE1F", false}, TextFall{"DEUTDEF0", true}, TextFall{"DEUT DEFF", false},
                      TextFall{"DEUTDEFFÄÖÜ", false}, TextFall{"", false}));

class GlaeubigerId : public ::testing::TestWithParam<TextFall> {};
TEST_P(GlaeubigerId, FormatUndPruefziffer) {
  EXPECT_EQ(Kontopruefung::GlaeubigerIdGueltig(T(GetParam().text)), GetParam().gueltig);
}
INSTANTIATE_TEST_SUITE_P(
    Tabelle, GlaeubigerId,
    ::testing::Values(TextFall{"DE98ZZZ09999999999", true}, TextFall{"de98zzz09999999999", true},
                      TextFall{" DE98ZZZ09999999999 ", true},
                      TextFall{"DE98ABC09999999999", true},   // business code takes no part
                      TextFall{"AT61ZZZ01234567890", true}, TextFall{"FR72ZZZ123456", true},
                      TextFall{"NL36ZZZ123456789", true}, TextFall{"IT96ZZZ1234567890A", true},
                      TextFall{"DE97ZZZ09999999999", false}, TextFall{"DE98ZZZ09999999998", false},
                      TextFall{"DE98ZZZ0999999999", false},    // German ids have 18 characters
                      TextFall{"DE98ZZZ099999999990", false}, TextFall{"DE98ZZZ", false},
                      TextFall{"DE98ZZZ0999999999/", false}, TextFall{"98DEZZZ09999999999", false},
                      TextFall{"", false}));

class MandatReferenz : public ::testing::TestWithParam<TextFall> {};
TEST_P(MandatReferenz, ZeichenUndLaenge) {
  EXPECT_EQ(SepaPruefung::MandatReferenzGueltig(T(GetParam().text)), GetParam().gueltig);
}
INSTANTIATE_TEST_SUITE_P(
    Tabelle, MandatReferenz,
    ::testing::Values(TextFall{"M-2024/001", true}, TextFall{"abc +?/-:().,' xyz", true},
                      TextFall{"12345678901234567890123456789012345", true},
                      TextFall{"123456789012345678901234567890123456", false}, TextFall{"", false},
                      TextFall{"   ", false}, TextFall{"/M1", false}, TextFall{"M//1", false},
                      TextFall{"Müller", false}, TextFall{"M&1", false}, TextFall{"M_1", false},
                      TextFall{"M;1", false}, TextFall{"M\"1", false}));

class Textschluessel : public ::testing::TestWithParam<TextFall> {};
TEST_P(Textschluessel, LeerOderVierZeichen) {
  EXPECT_EQ(SepaPruefung::TextschluesselGueltig(T(GetParam().text)), GetParam().gueltig);
}
INSTANTIATE_TEST_SUITE_P(Tabelle, Textschluessel,
                         ::testing::Values(TextFall{"", true}, TextFall{"  ", true}, TextFall{"GDDS", true},
                                           TextFall{"SALA", true}, TextFall{"bon1", true}, TextFall{" CHAR ", true},
                                           TextFall{"ABC", false}, TextFall{"ABCDE", false}, TextFall{"AB D", false},
                                           TextFall{"ÄBCD", false}, TextFall{"AB-D", false}));

TEST(SepaPruefung, Betrag) {
  EXPECT_TRUE(SepaPruefung::BetragGueltig(Waehrung::AusCent(1)));
  EXPECT_TRUE(SepaPruefung::BetragGueltig(Waehrung::AusCent(99999999999)));
  EXPECT_FALSE(SepaPruefung::BetragGueltig(Waehrung::AusCent(100000000000)));
  EXPECT_FALSE(SepaPruefung::BetragGueltig(Waehrung()));
  EXPECT_FALSE(SepaPruefung::BetragGueltig(Waehrung::AusCent(-5)));
  EXPECT_FALSE(SepaPruefung::BetragGueltig(Waehrung::AusRoh(10050)));  // 1.005
}

TEST(SepaPruefung, ReferenzMeldung) {
  EXPECT_TRUE(SepaPruefung::ReferenzMeldung(QStringLiteral("R100")).isEmpty());
  EXPECT_TRUE(SepaPruefung::ReferenzMeldung(QString(35, QLatin1Char('A'))).isEmpty());
  EXPECT_TRUE(SepaPruefung::ReferenzMeldung(QStringLiteral("R#100")).isEmpty());  // converts to R100
  const QString leer = SepaPruefung::ReferenzMeldung(QString());
  EXPECT_TRUE(leer.startsWith(QStringLiteral("Für Gutschriften und Lastschriften wird zwingend eine Referenz-Angabe benötigt.\r")));
  EXPECT_TRUE(leer.endsWith(QStringLiteral("Angabe vorhanden ist. Bitte tragen Sie die Referenz-Angabe ein.")));
  EXPECT_EQ(SepaPruefung::ReferenzMeldung(QStringLiteral("#!~")), leer);  // empty after conversion
  EXPECT_FALSE(SepaPruefung::ReferenzMeldung(QString(36, QLatin1Char('A'))).isEmpty());
  EXPECT_NE(SepaPruefung::ReferenzMeldung(QString(36, QLatin1Char('A'))), leer);
}

TEST(SepaPruefung, AusfuehrungsdatumMeldung) {
  const QDate erstellt(2024, 6, 5);
  EXPECT_TRUE(SepaPruefung::AusfuehrungsdatumMeldung(std::nullopt, erstellt).isEmpty());
  EXPECT_TRUE(SepaPruefung::AusfuehrungsdatumMeldung(QDate(), erstellt).isEmpty());
  EXPECT_TRUE(SepaPruefung::AusfuehrungsdatumMeldung(erstellt, erstellt).isEmpty());
  EXPECT_TRUE(SepaPruefung::AusfuehrungsdatumMeldung(erstellt.addDays(14), erstellt).isEmpty());
  const QString meldung = QStringLiteral("Das Ausführungsdatum muß zwischen dem Erstellungsdatum \r05.06.2024 und dem "
                                         "19.06.2024 liegen!\r\rBitte korrigieren/ergänzen Sie die Eingabe.");
  EXPECT_EQ(SepaPruefung::AusfuehrungsdatumMeldung(erstellt.addDays(15), erstellt), meldung);
  EXPECT_EQ(SepaPruefung::AusfuehrungsdatumMeldung(erstellt.addDays(-1), erstellt), meldung);
}

TEST(SepaPruefung, GlaeubigerIdMeldung) {
  EXPECT_TRUE(SepaPruefung::GlaeubigerIdMeldung(QStringLiteral("DE98ZZZ09999999999")).isEmpty());
  EXPECT_EQ(SepaPruefung::GlaeubigerIdMeldung(QStringLiteral("  ")),
            QStringLiteral("Für Lastschriften wird zwingend eine von der deutschen Bundesbank\r"
                           "vergebene Gläubiger-ID benötigt.\r\r"
                           "Falls Ihnen diese vorliegt, muss diese bei den Absender-Angaben eingetragen\r"
                           "werden. Erst dann können Lastschriften verarbeitet werden."));
  EXPECT_TRUE(SepaPruefung::GlaeubigerIdMeldung(QStringLiteral("DE97ZZZ09999999999"))
                  .startsWith(QStringLiteral("Die bei den Absender-Angaben eingetragene Gläubiger-ID ist ungültig.")));
}

// The pre-check of one order.
SepaAuftrag GuterAuftrag() {
  SepaAuftrag a;
  a.ZahlungNr = 7;
  a.Name = QStringLiteral("Müller & Söhne GmbH");
  a.IBAN = QStringLiteral("DE89370400440532013000");
  a.BIC = QStringLiteral("COBADEFFXXX");
  a.Betrag = Waehrung::AusCent(12550);
  a.Verwendungszweck1 = QStringLiteral("Rechnung 4711 vom 01.03.24");
  a.MandatReferenz = QStringLiteral("M-4711");
  a.MandatDatum = QDate(2023, 5, 1);
  a.MandatSequenz = 2;
  return a;
}

const QDate Heute(2024, 6, 5);

QList<Fehlerart> Fehler(const SepaAuftrag& a, SepaArt art = SepaArt::BasisLastschrift, QDate heute = Heute) {
  return SepaPruefung::AuftragPruefen(a, art, heute).Fehler;
}

TEST(AuftragPruefen, GuterAuftragBestehtJedeArt) {
  for (SepaArt art : {SepaArt::Ueberweisung, SepaArt::BasisLastschrift, SepaArt::FirmenLastschrift}) {
    const auto ergebnis = SepaPruefung::AuftragPruefen(GuterAuftrag(), art, Heute);
    EXPECT_FALSE(ergebnis.Fehlerhaft());
    EXPECT_EQ(ergebnis.Name, QStringLiteral("Müller & Söhne GmbH"));
    EXPECT_EQ(ergebnis.Verwendungszweck1, QStringLiteral("Rechnung 4711 vom 01.03.24"));
  }
}

TEST(AuftragPruefen, NameUndVerwendungszweckWerdenBereinigt) {
  SepaAuftrag a = GuterAuftrag();
  a.Name = QStringLiteral("<Meier> \"Bau\" #1");
  a.Verwendungszweck1 = QStringLiteral("RE 5 [x]; €");
  const auto ergebnis = SepaPruefung::AuftragPruefen(a, SepaArt::Ueberweisung, Heute);
  EXPECT_EQ(ergebnis.Name, QStringLiteral("Meier Bau 1"));
  EXPECT_EQ(ergebnis.Verwendungszweck1, QStringLiteral("RE 5 x "));
  EXPECT_FALSE(ergebnis.Fehlerhaft());
}

TEST(AuftragPruefen, NameNurUngueltigeZeichenOderLeer) {
  SepaAuftrag a = GuterAuftrag();
  a.Name = QStringLiteral("<#>");
  auto ergebnis = SepaPruefung::AuftragPruefen(a, SepaArt::Ueberweisung, Heute);
  EXPECT_EQ(ergebnis.Name, QString());
  EXPECT_EQ(ergebnis.Fehler, QList<Fehlerart>{Fehlerart::Name});
  a.Name = QStringLiteral("   ");
  EXPECT_EQ(Fehler(a, SepaArt::Ueberweisung), QList<Fehlerart>{Fehlerart::Name});
  a.Name = GuterAuftrag().Name;
  a.Verwendungszweck1 = QStringLiteral("€€");
  EXPECT_EQ(Fehler(a, SepaArt::Ueberweisung), QList<Fehlerart>{Fehlerart::Verwendungszweck});
}

TEST(AuftragPruefen, Iban) {
  SepaAuftrag a = GuterAuftrag();
  a.IBAN = QStringLiteral("DE89370400440532013001");
  EXPECT_EQ(Fehler(a), QList<Fehlerart>{Fehlerart::Iban});
  a.IBAN = QStringLiteral("DE12");
  EXPECT_EQ(Fehler(a), (QList<Fehlerart>{Fehlerart::IbanLaenge, Fehlerart::Iban}));
  a.IBAN = QStringLiteral("DE893704004405320130001");  // one digit too many for Germany
  EXPECT_EQ(Fehler(a), (QList<Fehlerart>{Fehlerart::IbanLaenge, Fehlerart::Iban}));
  a.IBAN = QStringLiteral(" de89370400440532013000 ");  // written upper-cased and trimmed
  EXPECT_TRUE(Fehler(a).isEmpty());
  a.IBAN.clear();
  EXPECT_EQ(Fehler(a), (QList<Fehlerart>{Fehlerart::IbanLaenge, Fehlerart::Iban}));
}

TEST(AuftragPruefen, BicUndStichtage) {
  SepaAuftrag a = GuterAuftrag();
  a.MandatDatum = QDate(2013, 1, 1);
  a.BIC = QStringLiteral("COBADEFFX");
  EXPECT_EQ(Fehler(a), QList<Fehlerart>{Fehlerart::Bic});
  a.BIC = QStringLiteral("  ");
  EXPECT_TRUE(Fehler(a).isEmpty());
  EXPECT_TRUE(Fehler(a, SepaArt::BasisLastschrift, QDate(2016, 1, 31)).isEmpty());
  a.IBAN = QStringLiteral("AT611904300234573201");
  EXPECT_EQ(Fehler(a, SepaArt::BasisLastschrift, QDate(2016, 1, 31)), QList<Fehlerart>{Fehlerart::BicFehlt});
  EXPECT_TRUE(Fehler(a, SepaArt::BasisLastschrift, QDate(2016, 2, 1)).isEmpty());
  a.IBAN = QStringLiteral("DE89370400440532013000");
  EXPECT_EQ(Fehler(a, SepaArt::BasisLastschrift, QDate(2014, 1, 31)), QList<Fehlerart>{Fehlerart::BicFehlt});
}

TEST(AuftragPruefen, MandatNurBeiLastschriften) {
  SepaAuftrag a = GuterAuftrag();
  a.MandatReferenz.clear();
  a.MandatDatum.reset();
  EXPECT_TRUE(Fehler(a, SepaArt::Ueberweisung).isEmpty());
  EXPECT_EQ(Fehler(a, SepaArt::FirmenLastschrift),
            (QList<Fehlerart>{Fehlerart::MandatReferenz, Fehlerart::MandatDatum}));
  a = GuterAuftrag();
  a.MandatReferenz = QStringLiteral("M//1");
  EXPECT_EQ(Fehler(a), QList<Fehlerart>{Fehlerart::MandatReferenz});
  a.MandatReferenz = QString(36, QLatin1Char('M'));
  EXPECT_EQ(Fehler(a), QList<Fehlerart>{Fehlerart::MandatReferenz});
  a = GuterAuftrag();
  a.MandatDatum = Heute;
  EXPECT_TRUE(Fehler(a).isEmpty());
  a.MandatDatum = Heute.addDays(1);
  EXPECT_EQ(Fehler(a), QList<Fehlerart>{Fehlerart::MandatDatum});
}

TEST(AuftragPruefen, BetragUndTextschluessel) {
  SepaAuftrag a = GuterAuftrag();
  for (const Waehrung betrag : {Waehrung(), Waehrung::AusCent(-100), Waehrung::AusRoh(12345), Waehrung::AusEuro(1000000000)}) {
    a.Betrag = betrag;
    EXPECT_EQ(Fehler(a), QList<Fehlerart>{Fehlerart::Betrag}) << betrag.Roh();
  }
  a = GuterAuftrag();
  a.Textschluessel = QStringLiteral("GDD");
  EXPECT_EQ(Fehler(a, SepaArt::Ueberweisung), QList<Fehlerart>{Fehlerart::Textschluessel});
  a.Textschluessel = QStringLiteral("GDDS");
  EXPECT_TRUE(Fehler(a, SepaArt::Ueberweisung).isEmpty());
}

TEST(AuftragPruefen, AlleFehlerWerdenGesammelt) {
  SepaAuftrag a;
  const auto ergebnis = SepaPruefung::AuftragPruefen(a, SepaArt::BasisLastschrift, Heute);
  EXPECT_EQ(ergebnis.Fehler, (QList<Fehlerart>{Fehlerart::Name, Fehlerart::Verwendungszweck, Fehlerart::IbanLaenge,
                                               Fehlerart::Iban, Fehlerart::MandatReferenz, Fehlerart::MandatDatum,
                                               Fehlerart::Betrag}));
  for (Fehlerart f : ergebnis.Fehler) EXPECT_FALSE(SepaPruefung::FehlerText(f).isEmpty());
}

}  // namespace
