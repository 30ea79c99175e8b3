// The selective window driven headless: defaults and settings (the kind as shown, also with "Alle
// Zahlungen"), the criteria controls, the confirmation with its counts, cancel, reactivation and
// deletion, the re-selection before the question, a half-typed date and a failing order.

#include <QTableView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "ListenFensterTest.h"
#include "QtAusgabe.h"
#include "common/Programmzustand.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/HilfeFenster.h"
#include "sepafiles/FormularSelektiv.h"
#include "sepafiles/core/Selektivbearbeitung.h"
#include "sepafiles/core/SepaLaufVermerke.h"

namespace {

const QString kAbschnitt = QStringLiteral("Formular Selektiv");

class FormularSelektivTest : public ListenFensterTest {
 protected:
  void SetUp() override {
    ListenFensterTest::SetUp();
    // Done credit transfers on 29.02., 01.03., 31.03., 01.04. (two lines each); done today; open.
    for (const QDate& am : {QDate(2024, 2, 29), QDate(2024, 3, 1), QDate(2024, 3, 31), QDate(2024, 4, 1), Heute()}) {
      LaufTestDatenbank::Auftrag a;
      a.name = am.toString(QStringLiteral("dd.MM."));
      a.erledigt = true;
      a.erledigtDatum = am;
      a.buchungsdatum = am.addDays(2);
      a.zeilenCent = {10000, 2000};
      Anlegen(a);
    }
    LaufTestDatenbank::Auftrag offen;
    offen.name = QStringLiteral("offen");
    Anlegen(offen);   // 6
  }
  void TearDown() override {
    m_fenster.reset();
    ListenFensterTest::TearDown();
  }

  FormularSelektiv& Oeffnen() {
    m_fenster = std::make_unique<FormularSelektiv>();
    m_fenster->show();
    QCoreApplication::processEvents();
    return *m_fenster;
  }

  QStringList Namen() {
    QStringList namen;
    DatenGitter* g = m_fenster->TDBGrid1();
    for (int i = 0; i < g->ZeilenAnzahl(); ++i) namen << g->Wert(i, QStringLiteral("Name")).toString();
    return namen;
  }

  // Types a date into a field as a user would and leaves it with Tab.
  void DatumTippen(int index, const QString& ziffern) {
    DatumFeld* feld = m_fenster->TDBDate1(index);
    feld->setFocus(Qt::TabFocusReason);
    feld->selectAll();
    QTest::keyClick(feld, Qt::Key_Delete);
    feld->setCursorPosition(0);
    QTest::keyClicks(feld, ziffern);
  }
  void Verlassen(int index) {
    m_fenster->TDBDate1(index)->setFocus(Qt::TabFocusReason);
    m_fenster->Combo1()->setFocus(Qt::TabFocusReason);
  }

  int Erledigte() { return Anzahl("SELECT count(*) FROM Zahlungen WHERE Erledigt <> 0"); }

  std::unique_ptr<FormularSelektiv> m_fenster;
};

TEST_F(FormularSelektivTest, VorgabenZeigenDieHeuteErledigtenZahlungen) {
  FormularSelektiv& f = Oeffnen();
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Zahlungen selektiv löschen / reaktivieren"));
  EXPECT_TRUE(f.Option1(0)->isChecked());
  EXPECT_TRUE(f.Option1(2)->isChecked());
  EXPECT_TRUE(f.Check1(0)->isChecked());
  EXPECT_FALSE(f.Check1(1)->isChecked());
  EXPECT_EQ(f.Combo1()->currentIndex(), 0);
  EXPECT_EQ(f.Combo1()->count(), 4);
  EXPECT_EQ(f.Combo1()->itemText(3), QStringLiteral("Einzug (Firmen-Lastschrift)"));
  EXPECT_EQ(f.TDBDate1(0)->Wert(), std::optional<QDate>(Heute()));
  EXPECT_EQ(f.TDBDate1(1)->Wert(), std::optional<QDate>(Heute()));
  EXPECT_EQ(Namen(), QStringList{QStringLiteral("13.03.")});
  EXPECT_TRUE(f.Command1(1)->isEnabled());
  EXPECT_EQ(f.Auswahlen(), 1) << "loading selects once";
}

TEST_F(FormularSelektivTest, DatumsbereichEinschliesslichUndNurMitHaekchenAenderbar) {
  FormularSelektiv& f = Oeffnen();
  DatumTippen(0, QStringLiteral("01032024"));
  DatumTippen(1, QStringLiteral("31032024"));
  Verlassen(1);
  EXPECT_EQ(Namen(), (QStringList{QStringLiteral("01.03."), QStringLiteral("31.03."), QStringLiteral("13.03.")}));
  // An emptied to-date removes only the upper bound.
  DatumTippen(1, QString());
  Verlassen(1);
  EXPECT_EQ(Namen(), (QStringList{QStringLiteral("01.03."), QStringLiteral("31.03."), QStringLiteral("01.04."),
                                  QStringLiteral("13.03.")}));

  // Without the tick open and done orders alike, and the dates are locked.
  f.Check1(0)->click();
  EXPECT_FALSE(f.TDBDate1(0)->isEnabled());
  EXPECT_FALSE(f.TDBDate1(1)->isEnabled());
  EXPECT_EQ(Namen().size(), 6);
  // "Alle Zahlungen" locks every criterion.
  f.Check1(0)->click();
  EXPECT_TRUE(f.TDBDate1(0)->isEnabled());
  f.Option1(1)->click();
  for (QWidget* w : std::initializer_list<QWidget*>{f.Check1(0), f.Check1(1), f.TDBDate1(0), f.TDBDate1(1), f.Combo1()})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_EQ(Namen().size(), 6);
  f.Option1(0)->click();
  EXPECT_TRUE(f.TDBDate1(1)->isEnabled());
  EXPECT_EQ(Namen().size(), 4);
}

TEST_F(FormularSelektivTest, ReaktivierenNachBestaetigungMitAnzahlen) {
  FormularSelektiv& f = Oeffnen();
  DatumTippen(0, QStringLiteral("01032024"));
  DatumTippen(1, QStringLiteral("31032024"));
  Verlassen(1);
  f.Option1(3)->click();
  Meldungen().Antworte(MeldungsAntwort::Ok);
  f.Command1(1)->click();
  ASSERT_EQ(Meldungen().Anzahl(), 1);
  EXPECT_EQ(Meldungen().Letzter().titel, QStringLiteral("Zahlungen selektiv löschen / reaktivieren"));
  EXPECT_EQ(Meldungen().Letzter().knoepfe, MeldungsKnoepfe::OkAbbrechen);
  // Done orders taken back may be paid twice: the warning icon, and Enter answers "Abbrechen".
  EXPECT_EQ(Meldungen().Letzter().symbol, MeldungsSymbol::Ausruf);
  EXPECT_TRUE(Meldungen().Letzter().abbrechenVorgabe);
  EXPECT_EQ(Meldungen().Letzter().text,
            QStringLiteral("Die Aktion: 'Erledigt-Status aufheben' wirkt sich mit den\r gewählten Einstellungen auf 3 "
                           "Zahlungen aus.\rDavon sind 0 noch offen und 3 erledigt.\r"
                           "Achtung: Die erledigten Zahlungen wurden bereits vom 01.03.2024 bis 31.03.2024 in eine "
                           "SEPA-Datei übernommen. Sie gehen mit der nächsten SEPA-Datei erneut an die Bank; hat die Bank "
                           "die frühere Datei ausgeführt, wird doppelt gezahlt oder eingezogen.\r\r"
                           "Bitte bestätigen Sie noch einmal mit <OK>"));
  EXPECT_EQ(Erledigte(), 2);
  EXPECT_EQ(Anzahl("SELECT count(*) FROM Zahlungen WHERE ErledigtDatum IS NULL AND Buchungsdatum IS NULL"), 4);
  // They are open now and drop out of the selection; nothing is left to act on.
  EXPECT_TRUE(Namen().isEmpty());
  EXPECT_FALSE(f.Command1(1)->isEnabled());
}

TEST_F(FormularSelektivTest, AbbrechenAendertNichts) {
  FormularSelektiv& f = Oeffnen();
  f.Check1(0)->click();
  Meldungen().Antworte(MeldungsAntwort::Abbrechen);
  f.Command1(1)->click();
  EXPECT_TRUE(Meldungen().Letzter().text.contains(QStringLiteral("auf 6 Zahlungen aus.\rDavon sind 1 noch offen und 5 erledigt.")))
      << Meldungen().Letzter().text.toStdString();
  EXPECT_EQ(Anzahl("SELECT count(*) FROM Zahlungen"), 6);
  EXPECT_EQ(Anzahl("SELECT count(*) FROM Verwendungszweck"), 11);
  EXPECT_EQ(Namen().size(), 6);
}

TEST_F(FormularSelektivTest, LoeschenOhneHaekchenNimmtOffeneUndZeilenMit) {
  FormularSelektiv& f = Oeffnen();
  f.Check1(0)->click();
  Meldungen().Antworte(MeldungsAntwort::Ok);
  f.Command1(1)->click();
  EXPECT_TRUE(Meldungen().Letzter().text.startsWith(QStringLiteral("Die Aktion: 'Löschen' ")));
  EXPECT_EQ(Meldungen().Letzter().symbol, MeldungsSymbol::Frage);
  EXPECT_FALSE(Meldungen().Letzter().abbrechenVorgabe);
  EXPECT_EQ(Anzahl("SELECT count(*) FROM Zahlungen WHERE AbsenderNr = 1"), 0);
  EXPECT_EQ(Anzahl("SELECT count(*) FROM Verwendungszweck"), 0);
  EXPECT_TRUE(Namen().isEmpty());
}

// A criterion changed but not yet selected (the date typed, the focus still in the field, the
// action by its key): the selection runs first, and the question names the new one.
TEST_F(FormularSelektivTest, GeaendertesKriteriumWirdVorDerFrageSelektiert) {
  FormularSelektiv& f = Oeffnen();
  const int vorher = f.Auswahlen();
  DatumTippen(0, QStringLiteral("01032024"));
  Meldungen().Antworte(MeldungsAntwort::Abbrechen);
  EXPECT_FALSE(f.AktionDurchfuehren());
  EXPECT_EQ(f.Auswahlen(), vorher + 1);
  EXPECT_TRUE(Meldungen().Letzter().text.contains(QStringLiteral(" auf 2 Zahlungen aus.")))
      << Meldungen().Letzter().text.toStdString();
  EXPECT_EQ(Namen(), (QStringList{QStringLiteral("01.03."), QStringLiteral("13.03.")}));
}

// Another workstation adds an order that matches the shown criteria, or deletes a shown one, after the
// grid was filled: nothing is asked and nothing done; the grid shows the orders as they are now, and only
// the next start of the action (asking for the new count) acts on them.
TEST_F(FormularSelektivTest, InzwischenGeaenderteAuswahlWirdErstGezeigtDannBearbeitet) {
  for (const bool hinzu : {true, false}) {
    SCOPED_TRACE(hinzu ? "added" : "deleted");
    FormularSelektiv& f = Oeffnen();
    f.Check1(0)->setChecked(false);   // open and done orders alike
    const int vorher = f.TDBGrid1()->ZeilenAnzahl();
    const int gesamt = Anzahl("SELECT count(*) FROM Zahlungen");
    if (hinzu) {
      LaufTestDatenbank::Auftrag neu;
      neu.name = QStringLiteral("neu");
      Anlegen(neu);
    } else {
      ASSERT_FALSE(Db().Ausfuehren("DELETE FROM Zahlungen WHERE ZahlungNr = (SELECT min(ZahlungNr) FROM Zahlungen)"));
    }
    const int jetzt = vorher + (hinzu ? 1 : -1);
    Meldungen().Antworte(MeldungsAntwort::Ok);
    const int meldungen = Meldungen().Anzahl();
    EXPECT_FALSE(f.AktionDurchfuehren());
    ASSERT_EQ(Meldungen().Anzahl(), meldungen + 1);
    EXPECT_EQ(Meldungen().Letzter().knoepfe, MeldungsKnoepfe::Ok);
    EXPECT_EQ(Meldungen().Letzter().text,
              QStringLiteral("Die ausgewählten Zahlungen wurden inzwischen an einem anderen Arbeitsplatz ergänzt, "
                             "geändert oder gelöscht; es wurde nichts ausgeführt.\rDie Liste zeigt jetzt %1 Zahlungen. "
                             "Bitte prüfen Sie sie und führen Sie die Aktion dann noch einmal durch.")
                  .arg(jetzt));
    EXPECT_EQ(Anzahl("SELECT count(*) FROM Zahlungen"), gesamt + (hinzu ? 1 : -1));
    EXPECT_EQ(f.TDBGrid1()->ZeilenAnzahl(), jetzt);

    EXPECT_TRUE(f.AktionDurchfuehren());
    EXPECT_TRUE(Meldungen().Letzter().text.contains(QStringLiteral(" auf %1 Zahlungen aus.").arg(jetzt)))
        << Meldungen().Letzter().text.toStdString();
    EXPECT_EQ(Anzahl("SELECT count(*) FROM Zahlungen WHERE AbsenderNr = 1"), 0);
    m_fenster.reset();
    for (int i = 0; i < 3; ++i) {
      LaufTestDatenbank::Auftrag a;
      a.name = QStringLiteral("wieder %1").arg(i);
      Anlegen(a);
    }
  }
}

// A half-typed or impossible date never drops its bound: the grid stays empty and the action
// stops with a message until the date is corrected or emptied.
TEST_F(FormularSelektivTest, UnvollstaendigesDatumSperrtDieAktion) {
  FormularSelektiv& f = Oeffnen();
  for (const QString& eingabe : {QStringLiteral("3103"), QStringLiteral("31022024")}) {
    DatumTippen(1, eingabe);
    Verlassen(1);
    EXPECT_FALSE(f.TDBDate1(1)->IstLeer()) << "the typed text stays";
    EXPECT_EQ(f.TDBGrid1()->ZeilenAnzahl(), 0);
    EXPECT_EQ(f.AngezeigteKriterien(), std::nullopt);
    EXPECT_TRUE(f.Hinweis()->text().startsWith(QStringLiteral("Das Bis-Datum der erledigten Zahlungen ist unvollständig")));
    ASSERT_TRUE(f.Command1(1)->isEnabled());
    f.Command1(1)->click();
    EXPECT_EQ(Meldungen().Letzter().symbol, MeldungsSymbol::Ausruf);
    EXPECT_EQ(Meldungen().Letzter().text,
              QStringLiteral("Das Bis-Datum der erledigten Zahlungen ist unvollständig oder ungültig.\r"
                             "Bitte geben Sie ein gültiges Datum ein oder leeren Sie das Feld."));
    EXPECT_EQ(QApplication::focusWidget(), f.TDBDate1(1));
    EXPECT_EQ(Erledigte(), 5);
  }
  EXPECT_EQ(Meldungen().Anzahl(), 2) << "no confirmation was asked";
  DatumTippen(1, QStringLiteral("31032024"));
  Verlassen(1);
  EXPECT_TRUE(f.Hinweis()->text().isEmpty());
  EXPECT_EQ(Namen(), (QStringList{QStringLiteral("31.03."), QStringLiteral("13.03.")}));
}

TEST_F(FormularSelektivTest, FehlschlagEinerZahlungWirdGemeldetUndNichtsGeaendert) {
  FormularSelektiv& f = Oeffnen();
  DatumTippen(0, QString());
  Verlassen(0);
  ASSERT_EQ(Namen().size(), 3);
  f.Option1(3)->click();
  int aufrufe = 0;
  Db().SetzeStoerung([&aufrufe](const QString& sql) -> DbFehler {
    if (sql.startsWith(QStringLiteral("UPDATE Zahlungen")) && ++aufrufe == 2) return {19, QStringLiteral("gesperrt")};
    return {};
  });
  Meldungen().Antworte(MeldungsAntwort::Ok);
  f.Command1(1)->click();
  Db().SetzeStoerung({});
  EXPECT_EQ(Meldungen().Letzter().symbol, MeldungsSymbol::Kritisch);
  EXPECT_EQ(Meldungen().Letzter().text,
            QStringLiteral("Die Aktion 'Erledigt-Status aufheben' wurde nicht ausgeführt, es wurde nichts geändert.\r\r"
                           "Nr: 19\rBeschreibung: gesperrt"));
  EXPECT_EQ(Erledigte(), 5);
  EXPECT_EQ(Namen().size(), 3);
}

// A SEPA run interrupted on another workstation after marking its orders: the window says why nothing can be
// done and what to do, before it asks anything, and changes nothing.
TEST_F(FormularSelektivTest, UnterbrochenerLaufWirdVorDerFrageGenannt) {
  FormularSelektiv& f = Oeffnen();
  f.Option1(3)->click();
  const QString lauf = QStringLiteral("0011223344556677");
  ASSERT_FALSE(SepaLaufVermerke::Beginnen(Db(), lauf, QStringLiteral("/sepa")));
  ASSERT_FALSE(SepaLaufVermerke::Vormerken(
      Db(), lauf, {{QLatin1Char('U'), {}, QStringLiteral("/sepa/SEPAGK.XML.0011223344556677.sepatmp"),
                    QStringLiteral("/sepa/SEPAGK.XML"), 10, "ab", {1}}}));
  Meldungen().Antworte(MeldungsAntwort::Ok);
  f.Command1(1)->click();
  ASSERT_EQ(Meldungen().Anzahl(), 1);
  EXPECT_EQ(Meldungen().Letzter().knoepfe, MeldungsKnoepfe::Ok);
  EXPECT_EQ(Meldungen().Letzter().symbol, MeldungsSymbol::Ausruf);
  DbFehler fehler;
  EXPECT_EQ(Meldungen().Letzter().text, Selektivbearbeitung::LaufHindernis(Db(), fehler));
  EXPECT_TRUE(Meldungen().Letzter().text.contains(QStringLiteral("Bitte öffnen Sie das Fenster \"SEPA-Datei erstellen\"")));
  EXPECT_EQ(Erledigte(), 5);
}

TEST_F(FormularSelektivTest, EinstellungenKommenWiederAuchDieArtBeiAllenZahlungen) {
  FormularSelektiv& f = Oeffnen();
  f.Combo1()->setCurrentIndex(2);
  f.Check1(0)->click();
  f.Check1(1)->click();
  f.Option1(3)->click();
  f.Option1(1)->click();
  f.reject();
  EXPECT_EQ(GetSetting(kAbschnitt, QStringLiteral("AktuelleSelektionsart")), QStringLiteral("1"));
  EXPECT_EQ(GetSetting(kAbschnitt, QStringLiteral("AktuelleZahlungsart")), QStringLiteral("2"));
  EXPECT_EQ(GetSetting(kAbschnitt, QStringLiteral("AktuelleAktion")), QStringLiteral("1"));
  EXPECT_EQ(GetSetting(kAbschnitt, QStringLiteral("NurErledigte")), QStringLiteral("0"));
  EXPECT_EQ(GetSetting(kAbschnitt, QStringLiteral("NurExportierte")), QStringLiteral("1"));

  FormularSelektiv& wieder = Oeffnen();
  EXPECT_TRUE(wieder.Option1(1)->isChecked());
  EXPECT_TRUE(wieder.Option1(3)->isChecked());
  EXPECT_EQ(wieder.Combo1()->currentIndex(), 2);
  EXPECT_FALSE(wieder.Combo1()->isEnabled());
  EXPECT_FALSE(wieder.Check1(0)->isChecked());
  EXPECT_TRUE(wieder.Check1(1)->isChecked());
  EXPECT_EQ(Namen().size(), 6) << "all orders of the sender";
  EXPECT_EQ(wieder.Auswahlen(), 1);
}

TEST_F(FormularSelektivTest, EscSchliesstUndF1ZeigtDieHilfe) {
  ProgrammordnerMitHilfe();
  FormularSelektiv& f = Oeffnen();
  f.Check1(0)->setFocus();
  QTest::keyClick(f.Check1(0), Qt::Key_F1);
  HilfeFenster* hilfe = HilfeFenster::Instanz(Zustand().ProgrammVerzeichnis() + QStringLiteral("help"));
  EXPECT_TRUE(hilfe->isVisible());
  EXPECT_TRUE(hilfe->AktuelleDatei().endsWith(QStringLiteral("220.html"))) << hilfe->AktuelleDatei().toStdString();
  hilfe->close();
  QTest::keyClick(f.Check1(0), Qt::Key_Escape);
  EXPECT_FALSE(f.isVisible());
  EXPECT_TRUE(Registrierung::Instanz().Vorhanden(kAbschnitt, QStringLiteral("NurErledigte")));
}

}  // namespace

namespace {

// Enter in the list did nothing: it moves on to the next control as in every field of the window, and
// never starts the action.
TEST_F(FormularSelektivTest, EnterInDerListeGehtWeiter) {
  FormularSelektiv& f = Oeffnen();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  ASSERT_GT(f.TDBGrid1()->ZeilenAnzahl(), 0);
  QWidget* liste = f.TDBGrid1()->Ansicht();
  liste->setFocus();
  ASSERT_TRUE(liste->hasFocus());
  QTest::keyClick(liste, Qt::Key_Return);
  EXPECT_FALSE(liste->hasFocus());
  EXPECT_EQ(QApplication::focusWidget(), f.Command1(1));   // "Aktion durchführen", next in the tab order
  EXPECT_EQ(Meldungen().Anzahl(), 0) << "no action was asked for";
}

}  // namespace
