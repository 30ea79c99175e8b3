#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include "TestDatenbank.h"
#include "common/DatenbankOeffnung.h"
#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "testsupport/TestOrdner.h"

namespace {

class DatenhilfenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_db = SchemaDatenbank(m_ordner.Pfad());
    ASSERT_TRUE(m_db);
  }
  // A payment with nothing but its sender and kind: the rest takes the table's defaults.
  void Zahlung() { ASSERT_TRUE(m_db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art) VALUES (1, 'L')").Ok()); }
  TestOrdner m_ordner;
  std::unique_ptr<Datenbank> m_db;
};

TEST_F(DatenhilfenTest, EinstellungLesenUndSpeichern) {
  Datenbank& db = *m_db;
  EXPECT_EQ(EinstellungLesen(db, QStringLiteral("SEPADruckKopien:"), QStringLiteral("1")), QStringLiteral("1"));
  ASSERT_TRUE(EinstellungSpeichern(db, QStringLiteral("SEPADruckKopien:"), QStringLiteral("  2 ")).Ok());
  EXPECT_EQ(EinstellungLesen(db, QStringLiteral("SEPADruckKopien:"), QStringLiteral("1")), QStringLiteral("2"));
  // The key ignores case: the same row is updated, not a second one added.
  ASSERT_TRUE(EinstellungSpeichern(db, QStringLiteral("sepadruckkopien:"), QStringLiteral("3")).Ok());
  EXPECT_EQ(EinstellungLesen(db, QStringLiteral("SEPADRUCKKOPIEN:")), QStringLiteral("3"));
  DbFehler f;
  EXPECT_EQ(db.Wert("SELECT count(*) FROM Einstellungen", {}, f)->toInt(), 1);
  // An empty value gives the default.
  ASSERT_TRUE(EinstellungSpeichern(db, QStringLiteral("DTADateiZiel"), QString()).Ok());
  EXPECT_EQ(EinstellungLesen(db, QStringLiteral("DTADateiZiel"), QStringLiteral("vorgabe")), QStringLiteral("vorgabe"));
  // Memo values go to their own column.
  ASSERT_TRUE(EinstellungSpeichern(db, QStringLiteral("Vorlage"), QString(1000, QLatin1Char('m')), true).Ok());
  EXPECT_EQ(EinstellungLesen(db, QStringLiteral("Vorlage"), {}, true).size(), 1000);
  EXPECT_EQ(EinstellungLesen(db, QStringLiteral("Vorlage"), QStringLiteral("leer")), QStringLiteral("leer"));
}

TEST_F(DatenhilfenTest, EinstellungMitFeindlichenWerten) {
  const QString schluessel = QStringLiteral("x'; DROP TABLE Einstellungen; --");
  const QString wert = QStringLiteral("a'b\"c%_*") + QChar(0) + QStringLiteral("ende");
  ASSERT_TRUE(EinstellungSpeichern(*m_db, schluessel, wert).Ok());
  EXPECT_EQ(EinstellungLesen(*m_db, schluessel), wert);
  EXPECT_TRUE(m_db->TabelleVorhanden(QStringLiteral("Einstellungen")));
}

TEST_F(DatenhilfenTest, EinstellungFehlerWirdGemeldet) {
  m_db->SetzeStoerung([](const QString&) { return DbFehler{10, QStringLiteral("Plattenfehler")}; });
  DbFehler f;
  EXPECT_EQ(EinstellungLesen(*m_db, QStringLiteral("a"), QStringLiteral("v"), false, &f), QStringLiteral("v"));
  EXPECT_EQ(f.Nummer, 10);
  EXPECT_EQ(EinstellungSpeichern(*m_db, QStringLiteral("a"), QStringLiteral("b")).Nummer, 10);
}

TEST_F(DatenhilfenTest, OhneOffeneDatenbankEinFehler) {
  Zustand().Zuruecksetzen();
  DbFehler f;
  EXPECT_EQ(EinstellungLesen(QStringLiteral("a"), QStringLiteral("v"), false, &f), QStringLiteral("v"));
  EXPECT_FALSE(f.Ok());
  EXPECT_FALSE(EinstellungSpeichern(QStringLiteral("a"), QStringLiteral("b")).Ok());
}

// Field sizes and types as the windows read them from the schema.
struct Feldgroesse {
  const char* tabelle;
  const char* feld;
  FeldTyp typ;
  int groesse;
};

void PrintTo(const Feldgroesse& f, std::ostream* os) { *os << f.tabelle << "." << f.feld; }

class SchemaFelder : public DatenhilfenTest, public ::testing::WithParamInterface<Feldgroesse> {};

TEST_P(SchemaFelder, TypUndGroesse) {
  const Feldgroesse& p = GetParam();
  const auto def = m_db->Tabelle(QString::fromUtf8(p.tabelle));
  ASSERT_TRUE(def) << p.tabelle;
  const FeldDefinition* feld = def->Feld(QString::fromUtf8(p.feld));
  ASSERT_NE(feld, nullptr) << p.tabelle << "." << p.feld;
  EXPECT_EQ(feld->typ, p.typ) << p.feld;
  EXPECT_EQ(feld->groesse, p.groesse) << p.feld;
}

INSTANTIATE_TEST_SUITE_P(
    Schema, SchemaFelder,
    ::testing::Values(
        Feldgroesse{"Zahlungen", "Art", FeldTyp::Text, 1}, Feldgroesse{"Zahlungen", "Name", FeldTyp::Text, 70},
        Feldgroesse{"Zahlungen", "Bank", FeldTyp::Text, 60}, Feldgroesse{"Zahlungen", "BIC", FeldTyp::Text, 11},
        Feldgroesse{"Zahlungen", "IBAN", FeldTyp::Text, 34}, Feldgroesse{"Zahlungen", "OPKontoNr", FeldTyp::Text, 10},
        Feldgroesse{"Zahlungen", "Textschlüssel", FeldTyp::Text, 4},
        Feldgroesse{"Zahlungen", "Verwendungszweck1", FeldTyp::Text, 27},
        Feldgroesse{"Zahlungen", "MandatReferenz", FeldTyp::Text, 35},
        Feldgroesse{"Zahlungen", "EinzelReferenz", FeldTyp::Text, 35}, Feldgroesse{"Zahlungen", "BLZ", FeldTyp::Text, 8},
        Feldgroesse{"Zahlungen", "KontoNr", FeldTyp::Text, 10},
        Feldgroesse{"Zahlungen", "ZahlungGesamt", FeldTyp::Waehrung, 0},
        Feldgroesse{"Zahlungen", "Fällig", FeldTyp::Datum, 0}, Feldgroesse{"Zahlungen", "Währung", FeldTyp::Boolean, 0},
        Feldgroesse{"Zahlungen", "Buchungsdatum", FeldTyp::Datum, 0},
        Feldgroesse{"Zahlungen", "MandatSequenz", FeldTyp::Long, 0},
        Feldgroesse{"Verwendungszweck", "Verwendungszweck", FeldTyp::Text, 27},
        Feldgroesse{"Verwendungszweck", "OPVorgangNr", FeldTyp::Text, 20},
        Feldgroesse{"Verwendungszweck", "OPVorgangsArt", FeldTyp::Text, 2},
        Feldgroesse{"Verwendungszweck", "SkontoBetrag", FeldTyp::Waehrung, 0},
        Feldgroesse{"Adressen", "OPKontoNr", FeldTyp::Text, 10}, Feldgroesse{"Adressen", "Suchname", FeldTyp::Text, 30},
        Feldgroesse{"Adressen", "MandatSequenz", FeldTyp::Text, 50},
        Feldgroesse{"Adressen", "MandatDatum", FeldTyp::Datum, 0},
        Feldgroesse{"Adressen", "IBANKonvertierHinweis", FeldTyp::Text, 120},
        Feldgroesse{"Adressen", "IBANKonvertierNr", FeldTyp::Long, 0},
        Feldgroesse{"Absender", "GläubigerID", FeldTyp::Text, 35}, Feldgroesse{"Absender", "Bemerkung", FeldTyp::Text, 50},
        Feldgroesse{"Absender", "AdressenVerbindung", FeldTyp::Text, 255},
        Feldgroesse{"Absender", "AdressenQuelltabelle", FeldTyp::Text, 64},
        Feldgroesse{"Absender", "AdressenTransportfelder", FeldTyp::Text, 255},
        Feldgroesse{"Bankverbindung", "BLZ", FeldTyp::Text, 8}, Feldgroesse{"Bankverbindung", "Bank", FeldTyp::Text, 60},
        Feldgroesse{"Einstellungen", "einstellung", FeldTyp::Text, 60},
        Feldgroesse{"Einstellungen", "Wert", FeldTyp::Text, 255},
        Feldgroesse{"Einstellungen", "memowert", FeldTyp::Memo, 0}),
    [](const auto& info) {
      return Testname(QStringList{QString::fromUtf8(info.param.tabelle), QString::fromUtf8(info.param.feld)});
    });

TEST_F(DatenhilfenTest, SchemaZaehlerKaskadeUndStartzeile) {
  DbFehler f;
  // The shipped schema is of the version the program writes (else every start would migrate the new file).
  EXPECT_EQ(m_db->Wert("PRAGMA user_version", {}, f)->toInt(), DatenbankOeffnung::Version);
  EXPECT_EQ(m_db->Wert("PRAGMA application_id", {}, f)->toInt(), 1414743376);
  EXPECT_EQ(m_db->Wert("SELECT count(*) FROM Absender WHERE AbsenderNr = 1 AND Name = ''", {}, f)->toInt(), 1);
  EXPECT_TRUE(m_db->Tabelle(QStringLiteral("Zahlungen"))->Feld(QStringLiteral("ZahlungNr"))->zaehler);
  EXPECT_TRUE(m_db->Tabelle(QStringLiteral("Verwendungszweck"))->Feld(QStringLiteral("LfdNr"))->zaehler);

  Zahlung();
  const qint64 nr = m_db->LetzteEinfuegeNr();
  ASSERT_TRUE(m_db->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr) VALUES (?, 1), (?, 2)", {nr, nr}).Ok());
  ASSERT_TRUE(m_db->Ausfuehren("DELETE FROM Zahlungen WHERE ZahlungNr = ?", {nr}).Ok());
  EXPECT_EQ(m_db->Wert("SELECT count(*) FROM Verwendungszweck", {}, f)->toInt(), 0) << "lines go with their payment";
  // Numbers are never reused.
  Zahlung();
  EXPECT_GT(m_db->LetzteEinfuegeNr(), nr);
  // A line of a missing payment is refused.
  EXPECT_FALSE(m_db->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr) VALUES (99999, 1)").Ok());
  // Booleans default to 0; the address key ignores case (A-Z in the file itself, umlauts where the program
  // names its collation).
  EXPECT_EQ(m_db->Wert("SELECT Erledigt + Fehler + BuchImport + \"Währung\" FROM Zahlungen", {}, f)->toInt(), 0);
  ASSERT_TRUE(m_db->Ausfuehren("INSERT INTO Adressen (OPKontoNr, Name) VALUES ('k1', 'Ä')").Ok());
  EXPECT_FALSE(m_db->Ausfuehren("INSERT INTO Adressen (OPKontoNr, Name) VALUES ('K1', 'B')").Ok());
  EXPECT_EQ(m_db->Wert("SELECT count(*) FROM Adressen WHERE Name = 'ä'", {}, f)->toInt(), 0);
  EXPECT_EQ(m_db->Wert("SELECT count(*) FROM Adressen WHERE Name = 'ä' COLLATE TAMO", {}, f)->toInt(), 1);
}

}  // namespace
