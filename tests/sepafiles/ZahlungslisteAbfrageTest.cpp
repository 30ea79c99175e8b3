// The payment list's query and the signed line total: kind x status x due limit x filter bar, over
// orders of both kinds, open and done, with several lines, a line without amount, an order without
// lines and another sender's order.

#include <gtest/gtest.h>

#include "LaufTestDatenbank.h"
#include "common/FilterBedingung.h"
#include "platform/db/Recordset.h"
#include "sepafiles/core/Zahlungssumme.h"
#include "sepafiles/core/ZahlungslisteAbfrage.h"

namespace {

struct ListenFall {
  const char* name;
  int zahlart;
  int status;
  std::optional<QDate> faelligBis;
  const char* filterFeld;   // "" = no filter
  const char* filterText;
  QList<int> zeilen;        // the order numbers of the rows, in list order
  int64_t summeCent;
};

class ZahlungslisteAbfrageTest : public ::testing::TestWithParam<ListenFall> {
 protected:
  void SetUp() override {
    LaufTestDatenbank::Auftrag a;
    // 1: credit transfer, open, due 10.03., lines 100,00 and 50,00; ZahlungGesamt differs from them
    a.name = QStringLiteral("Meier GmbH");
    a.faellig = QDate(2024, 3, 10);
    a.zeilenCent = {10000, 5000};
    a.gesamtCent = 77700;
    ASSERT_EQ(m_t.Anlegen(a), 1);
    // 2: credit transfer, done, due 15.03., 200,00
    a.name = QStringLiteral("Müller KG");
    a.faellig = QDate(2024, 3, 15);
    a.zeilenCent = {20000};
    a.gesamtCent = 0;
    a.erledigt = true;
    ASSERT_EQ(m_t.Anlegen(a), 2);
    // 3: core direct debit, open, due 16.03., 300,00 and a line without amount
    LaufTestDatenbank::Auftrag l = Lastschrift(2, {30000});
    l.name = QStringLiteral("Möller");
    l.faellig = QDate(2024, 3, 16);
    ASSERT_EQ(m_t.Anlegen(l), 3);
    ASSERT_FALSE(m_t.Db().Ausfuehren(
        "INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, ZahlungsBetrag) VALUES (3, 2, 'ohne', NULL)"));
    // 4: B2B direct debit, done, due 15.03., 400,00
    l = Lastschrift(12, {40000});
    l.name = QStringLiteral("Schulz");
    l.faellig = QDate(2024, 3, 15);
    l.erledigt = true;
    ASSERT_EQ(m_t.Anlegen(l), 4);
    // 5: another sender's order; 6: an order without lines
    a = {};
    a.absenderNr = 2;
    a.zeilenCent = {99900};
    ASSERT_EQ(m_t.Anlegen(a), 5);
    l = Lastschrift(3, {});
    l.gesamtCent = 12300;
    ASSERT_EQ(m_t.Anlegen(l), 6);
  }

  ZahlungslisteFilter Filter(const ListenFall& fall) {
    ZahlungslisteFilter f;
    f.absenderNr = 1;
    f.zahlartIndex = fall.zahlart;
    f.statusartIndex = fall.status;
    f.faelligBis = fall.faelligBis;
    if (*fall.filterFeld) {
      const bool betrag = QString::fromUtf8(fall.filterFeld) == QStringLiteral("ZahlungsBetrag");
      FilterSpalte s{QString::fromUtf8(fall.filterFeld), betrag ? QStringLiteral("Verwendungszweck") : QStringLiteral("Zahlungen"),
                     QString::fromUtf8(fall.filterFeld), betrag ? FeldTyp::Waehrung : FeldTyp::Text,
                     QString::fromUtf8(fall.filterText)};
      f.suchfilter = FilterBedingungErstellen({s}, true);
    }
    return f;
  }

  LaufTestDatenbank m_t;
};

TEST_P(ZahlungslisteAbfrageTest, ZeilenUndVorzeichensumme) {
  const ListenFall& fall = GetParam();
  const ZahlungslisteFilter filter = Filter(fall);
  DbFehler f;
  auto rs = Recordset::Oeffnen(m_t.Db(), ZahlungslisteAbfrage(filter), RecordsetTyp::Dynaset, f);
  ASSERT_TRUE(rs) << f.Beschreibung.toStdString();
  QList<int> zeilen;
  for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) zeilen << rs->Feld(QStringLiteral("Zahlungen.ZahlungNr")).toInt();
  EXPECT_EQ(zeilen, fall.zeilen);
  const std::optional<Waehrung> summe = VorzeichenSumme(m_t.Db(), ZahlungslisteBedingung(filter), f);
  ASSERT_FALSE(f) << f.Beschreibung.toStdString();
  ASSERT_TRUE(summe);
  EXPECT_EQ(*summe, Waehrung::AusCent(fall.summeCent)) << summe->FormatDeutsch(true, 2).toStdString();
}

const QDate k14(2024, 3, 14), k15(2024, 3, 15), k16(2024, 3, 16);

// Credit transfers first, by number, each order's lines in order. The total adds the lines (not
// ZahlungGesamt), credit transfers negative, a line without amount as 0.
INSTANTIATE_TEST_SUITE_P(
    ArtStatusFaelligFilter, ZahlungslisteAbfrageTest,
    ::testing::Values(
        ListenFall{"AlleAlle", 2, 2, {}, "", "", {1, 1, 2, 3, 3, 4}, 35000},
        ListenFall{"UeberweisungenAlle", 0, 2, {}, "", "", {1, 1, 2}, -35000},
        ListenFall{"LastschriftenAlle", 1, 2, {}, "", "", {3, 3, 4}, 70000},
        ListenFall{"AlleErledigt", 2, 0, {}, "", "", {2, 4}, 20000},
        ListenFall{"AlleOffen", 2, 1, {}, "", "", {1, 1, 3, 3}, 15000},
        ListenFall{"UeberweisungenOffen", 0, 1, {}, "", "", {1, 1}, -15000},
        ListenFall{"LastschriftenErledigt", 1, 0, {}, "", "", {4}, 40000},
        ListenFall{"FaelligBisEinschliesslich", 2, 2, k15, "", "", {1, 1, 2, 4}, 5000},
        ListenFall{"FaelligBisTagDavor", 2, 2, k14, "", "", {1, 1}, -15000},
        ListenFall{"FilterNameUmlautOhneGrossKlein", 2, 2, {}, "Name", "mü", {2}, -20000},
        ListenFall{"FilterNamePraefix", 2, 2, {}, "Name", "M", {1, 1, 2, 3, 3}, -5000},
        ListenFall{"FilterBetragWieAngezeigt", 2, 2, {}, "ZahlungsBetrag", "1", {1}, -10000},
        ListenFall{"AllesZusammen", 1, 1, k16, "Name", "MÖ", {3, 3}, 30000},
        ListenFall{"NichtsPasst", 0, 0, k14, "", "", {}, 0}),
    [](const ::testing::TestParamInfo<ListenFall>& info) { return std::string(info.param.name); });

// The total adds what is paid (ZahlungsBetrag), never the open item's amount: with a cash discount,
// a line without open item or a line without payment amount the two differ in both kinds.
struct SkontoSummenFall {
  const char* name;
  int zahlart;
  int status;
  int64_t summeCent;
};

class ZahlungssummeMitSkonto : public ::testing::TestWithParam<SkontoSummenFall> {
 protected:
  void SetUp() override {
    // 1: credit transfer, open, 100,00 less 3,00 discount
    LaufTestDatenbank::Auftrag a;
    a.zeilenCent = {9700};
    ASSERT_EQ(m_t.Anlegen(a), 1);
    Zeile(1, 1, 10000, 300);
    // 2: core direct debit, open, 200,00 less 4,00 discount and 50,00 without discount
    ASSERT_EQ(m_t.Anlegen(Lastschrift(3, {19600, 5000})), 2);
    Zeile(2, 1, 20000, 400);
    // 3: B2B direct debit, done: 30,00 without an open item, and an open item of 10,00 paid with nothing
    LaufTestDatenbank::Auftrag l = Lastschrift(13, {3000, 0});
    l.erledigt = true;
    ASSERT_EQ(m_t.Anlegen(l), 3);
    Zeile(3, 1, std::nullopt, std::nullopt);
    ASSERT_FALSE(m_t.Db().Ausfuehren("UPDATE Verwendungszweck SET OPBetrag = ?, ZahlungsBetrag = NULL WHERE ZahlungNr = 3 "
                                     "AND ZeilenNr = 2",
                                     {QVariant::fromValue(Waehrung::AusCent(1000))}));
  }

  void Zeile(qint64 nr, int zeile, std::optional<int64_t> opCent, std::optional<int64_t> skontoCent) {
    auto betrag = [](std::optional<int64_t> c) { return c ? QVariant::fromValue(Waehrung::AusCent(*c)) : QVariant(); };
    ASSERT_FALSE(m_t.Db().Ausfuehren(
        "UPDATE Verwendungszweck SET OPBetrag = ?, SkontoBetrag = ? WHERE ZahlungNr = ? AND ZeilenNr = ?",
        {betrag(opCent), betrag(skontoCent), nr, zeile}));
  }

  LaufTestDatenbank m_t;
};

TEST_P(ZahlungssummeMitSkonto, ZaehltDenZahlungsbetrag) {
  ZahlungslisteFilter filter;
  filter.absenderNr = 1;
  filter.zahlartIndex = GetParam().zahlart;
  filter.statusartIndex = GetParam().status;
  DbFehler f;
  const std::optional<Waehrung> summe = VorzeichenSumme(m_t.Db(), ZahlungslisteBedingung(filter), f);
  ASSERT_FALSE(f) << f.Beschreibung.toStdString();
  ASSERT_TRUE(summe);
  EXPECT_EQ(*summe, Waehrung::AusCent(GetParam().summeCent)) << summe->FormatDeutsch(true, 2).toStdString();
}

// Summed by open item the rows would give -100,00, 260,00, 250,00 and 160,00.
INSTANTIATE_TEST_SUITE_P(
    OffenerPostenUngleichZahlung, ZahlungssummeMitSkonto,
    ::testing::Values(SkontoSummenFall{"Ueberweisungen", 0, 2, -9700},
                      SkontoSummenFall{"Lastschriften", 1, 2, 19600 + 5000 + 3000},
                      SkontoSummenFall{"LastschriftenOffen", 1, 1, 19600 + 5000},
                      SkontoSummenFall{"AlleArten", 2, 2, -9700 + 19600 + 5000 + 3000}),
    [](const ::testing::TestParamInfo<SkontoSummenFall>& info) { return std::string(info.param.name); });

// Amounts as a hand-edited file holds them: a REAL or a text with a point is euros, as every other reader
// of the program takes it (a credit transfer's REAL negative all the same), a text that is no amount
// counts nothing; lines whose sum leaves the int64 make a total that cannot be formed, which is no failure
// of the list's query; the control list's total refuses it.
TEST(Zahlungssumme, LiestBetraegeWieDasProgrammUndUeberlaeuftNicht) {
  LaufTestDatenbank t;
  LaufTestDatenbank::Auftrag a;
  a.zeilenCent = {1, 1, 1};
  const qint64 nr = t.Anlegen(a);
  auto zeile = [&](int zeilenNr, const QVariant& betrag) {
    ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Verwendungszweck SET ZahlungsBetrag = ? WHERE ZahlungNr = ? AND ZeilenNr = ?",
                                   {betrag, nr, zeilenNr}));
  };
  zeile(1, QVariant(12.5));
  zeile(2, QVariant(QStringLiteral("0.25")));
  zeile(3, QVariant(QStringLiteral("12,50")));
  ASSERT_EQ(t.Wert("SELECT group_concat(typeof(ZahlungsBetrag)) FROM Verwendungszweck").toString(),
            QStringLiteral("real,real,text"));
  const Bedingung b("Zahlungen.AbsenderNr = ?", {1});
  DbFehler f;
  EXPECT_EQ(VorzeichenSumme(t.Db(), b, f), -Waehrung::AusCent(1275));
  EXPECT_FALSE(f);
  EXPECT_EQ(AuftragsSumme(t.Db(), b, f), -Waehrung::AusCent(1275));
  EXPECT_FALSE(f);

  zeile(1, QVariant(qint64(-9'000'000'000'000'000'000)));
  zeile(2, QVariant(qint64(-9'000'000'000'000'000'000)));
  EXPECT_EQ(VorzeichenSumme(t.Db(), b, f), std::nullopt);
  EXPECT_FALSE(f) << f.Beschreibung.toStdString();
  AuftragsSumme(t.Db(), b, f);
  EXPECT_EQ(f.Beschreibung, Waehrung::SummeNichtBildbarText());
}

TEST(Zahlungssumme, OhneZeilenUndMitFehlschlag) {
  LaufTestDatenbank t;
  DbFehler f;
  EXPECT_EQ(VorzeichenSumme(t.Db(), Bedingung("Zahlungen.AbsenderNr = ?", {1}), f), Waehrung());
  EXPECT_FALSE(f);
  t.Db().SetzeStoerung([](const QString& sql) -> DbFehler {
    if (sql.contains(QStringLiteral("tamo_summe("))) return {1, QStringLiteral("gestört")};
    return {};
  });
  t.Anlegen({});
  EXPECT_EQ(VorzeichenSumme(t.Db(), Bedingung("Zahlungen.AbsenderNr = ?", {1}), f), std::nullopt);
  EXPECT_EQ(f.Beschreibung, QStringLiteral("gestört"));
  EXPECT_TRUE(VorzeichenSummeSql(Bedingung("Zahlungen.AbsenderNr = ?", {1})).Text().endsWith(QStringLiteral(
      "FROM Zahlungen INNER JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr WHERE "
      "(Zahlungen.AbsenderNr = ?)")));
}

}  // namespace
