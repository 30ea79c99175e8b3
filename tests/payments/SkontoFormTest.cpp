#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "FensterTestumgebung.h"
#include "common/Programmzustand.h"
#include "payments/FaelligAbfrage.h"
#include "payments/SkontoForm.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "platform/db/Wertumwandlung.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/HilfeFenster.h"
#include "platform/ui/Werkzeugleiste.h"
#include "platform/ui/ZahlFeld.h"

namespace {

Bedingung Liste(const Bedingung& suchfilter = {}) {
  ZahlungenFilter f;
  f.absenderNr = 1;
  f.suchfilter = suchfilter;
  return ZahlungenBedingung(f);
}

// Types over the field's whole text, as a user who selected it.
void Tippen(ZahlFeld* feld, const QString& text) {
  feld->setFocus();
  feld->selectAll();
  QTest::keyClicks(feld, text);
  QApplication::processEvents();
}

// Anton: lines 1.000,00 and 300,00; Berta: one line 10,50.
class SkontoFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Registrierung::Instanz().Loeschen(QStringLiteral("Skonto State"));
    FensterTestumgebung::Zahlung p;
    p.name = QStringLiteral("Anton");
    p.gesamt = Eur(1300);
    a = u.ZahlungAnlegen(p);
    a1 = u.ZeileAnlegen(a, 1, QStringLiteral("RG 1"), Eur(1000));
    a2 = u.ZeileAnlegen(a, 2, QStringLiteral("RG 2"), Eur(300));
    p.name = QStringLiteral("Berta");
    p.gesamt = Eur(10, 50);
    b = u.ZahlungAnlegen(p);
    b1 = u.ZeileAnlegen(b, 1, QStringLiteral("RG 3"), Eur(10, 50));
  }
  std::unique_ptr<SkontoForm> Dialog(std::optional<qint64> start, const Bedingung& liste = Liste()) {
    auto d = std::make_unique<SkontoForm>();
    d->Daten(liste, start, QApplication::font());
    d->show();
    QApplication::processEvents();
    return d;
  }
  Waehrung Betrag(const SqlText& sql, qint64 nr) { return WaehrungAusWert(u.Wert(sql, {nr})).value_or(Waehrung()); }
  Waehrung Zahlbetrag(qint64 lfdNr) { return Betrag("SELECT ZahlungsBetrag FROM Verwendungszweck WHERE LfdNr = ?", lfdNr); }
  Waehrung Gesamt(qint64 nr) { return Betrag("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", nr); }
  static QList<qint64> Marken(const SkontoForm& d) {
    QList<qint64> l;
    for (const QVariant& s : d.Gitter()->Marken()) l << s.toLongLong();
    return l;
  }
  static QString Fuss(const SkontoForm& d, const char* feld) {
    return d.Gitter()->FussText(d.Gitter()->SpaltenIndex(QString::fromUtf8(feld)));
  }

  FensterTestumgebung u;
  qint64 a = 0, a1 = 0, a2 = 0, b = 0, b1 = 0;
};

}  // namespace

TEST_F(SkontoFormTest, LadenMarkiertDieZeilenDerZahlungUndZeigtDieSummen) {
  auto d = Dialog(a);
  EXPECT_EQ(d->windowTitle(), QStringLiteral("Skonto-Funktionen"));
  DatenGitter* g = d->Gitter();
  ASSERT_EQ(g->ZeilenAnzahl(), 3);
  QStringList titel;
  for (int i = 0; i < g->SpaltenAnzahl(); ++i) titel << g->Spalte(i).titel;
  EXPECT_EQ(titel, (QStringList{QStringLiteral("Name"), QStringLiteral("Verwendungszweck"), QStringLiteral("OPBetrag"),
                                QStringLiteral("Skonto"), QStringLiteral("Betrag")}));
  EXPECT_EQ(g->ZellText(2, 4), QStringLiteral("10,50"));
  EXPECT_EQ(Marken(*d), (QList<qint64>{a1, a2}));
  EXPECT_EQ(g->AktuelleZeile(), 0);
  EXPECT_EQ(Fuss(*d, "Verwendungszweck"), QStringLiteral("Gesamtsummen"));
  EXPECT_EQ(Fuss(*d, "OPBetrag"), QStringLiteral("1.310,50"));
  EXPECT_EQ(Fuss(*d, "ZahlungsBetrag"), QStringLiteral("1.310,50"));
  EXPECT_EQ(Fuss(*d, "SkontoBetrag"), QStringLiteral(" "));
  // Defaults: discount on the marked lines.
  EXPECT_TRUE(d->Aktion(0)->isChecked());
  EXPECT_TRUE(d->SkontoProzent()->isEnabled());
  EXPECT_FALSE(d->Kommastellen(0)->isEnabled());
  EXPECT_TRUE(d->Selektion(0)->isChecked());
  EXPECT_TRUE(d->Command1(1)->isEnabled());
  EXPECT_TRUE(d->Command1(0)->isEnabled());
  EXPECT_FALSE(d->Command1(3)->isEnabled());
  EXPECT_EQ(d->Command1(0)->text(), QStringLiteral("Abzug &vornehmen"));
  EXPECT_EQ(d->Command1(3)->text(), QStringLiteral("Änderungen &zurücksetzen"));

  // The second payment's line: only it is marked.
  d = Dialog(b);
  EXPECT_EQ(Marken(*d), (QList<qint64>{b1}));
  EXPECT_EQ(d->Gitter()->AktuelleZeile(), 2);
}

TEST_F(SkontoFormTest, KnopfregelFolgtOptionenFeldernUndMarken) {
  auto d = Dialog(a);
  QTest::mouseClick(d->Aktion(1), Qt::LeftButton);
  EXPECT_TRUE(d->Kommastellen(0)->isEnabled());
  EXPECT_FALSE(d->SkontoProzent()->isEnabled());
  EXPECT_FALSE(d->Command1(0)->isEnabled());  // rounding with no places
  Tippen(d->Kommastellen(1), QStringLiteral("1"));
  EXPECT_TRUE(d->Command1(0)->isEnabled());  // while typing, before the field is left
  d->Kommastellen(1)->GanzzahlWertSetzen(0);
  EXPECT_FALSE(d->Command1(0)->isEnabled());
  d->Kommastellen(0)->GanzzahlWertSetzen(2);
  EXPECT_TRUE(d->Command1(0)->isEnabled());

  d->Gitter()->MarkenLeeren();
  EXPECT_FALSE(d->Command1(0)->isEnabled());
  QTest::mouseClick(d->Command1(2), Qt::LeftButton);  // "Markierung aufheben" marks the current line again
  EXPECT_EQ(Marken(*d), (QList<qint64>{a1}));
  EXPECT_TRUE(d->Command1(0)->isEnabled());

  d->Gitter()->MarkenLeeren();
  QTest::mouseClick(d->Selektion(1), Qt::LeftButton);
  EXPECT_FALSE(d->Command1(1)->isEnabled());
  EXPECT_FALSE(d->Command1(2)->isEnabled());
  EXPECT_TRUE(d->Command1(0)->isEnabled());  // all listed lines: the marks do not matter
  QTest::mouseClick(d->Command1(1), Qt::LeftButton);
  EXPECT_TRUE(Marken(*d).isEmpty());
  // Back to marked lines: the current line is marked at once.
  QTest::mouseClick(d->Selektion(0), Qt::LeftButton);
  EXPECT_EQ(Marken(*d).size(), 1);
  QTest::mouseClick(d->Command1(1), Qt::LeftButton);
  EXPECT_EQ(Marken(*d), (QList<qint64>{a1, a2, b1}));
  EXPECT_EQ(d->Gitter()->AktuelleZeile(), 0);
}

TEST_F(SkontoFormTest, LeertasteUndZeilenwechselMarkieren) {
  auto d = Dialog(b);
  QTableView* ansicht = d->Gitter()->Ansicht();
  ansicht->setFocus();
  QTest::keyClick(ansicht, Qt::Key_Space);
  EXPECT_TRUE(Marken(*d).isEmpty());
  QTest::keyClick(ansicht, Qt::Key_Space);
  EXPECT_EQ(Marken(*d), (QList<qint64>{b1}));
  // Moving with "only marked" marks each line reached, the earlier marks stay.
  QTest::keyClick(ansicht, Qt::Key_Up);
  QTest::keyClick(ansicht, Qt::Key_Up);
  EXPECT_EQ(Marken(*d), (QList<qint64>{b1, a2, a1}));
  QTest::mouseClick(d->Selektion(1), Qt::LeftButton);
  d->Gitter()->MarkenLeeren();
  ansicht->setFocus();
  QTest::keyClick(ansicht, Qt::Key_Down);
  EXPECT_TRUE(Marken(*d).isEmpty());
}

TEST_F(SkontoFormTest, DasGitterIstNurLesbar) {
  auto d = Dialog(a);
  DatenGitter* g = d->Gitter();
  EXPECT_FALSE(g->ZulassenAendern());
  EXPECT_FALSE(g->ZulassenNeu());
  g->SetzeAktuelleZelle(0, 4);
  g->Ansicht()->setFocus();
  QTest::keyClicks(g->Ansicht(), QStringLiteral("5"));
  QTest::keyClick(g->Ansicht(), Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_FALSE(g->ZeileAusstehend());
  EXPECT_FALSE(g->EditorOffen());
  EXPECT_EQ(Zahlbetrag(a1), Eur(1000));
}

TEST_F(SkontoFormTest, LaufUndZuruecksetzenBehaltenDieMarken) {
  auto d = Dialog(a);
  // Marked in this order: line 2, then line 1 of Anton.
  d->Gitter()->MarkenLeeren();
  d->Gitter()->MarkeSetzen(1);
  d->Gitter()->MarkeSetzen(0);
  d->SkontoProzent()->WertSetzen(Waehrung::AusCent(200));
  QTest::mouseClick(d->Command1(0), Qt::LeftButton);
  EXPECT_EQ(Zahlbetrag(a1), Eur(980));
  EXPECT_EQ(Zahlbetrag(a2), Eur(294));
  EXPECT_EQ(Zahlbetrag(b1), Eur(10, 50));
  EXPECT_EQ(Gesamt(a), Eur(1274));
  EXPECT_EQ(d->Gitter()->ZellText(0, 3), QStringLiteral("20,00"));
  EXPECT_EQ(Fuss(*d, "SkontoBetrag"), QStringLiteral("-26,00"));
  EXPECT_EQ(Fuss(*d, "ZahlungsBetrag"), QStringLiteral("1.284,50"));
  EXPECT_EQ(Marken(*d), (QList<qint64>{a2, a1}));
  EXPECT_TRUE(d->Command1(3)->isEnabled());
  EXPECT_TRUE(d->Command1(0)->isEnabled());

  // A rounding run over all listed lines, then the reset of both runs.
  QTest::mouseClick(d->Aktion(1), Qt::LeftButton);
  d->Kommastellen(0)->GanzzahlWertSetzen(1);
  QTest::mouseClick(d->Selektion(1), Qt::LeftButton);
  QTest::mouseClick(d->Command1(0), Qt::LeftButton);
  EXPECT_EQ(Zahlbetrag(a1), Eur(1000));
  EXPECT_EQ(Zahlbetrag(b1), Eur(10));
  EXPECT_EQ(Gesamt(b), Eur(10));
  QTest::mouseClick(d->Command1(3), Qt::LeftButton);
  EXPECT_EQ(Zahlbetrag(a1), Eur(1000));
  EXPECT_EQ(Zahlbetrag(a2), Eur(300));
  EXPECT_EQ(Zahlbetrag(b1), Eur(10, 50));
  EXPECT_EQ(Gesamt(a), Eur(1300));
  EXPECT_EQ(Gesamt(b), Eur(10, 50));
  EXPECT_FALSE(d->Command1(3)->isEnabled());
  EXPECT_EQ(Fuss(*d, "SkontoBetrag"), QStringLiteral(" "));
  EXPECT_EQ(Marken(*d), (QList<qint64>{a2, a1}));
  EXPECT_EQ(u.Meldungen().Anzahl(), 0);
}

TEST_F(SkontoFormTest, FehlschlagenderLaufWirdGemeldetUndAendertNichts) {
  auto d = Dialog(a);
  d->SkontoProzent()->WertSetzen(Waehrung::AusCent(300));
  u.Db().SetzeStoerung([](const QString& sql) {
    return sql.startsWith(QLatin1String("UPDATE Zahlungen")) ? DbFehler{5, QStringLiteral("database is locked")}
                                                             : DbFehler{};
  });
  u.Meldungen().BeiUnerwartet({});
  QTest::mouseClick(d->Command1(0), Qt::LeftButton);
  u.Db().SetzeStoerung({});
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Letzter().symbol, MeldungsSymbol::Kritisch);
  EXPECT_TRUE(u.Meldungen().Letzter().text.startsWith(QStringLiteral("Fehler beim Speichern der Daten!\r\rNr: 5\r")));
  EXPECT_EQ(Zahlbetrag(a1), Eur(1000));
  EXPECT_FALSE(d->Command1(3)->isEnabled());
  EXPECT_EQ(Marken(*d), (QList<qint64>{a1, a2}));
}

// A run the bank could not pay is refused with its reason as a warning, not as a failed store.
TEST_F(SkontoFormTest, AbgelehnterLaufWirdAlsWarnungGemeldet) {
  const Waehrung hoechst = Waehrung::AusCent(99999999999);
  ASSERT_TRUE(u.Db()
                  .Ausfuehren("UPDATE Verwendungszweck SET OPBetrag = ?, ZahlungsBetrag = ? WHERE LfdNr = ?",
                              {QVariant::fromValue(hoechst), QVariant::fromValue(hoechst), a1})
                  .Ok());
  auto d = Dialog(a);
  d->SkontoProzent()->WertSetzen(Waehrung::AusCent(-9999));
  u.Meldungen().BeiUnerwartet({});
  QTest::mouseClick(d->Command1(0), Qt::LeftButton);
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Letzter().symbol, MeldungsSymbol::Ausruf);
  EXPECT_TRUE(u.Meldungen().Letzter().text.startsWith(QStringLiteral("Der Betrag der Zeile \"RG 1\"")))
      << u.Meldungen().Letzter().text.toStdString();
  EXPECT_EQ(Zahlbetrag(a1), hoechst);
  EXPECT_FALSE(d->Command1(3)->isEnabled());
}

TEST_F(SkontoFormTest, SchliessenBehaeltDieLaeufeUndSpeichertDieEinstellungen) {
  {
    auto d = Dialog(a);
    Tippen(d->SkontoProzent(), QStringLiteral("2,5"));
    QTest::mouseClick(d->Command1(0), Qt::LeftButton);
    QTest::mouseClick(d->Selektion(1), Qt::LeftButton);
    QTest::keyClick(d->Gitter()->Ansicht(), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);
  }
  EXPECT_EQ(Zahlbetrag(a1), Eur(975));
  EXPECT_EQ(Gesamt(a), Eur(1267, 50));
  EXPECT_EQ(GetSetting(QStringLiteral("Skonto State"), QStringLiteral("Prozent")), QStringLiteral("2.5"));
  EXPECT_EQ(GetSetting(QStringLiteral("Skonto State"), QStringLiteral("Aktion")), QStringLiteral("True"));
  EXPECT_EQ(GetSetting(QStringLiteral("Skonto State"), QStringLiteral("Markierung")), QStringLiteral("False"));
  auto d = Dialog(a);
  EXPECT_EQ(d->SkontoProzent()->Wert(), Waehrung::AusCent(250));
  EXPECT_TRUE(d->Selektion(1)->isChecked());
  EXPECT_FALSE(d->Command1(1)->isEnabled());
  EXPECT_FALSE(d->Command1(3)->isEnabled());  // a new dialog has nothing of its own to reset
}

TEST_F(SkontoFormTest, AbfragefehlerWirdGemeldetUndDerDialogOeffnetLeer) {
  u.Db().SetzeStoerung([](const QString& sql) {
    return sql.contains(QLatin1String("Verwendungszweck.ZahlungNr IN")) ? DbFehler{1, QStringLiteral("kaputt")} : DbFehler{};
  });
  u.Meldungen().BeiUnerwartet({});
  auto d = Dialog(a);
  u.Db().SetzeStoerung({});
  ASSERT_GE(u.Meldungen().Anzahl(), 1);
  const QString text = u.Meldungen().Eintraege().first().text;
  EXPECT_TRUE(text.startsWith(QStringLiteral("Fehler bei der Datenermittlung!\r\rNr: 1\rBeschreibung: kaputt\rSELECT ")))
      << text.toStdString();
  EXPECT_EQ(u.Meldungen().Eintraege().first().symbol, MeldungsSymbol::Kritisch);
  EXPECT_EQ(d->Gitter()->ZeilenAnzahl(), 0);
  EXPECT_TRUE(d->isVisible());
  QTest::mouseClick(d->Command1(0), Qt::LeftButton);  // nothing to run on
  EXPECT_EQ(Zahlbetrag(a1), Eur(1000));
}

// --- From the payment form ---------------------------------------------------------------------

TEST_F(SkontoFormTest, ZahlungsformularUebergibtSeineListeUndLiestDanachNeu) {
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.ZahlungAnsteuern(b));
  QList<qint64> gezeigt;
  u.skontoHandlung = [&](SkontoForm& d) {
    EXPECT_TRUE(f.Leiste()->Gedrueckt(QStringLiteral("Skonto")));
    for (int z = 0; z < d.Gitter()->ZeilenAnzahl(); ++z) gezeigt << d.Gitter()->Schluessel(z).toLongLong();
    EXPECT_EQ(Marken(d), (QList<qint64>{b1}));
    QTest::mouseClick(d.Aktion(1), Qt::LeftButton);
    d.Kommastellen(0)->GanzzahlWertSetzen(1);
    QTest::mouseClick(d.Command1(0), Qt::LeftButton);
    QTest::mouseClick(d.Command1(4), Qt::LeftButton);
  };
  ASSERT_TRUE(f.Befehl(QStringLiteral("Skonto")));
  EXPECT_EQ(u.skontoAufrufe, 1);
  EXPECT_EQ(gezeigt, (QList<qint64>{a1, a2, b1}));
  EXPECT_FALSE(f.Leiste()->Gedrueckt(QStringLiteral("Skonto")));
  EXPECT_EQ(f.Skontodialog(), nullptr);
  // The list is read again: the new total, on the payment that was current.
  EXPECT_EQ(f.AktuelleZahlungNr(), b);
  EXPECT_EQ(f.GesamtFeld()->Wert(), Eur(1310));
  EXPECT_EQ(f.BetragFeld()->Wert(), Eur(10));
}

TEST_F(SkontoFormTest, DerDialogSiehtNurDieGefiltertenZahlungen) {
  FormularZahlung& f = u.Fenster();
  QTest::keyClick(f.Browsegitter()->Ansicht(), Qt::Key_F3);  // search mode
  QApplication::processEvents();
  f.Browsegitter()->SetzeFilterText(0, QStringLiteral("Ant"));
  ASSERT_TRUE(f.Browsegitter()->FilterAnwenden());
  ASSERT_EQ(f.AnzahlZahlungen(), 1);
  int zeilen = -1;
  u.skontoHandlung = [&](SkontoForm& d) { zeilen = d.Gitter()->ZeilenAnzahl(); };
  ASSERT_TRUE(f.Befehl(QStringLiteral("Skonto")));
  EXPECT_EQ(zeilen, 2);
}

TEST_F(SkontoFormTest, ProgrammendeBeiOffenemDialogSchliesstIhnWieSchliessen) {
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.ZahlungAnsteuern(a));
  bool formGeschlossen = false;
  u.skontoHandlung = [&](SkontoForm& d) {
    d.SkontoProzent()->WertSetzen(Waehrung::AusCent(200));
    QTest::mouseClick(d.Command1(0), Qt::LeftButton);
    // Shut-down closes the work windows while the dialog is still open.
    formGeschlossen = f.close();
    EXPECT_FALSE(d.isVisible());
  };
  ASSERT_TRUE(f.Befehl(QStringLiteral("Skonto")));
  EXPECT_TRUE(formGeschlossen);
  EXPECT_EQ(Zahlbetrag(a1), Eur(980));
  EXPECT_EQ(Gesamt(a), Eur(1274));
  EXPECT_EQ(GetSetting(QStringLiteral("Skonto State"), QStringLiteral("Prozent")), QStringLiteral("2"));
}

TEST_F(SkontoFormTest, F1ZeigtDieSeiteDesFenstersDasDenFokusHat) {
  Zustand().ProgrammVerzeichnisSetzen(QStringLiteral(TAMO_SOURCE_DIR "/resources/"));
  const QString hilfe = Zustand().ProgrammVerzeichnis() + QStringLiteral("help");
  FormularZahlung& f = u.Fenster();
  QString imDialog;
  u.skontoHandlung = [&](SkontoForm& d) {
    QTest::keyClick(d.Gitter()->Ansicht(), Qt::Key_F1);
    imDialog = HilfeFenster::Instanz(hilfe)->AktuelleDatei();
  };
  ASSERT_TRUE(f.Befehl(QStringLiteral("Skonto")));
  EXPECT_TRUE(imDialog.endsWith(QStringLiteral("/120.html"))) << imDialog.toStdString();
  QTest::keyClick(f.Browsegitter()->Ansicht(), Qt::Key_F1);
  EXPECT_TRUE(HilfeFenster::Instanz(hilfe)->AktuelleDatei().endsWith(QStringLiteral("/100.html")));
  FaelligAbfrage faellig;
  faellig.Daten(QApplication::font(), FensterTestumgebung::Heute());
  faellig.show();
  QApplication::processEvents();
  QTest::keyClick(faellig.Datumfeld(), Qt::Key_F1);
  EXPECT_TRUE(HilfeFenster::Instanz(hilfe)->AktuelleDatei().endsWith(QStringLiteral("/110.html")));
  HilfeFenster::Instanz(hilfe)->close();
}
