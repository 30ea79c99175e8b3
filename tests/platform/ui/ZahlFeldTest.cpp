#include "platform/ui/ZahlFeld.h"
#include "platform/ui/MeldungsRekorder.h"

#include "QtAusgabe.h"

#include <QApplication>
#include <QLineEdit>
#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A window with the field and a second control to move the focus to.
struct Fenster {
  QWidget w;
  ZahlFeld* feld;
  QLineEdit* anderes;
  Fenster() {
    auto* l = new QVBoxLayout(&w);
    feld = new ZahlFeld(&w);
    anderes = new QLineEdit(&w);
    l->addWidget(feld);
    l->addWidget(anderes);
    w.show();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    anderes->setFocus(Qt::TabFocusReason);
  }
  void Eingeben(const QString& text) {
    feld->setFocus(Qt::TabFocusReason);
    feld->selectAll();
    if (text.isEmpty())
      QTest::keyClick(feld, Qt::Key_Delete);
    else
      Tippen(feld, text);
  }
  void Verlassen() { anderes->setFocus(Qt::TabFocusReason); }
  QString Anzeige() const { return feld->text(); }
};

Waehrung Euro(const char* text) { return *Waehrung::ParseDeutsch(QString::fromLatin1(text)); }

}  // namespace

TEST(ZahlFeld, LeerzustandUndBetragseingabe) {
  Fenster f;
  ZahlFormat format;
  format.leerText = QString();
  f.feld->AnzeigeFormatSetzen(format);
  EXPECT_FALSE(f.feld->Wert().has_value());
  EXPECT_EQ(f.Anzeige(), QString());

  QSignalSpy geaendert(f.feld, &ZahlFeld::WertGeaendert);
  f.Eingeben(QStringLiteral("1234,5"));
  f.Verlassen();
  ASSERT_TRUE(f.feld->Wert().has_value());
  EXPECT_EQ(*f.feld->Wert(), Euro("1234,50"));
  EXPECT_EQ(f.Anzeige(), QStringLiteral("1.234,50"));
  EXPECT_EQ(geaendert.count(), 1);

  f.Eingeben(QString());
  f.Verlassen();
  EXPECT_FALSE(f.feld->Wert().has_value());
  EXPECT_EQ(geaendert.count(), 2);

  f.feld->LeerErlaubtSetzen(false);
  EXPECT_EQ(f.feld->Wert(), std::optional<Waehrung>(Waehrung()));
  f.Eingeben(QStringLiteral("7"));
  f.Verlassen();
  f.Eingeben(QString());
  f.Verlassen();
  ASSERT_TRUE(f.feld->Wert().has_value());
  EXPECT_EQ(*f.feld->Wert(), Waehrung());
}

TEST(ZahlFeld, WertWaehrendDerEingabeIstDasGetippte) {
  // A toolbar click does not take the focus: Wert() must already hold what was typed.
  Fenster f;
  f.Eingeben(QStringLiteral("-17,25"));
  ASSERT_TRUE(f.feld->Wert().has_value());
  EXPECT_EQ(*f.feld->Wert(), -Euro("17,25"));
}

TEST(ZahlFeld, WertSetzenWaehrendDerEingabeMeldetDenNeuenWert) {
  // A handler of WertGeaendert reads the new value, and a value set over typed text counts as a change.
  Fenster f;
  f.feld->WertSetzen(Waehrung());
  f.Eingeben(QStringLiteral("5"));
  std::optional<Waehrung> gelesen;
  int meldungen = 0;
  QObject::connect(f.feld, &ZahlFeld::WertGeaendert, f.feld, [&] {
    ++meldungen;
    gelesen = f.feld->Wert();
  });
  f.feld->WertSetzen(Waehrung());
  EXPECT_EQ(meldungen, 1);
  EXPECT_EQ(gelesen, std::optional<Waehrung>(Waehrung()));
  f.feld->WertSetzen(Waehrung());
  EXPECT_EQ(meldungen, 1);
  f.feld->WertSetzen(Euro("3"));
  EXPECT_EQ(meldungen, 2);
  EXPECT_EQ(gelesen, std::optional<Waehrung>(Euro("3")));
}

TEST(ZahlFeld, MinimumUndMaximumBeiGanzzahlen) {
  Fenster f;
  f.feld->GanzzahlSetzen(true);
  f.feld->BereichSetzen(1, 9);
  f.feld->GanzzahlWertSetzen(15);
  EXPECT_EQ(f.feld->Ganzzahl(), 9);
  f.feld->GanzzahlWertSetzen(-3);
  EXPECT_EQ(f.feld->Ganzzahl(), 1);

  f.Eingeben(QStringLiteral("12"));  // the 2 would pass the maximum: refused while typing
  EXPECT_EQ(f.Anzeige(), QStringLiteral("1"));
  f.Eingeben(QStringLiteral("0"));   // below the minimum: taken over as the minimum
  f.Verlassen();
  EXPECT_EQ(f.feld->Ganzzahl(), 1);
  f.Eingeben(QStringLiteral("3,5"));  // no decimals in a whole-number field
  f.Verlassen();
  EXPECT_EQ(f.feld->Ganzzahl(), 3);
  f.Eingeben(QStringLiteral("-4"));   // no sign when the minimum is positive
  f.Verlassen();
  EXPECT_EQ(f.feld->Ganzzahl(), 4);
}

TEST(ZahlFeld, NachsatzUndNulltextImAnzeigeformatNichtBeimBearbeiten) {
  Fenster f;
  f.feld->GanzzahlSetzen(true);
  ZahlFormat tage;
  tage.nachsatz = QStringLiteral(" Tage");
  f.feld->AnzeigeFormatSetzen(tage);
  f.feld->GanzzahlWertSetzen(2);
  EXPECT_EQ(f.Anzeige(), QStringLiteral("2 Tage"));

  ZahlFormat kopien;
  kopien.nachsatz = QStringLiteral(" Kopien");
  kopien.nullText = QStringLiteral("Kein Ausdruck");
  f.feld->AnzeigeFormatSetzen(kopien);
  f.feld->GanzzahlWertSetzen(0);
  EXPECT_EQ(f.Anzeige(), QStringLiteral("Kein Ausdruck"));
  f.feld->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(f.Anzeige(), QStringLiteral("0"));  // edit format: the plain number
  f.Verlassen();
  EXPECT_EQ(f.Anzeige(), QStringLiteral("Kein Ausdruck"));
  f.feld->GanzzahlWertSetzen(3);
  EXPECT_EQ(f.Anzeige(), QStringLiteral("3 Kopien"));
  // One copy in the singular where the format names it; 1 without it and 11 keep the plural.
  f.feld->GanzzahlWertSetzen(1);
  EXPECT_EQ(f.Anzeige(), QStringLiteral("1 Kopien"));
  kopien.nachsatzEins = QStringLiteral(" Kopie");
  f.feld->AnzeigeFormatSetzen(kopien);
  EXPECT_EQ(f.Anzeige(), QStringLiteral("1 Kopie"));
  f.feld->GanzzahlWertSetzen(11);
  EXPECT_EQ(f.Anzeige(), QStringLiteral("11 Kopien"));

  ZahlFormat leereNull;
  leereNull.nullText = QString();
  f.feld->GanzzahlSetzen(false);
  f.feld->AnzeigeFormatSetzen(leereNull);
  f.feld->WertSetzen(Waehrung());
  EXPECT_EQ(f.Anzeige(), QString());
  EXPECT_TRUE(f.feld->Wert().has_value());  // a blank zero is still a value
}

TEST(ZahlFeld, BearbeitenRundetKeineVierNachkommastellen) {
  Fenster f;
  f.feld->WertSetzen(Euro("1,2345"));
  EXPECT_EQ(f.Anzeige(), QStringLiteral("1,23"));
  f.feld->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(f.Anzeige(), QStringLiteral("1,2345"));
  f.Verlassen();
  EXPECT_EQ(*f.feld->Wert(), Euro("1,2345"));
}

TEST(ZahlFeld, NegativeBetraegeInDerZweitfarbeUngueltigGelbAufRot) {
  Fenster f;
  f.feld->NegativFarbeSetzen(QColor(255, 0, 0));
  f.feld->WertSetzen(Euro("5"));
  const QColor normal = f.feld->palette().color(QPalette::Text);
  f.feld->WertSetzen(-Euro("5"));
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), QColor(255, 0, 0));
  f.feld->GueltigkeitAnzeigen(false);
  EXPECT_EQ(f.feld->palette().color(QPalette::Base), QColor(255, 0, 0));
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), QColor(255, 255, 0));
  f.feld->WertSetzen(Euro("5"));
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), QColor(255, 255, 255));
  f.feld->GueltigkeitAnzeigen(true);
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), normal);
}

TEST(ZahlFeld, TextfarbeBleibtUeberWertwechselNegativUndUngueltigGehenVor) {
  Fenster f;
  const QColor blau(0, 0, 255);
  const QColor rot(255, 0, 0);
  f.feld->TextFarbeSetzen(blau);
  f.feld->NegativFarbeSetzen(rot);
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), blau);
  f.feld->WertSetzen(Euro("7"));
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), blau);
  f.feld->WertSetzen(-Euro("7"));
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), rot);
  f.feld->Leeren();
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), blau);
  f.feld->GueltigkeitAnzeigen(false);
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), QColor(255, 255, 255));
  f.feld->GueltigkeitAnzeigen(true);
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), blau);
  // Typing keeps the colour too.
  f.Eingeben(QStringLiteral("12"));
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), blau);
  f.Verlassen();
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), blau);
  const QColor normal = QPalette().color(QPalette::Text);
  f.feld->TextFarbeSetzen(QColor());
  EXPECT_EQ(f.feld->palette().color(QPalette::Text), normal);
}

TEST(ZahlFeld, PfeiltastenNurMitDrehknoepfen) {
  Fenster f;
  f.feld->GanzzahlSetzen(true);
  f.feld->BereichSetzen(1, 9);
  f.feld->GanzzahlWertSetzen(8);
  f.feld->setFocus(Qt::TabFocusReason);
  QTest::keyClick(f.feld, Qt::Key_Up);
  EXPECT_EQ(f.feld->Ganzzahl(), 8);
  f.feld->PfeileSetzen(true);
  QTest::keyClick(f.feld, Qt::Key_Up);
  QTest::keyClick(f.feld, Qt::Key_Up);  // stops at the maximum
  EXPECT_EQ(f.feld->Ganzzahl(), 9);
  QTest::keyClick(f.feld, Qt::Key_Down);
  EXPECT_EQ(f.feld->Ganzzahl(), 8);
}

// A click into a field without an amount, anywhere in it: the digit typed is the amount (the cursor stood
// before the "0,00" of the edit form, and "2" became 20). A field with an amount keeps the click's position.
TEST(ZahlFeld, KlickInsLeereFeldErsetztDieNull) {
  for (const std::optional<Waehrung>& vorher : {std::optional<Waehrung>(), std::optional<Waehrung>(Waehrung())}) {
    Fenster f;
    ZahlFormat format;
    format.nullText = QString();   // zero shown as nothing, as the discount dialog shows it
    f.feld->AnzeigeFormatSetzen(format);
    f.feld->WertSetzen(vorher);
    QLineEdit* e = f.feld->findChild<QLineEdit*>();
    ASSERT_NE(e, nullptr);
    QTest::mouseClick(e, Qt::LeftButton, {}, QPoint(3, e->height() / 2));
    QApplication::processEvents();
    QTest::keyClicks(e, QStringLiteral("2"));
    f.Verlassen();
    ASSERT_TRUE(f.feld->Wert().has_value());
    EXPECT_EQ(*f.feld->Wert(), Euro("2")) << (vorher ? "Null" : "leer");
  }
  Fenster f;
  f.feld->WertSetzen(Euro("12,50"));
  QLineEdit* e = f.feld->findChild<QLineEdit*>();
  QTest::mouseClick(e, Qt::LeftButton, {}, QPoint(3, e->height() / 2));
  QApplication::processEvents();
  QTest::keyClicks(e, QStringLiteral("1"));
  f.Verlassen();
  EXPECT_EQ(*f.feld->Wert(), Euro("112,50"));
}

// Letters typed into an amount vanished without a word ("12ab,5x" became 12,50): each refused character
// now brings a visible hint; the digits typed stay as typed.
TEST(ZahlFeld, AbgelehnteZeichenWerdenGenannt) {
  Fenster f;
  QSignalSpy abgelehnt(f.feld, &ZahlFeld::EingabeAbgelehnt);
  f.Eingeben(QStringLiteral("12ab,5x"));
  ASSERT_EQ(abgelehnt.count(), 3);
  EXPECT_EQ(abgelehnt.at(0).at(0).toString(),
            QStringLiteral("„a“ ist hier nicht möglich und wurde nicht übernommen. "
                           "Erlaubt sind Ziffern, ein Komma und Punkte als Tausendertrennung."));
  EXPECT_TRUE(f.feld->LetzterHinweis().startsWith(QStringLiteral("„x“")));
  // A second comma is refused as well; valid keys bring no hint.
  QTest::keyClick(f.feld, Qt::Key_Comma);
  EXPECT_EQ(abgelehnt.count(), 4);
  QTest::keyClick(f.feld, Qt::Key_Backspace);
  QTest::keyClick(f.feld, Qt::Key_7);
  EXPECT_EQ(abgelehnt.count(), 4);
  EXPECT_EQ(*f.feld->Wert(), Euro("12,7"));

  // Pasted text that is no number: refused with the text named.
  QGuiApplication::clipboard()->setText(QStringLiteral("zwölf Euro"));
  f.Eingeben(QStringLiteral("1"));
  f.feld->selectAll();
  QTest::keySequence(f.feld, QKeySequence::Paste);
  ASSERT_EQ(abgelehnt.count(), 5);
  EXPECT_TRUE(f.feld->LetzterHinweis().startsWith(QStringLiteral("„zwölf Euro“ passt nicht in dieses Feld")));
  EXPECT_EQ(*f.feld->Wert(), Euro("1"));

  // Whole numbers name their rule.
  Fenster g;
  g.feld->GanzzahlSetzen(true);
  g.Eingeben(QStringLiteral("3,"));
  EXPECT_TRUE(g.feld->LetzterHinweis().endsWith(QStringLiteral("Erlaubt sind nur Ziffern.")));
}

TEST(ZahlFeld, UnlesbarerTextBleibtNichtStillBeimAltenWert) {
  struct Fall {
    const char* getippt;
    bool lesbar;
    std::optional<Waehrung> wert;  // after the take-over
  };
  const Fall faelle[] = {
      {"12.50", false, Euro("100")},  // point for the comma
      {"1.2", false, Euro("100")},
      {"1.", false, Euro("100")},
      {"-", false, Euro("100")},
      {"1.250", true, Euro("1250")},  // a thousands point reads
      {"12,5", true, Euro("12,5")},
      {"", true, std::nullopt},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.getippt);
    MeldungsRekorder rekorder;
    Fenster f;
    f.feld->WertSetzen(Euro("100"));
    f.Eingeben(QString::fromUtf8(fall.getippt));
    EXPECT_EQ(f.feld->EingabeLesbar(), fall.lesbar);
    EXPECT_EQ(f.feld->EingabePruefen(), fall.lesbar);
    if (!fall.lesbar) {
      // The message names the text; the text stays for correcting, with the focus.
      ASSERT_EQ(rekorder.Anzahl(), 1);
      EXPECT_TRUE(rekorder.Letzter().text.startsWith(QStringLiteral("„%1“ ist kein gültiger Betrag.").arg(QString::fromUtf8(fall.getippt))));
      EXPECT_EQ(f.feld->text(), QString::fromUtf8(fall.getippt));
      EXPECT_TRUE(f.feld->hasFocus());
      // The message box taking the focus leaves the text as well.
      QFocusEvent zumMeldungsfenster(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
      QApplication::sendEvent(f.feld, &zumMeldungsfenster);
      EXPECT_EQ(f.feld->text(), QString::fromUtf8(fall.getippt));
      // Leaving keeps the value from before and says so beside the field.
      rekorder.Leeren();
      f.Verlassen();
      ASSERT_EQ(rekorder.Anzahl(), 1);
      EXPECT_TRUE(rekorder.Letzter().randhinweis);
      EXPECT_TRUE(rekorder.Letzter().text.endsWith(QStringLiteral("Es bleibt bei 100,00.")));
    } else {
      EXPECT_EQ(rekorder.Anzahl(), 0);
      f.Verlassen();
      EXPECT_EQ(rekorder.Anzahl(), 0);
    }
    EXPECT_EQ(f.feld->Wert(), fall.wert);
  }
}

// A total field as wide as it asks to be shows the total of 100,000 payments of the largest amount whole,
// with either sign. Whatever does not fit its width (a larger total, a narrower field, a larger font) shows
// "###" with the whole value in the tooltip beside the window's own, never the value's right part; it shows
// the value again once it fits.
TEST(ZahlFeld, WasNichtPasstZeigtRautenMitDemGanzenWertImTipp) {
  QWidget w;
  auto* feld = new ZahlFeld(&w);
  feld->setReadOnly(true);
  feld->setFocusPolicy(Qt::NoFocus);
  feld->AnzeigeFormatSetzen(ZahlFormat{2, true, {}, {}, QStringLiteral("###")});
  feld->BreitenprobeSetzen(ZahlFeld::SummenBreitenprobe());
  feld->setToolTip(QStringLiteral("Gesamtsumme"));
  w.resize(900, 100);
  w.show();
  const QSize groesse = feld->sizeHint();
  feld->resize(groesse);
  const Waehrung probe = ZahlFeld::SummenBreitenprobe();
  EXPECT_EQ(probe, Euro("99.999.999.999.000,00"));
  for (const Waehrung& wert : {probe, -probe}) {
    feld->WertSetzen(wert);
    EXPECT_EQ(feld->text(), wert.FormatDeutsch(true, 2));
    EXPECT_FALSE(feld->Gekuerzt());
    EXPECT_EQ(feld->toolTip(), QStringLiteral("Gesamtsumme"));
  }

  // One digit more than the field was made for.
  const Waehrung riesig = Waehrung::AusRoh(9'000'000'000'000'000'000);
  feld->WertSetzen(riesig);
  EXPECT_EQ(feld->text(), QStringLiteral("###"));
  EXPECT_TRUE(feld->Gekuerzt());
  EXPECT_EQ(feld->Wert(), riesig);
  EXPECT_EQ(feld->toolTip(), QStringLiteral("Gesamtsumme\n900.000.000.000.000,00"));
  // The window's tooltip changed meanwhile: the value stays in it, and the window's text returns alone.
  feld->setToolTip(QStringLiteral("Summe Lastschriften"));
  EXPECT_EQ(feld->toolTip(), QStringLiteral("Summe Lastschriften\n900.000.000.000.000,00"));
  feld->resize(groesse.width() + 100, groesse.height());
  EXPECT_EQ(feld->text(), QStringLiteral("900.000.000.000.000,00"));
  EXPECT_EQ(feld->toolTip(), QStringLiteral("Summe Lastschriften"));

  // The probe at the edge: the narrowest width that shows it whole, and one pixel less.
  feld->WertSetzen(-probe);
  int breite = groesse.width();
  feld->resize(breite, groesse.height());
  ASSERT_FALSE(feld->Gekuerzt());
  while (breite > 0 && !feld->Gekuerzt()) feld->resize(--breite, groesse.height());
  EXPECT_GT(breite, groesse.width() - 10);   // the field asks for no more than it needs
  EXPECT_EQ(feld->text(), QStringLiteral("###"));
  EXPECT_EQ(feld->toolTip(), QStringLiteral("Summe Lastschriften\n-99.999.999.999.000,00"));
  feld->resize(breite + 1, groesse.height());
  EXPECT_EQ(feld->text(), QStringLiteral("-99.999.999.999.000,00"));

  // A larger font (the payment list's total) measures again.
  feld->resize(groesse);
  QFont gross = feld->font();
  gross.setPointSizeF(gross.pointSizeF() * 1.5);
  feld->setFont(gross);
  for (QWidget* innen : feld->findChildren<QWidget*>()) innen->setFont(gross);
  EXPECT_EQ(feld->text(), QStringLiteral("###"));
  EXPECT_GT(feld->sizeHint().width(), groesse.width());
  feld->resize(feld->sizeHint());
  EXPECT_EQ(feld->text(), QStringLiteral("-99.999.999.999.000,00"));

  // Empty (a total that cannot be formed) keeps its own text and the window's reason.
  feld->resize(40, groesse.height());
  feld->WertSetzen(std::nullopt);
  feld->setToolTip(QStringLiteral("Die Summe ist zu groß."));
  EXPECT_EQ(feld->text(), QStringLiteral("###"));
  EXPECT_FALSE(feld->Gekuerzt());
  EXPECT_EQ(feld->toolTip(), QStringLiteral("Die Summe ist zu groß."));
}

// An amount field the user types into: what was typed scrolls with the cursor while typing; left, a value
// wider than the field shows "###" with the value in the tooltip, and typing in it again shows it whole.
TEST(ZahlFeld, GetippterWertZuBreitFuerDasFeldWirdNichtAbgeschnitten) {
  Fenster f;
  f.feld->setFixedWidth(f.feld->sizeHint().width());
  QApplication::processEvents();
  f.Eingeben(QStringLiteral("9999999"));
  f.Verlassen();
  EXPECT_EQ(f.Anzeige(), QStringLiteral("9.999.999,00"));   // the field's own size holds its seven digits
  EXPECT_FALSE(f.feld->Gekuerzt());

  f.Eingeben(QStringLiteral("123456789012345"));
  EXPECT_EQ(f.Anzeige(), QStringLiteral("123456789012345"));
  f.Verlassen();
  EXPECT_EQ(f.feld->Wert(), Euro("123456789012345"));
  EXPECT_EQ(f.Anzeige(), QStringLiteral("###"));
  EXPECT_EQ(f.feld->toolTip(), QStringLiteral("123.456.789.012.345,00"));
  f.feld->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(f.Anzeige(), QStringLiteral("123456789012345,00"));
  EXPECT_EQ(f.feld->toolTip(), QString());
  f.Verlassen();
  EXPECT_EQ(f.Anzeige(), QStringLiteral("###"));
}
