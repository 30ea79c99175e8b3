// The IBAN conversion run over a real recordset of the address table.
#include <gtest/gtest.h>

#include <QFile>

#include "iban/BankleitzahlTabelle.h"
#include "iban/IBANKonvertieren.h"
#include "iban/IbanTestHilfen.h"
#include "masterdata/core/AdressenTestDatenbank.h"
#include "masterdata/core/IbanRecordsetDatensaetze.h"
#include "platform/db/Recordset.h"
#include "testsupport/TestOrdner.h"

namespace {

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
    Abfrage a = Abfrage::Tabelle(QStringLiteral("Adressen"));
    a.sortierung = "OPKontoNr";
    a.bedingung = bedingung;
    DbFehler f;
    auto rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Dynaset, f);
    EXPECT_TRUE(rs) << f.Beschreibung.toStdString();
    return rs;
  }

  IbanKonvertierErgebnis Lauf(Recordset& rs) {
    IbanRecordsetDatensaetze daten(rs);
    IbanKonvertierRueckmeldung r;
    r.Status = [this](const QString& s) { status << s; };
    r.Fortschritt = [this](qint64 erledigt, qint64 gesamt) { fortschritt = {erledigt, gesamt}; };
    auto e = IBANKonvertieren(blzDatei, tabelle, daten, r);
    requeryNoetig = daten.RequeryNoetig();
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
  bool requeryNoetig = false;
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
  EXPECT_EQ(e.Datensaetze, 7);
  EXPECT_EQ(status, L({"BLZ-Bestand der Bundesbank wird eingelesen...", "Daten werden konvertiert...", "Bereit"}));
  EXPECT_EQ(fortschritt, (std::pair<qint64, qint64>{7, 7}));

  EXPECT_EQ(Werte("A1"), ErwarteteIban(QStringLiteral("10000000"), QStringLiteral("1234")) +
                             QStringLiteral("|PBNKDEFFXXX|Postbank Ndl|"));
  EXPECT_EQ(Werte("A2"), ErwarteteIban(QStringLiteral("10000000"), QStringLiteral("5678")) +
                             QStringLiteral("|PBNKDEFFXXX|Postbank Ndl|103-Die gespeicherte BLZ wurde gelöscht und "
                                            "durch eine Nachfolge-BLZ ersetzt"));
  // Ruling 1: no IBAN formed, so IBAN and BIC stay; the hint replaces the old one.
  EXPECT_EQ(Werte("A3"), QStringLiteral("DE02120300000000202051|BYLADEM1001|Meine Bank|3-BLZ ist nicht im Bundesbank-Bestand"));
  EXPECT_EQ(Werte("A4"), QStringLiteral("DE02120300000000202051|BYLADEM1001|<null>|5-BLZ ist nicht 8-stellig"));
  EXPECT_EQ(Werte("A5"), QStringLiteral("DE02120300000000202051|BYLADEM1001|Postbank Ndl|9-Kontonummer fehlt oder ist ungültig"));
  EXPECT_EQ(Werte("A6"), QStringLiteral("<null>|<null>|Regelbank|10-IBAN-Regel wird nicht unterstützt: 009900"));
  EXPECT_EQ(Werte("A7"), ErwarteteIban(QStringLiteral("10000000"), QStringLiteral("1")) +
                             QStringLiteral("|PBNKDEFFXXX|Postbank Ndl|"));
  // BLZ and KontoNr are never written
  EXPECT_EQ(Zeilen(*db, "SELECT BLZ, KontoNr FROM Adressen WHERE OPKontoNr = 'A2'"), L({"20000000|0000005678"}));
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(db->TransaktionsTiefe(), 0);
  EXPECT_FALSE(requeryNoetig);
  // the recordset shows what it wrote
  rs->MoveFirst();
  EXPECT_EQ(rs->Text(QStringLiteral("Bank")), QStringLiteral("Postbank Ndl"));
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
  const QStringList vorher = Zeilen(*db, "SELECT * FROM Adressen ORDER BY OPKontoNr");
  auto rs = Oeffnen();
  int aktualisierungen = 0;
  db->SetzeStoerung([&aktualisierungen](const QString& sql) -> DbFehler {
    if (sql.startsWith(QLatin1String("UPDATE")) && ++aktualisierungen == 2) return {2067, QStringLiteral("UNIQUE constraint failed")};
    return {};
  });
  const IbanKonvertierErgebnis e = Lauf(*rs);
  db->SetzeStoerung({});
  EXPECT_FALSE(e.Ok);
  EXPECT_EQ(e.Datensaetze, 0);
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Die Adresse A2 konnte nicht gespeichert werden."))) << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.endsWith(QStringLiteral("\rNr: 2067\rBeschreibung: UNIQUE constraint failed")))
      << e.Meldung.toStdString();
  EXPECT_EQ(status.last(), QStringLiteral("Bereit"));
  EXPECT_EQ(Zeilen(*db, "SELECT * FROM Adressen ORDER BY OPKontoNr"), vorher);
  EXPECT_EQ(db->TransaktionsTiefe(), 0);
  EXPECT_TRUE(requeryNoetig);
  EXPECT_EQ(rs->EditMode(), EditModus::Keiner);
  // after the caller's requery the recordset shows the table again
  ASSERT_TRUE(rs->Requery().Ok());
  rs->MoveFirst();
  EXPECT_EQ(rs->Text(QStringLiteral("IBAN")), QStringLiteral("DE00ALT"));
  EXPECT_EQ(rs->Text(QStringLiteral("IBANKonvertierHinweis")), QStringLiteral("alter Hinweis"));
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
