#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "common/TestDatenbank.h"
#include "testsupport/TestOrdner.h"
#include "zahlungsverkehr/Auftragspruefung.h"

void PrintTo(Befundart art, std::ostream* os) { *os << "Befundart " << static_cast<int>(art); }

namespace {

const QDate Heute(2024, 6, 5);

Zahlungsauftrag Ueberweisung() {
  Zahlungsauftrag a;
  a.ZahlungNr = 7;
  a.Art = QStringLiteral("G");
  a.Name = QStringLiteral("Müller & Söhne GmbH");
  a.IBAN = QStringLiteral("DE89370400440532013000");
  a.BIC = QStringLiteral("COBADEFFXXX");
  a.Verwendungszweck1 = QStringLiteral("Rechnung 4711");
  a.Zeilen = {{QStringLiteral("Rechnung 4711"), Waehrung::AusCent(10000)}, {QStringLiteral("Rechnung 4712"), Waehrung::AusCent(2550)}};
  a.Betrag = Waehrung::AusCent(12550);
  return a;
}

Zahlungsauftrag Lastschrift(int sequenz = 2) {
  Zahlungsauftrag a = Ueberweisung();
  a.Art = QStringLiteral("L");
  a.MandatReferenz = QStringLiteral("M-4711");
  a.MandatDatum = QDate(2023, 5, 1);
  a.MandatSequenz = sequenz;
  return a;
}

QList<Befundart> Arten(const Zahlungsauftrag& a, const QDate& heute = Heute) {
  QList<Befundart> arten;
  for (const Befund& b : Auftragspruefung::Pruefen(a, heute)) arten << b.Art;
  return arten;
}

TEST(Auftragspruefung, GueltigeAuftraegeJederArt) {
  EXPECT_TRUE(Auftragspruefung::Pruefen(Ueberweisung(), Heute).isEmpty());
  for (int sequenz : {1, 2, 3, 4, 11, 12, 13, 14}) EXPECT_TRUE(Arten(Lastschrift(sequenz)).isEmpty()) << sequenz;
}

// All findings, in the payment form's order, each with its field and a German text.
TEST(Auftragspruefung, LeereLastschriftNenntAllesInDerReihenfolgeDerMaske) {
  Zahlungsauftrag a;
  a.Art = QStringLiteral("L");
  const QList<Befund> befunde = Auftragspruefung::Pruefen(a, Heute);
  QList<Befundart> arten;
  QList<Auftragsfeld> felder;
  for (const Befund& b : befunde) {
    arten << b.Art;
    felder << b.Feld;
    EXPECT_FALSE(b.Text.isEmpty());
  }
  EXPECT_EQ(arten, (QList<Befundart>{Befundart::NameLeer, Befundart::IbanFehlt, Befundart::KeineZeile,
                                     Befundart::BetragNichtPositiv, Befundart::SequenzFehlt,
                                     Befundart::MandatReferenzFehlt, Befundart::MandatDatumFehlt}));
  EXPECT_EQ(felder, (QList<Auftragsfeld>{Auftragsfeld::Name, Auftragsfeld::Iban, Auftragsfeld::Zeilen,
                                         Auftragsfeld::Betrag, Auftragsfeld::Sequenz, Auftragsfeld::MandatReferenz,
                                         Auftragsfeld::MandatDatum}));
  EXPECT_EQ(befunde.first().Text, QStringLiteral("Die Namensangabe darf nicht leer sein!"));
}

struct Fall {
  const char* name;
  std::function<void(Zahlungsauftrag&)> aendern;
  QList<Befundart> erwartet;
  QDate heute = Heute;
};

class EinzelneRegel : public ::testing::TestWithParam<Fall> {};

TEST_P(EinzelneRegel, Befunde) {
  Zahlungsauftrag a = Lastschrift();
  GetParam().aendern(a);
  EXPECT_EQ(Arten(a, GetParam().heute), GetParam().erwartet);
}

const QString Schweiz = QStringLiteral("CH9300762011623852957");

void OhneBic(Zahlungsauftrag& a, const char* iban) {
  a.BIC.clear();
  a.IBAN = QString::fromLatin1(iban);
  a.MandatDatum = QDate(2013, 1, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Regeln, EinzelneRegel,
    ::testing::Values(
        Fall{"NameNurUngueltigeZeichen", [](Zahlungsauftrag& a) { a.Name = QStringLiteral("<#>"); }, {Befundart::NameLeer}},
        Fall{"NameNurLeerzeichen", [](Zahlungsauftrag& a) { a.Name = QStringLiteral("   "); }, {Befundart::NameLeer}},
        // The BIC cut-off dates, each from both sides (with a mandate signed before them).
        Fall{"BicLeerDeVorStichtag", [](Zahlungsauftrag& a) { OhneBic(a, "DE89370400440532013000"); },
             {Befundart::BicUnvollstaendig}, QDate(2014, 1, 31)},
        Fall{"BicLeerDeAmStichtag", [](Zahlungsauftrag& a) { OhneBic(a, "DE89370400440532013000"); }, {},
             QDate(2014, 2, 1)},
        Fall{"BicLeerAtVorStichtag", [](Zahlungsauftrag& a) { OhneBic(a, "AT611904300234573201"); },
             {Befundart::BicUnvollstaendig}, QDate(2016, 1, 31)},
        Fall{"BicLeerAtAmStichtag", [](Zahlungsauftrag& a) { OhneBic(a, "AT611904300234573201"); }, {},
             QDate(2016, 2, 1)},
        Fall{"BicLeerSchweiz",
             [](Zahlungsauftrag& a) {
               a.Art = QStringLiteral("G");
               a.BIC.clear();
               a.IBAN = Schweiz;
             },
             {Befundart::BicAusserhalbEwr}},
        Fall{"BicLeerGrossbritannien",
             [](Zahlungsauftrag& a) {
               a.Art = QStringLiteral("G");
               a.BIC = QStringLiteral("  ");
               a.IBAN = QStringLiteral("GB29NWBK60161331926819");
             },
             {Befundart::BicAusserhalbEwr}},
        Fall{"BicSchweizGegeben",
             [](Zahlungsauftrag& a) {
               a.Art = QStringLiteral("G");
               a.BIC = QStringLiteral("UBSWCHZH80A");
               a.IBAN = Schweiz;
             },
             {}},
        // Direct debits need the debtor's address outside the EEA, which the program does not keep.
        Fall{"LastschriftSchweizMitBic",
             [](Zahlungsauftrag& a) {
               a.BIC = QStringLiteral("UBSWCHZH80A");
               a.IBAN = Schweiz;
             },
             {Befundart::LastschriftAusserhalbEwr}},
        Fall{"LastschriftGrossbritannienOhneBic",
             [](Zahlungsauftrag& a) {
               a.BIC.clear();
               a.IBAN = QStringLiteral("GB29NWBK60161331926819");
             },
             {Befundart::BicAusserhalbEwr, Befundart::LastschriftAusserhalbEwr}},
        Fall{"LastschriftMonaco", [](Zahlungsauftrag& a) { a.IBAN = QStringLiteral("MC5811222000010123456789030"); },
             {Befundart::LastschriftAusserhalbEwr}},
        Fall{"LastschriftLiechtensteinImEwr", [](Zahlungsauftrag& a) { a.IBAN = QStringLiteral("LI21088100002324013AA"); },
             {}},
        Fall{"LastschriftFalscheIbanAusSanMarino",
             [](Zahlungsauftrag& a) { a.IBAN = QStringLiteral("SM86U0322509800000000270101"); },
             {Befundart::IbanPruefziffer, Befundart::LastschriftAusserhalbEwr}},
        // One spelling of the kind: anything but "G" and "L" is no kind the file knows.
        Fall{"ArtKlein", [](Zahlungsauftrag& a) { a.Art = QStringLiteral("l"); }, {Befundart::ArtUnbekannt}},
        Fall{"ArtMitLeerzeichen", [](Zahlungsauftrag& a) { a.Art = QStringLiteral("L "); }, {Befundart::ArtUnbekannt}},
        Fall{"ArtLeer", [](Zahlungsauftrag& a) { a.Art.clear(); }, {Befundart::ArtUnbekannt}},
        Fall{"ArtFremd", [](Zahlungsauftrag& a) { a.Art = QStringLiteral("X"); }, {Befundart::ArtUnbekannt}},
        Fall{"IbanKontoaufbau", [](Zahlungsauftrag& a) { a.IBAN = QStringLiteral("DE59370400440532O13000"); },
             {Befundart::IbanKontoaufbau}},
        Fall{"BicNeunZeichen", [](Zahlungsauftrag& a) { a.BIC = QStringLiteral("COBADEFFX"); },
             {Befundart::BicUnvollstaendig}},
        Fall{"BicNurZiffern", [](Zahlungsauftrag& a) { a.BIC = QStringLiteral("12345678"); }, {Befundart::BicAufbau}},
        Fall{"IbanPruefziffer", [](Zahlungsauftrag& a) { a.IBAN = QStringLiteral("DE88370400440532013000"); },
             {Befundart::IbanPruefziffer}},
        Fall{"IbanKleinMitLeerzeichen", [](Zahlungsauftrag& a) { a.IBAN = QStringLiteral("de89 3704 0044 0532 0130 00"); },
             {}},
        Fall{"ZeilenOhneVerwendungszweck1", [](Zahlungsauftrag& a) { a.Verwendungszweck1 = QStringLiteral("§§"); },
             {Befundart::VerwendungszweckLeer}},
        Fall{"OhneZeilenMitVerwendungszweck1",
             [](Zahlungsauftrag& a) {
               a.Zeilen.clear();
               a.Betrag = Waehrung::AusEuro(5);
             },
             {}},
        Fall{"OhneZeilenOhneText",
             [](Zahlungsauftrag& a) {
               a.Zeilen.clear();
               a.Verwendungszweck1.clear();
             },
             {Befundart::KeineZeile}},
        Fall{"BetragNull", [](Zahlungsauftrag& a) { a.Betrag = Waehrung(); }, {Befundart::BetragNichtPositiv}},
        Fall{"BetragNegativ", [](Zahlungsauftrag& a) { a.Betrag = Waehrung::AusCent(-1); }, {Befundart::BetragNichtPositiv}},
        Fall{"BetragHoechster",
             [](Zahlungsauftrag& a) {
               a.Zeilen.clear();
               a.Betrag = Auftragspruefung::HoechstBetrag;
             },
             {}},
        Fall{"BetragEinCentZuHoch",
             [](Zahlungsauftrag& a) {
               a.Zeilen.clear();
               a.Betrag = Auftragspruefung::HoechstBetrag + Waehrung::AusCent(1);
             },
             {Befundart::BetragZuHoch}},
        Fall{"BetragDreiNachkommastellen",
             [](Zahlungsauftrag& a) {
               a.Zeilen.clear();
               a.Betrag = Waehrung::AusRoh(123450);  // 12,345
             },
             {Befundart::BetragNachkommastellen}},
        Fall{"BetragUngleichZeilen", [](Zahlungsauftrag& a) { a.Betrag = Waehrung::AusCent(12551); },
             {Befundart::BetragUngleichZeilen}},
        Fall{"ZeilenOhneBetragZaehlenNull",
             [](Zahlungsauftrag& a) {
               a.Zeilen[1].Betrag = Waehrung();
               a.Betrag = Waehrung::AusCent(10000);
             },
             {}},
        // Amounts of the lines: each within +-999.999.999,99, their sum exact and within it too.
        Fall{"ZeilenAmRahmen",
             [](Zahlungsauftrag& a) {
               a.Zeilen = {{QStringLiteral("A"), Auftragspruefung::HoechstBetrag},
                           {QStringLiteral("B"), Waehrung() - Auftragspruefung::HoechstBetrag + a.Betrag}};
             },
             {}},
        Fall{"ZeileUeberDemRahmen",
             [](Zahlungsauftrag& a) { a.Zeilen[0].Betrag = Auftragspruefung::HoechstBetrag + Waehrung::AusCent(1); },
             {Befundart::ZeilenbetragAusserhalb}},
        Fall{"ZeileUnterDemRahmen",
             [](Zahlungsauftrag& a) {
               a.Zeilen[1].Betrag = Waehrung() - Auftragspruefung::HoechstBetrag - Waehrung::AusCent(1);
             },
             {Befundart::ZeilenbetragAusserhalb}},
        Fall{"ZeileGroesstmoeglich", [](Zahlungsauftrag& a) { a.Zeilen[0].Betrag = Waehrung::AusRoh(INT64_MAX); },
             {Befundart::ZeilenbetragAusserhalb}},
        Fall{"ZeilensummeUeberDemRahmen",
             [](Zahlungsauftrag& a) {
               a.Zeilen = {{QStringLiteral("A"), Auftragspruefung::HoechstBetrag}, {QStringLiteral("B"), Waehrung::AusCent(1)}};
             },
             {Befundart::ZeilensummeAusserhalb}},
        // Each line in range, but so many that their sum runs past the 64 bits: refused, never a wrapped match.
        Fall{"ZeilensummeUeberlauf",
             [](Zahlungsauftrag& a) {
               // so many lines are too long a remittance text as well
               a.Zeilen = QList<Auftragszeile>(10000, Auftragszeile{QStringLiteral("A"), Auftragspruefung::HoechstBetrag});
             },
             {Befundart::VerwendungZuLang, Befundart::ZeilensummeAusserhalb}},
        Fall{"MandatReferenzDoppelterSchraegstrich", [](Zahlungsauftrag& a) { a.MandatReferenz = QStringLiteral("A//B"); },
             {Befundart::MandatReferenzUngueltig}},
        Fall{"MandatReferenz36", [](Zahlungsauftrag& a) { a.MandatReferenz = QString(36, QLatin1Char('M')); },
             {Befundart::MandatReferenzUngueltig}},
        Fall{"MandatReferenzUmlaut", [](Zahlungsauftrag& a) { a.MandatReferenz = QStringLiteral("Müller-1"); },
             {Befundart::MandatReferenzUngueltig}},
        Fall{"MandatReferenzGetrimmt", [](Zahlungsauftrag& a) { a.MandatReferenz = QStringLiteral(" M-1 "); }, {}},
        Fall{"MandatDatumHeute", [](Zahlungsauftrag& a) { a.MandatDatum = Heute; }, {}},
        Fall{"MandatDatumMorgen", [](Zahlungsauftrag& a) { a.MandatDatum = Heute.addDays(1); },
             {Befundart::MandatDatumZukunft}},
        Fall{"MandatDatumUngueltig", [](Zahlungsauftrag& a) { a.MandatDatum = QDate(); }, {Befundart::MandatDatumFehlt}},
        Fall{"TextschluesselDerLastschrift", [](Zahlungsauftrag& a) { a.Textschluessel = QStringLiteral("COLL"); }, {}},
        Fall{"TextschluesselDerUeberweisung", [](Zahlungsauftrag& a) { a.Textschluessel = QStringLiteral("SALA"); },
             {Befundart::TextschluesselUngueltig}},
        Fall{"EinzelReferenzDoppelterSchraegstrich", [](Zahlungsauftrag& a) { a.EinzelReferenz = QStringLiteral("A//B"); },
             {Befundart::EinzelReferenzUngueltig}},
        Fall{"EinzelReferenzSchraegstrichAmEnde", [](Zahlungsauftrag& a) { a.EinzelReferenz = QStringLiteral("/R1//"); },
             {Befundart::EinzelReferenzUngueltig}},
        Fall{"EinzelReferenzMitLeerzeichenGetrimmt", [](Zahlungsauftrag& a) { a.EinzelReferenz = QStringLiteral(" R1 "); },
             {}}),
    [](const ::testing::TestParamInfo<Fall>& info) { return std::string(info.param.name); });

// The amount must equal the lines' total exactly: one cent off either way is refused, whether the
// amount or a line moved (the lines of the base order give 125,50).
INSTANTIATE_TEST_SUITE_P(
    BetragGegenZeilen, EinzelneRegel,
    ::testing::Values(
        Fall{"BetragGleichZeilensumme", [](Zahlungsauftrag&) {}, {}},
        Fall{"BetragEinCentUnterZeilensumme", [](Zahlungsauftrag& a) { a.Betrag = Waehrung::AusCent(12549); },
             {Befundart::BetragUngleichZeilen}},
        Fall{"BetragEinCentUeberZeilensumme", [](Zahlungsauftrag& a) { a.Betrag = Waehrung::AusCent(12551); },
             {Befundart::BetragUngleichZeilen}},
        Fall{"ZeileEinCentHoeherAlsBetrag", [](Zahlungsauftrag& a) { a.Zeilen[1].Betrag = Waehrung::AusCent(2551); },
             {Befundart::BetragUngleichZeilen}},
        Fall{"ZeileEinCentNiedrigerAlsBetrag", [](Zahlungsauftrag& a) { a.Zeilen[1].Betrag = Waehrung::AusCent(2549); },
             {Befundart::BetragUngleichZeilen}},
        Fall{"BetragNurDerErstenZeile", [](Zahlungsauftrag& a) { a.Betrag = a.Zeilen[0].Betrag; },
             {Befundart::BetragUngleichZeilen}}),
    [](const ::testing::TestParamInfo<Fall>& info) { return std::string(info.param.name); });

// An order's sequence is 1-4 (core) or 11-14 (B2B), each range from both sides; 0 is none, and 5 and 15
// are the address's "automatic" codes, never an order's.
INSTANTIATE_TEST_SUITE_P(
    MandatSequenz, EinzelneRegel,
    ::testing::Values(
        Fall{"Sequenz0Ohne", [](Zahlungsauftrag& a) { a.MandatSequenz = 0; }, {Befundart::SequenzFehlt}},
        Fall{"Sequenz1Einmalig", [](Zahlungsauftrag& a) { a.MandatSequenz = 1; }, {}},
        Fall{"Sequenz4Letzte", [](Zahlungsauftrag& a) { a.MandatSequenz = 4; }, {}},
        Fall{"Sequenz5AutomatischBasis", [](Zahlungsauftrag& a) { a.MandatSequenz = 5; }, {Befundart::SequenzUnbekannt}},
        Fall{"Sequenz10", [](Zahlungsauftrag& a) { a.MandatSequenz = 10; }, {Befundart::SequenzUnbekannt}},
        Fall{"Sequenz11EinmaligFirmen", [](Zahlungsauftrag& a) { a.MandatSequenz = 11; }, {}},
        Fall{"Sequenz14LetzteFirmen", [](Zahlungsauftrag& a) { a.MandatSequenz = 14; }, {}},
        Fall{"Sequenz15AutomatischFirmen", [](Zahlungsauftrag& a) { a.MandatSequenz = 15; }, {Befundart::SequenzUnbekannt}},
        Fall{"Sequenz16", [](Zahlungsauftrag& a) { a.MandatSequenz = 16; }, {Befundart::SequenzUnbekannt}},
        Fall{"SequenzNegativ", [](Zahlungsauftrag& a) { a.MandatSequenz = -1; }, {Befundart::SequenzUnbekannt}}),
    [](const ::testing::TestParamInfo<Fall>& info) { return std::string(info.param.name); });

TEST(Auftragspruefung, UeberweisungPrueftKeineMandatsdaten) {
  Zahlungsauftrag a = Ueberweisung();
  a.MandatReferenz = QStringLiteral("A//B");
  a.MandatDatum = Heute.addDays(30);
  a.Textschluessel = QStringLiteral("SALA");
  EXPECT_TRUE(Arten(a).isEmpty());
  a.Textschluessel = QStringLiteral("COLL");
  EXPECT_EQ(Arten(a), QList<Befundart>{Befundart::TextschluesselUngueltig});
  a.Textschluessel = QStringLiteral("sala");  // stored codes are capitals
  EXPECT_EQ(Arten(a), QList<Befundart>{Befundart::TextschluesselUngueltig});
}

TEST(Auftragspruefung, TexteNennenDieWerte) {
  Zahlungsauftrag a = Lastschrift();
  a.Betrag = Waehrung::AusCent(12551);
  a.Textschluessel = QStringLiteral("SALA");
  a.BIC.clear();
  a.IBAN = Schweiz;
  a.MandatSequenz = 7;
  QStringList texte;
  for (const Befund& b : Auftragspruefung::Pruefen(a, Heute)) texte << b.Text;
  ASSERT_EQ(texte.size(), 5);
  EXPECT_TRUE(texte.at(0).contains(QStringLiteral("IBAN aus CH"))) << texte.at(0).toStdString();
  EXPECT_TRUE(texte.at(1).startsWith(QStringLiteral("Lastschriften von einem Konto in CH (außerhalb des Europäischen "
                                                    "Wirtschaftsraums) verlangen die Anschrift")))
      << texte.at(1).toStdString();
  EXPECT_EQ(texte.at(2), QStringLiteral("Der Betrag 125,51 stimmt nicht mit der Summe der Verwendungszweck-Zeilen "
                                        "125,50 überein!"));
  EXPECT_TRUE(texte.at(3).startsWith(QStringLiteral("Die Einzug-Sequenz 7 ist unbekannt!"))) << texte.at(3).toStdString();
  EXPECT_EQ(texte.at(4), QStringLiteral("Der Textschlüssel \"SALA\" ist für diese Zahlungsart nicht vorgesehen!"));
}

TEST(Auftragspruefung, UnbekannteArtNenntIhreSchreibweise) {
  Zahlungsauftrag a = Lastschrift();
  a.Art = QStringLiteral("l");
  const QList<Befund> befunde = Auftragspruefung::Pruefen(a, Heute);
  ASSERT_EQ(befunde.size(), 1);
  EXPECT_EQ(befunde.first().Feld, Auftragsfeld::Art);
  EXPECT_TRUE(befunde.first().Text.startsWith(QStringLiteral("Die Zahlungsart \"l\" ist unbekannt!")));
}

TEST(Auftragspruefung, KontoaufbauNenntDasLand) {
  Zahlungsauftrag a = Ueberweisung();
  a.IBAN = QStringLiteral("NL44ABN10417164300");   // a digit in the bank code, the check digits right
  const QList<Befund> befunde = Auftragspruefung::Pruefen(a, Heute);
  ASSERT_EQ(befunde.size(), 1);
  EXPECT_EQ(befunde.first().Text, QStringLiteral("Die Kontoangabe der IBAN entspricht nicht dem Aufbau für das Land NL: "
                                                 "nach der Prüfziffer folgen 4 Buchstaben, 10 Ziffern."));
}

TEST(Auftragspruefung, BetragAllein) {
  EXPECT_FALSE(Auftragspruefung::BetragPruefen(Waehrung::AusCent(1)));
  EXPECT_EQ(Auftragspruefung::BetragPruefen(Waehrung())->Art, Befundart::BetragNichtPositiv);
  EXPECT_EQ(Auftragspruefung::BetragPruefen(Waehrung::AusRoh(5))->Art, Befundart::BetragNachkommastellen);
}

TEST(Auftragspruefung, TexteBereinigen) {
  Zahlungsauftrag a = Ueberweisung();
  a.Name = QStringLiteral("<Meier> \"Bau\" #1");
  a.Verwendungszweck1 = QStringLiteral("RE 5 [x]; €");
  EXPECT_TRUE(Auftragspruefung::TexteBereinigen(a));
  EXPECT_EQ(a.Name, QStringLiteral("Meier Bau 1"));
  EXPECT_EQ(a.Verwendungszweck1, QStringLiteral("RE 5 x EUR"));
}

// --- The texts as the bank gets them ----------------------------------------------------------

const QChar Ae(0x00E6);  // æ, two characters once transliterated
const QChar Eszett(0x00DF);

// The order's lines with new texts; the amounts stay (the first line carries the order's amount).
void Zeilentexte(Zahlungsauftrag& a, const QStringList& texte) {
  a.Zeilen.clear();
  for (const QString& t : texte) a.Zeilen << Auftragszeile{t, a.Zeilen.isEmpty() ? a.Betrag : Waehrung()};
  a.Verwendungszweck1 = texte.value(0);
}

// Six lines (a linked program may store more than five) joined to `laenge` characters: five of 22, one of
// the rest, the blanks between them counted.
QStringList Zeilen(int laenge, QChar zeichen = QLatin1Char('t')) {
  QStringList z(5, QString(22, zeichen));
  z << QString(laenge - 5 * 22 - 5, zeichen);
  return z;
}

class Textregel : public ::testing::TestWithParam<Fall> {};

TEST_P(Textregel, Befunde) {
  Zahlungsauftrag a = Ueberweisung();
  GetParam().aendern(a);
  EXPECT_EQ(Arten(a), GetParam().erwartet);
}

INSTANTIATE_TEST_SUITE_P(
    Laengen, Textregel,
    ::testing::Values(
        Fall{"Name70", [](Zahlungsauftrag& a) { a.Name = QString(70, QLatin1Char('n')); }, {}},
        Fall{"Name71", [](Zahlungsauftrag& a) { a.Name = QString(71, QLatin1Char('n')); }, {Befundart::NameZuLang}},
        Fall{"Name70MitUmlautenUndEszett",
             [](Zahlungsauftrag& a) { a.Name = QString(35, QChar(0x00C4)) + QString(35, Eszett); }, {}},
        Fall{"Name70DurchUmschrift", [](Zahlungsauftrag& a) { a.Name = QString(68, QLatin1Char('n')) + Ae; }, {}},
        Fall{"Name71DurchUmschrift", [](Zahlungsauftrag& a) { a.Name = QString(69, QLatin1Char('n')) + Ae; },
             {Befundart::NameZuLang}},
        Fall{"Verwendungszweck27", [](Zahlungsauftrag& a) { a.Verwendungszweck1 = QString(27, QLatin1Char('v')); }, {}},
        Fall{"Verwendungszweck28", [](Zahlungsauftrag& a) { a.Verwendungszweck1 = QString(28, QLatin1Char('v')); },
             {Befundart::VerwendungszweckZuLang}},
        Fall{"Verwendungszweck28DurchUmschrift",
             [](Zahlungsauftrag& a) { a.Verwendungszweck1 = QString(26, QLatin1Char('v')) + QChar(0x0416); },  // Ж Zh
             {Befundart::VerwendungszweckZuLang}},
        Fall{"Zeile27", [](Zahlungsauftrag& a) { a.Zeilen[1].Text = QString(27, QLatin1Char('z')); }, {}},
        Fall{"Zeile28", [](Zahlungsauftrag& a) { a.Zeilen[1].Text = QString(28, QLatin1Char('z')); },
             {Befundart::ZeileZuLang}},
        Fall{"Zeile27DurchUmschrift", [](Zahlungsauftrag& a) { a.Zeilen[1].Text = QString(25, QLatin1Char('z')) + Ae; }, {}},
        Fall{"Zeile28DurchUmschrift", [](Zahlungsauftrag& a) { a.Zeilen[1].Text = QString(26, QLatin1Char('z')) + Ae; },
             {Befundart::ZeileZuLang}},
        // Line 1 says what Verwendungszweck1 says: one finding, not two.
        Fall{"ErsteZeileWieVerwendungszweckEinmal",
             [](Zahlungsauftrag& a) { Zeilentexte(a, {QString(28, QLatin1Char('v')), QStringLiteral("x")}); },
             {Befundart::VerwendungszweckZuLang}},
        Fall{"Text140", [](Zahlungsauftrag& a) { Zeilentexte(a, Zeilen(140)); }, {}},
        Fall{"Text141", [](Zahlungsauftrag& a) { Zeilentexte(a, Zeilen(141)); }, {Befundart::VerwendungZuLang}},
        Fall{"Text140MitEszettBleibt140", [](Zahlungsauftrag& a) { Zeilentexte(a, Zeilen(140, Eszett)); }, {}},
        Fall{"Text140NurDurchUmschrift",
             [](Zahlungsauftrag& a) {
               QStringList z = Zeilen(139);
               z[2] = QString(21, QLatin1Char('t')) + Ae;
               Zeilentexte(a, z);
             },
             {}},
        Fall{"Text141NurDurchUmschrift",
             [](Zahlungsauftrag& a) {
               QStringList z = Zeilen(139);
               z[2] = QString(21, QLatin1Char('t')) + Ae;
               z[3] = QString(21, QLatin1Char('t')) + Ae;
               Zeilentexte(a, z);
             },
             {Befundart::VerwendungZuLang}},
        Fall{"OhneZeilenZaehltVerwendungszweck",
             [](Zahlungsauftrag& a) {
               a.Zeilen.clear();
               a.Verwendungszweck1 = QString(27, QLatin1Char('v'));
             },
             {}}),
    [](const ::testing::TestParamInfo<Fall>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Umschrift, Textregel,
    ::testing::Values(
        Fall{"NameKyrillisch", [](Zahlungsauftrag& a) { a.Name = QStringLiteral("ООО Жуков и сыновья"); }, {}},
        Fall{"NameGriechisch", [](Zahlungsauftrag& a) { a.Name = QStringLiteral("Γεωργίου Α.Ε."); }, {}},
        Fall{"NameChinesisch", [](Zahlungsauftrag& a) { a.Name = QStringLiteral("王明"); }, {Befundart::NameUmschrift}},
        Fall{"NameTeilsChinesisch", [](Zahlungsauftrag& a) { a.Name = QStringLiteral("Wang 王"); },
             {Befundart::NameUmschrift}},
        Fall{"NameNurEmoji", [](Zahlungsauftrag& a) { a.Name = QStringLiteral("😀🎉"); }, {Befundart::NameLeer}},
        Fall{"NameMitEmoji", [](Zahlungsauftrag& a) { a.Name = QStringLiteral("Blumen 🌷 Meier"); }, {}},
        Fall{"VerwendungszweckArabisch", [](Zahlungsauftrag& a) { a.Verwendungszweck1 = QStringLiteral("فاتورة 12"); },
             {Befundart::VerwendungszweckUmschrift}},
        Fall{"ZeileKyrillisch", [](Zahlungsauftrag& a) { a.Zeilen[1].Text = QStringLiteral("Счёт 4712"); }, {}},
        Fall{"ZeileHebraeisch", [](Zahlungsauftrag& a) { a.Zeilen[1].Text = QStringLiteral("חשבון 4712"); },
             {Befundart::ZeileUmschrift}},
        Fall{"ZeileNurEmoji", [](Zahlungsauftrag& a) { a.Zeilen[1].Text = QStringLiteral("🎉"); },
             {Befundart::ZeileUmschrift}},
        Fall{"ZeileLeerBleibtErlaubt", [](Zahlungsauftrag& a) { a.Zeilen[1].Text = QStringLiteral("  "); }, {}}),
    [](const ::testing::TestParamInfo<Fall>& info) { return std::string(info.param.name); });

TEST(Auftragspruefung, TexteNennenLaengeUndZeichen) {
  Zahlungsauftrag a = Ueberweisung();
  a.Name = QString(69, QLatin1Char('n')) + QStringLiteral("王") + Ae;
  a.Zeilen[1].Text = QString(28, QLatin1Char('z'));
  QStringList texte;
  for (const Befund& b : Auftragspruefung::Pruefen(a, Heute)) texte << b.Text;
  EXPECT_EQ(texte, (QStringList{QStringLiteral("Die Namensangabe enthält Zeichen, die sich nicht in lateinische Schrift "
                                               "umschreiben lassen: 王"),
                                QStringLiteral("Die Namensangabe ist in lateinischer Schrift 71 Zeichen lang; erlaubt sind "
                                               "höchstens 70 Zeichen!"),
                                QStringLiteral("Die Verwendungszweck-Zeile 2 ist 28 Zeichen lang; erlaubt sind höchstens "
                                               "27 Zeichen!")}));
  Zeilentexte(a, Zeilen(141));
  a.Name = QStringLiteral("Meier");
  EXPECT_EQ(Auftragspruefung::Pruefen(a, Heute).value(0).Text,
            QStringLiteral("Der Verwendungszweck ist mit allen Zeilen 141 Zeichen lang; die Bank nimmt höchstens 140 Zeichen!"));
}

TEST(Auftragspruefung, VerwendungstextWieDieDatei) {
  Zahlungsauftrag a = Ueberweisung();
  Zeilentexte(a, {QStringLiteral(" Rg. 1 "), QString(), QStringLiteral("Счёт	2 ")});
  EXPECT_EQ(Auftragspruefung::Verwendungstext(a), QStringLiteral("Rg. 1   Schet 2"));
  a.Zeilen.clear();
  a.Verwendungszweck1 = QStringLiteral("  José  ");
  EXPECT_EQ(Auftragspruefung::Verwendungstext(a), QStringLiteral("Jose"));
}

// Stored back only what still says the same: transliterated, within its field, never emptied.
struct Rueckschrieb {
  const char* name;
  QString text;
  int laenge;
  std::optional<QString> erwartet;
};

class TextBereinigt : public ::testing::TestWithParam<Rueckschrieb> {};

TEST_P(TextBereinigt, NurWennEsDasselbeSagt) {
  EXPECT_EQ(Auftragspruefung::TextBereinigt(GetParam().text, GetParam().laenge), GetParam().erwartet);
}

INSTANTIATE_TEST_SUITE_P(
    Tabelle, TextBereinigt,
    ::testing::Values(
        Rueckschrieb{"Umgeschrieben", QStringLiteral("José Ñoño"), 70, QStringLiteral("Jose Nono")},
        Rueckschrieb{"Kyrillisch", QStringLiteral("Жуков"), 70, QStringLiteral("Zhukov")},
        Rueckschrieb{"Unveraendert", QStringLiteral("Müller"), 70, QStringLiteral("Müller")},
        Rueckschrieb{"ZeichenOhneBedeutungFallenWeg", QStringLiteral("<Meier> 😀"), 70, QStringLiteral("Meier ")},
        Rueckschrieb{"LeerBleibtLeer", QStringLiteral("  "), 70, QStringLiteral("  ")},
        Rueckschrieb{"NieGeleert", QStringLiteral("😀"), 70, std::nullopt},
        Rueckschrieb{"NieGeleertAusZeichen", QStringLiteral("#!?"), 70, std::nullopt},
        Rueckschrieb{"BuchstabenOhneUmschrift", QStringLiteral("Wang 王"), 70, std::nullopt},
        Rueckschrieb{"PasstGenau", QString(25, QLatin1Char('x')) + Ae, 27, QString(25, QLatin1Char('x')) + QStringLiteral("ae")},
        Rueckschrieb{"UmschriftZuLang", QString(26, QLatin1Char('x')) + Ae, 27, std::nullopt}),
    [](const ::testing::TestParamInfo<Rueckschrieb>& info) { return std::string(info.param.name); });

TEST(Auftragspruefung, TexteBereinigenNurWennBeideDasselbeSagen) {
  Zahlungsauftrag a = Ueberweisung();
  a.Name = QStringLiteral("José");
  a.Verwendungszweck1 = QStringLiteral("Rg 王");
  const Zahlungsauftrag vorher = a;
  EXPECT_FALSE(Auftragspruefung::TexteBereinigen(a));
  EXPECT_EQ(a, vorher) << "nothing stored back";
  a.Verwendungszweck1 = QStringLiteral("Rg – 1");
  EXPECT_TRUE(Auftragspruefung::TexteBereinigen(a));
  EXPECT_EQ(a.Name, QStringLiteral("Jose"));
  EXPECT_EQ(a.Verwendungszweck1, QStringLiteral("Rg - 1"));
  a.Name = QString(70, QLatin1Char('n')) + QStringLiteral("!");   // 70 once cleaned
  EXPECT_TRUE(Auftragspruefung::TexteBereinigen(a));
  a.Name = QString(70, QLatin1Char('n')) + Ae;
  EXPECT_FALSE(Auftragspruefung::TexteBereinigen(a));
}

// The rules' lengths are the fields' the texts are stored in: a schema that grew a field would otherwise
// store what the rules refuse, or cut nothing the rules let pass.
TEST(Auftragspruefung, LaengenSindDieDerFelder) {
  TestOrdner ordner;
  const auto db = SchemaDatenbank(ordner.Pfad());
  ASSERT_TRUE(db);
  EXPECT_EQ(db->FeldGroesse(QStringLiteral("Zahlungen"), QStringLiteral("Name")), Auftragspruefung::NameLaenge);
  EXPECT_EQ(db->FeldGroesse(QStringLiteral("Zahlungen"), QStringLiteral("Verwendungszweck1")), Auftragspruefung::ZeilenLaenge);
  EXPECT_EQ(db->FeldGroesse(QStringLiteral("Verwendungszweck"), QStringLiteral("Verwendungszweck")),
            Auftragspruefung::ZeilenLaenge);
  EXPECT_EQ(db->FeldGroesse(QStringLiteral("Absender"), QStringLiteral("Name")), Auftragspruefung::NameLaenge);
}

TEST(Auftragspruefung, AbsenderName) {
  EXPECT_EQ(Auftragspruefung::AbsenderNameMeldung(QString(70, QChar(0x00D6))), QString());
  EXPECT_EQ(Auftragspruefung::AbsenderNameMeldung(QString(70, QChar(0x00D8))), QString());   // Ø O
  EXPECT_EQ(Auftragspruefung::AbsenderNameMeldung(QString(69, QLatin1Char('n')) + Ae),
            QStringLiteral("Der Name des Absenders ist in lateinischer Schrift 71 Zeichen lang; erlaubt sind höchstens 70 Zeichen!"));
  EXPECT_TRUE(Auftragspruefung::AbsenderNameMeldung(QStringLiteral("北京 GmbH")).endsWith(QStringLiteral(": 北京")));
  EXPECT_EQ(Auftragspruefung::AbsenderNameMeldung(QString()), QString()) << "emptiness is the caller's";
}

// --- The run's rules -------------------------------------------------------------------------

Zahlungsauftrag Mandat(qint64 nr, int sequenz, const char* referenz = "M-1") {
  Zahlungsauftrag a = Lastschrift(sequenz);
  a.ZahlungNr = nr;
  a.MandatReferenz = QString::fromUtf8(referenz);
  return a;
}

QList<QList<Befundart>> LaufArten(const QList<Zahlungsauftrag>& lauf) {
  QList<QList<Befundart>> ergebnis;
  for (const QList<Befund>& befunde : Auftragspruefung::LaufPruefen(lauf, Heute)) {
    QList<Befundart> arten;
    for (const Befund& b : befunde) arten << b.Art;
    ergebnis << arten;
  }
  return ergebnis;
}

using L = QList<Befundart>;

TEST(LaufPruefen, ErstUndFolgeDesselbenMandats) {
  // The RCUR has the lower number and stands first: still the FRST is the one that stays.
  EXPECT_EQ(LaufArten({Mandat(5, 3), Mandat(9, 2)}), (QList<L>{{Befundart::MandatErstUndFolge}, {}}));
  EXPECT_EQ(LaufArten({Mandat(5, 2), Mandat(6, 4)}), (QList<L>{{}, {Befundart::MandatErstUndFolge}}));
  EXPECT_EQ(LaufArten({Mandat(5, 12), Mandat(6, 13)}), (QList<L>{{}, {Befundart::MandatErstUndFolge}}));
}

TEST(LaufPruefen, ErstOderEinmalHoechstensEinmal) {
  EXPECT_EQ(LaufArten({Mandat(8, 2), Mandat(5, 2)}), (QList<L>{{Befundart::MandatMehrfachErst}, {}}));
  EXPECT_EQ(LaufArten({Mandat(5, 1), Mandat(6, 1)}), (QList<L>{{}, {Befundart::MandatMehrfachErst}}));
  EXPECT_EQ(LaufArten({Mandat(5, 1), Mandat(6, 2)}), (QList<L>{{}, {Befundart::MandatMehrfachErst}}));
}

TEST(LaufPruefen, ErlaubtesBleibtOhneBefund) {
  // Different mandates; recurring collections of one mandate.
  EXPECT_EQ(LaufArten({Mandat(5, 2, "M-1"), Mandat(6, 2, "M-2"), Mandat(7, 3, "M-3")}), (QList<L>{{}, {}, {}}));
  EXPECT_EQ(LaufArten({Mandat(5, 3), Mandat(6, 3), Mandat(7, 3)}), (QList<L>{{}, {}, {}}));
  EXPECT_EQ(LaufArten({Mandat(5, 1, "M-1"), Mandat(6, 4, "M-2"), Mandat(7, 4, "M-3")}), (QList<L>{{}, {}, {}}));
}

// Every pair of sequences on one mandate in one run: order 5 with the first sequence, order 6 with the
// second. Only two recurring collections go together; otherwise the later order by (sequence, number)
// waits, and its finding names the other.
struct Paarfall {
  int erste, zweite;   // core sequences 1 OOFF, 2 FRST, 3 RCUR, 4 FNAL
  int stelle;          // the order with the finding (0: number 5, 1: number 6, -1: none)
  Befundart art;
};

class MandatpaarImLauf : public ::testing::TestWithParam<Paarfall> {};

TEST_P(MandatpaarImLauf, NurFolgeLastschriftenGehenZusammen) {
  const Paarfall f = GetParam();
  for (int firmen : {0, 10}) {
    for (const char* zweiteReferenz : {"Abo-7", " aBO-7 "}) {
      const QList<QList<Befund>> befunde =
          Auftragspruefung::LaufPruefen({Mandat(5, f.erste + firmen, "Abo-7"), Mandat(6, f.zweite + firmen, zweiteReferenz)}, Heute);
      const QString fall = QStringLiteral("%1+%2 %3").arg(f.erste + firmen).arg(f.zweite + firmen).arg(QString::fromUtf8(zweiteReferenz));
      for (int i : {0, 1}) {
        if (i != f.stelle) {
          EXPECT_TRUE(befunde.at(i).isEmpty()) << qPrintable(fall) << " order " << i;
          continue;
        }
        ASSERT_EQ(befunde.at(i).size(), 1) << qPrintable(fall);
        const Befund& b = befunde.at(i).first();
        EXPECT_EQ(b.Art, f.art) << qPrintable(fall);
        EXPECT_EQ(b.Feld, Auftragsfeld::Sequenz);
        EXPECT_TRUE(b.Text.contains(QStringLiteral("(Zahlung Nr. %1)").arg(i == 0 ? 6 : 5))) << qPrintable(b.Text);
      }
      // Two mandates: nothing to find.
      const QList<QList<Befund>> getrennt =
          Auftragspruefung::LaufPruefen({Mandat(5, f.erste + firmen, "Abo-7"), Mandat(6, f.zweite + firmen, "Abo-8")}, Heute);
      EXPECT_TRUE(getrennt.at(0).isEmpty() && getrennt.at(1).isEmpty()) << qPrintable(fall);
    }
  }
}

constexpr Befundart Mehrfach = Befundart::MandatMehrfachErst;
constexpr Befundart ErstFolge = Befundart::MandatErstUndFolge;
constexpr Befundart Verbraucht = Befundart::MandatImLaufVerbraucht;
constexpr Befundart LetzteFolge = Befundart::MandatLetzteMitFolge;

INSTANTIATE_TEST_SUITE_P(
    AllePaare, MandatpaarImLauf,
    ::testing::Values(Paarfall{1, 1, 1, Mehrfach}, Paarfall{1, 2, 1, Mehrfach}, Paarfall{1, 3, 1, Verbraucht},
                      Paarfall{1, 4, 1, Verbraucht}, Paarfall{2, 1, 0, Mehrfach}, Paarfall{2, 2, 1, Mehrfach},
                      Paarfall{2, 3, 1, ErstFolge}, Paarfall{2, 4, 1, ErstFolge}, Paarfall{3, 1, 0, Verbraucht},
                      Paarfall{3, 2, 0, ErstFolge}, Paarfall{3, 3, -1, Mehrfach}, Paarfall{3, 4, 1, LetzteFolge},
                      Paarfall{4, 1, 0, Verbraucht}, Paarfall{4, 2, 0, ErstFolge}, Paarfall{4, 3, 0, LetzteFolge},
                      Paarfall{4, 4, 1, Verbraucht}));

// A used-up mandate stays used up for every later order of the run, not only the next one.
TEST(LaufPruefen, VerbrauchtesMandatFuerJedenWeiterenAuftrag) {
  EXPECT_EQ(LaufArten({Mandat(5, 1), Mandat(6, 3), Mandat(7, 3), Mandat(8, 4)}),
            (QList<L>{{}, {Befundart::MandatImLaufVerbraucht}, {Befundart::MandatImLaufVerbraucht},
                      {Befundart::MandatImLaufVerbraucht}}));
  EXPECT_EQ(LaufArten({Mandat(9, 4), Mandat(6, 3), Mandat(7, 3)}),
            (QList<L>{{Befundart::MandatLetzteMitFolge}, {}, {}}));
  const QList<QList<Befund>> befunde = Auftragspruefung::LaufPruefen({Mandat(9, 4), Mandat(7, 3), Mandat(6, 3)}, Heute);
  EXPECT_TRUE(befunde.at(0).first().Text.contains(QStringLiteral("Zahlung Nr. 6"))) << "names the first recurring order";
}

// The banks compare mandate references without regard to case: one mandate however it is written.
TEST(LaufPruefen, GrossUndKleinschreibungIstEinMandat) {
  EXPECT_EQ(LaufArten({Mandat(5, 2, "case-46"), Mandat(6, 3, "CASE-46")}), (QList<L>{{}, {Befundart::MandatErstUndFolge}}));
  EXPECT_EQ(LaufArten({Mandat(5, 1, "Abo-7"), Mandat(6, 1, "aBO-7")}), (QList<L>{{}, {Befundart::MandatMehrfachErst}}));
  EXPECT_EQ(LaufArten({Mandat(5, 12, "m-1"), Mandat(6, 12, " M-1")}), (QList<L>{{}, {Befundart::MandatMehrfachErst}}));
  // The finding names the mandate as the later order writes it.
  const QList<QList<Befund>> befunde = Auftragspruefung::LaufPruefen({Mandat(5, 2, "case-46"), Mandat(6, 3, "CASE-46")}, Heute);
  EXPECT_TRUE(befunde.at(1).first().Text.contains(QStringLiteral("\"CASE-46\"")));
}

// Written trimmed, so blanks around a reference do not make it another mandate.
TEST(LaufPruefen, ReferenzGetrimmtVerglichen) {
  EXPECT_EQ(LaufArten({Mandat(5, 2, "M-1"), Mandat(6, 3, " M-1 ")}), (QList<L>{{}, {Befundart::MandatErstUndFolge}}));
}

TEST(LaufPruefen, FehlerhafterAuftragZaehltNichtMit) {
  Zahlungsauftrag kaputt = Mandat(5, 2);
  kaputt.IBAN = QStringLiteral("DE88370400440532013000");
  const QList<QList<Befundart>> arten = LaufArten({kaputt, Mandat(6, 3)});
  EXPECT_EQ(arten.at(0), L{Befundart::IbanPruefziffer});
  EXPECT_TRUE(arten.at(1).isEmpty());
}

TEST(LaufPruefen, UeberweisungenKennenKeinMandat) {
  Zahlungsauftrag a = Ueberweisung();
  a.MandatReferenz = QStringLiteral("M-1");
  a.MandatSequenz = 2;
  EXPECT_EQ(LaufArten({a, a}), (QList<L>{{}, {}}));
}

TEST(LaufPruefen, TextNenntMandatUndZahlung) {
  const QList<QList<Befund>> befunde = Auftragspruefung::LaufPruefen({Mandat(5, 2, "M-77"), Mandat(6, 3, "M-77")}, Heute);
  ASSERT_EQ(befunde.at(1).size(), 1);
  EXPECT_EQ(befunde.at(1).first().Feld, Auftragsfeld::Sequenz);
  EXPECT_TRUE(befunde.at(1).first().Text.contains(QStringLiteral("\"M-77\"")));
  EXPECT_TRUE(befunde.at(1).first().Text.contains(QStringLiteral("Zahlung Nr. 5")));
}

// --- The mandate's history -------------------------------------------------------------------

struct VerlaufFall {
  const char* name;
  int letzteSequenz;           // of the last done collection of the mandate
  const char* letzteReferenz;  // as stored with it
  bool beendet;
};

class Verlauf : public ::testing::TestWithParam<VerlaufFall> {};

TEST_P(Verlauf, EinmalOderLetzteBeendetDasMandat) {
  const VerlaufFall& fall = GetParam();
  Mandatverlaeufe verlauf;
  verlauf.insert(Auftragspruefung::MandatSchluessel(QString::fromUtf8(fall.letzteReferenz)),
                 Mandatverlauf{123, QDate(2026, 11, 5), fall.letzteSequenz});
  for (int sequenz : {2, 3, 12, 13}) {
    Zahlungsauftrag a = Mandat(9, sequenz, "M-1");
    const QList<Befundart> arten = [&] {
      QList<Befundart> l;
      for (const Befund& b : Auftragspruefung::Pruefen(a, Heute, verlauf)) l << b.Art;
      return l;
    }();
    EXPECT_EQ(arten, fall.beendet ? L{Befundart::MandatBeendet} : L{}) << sequenz;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, Verlauf,
    ::testing::Values(VerlaufFall{"Einmal", 1, "M-1", true}, VerlaufFall{"Letzte", 4, "M-1", true},
                      VerlaufFall{"FirmenEinmal", 11, "M-1", true}, VerlaufFall{"FirmenLetzte", 14, "M-1", true},
                      VerlaufFall{"Erste", 2, "M-1", false}, VerlaufFall{"Folge", 3, "M-1", false},
                      VerlaufFall{"FirmenFolge", 13, "M-1", false}, VerlaufFall{"OhneSequenz", 0, "M-1", false},
                      VerlaufFall{"AnderesMandat", 1, "M-10", false}, VerlaufFall{"KleinGeschrieben", 4, "m-1", true},
                      VerlaufFall{"MitLeerzeichen", 1, " M-1 ", true}),
    [](const ::testing::TestParamInfo<VerlaufFall>& info) { return std::string(info.param.name); });

TEST(Verlauf, TextNenntZahlungUndDatum) {
  Mandatverlaeufe verlauf;
  verlauf.insert(QStringLiteral("M-1"), Mandatverlauf{123, QDate(2026, 11, 5), 4});
  const QList<Befund> befunde = Auftragspruefung::Pruefen(Mandat(9, 3, "m-1"), Heute, verlauf);
  ASSERT_EQ(befunde.size(), 1);
  EXPECT_EQ(befunde.first().Feld, Auftragsfeld::MandatReferenz);
  EXPECT_EQ(befunde.first().Text, QStringLiteral("Das Mandat \"m-1\" wurde bereits mit Zahlung 123 vom 05.11.2026 als "
                                                 "letzte Lastschrift eingezogen und kann nicht noch einmal eingezogen "
                                                 "werden."));
  verlauf[QStringLiteral("M-1")].MandatSequenz = 11;
  EXPECT_TRUE(Auftragspruefung::Pruefen(Mandat(9, 12, "M-1"), Heute, verlauf).first().Text.contains(
      QStringLiteral("als Einmal-Lastschrift eingezogen")));
}

TEST(Verlauf, UeberweisungenUndDerLaufKennenIhn) {
  Mandatverlaeufe verlauf;
  verlauf.insert(QStringLiteral("M-1"), Mandatverlauf{123, QDate(2026, 11, 5), 1});
  Zahlungsauftrag ueberweisung = Ueberweisung();
  ueberweisung.MandatReferenz = QStringLiteral("M-1");
  EXPECT_TRUE(Auftragspruefung::Pruefen(ueberweisung, Heute, verlauf).isEmpty());
  // In a run the history finding is the order's own: the order does not count for the run's rules.
  const QList<QList<Befund>> lauf =
      Auftragspruefung::LaufPruefen({Mandat(5, 2, "M-1"), Mandat(6, 3, "M-1"), Mandat(7, 2, "M-2")}, Heute, verlauf);
  ASSERT_EQ(lauf.size(), 3);
  ASSERT_EQ(lauf.at(0).size(), 1);
  EXPECT_EQ(lauf.at(0).first().Art, Befundart::MandatBeendet);
  ASSERT_EQ(lauf.at(1).size(), 1);
  EXPECT_EQ(lauf.at(1).first().Art, Befundart::MandatBeendet);
  EXPECT_TRUE(lauf.at(2).isEmpty());
}

}  // namespace
