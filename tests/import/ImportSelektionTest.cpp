// The selection of the import window over fixture files of both sibling programs: every clause of
// the options, the filter bar, the exclusion pass, and the data-field lists.

#include <gtest/gtest.h>

#include "ImportTestumgebung.h"
#include "common/Programmzustand.h"

namespace {

using Adresse = Geschwisterdatenbank::AdressDaten;
using Posten = Geschwisterdatenbank::PostenDaten;

Posten P(const char* konto, const char* nr, char art, QDate faellig, Waehrung rest, char kontoart = 'K') {
  return Posten{.konto = QString::fromUtf8(konto), .nr = QString::fromUtf8(nr), .art = QLatin1Char(art),
                .kontoart = QLatin1Char(kontoart), .vom = QDate(2024, 2, 1), .faellig = faellig, .betrag = rest,
                .rest = rest, .buchungsliste = QStringLiteral("BL-") + QString::fromUtf8(nr)};
}

// Customers 10001 (bank data), 10002 (a "diverse" account without bank data), 9 (numeric, only an
// account number), A100 (no number); supplier 70001.
Geschwisterdatenbank Buchhaltung() {
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
  g.Adresse({.konto = QStringLiteral("10001"), .suchname = QStringLiteral("MEIER"), .name = QStringLiteral("Meier GmbH"),
             .iban = QStringLiteral("DE89370400440532013000")})
      .Adresse({.konto = QStringLiteral("10002"), .suchname = QStringLiteral("Diverse Kunden"), .name = QStringLiteral("Diverse")})
      .Adresse({.konto = QStringLiteral("9"), .suchname = QStringLiteral("NEUN"), .name = QStringLiteral("Neun"),
                .kontoNr = QStringLiteral("12345")})
      .Adresse({.konto = QStringLiteral("A100"), .suchname = QStringLiteral("ALPHA"), .name = QStringLiteral("Alpha"),
                .iban = QStringLiteral("DE02120300000000202051")})
      .Adresse({.konto = QStringLiteral("70001"), .suchname = QStringLiteral("LIEF"), .name = QStringLiteral("Lieferant")})
      .Posten(P("10001", "R-1", 'R', QDate(2024, 3, 1), Eur(100)))
      .Posten(P("10001", "R-2", 'R', QDate(2024, 3, 31), Eur(0, 50)))
      .Posten(P("10001", "G-1", 'G', QDate(2024, 4, 1), Eur(20)))
      .Posten(P("10001", "Z-0", 'R', QDate(2024, 3, 5), Eur(0)))
      .Posten(P("10001", "M-1", 'R', QDate(2024, 3, 6), -Eur(5)))
      .Posten(P("10002", "D-1", 'R', QDate(2024, 3, 2), Eur(50)))
      .Posten(P("9", "N-1", 'R', QDate(2024, 3, 3), Eur(10)))
      .Posten(P("A100", "T-1", 'R', QDate(2024, 3, 4), Eur(5)))
      .Posten(P("70001", "E-1", 'R', QDate(2024, 3, 7), Eur(30), 'L'));
  return g;
}

QStringList Nummern(ImportTestumgebung& u, const ImportAuswahl& a) {
  QStringList n;
  for (const ImportVorgang& v : u.Vorgaenge(a)) n << v.posten.opKontoNr + QLatin1Char('/') + v.posten.vorgangsNr;
  return n;
}

class ImportSelektionTest : public ::testing::Test {
 protected:
  ImportTestumgebung u{Buchhaltung()};
};

TEST_F(ImportSelektionTest, RestUndKontoartNachKontoUndFaelligkeitAbsteigend) {
  ImportAuswahl a;
  EXPECT_EQ(Nummern(u, a), (QStringList{QStringLiteral("10001/G-1"), QStringLiteral("10001/R-2"),
                                        QStringLiteral("10001/R-1"), QStringLiteral("10002/D-1"), QStringLiteral("9/N-1"),
                                        QStringLiteral("A100/T-1")}));
  a.mitMinus = true;  // every rest but 0
  EXPECT_EQ(Nummern(u, a).size(), 7);
  EXPECT_TRUE(Nummern(u, a).contains(QStringLiteral("10001/M-1")));
  a = {};
  a.lieferanten = true;
  EXPECT_EQ(Nummern(u, a), QStringList{QStringLiteral("70001/E-1")});
}

TEST_F(ImportSelektionTest, KleinbetraegeDiverseUndBankverbindung) {
  ImportAuswahl a;
  a.kleinBetrag = true;  // rests under 1 EUR, by amount: -5,00 stays with the minus option
  a.mitMinus = true;
  QStringList n = Nummern(u, a);
  EXPECT_FALSE(n.contains(QStringLiteral("10001/R-2")));
  EXPECT_TRUE(n.contains(QStringLiteral("10001/M-1")));
  a = {};
  a.ohneDiverse = true;  // "Diverse Kunden": any case
  EXPECT_FALSE(Nummern(u, a).contains(QStringLiteral("10002/D-1")));
  EXPECT_EQ(Nummern(u, a).size(), 5);
  a = {};
  a.nurMitKontoNr = true;  // IBAN or account number
  EXPECT_EQ(Nummern(u, a), (QStringList{QStringLiteral("10001/G-1"), QStringLiteral("10001/R-2"),
                                        QStringLiteral("10001/R-1"), QStringLiteral("9/N-1"), QStringLiteral("A100/T-1")}));
}

TEST_F(ImportSelektionTest, KontogrenzenAlsZahlOderText) {
  ImportAuswahl a;
  a.vonKonto = QStringLiteral("100");  // numerically: 9 lies below, A100 is no number
  EXPECT_EQ(Nummern(u, a), (QStringList{QStringLiteral("10001/G-1"), QStringLiteral("10001/R-2"),
                                        QStringLiteral("10001/R-1"), QStringLiteral("10002/D-1")}));
  a.vonKonto = QStringLiteral("9");
  a.bisKonto = QStringLiteral("10001");  // both bounds included
  EXPECT_EQ(Nummern(u, a), (QStringList{QStringLiteral("10001/G-1"), QStringLiteral("10001/R-2"),
                                        QStringLiteral("10001/R-1"), QStringLiteral("9/N-1")}));
  a.vonKonto = QStringLiteral("10002");
  a.bisKonto = QStringLiteral("10001");
  EXPECT_TRUE(Nummern(u, a).isEmpty());
  a = {};
  a.vonKonto = QStringLiteral("a");  // text: case ignored, digits sort before letters
  EXPECT_EQ(Nummern(u, a), QStringList{QStringLiteral("A100/T-1")});
  a = {};
  a.bisKonto = QStringLiteral("' OR '1'='1");  // only a value: every account sorts after it
  EXPECT_TRUE(Nummern(u, a).isEmpty());
}

TEST_F(ImportSelektionTest, FaelligkeitSchliesstDenLetztenTagEin) {
  ImportAuswahl a;
  a.vonFaellig = QDate(2024, 3, 1);
  a.bisFaellig = QDate(2024, 3, 31);
  const QStringList n = Nummern(u, a);
  EXPECT_TRUE(n.contains(QStringLiteral("10001/R-1")));
  EXPECT_TRUE(n.contains(QStringLiteral("10001/R-2")));  // due on the 31st
  EXPECT_FALSE(n.contains(QStringLiteral("10001/G-1")));  // due on 1 April
  a.vonFaellig = QDate(2024, 3, 4);
  a.bisFaellig = QDate(2024, 3, 4);
  EXPECT_EQ(Nummern(u, a), QStringList{QStringLiteral("A100/T-1")});
}

TEST_F(ImportSelektionTest, FilterleisteNurAufTabellenfeldern) {
  ImportAuswahl a;
  a.filter = ImportSelektion::FilterBedingung(u.Quelle(), {{QStringLiteral("VorgangsNr"), QStringLiteral("r-*")}});
  EXPECT_EQ(Nummern(u, a), (QStringList{QStringLiteral("10001/R-2"), QStringLiteral("10001/R-1")}));
  a.filter = ImportSelektion::FilterBedingung(u.Quelle(), {{QStringLiteral("Suchname"), QStringLiteral("mei")},
                                                          {QStringLiteral("Fällig"), QStringLiteral("01.03.2024")}});
  EXPECT_EQ(Nummern(u, a), QStringList{QStringLiteral("10001/R-1")});
  // The kind is computed: a filter there changes nothing.
  a.filter = ImportSelektion::FilterBedingung(u.Quelle(), {{QStringLiteral("Art"), QStringLiteral("KG")}});
  EXPECT_TRUE(a.filter.IstLeer());
  a.filter = ImportSelektion::FilterBedingung(u.Quelle(), {{QStringLiteral("Buchungsliste"), QStringLiteral("x' OR '1'='1")}});
  EXPECT_TRUE(Nummern(u, a).isEmpty());
}

TEST_F(ImportSelektionTest, FehlerhafteAbfrageWirdGemeldet) {
  ImportAuswahl a;
  a.filter = Bedingung(SqlText("Gibtsnicht = ?"), {1});
  const ImportSelektionsErgebnis e = ImportSelektion::Selektieren(u.Db(), u.Quelle(), a);
  EXPECT_FALSE(e.daten);
  EXPECT_FALSE(e.fehler.Ok());
  EXPECT_TRUE(e.abfrage.contains(QStringLiteral("Gibtsnicht"))) << e.abfrage.toStdString();
}

TEST_F(ImportSelektionTest, DatenfelderDerAdressen) {
  QStringList datum, alle;
  ASSERT_TRUE(ImportSelektion::Datenfelder(u.Db(), datum, alle).Ok());
  EXPECT_EQ(datum, QStringList{QStringLiteral("MandatDatum")});
  EXPECT_EQ(alle.first(), QStringLiteral("OPKontoNr"));
  EXPECT_TRUE(alle.contains(QStringLiteral("LieferantenKundenNr")));
  EXPECT_EQ(alle.size(), 13);
}

// --- the exclusion pass ---------------------------------------------------------------------------

Geschwisterdatenbank Ausschlussdaten(Geschwisterdatenbank::Programm programm) {
  Geschwisterdatenbank g(programm);
  for (const char* konto : {"20001", "20002", "30001", "30002", "40001"})
    g.Adresse({.konto = QString::fromUtf8(konto), .suchname = QString::fromUtf8(konto), .name = QStringLiteral("Kunde")});
  for (int i = 1; i <= 5; ++i) g.Posten(P("20002", QByteArray::number(20 + i).constData(), 'R', QDate(2024, 3, i), Eur(1)));
  g.Posten(P("30001", "31", 'R', QDate(2024, 3, 1), Eur(60)))
      .Posten(P("30001", "32", 'R', QDate(2024, 3, 2), Eur(40)))
      .Posten(P("30001", "33", 'G', QDate(2024, 3, 3), Eur(150)))
      .Posten(P("30002", "34", 'R', QDate(2024, 3, 1), Eur(80)))
      .Posten(P("30002", "35", 'G', QDate(2024, 3, 2), Eur(80)));
  // The first and the last account have six items.
  for (int i = 1; i <= 6; ++i) g.Posten(P("20001", QByteArray::number(10 + i).constData(), 'R', QDate(2024, 3, i), Eur(1)));
  for (int i = 1; i <= 6; ++i) g.Posten(P("40001", QByteArray::number(40 + i).constData(), 'R', QDate(2024, 3, i), Eur(1)));
  return g;
}

QStringList Konten(const std::vector<ImportVorgang>& v) {
  QStringList k;
  for (const ImportVorgang& x : v)
    if (!k.contains(x.posten.opKontoNr)) k << x.posten.opKontoNr;
  return k;
}

struct AusschlussFall {
  const char* name;
  Geschwisterdatenbank::Programm programm;
};

class Ausschluss : public ::testing::TestWithParam<AusschlussFall> {};

TEST_P(Ausschluss, MehrAlsFuenfPostenUndMinusSummen) {
  ImportTestumgebung u{Ausschlussdaten(GetParam().programm)};
  ImportAuswahl a;
  EXPECT_EQ(Konten(u.Vorgaenge(a)), (QStringList{QStringLiteral("20001"), QStringLiteral("20002"), QStringLiteral("30001"),
                                                 QStringLiteral("30002"), QStringLiteral("40001")}));
  a.ohneMehrAls5 = true;  // six items hidden, five listed, the last account judged like the others
  EXPECT_EQ(Konten(u.Vorgaenge(a)),
            (QStringList{QStringLiteral("20002"), QStringLiteral("30001"), QStringLiteral("30002")}));
  a.ohneMehrAls5 = false;
  a.ohneNegativSummen = true;  // 100,00 of invoices against 150,00 of credit notes; exactly 0,00 stays
  const ImportSelektionsErgebnis e = ImportSelektion::Selektieren(u.Db(), u.Quelle(), a);
  ASSERT_TRUE(e.daten);
  EXPECT_EQ(e.ausgeschlossen, QStringList{QStringLiteral("30001")});
  EXPECT_EQ(Konten(ImportVorgaengeLesen(*e.daten)), (QStringList{QStringLiteral("20001"), QStringLiteral("20002"),
                                                                 QStringLiteral("30002"), QStringLiteral("40001")}));
  a.ohneMehrAls5 = true;
  EXPECT_EQ(Konten(u.Vorgaenge(a)), (QStringList{QStringLiteral("20002"), QStringLiteral("30002")}));
}

INSTANTIATE_TEST_SUITE_P(
    Geschwister, Ausschluss,
    ::testing::Values(AusschlussFall{"Buchhaltung", Geschwisterdatenbank::Programm::Buchhaltung},
                      // The order program's signed rest counts as well.
                      AusschlussFall{"Auftragsprogramm", Geschwisterdatenbank::Programm::Auftrag}),
    [](const ::testing::TestParamInfo<AusschlussFall>& info) { return std::string(info.param.name); });

TEST(AuftragsprogrammSelektion, GutschriftMitGespeichertemVorzeichenZaehltNegativ) {
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Auftrag);
  g.Adresse({.konto = QStringLiteral("K1"), .suchname = QStringLiteral("EINS"), .name = QStringLiteral("Eins")})
      .Posten(P("K1", "4711", 'R', QDate(2024, 3, 1), Eur(100)))
      .Posten(P("K1", "4712", 'G', QDate(2024, 3, 2), -Eur(150)));  // rest stored with its sign
  ImportTestumgebung u{g};
  ImportAuswahl a;
  a.mitMinus = true;
  const std::vector<ImportVorgang> v = u.Vorgaenge(a);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0].posten.art, QStringLiteral("KG"));
  EXPECT_EQ(v[0].posten.rest, Eur(150));  // unsigned; the line negates it once
  EXPECT_EQ(OPBetragMitVorzeichen(v[0].posten), -Eur(150));
  a.ohneNegativSummen = true;
  EXPECT_TRUE(u.Vorgaenge(a).empty());
}

}  // namespace
