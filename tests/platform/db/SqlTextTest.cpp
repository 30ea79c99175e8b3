#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include "platform/db/Datenbank.h"
#include "platform/db/SqlText.h"

namespace {

TEST(SqlText, BezeichnerQuotetJedenTeil) {
  EXPECT_EQ(SqlText::Bezeichner(QStringLiteral("Zahlungen")).Text(), QStringLiteral("\"Zahlungen\""));
  EXPECT_EQ(SqlText::Bezeichner(QStringLiteral("Zahlungen.Fällig")).Text(), QStringLiteral("\"Zahlungen\".\"Fällig\""));
  EXPECT_EQ(SqlText::Bezeichner(QStringLiteral("GläubigerID")).Text(), QStringLiteral("\"GläubigerID\""));
  EXPECT_EQ(SqlText::Bezeichner(QStringLiteral("Textschlüssel_2")).Text(), QStringLiteral("\"Textschlüssel_2\""));
}

class BezeichnerAbgelehnt : public ::testing::TestWithParam<const char*> {};

TEST_P(BezeichnerAbgelehnt, KeineEinschleusung) {
  const QString name = QString::fromUtf8(GetParam());
  EXPECT_FALSE(SqlText::IstGueltigerBezeichner(name));
  const SqlText s = SqlText::Bezeichner(name);
  if (!name.isEmpty()) {
    EXPECT_FALSE(s.Text().contains(name)) << "input passed through";
  }
  // A rejected name never prepares, wherever it is used.
  auto db = Datenbank::InSpeicher();
  ASSERT_TRUE(db);
  ASSERT_TRUE(db->Ausfuehren("CREATE TABLE t (a TEXT)").Ok());
  ASSERT_TRUE(db->Ausfuehren("INSERT INTO t VALUES ('x')").Ok());
  DbFehler f;
  db->Wert(SqlText("SELECT ") + s + SqlText(" FROM t"), {}, f);
  EXPECT_TRUE(f);
  db->Wert(SqlText("SELECT count(*) FROM ") + s, {}, f);
  EXPECT_TRUE(f);
  EXPECT_TRUE(db->Ausfuehren(SqlText("DELETE FROM ") + s).Nummer != 0);
  EXPECT_EQ(db->Wert("SELECT count(*) FROM t", {}, f)->toInt(), 1);
}

INSTANTIATE_TEST_SUITE_P(Faelle, BezeichnerAbgelehnt,
                         ::testing::Values("", "a b", "t\"; DROP TABLE t; --", "t;DROP TABLE t", "a.b.c", ".a", "a.",
                                           "t--", "a'b", "a\"b", "x) OR (1=1", "*", "a\tb", "é"),
                         [](const auto& info) { return TestnameBuchstabiert(info.param); });

TEST(SqlText, VerbindenUndZahl) {
  EXPECT_EQ(SqlText::Verbinden({SqlText("a"), SqlText::Zahl(-42), SqlText("b")}, SqlText(", ")).Text(),
            QStringLiteral("a, -42, b"));
}

TEST(Bedingung, UndLaesstLeereSeitenWeg) {
  const Bedingung a(SqlText("x = ?"), {1});
  const Bedingung b(SqlText("y = ? OR z = ?"), {2, 3});
  const Bedingung leer;
  EXPECT_EQ(a.Und(leer).sql.Text(), QStringLiteral("x = ?"));
  EXPECT_EQ(leer.Und(b).parameter, (QVariantList{2, 3}));
  const Bedingung ab = a.Und(b);
  EXPECT_EQ(ab.sql.Text(), QStringLiteral("(x = ?) AND (y = ? OR z = ?)"));
  EXPECT_EQ(ab.parameter, (QVariantList{1, 2, 3}));
  EXPECT_TRUE(leer.AlsWhere().IstLeer());
  EXPECT_EQ(Bedingung::AlleUnd({a, leer, b}).AlsWhere().Text(), QStringLiteral(" WHERE ((x = ?) AND (y = ? OR z = ?))"));
}

TEST(LikeMuster, MaskierenUndFilter) {
  EXPECT_EQ(LikeMaskieren(QStringLiteral("10%_a\\b")), QStringLiteral("10\\%\\_a\\\\b"));
  EXPECT_EQ(LikeMusterAusFilter(QStringLiteral("Mü*er?")), QStringLiteral("Mü%er_%"));
  EXPECT_EQ(LikeMusterAusFilter(QStringLiteral("50%"), false), QStringLiteral("50\\%"));
  EXPECT_EQ(LikeMusterAusFilter(QStringLiteral("a*"), true), QStringLiteral("a%"));
}

}  // namespace
