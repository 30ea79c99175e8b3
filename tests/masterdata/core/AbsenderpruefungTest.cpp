#include <gtest/gtest.h>

#include <QDir>

#include <functional>

#include "common/Programmzustand.h"
#include "masterdata/core/Absenderbeispiel.h"
#include "masterdata/core/Absenderpruefung.h"
#include "testsupport/TestOrdner.h"

namespace {

struct Fall {
  const char* name;
  std::function<void(Absenderdaten&)> aendern;
  Absenderpruefung::Feld feld;
  const char* meldung;
};

class AbsenderpruefungTest : public ::testing::TestWithParam<Fall> {};

TEST_P(AbsenderpruefungTest, LehntMitMeldungAb) {
  Absenderdaten d = GuterAbsender();
  GetParam().aendern(d);
  const auto fehler = Absenderpruefung::Pruefen(d);
  ASSERT_TRUE(fehler.has_value());
  EXPECT_EQ(fehler->feld, GetParam().feld);
  EXPECT_EQ(fehler->meldung, QString::fromUtf8(GetParam().meldung) + QStringLiteral("\rBitte korrigieren/ergänzen Sie die Eingabe."));
}

INSTANTIATE_TEST_SUITE_P(
    Eingaben, AbsenderpruefungTest,
    ::testing::Values(
        Fall{"NameFehlt", [](Absenderdaten& d) { d.name = QStringLiteral("  "); }, Absenderpruefung::Feld::Name,
             "Der Name des Absenders fehlt noch."},
        Fall{"BicFehlt", [](Absenderdaten& d) { d.bic.clear(); }, Absenderpruefung::Feld::Bic, "Die BIC fehlt noch."},
        Fall{"BicZehnZeichen", [](Absenderdaten& d) { d.bic = QStringLiteral("COBADEFFXX"); },
             Absenderpruefung::Feld::Bic, "Die BIC muss 8 oder 11 Zeichen lang sein."},
        Fall{"BicAufbau", [](Absenderdaten& d) { d.bic = QStringLiteral("C0BADEFF"); }, Absenderpruefung::Feld::Bic,
             "Die BIC muss mit 4 Buchstaben (Bankcode) beginnen."},
        Fall{"BicLand", [](Absenderdaten& d) { d.bic = QStringLiteral("COBAXXFF"); }, Absenderpruefung::Feld::Bic,
             "Die Zeichen 5 und 6 der BIC sind kein gültiger Ländercode."},
        Fall{"IbanFehlt", [](Absenderdaten& d) { d.iban.clear(); }, Absenderpruefung::Feld::Iban,
             "Die IBAN fehlt noch komplett."},
        Fall{"IbanKurz", [](Absenderdaten& d) { d.iban = QStringLiteral("DE8937040044"); },
             Absenderpruefung::Feld::Iban, "Die IBAN ist zu kurz. Es sind mindestens 15 Zeichen notwendig."},
        Fall{"IbanLand", [](Absenderdaten& d) { d.iban = QStringLiteral("XY89370400440532013000"); },
             Absenderpruefung::Feld::Iban, "Die IBAN fängt mit 2 unbekannten Zeichen an."},
        Fall{"IbanLaenge", [](Absenderdaten& d) { d.iban = QStringLiteral("DE893704004405320130001"); },
             Absenderpruefung::Feld::Iban, "Die IBAN hat nicht die für das jeweilige Land definierte Länge."},
        Fall{"IbanPruefziffer", [](Absenderdaten& d) { d.iban = QStringLiteral("DE88370400440532013000"); },
             Absenderpruefung::Feld::Iban, "Die Prüfziffer der IBAN ist falsch."},
        Fall{"GlaeubigerIdPruefziffer", [](Absenderdaten& d) { d.glaeubigerId = QStringLiteral("DE97ZZZ09999999999"); },
             Absenderpruefung::Feld::GlaeubigerId, "Die Prüfziffer der Gläubiger-ID ist falsch."},
        Fall{"GlaeubigerIdAufbau", [](Absenderdaten& d) { d.glaeubigerId = QStringLiteral("DE98"); },
             Absenderpruefung::Feld::GlaeubigerId,
             "Die Gläubiger-ID hat nicht den Aufbau Land, Prüfziffer, Geschäftsbereich, Kennung (z. B. "
             "DE98ZZZ09999999999)."},
        Fall{"VerbindungFehlt", [](Absenderdaten& d) { d.adressenFormat = 1; }, Absenderpruefung::Feld::AdressenVerbindung,
             "Für dieses Adressenformat fehlt noch die Datenbank-Verbindung."}),
    [](const ::testing::TestParamInfo<Fall>& info) { return std::string(info.param.name); });

TEST(Absenderpruefung, GuterAbsenderMitKleinbuchstabenUndLeerzeichen) {
  Absenderdaten d = GuterAbsender();
  d.bic = QStringLiteral("cobadeff");
  d.glaeubigerId = QStringLiteral("de98 zzz0 9999 9999 99");
  EXPECT_FALSE(Absenderpruefung::Pruefen(d).has_value());
  const Absenderdaten n = Absenderpruefung::Normalisieren(d);
  EXPECT_EQ(n.iban, QStringLiteral("DE89370400440532013000"));
  EXPECT_EQ(n.glaeubigerId, QStringLiteral("DE98ZZZ09999999999"));
  d.glaeubigerId.clear();   // only direct debits need it
  EXPECT_FALSE(Absenderpruefung::Pruefen(d).has_value());
}

// A database named without its folder is the one in the data folder, where the start links it: the save
// checks that file, never one in the working folder of the program.
TEST(Absenderpruefung, VerbindungOhneOrdnerLiegtImDatenordner) {
  TestOrdner ordner;
  const QString daten = ordner.Datei(QStringLiteral("daten"));
  const QString arbeit = ordner.Datei(QStringLiteral("arbeit"));
  QDir().mkpath(daten);
  QDir().mkpath(arbeit);
  TestOrdner::Schreiben(daten + QStringLiteral("/OP.db"), "x");
  TestOrdner::Schreiben(arbeit + QStringLiteral("/Nur hier.db"), "x");
  struct Zurueck {
    QString ordner = QDir::currentPath();
    ~Zurueck() {
      QDir::setCurrent(ordner);
      Programmzustand::Instanz().Zuruecksetzen();
    }
  } zurueck;
  ASSERT_TRUE(QDir::setCurrent(arbeit));
  Programmzustand::Instanz().DatenVerzeichnisSetzen(daten + QLatin1Char('/'));
  struct Zeile {
    const char* verbindung;
    bool gefunden;
  };
  const Zeile zeilen[] = {{"OP.db", true}, {" OP.db ", true}, {"Nur hier.db", false}, {"../daten/OP.db", true},
                          {"../arbeit/Nur hier.db", true}, {"../Nur hier.db", false}};
  for (const Zeile& z : zeilen) {
    SCOPED_TRACE(z.verbindung);
    Absenderdaten d = GuterAbsender();
    d.adressenFormat = 2;
    d.adressenVerbindung = QString::fromUtf8(z.verbindung);
    const auto fehler = Absenderpruefung::Pruefen(d);
    EXPECT_EQ(fehler.has_value(), !z.gefunden);
    if (fehler) EXPECT_EQ(fehler->feld, Absenderpruefung::Feld::AdressenVerbindung);
  }
}

}  // namespace
