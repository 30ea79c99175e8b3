#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>

#include "platform/settings/Registrierung.h"
#include "testsupport/TestOrdner.h"

namespace {

class RegistrierungTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_vorher = Registrierung::Instanz().Datei();
    Registrierung::Instanz().DateiSetzen(m_ordner.Datei(QStringLiteral("unter/ordner/reg.ini")));
  }
  void TearDown() override { Registrierung::Instanz().DateiSetzen(m_vorher); }
  TestOrdner m_ordner;
  QString m_vorher;
};

TEST_F(RegistrierungTest, VorgabeWennSchluesselFehlt) {
  Registrierung& r = Registrierung::Instanz();
  EXPECT_EQ(r.Lesen(QStringLiteral("Window State"), QStringLiteral("AbsenderNr"), QStringLiteral("1")),
            QStringLiteral("1"));
  EXPECT_FALSE(r.Vorhanden(QStringLiteral("Window State"), QStringLiteral("AbsenderNr")));
}

TEST_F(RegistrierungTest, SchreibtSofortInDieDateiUndLiestOhneRuecksichtAufGrossschreibung) {
  SaveSetting(QStringLiteral("Window State"), QStringLiteral("Datenlaufwerk"), QStringLiteral("/daten/a,b;c=d"));
  SaveSetting(QStringLiteral("Formular State"), QStringLiteral("Kopierfeld0"), QStringLiteral("1"));
  EXPECT_EQ(GetSetting(QStringLiteral("window state"), QStringLiteral("DATENLAUFWERK")), QStringLiteral("/daten/a,b;c=d"));
  // Another reader of the file sees the value at once (no pending cache).
  QSettings andere(Registrierung::Instanz().Datei(), QSettings::IniFormat);
  EXPECT_EQ(andere.value(QStringLiteral("Window State/Datenlaufwerk")).toString(), QStringLiteral("/daten/a,b;c=d"));
  // Writing with other case updates the same key instead of adding a second one.
  SaveSetting(QStringLiteral("WINDOW STATE"), QStringLiteral("datenlaufwerk"), QStringLiteral("/x"));
  EXPECT_EQ(Registrierung::Instanz().Schluessel(QStringLiteral("Window State")), QStringList{QStringLiteral("Datenlaufwerk")});
  EXPECT_EQ(GetSetting(QStringLiteral("Window State"), QStringLiteral("Datenlaufwerk")), QStringLiteral("/x"));
}

TEST_F(RegistrierungTest, UmlauteLeerzeichenUndSonderzeichen) {
  const QString wert = QStringLiteral("  Müller; \"x\" = 1 %U00E4  ");
  SaveSetting(QStringLiteral("Import AbsenderNr 2"), QStringLiteral("SEPAFälligkeitstage2:"), wert);
  SaveSetting(QStringLiteral("Drucken State"), QStringLiteral("Leer"), QString());
  Registrierung::Instanz().DateiSetzen(Registrierung::Instanz().Datei());  // read back from the file
  EXPECT_EQ(GetSetting(QStringLiteral("import absendernr 2"), QStringLiteral("SEPAFÄLLIGKEITSTAGE2:")), wert);
  EXPECT_TRUE(Registrierung::Instanz().Vorhanden(QStringLiteral("Drucken State"), QStringLiteral("Leer")));
  EXPECT_EQ(GetSetting(QStringLiteral("Drucken State"), QStringLiteral("Leer"), QStringLiteral("v")), QString());
}

TEST_F(RegistrierungTest, LoeschtSchluesselUndAbschnitt) {
  Registrierung& r = Registrierung::Instanz();
  r.Schreiben(QStringLiteral("Import"), QStringLiteral("A"), QStringLiteral("1"));
  r.Schreiben(QStringLiteral("Import"), QStringLiteral("B"), QStringLiteral("2"));
  r.Schreiben(QStringLiteral("Liste1 State"), QStringLiteral("Top"), QStringLiteral("5"));
  r.Loeschen(QStringLiteral("import"), QStringLiteral("a"));
  EXPECT_FALSE(r.Vorhanden(QStringLiteral("Import"), QStringLiteral("A")));
  EXPECT_TRUE(r.Vorhanden(QStringLiteral("Import"), QStringLiteral("B")));
  r.Loeschen(QStringLiteral("Import"));
  EXPECT_FALSE(r.Vorhanden(QStringLiteral("Import"), QStringLiteral("B")));
  EXPECT_EQ(r.Lesen(QStringLiteral("Liste1 State"), QStringLiteral("Top")), QStringLiteral("5"));
  EXPECT_TRUE(r.Sichern());
}

TEST_F(RegistrierungTest, VonHandGeschriebeneKommawerteBleibenText) {
  QFile f(m_ordner.Datei(QStringLiteral("hand.ini")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Drucken State]\nSpalten=10,20,30\n");
  f.close();
  Registrierung::Instanz().DateiSetzen(f.fileName());
  EXPECT_EQ(GetSetting(QStringLiteral("Drucken State"), QStringLiteral("Spalten")), QStringLiteral("10,20,30"));
}

}  // namespace

// A stored number is a whole number or none: what the old run time's Val would have read the start of ("5abc",
// "1e3") is refused, so the reader treats it as a bad value.
TEST(EinstellungZahl, NurGanzeZahlen) {
  const struct {
    const char* text;
    std::optional<int> zahl;
  } faelle[] = {
      {"5", 5},          {" 14 ", 14},        {"+3", 3},         {"-1", -1},        {"0", 0},
      {"007", 7},        {"\t2\n", 2},        {"5abc", {}},      {"1e3", {}},       {"2,5", {}},
      {"2.0", {}},       {"", {}},            {"  ", {}},        {"+", {}},         {"-", {}},
      {"5 6", {}},       {"--5", {}},         {"0x10", {}},      {"vier", {}},      {"٣", {}},
      {"2147483647", 2147483647},             {"-2147483648", -2147483647 - 1},
      {"2147483648", 2147483647},             {"99999999999999999999", 2147483647},
      {"-99999999999999999999", -2147483647 - 1}, {"0000000000000000000001", 1},
  };
  for (const auto& f : faelle) EXPECT_EQ(EinstellungZahl(QString::fromUtf8(f.text)), f.zahl) << f.text;
}
