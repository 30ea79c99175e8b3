// The check of an imported payment: the shared order rules decide (their own tests cover each rule),
// each faulty field counts once, and the import adds a name longer than its field and empty lines
// after the first.

#include <gtest/gtest.h>

#include <functional>

#include "import/core/ImportPruefung.h"

namespace {

Zahlungsauftrag Gueltig(const char* art) {
  Zahlungsauftrag z;
  z.Art = QString::fromUtf8(art);
  z.Name = QStringLiteral("Meier GmbH");
  z.IBAN = QStringLiteral("DE89370400440532013000");
  z.BIC = QStringLiteral("COBADEFFXXX");
  if (z.IstLastschrift()) {
    z.MandatReferenz = QStringLiteral("M-1");
    z.MandatDatum = QDate(2023, 5, 1);
    z.MandatSequenz = 3;
  }
  z.Zeilen = {Auftragszeile{QStringLiteral("RG 1 vom 01.03.24"), Waehrung::AusEuro(10)}};
  z.Verwendungszweck1 = z.Zeilen.first().Text;
  z.Betrag = Waehrung::AusEuro(10);
  return z;
}

struct PruefFall {
  const char* name;
  const char* art;
  std::function<void(Zahlungsauftrag&)> aendern;
  QList<Auftragsfeld> erwartet;
};

class ImportPruefung : public ::testing::TestWithParam<PruefFall> {};

TEST_P(ImportPruefung, Befunde) {
  Zahlungsauftrag z = Gueltig(GetParam().art);
  GetParam().aendern(z);
  EXPECT_EQ(ImportZahlungPruefen(z, ImportFeldgroessen{}, QDate(2024, 3, 10)), GetParam().erwartet);
}

using F = Auftragsfeld;
using Z = Zahlungsauftrag;

INSTANTIATE_TEST_SUITE_P(
    Felder, ImportPruefung,
    ::testing::Values(
        PruefFall{"GueltigeLastschrift", "L", [](Z&) {}, {}},
        PruefFall{"GueltigeUeberweisungOhneMandat", "G", [](Z& z) { z.Textschluessel = QStringLiteral("SUPP"); }, {}},
        PruefFall{"NameSiebzig", "G", [](Z& z) { z.Name = QString(70, QLatin1Char('N')); }, {}},
        PruefFall{"NameEinundsiebzig", "G", [](Z& z) { z.Name = QString(71, QLatin1Char('N')); }, {F::Name}},
        PruefFall{"IbanPruefziffer", "G", [](Z& z) { z.IBAN = QStringLiteral("DE88370400440532013000"); }, {F::Iban}},
        PruefFall{"TextschluesselAlt", "G", [](Z& z) { z.Textschluessel = QStringLiteral("51000"); }, {F::Textschluessel}},
        PruefFall{"SequenzAutomatisch", "L", [](Z& z) { z.MandatSequenz = 5; }, {F::Sequenz}},
        PruefFall{"LeereZweiteZeile", "G", [](Z& z) { z.Zeilen << Auftragszeile{QStringLiteral(" "), Waehrung()}; },
                  {F::Zeilen}},
        PruefFall{"BetragNull", "G",
                  [](Z& z) {
                    z.Betrag = Waehrung();
                    z.Zeilen.first().Betrag = Waehrung();
                  },
                  {F::Betrag}},
        PruefFall{"AllesFalsch", "L",
                  [](Z& z) {
                    z = Zahlungsauftrag{};
                    z.Art = QStringLiteral("L");
                    z.BIC = QStringLiteral("X");
                  },
                  {F::Name, F::Bic, F::Iban, F::Zeilen, F::Betrag, F::Sequenz, F::MandatReferenz, F::MandatDatum}}),
    [](const ::testing::TestParamInfo<PruefFall>& info) { return std::string(info.param.name); });

}  // namespace
