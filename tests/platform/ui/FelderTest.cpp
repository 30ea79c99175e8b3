#include "platform/ui/DatensatzNavigator.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/FeldAktionen.h"
#include "platform/ui/Kalender.h"
#include "platform/ui/KontrollGruppe.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/TabTasteSenden.h"
#include "platform/ui/ZweispaltenCombo.h"
#include "platform/ui/ZahlFeld.h"

#include "QtAusgabe.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

void Aktivieren(QWidget& w) {
  w.show();
  w.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
}

ZweispaltenCombo* Textschluessel(QWidget* eltern) {
  auto* combo = new ZweispaltenCombo(eltern);
  combo->ZeilenSetzen({{QStringLiteral("CBFF"), QStringLiteral("Kapitalbildende Sparleistung")},
                       {QStringLiteral("GOVT"), QStringLiteral("Zahlung der öffentlichen Hand")},
                       {QStringLiteral("OTHR"), QStringLiteral("Sonstige")},
                       {QStringLiteral("SALA"), QStringLiteral("Gehalt")},
                       {QStringLiteral("SUPP"), QStringLiteral("Lieferantenzahlung")}});
  return combo;
}

}  // namespace

TEST(ZweispaltenCombo, TippenErgaenztZumErstenPassendenCodeDerRestIstMarkiert) {
  QWidget w;
  auto* l = new QVBoxLayout(&w);
  ZweispaltenCombo* combo = Textschluessel(&w);
  l->addWidget(combo);
  Aktivieren(w);
  combo->setFocus();
  QSignalSpy getippt(combo, &ZweispaltenCombo::Getippt);

  QTest::keyClick(combo, Qt::Key_S);
  EXPECT_EQ(combo->Code(), QStringLiteral("SALA"));
  EXPECT_EQ(combo->lineEdit()->selectedText(), QStringLiteral("ALA"));
  QTest::keyClick(combo, Qt::Key_U);  // replaces the completed rest
  EXPECT_EQ(combo->Code(), QStringLiteral("SUPP"));
  EXPECT_EQ(combo->Bedeutung(), QStringLiteral("Lieferantenzahlung"));
  QTest::keyClick(combo, Qt::Key_Backspace);  // removes the selection, no new completion
  EXPECT_EQ(combo->Code(), QStringLiteral("SU"));
  EXPECT_EQ(combo->Bedeutung(), QString());
  QTest::keyClick(combo, Qt::Key_X);  // nothing matches: the text stays as typed
  EXPECT_EQ(combo->Code(), QStringLiteral("SUx"));
  EXPECT_GE(getippt.count(), 4);

  combo->CodeSetzen(QStringLiteral("othr"));
  EXPECT_EQ(combo->Code(), QStringLiteral("OTHR"));
  EXPECT_EQ(combo->Bedeutung(), QStringLiteral("Sonstige"));
  EXPECT_EQ(combo->Zeilen(), 5);
}

TEST(ZweispaltenCombo, ListeOeffnenUndSchliessenDurchDirektenAufruf) {
  QWidget w;
  auto* l = new QVBoxLayout(&w);
  ZweispaltenCombo* combo = Textschluessel(&w);
  l->addWidget(combo);
  Aktivieren(w);
  EXPECT_TRUE(FeldAktionen::AufklappenOeffnen(combo));
  EXPECT_TRUE(FeldAktionen::IstAufgeklappt(combo));
  EXPECT_TRUE(FeldAktionen::AufklappenUmschalten(combo));
  EXPECT_FALSE(FeldAktionen::IstAufgeklappt(combo));
  QLineEdit einfach(&w);
  EXPECT_FALSE(FeldAktionen::AufklappenOeffnen(&einfach));
}

TEST(FeldAktionen, ZeilenWeiterBleibtInDerListe) {
  QStringListModel modell({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
  QListView liste;
  liste.setModel(&modell);
  EXPECT_TRUE(FeldAktionen::ZeilenWeiter(&liste, 2));
  EXPECT_EQ(liste.currentIndex().row(), 2);
  EXPECT_TRUE(FeldAktionen::ZeilenWeiter(&liste, 2));
  EXPECT_EQ(liste.currentIndex().row(), 2);
  EXPECT_TRUE(FeldAktionen::ZeilenWeiter(&liste, -5));
  EXPECT_EQ(liste.currentIndex().row(), 0);
  QStringListModel leer;
  liste.setModel(&leer);
  EXPECT_FALSE(FeldAktionen::ZeilenWeiter(&liste, 1));
}

// The mandate sequence showed no focus when Enter moved into it (no Tab, so the style draws no focus
// rectangle, and with no option chosen nothing else changes): the group draws its frame highlighted.
TEST(OptionsGruppe, ZeigtDenFokusWieAuchImmerErKam) {
  QWidget fenster;
  auto* davor = new QLineEdit(&fenster);
  auto* gruppe = new OptionsGruppe(QStringLiteral("Mandat-Sequenz"), {QStringLiteral("&Einmaliger Einzug"),
                                                                      QStringLiteral("Mehrfach E&rsteinzug")},
                                   &fenster, Qt::Horizontal);
  auto* layout = new QVBoxLayout(&fenster);
  layout->addWidget(davor);
  layout->addWidget(gruppe);
  fenster.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&fenster));
  davor->setFocus();
  const QImage ohne = gruppe->grab().toImage();
  EXPECT_FALSE(gruppe->FokusAngezeigt());
  TabTasteSenden(davor);   // as Enter moves on
  ASSERT_TRUE(gruppe->Option(0)->hasFocus());
  EXPECT_TRUE(gruppe->FokusAngezeigt());
  EXPECT_NE(gruppe->grab().toImage(), ohne) << "the focus is seen";
  gruppe->Option(1)->setFocus();   // within the group it stays
  EXPECT_TRUE(gruppe->FokusAngezeigt());
  davor->setFocus();
  EXPECT_FALSE(gruppe->FokusAngezeigt());
  EXPECT_EQ(gruppe->grab().toImage(), ohne);
}

TEST(OptionsGruppe, AenderungAusDemProgrammLoestDenKlickGenauEinmalAus) {
  OptionsGruppe gruppe(QString(), {QStringLiteral("Überweisung"), QStringLiteral("Basis-Lastschrift"),
                                   QStringLiteral("Firmen-Lastschrift")});
  QSignalSpy klick(&gruppe, &OptionsGruppe::Geklickt);
  EXPECT_EQ(gruppe.Wert(), -1);
  gruppe.WertSetzen(1);
  ASSERT_EQ(klick.count(), 1);
  EXPECT_EQ(klick.at(0).at(0).toInt(), 1);
  EXPECT_EQ(gruppe.Wert(), 1);
  gruppe.WertSetzen(1);  // already chosen: no second click
  EXPECT_EQ(klick.count(), 1);
  gruppe.Option(2)->click();  // the user
  EXPECT_EQ(klick.count(), 2);
  EXPECT_EQ(gruppe.Wert(), 2);
  gruppe.WertSetzen(-1);
  EXPECT_EQ(gruppe.Wert(), -1);
  EXPECT_EQ(klick.count(), 2);
}

TEST(KontrollGruppe, AenderungAusDemProgrammLoestDenKlickAus) {
  KontrollGruppe gruppe;
  gruppe.KastenHinzufuegen(QStringLiteral("Sammelbuchung"));
  gruppe.KastenHinzufuegen(QStringLiteral("Autom. Einzel-Referenz"));
  QSignalSpy klick(&gruppe, &KontrollGruppe::Geklickt);
  gruppe.WertSetzen(1, true);
  gruppe.WertSetzen(1, true);
  ASSERT_EQ(klick.count(), 1);
  EXPECT_EQ(klick.at(0).at(0).toInt(), 1);
  EXPECT_TRUE(gruppe.Wert(1));
  EXPECT_FALSE(gruppe.Wert(0));
  gruppe.Kasten(0)->click();
  EXPECT_EQ(klick.count(), 2);
  EXPECT_TRUE(gruppe.Wert(0));
}

TEST(Kalender, MehrereMonateBlaetternGemeinsam) {
  Kalender kalender(3);
  kalender.DatumSetzen(QDate(2024, 11, 20));
  EXPECT_EQ(kalender.ErsterAngezeigterTag(), QDate(2024, 11, 1));
  EXPECT_EQ(kalender.LetzterAngezeigterTag(), QDate(2025, 1, 31));
  EXPECT_EQ(kalender.Monat(2)->monthShown(), 1);
  EXPECT_EQ(kalender.Monat(2)->yearShown(), 2025);

  QSignalSpy geaendert(&kalender, &Kalender::DatumGeaendert);
  kalender.DatumSetzen(QDate(2024, 12, 24));  // already shown: the view stays
  EXPECT_EQ(kalender.ErsterAngezeigterTag(), QDate(2024, 11, 1));
  EXPECT_EQ(geaendert.count(), 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(kalender.Monat(i)->selectedDate(), QDate(2024, 12, 24));

  kalender.Blaettern(1);
  EXPECT_EQ(kalender.Monat(0)->monthShown(), 12);
  EXPECT_EQ(kalender.Monat(1)->monthShown(), 1);
  EXPECT_EQ(kalender.Monat(2)->monthShown(), 2);
  EXPECT_EQ(kalender.Datum(), QDate(2024, 12, 24));  // paging keeps the date

  // a month grid paged by itself takes the others along
  kalender.Monat(1)->setCurrentPage(2025, 4);
  EXPECT_EQ(kalender.ErsterAngezeigterTag(), QDate(2025, 3, 1));
  EXPECT_EQ(kalender.Monat(2)->monthShown(), 5);

  // a click in one month is the date of all
  kalender.Monat(0)->setSelectedDate(QDate(2025, 3, 5));
  EXPECT_EQ(kalender.Datum(), QDate(2025, 3, 5));
  EXPECT_EQ(kalender.Monat(2)->selectedDate(), QDate(2025, 3, 5));
}

TEST(StatusLeiste, ZeigtDenHilfetextDesFokussiertenFeldes) {
  QWidget w;
  auto* l = new QVBoxLayout(&w);
  auto* name = new QLineEdit(&w);
  name->setStatusTip(QStringLiteral("Eingabe: Name"));
  auto* betrag = new ZahlFeld(&w);
  betrag->setToolTip(QStringLiteral("Infoanzeige Summe"));
  auto* ohne = new QLineEdit(&w);
  auto* status = new StatusLeiste(&w);
  l->addWidget(name);
  l->addWidget(betrag);
  l->addWidget(ohne);
  l->addWidget(status);
  Aktivieren(w);
  name->setFocus();
  EXPECT_EQ(status->Text(), QStringLiteral("Eingabe: Name"));
  betrag->setFocus();
  EXPECT_EQ(status->Text(), QStringLiteral("Infoanzeige Summe"));
  ohne->setFocus();  // without a text of its own the line keeps the last one
  EXPECT_EQ(status->Text(), QStringLiteral("Infoanzeige Summe"));
  status->FortschrittSetzen(40);
  EXPECT_TRUE(status->FortschrittSichtbar());
  status->FortschrittSetzen(std::nullopt);
  EXPECT_FALSE(status->FortschrittSichtbar());
}

TEST(DatensatzNavigator, KnoepfeMeldenIhreBewegungUndTragenDieTooltips) {
  DatensatzNavigator nav;
  QSignalSpy bewegen(&nav, &DatensatzNavigator::Bewegen);
  nav.Knopf(NavigatorBereich::Letzter)->click();
  nav.Knopf(NavigatorBereich::SeiteZurueck)->click();
  ASSERT_EQ(bewegen.count(), 2);
  EXPECT_EQ(bewegen.at(0).at(0).value<NavigatorBereich>(), NavigatorBereich::Letzter);
  EXPECT_EQ(bewegen.at(1).at(0).value<NavigatorBereich>(), NavigatorBereich::SeiteZurueck);
  EXPECT_EQ(nav.Knopf(NavigatorBereich::Naechster)->toolTip(), QStringLiteral("Nächster Datensatz"));
  EXPECT_EQ(nav.Knopf(NavigatorBereich::SeiteVor)->toolTip(), QStringLiteral("Nächste Seite"));
  EXPECT_EQ(nav.Beschriftung(), QStringLiteral("Blättern"));
  nav.BeschriftungSetzen(QStringLiteral("Neueingabe"));
  EXPECT_EQ(nav.Beschriftung(), QStringLiteral("Neueingabe"));
}

namespace {

QRect Caret(const QLineEdit* e) { return e->inputMethodQuery(Qt::ImCursorRectangle).toRect(); }

// True when the whole text of a line edit is visible: from the first to the last character the
// caret moves by the full text width (a clipped text scrolls instead).
bool GanzSichtbar(QLineEdit* e) {
  // The line edit scrolls when it paints.
  e->setCursorPosition(0);
  e->repaint();
  const int anfang = Caret(e).center().x();
  e->setCursorPosition(int(e->text().size()));
  e->repaint();
  const int ende = Caret(e).center().x();
  return ende - anfang >= e->fontMetrics().horizontalAdvance(e->text()) - 1;
}

}  // namespace

TEST(Feldbreiten, ZusammengedruecktBleibtDerInhaltLesbar) {
  // Everything in one row, the window as small as the layout allows.
  QWidget w;
  auto* zeile = new QHBoxLayout(&w);
  auto* datum = new DatumFeld(&w);
  datum->WertSetzen(QDate(2024, 12, 28));
  auto* betrag = new ZahlFeld(&w);
  betrag->WertSetzen(Waehrung::AusCent(-123456789));
  auto* tage = new ZahlFeld(&w);
  tage->GanzzahlSetzen(true);
  tage->BereichSetzen(0, 999);
  tage->AnzeigeFormatSetzen(ZahlFormat{0, true, QStringLiteral(" Tage"), QStringLiteral("Kein Ausdruck"), {}});
  tage->PfeileSetzen(true);
  tage->GanzzahlWertSetzen(0);
  auto* kalender = new Kalender(2, &w);
  zeile->addWidget(datum);
  zeile->addWidget(betrag);
  zeile->addWidget(tage);
  zeile->addWidget(kalender);
  w.resize(1, 1);
  Aktivieren(w);
  QApplication::processEvents();

  EXPECT_EQ(datum->text(), QStringLiteral("28.12.2024"));
  EXPECT_TRUE(GanzSichtbar(datum)) << datum->width();
  // The calendar button sits beside the date, not over it.
  datum->setCursorPosition(int(datum->text().size()));
  datum->repaint();
  EXPECT_LE(Caret(datum).right(), datum->width() - 16);
  QLineEdit* betragText = betrag->findChild<QLineEdit*>();
  ASSERT_TRUE(betragText);
  EXPECT_EQ(betragText->text(), QStringLiteral("-1.234.567,89"));
  EXPECT_TRUE(GanzSichtbar(betragText)) << betrag->width();
  QLineEdit* tageText = tage->findChild<QLineEdit*>();
  ASSERT_TRUE(tageText);
  EXPECT_EQ(tageText->text(), QStringLiteral("Kein Ausdruck"));
  EXPECT_TRUE(GanzSichtbar(tageText)) << tage->width();

  // Day captions are not elided ("Mo." and not "...").
  for (int i = 0; i < kalender->Monate(); ++i) {
    auto* tabelle = kalender->Monat(i)->findChild<QTableView*>();
    ASSERT_TRUE(tabelle);
    const QFontMetrics fm(tabelle->font());
    for (int spalte = 0; spalte < tabelle->model()->columnCount(); ++spalte) {
      if (tabelle->isColumnHidden(spalte)) continue;
      const QString tag = tabelle->model()->index(0, spalte).data().toString();
      // The cell's text margins come off the column width before the grid elides.
      EXPECT_GE(tabelle->columnWidth(spalte), fm.horizontalAdvance(tag) + 8) << i << " " << tag.toStdString();
    }
  }
}

TEST(ZweispaltenCombo, ListeZeigtBeideSpaltenOhneLeerenRest) {
  QWidget w;
  auto* combo = Textschluessel(&w);
  combo->resize(60, combo->sizeHint().height());
  Aktivieren(w);
  combo->AufklappenOeffnen();
  ASSERT_TRUE(combo->IstAufgeklappt());
  auto* liste = qobject_cast<QTreeView*>(combo->view());
  ASSERT_TRUE(liste);
  const QFontMetrics fm(liste->font());
  // Code and meaning readable, with a gap between them.
  EXPECT_GE(liste->columnWidth(0), fm.horizontalAdvance(QStringLiteral("OTHR")) + fm.averageCharWidth() * 3 / 2);
  EXPECT_GE(liste->viewport()->width(), liste->columnWidth(0) + fm.horizontalAdvance(QStringLiteral("Kapitalbildende Sparleistung")));
  // All five rows shown, and no empty strip below them.
  const int zeilen = liste->model()->rowCount();
  const int unterKante = liste->visualRect(liste->model()->index(zeilen - 1, 0)).bottom();
  EXPECT_LE(unterKante, liste->viewport()->height());
  EXPECT_LT(liste->viewport()->height() - unterKante, liste->sizeHintForRow(0));
  combo->AufklappenSchliessen();
}
