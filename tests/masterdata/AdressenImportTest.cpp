// "Import" of the address window: take-over from Tamo-Varix, IBAN conversion, reload of the grid.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>

#include "Stammdatenumgebung.h"
#include "common/FilterBedingung.h"
#include "common/Programmzustand.h"
#include "iban/BankleitzahlTabelle.h"
#include "iban/IbanTestHilfen.h"
#include "masterdata/AdressenImport.h"
#include "masterdata/FormAdressen.h"
#include "masterdata/core/AdressenUebernahme.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/GitterFilterSpalte.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/Werkzeugleiste.h"

namespace {

QString T(const char* s) { return QString::fromUtf8(s); }

class AdressenImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_umgebung.Oeffnen(m_umgebung.Datenordner(
        T("daten"), "INSERT INTO Adressen (OPKontoNr, Suchname, Name, BLZ, KontoNr, IBAN, BIC, IBANKonvertierHinweis) VALUES "
                    "('A1', 'ALT', 'Alt GmbH', '99999999', '1', 'DE02120300000000202051', 'BYLADEM1001', NULL);"));
    const QString programm = m_umgebung.Ordner().Datei(T("programm"));
    QDir().mkpath(programm);
    Zustand().ProgrammVerzeichnisSetzen(programm + QDir::separator());
    m_blzDatei = QDir(programm).filePath(BankleitzahlTabelle::DateiName());
    BlzZeile bank;
    bank.BLZ = "10000000";
    bank.Kurzname = "Postbank Ndl";
    bank.BIC = "PBNKDEFFXXX";
    QFile f(m_blzDatei);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bank.Text() + "\r\n");
    f.close();

    m_quelle = m_umgebung.Ordner().Datei(T("TamoVarix.db"));
    DbFehler fehler;
    auto q = Datenbank::Oeffnen(m_quelle, fehler, true);
    ASSERT_TRUE(q) << fehler.Beschreibung.toStdString();
    ASSERT_TRUE(q->SkriptAusfuehren(T("PRAGMA journal_mode=DELETE;"
                                      "CREATE TABLE Adressen (OPKontoNr, Suchname, Name, Bank, BLZ, KontoNr);"
                                      "INSERT INTO Adressen VALUES ('a1', 'DOPPELT', 'Doppelt', NULL, '10000000', '5');"
                                      "INSERT INTO Adressen VALUES ('B2', 'BERTA', 'Berta KG', NULL, '10000000', '1234');"
                                      "INSERT INTO Adressen VALUES ('C3', 'CAESAR', 'Caesar eG', NULL, '1000', '77');"))
                    .Ok());
    DatenGitter::SetzeStandardFilterErsteller(FilterErstellerAus<FilterSpalte>(&FilterBedingungErstellen));
    AdressenImport::Anmelden();
    AdressenImport::DateiAuswahlSetzen([this](QWidget*, const QString& vorgabe) {
      m_vorgaben << vorgabe;
      return m_antwort;
    });
  }
  void TearDown() override {
    AdressenImport::DateiAuswahlSetzen({});
    FormAdressen::ImportSetzen({});
    DatenGitter::SetzeStandardFilterErsteller({});
  }

  void Import(FormAdressen& fenster) { fenster.Leiste()->Knopf(T("Import"))->trigger(); }

  QStringList Adressen() {
    return m_umgebung.Zeilen("SELECT OPKontoNr, Bank, BIC, IBAN, IBANKonvertierHinweis FROM Adressen ORDER BY OPKontoNr");
  }

  Stammdatenumgebung m_umgebung;
  QString m_blzDatei;
  QString m_quelle;
  QString m_antwort;
  QStringList m_vorgaben;
};

TEST_F(AdressenImportTest, UebernimmtKonvertiertUndLaedtDasGitterMitFilterNeu) {
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  ASSERT_TRUE(fenster.Leiste()->Sichtbar(T("Import")));
  // a filter that hides A1
  DatenGitter* gitter = fenster.Gitter();
  const int spalte = gitter->SpaltenIndex(T("Name"));
  ASSERT_GE(spalte, 0);
  gitter->SetzeFilterText(spalte, T("B"));
  ASSERT_TRUE(gitter->FilterAnwenden());
  ASSERT_EQ(gitter->ZeilenAnzahl(), 0);

  m_antwort = m_quelle;
  Import(fenster);

  EXPECT_EQ(m_vorgaben, QStringList{AdressenUebernahme::VorgabeDatei()});
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 2);
  EXPECT_EQ(m_umgebung.Rekorder().Texte().first(), T("Es wurden 2 neue Adressen übernommen.\r1 Adresse war bereits vorhanden und wurde übersprungen."));
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.startsWith(T("Die IBAN-Konvertierung ist abgeschlossen.")));
  // only the filtered view (B2) was converted; A1 and C3 keep their state
  EXPECT_EQ(Adressen(), (QStringList{T("A1||BYLADEM1001|DE02120300000000202051|"),
                                     T("B2|Postbank Ndl|PBNKDEFFXXX|") + ErwarteteIban(T("10000000"), T("1234")) + T("|"),
                                     T("C3||||")}));
  // the grid keeps its filter and shows the new row
  EXPECT_EQ(gitter->FilterText(spalte), T("B"));
  ASSERT_EQ(gitter->ZeilenAnzahl(), 1);
  EXPECT_EQ(gitter->Wert(0, T("IBAN")).toString(), ErwarteteIban(T("10000000"), T("1234")));
  EXPECT_EQ(Registrierung::Instanz().Lesen(T("Import"), T("TamoVarixDatenbank")), m_quelle);
  EXPECT_FALSE(fenster.findChild<StatusLeiste*>()->FortschrittSichtbar());
  EXPECT_FALSE(AdressenImport::Laeuft());

  // the next import offers the remembered file
  m_antwort.clear();
  Import(fenster);
  EXPECT_EQ(m_vorgaben.last(), m_quelle);
}

TEST_F(AdressenImportTest, OhneFilterWerdenAlleAdressenDerSichtKonvertiert) {
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  m_antwort = m_quelle;
  Import(fenster);
  EXPECT_EQ(m_umgebung.Rekorder().Anzahl(), 2);   // take-over and conversion summaries
  EXPECT_EQ(Adressen(), (QStringList{T("A1||BYLADEM1001|DE02120300000000202051|3-BLZ ist nicht im Bundesbank-Bestand"),
                                     T("B2|Postbank Ndl|PBNKDEFFXXX|") + ErwarteteIban(T("10000000"), T("1234")) + T("|"),
                                     T("C3||||5-BLZ ist nicht 8-stellig")}));
  EXPECT_EQ(fenster.Gitter()->ZeilenAnzahl(), 3);
}

// A second import finds nothing new: the window's rows are converted again from what the table holds now.
TEST_F(AdressenImportTest, OhneNeueAdressenWirdDieSichtMitDenAktuellenWertenKonvertiert) {
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  m_antwort = m_quelle;
  Import(fenster);
  ASSERT_EQ(fenster.Gitter()->ZeilenAnzahl(), 3);
  ASSERT_EQ(fenster.Gitter()->Wert(1, T("IBAN")).toString(), ErwarteteIban(T("10000000"), T("1234")));
  // another workstation corrects B2's account
  ASSERT_TRUE(Zustand().Datenbank()->Ausfuehren("UPDATE Adressen SET KontoNr = '5678' WHERE OPKontoNr = 'B2'").Ok());
  m_umgebung.Rekorder().Leeren();
  Import(fenster);
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 2);
  EXPECT_EQ(m_umgebung.Rekorder().Texte().first(), T("Es wurden 0 neue Adressen übernommen.\r3 Adressen waren bereits vorhanden und wurden übersprungen."));
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.startsWith(T("Die IBAN-Konvertierung ist abgeschlossen.")));
  EXPECT_EQ(Adressen().at(1), T("B2|Postbank Ndl|PBNKDEFFXXX|") + ErwarteteIban(T("10000000"), T("5678")) + T("|") +
                                 T("104-IBAN aus BLZ und Konto-Nr ersetzt die bisherige, nicht passende IBAN: ") + ErwarteteIban(T("10000000"), T("1234")));
  ASSERT_EQ(fenster.Gitter()->ZeilenAnzahl(), 3);
  EXPECT_EQ(fenster.Gitter()->Wert(1, T("IBAN")).toString(), ErwarteteIban(T("10000000"), T("5678")));
}

// An eleven-digit account number taken over whole (the old program had no ten-character limit) gets
// no IBAN of its own but hint 9 from the conversion (the address keeps the IBAN it had); ten digits
// give the IBAN.
TEST_F(AdressenImportTest, ElfstelligeKontonummerErhaeltKeineIbanSondernHinweisNeun) {
  ASSERT_TRUE(Zustand().Datenbank()->Ausfuehren(
      "UPDATE Adressen SET BLZ = '10000000', KontoNr = '53201300012' WHERE OPKontoNr = 'A1'").Ok());
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  m_antwort = m_quelle;
  Import(fenster);
  EXPECT_EQ(Adressen().at(0), T("A1|Postbank Ndl|BYLADEM1001|DE02120300000000202051|9-Kontonummer fehlt oder ist ungültig"));
  ASSERT_TRUE(Zustand().Datenbank()->Ausfuehren("UPDATE Adressen SET KontoNr = '5320130001' WHERE OPKontoNr = 'A1'").Ok());
  Import(fenster);
  EXPECT_EQ(Adressen().at(0), T("A1|Postbank Ndl|PBNKDEFFXXX|") + ErwarteteIban(T("10000000"), T("5320130001")) + T("|") +
                                 T("104-IBAN aus BLZ und Konto-Nr ersetzt die bisherige, nicht passende IBAN: DE02120300000000202051"));
}

// A damaged record of the bank-code file: the import names it with a warning and converts the rest.
TEST_F(AdressenImportTest, KaputterBankdatensatzWirdGewarntDerRestKonvertiert) {
  BlzZeile bank;
  bank.BLZ = "10000000";
  bank.BIC = "PBNKDEFFXXX";
  BlzZeile kaputt;
  kaputt.BLZ = "99999999";
  kaputt.BIC = "99BADEFFXXX";
  QFile f(m_blzDatei);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bank.Text() + "\r\n" + kaputt.Text() + "\r\n");
  f.close();
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  m_antwort = m_quelle;
  Import(fenster);
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 3);   // the take-over summary, the warning, the conversion summary
  const auto& warnung = m_umgebung.Rekorder().Eintraege().at(1);
  EXPECT_EQ(warnung.symbol, MeldungsSymbol::Ausruf);
  EXPECT_TRUE(warnung.text.endsWith(
      T("Zeile 2, BLZ 99999999, BIC \"99BADEFFXXX\": Die BIC muss mit 4 Buchstaben (Bankcode) beginnen.")))
      << warnung.text.toStdString();
  EXPECT_TRUE(Adressen().contains(T("B2|Testbank|PBNKDEFFXXX|") + ErwarteteIban(T("10000000"), T("1234")) + T("|")))
      << Adressen().join(QLatin1Char('\n')).toStdString();
}

TEST_F(AdressenImportTest, AbbruchDerDateiauswahlAendertNichts) {
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  const QStringList vorher = Adressen();
  Import(fenster);
  EXPECT_EQ(m_umgebung.Rekorder().Anzahl(), 0);
  EXPECT_EQ(Adressen(), vorher);
  EXPECT_FALSE(Registrierung::Instanz().Vorhanden(T("Import"), T("TamoVarixDatenbank")));
}

TEST_F(AdressenImportTest, UnbrauchbareTamoVarixDateiWirdGemeldetUndNichtsKonvertiert) {
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  const QStringList vorher = Adressen();
  m_antwort = m_umgebung.Ordner().Datei(T("fehlt.db"));
  Import(fenster);
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 1);
  EXPECT_EQ(m_umgebung.Rekorder().Letzter().symbol, MeldungsSymbol::Kritisch);
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.contains(T("\rNr: ")));
  EXPECT_EQ(Adressen(), vorher);
}

TEST_F(AdressenImportTest, FehlendeBankleitzahlDateiStopptVorDerErstenAdresse) {
  QFile::remove(m_blzDatei);
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  m_antwort = m_quelle;
  Import(fenster);
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 2);
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.contains(m_blzDatei)) << m_umgebung.Rekorder().Letzter().text.toStdString();
  // Two addresses were added: the message never says that none was changed.
  EXPECT_FALSE(m_umgebung.Rekorder().Letzter().text.contains(T("Es wurde keine Adresse verändert")));
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.endsWith(
      T("Die IBAN-Konvertierung hat keine Adresse verändert.\r\rDie 2 aus Tamo-Varix übernommenen Adressen bleiben gespeichert.")))
      << m_umgebung.Rekorder().Letzter().text.toStdString();
  // taken over, but not converted
  EXPECT_EQ(Adressen(), (QStringList{T("A1||BYLADEM1001|DE02120300000000202051|"), T("B2||||"),
                                     T("C3||||")}));
  EXPECT_EQ(fenster.Gitter()->ZeilenAnzahl(), 3);
}

TEST_F(AdressenImportTest, EinSpeicherfehlerNimmtDieKonvertierungZurueckUndDasGitterZeigtDenAltenStand) {
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  m_antwort = m_quelle;
  int aktualisierungen = 0;
  Zustand().Datenbank()->SetzeStoerung([&aktualisierungen](const QString& sql) -> DbFehler {
    if (sql.startsWith(QLatin1String("UPDATE")) && ++aktualisierungen == 2) return {13, T("database or disk is full")};
    return {};
  });
  Import(fenster);
  Zustand().Datenbank()->SetzeStoerung({});
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 2);
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.startsWith(T("Die Adresse B2 konnte nicht gespeichert werden.")))
      << m_umgebung.Rekorder().Letzter().text.toStdString();
  EXPECT_EQ(Adressen(), (QStringList{T("A1||BYLADEM1001|DE02120300000000202051|"), T("B2||||"),
                                     T("C3||||")}));
  ASSERT_EQ(fenster.Gitter()->ZeilenAnzahl(), 3);
  EXPECT_EQ(fenster.Gitter()->Wert(0, T("IBANKonvertierHinweis")).toString(), QString());
  EXPECT_EQ(Zustand().Datenbank()->TransaktionsTiefe(), 0);
}

TEST_F(AdressenImportTest, DasFensterSchliesstNichtWaehrendDesImportsUndStartetIhnNichtZweimal) {
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  fenster.show();
  bool geschlossen = true;
  bool zweiter = true;
  AdressenImport::DateiAuswahlSetzen([&](QWidget* eltern, const QString&) {
    EXPECT_TRUE(AdressenImport::Laeuft());
    EXPECT_FALSE(fenster.Leiste()->Aktiviert(T("Import")));
    geschlossen = eltern->close();
    zweiter = AdressenImport::Ausfuehren(fenster);
    return m_quelle;
  });
  Import(fenster);
  EXPECT_FALSE(geschlossen);
  EXPECT_FALSE(zweiter);
  EXPECT_TRUE(fenster.isVisible());
  EXPECT_EQ(m_umgebung.Rekorder().Anzahl(), 2);   // one take-over and one conversion summary: the second start did nothing
  EXPECT_FALSE(AdressenImport::Laeuft());
  EXPECT_TRUE(fenster.Leiste()->Aktiviert(T("Import")));
  EXPECT_TRUE(fenster.close());
}

// The import for any window that holds an address recordset and a status bar.
TEST_F(AdressenImportTest, OhneAdressfensterMitEigenerStatusleiste) {
  QWidget fenster;
  StatusLeiste status(&fenster);
  DbFehler f;
  Abfrage a = Abfrage::Tabelle(T("Adressen"));
  a.sortierung = "OPKontoNr";
  auto rs = Recordset::Oeffnen(*Zustand().Datenbank(), a, RecordsetTyp::Dynaset, f);
  ASSERT_TRUE(rs) << f.Beschreibung.toStdString();
  ASSERT_EQ(rs->RecordCount(), 1);
  m_antwort = m_quelle;
  EXPECT_TRUE(AdressenImportAusfuehren(&fenster, *rs, &status));
  EXPECT_EQ(status.Text(), T("Bereit"));
  EXPECT_FALSE(status.FortschrittSichtbar());
  EXPECT_EQ(rs->RecordCount(), 3);   // requeried: the new addresses are in it
  EXPECT_EQ(m_umgebung.Zeilen("SELECT count(*) FROM Adressen WHERE IBANKonvertierHinweis IS NOT NULL"), QStringList{T("3")});
}

}  // namespace

namespace {

// The conversion is reachable without a take-over from the earlier program: "IBAN ermitteln" asks,
// converts the rows the window shows, and closes with a summary by outcome and hint number.
TEST_F(AdressenImportTest, IbanErmittelnOhneImport) {
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  m_antwort = m_quelle;
  Import(fenster);   // the three addresses A1, B2, C3
  m_umgebung.Rekorder().Leeren();
  m_vorgaben.clear();
  ASSERT_TRUE(Zustand().Datenbank()->Ausfuehren("UPDATE Adressen SET KontoNr = '5678' WHERE OPKontoNr = 'B2'").Ok());
  ASSERT_TRUE(Zustand().Datenbank()->Ausfuehren("UPDATE Adressen SET BLZ = NULL WHERE OPKontoNr = 'A1'").Ok());

  ASSERT_TRUE(fenster.Leiste()->Sichtbar(T("IBAN")));
  // Cancelled at the question: nothing changes.
  m_umgebung.Rekorder().Antworte(MeldungsAntwort::Nein);
  ASSERT_TRUE(fenster.Leiste()->Druecken(T("IBAN")));
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 1);
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.startsWith(T("Für 3 Adressen, die das Fenster zeigt")));
  EXPECT_EQ(Adressen().at(1), T("B2|Postbank Ndl|PBNKDEFFXXX|") + ErwarteteIban(T("10000000"), T("1234")) + T("|"));

  m_umgebung.Rekorder().Antworte(MeldungsAntwort::Ja);
  ASSERT_TRUE(fenster.Leiste()->Druecken(T("IBAN")));
  EXPECT_TRUE(m_vorgaben.isEmpty()) << "no Tamo-Varix file is asked for";
  EXPECT_EQ(Adressen().at(1), T("B2|Postbank Ndl|PBNKDEFFXXX|") + ErwarteteIban(T("10000000"), T("5678")) + T("|") +
                                 T("104-IBAN aus BLZ und Konto-Nr ersetzt die bisherige, nicht passende IBAN: ") + ErwarteteIban(T("10000000"), T("1234")));
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 3);
  const QString zusammenfassung = m_umgebung.Rekorder().Letzter().text;
  EXPECT_EQ(m_umgebung.Rekorder().Letzter().symbol, MeldungsSymbol::Information);
  // A1 carries an IBAN and no bank code: already converted, no hint 5.
  EXPECT_TRUE(zusammenfassung.contains(T("IBAN und BIC ermittelt: 1 Adresse"))) << zusammenfassung.toStdString();
  EXPECT_TRUE(zusammenfassung.contains(T("Bereits mit IBAN, ohne Bankleitzahl (unverändert): 1 Adresse")));
  EXPECT_TRUE(zusammenfassung.contains(T("Hinweis 5 (BLZ ist nicht 8-stellig): 1 Adresse")));
}

// Bank codes have nothing to convert.
TEST_F(AdressenImportTest, IbanErmittelnNurImAdressfenster) {
  FormAdressen eigene(FormAdressen::Modus::Adressen);
  EXPECT_TRUE(eigene.Leiste()->Aktiviert(T("IBAN")));
  FormAdressen banken(FormAdressen::Modus::Bankverbindungen);
  EXPECT_FALSE(banken.Leiste()->Sichtbar(T("IBAN")));
}

}  // namespace
