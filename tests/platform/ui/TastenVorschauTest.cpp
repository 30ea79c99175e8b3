#include "platform/ui/DatumFeld.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/TabTasteSenden.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/Werkzeugleiste.h"
#include "platform/ui/ZahlFeld.h"
#include "platform/ui/ZweispaltenCombo.h"

#include "QtAusgabe.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

struct Formular {
  QWidget w;
  Werkzeugleiste* leiste;
  MaskenFeld* name;
  ZahlFeld* betrag;
  DatumFeld* faellig;
  MaskenFeld* iban;
  ZweispaltenCombo* code;
  QPushButton* abbrechen;
  TastenVorschau* vorschau;
  QStringList gedrueckt;
  int hilfe = 0;

  Formular() {
    auto* l = new QVBoxLayout(&w);
    leiste = new Werkzeugleiste(&w);
    l->addWidget(leiste);
    name = new MaskenFeld(&w);
    betrag = new ZahlFeld(&w);
    faellig = new DatumFeld(&w);
    iban = new MaskenFeld(&w);
    code = new ZweispaltenCombo(&w);
    code->ZeileHinzufuegen(QStringLiteral("OTHR"), QStringLiteral("Sonstige"));
    abbrechen = new QPushButton(QStringLiteral("Abbruch"), &w);
    for (QWidget* x : {static_cast<QWidget*>(name), static_cast<QWidget*>(betrag), static_cast<QWidget*>(faellig),
                       static_cast<QWidget*>(iban), static_cast<QWidget*>(code), static_cast<QWidget*>(abbrechen)})
      l->addWidget(x);
    leiste->KnopfHinzufuegen(QStringLiteral("Neu"), QStringLiteral("&Neu<F9>"), QStringLiteral("Neu"));
    leiste->KnopfHinzufuegen(QStringLiteral("Löschen"), QStringLiteral("&Löschen"), QStringLiteral("Löschen"));
    leiste->KnopfHinzufuegen(QStringLiteral("Import"), QStringLiteral("&Import"), QStringLiteral("Import"));
    leiste->HandlerSetzen([this](const QString& k) { gedrueckt << k; });
    vorschau = new TastenVorschau(&w);
    vorschau->BuchstabeZuordnen(Qt::Key_N, leiste, QStringLiteral("Neu"));
    vorschau->BuchstabeZuordnen(Qt::Key_L, leiste, QStringLiteral("Löschen"));
    vorschau->BuchstabeZuordnen(Qt::Key_I, leiste, QStringLiteral("Import"));
    vorschau->HilfeSetzen([this] { ++hilfe; });
    vorschau->AbbrechenKnopfSetzen(abbrechen);
    w.show();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    name->setFocus(Qt::TabFocusReason);
  }
  // A key as the window system delivers it: to the focus widget, or to an open pop-up.
  void Taste(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(w.windowHandle(), k, m); }
};

}  // namespace

TEST(TastenVorschau, EnterBewegtDenFokusGenauEinFeldWeiter) {
  Formular f;
  QSignalSpy enter(f.name, &QLineEdit::returnPressed);
  f.Taste(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f.betrag);
  EXPECT_EQ(enter.count(), 0);  // the Enter itself is used up
  f.Taste(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(QApplication::focusWidget(), f.faellig);
  f.Taste(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f.iban);
}

TEST(TastenVorschau, EnterNimmtDenGetipptenBetragMit) {
  Formular f;
  f.betrag->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(f.betrag, QStringLiteral("12,5"));
  f.Taste(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f.faellig);
  EXPECT_EQ(f.betrag->Wert(), std::optional<Waehrung>(Waehrung::AusCent(1250)));
}

TEST(TastenVorschau, EnterAufEinemKnopfIstKeinTab) {
  Formular f;
  f.abbrechen->setFocus(Qt::TabFocusReason);
  f.Taste(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f.abbrechen);
}

TEST(TastenVorschau, TabTasteSendenLiefertNullUndBewegtVomAngegebenenFeld) {
  Formular f;
  EXPECT_EQ(TabTasteSenden(), 0);
  EXPECT_EQ(QApplication::focusWidget(), f.betrag);
  EXPECT_EQ(TabTasteSenden(f.iban), 0);
  EXPECT_EQ(QApplication::focusWidget(), f.code);
}

TEST(TastenVorschau, StrgOderAltMitBuchstabeDruecktNurSichtbareAktiveKnoepfe) {
  Formular f;
  f.leiste->AktiviertSetzen(QStringLiteral("Löschen"), false);
  f.leiste->SichtbarSetzen(QStringLiteral("Import"), false);

  f.Taste(Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(f.gedrueckt, QStringList{QStringLiteral("Neu")});
  f.Taste(Qt::Key_L, Qt::ControlModifier);
  f.Taste(Qt::Key_L, Qt::AltModifier);
  f.Taste(Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
  f.Taste(Qt::Key_I, Qt::AltModifier);
  EXPECT_EQ(f.gedrueckt, QStringList{QStringLiteral("Neu")});
  EXPECT_TRUE(f.name->text().isEmpty());  // the shortcuts are used up, never typed

  f.Taste(Qt::Key_N, Qt::AltModifier | Qt::ShiftModifier);  // Shift does not matter
  EXPECT_EQ(f.gedrueckt.size(), 2);

  f.leiste->AktiviertSetzen(QStringLiteral("Löschen"), true);
  f.leiste->SichtbarSetzen(QStringLiteral("Import"), true);
  f.Taste(Qt::Key_L, Qt::ControlModifier);
  f.Taste(Qt::Key_I, Qt::AltModifier);
  EXPECT_EQ(f.gedrueckt, (QStringList{QStringLiteral("Neu"), QStringLiteral("Neu"), QStringLiteral("Löschen"),
                                      QStringLiteral("Import")}));

  f.Taste(Qt::Key_N);  // without a modifier the letter is typed
  EXPECT_EQ(f.name->text(), QStringLiteral("n"));
  EXPECT_EQ(f.gedrueckt.size(), 4);
}

TEST(TastenVorschau, KlickUndDrueckenAufVerborgenenOderGesperrtenKnopfBleibenOhneWirkung) {
  Formular f;
  f.leiste->AktiviertSetzen(QStringLiteral("Löschen"), false);
  EXPECT_FALSE(f.leiste->Druecken(QStringLiteral("Löschen")));
  f.leiste->Knopf(QStringLiteral("Löschen"))->trigger();
  EXPECT_FALSE(f.leiste->Druecken(QStringLiteral("Gibt es nicht")));
  EXPECT_TRUE(f.gedrueckt.isEmpty());
  EXPECT_TRUE(f.leiste->Druecken(QStringLiteral("Neu")));
  EXPECT_EQ(f.gedrueckt.size(), 1);
}

TEST(TastenVorschau, EscDruecktAbbrechenUndF1ZeigtHilfe) {
  Formular f;
  QSignalSpy klick(f.abbrechen, &QPushButton::clicked);
  f.Taste(Qt::Key_Escape);
  EXPECT_EQ(klick.count(), 1);
  f.Taste(Qt::Key_F1);
  EXPECT_EQ(f.hilfe, 1);
  f.abbrechen->setEnabled(false);
  f.Taste(Qt::Key_Escape);
  EXPECT_EQ(klick.count(), 1);
}

TEST(TastenVorschau, OffeneAufklappListenBehaltenEscUndEnter) {
  Formular f;
  QSignalSpy klick(f.abbrechen, &QPushButton::clicked);
  f.faellig->setFocus(Qt::TabFocusReason);
  f.faellig->WertSetzen(QDate(2024, 6, 3));
  f.faellig->AufklappenOeffnen();
  ASSERT_TRUE(f.faellig->IstAufgeklappt());
  f.Taste(Qt::Key_Escape);
  EXPECT_FALSE(f.faellig->IstAufgeklappt());
  EXPECT_EQ(klick.count(), 0);  // the window did not see the Esc

  f.faellig->AufklappenOeffnen();
  f.Taste(Qt::Key_Return);
  EXPECT_FALSE(f.faellig->IstAufgeklappt());
  EXPECT_EQ(f.w.focusWidget(), f.faellig);  // no Enter-as-Tab either
  EXPECT_EQ(f.hilfe, 0);

  f.Taste(Qt::Key_Escape);  // now the window's own again
  EXPECT_EQ(klick.count(), 1);
}

TEST(TastenVorschau, EigenerHandlerZuerstUndZugeordneteTasten) {
  Formular f;
  int f9 = 0, rechner = 0;
  f.vorschau->TasteZuordnen(Qt::Key_F9, Qt::NoModifier, [&] { ++f9; return true; });
  f.vorschau->TasteZuordnen(Qt::Key_F2, Qt::ControlModifier, [&] { ++rechner; return true; });
  f.vorschau->TasteZuordnen(Qt::Key_F2, Qt::AltModifier, [&] { ++rechner; return true; });
  f.vorschau->HandlerSetzen([](QKeyEvent* e) { return e->key() == Qt::Key_Escape; });  // Esc taken by the window
  QSignalSpy klick(f.abbrechen, &QPushButton::clicked);
  f.Taste(Qt::Key_F9);
  f.Taste(Qt::Key_F2);
  f.Taste(Qt::Key_F2, Qt::ControlModifier);
  f.Taste(Qt::Key_F2, Qt::AltModifier);
  f.Taste(Qt::Key_Escape);
  EXPECT_EQ(f9, 1);
  EXPECT_EQ(rechner, 2);
  EXPECT_EQ(klick.count(), 0);
}

TEST(TastenVorschau, FensterTastenGehenVorDenKuerzelnDerBeschriftungen) {
  Formular f;
  auto* beschriftung = new QLabel(QStringLiteral("&Name"), &f.w);
  beschriftung->setBuddy(f.iban);
  beschriftung->show();
  f.Taste(Qt::Key_N, Qt::AltModifier);
  EXPECT_EQ(f.gedrueckt, QStringList{QStringLiteral("Neu")});
  EXPECT_EQ(f.w.focusWidget(), f.name);  // the label's mnemonic did not take the key
}
