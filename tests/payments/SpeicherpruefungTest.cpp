#include <gtest/gtest.h>

#include <functional>

#include "ZahlungsTestDatenbank.h"
#include "payments/core/Speicherpruefung.h"

namespace {

const QString kIbanDe = QStringLiteral("DE89 3704 0044 0532 0130 00");

ZahlungEingabe Gueltig() {
  ZahlungEingabe e;
  e.name = QStringLiteral("Meier GmbH");
  e.bank = QStringLiteral("Commerzbank");
  e.bic = QStringLiteral("COBADEFFXXX");
  e.iban = kIbanDe;
  e.verwendungszweck1 = QStringLiteral("RG 4711");
  e.betrag = Euro(100);
  e.mandatReferenz = QStringLiteral("M-1");
  e.mandatDatum = QDate(2023, 1, 1);
  e.sequenzIndex = 1;
  return e;
}

PruefKontext Kontext(Zahlart art = Zahlart::Ueberweisung, bool gitter = false) {
  PruefKontext k;
  k.zahlart = art;
  k.zeilengitterSichtbar = gitter;
  k.heute = QDate(2024, 6, 1);
  return k;
}

struct Fall {
  const char* name;
  std::function<void(ZahlungEingabe&, PruefKontext&)> aendern;
  QString meldung;
  Fokusfeld feld;
};

class EinzelnePruefung : public ::testing::TestWithParam<Fall> {};

const QString kBic = QStringLiteral(
    "Die BIC (Internationale Bankleitzahl) fehlt noch oder ist unvollständig!\r(Die Länge beträgt 8 oder 11 Zeichen.)");

}  // namespace

TEST_P(EinzelnePruefung, MeldungUndFokus) {
  const Fall& f = GetParam();
  ZahlungEingabe e = Gueltig();
  PruefKontext k = Kontext(Zahlart::BasisLastschrift);
  f.aendern(e, k);
  const auto fehler = ZahlungPruefen(e, k);
  ASSERT_TRUE(fehler.has_value());
  EXPECT_EQ(fehler->meldung, f.meldung);
  EXPECT_EQ(fehler->feld, f.feld);
  EXPECT_EQ(fehler->Meldungstext(), f.meldung + QStringLiteral("\r\rBitte korrigieren/ergänzen Sie die Eingabe."));
}

INSTANTIATE_TEST_SUITE_P(
    Pruefungen, EinzelnePruefung,
    ::testing::Values(
        Fall{"NameLeer", [](ZahlungEingabe& e, PruefKontext&) { e.name.clear(); },
             QStringLiteral("Die Namensangabe darf nicht leer sein!"), Fokusfeld::Name},
        Fall{"NameNurUngueltigeZeichen", [](ZahlungEingabe& e, PruefKontext&) { e.name = QStringLiteral("§§#~"); },
             QStringLiteral("Die Namensangabe darf nicht leer sein!"), Fokusfeld::Name},
        Fall{"BicNeunZeichen", [](ZahlungEingabe& e, PruefKontext&) { e.bic = QStringLiteral("COBADEFFX"); }, kBic,
             Fokusfeld::Bic},
        Fall{"BicLeerVorStichtagDE",
             [](ZahlungEingabe& e, PruefKontext& k) {
               e.bic.clear();
               e.mandatDatum = QDate(2013, 1, 1);
               k.heute = QDate(2014, 1, 31);
             },
             kBic, Fokusfeld::Bic},
        Fall{"BicLeerAuslandVor2016",
             [](ZahlungEingabe& e, PruefKontext& k) {
               e.bic.clear();
               e.iban = QStringLiteral("AT611904300234573201");
               k.heute = QDate(2016, 1, 31);
             },
             kBic, Fokusfeld::Bic},
        Fall{"BicZehnZeichen", [](ZahlungEingabe& e, PruefKontext&) { e.bic = QStringLiteral("COBADEFFXX"); }, kBic,
             Fokusfeld::Bic},
        Fall{"BicLeerAuslandMitte2015",
             [](ZahlungEingabe& e, PruefKontext& k) {
               e.bic.clear();
               e.iban = QStringLiteral("AT611904300234573201");
               k.heute = QDate(2015, 6, 1);
             },
             kBic, Fokusfeld::Bic},
        // An empty IBAN counts as a foreign one, and the BIC is judged before the IBAN.
        Fall{"BicUndIbanLeerMitte2015",
             [](ZahlungEingabe& e, PruefKontext& k) {
               e.bic.clear();
               e.iban.clear();
               k.heute = QDate(2015, 6, 1);
             },
             kBic, Fokusfeld::Bic},
        // The refusals of what the bank would refuse, each naming its field.
        Fall{"BicKeinBicAufbau", [](ZahlungEingabe& e, PruefKontext&) { e.bic = QStringLiteral("12345678"); },
             QStringLiteral("Die BIC (Internationale Bankleitzahl) ist ungültig!\r(Die BIC muss mit 4 Buchstaben "
                            "(Bankcode) beginnen.)"),
             Fokusfeld::Bic},
        Fall{"BicFehltSchweiz",
             [](ZahlungEingabe& e, PruefKontext&) {
               e.bic.clear();
               e.iban = QStringLiteral("CH93 0076 2011 6238 5295 7");
             },
             QStringLiteral("Die BIC (Internationale Bankleitzahl) fehlt noch!\r(Für eine IBAN aus CH, einem Land "
                            "außerhalb des Europäischen Wirtschaftsraums, ist sie Pflicht.)"),
             Fokusfeld::Bic},
        Fall{"IbanPruefziffer", [](ZahlungEingabe& e, PruefKontext&) { e.iban = QStringLiteral("DE88 3704 0044 0532 0130 00"); },
             QStringLiteral("Die Prüfziffer der IBAN ist falsch."), Fokusfeld::Iban},
        Fall{"BetragZuHoch", [](ZahlungEingabe& e, PruefKontext&) { e.betrag = Euro(1000000000); },
             QStringLiteral("Der Betrag darf höchstens 999.999.999,99 betragen!"), Fokusfeld::Betrag},
        Fall{"BetragDreiNachkommastellen", [](ZahlungEingabe& e, PruefKontext&) { e.betrag = Waehrung::AusRoh(1000010); },
             QStringLiteral("Der Betrag darf höchstens zwei Nachkommastellen haben!"), Fokusfeld::Betrag},
        Fall{"MandatReferenzDoppelterSchraegstrich",
             [](ZahlungEingabe& e, PruefKontext&) { e.mandatReferenz = QStringLiteral("A//B"); },
             QStringLiteral("Die Mandat-Referenz darf kein \"//\" enthalten."), Fokusfeld::MandatReferenz},
        Fall{"MandatReferenzSchraegstrichAmAnfang",
             [](ZahlungEingabe& e, PruefKontext&) { e.mandatReferenz = QStringLiteral("/M1"); },
             QStringLiteral("Die Mandat-Referenz darf nicht mit \"/\" beginnen oder enden."), Fokusfeld::MandatReferenz},
        Fall{"MandatReferenzUmlaut", [](ZahlungEingabe& e, PruefKontext&) { e.mandatReferenz = QStringLiteral("Müller"); },
             QStringLiteral("Die Mandat-Referenz enthält nicht erlaubte Zeichen.\r"
                            "(Erlaubt sind A-Z, a-z, 0-9, das Leerzeichen und + ? / - : ( ) . , ')"),
             Fokusfeld::MandatReferenz},
        Fall{"MandatDatumInDerZukunft", [](ZahlungEingabe& e, PruefKontext& k) { e.mandatDatum = k.heute.addDays(1); },
             QStringLiteral("Das Mandat-Datum darf nicht in der Zukunft liegen!"), Fokusfeld::MandatDatum},
        Fall{"TextschluesselNichtDerArt", [](ZahlungEingabe& e, PruefKontext&) { e.textschluessel = QStringLiteral("sala"); },
             QStringLiteral("Der Textschlüssel \"SALA\" ist für diese Zahlungsart nicht vorgesehen!"),
             Fokusfeld::Textschluessel},
        Fall{"IbanFehlt", [](ZahlungEingabe& e, PruefKontext&) { e.iban.clear(); },
             QStringLiteral("Die IBAN fehlt noch komplett."), Fokusfeld::Iban},
        Fall{"IbanZuKurz", [](ZahlungEingabe& e, PruefKontext&) { e.iban = QStringLiteral("DE89 3704"); },
             QStringLiteral("Die IBAN ist zu kurz. Es sind mindestens 15 Zeichen notwendig."), Fokusfeld::Iban},
        Fall{"IbanFalscheLaenge", [](ZahlungEingabe& e, PruefKontext&) { e.iban += QStringLiteral("1"); },
             QStringLiteral("Die IBAN hat nicht die für das jeweilige Land definierte Länge."), Fokusfeld::Iban},
        Fall{"IbanUnbekanntesLand", [](ZahlungEingabe& e, PruefKontext&) { e.iban = QStringLiteral("XX89370400440532013000"); },
             QStringLiteral("Die IBAN fängt mit 2 unbekannten Zeichen an."), Fokusfeld::Iban},
        Fall{"KeineZeileImGitter",
             [](ZahlungEingabe&, PruefKontext& k) {
               k.zeilengitterSichtbar = true;
               k.zeilen.clear();
             },
             QStringLiteral("Es ist mindestens eine Zeile beim Verwendungszweck notwendig!"), Fokusfeld::Zeilengitter},
        Fall{"ZeilentextLeer", [](ZahlungEingabe& e, PruefKontext&) { e.verwendungszweck1 = QStringLiteral("!!"); },
             QStringLiteral("Der Verwendungszweck darf nicht leer sein!"), Fokusfeld::Verwendungszweck},
        Fall{"BetragLeer", [](ZahlungEingabe& e, PruefKontext&) { e.betrag.reset(); },
             QStringLiteral("Der Betrag muß größer Null sein!"), Fokusfeld::Betrag},
        Fall{"BetragNull", [](ZahlungEingabe& e, PruefKontext&) { e.betrag = Waehrung(); },
             QStringLiteral("Der Betrag muß größer Null sein!"), Fokusfeld::Betrag},
        Fall{"BetragNegativ", [](ZahlungEingabe& e, PruefKontext&) { e.betrag = Euro(-1); },
             QStringLiteral("Der Betrag muß größer Null sein!"), Fokusfeld::Betrag},
        Fall{"GitterSummeNull",
             [](ZahlungEingabe& e, PruefKontext& k) {
               k.zeilengitterSichtbar = true;
               k.zeilen = {{QStringLiteral("Text"), Waehrung()}};
               e.betrag = Euro(50);  // the amount follows the lines, not the field
             },
             QStringLiteral("Der Betrag muß größer Null sein!"), Fokusfeld::Betrag},
        Fall{"SequenzFehlt", [](ZahlungEingabe& e, PruefKontext&) { e.sequenzIndex = -1; },
             QStringLiteral("Die Einzug-Sequenz muss noch festgelegt werden!"), Fokusfeld::Sequenz},
        Fall{"MandatReferenzFehlt", [](ZahlungEingabe& e, PruefKontext&) { e.mandatReferenz.clear(); },
             QStringLiteral("Die Mandat-Referenz muss zwingend angegeben werden!"), Fokusfeld::MandatReferenz},
        Fall{"MandatDatumFehlt", [](ZahlungEingabe& e, PruefKontext&) { e.mandatDatum.reset(); },
             QStringLiteral("Das Mandat-Datum muss zwingend angegeben werden!"), Fokusfeld::MandatDatum}),
    [](const ::testing::TestParamInfo<Fall>& info) { return std::string(info.param.name); });

TEST(Speicherpruefung, GueltigeZahlungBestehtAlle) {
  for (Zahlart art : {Zahlart::Ueberweisung, Zahlart::BasisLastschrift, Zahlart::FirmenLastschrift}) {
    ZahlungEingabe e = Gueltig();
    EXPECT_FALSE(ZahlungPruefen(e, Kontext(art)).has_value());
  }
}

TEST(Speicherpruefung, NurDieErsteVonMehrerenFehlernZaehlt) {
  ZahlungEingabe e = Gueltig();
  e.iban.clear();
  e.betrag.reset();
  e.sequenzIndex = -1;
  PruefKontext k = Kontext(Zahlart::BasisLastschrift);
  auto f = ZahlungPruefen(e, k);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->feld, Fokusfeld::Iban);
  e.name.clear();
  f = ZahlungPruefen(e, k);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->feld, Fokusfeld::Name);
  EXPECT_EQ(f->art, Befundart::NameLeer);
}

TEST(Speicherpruefung, UeberweisungPrueftKeineMandatsdaten) {
  ZahlungEingabe e = Gueltig();
  e.mandatReferenz.clear();
  e.mandatDatum.reset();
  e.sequenzIndex = -1;
  EXPECT_FALSE(ZahlungPruefen(e, Kontext(Zahlart::Ueberweisung)));
}

// From the cut-off day on an empty BIC passes, as in the SEPA pre-check (the two disagreed on the day).
TEST(Speicherpruefung, LeereBicAbDemStichtag) {
  ZahlungEingabe e = Gueltig();
  e.bic.clear();
  e.mandatDatum = QDate(2013, 1, 1);
  PruefKontext k = Kontext(Zahlart::BasisLastschrift);
  k.heute = QDate(2014, 2, 1);
  EXPECT_FALSE(ZahlungPruefen(e, k));
  e.iban = QStringLiteral("AT611904300234573201");
  EXPECT_TRUE(ZahlungPruefen(e, k));
  k.heute = QDate(2016, 2, 1);
  EXPECT_FALSE(ZahlungPruefen(e, k));
}

TEST(Speicherpruefung, BereinigungBleibtAuchBeiSpaeteremFehler) {
  ZahlungEingabe e = Gueltig();
  e.name = QStringLiteral("Meier <GmbH>");
  e.bank = QStringLiteral("Bank #1");
  e.iban.clear();
  const auto f = ZahlungPruefen(e, Kontext());
  ASSERT_TRUE(f);
  EXPECT_EQ(f->feld, Fokusfeld::Iban);
  EXPECT_EQ(e.name, QStringLiteral("Meier GmbH"));
  EXPECT_EQ(e.bank, QStringLiteral("Bank 1"));
}

TEST(Speicherpruefung, GitteranzeigeNimmtTextUndSummeDerZeilen) {
  ZahlungEingabe e = Gueltig();
  e.verwendungszweck1.clear();
  e.betrag.reset();
  PruefKontext k = Kontext(Zahlart::Ueberweisung, true);
  k.zeilen = {{QStringLiteral("Erste Zeile"), Euro(20)}, {QStringLiteral("Zweite"), Euro(10)}};
  EXPECT_FALSE(ZahlungPruefen(e, k));
  EXPECT_EQ(e.verwendungszweck1, QStringLiteral("Erste Zeile"));
  EXPECT_EQ(e.betrag, std::optional<Waehrung>(Euro(30)));
}

TEST(Speicherpruefung, EinzelfeldMitMehrerenZeilenZeigtDieSumme) {
  ZahlungEingabe e = Gueltig();
  e.betrag = Euro(999);
  PruefKontext k = Kontext();
  k.zeilen = {{QStringLiteral("x"), Euro(5)}, {QStringLiteral("y"), Euro(4)}, {QStringLiteral("z"), Euro(3)}};
  EXPECT_FALSE(ZahlungPruefen(e, k));
  EXPECT_EQ(e.betrag, std::optional<Waehrung>(Euro(12)));
  // The order the save would store: line 1 carries the field's text, the amount is the lines' total.
  const Zahlungsauftrag a = AuftragAusEingabe(e, k);
  ASSERT_EQ(a.Zeilen.size(), 3);
  EXPECT_EQ(a.Zeilen.first().Text, QStringLiteral("RG 4711"));
  EXPECT_EQ(a.Betrag, Euro(12));
}

TEST(Speicherpruefung, EinzelfeldWirdZeileEins) {
  ZahlungEingabe e = Gueltig();
  e.verwendungszweck1 = QStringLiteral("RG <4711>");
  const Zahlungsauftrag a = AuftragAusEingabe(e, Kontext());
  ASSERT_EQ(a.Zeilen.size(), 1);
  EXPECT_EQ(a.Zeilen.first().Text, QStringLiteral("RG <4711>")) << "as typed: the rules judge the cleaning";
  EXPECT_EQ(a.Zeilen.first().Betrag, Euro(100));
  EXPECT_EQ(a.Art, QStringLiteral("G"));
  EXPECT_EQ(a.MandatSequenz, 0);  // a credit transfer carries no mandate
  const Zahlungsauftrag l = AuftragAusEingabe(e, Kontext(Zahlart::FirmenLastschrift));
  EXPECT_EQ(l.Art, QStringLiteral("L"));
  EXPECT_EQ(l.MandatSequenz, 12);
}

TEST(Speicherpruefung, FeldfarbenFolgenDenselbenRegeln) {
  ZahlungEingabe e = Gueltig();
  e.bic = QStringLiteral("ABC");
  e.betrag = Waehrung();
  e.mandatReferenz.clear();
  const FeldGueltigkeit g = FelderPruefen(e, true, QDate(2024, 1, 1));
  EXPECT_TRUE(g.name);
  EXPECT_FALSE(g.bic);
  EXPECT_TRUE(g.iban);
  EXPECT_FALSE(g.betrag);
  EXPECT_FALSE(g.mandatReferenz);
  EXPECT_TRUE(FelderPruefen(e, false, QDate(2024, 1, 1)).mandatReferenz);
  // The new refusals colour their fields as well.
  e = Gueltig();
  e.iban = QStringLiteral("DE88370400440532013000");
  e.mandatReferenz = QStringLiteral("A//B");
  const FeldGueltigkeit h = FelderPruefen(e, true, QDate(2024, 1, 1));
  EXPECT_FALSE(h.iban);
  EXPECT_FALSE(h.mandatReferenz);
  EXPECT_TRUE(h.bic);
  EXPECT_FALSE(BetragGueltig(Waehrung::AusRoh(5)));
  EXPECT_FALSE(BetragGueltig(std::nullopt));
  EXPECT_TRUE(BetragGueltig(Euro(1)));
}

namespace {

// The single-field display with lines already stored: with one line the typed amount is the
// payment's (the field is editable and becomes line 1), with more the lines' total is.
struct GespeicherteZeilenFall {
  const char* name;
  QList<int64_t> zeilenCent;  // the stored lines
  std::optional<int64_t> getipptCent;
  int64_t betragCent;  // the amount the save judges and stores
  std::optional<Befundart> befund;
};

class EinzelfeldMitGespeichertenZeilen : public ::testing::TestWithParam<GespeicherteZeilenFall> {};

}  // namespace

TEST_P(EinzelfeldMitGespeichertenZeilen, BetragDerSpeicherung) {
  const GespeicherteZeilenFall& fall = GetParam();
  ZahlungEingabe e = Gueltig();
  e.betrag = fall.getipptCent ? std::optional<Waehrung>(Waehrung::AusCent(*fall.getipptCent)) : std::nullopt;
  PruefKontext k = Kontext();
  for (int64_t cent : fall.zeilenCent) k.zeilen << Auftragszeile{QStringLiteral("RG 4711"), Waehrung::AusCent(cent)};

  const Zahlungsauftrag a = AuftragAusEingabe(e, k);
  EXPECT_EQ(a.Betrag, Waehrung::AusCent(fall.betragCent));
  EXPECT_EQ(a.Zeilensumme(), a.Betrag);
  EXPECT_EQ(a.Zeilen.size(), std::max<qsizetype>(1, fall.zeilenCent.size()));

  const auto fehler = ZahlungPruefen(e, k);
  EXPECT_EQ(fehler.has_value(), fall.befund.has_value());
  if (fehler && fall.befund) {
    EXPECT_EQ(fehler->art, *fall.befund);
    EXPECT_EQ(fehler->feld, Fokusfeld::Betrag);
  }
  // The field keeps what was typed unless it shows the total of several lines.
  const std::optional<int64_t> feldCent = fall.zeilenCent.size() > 1 ? fall.betragCent : fall.getipptCent;
  EXPECT_EQ(e.betrag, feldCent ? std::optional<Waehrung>(Waehrung::AusCent(*feldCent)) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Einzelfeld, EinzelfeldMitGespeichertenZeilen,
    ::testing::Values(
        GespeicherteZeilenFall{"EineZeileNullGetippt", {10000}, 0, 0, Befundart::BetragNichtPositiv},
        GespeicherteZeilenFall{"EineZeileLeerGetippt", {10000}, std::nullopt, 0, Befundart::BetragNichtPositiv},
        GespeicherteZeilenFall{"EineZeileZuHochGetippt", {10000}, 100000000000, 100000000000, Befundart::BetragZuHoch},
        GespeicherteZeilenFall{"EineZeileMehrGetippt", {10000}, 25000, 25000, std::nullopt},
        GespeicherteZeilenFall{"EineZeileWenigerGetippt", {10000}, 9999, 9999, std::nullopt},
        GespeicherteZeilenFall{"EineZeileOhneBetragGetippt", {0}, 8000, 8000, std::nullopt},
        GespeicherteZeilenFall{"KeineZeileGetippt", {}, 8000, 8000, std::nullopt},
        GespeicherteZeilenFall{"ZweiZeilenSummeStattGetippt", {6000, 4000}, 0, 10000, std::nullopt},
        GespeicherteZeilenFall{"ZweiZeilenOhneBetrag", {0, 0}, 10000, 0, Befundart::BetragNichtPositiv}),
    [](const ::testing::TestParamInfo<GespeicherteZeilenFall>& info) { return std::string(info.param.name); });
