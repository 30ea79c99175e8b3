#include "platform/ui/MaskenFeld.h"

#include "QtAusgabe.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

MaskenFeld* IbanFeld(QWidget& fenster) {
  auto* feld = new MaskenFeld(&fenster);
  feld->MaxLaengeSetzen(34);
  feld->IbanBlockSetzen(true);
  return feld;
}

}  // namespace

TEST(MaskenFeld, IbanInBloeckenGetipptWirdOhneLeerzeichenGespeichert) {
  QWidget fenster;
  MaskenFeld* feld = IbanFeld(fenster);
  QSignalSpy getippt(feld, &MaskenFeld::Getippt);
  QTest::keyClicks(feld, QStringLiteral("de89 3704 0044 0532 0130 00"));
  EXPECT_EQ(feld->Wert(), QStringLiteral("DE89370400440532013000"));
  EXPECT_EQ(feld->text(), QStringLiteral("DE89 3704 0044 0532 0130 00"));
  EXPECT_EQ(feld->Caret(), feld->text().size());
  EXPECT_GT(getippt.count(), 0);
  EXPECT_EQ(getippt.last().at(0).toString(), QStringLiteral("DE89370400440532013000"));
}

TEST(MaskenFeld, IbanEingefuegtUndVomProgrammGesetztGleicheNormalform) {
  QWidget fenster;
  MaskenFeld* feld = IbanFeld(fenster);
  feld->insert(QStringLiteral(" de89-3704 0044 0532 0130 00 "));
  EXPECT_EQ(feld->Wert(), QStringLiteral("DE89370400440532013000"));

  QSignalSpy getippt(feld, &MaskenFeld::Getippt);
  feld->WertSetzen(QStringLiteral("gb29nwbk60161331926819"));
  EXPECT_EQ(feld->Wert(), QStringLiteral("GB29NWBK60161331926819"));
  EXPECT_EQ(feld->text(), QStringLiteral("GB29 NWBK 6016 1331 9268 19"));
  EXPECT_EQ(getippt.count(), 0);  // text from code is no typing
}

TEST(MaskenFeld, IbanNimmtHoechstens34ZeichenUndDieRuecktasteUeberspringtBlockLuecken) {
  QWidget fenster;
  MaskenFeld* feld = IbanFeld(fenster);
  QTest::keyClicks(feld, QString(40, QLatin1Char('1')));
  EXPECT_EQ(feld->Wert().size(), 34);
  EXPECT_EQ(feld->text().size(), 42);  // eight groups of four, one of two, blanks between

  feld->WertSetzen(QStringLiteral("DE8937040"));
  feld->CaretSetzen(feld->text().size());
  EXPECT_EQ(feld->text(), QStringLiteral("DE89 3704 0"));
  QTest::keyClick(feld, Qt::Key_Backspace);
  EXPECT_EQ(feld->text(), QStringLiteral("DE89 3704"));  // no blank left dangling
  QTest::keyClick(feld, Qt::Key_Backspace);
  EXPECT_EQ(feld->Wert(), QStringLiteral("DE89370"));
  feld->CaretSetzen(5);  // behind "DE89 "
  QTest::keyClick(feld, Qt::Key_Backspace);
  EXPECT_EQ(feld->Wert(), QStringLiteral("DE8370"));
}

TEST(MaskenFeld, BicNurGrossbuchstabenUndZiffernBisZurFeldgroesse) {
  QWidget fenster;
  MaskenFeld feld(&fenster);
  feld.ZeichenklasseSetzen(Zeichenklasse::GrossbuchstabenZiffern);
  feld.MaxLaengeSetzen(11);
  Tippen(&feld, QStringLiteral("deut-dä ff.xxx9ß"));
  EXPECT_EQ(feld.Wert(), QStringLiteral("DEUTDFFXXX9"));
  EXPECT_EQ(feld.text(), QStringLiteral("DEUTDFFXXX9"));
}

TEST(MaskenFeld, BeliebigeZeichenBisZurFeldgroesse) {
  QWidget fenster;
  MaskenFeld feld(&fenster);
  feld.MaxLaengeSetzen(10);
  Tippen(&feld, QStringLiteral("Müller & Söhne GmbH"));
  EXPECT_EQ(feld.Wert(), QStringLiteral("Müller & S"));
  feld.WertSetzen(QStringLiteral("Ein viel zu langer Name"));
  EXPECT_EQ(feld.Wert(), QStringLiteral("Ein viel z"));
  feld.MaxLaengeSetzen(5);  // a smaller field size cuts the present text as well
  EXPECT_EQ(feld.Wert(), QStringLiteral("Ein v"));
}

TEST(MaskenFeld, CaretUndAuswahlLassenSichSetzenUndLesen) {
  QWidget fenster;
  MaskenFeld feld(&fenster);
  feld.WertSetzen(QStringLiteral("Mustermann"));
  feld.AuswahlSetzen(3, 4);
  EXPECT_EQ(feld.AuswahlStart(), 3);
  EXPECT_EQ(feld.AuswahlLaenge(), 4);
  EXPECT_EQ(feld.selectedText(), QStringLiteral("term"));
  feld.AuswahlSetzen(8, 99);  // clipped at the end
  EXPECT_EQ(feld.AuswahlLaenge(), 2);
  feld.CaretSetzen(-5);
  EXPECT_EQ(feld.Caret(), 0);
}

TEST(MaskenFeld, GueltigkeitsfarbenWeissAufRotUndZurueck) {
  QWidget fenster;
  MaskenFeld feld(&fenster);
  const QColor systemText = feld.palette().color(QPalette::Text);
  feld.GueltigkeitAnzeigen(false);
  EXPECT_TRUE(feld.UngueltigAngezeigt());
  EXPECT_EQ(feld.palette().color(QPalette::Base), QColor(255, 0, 0));
  EXPECT_EQ(feld.palette().color(QPalette::Text), QColor(255, 255, 255));
  feld.GueltigkeitAnzeigen(true);
  EXPECT_FALSE(feld.UngueltigAngezeigt());
  EXPECT_EQ(feld.palette().color(QPalette::Text), systemText);
}

TEST(MaskenFeld, DoppelklickWirdGemeldet) {
  QWidget fenster;
  MaskenFeld feld(&fenster);
  QSignalSpy doppelklick(&feld, &MaskenFeld::Doppelklick);
  QTest::mouseDClick(&feld, Qt::LeftButton);
  EXPECT_EQ(doppelklick.count(), 1);
}
