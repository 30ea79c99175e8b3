// The typed row reader, key lists bound as one parameter, the data version and text functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "platform/db/Datenbank.h"
#include "platform/db/Wertumwandlung.h"
#include "platform/db/Zeilenleser.h"
#include "testsupport/TestOrdner.h"

namespace {

std::unique_ptr<Datenbank> MitWerten() {
  auto db = Datenbank::InSpeicher();
  EXPECT_FALSE(db->SkriptAusfuehren(QStringLiteral("CREATE TABLE t (nr INTEGER PRIMARY KEY, w);")));
  return db;
}

// Every storage class a column may hold, read typed and through the row's QVariant: the same result.
TEST(Zeilenleser, TypenWieDieZeile) {
  auto db = MitWerten();
  const QList<QVariant> werte = {
      QVariant(),
      QVariant(qint64(0)),
      QVariant(qint64(-1234567)),
      QVariant(qint64(125000)),
      QVariant(12.5),
      QVariant(-0.0001),
      QVariant(QStringLiteral("2024-02-29")),
      QVariant(QStringLiteral("2024-02-30")),
      QVariant(QStringLiteral("2023-05-01 10:00:00")),
      QVariant(QStringLiteral(" 2023-05-01")),
      QVariant(QStringLiteral("0000-01-01")),
      QVariant(QStringLiteral("2023-5-1")),
      QVariant(QStringLiteral("17")),
      QVariant(QStringLiteral("12.5")),
      QVariant(QStringLiteral("Müller & Söhne")),
      QVariant(QStringLiteral("")),
      QVariant(QByteArray("Bl\xc3\xb6" "b")),
      QVariant(QByteArray("\xff\xfe")),
  };
  for (const QVariant& w : werte) ASSERT_FALSE(db->Ausfuehren("INSERT INTO t (w) VALUES (?)", {w}));

  QVariantList erwartet;
  ASSERT_FALSE(db->Abfragen("SELECT w FROM t ORDER BY nr", {}, [&](const Zeile& z) {
    erwartet << z.Wert(0);
    return true;
  }));
  Zeilenleser l(*db, "SELECT w FROM t ORDER BY nr");
  int i = 0;
  while (l.Naechste()) {
    const QVariant& v = erwartet.at(i);
    SCOPED_TRACE(v.toString().toStdString());
    EXPECT_EQ(l.IstNull(0), v.isNull());
    EXPECT_EQ(l.Wert(0), v);
    EXPECT_EQ(l.Text(0), TextAusWert(v));
    if (v.typeId() == QMetaType::QByteArray) {
      EXPECT_EQ(l.Utf8(0).toByteArray(), v.toByteArray());
    }
    EXPECT_EQ(QString::fromUtf8(l.Utf8(0)), TextAusWert(v));
    EXPECT_EQ(l.Ganzzahl(0), v.toLongLong());
    EXPECT_EQ(l.Betrag(0), WaehrungAusWert(v));
    EXPECT_EQ(l.Datum(0), DatumAusWert(v));
    ++i;
  }
  EXPECT_FALSE(l.Fehler());
  EXPECT_EQ(i, werte.size());
  // After the last row it stays at the end instead of starting again.
  EXPECT_FALSE(l.Naechste());
}

// Two readers side by side on one connection, as a merge of two sorted queries reads them.
TEST(Zeilenleser, ZweiNebeneinander) {
  auto db = MitWerten();
  for (int i = 1; i <= 5; ++i) ASSERT_FALSE(db->Ausfuehren("INSERT INTO t (w) VALUES (?)", {i * 10}));
  Zeilenleser a(*db, "SELECT w FROM t WHERE nr <= ? ORDER BY nr", {3});
  Zeilenleser b(*db, "SELECT w FROM t WHERE nr <= ? ORDER BY nr", {3});
  QList<qint64> gelesen;
  while (a.Naechste() && b.Naechste()) gelesen << a.Ganzzahl(0) + b.Ganzzahl(0);
  EXPECT_EQ(gelesen, (QList<qint64>{20, 40, 60}));
}

TEST(Zeilenleser, FehlerGemeldet) {
  auto db = MitWerten();
  Zeilenleser falsch(*db, "SELECT nichtda FROM t");
  EXPECT_FALSE(falsch.Naechste());
  EXPECT_TRUE(falsch.Fehler());
  Zeilenleser zwei(*db, "SELECT 1; SELECT 2");
  EXPECT_FALSE(zwei.Naechste());
  EXPECT_TRUE(zwei.Fehler());
  Zeilenleser parameter(*db, "SELECT ?", {});
  EXPECT_FALSE(parameter.Naechste());
  EXPECT_TRUE(parameter.Fehler());
}

// A list of keys as one JSON parameter: exactly those rows, also none, duplicates once, and the plan
// searches the key instead of reading the table.
TEST(InNummern, GenauDieseZeilen) {
  auto db = MitWerten();
  for (int i = 1; i <= 2000; ++i) ASSERT_FALSE(db->Ausfuehren("INSERT INTO t (w) VALUES (?)", {i}));
  auto zaehlen = [&](const QList<qint64>& nummern) {
    const Bedingung b = Bedingung::InNummern(SqlText("nr"), nummern);
    DbFehler f;
    const auto n = db->Wert(SqlText("SELECT count(*) FROM t") + b.AlsWhere(), b.parameter, f);
    EXPECT_FALSE(f) << f.Beschreibung.toStdString();
    return n.value_or(QVariant()).toLongLong();
  };
  EXPECT_EQ(zaehlen({}), 0);
  EXPECT_EQ(zaehlen({1}), 1);
  EXPECT_EQ(zaehlen({1, 1, 2000, 2001, -5}), 2);
  QList<qint64> viele;
  for (qint64 i = 2; i <= 2000; i += 2) viele << i;
  EXPECT_EQ(zaehlen(viele), 1000);
  EXPECT_EQ(NummernAlsJson({3, -4, 9007199254740993}), QStringLiteral("[3,-4,9007199254740993]"));

  const Bedingung b = Bedingung::InNummern(SqlText("nr"), viele);
  QStringList plan;
  ASSERT_FALSE(db->Abfragen(SqlText("EXPLAIN QUERY PLAN UPDATE t SET w = 0") + b.AlsWhere(), b.parameter,
                            [&](const Zeile& z) {
                              plan << z.Wert(3).toString();
                              return true;
                            }));
  EXPECT_TRUE(plan.value(0).startsWith(QStringLiteral("SEARCH t USING INTEGER PRIMARY KEY"))) << plan.join(QLatin1Char('|')).toStdString();
}

// The data version moves with another connection's commit and with this connection's own changes, not
// with reading.
TEST(Datenversion, FremdeUndEigeneAenderungen) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("v.db"));
  DbFehler f;
  auto eine = Datenbank::Oeffnen(datei, f, true);
  ASSERT_TRUE(eine);
  auto andere = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(andere);
  ASSERT_FALSE(eine->Ausfuehren("CREATE TABLE t (nr INTEGER PRIMARY KEY, w)"));
  const auto anfang = eine->DatenversionLesen(f);
  ASSERT_TRUE(anfang) << f.Beschreibung.toStdString();
  ASSERT_FALSE(eine->Abfragen("SELECT * FROM t", {}, [](const Zeile&) { return true; }));
  EXPECT_EQ(eine->DatenversionLesen(f), anfang);

  ASSERT_FALSE(andere->Ausfuehren("INSERT INTO t (w) VALUES (1)"));
  const auto nachFremd = eine->DatenversionLesen(f);
  EXPECT_NE(nachFremd->fremde, anfang->fremde);
  EXPECT_EQ(nachFremd->eigene, anfang->eigene);

  ASSERT_FALSE(eine->Ausfuehren("UPDATE t SET w = 2"));
  const auto nachEigen = eine->DatenversionLesen(f);
  EXPECT_EQ(nachEigen->fremde, nachFremd->fremde);
  EXPECT_NE(nachEigen->eigene, nachFremd->eigene);
}

// tamo_summe reads each stored value as the program reads an amount (WaehrungAusWert): every storage
// class a column may hold, alone and subtracted.
TEST(Betragssumme, JederWertWieDasProgrammIhnLiest) {
  auto db = MitWerten();
  const QList<QVariant> werte = {QVariant(), QVariant(qint64(125000)), QVariant(qint64(-3)), QVariant(12.5),
                                 QVariant(-0.0001), QVariant(QStringLiteral("17")), QVariant(QStringLiteral("12.5")),
                                 QVariant(QStringLiteral("12,50")), QVariant(QStringLiteral("")),
                                 QVariant(QByteArray("\xff\xfe"))};
  for (const QVariant& w : werte) {
    SCOPED_TRACE(w.toString().toStdString());
    ASSERT_FALSE(db->Ausfuehren("DELETE FROM t"));
    ASSERT_FALSE(db->Ausfuehren("INSERT INTO t (w) VALUES (?)", {w}));
    const std::optional<Waehrung> erwartet = WaehrungAusWert(w);
    DbFehler f;
    EXPECT_EQ(db->Wert("SELECT tamo_summe(w) FROM t", {}, f).value_or(QVariant()).toLongLong(),
              erwartet.value_or(Waehrung()).Roh());
    EXPECT_EQ(db->Wert("SELECT tamo_summe(w, 1) FROM t", {}, f).value_or(QVariant()).toLongLong(),
              -erwartet.value_or(Waehrung()).Roh());
    EXPECT_FALSE(f) << f.Beschreibung.toStdString();
  }
  // A REAL is euros, not ten-thousandths (SQLite's own sum adds 12.5).
  DbFehler f;
  ASSERT_FALSE(db->Ausfuehren("DELETE FROM t"));
  ASSERT_FALSE(db->Ausfuehren("INSERT INTO t (w) VALUES (12.5), (100000)"));
  EXPECT_EQ(db->Wert("SELECT tamo_summe(w) FROM t", {}, f).value_or(QVariant()), QVariant(qint64(225000)));
}

// The sum at the ends of the int64, from both sides: exact up to them, Null beyond (and Null once it left,
// whatever follows), never the query's failure; 0 without rows.
struct SummenFall {
  const char* name;
  QList<qint64> werte;
  bool abziehen;
  std::optional<qint64> summe;   // nullopt: Null
};

class Betragssumme : public ::testing::TestWithParam<SummenFall> {};

TEST_P(Betragssumme, AnDenGrenzenDesInt64) {
  const SummenFall& fall = GetParam();
  auto db = MitWerten();
  for (qint64 w : fall.werte) ASSERT_FALSE(db->Ausfuehren("INSERT INTO t (w) VALUES (?)", {w}));
  DbFehler f;
  const std::optional<QVariant> summe =
      db->Wert(fall.abziehen ? SqlText("SELECT tamo_summe(w, 1) FROM (SELECT w FROM t ORDER BY nr)")
                             : SqlText("SELECT tamo_summe(w) FROM (SELECT w FROM t ORDER BY nr)"),
               {}, f);
  ASSERT_FALSE(f) << f.Beschreibung.toStdString();
  ASSERT_TRUE(summe);
  if (fall.summe) EXPECT_EQ(*summe, QVariant(*fall.summe));
  else EXPECT_TRUE(summe->isNull()) << summe->toString().toStdString();
}

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

INSTANTIATE_TEST_SUITE_P(
    Grenzen, Betragssumme,
    ::testing::Values(SummenFall{"OhneZeilen", {}, false, 0},
                      SummenFall{"BisMax", {kMax - 1, 1}, false, kMax},
                      SummenFall{"UeberMax", {kMax, 1}, false, std::nullopt},
                      SummenFall{"BisMin", {kMin + 1, -1}, false, kMin},
                      SummenFall{"UnterMin", {kMin, -1}, false, std::nullopt},
                      SummenFall{"UeberMaxUndZurueck", {kMax, 1, -1}, false, std::nullopt},
                      SummenFall{"AbgezogenBisMin", {kMax, 1}, true, kMin},
                      SummenFall{"AbgezogenUnterMin", {kMax, 2}, true, std::nullopt},
                      SummenFall{"MinAbgezogen", {kMin}, true, std::nullopt},
                      SummenFall{"ZweiGrosseZeilen", {9'000'000'000'000'000'000, 9'000'000'000'000'000'000}, false,
                                 std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Textfunktion, NurFuerTexteUndMitNull) {
  auto db = Datenbank::InSpeicher();
  ASSERT_FALSE(db->TextfunktionRegistrieren(QStringLiteral("Spiegel"), [](const QString& t) -> std::optional<QString> {
    if (t.isEmpty()) return std::nullopt;
    QString r = t;
    std::reverse(r.begin(), r.end());
    return r;
  }));
  DbFehler f;
  EXPECT_EQ(db->Wert("SELECT Spiegel('äbc')", {}, f).value_or(QVariant()).toString(), QStringLiteral("cbä"));
  EXPECT_TRUE(db->Wert("SELECT Spiegel('')", {}, f).value_or(QVariant(1)).isNull());
  EXPECT_TRUE(db->Wert("SELECT Spiegel(12)", {}, f).value_or(QVariant(1)).isNull());
  EXPECT_FALSE(f);
  EXPECT_TRUE(db->TextfunktionRegistrieren(QString(QLatin1Char('x')).repeated(300), [](const QString&) {
    return std::optional<QString>();
  }));
}

}  // namespace
