#include "platform/ui/Feldgrenze.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/ui/MeldungsRekorder.h"

// A plain text field with a size limit: up to the limit silent, beyond it nothing is taken and the
// field says so; a paste that does not fit is refused whole; a value set from code shows whole.
TEST(Feldgrenze, TippenUndEinfuegenUeberDieGrenzeWerdenAbgelehntUndGemeldet) {
  QLineEdit feld;
  Feldgrenze::Setzen(&feld, 5);
  EXPECT_EQ(Feldgrenze::Grenze(&feld), 5);
  MeldungsRekorder meldungen;
  QTest::keyClicks(&feld, QStringLiteral("Abcde"));
  EXPECT_EQ(feld.text(), QStringLiteral("Abcde"));
  EXPECT_EQ(meldungen.Anzahl(), 0);
  QTest::keyClicks(&feld, QStringLiteral("f"));
  EXPECT_EQ(feld.text(), QStringLiteral("Abcde"));
  ASSERT_EQ(meldungen.Anzahl(), 1);
  EXPECT_TRUE(meldungen.Letzter().randhinweis);
  EXPECT_EQ(meldungen.Letzter().text, Feldgrenze::Hinweistext(5));

  feld.clear();
  feld.insert(QStringLiteral("123456"));   // as pasted: refused whole, not cut to "12345"
  EXPECT_EQ(feld.text(), QString());
  EXPECT_EQ(meldungen.Anzahl(), 2);
  feld.insert(QStringLiteral("12345"));
  EXPECT_EQ(feld.text(), QStringLiteral("12345"));
  EXPECT_EQ(meldungen.Anzahl(), 2);

  feld.setText(QStringLiteral("Gespeichert länger"));
  EXPECT_EQ(feld.text(), QStringLiteral("Gespeichert länger"));
}

// The field's own validator still decides first: a character it refuses brings no size notice.
TEST(Feldgrenze, EigenerValidatorBleibtUndSeineAblehnungIstKeineGrenze) {
  QLineEdit feld;
  feld.setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), &feld));
  Feldgrenze::Setzen(&feld, 3);
  Feldgrenze::Setzen(&feld, 4);   // set again: one check, the new limit
  MeldungsRekorder meldungen;
  QTest::keyClicks(&feld, QStringLiteral("1a2"));
  EXPECT_EQ(feld.text(), QStringLiteral("12"));
  EXPECT_EQ(meldungen.Anzahl(), 0);
  QTest::keyClicks(&feld, QStringLiteral("345"));
  EXPECT_EQ(feld.text(), QStringLiteral("1234"));
  EXPECT_EQ(meldungen.Anzahl(), 1);
  Feldgrenze::Setzen(&feld, 0);   // no limit
  QTest::keyClicks(&feld, QStringLiteral("567"));
  EXPECT_EQ(feld.text(), QStringLiteral("1234567"));
}
