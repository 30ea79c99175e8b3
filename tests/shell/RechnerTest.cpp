#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include "platform/ui/MeldungsRekorder.h"
#include "shell/Rechenausdruck.h"
#include "shell/Rechner.h"

namespace {

struct Rechnung {
  const char* ausdruck;
  const char* ergebnis;
};

class RechenausdruckTest : public ::testing::TestWithParam<Rechnung> {};

TEST_P(RechenausdruckTest, Ergebnis) {
  const Rechenausdruck::Ergebnis e = Rechenausdruck::Auswerten(QString::fromUtf8(GetParam().ausdruck));
  ASSERT_TRUE(e.wert.has_value()) << e.fehler.toStdString();
  EXPECT_EQ(Rechenausdruck::ZahlText(*e.wert), QString::fromUtf8(GetParam().ergebnis));
}

INSTANTIATE_TEST_SUITE_P(
    Ausdruecke, RechenausdruckTest,
    ::testing::Values(Rechnung{"1+2*3", "7"}, Rechnung{"(1+2)*3", "9"}, Rechnung{"10-4-3", "3"},
                      Rechnung{"100/4/5", "5"}, Rechnung{"2*(3+(4-1))/4", "3"}, Rechnung{"1,5+2,25", "3,75"},
                      Rechnung{"0,1+0,2", "0,3"}, Rechnung{"1.234,50*2", "2469"}, Rechnung{"1.5*2", "3"},
                      Rechnung{"-3+5", "2"}, Rechnung{"-(2+3)*-2", "10"}, Rechnung{"12 × 3 ÷ 4 − 1", "8"},
                      Rechnung{"1:3", "0,3333333333"}, Rechnung{" 7 ", "7"}, Rechnung{",5*4", "2"},
                      Rechnung{"119,00/1,19", "100"}, Rechnung{"2-5", "-3"}, Rechnung{"0*-1", "0"}),
    [](const auto& info) { return TestnameBuchstabiert(info.param.ausdruck); });

struct Fehlerfall {
  const char* ausdruck;
  const char* meldung;
  int position;
};

class RechenfehlerTest : public ::testing::TestWithParam<Fehlerfall> {};

TEST_P(RechenfehlerTest, Meldung) {
  const Rechenausdruck::Ergebnis e = Rechenausdruck::Auswerten(QString::fromUtf8(GetParam().ausdruck));
  EXPECT_FALSE(e.wert.has_value());
  EXPECT_EQ(e.fehler, QString::fromUtf8(GetParam().meldung));
  EXPECT_EQ(e.position, GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(
    Fehler, RechenfehlerTest,
    ::testing::Values(Fehlerfall{"5/0", "Division durch Null ist nicht möglich.", 1},
                      Fehlerfall{"5/(2-2)", "Division durch Null ist nicht möglich.", 1},
                      Fehlerfall{"1+(2*3", "Es fehlt eine schließende Klammer.", 2},
                      Fehlerfall{"1+2)", "Zu einer schließenden Klammer fehlt die öffnende Klammer.", 3},
                      Fehlerfall{"1+", "Der Rechenausdruck ist unvollständig.", 2},
                      Fehlerfall{"", "Bitte geben Sie einen Rechenausdruck ein.", -1},
                      Fehlerfall{"2 3", "Hier wird ein Rechenzeichen erwartet.", 2},
                      Fehlerfall{"1,2,3+1", "Die Zahl \u201E1,2,3\u201C ist ungültig.", 0},
                      Fehlerfall{"4+a", "Das Zeichen \u201Ea\u201C ist im Rechenausdruck nicht erlaubt.", 2},
                      Fehlerfall{"()", "Der Rechenausdruck ist unvollständig.", 1}),
    [](const auto& info) { return TestnameBuchstabiert(info.param.ausdruck); });

TEST(Rechner, EnterRechnetUndKopierenLegtInDieZwischenablage) {
  MeldungsRekorder rekorder;
  Rechner rechner;
  rechner.show();
  QTest::keyClicks(rechner.Ausdruck(), QStringLiteral("(19,99+0,01)*3"));
  QTest::keyClick(rechner.Ausdruck(), Qt::Key_Return);
  EXPECT_EQ(rechner.Ergebnis(), QStringLiteral("60"));
  rechner.Kopieren();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("60"));
  EXPECT_EQ(rekorder.Anzahl(), 0);
}

TEST(Rechner, DivisionDurchNullWirdGemeldet) {
  MeldungsRekorder rekorder;
  Rechner rechner;
  rechner.Ausdruck()->setText(QStringLiteral("7/0"));
  EXPECT_FALSE(rechner.Berechnen());
  ASSERT_EQ(rekorder.Anzahl(), 1);
  EXPECT_EQ(rekorder.Letzter().text, QStringLiteral("Division durch Null ist nicht möglich."));
  EXPECT_EQ(rekorder.Letzter().titel, QStringLiteral("Rechner"));
  EXPECT_TRUE(rechner.Ergebnis().isEmpty());
  EXPECT_EQ(rechner.Ausdruck()->cursorPosition(), 1);
}

}  // namespace
