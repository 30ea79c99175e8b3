#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include <QDir>

#include "LaufTestDatenbank.h"
#include "QtAusgabe.h"
#include "common/Datenhilfen.h"
#include "sepafiles/core/SepaEinstellungen.h"
#include "sepafiles/core/SepaLauf.h"
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
                                           ArtFall{"abc", 0}, ArtFall{"2 Firmen", 0}, ArtFall{"99999999999", 0},
                                           ArtFall{" +2 ", 2}),
    [](const auto& info) { return "Gespeichert_" + TestnameBuchstabiert(info.param.gespeichert); });

// Every number read from the settings within the range its field takes; outside it, or a text that is no whole
// number ("5abc" is not 5, "1e3" not 1), the default, with a note naming the stored text.
struct BereichFall {
  const char* name;
  const char* schluessel;
  const char* gespeichert;
  int faelligkeitstage, kopien, zahlungsart;
  bool hinweis;
};
class Bereiche : public ::testing::TestWithParam<BereichFall> {};
TEST_P(Bereiche, AusserhalbGiltDieVorgabeMitHinweis) {
  const BereichFall& fall = GetParam();
  LaufTestDatenbank t;
  ASSERT_FALSE(EinstellungSpeichern(t.Db(), QString::fromUtf8(fall.schluessel), QString::fromUtf8(fall.gespeichert)));
  const SepaEinstellungen e = SepaEinstellungen::Laden(t.Db(), QDir::tempPath());
  EXPECT_EQ(e.Faelligkeitstage, fall.faelligkeitstage);
  EXPECT_EQ(e.Kopien, fall.kopien);
  EXPECT_EQ(e.Zahlungsart, fall.zahlungsart);
  if (fall.hinweis) {
    EXPECT_TRUE(e.Statustext.startsWith(QStringLiteral("Der gespeicherte Wert \"%1\" für ").arg(QString::fromUtf8(fall.gespeichert))))
        << e.Statustext.toStdString();
  } else {
    EXPECT_TRUE(e.Statustext.isEmpty()) << e.Statustext.toStdString();
  }
}
INSTANTIATE_TEST_SUITE_P(
    Werte, Bereiche,
    ::testing::Values(BereichFall{"TageNull", "SEPAFälligkeitstage2:", "0", 0, 0, 0, false},
                      BereichFall{"TageVierzehn", "SEPAFälligkeitstage2:", "14", 14, 0, 0, false},
                      BereichFall{"TageFuenfzehn", "SEPAFälligkeitstage2:", "15", 2, 0, 0, true},
                      BereichFall{"TageTausendeinhundert", "SEPAFälligkeitstage2:", "1100", 2, 0, 0, true},
                      BereichFall{"TageNegativ", "SEPAFälligkeitstage2:", "-1", 2, 0, 0, true},
                      BereichFall{"TageRiesig", "SEPAFälligkeitstage2:", "999999999999", 2, 0, 0, true},
                      BereichFall{"TageKeineZahl", "SEPAFälligkeitstage2:", "viele", 2, 0, 0, true},
                      BereichFall{"TageZifferUndText", "SEPAFälligkeitstage2:", "5abc", 2, 0, 0, true},
                      BereichFall{"TageMitExponent", "SEPAFälligkeitstage2:", "1e3", 2, 0, 0, true},
                      BereichFall{"TageMitKomma", "SEPAFälligkeitstage2:", "5,5", 2, 0, 0, true},
                      BereichFall{"TageMitVorzeichen", "SEPAFälligkeitstage2:", "+5", 5, 0, 0, false},
                      BereichFall{"KopienZifferUndText", "SEPADruckKopien:", "4 Kopien", 2, 0, 0, true},
                      BereichFall{"ArtZifferUndText", "SEPAAktZahlungsart", "1x", 2, 0, 0, true},
                      BereichFall{"KopienNeunundneunzig", "SEPADruckKopien:", "99", 2, 99, 0, false},
                      BereichFall{"KopienHundert", "SEPADruckKopien:", "100", 2, 0, 0, true},
                      BereichFall{"KopienNegativ", "SEPADruckKopien:", "-3", 2, 0, 0, true},
                      BereichFall{"ArtDrei", "SEPAAktZahlungsart", "3", 2, 0, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SepaEinstellungen, HinweiseUndFehlenderOrdnerZusammen) {
  LaufTestDatenbank t;
  TestOrdner daten;
  ASSERT_FALSE(EinstellungSpeichern(t.Db(), QStringLiteral("SEPAFälligkeitstage2:"), QStringLiteral("400")));
  ASSERT_FALSE(EinstellungSpeichern(t.Db(), QStringLiteral("DTADateiZiel"), daten.Datei(QStringLiteral("weg"))));
  const SepaEinstellungen e = SepaEinstellungen::Laden(t.Db(), daten.Pfad());
  const QStringList zeilen = e.Statustext.split(QLatin1Char('\n'));
  ASSERT_EQ(zeilen.size(), 2) << e.Statustext.toStdString();
  EXPECT_EQ(zeilen.at(0), QStringLiteral("Der gespeicherte Wert \"400\" für die Fälligkeitstage der Lastschriften liegt "
                                         "nicht zwischen 0 und 14; es gilt 2."));
  EXPECT_TRUE(zeilen.at(1).contains(QStringLiteral("ist nicht vorhanden")));
}

// The run refuses lead days out of range, whoever hands them in (the headless driver included).
TEST(SepaEinstellungen, LaufPrueftDieFaelligkeitstage) {
  EXPECT_TRUE(SepaEinstellungen::FaelligkeitstageMeldung(0).isEmpty());
  EXPECT_TRUE(SepaEinstellungen::FaelligkeitstageMeldung(14).isEmpty());
  EXPECT_FALSE(SepaEinstellungen::FaelligkeitstageMeldung(15).isEmpty());
  EXPECT_FALSE(SepaEinstellungen::FaelligkeitstageMeldung(-1).isEmpty());
  SepaAbsender absender;
  absender.GlaeubigerID = QStringLiteral("DE98ZZZ09999999999");
  SepaLaufAnfrage anfrage;
  anfrage.Referenz = QStringLiteral("R100");
  anfrage.Optionen.Art = SepaArt::BasisLastschrift;
  anfrage.Optionen.Vorlauftage = 14;
  EXPECT_EQ(SepaLauf::Vorpruefen(anfrage, absender), QString());
  anfrage.Optionen.Vorlauftage = 15;
  EXPECT_EQ(SepaLauf::Vorpruefen(anfrage, absender), SepaEinstellungen::FaelligkeitstageMeldung(15));
  // Credit transfers have no lead days.
  anfrage.Optionen.Art = SepaArt::Ueberweisung;
  EXPECT_EQ(SepaLauf::Vorpruefen(anfrage, absender), QString());
}

TEST(SepaEinstellungen, SchalterNurMitWertEinsUndUnlesbareZahlenMitVorgabe) {
  LaufTestDatenbank t;
  EinstellungSpeichern(t.Db(), QStringLiteral("SEPASammelbuchung"), QStringLiteral("2"));
  EinstellungSpeichern(t.Db(), QStringLiteral("SEPAAutoEinzelReferenz"), QStringLiteral("1"));
  EinstellungSpeichern(t.Db(), QStringLiteral("SEPALastschriftenAufteilenMandatArt"), QStringLiteral("1abc"));
  EinstellungSpeichern(t.Db(), QStringLiteral("SEPAFälligkeitstage2:"), QStringLiteral("zwei"));
  EinstellungSpeichern(t.Db(), QStringLiteral("SEPADruckKopien:"), QStringLiteral("4 Kopien"));
  const SepaEinstellungen e = SepaEinstellungen::Laden(t.Db(), QDir::tempPath());
  EXPECT_FALSE(e.Sammelbuchung);
  EXPECT_TRUE(e.AutoEinzelReferenz);
  EXPECT_FALSE(e.LastschriftenAufteilen);   // "1abc" is no 1
  EXPECT_EQ(e.Faelligkeitstage, 2);
  EXPECT_EQ(e.Kopien, 0);
  EXPECT_EQ(e.Statustext.split(QLatin1Char('\n')),
            QStringList({QStringLiteral("Der gespeicherte Wert \"4 Kopien\" für die Kopien der Kontroll-Liste ist keine "
                                        "ganze Zahl; es gilt 0."),
                         QStringLiteral("Der gespeicherte Wert \"zwei\" für die Fälligkeitstage der Lastschriften ist "
                                        "keine ganze Zahl; es gilt 2.")}));
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

// A stored folder without its full path (set by hand, or a drive path of the old program) would be found
// from the working folder of each workstation: the data folder is used, with the reason.
TEST(SepaEinstellungen, ZielordnerOhneVollstaendigenPfadFaelltAufDenDatenordnerZurueck) {
  LaufTestDatenbank t;
  TestOrdner daten;
  QDir().mkpath(daten.Datei(QStringLiteral("relativ")));
  struct Zurueck {
    QString ordner = QDir::currentPath();
    ~Zurueck() { QDir::setCurrent(ordner); }
  } zurueck;
  ASSERT_TRUE(QDir::setCurrent(daten.Pfad()));
  for (const char* gespeichert : {"relativ", "./relativ/", "C:\\relativ", ".."}) {
    SCOPED_TRACE(gespeichert);
    EinstellungSpeichern(t.Db(), QStringLiteral("DTADateiZiel"), QString::fromUtf8(gespeichert));
    const SepaEinstellungen e = SepaEinstellungen::Laden(t.Db(), daten.Pfad());
    EXPECT_EQ(e.Zielordner, MitTrenner(daten.Pfad()));
    EXPECT_EQ(e.Statustext, QStringLiteral("Der Ordner \"%1\" für die SEPA-Datei ist kein vollständiger Pfad. Es wird der "
                                           "Datenordner verwendet.")
                                .arg(QDir::toNativeSeparators(QString::fromUtf8(gespeichert))));
  }
}

}  // namespace
