// The per-address frame: bank-code checks, lookup, successor bank codes, hint texts.
#include <gtest/gtest.h>

#include "iban/BankleitzahlTabelle.h"
#include "iban/IbanErmitteln.h"
#include "iban/IbanZeileKonvertieren.h"
#include "IbanTestHilfen.h"

namespace {

BankleitzahlEintrag Geloescht(const char* blz, const char* nachfolger, const char* kennzeichen = "D") {
  BankleitzahlEintrag e = Bank(blz, "000000", "ALTEDEFFXXX", "00", "Alte Bank");
  e.NachfolgeBLZ = QString::fromLatin1(nachfolger);
  e.Aenderungskennzeichen = QString::fromLatin1(kennzeichen);
  return e;
}

class IbanErmittelnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_tabelle.Einfuegen(Bank("37040044", "000000", "COBADEFFXXX", "13", "Commerzbank Köln"));
    m_tabelle.Einfuegen(Bank("10010010", "000100", "PBNKDEFFXXX", "00", "Postbank"));
    m_tabelle.Einfuegen(Bank("30040000", "000503", "COBADEDDXXX", "13", "Commerzbank Düsseldorf"));
    m_tabelle.Einfuegen(Bank("20000000", "", "LEERDEFFXXX", "00", "Ohne Regel"));
    m_tabelle.Einfuegen(Geloescht("11111111", "37040044"));
    m_tabelle.Einfuegen(Geloescht("22222222", "99999999"));
    m_tabelle.Einfuegen(Geloescht("33333333", "37040044", "U"));
    m_tabelle.Einfuegen(Geloescht("44444444", "10010010"));
    m_tabelle.Einfuegen(Geloescht("55555555", "30040000"));
    m_tabelle.Einfuegen(Geloescht("66666666", "11111111"));
    m_tabelle.Einfuegen(Bank("67220020", "005200", "GENODE61WNM", "00", "Volksbank"));
    m_tabelle.Einfuegen(Geloescht("77777777", "67220020"));
  }
  IbanErgebnis Ermitteln(const char* blz, const char* konto = "532013000") {
    return IbanErmitteln(QString::fromUtf8(blz), QString::fromLatin1(konto), m_tabelle);
  }
  BankleitzahlTabelle m_tabelle;
};

TEST_F(IbanErmittelnTest, GefundeneBankGibtIbanBicUndBank) {
  const IbanErgebnis e = Ermitteln("37040044");
  EXPECT_EQ(e.IBAN, std::optional<QString>(QStringLiteral("DE89370400440532013000")));
  EXPECT_EQ(e.BIC, std::optional<QString>(QStringLiteral("COBADEFFXXX")));
  EXPECT_EQ(e.Bank, std::optional<QString>(QStringLiteral("Commerzbank Köln")));
  EXPECT_EQ(e.Hinweis, IbanHinweis::Keiner);
  EXPECT_TRUE(e.HinweisText.isEmpty());
}

TEST_F(IbanErmittelnTest, BlzNichtAchtstelligVorNichtImBestand) {
  for (const char* blz : {"", "   ", "1234567", "370400440", "3704 0044x"}) {
    const IbanErgebnis e = Ermitteln(blz);
    EXPECT_EQ(e.Hinweis, IbanHinweis::BlzNichtAchtstellig) << blz;
    EXPECT_EQ(e.HinweisText, QStringLiteral("5-BLZ ist nicht 8-stellig"));
    EXPECT_FALSE(e.IBAN || e.BIC || e.Bank) << blz;
  }
}

// No rule sees an account number longer than ten digits or with other characters (rules 0005, 0036, 0049 and
// 0051 used to cut it to ten digits and formed an IBAN); a bank code with other characters is not one.
TEST_F(IbanErmittelnTest, KontonummerUndBlzNurAusZiffern) {
  m_tabelle.Einfuegen(Bank("36010043", "003600", "PBNKDEFFXXX", "00", "Postbank Essen"));
  m_tabelle.Einfuegen(Bank("50130600", "004900", "GENODEFFXXX", "00", "DZ Bank"));
  m_tabelle.Einfuegen(Bank("35050000", "005100", "DUISDE33XXX", "00", "Sparkasse Duisburg"));
  const QString lang = QStringLiteral("123456789012345678901234567890");
  const QString nul = QStringLiteral("5320") + QChar(0) + QStringLiteral("13000");
  for (const char* blz : {"30040000", "36010043", "50130600", "35050000", "37040044"}) {
    for (const QString& konto : {lang, QStringLiteral("12345678901"), nul, QStringLiteral("53201300O"), QStringLiteral("-532013000")}) {
      const IbanErgebnis e = IbanErmitteln(QString::fromLatin1(blz), konto, m_tabelle);
      EXPECT_EQ(e.Hinweis, IbanHinweis::KontoNrUngueltig) << blz << " " << konto.toStdString();
      EXPECT_FALSE(e.IBAN || e.BIC) << blz;
      EXPECT_TRUE(e.Bank.has_value()) << blz;   // the bank was found
    }
  }
  // Ten digits, and ten digits behind leading zeros and blanks, still go through.
  EXPECT_EQ(Ermitteln("37040044", "0532013000").IBAN, std::optional<QString>(QStringLiteral("DE89370400440532013000")));
  EXPECT_EQ(Ermitteln("37040044", "000 0532013000").IBAN, std::optional<QString>(QStringLiteral("DE89370400440532013000")));
  for (const QString& blz : {QStringLiteral("3704004X"), QString(QStringLiteral("3704") + QChar(0) + QStringLiteral("0044")),
                             QString(QStringLiteral("370400") + QChar(0) + QStringLiteral("4"))})
    EXPECT_EQ(IbanErmitteln(blz, QStringLiteral("532013000"), m_tabelle).Hinweis, IbanHinweis::BlzNichtAchtstellig)
        << blz.toStdString();
  // The tool's line: refused, echoed without the NUL byte.
  EXPECT_EQ(IbanZeileKonvertieren(QString(QStringLiteral("37040044;") + nul), m_tabelle),
            QStringLiteral("37040044;5320\uFFFD13000;;;9-Kontonummer fehlt oder ist ungültig"));
}

TEST_F(IbanErmittelnTest, UnbekannteBlz) {
  const IbanErgebnis e = Ermitteln("37040045");
  EXPECT_EQ(e.HinweisText, QStringLiteral("3-BLZ ist nicht im Bundesbank-Bestand"));
  EXPECT_FALSE(e.IBAN || e.BIC || e.Bank);
}

TEST_F(IbanErmittelnTest, BlzWirdAuchFuerDieSucheGetrimmt) {
  const IbanErgebnis e = Ermitteln(" 37040044 ");
  EXPECT_EQ(e.IBAN, std::optional<QString>(QStringLiteral("DE89370400440532013000")));
  EXPECT_EQ(e.Hinweis, IbanHinweis::Keiner);
}

TEST_F(IbanErmittelnTest, NachfolgeBlzErsetztGeloeschte) {
  const IbanErgebnis e = Ermitteln("11111111");
  EXPECT_EQ(e.IBAN, std::optional<QString>(QStringLiteral("DE89370400440532013000")));
  EXPECT_EQ(e.BIC, std::optional<QString>(QStringLiteral("COBADEFFXXX")));
  EXPECT_EQ(e.Bank, std::optional<QString>(QStringLiteral("Commerzbank Köln")));
  EXPECT_EQ(e.HinweisText,
            QStringLiteral("103-Die gespeicherte BLZ wurde gelöscht und durch eine Nachfolge-BLZ ersetzt"));
}

TEST_F(IbanErmittelnTest, FehlenderNachfolgerLaesstDieEigeneZeile) {
  const IbanErgebnis e = Ermitteln("22222222");
  EXPECT_EQ(e.IBAN, std::optional<QString>(ErwarteteIban(QStringLiteral("22222222"), QStringLiteral("532013000"))));
  EXPECT_EQ(e.BIC, std::optional<QString>(QStringLiteral("ALTEDEFFXXX")));
  EXPECT_EQ(e.Hinweis, IbanHinweis::Keiner);
}

TEST_F(IbanErmittelnTest, NachfolgerOhneLoeschkennzeichenGiltNicht) {
  const IbanErgebnis e = Ermitteln("33333333");
  EXPECT_EQ(e.IBAN, std::optional<QString>(ErwarteteIban(QStringLiteral("33333333"), QStringLiteral("532013000"))));
  EXPECT_EQ(e.Bank, std::optional<QString>(QStringLiteral("Alte Bank")));
  EXPECT_EQ(e.Hinweis, IbanHinweis::Keiner);
}

TEST_F(IbanErmittelnTest, HinweisDerRegelErsetztHinweis103) {
  EXPECT_EQ(Ermitteln("44444444").Hinweis, IbanHinweis::BlzOhneIbanErmittlung);
  const IbanErgebnis e = Ermitteln("55555555", "36");
  EXPECT_EQ(e.Hinweis, IbanHinweis::OhneNeuberechnungPruefziffer);
  EXPECT_EQ(e.IBAN, std::optional<QString>(ErwarteteIban(QStringLiteral("30040000"), QStringLiteral("0261103600"))));
}

// Rule 0052 behind a successor: its hint 1 replaces hint 103; a mapped account keeps hint 103.
TEST_F(IbanErmittelnTest, Hinweis1DerRegelErsetztHinweis103) {
  const IbanErgebnis ohne = Ermitteln("77777777", "5308810001");
  EXPECT_EQ(ohne.HinweisText, QStringLiteral("1-Konto ohne IBAN-Berechnung, IBAN-Regel: 005200"));
  EXPECT_FALSE(ohne.IBAN || ohne.BIC);
  EXPECT_EQ(ohne.Bank, std::optional<QString>(QStringLiteral("Volksbank")));

  const IbanErgebnis mit = Ermitteln("77777777", "5308810004");
  EXPECT_EQ(mit.Hinweis, IbanHinweis::NachfolgeBlz);
  EXPECT_EQ(mit.IBAN, std::optional<QString>(ErwarteteIban(QStringLiteral("60050101"), QStringLiteral("0002662604"))));
  EXPECT_EQ(mit.BIC, std::optional<QString>(QStringLiteral("SOLADEST600")));
}

TEST_F(IbanErmittelnTest, NurEinSchrittNachfolger) {
  // 66666666 -> 11111111 (itself deleted) is used as it stands, with its own row.
  const IbanErgebnis e = Ermitteln("66666666");
  EXPECT_EQ(e.Hinweis, IbanHinweis::NachfolgeBlz);
  EXPECT_EQ(e.IBAN, std::optional<QString>(ErwarteteIban(QStringLiteral("11111111"), QStringLiteral("532013000"))));
  EXPECT_EQ(e.BIC, std::optional<QString>(QStringLiteral("ALTEDEFFXXX")));
}

TEST_F(IbanErmittelnTest, LeereRegelIdGibtHinweis10) {
  const IbanErgebnis e = Ermitteln("20000000");
  EXPECT_EQ(e.HinweisText, QStringLiteral("10-IBAN-Regel wird nicht unterstützt: "));
  EXPECT_FALSE(e.IBAN || e.BIC);
  EXPECT_EQ(e.Bank, std::optional<QString>(QStringLiteral("Ohne Regel")));
}

TEST(IbanHinweisTest, TexteWortgetreu) {
  const QString id = QStringLiteral("004200");
  const std::pair<IbanHinweis, QString> texte[] = {
      {IbanHinweis::Keiner, QString()},
      {IbanHinweis::OhneBerechnung, QStringLiteral("1-Konto ohne IBAN-Berechnung, IBAN-Regel: 004200")},
      {IbanHinweis::BlzGesperrt,
       QStringLiteral("2-BLZ ist für eine IBAN-Berechnung gesperrt. Bitte eine neue Konto-Nr erfragen.")},
      {IbanHinweis::BlzNichtImBestand, QStringLiteral("3-BLZ ist nicht im Bundesbank-Bestand")},
      {IbanHinweis::BlzOhneIbanErmittlung, QStringLiteral("4-BLZ ohne IBAN-Ermittlung")},
      {IbanHinweis::BlzNichtAchtstellig, QStringLiteral("5-BLZ ist nicht 8-stellig")},
      {IbanHinweis::BerechnungNichtMoeglich, QStringLiteral("6-IBAN-Berechnung nicht möglich, IBAN-Regel: 004200")},
      {IbanHinweis::GesperrteKontenkreise,
       QStringLiteral("7-IBAN-Berechnung nicht möglich, gesperrte Kontenkreise, IBAN-Regel: 004200")},
      {IbanHinweis::NurAchtstelligeKonten,
       QStringLiteral("8-IBAN-Berechnung nur möglich für 8-stellige Kontonummern, IBAN-Regel: 004200")},
      {IbanHinweis::KontoNrUngueltig, QStringLiteral("9-Kontonummer fehlt oder ist ungültig")},
      {IbanHinweis::RegelNichtUnterstuetzt, QStringLiteral("10-IBAN-Regel wird nicht unterstützt: 004200")},
      {IbanHinweis::OhneNeuberechnungPruefziffer,
       QStringLiteral("101-Umwandlung ohne Neuberechnung der Kontenprüfziffer. Evtl. prüfen beim Kontoinhaber")},
      {IbanHinweis::UnicreditBlzUmsetzung,
       QStringLiteral("102-Unicredit-Konten mit BLZ-Umsetzung nach Kontokreisen. Evtl. prüfen beim Kontoinhaber")},
      {IbanHinweis::NachfolgeBlz,
       QStringLiteral("103-Die gespeicherte BLZ wurde gelöscht und durch eine Nachfolge-BLZ ersetzt")},
  };
  for (const auto& [hinweis, text] : texte) EXPECT_EQ(IbanHinweisText(hinweis, id), text);
}

TEST_F(IbanErmittelnTest, ZeileDesWerkzeugs) {
  EXPECT_EQ(IbanZeileKonvertieren(u"37040044;532013000", m_tabelle),
            QStringLiteral("37040044;532013000;DE89370400440532013000;COBADEFFXXX;"));
  EXPECT_EQ(IbanZeileKonvertieren(u"37040044;532013000\r", m_tabelle),
            QStringLiteral("37040044;532013000;DE89370400440532013000;COBADEFFXXX;"));
  EXPECT_EQ(IbanZeileKonvertieren(u"10010010;123", m_tabelle),
            QStringLiteral("10010010;123;;;4-BLZ ohne IBAN-Ermittlung"));
  EXPECT_EQ(IbanZeileKonvertieren(u"37040045;1", m_tabelle),
            QStringLiteral("37040045;1;;;3-BLZ ist nicht im Bundesbank-Bestand"));
  EXPECT_EQ(IbanZeileKonvertieren(u"37040044", m_tabelle),
            QStringLiteral("37040044;;;;9-Kontonummer fehlt oder ist ungültig"));
  EXPECT_EQ(IbanZeileKonvertieren(u"", m_tabelle), QStringLiteral(";;;;5-BLZ ist nicht 8-stellig"));
}

}  // namespace
