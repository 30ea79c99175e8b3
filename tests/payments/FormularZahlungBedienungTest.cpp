// The payment form as a new user meets it: help, keys, dates, line entry by keyboard, tab order,
// the due-date limit and the captions.
#include <QApplication>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "FensterTestumgebung.h"
#include "common/Programmzustand.h"
#include "payments/FormularZahlung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/MaskenFeld.h"
#include "testsupport/Hilfeseite.h"

namespace {

class Bedienung : public ::testing::Test {
 protected:
  FensterTestumgebung u;
};

// F1 asked for topic 3101, which the help does not have: the contents page came up.
TEST_F(Bedienung, F1ZeigtDieSeiteDesFensters) {
  FormularZahlung& f = u.Fenster();
  EXPECT_EQ(HilfeseiteNachF1(f.Browsegitter()->Ansicht()), QStringLiteral("100.html"));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  EXPECT_EQ(HilfeseiteNachF1(f.Maske(0)), QStringLiteral("100.html"));
}

// Alt+letter with no button for it typed the letter into the field (Alt+O put an "O" into the IBAN).
TEST_F(Bedienung, AltBuchstabeOhneKnopfSchreibtNichtInsFeld) {
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  MaskenFeld* iban = f.Maske(4);
  iban->setFocus();
  iban->WertSetzen(QStringLiteral("DE89"));
  QTest::keyClick(iban, Qt::Key_O, Qt::AltModifier);
  QTest::keyClick(iban, Qt::Key_3, Qt::AltModifier);
  EXPECT_EQ(iban->Wert(), QStringLiteral("DE89"));
  // Without Alt the letter is typed.
  QTest::keyClick(iban, Qt::Key_O);
  EXPECT_EQ(iban->Wert(), QStringLiteral("DE89O"));
  EXPECT_EQ(u.Meldungen().Anzahl(), 0);
}

}  // namespace
