#include "platform/ui/MaskenFeld.h"

#include "platform/ui/Feldgrenze.h"
#include "platform/ui/MeldungsRekorder.h"

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

// Typing stops at the field size with a notice at the field; a value from code is never cut, not
// even by a smaller field size set later.
TEST(MaskenFeld, TippenEndetAnDerFeldgroesseMitHinweisWerteVomProgrammBleibenGanz) {
  QWidget fenster;
  MaskenFeld feld(&fenster);
  feld.MaxLaengeSetzen(10);
  MeldungsRekorder meldungen;
  Tippen(&feld, QStringLiteral("Müller & S"));
  EXPECT_EQ(meldungen.Anzahl(), 0);   // exactly the size: no word
  Tippen(&feld, QStringLiteral("öhne"));
  EXPECT_EQ(feld.Wert(), QStringLiteral("Müller & S"));
  ASSERT_EQ(meldungen.Anzahl(), 4);   // one notice per refused character
  EXPECT_TRUE(meldungen.Letzter().randhinweis);
  EXPECT_EQ(meldungen.Letzter().text, Feldgrenze::Hinweistext(10));
  EXPECT_TRUE(meldungen.Letzter().text.contains(QStringLiteral("höchstens 10 Zeichen")));

  feld.WertSetzen(QStringLiteral("Ein viel zu langer Name"));
  EXPECT_EQ(feld.Wert(), QStringLiteral("Ein viel zu langer Name"));
  feld.MaxLaengeSetzen(5);
  EXPECT_EQ(feld.Wert(), QStringLiteral("Ein viel zu langer Name"));
}

// Pasted text counts without the blanks the field drops: 34 characters with blanks between (42 in
// all) fit whole; one character more is refused whole (nothing of it taken) with the notice.
TEST(MaskenFeld, EinfuegenZaehltDenWertUndWirdGanzAbgelehntWennErNichtPasst) {
  QWidget fenster;
  MaskenFeld feld(&fenster);
  feld.ZeichenklasseSetzen(Zeichenklasse::GrossbuchstabenZiffern);
  feld.MaxLaengeSetzen(34);
  MeldungsRekorder meldungen;
  const QString mitLuecken = QStringLiteral("DE89 3704 0044 0532 0130 0012 3456 7890 12");
  feld.insert(mitLuecken + QStringLiteral("3"));   // 35 characters
  EXPECT_EQ(feld.Wert(), QString());
  ASSERT_EQ(meldungen.Anzahl(), 1);
  EXPECT_EQ(meldungen.Letzter().text, Feldgrenze::Hinweistext(34));
  feld.insert(mitLuecken);
  EXPECT_EQ(feld.Wert(), QStringLiteral("DE893704004405320130001234567890 12").remove(QLatin1Char(' ')));
  EXPECT_EQ(feld.Wert().size(), 34);
  EXPECT_EQ(meldungen.Anzahl(), 1);
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
