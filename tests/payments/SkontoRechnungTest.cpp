#include <gtest/gtest.h>

#include <QMap>

#include "ZahlungsTestDatenbank.h"
#include "payments/core/SkontoRechnung.h"

namespace {

std::optional<Waehrung> C(int64_t cent) { return Waehrung::AusCent(cent); }
Waehrung Roh(int64_t zehntausendstel) { return Waehrung::AusRoh(zehntausendstel); }

// --- Abrunden ----------------------------------------------------------------------------------

struct RundungsFall {
  const char* name;
  Waehrung betrag;
  int vorkomma;
  int nachkomma;
  std::optional<Waehrung> ergebnis;  // nullopt: the amount stays as it is
};

class Abrundung : public ::testing::TestWithParam<RundungsFall> {};

TEST_P(Abrundung, AufDenBetragMitVorzeichen) {
  const RundungsFall& f = GetParam();
  EXPECT_EQ(SkontoRechnung::Abrunden(f.betrag, f.vorkomma, f.nachkomma), f.ergebnis);
}

INSTANTIATE_TEST_SUITE_P(
    Beispiele, Abrundung,
    ::testing::Values(
        // N > 0: rounded to N decimals, then the N-th decimal 0; the digits before the point ignored.
        RundungsFall{"Nachkomma2_1234_56", *C(123456), 0, 2, C(123450)},
        RundungsFall{"Nachkomma1_1234_56", *C(123456), 0, 1, C(123400)},
        RundungsFall{"Nachkomma1_1234_96_RundetAuf", *C(123496), 0, 1, C(123500)},
        RundungsFall{"Nachkomma2_VorkommaWirdNichtBeachtet", *C(123456), 3, 2, C(123450)},
        RundungsFall{"Nachkomma2_ZehntausendstelErstGerundet", Roh(99960), 0, 2, C(1000)},
        RundungsFall{"Nachkomma2_HalberCentInDieNaechsteZehntel", Roh(123950), 0, 2, C(1240)},
        RundungsFall{"Nachkomma2_Negativ", *C(-123456), 0, 2, C(-123450)},
        RundungsFall{"Nachkomma1_NegativRundetWegVonNull", *C(-123496), 0, 1, C(-123500)},
        // N = 0: whole units; the last V digits become 0 only when there are more than V.
        RundungsFall{"Vorkomma2_1234_56", *C(123456), 2, 0, C(120000)},
        RundungsFall{"Vorkomma2_35_20_Bleibt", *C(3520), 2, 0, std::nullopt},
        RundungsFall{"Vorkomma2_Minus35_20_Bleibt", *C(-3520), 2, 0, std::nullopt},
        RundungsFall{"Vorkomma2_Minus1234_56", *C(-123456), 2, 0, C(-120000)},
        RundungsFall{"Vorkomma2_99_50_WirdDreistellig", *C(9950), 2, 0, C(10000)},
        RundungsFall{"Vorkomma3_999_50_RundetAufTausend", *C(99950), 3, 0, C(100000)},
        RundungsFall{"Vorkomma1_Null_Bleibt", *C(40), 1, 0, std::nullopt},
        RundungsFall{"Vorkomma1_Zehn", *C(1049), 1, 0, C(1000)},
        RundungsFall{"Vorkomma9_Milliarde", *C(123456789012), 9, 0, C(100000000000)}),
    [](const ::testing::TestParamInfo<RundungsFall>& info) { return std::string(info.param.name); });

// --- One line of a run -------------------------------------------------------------------------

SkontoVorgabe Skonto(int64_t prozentHundertstel) {
  SkontoVorgabe v;
  v.prozent = Waehrung::AusCent(prozentHundertstel);
  return v;
}

SkontoVorgabe Rundung(int vorkomma, int nachkomma) {
  SkontoVorgabe v;
  v.skonto = false;
  v.prozent = Waehrung::AusEuro(5);  // not used when rounding
  v.vorkomma = vorkomma;
  v.nachkomma = nachkomma;
  return v;
}

struct ZeilenFall {
  const char* name;
  ZeilenBetraege vorher;
  SkontoVorgabe vorgabe;
  ZeilenBetraege nachher;
};

class Zeilenlauf : public ::testing::TestWithParam<ZeilenFall> {};

TEST_P(Zeilenlauf, NeueBetraege) {
  const ZeilenFall& f = GetParam();
  EXPECT_EQ(SkontoRechnung::ZeileBerechnen(f.vorher, f.vorgabe), f.nachher);
}

INSTANTIATE_TEST_SUITE_P(
    Skonto, Zeilenlauf,
    ::testing::Values(
        ZeilenFall{"ZweiProzentVonTausend", {C(100000), std::nullopt, C(100000)}, Skonto(200), {C(100000), C(2000), C(98000)}},
        ZeilenFall{"OPLeerNimmtDenZahlbetrag", {std::nullopt, std::nullopt, C(50000)}, Skonto(200), {C(50000), C(1000), C(49000)}},
        // Without open item but with a discount taken, the line stands for what it pays plus that
        // discount: from the paid amount alone the discount would be taken twice (980 -> 960,40).
        ZeilenFall{"OPLeerMitSkontoNimmtZahlbetragUndSkonto", {std::nullopt, C(2000), C(98000)}, Skonto(200),
                   {C(100000), C(2000), C(98000)}},
        ZeilenFall{"OPNullMitSkonto", {C(0), C(2000), C(98000)}, Skonto(300), {C(100000), C(3000), C(97000)}},
        ZeilenFall{"OPLeerSkontoGleichtAusNimmtDenZahlbetrag", {std::nullopt, C(-500), C(500)}, Skonto(200),
                   {C(500), C(10), C(490)}},
        ZeilenFall{"EinProzentVon10_50Ist0_11", {C(1050), std::nullopt, C(1050)}, Skonto(100), {C(1050), C(11), C(1039)}},
        ZeilenFall{"HalberCentWegVonNull", {C(25), std::nullopt, C(25)}, Skonto(200), {C(25), C(1), C(24)}},
        ZeilenFall{"EinmalAufDenCentGerundet", {Roh(9900), std::nullopt, Roh(9900)}, Skonto(50), {Roh(9900), std::nullopt, C(99)}},
        ZeilenFall{"ZehntausendstelImZahlbetragGerundet", {Roh(105055), std::nullopt, Roh(105055)}, Skonto(100),
                   {Roh(105055), C(11), C(1040)}},
        ZeilenFall{"GrundlageIstOPNichtZahlbetrag", {C(100000), C(2000), C(98000)}, Skonto(300), {C(100000), C(3000), C(97000)}},
        ZeilenFall{"NullProzentMachtRueckgaengig", {C(100000), C(2000), C(98000)}, Skonto(0), {C(100000), std::nullopt, C(100000)}},
        ZeilenFall{"NegativerSatzErhoeht", {C(100000), std::nullopt, C(100000)}, Skonto(-200), {C(100000), C(-2000), C(102000)}},
        ZeilenFall{"HoechsterSatz", {C(10000), std::nullopt, C(10000)}, Skonto(9999), {C(10000), C(9999), C(1)}},
        ZeilenFall{"NegativeGrundlageBleibt", {C(-10000), C(-100), C(-10000)}, Skonto(200), {C(-10000), C(-100), C(-10000)}},
        ZeilenFall{"NullGrundlageSkontoNullWirdNull", {C(0), C(0), C(0)}, Skonto(200), {C(0), std::nullopt, C(0)}}),
    [](const ::testing::TestParamInfo<ZeilenFall>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Rundung, Zeilenlauf,
    ::testing::Values(
        ZeilenFall{"ZehntelNachSkontoErsetztDenAbzug", {C(123456), C(2469), C(120987)}, Rundung(0, 2),
                   {C(123456), C(6), C(123450)}},
        ZeilenFall{"AufgerundetGibtNegativesSkonto", {C(123496), std::nullopt, C(123496)}, Rundung(0, 1),
                   {C(123496), C(-4), C(123500)}},
        ZeilenFall{"HunderterOhneOP", {std::nullopt, std::nullopt, C(123456)}, Rundung(2, 0), {C(123456), C(3456), C(120000)}},
        ZeilenFall{"HunderterOhneOPMitSkonto", {std::nullopt, C(3456), C(120000)}, Rundung(2, 0),
                   {C(123456), C(3456), C(120000)}},
        ZeilenFall{"ZuWenigStellenLaesstDenZahlbetrag", {C(10000), C(200), C(9800)}, Rundung(3, 0),
                   {C(10000), C(200), C(9800)}},
        ZeilenFall{"NegativMitVorzeichen", {C(-123456), std::nullopt, C(-123456)}, Rundung(2, 0),
                   {C(-123456), C(-3456), C(-120000)}},
        ZeilenFall{"NegativZweistelligBleibt", {C(-3520), std::nullopt, C(-3520)}, Rundung(2, 0), {C(-3520), std::nullopt, C(-3520)}},
        ZeilenFall{"GenauGerundetSkontoNull", {C(120000), C(500), C(119500)}, Rundung(2, 0), {C(120000), std::nullopt, C(120000)}},
        ZeilenFall{"LeereZeileBleibtLeer", {std::nullopt, std::nullopt, std::nullopt}, Rundung(2, 0),
                   {std::nullopt, std::nullopt, std::nullopt}}),
    [](const ::testing::TestParamInfo<ZeilenFall>& info) { return std::string(info.param.name); });

// --- "Abzug vornehmen" enabled ------------------------------------------------------------------

struct KnopfFall {
  const char* name;
  bool nurMarkierte;
  int markiert;
  SkontoVorgabe vorgabe;
  bool moeglich;
};

class Knopfregel : public ::testing::TestWithParam<KnopfFall> {};

TEST_P(Knopfregel, AbzugMoeglich) {
  const KnopfFall& f = GetParam();
  EXPECT_EQ(SkontoRechnung::AbzugMoeglich(f.nurMarkierte, f.markiert, f.vorgabe), f.moeglich);
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, Knopfregel,
    ::testing::Values(KnopfFall{"MarkiertSkonto", true, 1, Skonto(200), true},
                      KnopfFall{"MarkiertNullProzent", true, 3, Skonto(0), true},
                      KnopfFall{"NichtsMarkiertSkonto", true, 0, Skonto(200), false},
                      KnopfFall{"AlleOhneMarkenSkonto", false, 0, Skonto(200), true},
                      KnopfFall{"MarkiertRundungOhneStellen", true, 1, Rundung(0, 0), false},
                      KnopfFall{"AlleRundungOhneStellen", false, 5, Rundung(0, 0), false},
                      KnopfFall{"MarkiertRundungVorkomma", true, 1, Rundung(1, 0), true},
                      KnopfFall{"AlleRundungNachkomma", false, 0, Rundung(0, 1), true},
                      KnopfFall{"NichtsMarkiertRundung", true, 0, Rundung(2, 2), false}),
    [](const ::testing::TestParamInfo<KnopfFall>& info) { return std::string(info.param.name); });

// --- Settings ----------------------------------------------------------------------------------

class SkontoEinstellungenTest : public ::testing::Test {
 protected:
  SkontoEinstellungen Lesen() {
    return SkontoEinstellungenLesen([this](const QString& k, const QString& v) { return gespeichert.value(k, v); });
  }
  void Speichern(const SkontoEinstellungen& e) {
    SkontoEinstellungenSpeichern(e, [this](const QString& k, const QString& w) { gespeichert.insert(k, w); });
  }
  QMap<QString, QString> gespeichert;
};

TEST_F(SkontoEinstellungenTest, VorgabenOhneGespeicherteWerte) {
  const SkontoEinstellungen e = Lesen();
  EXPECT_TRUE(e.vorgabe.skonto);
  EXPECT_EQ(e.vorgabe.prozent, Waehrung());
  EXPECT_EQ(e.vorgabe.vorkomma, 0);
  EXPECT_EQ(e.vorgabe.nachkomma, 0);
  EXPECT_TRUE(e.nurMarkierte);
}

TEST_F(SkontoEinstellungenTest, RundreiseUndGespeicherteTexte) {
  SkontoEinstellungen e;
  e.vorgabe = Rundung(3, 1);
  e.vorgabe.prozent = Waehrung::AusCent(250);
  e.nurMarkierte = false;
  Speichern(e);
  EXPECT_EQ(gespeichert.value(QStringLiteral("Aktion")), QStringLiteral("False"));
  EXPECT_EQ(gespeichert.value(QStringLiteral("Prozent")), QStringLiteral("2.5"));
  EXPECT_EQ(gespeichert.value(QStringLiteral("Vorkomma")), QStringLiteral("3"));
  EXPECT_EQ(gespeichert.value(QStringLiteral("Nachkomma")), QStringLiteral("1"));
  EXPECT_EQ(gespeichert.value(QStringLiteral("Markierung")), QStringLiteral("False"));
  EXPECT_EQ(Lesen(), e);

  e.vorgabe = Skonto(-75);
  e.nurMarkierte = true;
  Speichern(e);
  EXPECT_EQ(gespeichert.value(QStringLiteral("Aktion")), QStringLiteral("True"));
  EXPECT_EQ(gespeichert.value(QStringLiteral("Prozent")), QStringLiteral("-0.75"));
  EXPECT_EQ(Lesen(), e);
}

TEST_F(SkontoEinstellungenTest, AlteFormenWerdenGelesen) {
  // Written by earlier versions in the user's number format and as the run time's Boolean words.
  gespeichert = {{QStringLiteral("Aktion"), QStringLiteral("Falsch")}, {QStringLiteral("Prozent"), QStringLiteral("2,50")},
                 {QStringLiteral("Vorkomma"), QStringLiteral("2")},   {QStringLiteral("Nachkomma"), QStringLiteral("0")},
                 {QStringLiteral("Markierung"), QStringLiteral("0")}};
  SkontoEinstellungen e = Lesen();
  EXPECT_FALSE(e.vorgabe.skonto);
  EXPECT_EQ(e.vorgabe.prozent, Waehrung::AusCent(250));
  EXPECT_EQ(e.vorgabe.vorkomma, 2);
  EXPECT_FALSE(e.nurMarkierte);

  gespeichert = {{QStringLiteral("Aktion"), QStringLiteral("-1")}, {QStringLiteral("Markierung"), QStringLiteral("Wahr")}};
  e = Lesen();
  EXPECT_TRUE(e.vorgabe.skonto);
  EXPECT_TRUE(e.nurMarkierte);
}

TEST_F(SkontoEinstellungenTest, WerteAusserhalbDerFelderWerdenBegrenzt) {
  gespeichert = {{QStringLiteral("Prozent"), QStringLiteral("150")}, {QStringLiteral("Vorkomma"), QStringLiteral("12")},
                 {QStringLiteral("Nachkomma"), QStringLiteral("-1")}, {QStringLiteral("Aktion"), QStringLiteral("vielleicht")}};
  SkontoEinstellungen e = Lesen();
  EXPECT_EQ(e.vorgabe.prozent, Waehrung::AusCent(9999));
  EXPECT_EQ(e.vorgabe.vorkomma, 9);
  EXPECT_EQ(e.vorgabe.nachkomma, 0);
  EXPECT_TRUE(e.vorgabe.skonto);  // unreadable: the default

  gespeichert = {{QStringLiteral("Prozent"), QStringLiteral("-100,5")}, {QStringLiteral("Nachkomma"), QStringLiteral("7")}};
  e = Lesen();
  EXPECT_EQ(e.vorgabe.prozent, Waehrung::AusCent(-9999));
  EXPECT_EQ(e.vorgabe.nachkomma, 2);
  gespeichert = {{QStringLiteral("Prozent"), QStringLiteral("1.234,5")}};
  EXPECT_EQ(Lesen().vorgabe.prozent, Waehrung());
}

TEST(SkontoProzent, TextOhneLandesformat) {
  EXPECT_EQ(SkontoRechnung::ProzentAlsText(Waehrung::AusCent(250)), QStringLiteral("2.5"));
  EXPECT_EQ(SkontoRechnung::ProzentAlsText(Waehrung::AusCent(1000)), QStringLiteral("10"));
  EXPECT_EQ(SkontoRechnung::ProzentAlsText(Waehrung::AusCent(9999)), QStringLiteral("99.99"));
  EXPECT_EQ(SkontoRechnung::ProzentAlsText(Waehrung()), QStringLiteral("0"));
  EXPECT_EQ(SkontoRechnung::ProzentAlsText(Waehrung::AusCent(-5)), QStringLiteral("-0.05"));
  EXPECT_EQ(SkontoRechnung::ProzentAusText(QStringLiteral(" 2,5 ")), Waehrung::AusCent(250));
  EXPECT_EQ(SkontoRechnung::ProzentAusText(QStringLiteral("2.5")), Waehrung::AusCent(250));
  EXPECT_EQ(SkontoRechnung::ProzentAusText(QStringLiteral("abc")), std::nullopt);
}

}  // namespace
