#include <gtest/gtest.h>

#include <limits>

#include "testsupport/TestOrdner.h"
#include "testsupport/Testname.h"

#include "LaufTestDatenbank.h"
#include "QtAusgabe.h"
#include "sepafiles/core/SepaSelektion.h"

namespace {

const QDate Heute(2024, 6, 5);

SepaAuswahlAnfrage Anfrage(SepaArt art) {
  SepaAuswahlAnfrage a;
  a.AbsenderNr = 1;
  a.Art = art;
  a.Heute = Heute;
  return a;
}

// ---- kind and sender ---------------------------------------------------------------------------------

struct ArtFall {
  SepaArt art;
  QStringList erwartet;  // names of the selected orders, in order
  int fehlerhaft;        // direct debits without a collection's sequence reach the check of either scheme
};

class SelektionNachArt : public ::testing::TestWithParam<ArtFall> {};

TEST_P(SelektionNachArt, WaehltNurOffeneZahlungenDerArtUndDesAbsenders) {
  LaufTestDatenbank t;
  auto anlegen = [&](LaufTestDatenbank::Auftrag a, const char* name) {
    a.name = QString::fromUtf8(name);
    return t.Anlegen(a);
  };
  LaufTestDatenbank::Auftrag g;
  anlegen(g, "G1");
  anlegen(Lastschrift(13), "B2B-RCUR");
  anlegen(Lastschrift(3), "CORE-RCUR");
  anlegen(Lastschrift(1), "CORE-OOFF");
  anlegen(Lastschrift(0), "OHNE-SEQUENZ");
  anlegen(Lastschrift(5), "CORE-AUTO");
  anlegen(Lastschrift(11), "B2B-OOFF");
  anlegen(g, "G2");
  LaufTestDatenbank::Auftrag fremd = g;
  fremd.absenderNr = 2;
  anlegen(fremd, "FREMD");
  LaufTestDatenbank::Auftrag erledigt = g;
  erledigt.erledigt = true;
  anlegen(erledigt, "ERLEDIGT");

  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), Anfrage(GetParam().art));
  ASSERT_TRUE(auswahl.Ok()) << auswahl.Meldung.toStdString();
  QStringList namen;
  for (qint64 nr : auswahl.ZahlungNummern) namen << t.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString();
  EXPECT_EQ(namen, GetParam().erwartet);
  EXPECT_EQ(auswahl.Fehlerhaft, GetParam().fehlerhaft);
  QStringList weggelassen;
  for (const SepaAuftragsbefund& b : auswahl.Befunde) weggelassen << b.Name;
  const QStringList erwartet = GetParam().art == SepaArt::BasisLastschrift
                                  ? QStringList{QStringLiteral("OHNE-SEQUENZ"), QStringLiteral("CORE-AUTO")}
                              : GetParam().art == SepaArt::FirmenLastschrift ? QStringList{QStringLiteral("OHNE-SEQUENZ")}
                                                                             : QStringList{};
  EXPECT_EQ(weggelassen, erwartet);
}

INSTANTIATE_TEST_SUITE_P(
    Arten, SelektionNachArt,
    ::testing::Values(ArtFall{SepaArt::Ueberweisung, {QStringLiteral("G1"), QStringLiteral("G2")}, 0},
                      ArtFall{SepaArt::BasisLastschrift, {QStringLiteral("CORE-OOFF"), QStringLiteral("CORE-RCUR")}, 2},
                      ArtFall{SepaArt::FirmenLastschrift, {QStringLiteral("B2B-OOFF"), QStringLiteral("B2B-RCUR")}, 1}),
    [](const auto& info) {
      switch (info.param.art) {
        case SepaArt::Ueberweisung: return std::string("Ueberweisung");
        case SepaArt::BasisLastschrift: return std::string("BasisLastschrift");
        case SepaArt::FirmenLastschrift: return std::string("FirmenLastschrift");
      }
      return std::string("Unbekannt");
    });

// ---- limits -------------------------------------------------------------------------------------------

TEST(SepaSelektion, FaelligkeitsgrenzeSchliesstDenTagEinUndZahlungenOhneDatumAus) {
  LaufTestDatenbank t;
  LaufTestDatenbank::Auftrag a;
  a.faellig = QDate(2024, 3, 15);
  const qint64 amTag = t.Anlegen(a);
  a.faellig = QDate(2024, 3, 1);
  const qint64 davor = t.Anlegen(a);
  a.faellig = QDate(2024, 3, 16);
  t.Anlegen(a);
  a.faellig.reset();
  const qint64 ohne = t.Anlegen(a);

  SepaAuswahlAnfrage anfrage = Anfrage(SepaArt::Ueberweisung);
  EXPECT_EQ(SepaSelektion::ZahlungenSelektieren(t.Db(), anfrage).ZahlungNummern.size(), 4);
  anfrage.FaelligBis = QDate(2024, 3, 15);
  EXPECT_EQ(SepaSelektion::ZahlungenSelektieren(t.Db(), anfrage).ZahlungNummern, (QList<qint64>{amTag, davor}));
  Q_UNUSED(ohne);
}

TEST(SepaSelektion, VerwendungszweckDatumGrenzeOhneSqlAusWerten) {
  LaufTestDatenbank t;
  auto anlegen = [&](const char* text) {
    LaufTestDatenbank::Auftrag a;
    a.verwendungszweck1 = QString::fromUtf8(text);
    return t.Anlegen(a);
  };
  anlegen("Rechnung vom 15.01.24");
  const qint64 amTag = anlegen("Rechnung vom 31.12.23");
  const qint64 langesJahr = anlegen("Rechnung 01.12.2023");
  anlegen("Rechnung ohne Datum");
  const qint64 feindlich = anlegen("x') OR 1=1 -- 30.12.23");

  SepaAuswahlAnfrage anfrage = Anfrage(SepaArt::Ueberweisung);
  anfrage.VerwendungszweckDatumBis = QDate(2023, 12, 31);
  ASSERT_TRUE(anfrage.VerwendungszweckDatumBis);
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), anfrage);
  ASSERT_TRUE(auswahl.Ok()) << auswahl.Meldung.toStdString();
  EXPECT_EQ(auswahl.ZahlungNummern, (QList<qint64>{amTag, langesJahr, feindlich}));
  // The grid's query uses the same condition on the same connection.
  DbFehler f;
  auto rs = Recordset::Oeffnen(t.Db(), SepaSelektion::GitterAbfrage(auswahl), RecordsetTyp::Snapshot, f);
  ASSERT_TRUE(rs) << f.Beschreibung.toStdString();
  EXPECT_EQ(rs->RecordCount(), 3);
}

TEST(SepaSelektion, WerteWerdenNurAlsParameterUebergeben) {
  LaufTestDatenbank t;
  LaufTestDatenbank::Auftrag a;
  a.name = QStringLiteral("Robert'); DROP TABLE Zahlungen; --");
  a.verwendungszweck1 = QStringLiteral("\" OR \"\"=\" 01.01.24");
  const qint64 nr = t.Anlegen(a);

  SepaAuswahlAnfrage anfrage = Anfrage(SepaArt::Ueberweisung);
  anfrage.FaelligBis = QDate(2031, 7, 9);
  anfrage.VerwendungszweckDatumBis = QDate(2029, 11, 22);
  anfrage.AbsenderNr = 1;
  const Bedingung b = SepaSelektion::Auswahlbedingung(anfrage, true);
  EXPECT_FALSE(b.sql.Text().contains(QStringLiteral("2031")));
  EXPECT_FALSE(b.sql.Text().contains(QStringLiteral("2029")));
  EXPECT_FALSE(b.sql.Text().contains(QLatin1Char('\'')));
  EXPECT_TRUE(b.parameter.contains(QVariant(QStringLiteral("2031-07-09"))));

  anfrage.FaelligBis.reset();
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), anfrage);
  ASSERT_TRUE(auswahl.Ok());
  EXPECT_EQ(auswahl.ZahlungNummern, QList<qint64>{nr});
  // The pre-check cleaned the name; the table is still there.
  EXPECT_EQ(t.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(),
            QStringLiteral("Robert) DROP TABLE Zahlungen --"));
}

// ---- pre-check ----------------------------------------------------------------------------------------

TEST(SepaSelektion, VorpruefungMarkiertFehlerUndZaehltJeZahlung) {
  LaufTestDatenbank t;
  LaufTestDatenbank::Auftrag gut;
  gut.fehler = true;  // an earlier fault that has been corrected
  const qint64 gutNr = t.Anlegen(gut);
  LaufTestDatenbank::Auftrag ibanFalsch;
  ibanFalsch.iban = QStringLiteral("DE88370400440532013000");
  ibanFalsch.zeilenCent = {100, 200, 300};
  const qint64 ibanNr = t.Anlegen(ibanFalsch);
  LaufTestDatenbank::Auftrag nameLeer;
  nameLeer.name = QStringLiteral("#~[]");
  const qint64 nameNr = t.Anlegen(nameLeer);
  LaufTestDatenbank::Auftrag ausserhalb;
  ausserhalb.art = QStringLiteral("L");
  ausserhalb.mandatSequenz = 2;
  ausserhalb.fehler = true;
  const qint64 ausserhalbNr = t.Anlegen(ausserhalb);

  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), Anfrage(SepaArt::Ueberweisung));
  ASSERT_TRUE(auswahl.Ok());
  EXPECT_EQ(auswahl.Geprueft, 3);
  EXPECT_EQ(auswahl.Fehlerhaft, 2);
  EXPECT_EQ(auswahl.ZahlungNummern, QList<qint64>{gutNr});
  EXPECT_FALSE(t.Fehler(gutNr));
  EXPECT_TRUE(t.Fehler(ibanNr));
  EXPECT_TRUE(t.Fehler(nameNr));
  EXPECT_TRUE(t.Fehler(ausserhalbNr));  // not selected, left as it was
  // Never stored back blank: the name stays as it was, for the user to correct.
  EXPECT_EQ(t.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {nameNr}).toString(), QStringLiteral("#~[]"));
  EXPECT_EQ(auswahl.Statustext, QStringLiteral("2 fehlerhafte Zahlung(en) festgestellt"));
  ASSERT_EQ(auswahl.Befunde.size(), 2);
  EXPECT_TRUE(auswahl.Befunde.at(0).Gruende().contains(QStringLiteral("Die Prüfziffer der IBAN ist falsch.")));
  EXPECT_TRUE(SepaSelektion::Fehlerwarnung(2).startsWith(
      QStringLiteral("Achtung! Die Prüfung hat 2 fehlerhafte Zahlung(en) ermittelt.\r\rDie fehlerhaften")));
  // The grid shows the faultless order only.
  DbFehler f;
  auto rs = Recordset::Oeffnen(t.Db(), SepaSelektion::GitterAbfrage(auswahl), RecordsetTyp::Snapshot, f);
  ASSERT_TRUE(rs);
  EXPECT_EQ(rs->RecordCount(), 1);
}

TEST(SepaSelektion, LastschriftOhneMandatUndMitZukuenftigemMandatsdatumIstFehlerhaft) {
  LaufTestDatenbank t;
  auto ohneReferenz = Lastschrift(2);
  ohneReferenz.mandatReferenz.clear();
  const qint64 a = t.Anlegen(ohneReferenz);
  auto zukunft = Lastschrift(2);
  zukunft.mandatDatum = Heute.addDays(1);
  const qint64 b = t.Anlegen(zukunft);
  const qint64 gut = t.Anlegen(Lastschrift(2));
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), Anfrage(SepaArt::BasisLastschrift));
  EXPECT_EQ(auswahl.ZahlungNummern, QList<qint64>{gut});
  EXPECT_TRUE(t.Fehler(a));
  EXPECT_TRUE(t.Fehler(b));
}

TEST(SepaSelektion, ZahlungenOhneZeilenWerdenAusgewaehltUndImGitterGezeigt) {
  LaufTestDatenbank t;
  LaufTestDatenbank::Auftrag ohne;
  ohne.zeilenCent = {};
  ohne.gesamtCent = 5000;
  const qint64 ohneNr = t.Anlegen(ohne);
  LaufTestDatenbank::Auftrag mit;
  mit.zeilenCent = {10000, 5025};
  const qint64 mitNr = t.Anlegen(mit);

  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), Anfrage(SepaArt::Ueberweisung));
  EXPECT_EQ(auswahl.ZahlungNummern, (QList<qint64>{ohneNr, mitNr}));
  // Credit transfers count negatively; an order without lines with the ZahlungGesamt its file pays.
  EXPECT_EQ(auswahl.Summe, Waehrung::AusCent(-20025));
  EXPECT_EQ(auswahl.Statustext, QStringLiteral("Keine fehlerhafte Zahlung(en) festgestellt"));

  DbFehler f;
  auto rs = Recordset::Oeffnen(t.Db(), SepaSelektion::GitterAbfrage(auswahl), RecordsetTyp::Snapshot, f);
  ASSERT_TRUE(rs) << f.Beschreibung.toStdString();
  EXPECT_EQ(rs->RecordCount(), 3);
  EXPECT_GE(rs->SpaltenIndex(QStringLiteral("Verwendungszweck.ZahlungNr")), 0);
}

TEST(SepaSelektion, LastschriftSummeIstPositivUndLeereAuswahlMeldetKeineZahlungen) {
  LaufTestDatenbank t;
  t.Anlegen(Lastschrift(12, {1000, 2000}));
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), Anfrage(SepaArt::FirmenLastschrift));
  EXPECT_EQ(auswahl.Summe, Waehrung::AusCent(3000));

  const SepaAuswahl leer = SepaSelektion::ZahlungenSelektieren(t.Db(), Anfrage(SepaArt::Ueberweisung));
  EXPECT_TRUE(leer.Ok());
  EXPECT_FALSE(leer.HatZahlungen());
  EXPECT_EQ(leer.Statustext, QStringLiteral("Keine Zahlungen festgestellt"));
  EXPECT_EQ(leer.Summe, Waehrung());
}

TEST(SepaSelektion, AbfragefehlerWirdGemeldet) {
  LaufTestDatenbank t;
  t.Anlegen(LaufTestDatenbank::Auftrag{});
  t.Db().SetzeStoerung([](const QString& sql) -> DbFehler {
    if (sql.startsWith(QLatin1String("SELECT Zahlungen.ZahlungNr"))) return {1, QStringLiteral("kaputt")};
    return {};
  });
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), Anfrage(SepaArt::Ueberweisung));
  t.Db().SetzeStoerung({});
  EXPECT_FALSE(auswahl.Ok());
  EXPECT_FALSE(auswahl.HatZahlungen());
  EXPECT_TRUE(auswahl.Meldung.startsWith(QStringLiteral("Fehler bei der Datenermittlung!\r\rNr: 1\rBeschreibung: kaputt\rSELECT ")));
}

TEST(SepaSelektion, ScheiterndesSpeichernDerPruefungAendertNichts) {
  LaufTestDatenbank t;
  LaufTestDatenbank::Auftrag a;
  a.name = QStringLiteral("Name mit € und ~");
  a.iban = QStringLiteral("XX");
  const qint64 nr = t.Anlegen(a);
  t.Db().SetzeStoerung([](const QString& sql) -> DbFehler {
    if (sql.startsWith(QLatin1String("UPDATE Zahlungen"))) return {5, QStringLiteral("gesperrt")};
    return {};
  });
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), Anfrage(SepaArt::Ueberweisung));
  t.Db().SetzeStoerung({});
  EXPECT_FALSE(auswahl.Ok());
  EXPECT_FALSE(auswahl.HatZahlungen());
  EXPECT_FALSE(t.Fehler(nr));
  EXPECT_EQ(t.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), a.name);
  EXPECT_EQ(t.Db().TransaktionsTiefe(), 0);
}

// ---- date texts ---------------------------------------------------------------------------------------

struct DatumFall {
  const char* text;
  std::optional<QDate> erwartet;
};

class TextDatum : public ::testing::TestWithParam<DatumFall> {};
TEST_P(TextDatum, LetzteZeichenAlsDatum) {
  EXPECT_EQ(SepaSelektion::VerwendungszweckDatum(QString::fromUtf8(GetParam().text)), GetParam().erwartet);
}
INSTANTIATE_TEST_SUITE_P(Texte, TextDatum,
                         ::testing::Values(DatumFall{"RE 4711 vom 15.01.24", QDate(2024, 1, 15)},
                                           DatumFall{"RE 4711 vom 15.01.2024", QDate(2024, 1, 15)},
                                           DatumFall{"15.01.24  ", QDate(2024, 1, 15)},
                                           DatumFall{"RE 15.01.24 Rest", std::nullopt},
                                           DatumFall{"RE 99.01.24", std::nullopt}, DatumFall{"", std::nullopt}),
    [](const auto& info) { return TestnameBuchstabiert(info.param.text); });

// The signed total adds the lines' payments; open amounts and discounts differ from them here, and the
// order's own amount counts once per line in the joined rows, so taking any other column shows.
TEST(SepaSelektion, SummeAusDenZahlbetraegenDerZeilen) {
  for (const SepaArt art : {SepaArt::Ueberweisung, SepaArt::BasisLastschrift}) {
    LaufTestDatenbank t;
    LaufTestDatenbank::Auftrag a = art == SepaArt::Ueberweisung ? LaufTestDatenbank::Auftrag{} : Lastschrift(2);
    a.zeilenCent = {9700, 5025};
    const qint64 nr = t.Anlegen(a);
    ASSERT_FALSE(t.Db().Ausfuehren(
        "UPDATE Verwendungszweck SET OPBetrag = ?, SkontoBetrag = ? WHERE ZahlungNr = ? AND ZeilenNr = 1",
        {QVariant::fromValue(Waehrung::AusCent(10000)), QVariant::fromValue(Waehrung::AusCent(300)), nr}));
    const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), Anfrage(art));
    ASSERT_TRUE(auswahl.Ok()) << auswahl.Meldung.toStdString();
    EXPECT_EQ(auswahl.Summe, Waehrung::AusCent(art == SepaArt::Ueberweisung ? -14725 : 14725));
  }
}

// The window's total of the faultless orders at the ends of the int64, from both sides: exact up to them,
// nothing offered beyond (a saturated or wrapped total would stand there as a figure), and never a sum
// that left the range and came back. Credit transfers count negative, down to -max.
struct AuswahlsummenFall {
  const char* name;
  QList<qint64> betraege;
  SepaArt art;
  std::optional<qint64> summe;
};

class Auswahlsumme : public ::testing::TestWithParam<AuswahlsummenFall> {};

TEST_P(Auswahlsumme, AnDenGrenzenDesInt64) {
  const AuswahlsummenFall& fall = GetParam();
  QList<Waehrung> betraege;
  for (qint64 b : fall.betraege) betraege << Waehrung::AusRoh(b);
  const std::optional<Waehrung> summe = SepaSelektion::Auswahlsumme(betraege, fall.art);
  if (fall.summe) {
    ASSERT_TRUE(summe);
    EXPECT_EQ(summe->Roh(), *fall.summe);
  } else {
    EXPECT_EQ(summe, std::nullopt) << summe->Roh();
  }
}

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

INSTANTIATE_TEST_SUITE_P(
    Grenzen, Auswahlsumme,
    ::testing::Values(AuswahlsummenFall{"Leer", {}, SepaArt::BasisLastschrift, 0},
                      AuswahlsummenFall{"BisMax", {kMax - 5, 5}, SepaArt::BasisLastschrift, kMax},
                      AuswahlsummenFall{"UeberMax", {kMax - 5, 6}, SepaArt::BasisLastschrift, std::nullopt},
                      AuswahlsummenFall{"UeberMaxUndZurueck", {kMax, 1, -1}, SepaArt::FirmenLastschrift, std::nullopt},
                      AuswahlsummenFall{"UeberweisungBisMinusMax", {kMax - 5, 5}, SepaArt::Ueberweisung, -kMax},
                      AuswahlsummenFall{"UeberweisungUeberMax", {kMax, 1}, SepaArt::Ueberweisung, std::nullopt},
                      AuswahlsummenFall{"UeberweisungNegativeBisMax", {-kMax}, SepaArt::Ueberweisung, kMax},
                      AuswahlsummenFall{"UeberweisungMinimum", {-kMax, -1}, SepaArt::Ueberweisung, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Another workstation saves an order between the pass that read it and the write-back of its cleaned texts:
// what was saved there stays (the cleaned texts of the old reading would have erased the new name).
TEST(SepaSelektion, RueckschriebUeberschreibtKeineZwischenzeitlicheSpeicherung) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  DbFehler f;
  LaufTestDatenbank t{Datenbank::Oeffnen(datei, f, true)};
  ASSERT_FALSE(f) << f.Beschreibung.toStdString();
  LaufTestDatenbank::Auftrag unsauber;
  unsauber.name = QStringLiteral("Meier\tGmbH");   // the pass cleans it and stores it back
  const qint64 nr = t.Anlegen(unsauber);
  LaufTestDatenbank::Auftrag auchUnsauber;
  auchUnsauber.name = QStringLiteral("Schulz\tKG");
  const qint64 andere = t.Anlegen(auchUnsauber);

  std::unique_ptr<Datenbank> zweite = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(zweite) << f.Beschreibung.toStdString();
  int aufrufe = 0;
  t.Db().SetzeStoerung([&](const QString& sql) -> DbFehler {
    // Just before the write-back takes the database for itself.
    if (sql.startsWith(QStringLiteral("BEGIN")) && aufrufe++ == 0) {
      EXPECT_FALSE(zweite->Ausfuehren("UPDATE Zahlungen SET Name = 'Meier & Sohn GmbH', Verwendungszweck1 = 'RE 1' "
                                      "WHERE ZahlungNr = ?",
                                      {nr}));
    }
    return {};
  });
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), Anfrage(SepaArt::Ueberweisung));
  t.Db().SetzeStoerung({});
  ASSERT_TRUE(auswahl.Ok()) << auswahl.Meldung.toStdString();
  EXPECT_EQ(aufrufe, 1);
  EXPECT_EQ(t.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("Meier & Sohn GmbH"));
  EXPECT_EQ(t.Wert("SELECT Verwendungszweck1 FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("RE 1"));
  // The order nobody touched is cleaned as before.
  EXPECT_EQ(t.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {andere}).toString(), QStringLiteral("Schulz KG"));
}

}  // namespace
