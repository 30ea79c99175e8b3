#include "platform/ui/DatumFeld.h"

#include "QtAusgabe.h"
#include "platform/ui/MeldungsRekorder.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// Container that notes every key that reaches it (a key the field did not consume propagates here).
class Behaelter : public QWidget {
 public:
  QList<int> tasten;

 protected:
  void keyPressEvent(QKeyEvent* e) override { tasten << e->key(); }
};

struct Fenster {
  Behaelter w;
  DatumFeld* feld;
  QLineEdit* anderes;
  Fenster() {
    auto* l = new QVBoxLayout(&w);
    feld = new DatumFeld(&w);
    anderes = new QLineEdit(&w);
    l->addWidget(feld);
    l->addWidget(anderes);
    w.show();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    feld->setFocus(Qt::TabFocusReason);
  }
};

}  // namespace

TEST(DatumFeld, LeerzustandUndGetippterWert) {
  Fenster f;
  EXPECT_TRUE(f.feld->IstLeer());
  EXPECT_FALSE(f.feld->Wert().has_value());
  QSignalSpy getippt(f.feld, &DatumFeld::Getippt);
  f.feld->setCursorPosition(0);
  QTest::keyClicks(f.feld, QStringLiteral("29022024"));
  EXPECT_EQ(f.feld->text(), QStringLiteral("29.02.2024"));
  EXPECT_EQ(f.feld->Wert(), std::optional<QDate>(QDate(2024, 2, 29)));
  EXPECT_GT(getippt.count(), 0);

  f.feld->Leeren();
  EXPECT_TRUE(f.feld->IstLeer());
  EXPECT_FALSE(f.feld->Wert().has_value());
}

// "31.02.2026" and a half-typed date were erased without a word when the field was left.
TEST(DatumFeld, UngueltigesDatumMeldetSichUndBehaeltDenFokus) {
  MeldungsRekorder rekorder;
  Fenster f;
  f.feld->WertSetzen(QDate(2024, 5, 1));
  f.feld->selectAll();
  QTest::keyClick(f.feld, Qt::Key_Delete);
  f.feld->setCursorPosition(0);
  QTest::keyClicks(f.feld, QStringLiteral("31022026"));
  EXPECT_FALSE(f.feld->Wert().has_value());
  f.anderes->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  ASSERT_EQ(rekorder.Anzahl(), 1);
  EXPECT_EQ(rekorder.Letzter().text,
            QStringLiteral("\u201E31.02.2026\u201C ist kein gültiges Datum. Geben Sie es als TT.MM.JJJJ ein, zum Beispiel "
                           "15.01.2026.\r\rBitte korrigieren/ergänzen Sie die Eingabe."));
  EXPECT_EQ(rekorder.Letzter().symbol, MeldungsSymbol::Ausruf);
  EXPECT_TRUE(f.feld->hasFocus());
  EXPECT_EQ(f.feld->text(), QStringLiteral("31.02.2026"));  // kept for correcting

  // Corrected, in the short form: taken and shown in full; emptied on purpose: stays empty.
  f.feld->selectAll();
  QTest::keyClick(f.feld, Qt::Key_Delete);
  f.feld->setCursorPosition(0);
  QTest::keyClicks(f.feld, QStringLiteral("1.3.26"));
  f.anderes->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(f.feld->Wert(), std::optional<QDate>(QDate(2026, 3, 1)));
  EXPECT_EQ(f.feld->text(), QStringLiteral("01.03.2026"));
  f.feld->setFocus(Qt::TabFocusReason);
  f.feld->selectAll();
  QTest::keyClick(f.feld, Qt::Key_Delete);
  f.anderes->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  EXPECT_TRUE(f.feld->IstLeer());
  EXPECT_EQ(rekorder.Anzahl(), 1);
}

// Digits typed after a click to the right of the empty mask went nowhere.
TEST(DatumFeld, KlickHinterDieMaskeSchreibtAbDerErstenFreienStelle) {
  Fenster f;
  QTest::mouseClick(f.feld, Qt::LeftButton, Qt::NoModifier, QPoint(f.feld->width() - 30, f.feld->height() / 2));
  QTest::keyClicks(f.feld, QStringLiteral("15012026"));
  EXPECT_EQ(f.feld->Wert(), std::optional<QDate>(QDate(2026, 1, 15)));
}

TEST(DatumFeld, ZifferntastenblockPlusMinusEinTagUndVerbraucht) {
  Fenster f;
  f.feld->WertSetzen(QDate(2024, 12, 31));
  QSignalSpy getippt(f.feld, &DatumFeld::Getippt);
  QTest::keyClick(f.feld, Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(f.feld->Wert(), std::optional<QDate>(QDate(2025, 1, 1)));
  QTest::keyClick(f.feld, Qt::Key_Minus, Qt::KeypadModifier);
  QTest::keyClick(f.feld, Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(f.feld->Wert(), std::optional<QDate>(QDate(2024, 12, 30)));
  EXPECT_EQ(getippt.count(), 3);
  EXPECT_TRUE(f.w.tasten.isEmpty());  // consumed: nothing reached the window

  f.feld->Leeren();
  QTest::keyClick(f.feld, Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_TRUE(f.feld->IstLeer());
  EXPECT_TRUE(f.w.tasten.isEmpty());
}

TEST(DatumFeld, MinimumUndMaximum) {
  Fenster f;
  f.feld->MinimumSetzen(QDate(2024, 1, 1));
  f.feld->MaximumSetzen(QDate(2024, 1, 15));
  f.feld->WertSetzen(QDate(2023, 12, 31));
  EXPECT_FALSE(f.feld->Wert().has_value());

  f.feld->WertSetzen(QDate(2024, 1, 15));
  QTest::keyClick(f.feld, Qt::Key_Plus, Qt::KeypadModifier);  // would leave the range
  EXPECT_EQ(f.feld->Wert(), std::optional<QDate>(QDate(2024, 1, 15)));

  MeldungsRekorder rekorder;
  f.feld->selectAll();
  QTest::keyClick(f.feld, Qt::Key_Delete);
  f.feld->setCursorPosition(0);
  QTest::keyClicks(f.feld, QStringLiteral("20012024"));
  EXPECT_FALSE(f.feld->Wert().has_value());
  f.anderes->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  ASSERT_EQ(rekorder.Anzahl(), 1);
  EXPECT_TRUE(rekorder.Letzter().text.startsWith(QStringLiteral("Das Datum muss zwischen dem 01.01.2024 und dem 15.01.2024 liegen.")));
  EXPECT_TRUE(f.feld->hasFocus());
}

TEST(DatumFeld, KalenderOeffnetMitGroesseUndSchriftUndVerschlucktEscUndEnter) {
  Fenster f;
  f.feld->WertSetzen(QDate(2024, 3, 10));
  f.feld->KalenderGroesseSetzen(QSize(300, 220));
  QFont schrift(QStringLiteral("DejaVu Sans"), 13);
  f.feld->KalenderSchriftSetzen(schrift);
  QSignalSpy geschlossen(f.feld, &DatumFeld::KalenderGeschlossen);

  f.feld->AufklappenOeffnen();
  ASSERT_TRUE(f.feld->IstAufgeklappt());
  ASSERT_NE(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(QApplication::activePopupWidget()->size(), QSize(300, 220));
  EXPECT_EQ(f.feld->Kalender()->font().pointSize(), 13);
  EXPECT_EQ(f.feld->Kalender()->selectedDate(), QDate(2024, 3, 10));

  // keys go to the pop-up through the window system, as a real key press would
  QTest::keyClick(f.w.windowHandle(), Qt::Key_Escape);
  EXPECT_FALSE(f.feld->IstAufgeklappt());
  EXPECT_EQ(geschlossen.count(), 1);
  EXPECT_EQ(f.feld->Wert(), std::optional<QDate>(QDate(2024, 3, 10)));

  f.feld->AufklappenOeffnen();
  ASSERT_TRUE(f.feld->IstAufgeklappt());
  f.feld->Kalender()->setSelectedDate(QDate(2024, 3, 12));
  QTest::keyClick(f.w.windowHandle(), Qt::Key_Return);
  EXPECT_FALSE(f.feld->IstAufgeklappt());
  EXPECT_EQ(f.feld->Wert(), std::optional<QDate>(QDate(2024, 3, 12)));
  EXPECT_TRUE(f.w.tasten.isEmpty());
}

TEST(DatumFeld, PfeiltastenNurWennEingeschaltet) {
  Fenster f;
  f.feld->WertSetzen(QDate(2024, 2, 28));
  QTest::keyClick(f.feld, Qt::Key_Up);
  EXPECT_EQ(f.feld->Wert(), std::optional<QDate>(QDate(2024, 2, 28)));
  EXPECT_EQ(f.w.tasten, QList<int>{Qt::Key_Up});  // passed on to the window
  f.feld->PfeiltastenSetzen(true);
  QTest::keyClick(f.feld, Qt::Key_Up);
  EXPECT_EQ(f.feld->Wert(), std::optional<QDate>(QDate(2024, 2, 29)));
  QTest::keyClick(f.feld, Qt::Key_Down);
  QTest::keyClick(f.feld, Qt::Key_Down);
  EXPECT_EQ(f.feld->Wert(), std::optional<QDate>(QDate(2024, 2, 27)));
  EXPECT_EQ(f.w.tasten.size(), 1);
}
