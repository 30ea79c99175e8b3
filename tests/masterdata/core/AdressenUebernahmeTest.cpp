// Take-over of addresses from the Tamo-Varix file into the program's own table.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>

#include "masterdata/core/AdressenUebernahme.h"
#include "masterdata/core/AdressenTestDatenbank.h"
#include "platform/settings/Registrierung.h"
#include "testsupport/TestOrdner.h"

namespace {

class AdressenUebernahmeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ziel = SchemaDatenbank();
    Ausfuehren(*ziel, "INSERT INTO Adressen (OPKontoNr, Name, BLZ, KontoNr) VALUES "
                      "('K1000', 'Alt GmbH', '10000000', '1'), ('Müller', 'Müller KG', NULL, NULL)");
  }

  // The earlier program's file with its own layout; rows given as values (Null allowed).
  QString Quelle(const std::vector<QVariantList>& zeilen, const char* tabelle =
                     "CREATE TABLE Adressen (OPKontoNr, Suchname, Name, Bank, BLZ, KontoNr)") {
    const QString datei = ordner.Datei(QStringLiteral("TamoVarix.db"));
    DbFehler f;
    {
      auto q = Datenbank::Oeffnen(datei, f, true);
      EXPECT_TRUE(q) << f.Beschreibung.toStdString();
      if (!q) return datei;
      // like an ordinary file of another program: rollback journal
      Ausfuehren(*q, "PRAGMA journal_mode=DELETE");
      q->SkriptAusfuehren(QString::fromUtf8(tabelle));
      for (const QVariantList& z : zeilen)
        Ausfuehren(*q, "INSERT INTO Adressen (OPKontoNr, Suchname, Name, Bank, BLZ, KontoNr) VALUES (?, ?, ?, ?, ?, ?)", z);
    }
    return datei;
  }

  QStringList Adressen() {
    return Zeilen(*ziel, "SELECT OPKontoNr, Suchname, Name, Bank, BLZ, KontoNr FROM Adressen ORDER BY OPKontoNr");
  }

  TestOrdner ordner;
  std::unique_ptr<Datenbank> ziel;
};

QVariantList Z(W nr, W such, W name, W bank, W blz, W konto) { return {nr.v, such.v, name.v, bank.v, blz.v, konto.v}; }

TEST_F(AdressenUebernahmeTest, NurNeueNummernKommenHinzuGrossKleinUndUmlauteGeltenGleich) {
  const QString datei = Quelle({
      Z("k1000", "NEU", "Darf Alt nicht ersetzen", W(), "20000000", "2"),
      Z("MÜLLER", W(), "Müller neu", W(), W(), W()),
      Z("K2000", "Zweite", "Zweite AG", "Bank 2", "30000000", "3"),
      Z("k2000", "Doppelt", "Doppelt in der Datei", W(), W(), W()),
      Z("K3000", "Dritte", "Dritte eG", "Bank 3", "40000000", "0004"),
  });
  const AdressenUebernahmeErgebnis e = AdressenUebernahme::Uebernehmen(*ziel, datei);
  ASSERT_TRUE(e.Ok) << e.Meldung.toStdString();
  EXPECT_EQ(e.Neu, 2);
  EXPECT_EQ(e.Uebersprungen, 3);
  EXPECT_TRUE(e.Abgewiesen.isEmpty());
  EXPECT_EQ(Adressen(), (L({"K1000|<null>|Alt GmbH|<null>|10000000|1", "K2000|Zweite|Zweite AG|Bank 2|30000000|3",
                                     "K3000|Dritte|Dritte eG|Bank 3|40000000|0004", "Müller|<null>|Müller KG|<null>|<null>|<null>"})));
  EXPECT_EQ(e.Zusammenfassung(), QStringLiteral("Es wurden 2 neue Adressen übernommen.\r"
                                                "3 Adressen waren bereits vorhanden und wurden übersprungen."));
}

TEST_F(AdressenUebernahmeTest, EinZweiterLaufUebernimmtNichtsDoppelt) {
  const QString datei = Quelle({Z("K2000", "Zweite", "Zweite AG", W(), W(), W())});
  ASSERT_TRUE(AdressenUebernahme::Uebernehmen(*ziel, datei).Ok);
  const AdressenUebernahmeErgebnis e = AdressenUebernahme::Uebernehmen(*ziel, datei);
  ASSERT_TRUE(e.Ok);
  EXPECT_EQ(e.Neu, 0);
  EXPECT_EQ(e.Uebersprungen, 1);
  EXPECT_EQ(Adressen().size(), 3);
}

TEST_F(AdressenUebernahmeTest, FeindlicheWerteWerdenWoertlichGespeichertOderMitGrundAbgewiesen) {
  const QString langerName(71, QLatin1Char('x'));
  const QString datei = Quelle({
      Z("a';--", "x\"y", "O'Brien; DROP TABLE Adressen;--", "Bank\rmit Umbruch", QVariant(37040044.0),
        QVariant(qint64(1234567890))),
      Z(W(), "ohne Nummer", W(), W(), W(), W()),
      Z("   ", "nur Leerzeichen", W(), W(), W(), W()),
      Z("K4000", W(), langerName, W(), W(), W()),
      Z("K5000", W(), W(), W(), W(), "12345678901"),
      Z("K6000", W(), W(), QVariant(QByteArray("\x00\x01", 2)), W(), W()),
      Z("ÄÖÜäöüß", "Umlaute", "Größe", W(), W(), W()),
  });
  const AdressenUebernahmeErgebnis e = AdressenUebernahme::Uebernehmen(*ziel, datei);
  ASSERT_TRUE(e.Ok) << e.Meldung.toStdString();
  EXPECT_EQ(e.Neu, 2);
  EXPECT_EQ(e.Uebersprungen, 0);
  EXPECT_EQ(e.Abgewiesen, (L({"Zeile 2: ohne Adress-Nr.", "Zeile 3: ohne Adress-Nr.",
                                       "K4000: Name ist länger als 70 Zeichen",
                                       "K5000: KontoNr ist länger als 10 Zeichen", "K6000: Bank ist kein Text"})));
  EXPECT_EQ(Zeilen(*ziel, "SELECT Suchname, Name, Bank, BLZ, KontoNr FROM Adressen WHERE OPKontoNr = ?", {T("a';--")}),
            L({"x\"y|O'Brien; DROP TABLE Adressen;--|Bank\rmit Umbruch|37040044|1234567890"}));
  EXPECT_EQ(Zeilen(*ziel, "SELECT OPKontoNr, Name FROM Adressen WHERE OPKontoNr = ? COLLATE TAMO", {T("äöüÄÖÜß")}),
            L({"ÄÖÜäöüß|Größe"}));
  EXPECT_TRUE(e.Zusammenfassung().contains(QStringLiteral("5 Adressen konnten nicht übernommen werden:\rZeile 2: ohne Adress-Nr.")));
}

TEST_F(AdressenUebernahmeTest, TabelleOhneRowidUndMitTypisiertenSpalten) {
  const QString datei = Quelle({Z("K2000", "Zweite", "Zweite AG", W(), "30000000", "3")},
                               "CREATE TABLE Adressen (OPKontoNr TEXT(10) PRIMARY KEY, Suchname TEXT(30), Name TEXT(70), "
                               "Bank TEXT(60), BLZ TEXT(8), KontoNr TEXT(10), Sonstiges TEXT) WITHOUT ROWID");
  const AdressenUebernahmeErgebnis e = AdressenUebernahme::Uebernehmen(*ziel, datei);
  ASSERT_TRUE(e.Ok) << e.Meldung.toStdString();
  EXPECT_EQ(e.Neu, 1);
  EXPECT_TRUE(Adressen().contains(T("K2000|Zweite|Zweite AG|<null>|30000000|3")));
}

TEST_F(AdressenUebernahmeTest, DieDateiDesAltenProgrammsBleibtUnveraendert) {
  const QString datei = Quelle({Z("K2000", "Zweite", "Zweite AG", W(), W(), W())});
  QFile vorher(datei);
  ASSERT_TRUE(vorher.open(QIODevice::ReadOnly));
  const QByteArray inhalt = vorher.readAll();
  vorher.close();
  ASSERT_TRUE(AdressenUebernahme::Uebernehmen(*ziel, datei).Ok);
  QFile nachher(datei);
  ASSERT_TRUE(nachher.open(QIODevice::ReadOnly));
  EXPECT_EQ(nachher.readAll(), inhalt);
  EXPECT_FALSE(QFile::exists(datei + QStringLiteral("-wal")));
}

struct Fehlerfall {
  const char* name;
  std::function<QString(TestOrdner&)> datei;
};

class AdressenUebernahmeFehlerTest : public AdressenUebernahmeTest, public ::testing::WithParamInterface<Fehlerfall> {};

TEST_P(AdressenUebernahmeFehlerTest, WirdGemeldetUndAendertNichts) {
  const QString datei = GetParam().datei(ordner);
  const QStringList vorher = Adressen();
  const AdressenUebernahmeErgebnis e = AdressenUebernahme::Uebernehmen(*ziel, datei);
  EXPECT_FALSE(e.Ok);
  EXPECT_EQ(e.Neu, 0);
  EXPECT_TRUE(e.Meldung.contains(datei)) << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.contains(QStringLiteral("\rNr: "))) << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.contains(QStringLiteral("\rBeschreibung: "))) << e.Meldung.toStdString();
  EXPECT_EQ(Adressen(), vorher);
}

QString DateiMitInhalt(TestOrdner& o, const QByteArray& inhalt) {
  const QString datei = o.Datei(QStringLiteral("kaputt.db"));
  QFile f(datei);
  f.open(QIODevice::WriteOnly);
  f.write(inhalt);
  return datei;
}

INSTANTIATE_TEST_SUITE_P(
    Dateien, AdressenUebernahmeFehlerTest,
    ::testing::Values(
        Fehlerfall{"Fehlt", [](TestOrdner& o) { return o.Datei(QStringLiteral("gibt-es-nicht.db")); }},
        Fehlerfall{"KeineDatenbank",
                   [](TestOrdner& o) { return DateiMitInhalt(o, QByteArray(4096, 'Z')); }},
        Fehlerfall{"Abgeschnitten",
                   [](TestOrdner& o) {
                     return DateiMitInhalt(o, QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\xff'));
                   }},
        Fehlerfall{"OhneAdressTabelle",
                   [](TestOrdner& o) {
                     const QString datei = o.Datei(QStringLiteral("andere.db"));
                     DbFehler f;
                     auto q = Datenbank::Oeffnen(datei, f, true);
                     q->Ausfuehren("CREATE TABLE Kunden (Nr)");
                     return datei;
                   }},
        Fehlerfall{"OhneFeldKontoNr",
                   [](TestOrdner& o) {
                     const QString datei = o.Datei(QStringLiteral("alt.db"));
                     DbFehler f;
                     auto q = Datenbank::Oeffnen(datei, f, true);
                     q->Ausfuehren("CREATE TABLE Adressen (OPKontoNr, Suchname, Name, Bank, BLZ)");
                     q->Ausfuehren("INSERT INTO Adressen VALUES ('K9', 'a', 'b', 'c', 'd')");
                     return datei;
                   }}),
    [](const ::testing::TestParamInfo<Fehlerfall>& i) { return std::string(i.param.name); });

TEST_F(AdressenUebernahmeTest, EinFehlerBeimEinfuegenNimmtAllesZurueckUndNenntDieAdresse) {
  const QString datei = Quelle({Z("K2000", W(), "Zweite", W(), W(), W()),
                                Z("K3000", W(), "Dritte", W(), W(), W())});
  int einfuegungen = 0;
  ziel->SetzeStoerung([&einfuegungen](const QString& sql) -> DbFehler {
    if (sql.startsWith(QLatin1String("INSERT")) && ++einfuegungen == 2) return {13, QStringLiteral("database or disk is full")};
    return {};
  });
  const QStringList vorher = Adressen();
  const AdressenUebernahmeErgebnis e = AdressenUebernahme::Uebernehmen(*ziel, datei);
  ziel->SetzeStoerung({});
  EXPECT_FALSE(e.Ok);
  EXPECT_EQ(e.Neu, 0);
  EXPECT_EQ(e.Meldung, QStringLiteral("Die Adresse K3000 konnte nicht übernommen werden. Es wurde keine Adresse "
                                      "übernommen.\r\rNr: 13\rBeschreibung: database or disk is full"));
  EXPECT_EQ(Adressen(), vorher);
  EXPECT_EQ(ziel->TransaktionsTiefe(), 0);
}

TEST(AdressenUebernahmeRegistrierung, DieGewaehlteDateiWirdGemerkt) {
  Registrierung::Instanz().Loeschen(QStringLiteral("Import"), QStringLiteral("TamoVarixDatenbank"));
  EXPECT_EQ(AdressenUebernahme::GemerkteDatei(), QStringLiteral("C:\\Programme\\Tamo-Varix für Windows\\TamoVarix.MDB"));
  AdressenUebernahme::DateiMerken(QStringLiteral("/daten/alt/TamoVarix.db"));
  EXPECT_EQ(Registrierung::Instanz().Lesen(QStringLiteral("Import"), QStringLiteral("TamoVarixDatenbank")),
            QStringLiteral("/daten/alt/TamoVarix.db"));
  EXPECT_EQ(AdressenUebernahme::GemerkteDatei(), QStringLiteral("/daten/alt/TamoVarix.db"));
  Registrierung::Instanz().Loeschen(QStringLiteral("Import"), QStringLiteral("TamoVarixDatenbank"));
}

}  // namespace

namespace {

// "1 neue Adressen": each count in its number.
TEST(AdressenUebernahmeZusammenfassung, EinzahlUndMehrzahl) {
  struct Fall {
    qint64 neu, uebersprungen;
    int abgewiesen;
    const char* text;
  };
  const Fall faelle[] = {
      {0, 0, 0, "Es wurden 0 neue Adressen übernommen.\r0 Adressen waren bereits vorhanden und wurden übersprungen."},
      {1, 1, 1,
       "Es wurde 1 neue Adresse übernommen.\r1 Adresse war bereits vorhanden und wurde übersprungen.\r\r"
       "1 Adresse konnte nicht übernommen werden:\rZeile 1"},
      {2, 2, 2,
       "Es wurden 2 neue Adressen übernommen.\r2 Adressen waren bereits vorhanden und wurden übersprungen.\r\r"
       "2 Adressen konnten nicht übernommen werden:\rZeile 1\rZeile 2"},
  };
  for (const Fall& f : faelle) {
    AdressenUebernahmeErgebnis e;
    e.Ok = true;
    e.Neu = f.neu;
    e.Uebersprungen = f.uebersprungen;
    for (int i = 1; i <= f.abgewiesen; ++i) e.Abgewiesen << QStringLiteral("Zeile %1").arg(i);
    EXPECT_EQ(e.Zusammenfassung(), QString::fromUtf8(f.text)) << f.neu;
  }
}

}  // namespace
