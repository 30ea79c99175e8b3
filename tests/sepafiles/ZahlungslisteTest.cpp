// The payment list driven headless: defaults and stored options, the options' requery, F6 through
// the due-date seam, search mode with the filter bar, a failing query, colours, keys and help.

#include <functional>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include "ListenFensterTest.h"
#include "QtAusgabe.h"
#include "common/Programmzustand.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/Farben.h"
#include "platform/ui/FilterLeiste.h"
#include "platform/ui/GitterModell.h"
#include "platform/ui/HilfeFenster.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/Werkzeugleiste.h"
#include "platform/ui/ZahlFeld.h"
#include "platform/report/Poppler.h"
#include "platform/report/QtReportengine.h"
#include "printing/DruckLL.h"
#include "printing/ReportAuswaehlen.h"
#include "printing/Reportjob.h"
#include "sepafiles/Zahlungsliste.h"
#include "testsupport/TestOrdner.h"

namespace {

const QString kAbschnitt = QStringLiteral("Liste1 State");

class ZahlungslisteTest : public ListenFensterTest {
 protected:
  void SetUp() override {
    ListenFensterTest::SetUp();
    // 1 open credit transfer (two lines), 2 done credit transfer, 3 open core direct debit due
    // 20.03., 4 done B2B direct debit, 5 another sender's order.
    LaufTestDatenbank::Auftrag a;
    a.name = QStringLiteral("Meier GmbH");
    a.faellig = QDate(2024, 3, 10);
    a.zeilenCent = {10000, 5000};
    Anlegen(a);
    a.name = QStringLiteral("Müller KG");
    a.faellig = QDate(2024, 3, 15);
    a.zeilenCent = {20000};
    a.erledigt = true;
    a.erledigtDatum = QDate(2024, 3, 12);
    Anlegen(a);
    LaufTestDatenbank::Auftrag l = Lastschrift(2, {30000});
    l.name = QStringLiteral("Möller");
    l.faellig = QDate(2024, 3, 20);
    Anlegen(l);
    l = Lastschrift(12, {40000});
    l.name = QStringLiteral("Schulz");
    l.faellig = QDate(2024, 3, 15);
    l.erledigt = true;
    Anlegen(l);
    a = {};
    a.absenderNr = 2;
    Anlegen(a);
  }
  void TearDown() override {
    m_fenster.reset();
    ListenFensterTest::TearDown();
  }

  Zahlungsliste& Oeffnen() {
    m_fenster = std::make_unique<Zahlungsliste>();
    m_fenster->FaelligAbfrageSetzen([this](const std::optional<QDate>& bisher) {
      m_faelligVorschlaege << bisher;
      return m_faelligAntwort;
    });
    m_fenster->show();
    QCoreApplication::processEvents();
    return *m_fenster;
  }
  void Schliessen() {
    m_fenster->close();
    m_fenster.reset();
  }

  // The window's "Drucken" (or what `ausloesen` does) with the shipped payment list to a PDF, the print
  // dialog answered "Drucken": the printout's text. `m_druckdialoge` counts the dialogs shown.
  QString Drucktext(Zahlungsliste& f, const std::function<void()>& ausloesen = {}) {
    TestOrdner ordner;
    const QString programm = ordner.Pfad();
    Zustand().ProgrammVerzeichnisSetzen(programm + QDir::separator());
    EXPECT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/resources/Zahlungsliste.LST"),
                            QDir(programm).filePath(QStringLiteral("Zahlungsliste.LST"))));
    const QString pdf = QDir(programm).filePath(QStringLiteral("drucker.pdf"));
    QtReportengine::DruckerUmleiten(pdf);
    Reportjob::EngineSetzen(std::make_unique<QtReportengine>());
    DruckdialogHakenSetzen([this](DruckLL& d) {
      ++m_druckdialoge;
      d.Art()->WertSetzen(1);
      d.KnopfDruecken(1);
    });
    if (ausloesen) ausloesen();
    else f.Drucken();
    DruckdialogHakenSetzen({});
    QtReportengine::DruckerUmleiten({});
    Reportjob::Schliessen();
    EXPECT_EQ(Meldungen().Anzahl(), 0) << Meldungen().Texte().join(QLatin1Char('\n')).toStdString();
    return Poppler::Text(pdf);
  }

  // The names of the listed rows, in list order.
  QStringList Namen() {
    QStringList namen;
    DatenGitter* g = m_fenster->TDBGrid1();
    for (int i = 0; i < g->ZeilenAnzahl(); ++i) namen << g->Wert(i, QStringLiteral("Name")).toString();
    return namen;
  }
  QColor Farbe(int zeile) {
    DatenGitter* g = m_fenster->TDBGrid1();
    return g->Modell()->data(g->Modell()->index(zeile, g->SpaltenIndex(QStringLiteral("Name"))), Qt::ForegroundRole)
        .value<QColor>();
  }

  std::unique_ptr<Zahlungsliste> m_fenster;
  QList<std::optional<QDate>> m_faelligVorschlaege;
  std::optional<QDate> m_faelligAntwort;
  int m_druckdialoge = 0;
};

const QStringList kAlle = {QStringLiteral("Meier GmbH"), QStringLiteral("Meier GmbH"), QStringLiteral("Müller KG"),
                           QStringLiteral("Möller"), QStringLiteral("Schulz")};

TEST_F(ZahlungslisteTest, OeffnetMitAllenZahlungenZeilenweiseUndVorzeichensumme) {
  Zahlungsliste& f = Oeffnen();
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Zahlungsliste"));
  EXPECT_EQ(f.ZahlArt()->Wert(), 2);
  EXPECT_EQ(f.StatusArt()->Wert(), 2);
  EXPECT_TRUE(f.AnzeigeBereit());
  EXPECT_EQ(Namen(), kAlle);
  // -(100 + 50) - 200 + 300 + 400
  EXPECT_EQ(f.Summe(), Waehrung::AusCent(35000));
  EXPECT_EQ(f.TDBNumber1()->Wert(), std::optional<Waehrung>(Waehrung::AusCent(35000)));
  EXPECT_EQ(f.TDBNumber1()->text(), QStringLiteral("350,00"));
  EXPECT_EQ(Farbe(0), Farben::Rot());
  EXPECT_EQ(Farbe(3), Farben::Blau());
  // The columns as captioned; the payment-only fields stay out.
  DatenGitter* g = f.TDBGrid1();
  EXPECT_EQ(g->Spalte(g->SpaltenIndex(QStringLiteral("ZahlungsBetrag"))).titel, QStringLiteral("Betrag"));
  EXPECT_EQ(g->Spalte(g->SpaltenIndex(QStringLiteral("ErledigtDatum"))).titel, QStringLiteral("Bezahlt am"));
  EXPECT_EQ(g->Spalte(g->SpaltenIndex(QStringLiteral("MandatDatum"))).titel, QStringLiteral("Mandat vom"));
  EXPECT_FALSE(g->SpalteSichtbar(g->SpaltenIndex(QStringLiteral("Art"))));
  EXPECT_EQ(g->SpaltenIndex(QStringLiteral("ZahlungGesamt")), -1);
  EXPECT_EQ(g->ZellText(2, g->SpaltenIndex(QStringLiteral("ErledigtDatum"))), QStringLiteral("12.03.2024"));
  EXPECT_TRUE(f.Toolbar1()->Aktiviert(QStringLiteral("Drucken")));
}

// "Drucken" (also Ctrl+D): the print dialog with the payment list's reports, then the listed rows
// with the chosen kind and status as the report's variables.
TEST_F(ZahlungslisteTest, DruckenGibtDieGelistetenZeilenMitArtUndStatusAus) {
  Zahlungsliste& f = Oeffnen();
  f.ZahlArt()->Option(0)->click();
  f.StatusArt()->Option(1)->click();
  const QString text =
      Drucktext(f, [&f] { QTest::keyClick(f.TDBGrid1()->Ansicht(), Qt::Key_D, Qt::ControlModifier); });
  EXPECT_EQ(m_druckdialoge, 1);
  EXPECT_TRUE(text.contains(QStringLiteral("Zahlungsliste: Überweisung (Gutschrift -)"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Status: Offen")));
  EXPECT_TRUE(text.contains(QStringLiteral("Meier GmbH")));
  EXPECT_FALSE(text.contains(QStringLiteral("Müller KG")));   // done: not listed
  EXPECT_FALSE(text.contains(QStringLiteral("Möller")));      // a direct debit
  EXPECT_TRUE(text.contains(QStringLiteral("Anzahl Zahlungen: 1")));
  EXPECT_TRUE(text.contains(QStringLiteral("150,00")));
}

// "Alle / Alle" printed: the rows of both kinds and states name their kind and state, and the printout's
// total is the window's signed total (it used to add transfers and debits alike).
TEST_F(ZahlungslisteTest, DruckAllerZahlungenTraegtDieSummeDesFensters) {
  Zahlungsliste& f = Oeffnen();
  ASSERT_EQ(f.ZahlArt()->Wert(), 2);
  ASSERT_EQ(f.StatusArt()->Wert(), 2);
  const QString text = Drucktext(f);
  EXPECT_TRUE(text.contains(QStringLiteral("Summe der Zahlungen: ") + f.Summe()->FormatDeutsch() + QStringLiteral(" EUR")))
      << text.toStdString();
  EXPECT_EQ(f.Summe(), Waehrung::AusCent(35000));
  for (const char* wort : {"Überweisung", "Lastschrift", "offen", "erledigt", "-100,00", "-200,00", "400,00"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(wort))) << wort;
  EXPECT_FALSE(text.contains(QStringLiteral("1.050,00")));   // the sum without signs
}

// The total field shows a thirteen-digit total whole.
TEST_F(ZahlungslisteTest, SummenfeldZeigtDreizehnstelligeSummeGanz) {
  for (int i = 0; i < 10; ++i) {
    LaufTestDatenbank::Auftrag a;
    a.name = QStringLiteral("Groß %1").arg(i);
    a.zeilenCent = {99999999999};
    Anlegen(a);
  }
  Zahlungsliste& f = Oeffnen();
  const QString text = f.TDBNumber1()->text();
  ASSERT_EQ(text, QStringLiteral("-9.999.999.649,90")) << text.toStdString();   // with the orders of SetUp
  QLineEdit* innen = f.TDBNumber1()->findChild<QLineEdit*>();
  ASSERT_TRUE(innen);
  EXPECT_GE(innen->contentsRect().width(), innen->fontMetrics().horizontalAdvance(text));
}

TEST_F(ZahlungslisteTest, ArtUndStatusFragenNeuAbUndKommenWieder) {
  Zahlungsliste& f = Oeffnen();
  f.ZahlArt()->Option(0)->click();
  EXPECT_EQ(Namen(), (QStringList{QStringLiteral("Meier GmbH"), QStringLiteral("Meier GmbH"), QStringLiteral("Müller KG")}));
  EXPECT_EQ(f.Summe(), Waehrung::AusCent(-35000));
  f.StatusArt()->Option(1)->click();
  EXPECT_EQ(Namen(), (QStringList{QStringLiteral("Meier GmbH"), QStringLiteral("Meier GmbH")}));
  EXPECT_EQ(f.Summe(), Waehrung::AusCent(-15000));
  EXPECT_EQ(f.TDBNumber1()->text(), QStringLiteral("-150,00"));
  f.ZahlArt()->Option(1)->click();
  f.StatusArt()->Option(0)->click();
  EXPECT_EQ(Namen(), QStringList{QStringLiteral("Schulz")});
  Schliessen();
  EXPECT_EQ(GetSetting(kAbschnitt, QStringLiteral("Zahlungsart")), QStringLiteral("1"));
  EXPECT_EQ(GetSetting(kAbschnitt, QStringLiteral("Statusart")), QStringLiteral("0"));

  Zahlungsliste& wieder = Oeffnen();
  EXPECT_EQ(wieder.ZahlArt()->Wert(), 1);
  EXPECT_EQ(wieder.StatusArt()->Wert(), 0);
  EXPECT_EQ(Namen(), QStringList{QStringLiteral("Schulz")});
  Schliessen();

  // A value that names no option gives "all".
  SaveSetting(kAbschnitt, QStringLiteral("Zahlungsart"), QStringLiteral("7"));
  SaveSetting(kAbschnitt, QStringLiteral("Statusart"), QStringLiteral("x"));
  Zahlungsliste& unbekannt = Oeffnen();
  EXPECT_EQ(unbekannt.ZahlartIndex(), 2);
  EXPECT_EQ(unbekannt.StatusartIndex(), 2);
  EXPECT_EQ(Namen(), kAlle);
}

TEST_F(ZahlungslisteTest, F6BegrenztAufFaelligkeitUndAbbruchHebtSieAuf) {
  Zahlungsliste& f = Oeffnen();
  m_faelligAntwort = QDate(2024, 3, 15);
  QTest::keyClick(f.TDBGrid1()->Ansicht(), Qt::Key_F6);
  ASSERT_EQ(m_faelligVorschlaege.size(), 1);
  EXPECT_EQ(m_faelligVorschlaege[0], std::nullopt) << "without a limit the dialog proposes today";
  EXPECT_EQ(f.FaelligBis(), std::optional<QDate>(QDate(2024, 3, 15)));
  EXPECT_EQ(Namen(), (QStringList{QStringLiteral("Meier GmbH"), QStringLiteral("Meier GmbH"), QStringLiteral("Müller KG"),
                                  QStringLiteral("Schulz")}))
      << "due on the chosen day and before";
  EXPECT_EQ(f.Summe(), Waehrung::AusCent(5000));
  EXPECT_TRUE(f.FaelligAnzeige()->isVisible());
  EXPECT_EQ(f.FaelligAnzeige()->text(), QStringLiteral("Fällig bis 15.03.2024"));

  m_faelligAntwort = QDate(2024, 3, 14);
  QTest::keyClick(f.TDBGrid1()->Ansicht(), Qt::Key_F6);
  EXPECT_EQ(m_faelligVorschlaege[1], std::optional<QDate>(QDate(2024, 3, 15)));
  EXPECT_EQ(Namen(), (QStringList{QStringLiteral("Meier GmbH"), QStringLiteral("Meier GmbH")}));

  m_faelligAntwort.reset();
  QTest::keyClick(f.TDBGrid1()->Ansicht(), Qt::Key_F6);
  EXPECT_EQ(f.FaelligBis(), std::nullopt);
  EXPECT_EQ(Namen(), kAlle);
  EXPECT_FALSE(f.FaelligAnzeige()->isVisible());
}

TEST_F(ZahlungslisteTest, SuchmodusFiltertUndMerktSichDieSpalte) {
  Zahlungsliste& f = Oeffnen();
  DatenGitter* g = f.TDBGrid1();
  const int name = g->SpaltenIndex(QStringLiteral("Name"));
  QTest::keyClick(g->Ansicht(), Qt::Key_F3);
  ASSERT_TRUE(f.Suchmodus());
  EXPECT_TRUE(f.Toolbar1()->Gedrueckt(QStringLiteral("Suchen")));
  EXPECT_EQ(f.Toolbar1()->Tooltip(QStringLiteral("Suchen")), QStringLiteral("Suchmodus ausschalten"));
  QLineEdit* zelle = g->Filter()->Editor(name);
  ASSERT_NE(zelle, nullptr);
  EXPECT_EQ(QApplication::focusWidget(), zelle) << "without a stored column: the first one shown";
  EXPECT_EQ(f.StatusBar1()->Text(), QStringLiteral("Eingabe Suchbegriff für: Name"));

  QTest::keyClicks(zelle, QStringLiteral("mÜ"));
  QCoreApplication::processEvents();
  EXPECT_EQ(Namen(), QStringList{QStringLiteral("Müller KG")});
  EXPECT_EQ(f.Summe(), Waehrung::AusCent(-20000));
  EXPECT_EQ(QApplication::focusWidget(), zelle);
  EXPECT_EQ(zelle->text(), QStringLiteral("mÜ"));

  // The amount column by its shown value; the filter cells add up.
  const int betrag = g->SpaltenIndex(QStringLiteral("ZahlungsBetrag"));
  QTest::keyClick(zelle, Qt::Key_Backspace);
  QTest::keyClick(zelle, Qt::Key_Backspace);
  QCoreApplication::processEvents();
  g->Filter()->Editor(betrag)->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(f.StatusBar1()->Text(), QStringLiteral("Eingabe Suchbegriff für: Betrag"));
  QTest::keyClicks(g->Filter()->Editor(betrag), QStringLiteral("50,0"));
  QCoreApplication::processEvents();
  EXPECT_EQ(Namen(), QStringList{QStringLiteral("Meier GmbH")});
  EXPECT_EQ(f.Summe(), Waehrung::AusCent(-5000));
  EXPECT_EQ(GetSetting(kAbschnitt, QStringLiteral("Suchspalte")), QString::number(betrag));

  // Off: the filter is gone and everything is listed again.
  f.Befehl(QStringLiteral("Suchen"));
  EXPECT_FALSE(f.Suchmodus());
  EXPECT_TRUE(f.Suchfilter().IstLeer());
  EXPECT_EQ(Namen(), kAlle);
  EXPECT_EQ(f.Toolbar1()->Tooltip(QStringLiteral("Suchen")), QStringLiteral("Suchmodus einschalten"));
  EXPECT_EQ(f.StatusBar1()->Text(), QStringLiteral("Blättern in den vorhandenen Zahlungen"));
  // Leaving the search mode puts the cursor two rows down from the first, in the grid.
  EXPECT_EQ(g->AktuelleZeile(), std::min(2, int(kAlle.size()) - 1));
  EXPECT_EQ(QApplication::focusWidget(), g->Ansicht());

  // On again (Alt+S): the stored column, its cell empty.
  QTest::keyClick(g->Ansicht(), Qt::Key_S, Qt::AltModifier);
  ASSERT_TRUE(f.Suchmodus());
  EXPECT_EQ(QApplication::focusWidget(), g->Filter()->Editor(betrag));
  EXPECT_TRUE(g->Filter()->Editor(betrag)->text().isEmpty());
}

// A printout of a limited list says what limits it (F6 and the search values as typed), so that it never
// passes for the whole list; without limits there is no such line.
TEST_F(ZahlungslisteTest, DruckNenntFaelligkeitUndSuchwerte) {
  Zahlungsliste& f = Oeffnen();
  m_faelligAntwort = QDate(2024, 3, 15);
  QTest::keyClick(f.TDBGrid1()->Ansicht(), Qt::Key_F6);
  DatenGitter* g = f.TDBGrid1();
  QTest::keyClick(g->Ansicht(), Qt::Key_F3);
  QTest::keyClicks(g->Filter()->Editor(g->SpaltenIndex(QStringLiteral("Name"))), QStringLiteral("mÜ"));
  QCoreApplication::processEvents();
  ASSERT_EQ(Namen(), QStringList{QStringLiteral("Müller KG")});
  QString text = Drucktext(f);
  EXPECT_TRUE(text.contains(QStringLiteral("Eingeschränkt: Fällig bis 15.03.2024; Name: mÜ"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Summe der Zahlungen: -200,00 EUR"))) << text.toStdString();

  f.Befehl(QStringLiteral("Suchen"));
  m_faelligAntwort.reset();
  QTest::keyClick(g->Ansicht(), Qt::Key_F6);
  ASSERT_EQ(Namen(), kAlle);
  text = Drucktext(f);
  EXPECT_FALSE(text.contains(QStringLiteral("Eingeschränkt"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("mÜ"))) << text.toStdString();
}

// A failing query shows an empty list, a total of 0 and the message with the statement; the next
// change queries again.
TEST_F(ZahlungslisteTest, FehlgeschlageneAbfrageZeigtLeereListeUndSummeNull) {
  Zahlungsliste& f = Oeffnen();
  Db().SetzeStoerung([](const QString& sql) -> DbFehler {
    if (sql.contains(QStringLiteral("INNER JOIN Verwendungszweck"))) return {5, QStringLiteral("database is locked")};
    return {};
  });
  f.StatusArt()->Option(1)->click();
  ASSERT_EQ(Meldungen().Anzahl(), 1);
  EXPECT_EQ(Meldungen().Letzter().symbol, MeldungsSymbol::Kritisch);
  EXPECT_TRUE(Meldungen().Letzter().text.startsWith(
      QStringLiteral("Fehler bei der Datenermittlung!\r\rNr: 5\rBeschreibung: database is locked\rSELECT * FROM Zahlungen "
                     "INNER JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr WHERE ")))
      << Meldungen().Letzter().text.toStdString();
  EXPECT_EQ(f.TDBGrid1()->ZeilenAnzahl(), 0);
  EXPECT_EQ(f.Daten(), nullptr);
  EXPECT_EQ(f.Summe(), Waehrung());
  EXPECT_EQ(f.TDBNumber1()->text(), QStringLiteral("0,00"));

  Db().SetzeStoerung({});
  f.StatusArt()->Option(2)->click();
  EXPECT_EQ(Namen(), kAlle);
  EXPECT_EQ(Meldungen().Anzahl(), 1);
}

// Lines whose sum leaves the int64 (a damaged or hand-edited database) never empty the list: the payment
// stays listed to be found and corrected, the total shows "###" with the reason, and a printout that
// would carry no total is refused with it. Mending the lines gives the total back.
TEST_F(ZahlungslisteTest, SummeDieNichtGebildetWerdenKannZeigtRautenUndLaesstDieZahlungen) {
  LaufTestDatenbank::Auftrag a;
  a.name = QStringLiteral("Riesig AG");
  a.zeilenCent = {1, 1};
  const qint64 riesig = Anlegen(a);
  ASSERT_FALSE(Db().Ausfuehren("UPDATE Verwendungszweck SET ZahlungsBetrag = ? WHERE ZahlungNr = ?",
                               {QVariant(qint64(9'000'000'000'000'000'000)), riesig}));
  Zahlungsliste& f = Oeffnen();
  EXPECT_EQ(Meldungen().Anzahl(), 0) << Meldungen().Texte().join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(Namen(), (QStringList{QStringLiteral("Meier GmbH"), QStringLiteral("Meier GmbH"), QStringLiteral("Müller KG"),
                                  QStringLiteral("Riesig AG"), QStringLiteral("Riesig AG"), QStringLiteral("Möller"),
                                  QStringLiteral("Schulz")}));
  EXPECT_EQ(f.Summe(), std::nullopt);
  EXPECT_EQ(f.TDBNumber1()->text(), QStringLiteral("###"));
  EXPECT_EQ(f.TDBNumber1()->toolTip(),
            QStringLiteral("Gesamtsumme: ") +
                QString(Waehrung::SummeNichtBildbarText()).replace(QLatin1Char('\r'), QLatin1Char('\n')));

  int druckdialoge = 0;
  DruckdialogHakenSetzen([&druckdialoge](DruckLL& d) {
    ++druckdialoge;
    d.KnopfDruecken(0);
  });
  f.Drucken();
  DruckdialogHakenSetzen({});
  EXPECT_EQ(druckdialoge, 0);
  ASSERT_EQ(Meldungen().Anzahl(), 1);
  EXPECT_EQ(Meldungen().Letzter().text,
            QStringLiteral("Die Zahlungsliste kann nicht gedruckt werden.\r") + Waehrung::SummeNichtBildbarText());

  // Only the direct debits: their total is formed again.
  f.ZahlArt()->Option(1)->click();
  EXPECT_EQ(f.Summe(), Waehrung::AusCent(70000));
  EXPECT_EQ(f.TDBNumber1()->text(), QStringLiteral("700,00"));
  EXPECT_EQ(f.TDBNumber1()->toolTip(), QStringLiteral("Gesamtsumme"));
}

TEST_F(ZahlungslisteTest, EscSchliesstUndF1ZeigtDieHilfe) {
  ProgrammordnerMitHilfe();
  Zahlungsliste& f = Oeffnen();
  QTest::keyClick(f.TDBGrid1()->Ansicht(), Qt::Key_F1);
  HilfeFenster* hilfe = HilfeFenster::Instanz(Zustand().ProgrammVerzeichnis() + QStringLiteral("help"));
  EXPECT_TRUE(hilfe->isVisible());
  EXPECT_TRUE(hilfe->AktuelleDatei().endsWith(QStringLiteral("210.html"))) << hilfe->AktuelleDatei().toStdString();
  hilfe->close();
  f.StatusArt()->Option(0)->setFocus();
  QTest::keyClick(f.StatusArt()->Option(0), Qt::Key_Escape);
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(GetSetting(kAbschnitt, QStringLiteral("Statusart")), QStringLiteral("2"));
  EXPECT_TRUE(QFileInfo(Zustand().TabellenLayoutDatei()).isFile()) << "the columns as the user left them";
}

}  // namespace
