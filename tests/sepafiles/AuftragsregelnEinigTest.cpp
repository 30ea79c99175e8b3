// The same hostile orders through the payment form's save, the SEPA pre-check and the writer's last
// guard: the three must agree order by order, and name the same rule first. Before the rules had one
// home, the save let through what the pre-check then dropped without a word.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "LaufTestDatenbank.h"
#include "payments/core/Pruefmodus.h"
#include "payments/core/Speicherpruefung.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "payments/core/ZahlungSpeichern.h"
#include "payments/core/Zahlungsbefehle.h"
#include "sepafiles/core/SepaDokument.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaSelektion.h"
#include "testsupport/TestOrdner.h"

void PrintTo(Befundart art, std::ostream* os) { *os << "Befundart " << static_cast<int>(art); }

namespace {

const QDate Heute(2024, 6, 5);
const QDateTime Zeitpunkt(Heute, QTime(9, 0));

struct Feindlich {
  const char* name;
  Zahlart zahlart;
  std::function<void(ZahlungEingabe&)> aendern;
  std::optional<Befundart> erwartet;  // the first rule refusing it; nullopt: a good order
};

ZahlungEingabe Eingabe() {
  ZahlungEingabe e;
  e.name = QStringLiteral("Meier GmbH");
  e.bank = QStringLiteral("Commerzbank");
  e.bic = QStringLiteral("COBADEFFXXX");
  e.iban = QStringLiteral("DE89 3704 0044 0532 0130 00");
  e.verwendungszweck1 = QStringLiteral("RG 4711");
  e.betrag = Waehrung::AusCent(12345);
  e.mandatReferenz = QStringLiteral("M-1");
  e.mandatDatum = QDate(2023, 1, 1);
  e.sequenzIndex = 1;
  return e;
}

SepaArt Lauf(Zahlart z) {
  return z == Zahlart::Ueberweisung ? SepaArt::Ueberweisung
         : z == Zahlart::BasisLastschrift ? SepaArt::BasisLastschrift : SepaArt::FirmenLastschrift;
}

class AuftragsregelnEinig : public ::testing::TestWithParam<Feindlich> {};

TEST_P(AuftragsregelnEinig, SpeichernVorpruefungUndSchreiberGleich) {
  const Feindlich& fall = GetParam();
  LaufTestDatenbank t;
  ZahlungEingabe eingabe = Eingabe();
  fall.aendern(eingabe);

  // 1. The save of the payment form, on a row "Neu" stored.
  qint64 gespeichert = 0;
  ASSERT_TRUE(NeueZahlungAnlegen(t.Db(), 1, fall.zahlart, {}, Heute, gespeichert).Ok());
  SpeicherKontext sk;
  sk.absenderNr = 1;
  sk.zahlart = fall.zahlart;
  sk.heute = Heute;
  ZahlungEingabe fuerSpeichern = eingabe;
  const SpeicherErgebnis speichern = ZahlungSpeichern(t.Db(), gespeichert, fuerSpeichern, sk);
  ASSERT_TRUE(speichern.dbFehler.Ok()) << speichern.dbFehler.Beschreibung.toStdString();
  ASSERT_TRUE(t.Db().Ausfuehren("DELETE FROM Zahlungen WHERE ZahlungNr = ?", {gespeichert}).Ok());

  // 2. The same order stored as it stands (as an import or an older version could have left it),
  // then the SEPA selection's pre-check over it.
  PruefKontext pk;
  pk.zahlart = fall.zahlart;
  pk.heute = Heute;
  const Zahlungsauftrag a = AuftragAusEingabe(eingabe, pk);
  LaufTestDatenbank::Auftrag roh;
  roh.art = a.Art;
  roh.name = a.Name;
  roh.iban = a.IBAN;
  roh.bic = a.BIC;
  roh.mandatSequenz = a.MandatSequenz;
  roh.mandatReferenz = a.MandatReferenz;
  roh.mandatDatum = a.MandatDatum;
  roh.verwendungszweck1 = a.Verwendungszweck1;
  roh.textschluessel = a.Textschluessel;
  roh.zeilenCent = {a.Betrag.Roh() / 100};
  roh.gesamtCent = 0;
  const qint64 nr = t.Anlegen(roh);
  if (!a.Betrag.IstCentGenau()) {  // the fixture counts in cent: the fraction goes in as stored
    ASSERT_TRUE(t.Db().Ausfuehren("UPDATE Zahlungen SET ZahlungGesamt = ? WHERE ZahlungNr = ?",
                                  {QVariant::fromValue(a.Betrag), nr}).Ok());
    ASSERT_TRUE(t.Db().Ausfuehren("UPDATE Verwendungszweck SET ZahlungsBetrag = ? WHERE ZahlungNr = ?",
                                  {QVariant::fromValue(a.Betrag), nr}).Ok());
  }
  SepaAuswahlAnfrage anfrage;
  anfrage.Art = Lauf(fall.zahlart);
  anfrage.Heute = Heute;
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), anfrage);
  ASSERT_TRUE(auswahl.Ok()) << auswahl.Meldung.toStdString();
  ASSERT_EQ(auswahl.Geprueft, 1);

  // 3. The writer's last guard: a run handed the order by number only reads and judges it itself.
  TestOrdner ziel;
  const SepaLaufErgebnis schreiben =
      SepaLauf::Ausfuehren(t.Db(), LaufAnfrage(anfrage.Art, {nr}, Zeitpunkt, ziel.Pfad()));

  const bool gut = !fall.erwartet.has_value();
  EXPECT_EQ(speichern.Ok(), gut) << speichern.Meldungstext().toStdString();
  EXPECT_EQ(auswahl.Fehlerhaft == 0, gut);
  EXPECT_EQ(schreiben.Ok(), gut) << schreiben.Meldung.toStdString();
  if (gut) return;
  ASSERT_TRUE(speichern.pruefFehler);
  ASSERT_EQ(auswahl.Befunde.size(), 1);
  const Befund& erster = auswahl.Befunde.first().Befunde.first();
  EXPECT_EQ(speichern.pruefFehler->art, *fall.erwartet);
  EXPECT_EQ(erster.Art, *fall.erwartet);
  EXPECT_EQ(speichern.pruefFehler->meldung, erster.Text);
  EXPECT_TRUE(schreiben.Meldung.contains(erster.Text)) << schreiben.Meldung.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Feindliche, AuftragsregelnEinig,
    ::testing::Values(
        Feindlich{"GuteUeberweisung", Zahlart::Ueberweisung, [](ZahlungEingabe&) {}, std::nullopt},
        Feindlich{"GuteLastschrift", Zahlart::BasisLastschrift, [](ZahlungEingabe&) {}, std::nullopt},
        Feindlich{"GrossbritannienMitBic", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) {
                    e.iban = QStringLiteral("GB29 NWBK 6016 1331 9268 19");
                    e.bic = QStringLiteral("NWBKGB2L");
                  },
                  std::nullopt},
        Feindlich{"OhneBicInDeutschland", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.bic.clear(); }, std::nullopt},
        Feindlich{"NameNurFremdeZeichen", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.name = QStringLiteral("§§"); },
                  Befundart::NameLeer},
        Feindlich{"NameKyrillischUmgeschrieben", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) { e.name = QStringLiteral("ООО Жуков"); }, std::nullopt},
        Feindlich{"NameOhneUmschrift", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.name = QStringLiteral("王明 GmbH"); },
                  Befundart::NameUmschrift},
        Feindlich{"NameSiebzig", Zahlart::BasisLastschrift, [](ZahlungEingabe& e) { e.name = QString(70, QLatin1Char('n')); },
                  std::nullopt},
        Feindlich{"NameEinundsiebzig", Zahlart::BasisLastschrift,
                  [](ZahlungEingabe& e) { e.name = QString(71, QLatin1Char('n')); }, Befundart::NameZuLang},
        Feindlich{"NameEinundsiebzigDurchUmschrift", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) { e.name = QString(69, QLatin1Char('n')) + QChar(0x0416); }, Befundart::NameZuLang},
        Feindlich{"VerwendungszweckGriechisch", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) { e.verwendungszweck1 = QStringLiteral("Τιμολόγιο 12"); }, std::nullopt},
        Feindlich{"VerwendungszweckOhneUmschrift", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) { e.verwendungszweck1 = QStringLiteral("Rechnung 王"); },
                  Befundart::VerwendungszweckUmschrift},
        Feindlich{"VerwendungszweckAchtundzwanzig", Zahlart::FirmenLastschrift,
                  [](ZahlungEingabe& e) { e.verwendungszweck1 = QString(28, QLatin1Char('v')); },
                  Befundart::VerwendungszweckZuLang},
        Feindlich{"IbanPruefziffer", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) { e.iban = QStringLiteral("DE88370400440532013000"); }, Befundart::IbanPruefziffer},
        Feindlich{"IbanLaenge", Zahlart::BasisLastschrift,
                  [](ZahlungEingabe& e) { e.iban = QStringLiteral("DE893704004405320130"); }, Befundart::IbanFalscheLaenge},
        Feindlich{"BicNurZiffern", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.bic = QStringLiteral("12345678"); },
                  Befundart::BicAufbau},
        Feindlich{"BicZehnZeichen", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.bic = QStringLiteral("COBADEFFXX"); },
                  Befundart::BicUnvollstaendig},
        Feindlich{"SchweizOhneBic", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) {
                    e.iban = QStringLiteral("CH9300762011623852957");
                    e.bic.clear();
                  },
                  Befundart::BicAusserhalbEwr},
        Feindlich{"MonacoOhneBicLastschrift", Zahlart::BasisLastschrift,
                  [](ZahlungEingabe& e) {
                    e.iban = QStringLiteral("MC5811222000010123456789030");
                    e.bic.clear();
                  },
                  Befundart::BicAusserhalbEwr},
        Feindlich{"VerwendungszweckLeer", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) { e.verwendungszweck1 = QStringLiteral("{}"); }, Befundart::VerwendungszweckLeer},
        Feindlich{"BetragZuHoch", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) { e.betrag = Auftragspruefung::HoechstBetrag + Waehrung::AusCent(1); },
                  Befundart::BetragZuHoch},
        Feindlich{"BetragHoechster", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) { e.betrag = Auftragspruefung::HoechstBetrag; }, std::nullopt},
        Feindlich{"BetragDreiNachkommastellen", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) { e.betrag = Waehrung::AusRoh(123450); }, Befundart::BetragNachkommastellen},
        Feindlich{"MandatReferenzDoppelterSchraegstrich", Zahlart::BasisLastschrift,
                  [](ZahlungEingabe& e) { e.mandatReferenz = QStringLiteral("A//B"); }, Befundart::MandatReferenzUngueltig},
        Feindlich{"MandatReferenzSchraegstrichAmEnde", Zahlart::FirmenLastschrift,
                  [](ZahlungEingabe& e) { e.mandatReferenz = QStringLiteral("M1/"); }, Befundart::MandatReferenzUngueltig},
        Feindlich{"MandatReferenzUmlaut", Zahlart::BasisLastschrift,
                  [](ZahlungEingabe& e) { e.mandatReferenz = QStringLiteral("Müller-1"); },
                  Befundart::MandatReferenzUngueltig},
        Feindlich{"MandatReferenz36", Zahlart::BasisLastschrift,
                  [](ZahlungEingabe& e) { e.mandatReferenz = QString(36, QLatin1Char('M')); },
                  Befundart::MandatReferenzUngueltig},
        Feindlich{"MandatDatumMorgen", Zahlart::BasisLastschrift,
                  [](ZahlungEingabe& e) { e.mandatDatum = Heute.addDays(1); }, Befundart::MandatDatumZukunft},
        Feindlich{"MandatDatumHeute", Zahlart::BasisLastschrift, [](ZahlungEingabe& e) { e.mandatDatum = Heute; },
                  std::nullopt},
        Feindlich{"TextschluesselDerUeberweisungBeiLastschrift", Zahlart::BasisLastschrift,
                  [](ZahlungEingabe& e) { e.textschluessel = QStringLiteral("SALA"); }, Befundart::TextschluesselUngueltig},
        Feindlich{"TextschluesselUnbekannt", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) { e.textschluessel = QStringLiteral("XXXX"); }, Befundart::TextschluesselUngueltig},
        Feindlich{"LastschriftAusDerSchweiz", Zahlart::BasisLastschrift,
                  [](ZahlungEingabe& e) {
                    e.iban = QStringLiteral("CH9300762011623852957");
                    e.bic = QStringLiteral("UBSWCHZH80A");
                  },
                  Befundart::LastschriftAusserhalbEwr},
        Feindlich{"UeberweisungInDieSchweiz", Zahlart::Ueberweisung,
                  [](ZahlungEingabe& e) {
                    e.iban = QStringLiteral("CH9300762011623852957");
                    e.bic = QStringLiteral("UBSWCHZH80A");
                  },
                  std::nullopt},
        Feindlich{"IbanMitBuchstabenImKontoteil", Zahlart::FirmenLastschrift,
                  [](ZahlungEingabe& e) { e.iban = QStringLiteral("DE59370400440532O13000"); }, Befundart::IbanKontoaufbau},
        Feindlich{"MehrereFehlerDerErsteZaehlt", Zahlart::BasisLastschrift,
                  [](ZahlungEingabe& e) {
                    e.iban = QStringLiteral("DE88370400440532013000");
                    e.mandatReferenz = QStringLiteral("A//B");
                    e.bic = QStringLiteral("COBADEFFX");
                  },
                  Befundart::BicUnvollstaendig}),
    [](const ::testing::TestParamInfo<Feindlich>& info) { return std::string(info.param.name); });

// A mandate collected as one-off or final is refused everywhere alike: at save, in the pre-check, by the
// writer's guard over orders handed in by number, and in check mode. Its reference in another case is the
// same mandate; a recurring collection before it leaves the mandate open.
TEST(AuftragsregelnEinig, BeendetesMandatWirdNirgendsNochmalEingezogen) {
  for (const int letzte : {1, 4, 3}) {
    LaufTestDatenbank t;
    LaufTestDatenbank::Auftrag frueher = Lastschrift(letzte);
    frueher.mandatReferenz = QStringLiteral("case-46");
    frueher.erledigt = true;
    frueher.erledigtDatum = QDate(2024, 5, 2);
    frueher.buchungsdatum = QDate(2024, 5, 6);
    const qint64 alt = t.Anlegen(frueher);
    const bool beendet = letzte != 3;
    const QString text = QStringLiteral("Das Mandat \"CASE-46\" wurde bereits mit Zahlung %1 vom 06.05.2024 als %2 "
                                        "eingezogen und kann nicht noch einmal eingezogen werden.")
                             .arg(alt)
                             .arg(letzte == 1 ? QStringLiteral("Einmal-Lastschrift") : QStringLiteral("letzte Lastschrift"));

    // The save.
    ZahlungEingabe e = Eingabe();
    e.mandatReferenz = QStringLiteral("CASE-46");
    e.sequenzIndex = 2;   // recurring
    qint64 nr = 0;
    ASSERT_TRUE(NeueZahlungAnlegen(t.Db(), 1, Zahlart::BasisLastschrift, {}, Heute, nr).Ok());
    SpeicherKontext sk;
    sk.absenderNr = 1;
    sk.zahlart = Zahlart::BasisLastschrift;
    sk.heute = Heute;
    const SpeicherErgebnis speichern = ZahlungSpeichern(t.Db(), nr, e, sk);
    ASSERT_TRUE(speichern.dbFehler.Ok());
    EXPECT_EQ(speichern.Ok(), !beendet) << letzte;
    if (beendet) {
      ASSERT_TRUE(speichern.pruefFehler);
      EXPECT_EQ(speichern.pruefFehler->meldung, text);
      EXPECT_EQ(speichern.pruefFehler->feld, Fokusfeld::MandatReferenz);
      // Stored as it stands (an import, an older version), for the other paths.
      ASSERT_TRUE(t.Db().Ausfuehren("UPDATE Zahlungen SET MandatReferenz = 'CASE-46', MandatSequenz = 3, Name = 'X', "
                                    "IBAN = 'DE89370400440532013000', Verwendungszweck1 = 'RG', ZahlungGesamt = 1000000 "
                                    "WHERE ZahlungNr = ?",
                                    {nr})
                      .Ok());
      ASSERT_TRUE(t.Db().Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, "
                                    "ZahlungsBetrag) VALUES (?, 1, 'RG', 1000000)",
                                    {nr})
                      .Ok());
    }

    // The pre-check.
    SepaAuswahlAnfrage anfrage;
    anfrage.Art = SepaArt::BasisLastschrift;
    anfrage.Heute = Heute;
    const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), anfrage);
    ASSERT_TRUE(auswahl.Ok()) << auswahl.Meldung.toStdString();
    EXPECT_EQ(auswahl.Fehlerhaft, beendet ? 1 : 0);
    EXPECT_EQ(auswahl.ZahlungNummern, beendet ? QList<qint64>{} : QList<qint64>{nr});
    if (beendet) {
      ASSERT_EQ(auswahl.Befunde.size(), 1);
      EXPECT_EQ(auswahl.Befunde.first().Gruende(), QStringList{text});
    }

    // Check mode over the payment form's list.
    ZahlungenFilter filter;
    filter.absenderNr = 1;
    filter.zahlart = Zahlart::BasisLastschrift;
    const PruefmodusErgebnis pruefung = ZahlungenPruefen(t.Db(), ZahlungenBedingung(filter), false, Heute);
    ASSERT_TRUE(pruefung.lesefehler.Ok());
    EXPECT_EQ(pruefung.fehlerhaft, beendet ? 1 : 0);
    if (beendet) {
      EXPECT_EQ(pruefung.gruende.value(nr), QStringList{text});
    }

    // The writer's guard, handed the order by number.
    TestOrdner ziel;
    const SepaLaufErgebnis schreiben =
        SepaLauf::Ausfuehren(t.Db(), LaufAnfrage(SepaArt::BasisLastschrift, {nr}, Zeitpunkt, ziel.Pfad()));
    EXPECT_EQ(schreiben.Ok(), !beendet) << schreiben.Meldung.toStdString();
    if (beendet) {
      EXPECT_TRUE(schreiben.Meldung.contains(text)) << schreiben.Meldung.toStdString();
    }
  }
}

}  // namespace
