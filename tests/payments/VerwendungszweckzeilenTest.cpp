#include <gtest/gtest.h>

#include "ZahlungsTestDatenbank.h"
#include "common/AdressQuellenInfo.h"
#include "payments/core/OPAbfrage.h"
#include "payments/core/OPUebernahme.h"
#include "payments/core/Verwendungszweckzeilen.h"
#include "payments/core/ZeilenBetraege.h"
#include "testsupport/Geschwisterdatenbank.h"

namespace {

std::optional<Waehrung> E(int64_t euro) { return Euro(euro); }

struct BetragsFall {
  const char* name;
  ZeilenBetraege vorher;
  BetragsSpalte spalte;
  std::optional<Waehrung> wert;
  ZeilenBetraege nachher;
};

class Betragsregeln : public ::testing::TestWithParam<BetragsFall> {};

}  // namespace

TEST_P(Betragsregeln, AbgeleiteteBetraege) {
  const BetragsFall& f = GetParam();
  ZeilenBetraege z = f.vorher;
  BetragEingeben(z, f.spalte, f.wert);
  EXPECT_EQ(z, f.nachher);
}

INSTANTIATE_TEST_SUITE_P(
    SiebenRegeln, Betragsregeln,
    ::testing::Values(
        // 1. OPBetrag typed: ZahlungsBetrag := v - Skonto
        BetragsFall{"OPBetrag", {std::nullopt, E(3), std::nullopt}, BetragsSpalte::OPBetrag, E(100), {E(100), E(3), E(97)}},
        // 2. discount with OP and payment: payment := OP - v
        BetragsFall{"SkontoMitOPundZahlung", {E(100), std::nullopt, E(100)}, BetragsSpalte::SkontoBetrag, E(3),
                    {E(100), E(3), E(97)}},
        // 3. discount without OP: OP := payment + v
        BetragsFall{"SkontoOhneOP", {std::nullopt, std::nullopt, E(97)}, BetragsSpalte::SkontoBetrag, E(3),
                    {E(100), E(3), E(97)}},
        // 4. payment, no OP, discount: OP := discount + v
        BetragsFall{"ZahlungOhneOPmitSkonto", {std::nullopt, E(3), std::nullopt}, BetragsSpalte::ZahlungsBetrag, E(97),
                    {E(100), E(3), E(97)}},
        // 5. payment, OP, no discount: OP := v
        BetragsFall{"ZahlungMitOPohneSkonto", {E(100), std::nullopt, E(100)}, BetragsSpalte::ZahlungsBetrag, E(97),
                    {E(97), std::nullopt, E(97)}},
        // 6. payment alone: OP := v
        BetragsFall{"ZahlungAllein", {}, BetragsSpalte::ZahlungsBetrag, E(50), {E(50), std::nullopt, E(50)}},
        // 7. payment with OP and discount: discount := OP - v
        BetragsFall{"ZahlungMitOPundSkonto", {E(100), E(3), E(97)}, BetragsSpalte::ZahlungsBetrag, E(95),
                    {E(100), E(5), E(95)}},
        // Zero and empty amounts are stored as Null; nothing else changes.
        BetragsFall{"NullWirdLeer", {E(100), std::nullopt, E(100)}, BetragsSpalte::OPBetrag, Waehrung(),
                    {std::nullopt, std::nullopt, E(100)}},
        BetragsFall{"LeereZahlung", {E(100), E(3), E(97)}, BetragsSpalte::ZahlungsBetrag, std::nullopt,
                    {E(100), E(3), std::nullopt}},
        // A discount typed into a line without amounts derives nothing.
        BetragsFall{"SkontoOhneBetraege", {}, BetragsSpalte::SkontoBetrag, E(3), {std::nullopt, E(3), std::nullopt}},
        // A derived discount of 0 is Null.
        BetragsFall{"AbgeleitetesSkontoNull", {E(100), E(3), E(97)}, BetragsSpalte::ZahlungsBetrag, E(100),
                    {E(100), std::nullopt, E(100)}}),
    [](const ::testing::TestParamInfo<BetragsFall>& info) { return std::string(info.param.name); });

TEST(Fusszeilen, NullsummeBleibtLeerSkontoNegiert) {
  const ZeilenFusszeilen f = FusszeilenErmitteln({Euro(1234, 56), Euro(3), Waehrung()});
  EXPECT_EQ(f.opBetrag, QStringLiteral("1.234,56"));
  EXPECT_EQ(f.skontoBetrag, QStringLiteral("-3,00"));
  EXPECT_EQ(f.zahlungsBetrag, QStringLiteral(" "));
}

TEST(OPUebernahme, VorlagenJeVorgangsart) {
  const Zeilenvorlagen v = ZeilenvorlagenAusText(ZeilenvorlagenVorgabe());
  OffenerPosten p{QStringLiteral("4711"), QStringLiteral("KR"), QDate(2024, 3, 1), QDate(2024, 3, 31), Euro(100), Euro(100)};
  OPZeilenwerte z = OffenenPostenUebernehmen(p, v, true, 27);
  EXPECT_EQ(z.verwendungszweck, QStringLiteral("RG 4711 vom 01.03.24"));
  EXPECT_EQ(z.betraege.zahlungsBetrag, E(100));
  EXPECT_EQ(z.betraege.opBetrag, E(100));
  EXPECT_FALSE(z.betraege.skontoBetrag);
  EXPECT_EQ(z.opVorgangsArt, QStringLiteral("KR"));
  EXPECT_EQ(z.vorgangsdatum, std::optional<QDate>(QDate(2024, 3, 1)));

  p.art = QStringLiteral("KG");
  z = OffenenPostenUebernehmen(p, v, false, 27);
  // The long date is two characters too wide: the short one keeps the date whole.
  EXPECT_EQ(z.verwendungszweck, QStringLiteral("abzgl. GS 4711 vom 01.03.24"));
  EXPECT_EQ(z.betraege.opBetrag, E(-100));
  EXPECT_EQ(z.betraege.zahlungsBetrag, E(-100));

  p.art = QStringLiteral("KA");
  Zeilenvorlagen mitArt = v;
  mitArt[3] = QStringLiteral("{art}-{RGNR} {rgdatum}");  // placeholders ignore case
  z = OffenenPostenUebernehmen(p, mitArt, true, 27);
  EXPECT_EQ(z.verwendungszweck, QStringLiteral("ANZ-4711 01.03.24"));
  EXPECT_EQ(z.betraege.zahlungsBetrag, E(-100));

  p.art = QStringLiteral("KX");
  z = OffenenPostenUebernehmen(p, v, true, 27);
  EXPECT_EQ(z.verwendungszweck, QStringLiteral(" 4711 vom 01.03.24"));
  EXPECT_EQ(z.betraege.zahlungsBetrag, E(100));
}

TEST(OPUebernahme, GutschriftMitArtPlatzhalterInVorlageZwei) {
  Zeilenvorlagen v;
  v[2] = QStringLiteral("{Art} {rgnr} {RgDatum}");
  const OffenerPosten p{QStringLiteral("G-17"), QStringLiteral("KG"), QDate(2024, 3, 1), {}, {}, Euro(100)};
  const OPZeilenwerte z = OffenenPostenUebernehmen(p, v, true, 27);
  EXPECT_EQ(z.verwendungszweck, QStringLiteral("GS G-17 01.03.24"));
  EXPECT_EQ(z.betraege, (ZeilenBetraege{E(-100), std::nullopt, E(-100)}));
}

TEST(OPUebernahme, OhneVorlageKurzformVUndSchnittNachDemFilter) {
  const Zeilenvorlagen leer;
  OffenerPosten p{QStringLiteral("4711"), QStringLiteral("KR"), QDate(2024, 3, 1), {}, {}, Euro(10)};
  EXPECT_EQ(OffenenPostenUebernehmen(p, leer, true, 27).verwendungszweck, QStringLiteral("RG 4711 vom 01.03.24"));
  // Wider than the column: " v:" form, then cut.
  p.vorgangsNr = QStringLiteral("2024-00012345");  // "RG 2024-00012345 vom 01.03.24" = 29
  EXPECT_EQ(OffenenPostenUebernehmen(p, leer, true, 27).verwendungszweck, QStringLiteral("RG 2024-00012345 v:01.03.24"));
  p.vorgangsNr = QStringLiteral("2024-0001234567");
  EXPECT_EQ(OffenenPostenUebernehmen(p, leer, false, 27).verwendungszweck, QStringLiteral("RG 2024-0001234567 v:01.03."));
  // Characters outside the payment set are dropped before the cut, so they cost no room.
  p.vorgangsNr = QStringLiteral("<<<<<<4711>>>>>>");
  Zeilenvorlagen v;
  v[1] = QStringLiteral("Rg {RgNr} vom {RgDatum} !!!");
  EXPECT_EQ(OffenenPostenUebernehmen(p, v, false, 27).verwendungszweck, QStringLiteral("Rg 4711 vom 01.03.2024 "));
}

// A template whose text would cut the item number gives way to the plain form; one that cuts only
// its date or its tail keeps its own words.
TEST(OPUebernahme, VorlageSchneidetNieDieVorgangsnummer) {
  Zeilenvorlagen v;
  v[1] = QStringLiteral("Unsere Rechnung Nr. {RgNr} vom {RgDatum}");
  OffenerPosten p{QStringLiteral("2024-000123"), QStringLiteral("KR"), QDate(2024, 3, 1), {}, {}, Euro(10)};
  // "Unsere Rechnung Nr. " leaves 7 places for 11.
  EXPECT_EQ(OffenenPostenUebernehmen(p, v, true, 27).verwendungszweck, QStringLiteral("RG 2024-000123 vom 01.03.24"));
  p.vorgangsNr = QStringLiteral("4711");  // the number fits, the date is cut
  EXPECT_EQ(OffenenPostenUebernehmen(p, v, true, 27).verwendungszweck, QStringLiteral("Unsere Rechnung Nr. 4711 vo"));
  p.vorgangsNr = QStringLiteral("1234567");  // ends exactly at the edge
  EXPECT_EQ(OffenenPostenUebernehmen(p, v, true, 27).verwendungszweck, QStringLiteral("Unsere Rechnung Nr. 1234567"));
  p.vorgangsNr = QStringLiteral("12345678");  // one place beyond
  EXPECT_EQ(OffenenPostenUebernehmen(p, v, true, 27).verwendungszweck, QStringLiteral("RG 12345678 vom 01.03.24"));
}

// The long date made a 29-character text that the 27-character column cut to "vom 15.01.20".
TEST(OPUebernahme, DatumWirdNieHalbAbgeschnitten) {
  const QString vorlage = QStringLiteral("abzgl. GS {RgNr} vom {RgDatum}");
  EXPECT_EQ(TextMitVorgangsdatum(QStringLiteral("abzgl. GS 4711 vom {RgDatum}"), QDate(2026, 1, 15), false, 27),
            QStringLiteral("abzgl. GS 4711 vom 15.01.26"));
  EXPECT_EQ(TextMitVorgangsdatum(QStringLiteral("GS 4711 vom {RgDatum}"), QDate(2026, 1, 15), false, 27),
            QStringLiteral("GS 4711 vom 15.01.2026"));  // fits: the long form stays
  Zeilenvorlagen v;
  v[2] = vorlage;
  const OffenerPosten p{QStringLiteral("4711"), QStringLiteral("KG"), QDate(2026, 1, 15), {}, {}, Euro(10)};
  EXPECT_EQ(OffenenPostenUebernehmen(p, v, false, 27).verwendungszweck, QStringLiteral("abzgl. GS 4711 vom 15.01.26"));
  EXPECT_EQ(OffenenPostenUebernehmen(p, v, false, 40).verwendungszweck, QStringLiteral("abzgl. GS 4711 vom 15.01.2026"));
}

TEST(OPUebernahme, OhneOPQuelleFuelltVorlageEins) {
  Zeilenvorlagen v = ZeilenvorlagenAusText(ZeilenvorlagenVorgabe());
  EXPECT_EQ(TextAusVorgangsNr(QStringLiteral("815"), QString(), v, 27), std::optional<QString>(QStringLiteral("RG 815 vom {RgDatum}")));
  EXPECT_FALSE(TextAusVorgangsNr(QStringLiteral("815"), QStringLiteral("schon da"), v, 27));
  EXPECT_FALSE(TextAusVorgangsNr(QString(), QString(), v, 27));
  v[1].clear();
  EXPECT_FALSE(TextAusVorgangsNr(QStringLiteral("815"), QString(), v, 27));
  EXPECT_EQ(TextMitVorgangsdatum(QStringLiteral("RG 815 vom {rgDATUM}"), QDate(2024, 1, 2), false, 27),
            QStringLiteral("RG 815 vom 02.01.2024"));
  // "AutoVerwRgDatumKurzFormat" holds here as it does for the open items.
  EXPECT_EQ(TextMitVorgangsdatum(QStringLiteral("RG 815 vom {RgDatum}"), QDate(2024, 1, 2), true, 27),
            QStringLiteral("RG 815 vom 02.01.24"));
  EXPECT_EQ(ZeilentextBereinigen(QStringLiteral("RG {RgNr} vom {RGDATUM}"), 27), QStringLiteral("RG  vom "));
}

// Without an open-item source the typed number fills template 1 as well: a template that would
// push the number over the column's edge gives way to the plain form, as for an open item, so that
// the stored line (the date typed or not) carries the whole number.
TEST(OPUebernahme, OhneOPQuelleSchneidetNieDieVorgangsnummer) {
  Zeilenvorlagen v;
  v[1] = QStringLiteral("Unsere Rechnung Nr. {RgNr} vom {RgDatum}");
  struct Fall {
    const char* nr;
    const char* text;
  };
  for (const Fall& fall : {Fall{"1234567", "Unsere Rechnung Nr. 1234567 vom {RgDatum}"},  // ends at the edge
                           Fall{"12345678", "RG 12345678 vom {RgDatum}"},                  // one beyond
                           Fall{"2024-000123", "RG 2024-000123 vom {RgDatum}"}}) {
    SCOPED_TRACE(fall.nr);
    const QString nr = QString::fromLatin1(fall.nr);
    const std::optional<QString> text = TextAusVorgangsNr(nr, QString(), v, 27);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, QString::fromLatin1(fall.text));
    // As stored: without a date, and with the date typed afterwards.
    EXPECT_TRUE(ZeilentextBereinigen(*text, 27).contains(nr));
    EXPECT_TRUE(ZeilentextBereinigen(TextMitVorgangsdatum(*text, QDate(2026, 1, 15), false, 27), 27).contains(nr));
  }
  // A date before the number counts with its long form.
  v[1] = QStringLiteral("{RgDatum} Rechnung {RgNr}");
  EXPECT_EQ(TextAusVorgangsNr(QStringLiteral("1234567"), QString(), v, 27), std::optional<QString>(QStringLiteral("{RgDatum} Rechnung 1234567")));
  EXPECT_EQ(TextAusVorgangsNr(QStringLiteral("12345678"), QString(), v, 27), std::optional<QString>(QStringLiteral("RG 12345678 vom {RgDatum}")));
}

// What the payment character set writes longer (æ as ae) is never stored beyond the column.
TEST(OPUebernahme, BereinigterTextBleibtInDerSpalte) {
  const QString text = QString(27, QChar(0x00E6));
  EXPECT_EQ(ZeilentextBereinigen(text, 27).size(), 27);
  EXPECT_EQ(ZeilentextBereinigen(QStringLiteral("RG 4711"), 27), QStringLiteral("RG 4711"));
}

namespace {

class ZeilenDbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZahlungsTestDatenbank::Zahlung z;
    nr = t.ZahlungAnlegen(z);
  }
  Verwendungszweckzeile Zeile(const QString& text, std::optional<Waehrung> betrag = Euro(1)) {
    Verwendungszweckzeile z;
    z.zahlungNr = nr;
    z.verwendungszweck = text;
    z.betraege.opBetrag = betrag;
    z.betraege.zahlungsBetrag = betrag;
    return z;
  }
  ZahlungsTestDatenbank t;
  qint64 nr = 0;
};

}  // namespace

TEST_F(ZeilenDbTest, SechsteZeileWirdAbgelehnt) {
  for (int i = 1; i <= 5; ++i) {
    Verwendungszweckzeile z = Zeile(QStringLiteral("Zeile %1").arg(i));
    const ZeilenErgebnis e = ZeileSpeichern(t.Db(), z);
    ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
    EXPECT_EQ(z.zeilenNr, i);
    EXPECT_TRUE(z.lfdNr.has_value());
  }
  Verwendungszweckzeile sechste = Zeile(QStringLiteral("Zeile 6"));
  const ZeilenErgebnis e = ZeileSpeichern(t.Db(), sechste);
  EXPECT_EQ(e.art, ZeilenErgebnis::Art::Abgelehnt);
  EXPECT_EQ(e.meldung, QStringLiteral("Es sind maximal 5 Zeilen als Verwendungszweck möglich!"));
  EXPECT_EQ(t.Anzahl("Verwendungszweck"), 5);
}

TEST_F(ZeilenDbTest, TextWirdBereinigtLeererAbgelehnt) {
  Verwendungszweckzeile z = Zeile(QStringLiteral("RG {RgNr} vom {RgDatum} <123456789012345678901234567890>"));
  ASSERT_TRUE(ZeileSpeichern(t.Db(), z).Ok());
  EXPECT_EQ(z.verwendungszweck, QStringLiteral("RG  vom  123456789012345678"));
  EXPECT_EQ(z.verwendungszweck.size(), 27);  // filtered first, then cut: the column is filled

  Verwendungszweckzeile leer = Zeile(QStringLiteral("{RgNr}{rgdatum}"));
  const ZeilenErgebnis e = ZeileSpeichern(t.Db(), leer);
  EXPECT_EQ(e.art, ZeilenErgebnis::Art::Abgelehnt);
  EXPECT_TRUE(e.fokusAufText);
  EXPECT_EQ(e.meldung,
            QStringLiteral("Der Verwendungszweck darf nicht leer sein!\r\rBitte korrigieren/ergänzen Sie die Eingabe."));
  EXPECT_EQ(t.Anzahl("Verwendungszweck"), 1);
}

TEST_F(ZeilenDbTest, SkontoNullWirdAlsLeerGespeichert) {
  Verwendungszweckzeile z = Zeile(QStringLiteral("x"));
  z.betraege.skontoBetrag = Waehrung();
  ASSERT_TRUE(ZeileSpeichern(t.Db(), z).Ok());
  EXPECT_TRUE(t.Wert("SELECT SkontoBetrag FROM Verwendungszweck").isNull());
}

TEST_F(ZeilenDbTest, UmnummerierungSchliesstLueckenNurImEingabemodus) {
  const qint64 a = t.ZeileAnlegen(nr, 1, QStringLiteral("a"), Euro(1));
  const qint64 b = t.ZeileAnlegen(nr, 2, QStringLiteral("b"), Euro(2), Euro(1));
  t.ZeileAnlegen(nr, 3, QStringLiteral("c"), Euro(3));
  t.ZeileAnlegen(nr, 4, QStringLiteral("d"), Euro(4));
  ASSERT_TRUE(ZeilenLoeschen(t.Db(), nr, {b}).Ok());
  ZeilenSummen s;
  ASSERT_TRUE(ZeilenSummieren(t.Db(), nr, false, s).Ok());
  EXPECT_EQ(s.zahlungsBetrag, Euro(8));
  EXPECT_EQ(t.Wert("SELECT group_concat(ZeilenNr) FROM (SELECT ZeilenNr FROM Verwendungszweck ORDER BY ZeilenNr)").toString(),
            QStringLiteral("1,3,4"));
  ASSERT_TRUE(ZeilenSummieren(t.Db(), nr, true, s).Ok());
  std::vector<Verwendungszweckzeile> zeilen;
  ASSERT_TRUE(ZeilenLaden(t.Db(), nr, false, zeilen).Ok());
  ASSERT_EQ(zeilen.size(), 3u);
  EXPECT_EQ(*zeilen[0].lfdNr, a);
  EXPECT_EQ(zeilen[1].verwendungszweck, QStringLiteral("c"));
  EXPECT_EQ(zeilen[2].zeilenNr, 3);
  EXPECT_EQ(s.opBetrag, Euro(8));
  EXPECT_EQ(s.skontoBetrag, Waehrung());
}

TEST_F(ZeilenDbTest, ZeilenLimitZaehltDieDatenbank) {
  // Lines written elsewhere (another window, the import) count as well.
  for (int i = 1; i <= 5; ++i) t.ZeileAnlegen(nr, i, QStringLiteral("z"), Euro(1));
  Verwendungszweckzeile z = Zeile(QStringLiteral("neu"));
  EXPECT_EQ(ZeileSpeichern(t.Db(), z).art, ZeilenErgebnis::Art::Abgelehnt);
}

TEST(OPAbfrage, BuchhaltungOffenePostenNachKontoMitGebundenemKonto) {
  ZahlungsTestDatenbank t;
  using P = Geschwisterdatenbank::PostenDaten;
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
  g.Posten(P{.konto = QStringLiteral("10001"), .nr = QStringLiteral("R1"), .vom = QDate(2024, 1, 1),
             .faellig = QDate(2024, 1, 31), .betrag = Euro(100), .rest = Euro(100)})
      .Posten(P{.konto = QStringLiteral("10001"), .nr = QStringLiteral("G1"), .art = QLatin1Char('G'),
                .vom = QDate(2024, 2, 1), .faellig = QDate(2024, 3, 31), .betrag = Euro(20), .rest = Euro(20)})
      .Posten(P{.konto = QStringLiteral("10001"), .nr = QStringLiteral("R0"), .vom = QDate(2024, 1, 5),
                .faellig = QDate(2024, 2, 5), .betrag = Euro(5)})
      .Posten(P{.konto = QStringLiteral("10001"), .nr = QStringLiteral("RM"), .vom = QDate(2024, 1, 6),
                .faellig = QDate(2024, 2, 6), .betrag = Euro(5), .rest = Euro(-1)})
      .Posten(P{.konto = QStringLiteral("10002"), .nr = QStringLiteral("X"), .vom = QDate(2024, 1, 1),
                .faellig = QDate(2024, 1, 31), .betrag = Waehrung::AusRoh(1), .rest = Waehrung::AusRoh(1)});
  ASSERT_TRUE(g.OPVorgangAnlegen(t.Db()).Ok());
  const AdressQuellenInfo q = AdressQuellenInfo::FuerFormat(1);
  std::vector<OffenerPosten> p;
  ASSERT_TRUE(OffenePostenLaden(t.Db(), OPAbfrageErstellen(q, QStringLiteral("10001"), false), p).Ok());
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].vorgangsNr, QStringLiteral("G1"));  // latest due date first
  EXPECT_EQ(p[0].art, QStringLiteral("KG"));
  EXPECT_EQ(p[0].rest, E(20));
  EXPECT_EQ(p[1].faellig, std::optional<QDate>(QDate(2024, 1, 31)));
  ASSERT_TRUE(OffenePostenLaden(t.Db(), OPAbfrageErstellen(q, QStringLiteral("10001"), true), p).Ok());
  EXPECT_EQ(p.size(), 3u);
  // A hostile account number is only a value.
  ASSERT_TRUE(OffenePostenLaden(t.Db(), OPAbfrageErstellen(q, QStringLiteral("x' OR '1'='1"), true), p).Ok());
  EXPECT_TRUE(p.empty());
  // No open-item source: no query at all.
  EXPECT_TRUE(OPAbfrageErstellen(AdressQuellenInfo::Intern(), QStringLiteral("10001"), false).IstLeer());
  EXPECT_EQ(OPListeZeilen(3), 4.8);
  EXPECT_EQ(OPListeZeilen(20), 15.0);
}

TEST(OPAbfrage, AuftragsprogrammGutschriftWirdGenauEinmalNegiert) {
  ZahlungsTestDatenbank t;
  using P = Geschwisterdatenbank::PostenDaten;
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Auftrag);
  g.Posten(P{.konto = QStringLiteral("20001"), .nr = QStringLiteral("A-1"), .vom = QDate(2024, 1, 1),
             .faellig = QDate(2024, 1, 31), .betrag = Euro(100), .rest = Euro(100)})
      .Posten(P{.konto = QStringLiteral("20001"), .nr = QStringLiteral("A-2"), .art = QLatin1Char('G'),
                .vom = QDate(2024, 2, 1), .faellig = QDate(2024, 2, 28), .betrag = Euro(30), .rest = Euro(30)});
  ASSERT_TRUE(g.OPVorgangAnlegen(t.Db()).Ok());
  std::vector<OffenerPosten> p;
  ASSERT_TRUE(
      OffenePostenLaden(t.Db(), OPAbfrageErstellen(AdressQuellenInfo::FuerFormat(2), QStringLiteral("20001"), false), p)
          .Ok());
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].art, QStringLiteral("KG"));
  EXPECT_EQ(p[0].rest, E(30));  // unsigned
  const Zeilenvorlagen v = ZeilenvorlagenAusText(ZeilenvorlagenVorgabe());
  const OPZeilenwerte gutschrift = OffenenPostenUebernehmen(p[0], v, true, 27);
  EXPECT_EQ(gutschrift.betraege.zahlungsBetrag, E(-30));
  EXPECT_EQ(gutschrift.verwendungszweck, QStringLiteral("abzgl. GS A-2 vom 01.02.24"));
  EXPECT_EQ(OffenenPostenUebernehmen(p[1], v, true, 27).betraege.zahlungsBetrag, E(100));
}

namespace {

std::optional<Waehrung> C(int64_t euro, int64_t cent) { return Euro(euro, cent); }

void PrintTo(const BetragsFall& f, std::ostream* os) { *os << f.name; }

}  // namespace

// Open amount, discount and payment all different before the typing, so that a rule taking the wrong
// operand (the old payment for the open amount, the old discount for the typed one) shows.
INSTANTIATE_TEST_SUITE_P(
    UnterschiedlicheBetraege, Betragsregeln,
    ::testing::Values(
        BetragsFall{"OPBetragNeuBeiSkonto", {E(80), E(3), E(77)}, BetragsSpalte::OPBetrag, E(100), {E(100), E(3), E(97)}},
        BetragsFall{"SkontoVon3Auf5", {E(100), E(3), E(97)}, BetragsSpalte::SkontoBetrag, E(5), {E(100), E(5), E(95)}},
        BetragsFall{"SkontoOhneOPmitAltemSkonto", {std::nullopt, E(2), E(97)}, BetragsSpalte::SkontoBetrag, E(3),
                    {E(100), E(3), E(97)}},
        BetragsFall{"SkontoMitOPohneZahlung", {E(100), E(2), std::nullopt}, BetragsSpalte::SkontoBetrag, E(3),
                    {E(100), E(3), std::nullopt}},
        BetragsFall{"ZahlungOhneOPmitAlterZahlung", {std::nullopt, E(3), E(90)}, BetragsSpalte::ZahlungsBetrag, E(97),
                    {E(100), E(3), E(97)}},
        BetragsFall{"ZahlungMitOPungleichAlterZahlung", {E(120), std::nullopt, E(100)}, BetragsSpalte::ZahlungsBetrag,
                    E(97), {E(97), std::nullopt, E(97)}},
        BetragsFall{"ZahlungMitOPundSkontoUngleich", {E(120), E(3), E(97)}, BetragsSpalte::ZahlungsBetrag, E(95),
                    {E(120), E(25), E(95)}},
        BetragsFall{"CentGenau", {C(1234, 56), std::nullopt, C(1234, 56)}, BetragsSpalte::SkontoBetrag, C(37, 4),
                    {C(1234, 56), C(37, 4), C(1197, 52)}},
        // Credit notes carry negative amounts; the same rules keep their signs.
        BetragsFall{"GutschriftSkonto", {E(-100), std::nullopt, E(-100)}, BetragsSpalte::SkontoBetrag, E(-3),
                    {E(-100), E(-3), E(-97)}},
        BetragsFall{"GutschriftZahlung", {E(-100), E(-3), E(-97)}, BetragsSpalte::ZahlungsBetrag, E(-90),
                    {E(-100), E(-10), E(-90)}}),
    [](const ::testing::TestParamInfo<BetragsFall>& info) { return std::string(info.param.name); });
