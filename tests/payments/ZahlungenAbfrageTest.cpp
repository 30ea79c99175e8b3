#include <gtest/gtest.h>

#include "ZahlungsTestDatenbank.h"
#include "payments/core/ZahlungenAbfrage.h"

namespace {

class ZahlungenAbfrageTest : public ::testing::Test {
 protected:
  QList<qint64> Liste(const ZahlungenFilter& f) {
    const Abfrage a = ZahlungenAbfrageErstellen(f);
    QList<qint64> nr;
    const DbFehler fehler = t.Db().Abfragen(AbfrageSql(a), a.bedingung.parameter, [&](const Zeile& z) {
      nr << z.Wert(QStringLiteral("ZahlungNr")).toLongLong();
      return true;
    });
    EXPECT_TRUE(fehler.Ok()) << fehler.Beschreibung.toStdString();
    return nr;
  }
  ZahlungsTestDatenbank t;
};

ZahlungsTestDatenbank::Zahlung Z(int absender, const char* art, std::optional<int> seq = std::nullopt) {
  ZahlungsTestDatenbank::Zahlung z;
  z.absenderNr = absender;
  z.art = QString::fromUtf8(art);
  z.mandatSequenz = seq;
  return z;
}

}  // namespace

TEST_F(ZahlungenAbfrageTest, JeZahlungsartUndAbsender) {
  const qint64 g1 = t.ZahlungAnlegen(Z(1, "G"));
  const qint64 g2 = t.ZahlungAnlegen(Z(2, "G"));
  const qint64 basis = t.ZahlungAnlegen(Z(1, "L", 2));
  const qint64 firmen = t.ZahlungAnlegen(Z(1, "L", 13));
  const qint64 ohneSequenz = t.ZahlungAnlegen(Z(1, "L", 0));
  auto erledigt = Z(1, "G");
  erledigt.erledigt = true;
  t.ZahlungAnlegen(erledigt);
  const qint64 g3 = t.ZahlungAnlegen(Z(1, "G"));

  ZahlungenFilter f;
  f.absenderNr = 1;
  EXPECT_EQ(Liste(f), (QList<qint64>{g1, g3}));
  f.absenderNr = 2;
  EXPECT_EQ(Liste(f), (QList<qint64>{g2}));
  f.absenderNr = 1;
  // A direct debit without a collection's sequence is listed under both debit options, where the check names it.
  f.zahlart = Zahlart::BasisLastschrift;
  EXPECT_EQ(Liste(f), (QList<qint64>{basis, ohneSequenz}));
  f.zahlart = Zahlart::FirmenLastschrift;
  EXPECT_EQ(Liste(f), (QList<qint64>{firmen, ohneSequenz}));
}

TEST_F(ZahlungenAbfrageTest, GespeicherteArtKleinGeschrieben) {
  // "Art" compares without regard to case, as the old engine did.
  const qint64 g = t.ZahlungAnlegen(Z(1, "g"));
  ZahlungenFilter f;
  f.absenderNr = 1;
  EXPECT_EQ(Liste(f), (QList<qint64>{g}));
}

TEST_F(ZahlungenAbfrageTest, FaelligkeitsgrenzeSchliesstDenTagEinUndNullAus) {
  auto z = Z(1, "G");
  z.faellig = QDate(2024, 3, 14);
  const qint64 vorher = t.ZahlungAnlegen(z);
  z.faellig = QDate(2024, 3, 15);
  const qint64 amTag = t.ZahlungAnlegen(z);
  z.faellig = QDate(2024, 3, 16);
  const qint64 danach = t.ZahlungAnlegen(z);
  z.faellig.reset();
  const qint64 ohne = t.ZahlungAnlegen(z);

  ZahlungenFilter f;
  f.absenderNr = 1;
  EXPECT_EQ(Liste(f), (QList<qint64>{vorher, amTag, danach, ohne}));
  f.faelligBis = QDate(2024, 3, 15);
  EXPECT_EQ(Liste(f), (QList<qint64>{vorher, amTag}));
  // Across a month end.
  f.faelligBis = QDate(2024, 2, 29);
  EXPECT_TRUE(Liste(f).isEmpty());
}

TEST_F(ZahlungenAbfrageTest, FilterleisteUndPruefmodus) {
  auto z = Z(1, "L", 3);
  z.name = QStringLiteral("Meier's Söhne");
  const qint64 meier = t.ZahlungAnlegen(z);
  z.name = QStringLiteral("Müller");
  z.fehler = true;
  const qint64 mueller = t.ZahlungAnlegen(z);

  ZahlungenFilter f;
  f.absenderNr = 1;
  f.zahlart = Zahlart::BasisLastschrift;
  // The filter bar's condition arrives structured; its text never becomes SQL.
  f.suchfilter = Bedingung("Name LIKE ? ESCAPE '\\'", {QVariant(LikeMaskieren(QStringLiteral("meier'")) + QLatin1Char('%'))});
  EXPECT_EQ(Liste(f), (QList<qint64>{meier}));
  f.suchfilter = Bedingung("Name LIKE ? ESCAPE '\\'", {QVariant(QStringLiteral("MÜ%"))});
  EXPECT_EQ(Liste(f), (QList<qint64>{mueller}));
  f.suchfilter = {};
  f.nurFehlerhafte = true;
  EXPECT_EQ(Liste(f), (QList<qint64>{mueller}));
}

TEST_F(ZahlungenAbfrageTest, GesamtsummeUeberDieListe) {
  auto z = Z(1, "G");
  z.gesamt = Euro(100, 50);
  t.ZahlungAnlegen(z);
  z.gesamt.reset();
  t.ZahlungAnlegen(z);
  z.gesamt = Euro(20);
  z.absenderNr = 2;
  t.ZahlungAnlegen(z);
  ZahlungenFilter f;
  f.absenderNr = 1;
  ZahlungenSumme s;
  ASSERT_TRUE(GesamtsummeErmitteln(t.Db(), f, s).Ok());
  EXPECT_EQ(s.summe, Euro(100, 50));
  EXPECT_EQ(s.anzahl, 2);
  f.absenderNr = 3;
  ASSERT_TRUE(GesamtsummeErmitteln(t.Db(), f, s).Ok());
  EXPECT_EQ(s.summe, Waehrung());
  EXPECT_EQ(s.anzahl, 0);
}

TEST_F(ZahlungenAbfrageTest, KopierlisteUndZeilenabfrage) {
  const qint64 a = t.ZahlungAnlegen(Z(1, "G"));
  auto erledigt = Z(1, "G");
  erledigt.erledigt = true;
  const qint64 b = t.ZahlungAnlegen(erledigt);
  t.ZahlungAnlegen(Z(1, "L", 1));
  const Bedingung k = KopierlisteBedingung(1, QStringLiteral("G"), a);
  QList<qint64> nr;
  ASSERT_TRUE(t.Db()
                  .Abfragen(SqlText("SELECT ZahlungNr FROM Zahlungen") + k.AlsWhere(), k.parameter,
                            [&](const Zeile& z) {
                              nr << z.Wert(0).toLongLong();
                              return true;
                            })
                  .Ok());
  EXPECT_EQ(nr, (QList<qint64>{b}));  // open or done, never the payment itself

  t.ZeileAnlegen(a, 2, QStringLiteral("zwei"), Euro(2));
  t.ZeileAnlegen(a, 1, QStringLiteral("eins"), Euro(1));
  for (bool nurErste : {false, true}) {
    const Abfrage z = ZeilenAbfrage(a, nurErste);
    QStringList texte;
    ASSERT_TRUE(t.Db()
                    .Abfragen(AbfrageSql(z), z.bedingung.parameter,
                              [&](const Zeile& zeile) {
                                texte << zeile.Wert(QStringLiteral("Verwendungszweck")).toString();
                                return true;
                              })
                    .Ok());
    EXPECT_EQ(texte, nurErste ? L({"eins"}) : L({"eins", "zwei"}));
  }
}
