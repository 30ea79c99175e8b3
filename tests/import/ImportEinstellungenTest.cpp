// The import window's settings: defaults, the stored forms of older versions, the template per sender.

#include <gtest/gtest.h>

#include "import/core/ImportEinstellungen.h"
#include "payments/core/OPUebernahme.h"
#include "platform/settings/Registrierung.h"
#include "testsupport/TestOrdner.h"

namespace {

class ImportEinstellungenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_vorher = Registrierung::Instanz().Datei();
    Registrierung::Instanz().DateiSetzen(m_ordner.Datei(QStringLiteral("einstellungen.ini")));
  }
  void TearDown() override { Registrierung::Instanz().DateiSetzen(m_vorher); }
  TestOrdner m_ordner;
  QString m_vorher;
};

TEST_F(ImportEinstellungenTest, VorgabenOhneGespeicherteWerte) {
  const ImportEinstellungen e = ImportEinstellungen::Laden(1, false);
  EXPECT_TRUE(e.textschluesselLieferanten.isEmpty());
  EXPECT_TRUE(e.textschluesselKunden.isEmpty());
  EXPECT_TRUE(e.ohneDiverse && e.maximalSkonto && e.lieferantenKundenNr && e.skontoNurPositiv && e.nurMarkierte);
  EXPECT_TRUE(e.pruefung) << "the duplicate check is on by default";
  EXPECT_FALSE(e.fehlEingaben || e.faelligEintragen || e.kleinBetrag || e.fehlerNichtSpeichern || e.nurMitBankKontoNr ||
               e.ohneNegativSummen || e.ohneOPMehrAls5Zeilen || e.erstAufFolge || e.mandatDatumBelegen ||
               e.mandatReferenzBelegen);
  EXPECT_FALSE(e.fixdatum);
  EXPECT_EQ(e.vorlage, ZeilenvorlagenVorgabe());
}

TEST_F(ImportEinstellungenTest, TextschluesselNurAusDenListen) {
  EXPECT_EQ(ImportEinstellungen::TextschluesselLesen(QStringLiteral("51000"), QStringLiteral("G")), QString());
  EXPECT_EQ(ImportEinstellungen::TextschluesselLesen(QStringLiteral("05000"), QStringLiteral("L")), QString());
  EXPECT_EQ(ImportEinstellungen::TextschluesselLesen(QStringLiteral(" supp"), QStringLiteral("G")), QStringLiteral("SUPP"));
  EXPECT_EQ(ImportEinstellungen::TextschluesselLesen(QStringLiteral("SUPP"), QStringLiteral("L")), QString());
  EXPECT_EQ(ImportEinstellungen::TextschluesselLesen(QStringLiteral("COLL"), QStringLiteral("L")), QStringLiteral("COLL"));
  SaveSetting(QStringLiteral("Import"), QStringLiteral("Text1"), QStringLiteral("51000"));
  SaveSetting(QStringLiteral("Import"), QStringLiteral("Text2"), QStringLiteral("DBTC"));
  const ImportEinstellungen e = ImportEinstellungen::Laden(1, false);
  EXPECT_EQ(e.textschluesselLieferanten, QString());
  EXPECT_EQ(e.textschluesselKunden, QStringLiteral("DBTC"));
}

TEST_F(ImportEinstellungenTest, MarkierungInJederGespeichertenForm) {
  for (const char* wahr : {"-1", "1", "5", "True", "Wahr", "", "unlesbar"})
    EXPECT_TRUE(ImportEinstellungen::MarkierungLesen(QString::fromUtf8(wahr))) << wahr;
  for (const char* falsch : {"0", "False", "falsch", " 0 "})
    EXPECT_FALSE(ImportEinstellungen::MarkierungLesen(QString::fromUtf8(falsch))) << falsch;
}

TEST_F(ImportEinstellungenTest, SpeichernUndLesenVorlageJeAbsender) {
  ImportEinstellungen e = ImportEinstellungen::Laden(1, true);
  e.textschluesselLieferanten = QStringLiteral("SUPP");
  e.pruefung = false;
  e.fehlEingaben = true;
  e.nurMarkierte = false;
  e.fixdatum = QDate(2013, 10, 1);
  e.fixtext = QStringLiteral("-A");
  e.datenfeldMandatDatum = QStringLiteral("MandatDatum");
  e.vorlage = QStringLiteral("Rg {RgNr}");
  e.Speichern(1, true);
  EXPECT_EQ(GetSetting(QStringLiteral("Import"), QStringLiteral("Markierung")), QStringLiteral("0"));
  EXPECT_EQ(GetSetting(QStringLiteral("Import"), QStringLiteral("Prüfung")), QStringLiteral("0"));
  EXPECT_EQ(GetSetting(QStringLiteral("Import"), QStringLiteral("FehlEingaben")), QStringLiteral("1"));
  EXPECT_EQ(GetSetting(QStringLiteral("Import"), QStringLiteral("FehlendesMandatDatumFixdatum")), QStringLiteral("01.10.2013"));
  EXPECT_EQ(GetSetting(QStringLiteral("ImportAbsenderNr1"), QStringLiteral("AutoVerwendungszweck")), QStringLiteral("Rg {RgNr}"));
  EXPECT_FALSE(Registrierung::Instanz().Vorhanden(QStringLiteral("Import"), QStringLiteral("AutoVerwendungszweck")));

  const ImportEinstellungen eins = ImportEinstellungen::Laden(1, true);
  EXPECT_EQ(eins.vorlage, QStringLiteral("Rg {RgNr}"));
  EXPECT_EQ(eins.textschluesselLieferanten, QStringLiteral("SUPP"));
  EXPECT_FALSE(eins.pruefung);
  EXPECT_FALSE(eins.nurMarkierte);
  EXPECT_EQ(eins.fixdatum, std::optional<QDate>(QDate(2013, 10, 1)));
  EXPECT_EQ(eins.fixtext, QStringLiteral("-A"));
  EXPECT_EQ(eins.datenfeldMandatDatum, QStringLiteral("MandatDatum"));
  // The other sender keeps the default template and shares every other setting.
  const ImportEinstellungen zwei = ImportEinstellungen::Laden(2, true);
  EXPECT_EQ(zwei.vorlage, ZeilenvorlagenVorgabe());
  EXPECT_FALSE(zwei.pruefung);
  EXPECT_EQ(ImportEinstellungen::Laden(1, false).vorlage, ZeilenvorlagenVorgabe());
}

}  // namespace
