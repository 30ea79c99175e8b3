#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableView>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <numeric>

#include "Stammdatenumgebung.h"
#include "common/Programmzustand.h"
#include "masterdata/core/Absenderdaten.h"
#include "masterdata/core/Absenderverwaltung.h"
#include "masterdata/SuchlisteF4.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatenGitter.h"

namespace {

const char* const kDaten =
    "INSERT INTO Bankverbindung (BLZ, BIC, Bank) VALUES ('37040044', 'COBA DEFF XXX', 'Commerzbank Köln'),"
    "  ('50010517', 'INGDDEFFXXX', 'ING-DiBa'), ('10000000', NULL, 'Bundesbank');"
    "INSERT INTO Adressen (OPKontoNr, Suchname, Name, Bank, BIC, IBAN, MandatReferenz, MandatDatum, MandatSequenz)"
    "  VALUES ('D100', 'MÜLLER', 'Müller & Söhne', 'Commerzbank', 'COBADEFFXXX', 'DE89370400440532013000', 'M-100',"
    "          '2023-05-01', '2-Mehrfach-Einzug Ersteinzug (Basis)'),"
    "         ('D200', 'ANDERS', 'Anders KG', '   ', '', NULL, NULL, NULL, NULL);"
    "INSERT INTO Zahlungen (AbsenderNr, Art, Name) VALUES (1, 'G', 'Erste'), (1, 'L', 'Zweite'), (2, 'G', 'Fremd');";

class SuchlisteF4Test : public ::testing::Test {
 protected:
  void SetUp() override { m_umgebung.Oeffnen(m_umgebung.Datenordner(QStringLiteral("daten"), kDaten)); }

  // Opens the list, positions on the criterion, chooses the row and returns Rueckwert's values.
  QVariantList Waehlen(int modus, const Suchkriterium& kriterium, const Bedingung& filter = {}) {
    SuchlisteF4 liste;
    EXPECT_TRUE(liste.Daten(QFont(), false, filter, kriterium, modus));
    liste.Waehlen();
    QVariantList werte;
    EXPECT_FALSE(liste.Rueckwert(werte));
    return werte;
  }

  Stammdatenumgebung m_umgebung;
};

TEST_F(SuchlisteF4Test, BankenLiefernBicOhneLeerzeichenUndBankname) {
  const QVariantList werte = Waehlen(1, {QStringLiteral("BLZ"), QStringLiteral("37040044")});
  ASSERT_EQ(werte.size(), 3);
  EXPECT_EQ(werte[1].toString(), QStringLiteral("COBADEFFXXX"));
  EXPECT_EQ(werte[2].toString(), QStringLiteral("Commerzbank Köln"));
}

TEST_F(SuchlisteF4Test, BankOhneBicLiefertLeereBic) {
  const QVariantList werte = Waehlen(1, {QStringLiteral("Bank"), QStringLiteral("bundesbank")});
  ASSERT_EQ(werte.size(), 3);
  EXPECT_EQ(werte[1].toString(), QString());
  EXPECT_EQ(werte[2].toString(), QStringLiteral("Bundesbank"));
}

TEST_F(SuchlisteF4Test, AdressenLiefernTransportfelderUndAdressnummer) {
  const QVariantList werte = Waehlen(2, {QStringLiteral("OPKontoNr"), QStringLiteral("d100")});
  ASSERT_EQ(werte.size(), 9);
  EXPECT_TRUE(werte[0].isNull());
  EXPECT_EQ(werte[1].toString(), QStringLiteral("Müller & Söhne"));
  EXPECT_EQ(werte[2].toString(), QStringLiteral("Commerzbank"));
  EXPECT_EQ(werte[3].toString(), QStringLiteral("COBADEFFXXX"));
  EXPECT_EQ(werte[4].toString(), QStringLiteral("DE89370400440532013000"));
  EXPECT_EQ(werte[5].toString(), QStringLiteral("M-100"));
  EXPECT_EQ(werte[6].toString(), QStringLiteral("2023-05-01"));
  EXPECT_EQ(werte[7].toString(), QStringLiteral("2-Mehrfach-Einzug Ersteinzug (Basis)"));
  EXPECT_EQ(werte[8].toString(), QStringLiteral("D100"));
}

TEST_F(SuchlisteF4Test, LeereWerteKommenAlsNull) {
  const QVariantList werte = Waehlen(2, {QStringLiteral("Suchname"), QStringLiteral("Anders")});
  ASSERT_EQ(werte.size(), 9);
  EXPECT_EQ(werte[1].toString(), QStringLiteral("Anders KG"));
  for (int i = 2; i <= 7; ++i) EXPECT_TRUE(werte[i].isNull()) << "Wert " << i;   // blanks, "", Null
  EXPECT_EQ(werte[8].toString(), QStringLiteral("D200"));
}

TEST_F(SuchlisteF4Test, ExterneQuelleMitUndefiniertemTransportfeld) {
  // Sender 2 takes its addresses from the accounting program.
  Absenderdaten d;
  d.name = QStringLiteral("Extern");
  d.adressenFormat = 1;
  d.adressenVerbindung = m_umgebung.Buchhaltungsdatei();
  ASSERT_TRUE(Absenderverwaltung::Speichern(*Zustand().Datenbank(), d).Ok());
  ASSERT_TRUE(Absenderverwaltung::Aktivieren(d.nr).Ok());
  ASSERT_TRUE(Zustand().AdressQuelle().Extern);

  const QVariantList werte = Waehlen(2, {QStringLiteral("OPKontoNr"), QStringLiteral("10001")});
  ASSERT_EQ(werte.size(), 9);
  EXPECT_EQ(werte[1].toString(), QStringLiteral("Meier GmbH"));
  EXPECT_EQ(werte[2].toString(), QStringLiteral("Sparkasse"));
  EXPECT_EQ(werte[3].toString(), QStringLiteral("COLSDE33"));
  EXPECT_EQ(werte[4].toString(), QStringLiteral("DE89370400440532013000"));
  EXPECT_EQ(werte[5].toString(), QStringLiteral("M-1"));
  EXPECT_TRUE(werte[6].isNull());
  EXPECT_TRUE(werte[7].isNull());   // blanks only
  EXPECT_EQ(werte[8].toString(), QStringLiteral("10001"));
}

TEST_F(SuchlisteF4Test, TransportfeldOhneDefinitionIstNull) {
  AdressQuellenInfo quelle = AdressQuellenInfo::Intern();
  quelle.Transportfelder = QStringLiteral("Name;;BIC;Gibtesnicht");
  quelle.AdressNrFeld.clear();
  DbFehler f;
  auto rs = Recordset::Oeffnen(*Zustand().Datenbank(), Abfrage::Tabelle(QStringLiteral("Adressen")),
                               RecordsetTyp::Snapshot, f);
  ASSERT_TRUE(rs);
  rs->MoveFirst();
  const QVariantList werte = Suchlistenquelle::Rueckwerte(Suchlistenquelle::Modus::Adressen, *rs, quelle);
  ASSERT_EQ(werte.size(), 8);   // no address-number field: no element 8
  EXPECT_FALSE(werte[1].isNull());
  EXPECT_TRUE(werte[2].isNull());
  EXPECT_FALSE(werte[3].isNull());
  for (int i = 4; i <= 7; ++i) EXPECT_TRUE(werte[i].isNull()) << "Wert " << i;
}

TEST_F(SuchlisteF4Test, ZahlungenMitFilterLiefernZahlungNr) {
  const Bedingung filter(SqlText("AbsenderNr = ?"), {1});
  const QVariantList werte = Waehlen(3, {QStringLiteral("Name"), QStringLiteral("zweite")}, filter);
  ASSERT_EQ(werte.size(), 2);
  EXPECT_EQ(werte[1].toInt(), 2);

  SuchlisteF4 liste;
  ASSERT_TRUE(liste.Daten(QFont(), false, filter, {}, 3));
  EXPECT_EQ(liste.Gitter()->ZeilenAnzahl(), 2);   // the other sender's payment is filtered out
  // The criterion is a value, never SQL: a quote in it finds nothing and breaks nothing.
  EXPECT_FALSE(liste.Positionieren({QStringLiteral("Name"), QStringLiteral("x' OR '1'='1")}));
}

TEST_F(SuchlisteF4Test, OhneWahlGeschlossenLiefertWahr) {
  SuchlisteF4 liste;
  ASSERT_TRUE(liste.Daten(QFont(), true, {}, {}, 1));
  liste.reject();
  QVariantList werte{QStringLiteral("unverändert")};
  EXPECT_TRUE(liste.Rueckwert(werte));
  EXPECT_EQ(werte.size(), 1);
}

TEST_F(SuchlisteF4Test, SuchfeldPositioniertUndEnterWaehlt) {
  SuchlisteF4 liste;
  ASSERT_TRUE(liste.Daten(QFont(), true, {}, {}, 1));
  liste.show();
  ASSERT_TRUE(liste.Suchfeld()->isVisible());
  QTest::keyClicks(liste.Suchfeld(), QStringLiteral("ing"));
  QTest::keyClick(liste.Suchfeld(), Qt::Key_Return);
  QVariantList werte;
  ASSERT_FALSE(liste.Rueckwert(werte));
  EXPECT_EQ(werte[1].toString(), QStringLiteral("INGDDEFFXXX"));
}

TEST_F(SuchlisteF4Test, SortierspalteWirdGespeichert) {
  {
    SuchlisteF4 liste;
    ASSERT_TRUE(liste.Daten(QFont(), false, {}, {}, 1));
    ASSERT_TRUE(liste.SortierenNach(QStringLiteral("BLZ")));
    EXPECT_EQ(liste.Gitter()->Wert(0, QStringLiteral("BLZ")).toString(), QStringLiteral("10000000"));
    EXPECT_FALSE(liste.SortierenNach(QStringLiteral("BLZ; DROP TABLE Bankverbindung")));
  }
  EXPECT_EQ(GetSetting(QStringLiteral("Suchliste State"), QStringLiteral("Sortierung1")), QStringLiteral("BLZ"));
  SuchlisteF4 wieder;
  ASSERT_TRUE(wieder.Daten(QFont(), false, {}, {}, 1));
  EXPECT_EQ(wieder.Sortierfeld(), QStringLiteral("BLZ"));
  EXPECT_EQ(wieder.Gitter()->Wert(0, QStringLiteral("BLZ")).toString(), QStringLiteral("10000000"));
  EXPECT_EQ(wieder.Gitter()->Wert(2, QStringLiteral("BLZ")).toString(), QStringLiteral("50010517"));
}

}  // namespace

namespace {

QStringList Spaltentitel(const DatenGitter& g) {
  QStringList titel;
  for (int s = 0; s < g.SpaltenAnzahl(); ++s) titel << g.Spalte(s).titel;
  return titel;
}

// The list showed the raw field names ("OPKontoNr", "MandatReferenz") where the address window shows
// "Adress-Nr.", "Mandat-Referenz"; also after a sort by a column.
TEST_F(SuchlisteF4Test, SpaltenTragenDeutscheTitel) {
  SuchlisteF4 liste;
  ASSERT_TRUE(liste.Daten(QFont(), true, {}, {}, 2));
  QStringList titel = Spaltentitel(*liste.Gitter());
  EXPECT_TRUE(titel.contains(QStringLiteral("Adress-Nr.")));
  EXPECT_TRUE(titel.contains(QStringLiteral("Mandat-Referenz")));
  EXPECT_FALSE(titel.contains(QStringLiteral("OPKontoNr")));
  ASSERT_TRUE(liste.SortierenNach(QStringLiteral("Name")));
  EXPECT_EQ(Spaltentitel(*liste.Gitter()), titel);
  QVariantList werte;
  liste.Rueckwert(werte);

  SuchlisteF4 zahlungen;
  ASSERT_TRUE(zahlungen.Daten(QFont(), false, {}, {}, 3));
  titel = Spaltentitel(*zahlungen.Gitter());
  EXPECT_TRUE(titel.contains(QStringLiteral("Zahlung-Nr.")));
  EXPECT_TRUE(titel.contains(QStringLiteral("Betrag")));
  EXPECT_FALSE(titel.contains(QStringLiteral("ZahlungGesamt")));
  zahlungen.Rueckwert(werte);
}


// The bank list cut the codes off ("37040…", "COBADEF…") while part of the list stayed blank.
TEST_F(SuchlisteF4Test, BankspaltenZeigenDieCodesGanzUndFuellenDieListe) {
  SuchlisteF4 liste;
  ASSERT_TRUE(liste.Daten(QFont(), false, {}, {}, 1));
  liste.resize(700, 420);
  liste.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&liste));
  const DatenGitter& g = *liste.Gitter();
  const QFontMetrics fm(g.font());
  for (const QString& feld : {QStringLiteral("BLZ"), QStringLiteral("BIC")}) {
    const int s = g.SpaltenIndex(feld);
    ASSERT_GE(s, 0);
    for (int z = 0; z < g.ZeilenAnzahl(); ++z)
      EXPECT_GE(g.Spaltenbreite(s), fm.horizontalAdvance(g.Wert(z, feld).toString()) + 8) << feld.toStdString();
  }
  const std::vector<float> prozente = g.SpaltenProzente();
  EXPECT_NEAR(std::accumulate(prozente.begin(), prozente.end(), 0.0f), 100.0f, 1.0f);
  liste.reject();
  QVariantList werte;
  liste.Rueckwert(werte);
}

// The address search list showed bank, BIC and IBAN cut or behind the scroll bar: the list grows for
// them and shows them whole without scrolling; the names give way.
TEST_F(SuchlisteF4Test, AdressenZeigenBankBicUndIbanGanzOhneBlaettern) {
  SuchlisteF4 liste;
  ASSERT_TRUE(liste.Daten(QFont(), false, {}, {}, 0));
  liste.resize(500, 420);
  liste.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&liste));
  const DatenGitter& g = *liste.Gitter();
  ASSERT_GT(g.ZeilenAnzahl(), 0);
  const QHeaderView* kopf = g.Ansicht()->horizontalHeader();
  EXPECT_GT(liste.width(), 500);
  for (const char* feld : {"Bank", "BIC", "IBAN"}) {
    const int s = g.SpaltenIndex(QString::fromUtf8(feld));
    ASSERT_GE(s, 0) << feld;
    EXPECT_LE(kopf->sectionViewportPosition(s) + kopf->sectionSize(s), g.Ansicht()->viewport()->width()) << feld;
    for (int z = 0; z < g.ZeilenAnzahl(); ++z) EXPECT_EQ(g.ZellTipp(z, s), QString()) << feld << " " << z;
  }
  liste.reject();
  QVariantList werte;
  liste.Rueckwert(werte);
}

}  // namespace
