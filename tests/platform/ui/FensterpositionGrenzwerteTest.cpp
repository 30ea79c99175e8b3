// Built with the undefined-behaviour sanitizer around the window-position code: stored values at the ends
// of int (a damaged or foreign settings file) must not overflow anything, and the window lands on a screen.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <climits>

#include "platform/settings/Registrierung.h"
#include "platform/ui/FensterpositionVerwalten.h"

namespace {

const QString kAbschnitt = QStringLiteral("Grenzwerte Test");

struct Werte {
  const char* name;
  qint64 links, oben, breite, hoehe;
};

class FensterpositionGrenzwerte : public ::testing::TestWithParam<Werte> {
 protected:
  void TearDown() override { Registrierung::Instanz().Loeschen(kAbschnitt); }
};

TEST_P(FensterpositionGrenzwerte, FensterLandetAufDemBildschirm) {
  const Werte w = GetParam();
  Registrierung& r = Registrierung::Instanz();
  r.Schreiben(kAbschnitt, QStringLiteral("Left"), QString::number(w.links));
  r.Schreiben(kAbschnitt, QStringLiteral("Top"), QString::number(w.oben));
  r.Schreiben(kAbschnitt, QStringLiteral("Width"), QString::number(w.breite));
  r.Schreiben(kAbschnitt, QStringLiteral("Height"), QString::number(w.hoehe));
  QWidget fenster;
  fenster.setGeometry(10, 20, 300, 200);
  FensterpositionVerwalten(true, kAbschnitt, &fenster);
  const QRect frei = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect g = fenster.geometry();
  EXPECT_TRUE(frei.intersects(g)) << g.x() << "," << g.y() << " " << g.width() << "x" << g.height();
  EXPECT_LE(g.width(), frei.width());
  EXPECT_LE(g.height(), frei.height());
  EXPECT_GT(g.width(), 0);
  EXPECT_GT(g.height(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Werte, FensterpositionGrenzwerte,
    ::testing::Values(Werte{"AllesGroesstesInt", INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                      Werte{"PositionGroesstesIntGroesseNormal", INT_MAX, INT_MAX, 400, 300},
                      Werte{"GroesseGroesstesIntPositionNormal", 10, 10, INT_MAX, INT_MAX},
                      Werte{"PositionKleinstesInt", INT_MIN, INT_MIN, 400, 300},
                      Werte{"KleinstesIntUeberall", INT_MIN, INT_MIN, INT_MIN, INT_MIN},
                      Werte{"PositionKnappUnterUeberlauf", INT_MAX - 399, INT_MAX - 299, 400, 300}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
