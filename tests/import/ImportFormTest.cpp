// The import window driven headless over fixture files: presets and settings, first activation,
// re-selection by options, ranges and the filter bar, marks and buttons, the run with its boxes.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "ImportTestumgebung.h"
#include "common/Programmzustand.h"
#include "import/ImportForm.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/FilterLeiste.h"
#include "platform/ui/HilfeFenster.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/MeldungsRekorder.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/ZweispaltenCombo.h"

namespace {

using K = ImportForm::Kasten;

// Customers 10001 (three invoices, a credit note) and 10002 (one invoice); supplier 70001.
Geschwisterdatenbank Buchhaltung() {
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
  for (const char* konto : {"10001", "10002", "70001"})
    g.Adresse({.konto = QString::fromUtf8(konto), .suchname = QStringLiteral("S") + QString::fromUtf8(konto),
               .name = QStringLiteral("Firma ") + QString::fromUtf8(konto), .bic = QStringLiteral("COLSDE33XXX"),
               .iban = QStringLiteral("DE89370400440532013000"), .kontoNr = QStringLiteral("4711"),
               .mandatReferenz = QStringLiteral("M-") + QString::fromUtf8(konto), .mandatDatum = QDate(2023, 5, 1),
               .mandatSequenz = QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)")});
  auto p = [&g](const char* konto, const char* nr, char art, int tag, int euro, char kontoart = 'K') {
    g.Posten({.konto = QString::fromUtf8(konto), .nr = QString::fromUtf8(nr), .art = QLatin1Char(art),
              .kontoart = QLatin1Char(kontoart), .vom = QDate(2024, 2, tag), .faellig = QDate(2024, 3, tag),
              .betrag = Eur(euro), .rest = Eur(euro)});
  };
  p("10001", "R-1", 'R', 1, 100);
  p("10001", "R-2", 'R', 2, 200);
  p("10001", "R-3", 'R', 3, 300);
  p("10001", "G-1", 'G', 4, 50);
  p("10002", "R-9", 'R', 9, 90);
  p("70001", "E-1", 'R', 5, 70, 'L');
  return g;
}

class ImportFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_rekorder.BeiUnerwartet([](const QString& was) { ADD_FAILURE() << "Unerwartete Meldung: " << was.toStdString(); });
  }
  void TearDown() override { m_fenster.reset(); }

  ImportForm& Oeffnen(Zahlart zahlart = Zahlart::BasisLastschrift, bool anzeigen = true) {
    m_fenster = std::make_unique<ImportForm>(ImportAufruf{zahlart, QFont()});
    if (anzeigen) {
      m_fenster->show();
      QApplication::processEvents();
    }
    return *m_fenster;
  }
  QStringList Nummern() {
    QStringList n;
    DatenGitter* g = m_fenster->TDBGrid1();
    for (int i = 0; i < g->ZeilenAnzahl(); ++i) n << g->Wert(i, QStringLiteral("VorgangsNr")).toString();
    return n;
  }
  // Enters the field, changes its text (when given) and leaves it.
  void Verlassen(QLineEdit* feld, const std::optional<QString>& text = std::nullopt) {
    feld->setFocus();
    QApplication::processEvents();
    if (text) feld->setText(*text);
    m_fenster->Command1(0)->setFocus();
    QApplication::processEvents();
  }

  ImportTestumgebung u{Buchhaltung()};
  MeldungsRekorder m_rekorder;
  std::unique_ptr<ImportForm> m_fenster;
};

TEST_F(ImportFormTest, OeffnetMitDenVorgabenUndDerArtDesZahlungsformulars) {
  ImportForm& f = Oeffnen(Zahlart::BasisLastschrift);
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Import aus Tamo-Programmen"));
  EXPECT_EQ(f.Aktion()->Wert(), 1) << "direct debits: customers";
  EXPECT_FALSE(f.Lieferanten());
  EXPECT_TRUE(f.Textschluessel(0)->Code().isEmpty());
  EXPECT_TRUE(f.Textschluessel(1)->Code().isEmpty());
  for (K k : {K::DiverseKonten, K::MaximalSkonto, K::LieferantenKundenNr, K::SkontoPositiv, K::Pruefung})
    EXPECT_TRUE(f.Option(k)->isChecked()) << f.Option(k)->text().toStdString();
  for (K k : {K::KleinBetrag, K::NurmitKontoNr, K::OhneNegativSummen, K::OhneOPmehrals5Zeilen, K::FehlEingaben,
              K::FehlerNichtSpeichern, K::FaelligEintragen})
    EXPECT_FALSE(f.Option(k)->isChecked()) << f.Option(k)->text().toStdString();
  EXPECT_EQ(f.Selektion()->Wert(), 0);
  EXPECT_EQ(f.TDBText1()->text(), ZeilenvorlagenVorgabe());
  EXPECT_EQ(f.Option(K::OhneOPmehrals5Zeilen)->text(), QStringLiteral("OP's aus mehr als 5 Einzelzeilen ausblenden"));
  EXPECT_EQ(f.Command1(3)->text(), QStringLiteral("&Daten übernehmen"));
  EXPECT_TRUE(f.Bereit());
  EXPECT_EQ(Nummern(), (QStringList{QStringLiteral("G-1"), QStringLiteral("R-3"), QStringLiteral("R-2"),
                                    QStringLiteral("R-1"), QStringLiteral("R-9")}));
  // Credit notes in red.
  QAbstractItemModel* m = f.TDBGrid1()->Ansicht()->model();
  EXPECT_EQ(m->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  EXPECT_FALSE(m->index(1, 0).data(Qt::ForegroundRole).isValid());
  m_fenster.reset();
  ImportForm& ueberweisung = Oeffnen(Zahlart::Ueberweisung);
  EXPECT_EQ(ueberweisung.Aktion()->Wert(), 0);
  EXPECT_EQ(Nummern(), QStringList{QStringLiteral("E-1")});
}

TEST(ImportFormAuftragsprogramm, NurKundenUndRestMitVorzeichen) {
  MeldungsRekorder rekorder;
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Auftrag);
  g.Adresse({.konto = QStringLiteral("K1"), .suchname = QStringLiteral("EINS"), .name = QStringLiteral("Eins")})
      .Posten({.konto = QStringLiteral("K1"), .nr = QStringLiteral("4711"), .art = QLatin1Char('G'),
               .vom = QDate(2024, 3, 1), .faellig = QDate(2024, 3, 1), .betrag = Eur(10), .rest = Eur(10)});
  ImportTestumgebung u{g};
  ImportForm f(ImportAufruf{Zahlart::Ueberweisung, QFont()});
  f.show();
  QApplication::processEvents();
  EXPECT_EQ(f.Aktion()->Wert(), 1);
  EXPECT_FALSE(f.Aktion()->Option(0)->isEnabled());
  DatenGitter* grid = f.TDBGrid1();
  const int rest = grid->SpaltenIndex(QStringLiteral("Rest2"));
  ASSERT_GE(rest, 0);
  EXPECT_EQ(grid->Spalte(rest).titel, QStringLiteral("Rest"));
  EXPECT_EQ(grid->ZellText(0, rest), QStringLiteral("-10,00"));
  EXPECT_EQ(rekorder.Anzahl(), 0);
}

TEST_F(ImportFormTest, GespeicherteEinstellungenUndSchreibenBeimSchliessen) {
  SaveSetting(QStringLiteral("Import"), QStringLiteral("Markierung"), QStringLiteral("Falsch"));
  SaveSetting(QStringLiteral("Import"), QStringLiteral("Text2"), QStringLiteral("05000"));
  SaveSetting(QStringLiteral("Import"), QStringLiteral("DatenfeldFehlMandatReferenz"), QStringLiteral("BankKontoNr"));
  ImportForm& f = Oeffnen();
  EXPECT_EQ(f.Selektion()->Wert(), 1) << "the old word for false";
  EXPECT_TRUE(f.Textschluessel(1)->Code().isEmpty()) << "five-digit keys read as none";
  EXPECT_EQ(f.Combo1(1)->currentText(), QStringLiteral("BankKontoNr"));
  EXPECT_EQ(f.Combo1(0)->itemText(0), QStringLiteral("Dateneingabe -->"));
  EXPECT_EQ(f.Combo1(0)->count(), 2);  // MandatDatum is the address's only date field
  f.Textschluessel(1)->CodeSetzen(QStringLiteral("COLL"));
  f.Option(K::FehlEingaben)->setChecked(true);
  f.Combo1(0)->setCurrentIndex(1);
  f.TDBDate1(2)->WertSetzen(QDate(2013, 10, 1));
  f.Command1(0)->click();
  EXPECT_EQ(f.result(), QDialog::Rejected);
  EXPECT_EQ(GetSetting(QStringLiteral("Import"), QStringLiteral("Text2")), QStringLiteral("COLL"));
  EXPECT_EQ(GetSetting(QStringLiteral("Import"), QStringLiteral("FehlEingaben")), QStringLiteral("1"));
  EXPECT_EQ(GetSetting(QStringLiteral("Import"), QStringLiteral("Markierung")), QStringLiteral("0"));
  EXPECT_EQ(GetSetting(QStringLiteral("Import"), QStringLiteral("DatenfeldFehlMandatDatum")), QStringLiteral("MandatDatum"));
  EXPECT_EQ(GetSetting(QStringLiteral("Import"), QStringLiteral("FehlendesMandatDatumFixdatum")), QStringLiteral("01.10.2013"));
  EXPECT_TRUE(Registrierung::Instanz().Vorhanden(QStringLiteral("Import State"), QStringLiteral("Width")));
}

TEST_F(ImportFormTest, NeueAuswahlBehaeltDatenfelderUndLeertDieMarken) {
  ImportForm& f = Oeffnen();
  f.Combo1(1)->setCurrentIndex(f.Combo1(1)->findText(QStringLiteral("Suchname")));
  DatenGitter* g = f.TDBGrid1();
  g->MarkeSetzen(1);
  g->MarkeSetzen(2);
  EXPECT_TRUE(f.Command1(3)->isEnabled());
  const int vorher = f.Selektionen();
  f.Option(K::KleinBetrag)->setChecked(true);
  EXPECT_EQ(f.Selektionen(), vorher + 1);
  EXPECT_EQ(g->MarkenAnzahl(), 0);
  EXPECT_FALSE(f.Command1(3)->isEnabled()) << "the buttons follow the cleared marks";
  EXPECT_EQ(f.Combo1(1)->currentText(), QStringLiteral("Suchname"));
  // Hiding accounts with more than five items or negative totals.
  f.Option(K::OhneNegativSummen)->setChecked(true);
  EXPECT_EQ(Nummern().size(), 5);
  f.Option(K::OhneOPmehrals5Zeilen)->setChecked(true);
  EXPECT_EQ(Nummern().size(), 5);
}

TEST_F(ImportFormTest, MarkenUndSchaltflaechen) {
  ImportForm& f = Oeffnen();
  DatenGitter* g = f.TDBGrid1();
  EXPECT_EQ(g->MarkenAnzahl(), 0);
  EXPECT_FALSE(f.Command1(3)->isEnabled());
  EXPECT_TRUE(f.Command1(1)->isEnabled());
  // Space toggles the current row's mark.
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(0, 0);
  QTest::keyClick(g->Ansicht(), Qt::Key_Space);
  EXPECT_TRUE(g->IstMarkiert(0));
  EXPECT_TRUE(f.Command1(3)->isEnabled());
  QTest::keyClick(g->Ansicht(), Qt::Key_Space);
  EXPECT_FALSE(g->IstMarkiert(0));
  EXPECT_FALSE(f.Command1(3)->isEnabled());
  // The cursor marks every row it reaches in this mode.
  QTest::keyClick(g->Ansicht(), Qt::Key_Down);
  QTest::keyClick(g->Ansicht(), Qt::Key_Down);
  EXPECT_EQ(g->MarkenAnzahl(), 2);
  f.Command1(2)->click();  // Markierung aufheben: only the current row stays marked
  EXPECT_EQ(g->MarkenAnzahl(), 1);
  EXPECT_TRUE(g->IstMarkiert(2));
  f.Command1(1)->click();
  EXPECT_EQ(g->MarkenAnzahl(), 5);
  // "Alle Vorgänge": no marking, the run takes every row.
  f.Selektion()->WertSetzen(1);
  EXPECT_FALSE(f.NurMarkierte());
  EXPECT_FALSE(f.Command1(1)->isEnabled());
  EXPECT_FALSE(f.Command1(2)->isEnabled());
  EXPECT_TRUE(f.Command1(3)->isEnabled());
  g->MarkenLeeren();
  QTest::keyClick(g->Ansicht(), Qt::Key_Down);
  EXPECT_EQ(g->AktuelleZeile(), 1);
  EXPECT_EQ(g->MarkenAnzahl(), 0);
  // An empty list leaves nothing to take over.
  f.Option(K::NurmitKontoNr)->setChecked(true);
  Verlassen(f.KontoFeld(0), QStringLiteral("99999"));
  EXPECT_EQ(g->ZeilenAnzahl(), 0);
  EXPECT_FALSE(f.Command1(3)->isEnabled());
}

// A click on the grid's corner (above the row heads) marks every row; the take-over is offered then.
TEST_F(ImportFormTest, KlickAufDieEckeMarkiertAlleZeilen) {
  ImportForm& f = Oeffnen();
  DatenGitter* g = f.TDBGrid1();
  ASSERT_EQ(g->ZeilenAnzahl(), 5);
  ASSERT_EQ(g->MarkenAnzahl(), 0);
  QAbstractButton* ecke = g->Ecke();
  ASSERT_NE(ecke, nullptr);
  ASSERT_TRUE(ecke->isVisible());
  QTest::mouseClick(ecke, Qt::LeftButton);
  EXPECT_EQ(g->MarkenAnzahl(), 5);
  EXPECT_TRUE(f.Command1(3)->isEnabled());
  QTest::mouseClick(ecke, Qt::LeftButton);   // again: still every row once
  EXPECT_EQ(g->MarkenAnzahl(), 5);
}

TEST_F(ImportFormTest, BereichsfelderWaehlenNeuNurWennGeaendert) {
  ImportForm& f = Oeffnen();
  int vorher = f.Selektionen();
  Verlassen(f.KontoFeld(0));
  EXPECT_EQ(f.Selektionen(), vorher) << "unchanged";
  f.KontoFeld(0)->setFocus();
  QTest::keyClicks(f.KontoFeld(0), QStringLiteral("10002"));
  QTest::keyClick(f.KontoFeld(0), Qt::Key_Return);  // Enter moves on and leaves the field
  QApplication::processEvents();
  EXPECT_NE(QApplication::focusWidget(), f.KontoFeld(0));
  EXPECT_EQ(f.Selektionen(), vorher + 1);
  EXPECT_EQ(Nummern(), QStringList{QStringLiteral("R-9")});
  vorher = f.Selektionen();
  f.TDBDate1(1)->WertSetzen(QDate(2024, 3, 8));
  Verlassen(f.TDBDate1(1), QStringLiteral("01.03.2024"));
  EXPECT_EQ(f.Selektionen(), vorher + 1);
  // The fixed mandate date is no range: leaving it changed selects nothing.
  vorher = f.Selektionen();
  Verlassen(f.TDBDate1(2), QStringLiteral("01.10.2013"));
  EXPECT_EQ(f.Selektionen(), vorher);
}

TEST_F(ImportFormTest, FilterleisteWaehltNeu) {
  ImportForm& f = Oeffnen();
  DatenGitter* g = f.TDBGrid1();
  const int spalte = g->SpaltenIndex(QStringLiteral("VorgangsNr"));
  g->FilterZelleBearbeiten(spalte);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("R-"));
  QTest::qWait(20);
  QApplication::processEvents();
  EXPECT_EQ(Nummern(), (QStringList{QStringLiteral("R-3"), QStringLiteral("R-2"), QStringLiteral("R-1"),
                                    QStringLiteral("R-9")}));
  EXPECT_TRUE(g->ImFilter());
  // A filter in the computed kind column changes nothing.
  g->FilterTexteLeeren();
  g->SetzeFilterText(g->SpaltenIndex(QStringLiteral("Art")), QStringLiteral("KG"));
  ASSERT_TRUE(g->FilterAnwenden());
  EXPECT_EQ(Nummern().size(), 5);
}

TEST_F(ImportFormTest, DatenUebernehmenMitDublettenfrageUndErgebnis) {
  u.ZahlungMitPosten(1, QStringLiteral("10001"), QStringLiteral("R-2"), QDate(2024, 2, 20));
  ImportForm& f = Oeffnen();
  DatenGitter* g = f.TDBGrid1();
  for (int zeile : {1, 2, 4}) g->MarkeSetzen(zeile);
  m_rekorder.Antworte(MeldungsAntwort::Nein);
  ASSERT_TRUE(f.DatenUebernehmen());
  ASSERT_EQ(m_rekorder.Anzahl(), 2);
  const MeldungsRekorder::Eintrag& frage = m_rekorder.Eintraege()[0];
  EXPECT_EQ(frage.titel, QStringLiteral("Zahlungsimport"));
  EXPECT_EQ(frage.knoepfe, MeldungsKnoepfe::JaNein);
  EXPECT_EQ(frage.symbol, MeldungsSymbol::Frage);
  EXPECT_TRUE(frage.text.contains(QStringLiteral("OP-Vorgangs-Nr: R-2\rBezahlt am: 20.02.2024")));
  EXPECT_EQ(m_rekorder.Letzter().text,
            QStringLiteral("Importergebnis für den Import vom: 10.03.2024\r\r"
                           "Importierte OP-Vorgänge:   \t2\rDaraus erzeugte Zahlungen: \t2\r"
                           "Beim Dublettenhinweis abgelehnt: \t1"));
  EXPECT_EQ(f.result(), QDialog::Accepted);
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(u.Zeilen("SELECT OPKontoNr, Art, ZahlungGesamt FROM Zahlungen WHERE Name <> 'Alt' ORDER BY ZahlungNr"),
            (QStringList{QStringLiteral("10001|L|3000000"), QStringLiteral("10002|L|900000")}));
}

TEST_F(ImportFormTest, EingabefeldTraegtDenFenstertitel) {
  {
    DbFehler fehler;
    auto geschwister = Datenbank::Oeffnen(u.Geschwisterdatei(), fehler);
    ASSERT_TRUE(geschwister);
    ASSERT_TRUE(geschwister->Ausfuehren("UPDATE Personenkonten SET BankIBAN = NULL WHERE OPKontoNr = '10002'").Ok());
  }
  ImportForm& f = Oeffnen();
  f.Option(K::FehlEingaben)->setChecked(true);
  f.Option(K::FehlerNichtSpeichern)->setChecked(true);
  f.Selektion()->WertSetzen(1);
  Verlassen(f.KontoFeld(0), QStringLiteral("10002"));
  m_rekorder.Tippe(QString());
  ASSERT_TRUE(f.DatenUebernehmen());
  ASSERT_EQ(m_rekorder.Anzahl(), 2);
  EXPECT_TRUE(m_rekorder.Eintraege()[0].eingabe);
  EXPECT_EQ(m_rekorder.Eintraege()[0].titel, QStringLiteral("Import aus Tamo-Programmen"));
  EXPECT_TRUE(m_rekorder.Letzter().text.contains(QStringLiteral("Fehler nicht gespeichert:  \t1")));
  EXPECT_EQ(u.Wert("SELECT count(*) FROM Zahlungen").toInt(), 0);
}

TEST_F(ImportFormTest, EscSchliesstUndF1ZeigtSeite830) {
  Zustand().ProgrammVerzeichnisSetzen(QStringLiteral(TAMO_SOURCE_DIR "/resources/"));
  ImportForm& f = Oeffnen();
  f.KontoFeld(0)->setFocus();
  QTest::keyClick(f.KontoFeld(0), Qt::Key_F1);
  HilfeFenster* hilfe = HilfeFenster::Instanz(Zustand().ProgrammVerzeichnis() + QStringLiteral("help"));
  EXPECT_TRUE(hilfe->isVisible());
  EXPECT_TRUE(hilfe->AktuelleDatei().endsWith(QStringLiteral("830.html"))) << hilfe->AktuelleDatei().toStdString();
  hilfe->close();
  f.activateWindow();
  f.KontoFeld(0)->setFocus();
  QTest::keyClick(f.KontoFeld(0), Qt::Key_Escape);
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(f.result(), QDialog::Rejected);
}

}  // namespace
