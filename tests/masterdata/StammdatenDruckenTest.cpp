#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QListWidget>

#include "Stammdatenumgebung.h"
#include "common/FilterBedingung.h"
#include "common/Programmzustand.h"
#include "masterdata/FormAdressen.h"
#include "masterdata/FormularAbsender.h"
#include "masterdata/core/Absenderdaten.h"
#include "masterdata/core/Absenderverwaltung.h"
#include "platform/report/Poppler.h"
#include "platform/report/QtReportengine.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/GitterFilterSpalte.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/Werkzeugleiste.h"
#include "printing/DruckLL.h"
#include "printing/ReportAuswaehlen.h"
#include "printing/Reportjob.h"

namespace {

const char* const kDaten = R"SQL(
UPDATE Absender SET Suchname = 'HAUPT', Name = 'Tamo Handel GmbH', IBAN = 'DE89370400440532013000' WHERE AbsenderNr = 1;
INSERT INTO Absender (AbsenderNr, Suchname, Name, IBAN) VALUES (2, 'FILIALE', 'Tamo Filiale Köln', 'DE02120300000000202051');
INSERT INTO Adressen (OPKontoNr, Suchname, Name, BIC, IBAN, MandatReferenz, MandatDatum) VALUES
  ('10001', 'MUELLER', 'Müller & Söhne', 'COBADEFFXXX', 'DE89370400440532013000', 'M-1', '2024-02-29'),
  ('10002', 'SCHULZ', 'Schulz GmbH', 'INGDDEFFXXX', 'DE12500105170648489890', 'M-2', '2023-01-01');
INSERT INTO Bankverbindung (BLZ, BIC, Bank) VALUES ('37040044', 'COBADEFFXXX', 'Commerzbank Köln');
)SQL";

// Prints through the print dialog to the printer, which the engine sends to a PDF file.
class StammdatenDruckenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_umgebung.Oeffnen(m_umgebung.Datenordner(QStringLiteral("daten"), kDaten));
    const QString programm = m_umgebung.Ordner().Datei(QStringLiteral("programm"));
    QDir().mkpath(programm);
    for (const QString& name : QDir(QStringLiteral(TAMO_SOURCE_DIR "/resources")).entryList({QStringLiteral("*.LST")}))
      QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/resources/") + name, QDir(programm).filePath(name));
    Zustand().ProgrammVerzeichnisSetzen(programm + QDir::separator());
    pdf = m_umgebung.Ordner().Datei(QStringLiteral("drucker.pdf"));
    QtReportengine::DruckerUmleiten(pdf);
    Reportjob::EngineSetzen(std::make_unique<QtReportengine>());
    DruckdialogHakenSetzen([this](DruckLL& dialog) {
      for (int i = 0; i < dialog.List1()->count(); ++i) eintraege << dialog.List1()->item(i)->text();
      dialog.Art()->WertSetzen(1);
      dialog.KnopfDruecken(1);
    });
  }
  void TearDown() override {
    DruckdialogHakenSetzen({});
    QtReportengine::DruckerUmleiten({});
    Reportjob::Schliessen();
  }
  Stammdatenumgebung m_umgebung;
  QString pdf;
  QStringList eintraege;
};

TEST_F(StammdatenDruckenTest, AdressenDruckenDieGefiltertenZeilenMitDemBerichtDerAdressquelle) {
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  EXPECT_EQ(fenster.Reportname(), QStringLiteral("InternAdressen"));
  DatenGitter& g = *fenster.Gitter();
  g.SetzeFilterErsteller(FilterErstellerAus<FilterSpalte>(&FilterBedingungErstellen));
  g.SetzeFilterText(g.SpaltenIndex(QStringLiteral("Name")), QStringLiteral("mül"));
  ASSERT_TRUE(g.FilterAnwenden());
  ASSERT_TRUE(fenster.Leiste()->Druecken(QStringLiteral("Drucken")));
  EXPECT_EQ(eintraege, QStringList{QStringLiteral("InternAdressen.LST : Adressliste, interne Adressen (Standard)")});
  const QString text = Poppler::Text(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Müller & Söhne"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("29.02.2024")));
  EXPECT_TRUE(text.contains(QStringLiteral("Anzahl Adressen: 1")));
  EXPECT_FALSE(text.contains(QStringLiteral("Schulz")));
  EXPECT_EQ(m_umgebung.Rekorder().Anzahl(), 0);
}

TEST_F(StammdatenDruckenTest, BankverbindungenUndAbsenderHabenIhreBerichte) {
  {
    FormAdressen banken(FormAdressen::Modus::Bankverbindungen);
    EXPECT_EQ(banken.Reportname(), QStringLiteral("Bankverbindung"));
    ASSERT_TRUE(banken.Leiste()->Druecken(QStringLiteral("Drucken")));
    EXPECT_TRUE(Poppler::Text(pdf).contains(QStringLiteral("Commerzbank Köln")));
  }
  eintraege.clear();
  FormularAbsender absender;
  ASSERT_TRUE(absender.Leiste()->Druecken(QStringLiteral("Drucken")));
  EXPECT_EQ(eintraege, QStringList{QStringLiteral("Absenderliste.LST : Absenderliste (Standard)")});
  const QString text = Poppler::Text(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Tamo Handel GmbH")));
  EXPECT_TRUE(text.contains(QStringLiteral("Tamo Filiale Köln")));
  EXPECT_TRUE(text.contains(QStringLiteral("Anzahl Absender: 2")));
  EXPECT_EQ(m_umgebung.Rekorder().Anzahl(), 0);
}

// The sibling's addresses print with the report of their source, their bank fields included (the
// shipped report named the own table's BIC and IBAN, which the sibling's table does not have).
TEST_F(StammdatenDruckenTest, FremdeAdressenDruckenIhreBankangaben) {
  Absenderdaten d;
  d.name = QStringLiteral("Mit Buchhaltung");
  d.adressenFormat = 1;
  d.adressenVerbindung = m_umgebung.Buchhaltungsdatei();
  ASSERT_TRUE(Absenderverwaltung::Speichern(*Zustand().Datenbank(), d).Ok());
  ASSERT_TRUE(Absenderverwaltung::Aktivieren(d.nr).Ok());
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  ASSERT_TRUE(fenster.Leiste()->Druecken(QStringLiteral("Drucken")));
  EXPECT_EQ(eintraege, QStringList{QStringLiteral("TamoLivraOPWinAdressen.LST : Adressliste, Adressen bei Tamo-Livra (Standard)")});
  const QString text = Poppler::Text(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Meier GmbH"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("COLSDE33")));
  EXPECT_TRUE(text.contains(QStringLiteral("DE89370400440532013000")));
  EXPECT_EQ(m_umgebung.Rekorder().Anzahl(), 0);
}

}  // namespace
