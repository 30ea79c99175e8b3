#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <set>

#include "iban/BankleitzahlTabelle.h"
#include "iban/IbanErmitteln.h"
#include "iban/IbanRegeln.h"
#include "IbanTestHilfen.h"
#include "testsupport/TestOrdner.h"

namespace {

QByteArray Datei(std::initializer_list<BlzZeile> zeilen, const QByteArray& umbruch = "\n", bool letzterUmbruch = true) {
  QByteArray inhalt;
  for (const BlzZeile& z : zeilen) inhalt += z.Text() + umbruch;
  if (!letzterUmbruch) inhalt.chop(umbruch.size());
  return inhalt;
}

void Schreiben(const QString& pfad, const QByteArray& inhalt) {
  QFile f(pfad);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(inhalt);
}

TEST(BankleitzahlTabelleTest, FelderAnIhrenStellen) {
  BlzZeile z;
  z.BLZ = "37040044";
  z.Kurzname = "Commerzbank K\xf6ln";  // Latin-1 ö
  z.BIC = "COBADEFFXXX";
  z.Methode = "13";
  z.Regel = "000503";
  BankleitzahlTabelle t;
  EXPECT_EQ(t.Einlesen(Datei({z})), 1);
  ASSERT_EQ(t.Anzahl(), 1);
  const BankleitzahlEintrag& e = t.Eintraege().front();
  EXPECT_EQ(e.BLZ, QStringLiteral("37040044"));
  EXPECT_EQ(e.Kurzname, QStringLiteral("Commerzbank Köln"));
  EXPECT_EQ(e.BIC, QStringLiteral("COBADEFFXXX"));
  EXPECT_EQ(e.Pruefziffernmethode, QStringLiteral("13"));
  EXPECT_EQ(e.IbanRegel, QStringLiteral("000503"));
  EXPECT_TRUE(e.NachfolgeBLZ.isEmpty());
  EXPECT_TRUE(e.Aenderungskennzeichen.isEmpty());
}

TEST(BankleitzahlTabelleTest, FilialenWerdenUebergangen) {
  BlzZeile bank;
  BlzZeile filiale;
  filiale.Merkmal = '2';
  filiale.Kurzname = "Filiale";
  BankleitzahlTabelle t;
  t.Einlesen(Datei({filiale, bank, filiale}));
  ASSERT_EQ(t.Anzahl(), 1);
  EXPECT_EQ(t.Eintraege().front().Kurzname, QStringLiteral("Testbank"));
}

TEST(BankleitzahlTabelleTest, NachfolgerNurWennAngegeben) {
  BlzZeile geloescht;
  geloescht.BLZ = "10000001";
  geloescht.Aenderung = 'D';
  geloescht.Nachfolger = "10000002";
  BlzZeile ohneNachfolger;
  ohneNachfolger.BLZ = "10000003";
  ohneNachfolger.Aenderung = 'D';
  BlzZeile geaendert;
  geaendert.BLZ = "10000004";
  geaendert.Aenderung = 'U';
  geaendert.Nachfolger = "10000002";
  BankleitzahlTabelle t;
  t.Einlesen(Datei({geloescht, ohneNachfolger, geaendert}));
  ASSERT_EQ(t.Anzahl(), 3);
  EXPECT_EQ(t.Finden(u"10000001")->NachfolgeBLZ, QStringLiteral("10000002"));
  EXPECT_EQ(t.Finden(u"10000001")->Aenderungskennzeichen, QStringLiteral("D"));
  EXPECT_TRUE(t.Finden(u"10000003")->NachfolgeBLZ.isEmpty());
  EXPECT_TRUE(t.Finden(u"10000003")->Aenderungskennzeichen.isEmpty());
  EXPECT_EQ(t.Finden(u"10000004")->Aenderungskennzeichen, QStringLiteral("U"));
}

TEST(BankleitzahlTabelleTest, LeererBicIstLeererText) {
  BlzZeile z;
  z.BIC = "           ";
  BankleitzahlTabelle t;
  t.Einlesen(Datei({z}));
  ASSERT_EQ(t.Anzahl(), 1);
  EXPECT_EQ(t.Eintraege().front().BIC, QString());
}

TEST(BankleitzahlTabelleTest, KurzeZeileGibtWasSieHat) {
  BlzZeile z;
  z.Kurzname = "Kurzbank";
  BankleitzahlTabelle t;
  t.Einlesen(z.Text().left(112) + "\n" + z.Text().left(9) + "\n" + z.Text().left(5) + "\n");
  ASSERT_EQ(t.Anzahl(), 2);
  for (const BankleitzahlEintrag& e : t.Eintraege()) {
    EXPECT_EQ(e.BLZ, QStringLiteral("10000000"));
    EXPECT_TRUE(e.BIC.isEmpty());
    EXPECT_TRUE(e.IbanRegel.isEmpty());
  }
  // Equal bank codes keep their file order.
  EXPECT_EQ(t.Eintraege()[0].Kurzname, QStringLiteral("Kurzb"));
  EXPECT_EQ(t.Eintraege()[1].Kurzname, QString());
}

TEST(BankleitzahlTabelleTest, ZeilenendenUndLetzteZeileOhneUmbruch) {
  BlzZeile a;
  a.BLZ = "20000000";
  BlzZeile b;
  b.BLZ = "30000000";
  b.Regel = "004501";
  for (const QByteArray& umbruch : {QByteArray("\n"), QByteArray("\r\n")}) {
    for (const bool letzter : {true, false}) {
      BankleitzahlTabelle t;
      EXPECT_EQ(t.Einlesen(Datei({a, b}, umbruch, letzter)), 2);
      ASSERT_EQ(t.Anzahl(), 2);
      EXPECT_EQ(t.Finden(u"30000000")->IbanRegel, QStringLiteral("004501")) << "kein CR in der Regel";
    }
  }
}

TEST(BankleitzahlTabelleTest, UnsortierteDateiWirdSortiertUndGefunden) {
  BankleitzahlTabelle t;
  BlzZeile z1, z2, z3;
  z1.BLZ = "70000000";
  z2.BLZ = "10000000";
  z3.BLZ = "50000000";
  t.Einlesen(Datei({z1, z2, z3}));
  ASSERT_EQ(t.Anzahl(), 3);
  EXPECT_EQ(t.Eintraege()[0].BLZ, QStringLiteral("10000000"));
  EXPECT_EQ(t.Eintraege()[2].BLZ, QStringLiteral("70000000"));
  for (const char16_t* blz : {u"10000000", u"50000000", u"70000000"}) EXPECT_NE(t.Finden(blz), nullptr);
  for (const char16_t* blz : {u"", u"1000000", u"100000000", u"60000000", u"80000000", u"00000000"})
    EXPECT_EQ(t.Finden(blz), nullptr);
}

TEST(BankleitzahlTabelleTest, ZweitesEinlesenVerdoppeltNichts) {
  BankleitzahlTabelle t;
  t.Einlesen(Datei({BlzZeile{}}));
  t.Einlesen(Datei({BlzZeile{}}));
  EXPECT_EQ(t.Anzahl(), 1);
}

class BankleitzahlDateiTest : public ::testing::Test {
 protected:
  TestOrdner m_ordner;
  QString Pfad() const { return m_ordner.Datei(BankleitzahlTabelle::DateiName()); }
};

TEST_F(BankleitzahlDateiTest, GueltigeDatei) {
  Schreiben(Pfad(), Datei({BlzZeile{}}));
  BankleitzahlTabelle t;
  EXPECT_EQ(t.Laden(Pfad()), std::nullopt);
  EXPECT_EQ(t.Anzahl(), 1);
}

// A bank record whose BIC is neither empty nor of the BIC form (a damaged or binary field) is refused and
// named with its line; the file still loads its other records.
TEST_F(BankleitzahlDateiTest, BicDerNichtDieFormHatWirdMitZeileUndGrundAbgewiesen) {
  BlzZeile gut, ohneBic, binaer, kurz, filiale;
  gut.BLZ = "10000000";
  ohneBic.BLZ = "20000000";
  ohneBic.BIC = "           ";
  binaer.BLZ = "30000000";
  binaer.BIC = QByteArray("\x00\x01\xff\x00\x00\x00\x00\x00\x00\x00\x00", 11);
  kurz.BLZ = "40000000";
  kurz.BIC = "COBADE";
  filiale.BLZ = "50000000";
  filiale.Merkmal = '2';
  filiale.BIC = "kaputt";   // a branch record is not read at all
  Schreiben(Pfad(), Datei({gut, ohneBic, binaer, filiale, kurz}));
  BankleitzahlTabelle t;
  EXPECT_EQ(t.Laden(Pfad()), std::nullopt);
  ASSERT_EQ(t.Anzahl(), 2);
  EXPECT_EQ(t.Eintraege()[0].BLZ, QStringLiteral("10000000"));
  EXPECT_EQ(t.Eintraege()[1].BIC, QString());
  EXPECT_EQ(t.Finden(u"30000000"), nullptr);
  ASSERT_EQ(t.Abgewiesen().size(), 2u);
  EXPECT_EQ(t.Abgewiesen()[0].zeile, 3);
  EXPECT_EQ(t.Abgewiesen()[1].zeile, 5);
  EXPECT_EQ(t.AbweisungsMeldung(),
            QStringLiteral("Die Bankleitzahlendatei \"") + Pfad() +
                QStringLiteral("\" enthält 2 Bankdatensätze mit ungültiger BIC; sie wurden nicht übernommen:\r"
                               "Zeile 3, BLZ 30000000, BIC \"\uFFFD\uFFFD\u00FF\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\": "
                               "Die BIC muss mit 4 Buchstaben (Bankcode) beginnen.\r"
                               "Zeile 5, BLZ 40000000, BIC \"COBADE\": Die BIC muss 8 oder 11 Zeichen lang sein."));
  // A file without such records says nothing.
  Schreiben(Pfad(), Datei({gut, ohneBic}));
  EXPECT_EQ(t.Laden(Pfad()), std::nullopt);
  EXPECT_TRUE(t.AbweisungsMeldung().isEmpty());
}

TEST_F(BankleitzahlDateiTest, DateiFehlt) {
  BankleitzahlTabelle t;
  const auto fehler = t.Laden(Pfad());
  ASSERT_TRUE(fehler.has_value());
  EXPECT_TRUE(fehler->contains(Pfad()));
  EXPECT_TRUE(fehler->contains(QStringLiteral("nicht vorhanden")));
  // Where such a file comes from.
  EXPECT_TRUE(fehler->contains(QStringLiteral("Bankleitzahlendatei der Deutschen Bundesbank"))) << fehler->toStdString();
  EXPECT_TRUE(fehler->contains(QStringLiteral("mit IBAN-Regeln")));
}

TEST_F(BankleitzahlDateiTest, OrdnerStattDatei) {
  QDir().mkpath(Pfad());
  BankleitzahlTabelle t;
  const auto fehler = t.Laden(Pfad());
  ASSERT_TRUE(fehler.has_value());
  EXPECT_TRUE(fehler->contains(Pfad()));
}

TEST_F(BankleitzahlDateiTest, LeereDatei) {
  for (const QByteArray& inhalt : {QByteArray(), QByteArray("\r\n\n  \n")}) {
    Schreiben(Pfad(), inhalt);
    BankleitzahlTabelle t;
    const auto fehler = t.Laden(Pfad());
    ASSERT_TRUE(fehler.has_value());
    EXPECT_TRUE(fehler->contains(Pfad()));
    EXPECT_TRUE(fehler->contains(QStringLiteral("ist leer")));
  }
}

TEST_F(BankleitzahlDateiTest, DateiOhneRegelspalteWirdAbgelehnt) {
  BlzZeile a, b;
  b.BLZ = "20000000";
  Schreiben(Pfad(), a.Text().left(168) + "\r\n" + b.Text().left(168) + "\r\n");
  BankleitzahlTabelle t;
  const auto fehler = t.Laden(Pfad());
  ASSERT_TRUE(fehler.has_value());
  EXPECT_TRUE(fehler->contains(Pfad()));
  EXPECT_TRUE(fehler->contains(QStringLiteral("168")));
  EXPECT_TRUE(t.Leer()) << "eine abgelehnte Datei hinterlässt keine Zeilen";
}

TEST_F(BankleitzahlDateiTest, NurFilialen) {
  BlzZeile filiale;
  filiale.Merkmal = '2';
  Schreiben(Pfad(), Datei({filiale}));
  BankleitzahlTabelle t;
  const auto fehler = t.Laden(Pfad());
  ASSERT_TRUE(fehler.has_value());
  EXPECT_TRUE(fehler->contains(QStringLiteral("keine Bankdatensätze")));
}

// The Bundesbank's own files beside the clone.
class BundesbankDateiTest : public ::testing::TestWithParam<const char*> {};

TEST_P(BundesbankDateiTest, JederBankdatensatzWirdGelesenUndJedeRegelBedient) {
  const QString ordner = TestOrdner::SharedOrdner();
  if (ordner.isEmpty()) GTEST_SKIP() << "Ordner shared mit den Bundesbank-Dateien fehlt (TAMO_SHARED_DIR)";
  const QString pfad = QDir(ordner).filePath(QStringLiteral("data/") + QString::fromLatin1(GetParam()));
  if (!QFile::exists(pfad)) GTEST_SKIP() << "Bundesbank-Datei fehlt: " << pfad.toStdString();

  QFile f(pfad);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  qsizetype bankZeilen = 0;
  std::set<QString> regelnDerDatei;
  while (!f.atEnd()) {
    const QByteArray zeile = f.readLine();
    if (zeile.size() > 8 && zeile.at(8) == '1') {
      ++bankZeilen;
      regelnDerDatei.insert(QString::fromLatin1(zeile.mid(168, 6)));
    }
  }

  BankleitzahlTabelle t;
  ASSERT_EQ(t.Laden(pfad), std::nullopt);
  EXPECT_EQ(t.Anzahl(), bankZeilen);
  std::set<QString> regelnDerTabelle;
  const auto& ids = IbanRegelIds();
  for (qsizetype i = 0; i < t.Anzahl(); ++i) {
    const BankleitzahlEintrag& e = t.Eintraege()[i];
    ASSERT_EQ(e.BLZ.size(), 8);
    ASSERT_EQ(e.IbanRegel.size(), 6) << e.BLZ.toStdString();
    EXPECT_TRUE(e.BIC.isEmpty() || e.BIC.size() == 8 || e.BIC.size() == 11) << e.BLZ.toStdString();
    EXPECT_FALSE(e.Kurzname.isEmpty());
    if (i > 0) {
      ASSERT_LE(t.Eintraege()[i - 1].BLZ, e.BLZ);
    }
    const BankleitzahlEintrag* gefunden = t.Finden(e.BLZ);
    ASSERT_NE(gefunden, nullptr) << e.BLZ.toStdString();
    EXPECT_EQ(gefunden->BLZ, e.BLZ);
    regelnDerTabelle.insert(e.IbanRegel);
  }
  EXPECT_EQ(regelnDerTabelle, regelnDerDatei);
  for (const QString& regel : regelnDerTabelle)
    EXPECT_NE(std::find(ids.begin(), ids.end(), regel), ids.end()) << "Regel ohne Arm: " << regel.toStdString();

  // Every bank converts an ordinary account without an unsupported rule, and each IBAN checks out.
  for (const BankleitzahlEintrag& e : t.Eintraege()) {
    const IbanErgebnis r = IbanErmitteln(e.BLZ, QStringLiteral("1234567890"), t);
    EXPECT_NE(r.Hinweis, IbanHinweis::RegelNichtUnterstuetzt) << e.BLZ.toStdString();
    EXPECT_NE(r.Hinweis, IbanHinweis::BlzNichtImBestand) << e.BLZ.toStdString();
    if (r.IBAN) {
      EXPECT_TRUE(IbanPruefzifferOk(*r.IBAN)) << r.IBAN->toStdString();
    }
  }
}

TEST(BundesbankDatei2015Test, BekannteBankenUndNachfolger) {
  const QString ordner = TestOrdner::SharedOrdner();
  const QString pfad = QDir(ordner).filePath(QStringLiteral("data/blz_2015-06-08_extended_174.txt"));
  if (ordner.isEmpty() || !QFile::exists(pfad)) GTEST_SKIP() << "Bundesbank-Datei 2015 fehlt: " << pfad.toStdString();
  BankleitzahlTabelle t;
  ASSERT_EQ(t.Laden(pfad), std::nullopt);
  const BankleitzahlEintrag* koeln = t.Finden(u"37040044");
  ASSERT_NE(koeln, nullptr);
  EXPECT_EQ(koeln->Kurzname, QStringLiteral("Commerzbank Köln"));
  EXPECT_EQ(koeln->BIC, QStringLiteral("COBADEFFXXX"));
  EXPECT_EQ(koeln->IbanRegel, QStringLiteral("000503"));
  const IbanErgebnis e = IbanErmitteln(QStringLiteral("37040044"), QStringLiteral("532013000"), t);
  EXPECT_EQ(e.IBAN, std::optional<QString>(QStringLiteral("DE89370400440532013000")));
  EXPECT_EQ(e.Hinweis, IbanHinweis::OhneNeuberechnungPruefziffer);

  // EKK Hannover was closed in favour of 52060410.
  const IbanErgebnis n = IbanErmitteln(QStringLiteral("25060701"), QStringLiteral("1234567890"), t);
  EXPECT_EQ(n.Hinweis, IbanHinweis::NachfolgeBlz);
  EXPECT_EQ(n.IBAN, std::optional<QString>(ErwarteteIban(QStringLiteral("52060410"), QStringLiteral("1234567890"))));
  EXPECT_EQ(n.Bank, std::optional<QString>(t.Finden(u"52060410")->Kurzname));
}

INSTANTIATE_TEST_SUITE_P(Bundesbank, BundesbankDateiTest,
                         ::testing::Values("blz_2014-09-08_extended_174.txt", "blz_2015-06-08_extended_174.txt"),
                         [](const auto& info) { return "Stand" + Testname(QString::fromUtf8(info.param).mid(4, 10)); });

}  // namespace
