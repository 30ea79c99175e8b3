#include <gtest/gtest.h>

#include <QStringList>

#include "masterdata/core/Adressenpflege.h"

namespace {

TEST(Adressenpflege, ElfMandatSequenzen) {
  const QStringList& t = Adressenpflege::MandatSequenzTexte();
  ASSERT_EQ(t.size(), 11);
  EXPECT_EQ(t.first(), QStringLiteral("0-Ohne"));
  EXPECT_EQ(t.at(5), QStringLiteral("5-Mehrfach-Einzug Automatisch (Basis)"));
  EXPECT_EQ(t.last(), QStringLiteral("15-Mehrfach-Einzug Automatisch (Firmen)"));
}

}  // namespace
