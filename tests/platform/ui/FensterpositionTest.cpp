#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/ProgrammschriftSetzen.h"
#include "platform/ui/SchriftSkalierung.h"

#include "platform/settings/Registrierung.h"

#include "QtAusgabe.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

const QString kAbschnitt = QStringLiteral("Formular State Test");

class Fensterposition : public ::testing::Test {
 protected:
  void SetUp() override { Registrierung::Instanz().Loeschen(kAbschnitt); }
  void TearDown() override { Registrierung::Instanz().Loeschen(kAbschnitt); }
  QString Lesen(const char* schluessel) {
    return Registrierung::Instanz().Lesen(kAbschnitt, QString::fromLatin1(schluessel));
  }
};

}  // namespace

TEST_F(Fensterposition, SpeichernUndWiederherstellenErgibtDieselbeLage) {
  QWidget fenster;
  fenster.setGeometry(40, 50, 400, 300);
  FensterpositionVerwalten(false, kAbschnitt, &fenster, 70, false);
  EXPECT_EQ(Lesen("State"), QStringLiteral("0"));
  EXPECT_EQ(Lesen("Left"), QStringLiteral("40"));
  EXPECT_EQ(Lesen("Top"), QStringLiteral("50"));
  EXPECT_EQ(Lesen("Width"), QStringLiteral("400"));
  EXPECT_EQ(Lesen("Height"), QStringLiteral("300"));

  QWidget neu;
  FensterpositionVerwalten(true, kAbschnitt, &neu, 70, false);
  EXPECT_EQ(neu.geometry(), QRect(40, 50, 400, 300));
  EXPECT_FALSE(neu.windowState() & Qt::WindowMaximized);
}

TEST_F(Fensterposition, MaximiertKommtMaximiertZurueck) {
  Registrierung& r = Registrierung::Instanz();
  r.Schreiben(kAbschnitt, QStringLiteral("State"), QStringLiteral("2"));
  r.Schreiben(kAbschnitt, QStringLiteral("Left"), QStringLiteral("10"));
  r.Schreiben(kAbschnitt, QStringLiteral("Top"), QStringLiteral("20"));
  r.Schreiben(kAbschnitt, QStringLiteral("Width"), QStringLiteral("300"));
  r.Schreiben(kAbschnitt, QStringLiteral("Height"), QStringLiteral("200"));
  QWidget fenster;
  FensterpositionVerwalten(true, kAbschnitt, &fenster);
  EXPECT_TRUE(fenster.windowState() & Qt::WindowMaximized);
  FensterpositionVerwalten(false, kAbschnitt, &fenster);
  EXPECT_EQ(Lesen("State"), QStringLiteral("2"));
}

TEST_F(Fensterposition, OhneGespeicherteWerteSiebzigProzentZentriert) {
  const QRect schirm = QGuiApplication::primaryScreen()->geometry();
  for (bool breit : {false, true}) {
    SCOPED_TRACE(breit);
    QWidget fenster;
    FensterpositionVerwalten(true, kAbschnitt, &fenster, 70, breit);
    EXPECT_EQ(fenster.height(), schirm.height() * 70 / 100);
    EXPECT_EQ(fenster.width(), schirm.width() * 70 / (breit ? 150 : 120));
    EXPECT_LE(qAbs(fenster.geometry().center().x() - schirm.center().x()), 1);
    EXPECT_LE(qAbs(fenster.geometry().center().y() - schirm.center().y()), 1);
  }
  QWidget unveraendert;
  unveraendert.setGeometry(1, 2, 3 * 100, 4 * 100);
  FensterpositionVerwalten(true, kAbschnitt, &unveraendert, 0, false);  // 0 percent: left alone
  EXPECT_EQ(unveraendert.geometry(), QRect(1, 2, 300, 400));
}

TEST_F(Fensterposition, OhneGespeicherteWerteNieSchmalerAlsDasLayoutUndGanzAufDemSchirm) {
  const QRect frei = QGuiApplication::primaryScreen()->availableGeometry();
  QWidget breit;
  breit.setMinimumSize(frei.width() * 9 / 10, 50);  // wider than 70 % of the screen / 1.2
  FensterpositionVerwalten(true, kAbschnitt, &breit, 70, false);
  EXPECT_EQ(breit.width(), frei.width() * 9 / 10);
  EXPECT_EQ(breit.height(), frei.height() * 70 / 100);
  EXPECT_TRUE(frei.contains(breit.geometry()));

  QWidget riesig;  // a layout larger than the screen still starts inside it
  riesig.setMinimumSize(frei.width() * 2, frei.height() * 2);
  FensterpositionVerwalten(true, kAbschnitt, &riesig, 70, false);
  EXPECT_LE(riesig.geometry().left(), frei.right());
  EXPECT_GE(riesig.geometry().left(), frei.left());
  EXPECT_GE(riesig.geometry().top(), frei.top());
}

TEST_F(Fensterposition, NurVorhandeneZahlenWerdenUebernommenUndNiemalsAusserhalbDesSchirms) {
  Registrierung& r = Registrierung::Instanz();
  r.Schreiben(kAbschnitt, QStringLiteral("Width"), QStringLiteral("350"));
  r.Schreiben(kAbschnitt, QStringLiteral("Height"), QStringLiteral("kaputt"));
  QWidget fenster;
  fenster.setGeometry(30, 40, 200, 250);
  FensterpositionVerwalten(true, kAbschnitt, &fenster);
  EXPECT_EQ(fenster.geometry(), QRect(30, 40, 350, 250));

  // a position from a monitor that is gone
  r.Schreiben(kAbschnitt, QStringLiteral("Left"), QStringLiteral("-30000"));
  r.Schreiben(kAbschnitt, QStringLiteral("Top"), QStringLiteral("-30000"));
  FensterpositionVerwalten(true, kAbschnitt, &fenster);
  EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(fenster.geometry().center()));
}

// A place and size stored on a larger screen come back fitted to the screen the window opens on: never
// larger than its free area, wholly on it; what fits stays as stored.
TEST_F(Fensterposition, GespeicherteLageWirdAufDenBildschirmEingepasst) {
  const QRect frei = QGuiApplication::primaryScreen()->availableGeometry();
  struct Fall {
    const char* name;
    QRect gespeichert;
    QRect erwartet;
  };
  const Fall faelle[] = {
      {"passt", QRect(40, 50, 400, 300), QRect(40, 50, 400, 300)},
      {"so gross wie der Schirm", frei, frei},
      {"vom grossen Schirm", QRect(10, 20, frei.width() + 480, frei.height() + 256),
       QRect(frei.left(), frei.top(), frei.width(), frei.height())},
      {"nur zu hoch", QRect(30, 40, 300, frei.height() + 1), QRect(30, frei.top(), 300, frei.height())},
      {"rechts unten hinaus", QRect(frei.right() - 99, frei.bottom() - 99, 400, 300),
       QRect(frei.right() - 399, frei.bottom() - 299, 400, 300)},
      {"links oben hinaus", QRect(frei.left() - 200, frei.top() - 150, 400, 300),
       QRect(frei.left(), frei.top(), 400, 300)},
      {"ganz ausserhalb", QRect(5000, 4000, 400, 300), QRect(frei.right() - 399, frei.bottom() - 299, 400, 300)},
  };
  Registrierung& r = Registrierung::Instanz();
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    r.Schreiben(kAbschnitt, QStringLiteral("Left"), QString::number(f.gespeichert.left()));
    r.Schreiben(kAbschnitt, QStringLiteral("Top"), QString::number(f.gespeichert.top()));
    r.Schreiben(kAbschnitt, QStringLiteral("Width"), QString::number(f.gespeichert.width()));
    r.Schreiben(kAbschnitt, QStringLiteral("Height"), QString::number(f.gespeichert.height()));
    QWidget fenster;
    FensterpositionVerwalten(true, kAbschnitt, &fenster);
    EXPECT_EQ(fenster.geometry(), f.erwartet);
    EXPECT_TRUE(frei.contains(fenster.geometry()));
  }
}

TEST(ProgrammschriftSetzen, NameUndGroesseAufJedesSteuerelementStilBleibt) {
  QWidget fenster;
  auto* l = new QVBoxLayout(&fenster);
  auto* fett = new QLabel(QStringLiteral("Überschrift"), &fenster);
  QFont f = fett->font();
  f.setBold(true);
  fett->setFont(f);
  auto* feld = new QLineEdit(&fenster);
  l->addWidget(fett);
  l->addWidget(feld);
  ProgrammschriftSetzen(&fenster, QFont(QStringLiteral("DejaVu Serif"), 15));
  for (QWidget* w : {static_cast<QWidget*>(&fenster), static_cast<QWidget*>(fett), static_cast<QWidget*>(feld)}) {
    EXPECT_EQ(w->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(w->font().pointSize(), 15);
  }
  EXPECT_TRUE(fett->font().bold());
  EXPECT_FALSE(feld->font().bold());
}

TEST(SchriftSkalierung, SchriftenWachsenUndSchrumpfenMitDemFenster) {
  QWidget fenster;
  auto* l = new QVBoxLayout(&fenster);
  auto* feld = new QLineEdit(&fenster);
  l->addWidget(feld);
  QFont basis(QStringLiteral("DejaVu Sans"));
  basis.setPointSizeF(10);
  fenster.setFont(basis);
  feld->setFont(basis);
  fenster.resize(400, 300);
  fenster.show();
  SchriftSkalierung skalierung(&fenster);
  fenster.resize(600, 600);  // the smaller ratio counts: 1.5
  EXPECT_DOUBLE_EQ(feld->font().pointSizeF(), 15.0);
  fenster.resize(100, 100);  // limited to 0.7
  EXPECT_DOUBLE_EQ(feld->font().pointSizeF(), 7.0);
  fenster.resize(400, 300);
  EXPECT_DOUBLE_EQ(feld->font().pointSizeF(), 10.0);
}
