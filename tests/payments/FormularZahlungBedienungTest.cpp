// The payment form as a new user meets it: help, keys, dates, line entry by keyboard, tab order,
// the due-date limit and the captions.
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "FensterTestumgebung.h"
#include "common/Programmzustand.h"
#include "masterdata/core/Suchlistenquelle.h"
#include "payments/FormularZahlung.h"
#include "platform/db/Datenbank.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/ZweispaltenCombo.h"
#include "testsupport/Hilfeseite.h"
#include "testsupport/ModaleMeldung.h"
#include "testsupport/QtWarnungen.h"

namespace {

class Bedienung : public ::testing::Test {
 protected:
  // Keys as the user types them: each one to the widget that has the focus at that moment.
  static void Tippen(const QString& text) {
    for (QChar c : text) {
      QTest::keyClicks(QApplication::focusWidget(), QString(c));
      QApplication::processEvents();
    }
  }
  static void Taste(int taste, Qt::KeyboardModifiers mod = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(taste), mod);
    QApplication::processEvents();
  }
  // A new credit transfer up to its lines, by keyboard only.
  FormularZahlung& NeueZahlungBisZuDenZeilen() {
    FormularZahlung& f = u.Fenster();
    f.activateWindow();
    f.Browsegitter()->Ansicht()->setFocus();
    Taste(Qt::Key_F9);
    for (const char* feld : {"Meier GmbH", "Commerzbank", "COBADEFFXXX", "DE89370400440532013000"}) {
      Tippen(QString::fromUtf8(feld));
      Taste(Qt::Key_Return);
    }
    Taste(Qt::Key_Return);  // purpose code
    Tippen(QStringLiteral("15032024"));
    Taste(Qt::Key_Return);  // due date
    return f;
  }
  // One line: item number, date, the text the template made of them, an amount.
  static void ZeileTippen(const QString& nr, const QString& datum, const QString& betrag) {
    Tippen(nr);
    Taste(Qt::Key_Return);
    Tippen(datum);
    Taste(Qt::Key_Return);
    Taste(Qt::Key_Return);  // the text stays as the template wrote it
    Tippen(betrag);
    Taste(Qt::Key_Return);
    Taste(Qt::Key_Return);  // discount
    Taste(Qt::Key_Return);  // paid amount: the line is stored
  }
  QStringList Zeilentexte(qint64 nr) {
    QStringList t;
    u.Db().Abfragen("SELECT ZeilenNr, Verwendungszweck, ZahlungsBetrag FROM Verwendungszweck WHERE ZahlungNr = ? "
                    "ORDER BY ZeilenNr",
                    {QVariant(nr)}, [&t](const Zeile& z) {
                      t << z.Wert(0).toString() + QStringLiteral("|") + z.Wert(1).toString() + QStringLiteral("|") +
                               Waehrung::AusRoh(z.Wert(2).toLongLong()).FormatDeutsch();
                      return true;
                    });
    return t;
  }
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

// Enter from "IBAN" went into the lines and skipped "Textschlüssel" and "Fällig".
TEST_F(Bedienung, EnterFolgtDenFeldernVonObenNachUnten) {
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  f.Maske(4)->setFocus();
  Taste(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f.TextschluesselFeld());
  Taste(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f.FaelligFeld());
  Taste(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f.Zeilengitter()->Ansicht());  // credit transfer: no mandate
  // A direct debit goes through the mandate group first.
  ASSERT_TRUE(f.Befehl(QStringLiteral("Schliessen")));
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  f.FaelligFeld()->setFocus();
  Taste(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f.Maske(1));
  Taste(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f.MandatDatumFeld());
}

// A whole payment with five lines by keyboard only: Enter runs through the cells and from the
// last column of a line to the next one, the new row is there as soon as a line is stored, and
// after the fifth line Enter leaves the lines. Nothing is written to stderr on the way.
TEST_F(Bedienung, FuenfZeilenNurMitDerTastatur) {
  QtWarnungen warnungen;
  FormularZahlung& f = NeueZahlungBisZuDenZeilen();
  const qint64 nr = *f.AktuelleZahlungNr();
  DatenGitter* g = f.Zeilengitter();
  ASSERT_EQ(QApplication::focusWidget(), g->Ansicht());
  for (int i = 1; i <= 5; ++i) {
    ZeileTippen(QString::number(4710 + i), QStringLiteral("0%1.03.24").arg(i), QString::number(100 * i));
    if (i < 5) {
      EXPECT_EQ(g->ZeilenAnzahl(), i);
      EXPECT_TRUE(g->IstNeueZeile(g->AktuelleZeile())) << i;
      EXPECT_EQ(g->Spalte(g->AktuelleSpalte()).feld, QStringLiteral("OPVorgangNr"));
    }
  }
  EXPECT_FALSE(g->Ansicht()->hasFocus());  // after the fifth line Enter leaves the lines
  // The five lines and the new row are in view together.
  EXPECT_GE(g->Ansicht()->viewport()->height(), 6 * g->Ansicht()->verticalHeader()->defaultSectionSize());
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  Taste(Qt::Key_F9);
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(Zeilentexte(nr), (QStringList{QStringLiteral("1|RG 4711 vom 01.03.24|100,00"),
                                          QStringLiteral("2|RG 4712 vom 02.03.24|200,00"),
                                          QStringLiteral("3|RG 4713 vom 03.03.24|300,00"),
                                          QStringLiteral("4|RG 4714 vom 04.03.24|400,00"),
                                          QStringLiteral("5|RG 4715 vom 05.03.24|500,00")}));
  EXPECT_EQ(u.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(), Eur(1500).Roh());
  EXPECT_EQ(u.Wert("SELECT Fällig FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("2024-03-15"));
  EXPECT_TRUE(warnungen.Texte().isEmpty()) << warnungen.Texte().join(QLatin1Char('\n')).toStdString();
}

// Tab and Down do what Enter does on the last column; Shift+Tab goes back.
TEST_F(Bedienung, TabUndPfeilAbGehenZurNaechstenZeile) {
  FormularZahlung& f = NeueZahlungBisZuDenZeilen();
  DatenGitter* g = f.Zeilengitter();
  Tippen(QStringLiteral("1"));
  Taste(Qt::Key_Tab);
  EXPECT_EQ(g->Spalte(g->AktuelleSpalte()).feld, QStringLiteral("Vorgangsdatum"));
  Taste(Qt::Key_Backtab);
  EXPECT_EQ(g->Spalte(g->AktuelleSpalte()).feld, QStringLiteral("OPVorgangNr"));
  g->SetzeAktuelleZelle(0, g->SpaltenIndex(QStringLiteral("Verwendungszweck")));
  Tippen(QStringLiteral("Erste Zeile"));
  Taste(Qt::Key_Down);
  EXPECT_EQ(g->ZeilenAnzahl(), 1);
  EXPECT_EQ(g->AktuelleZeile(), 1);
  EXPECT_TRUE(g->IstNeueZeile(1));
  Tippen(QStringLiteral("Zweite Zeile"));
  Taste(Qt::Key_Tab);
  Taste(Qt::Key_Tab);
  Taste(Qt::Key_Tab);
  Taste(Qt::Key_Tab);  // the last column: the line is stored
  EXPECT_EQ(g->ZeilenAnzahl(), 2);
  EXPECT_EQ(g->AktuelleZeile(), 2);
  // Esc on a line being typed drops it without asking (the grid's own rule), then Shift+Tab from
  // the first cell goes back to the line above.
  Tippen(QStringLiteral("Dritte"));
  Taste(Qt::Key_Return);
  Taste(Qt::Key_Escape);
  EXPECT_FALSE(g->ZeileAusstehend());
  EXPECT_EQ(u.Meldungen().Anzahl(), 0);
  EXPECT_EQ(g->ZeilenAnzahl(), 2);
}

// The line template wrote the long date although "TT.MM.JJ" was set.
TEST_F(Bedienung, ZeilenvorlageSchreibtDasKurzeDatum) {
  FormularZahlung& f = NeueZahlungBisZuDenZeilen();
  const qint64 nr = *f.AktuelleZahlungNr();
  ZeileTippen(QStringLiteral("2026-000123"), QStringLiteral("15.01.2026"), QStringLiteral("10"));
  EXPECT_EQ(Zeilentexte(nr), QStringList{QStringLiteral("1|RG 2026-000123 vom 15.01.26|10,00")});
}

// "31.02.2026" in "Fällig" or "Mandat-Datum" was erased without a word when the field was left, and
// saving stored the payment without a due date.
TEST_F(Bedienung, UnmoeglichesDatumMeldetSichUndBehaeltDenFokus) {
  FormularZahlung& f = u.Fenster();
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  for (DatumFeld* feld : {f.FaelligFeld(), f.MandatDatumFeld()}) {
    u.Meldungen().Leeren();
    feld->setFocus();
    feld->setCursorPosition(0);
    Tippen(QStringLiteral("31022026"));
    Taste(Qt::Key_Return);
    ASSERT_EQ(u.Meldungen().Anzahl(), 1) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(u.Meldungen().Letzter().text.startsWith(QStringLiteral("\u201E31.02.2026\u201C ist kein gültiges Datum.")))
        << u.Meldungen().Letzter().text.toStdString();
    EXPECT_EQ(QApplication::focusWidget(), feld);
    EXPECT_EQ(feld->text(), QStringLiteral("31.02.2026"));
    // Leaving it again asks again; so the field is corrected (here: emptied) before the next one.
    feld->selectAll();
    Taste(Qt::Key_Delete);
  }
  // Saving from the field itself (F9 while it has the focus) stops at the date as well.
  f.FaelligFeld()->setFocus();
  f.FaelligFeld()->setCursorPosition(0);
  Tippen(QStringLiteral("310226"));
  u.Meldungen().Leeren();
  const qint64 nr = *f.AktuelleZahlungNr();
  Taste(Qt::Key_F9);
  ASSERT_EQ(u.Meldungen().Anzahl(), 1) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(u.Meldungen().Letzter().text.startsWith(QStringLiteral("\u201E31.02.26\u201C ist kein gültiges Datum.")));
  EXPECT_EQ(QApplication::focusWidget(), f.FaelligFeld());
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
  EXPECT_TRUE(u.Wert("SELECT Fällig FROM Zahlungen WHERE ZahlungNr = ?", {nr}).isNull());
}

// On a desktop the message about a wrong line date takes the focus from the cell editor. The editor
// was then closed and deleted behind the message, and the grid went on with the deleted editor: the
// program crashed at the second wrong date.
TEST_F(Bedienung, FalschesZeilendatumHinterEinerEchtenMeldung) {
  FormularZahlung& f = NeueZahlungBisZuDenZeilen();
  const qint64 nr = *f.AktuelleZahlungNr();
  ModaleMeldung meldungen;
  Tippen(QStringLiteral("R-1"));
  Taste(Qt::Key_Return);
  int erwartet = 0;
  for (const char* falsch : {"22126", "310226"}) {
    if (auto* offen = qobject_cast<QLineEdit*>(QApplication::focusWidget())) offen->selectAll();
    Tippen(QString::fromUtf8(falsch));
    Taste(Qt::Key_Return);
    ++erwartet;
    ASSERT_EQ(meldungen.Anzahl(), erwartet) << meldungen.Texte().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(meldungen.Aktiviert(), erwartet);  // the focus really went to the message
    ASSERT_TRUE(f.Zeilengitter()->EditorOffen()) << falsch;
    QApplication::processEvents();                // a deferred deletion would happen here
    ASSERT_TRUE(f.Zeilengitter()->EditorOffen()) << falsch;
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << falsch;
    EXPECT_EQ(editor->text(), QString::fromUtf8(falsch));
  }
  qobject_cast<QLineEdit*>(QApplication::focusWidget())->selectAll();
  Tippen(QStringLiteral("220126"));
  Taste(Qt::Key_Return);
  Taste(Qt::Key_Return);  // the text stays as the template wrote it
  Tippen(QStringLiteral("10"));
  Taste(Qt::Key_Return);
  Taste(Qt::Key_Return);
  Taste(Qt::Key_Return);
  EXPECT_EQ(meldungen.Anzahl(), erwartet);
  EXPECT_EQ(Zeilentexte(nr), QStringList{QStringLiteral("1|RG R-1 vom 22.01.26|10,00")});
}

// The same for "Fällig" behind a real message window: one message, and the field keeps text and focus.
TEST_F(Bedienung, FalschesFaelligdatumHinterEinerEchtenMeldung) {
  FormularZahlung& f = u.Fenster();
  f.activateWindow();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  ModaleMeldung meldungen;
  f.FaelligFeld()->setFocus();
  f.FaelligFeld()->setCursorPosition(0);
  Tippen(QStringLiteral("310226"));
  Taste(Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(meldungen.Anzahl(), 1) << meldungen.Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(meldungen.Aktiviert(), 1);
  EXPECT_EQ(QApplication::focusWidget(), f.FaelligFeld());
  EXPECT_EQ(f.FaelligFeld()->text(), QStringLiteral("31.02.26"));
}

// The line grid's "Vom" dropped "15012026"; now it reads every form a date field reads.
TEST_F(Bedienung, ZeilendatumOhnePunkte) {
  FormularZahlung& f = NeueZahlungBisZuDenZeilen();
  const qint64 nr = *f.AktuelleZahlungNr();
  ZeileTippen(QStringLiteral("815"), QStringLiteral("15012026"), QStringLiteral("10"));
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(u.Wert("SELECT Vorgangsdatum FROM Verwendungszweck WHERE ZahlungNr = ?", {nr}).toString(),
            QStringLiteral("2026-01-15"));
  EXPECT_EQ(Zeilentexte(nr), QStringList{QStringLiteral("1|RG 815 vom 15.01.26|10,00")});
}

// With a due-date limit (F6) the window showed fewer payments without saying so.
TEST_F(Bedienung, FaelligkeitsgrenzeStehtImTitel) {
  FormularZahlung& f = u.Fenster();
  std::optional<QDate> antwort = QDate(2024, 3, 15);
  f.FaelligAbfrageSetzen([&](const std::optional<QDate>&) { return antwort; });
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Zahlungen erfassen"));
  f.Browsegitter()->Ansicht()->setFocus();
  Taste(Qt::Key_F6);
  EXPECT_EQ(f.windowTitle(),
            QStringLiteral("Zahlungen erfassen \u2013 nur fällig bis 15.03.2024 (alle wieder: F6, dann \u201EAbbruch\u201C)"));
  antwort = std::nullopt;  // "Abbruch"
  Taste(Qt::Key_F6);
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Zahlungen erfassen"));
}

// Column captions came out cut ("Mandat-Referen" once the direct debits showed their mandate columns).
TEST_F(Bedienung, SpaltentitelDerListeSindGanz) {
  FormularZahlung& f = u.Fenster();
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  f.resize(640, 600);  // a small window: the columns share less room
  QApplication::processEvents();
  for (const DatenGitter* g : {f.Browsegitter(), f.Zeilengitter()}) {
    const QHeaderView* kopf = g->Ansicht()->horizontalHeader();
    const QFontMetrics fm(kopf->font());
    for (int s = 0; s < g->SpaltenAnzahl(); ++s) {
      if (!g->SpalteSichtbar(s)) continue;
      EXPECT_GT(kopf->sectionSize(s), fm.horizontalAdvance(g->Spalte(s).titel)) << g->Spalte(s).titel.toStdString();
    }
  }
}

// "Konto-Nr" of the payment list was the address number, while "Konto-Nr." in the address window is the
// bank account: a field carries the same caption in both windows.
TEST_F(Bedienung, SpaltentitelWieImAdressfenster) {
  FormularZahlung& f = u.Fenster();
  const DatenGitter* g = f.Browsegitter();
  int verglichen = 0;
  for (int s = 0; s < g->SpaltenAnzahl(); ++s) {
    const QString feld = g->Spalte(s).feld;
    if (Suchlistenquelle::Spaltentitel(feld) == feld) continue;   // no caption of its own there
    EXPECT_EQ(g->Spalte(s).titel, Suchlistenquelle::Spaltentitel(feld)) << feld.toStdString();
    ++verglichen;
  }
  EXPECT_GE(verglichen, 1);
  EXPECT_EQ(g->Spalte(g->SpaltenIndex(QStringLiteral("OPKontoNr"))).titel, QStringLiteral("Adress-Nr."));
}

// At the default size the list cut IBAN, BIC and the amount ("DE021203…", "BYLADEM1…", "2.977.231,…") while room
// stood free beside the last column: they show whole now, the name gives way and the columns fill the grid.
TEST_F(Bedienung, ListeZeigtIbanBicUndBetragGanz) {
  FensterTestumgebung::Zahlung z;
  z.name = QStringLiteral("Lieferant Meier Großhandel für Bürobedarf und Schreibwaren GmbH");
  z.iban = QStringLiteral("DE02120300000000202051");
  z.bic = QStringLiteral("BYLADEM1001");
  z.gesamt = Waehrung::AusCent(99999999999);
  u.ZahlungAnlegen(z);
  FormularZahlung& f = u.Fenster();
  QApplication::processEvents();
  const DatenGitter* g = f.Browsegitter();
  ASSERT_EQ(g->ZeilenAnzahl(), 1);
  for (const char* feld : {"IBAN", "BIC", "ZahlungGesamt", "Fällig"}) {
    const int s = g->SpaltenIndex(QString::fromUtf8(feld));
    EXPECT_EQ(g->ZellTipp(0, s), QString()) << feld << ": " << g->ZellText(0, s).toStdString();
    EXPECT_EQ(g->ZellAnzeige(0, s), g->ZellText(0, s)) << feld;
  }
  int summe = 0;
  for (int s = 0; s < g->SpaltenAnzahl(); ++s)
    if (g->SpalteSichtbar(s)) summe += g->Spaltenbreite(s);
  EXPECT_NEAR(summe, g->Ansicht()->viewport()->width(), 2);
}

// Failures came without an icon: errors now carry the error icon, refused input the warning icon.
TEST_F(Bedienung, FehlerUndWarnungenMitIhremSymbol) {
  const qint64 nr = u.ZahlungAnlegen({});
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.ZahlungAnsteuern(nr));
  u.Db().SetzeStoerung([](const QString& sql) {
    return sql.contains(QStringLiteral("DELETE")) ? DbFehler{5, QStringLiteral("gesperrt")} : DbFehler{};
  });
  ASSERT_TRUE(f.Befehl(QStringLiteral("Löschen")));
  u.Db().SetzeStoerung({});
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Letzter().symbol, MeldungsSymbol::Kritisch);

  // A line without text is refused with the warning icon.
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  DatenGitter* g = f.Zeilengitter();
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(g->ZeilenAnzahl(), g->SpaltenIndex(QStringLiteral("OPBetrag")));
  Tippen(QStringLiteral("5"));
  Taste(Qt::Key_Return);  // on to the discount; the line holds the amount
  Taste(Qt::Key_Down);    // store it: refused, it has no text
  ASSERT_EQ(u.Meldungen().Anzahl(), 2) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(u.Meldungen().Letzter().text.startsWith(QStringLiteral("Der Verwendungszweck darf nicht leer sein!")));
  EXPECT_EQ(u.Meldungen().Letzter().symbol, MeldungsSymbol::Ausruf);
}

}  // namespace
