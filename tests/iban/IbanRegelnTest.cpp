// Every rule arm's branches through the per-address conversion, against a bank-code table built in code.
#include <gtest/gtest.h>

#include "iban/BankleitzahlTabelle.h"
#include "iban/IbanErmitteln.h"
#include "iban/IbanHinweis.h"
#include "IbanTestHilfen.h"

namespace {

constexpr const char* Keine = nullptr;
using H = IbanHinweis;

struct RegelFall {
  const char* Name;
  const char* Regel;
  const char* BLZ;
  const char* Konto;
  const char* DateiBIC;
  const char* Methode;
  const char* IbanBLZ;    // bank code of the expected IBAN; Keine = no IBAN
  const char* IbanKonto;  // its account (padded to ten digits by the check)
  const char* BIC;        // expected BIC with the IBAN
  H Hinweis;
  const char* FesteIban = nullptr;  // a literal IBAN instead of IbanBLZ/IbanKonto
};

// Banks that the Unicredit rules look up again; Hypo 10020890 is left out on purpose.
BankleitzahlTabelle TabelleFuer(const RegelFall& f) {
  BankleitzahlTabelle t;
  t.Einfuegen(Bank(f.BLZ, f.Regel, f.DateiBIC, f.Methode));
  for (const auto& [blz, bic] : {std::pair{"76020070", "HYVEDEMM473"}, std::pair{"70020270", "HYVEDEMMXXX"},
                                 std::pair{"60020290", "HYVEDEMM473"}, std::pair{"79020076", "HYVEDEMM455"}})
    if (QLatin1String(blz) != QLatin1String(f.BLZ)) t.Einfuegen(Bank(blz, "000000", bic));
  return t;
}

void PrintTo(const RegelFall& f, std::ostream* os) { *os << f.Name; }

class IbanRegelTest : public ::testing::TestWithParam<RegelFall> {};

TEST_P(IbanRegelTest, ErgibtIbanBicUndHinweis) {
  const RegelFall& f = GetParam();
  const BankleitzahlTabelle tabelle = TabelleFuer(f);
  const IbanErgebnis e = IbanErmitteln(QString::fromLatin1(f.BLZ), QString::fromLatin1(f.Konto), tabelle);

  EXPECT_EQ(e.Hinweis, f.Hinweis);
  EXPECT_EQ(e.HinweisText, IbanHinweisText(f.Hinweis, QString::fromLatin1(f.Regel)));
  EXPECT_EQ(e.Bank, std::optional<QString>(QStringLiteral("Testbank")));
  EXPECT_EQ(e.RegelId, QString::fromLatin1(f.Regel));
  if (f.FesteIban != nullptr) {
    ASSERT_TRUE(e.IBAN.has_value());
    EXPECT_EQ(*e.IBAN, QString::fromLatin1(f.FesteIban));
    EXPECT_TRUE(IbanPruefzifferOk(*e.IBAN)) << e.IBAN->toStdString();
    EXPECT_EQ(e.BIC, std::optional<QString>(QString::fromLatin1(f.BIC)));
  } else if (f.IbanBLZ != nullptr) {
    ASSERT_TRUE(e.IBAN.has_value()) << e.HinweisText.toStdString();
    EXPECT_EQ(*e.IBAN, ErwarteteIban(QString::fromLatin1(f.IbanBLZ), QString::fromLatin1(f.IbanKonto)));
    EXPECT_EQ(e.BIC, std::optional<QString>(QString::fromLatin1(f.BIC)));
  } else {
    EXPECT_FALSE(e.IBAN.has_value()) << e.IBAN.value_or(QString()).toStdString();
    EXPECT_FALSE(e.BIC.has_value()) << "keine IBAN, also bleibt der BIC der Adresse";
  }
  // No IBAN ever goes with a hint of the codes 1 to 10, and every hint below 100 means no IBAN.
  EXPECT_EQ(e.IBAN.has_value(), !IbanHinweisOhneIban(e.Hinweis));
}

std::string FallName(const ::testing::TestParamInfo<RegelFall>& info) { return info.param.Name; }

const RegelFall Faelle0000bis0030[] = {
    {"R0000_Standard", "000000", "37040044", "532013000", "COBADEFFXXX", "00", "37040044", "532013000", "COBADEFFXXX", H::Keiner},
    {"R0001_OhneIban", "000100", "10010010", "123456", "PBNKDEFFXXX", "00", Keine, "", "", H::BlzOhneIbanErmittlung},
    {"R0002_Acht86", "000200", "20041111", "1234567860", "COBADEHDXXX", "00", Keine, "", "", H::OhneBerechnung},
    {"R0002_Acht6", "000200", "20041111", "1234567612", "COBADEHDXXX", "00", Keine, "", "", H::OhneBerechnung},
    {"R0002_UngepolstertAcht6", "000200", "20041111", "12345676", "COBADEHDXXX", "00", Keine, "", "", H::OhneBerechnung},
    {"R0002_Acht8Neun7", "000200", "20041111", "1234567870", "COBADEHDXXX", "00", "20041111", "1234567870", "COBADEHDXXX", H::Keiner},
    {"R0002_KuerzerAlsAcht", "000200", "20041111", "1234566", "COBADEHDXXX", "00", "20041111", "1234566", "COBADEHDXXX", H::Keiner},
    {"R0003_Ausgeschlossen", "000300", "35020030", "6161604670", "NBAGDE3EXXX", "00", Keine, "", "", H::OhneBerechnung},
    {"R0003_Anderes", "000300", "35020030", "6161604671", "NBAGDE3EXXX", "00", "35020030", "6161604671", "NBAGDE3EXXX", H::Keiner},
    {"R0004_Umsetzung", "000400", "20020200", "135", "SXPYDEHHXXX", "00", "20020200", "0990021440", "SXPYDEHHXXX", H::Keiner},
    {"R0004_GepolstertNicht", "000400", "20020200", "0000000135", "SXPYDEHHXXX", "00", "20020200", "135", "SXPYDEHHXXX", H::Keiner},
    {"R0004_Letzte", "000400", "20020200", "484848", "SXPYDEHHXXX", "00", "20020200", "0920018963", "SXPYDEHHXXX", H::Keiner},
    {"R0005_Gesperrt", "000503", "50040033", "1234567", "COBADEFFXXX", "13", Keine, "", "", H::BlzGesperrt},
    {"R0005_Methode09", "000503", "37080040", "123456", "DRESDEFF370", "09", "37080040", "123456", "DRESDEFF370", H::Keiner},
    {"R0005_Methode09OhneAusschluss", "000503", "37080040", "998000000", "DRESDEFF370", "09", "37080040", "998000000", "DRESDEFF370", H::Keiner},
    {"R0005_Vier411BehaeltBic", "000503", "25041100", "12345", "TESTDEFFXXX", "09", "25041100", "12345", "TESTDEFFXXX", H::Keiner},
    {"R0005_VierCommerzBic", "000503", "10040000", "12345", "TESTDEFFXXX", "09", "10040000", "12345", "COBADEFFXXX", H::Keiner},
    {"R0005_Umsetzung101", "000503", "30040000", "36", "TESTDEFFXXX", "13", "30040000", "0261103600", "COBADEFFXXX", H::OhneNeuberechnungPruefziffer},
    {"R0005_Version01", "000501", "55040022", "555", "TESTDEFFXXX", "13", "55040022", "0002110500", "COBADEFFXXX", H::OhneNeuberechnungPruefziffer},
    {"R0005_Version02", "000502", "55040022", "555", "TESTDEFFXXX", "13", "55040022", "0211050000", "COBADEFFXXX", H::OhneNeuberechnungPruefziffer},
    {"R0005_Version03", "000503", "55040022", "343434", "TESTDEFFXXX", "13", "55040022", "0217900000", "COBADEFFXXX", H::OhneNeuberechnungPruefziffer},
    {"R0005_Version01Zweite", "000501", "38040007", "909090", "TESTDEFFXXX", "13", "38040007", "0001191600", "COBADEFFXXX", H::OhneNeuberechnungPruefziffer},
    {"R0005_AndereBlzKeineUmsetzung", "000503", "37040044", "36", "TESTDEFFXXX", "13", "37040044", "36", "COBADEFFXXX", H::OhneNeuberechnungPruefziffer},
    {"R0005_BereichUntenNeunstellig", "000503", "37080040", "998000000", "DRESDEFF370", "13", Keine, "", "", H::BlzGesperrt},
    {"R0005_BereichOben", "000503", "37080040", "0999499999", "DRESDEFF370", "13", Keine, "", "", H::BlzGesperrt},
    {"R0005_UeberBereich", "000503", "37080040", "999500000", "DRESDEFF370", "13", "37080040", "999500000", "DRESDEFF370", H::OhneNeuberechnungPruefziffer},
    {"R0005_Korrektur5555500", "000503", "37080040", "5555500", "DRESDEFF370", "13", "37080040", "0263602501", "DRESDEFF370", H::OhneNeuberechnungPruefziffer},
    {"R0005_Alt5555555Nicht", "000503", "37080040", "5555555", "DRESDEFF370", "13", "37080040", "5555555", "DRESDEFF370", H::OhneNeuberechnungPruefziffer},
    {"R0005_LetzteZeile", "000503", "60040071", "500500500", "TESTDEFFXXX", "13", "60040071", "0512700600", "COBADEFFXXX", H::OhneNeuberechnungPruefziffer},
    {"R0005_Methode09OhneUmsetzung", "000503", "30040000", "36", "COBADEDDXXX", "09", "30040000", "36", "COBADEFFXXX", H::Keiner},
    {"R0005_CommerzBicBereichGesperrt", "000503", "30040000", "998000000", "COBADEDDXXX", "13", Keine, "", "", H::BlzGesperrt},
    {"R0005_MittlereZeile", "000502", "12080000", "212121", "DRESDEFF120", "13", "12080000", "4050462200", "DRESDEFF120", H::OhneNeuberechnungPruefziffer},
    {"R0005_KontoFehlt", "000503", "37080040", "", "DRESDEFF370", "13", Keine, "", "", H::KontoNrUngueltig},
    {"R0006_Umsetzung", "000600", "72020700", "1111111", "AUGBDE77XXX", "00", "72020700", "20228888", "AUGBDE77XXX", H::Keiner},
    {"R0006_Letzte", "000600", "72020700", "70000", "AUGBDE77XXX", "00", "72020700", "18180018", "AUGBDE77XXX", H::Keiner},
    {"R0007_Erste", "000700", "37050198", "111", "COLSDE33XXX", "00", "37050198", "1115", "COLSDE33XXX", H::Keiner},
    {"R0007_Letzte", "000700", "37050198", "222220022", "COLSDE33XXX", "00", "37050198", "2222222", "COLSDE33XXX", H::Keiner},
    {"R0007_Gepolstert", "000700", "37050198", "0000000111", "COLSDE33XXX", "00", "37050198", "111", "COLSDE33XXX", H::Keiner},
    {"R0008_Ersetzung", "000800", "50020000", "12345", "TESTDEFFXXX", "00", "50020200", "12345", "BHFBDEFF500", H::Keiner},
    {"R0009_Umsetzung", "000900", "68351976", "1116000001", "TESTDEFFXXX", "00", "68351557", "3047000001", "SOLADES1SFH", H::Keiner},
    {"R0009_AndereBlz", "000900", "68351432", "1116000001", "TESTDEFFXXX", "00", "68351557", "1116000001", "SOLADES1SFH", H::Keiner},
    {"R0009_AnderesKonto", "000900", "68351976", "2116000001", "TESTDEFFXXX", "00", "68351557", "2116000001", "SOLADES1SFH", H::Keiner},
    {"R0010_Fest2000", "001001", "50050201", "2000", "HELADEF1822", "00", Keine, "", "HELADEF1822", H::Keiner, "DE42500502010000222000"},
    {"R0010_Fest800000", "001000", "50050201", "800000", "HELADEF1822", "00", Keine, "", "HELADEF1822", H::Keiner, "DE89500502010000180802"},
    {"R0010_Version00Bleibt", "001000", "50050222", "1234", "HELADEF1822", "00", "50050222", "1234", "HELADEF1822", H::Keiner},
    {"R0010_Version01Ersetzt", "001001", "50050222", "1234", "HELADEF1822", "00", "50050201", "1234", "HELADEF1822", H::Keiner},
    {"R0011_Umsetzung", "001100", "32050000", "1000", "SPKRDE33XXX", "00", "32050000", "8010001", "SPKRDE33XXX", H::Keiner},
    {"R0011_Zweite", "001100", "32050000", "47800", "SPKRDE33XXX", "00", "32050000", "47803", "SPKRDE33XXX", H::Keiner},
    {"R0012_Ersetzung", "001201", "50850049", "12345", "TESTDEFFXXX", "00", "50050000", "12345", "HELADEFFXXX", H::Keiner},
    {"R0013_Ersetzung", "001301", "40050000", "12345", "TESTDEFFXXX", "00", "30050000", "12345", "WELADEDDXXX", H::Keiner},
    {"R0014_Ersetzung", "001400", "10090603", "12345", "TESTDEFFXXX", "00", "30060601", "12345", "DAAEDEDDXXX", H::Keiner},
    {"R0015_Version00Bleibt94", "001500", "37020500", "94", "BFSWDE33XXX", "00", "37020500", "94", "BFSWDE33XXX", H::Keiner},
    {"R0015_Version01Setzt94", "001501", "37020500", "94", "BFSWDE33XXX", "00", "37020500", "3008888018", "BFSWDE33XXX", H::Keiner},
    {"R0015_Beide556", "001500", "37020500", "556", "BFSWDE33XXX", "00", "37020500", "0000101010", "BFSWDE33XXX", H::Keiner},
    {"R0015_Letzte", "001501", "37020500", "400569017", "BFSWDE33XXX", "00", "37020500", "4000569017", "BFSWDE33XXX", H::Keiner},
    {"R0016_Umsetzung", "001600", "37062124", "300000", "GENODED1BGL", "00", "37062124", "18128012", "GENODED1BGL", H::Keiner},
    {"R0017_Umsetzung", "001700", "38050000", "100", "WELADED1SKB", "00", "38050000", "2009090013", "WELADED1SKB", H::Keiner},
    {"R0017_Ergaenzt4444", "001700", "38050000", "4444", "WELADED1SKB", "00", "38050000", "2044444014", "WELADED1SKB", H::Keiner},
    {"R0018_Umsetzung", "001800", "39060180", "5435435430", "GENODED1AAC", "00", "39060180", "543543543", "GENODED1AAC", H::Keiner},
    {"R0019_Ersetzung", "001900", "50130100", "12345", "TESTDEFFXXX", "00", "50120383", "12345", "DELBDE33XXX", H::Keiner},
    {"R0019_Andere", "001900", "50120383", "12345", "DELBDE33XXX", "00", "50120383", "12345", "DELBDE33XXX", H::Keiner},
    {"R0020_Umsetzung", "002002", "50070010", "9999", "DEUTDEFFXXX", "00", "50070010", "92777202", "DEUTDEFFXXX", H::OhneNeuberechnungPruefziffer},
    {"R0020_Hinweis101", "002001", "10070000", "123456", "DEUTDEBBXXX", "00", "10070000", "123456", "DEUTDEBBXXX", H::OhneNeuberechnungPruefziffer},
    {"R0020_KontoFehltErsetzt101", "002002", "10070000", "", "DEUTDEBBXXX", "00", Keine, "", "", H::KontoNrUngueltig},
    {"R0021_Ersetzung", "002101", "35020030", "12345", "TESTDEFFXXX", "00", "36020030", "12345", "NBAGDE3EXXX", H::Keiner},
    {"R0022_Umsetzung", "002200", "43060967", "1111111", "GENODEM1GLS", "00", "43060967", "2222200000", "GENODEM1GLS", H::Keiner},
    {"R0023_Umsetzung", "002300", "26590025", "700", "GENODEF1OSN", "00", "26590025", "1000700800", "GENODEF1OSN", H::Keiner},
    {"R0024_Umsetzung", "002400", "36060295", "94", "GENODED1BBE", "00", "36060295", "1694", "GENODED1BBE", H::Keiner},
    {"R0025_Ersetzung", "002500", "60250184", "12345", "TESTDEFFXXX", "00", "60050101", "12345", "TESTDEFFXXX", H::Keiner},
    {"R0026_Standard", "002600", "35060190", "12345", "GENODED1DKD", "00", "35060190", "12345", "GENODED1DKD", H::Keiner},
    {"R0027_Standard", "002700", "29020000", "12345", "BCHBDE2XXXX", "00", "29020000", "12345", "BCHBDE2XXXX", H::Keiner},
    {"R0030_Standard", "003000", "13091054", "12345", "GENODEF1HWI", "00", "13091054", "12345", "GENODEF1HWI", H::Keiner},
    {"R0028_Ersetzung", "002800", "25050299", "12345", "NOLADE2HXXX", "00", "25050180", "12345", "NOLADE2HXXX", H::Keiner},
    {"R0028_Andere", "002800", "25050180", "12345", "NOLADE2HXXX", "00", "25050180", "12345", "NOLADE2HXXX", H::Keiner},
    {"R0029_Vierte0Entfaellt", "002900", "51210800", "1230456789", "SOGEDEFFXXX", "00", "51210800", "0123456789", "SOGEDEFFXXX", H::Keiner},
    {"R0029_Fuehrende0", "002900", "51210800", "0230456789", "SOGEDEFFXXX", "00", "51210800", "0230456789", "SOGEDEFFXXX", H::Keiner},
    {"R0029_Neunstellig", "002900", "51210800", "123045678", "SOGEDEFFXXX", "00", "51210800", "123045678", "SOGEDEFFXXX", H::Keiner},
    {"R0029_VierteNicht0", "002900", "51210800", "1234567890", "SOGEDEFFXXX", "00", "51210800", "1234567890", "SOGEDEFFXXX", H::Keiner},
};
INSTANTIATE_TEST_SUITE_P(Regeln0000bis0030, IbanRegelTest, ::testing::ValuesIn(Faelle0000bis0030), FallName);

const RegelFall Faelle0031bis0043[] = {
    {"R0031_NeunstelligHinweis6", "003101", "70020270", "123456789", "HYVEDEMMXXX", "00", Keine, "", "", H::BerechnungNichtMoeglich},
    {"R0031_Fuehrende0Praefix12", "003101", "70020270", "0121234567", "HYVEDEMMXXX", "00", "70020270", "0121234567", "HYVEDEMMXXX", H::UnicreditBlzUmsetzung},
    {"R0031_Praefix100", "003101", "70020270", "1001234567", "HYVEDEMMXXX", "00", "76020070", "1001234567", "HYVEDEMM473", H::UnicreditBlzUmsetzung},
    {"R0031_Praefix850Bleibt", "003101", "73020012", "8501234567", "HYVEDEMM487", "00", "73020012", "8501234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0032_Praefix100", "003200", "73020012", "1001234567", "HYVEDEMM487", "00", "76020070", "1001234567", "HYVEDEMM473", H::UnicreditBlzUmsetzung},
    {"R0032_FuenfstelligPraefix123", "003200", "73020012", "12345", "HYVEDEMM487", "00", "76420080", "12345", "", H::UnicreditBlzUmsetzung},
    {"R0032_BankFehltInTabelle", "003200", "73020012", "1571234567", "HYVEDEMM487", "00", "10020890", "1571234567", "", H::UnicreditBlzUmsetzung},
    {"R0032_Praefix116OhneEintrag", "003200", "73020012", "1161234567", "HYVEDEMM487", "00", "73020012", "1161234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0032_Praefix799OhneEintrag", "003200", "73020012", "7991234567", "HYVEDEMM487", "00", "73020012", "7991234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0032_Praefix798", "003200", "73020012", "7981234567", "HYVEDEMM487", "00", "70020270", "7981234567", "HYVEDEMMXXX", H::UnicreditBlzUmsetzung},
    {"R0032_Praefix850Bleibt", "003200", "73020012", "8501234567", "HYVEDEMM487", "00", "73020012", "8501234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0032_Praefix900Bleibt", "003200", "73020012", "9001234567", "HYVEDEMM487", "00", "73020012", "9001234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0032_KontoUngueltig", "003200", "73020012", "10012a4567", "HYVEDEMM487", "00", Keine, "", "", H::KontoNrUngueltig},
    {"R0033_Praefix850Hvb", "003301", "70020270", "8501234567", "HYVEDEMMXXX", "00", "70020270", "8501234567", "HYVEDEMMXXX", H::UnicreditBlzUmsetzung},
    {"R0033_Praefix850Andere", "003301", "73020012", "8501234567", "HYVEDEMM487", "00", Keine, "", "", H::BerechnungNichtMoeglich},
    {"R0033_Sonderkonto94", "003301", "73020012", "94", "HYVEDEMM487", "00", "70020270", "2711931", "HYVEDEMMXXX", H::UnicreditBlzUmsetzung},
    {"R0033_Sonderkonto55555", "003301", "73020012", "55555", "HYVEDEMM487", "00", "70020270", "5801800000", "HYVEDEMMXXX", H::UnicreditBlzUmsetzung},
    {"R0034_Praefix850", "003400", "70020270", "8501234567", "HYVEDEMMXXX", "00", Keine, "", "", H::BerechnungNichtMoeglich},
    {"R0034_Sonderkonto502", "003400", "73020012", "502", "HYVEDEMM487", "00", "60020290", "4340118001", "HYVEDEMM473", H::UnicreditBlzUmsetzung},
    {"R0034_Sonderkonto500500500", "003400", "73020012", "500500500", "HYVEDEMM487", "00", "60020290", "4340111112", "HYVEDEMM473", H::UnicreditBlzUmsetzung},
    {"R0034_Sonderkonto94NurR0033", "003400", "73020012", "94", "HYVEDEMM487", "00", "73020012", "94", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0035_Praefix850", "003501", "70020270", "8501234567", "HYVEDEMMXXX", "00", Keine, "", "", H::BerechnungNichtMoeglich},
    {"R0035_Sonderkonto9696", "003501", "73020012", "9696", "HYVEDEMM487", "00", "79020076", "1490196966", "HYVEDEMM455", H::UnicreditBlzUmsetzung},
    {"R0036_SechsUnten", "003600", "21050170", "100000", "NOLADE21KIE", "00", "21050000", "100000000", "NOLADE21KIE", H::Keiner},
    {"R0036_SechsOben", "003600", "21050170", "899999", "NOLADE21KIE", "00", "21050000", "899999000", "NOLADE21KIE", H::Keiner},
    {"R0036_SechsUeber", "003600", "21050170", "900000", "NOLADE21KIE", "00", Keine, "", "", H::GesperrteKontenkreise},
    {"R0036_SechsFuehrende0", "003600", "21050170", "012345", "NOLADE21KIE", "00", Keine, "", "", H::GesperrteKontenkreise},
    {"R0036_AchtGesperrt", "003600", "21050170", "12345678", "NOLADE21KIE", "00", Keine, "", "", H::GesperrteKontenkreise},
    {"R0036_AchtFrei", "003600", "21050170", "30000000", "NOLADE21KIE", "00", "21050000", "30000000", "NOLADE21KIE", H::OhneNeuberechnungPruefziffer},
    {"R0036_AchtFreiOben", "003600", "21050170", "59999999", "NOLADE21KIE", "00", "21050000", "59999999", "NOLADE21KIE", H::OhneNeuberechnungPruefziffer},
    {"R0036_FuenfGesperrt", "003600", "21050170", "99999", "NOLADE21KIE", "00", Keine, "", "", H::GesperrteKontenkreise},
    {"R0036_ZehnFrei", "003600", "21050170", "3000000000", "NOLADE21KIE", "00", "21050000", "3000000000", "NOLADE21KIE", H::OhneNeuberechnungPruefziffer},
    {"R0036_ZehnGesperrt", "003600", "21050170", "7100000000", "NOLADE21KIE", "00", Keine, "", "", H::GesperrteKontenkreise},
    {"R0036_ZehnZwischen", "003600", "21050170", "8500000000", "NOLADE21KIE", "00", "21050000", "8500000000", "NOLADE21KIE", H::OhneNeuberechnungPruefziffer},
    {"R0037_Ersetzung", "003700", "20110700", "12345", "TESTDEFFXXX", "00", "30010700", "12345", "BOTKDEDXXXX", H::Keiner},
    {"R0037_Andere", "003700", "30010700", "12345", "BOTKDEDXXXX", "00", "30010700", "12345", "BOTKDEDXXXX", H::Keiner},
    {"R0038_Ersetzung", "003800", "26691213", "12345", "TESTDEFFXXX", "00", "28590075", "12345", "GENODEF1LER", H::Keiner},
    {"R0038_Dritte", "003800", "25090300", "12345", "TESTDEFFXXX", "00", "28590075", "12345", "GENODEF1LER", H::Keiner},
    {"R0039_Ersetzung", "003900", "28021002", "12345", "GENODEF1EMD", "00", "28020050", "12345", "GENODEF1EMD", H::Keiner},
    {"R0039_Letzte", "003900", "29121731", "12345", "GENODEF1LER", "00", "28020050", "12345", "GENODEF1LER", H::Keiner},
    {"R0039_Andere", "003900", "28020050", "12345", "OLBODEH2XXX", "00", "28020050", "12345", "OLBODEH2XXX", H::Keiner},
    {"R0040_Ersetzung", "004001", "68051310", "12345", "TESTDEFFXXX", "00", "68052328", "12345", "SOLADES1STF", H::Keiner},
    {"R0041_Fest", "004100", "62220000", "4711", "TESTDEFFXXX", "00", Keine, "", "GENODEFFXXX", H::Keiner, "DE96500604000000011404"},
    {"R0041_FestOhneKonto", "004100", "62220000", "", "TESTDEFFXXX", "00", Keine, "", "GENODEFFXXX", H::Keiner, "DE96500604000000011404"},
    {"R0041_Andere", "004100", "50060400", "12345", "GENODEFFXXX", "00", "50060400", "12345", "GENODEFFXXX", H::Keiner},
    {"R0042_Siebenstellig", "004200", "50050222", "1234567", "HELADEF1822", "00", Keine, "", "", H::NurAchtstelligeKonten},
    {"R0042_Vierte0Berechnet", "004200", "50050222", "12301234", "HELADEF1822", "00", "50050222", "12301234", "HELADEF1822", H::Keiner},
    {"R0042_Vierte0Ausgeschlossen", "004200", "50050222", "12300999", "HELADEF1822", "00", Keine, "", "", H::OhneBerechnung},
    {"R0042_Vierte0Untergrenze", "004200", "50050222", "12300000", "HELADEF1822", "00", Keine, "", "", H::OhneBerechnung},
    {"R0042_Bereich1", "004200", "50050222", "50462500", "HELADEF1822", "00", "50050222", "50462500", "HELADEF1822", H::Keiner},
    {"R0042_Bereich2", "004200", "50050222", "50469999", "HELADEF1822", "00", "50050222", "50469999", "HELADEF1822", H::Keiner},
    {"R0042_Verworfen", "004200", "50050222", "50464000", "HELADEF1822", "00", Keine, "", "", H::OhneBerechnung},
    {"R0043_Ersetzung", "004301", "60651070", "12345", "TESTDEFFXXX", "00", "66650085", "12345", "PZHSDE66XXX", H::Keiner},
    {"R0043_Version00", "004300", "60651070", "12345", "TESTDEFFXXX", "00", "66650085", "12345", "PZHSDE66XXX", H::Keiner},
};
INSTANTIATE_TEST_SUITE_P(Regeln0031bis0043, IbanRegelTest, ::testing::ValuesIn(Faelle0031bis0043), FallName);

const RegelFall Faelle0044bis0057[] = {
    {"R0044_Umsetzung", "004400", "76050101", "202", "SSKNDE77XXX", "00", "76050101", "2282022", "SSKNDE77XXX", H::Keiner},
    {"R0044_Gepolstert", "004400", "76050101", "0000000202", "SSKNDE77XXX", "00", "76050101", "202", "SSKNDE77XXX", H::Keiner},
    {"R0045_Version00", "004500", "20050550", "12345", "HASPDEHHXXX", "00", "20050550", "12345", "ESSEDE5FXXX", H::Keiner},
    {"R0045_Version01", "004501", "20050550", "12345", "HASPDEHHXXX", "00", "20050550", "12345", "ESSEDE5FXXX", H::Keiner},
    {"R0046_Ersetzung", "004600", "10020000", "12345", "BEBEDEBBXXX", "00", "31010833", "12345", "BEBEDEBBXXX", H::Keiner},
    {"R0047_Achtstellig", "004700", "76020070", "12345678", "HYVEDEMM473", "00", "76020070", "1234567800", "HYVEDEMM473", H::Keiner},
    {"R0047_Siebenstellig", "004700", "76020070", "1234567", "HYVEDEMM473", "00", "76020070", "1234567", "HYVEDEMM473", H::Keiner},
    {"R0048_Ersetzung", "004800", "10120800", "12345", "TESTDEFFXXX", "00", "36010200", "12345", "VONEDE33XXX", H::Keiner},
    {"R0048_Andere", "004800", "36010200", "12345", "VONEDE33XXX", "00", "36010200", "12345", "VONEDE33XXX", H::Keiner},
    {"R0049_Drehung", "004900", "30060010", "912345", "GENODEDDXXX", "00", "30060010", "9123450000", "GENODEDDXXX", H::Keiner},
    {"R0049_OhneDrehung", "004900", "30060601", "912345", "DAAEDEDDXXX", "00", "30060601", "0000912345", "DAAEDEDDXXX", H::Keiner},
    {"R0049_Umsetzung36", "004900", "30060601", "36", "DAAEDEDDXXX", "00", "30060601", "0002310113", "DAAEDEDDXXX", H::Keiner},
    {"R0049_Umsetzung6060", "004900", "57060000", "6060", "GENODED1XXX", "00", "57060000", "0000160602", "GENODED1XXX", H::Keiner},
    {"R0050_Ersetzung", "005000", "28252760", "12345", "TESTDEFFXXX", "00", "28550000", "12345", "BRLADE21LER", H::Keiner},
    {"R0050_Andere", "005000", "28550000", "12345", "BRLADE21LER", "00", "28550000", "12345", "BRLADE21LER", H::Keiner},
    {"R0051_Umsetzung", "005100", "44050199", "333", "DORTDE33XXX", "00", "44050199", "7832500881", "DORTDE33XXX", H::Keiner},
    {"R0051_Zehnstellig", "005100", "44050199", "502502502", "DORTDE33XXX", "00", "44050199", "0001108884", "DORTDE33XXX", H::Keiner},
    {"R0052_Umsetzung", "005200", "67220020", "5308810004", "TESTDEFFXXX", "00", "60050101", "0002662604", "SOLADEST600", H::Keiner},
    {"R0052_AndereBlz", "005200", "67020020", "5308810004", "TESTDEFFXXX", "00", Keine, "", "", H::OhneBerechnung},
    {"R0053_Umsetzung", "005300", "55050000", "35000", "TESTDEFFXXX", "00", "60050101", "7401555913", "SOLADEST600", H::Keiner},
    {"R0053_Gepolstert", "005300", "55050000", "0000035000", "TESTDEFFXXX", "00", "55050000", "35000", "TESTDEFFXXX", H::Keiner},
    {"R0053_AndereGruppe", "005300", "60050000", "35000", "TESTDEFFXXX", "00", "60050000", "35000", "TESTDEFFXXX", H::Keiner},
    {"R0053_GruppeSechs", "005300", "86050000", "4394", "TESTDEFFXXX", "00", "60050101", "7461505714", "SOLADEST600", H::Keiner},
    {"R0054_Muster", "005401", "52060410", "10796740", "GENODEF1EK1", "00", "52060410", "10796743", "GENODEF1EK1", H::Keiner},
    {"R0054_Muster45", "005400", "52060410", "45796740", "GENODEF1EK1", "00", "52060410", "45796743", "GENODEF1EK1", H::Keiner},
    {"R0054_AusserhalbMuster", "005401", "52060410", "30796740", "GENODEF1EK1", "00", "52060410", "30796740", "GENODEF1EK1", H::Keiner},
    {"R0054_Gepolstert", "005401", "52060410", "0000000500", "GENODEF1EK1", "00", "52060410", "500", "GENODEF1EK1", H::Keiner},
    {"R0054_Einzel", "005401", "52060410", "500", "GENODEF1EK1", "00", "52060410", "500500", "GENODEF1EK1", H::Keiner},
    {"R0054_EinzelLetzte", "005401", "52060410", "2210531180", "GENODEF1EK1", "00", "52060410", "201053180", "GENODEF1EK1", H::Keiner},
    {"R0055_Ersetzung", "005500", "25410203", "12345", "TESTDEFFXXX", "00", "25410200", "12345", "BHWBDE2HXXX", H::Keiner},
    {"R0056_ZehnstelligStandard", "005600", "10010111", "1234567890", "ESSEDE5F100", "00", "10010111", "1234567890", "ESSEDE5F100", H::Keiner},
    {"R0056_KurzAusgeschlossen", "005600", "10010111", "12345", "ESSEDE5F100", "00", Keine, "", "", H::OhneBerechnung},
    {"R0056_FestVorAusschluss", "005600", "38010111", "36", "ESSEDE5F380", "00", Keine, "", "ESSEDE5F380", H::Keiner, "DE29380101111010240003"},
    {"R0056_FestAndereBlz", "005600", "12345678", "36", "TESTDEFFXXX", "00", Keine, "", "TESTDEFFXXX", H::Keiner, "DE29380101111010240003"},
    {"R0056_FestLetzte", "005600", "60010111", "500500500", "ESSEDE5F600", "00", Keine, "", "ESSEDE5F600", H::Keiner, "DE17600101111045720000"},
    {"R0056_AndereBlzKurz", "005600", "12345678", "12345", "TESTDEFFXXX", "00", "12345678", "12345", "TESTDEFFXXX", H::Keiner},
    {"R0057_Ersetzung", "005700", "50810900", "12345", "TESTDEFFXXX", "00", "66010200", "12345", "BBSPDE6KXXX", H::Keiner},
    {"R0057_Andere", "005700", "66010200", "12345", "BBSPDE6KXXX", "00", "66010200", "12345", "BBSPDE6KXXX", H::Keiner},
};
INSTANTIATE_TEST_SUITE_P(Regeln0044bis0057, IbanRegelTest, ::testing::ValuesIn(Faelle0044bis0057), FallName);

// The account check of the standard computation covers every arm that computes; fixed IBANs stay.
const RegelFall FaelleKontoNr[] = {
    {"Leer", "000000", "37040044", "", "COBADEFFXXX", "00", Keine, "", "", H::KontoNrUngueltig},
    {"Nullen", "000000", "37040044", "0000000000", "COBADEFFXXX", "00", Keine, "", "", H::KontoNrUngueltig},
    {"Buchstabe", "000000", "37040044", "12a4", "COBADEFFXXX", "00", Keine, "", "", H::KontoNrUngueltig},
    {"Bindestrich", "000000", "37040044", "123-456", "COBADEFFXXX", "00", Keine, "", "", H::KontoNrUngueltig},
    {"ElfStellen", "000000", "37040044", "12345678901", "COBADEFFXXX", "00", Keine, "", "", H::KontoNrUngueltig},
    {"ElfStellenNachNullen", "000000", "37040044", "00012345678901", "COBADEFFXXX", "00", Keine, "", "", H::KontoNrUngueltig},
    {"ZehnStellenNachNullen", "000000", "37040044", "0001234567890", "COBADEFFXXX", "00", "37040044", "1234567890", "COBADEFFXXX", H::Keiner},
    {"LeerzeichenEntfernt", "000000", "37040044", " 53 2013000 ", "COBADEFFXXX", "00", "37040044", "532013000", "COBADEFFXXX", H::Keiner},
    {"NurLeerzeichen", "000000", "37040044", "   ", "COBADEFFXXX", "00", Keine, "", "", H::KontoNrUngueltig},
    {"NachUmsetzungGeprueft", "000800", "50020000", "", "TESTDEFFXXX", "00", Keine, "", "", H::KontoNrUngueltig},
    {"Regel0031Hinweis9StattHinweis102", "003200", "73020012", "x", "HYVEDEMM487", "00", Keine, "", "", H::KontoNrUngueltig},
    {"Regel0036Hinweis9StattHinweis101", "003600", "21050170", "31234567x9", "NOLADE21KIE", "00", Keine, "", "", H::KontoNrUngueltig},
};
INSTANTIATE_TEST_SUITE_P(KontoNr, IbanRegelTest, ::testing::ValuesIn(FaelleKontoNr), FallName);

// Rows from the middle and the ends of the literal lists, so that a slip in one of them shows.
const RegelFall FaelleListenzeilen[] = {
    {"T0004_Mitte", "000400", "20020200", "9595", "SXPYDEHHXXX", "00", "20020200", "1653524703", "SXPYDEHHXXX", H::Keiner},
    {"T0006_Mitte", "000600", "72020700", "34343434", "AUGBDE77XXX", "00", "72020700", "1000506517", "AUGBDE77XXX", H::Keiner},
    {"T0007_Mitte", "000700", "37050198", "2602024", "COLSDE33XXX", "00", "37050198", "5602024", "COLSDE33XXX", H::Keiner},
    {"T0015_Mitte", "001500", "37020500", "393393", "BFSWDE33XXX", "00", "37020500", "0033013019", "BFSWDE33XXX", H::Keiner},
    {"T0017_Letzte", "001700", "38050000", "50005000", "WELADED1SKB", "00", "38050000", "5000500013", "WELADED1SKB", H::Keiner},
    {"T0018_Letzte", "001800", "39060180", "202050", "GENODED1AAC", "00", "39060180", "1221864014", "GENODED1AAC", H::Keiner},
    {"T0024_Letzte", "002400", "36060295", "400", "GENODED1BBE", "00", "36060295", "14400", "GENODED1BBE", H::Keiner},
    {"T0031_Praefix458", "003200", "73020012", "4581234567", "HYVEDEMM487", "00", "54520194", "4581234567", "", H::UnicreditBlzUmsetzung},
    {"T0031_Praefix560", "003200", "73020012", "5601234567", "HYVEDEMM487", "00", "79320075", "5601234567", "", H::UnicreditBlzUmsetzung},
    {"T0031_Praefix733", "003501", "73020012", "7331234567", "HYVEDEMM487", "00", "83020087", "7331234567", "", H::UnicreditBlzUmsetzung},
    {"T0036_Bis1999999999Frei", "003600", "21050170", "1999999999", "NOLADE21KIE", "00", "21050000", "1999999999", "NOLADE21KIE", H::OhneNeuberechnungPruefziffer},
    {"T0036_Ab2000000000Gesperrt", "003600", "21050170", "2000000000", "NOLADE21KIE", "00", Keine, "", "", H::GesperrteKontenkreise},
    {"T0036_8599999999Frei", "003600", "21050170", "8599999999", "NOLADE21KIE", "00", "21050000", "8599999999", "NOLADE21KIE", H::OhneNeuberechnungPruefziffer},
    {"T0039_Erste", "003900", "25621327", "12345", "GENODEF1MAR", "00", "28020050", "12345", "GENODEF1MAR", H::Keiner},
    {"T0042_Vierte0UeberBereich", "004200", "50050222", "12301000", "HELADEF1822", "00", "50050222", "12301000", "HELADEF1822", H::Keiner},
    {"T0049_Mitte", "004900", "40060000", "999", "GENODEMSXXX", "00", "40060000", "0001310113", "GENODEMSXXX", H::Keiner},
    {"T0051_Dritte", "005100", "44050199", "500500500", "DORTDE33XXX", "00", "44050199", "0005005000", "DORTDE33XXX", H::Keiner},
    {"T0052_Letzte", "005200", "69220020", "6402145400", "TESTDEFFXXX", "00", "60050101", "7485500252", "SOLADEST600", H::Keiner},
    {"T0053_Gruppe60020030", "005300", "60020030", "1054290000", "TESTDEFFXXX", "00", "60050101", "7871521216", "SOLADEST600", H::Keiner},
    {"T0053_Gruppe60050000", "005300", "60050000", "5500", "TESTDEFFXXX", "00", "60050101", "0001375703", "SOLADEST600", H::Keiner},
    {"T0053_Gruppe66020020", "005300", "66020020", "4002401000", "TESTDEFFXXX", "00", "60050101", "7495500967", "SOLADEST600", H::Keiner},
    {"T0053_Gruppe66050000", "005300", "66050000", "85990", "TESTDEFFXXX", "00", "60050101", "7402051588", "SOLADEST600", H::Keiner},
    {"T0054_MusterLetzte", "005400", "52060410", "69796740", "GENODEF1EK1", "00", "52060410", "69796743", "GENODEF1EK1", H::Keiner},
    {"T0054_EinzelMitte", "005400", "52060410", "636306", "GENODEF1EK1", "00", "52060410", "63606", "GENODEF1EK1", H::Keiner},
    {"T0056_LetzteBlz", "005600", "69010111", "12345", "ESSEDE5F690", "00", Keine, "", "", H::OhneBerechnung},
    {"T0056_Blz35211012", "005600", "35211012", "12345", "ESSEDE5F352", "00", Keine, "", "", H::OhneBerechnung},
    {"T0056_FestMitte", "005600", "37010111", "1888", "ESSEDE5F370", "00", Keine, "", "ESSEDE5F370", H::Keiner, "DE81370101111241113000"},
};
INSTANTIATE_TEST_SUITE_P(Listenzeilen, IbanRegelTest, ::testing::ValuesIn(FaelleListenzeilen), FallName);

// Rules 0033 to 0035 treat the account prefixes 800 to 899 as one range: both ends, and 799 and 900
// just outside, where the bank code stays (799 has no entry in the prefix table).
const RegelFall FaelleBereich800bis899[] = {
    {"R0033_Praefix799Andere", "003301", "73020012", "7991234567", "HYVEDEMM487", "00", "73020012", "7991234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0033_Praefix800Andere", "003301", "73020012", "8001234567", "HYVEDEMM487", "00", Keine, "", "", H::BerechnungNichtMoeglich},
    {"R0033_Praefix899Andere", "003301", "73020012", "8991234567", "HYVEDEMM487", "00", Keine, "", "", H::BerechnungNichtMoeglich},
    {"R0033_Praefix900Andere", "003301", "73020012", "9001234567", "HYVEDEMM487", "00", "73020012", "9001234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0033_Praefix800Hvb", "003301", "70020270", "8001234567", "HYVEDEMMXXX", "00", "70020270", "8001234567", "HYVEDEMMXXX", H::UnicreditBlzUmsetzung},
    {"R0033_Praefix899Hvb", "003301", "70020270", "8991234567", "HYVEDEMMXXX", "00", "70020270", "8991234567", "HYVEDEMMXXX", H::UnicreditBlzUmsetzung},
    {"R0034_Praefix799", "003400", "73020012", "7991234567", "HYVEDEMM487", "00", "73020012", "7991234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0034_Praefix800", "003400", "73020012", "8001234567", "HYVEDEMM487", "00", Keine, "", "", H::BerechnungNichtMoeglich},
    {"R0034_Praefix899", "003400", "73020012", "8991234567", "HYVEDEMM487", "00", Keine, "", "", H::BerechnungNichtMoeglich},
    {"R0034_Praefix899Hvb", "003400", "70020270", "8999999999", "HYVEDEMMXXX", "00", Keine, "", "", H::BerechnungNichtMoeglich},
    {"R0034_Praefix900", "003400", "73020012", "9001234567", "HYVEDEMM487", "00", "73020012", "9001234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0034_DreistelligesKonto899", "003400", "73020012", "899", "HYVEDEMM487", "00", Keine, "", "", H::BerechnungNichtMoeglich},
    {"R0034_ZweistelligesKonto89", "003400", "73020012", "89", "HYVEDEMM487", "00", "73020012", "89", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0035_Praefix799", "003501", "73020012", "7991234567", "HYVEDEMM487", "00", "73020012", "7991234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0035_Praefix800", "003501", "73020012", "8000000000", "HYVEDEMM487", "00", Keine, "", "", H::BerechnungNichtMoeglich},
    {"R0035_Praefix899", "003501", "73020012", "8991234567", "HYVEDEMM487", "00", Keine, "", "", H::BerechnungNichtMoeglich},
    {"R0035_Praefix900", "003501", "73020012", "9001234567", "HYVEDEMM487", "00", "73020012", "9001234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    // Rules 0031 and 0032 keep the bank code over the whole range.
    {"R0031_Praefix800Bleibt", "003101", "73020012", "8001234567", "HYVEDEMM487", "00", "73020012", "8001234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
    {"R0032_Praefix899Bleibt", "003200", "73020012", "8991234567", "HYVEDEMM487", "00", "73020012", "8991234567", "HYVEDEMM487", H::UnicreditBlzUmsetzung},
};
INSTANTIATE_TEST_SUITE_P(Bereich800bis899, IbanRegelTest, ::testing::ValuesIn(FaelleBereich800bis899), FallName);

}  // namespace
