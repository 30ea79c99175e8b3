// The IBAN conversion run over a real recordset of the address table.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include "iban/BankleitzahlTabelle.h"
#include "iban/IBANKonvertieren.h"
#include "iban/IbanTestHilfen.h"
#include "masterdata/core/AdressenTestDatenbank.h"
#include "masterdata/core/IbanEinzelsatzReferenz.h"
#include "masterdata/core/IbanRecordsetDatensaetze.h"
#include "platform/db/Recordset.h"
#include "testsupport/TestOrdner.h"

namespace {

// The address table as the window opens it.
std::unique_ptr<Recordset> AdressenOeffnen(Datenbank& db, const Bedingung& bedingung, const SqlText& sortierung) {
  Abfrage a = Abfrage::Tabelle(QStringLiteral("Adressen"));
  a.sortierung = sortierung;
  a.bedingung = bedingung;
  DbFehler f;
  auto rs = Recordset::Oeffnen(db, a, RecordsetTyp::Dynaset, f);
  EXPECT_TRUE(rs) << f.Beschreibung.toStdString();
  return rs;
}

class IbanLaufTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db = SchemaDatenbank();
    BlzZeile post;  // standard rule
    post.BLZ = "10000000";
    post.Kurzname = "Postbank Ndl";
    post.BIC = "PBNKDEFFXXX";
    BlzZeile geloescht;  // deleted, successor 10000000
    geloescht.BLZ = "20000000";
    geloescht.Kurzname = "Alte Bank";
    geloescht.BIC = "ALTEDEFFXXX";
    geloescht.Aenderung = 'D';
    geloescht.Nachfolger = "10000000";
    BlzZeile unbekannteRegel;
    unbekannteRegel.BLZ = "30000000";
    unbekannteRegel.Kurzname = "Regelbank";
    unbekannteRegel.Regel = "009900";
    QFile f(blzDatei);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(post.Text() + "\r\n" + geloescht.Text() + "\r\n" + unbekannteRegel.Text() + "\r\n");
  }

  void Adresse(const char* nr, W blz, W konto, W iban = {}, W bic = {}, W bank = {}) {
    Ausfuehren(*db, "INSERT INTO Adressen (OPKontoNr, BLZ, KontoNr, IBAN, BIC, Bank, IBANKonvertierHinweis) "
                    "VALUES (?, ?, ?, ?, ?, ?, 'alter Hinweis')",
               {QString::fromUtf8(nr), blz.v, konto.v, iban.v, bic.v, bank.v});
  }

  std::unique_ptr<Recordset> Oeffnen(const Bedingung& bedingung = {}) {
    return AdressenOeffnen(*db, bedingung, "OPKontoNr");
  }

  IbanKonvertierErgebnis Lauf(Recordset& rs) {
    IbanRecordsetDatensaetze daten(rs);
    IbanKonvertierRueckmeldung r;
    r.Status = [this](const QString& s) { status << s; };
    r.Fortschritt = [this](qint64 erledigt, qint64 gesamt) { fortschritt = {erledigt, gesamt}; };
    auto e = IBANKonvertieren(blzDatei, tabelle, daten, r);
    geschrieben = daten.Geschrieben();
    return e;
  }

  // IBAN|BIC|Bank|Hinweis of one address, read from the table.
  QString Werte(const char* nr) {
    const QStringList z = Zeilen(*db, "SELECT IBAN, BIC, Bank, IBANKonvertierHinweis FROM Adressen WHERE OPKontoNr = ?",
                                 {QString::fromUtf8(nr)});
    return z.value(0);
  }

  TestOrdner ordner;
  QString blzDatei = ordner.Datei(BankleitzahlTabelle::DateiName());
  std::unique_ptr<Datenbank> db;
  BankleitzahlTabelle tabelle;
  QStringList status;
  std::pair<qint64, qint64> fortschritt{-1, -1};
  qint64 geschrieben = -1;
};

TEST_F(IbanLaufTest, SchreibtIbanBicBankUndHinweiseInDieTabelle) {
  Adresse("A1", "10000000", "1234", QVariant(), "ALTBICXX");
  Adresse("A2", "20000000", "0000005678");                                   // successor
  Adresse("A3", "99999999", "1", "DE02120300000000202051", "BYLADEM1001", "Meine Bank");  // not in file
  Adresse("A4", W(), "1", "DE02120300000000202051", "BYLADEM1001");   // no bank code
  Adresse("A5", "10000000", "12a4", "DE02120300000000202051", "BYLADEM1001"); // invalid account
  Adresse("A6", "30000000", "1");                                            // rule nobody handles
  Adresse("A7", "10000000 ", "1");                                           // blank behind the code: trimmed
  auto rs = Oeffnen();
  const IbanKonvertierErgebnis e = Lauf(*rs);
  ASSERT_TRUE(e.Ok) << e.Meldung.toStdString();
  EXPECT_EQ(e.Datensaetze, 6);
  EXPECT_EQ(e.BereitsUmgestellt, 1);
  EXPECT_EQ(status, L({"BLZ-Bestand der Bundesbank wird eingelesen...", "Daten werden konvertiert...", "Bereit"}));
  EXPECT_EQ(fortschritt, (std::pair<qint64, qint64>{7, 7}));

  EXPECT_EQ(Werte("A1"), ErwarteteIban(QStringLiteral("10000000"), QStringLiteral("1234")) +
                             QStringLiteral("|PBNKDEFFXXX|Postbank Ndl|"));
  EXPECT_EQ(Werte("A2"), ErwarteteIban(QStringLiteral("10000000"), QStringLiteral("5678")) +
                             QStringLiteral("|PBNKDEFFXXX|Postbank Ndl|103-Die gespeicherte BLZ wurde gelöscht und "
                                            "durch eine Nachfolge-BLZ ersetzt"));
  // Ruling 1: no IBAN formed, so IBAN and BIC stay; the hint replaces the old one.
  EXPECT_EQ(Werte("A3"), QStringLiteral("DE02120300000000202051|BYLADEM1001|Meine Bank|3-BLZ ist nicht im Bundesbank-Bestand"));
  // IBAN without bank code: already converted, left as it is; only the earlier hint goes.
  EXPECT_EQ(Werte("A4"), QStringLiteral("DE02120300000000202051|BYLADEM1001|<null>|"));
  EXPECT_EQ(Werte("A5"), QStringLiteral("DE02120300000000202051|BYLADEM1001|Postbank Ndl|9-Kontonummer fehlt oder ist ungültig"));
  EXPECT_EQ(Werte("A6"), QStringLiteral("<null>|<null>|Regelbank|10-IBAN-Regel wird nicht unterstützt: 009900"));
  EXPECT_EQ(Werte("A7"), ErwarteteIban(QStringLiteral("10000000"), QStringLiteral("1")) +
                             QStringLiteral("|PBNKDEFFXXX|Postbank Ndl|"));
  // BLZ and KontoNr are never written
  EXPECT_EQ(Zeilen(*db, "SELECT BLZ, KontoNr FROM Adressen WHERE OPKontoNr = 'A2'"), L({"20000000|0000005678"}));
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(db->TransaktionsTiefe(), 0);
  EXPECT_EQ(geschrieben, 7);
  // the recordset shows what was written
  rs->MoveFirst();
  EXPECT_EQ(rs->Text(QStringLiteral("Bank")), QStringLiteral("Postbank Ndl"));
}

TEST_F(IbanLaufTest, EinZweiterLaufSchreibtKeineZeileDieSichNichtAendert) {
  Adresse("A1", "10000000", "1234");
  Adresse("A2", "99999999", "1");
  Adresse("A3", "30000000", "1");
  auto rs = Oeffnen();
  ASSERT_TRUE(Lauf(*rs).Ok);
  const QStringList nachErstem = Zeilen(*db, "SELECT * FROM Adressen ORDER BY OPKontoNr");
  Ausfuehren(*db, "UPDATE Adressen SET IBANKonvertierHinweis = 'von Hand' WHERE OPKontoNr = 'A2'");
  const IbanKonvertierErgebnis e = Lauf(*rs);
  ASSERT_TRUE(e.Ok) << e.Meldung.toStdString();
  EXPECT_EQ(e.Datensaetze, 3) << "jede Adresse wird konvertiert";
  EXPECT_EQ(geschrieben, 1) << "nur A2 ändert sich";
  EXPECT_EQ(Zeilen(*db, "SELECT * FROM Adressen ORDER BY OPKontoNr"), nachErstem);
}

TEST_F(IbanLaufTest, NurDieZeilenDerSichtWerdenKonvertiert) {
  Adresse("A1", "10000000", "1234");
  Adresse("B1", "10000000", "99");
  auto rs = Oeffnen(Bedingung("OPKontoNr LIKE ?", {QStringLiteral("a%")}));
  const IbanKonvertierErgebnis e = Lauf(*rs);
  ASSERT_TRUE(e.Ok) << e.Meldung.toStdString();
  EXPECT_EQ(e.Datensaetze, 1);
  EXPECT_EQ(Werte("B1"), QStringLiteral("<null>|<null>|<null>|alter Hinweis"));
}

TEST_F(IbanLaufTest, EinNichtSpeicherbarerDatensatzNimmtDenGanzenLaufZurueck) {
  Adresse("A1", "10000000", "1234", "DE00ALT", "ALTBIC");
  Adresse("A2", "10000000", "5678");
  Adresse("A3", "10000000", "9");
  Ausfuehren(*db, "CREATE TEMP TRIGGER gesperrt BEFORE UPDATE ON Adressen WHEN OLD.OPKontoNr = 'A2' "
                  "BEGIN SELECT RAISE(ABORT, 'A2 ist gesperrt'); END");
  const QStringList vorher = Zeilen(*db, "SELECT * FROM Adressen ORDER BY OPKontoNr");
  auto rs = Oeffnen();
  rs->MoveLast();
  const IbanKonvertierErgebnis e = Lauf(*rs);
  EXPECT_FALSE(e.Ok);
  EXPECT_EQ(e.Datensaetze, 0);
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Die Adresse A2 konnte nicht gespeichert werden."))) << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.endsWith(QStringLiteral("\rNr: 1811\rBeschreibung: A2 ist gesperrt"))) << e.Meldung.toStdString();
  EXPECT_EQ(status.last(), QStringLiteral("Bereit"));
  EXPECT_EQ(Zeilen(*db, "SELECT * FROM Adressen ORDER BY OPKontoNr"), vorher);
  EXPECT_EQ(db->TransaktionsTiefe(), 0);
  EXPECT_EQ(geschrieben, 0);
  // the recordset still shows the table, where it stood
  EXPECT_EQ(rs->Text(QStringLiteral("OPKontoNr")), QStringLiteral("A3"));
  rs->MoveFirst();
  EXPECT_EQ(rs->Text(QStringLiteral("IBAN")), QStringLiteral("DE00ALT"));
  EXPECT_EQ(rs->Text(QStringLiteral("IBANKonvertierHinweis")), QStringLiteral("alter Hinweis"));
}

// Another workstation deleted an address after the window read its rows: the run cannot save it and
// takes everything back, as a save through the recordset would.
TEST_F(IbanLaufTest, EineInzwischenGeloeschteAdresseNimmtDenLaufZurueck) {
  Adresse("A1", "10000000", "1234");
  Adresse("A2", "10000000", "5678");
  auto rs = Oeffnen();
  ASSERT_EQ(rs->Text(QStringLiteral("OPKontoNr")), QStringLiteral("A1"));   // the window has shown it
  Ausfuehren(*db, "DELETE FROM Adressen WHERE OPKontoNr = 'A1'");
  const IbanKonvertierErgebnis e = Lauf(*rs);
  EXPECT_FALSE(e.Ok);
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Die Adresse A1 konnte nicht gespeichert werden."))) << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.endsWith(QStringLiteral("\rNr: 3167\rBeschreibung: Der Datensatz wurde gelöscht"))) << e.Meldung.toStdString();
  EXPECT_EQ(Werte("A2"), QStringLiteral("<null>|<null>|<null>|alter Hinweis"));
  EXPECT_EQ(db->TransaktionsTiefe(), 0);
}

// A table whose fields are smaller than the values: nothing is cut, the run stops and names the field.
TEST(IbanLaufFeldgroesse, EinZuLangerWertNimmtDenLaufZurueck) {
  TestOrdner ordner;
  const QString blzDatei = ordner.Datei(BankleitzahlTabelle::DateiName());
  BlzZeile bank;
  bank.BLZ = "10000000";
  bank.Kurzname = "Postbank Ndl";
  QFile datei(blzDatei);
  ASSERT_TRUE(datei.open(QIODevice::WriteOnly));
  datei.write(bank.Text() + "\r\n");
  datei.close();
  auto db = Datenbank::InSpeicher();
  // Bank holds 12 characters: "Postbank Ndl" fits exactly, "Postbank Ndl2" would not
  Ausfuehren(*db, "CREATE TABLE Adressen (OPKontoNr TEXT(10) PRIMARY KEY, BLZ TEXT(8), KontoNr TEXT(10), "
                  "IBAN TEXT(34), BIC TEXT(11), Bank TEXT(12), IBANKonvertierHinweis TEXT(20));"
                  "INSERT INTO Adressen (OPKontoNr, BLZ, KontoNr) VALUES ('A1', '10000000', '1'), ('A2', '1', '1');");
  auto rs = AdressenOeffnen(*db, {}, "OPKontoNr");
  ASSERT_TRUE(rs);
  BankleitzahlTabelle tabelle;
  IbanRecordsetDatensaetze daten(*rs);
  const IbanKonvertierErgebnis e = IBANKonvertieren(blzDatei, tabelle, daten);
  EXPECT_FALSE(e.Ok);
  // A1 fits; A2's hint "5-BLZ ist nicht 8-stellig" has 25 characters
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Die Adresse A2 konnte nicht gespeichert werden."))) << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.endsWith(QStringLiteral("\rNr: 3163\rBeschreibung: Das Feld IBANKonvertierHinweis ist zu "
                                                "klein für den Wert (25 Zeichen, höchstens 20).")))
      << e.Meldung.toStdString();
  EXPECT_EQ(Zeilen(*db, "SELECT OPKontoNr, IBAN, Bank, IBANKonvertierHinweis FROM Adressen ORDER BY 1"),
            L({"A1|<null>|<null>|<null>", "A2|<null>|<null>|<null>"}));
}

TEST_F(IbanLaufTest, OhneBankleitzahlDateiWirdKeineAdresseAngefasst) {
  Adresse("A1", "10000000", "1234", "DE00ALT", "ALTBIC");
  QFile::remove(blzDatei);
  auto rs = Oeffnen();
  const IbanKonvertierErgebnis e = Lauf(*rs);
  EXPECT_FALSE(e.Ok);
  EXPECT_TRUE(e.Meldung.contains(blzDatei)) << e.Meldung.toStdString();
  EXPECT_EQ(Werte("A1"), QStringLiteral("DE00ALT|ALTBIC|<null>|alter Hinweis"));
  EXPECT_EQ(db->TransaktionsTiefe(), 0);
}

TEST_F(IbanLaufTest, LeereSichtEndetSofortMitBereit) {
  auto rs = Oeffnen();
  const IbanKonvertierErgebnis e = Lauf(*rs);
  EXPECT_TRUE(e.Ok);
  EXPECT_EQ(e.Datensaetze, 0);
  EXPECT_EQ(status.last(), QStringLiteral("Bereit"));
  EXPECT_EQ(db->TransaktionsTiefe(), 0);
}

// While the sender links an external address source the window shows its own table through a view.
TEST_F(IbanLaufTest, UeberDieSichtAufDieEigeneTabelle) {
  Adresse("A1", "10000000", "1234");
  Ausfuehren(*db, "CREATE TEMP VIEW Adressen_Intern AS SELECT * FROM main.Adressen");
  Abfrage a = Abfrage::Tabelle(QStringLiteral("Adressen_Intern"));
  a.schluessel = "OPKontoNr";
  DbFehler f;
  auto rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Dynaset, f);
  ASSERT_TRUE(rs) << f.Beschreibung.toStdString();
  const IbanKonvertierErgebnis e = Lauf(*rs);
  ASSERT_TRUE(e.Ok) << e.Meldung.toStdString();
  EXPECT_EQ(Werte("A1"), ErwarteteIban(QStringLiteral("10000000"), QStringLiteral("1234")) +
                             QStringLiteral("|PBNKDEFFXXX|Postbank Ndl|"));
}

// The one-pass rows against the rows saved one by one through the recordset, over the same generated
// addresses: every field of every address the same, stored the same way, the same counts.
class IbanLaufVergleich : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString shared = TestOrdner::SharedOrdner();
    const QString bundesbank = shared.isEmpty() ? QString()
                                                : QDir(shared).filePath(QStringLiteral("data/blz_2015-06-08_extended_174.txt"));
    if (!bundesbank.isEmpty() && QFile::exists(bundesbank)) {
      blzDatei = bundesbank;
    } else {
      // without the Bundesbank's file: a few banks of our own, one deleted with a successor
      blzDatei = ordner.Datei(BankleitzahlTabelle::DateiName());
      BlzZeile a, b, c;
      a.BLZ = "10000000";
      b.BLZ = "20000000";
      b.Aenderung = 'D';
      b.Nachfolger = "10000000";
      c.BLZ = "30000000";
      c.Regel = "000100";
      QFile f(blzDatei);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(a.Text() + "\r\n" + b.Text() + "\r\n" + c.Text() + "\r\n");
    }
    ASSERT_EQ(tabelle.Laden(blzDatei), std::nullopt);
  }

  // The same addresses in every database: bank codes of the file and odd ones, accounts of every
  // length and a few invalid ones, some with values of an earlier run or typed by hand.
  void AdressenAnlegen(Datenbank& db) {
    QRandomGenerator zufall(4711);
    const QStringList seltsam{QString(), QStringLiteral(""), QStringLiteral("1234567"), QStringLiteral(" 10000000"),
                              QStringLiteral("99999999"), QStringLiteral("123456789")};
    const QStringList konten{QString(), QStringLiteral(""), QStringLiteral("0"), QStringLiteral("12a4"),
                             QStringLiteral("12345678901"), QStringLiteral(" 1234"), QStringLiteral("0000012345")};
    Transaktion t(db);
    for (int i = 0; i < 3000; ++i) {
      const QString blz = i % 17 == 0 ? seltsam[zufall.bounded(seltsam.size())]
                                       : tabelle.Eintraege()[zufall.bounded(tabelle.Anzahl())].BLZ;
      const QString konto = i % 13 == 0 ? konten[zufall.bounded(konten.size())]
                                        : QString::number(zufall.bounded(Q_INT64_C(1), Q_INT64_C(10000000000)));
      QVariantList alt{QVariant(), QVariant(), QVariant(), QVariant()};
      if (i % 5 == 0) alt = {QStringLiteral("DE02120300000000202051"), QStringLiteral("BYLADEM1001"),
                             QStringLiteral("Alte Bank"), QStringLiteral("alter Hinweis")};
      if (i % 7 == 0) alt = {QString(), QString(), QString(), QString()};   // empty texts, not Null
      Ausfuehren(db, "INSERT INTO Adressen (OPKontoNr, Suchname, BLZ, KontoNr, IBAN, BIC, Bank, IBANKonvertierHinweis) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                 QVariantList{QStringLiteral("K%1").arg(i, 5, 10, QLatin1Char('0')), QStringLiteral("S%1").arg(2999 - i),
                              blz.isNull() ? QVariant() : QVariant(blz), konto.isNull() ? QVariant() : QVariant(konto)} +
                     alt);
    }
    ASSERT_TRUE(t.Commit().Ok());
  }

  struct Stand {
    IbanKonvertierErgebnis ergebnis;
    QStringList tabelle;
  };
  template <class Datensaetze>
  Stand Konvertieren(const Bedingung& bedingung, int laeufe = 1) {
    auto db = SchemaDatenbank();
    AdressenAnlegen(*db);
    auto rs = AdressenOeffnen(*db, bedingung, "Suchname, OPKontoNr");
    Stand s;
    for (int i = 0; i < laeufe; ++i) {
      Datensaetze daten(*rs);
      BankleitzahlTabelle t;
      s.ergebnis = IBANKonvertieren(blzDatei, t, daten);
      EXPECT_TRUE(s.ergebnis.Ok) << s.ergebnis.Meldung.toStdString();
    }
    s.tabelle = Zeilen(*db, "SELECT OPKontoNr, typeof(IBAN), IBAN, typeof(BIC), BIC, typeof(Bank), Bank, "
                            "typeof(IBANKonvertierHinweis), IBANKonvertierHinweis, BLZ, KontoNr FROM Adressen ORDER BY 1");
    return s;
  }

  void Vergleichen(const Bedingung& bedingung, int laeufe = 1) {
    const Stand einzeln = Konvertieren<IbanEinzelsatzReferenz>(bedingung, laeufe);
    const Stand ineinem = Konvertieren<IbanRecordsetDatensaetze>(bedingung, laeufe);
    ASSERT_EQ(ineinem.tabelle.size(), einzeln.tabelle.size());
    int unterschiede = 0;
    for (qsizetype i = 0; i < einzeln.tabelle.size() && unterschiede < 10; ++i)
      if (ineinem.tabelle[i] != einzeln.tabelle[i]) {
        ++unterschiede;
        ADD_FAILURE() << "einzeln: " << einzeln.tabelle[i].toStdString() << "\nin einem Lauf: " << ineinem.tabelle[i].toStdString();
      }
    EXPECT_EQ(ineinem.ergebnis.Datensaetze, einzeln.ergebnis.Datensaetze);
    EXPECT_EQ(ineinem.ergebnis.MitIban, einzeln.ergebnis.MitIban);
    EXPECT_EQ(ineinem.ergebnis.JeHinweis, einzeln.ergebnis.JeHinweis);
    EXPECT_GT(einzeln.ergebnis.MitIban, 0);
    EXPECT_GT(einzeln.ergebnis.JeHinweis.size(), 3u) << "die Adressen sollen verschiedene Hinweise bekommen";
  }

  TestOrdner ordner;
  QString blzDatei;
  BankleitzahlTabelle tabelle;
};

TEST_F(IbanLaufVergleich, AlleAdressenGleichWieEinzelnGespeichert) { Vergleichen({}); }

TEST_F(IbanLaufVergleich, NurDieAdressenDerSichtGleichWieEinzelnGespeichert) {
  Vergleichen(Bedingung("Suchname LIKE ?", {QStringLiteral("S1%")}));
}

TEST_F(IbanLaufVergleich, EinZweiterLaufGleichWieEinzelnGespeichert) { Vergleichen({}, 2); }

TEST(IbanRecordsetDatensaetze, NenntFehlendeFelder) {
  auto db = SchemaDatenbank();
  Abfrage a;
  a.spalten = "OPKontoNr, BLZ, KontoNr, IBAN";
  a.quelle = "Adressen";
  DbFehler f;
  auto rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Dynaset, f);
  ASSERT_TRUE(rs) << f.Beschreibung.toStdString();
  EXPECT_EQ(IbanRecordsetDatensaetze::FehlendeFelder(*rs), QStringLiteral("BIC, Bank, IBANKonvertierHinweis"));
  a.spalten = "*";
  rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Dynaset, f);
  ASSERT_TRUE(rs);
  EXPECT_EQ(IbanRecordsetDatensaetze::FehlendeFelder(*rs), QString());
}

}  // namespace
