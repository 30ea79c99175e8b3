// The SEPA file window driven headless: settings, first activation, reselection, the create
// command's checks, a real run into a temporary folder, F3 and the folder chooser.

#include <QCheckBox>
#include <QComboBox>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QClipboard>
#include <QPrintPreviewDialog>
#include <QRadioButton>
#include <QScrollBar>
#include <QHeaderView>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include <memory>

#include "QtAusgabe.h"
#include "common/Datenbankstart.h"
#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "platform/db/Datenbank.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/Farben.h"
#include "platform/ui/GitterModell.h"
#include "platform/ui/HilfeFenster.h"
#include "platform/report/Poppler.h"
#include "platform/report/QtReportengine.h"
#include "platform/ui/MeldungsRekorder.h"
#include "platform/ui/OptionsGruppe.h"
#include "printing/DruckLL.h"
#include "printing/Reportjob.h"
#include "printing/ReportAuswaehlen.h"
#include "platform/ui/ZahlFeld.h"
#include "sepafiles/FormularDTADisk.h"
#include "sepafiles/SepaFehlerliste.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaLaufStoerung.h"
#include "sepafiles/core/SepaLaufVermerke.h"
#include "common/SichereDateien.h"
#include "testsupport/SchemaPruefung.h"
#include "testsupport/TestOrdner.h"

namespace {

// A sender with IBAN, BIC and creditor id; two credit transfers (three lines, -150,25 in all) and
// two core direct debits of different sequence types (FRST, RCUR).
const char* const kDaten = R"SQL(
UPDATE Absender SET Suchname = 'TEST', Name = 'Tamo Test GmbH', Bank = 'Commerzbank', IBAN = 'DE89370400440532013000',
  BIC = 'COBADEFFXXX', "GläubigerID" = 'DE98ZZZ09999999999', ReferenzNr = 'R100' WHERE AbsenderNr = 1;
INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art, OPKontoNr, Name, Bank, BIC, IBAN, Verwendungszweck1, ZahlungGesamt,
  "Fällig", MandatReferenz, MandatDatum, MandatSequenz) VALUES
  (1, 1, 'G', '70001', 'Lieferant Meier', 'Bank A', 'BYLADEM1001', 'DE02120300000000202051', 'Rechnung vom 31.12.23',
   1000000, '2024-03-10', NULL, NULL, NULL),
  (2, 1, 'G', '70002', 'Lieferant Müller & Co', 'Bank B', 'INGDDEFFXXX', 'DE12500105170648489890',
   'Rechnung vom 15.01.24', 502500, '2024-03-20', NULL, NULL, NULL),
  (3, 1, 'L', '10001', 'Kunde Schulz', 'Bank A', 'BYLADEM1001', 'DE02120300000000202051', 'Beitrag 2024', 800000,
   '2024-03-10', 'M-1', '2023-01-01', 2),
  (4, 1, 'L', '10002', 'Kunde Wagner', 'Bank B', 'INGDDEFFXXX', 'DE12500105170648489890', 'Beitrag 2024', 450000,
   '2024-03-10', 'M-2', '2023-02-01', 3);
INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, ZahlungsBetrag) VALUES
  (1, 1, 'RE 1', 600000), (1, 2, 'RE 2', 400000), (2, 1, 'RE 3', 502500), (3, 1, 'Beitrag', 800000),
  (4, 1, 'Beitrag', 450000);
)SQL";

// Wednesday, 13 March 2024.
const QDate kHeute(2024, 3, 13);

class FormularDTADiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_vorherReg = Registrierung::Instanz().Datei();
    Registrierung::Instanz().DateiSetzen(m_ordner.Datei(QStringLiteral("einstellungen.ini")));
    Zustand().Zuruecksetzen();
    Uhr::Festhalten(QDateTime(kHeute, QTime(10, 30)));
    m_rekorder = std::make_unique<MeldungsRekorder>();
    m_rekorder->BeiUnerwartet([](const QString& was) { ADD_FAILURE() << "Unerwartete Meldung: " << was.toStdString(); });
    DatenbankAnlegen(kDaten);
  }
  void TearDown() override {
    m_fenster.reset();
    m_rekorder.reset();
    Zustand().Zuruecksetzen();
    Uhr::Setzen({});
    Registrierung::Instanz().DateiSetzen(m_vorherReg);
  }

  // A fresh data folder with the shipped schema, the test data and `zusatz`, opened as the program's.
  void DatenbankAnlegen(const char* daten, const QString& zusatz = {}) {
    Zustand().DatenbankSchliessen();
    m_daten = m_ordner.Datei(QStringLiteral("daten%1").arg(++m_nummer));
    QDir().mkpath(m_daten);
    const QString datei = QDir(m_daten).filePath(DatenbankDateiname);
    DbFehler f = ::DatenbankAnlegen(datei, QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
    ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
    {
      auto db = Datenbank::Oeffnen(datei, f);
      ASSERT_TRUE(db) << f.Beschreibung.toStdString();
      ASSERT_TRUE(db->SkriptAusfuehren(QString::fromUtf8(daten) + zusatz).Ok());
    }
    Zustand().DatenVerzeichnisSetzen(m_daten);
    const StartErgebnis e = DatenbankOeffnen();
    ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  }

  Datenbank& Db() { return *Zustand().Datenbank(); }

  template <std::size_t N>
  QString Wert(const char (&sql)[N], const QVariantList& parameter = {}) {
    DbFehler f;
    const std::optional<QVariant> w = Db().Wert(SqlText(sql), parameter, f);
    EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
    return w && w->isValid() && !w->isNull() ? w->toString() : QStringLiteral("<Null>");
  }
  void Ausfuehren(const QString& sql) { ASSERT_TRUE(Db().SkriptAusfuehren(sql).Ok()); }

  // Opens the window; `anzeigen` shows it and lets the first activation run.
  FormularDTADisk& Oeffnen(bool anzeigen = true) {
    m_fenster = std::make_unique<FormularDTADisk>();
    if (anzeigen) {
      m_fenster->show();
      QCoreApplication::processEvents();
    }
    return *m_fenster;
  }
  void Schliessen() {
    m_fenster->reject();
    m_fenster.reset();
  }

  // The target folder, empty, chosen through the window's folder chooser.
  QString ZielWaehlen(FormularDTADisk& f) {
    const QString ziel = m_ordner.Datei(QStringLiteral("ziel%1").arg(++m_nummer));
    QDir().mkpath(ziel);
    f.OrdnerWahlSetzen([ziel](QWidget*, const QString&, const QString&, const QString&) { return ziel; });
    EXPECT_TRUE(f.OrdnerWaehlen());
    return ziel;
  }

  QStringList Dateien(const QString& ordner) {
    return QDir(ordner).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }

  int Erledigt() { return Wert("SELECT COUNT(*) FROM Zahlungen WHERE Erledigt = 1").toInt(); }

  TestOrdner m_ordner;
  QString m_vorherReg;
  QString m_daten;
  int m_nummer = 0;
  std::unique_ptr<MeldungsRekorder> m_rekorder;
  std::unique_ptr<FormularDTADisk> m_fenster;
};

const QString kReferenzMeldung = QStringLiteral(
    "Für Gutschriften und Lastschriften wird zwingend eine Referenz-Angabe benötigt.\r"
    "Die Referenz wird bei den Absender-Daten gespeichert und für jede einzelne\r"
    "SEPA-Datei hochgezählt, so dass für die nächste SEPA-Datei eine eindeutige\r"
    "Angabe vorhanden ist. Bitte tragen Sie die Referenz-Angabe ein.");
const QString kGlaeubigerMeldung = QStringLiteral(
    "Für Lastschriften wird zwingend eine von der deutschen Bundesbank\r"
    "vergebene Gläubiger-ID benötigt.\r"
    "\r"
    "Falls Ihnen diese vorliegt, muss diese bei den Absender-Angaben eingetragen\r"
    "werden. Erst dann können Lastschriften verarbeitet werden.");

// --- Settings and state on opening and closing --------------------------------------------------

TEST_F(FormularDTADiskTest, OeffnetMitVorgabenUndSpeichertSieBeimSchliessen) {
  FormularDTADisk& f = Oeffnen(false);
  EXPECT_EQ(f.windowTitle(), QStringLiteral("SEPA-Datei erstellen"));
  EXPECT_FALSE(f.Aktiviert());
  EXPECT_EQ(f.Selektionen(), 0);
  EXPECT_EQ(f.Kopien()->Ganzzahl(), 0);
  EXPECT_EQ(f.Kopien()->text(), QStringLiteral("Kein Ausdruck"));
  f.Kopien()->GanzzahlWertSetzen(1);
  EXPECT_EQ(f.Kopien()->text(), QStringLiteral("1 Kopie"));
  f.Kopien()->GanzzahlWertSetzen(0);
  EXPECT_EQ(f.Faellig2()->Ganzzahl(), 2);
  EXPECT_EQ(f.ZahlArt()->Wert(), 0);
  EXPECT_EQ(f.AktZahlungsart(), 0);
  EXPECT_TRUE(f.Check1(1)->isChecked());
  EXPECT_FALSE(f.Check1(2)->isChecked());
  EXPECT_TRUE(f.Check1(3)->isChecked());
  EXPECT_EQ(f.TDBText1()->text(), QStringLiteral("R100"));
  EXPECT_EQ(f.Zielordner(), QDir::toNativeSeparators(m_daten) + QDir::separator());
  EXPECT_TRUE(f.TDBDate1(1)->isEnabled());
  EXPECT_FALSE(f.Faellig2()->isEnabled());
  EXPECT_FALSE(f.FaelligBis().has_value());
  EXPECT_EQ(f.Erstellungsdatum(), kHeute);
  EXPECT_FALSE(f.Command1(1)->isEnabled());
  EXPECT_EQ(f.Command1(1)->text(), QStringLiteral("SEPA-Datei erstellen"));
  EXPECT_EQ(f.Command1(0)->text(), QStringLiteral("Abbruch"));
  EXPECT_EQ(f.Command1(2)->text(), QStringLiteral("Auswählen..."));
  EXPECT_FALSE(f.Command1(1)->isDefault() || f.Command1(1)->autoDefault());
  // No stored format: the current one.
  EXPECT_EQ(f.Dateiformat()->currentText(), QStringLiteral("pain.001.001.09 / pain.008.001.08"));
  EXPECT_EQ(f.Dateiformat()->count(), 2);
  EXPECT_TRUE(f.FormatAnzeige()->text().contains(QStringLiteral("pain.001.001.09"))) << f.FormatAnzeige()->text().toStdString();

  Zustand().PDFSetzen(QStringLiteral("X_Zahlungsübersicht.pdf"), m_daten);
  f.TDBText1()->setText(QStringLiteral("ABC-7"));
  Schliessen();

  EXPECT_TRUE(Zustand().PDFDateiname().isEmpty());
  EXPECT_EQ(Wert("SELECT ReferenzNr FROM Absender WHERE AbsenderNr = 1"), QStringLiteral("ABC-7"));
  EXPECT_EQ(EinstellungLesen(Db(), QStringLiteral("SEPADruckKopien:")), QStringLiteral("0"));
  EXPECT_EQ(EinstellungLesen(Db(), QStringLiteral("SEPAFälligkeitstage2:")), QStringLiteral("2"));
  EXPECT_EQ(EinstellungLesen(Db(), QStringLiteral("SEPAAktZahlungsart")), QStringLiteral("0"));
  EXPECT_EQ(EinstellungLesen(Db(), QStringLiteral("SEPASammelbuchung")), QStringLiteral("1"));
  EXPECT_EQ(EinstellungLesen(Db(), QStringLiteral("SEPAAutoEinzelReferenz")), QStringLiteral("0"));
  EXPECT_EQ(EinstellungLesen(Db(), QStringLiteral("SEPALastschriftenAufteilenMandatArt")), QStringLiteral("1"));
  EXPECT_EQ(EinstellungLesen(Db(), QStringLiteral("SEPADateiformat")), QStringLiteral("pain.001.001.09"));
  // The data folder shown is stored, so the next opening shows it even when the data folder moves.
  EXPECT_EQ(EinstellungLesen(Db(), QStringLiteral("DTADateiZiel")),
            QDir::toNativeSeparators(m_daten) + QDir::separator());
  EXPECT_FALSE(Registrierung::Instanz().Lesen(QStringLiteral("DTADatei State"), QStringLiteral("Width")).isEmpty());
}

TEST_F(FormularDTADiskTest, GeaenderteEinstellungenKommenBeimNaechstenOeffnenWieder) {
  FormularDTADisk& f = Oeffnen(false);
  const QString ziel = ZielWaehlen(f);
  f.ZahlArt()->WertSetzen(2);
  f.Check1(1)->setChecked(false);
  f.Check1(2)->setChecked(true);
  f.Check1(3)->setChecked(false);
  f.Kopien()->GanzzahlWertSetzen(3);
  f.Faellig2()->GanzzahlWertSetzen(5);
  Schliessen();

  FormularDTADisk& g = Oeffnen(false);
  EXPECT_EQ(g.ZahlArt()->Wert(), 2);
  EXPECT_EQ(g.AktZahlungsart(), 2);
  EXPECT_FALSE(g.TDBDate1(1)->isEnabled());
  EXPECT_TRUE(g.Faellig2()->isEnabled());
  EXPECT_FALSE(g.Check1(1)->isChecked());
  EXPECT_TRUE(g.Check1(2)->isChecked());
  EXPECT_FALSE(g.Check1(3)->isChecked());
  EXPECT_EQ(g.Kopien()->Ganzzahl(), 3);
  EXPECT_EQ(g.Faellig2()->Ganzzahl(), 5);
  EXPECT_EQ(g.Zielordner(), QDir::toNativeSeparators(ziel) + QDir::separator());
  EXPECT_EQ(g.Selektionen(), 0);   // the kind set on loading does not select
}

// Closing the window stores the reference only when it was typed there: another workstation's run that counted
// the reference up meanwhile is not reset (its message id would be refused as sent, or the sender form would show
// a reference behind the bank's).
TEST_F(FormularDTADiskTest, SchliessenSetztDieReferenzNichtAufDenGelesenenStandZurueck) {
  struct Fall {
    const char* name;
    const char* eingabe;   // typed into the window; nullptr: left as shown
    const char* erwartet;
  };
  const Fall faelle[] = {
      {"nicht angefasst", nullptr, "R101"},
      {"eingetippt", "ABC-7", "ABC-7"},
      {"zurueckgetippt auf den gelesenen Wert: unveraendert", "R100", "R101"},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.name);
    ASSERT_TRUE(Db().SkriptAusfuehren(QStringLiteral("UPDATE Absender SET ReferenzNr = 'R100' WHERE AbsenderNr = 1;")).Ok());
    FormularDTADisk& f = Oeffnen(false);
    ASSERT_EQ(f.TDBText1()->text(), QStringLiteral("R100"));
    if (fall.eingabe) {
      f.TDBText1()->setText(QStringLiteral("X"));
      f.TDBText1()->setText(QString::fromUtf8(fall.eingabe));
    }
    ASSERT_TRUE(Db().SkriptAusfuehren(QStringLiteral("UPDATE Absender SET ReferenzNr = 'R101' WHERE AbsenderNr = 1;")).Ok());
    Schliessen();
    EXPECT_EQ(Wert("SELECT ReferenzNr FROM Absender WHERE AbsenderNr = 1"), QString::fromUtf8(fall.erwartet));
  }
}

struct GespeicherteArt {
  const char* wert;
  int art;
};
class GespeicherteArtTest : public FormularDTADiskTest, public ::testing::WithParamInterface<GespeicherteArt> {};

TEST_P(GespeicherteArtTest, ArtAusserhalbNullBisZweiWaehltUeberweisung) {
  ASSERT_TRUE(EinstellungSpeichern(Db(), QStringLiteral("SEPAAktZahlungsart"), QString::fromUtf8(GetParam().wert)).Ok());
  FormularDTADisk& f = Oeffnen(false);
  EXPECT_EQ(f.ZahlArt()->Wert(), GetParam().art);
  EXPECT_EQ(f.AktZahlungsart(), GetParam().art);
  EXPECT_EQ(f.TDBDate1(1)->isEnabled(), GetParam().art == 0);
}
INSTANTIATE_TEST_SUITE_P(Werte, GespeicherteArtTest,
                         ::testing::Values(GespeicherteArt{"1", 1}, GespeicherteArt{"2", 2}, GespeicherteArt{"3", 0},
                                           GespeicherteArt{"-1", 0}, GespeicherteArt{"abc", 0},
                                           GespeicherteArt{"", 0}),
    [](const auto& info) { return "Gespeichert_" + TestnameBuchstabiert(info.param.wert); });

TEST_F(FormularDTADiskTest, FehlenderZielordnerFuehrtZumDatenordnerMitStatushinweis) {
  const QString weg = m_ordner.Datei(QStringLiteral("gibt-es-nicht"));
  ASSERT_TRUE(EinstellungSpeichern(Db(), QStringLiteral("DTADateiZiel"), weg).Ok());
  FormularDTADisk& f = Oeffnen();
  EXPECT_EQ(f.Zielordner(), QDir::toNativeSeparators(m_daten) + QDir::separator());
  EXPECT_TRUE(f.Status()->text().contains(QStringLiteral("ist nicht vorhanden"))) << f.Status()->text().toStdString();
  EXPECT_TRUE(f.Status()->text().contains(QDir::toNativeSeparators(weg)));
  // The selection's result stands beside it.
  EXPECT_TRUE(f.Status()->text().contains(QStringLiteral("fehlerhafte Zahlung(en) festgestellt")));
  // Choosing a folder ends the notice.
  ZielWaehlen(f);
  EXPECT_FALSE(f.Status()->text().contains(QStringLiteral("ist nicht vorhanden")));
}

struct Ausfuehrung {
  QDate heute;
  QDate erwartet;
};
class AusfuehrungsdatumTest : public FormularDTADiskTest, public ::testing::WithParamInterface<Ausfuehrung> {};

TEST_P(AusfuehrungsdatumTest, VorgabeIstDerNaechsteWerktag) {
  Uhr::Festhalten(QDateTime(GetParam().heute, QTime(9, 0)));
  FormularDTADisk& f = Oeffnen(false);
  EXPECT_EQ(f.TDBDate1(1)->Wert(), GetParam().erwartet);
}
INSTANTIATE_TEST_SUITE_P(Wochentage, AusfuehrungsdatumTest,
                         ::testing::Values(Ausfuehrung{QDate(2024, 3, 15), QDate(2024, 3, 18)},    // Friday
                                           Ausfuehrung{QDate(2024, 3, 16), QDate(2024, 3, 18)},    // Saturday
                                           Ausfuehrung{QDate(2024, 3, 17), QDate(2024, 3, 18)},    // Sunday
                                           Ausfuehrung{QDate(2024, 3, 13), QDate(2024, 3, 14)}),
    [](const auto& info) { return "Heute" + info.param.heute.toString(QStringLiteral("yyyyMMdd")).toStdString(); });  // Wednesday

// --- First activation and reselection ---------------------------------------------------------

TEST_F(FormularDTADiskTest, ErsteAktivierungSelektiertGenauEinmal) {
  FormularDTADisk& f = Oeffnen();
  EXPECT_TRUE(f.Aktiviert());
  EXPECT_EQ(f.Selektionen(), 1);
  f.Aktivieren();
  QEvent aktiv(QEvent::WindowActivate);
  QCoreApplication::sendEvent(&f, &aktiv);
  f.hide();
  f.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(f.Selektionen(), 1);

  // Two credit transfers with three lines; the total is the signed line total.
  DatenGitter* g = f.TDBGrid1();
  EXPECT_EQ(g->ZeilenAnzahl(), 3);
  const int betrag = g->SpaltenIndex(QStringLiteral("ZahlungsBetrag"));
  EXPECT_EQ(g->Spalte(betrag).titel, QStringLiteral("Betrag"));
  EXPECT_EQ(g->FussText(betrag), QStringLiteral("-150,25"));
  EXPECT_EQ(g->FussFarbe(betrag), Farben::Rot());
  EXPECT_EQ(g->FussText(g->SpaltenIndex(QStringLiteral("Verwendungszweck"))), QStringLiteral("Summe"));
  EXPECT_EQ(f.Status()->text(), QStringLiteral("Keine fehlerhafte Zahlung(en) festgestellt"));
  EXPECT_EQ(f.Status()->palette().color(QPalette::WindowText), Farben::Blau());
  EXPECT_TRUE(f.Command1(1)->isEnabled());
  EXPECT_EQ(f.Auswahl().ZahlungNummern, (QList<qint64>{1, 2}));
  // Credit transfers show red in every column.
  for (int spalte : {g->SpaltenIndex(QStringLiteral("Name")), betrag})
    for (int zeile = 0; zeile < 3; ++zeile)
      EXPECT_EQ(g->Modell()->data(g->Modell()->index(zeile, spalte), Qt::ForegroundRole).value<QColor>(), Farben::Rot());
}

TEST_F(FormularDTADiskTest, EnterWechseltDasFeldUndEscSchliesst) {
  FormularDTADisk& f = Oeffnen();
  QApplication::setActiveWindow(&f);
  f.TDBText1()->setFocus();
  ASSERT_EQ(f.focusWidget(), f.TDBText1());
  QTest::keyClick(f.TDBText1(), Qt::Key_Return);
  EXPECT_EQ(f.focusWidget(), f.TDBDate1(0));
  EXPECT_EQ(f.Laeufe(), 0);
  EXPECT_EQ(m_rekorder->Anzahl(), 0);

  f.Faellig2()->GanzzahlWertSetzen(7);
  QTest::keyClick(f.focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(EinstellungLesen(Db(), QStringLiteral("SEPAFälligkeitstage2:")), QStringLiteral("7"));
}

// The schemes send a collection at most 14 days ahead: 15 typed is refused with the reason and the last accepted
// value comes back; 14 and 0 are taken.
TEST_F(FormularDTADiskTest, FaelligkeitstageHoechstensVierzehn) {
  FormularDTADisk& f = Oeffnen();
  QApplication::setActiveWindow(&f);
  f.ZahlArt()->WertSetzen(1);
  ZahlFeld* tage = f.Faellig2();
  ASSERT_TRUE(tage->isEnabled());
  QLineEdit* zeile = tage->findChild<QLineEdit*>();
  ASSERT_NE(zeile, nullptr);
  auto tippen = [&](const char* text) {
    tage->setFocus();
    zeile->selectAll();
    QTest::keyClicks(zeile, QString::fromLatin1(text));
    QTest::keyClick(zeile, Qt::Key_Tab);
    QCoreApplication::processEvents();
  };
  tippen("14");
  EXPECT_EQ(tage->Ganzzahl(), 14);
  EXPECT_EQ(m_rekorder->Anzahl(), 0);
  m_rekorder->Antworte(MeldungsAntwort::Ok);
  tippen("15");
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_EQ(m_rekorder->Letzter().symbol, MeldungsSymbol::Ausruf);
  EXPECT_TRUE(m_rekorder->Letzter().text.startsWith(
      QStringLiteral("Die Fälligkeitstage für Lastschriften müssen zwischen 0 und 14 liegen (15 Tage sind angegeben).")))
      << m_rekorder->Letzter().text.toStdString();
  EXPECT_EQ(tage->Ganzzahl(), 14);
  EXPECT_EQ(f.focusWidget(), tage);
  m_rekorder->Antworte(MeldungsAntwort::Ok);
  tippen("1100");
  EXPECT_EQ(m_rekorder->Anzahl(), 2);
  EXPECT_EQ(tage->Ganzzahl(), 14);
  tippen("0");
  EXPECT_EQ(tage->Ganzzahl(), 0);
  EXPECT_EQ(m_rekorder->Anzahl(), 2);
  Schliessen();
  EXPECT_EQ(EinstellungLesen(Db(), QStringLiteral("SEPAFälligkeitstage2:")), QStringLiteral("0"));
}

// A stored value outside the range is shown as the default, and the window says so.
TEST_F(FormularDTADiskTest, GespeicherteFaelligkeitstageAusserhalbWerdenZurVorgabeMitHinweis) {
  ASSERT_FALSE(EinstellungSpeichern(Db(), QStringLiteral("SEPAFälligkeitstage2:"), QStringLiteral("1100")));
  FormularDTADisk& f = Oeffnen();
  EXPECT_EQ(f.Faellig2()->Ganzzahl(), 2);
  EXPECT_TRUE(f.Status()->text().contains(QStringLiteral("\"1100\" für die Fälligkeitstage der Lastschriften liegt nicht "
                                                     "zwischen 0 und 14; es gilt 2.")))
      << f.Status()->text().toStdString();
}

TEST_F(FormularDTADiskTest, ArtWechselSelektiertNeuUndSchaltetDieFelder) {
  FormularDTADisk& f = Oeffnen(false);
  f.ZahlArt()->WertSetzen(1);   // before the first activation: no selection
  EXPECT_EQ(f.Selektionen(), 0);
  f.ZahlArt()->WertSetzen(0);
  f.show();
  QCoreApplication::processEvents();
  ASSERT_EQ(f.Selektionen(), 1);

  f.ZahlArt()->Option(1)->click();
  EXPECT_EQ(f.Selektionen(), 2);
  EXPECT_EQ(f.AktZahlungsart(), 1);
  EXPECT_FALSE(f.TDBDate1(1)->isEnabled());
  EXPECT_TRUE(f.Faellig2()->isEnabled());
  EXPECT_EQ(f.Auswahl().ZahlungNummern, (QList<qint64>{3, 4}));
  const QModelIndex lastschrift = f.TDBGrid1()->Modell()->index(0, f.TDBGrid1()->SpaltenIndex(QStringLiteral("Name")));
  EXPECT_NE(f.TDBGrid1()->Modell()->data(lastschrift, Qt::ForegroundRole).value<QColor>(), Farben::Rot());
  const int betrag = f.TDBGrid1()->SpaltenIndex(QStringLiteral("ZahlungsBetrag"));
  EXPECT_EQ(f.TDBGrid1()->FussText(betrag), QStringLiteral("125,00"));
  EXPECT_NE(f.TDBGrid1()->FussFarbe(betrag), Farben::Rot());

  f.ZahlArt()->Option(2)->click();   // no business-to-business debits
  EXPECT_EQ(f.Selektionen(), 3);
  EXPECT_EQ(f.Status()->text(), QStringLiteral("Keine Zahlungen festgestellt"));
  EXPECT_FALSE(f.Command1(1)->isEnabled());
  EXPECT_EQ(f.TDBGrid1()->FussText(betrag), QStringLiteral("0,00"));

  f.ZahlArt()->Option(0)->click();
  EXPECT_EQ(f.Selektionen(), 4);
  EXPECT_TRUE(f.TDBDate1(1)->isEnabled());
  EXPECT_FALSE(f.Faellig2()->isEnabled());
  EXPECT_TRUE(f.Command1(1)->isEnabled());
}

TEST_F(FormularDTADiskTest, FaelligBisSelektiertNurNachEinerAenderung) {
  FormularDTADisk& f = Oeffnen();
  DatumFeld* feld = f.TDBDate1(0);
  auto fokus = [feld](QEvent::Type art) {
    QFocusEvent e(art, Qt::TabFocusReason);
    QCoreApplication::sendEvent(feld, &e);
  };
  fokus(QEvent::FocusIn);
  fokus(QEvent::FocusOut);
  EXPECT_EQ(f.Selektionen(), 1);

  fokus(QEvent::FocusIn);
  feld->setText(QStringLiteral("15.03.2024"));
  EXPECT_EQ(f.FaelligBis(), QDate(2024, 3, 15));
  EXPECT_EQ(f.Selektionen(), 1);   // typing alone does not select
  fokus(QEvent::FocusOut);
  EXPECT_EQ(f.Selektionen(), 2);
  EXPECT_EQ(f.Auswahl().ZahlungNummern, (QList<qint64>{1}));   // due on 10 March; the other on the 20th

  // The very day of the limit is kept.
  fokus(QEvent::FocusIn);
  feld->setText(QStringLiteral("20.03.2024"));
  fokus(QEvent::FocusOut);
  EXPECT_EQ(f.Selektionen(), 3);
  EXPECT_EQ(f.Auswahl().ZahlungNummern, (QList<qint64>{1, 2}));

  // Emptied: no limit, selected again on leaving.
  fokus(QEvent::FocusIn);
  feld->clear();
  EXPECT_FALSE(f.FaelligBis().has_value());
  fokus(QEvent::FocusOut);
  EXPECT_EQ(f.Selektionen(), 4);
  EXPECT_EQ(f.Auswahl().ZahlungNummern, (QList<qint64>{1, 2}));
}

TEST_F(FormularDTADiskTest, FehlerhafteZahlungWirdGemeldetUndAusgeblendet) {
  DatenbankAnlegen(kDaten, QStringLiteral(
                               "INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art, Name, IBAN, Verwendungszweck1, "
                               "ZahlungGesamt) VALUES (5, 1, 'G', 'Falsch', 'DE00123', 'Test', 10000);"
                               "INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, ZahlungsBetrag) VALUES "
                               "(5, 1, 5000), (5, 2, 5000), (5, 3, 0);"));
  m_rekorder->Antworte(MeldungsAntwort::Nein);
  FormularDTADisk& f = Oeffnen();
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_EQ(m_rekorder->Letzter().text,
            QStringLiteral("Achtung! Die Prüfung hat 1 fehlerhafte Zahlung(en) ermittelt.\r\r"
                           "Die fehlerhaften Zahlungen werden ausgeblendet und bei einer SEPA-\r"
                           "Erstellung automatisch weggelassen.\r\r"
                           "Die Liste der weggelassenen Zahlungen nennt die Gründe; korrigieren "
                           "Sie die Zahlungen unter 'Zahlungen erfassen'. Die Liste öffnet auch "
                           "der Knopf 'Fehlerliste...'.\r\r"
                           "Möchten Sie die Liste jetzt sehen?"));
  EXPECT_EQ(m_rekorder->Letzter().knoepfe, MeldungsKnoepfe::JaNein);
  EXPECT_EQ(m_rekorder->Letzter().symbol, MeldungsSymbol::Ausruf);
  EXPECT_FALSE(f.Fehlerliste());  // "Nein": no list
  EXPECT_EQ(f.Status()->text(), QStringLiteral("1 fehlerhafte Zahlung(en) festgestellt"));
  EXPECT_EQ(f.Status()->palette().color(QPalette::WindowText), Farben::Rot());
  EXPECT_EQ(f.TDBGrid1()->ZeilenAnzahl(), 3);
  EXPECT_EQ(Wert("SELECT Fehler FROM Zahlungen WHERE ZahlungNr = 5"), QStringLiteral("1"));

  // The button opens the list later.
  ASSERT_TRUE(f.FehlerlisteKnopf()->isEnabled());
  f.FehlerlisteKnopf()->click();
  ASSERT_TRUE(f.Fehlerliste());
  EXPECT_TRUE(f.Fehlerliste()->isVisible());
  EXPECT_FALSE(f.Fehlerliste()->isModal());
  ASSERT_EQ(f.Fehlerliste()->Zeilen(), 1);
  EXPECT_EQ(f.Fehlerliste()->Zelle(0, 1), QStringLiteral("Falsch"));
  EXPECT_EQ(f.Fehlerliste()->Zelle(0, 3), QStringLiteral("1,00"));
  EXPECT_EQ(f.Fehlerliste()->Zelle(0, 5), QStringLiteral("Die IBAN ist zu kurz. Es sind mindestens 15 Zeichen notwendig."));
}

// Three faulty orders: the list names the three, each with every reason; it can be copied.
TEST_F(FormularDTADiskTest, DreiFehlerhafteZahlungenMitGruendenInDerListe) {
  DatenbankAnlegen(kDaten, QStringLiteral(R"SQL(
INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art, Name, BIC, IBAN, Verwendungszweck1, ZahlungGesamt, "Fällig") VALUES
  (5, 1, 'G', 'Prüfziffer GmbH', 'COBADEFFXXX', 'DE88370400440532013000', 'RE 5', 1000000, '2024-03-11'),
  (6, 1, 'G', 'Schweizer AG', NULL, 'CH9300762011623852957', 'RE 6', 2000000, '2024-03-12'),
  (7, 1, 'G', 'Zwei Fehler KG', '12345678', 'DE89370400440532013000', 'RE 7', 12345600, NULL);
INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, ZahlungsBetrag) VALUES
  (5, 1, 'RE 5', 1000000), (6, 1, 'RE 6', 2000000), (7, 1, 'RE 7', 10000000);
)SQL"));
  m_rekorder->Antworte(MeldungsAntwort::Ja);
  FormularDTADisk& f = Oeffnen();
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_TRUE(m_rekorder->Letzter().text.startsWith(QStringLiteral("Achtung! Die Prüfung hat 3 fehlerhafte Zahlung(en)")));
  SepaFehlerliste* liste = f.Fehlerliste();
  ASSERT_TRUE(liste);
  EXPECT_TRUE(liste->isVisible());
  EXPECT_EQ(liste->windowTitle(), QStringLiteral("Weggelassene Zahlungen"));
  ASSERT_EQ(liste->Zeilen(), 3);
  EXPECT_EQ(liste->Zelle(0, 0), QStringLiteral("5"));
  EXPECT_EQ(liste->Zelle(0, 1), QStringLiteral("Prüfziffer GmbH"));
  EXPECT_EQ(liste->Zelle(0, 2), QStringLiteral("DE88 3704 0044 0532 0130 00"));
  EXPECT_EQ(liste->Zelle(0, 4), QStringLiteral("11.03.2024"));
  EXPECT_EQ(liste->Zelle(0, 5), QStringLiteral("Die Prüfziffer der IBAN ist falsch."));
  EXPECT_EQ(liste->Zelle(1, 1), QStringLiteral("Schweizer AG"));
  EXPECT_EQ(liste->Zelle(1, 5), QStringLiteral("Die BIC (Internationale Bankleitzahl) fehlt noch! (Für eine IBAN aus CH, "
                                               "einem Land außerhalb des Europäischen Wirtschaftsraums, ist sie Pflicht.)"));
  EXPECT_EQ(liste->Zelle(2, 3), QStringLiteral("1.234,56"));
  EXPECT_EQ(liste->Zelle(2, 4), QString());
  EXPECT_EQ(liste->Zelle(2, 5), QStringLiteral("Die BIC (Internationale Bankleitzahl) ist ungültig! (Die BIC muss mit 4 "
                                               "Buchstaben (Bankcode) beginnen.); Der Betrag 1.234,56 stimmt nicht "
                                               "mit der Summe der Verwendungszweck-Zeilen 1.000,00 überein!"));
  // The faultless ones stay in the grid and the file would carry them.
  EXPECT_EQ(f.Auswahl().ZahlungNummern, (QList<qint64>{1, 2}));

  // Copyable: the whole list, or the chosen rows with Ctrl+C.
  liste->Kopieren()->click();
  const QStringList zeilen = QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(zeilen.size(), 4);
  EXPECT_EQ(zeilen.at(0), QStringLiteral("Nr.\tName\tIBAN\tBetrag\tFällig\tGründe"));
  EXPECT_TRUE(zeilen.at(2).startsWith(QStringLiteral("6\tSchweizer AG\tCH93 0076 2011 6238 5295 7\t200,00\t12.03.2024\t")));
  liste->Tabelle()->selectRow(2);
  QTest::keyClick(liste->Tabelle(), Qt::Key_C, Qt::ControlModifier);
  const QStringList markiert = QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(markiert.size(), 2);
  EXPECT_TRUE(markiert.at(1).startsWith(QStringLiteral("7\tZwei Fehler KG\t")));

  // A new selection refreshes the open list: after the correction only two are left.
  Ausfuehren(QStringLiteral("UPDATE Zahlungen SET IBAN = 'DE89370400440532013000' WHERE ZahlungNr = 5"));
  m_rekorder->Antworte(MeldungsAntwort::Nein);
  f.ZahlungenSelektieren();
  EXPECT_EQ(liste->Zeilen(), 2);
  EXPECT_EQ(liste->Zelle(0, 0), QStringLiteral("6"));
}

// The bank's rules the schemas do not check: a CH IBAN without BIC, "A//B" as single reference, a
// mandate both FRST and RCUR, an amount unlike its lines. None reaches the file, each is listed with
// its reason, and the rest of the run is written and valid.
TEST_F(FormularDTADiskTest, BankregelnLassenNurGueltigeZahlungenInDieDatei) {
  DatenbankAnlegen(kDaten, QStringLiteral(R"SQL(
INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art, Name, BIC, IBAN, Verwendungszweck1, ZahlungGesamt, MandatReferenz,
  MandatDatum, MandatSequenz, EinzelReferenz) VALUES
  (10, 1, 'L', 'Schweizer AG', NULL, 'CH9300762011623852957', 'Beitrag', 1000000, 'M-10', '2023-01-01', 3, NULL),
  (11, 1, 'L', 'Referenz GmbH', 'COBADEFFXXX', 'DE89370400440532013000', 'Beitrag', 1000000, 'M-11', '2023-01-01', 3, 'A//B'),
  (12, 1, 'L', 'Erst und Folge', 'COBADEFFXXX', 'DE89370400440532013000', 'Beitrag', 1000000, 'M-1', '2023-01-01', 3, NULL),
  (13, 1, 'L', 'Summe KG', 'COBADEFFXXX', 'DE89370400440532013000', 'Beitrag', 1000000, 'M-13', '2023-01-01', 2, NULL);
INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, ZahlungsBetrag) VALUES
  (10, 1, 'Beitrag', 1000000), (11, 1, 'Beitrag', 1000000), (12, 1, 'Beitrag', 1000000),
  (13, 1, 'Teil 1', 600000), (13, 2, 'Teil 2', 300000);
)SQL"));
  m_rekorder->Antworte(MeldungsAntwort::Ja);
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  f.ZahlArt()->Option(1)->click();
  // The first selection (credit transfers) found nothing faulty; the core run finds the four.
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_TRUE(m_rekorder->Letzter().text.startsWith(QStringLiteral("Achtung! Die Prüfung hat 4 fehlerhafte Zahlung(en)")));
  SepaFehlerliste* liste = f.Fehlerliste();
  ASSERT_TRUE(liste);
  ASSERT_EQ(liste->Zeilen(), 4);
  QMap<QString, QString> gruende;
  for (int i = 0; i < liste->Zeilen(); ++i) gruende.insert(liste->Zelle(i, 0), liste->Zelle(i, 5));
  EXPECT_TRUE(gruende.value(QStringLiteral("10")).contains(QStringLiteral("IBAN aus CH"))) << gruende.value(QStringLiteral("10")).toStdString();
  EXPECT_EQ(gruende.value(QStringLiteral("11")), QStringLiteral("Die Einzel-Referenz darf kein \"//\" enthalten."));
  EXPECT_EQ(gruende.value(QStringLiteral("12")),
            QStringLiteral("Das Mandat \"M-1\" ist in diesem Lauf bereits als Erst-Lastschrift enthalten (Zahlung Nr. 3); "
                           "Folge- und letzte Lastschriften gehören in einen späteren Lauf."));
  EXPECT_EQ(gruende.value(QStringLiteral("13")),
            QStringLiteral("Der Betrag 100,00 stimmt nicht mit der Summe der Verwendungszweck-Zeilen 90,00 überein!"));
  EXPECT_EQ(f.Auswahl().ZahlungNummern, (QList<qint64>{3, 4}));

  ASSERT_TRUE(f.Erstellen());
  m_rekorder->Leeren();
  const QStringList dateien = Dateien(ziel);
  ASSERT_EQ(dateien.size(), 2) << dateien.join(QLatin1Char(' ')).toStdString();
  for (const QString& datei : dateien) {
    const QString pfad = QDir(ziel).filePath(datei);
    EXPECT_EQ(SchemaPruefung::Pruefen(pfad, QStringLiteral("pain.008.001.08")), QStringList());
    QFile xml(pfad);
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    const QByteArray inhalt = xml.readAll();
    for (const char* name : {"Schweizer AG", "Referenz GmbH", "Erst und Folge", "Summe KG"})
      EXPECT_FALSE(inhalt.contains(name)) << name;
  }
  EXPECT_EQ(Wert("SELECT GROUP_CONCAT(ZahlungNr) FROM (SELECT ZahlungNr FROM Zahlungen WHERE Erledigt = 1 ORDER BY 1)"),
            QStringLiteral("3,4"));
  EXPECT_EQ(Wert("SELECT GROUP_CONCAT(ZahlungNr) FROM (SELECT ZahlungNr FROM Zahlungen WHERE Fehler = 1 ORDER BY 1)"),
            QStringLiteral("10,11,12,13"));
}

// A reference already sent from this sender's account is refused before anything is written.
TEST_F(FormularDTADiskTest, VerwendeteReferenzWirdAbgelehnt) {
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  ASSERT_TRUE(f.Erstellen());
  EXPECT_EQ(Wert("SELECT GROUP_CONCAT(Referenz) FROM GesendeteReferenzen WHERE AbsenderNr = 1"), QStringLiteral("R100"));
  EXPECT_EQ(Wert("SELECT Erstellt FROM GesendeteReferenzen WHERE Referenz = 'R100'"), QStringLiteral("2024-03-13"));
  Schliessen();
  m_rekorder->Leeren();

  FormularDTADisk& g = Oeffnen();
  const QString zweitesZiel = ZielWaehlen(g);
  g.ZahlArt()->Option(1)->click();
  EXPECT_EQ(g.TDBText1()->text(), QStringLiteral("R101"));
  g.TDBText1()->setText(QStringLiteral("R100"));   // typed back
  EXPECT_FALSE(g.Erstellen());
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_EQ(m_rekorder->Letzter().text,
            QStringLiteral("Die Referenz-Angabe \"R100\" wurde für dieses Konto (IBAN DE89 3704 0044 0532 0130 00) bereits "
                           "in einer SEPA-Datei verwendet. Die Bank weist eine Datei zurück, "
                           "deren Kennung sie schon erhalten hat.\r\r"
                           "Bitte tragen Sie eine neue Referenz-Angabe ein."));
  EXPECT_EQ(QApplication::focusWidget(), g.TDBText1());
  EXPECT_EQ(g.Laeufe(), 0);
  EXPECT_TRUE(Dateien(zweitesZiel).isEmpty());

  // Identifiers the banks reject are refused the same way, before the run.
  for (const char* referenz : {"A//B", "/R1//", " R1 "}) {
    g.TDBText1()->setText(QString::fromLatin1(referenz));
    EXPECT_FALSE(g.Erstellen()) << referenz;
  }
  EXPECT_EQ(m_rekorder->Anzahl(), 4);
  EXPECT_EQ(g.Laeufe(), 0);
  g.TDBText1()->setText(QStringLiteral("R101"));
  EXPECT_TRUE(g.Erstellen());
  EXPECT_EQ(Wert("SELECT GROUP_CONCAT(Referenz) FROM (SELECT Referenz FROM GesendeteReferenzen ORDER BY 1)"),
            QStringLiteral("R100,R101,R102"));
}

// --- The create command's checks ---------------------------------------------------------------

TEST_F(FormularDTADiskTest, OhneReferenzKeineDatei) {
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  f.TDBText1()->clear();
  EXPECT_FALSE(f.Erstellen());
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_EQ(m_rekorder->Letzter().text, kReferenzMeldung);
  EXPECT_EQ(m_rekorder->Letzter().knoepfe, MeldungsKnoepfe::Ok);
  EXPECT_EQ(f.Laeufe(), 0);
  EXPECT_TRUE(Dateien(ziel).isEmpty());
  EXPECT_EQ(Erledigt(), 0);
  EXPECT_TRUE(f.Command1(1)->isEnabled());
}

TEST_F(FormularDTADiskTest, ReferenzDieNurAusFremdenZeichenBestehtGiltAlsLeer) {
  FormularDTADisk& f = Oeffnen();
  f.TDBText1()->setText(QStringLiteral("§§§"));
  EXPECT_FALSE(f.Erstellen());
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_EQ(m_rekorder->Letzter().text, kReferenzMeldung);
}

TEST_F(FormularDTADiskTest, AusfuehrungsdatumAusserhalbDerVierzehnTage) {
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  f.TDBDate1(1)->WertSetzen(kHeute.addDays(15));
  EXPECT_FALSE(f.Erstellen());
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_EQ(m_rekorder->Letzter().text,
            QStringLiteral("Das Ausführungsdatum muß zwischen dem Erstellungsdatum \r13.03.2024 und dem 27.03.2024 "
                           "liegen!\r\rBitte korrigieren/ergänzen Sie die Eingabe."));
  EXPECT_EQ(f.TDBDate1(1)->Wert(), kHeute);   // set back to the creation date
  EXPECT_EQ(f.Laeufe(), 0);
  EXPECT_TRUE(Dateien(ziel).isEmpty());

  f.TDBDate1(1)->WertSetzen(kHeute.addDays(-1));
  EXPECT_FALSE(f.Erstellen());
  EXPECT_EQ(m_rekorder->Anzahl(), 2);
  EXPECT_EQ(Erledigt(), 0);
}

TEST_F(FormularDTADiskTest, LastschriftOhneGlaeubigerIdKeineDatei) {
  Ausfuehren(QStringLiteral("UPDATE Absender SET \"GläubigerID\" = NULL"));
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  f.ZahlArt()->Option(1)->click();
  // The execution date does not matter for direct debits.
  f.TDBDate1(1)->WertSetzen(kHeute.addDays(30));
  EXPECT_FALSE(f.Erstellen());
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_EQ(m_rekorder->Letzter().text, kGlaeubigerMeldung);
  EXPECT_TRUE(Dateien(ziel).isEmpty());

  Ausfuehren(QStringLiteral("UPDATE Absender SET \"GläubigerID\" = 'DE99ZZZ09999999999'"));   // check digits wrong
  EXPECT_FALSE(f.Erstellen());
  ASSERT_EQ(m_rekorder->Anzahl(), 2);
  EXPECT_TRUE(m_rekorder->Letzter().text.startsWith(
      QStringLiteral("Die Gläubiger-ID bei den Absender-Angaben ist ungültig:\r"
                     "Die Prüfziffer der Gläubiger-ID ist falsch.")));
  EXPECT_EQ(f.Laeufe(), 0);
  EXPECT_EQ(Erledigt(), 0);
}

// --- Creation ----------------------------------------------------------------------------------

TEST_F(FormularDTADiskTest, UeberweisungenWerdenGeschriebenUndMarkiert) {
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  f.TDBDate1(1)->WertSetzen(kHeute.addDays(14));   // the upper boundary passes
  ASSERT_TRUE(f.Erstellen());

  const QStringList dateien = Dateien(ziel);
  ASSERT_EQ(dateien.size(), 1) << dateien.join(QLatin1Char(' ')).toStdString();
  const QString datei = QDir(ziel).filePath(dateien.first());
  EXPECT_EQ(SchemaPruefung::Pruefen(datei, QStringLiteral("pain.001.001.09")), QStringList());
  QFile xml(datei);
  ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
  const QByteArray inhalt = xml.readAll();
  EXPECT_TRUE(inhalt.contains("<MsgId>R100</MsgId>"));
  EXPECT_TRUE(inhalt.contains("<ReqdExctnDt><Dt>2024-03-27</Dt></ReqdExctnDt>"));
  EXPECT_TRUE(inhalt.contains("<NbOfTxs>2</NbOfTxs>"));

  EXPECT_EQ(Wert("SELECT GROUP_CONCAT(ZahlungNr) FROM (SELECT ZahlungNr FROM Zahlungen WHERE Erledigt = 1 "
                 "AND ErledigtDatum = '2024-03-13' ORDER BY ZahlungNr)"),
            QStringLiteral("1,2"));
  EXPECT_EQ(Wert("SELECT ReferenzNr FROM Absender WHERE AbsenderNr = 1"), QStringLiteral("R101"));

  // The next reference, and the read-only view.
  EXPECT_TRUE(f.DateiErstellt());
  EXPECT_EQ(f.TDBText1()->text(), QStringLiteral("R101"));
  EXPECT_EQ(f.Command1(1)->text(), QStringLiteral("Kontroll-Liste drucken"));
  EXPECT_TRUE(f.Command1(1)->isEnabled());
  EXPECT_EQ(f.Command1(0)->text(), QStringLiteral("Schließen"));
  EXPECT_TRUE(f.Command1(0)->isEnabled());
  for (QWidget* w : std::initializer_list<QWidget*>{f.ZahlArt(), f.TDBText1(), f.TDBDate1(0), f.TDBDate1(1),
                                                    f.Check1(1), f.Faellig2(), f.Kopien(), f.Command1(2)})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_TRUE(f.TDBGrid1()->isEnabled());
  EXPECT_TRUE(f.Status()->isEnabled());

  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_TRUE(m_rekorder->Letzter().text.startsWith(QStringLiteral("Diese SEPA-Datei wurde erstellt")));
  EXPECT_TRUE(m_rekorder->Letzter().text.contains(QDir::toNativeSeparators(datei)));
  m_rekorder->Leeren();

  // F3 still selects; the orders just written are done and gone, the control list stays printable.
  m_rekorder->Tippe(QStringLiteral(""));
  f.BisDatumAbfragen();
  EXPECT_EQ(f.Selektionen(), 2);
  EXPECT_EQ(f.Status()->text(), QStringLiteral("Keine Zahlungen festgestellt"));
  EXPECT_TRUE(f.Command1(1)->isEnabled());

  // No way back: a further click does nothing, closing stores the raised reference.
  EXPECT_FALSE(f.Erstellen());
  EXPECT_EQ(f.Laeufe(), 1);
  Schliessen();
  EXPECT_EQ(Wert("SELECT ReferenzNr FROM Absender WHERE AbsenderNr = 1"), QStringLiteral("R101"));
}

// The control list after the run goes to the printer with the copies of the window and, with the
// remark option, as the PDF payment overview too, which the run's message names; its head names the
// file, its message id and the execution date, its total is signed as the window's. "Kontroll-Liste
// drucken" prints the same orders again, also after F3 brought other orders into the grid.
TEST_F(FormularDTADiskTest, KontrolllisteDrucktGenauDieGeschriebenenAuftraegeAuchNachF3) {
  const QString programm = m_ordner.Datei(QStringLiteral("programm"));
  QDir().mkpath(programm);
  ASSERT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/resources/Zahlungsliste.LST"),
                          QDir(programm).filePath(QStringLiteral("Zahlungsliste.LST"))));
  Zustand().ProgrammVerzeichnisSetzen(programm + QLatin1Char('/'));
  Optionsschalter o = Zustand().Optionen();
  o.SepaDateinamemitAbsenderBemerkung = true;
  Zustand().OptionenSetzen(o);
  Ausfuehren(QStringLiteral("UPDATE Absender SET Bemerkung = 'Filiale' WHERE AbsenderNr = 1"));
  const QString drucker = m_ordner.Datei(QStringLiteral("drucker.pdf"));
  QtReportengine::DruckerUmleiten(drucker);
  Reportjob::EngineSetzen(std::make_unique<QtReportengine>());

  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  f.Kopien()->GanzzahlWertSetzen(2);
  f.Check1(2)->setChecked(true);   // generated end-to-end ids
  ASSERT_TRUE(f.Erstellen());
  ASSERT_EQ(m_rekorder->Anzahl(), 1) << m_rekorder->Texte().join(QLatin1Char('\n')).toStdString();
  const SepaLaufErgebnis& lauf = f.LetzterLauf();
  ASSERT_EQ(lauf.EndToEndIds.size(), 2);
  ASSERT_EQ(lauf.Dateien.size(), 1);

  const QString uebersicht = QDir(ziel).filePath(QStringLiteral("Filiale_Zahlungsübersicht.pdf"));
  EXPECT_EQ(m_rekorder->Letzter().symbol, MeldungsSymbol::Information);
  EXPECT_TRUE(m_rekorder->Letzter().text.startsWith(QStringLiteral("Diese SEPA-Datei wurde erstellt")));
  EXPECT_TRUE(m_rekorder->Letzter().text.endsWith(
      QStringLiteral("Die Zahlungsübersicht (Kontroll-Liste) wurde als PDF-Datei gespeichert:\r") +
      QDir::toNativeSeparators(uebersicht)))
      << m_rekorder->Letzter().text.toStdString();
  const int seiten = Poppler::Seiten(uebersicht);
  ASSERT_GE(seiten, 1);
  EXPECT_EQ(Poppler::Seiten(drucker), 2 * seiten);   // two copies
  const QString text = Poppler::Text(uebersicht);
  for (const QString& erwartet : {QStringLiteral("Lieferant Meier"), QStringLiteral("Lieferant Müller & Co"),
                                  QStringLiteral("DE02120300000000202051"), QStringLiteral("SEPA-Erstellung"),
                                  QStringLiteral("13.03.2024"), QStringLiteral("Anzahl Zahlungen: 2"),
                                  QStringLiteral("Summe der Zahlungen: -150,25 EUR"), lauf.EndToEndIds.at(0),
                                  lauf.EndToEndIds.at(1),
                                  QStringLiteral("SEPA-Datei: ") + QFileInfo(lauf.Dateien.first()).fileName() +
                                      QStringLiteral("   Ausführungsdatum: ") +
                                      f.TDBDate1(1)->Wert()->toString(QStringLiteral("dd.MM.yyyy")) +
                                      QStringLiteral("   Nachrichten-ID: R100"),
                                  QStringLiteral("Ordner: ") + QDir::toNativeSeparators(ziel)})
    EXPECT_TRUE(text.simplified().contains(erwartet.simplified())) << erwartet.toStdString() << "\n" << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("Kunde Schulz")));   // a direct debit: not in this run

  // A new open credit transfer, and F3: the grid shows it, the control list does not.
  Ausfuehren(QStringLiteral(
      "INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art, Name, BIC, IBAN, Verwendungszweck1, ZahlungGesamt) VALUES "
      "(5, 1, 'G', 'Neuer Lieferant', 'BYLADEM1001', 'DE02120300000000202051', 'RE 9', 10000);"
      "INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, ZahlungsBetrag) VALUES (5, 1, 'RE 9', 10000);"));
  m_rekorder->Leeren();
  m_rekorder->Tippe(QStringLiteral(""));
  f.BisDatumAbfragen();
  m_rekorder->Leeren();
  ASSERT_TRUE(f.Command1(1)->isEnabled());
  const QString nochmal = m_ordner.Datei(QStringLiteral("nochmal.pdf"));
  QtReportengine::DruckerUmleiten(nochmal);
  int gezeigt = 0;
  DruckdialogHakenSetzen([&gezeigt](DruckLL& dialog) {
    ++gezeigt;
    EXPECT_EQ(dialog.List1()->currentItem()->data(Qt::UserRole).toString(), QStringLiteral("Zahlungsliste.LST"));
    dialog.Art()->WertSetzen(1);
    dialog.KnopfDruecken(1);
  });
  f.Command1(1)->click();
  DruckdialogHakenSetzen({});
  QtReportengine::DruckerUmleiten({});
  Reportjob::Schliessen();
  EXPECT_EQ(gezeigt, 1);
  EXPECT_EQ(m_rekorder->Anzahl(), 0) << m_rekorder->Texte().join(QLatin1Char('\n')).toStdString();
  const QString zweiter = Poppler::Text(nochmal);
  EXPECT_TRUE(zweiter.contains(QStringLiteral("Lieferant Meier")));
  EXPECT_TRUE(zweiter.contains(QStringLiteral("Anzahl Zahlungen: 2")));
  EXPECT_FALSE(zweiter.contains(QStringLiteral("Neuer Lieferant")));
}

// A machine without a printer: the control list set to print goes to the PDF payment overview when
// the remark option names one, and the run's one message (no error box) says where it is.
TEST_F(FormularDTADiskTest, OhneDruckerGehtDieKontrolllisteInDiePdfDateiUndDieMeldungNenntSie) {
  const QString programm = m_ordner.Datei(QStringLiteral("programm"));
  QDir().mkpath(programm);
  ASSERT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/resources/Zahlungsliste.LST"),
                          QDir(programm).filePath(QStringLiteral("Zahlungsliste.LST"))));
  Zustand().ProgrammVerzeichnisSetzen(programm + QLatin1Char('/'));
  Optionsschalter o = Zustand().Optionen();
  o.SepaDateinamemitAbsenderBemerkung = true;
  Zustand().OptionenSetzen(o);
  Ausfuehren(QStringLiteral("UPDATE Absender SET Bemerkung = 'Filiale' WHERE AbsenderNr = 1"));
  QtReportengine::DruckerVorhandenSetzen(false);
  int vorschau = 0;
  QtReportengine::VorschauHakenSetzen([&vorschau](QPrintPreviewDialog&) { ++vorschau; });
  Reportjob::EngineSetzen(std::make_unique<QtReportengine>());

  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  f.Kopien()->GanzzahlWertSetzen(1);
  const bool erstellt = f.Erstellen();
  QtReportengine::DruckerVorhandenSetzen(std::nullopt);
  QtReportengine::VorschauHakenSetzen({});
  Reportjob::Schliessen();
  ASSERT_TRUE(erstellt);

  const QString uebersicht = QDir::toNativeSeparators(QDir(ziel).filePath(QStringLiteral("Filiale_Zahlungsübersicht.pdf")));
  ASSERT_EQ(m_rekorder->Anzahl(), 1) << m_rekorder->Texte().join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(m_rekorder->Letzter().symbol, MeldungsSymbol::Information);
  const QString text = m_rekorder->Letzter().text;
  EXPECT_TRUE(text.startsWith(QStringLiteral("Diese SEPA-Datei wurde erstellt"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("gespeichert:\r") + uebersicht)) << text.toStdString();
  EXPECT_TRUE(text.endsWith(QStringLiteral("Auf diesem Rechner ist kein Drucker eingerichtet: die Kontroll-Liste steht in "
                                           "der PDF-Datei.")))
      << text.toStdString();
  EXPECT_EQ(vorschau, 0);
  EXPECT_TRUE(Poppler::Text(uebersicht).contains(QStringLiteral("Lieferant Meier")));
  EXPECT_EQ(Erledigt(), 2);
}

// Without a printer and without the PDF overview the control list opens in the preview after the
// run's message, which says so; no error box.
TEST_F(FormularDTADiskTest, OhneDruckerUndOhnePdfZeigtDieVorschauDieKontrollliste) {
  const QString programm = m_ordner.Datei(QStringLiteral("programm"));
  QDir().mkpath(programm);
  ASSERT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/resources/Zahlungsliste.LST"),
                          QDir(programm).filePath(QStringLiteral("Zahlungsliste.LST"))));
  Zustand().ProgrammVerzeichnisSetzen(programm + QLatin1Char('/'));
  QtReportengine::DruckerVorhandenSetzen(false);
  auto* engine = new QtReportengine;
  Reportjob::EngineSetzen(std::unique_ptr<QtReportengine>(engine));
  int vorschau = 0;
  int meldungenVorDerVorschau = -1;
  QString seitentext;
  QtReportengine::VorschauHakenSetzen([&](QPrintPreviewDialog&) {
    ++vorschau;
    meldungenVorDerVorschau = m_rekorder->Anzahl();
    for (const Druckdokument::Text& t : engine->Dokument().seiten.value(0).texte) seitentext += t.text + QLatin1Char(' ');
  });

  FormularDTADisk& f = Oeffnen();
  ZielWaehlen(f);
  f.Kopien()->GanzzahlWertSetzen(2);
  const bool erstellt = f.Erstellen();
  QtReportengine::DruckerVorhandenSetzen(std::nullopt);
  QtReportengine::VorschauHakenSetzen({});
  Reportjob::Schliessen();
  ASSERT_TRUE(erstellt);

  ASSERT_EQ(m_rekorder->Anzahl(), 1) << m_rekorder->Texte().join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(m_rekorder->Letzter().symbol, MeldungsSymbol::Information);
  EXPECT_TRUE(m_rekorder->Letzter().text.endsWith(QStringLiteral("kein Drucker eingerichtet: die Kontroll-Liste erscheint in "
                                                                 "der Vorschau, von dort aus können Sie sie drucken oder "
                                                                 "als PDF speichern.")))
      << m_rekorder->Letzter().text.toStdString();
  EXPECT_EQ(vorschau, 1);
  EXPECT_EQ(meldungenVorDerVorschau, 1);   // the message first, then the preview
  EXPECT_TRUE(seitentext.contains(QStringLiteral("Lieferant Meier"))) << seitentext.toStdString();
  EXPECT_TRUE(seitentext.contains(QStringLiteral("SEPA-Erstellung")));
}

// With no copies set nothing is put out, with or without a printer: one message, no preview.
TEST_F(FormularDTADiskTest, OhneKopienKeineAusgabeAuchOhneDrucker) {
  QtReportengine::DruckerVorhandenSetzen(false);
  int vorschau = 0;
  QtReportengine::VorschauHakenSetzen([&vorschau](QPrintPreviewDialog&) { ++vorschau; });
  Reportjob::EngineSetzen(std::make_unique<QtReportengine>());
  FormularDTADisk& f = Oeffnen();
  ZielWaehlen(f);
  f.Kopien()->GanzzahlWertSetzen(0);
  const bool erstellt = f.Erstellen();
  QtReportengine::DruckerVorhandenSetzen(std::nullopt);
  QtReportengine::VorschauHakenSetzen({});
  Reportjob::Schliessen();
  ASSERT_TRUE(erstellt);
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_FALSE(m_rekorder->Letzter().text.contains(QStringLiteral("Drucker")));
  EXPECT_EQ(vorschau, 0);
}

TEST_F(FormularDTADiskTest, AufgeteilteLastschriftenZaehlenDieReferenzJeDateiHoch) {
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  f.ZahlArt()->Option(1)->click();
  ASSERT_TRUE(f.Check1(3)->isChecked());
  ASSERT_TRUE(f.Erstellen());
  const QStringList dateien = Dateien(ziel);
  ASSERT_EQ(dateien.size(), 2) << dateien.join(QLatin1Char(' ')).toStdString();
  for (const QString& d : dateien)
    EXPECT_EQ(SchemaPruefung::Pruefen(QDir(ziel).filePath(d), QStringLiteral("pain.008.001.08")), QStringList()) << d.toStdString();
  EXPECT_EQ(f.TDBText1()->text(), QStringLiteral("R102"));
  EXPECT_EQ(Erledigt(), 2);
}

// "Dateiformat": a stored older format comes back, the label names the message of the chosen kind, the run
// writes the chosen one, and the choice is stored on closing.
TEST_F(FormularDTADiskTest, DateiformatWirdGezeigtGeschriebenUndGespeichert) {
  ASSERT_TRUE(EinstellungSpeichern(Db(), QStringLiteral("SEPADateiformat"), QStringLiteral("pain.001.001.03")).Ok());
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  EXPECT_EQ(f.Dateiformat()->currentText(), QStringLiteral("pain.001.001.03 / pain.008.001.02 (bis November 2026)"));
  EXPECT_EQ(f.GewaehltesFormat(), SepaFormat::Pain03);
  EXPECT_TRUE(f.FormatAnzeige()->text().contains(QStringLiteral("pain.001.001.03")));
  f.ZahlArt()->Option(1)->click();
  EXPECT_TRUE(f.FormatAnzeige()->text().contains(QStringLiteral("pain.008.001.02"))) << f.FormatAnzeige()->text().toStdString();
  f.Dateiformat()->setCurrentIndex(f.Dateiformat()->findText(QStringLiteral("pain.001.001.09 / pain.008.001.08")));
  EXPECT_TRUE(f.FormatAnzeige()->text().contains(QStringLiteral("pain.008.001.08"))) << f.FormatAnzeige()->text().toStdString();
  m_rekorder->Leeren();
  ASSERT_TRUE(f.Erstellen());
  ASSERT_FALSE(Dateien(ziel).isEmpty());
  for (const QString& d : Dateien(ziel)) {
    EXPECT_TRUE(TestOrdner::Lesen(QDir(ziel).filePath(d)).contains("tech:xsd:pain.008.001.08\"")) << d.toStdString();
    EXPECT_EQ(SchemaPruefung::Pruefen(QDir(ziel).filePath(d), QStringLiteral("pain.008.001.08")), QStringList());
  }
  EXPECT_FALSE(f.Dateiformat()->isEnabled());   // read-only after the run
  Schliessen();
  EXPECT_EQ(EinstellungLesen(Db(), QStringLiteral("SEPADateiformat")), QStringLiteral("pain.001.001.09"));
}

// From 01.12.2026 on the older format is still offered, but choosing it and every run in it ask first ("Nein" the
// default): "Nein" keeps the format before, or writes nothing; a run confirmed says its files are in the old format.
// A stored older format is shown without a question when the window opens.
TEST_F(FormularDTADiskTest, AltesFormatAbDezember2026FragtVorDerWahlUndVorJedemLauf) {
  Uhr::Festhalten(QDateTime(QDate(2026, 12, 1), QTime(8, 0)));
  ASSERT_TRUE(EinstellungSpeichern(Db(), QStringLiteral("SEPADateiformat"), QStringLiteral("pain.001.001.03")).Ok());
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  EXPECT_EQ(f.GewaehltesFormat(), SepaFormat::Pain03);
  EXPECT_EQ(m_rekorder->Anzahl(), 0) << m_rekorder->Texte().join(QLatin1Char('\n')).toStdString();

  m_rekorder->Antworte(MeldungsAntwort::Nein);
  EXPECT_FALSE(f.Erstellen());
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_EQ(m_rekorder->Letzter().knoepfe, MeldungsKnoepfe::JaNein);
  EXPECT_EQ(m_rekorder->Letzter().text, SepaFormate::AltesFormatFrage(true));
  EXPECT_TRUE(m_rekorder->Letzter().text.contains(QStringLiteral("pain.001.001.03 / pain.008.001.02")));
  EXPECT_EQ(f.Laeufe(), 0);
  EXPECT_TRUE(Dateien(ziel).isEmpty());
  EXPECT_EQ(Erledigt(), 0);
  EXPECT_TRUE(f.Command1(1)->isEnabled());

  // The choice: "Nein" keeps the current format, "Ja" takes the older one.
  f.Dateiformat()->setCurrentIndex(f.Dateiformat()->findData(int(SepaFormat::Pain09)));
  m_rekorder->Leeren();
  m_rekorder->Antworte(MeldungsAntwort::Nein);
  f.Dateiformat()->setCurrentIndex(f.Dateiformat()->findData(int(SepaFormat::Pain03)));
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_EQ(m_rekorder->Letzter().text, SepaFormate::AltesFormatFrage(false));
  EXPECT_EQ(f.GewaehltesFormat(), SepaFormat::Pain09);
  EXPECT_TRUE(f.FormatAnzeige()->text().contains(QStringLiteral("pain.001.001.09")));
  m_rekorder->Antworte(MeldungsAntwort::Ja);
  f.Dateiformat()->setCurrentIndex(f.Dateiformat()->findData(int(SepaFormat::Pain03)));
  EXPECT_EQ(m_rekorder->Anzahl(), 2);
  EXPECT_EQ(f.GewaehltesFormat(), SepaFormat::Pain03);

  m_rekorder->Leeren();
  m_rekorder->Antworte(MeldungsAntwort::Ja);
  ASSERT_TRUE(f.Erstellen());
  EXPECT_EQ(m_rekorder->Eintraege().first().text, SepaFormate::AltesFormatFrage(true));
  ASSERT_EQ(Dateien(ziel), QStringList{QStringLiteral("SEPAGK.XML")});
  EXPECT_EQ(SchemaPruefung::Pruefen(QDir(ziel).filePath(QStringLiteral("SEPAGK.XML")), QStringLiteral("pain.001.001.03")),
            QStringList());
  const QString erfolg = m_rekorder->Eintraege().at(1).text;
  EXPECT_TRUE(erfolg.startsWith(QStringLiteral("Diese SEPA-Datei wurde im alten Format pain.001.001.03 erstellt:"))) << erfolg.toStdString();
  EXPECT_TRUE(erfolg.contains(SepaFormate::AltesFormatWarnung())) << erfolg.toStdString();
  EXPECT_FALSE(erfolg.contains(QStringLiteral("übermittelt werden"))) << erfolg.toStdString();
  EXPECT_EQ(Erledigt(), 2);
}

// Up to 30.11.2026 the older format is chosen and written without a question, as before.
TEST_F(FormularDTADiskTest, AltesFormatBisNovember2026OhneFrage) {
  Uhr::Festhalten(QDateTime(QDate(2026, 11, 30), QTime(23, 0)));
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  f.Dateiformat()->setCurrentIndex(f.Dateiformat()->findData(int(SepaFormat::Pain03)));
  EXPECT_EQ(f.GewaehltesFormat(), SepaFormat::Pain03);
  m_rekorder->Leeren();
  ASSERT_TRUE(f.Erstellen());
  for (const MeldungsRekorder::Eintrag& e : m_rekorder->Eintraege()) EXPECT_NE(e.knoepfe, MeldungsKnoepfe::JaNein) << e.text.toStdString();
  ASSERT_FALSE(m_rekorder->Eintraege().isEmpty());
  EXPECT_TRUE(m_rekorder->Eintraege().first().text.startsWith(
      QStringLiteral("Diese SEPA-Datei wurde erstellt und kann\ran Ihre Bank übermittelt werden:")))
      << m_rekorder->Eintraege().first().text.toStdString();
  EXPECT_EQ(Dateien(ziel), QStringList{QStringLiteral("SEPAGK.XML")});
}

// A file the bank's schemas refuse: the user reads which file, where and why; nothing is marked, no file
// stays, and the run can be repeated.
TEST_F(FormularDTADiskTest, DateiGegenDasSchemaMeldetUndMarkiertNichts) {
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  SepaLaufStoerung stoerung;
  stoerung.Verfaelschen = [](int, QByteArray& block) {
    block.replace("<Nm>Lieferant Meier</Nm>", "<Nm>Lieferant Meier " + QByteArray(60, 'X') + "</Nm>");
  };
  f.StoerungSetzen(&stoerung);
  m_rekorder->Leeren();
  EXPECT_FALSE(f.Erstellen());
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  // In German first: the order with its number and name, the field, what is wrong; libxml2's text follows.
  const QStringList zeilen = m_rekorder->Letzter().text.split(QLatin1Char('\r'));
  ASSERT_EQ(zeilen.size(), 6) << m_rekorder->Letzter().text.toStdString();
  EXPECT_TRUE(zeilen.at(0).startsWith(QStringLiteral("Die Datei SEPAGK.XML entspricht nicht dem Schema der Bank (Zeile 1, Spalte ")))
      << zeilen.at(0).toStdString();
  EXPECT_EQ(zeilen.at(1), QStringLiteral("Zahlung Nr. 1 (Lieferant Meier), Feld \"Name\": zu lang (76 Zeichen, erlaubt sind "
                                         "höchstens 70)."));
  EXPECT_EQ(zeilen.at(2), QString());
  EXPECT_EQ(zeilen.at(3), QStringLiteral("Meldung der Prüfung (für den Support): Element 'Nm': [facet 'maxLength'] The value "
                                         "has a length of '76'; this exceeds the allowed maximum length of '70'."));
  EXPECT_EQ(zeilen.at(4), QStringLiteral("Prüfschema: pain.001.001.09_GBIC_5.xsd"));
  EXPECT_FALSE(f.DateiErstellt());
  EXPECT_TRUE(f.Command1(1)->isEnabled());
  EXPECT_TRUE(Dateien(ziel).isEmpty());
  EXPECT_EQ(Erledigt(), 0);
  EXPECT_EQ(Wert("SELECT ReferenzNr FROM Absender WHERE AbsenderNr = 1"), QStringLiteral("R100"));

  f.StoerungSetzen(nullptr);
  EXPECT_TRUE(f.Erstellen());
  EXPECT_EQ(Erledigt(), 2);
}

TEST_F(FormularDTADiskTest, FehlgeschlagenerLaufAendertNichtsUndLaesstWiederholen) {
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  SepaLaufStoerung stoerung;
  stoerung.Schreiben = [](const QString&, QString& beschreibung) {
    beschreibung = QStringLiteral("Datenträger voll");
    return 61;
  };
  f.StoerungSetzen(&stoerung);
  EXPECT_FALSE(f.Erstellen());
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_TRUE(m_rekorder->Letzter().text.startsWith(
      QStringLiteral("Die SEPA-Datei(en) konnte(n) wegen Fehler nicht erstellt werden.")));
  EXPECT_TRUE(m_rekorder->Letzter().text.contains(QStringLiteral("Datenträger voll")));
  EXPECT_FALSE(f.DateiErstellt());
  EXPECT_EQ(f.TDBText1()->text(), QStringLiteral("R100"));
  EXPECT_EQ(f.Command1(1)->text(), QStringLiteral("SEPA-Datei erstellen"));
  EXPECT_TRUE(f.Command1(1)->isEnabled());
  EXPECT_TRUE(Dateien(ziel).isEmpty());
  EXPECT_EQ(Erledigt(), 0);
  EXPECT_EQ(Wert("SELECT ReferenzNr FROM Absender WHERE AbsenderNr = 1"), QStringLiteral("R100"));

  f.StoerungSetzen(nullptr);
  EXPECT_TRUE(f.Erstellen());
  EXPECT_EQ(Dateien(ziel).size(), 1);
  EXPECT_EQ(Erledigt(), 2);
}

TEST_F(FormularDTADiskTest, ZweiterKlickWaehrendDesLaufsStartetKeinenZweiten) {
  FormularDTADisk& f = Oeffnen();
  const QString ziel = ZielWaehlen(f);
  bool knopfAn = true;
  bool zweiter = true;
  SepaLaufStoerung stoerung;
  stoerung.Schreiben = [&](const QString&, QString&) {
    knopfAn = f.Command1(1)->isEnabled();
    f.Command1(1)->click();   // disabled: no click arrives
    zweiter = f.Erstellen();  // and a direct call is refused
    return 0;
  };
  f.StoerungSetzen(&stoerung);
  EXPECT_TRUE(f.Erstellen());
  EXPECT_FALSE(knopfAn);
  EXPECT_FALSE(zweiter);
  EXPECT_EQ(f.Laeufe(), 1);
  EXPECT_EQ(Dateien(ziel).size(), 1);
  EXPECT_EQ(m_rekorder->Anzahl(), 1);
}

TEST_F(FormularDTADiskTest, ErstellenKnopfWartetAufDieErsteSelektion) {
  FormularDTADisk& f = Oeffnen(false);
  EXPECT_FALSE(f.Command1(1)->isEnabled());
  EXPECT_FALSE(f.Erstellen());
  EXPECT_EQ(f.Laeufe(), 0);
  EXPECT_EQ(m_rekorder->Anzahl(), 0);
}

TEST_F(FormularDTADiskTest, RestdateienEinesUnterbrochenenLaufsWerdenGenannt) {
  const QString rest = QDir(m_daten).filePath(QStringLiteral("R099.XML.1a2b3c4d") + SepaLauf::TemporaereEndung());
  QFile datei(rest);
  ASSERT_TRUE(datei.open(QIODevice::WriteOnly));
  datei.close();
  FormularDTADisk& f = Oeffnen();
  ASSERT_GE(m_rekorder->Anzahl(), 1);
  EXPECT_TRUE(m_rekorder->Eintraege().first().text.contains(QDir::toNativeSeparators(rest)));
  EXPECT_TRUE(QFile::exists(rest));   // named, never removed
  EXPECT_EQ(f.Selektionen(), 1);
}

// A run that a crash interrupted after its marks: opening the window puts its file in place first and says so.
TEST_F(FormularDTADiskTest, UnterbrochenerLaufWirdBeimOeffnenFertiggestellt) {
  const QString lauf = SepaLaufVermerke::NeueKennung();
  ASSERT_FALSE(SepaLaufVermerke::Beginnen(Db(), lauf, m_daten));
  SichereDateien dateien(lauf);
  const QString ziel = QDir(m_daten).filePath(QStringLiteral("SEPAGK.XML"));
  ASSERT_FALSE(dateien.Schreiben(ziel, QByteArrayLiteral("<Document/>")));
  const SichereDateien::Datei& d = dateien.Dateien().first();
  ASSERT_FALSE(SepaLaufVermerke::Vormerken(
      Db(), lauf, {{QLatin1Char('U'), m_daten, d.temporaer, d.ziel, d.groesse, d.pruefsumme, {1, 2}}}));
  Ausfuehren(QStringLiteral("UPDATE Zahlungen SET Erledigt = 1 WHERE ZahlungNr IN (1, 2)"));
  dateien.Loslassen();

  FormularDTADisk& f = Oeffnen();
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_EQ(m_rekorder->Letzter().symbol, MeldungsSymbol::Information);
  EXPECT_TRUE(m_rekorder->Letzter().text.startsWith(QStringLiteral("Ein SEPA-Lauf war unterbrochen worden.")));
  EXPECT_TRUE(m_rekorder->Letzter().text.endsWith(QDir::toNativeSeparators(ziel)));
  EXPECT_EQ(Dateien(m_daten).filter(QStringLiteral("SEPAGK")), QStringList{QStringLiteral("SEPAGK.XML")});
  EXPECT_EQ(Wert("SELECT count(*) FROM SepaLaufDateien"), QStringLiteral("0"));
  EXPECT_TRUE(f.Auswahl().ZahlungNummern.isEmpty());   // both credit transfers are done
}

// --- F3 and the folder chooser -----------------------------------------------------------------

TEST_F(FormularDTADiskTest, F3BegrenztAufDasDatumImVerwendungszweck) {
  FormularDTADisk& f = Oeffnen();
  m_rekorder->Tippe(QStringLiteral("31.12.23"));
  // Through the window's key preview, wherever the focus is.
  QTest::keyClick(f.focusWidget() ? f.focusWidget() : static_cast<QWidget*>(&f), Qt::Key_F3);
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_TRUE(m_rekorder->Letzter().eingabe);
  EXPECT_EQ(m_rekorder->Letzter().text, QStringLiteral("Eingabe Bis-Datum tt.mm.jj"));
  EXPECT_EQ(f.VerwendungszweckDatumBis(), QDate(2023, 12, 31));
  EXPECT_EQ(f.Selektionen(), 2);
  EXPECT_EQ(f.Auswahl().ZahlungNummern, (QList<qint64>{1}));   // "... 15.01.24" is left out

  // Cancel keeps the limit and does not select.
  m_rekorder->Tippe(std::nullopt);
  f.BisDatumAbfragen();
  EXPECT_EQ(f.VerwendungszweckDatumBis(), QDate(2023, 12, 31));
  EXPECT_EQ(f.Selektionen(), 2);

  // Four-digit years as well.
  m_rekorder->Tippe(QStringLiteral("15.01.2024"));
  f.BisDatumAbfragen();
  EXPECT_EQ(f.Selektionen(), 3);
  EXPECT_EQ(f.Auswahl().ZahlungNummern, (QList<qint64>{1, 2}));

  // Empty removes the limit and selects again.
  m_rekorder->Tippe(QStringLiteral("31.12.23"));
  f.BisDatumAbfragen();
  m_rekorder->Tippe(QStringLiteral(" "));
  f.BisDatumAbfragen();
  EXPECT_FALSE(f.VerwendungszweckDatumBis().has_value());
  EXPECT_EQ(f.Selektionen(), 5);
  EXPECT_EQ(f.Auswahl().ZahlungNummern, (QList<qint64>{1, 2}));
}

class F3EingabeTest : public FormularDTADiskTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(F3EingabeTest, UngueltigeEingabeMeldetUndAendertNichts) {
  FormularDTADisk& f = Oeffnen();
  m_rekorder->Tippe(QStringLiteral("31.12.23"));
  f.BisDatumAbfragen();
  ASSERT_EQ(f.Selektionen(), 2);
  m_rekorder->Leeren();

  m_rekorder->Tippe(QString::fromUtf8(GetParam()));
  f.BisDatumAbfragen();
  ASSERT_EQ(m_rekorder->Anzahl(), 2);
  EXPECT_FALSE(m_rekorder->Letzter().eingabe);
  EXPECT_TRUE(m_rekorder->Letzter().text.contains(QStringLiteral("tt.mm.jj oder tt.mm.jjjj")));
  EXPECT_EQ(f.VerwendungszweckDatumBis(), QDate(2023, 12, 31));
  EXPECT_EQ(f.Selektionen(), 2);
}
INSTANTIATE_TEST_SUITE_P(Eingaben, F3EingabeTest,
                         ::testing::Values("31.13.23", "30.02.2024", "2023-12-31", "1.13.24", "31.12.231",
                                           "31.12.", "gestern", "31.12.23') OR 1=1 --"),
                         [](const auto& info) { return TestnameBuchstabiert(info.param); });

TEST_F(FormularDTADiskTest, F1ZeigtDieHilfeDesFensters) {
  Zustand().ProgrammVerzeichnisSetzen(QStringLiteral(TAMO_SOURCE_DIR "/resources/"));
  FormularDTADisk& f = Oeffnen();
  QTest::keyClick(f.focusWidget() ? f.focusWidget() : static_cast<QWidget*>(&f), Qt::Key_F1);
  HilfeFenster* hilfe = HilfeFenster::Instanz(Zustand().ProgrammVerzeichnis() + QStringLiteral("help"));
  EXPECT_TRUE(hilfe->isVisible());
  EXPECT_TRUE(hilfe->AktuelleDatei().endsWith(QStringLiteral("200.html"))) << hilfe->AktuelleDatei().toStdString();
  hilfe->close();
}

TEST_F(FormularDTADiskTest, OrdnerWahlZeigtAltenOrdnerUndUebernimmtDieWahl) {
  FormularDTADisk& f = Oeffnen(false);
  const QString alt = f.Zielordner();
  QString titel, aufforderung, start;
  f.OrdnerWahlSetzen([&](QWidget*, const QString& t, const QString& a, const QString& s) -> std::optional<QString> {
    titel = t;
    aufforderung = a;
    start = s;
    return std::nullopt;
  });
  EXPECT_FALSE(f.OrdnerWaehlen());
  EXPECT_EQ(f.Zielordner(), alt);
  EXPECT_EQ(titel, QStringLiteral("Exportlaufwerk einstellen"));
  EXPECT_EQ(aufforderung,
            QStringLiteral("Bitte wählen Sie den Ordner für die SEPA-Datei(en) aus\r\nAlte Einstellung: ") + alt);
  EXPECT_EQ(start, alt);

  const QString neu = m_ordner.Datei(QStringLiteral("anders"));
  f.OrdnerWahlSetzen([&](QWidget*, const QString&, const QString&, const QString&) { return neu; });
  EXPECT_TRUE(f.OrdnerWaehlen());
  EXPECT_EQ(f.Zielordner(), QDir::toNativeSeparators(neu) + QDir::separator());
}

}  // namespace

// The amount column and the total stay whole once the rows bring up the vertical scroll bar, and
// after the window is made narrower.
TEST_F(FormularDTADiskTest, SpaltenFuellenDieBreiteAuchMitBildlaufleiste) {
  QString viele;
  for (int i = 0; i < 80; ++i)
    viele += QStringLiteral(
                 "INSERT INTO Zahlungen (AbsenderNr, Art, Name, BIC, IBAN, Verwendungszweck1, ZahlungGesamt, \"Fällig\") "
                 "VALUES (1, 'G', 'Lieferant %1', 'BYLADEM1001', 'DE02120300000000202051', 'RE %1', 123456789900, "
                 "'2024-03-10');"
                 "INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, ZahlungsBetrag) "
                 "VALUES (last_insert_rowid(), 1, 'RE %1', 123456789900);")
                 .arg(i);
  DatenbankAnlegen(kDaten, viele);
  FormularDTADisk& f = Oeffnen();
  f.resize(1000, f.height());   // wide enough for every column's least width (the test screen is small)
  QTest::qWait(50);
  QTableView* ansicht = f.TDBGrid1()->Ansicht();
  auto summe = [ansicht] {
    int s = 0;
    for (int i = 0; i < ansicht->horizontalHeader()->count(); ++i)
      if (!ansicht->horizontalHeader()->isSectionHidden(i)) s += ansicht->horizontalHeader()->sectionSize(i);
    return s;
  };
  ASSERT_TRUE(ansicht->verticalScrollBar()->isVisible());
  EXPECT_LE(summe(), ansicht->viewport()->width());
  EXPECT_GE(summe(), ansicht->viewport()->width() - 2);
  f.resize(f.width() - 60, f.height());
  QCoreApplication::processEvents();
  EXPECT_LE(summe(), ansicht->viewport()->width());
  EXPECT_FALSE(ansicht->horizontalScrollBar()->isVisible());
}

// --- The sender before the run ------------------------------------------------------------------

// A sender without a name used to be named only when the file was tried, and the create button
// stayed grey after the form had been filled in elsewhere. The window names the missing field on
// opening, offers the sender form on it, and creates as soon as the sender is complete.
TEST_F(FormularDTADiskTest, FehlendeAbsenderangabeWirdGenanntUndDasFormularGeoeffnet) {
  Ausfuehren(QStringLiteral("UPDATE Absender SET Name = '' WHERE AbsenderNr = 1"));
  QString geoeffnetFuer;
  FormularDTADisk::AbsenderFormularSetzen([&](QWidget*, const QString& feld) {
    geoeffnetFuer = feld;
    Ausfuehren(QStringLiteral("UPDATE Absender SET Name = 'Tamo Test GmbH' WHERE AbsenderNr = 1"));
  });
  m_rekorder->Antworte(MeldungsAntwort::Ja);
  FormularDTADisk& f = Oeffnen();
  ASSERT_EQ(m_rekorder->Anzahl(), 1);
  EXPECT_TRUE(m_rekorder->Letzter().text.startsWith(QStringLiteral("Bei den Absender-Angaben fehlt der Name.")));
  EXPECT_EQ(m_rekorder->Letzter().symbol, MeldungsSymbol::Ausruf);
  EXPECT_EQ(geoeffnetFuer, QStringLiteral("Name"));
  // Filled in: nothing missing, the create button is open at once.
  EXPECT_TRUE(f.AbsenderMangel().feld.isEmpty());
  EXPECT_TRUE(f.Command1(1)->isEnabled());
  EXPECT_TRUE(f.AbsenderKnopf()->isHidden());
  FormularDTADisk::AbsenderFormularSetzen({});
}

TEST_F(FormularDTADiskTest, AbsenderangabenJeZahlungsart) {
  struct Fall {
    const char* name;
    const char* sql;
    int art;
    const char* feld;
  };
  const Fall faelle[] = {
      {"vollstaendig", "", 0, ""},
      {"ohneName", "UPDATE Absender SET Name = NULL", 0, "Name"},
      {"NameNurAusFremdenZeichen", "UPDATE Absender SET Name = '@@@'", 0, "Name"},
      {"IbanFalsch", "UPDATE Absender SET IBAN = 'DE00370400440532013000'", 0, "IBAN"},
      {"BicFalsch", "UPDATE Absender SET BIC = 'COBA'", 0, "BIC"},
      {"ohneBicGenuegt", "UPDATE Absender SET BIC = NULL", 0, ""},
      {"UeberweisungOhneGlaeubigerId", "UPDATE Absender SET \"GläubigerID\" = NULL", 0, ""},
      {"LastschriftOhneGlaeubigerId", "UPDATE Absender SET \"GläubigerID\" = NULL", 1, "GläubigerID"},
      {"FirmenlastschriftOhneGlaeubigerId", "UPDATE Absender SET \"GläubigerID\" = NULL", 2, "GläubigerID"},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.name);
    DatenbankAnlegen(kDaten, QString::fromUtf8(fall.sql) + QStringLiteral(";"));
    FormularDTADisk& f = Oeffnen();   // no form registered: no question, the status names it
    f.ZahlArt()->Option(fall.art)->click();
    EXPECT_EQ(f.AbsenderMangel().feld, QString::fromUtf8(fall.feld));
    EXPECT_EQ(f.Command1(1)->isEnabled(), QString::fromUtf8(fall.feld).isEmpty());
    if (!f.AbsenderMangel().feld.isEmpty())
      EXPECT_TRUE(f.Status()->text().contains(QStringLiteral("Bitte ergänzen Sie die Absender-Angaben.")));
    Schliessen();
  }
  EXPECT_EQ(m_rekorder->Anzahl(), 0);
}
