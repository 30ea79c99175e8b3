// The literal tables of the rules and the completeness of the rule dispatch.
#include <gtest/gtest.h>

#include <QSet>
#include <QString>

#include <algorithm>

#include "iban/BankleitzahlTabelle.h"
#include "iban/IbanArbeitswerte.h"
#include "iban/IbanRegelDaten.h"
#include "iban/IbanRegeln.h"
#include "IbanTestHilfen.h"

using namespace IbanRegelDaten;

namespace {

bool NurZiffern(const char* text, int laenge = -1) {
  const QString t = QString::fromLatin1(text);
  if (laenge >= 0 && t.size() != laenge) return false;
  return !t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); });
}

// Every id the run lists, in the order of its arms.
const char* const AlleIds[] = {
    "000000", "000100", "000200", "000300", "000400", "000501", "000502", "000503", "000600", "000700", "000800",
    "000900", "001000", "001001", "001100", "001201", "001301", "001400", "001500", "001501", "001600", "001700",
    "001800", "001900", "002001", "002002", "002101", "002200", "002300", "002400", "002500", "002600", "002700",
    "003000", "002800", "002900", "003101", "003200", "003301", "003400", "003501", "003600", "003700", "003800",
    "003900", "004001", "004100", "004200", "004300", "004301", "004400", "004500", "004501", "004600", "004700",
    "004800", "004900", "005000", "005100", "005200", "005300", "005400", "005401", "005500", "005600", "005700"};

TEST(IbanRegelDispatchTest, JedeIdHatIhrenArm) {
  std::vector<QString> erwartet;
  for (const char* id : AlleIds) erwartet.push_back(QString::fromLatin1(id));
  EXPECT_EQ(IbanRegelIds(), erwartet);
  BankleitzahlTabelle leer;
  for (const char* id : AlleIds) {
    IbanArbeitswerte w;
    w.BLZ = QStringLiteral("12345678");
    w.KontoNr = QStringLiteral("1234567890");
    w.RegelId = QString::fromLatin1(id);
    w.Tabelle = &leer;
    EXPECT_TRUE(IbanRegelAnwenden(w)) << id;
    EXPECT_NE(w.Hinweis, IbanHinweis::RegelNichtUnterstuetzt) << id;
  }
}

TEST(IbanRegelDispatchTest, UnbekannteIdGibtHinweis10) {
  for (const char* id : {"004000", "000500", "003100", "005800", "", "0000", "0000000", "000000 "}) {
    IbanArbeitswerte w;
    w.BLZ = QStringLiteral("12345678");
    w.KontoNr = QStringLiteral("1234567890");
    w.RegelId = QString::fromLatin1(id);
    EXPECT_FALSE(IbanRegelAnwenden(w)) << id;
    EXPECT_EQ(w.Hinweis, IbanHinweis::RegelNichtUnterstuetzt) << id;
    EXPECT_FALSE(w.IBAN.has_value()) << id;
  }
  EXPECT_EQ(IbanHinweisText(IbanHinweis::RegelNichtUnterstuetzt, QStringLiteral("004000")),
            QStringLiteral("10-IBAN-Regel wird nicht unterstützt: 004000"));
}

template <std::size_t N>
void KontoTabellePruefen(const std::array<KontoUmsetzung, N>& t, const char* name) {
  QSet<QString> alte;
  for (const auto& z : t) {
    EXPECT_TRUE(NurZiffern(z.Alt)) << name << " " << z.Alt;
    EXPECT_TRUE(NurZiffern(z.Neu)) << name << " " << z.Neu;
    EXPECT_LE(QString::fromLatin1(z.Neu).size(), 10) << name;
    EXPECT_FALSE(alte.contains(QString::fromLatin1(z.Alt))) << name << " doppelt: " << z.Alt;
    alte.insert(QString::fromLatin1(z.Alt));
  }
}

TEST(IbanRegelDatenTest, KontoTabellen) {
  EXPECT_EQ(Tabelle0004.size(), 10u);
  EXPECT_EQ(Tabelle0006.size(), 4u);
  EXPECT_EQ(Tabelle0007.size(), 33u);
  EXPECT_EQ(Tabelle0011.size(), 2u);
  EXPECT_EQ(Tabelle0015.size(), 12u);
  EXPECT_EQ(Tabelle0016.size(), 1u);
  EXPECT_EQ(Tabelle0017.size(), 10u);
  EXPECT_EQ(Tabelle0018.size(), 5u);
  EXPECT_EQ(Tabelle0024.size(), 4u);
  EXPECT_EQ(Tabelle0049.size(), 4u);
  EXPECT_EQ(Tabelle0051.size(), 4u);
  EXPECT_EQ(Tabelle0054.size(), 55u);
  KontoTabellePruefen(Tabelle0004, "0004");
  KontoTabellePruefen(Tabelle0006, "0006");
  KontoTabellePruefen(Tabelle0007, "0007");
  KontoTabellePruefen(Tabelle0011, "0011");
  KontoTabellePruefen(Tabelle0015, "0015");
  KontoTabellePruefen(Tabelle0016, "0016");
  KontoTabellePruefen(Tabelle0017, "0017");
  KontoTabellePruefen(Tabelle0018, "0018");
  KontoTabellePruefen(Tabelle0024, "0024");
  KontoTabellePruefen(Tabelle0049, "0049");
  KontoTabellePruefen(Tabelle0051, "0051");
  KontoTabellePruefen(Tabelle0054, "0054");
  for (const auto& z : Tabelle0049) EXPECT_TRUE(NurZiffern(z.Alt, 10) && NurZiffern(z.Neu, 10));
  for (const auto& z : Tabelle0051) EXPECT_TRUE(NurZiffern(z.Alt, 10) && NurZiffern(z.Neu, 10));
}

TEST(IbanRegelDatenTest, Tabelle0005) {
  ASSERT_EQ(Tabelle0005.size(), 96u);
  QSet<QString> paare;
  int versionsZeilen = 0;
  for (std::size_t i = 0; i < Tabelle0005.size(); ++i) {
    const auto& z = Tabelle0005[i];
    EXPECT_TRUE(NurZiffern(z.BLZ, 8)) << z.BLZ;
    EXPECT_TRUE(NurZiffern(z.Alt, 10)) << z.Alt;
    EXPECT_TRUE(NurZiffern(z.Neu, 10)) << z.Neu;
    if (z.NeuAb02 != nullptr) {
      ++versionsZeilen;
      EXPECT_TRUE(NurZiffern(z.NeuAb02, 10));
    }
    const QString paar = QString::fromLatin1(z.BLZ) + QString::fromLatin1(z.Alt);
    EXPECT_FALSE(paare.contains(paar)) << "doppelt: " << paar.toStdString();
    paare.insert(paar);
    if (i > 0) {
      EXPECT_LE(QString::fromLatin1(Tabelle0005[i - 1].Alt), QString::fromLatin1(z.Alt)) << i;
    }
  }
  EXPECT_EQ(versionsZeilen, 3);
}

TEST(IbanRegelDatenTest, PraefixTabelle0031) {
  ASSERT_EQ(Praefixe0031.size(), 458u);
  QSet<QString> bankleitzahlen;
  for (std::size_t i = 0; i < Praefixe0031.size(); ++i) {
    EXPECT_GE(Praefixe0031[i].Praefix, 100);
    EXPECT_LE(Praefixe0031[i].Praefix, 798);
    if (i > 0) {
      EXPECT_LT(Praefixe0031[i - 1].Praefix, Praefixe0031[i].Praefix) << "sortiert und eindeutig";
    }
    EXPECT_TRUE(NurZiffern(Praefixe0031[i].BLZ, 8));
    bankleitzahlen.insert(QString::fromLatin1(Praefixe0031[i].BLZ));
  }
  EXPECT_EQ(bankleitzahlen.size(), 91);
  ASSERT_EQ(SonderKonten0033.size(), 8u);
  for (const auto& s : SonderKonten0033) {
    EXPECT_TRUE(NurZiffern(s.NeuBLZ, 8));
    EXPECT_TRUE(NurZiffern(s.Alt) && NurZiffern(s.NeuKonto));
  }
}

TEST(IbanRegelDatenTest, Sperrbereiche0036) {
  ASSERT_EQ(Sperrbereiche0036.size(), 7u);
  for (std::size_t i = 0; i < Sperrbereiche0036.size(); ++i) {
    EXPECT_LE(Sperrbereiche0036[i].Von, Sperrbereiche0036[i].Bis);
    if (i > 0) {
      EXPECT_LT(Sperrbereiche0036[i - 1].Bis, Sperrbereiche0036[i].Von);
    }
  }
}

TEST(IbanRegelDatenTest, Bankleitzahllisten) {
  ASSERT_EQ(Bankleitzahlen0039.size(), 30u);
  ASSERT_EQ(Bankleitzahlen0056.size(), 64u);
  QSet<QString> alle;
  for (const char* b : Bankleitzahlen0039) {
    EXPECT_TRUE(NurZiffern(b, 8)) << b;
    alle.insert(QString::fromLatin1(b));
  }
  EXPECT_EQ(alle.size(), 30);
  alle.clear();
  for (const char* b : Bankleitzahlen0056) {
    EXPECT_TRUE(NurZiffern(b, 8)) << b;
    alle.insert(QString::fromLatin1(b));
  }
  EXPECT_EQ(alle.size(), 64);
}

TEST(IbanRegelDatenTest, Umsetzungen0052Und0053) {
  ASSERT_EQ(Tabelle0052.size(), 10u);
  ASSERT_EQ(Tabelle0053.size(), 46u);
  QSet<QString> gruppen;
  for (const auto& z : Tabelle0053) gruppen.insert(QString::fromLatin1(z.BLZ));
  EXPECT_EQ(gruppen.size(), 6);
  for (const auto& z : Tabelle0052) EXPECT_TRUE(NurZiffern(z.BLZ, 8) && NurZiffern(z.Alt) && NurZiffern(z.Neu, 10));
  for (const auto& z : Tabelle0053) EXPECT_TRUE(NurZiffern(z.BLZ, 8) && NurZiffern(z.Alt) && NurZiffern(z.Neu, 10));
}

// Every fixed IBAN carries valid check digits; those of rule 0056 belong to one of its 64 bank codes and to
// an account shorter than ten characters.
TEST(IbanRegelDatenTest, FesteIbans) {
  ASSERT_EQ(FesteIbans0056.size(), 35u);
  QSet<QString> codes;
  for (const char* b : Bankleitzahlen0056) codes.insert(QString::fromLatin1(b));
  QSet<QString> konten;
  for (const auto& f : FesteIbans0056) {
    const QString iban = QString::fromLatin1(f.IBAN);
    EXPECT_EQ(iban.size(), 22) << f.IBAN;
    EXPECT_TRUE(iban.startsWith(QLatin1String("DE")));
    EXPECT_TRUE(IbanPruefzifferOk(iban)) << f.IBAN;
    EXPECT_TRUE(codes.contains(iban.mid(4, 8))) << f.IBAN;
    EXPECT_LT(QString::fromLatin1(f.Konto).size(), 10);
    EXPECT_FALSE(konten.contains(QString::fromLatin1(f.Konto)));
    konten.insert(QString::fromLatin1(f.Konto));
  }
  for (const char* iban : {"DE42500502010000222000", "DE89500502010000180802", "DE96500604000000011404"})
    EXPECT_TRUE(IbanPruefzifferOk(QString::fromLatin1(iban))) << iban;
}

TEST(IbanRegelDatenTest, ZahlenWertWieVal) {
  EXPECT_EQ(ZahlenWert(u"123"), 123.0);
  EXPECT_EQ(ZahlenWert(u"  1 2 3abc"), 123.0);
  EXPECT_EQ(ZahlenWert(u"0000012345"), 12345.0);
  EXPECT_EQ(ZahlenWert(u""), 0.0);
  EXPECT_EQ(ZahlenWert(u"abc"), 0.0);
  EXPECT_EQ(ZahlenWert(u"-5"), -5.0);
  EXPECT_EQ(ZahlenWert(u"1.5x"), 1.5);
  EXPECT_EQ(ZahlenWert(u"9999999999"), 9999999999.0);
}

TEST(IbanRegelDatenTest, KontoNrGueltig) {
  EXPECT_TRUE(KontoNrGueltig(u"1"));
  EXPECT_TRUE(KontoNrGueltig(u"9999999999"));
  EXPECT_TRUE(KontoNrGueltig(u"0009999999999"));
  EXPECT_TRUE(KontoNrGueltig(u" 12 34 "));
  EXPECT_FALSE(KontoNrGueltig(u""));
  EXPECT_FALSE(KontoNrGueltig(u"   "));
  EXPECT_FALSE(KontoNrGueltig(u"000"));
  EXPECT_FALSE(KontoNrGueltig(u"10000000000"));
  EXPECT_FALSE(KontoNrGueltig(u"12.34"));
  EXPECT_FALSE(KontoNrGueltig(u"１２３"));  // full-width digits are not digits of an account number
}

}  // namespace
