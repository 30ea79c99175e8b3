// The payment form's grids: scroll tips, row colours, the line grid's marquee styles and editing
// keys, status texts; the order program's open items (address format 2) and the total colours.

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "FensterTestumgebung.h"
#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "common/TestDatenbank.h"
#include "payments/FormularZahlung.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/GitterDropDown.h"
#include "platform/ui/GitterModell.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/Werkzeugleiste.h"
#include "platform/ui/ZahlFeld.h"
#include "platform/ui/ZweispaltenCombo.h"
#include "testsupport/Geschwisterdatenbank.h"
#include "testsupport/TestOrdner.h"

namespace {

using Stil = DatenGitter::Markierungsstil;

void Taste(FormularZahlung& f, int taste, Qt::KeyboardModifiers mod = Qt::NoModifier) {
  QWidget* ziel = f.focusWidget() ? f.focusWidget() : &f;
  QTest::keyClick(ziel, Qt::Key(taste), mod);
  QApplication::processEvents();
  // Closed cell editors go as they would in the event loop.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The line grid's open cell editor, if any.
QLineEdit* OffenerEditor(DatenGitter* g) {
  const auto editoren = g->Ansicht()->viewport()->findChildren<QLineEdit*>();
  for (QLineEdit* e : editoren)
    if (!e->isHidden() && e->property("gitterEditor").isValid()) return e;
  return nullptr;
}

class GitterTest : public ::testing::Test {
 protected:
  FensterTestumgebung u;
  qint64 nr = 0;
  void SetUp() override {
    for (const char* name : {"Anton", "Berta", "Cäsar"}) {
      FensterTestumgebung::Zahlung p;
      p.name = QString::fromUtf8(name);
      p.gesamt = Eur(6);
      nr = u.ZahlungAnlegen(p);
    }
    u.ZeileAnlegen(nr, 1, QStringLiteral("Eins"), Eur(1));
    u.ZeileAnlegen(nr, 2, QStringLiteral("Zwei"), Eur(2));
    u.ZeileAnlegen(nr, 3, QStringLiteral("Drei"), Eur(3));
  }
  FormularZahlung& Offen(Zeilenanzeige modus = Zeilenanzeige::MitOP) {
    FormularZahlung& f = u.Fenster();
    f.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
    f.ZeilenanzeigeWaehlen(modus);
    EXPECT_TRUE(f.ZahlungAnsteuern(nr));
    return f;
  }
};

TEST_F(GitterTest, ScrollTippsNennenSpalteUndZellText) {
  FormularZahlung& f = Offen();
  DatenGitter* b = f.Browsegitter();
  b->SetzeAktuelleZelle(2, b->SpaltenIndex(QStringLiteral("Name")));
  Q_EMIT b->Ansicht()->verticalScrollBar()->sliderMoved(1);
  EXPECT_EQ(b->LetzterScrollTipp(), QStringLiteral("Name: Berta"));
  b->SetzeAktuelleZelle(2, b->SpaltenIndex(QStringLiteral("ZahlungGesamt")));
  Q_EMIT b->Ansicht()->verticalScrollBar()->sliderMoved(2);
  EXPECT_EQ(b->LetzterScrollTipp(), QStringLiteral("Betrag: 6,00"));

  // The line grid always names the line text, whatever column is current.
  DatenGitter* g = f.Zeilengitter();
  ASSERT_EQ(g->ZeilenAnzahl(), 3);
  g->SetzeAktuelleZelle(0, g->SpaltenIndex(QStringLiteral("ZahlungsBetrag")));
  Q_EMIT g->Ansicht()->verticalScrollBar()->sliderMoved(2);
  EXPECT_EQ(g->LetzterScrollTipp(), QStringLiteral("Verwendungszweck: Drei"));
  EXPECT_EQ(g->ScrollTipp(1), QStringLiteral("Verwendungszweck: Zwei"));
}

class Zebramuster : public GitterTest, public ::testing::WithParamInterface<bool> {};

TEST_P(Zebramuster, WechselndeZeilenFolgenDerOption) {
  Optionsschalter o = Zustand().Optionen();
  o.TabellenOhneZebramuster = GetParam();
  Zustand().OptionenSetzen(o);
  FormularZahlung& f = Offen();
  EXPECT_EQ(f.Browsegitter()->WechselndeZeilen(), !GetParam());
  EXPECT_EQ(f.TextschluesselFeld()->view()->alternatingRowColors(), !GetParam());
}
INSTANTIATE_TEST_SUITE_P(Fenster, Zebramuster, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "OhneZebramuster" : "MitZebramuster");
});

TEST_F(GitterTest, MarkierungsstileWechselnZwischenBlaetternAuswahlUndEingabe) {
  FormularZahlung& f = Offen();
  DatenGitter* g = f.Zeilengitter();
  DatenGitter* b = f.Browsegitter();
  EXPECT_EQ(g->MarkierungsStil(), Stil::Keiner);
  EXPECT_EQ(b->MarkierungsStil(), Stil::ZeileHervorgehoben);

  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  EXPECT_EQ(g->MarkierungsStil(), Stil::SchwebenderEditor);
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(g->ZeilenAnzahl(), g->SpaltenIndex(QStringLiteral("OPBetrag")));  // the empty new row
  Taste(f, Qt::Key_Escape);
  EXPECT_EQ(g->MarkierungsStil(), Stil::Zeilenauswahl);
  EXPECT_EQ(g->AktuelleZeile(), 2) << "up to the last stored line";
  EXPECT_TRUE(g->Ansicht()->selectionModel()->isRowSelected(2, {}));
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());

  // Enter goes back to typing, in the item number column while it is shown.
  Taste(f, Qt::Key_Return);
  EXPECT_EQ(g->MarkierungsStil(), Stil::SchwebenderEditor);
  EXPECT_EQ(g->AktuelleSpalte(), g->SpaltenIndex(QStringLiteral("OPVorgangNr")));
  EXPECT_EQ(g->AktuelleZeile(), 2);
  EXPECT_FALSE(g->Ansicht()->selectionModel()->isRowSelected(2, {}));
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());

  // Esc twice: selecting, then the entry is cancelled.
  Taste(f, Qt::Key_Escape);
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
  Taste(f, Qt::Key_Escape);
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(g->MarkierungsStil(), Stil::Keiner);

  // The browse grid: floating editor while the filter bar is on. The button's tool tip tells
  // what the next click does once search mode has been switched.
  EXPECT_EQ(f.Leiste()->Tooltip(QStringLiteral("Suchen")), QStringLiteral("Suchmodus ein/ausschalten"));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Suchen")));
  EXPECT_EQ(b->MarkierungsStil(), Stil::SchwebenderEditor);
  EXPECT_EQ(f.Leiste()->Tooltip(QStringLiteral("Suchen")), QStringLiteral("Suchmodus ausschalten"));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Suchen")));
  EXPECT_EQ(b->MarkierungsStil(), Stil::ZeileHervorgehoben);
  EXPECT_EQ(f.Leiste()->Tooltip(QStringLiteral("Suchen")), QStringLiteral("Suchmodus einschalten"));
}

TEST_F(GitterTest, EscImZeilengitterBeimBlaetternSchliesstDasFenster) {
  FormularZahlung& f = Offen();
  f.Zeilengitter()->Ansicht()->setFocus();
  Taste(f, Qt::Key_Escape);
  EXPECT_FALSE(f.isVisible());
}

TEST_F(GitterTest, EnterOhneOPSpalteBeginntBeimText) {
  FormularZahlung& f = Offen(Zeilenanzeige::OhneOP);
  DatenGitter* g = f.Zeilengitter();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(1, g->SpaltenIndex(QStringLiteral("ZahlungsBetrag")));
  Taste(f, Qt::Key_Escape);
  ASSERT_EQ(g->MarkierungsStil(), Stil::Zeilenauswahl);
  EXPECT_EQ(g->AktuelleZeile(), 1);
  Taste(f, Qt::Key_Return);
  EXPECT_EQ(g->AktuelleSpalte(), g->SpaltenIndex(QStringLiteral("Verwendungszweck")));
  EXPECT_FALSE(g->EditorOffen());
}

TEST_F(GitterTest, EnterInDerLetztenSpalteDerNeuenZeileGehtWeiterWieTab) {
  FormularZahlung& f = Offen();
  DatenGitter* g = f.Zeilengitter();
  const int zahlung = g->SpaltenIndex(QStringLiteral("ZahlungsBetrag"));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(1, zahlung);  // a stored line: Enter stays in the grid
  Taste(f, Qt::Key_Return);
  EXPECT_EQ(f.focusWidget(), g->Ansicht());
  g->SetzeAktuelleZelle(g->ZeilenAnzahl(), g->SpaltenIndex(QStringLiteral("OPBetrag")));  // not the last column
  Taste(f, Qt::Key_Return);
  EXPECT_EQ(f.focusWidget(), g->Ansicht());
  g->SetzeAktuelleZelle(g->ZeilenAnzahl(), zahlung);
  Taste(f, Qt::Key_Return);
  EXPECT_NE(f.focusWidget(), g->Ansicht());
  EXPECT_FALSE(g->isAncestorOf(f.focusWidget()));
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(u.Meldungen().Anzahl(), 0);
}

TEST_F(GitterTest, LinksRechtsOeffnenEineGefuellteZelleMitCaretAmAnfangOderEnde) {
  FormularZahlung& f = Offen();
  DatenGitter* g = f.Zeilengitter();
  const int text = g->SpaltenIndex(QStringLiteral("Verwendungszweck"));
  const int nrSpalte = g->SpaltenIndex(QStringLiteral("OPVorgangNr"));

  // Outside entry mode the keys only move.
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(0, text);
  Taste(f, Qt::Key_Right);
  EXPECT_FALSE(g->EditorOffen());

  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(1, text);
  Taste(f, Qt::Key_Right);
  ASSERT_TRUE(g->EditorOffen());
  QLineEdit* e = OffenerEditor(g);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->text(), QStringLiteral("Zwei"));
  EXPECT_EQ(e->cursorPosition(), 4);
  EXPECT_FALSE(e->hasSelectedText());
  EXPECT_EQ(g->AktuelleSpalte(), text);
  // Typing goes on behind the text.
  QTest::keyClicks(e, QStringLiteral("te"));
  EXPECT_EQ(e->text(), QStringLiteral("Zweite"));
  Taste(f, Qt::Key_Escape);  // the editor drops what was typed
  ASSERT_FALSE(g->EditorOffen());

  Taste(f, Qt::Key_Left);
  ASSERT_TRUE(g->EditorOffen());
  e = OffenerEditor(g);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->cursorPosition(), 0);
  Taste(f, Qt::Key_Escape);
  if (g->ZeileAusstehend()) Taste(f, Qt::Key_Escape);
  ASSERT_FALSE(g->EditorOffen());

  // An empty cell: Left moves to the neighbouring column.
  g->SetzeAktuelleZelle(1, nrSpalte);
  ASSERT_TRUE(g->ZellText(1, nrSpalte).isEmpty());
  Taste(f, Qt::Key_Right);
  EXPECT_FALSE(g->EditorOffen());
  EXPECT_NE(g->AktuelleSpalte(), nrSpalte);
  EXPECT_EQ(u.Wert("SELECT Verwendungszweck FROM Verwendungszweck WHERE ZeilenNr = 2").toString(), QStringLiteral("Zwei"));
}

TEST_F(GitterTest, StatuszeileFolgtGitterUndFilterzelle) {
  FormularZahlung& f = Offen();
  DatenGitter* g = f.Zeilengitter();
  StatusLeiste* s = f.Statuszeile();
  g->Ansicht()->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(s->Text(), QStringLiteral("Diese Einzelzeilen sind für die Zahlung vorhanden"));
  f.Browsegitter()->Ansicht()->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(s->Text(), QStringLiteral("Blättern in den vorhandenen Zahlungen"));

  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  g->SetzeAktuelleZelle(0, g->SpaltenIndex(QStringLiteral("Verwendungszweck")));
  g->Ansicht()->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(s->Text(), QStringLiteral("Eingabefeld: Verwendungszweck"));
  g->SetzeAktuelleZelle(0, g->SpaltenIndex(QStringLiteral("ZahlungsBetrag")));
  EXPECT_EQ(s->Text(), QStringLiteral("Eingabefeld: Zahlung"));
  Taste(f, Qt::Key_Escape);
  Taste(f, Qt::Key_Escape);
  ASSERT_FALSE(f.ZustandDerMaske().EingabeModus());

  ASSERT_TRUE(f.Befehl(QStringLiteral("Suchen")));
  QApplication::processEvents();
  DatenGitter* b = f.Browsegitter();
  b->FilterZelleBearbeiten(b->SpaltenIndex(QStringLiteral("IBAN")));
  QApplication::processEvents();
  EXPECT_EQ(s->Text(), QStringLiteral("Sucheingabe für: IBAN"));
}

TEST_F(GitterTest, GesamtUndEinzelsummeBehaltenIhreFarbeBeiNeuenWerten) {
  FormularZahlung& f = Offen();
  const QColor rot(255, 0, 0);
  const QColor blau(0, 0, 255);
  EXPECT_EQ(f.GesamtFeld()->TextFarbe(), rot);
  EXPECT_EQ(f.GesamtFeld()->NegativFarbe(), blau);
  EXPECT_EQ(f.GesamtFeld()->palette().color(QPalette::Text), rot);
  EXPECT_EQ(f.EinzelsummeFeld()->palette().color(QPalette::Text), rot);
  EXPECT_TRUE(f.GesamtFeld()->styleSheet().isEmpty());
  EXPECT_EQ(f.GesamtFeld()->statusTip(), QStringLiteral("Infoanzeige Gesamtsumme Gutschriften"));
  EXPECT_EQ(f.EinzelsummeFeld()->statusTip(), QStringLiteral("Infoanzeige Einzelsumme"));

  FensterTestumgebung::Zahlung l;
  l.art = QStringLiteral("L");
  l.mandatSequenz = 1;
  l.gesamt = Eur(4);
  l.mandatReferenz = QStringLiteral("M-1");
  const qint64 ln = u.ZahlungAnlegen(l);
  u.ZeileAnlegen(ln, 1, QStringLiteral("Beitrag"), Eur(4));
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  EXPECT_EQ(f.GesamtFeld()->Wert(), Eur(4));
  EXPECT_EQ(f.GesamtFeld()->palette().color(QPalette::Text), blau);
  EXPECT_EQ(f.GesamtFeld()->NegativFarbe(), rot);
  EXPECT_EQ(f.EinzelsummeFeld()->Wert(), Eur(4));
  EXPECT_EQ(f.EinzelsummeFeld()->palette().color(QPalette::Text), blau);
  EXPECT_EQ(f.EinzelsummeFeld()->NegativFarbe(), rot);
  EXPECT_EQ(f.GesamtFeld()->statusTip(), QStringLiteral("Infoanzeige Gesamtsumme Basis-Lastschriften"));
}

TEST_F(GitterTest, MandatsdatumWirdBeimAendernGefaerbtUndBeimBlaetternZurueckgesetzt) {
  FensterTestumgebung::Zahlung l;
  l.art = QStringLiteral("L");
  l.mandatSequenz = 1;
  l.gesamt = Eur(4);
  l.mandatReferenz = QStringLiteral("M-1");  // no mandate date
  u.ZahlungAnlegen(l);
  FormularZahlung& f = Offen();
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  const QColor normal = f.MandatDatumFeld()->palette().color(QPalette::Active, QPalette::Base);
  ASSERT_NE(normal, QColor(255, 0, 0));
  EXPECT_FALSE(f.MandatDatumFeld()->isEnabled()) << "browsing changes no mandate";
  EXPECT_FALSE(f.Maske(1)->isEnabled());
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  EXPECT_TRUE(f.MandatDatumFeld()->isEnabled());
  EXPECT_TRUE(f.Maske(1)->isEnabled());
  EXPECT_EQ(f.MandatDatumFeld()->palette().color(QPalette::Base), QColor(255, 0, 0));
  EXPECT_EQ(f.MandatDatumFeld()->palette().color(QPalette::Text), QColor(255, 255, 255));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Schliessen")));
  ASSERT_FALSE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(f.MandatDatumFeld()->palette().color(QPalette::Active, QPalette::Base), normal);
}

TEST_F(GitterTest, GroesseresFensterBehaeltDieAnteileDerSpalten) {
  FormularZahlung& f = Offen();
  const std::vector<float> zeilen = f.Zeilengitter()->SpaltenProzente();
  const std::vector<float> liste = f.Browsegitter()->SpaltenProzente();
  ASSERT_EQ(zeilen.size(), 6u);
  EXPECT_NEAR(zeilen[2], 28.0, 1.0);  // mode 2 with the arrow keys on: the text column
  f.resize(1400, 800);
  QApplication::processEvents();
  const std::vector<float> zeilenNeu = f.Zeilengitter()->SpaltenProzente();
  const std::vector<float> listeNeu = f.Browsegitter()->SpaltenProzente();
  ASSERT_EQ(zeilenNeu.size(), zeilen.size());
  ASSERT_EQ(listeNeu.size(), liste.size());
  for (size_t i = 0; i < zeilen.size(); ++i) EXPECT_NEAR(zeilenNeu[i], zeilen[i], 0.5) << i;
  for (size_t i = 0; i < liste.size(); ++i) EXPECT_NEAR(listeNeu[i], liste[i], 0.5) << i;
}

class Symbolgroesse : public GitterTest, public ::testing::WithParamInterface<bool> {};

TEST_P(Symbolgroesse, StatuszeileUnterDerLeisteBeiGrossenSymbolen) {
  Optionsschalter o = Zustand().Optionen();
  o.ArbeitsfensterKleineSymbole = GetParam();
  Zustand().OptionenSetzen(o);
  FormularZahlung& f = Offen();
  const int status = f.Statuszeile()->geometry().top();
  const int gitter = f.Browsegitter()->geometry().top();
  if (GetParam()) EXPECT_GT(status, gitter) << "at the bottom";
  else EXPECT_LT(status, f.Maske(0)->geometry().top()) << "below the toolbar";
  EXPECT_GE(status, f.Leiste()->geometry().bottom());
}
INSTANTIATE_TEST_SUITE_P(Fenster, Symbolgroesse, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "KleineSymbole" : "GrosseSymbole");
});

TEST_F(GitterTest, EnterAufSchaltfeldernGehtWeiterOhneUmzuschalten) {
  FormularZahlung& f = Offen();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  // The skip box of the BIC: Enter moves on and leaves the box as it is; Tab skips the BIC then.
  QCheckBox* box = f.TabFolge(0);
  box->setFocus();
  Taste(f, Qt::Key_Return);
  EXPECT_FALSE(box->isChecked());
  EXPECT_NE(f.focusWidget(), box);
  box->setChecked(true);
  f.Maske(2)->setFocus();  // bank, then BIC in the tab order
  Taste(f, Qt::Key_Tab);
  EXPECT_NE(f.focusWidget(), f.Maske(3));
  box->setChecked(false);
  f.Maske(2)->setFocus();
  Taste(f, Qt::Key_Tab);
  EXPECT_EQ(f.focusWidget(), f.Maske(3));
  // The purpose-code list: Enter moves on as well.
  f.TextschluesselFeld()->setFocus();
  Taste(f, Qt::Key_Return);
  EXPECT_FALSE(f.TextschluesselFeld()->isAncestorOf(f.focusWidget()) || f.focusWidget() == f.TextschluesselFeld());
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
}

class AufAbPfeil : public GitterTest, public ::testing::WithParamInterface<bool> {};

TEST_P(AufAbPfeil, DatumsfelderBlaetternMitDenPfeiltastenNurWennEingestellt) {
  SaveSetting(QStringLiteral("Formular State"), QStringLiteral("AufAbPfeilVerwenden"),
              GetParam() ? QStringLiteral("1") : QStringLiteral("0"));
  FormularZahlung& f = Offen();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  f.FaelligFeld()->WertSetzen(QDate(2024, 3, 10));
  f.FaelligFeld()->setFocus();
  Taste(f, Qt::Key_Up);
  Taste(f, Qt::Key_Up);
  EXPECT_EQ(f.FaelligFeld()->Wert(), GetParam() ? QDate(2024, 3, 12) : QDate(2024, 3, 10));
}
INSTANTIATE_TEST_SUITE_P(Fenster, AufAbPfeil, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "AufAbPfeilAn" : "AufAbPfeilAus");
});

// --- open items of the order program (address format 2) -----------------------------------------

// Customers K1 and K2; amounts: 1190.00 invoice, 119.00 credit note (rest stored unsigned), 50.00
// credit note whose rest the program stored with its sign, a settled invoice.
Geschwisterdatenbank Auftragsprogrammdaten() {
  using P = Geschwisterdatenbank::PostenDaten;
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Auftrag);
  g.Adresse({.konto = QStringLiteral("K1"), .suchname = QStringLiteral("KUNDE"), .name = QStringLiteral("Kunde Eins")})
      .Adresse({.konto = QStringLiteral("K2"), .suchname = QStringLiteral("ZWEI"), .name = QStringLiteral("Kunde Zwei")})
      .Posten(P{.konto = QStringLiteral("K1"), .nr = QStringLiteral("4711"), .vom = QDate(2024, 3, 1),
                .faellig = QDate(2024, 3, 15), .betrag = Eur(1190), .rest = Eur(1190)})
      .Posten(P{.konto = QStringLiteral("K1"), .nr = QStringLiteral("4712"), .art = QLatin1Char('G'),
                .vom = QDate(2024, 3, 5), .faellig = QDate(2024, 3, 20), .betrag = Eur(119), .rest = Eur(119)})
      .Posten(P{.konto = QStringLiteral("K1"), .nr = QStringLiteral("4713"), .art = QLatin1Char('G'),
                .vom = QDate(2024, 3, 6), .faellig = QDate(2024, 3, 10), .betrag = Eur(50), .rest = -Eur(50)})
      .Posten(P{.konto = QStringLiteral("K2"), .nr = QStringLiteral("9001"), .vom = QDate(2024, 3, 7),
                .faellig = QDate(2024, 3, 30), .betrag = Eur(10)});
  return g;
}

// The run's database is a data folder whose sender 1 reads its addresses and open items from the
// order program's file.
class Auftragsprogramm : public ::testing::Test {
 protected:
  TestOrdner ordner;
  std::unique_ptr<FensterTestumgebung> u;

  void SetUp() override {
    u = std::make_unique<FensterTestumgebung>();
    const QString geschwister = ordner.Datei(QStringLiteral("Ordel.db"));
    const DbFehler f = Auftragsprogrammdaten().Schreiben(geschwister);
    ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
    {
      auto db = SchemaDatenbank(ordner.Pfad());
      ASSERT_TRUE(db);
      ASSERT_FALSE(db->Ausfuehren("UPDATE Absender SET AdressenFormat = 2, AdressenVerbindung = ? WHERE AbsenderNr = 1",
                                  {QVariant(geschwister)}));
    }
    Zustand().DatenVerzeichnisSetzen(ordner.Pfad());
    Zustand().AktuelleAbsenderNrSetzen(1);
    const StartErgebnis e = DatenbankOeffnen();
    ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
    ASSERT_TRUE(e.hinweis.isEmpty()) << e.hinweis.toStdString();
    ASSERT_EQ(Zustand().AdressQuelle().Format, 2);
  }
  void TearDown() override { u.reset(); }

  void MitMinus(bool an) {
    Optionsschalter o = Zustand().Optionen();
    o.OPSelektionMitMinus = an;
    Zustand().OptionenSetzen(o);
  }
  qint64 Zahlung(const QString& konto, const QString& name) {
    FensterTestumgebung::Zahlung p;
    p.opKontoNr = konto;
    p.name = name;
    return u->ZahlungAnlegen(p);
  }
  QStringList Posten(FormularZahlung& f) {
    QStringList n;
    GitterDropDown* l = f.OPListe();
    for (int i = 0; i < l->ZeilenAnzahl(); ++i) {
      l->SetzeAktuelleZeile(i);
      n << l->Wert(QStringLiteral("VorgangsNr")).toString();
    }
    return n;
  }
};

struct Uebernahmefall {
  bool mitMinus;
  const char* vorgangsNr;
  int64_t zahlungCent;
  const char* art;
  const char* text;
};

class AuftragsprogrammUebernahme : public Auftragsprogramm, public ::testing::WithParamInterface<Uebernahmefall> {};

TEST_P(AuftragsprogrammUebernahme, BetragTraegtDasVorzeichenDerArtGenauEinmal) {
  const Uebernahmefall& fall = GetParam();
  MitMinus(fall.mitMinus);
  Zahlung(QStringLiteral("K1"), QStringLiteral("Kunde Eins"));
  FormularZahlung& f = u->Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::MitOP);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  // The latest due date first; the credit note with a signed rest only with the minus option.
  EXPECT_EQ(Posten(f), fall.mitMinus ? (QStringList{QStringLiteral("4712"), QStringLiteral("4711"), QStringLiteral("4713")})
                                     : (QStringList{QStringLiteral("4712"), QStringLiteral("4711")}));
  GitterDropDown* liste = f.OPListe();
  // The signed amounts of the order program are shown as money.
  EXPECT_EQ(liste->Modell()->Text(0, liste->SpaltenIndex(QStringLiteral("Rest"))), QStringLiteral("-119,00"));
  EXPECT_EQ(liste->Modell()->Text(0, liste->SpaltenIndex(QStringLiteral("Betrag"))), QStringLiteral("-119,00"));
  int zeile = -1;
  for (int i = 0; i < liste->ZeilenAnzahl(); ++i) {
    liste->SetzeAktuelleZeile(i);
    if (liste->Wert(QStringLiteral("VorgangsNr")).toString() == QString::fromUtf8(fall.vorgangsNr)) zeile = i;
  }
  ASSERT_GE(zeile, 0);
  liste->SetzeAktuelleZeile(zeile);
  DatenGitter* g = f.Zeilengitter();
  const int nrSpalte = g->SpaltenIndex(QStringLiteral("OPVorgangNr"));
  ASSERT_EQ(g->DropDown(nrSpalte), liste);
  g->SetzeAktuelleZelle(g->ZeilenAnzahl(), nrSpalte);
  ASSERT_TRUE(g->ZellwertSetzen(nrSpalte, QString::fromUtf8(fall.vorgangsNr)));
  ASSERT_TRUE(g->ZeileSpeichern());
  EXPECT_EQ(u->Meldungen().Anzahl(), 0) << u->Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  const Waehrung erwartet = Waehrung::AusCent(fall.zahlungCent);
  EXPECT_EQ(u->Wert("SELECT ZahlungsBetrag FROM Verwendungszweck").toLongLong(), erwartet.Roh());
  EXPECT_EQ(u->Wert("SELECT OPBetrag FROM Verwendungszweck").toLongLong(), erwartet.Roh());
  EXPECT_TRUE(u->Wert("SELECT SkontoBetrag FROM Verwendungszweck").isNull());
  EXPECT_EQ(u->Wert("SELECT OPVorgangsArt FROM Verwendungszweck").toString(), QString::fromUtf8(fall.art));
  EXPECT_EQ(u->Wert("SELECT Verwendungszweck FROM Verwendungszweck").toString(), QString::fromUtf8(fall.text));
  EXPECT_EQ(f.EinzelsummeFeld()->Wert(), erwartet);
  EXPECT_EQ(f.BetragFeld()->Wert(), erwartet);
}
INSTANTIATE_TEST_SUITE_P(
    Fenster, AuftragsprogrammUebernahme,
    ::testing::Values(Uebernahmefall{false, "4711", 119000, "KR", "RG 4711 vom 01.03.24"},
                      Uebernahmefall{false, "4712", -11900, "KG", "abzgl. GS 4712 vom 05.03.24"},
                      Uebernahmefall{true, "4712", -11900, "KG", "abzgl. GS 4712 vom 05.03.24"},
                      Uebernahmefall{true, "4713", -5000, "KG", "abzgl. GS 4713 vom 06.03.24"}),
    [](const auto& info) {
      return std::string(info.param.mitMinus ? "MitMinus_" : "OhneMinus_") + info.param.vorgangsNr;
    });

TEST_F(Auftragsprogramm, KopierenLaedtDieOffenenPostenDesKopiertenEmpfaengers) {
  const qint64 quelle = Zahlung(QStringLiteral("K1"), QStringLiteral("Kunde Eins"));
  u->ZeileAnlegen(quelle, 1, QStringLiteral("RG 4711"), Eur(1190));
  u->ZeileAnlegen(quelle, 2, QStringLiteral("abzgl. GS 4712"), -Eur(119));
  const qint64 ziel = Zahlung(QStringLiteral("K2"), QStringLiteral("Kunde Zwei"));
  FormularZahlung& f = u->Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::MitOP);
  ASSERT_TRUE(f.ZahlungAnsteuern(ziel));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  EXPECT_TRUE(Posten(f).isEmpty()) << "K2 has nothing open";
  // The item number column offers its list.
  DatenGitter* g = f.Zeilengitter();
  g->SetzeAktuelleZelle(0, g->SpaltenIndex(QStringLiteral("OPVorgangNr")));
  EXPECT_EQ(g->Ansicht()->statusTip(), QStringLiteral("Eingabefeld: Rg-Nr Auswahlliste<F4>"));
  g->SetzeAktuelleZelle(0, g->SpaltenIndex(QStringLiteral("Verwendungszweck")));
  EXPECT_EQ(g->Ansicht()->statusTip(), QStringLiteral("Eingabefeld: Verwendungszweck"));
  u->suchlistenAntwort = QVariantList{QVariant(), QVariant(quelle)};
  ASSERT_TRUE(f.Befehl(QStringLiteral("Kopieren")));
  EXPECT_EQ(f.OPKontoNr(), QStringLiteral("K1"));
  EXPECT_EQ(Posten(f), (QStringList{QStringLiteral("4712"), QStringLiteral("4711")}));
  EXPECT_EQ(f.Maske(0)->Wert(), QStringLiteral("Kunde Eins"));
  // The lines are there and the grid waits on the empty row for a further one.
  ASSERT_EQ(g->ZeilenAnzahl(), 2);
  EXPECT_EQ(g->AktuelleZeile(), 2);
  EXPECT_TRUE(g->IstNeueZeile(g->AktuelleZeile()));
  EXPECT_EQ(f.EinzelsummeFeld()->Wert(), Eur(1071));
}

// --- keys in the cell editors, Enter on stored lines, several lines deleted, open-item widths -----

class GitterPfeile : public GitterTest, public ::testing::WithParamInterface<bool> {
 protected:
  // Opens the editor of a stored line's cell in entry mode.
  QLineEdit* Editor(FormularZahlung& f, int zeile, const QString& feld) {
    DatenGitter* g = f.Zeilengitter();
    g->Ansicht()->setFocus();
    g->SetzeAktuelleZelle(zeile, g->SpaltenIndex(feld));
    EXPECT_TRUE(g->ZelleBearbeiten());
    QLineEdit* e = OffenerEditor(g);
    if (e) e->setFocus();
    return e;
  }
};

TEST_P(GitterPfeile, ZellEditorenFolgenAufAbPfeilVerwenden) {
  const bool an = GetParam();
  SaveSetting(QStringLiteral("Formular State"), QStringLiteral("AufAbPfeilVerwenden"),
              an ? QStringLiteral("1") : QStringLiteral("0"));
  FormularZahlung& f = Offen();
  DatenGitter* g = f.Zeilengitter();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));

  // Amount editor: with the setting the keys step the value by 1,00 and the editor stays.
  QLineEdit* e = Editor(f, 1, QStringLiteral("OPBetrag"));
  ASSERT_NE(e, nullptr);
  ASSERT_EQ(e->text(), QStringLiteral("2,00"));
  Taste(f, Qt::Key_Down);
  Taste(f, Qt::Key_Up);
  Taste(f, Qt::Key_Up);
  if (an) {
    ASSERT_EQ(OffenerEditor(g), e);
    EXPECT_EQ(e->text(), QStringLiteral("3,00"));
    EXPECT_EQ(g->AktuelleZeile(), 1);
    // The stepped value is a typed value: it is taken with the amount rules and stored.
    Taste(f, Qt::Key_Return);
    if (g->ZeileAusstehend()) {
      ASSERT_TRUE(g->ZeileSpeichern());
    }
  } else {
    // Without the setting they move between the lines; no value changes.
    EXPECT_NE(g->AktuelleZeile(), 1);
  }
  const int64_t erwartet = an ? 30000 : 20000;
  EXPECT_EQ(u.Wert("SELECT OPBetrag FROM Verwendungszweck WHERE ZahlungNr = ? AND ZeilenNr = 2", {nr}).toLongLong(),
            erwartet);
  EXPECT_EQ(u.Wert("SELECT ZahlungsBetrag FROM Verwendungszweck WHERE ZahlungNr = ? AND ZeilenNr = 2", {nr})
                .toLongLong(),
            erwartet);

  // Date editor: one day per key with the setting; an empty date stays empty.
  if (g->EditorOffen()) Taste(f, Qt::Key_Escape);
  e = Editor(f, 0, QStringLiteral("Vorgangsdatum"));
  ASSERT_NE(e, nullptr);
  Taste(f, an ? Qt::Key_Up : Qt::Key_Down);
  if (an) {
    EXPECT_TRUE(e->text().isEmpty());
    e->setText(QStringLiteral("28.02.2024"));
    e->setModified(true);
    Taste(f, Qt::Key_Up);
    Taste(f, Qt::Key_Up);
    EXPECT_EQ(e->text(), QStringLiteral("01.03.2024"));
    Taste(f, Qt::Key_Down);
    EXPECT_EQ(e->text(), QStringLiteral("29.02.2024"));
    EXPECT_EQ(g->AktuelleZeile(), 0);
  } else {
    EXPECT_NE(g->AktuelleZeile(), 0);
  }
}
INSTANTIATE_TEST_SUITE_P(Fenster, GitterPfeile, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "AufAbPfeilAn" : "AufAbPfeilAus");
});

struct EnterFall {
  int speicherfeld;
  const char* spalte;
  bool speichert;
};
class EnterAufGespeicherterZeile : public GitterTest, public ::testing::WithParamInterface<EnterFall> {};

TEST_P(EnterAufGespeicherterZeile, SpeichertMitDemGetipptenWertNurImEingestelltenFeld) {
  const EnterFall& fall = GetParam();
  SaveSetting(QStringLiteral("Formular State"), QStringLiteral("Speicherfeld"), QString::number(fall.speicherfeld));
  FormularZahlung& f = Offen();
  DatenGitter* g = f.Zeilengitter();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(0, g->SpaltenIndex(QString::fromUtf8(fall.spalte)));
  ASSERT_TRUE(g->ZelleBearbeiten());
  QLineEdit* e = OffenerEditor(g);
  ASSERT_NE(e, nullptr);
  e->setFocus();
  e->selectAll();
  QTest::keyClicks(e, QStringLiteral("7"));
  Taste(f, Qt::Key_Return);
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(f.ZustandDerMaske().EingabeModus(), !fall.speichert);
  if (!fall.speichert) return;
  // The typed amount went through the amount rules into line 1 and the payment's total.
  EXPECT_EQ(u.Wert("SELECT OPBetrag FROM Verwendungszweck WHERE ZahlungNr = ? AND ZeilenNr = 1", {nr}).toLongLong(),
            70000);
  EXPECT_EQ(u.Wert("SELECT ZahlungsBetrag FROM Verwendungszweck WHERE ZahlungNr = ? AND ZeilenNr = 1", {nr})
                .toLongLong(),
            70000);
  EXPECT_EQ(u.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(), 120000);
}
INSTANTIATE_TEST_SUITE_P(Fenster, EnterAufGespeicherterZeile,
                         ::testing::Values(EnterFall{2, "OPBetrag", true}, EnterFall{3, "ZahlungsBetrag", true},
                                           EnterFall{2, "ZahlungsBetrag", false}, EnterFall{3, "OPBetrag", false},
                                           EnterFall{4, "OPBetrag", false}, EnterFall{0, "ZahlungsBetrag", false}),
                         [](const auto& info) {
                           return "Speicherfeld" + std::to_string(info.param.speicherfeld) + "_" + info.param.spalte;
                         });

TEST_F(GitterTest, EnterAufAbgelehnterZeileSpeichertDieZahlungNicht) {
  SaveSetting(QStringLiteral("Formular State"), QStringLiteral("Speicherfeld"), QStringLiteral("2"));
  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Verwendungszweck SET Verwendungszweck = '{RgNr}' WHERE ZeilenNr = 1").Ok());
  FormularZahlung& f = Offen();
  DatenGitter* g = f.Zeilengitter();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(0, g->SpaltenIndex(QStringLiteral("OPBetrag")));
  ASSERT_TRUE(g->ZelleBearbeiten());
  QLineEdit* e = OffenerEditor(g);
  ASSERT_NE(e, nullptr);
  e->setFocus();
  e->selectAll();
  QTest::keyClicks(e, QStringLiteral("7"));
  Taste(f, Qt::Key_Return);
  // The line's text is empty once the placeholder is gone: the line is refused and the payment stays open.
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_TRUE(u.Meldungen().Texte().first().startsWith(QStringLiteral("Der Verwendungszweck darf nicht leer sein!")));
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(g->AktuelleSpalte(), g->SpaltenIndex(QStringLiteral("Verwendungszweck")));
}

TEST_F(GitterTest, MehrereAusgewaehlteZeilenWerdenZusammenGeloeschtUndNeuNummeriert) {
  FormularZahlung& f = Offen();
  DatenGitter* g = f.Zeilengitter();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(0, g->SpaltenIndex(QStringLiteral("Verwendungszweck")));
  Taste(f, Qt::Key_Escape);  // selecting lines
  ASSERT_NE(g->MarkierungsStil(), Stil::SchwebenderEditor);
  // Ctrl+click adds the third line to the selection.
  const QRect r = g->Ansicht()->visualRect(g->Ansicht()->model()->index(2, g->SpaltenIndex(QStringLiteral("Verwendungszweck"))));
  QTest::mouseClick(g->Ansicht()->viewport(), Qt::LeftButton, Qt::ControlModifier, r.center());
  ASSERT_EQ(g->AusgewaehlteZeilen(), (std::vector<int>{0, 2}));
  g->Ansicht()->setFocus();
  Taste(f, Qt::Key_Delete);
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Verwendungszweck WHERE ZahlungNr = ?", {nr}), 1);
  EXPECT_EQ(u.Wert("SELECT Verwendungszweck FROM Verwendungszweck WHERE ZahlungNr = ? AND ZeilenNr = 1", {nr}).toString(),
            QStringLiteral("Zwei"));
  ASSERT_EQ(g->ZeilenAnzahl(), 1);
  EXPECT_TRUE(g->AusgewaehlteZeilen().size() <= 1);
  EXPECT_EQ(f.BetragFeld()->Wert(), Eur(2));
  EXPECT_EQ(f.EinzelsummeFeld()->Wert(), Eur(2));
  EXPECT_TRUE(f.ZustandDerMaske().ZeilenGeaendert());
  // Cancelling the change brings all three back.
  ASSERT_TRUE(f.Befehl(QStringLiteral("Schliessen")));
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Verwendungszweck WHERE ZahlungNr = ?", {nr}), 3);
}

TEST_F(GitterTest, ScheiterndesLoeschenMehrererZeilenLaesstAlleStehen) {
  // The second of the two lines cannot be deleted: the first must stay as well.
  ASSERT_TRUE(u.Db()
                  .Ausfuehren("CREATE TRIGGER Sperre BEFORE DELETE ON Verwendungszweck "
                              "WHEN old.Verwendungszweck = 'Drei' BEGIN SELECT RAISE(ABORT, 'gesperrt'); END")
                  .Ok());
  FormularZahlung& f = Offen();
  DatenGitter* g = f.Zeilengitter();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(0, g->SpaltenIndex(QStringLiteral("Verwendungszweck")));
  Taste(f, Qt::Key_Escape);
  g->Ansicht()->selectionModel()->select(g->Ansicht()->model()->index(2, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
  ASSERT_EQ(g->AusgewaehlteZeilen(), (std::vector<int>{0, 2}));
  Taste(f, Qt::Key_Delete);
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_TRUE(u.Meldungen().Texte().join(QLatin1Char('|')).startsWith(
      QStringLiteral("Fehler beim Speichern der Verwendungszweck-Zeile!")))
      << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Verwendungszweck WHERE ZahlungNr = ?", {nr}), 3);
  EXPECT_EQ(g->ZeilenAnzahl(), 3);
  EXPECT_EQ(f.BetragFeld()->Wert(), Eur(6));
}

// Another workstation's run marks the payment done while it is being changed: the line grid's writes and
// the cancel's restore are refused with the reason, the lines stay as the run found them.
TEST_F(GitterTest, ZeilenEinerInzwischenErledigtenZahlungBleibenWieDerLaufSieFand) {
  FormularZahlung& f = Offen();
  DatenGitter* g = f.Zeilengitter();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(2, g->SpaltenIndex(QStringLiteral("Verwendungszweck")));
  Taste(f, Qt::Key_Escape);
  Taste(f, Qt::Key_Delete);  // still open: the line goes
  ASSERT_EQ(u.Anzahl("SELECT COUNT(*) FROM Verwendungszweck WHERE ZahlungNr = ?", {nr}), 2);
  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 1 WHERE ZahlungNr = ?", {nr}).Ok());
  const SqlText zeilen("SELECT group_concat(Verwendungszweck, '|') FROM (SELECT Verwendungszweck FROM Verwendungszweck "
                       "WHERE ZahlungNr = ? ORDER BY ZeilenNr)");
  ASSERT_EQ(u.Wert(zeilen, {nr}).toString(), QStringLiteral("Eins|Zwei"));
  const auto erledigtGemeldet = [this] {
    const QString texte = u.Meldungen().Texte().join(QLatin1Char('|'));
    const bool ok = u.Meldungen().Anzahl() == 1 && texte.startsWith(QStringLiteral("Fehler beim Speichern der Verwendungszweck-Zeile!")) &&
                    texte.contains(QStringLiteral("Die Zahlung ist inzwischen erledigt und wird nicht geändert."));
    u.Meldungen().Leeren();
    return ok ? testing::AssertionSuccess() : testing::AssertionFailure() << texte.toStdString();
  };

  g->SetzeAktuelleZelle(0, g->SpaltenIndex(QStringLiteral("Verwendungszweck")));
  ASSERT_TRUE(g->ZellwertSetzen(g->SpaltenIndex(QStringLiteral("Verwendungszweck")), QStringLiteral("Geändert")));
  EXPECT_FALSE(g->ZeileSpeichern());
  EXPECT_TRUE(erledigtGemeldet());
  EXPECT_TRUE(g->ZeileAusstehend());  // the input stays on screen, as with any failed line save
  g->ZeileVerwerfen();

  g->SetzeAktuelleZelle(1, g->SpaltenIndex(QStringLiteral("Verwendungszweck")));
  ASSERT_NE(g->MarkierungsStil(), Stil::SchwebenderEditor);  // still selecting lines
  Taste(f, Qt::Key_Delete);
  EXPECT_TRUE(erledigtGemeldet());
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());

  // The cancel would bring back the deleted line.
  ASSERT_TRUE(f.Befehl(QStringLiteral("Schliessen")));
  EXPECT_TRUE(erledigtGemeldet());
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(u.Wert(zeilen, {nr}).toString(), QStringLiteral("Eins|Zwei"));
}

TEST_F(GitterTest, EinzelneZeileLoeschenBleibtWieBisher) {
  FormularZahlung& f = Offen();
  DatenGitter* g = f.Zeilengitter();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(1, g->SpaltenIndex(QStringLiteral("Verwendungszweck")));
  Taste(f, Qt::Key_Escape);
  Taste(f, Qt::Key_Delete);
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Verwendungszweck WHERE ZahlungNr = ?", {nr}), 2);
  EXPECT_EQ(u.Wert("SELECT Verwendungszweck FROM Verwendungszweck WHERE ZahlungNr = ? AND ZeilenNr = 2", {nr}).toString(),
            QStringLiteral("Drei"));
  EXPECT_EQ(f.BetragFeld()->Wert(), Eur(4));
}

TEST_F(GitterTest, OffenePostenListeFolgtDerFensterbreite) {
  FormularZahlung& f = Offen();
  GitterDropDown* l = f.OPListe();
  auto breiten = [l] {
    std::vector<int> b;
    for (int i = 0; i < l->SpaltenAnzahl(); ++i) b.push_back(l->Spaltenbreite(i));
    return b;
  };
  f.resize(f.minimumSizeHint().width() + 100, 600);
  QApplication::processEvents();
  const std::vector<int> vorher = breiten();
  const int breiteVorher = f.width();
  f.resize(2 * breiteVorher, 600);
  QApplication::processEvents();
  ASSERT_EQ(f.width(), 2 * breiteVorher);
  const std::vector<int> nachher = breiten();
  ASSERT_EQ(vorher.size(), nachher.size());
  int summeVorher = 0, summeNachher = 0;
  for (size_t i = 0; i < vorher.size(); ++i) {
    summeVorher += vorher[i];
    summeNachher += nachher[i];
  }
  ASSERT_GT(summeVorher, 0);
  // Twice the window, twice the list; every column keeps its share.
  EXPECT_NEAR(double(summeNachher) / summeVorher, 2.0, 0.02);
  for (size_t i = 0; i < vorher.size(); ++i)
    EXPECT_NEAR(double(nachher[i]) / summeNachher, double(vorher[i]) / summeVorher, 0.01) << i;
  f.resize(breiteVorher, 600);
  QApplication::processEvents();
  EXPECT_EQ(breiten(), vorher) << "back to the same widths";
}

}  // namespace

namespace {

// Open amount, discount and payment differ in every line: a discount typed into the grid derives its
// own line's payment from the open amount, and the order's amount is the sum of the payments, never of
// the open amounts.
TEST_F(GitterTest, GetipptesSkontoRechnetVomOPBetragUndDerBetragSummiertDieZahlbetraege) {
  const SqlText setzen(
      "UPDATE Verwendungszweck SET OPBetrag = ?, SkontoBetrag = ?, ZahlungsBetrag = ? WHERE ZahlungNr = ? AND ZeilenNr = ?");
  ASSERT_TRUE(u.Db().Ausfuehren(setzen, {QVariant::fromValue(Eur(100)), QVariant::fromValue(Eur(3)),
                                         QVariant::fromValue(Eur(97)), nr, 1}).Ok());
  ASSERT_TRUE(u.Db().Ausfuehren(setzen, {QVariant::fromValue(Eur(50, 25)), QVariant(), QVariant::fromValue(Eur(50, 25)), nr, 2}).Ok());
  ASSERT_TRUE(u.Db().Ausfuehren(setzen, {QVariant::fromValue(Eur(-20)), QVariant::fromValue(Eur(0, -60)),
                                         QVariant::fromValue(Eur(-19, -40)), nr, 3}).Ok());
  FormularZahlung& f = Offen();
  DatenGitter* g = f.Zeilengitter();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(0, g->SpaltenIndex(QStringLiteral("SkontoBetrag")));
  ASSERT_TRUE(g->ZelleBearbeiten());
  QLineEdit* e = OffenerEditor(g);
  ASSERT_NE(e, nullptr);
  e->setFocus();
  e->selectAll();
  QTest::keyClicks(e, QStringLiteral("5"));
  Taste(f, Qt::Key_Return);
  ASSERT_TRUE(g->ZeileSpeichern());
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  const SqlText zeile("SELECT OPBetrag || '/' || SkontoBetrag || '/' || ZahlungsBetrag FROM Verwendungszweck "
                      "WHERE ZahlungNr = ? AND ZeilenNr = 1");
  EXPECT_EQ(u.Wert(zeile, {nr}).toString(), QStringLiteral("1000000/50000/950000"));
  const Waehrung summe = Eur(95) + Eur(50, 25) - Eur(19, 40);  // 125,85
  EXPECT_EQ(f.EinzelsummeFeld()->Wert(), summe);
  EXPECT_EQ(f.BetragFeld()->Wert(), summe);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(u.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(), summe.Roh());
}

}  // namespace
