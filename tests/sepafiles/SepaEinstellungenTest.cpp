#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include <QDir>

#include "LaufTestDatenbank.h"
#include "QtAusgabe.h"
#include "common/Datenhilfen.h"
#include "sepafiles/core/SepaEinstellungen.h"
#include "testsupport/TestOrdner.h"

namespace {

QString MitTrenner(const QString& ordner) { return QDir::toNativeSeparators(ordner) + QDir::separator(); }

TEST(SepaEinstellungen, VorgabenOhneGespeicherteWerte) {
  LaufTestDatenbank t;
  TestOrdner daten;
  const SepaEinstellungen e = SepaEinstellungen::Laden(t.Db(), daten.Pfad());
  EXPECT_EQ(e.Kopien, 0);
  EXPECT_EQ(e.Faelligkeitstage, 2);
  EXPECT_EQ(e.Zahlungsart, 0);
  EXPECT_TRUE(e.Sammelbuchung);
  EXPECT_FALSE(e.AutoEinzelReferenz);
  EXPECT_TRUE(e.LastschriftenAufteilen);
  EXPECT_EQ(e.Zielordner, MitTrenner(daten.Pfad()));
  EXPECT_TRUE(e.Statustext.isEmpty());
  EXPECT_EQ(e.Dateiformat, SepaFormat::Pain09);
}

TEST(SepaEinstellungen, SpeichernUndLadenMitDenGenauenSchluesseln) {
  LaufTestDatenbank t;
  TestOrdner daten;
  TestOrdner ziel;
  SepaEinstellungen e;
  e.Kopien = 3;
  e.Faelligkeitstage = 5;
  e.Zahlungsart = 2;
  e.Sammelbuchung = false;
  e.AutoEinzelReferenz = true;
  e.LastschriftenAufteilen = false;
  e.Zielordner = MitTrenner(ziel.Pfad());
  e.Dateiformat = SepaFormat::Pain03;
  ASSERT_FALSE(e.Speichern(t.Db()));

  EXPECT_EQ(EinstellungLesen(t.Db(), QStringLiteral("SEPADruckKopien:")), QStringLiteral("3"));
  EXPECT_EQ(EinstellungLesen(t.Db(), QStringLiteral("SEPAFälligkeitstage2:")), QStringLiteral("5"));
  EXPECT_EQ(EinstellungLesen(t.Db(), QStringLiteral("SEPAAktZahlungsart")), QStringLiteral("2"));
  EXPECT_EQ(EinstellungLesen(t.Db(), QStringLiteral("SEPASammelbuchung")), QStringLiteral("0"));
  EXPECT_EQ(EinstellungLesen(t.Db(), QStringLiteral("SEPAAutoEinzelReferenz")), QStringLiteral("1"));
  EXPECT_EQ(EinstellungLesen(t.Db(), QStringLiteral("SEPALastschriftenAufteilenMandatArt")), QStringLiteral("0"));
  EXPECT_EQ(EinstellungLesen(t.Db(), QStringLiteral("DTADateiZiel")), MitTrenner(ziel.Pfad()));
  EXPECT_EQ(EinstellungLesen(t.Db(), QStringLiteral("SEPADateiformat")), QStringLiteral("pain.001.001.03"));

  const SepaEinstellungen g = SepaEinstellungen::Laden(t.Db(), daten.Pfad());
  EXPECT_EQ(g.Kopien, 3);
  EXPECT_EQ(g.Faelligkeitstage, 5);
  EXPECT_EQ(g.Zahlungsart, 2);
  EXPECT_FALSE(g.Sammelbuchung);
  EXPECT_TRUE(g.AutoEinzelReferenz);
  EXPECT_FALSE(g.LastschriftenAufteilen);
  EXPECT_EQ(g.Zielordner, MitTrenner(ziel.Pfad()));
  EXPECT_EQ(g.Dateiformat, SepaFormat::Pain03);
}

// The current format unless the older one is stored: also for an installation that ran the older one before
// the setting existed, and for a value nobody knows.
struct FormatFall {
  const char* gespeichert;
  SepaFormat erwartet;
};
class GespeichertesFormat : public ::testing::TestWithParam<FormatFall> {};
TEST_P(GespeichertesFormat, NurDieAelterWennSieGespeichertIst) {
  LaufTestDatenbank t;
  ASSERT_FALSE(EinstellungSpeichern(t.Db(), QStringLiteral("SEPADateiformat"), QString::fromUtf8(GetParam().gespeichert)));
  EXPECT_EQ(SepaEinstellungen::Laden(t.Db(), QDir::tempPath()).Dateiformat, GetParam().erwartet);
}
INSTANTIATE_TEST_SUITE_P(Werte, GespeichertesFormat,
                         ::testing::Values(FormatFall{"pain.001.001.03", SepaFormat::Pain03},
                                           FormatFall{"pain.008.001.02", SepaFormat::Pain03},
                                           FormatFall{"pain.001.001.09", SepaFormat::Pain09},
                                           FormatFall{"", SepaFormat::Pain09},
                                           FormatFall{"1", SepaFormat::Pain09},
                                           FormatFall{"pain.001.001.02", SepaFormat::Pain09}),
    [](const auto& info) { return "Gespeichert_" + TestnameBuchstabiert(info.param.gespeichert); });

struct ArtFall {
  const char* gespeichert;
  int erwartet;
};
class GespeicherteArt : public ::testing::TestWithParam<ArtFall> {};
TEST_P(GespeicherteArt, AusserhalbNullBisZweiWaehltNull) {
  LaufTestDatenbank t;
  ASSERT_FALSE(EinstellungSpeichern(t.Db(), QStringLiteral("SEPAAktZahlungsart"), QString::fromUtf8(GetParam().gespeichert)));
  EXPECT_EQ(SepaEinstellungen::Laden(t.Db(), QDir::tempPath()).Zahlungsart, GetParam().erwartet);
}
INSTANTIATE_TEST_SUITE_P(Werte, GespeicherteArt,
                         ::testing::Values(ArtFall{"1", 1}, ArtFall{"2", 2}, ArtFall{"3", 0}, ArtFall{"-1", 0},
                                           ArtFall{"abc", 0}, ArtFall{"2 Firmen", 2}, ArtFall{"99999999999", 0}),
    [](const auto& info) { return "Gespeichert_" + TestnameBuchstabiert(info.param.gespeichert); });

TEST(SepaEinstellungen, SchalterNurMitWertEinsUndUnlesbareZahlenMitVorgabe) {
  LaufTestDatenbank t;
  EinstellungSpeichern(t.Db(), QStringLiteral("SEPASammelbuchung"), QStringLiteral("2"));
  EinstellungSpeichern(t.Db(), QStringLiteral("SEPAAutoEinzelReferenz"), QStringLiteral("1"));
  EinstellungSpeichern(t.Db(), QStringLiteral("SEPAFälligkeitstage2:"), QStringLiteral("zwei"));
  EinstellungSpeichern(t.Db(), QStringLiteral("SEPADruckKopien:"), QStringLiteral("4 Kopien"));
  const SepaEinstellungen e = SepaEinstellungen::Laden(t.Db(), QDir::tempPath());
  EXPECT_FALSE(e.Sammelbuchung);
  EXPECT_TRUE(e.AutoEinzelReferenz);
  EXPECT_EQ(e.Faelligkeitstage, 2);
  EXPECT_EQ(e.Kopien, 4);
}

TEST(SepaEinstellungen, FehlenderZielordnerFaelltAufDenDatenordnerZurueck) {
  LaufTestDatenbank t;
  TestOrdner daten;
  const QString fehlt = daten.Datei(QStringLiteral("gibt-es-nicht"));
  EinstellungSpeichern(t.Db(), QStringLiteral("DTADateiZiel"), fehlt);
  const SepaEinstellungen e = SepaEinstellungen::Laden(t.Db(), daten.Pfad());
  EXPECT_EQ(e.Zielordner, MitTrenner(daten.Pfad()));
  EXPECT_TRUE(e.Statustext.contains(QDir::toNativeSeparators(fehlt)));
  EXPECT_TRUE(e.Statustext.contains(QStringLiteral("Datenordner")));
}

}  // namespace
