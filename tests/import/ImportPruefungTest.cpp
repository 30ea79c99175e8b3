// The one check of an imported payment: each faulty field once, values longer than their field
// faulty, purpose codes and sequences of the kind.

#include <gtest/gtest.h>

#include <functional>

#include "import/core/ImportPruefung.h"

namespace {

ImportZahlung Gueltig(const char* art) {
  ImportZahlung z;
  z.art = QString::fromUtf8(art);
  z.name = QStringLiteral("Meier GmbH");
  z.iban = QStringLiteral("DE89370400440532013000");
  z.bic = QStringLiteral("COBADEFFXXX");
  if (z.art == QLatin1String("L")) {
    z.mandatReferenz = QStringLiteral("M-1");
    z.mandatDatum = QDate(2023, 5, 1);
    z.mandatSequenz = 3;
  }
  z.zeilentexte = {QStringLiteral("RG 1 vom 01.03.24")};
  z.gesamt = Waehrung::AusEuro(10);
  return z;
}

struct PruefFall {
  const char* name;
  const char* art;
  std::function<void(ImportZahlung&)> aendern;
  QList<ImportFeld> erwartet;
};

class ImportPruefung : public ::testing::TestWithParam<PruefFall> {};

TEST_P(ImportPruefung, Befunde) {
  ImportZahlung z = Gueltig(GetParam().art);
  GetParam().aendern(z);
  EXPECT_EQ(ImportZahlungPruefen(z, ImportFeldgroessen{}, QDate(2024, 3, 10)), GetParam().erwartet);
}

using F = ImportFeld;

INSTANTIATE_TEST_SUITE_P(
    Felder, ImportPruefung,
    ::testing::Values(
        PruefFall{"GueltigeLastschrift", "L", [](ImportZahlung&) {}, {}},
        PruefFall{"GueltigeUeberweisungOhneMandat", "G", [](ImportZahlung& z) { z.textschluessel = QStringLiteral("SUPP"); }, {}},
        PruefFall{"NameLeer", "G", [](ImportZahlung& z) { z.name.clear(); }, {F::Name}},
        PruefFall{"NameSiebzig", "G", [](ImportZahlung& z) { z.name = QString(70, QLatin1Char('N')); }, {}},
        PruefFall{"NameEinundsiebzig", "G", [](ImportZahlung& z) { z.name = QString(71, QLatin1Char('N')); }, {F::Name}},
        PruefFall{"IbanZuKurz", "G", [](ImportZahlung& z) { z.iban = QStringLiteral("DE8937040044"); }, {F::Iban}},
        PruefFall{"BicNeunZeichen", "G", [](ImportZahlung& z) { z.bic = QStringLiteral("COBADEFFX"); }, {F::Bic}},
        PruefFall{"BicLeerDeutscheIban", "G", [](ImportZahlung& z) { z.bic.clear(); }, {}},
        PruefFall{"TextschluesselFremd", "L", [](ImportZahlung& z) { z.textschluessel = QStringLiteral("SUPP"); }, {F::Textschluessel}},
        PruefFall{"TextschluesselAlt", "G", [](ImportZahlung& z) { z.textschluessel = QStringLiteral("51000"); }, {F::Textschluessel}},
        PruefFall{"ReferenzLeer", "L", [](ImportZahlung& z) { z.mandatReferenz.clear(); }, {F::MandatReferenz}},
        PruefFall{"ReferenzFuenfunddreissig", "L", [](ImportZahlung& z) { z.mandatReferenz = QString(35, QLatin1Char('R')); }, {}},
        PruefFall{"ReferenzSechsunddreissig", "L", [](ImportZahlung& z) { z.mandatReferenz = QString(36, QLatin1Char('R')); },
                  {F::MandatReferenz}},
        PruefFall{"DatumFehlt", "L", [](ImportZahlung& z) { z.mandatDatum.reset(); }, {F::MandatDatum}},
        PruefFall{"SequenzNull", "L", [](ImportZahlung& z) { z.mandatSequenz = 0; }, {F::MandatSequenz}},
        PruefFall{"SequenzAutomatisch", "L", [](ImportZahlung& z) { z.mandatSequenz = 5; }, {F::MandatSequenz}},
        PruefFall{"SequenzFirmen", "L", [](ImportZahlung& z) { z.mandatSequenz = 14; }, {}},
        PruefFall{"LeereZweiteZeile", "G", [](ImportZahlung& z) { z.zeilentexte << QString(); }, {F::Verwendungszweck}},
        PruefFall{"BetragNull", "G", [](ImportZahlung& z) { z.gesamt = Waehrung(); }, {F::Betrag}},
        PruefFall{"AllesFalsch", "L",
                  [](ImportZahlung& z) {
                    z = ImportZahlung{};
                    z.art = QStringLiteral("L");
                    z.bic = QStringLiteral("X");
                  },
                  {F::Name, F::Iban, F::Bic, F::MandatReferenz, F::MandatDatum, F::MandatSequenz, F::Verwendungszweck,
                   F::Betrag}}),
    [](const ::testing::TestParamInfo<PruefFall>& info) { return std::string(info.param.name); });

}  // namespace
