#include <QApplication>
#include <QCalendarWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "payments/FaelligAbfrage.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/Kalender.h"
#include "testsupport/Hilfeseite.h"

namespace {

struct Dialog {
  FaelligAbfrage d;
  explicit Dialog(const QDate& vorschlag, const QFont& schrift = QApplication::font()) {
    d.Daten(schrift, vorschlag);
    d.show();
    QApplication::processEvents();
  }
  std::optional<QDate> Ergebnis(bool* ok = nullptr) {
    std::optional<QDate> datum;
    const bool r = d.SuchOk(datum);
    if (ok) *ok = r;
    return datum;
  }
};

TEST(FaelligAbfrage, ZeigtDenVorschlagUndOkUebernimmtIhn) {
  Dialog t(QDate(2024, 3, 15));
  EXPECT_EQ(t.d.windowTitle(), QStringLiteral("Fälligkeits-Abfrage"));
  EXPECT_EQ(t.d.Datumfeld()->Wert(), QDate(2024, 3, 15));
  EXPECT_EQ(t.d.Kalender()->Datum(), QDate(2024, 3, 15));
  EXPECT_TRUE(t.d.OkKnopf()->isEnabled());
  EXPECT_EQ(t.d.focusWidget(), t.d.Datumfeld());
  t.d.OkKnopf()->click();
  bool ok = false;
  EXPECT_EQ(t.Ergebnis(&ok), QDate(2024, 3, 15));
  EXPECT_TRUE(ok);
  EXPECT_EQ(t.d.result(), QDialog::Accepted);
}

TEST(FaelligAbfrage, OkNurMitGueltigemDatum) {
  Dialog t(QDate(2024, 3, 15));
  t.d.Datumfeld()->clear();
  QApplication::processEvents();
  EXPECT_FALSE(t.d.OkKnopf()->isEnabled());
  QTest::keyClick(t.d.Datumfeld(), Qt::Key_Return);  // Enter without a date is no "OK"
  EXPECT_TRUE(t.d.isVisible());
  bool ok = true;
  EXPECT_FALSE(t.Ergebnis(&ok).has_value());
  EXPECT_FALSE(ok);
  // A typed date shows in the calendar and allows OK again.
  QTest::keyClicks(t.d.Datumfeld(), QStringLiteral("20.04.2024"));
  EXPECT_TRUE(t.d.OkKnopf()->isEnabled());
  EXPECT_EQ(t.d.Kalender()->Datum(), QDate(2024, 4, 20));
  QTest::keyClick(t.d.Datumfeld(), Qt::Key_Return);
  EXPECT_EQ(t.Ergebnis(), QDate(2024, 4, 20));
}

TEST(FaelligAbfrage, KalenderwahlErscheintImFeld) {
  Dialog t(QDate(2024, 3, 15));
  t.d.Kalender()->DatumSetzen(QDate(2024, 3, 22));
  EXPECT_EQ(t.d.Datumfeld()->Wert(), QDate(2024, 3, 22));
  t.d.OkKnopf()->click();
  EXPECT_EQ(t.Ergebnis(), QDate(2024, 3, 22));
}

enum class Ende { Abbruch, Esc, Schliessfeld };
class FaelligAbfrageAbbruch : public ::testing::TestWithParam<Ende> {};

TEST_P(FaelligAbfrageAbbruch, EntferntDieGrenze) {
  Dialog t(QDate(2024, 3, 15));
  switch (GetParam()) {
    case Ende::Abbruch: t.d.AbbruchKnopf()->click(); break;
    case Ende::Esc: QTest::keyClick(t.d.Datumfeld(), Qt::Key_Escape); break;
    case Ende::Schliessfeld: t.d.close(); break;
  }
  QApplication::processEvents();
  EXPECT_FALSE(t.d.isVisible());
  bool ok = true;
  EXPECT_FALSE(t.Ergebnis(&ok).has_value());
  EXPECT_FALSE(ok);
}
INSTANTIATE_TEST_SUITE_P(Fenster, FaelligAbfrageAbbruch, ::testing::Values(Ende::Abbruch, Ende::Esc, Ende::Schliessfeld),
                         [](const auto& info) {
                           switch (info.param) {
                             case Ende::Abbruch: return std::string("Abbruch");
                             case Ende::Esc: return std::string("Esc");
                             case Ende::Schliessfeld: return std::string("Schliessfeld");
                           }
                           return std::string();
                         });

TEST(FaelligAbfrage, VorschlagStehtNichtAmRandDerAnsicht) {
  Dialog t(QDate(2024, 3, 15));
  const QDate erster = t.d.Kalender()->ErsterAngezeigterTag();
  const QDate letzter = t.d.Kalender()->LetzterAngezeigterTag();
  const QDate monat(2024, 3, 1);
  EXPECT_LT(QDate(erster.year(), erster.month(), 1), monat);
  EXPECT_GT(QDate(letzter.year(), letzter.month(), 1), monat);
}

TEST(FaelligAbfrage, GroessereSchriftGroesseresFenster) {
  QFont klein = QApplication::font();
  klein.setPointSizeF(9);
  QFont gross = klein;
  gross.setPointSizeF(18);
  Dialog a(QDate(2024, 3, 15), klein);
  Dialog b(QDate(2024, 3, 15), gross);
  EXPECT_GT(b.d.width(), a.d.width());
  EXPECT_GT(b.d.height(), a.d.height());
}

}  // namespace

// F1 asked for topic 3111, which the help does not have: the contents page came up.
TEST(FaelligAbfrage, F1ZeigtDieSeiteDesDialogs) {
  Dialog t(QDate(2024, 3, 15));
  EXPECT_EQ(HilfeseiteNachF1(t.d.Datumfeld()), QStringLiteral("110.html"));
}
