#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

#include "common/Datenbankstart.h"
#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/MeldungsRekorder.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/ZahlFeld.h"
#include "printing/DruckLL.h"
#include "printing/ReportAuswaehlen.h"
#include "Druckumgebung.h"
#include "testsupport/TestOrdner.h"

namespace {

void Schreiben(const QString& datei, const QString& text) {
  QFile f(datei);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text.toUtf8());
}

// A program folder with report files and an open database for the settings.
class ReportAuswaehlenTest : public Druckumgebung {
 protected:
  void SetUp() override {
    Druckumgebung::SetUp();
    Schreiben(Datei(QStringLiteral("Zahlungsliste.LST")), QStringLiteral("[Description]\nText=Standardliste\n"));
    Schreiben(Datei(QStringLiteral("zahlungslisteQuer.lst")), QStringLiteral("[Description]\nText=? (default)\n"));
    Schreiben(Datei(QStringLiteral("Zahlungsliste2.LST")), QStringLiteral("[Report]\nVersion=1\n"));
    Schreiben(Datei(QStringLiteral("Absenderliste.LST")), QStringLiteral("[Description]\nText=Absender\n"));
  }
  void TearDown() override {
    DruckdialogHakenSetzen({});
    Druckumgebung::TearDown();
  }

  // One choice; `bedienen` works the shown dialog.
  bool Waehlen(const std::function<void(DruckLL&)>& bedienen, const QString& name = QStringLiteral("Zahlungsliste")) {
    DruckdialogHakenSetzen([&](DruckLL& d) {
      gezeigt = true;
      eintraege.clear();
      for (int i = 0; i < d.List1()->count(); ++i) eintraege << d.List1()->item(i)->text();
      auswahl = d.AusgewaehlterReport();
      art = d.Art()->Wert();
      kopien = d.Kopien()->Ganzzahl().value_or(-1);
      maske = d.Dateirahmen()->title();
      okAn = d.commask(1)->isEnabled();
      aendernAn = d.commask(2)->isEnabled();
      bedienen(d);
    });
    return ReportAuswaehlen(name, anfrage);
  }

  MeldungsRekorder meldungen;
  Druckanfrage anfrage;
  bool gezeigt = false;
  QStringList eintraege;
  int auswahl = -2;
  int art = -1;
  qint64 kopien = -1;
  QString maske;
  bool okAn = false;
  bool aendernAn = false;
};

TEST_F(ReportAuswaehlenTest, ListeMitBeschreibungenVorgabeUndOk) {
  const bool abbruch = Waehlen([](DruckLL& d) { d.KnopfDruecken(1); });
  EXPECT_FALSE(abbruch);
  EXPECT_EQ(eintraege, (QStringList{QStringLiteral("Zahlungsliste.LST : Standardliste"),
                                    QStringLiteral("Zahlungsliste2.LST : ohne Beschreibung"),
                                    QStringLiteral("zahlungslisteQuer.lst : ohne Beschreibung")}));
  EXPECT_EQ(auswahl, 0);
  EXPECT_EQ(art, 0);
  EXPECT_EQ(kopien, 1);
  EXPECT_TRUE(maske.endsWith(QStringLiteral(" (Dateimaske:Zahlungsliste*.LST)")));
  EXPECT_EQ(anfrage.ReportDatei, QDir::toNativeSeparators(Datei(QStringLiteral("Zahlungsliste.LST"))));
  EXPECT_EQ(anfrage.DruckZiel, Report::ZielVorschau);
  EXPECT_EQ(anfrage.DruckKopien, 1);
  EXPECT_EQ(anfrage.ProjektTyp, Report::Liste);
  EXPECT_FALSE(anfrage.DesignerAufruf);
  EXPECT_EQ(EinstellungLesen(QStringLiteral("VorgabeRPTZahlungsliste")), QStringLiteral("Zahlungsliste.LST"));
  EXPECT_EQ(EinstellungLesen(QStringLiteral("VorgabeRPTEinstellungenZahlungsliste")), QStringLiteral("0,1"));
}

TEST_F(ReportAuswaehlenTest, GespeicherteWahlOhneRuecksichtAufGrossKleinUndNurDerDateiname) {
  EinstellungSpeichern(QStringLiteral("VorgabeRPTZahlungsliste"), QStringLiteral("C:\\Programme\\Tamo\\ZAHLUNGSLISTEQUER.LST"));
  EinstellungSpeichern(QStringLiteral("VorgabeRPTEinstellungenZahlungsliste"), QStringLiteral("1,3"));
  Waehlen([](DruckLL& d) { d.KnopfDruecken(1); });
  EXPECT_EQ(auswahl, 2);
  EXPECT_EQ(art, 1);
  EXPECT_EQ(kopien, 3);
  EXPECT_EQ(anfrage.ReportDatei, QDir::toNativeSeparators(Datei(QStringLiteral("zahlungslisteQuer.lst"))));
  EXPECT_EQ(anfrage.DruckZiel, Report::ZielDrucker);
  EXPECT_EQ(anfrage.DruckKopien, 3);
  // The name comes from the entry's data, never from its text: a description with " : " changes nothing.
  EXPECT_EQ(EinstellungLesen(QStringLiteral("VorgabeRPTZahlungsliste")), QStringLiteral("zahlungslisteQuer.lst"));

  // A stored choice that is gone: the first entry.
  EinstellungSpeichern(QStringLiteral("VorgabeRPTZahlungsliste"), QStringLiteral("Weg.LST"));
  Waehlen([](DruckLL& d) { d.KnopfDruecken(0); });
  EXPECT_EQ(auswahl, 0);
}

TEST_F(ReportAuswaehlenTest, ZieleUndKopien) {
  // Printer with 4 copies.
  Waehlen([](DruckLL& d) {
    d.Art()->WertSetzen(1);
    d.Kopien()->GanzzahlWertSetzen(4);
    d.KnopfDruecken(1);
  });
  EXPECT_EQ(anfrage.DruckZiel, Report::ZielDrucker);
  EXPECT_EQ(anfrage.DruckKopien, 4);
  EXPECT_EQ(EinstellungLesen(QStringLiteral("VorgabeRPTEinstellungenZahlungsliste")), QStringLiteral("1,4"));
  // The screen with 4 copies: one copy, the preset keeps the 4.
  Waehlen([](DruckLL& d) {
    d.Art()->WertSetzen(0);
    d.KnopfDruecken(1);
  });
  EXPECT_EQ(anfrage.DruckZiel, Report::ZielVorschau);
  EXPECT_EQ(anfrage.DruckKopien, 1);
  EXPECT_EQ(EinstellungLesen(QStringLiteral("VorgabeRPTEinstellungenZahlungsliste")), QStringLiteral("0,4"));
  // Ask for the settings: target 0, the preset stays.
  Waehlen([](DruckLL& d) {
    d.Art()->WertSetzen(2);
    d.KnopfDruecken(1);
  });
  EXPECT_EQ(anfrage.DruckZiel, Report::ZielAbfragen);
  EXPECT_EQ(EinstellungLesen(QStringLiteral("VorgabeRPTEinstellungenZahlungsliste")), QStringLiteral("0,4"));
}

TEST_F(ReportAuswaehlenTest, AbbruchEscUndFensterknopfAendernNichts) {
  EinstellungSpeichern(QStringLiteral("VorgabeRPTEinstellungenZahlungsliste"), QStringLiteral("1,2"));
  const auto pruefen = [this] {
    EXPECT_TRUE(anfrage.ReportDatei.isEmpty());
    EXPECT_EQ(anfrage.DruckZiel, Report::ZielAbfragen);
    EXPECT_EQ(anfrage.DruckKopien, 1);
    EXPECT_FALSE(anfrage.DesignerAufruf);
    EXPECT_EQ(Zustand().ReportDatum(), QDate(2025, 3, 14));
    EXPECT_EQ(EinstellungLesen(QStringLiteral("VorgabeRPTEinstellungenZahlungsliste")), QStringLiteral("1,2"));
    EXPECT_TRUE(EinstellungLesen(QStringLiteral("VorgabeRPTZahlungsliste")).isEmpty());
  };
  EXPECT_TRUE(Waehlen([](DruckLL& d) {
    d.TDBDate1()->WertSetzen(QDate(2030, 1, 1));
    d.KnopfDruecken(0);
  }));
  pruefen();
  EXPECT_TRUE(Waehlen([](DruckLL& d) { QTest::keyClick(&d, Qt::Key_Escape); }));
  pruefen();
  EXPECT_TRUE(Waehlen([](DruckLL& d) { d.close(); }));   // the window's close button is "Abbruch"
  pruefen();
  EXPECT_TRUE(Waehlen([](DruckLL&) {}));                 // left open by the hook: closed, not chosen
  pruefen();
}

TEST_F(ReportAuswaehlenTest, EnterUndDoppelklickSindOkUndUebernehmenDasDatum) {
  EXPECT_FALSE(Waehlen([](DruckLL& d) {
    d.ReportAuswaehlen(1);
    d.TDBDate1()->WertSetzen(QDate(2025, 12, 31));
    d.List1()->setFocus();
    QTest::keyClick(d.List1(), Qt::Key_Return);
  }));
  EXPECT_EQ(anfrage.ReportDatei, QDir::toNativeSeparators(Datei(QStringLiteral("Zahlungsliste2.LST"))));
  EXPECT_EQ(Zustand().ReportDatum(), QDate(2025, 12, 31));
  EXPECT_FALSE(Waehlen([](DruckLL& d) {
    QListWidgetItem* e = d.List1()->item(2);
    d.List1()->setCurrentItem(e);
    Q_EMIT d.List1()->itemDoubleClicked(e);
  }));
  EXPECT_EQ(anfrage.ReportDatei, QDir::toNativeSeparators(Datei(QStringLiteral("zahlungslisteQuer.lst"))));
}

TEST_F(ReportAuswaehlenTest, UngueltigesDatumWirdNichtUebernommen) {
  int versuche = 0;
  Waehlen([&versuche](DruckLL& d) {
    d.TDBDate1()->Leeren();
    EXPECT_FALSE(d.KnopfDruecken(1));
    ++versuche;
    EXPECT_TRUE(d.isVisible());
    d.TDBDate1()->WertSetzen(QDate(2025, 4, 1));
    EXPECT_TRUE(d.KnopfDruecken(1));
  });
  EXPECT_EQ(versuche, 1);
  ASSERT_EQ(meldungen.Anzahl(), 1);
  EXPECT_EQ(meldungen.Letzter().text, QStringLiteral("Bitte geben Sie ein gültiges Reportdatum ein."));
  EXPECT_EQ(Zustand().ReportDatum(), QDate(2025, 4, 1));
}

TEST_F(ReportAuswaehlenTest, LeereListeNurNeuerReportUndAbbruch) {
  bool nochOffen = false;
  EXPECT_TRUE(Waehlen(
      [&nochOffen](DruckLL& d) {
        EXPECT_FALSE(d.KnopfDruecken(1));   // OK needs a chosen report
        EXPECT_FALSE(d.KnopfDruecken(2));
        nochOffen = d.isVisible();
        d.KnopfDruecken(0);
      },
      QStringLiteral("Bankverbindung")));
  EXPECT_TRUE(eintraege.isEmpty());
  EXPECT_FALSE(okAn);
  EXPECT_FALSE(aendernAn);
  EXPECT_TRUE(nochOffen);
}

TEST_F(ReportAuswaehlenTest, NeuerReportSuchtDenErstenFreienNamen) {
  Schreiben(Datei(QStringLiteral("Zahlungsliste1.LST")), QString());
  Schreiben(Datei(QStringLiteral("zahlungsliste3.lst")), QString());   // letter case does not matter
  EXPECT_FALSE(Waehlen([](DruckLL& d) { d.KnopfDruecken(3); }));
  EXPECT_EQ(anfrage.DruckAktion, 3);
  EXPECT_TRUE(anfrage.DesignerAufruf);
  EXPECT_EQ(anfrage.ProjektTyp, Report::Liste);
  EXPECT_EQ(anfrage.ReportDatei, QDir::toNativeSeparators(Datei(QStringLiteral("Zahlungsliste4.LST"))));
  // Not yet a file: it becomes the default only once it exists.
  EXPECT_TRUE(EinstellungLesen(QStringLiteral("VorgabeRPTZahlungsliste")).isEmpty());
  EXPECT_EQ(NeuerReportname(QStringLiteral("Absenderliste"), programm), QStringLiteral("Absenderliste1.LST"));

  // "Rep&ort ändern" on the chosen file: the designer is asked for.
  EXPECT_FALSE(Waehlen([](DruckLL& d) { d.KnopfDruecken(2); }));
  EXPECT_EQ(anfrage.DruckAktion, 2);
  EXPECT_TRUE(anfrage.DesignerAufruf);
  EXPECT_EQ(anfrage.ReportDatei, QDir::toNativeSeparators(Datei(QStringLiteral("Zahlungsliste.LST"))));
}

TEST_F(ReportAuswaehlenTest, DialogZeigtSeineBeschriftungenUndHinweise) {
  DruckLL d;
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Druckausgabe"));
  EXPECT_EQ(d.Art()->Option(0)->text(), QStringLiteral("&Bildschirm"));
  EXPECT_EQ(d.Art()->Option(2)->toolTip(), QStringLiteral("Ausgabeeinstellungen abfragen"));
  EXPECT_EQ(d.commask(2)->text(), QStringLiteral("Rep&ort ändern"));
  EXPECT_EQ(d.commask(3)->statusTip(), QStringLiteral("Neuen Report im Report-Designer erstellen"));
  EXPECT_EQ(d.Kopien()->statusTip(), QStringLiteral("Eingabe der Kopienanzahl für die Druckausgabe"));
  EXPECT_TRUE(d.commask(1)->isDefault());
  d.Kopien()->GanzzahlWertSetzen(12);
  EXPECT_EQ(d.Kopien()->Ganzzahl(), 9);
  EXPECT_EQ(ReportdateiFinden(QStringLiteral("c:\\alt\\absenderLISTE.lst"), programm),
            QDir::toNativeSeparators(Datei(QStringLiteral("Absenderliste.LST"))));
  EXPECT_TRUE(ReportdateiFinden(QStringLiteral("Fehlt.LST"), programm).isEmpty());
}

// The driver reports nothing itself: the window shows each failure of its result, in order, as the
// driver's boxes always looked (the error symbol, the application's name with its version).
TEST_F(ReportAuswaehlenTest, DruckergebnisZeigtJedenFehlerAlsEigeneMeldung) {
  DruckergebnisMelden(Druckergebnis{Report::Ok, {}, QStringLiteral("/sepa/x.pdf")}, nullptr);
  DruckergebnisMelden(Druckergebnis{Report::Abgebrochen, {}, {}}, nullptr);
  EXPECT_EQ(meldungen.Anzahl(), 0);

  DruckergebnisMelden(Druckergebnis{Report::Druckfehler, {QStringLiteral("erste"), QStringLiteral("zweite")}, {}}, nullptr);
  ASSERT_EQ(meldungen.Anzahl(), 2);
  EXPECT_EQ(meldungen.Texte(), (QStringList{QStringLiteral("erste"), QStringLiteral("zweite")}));
  for (const MeldungsRekorder::Eintrag& e : meldungen.Eintraege()) {
    EXPECT_EQ(e.symbol, MeldungsSymbol::Kritisch);
    EXPECT_EQ(e.titel, QStringLiteral("Tamo-SEPA 1.0"));
  }
}

// What a window leaves open comes from the program's state at the moment of the print: the active
// sender, the program folder, the report date last chosen. What the caller names stays.
TEST_F(ReportAuswaehlenTest, DruckformularNimmtDenProgrammzustandNurWoDerAufruferNichtsNennt) {
  Zustand().ReportDatumSetzen(QDate(2025, 6, 30));
  const Druckformular offen = DruckformularErgaenzen({.titel = QStringLiteral("Liste")});
  EXPECT_EQ(offen.titel, QStringLiteral("Liste"));
  EXPECT_EQ(offen.absenderDaten, Zustand().AbsenderDaten());
  EXPECT_EQ(offen.datenbank, Zustand().Datenbank());
  ASSERT_NE(offen.datenbank, nullptr);
  EXPECT_EQ(offen.absenderNr, Zustand().AktuelleAbsenderNr());
  EXPECT_EQ(offen.programmVerzeichnis, Zustand().ProgrammVerzeichnis());
  EXPECT_EQ(offen.reportDatum, QDate(2025, 6, 30));

  // A database without a recordset is the caller's choice too.
  const Druckformular genannt = DruckformularErgaenzen({.titel = QStringLiteral("Liste"),
                                                        .absenderNr = 7,
                                                        .datenbank = Zustand().Datenbank(),
                                                        .programmVerzeichnis = QStringLiteral("/anderswo/"),
                                                        .reportDatum = QDate(2024, 1, 2)});
  EXPECT_EQ(genannt.absenderDaten, nullptr);
  EXPECT_EQ(genannt.absenderNr, 7);
  EXPECT_EQ(genannt.programmVerzeichnis, QStringLiteral("/anderswo/"));
  EXPECT_EQ(genannt.reportDatum, QDate(2024, 1, 2));

  // No report date chosen yet: the driver takes today.
  Zustand().ReportDatumSetzen(QDate());
  EXPECT_FALSE(DruckformularErgaenzen({}).reportDatum.isValid());
}

}  // namespace

namespace {

// The print dialog's calendar came in Qt's default size and font: it is sized to the date field (1.3
// times its width, 5 times its height) and the dialog carries the program font.
TEST_F(ReportAuswaehlenTest, KalenderUndProgrammschriftImDruckdialog) {
  const QFont vorher = QApplication::font();
  QFont programm(QStringLiteral("DejaVu Serif"), 13);
  QApplication::setFont(programm);
  {
    DruckLL d;
    d.resize(640, 420);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.TDBDate1()->font().family(), programm.family());
    EXPECT_EQ(d.TDBDate1()->font().pointSize(), 13);
    const QSize feld = d.TDBDate1()->size();
    EXPECT_EQ(d.TDBDate1()->KalenderGroesse(), QSize(int(feld.width() * 1.3), feld.height() * 5));
    d.TDBDate1()->AufklappenOeffnen();
    ASSERT_TRUE(d.TDBDate1()->IstAufgeklappt());
    EXPECT_EQ(d.TDBDate1()->Kalender()->font().pointSize(), 13);
    d.TDBDate1()->AufklappenSchliessen();
    // The calendar (a window of its own) follows the dialog's font, not Qt's default.
    d.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    d.resize(700, 460);
    QApplication::processEvents();
    d.TDBDate1()->AufklappenOeffnen();
    EXPECT_EQ(d.TDBDate1()->Kalender()->font().pointSize(), 9);
    d.TDBDate1()->AufklappenSchliessen();
    d.reject();
  }
  QApplication::setFont(vorher);
}

}  // namespace
