#include <QApplication>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "FensterTestumgebung.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/Werkzeugleiste.h"

namespace {

// Four credit transfers: two faultless, one with a wrong IBAN, one whose payee name is cleaned and
// whose BIC is incomplete.
class PruefmodusFensterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Registrierung::Instanz().Loeschen(QStringLiteral("Formular State"));
    FensterTestumgebung::Zahlung p;
    p.gesamt = Eur(100);
    p.name = QStringLiteral("Anton");
    gut1 = Zeile(u.ZahlungAnlegen(p));
    p.name = QStringLiteral("Berta");
    p.iban = QStringLiteral("DE89370400440532013001");
    iban = Zeile(u.ZahlungAnlegen(p));
    p.name = QStringLiteral("Cäsar!");
    p.iban = QStringLiteral("DE89370400440532013000");
    p.bic = QStringLiteral("COBADEF");
    bic = Zeile(u.ZahlungAnlegen(p));
    p.name = QStringLiteral("Dora");
    p.bic = QStringLiteral("COBADEFFXXX");
    gut2 = Zeile(u.ZahlungAnlegen(p));
  }
  qint64 Zeile(qint64 nr) {
    u.ZeileAnlegen(nr, 1, QStringLiteral("RG 1"), Eur(100));
    return nr;
  }
  FensterTestumgebung u;
  qint64 gut1 = 0, iban = 0, bic = 0, gut2 = 0;
};

}  // namespace

TEST_F(PruefmodusFensterTest, FehlerhafteBleibenGelistetBisDerPruefmodusEndet) {
  FormularZahlung& f = u.Fenster();
  Werkzeugleiste* l = f.Leiste();
  ASSERT_TRUE(f.ZahlungAnsteuern(gut2));
  EXPECT_EQ(l->Tooltip(QStringLiteral("Prüfen")), QStringLiteral("Zahlungen auf Fehler prüfen"));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Prüfen")));
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Letzter().text,
            QStringLiteral("Die Prüfung hat folgendes Ergebnis ermittelt:\r\r"
                           "Geprüfte Zahlungen:        \t4\r"
                           "Fehlerhafte Zahlungen:     \t2\r"
                           "Fehlerhafte Einzelangaben: \t1\r"
                           "Zahlung mit falscher BIC:  \t1\r"
                           "Automatische Korrekturen:  \t1\r\r"
                           "Die Anzeige wird auf die Selektion dieser Zahlungen umgeschaltet.\r"
                           "Es werden also nur die fehlerhaften Zahlungen angezeigt, solange\r"
                           "bis der Prüfmodus wieder ausgeschaltet wird."));
  EXPECT_EQ(u.Meldungen().Letzter().titel, Meldung::ProgrammTitel());
  EXPECT_TRUE(f.ZustandDerMaske().NurFehlerhafte());
  EXPECT_EQ(f.AnzahlZahlungen(), 2);
  EXPECT_TRUE(l->Gedrueckt(QStringLiteral("Prüfen")));
  EXPECT_EQ(l->Tooltip(QStringLiteral("Prüfen")), QStringLiteral("Prüfmodus ausschalten"));
  EXPECT_EQ(u.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {bic}).toString(), QStringLiteral("Cäsar"));

  // The status line names the reasons of the current payment, and follows the list.
  ASSERT_TRUE(f.ZahlungAnsteuern(iban));
  EXPECT_EQ(f.Statuszeile()->Text(), QStringLiteral("Fehler: Die Prüfziffer der IBAN ist falsch."));
  ASSERT_TRUE(f.ZahlungAnsteuern(bic));
  EXPECT_TRUE(f.Statuszeile()->Text().startsWith(QStringLiteral("Fehler: Die BIC"))) << f.Statuszeile()->Text().toStdString();
  // The grid's status tip carries them, so they come back with the focus.
  EXPECT_EQ(f.Browsegitter()->Ansicht()->statusTip(), f.Statuszeile()->Text());

  // Other commands keep the list restricted: search mode, due-date limit, a change of the payment.
  ASSERT_TRUE(f.Befehl(QStringLiteral("Suchen")));
  EXPECT_EQ(f.AnzahlZahlungen(), 2);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Suchen")));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Schliessen")));
  EXPECT_EQ(f.AnzahlZahlungen(), 2);

  // Pressing again switches off without a check and without a message.
  ASSERT_TRUE(f.Befehl(QStringLiteral("Prüfen")));
  EXPECT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_FALSE(f.ZustandDerMaske().NurFehlerhafte());
  EXPECT_EQ(f.AnzahlZahlungen(), 4);
  EXPECT_FALSE(l->Gedrueckt(QStringLiteral("Prüfen")));
  EXPECT_EQ(l->Tooltip(QStringLiteral("Prüfen")), QStringLiteral("Zahlungen auf Fehler prüfen"));
  EXPECT_EQ(f.Browsegitter()->Ansicht()->statusTip(), QStringLiteral("Blättern in den vorhandenen Zahlungen"));
  // The marks stay stored.
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Zahlungen WHERE Fehler = 1"), 2);
}

TEST_F(PruefmodusFensterTest, ArtwechselBeendetDenPruefmodus) {
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Prüfen")));
  ASSERT_TRUE(f.ZustandDerMaske().NurFehlerhafte());
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  EXPECT_FALSE(f.ZustandDerMaske().NurFehlerhafte());
  EXPECT_FALSE(f.Leiste()->Gedrueckt(QStringLiteral("Prüfen")));
  f.ZahlartWaehlen(Zahlart::Ueberweisung);
  EXPECT_EQ(f.AnzahlZahlungen(), 4);
}

TEST_F(PruefmodusFensterTest, OhneFehlerBleibtDerPruefmodusAusUndDieZahlungAktuell) {
  u.Db().Ausfuehren("DELETE FROM Zahlungen WHERE ZahlungNr IN (?, ?)", {iban, bic});
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.ZahlungAnsteuern(gut2));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Prüfen")));
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Letzter().text, QStringLiteral("Es wurden keine fehlerhafte Zahlungen festgestellt!\r"
                                                         "Der Prüfmodus wird daher wieder ausgeschaltet."));
  EXPECT_FALSE(f.ZustandDerMaske().NurFehlerhafte());
  EXPECT_FALSE(f.Leiste()->Gedrueckt(QStringLiteral("Prüfen")));
  EXPECT_EQ(f.AktuelleZahlungNr(), gut2);
  EXPECT_EQ(f.AnzahlZahlungen(), 2);
}

TEST_F(PruefmodusFensterTest, BicAbgleichNachEinstellungUndLeereListe) {
  SaveSetting(QStringLiteral("Formular State"), QStringLiteral("PrüfenMitBLZAbgleich"), QStringLiteral("1"));
  u.Db().Ausfuehren("INSERT INTO Bankverbindung (BLZ, BIC, Bank) VALUES ('37040044', 'COBADEFFXXX', 'Commerzbank')");
  FensterTestumgebung::Zahlung p;
  p.name = QStringLiteral("Emil");
  p.gesamt = Eur(100);
  p.bic = QStringLiteral("deutdeff");
  const qint64 unbekannt = Zeile(u.ZahlungAnlegen(p));
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Prüfen")));
  EXPECT_TRUE(u.Meldungen().Letzter().text.contains(QStringLiteral("\rZahlung mit falscher BIC:  \t2\r")));
  EXPECT_EQ(f.AnzahlZahlungen(), 3);
  ASSERT_TRUE(f.ZahlungAnsteuern(unbekannt));
  EXPECT_EQ(f.Statuszeile()->Text(), QStringLiteral("Fehler: Die BIC DEUTDEFF ist in den Bankverbindungen nicht enthalten!"));

  // An empty list: "Prüfen" can only switch off.
  ASSERT_TRUE(f.Befehl(QStringLiteral("Prüfen")));
  f.ZahlartWaehlen(Zahlart::FirmenLastschrift);
  EXPECT_FALSE(f.Leiste()->Aktiviert(QStringLiteral("Prüfen")));
  EXPECT_FALSE(f.Befehl(QStringLiteral("Prüfen")));
}

TEST_F(PruefmodusFensterTest, NichtGespeicherteErgebnisseWerdenGemeldet) {
  FormularZahlung& f = u.Fenster();
  u.Db().SetzeStoerung([](const QString& sql) {
    return sql.startsWith(QLatin1String("UPDATE Zahlungen")) ? DbFehler{5, QStringLiteral("database is locked")}
                                                             : DbFehler{};
  });
  ASSERT_TRUE(f.Befehl(QStringLiteral("Prüfen")));
  u.Db().SetzeStoerung({});
  // Both faulty payments could not be stored: nothing counts as found, the error is shown.
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Letzter().symbol, MeldungsSymbol::Kritisch);
  EXPECT_EQ(u.Meldungen().Letzter().text,
            QStringLiteral("2 Zahlung(en) konnten nicht gespeichert werden und gelten nicht als geprüft:\rNr: 5\r"
                           "Beschreibung: database is locked\r\rDer Prüfmodus wird daher wieder ausgeschaltet."));
  EXPECT_FALSE(f.ZustandDerMaske().NurFehlerhafte());
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Zahlungen WHERE Fehler = 1"), 0);
}

TEST(PruefmodusImport, DerImportBeendetDenPruefmodus) {
  AdressQuellenInfo quelle = AdressQuellenInfo::Intern();
  quelle.OPVerknuepft = true;
  FensterTestumgebung u(quelle);
  FensterTestumgebung::Zahlung p;
  p.gesamt = Eur(100);
  p.iban = QStringLiteral("DE89370400440532013001");
  u.ZeileAnlegen(u.ZahlungAnlegen(p), 1, QStringLiteral("RG 1"), Eur(100));
  p.iban = QStringLiteral("DE89370400440532013000");
  u.ZeileAnlegen(u.ZahlungAnlegen(p), 1, QStringLiteral("RG 2"), Eur(100));
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Prüfen")));
  ASSERT_EQ(f.AnzahlZahlungen(), 1);
  f.ImportAufrufSetzen([](Zahlart, const QFont&) {});
  ASSERT_TRUE(f.Befehl(QStringLiteral("Import")));
  EXPECT_FALSE(f.ZustandDerMaske().NurFehlerhafte());
  EXPECT_FALSE(f.Leiste()->Gedrueckt(QStringLiteral("Prüfen")));
  EXPECT_EQ(f.Leiste()->Tooltip(QStringLiteral("Prüfen")), QStringLiteral("Zahlungen auf Fehler prüfen"));
  EXPECT_EQ(f.AnzahlZahlungen(), 2);
}
