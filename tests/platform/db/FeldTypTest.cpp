#include <gtest/gtest.h>

#include "platform/db/FeldTyp.h"
#include "testsupport/Testname.h"

namespace {

struct TypFall {
  const char* deklaration;
  FeldTyp typ;
  int groesse;
};

class FeldTypAusDeklaration : public ::testing::TestWithParam<TypFall> {};

TEST_P(FeldTypAusDeklaration, Tabelle) {
  const auto& f = GetParam();
  const DeklarierterTyp t = TypAusDeklaration(QString::fromUtf8(f.deklaration));
  EXPECT_EQ(t.typ, f.typ) << f.deklaration;
  EXPECT_EQ(t.groesse, f.groesse) << f.deklaration;
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, FeldTypAusDeklaration,
    ::testing::Values(TypFall{"TEXT(70)", FeldTyp::Text, 70}, TypFall{"text (1)", FeldTyp::Text, 1},
                      TypFall{"TEXT", FeldTyp::Text, 255}, TypFall{"VARCHAR(34)", FeldTyp::Text, 34},
                      TypFall{"MEMO", FeldTyp::Memo, 0}, TypFall{"CURRENCY", FeldTyp::Waehrung, 0},
                      TypFall{"DATE", FeldTyp::Datum, 0}, TypFall{"DATETIME", FeldTyp::Datum, 0},
                      TypFall{"BOOLEAN", FeldTyp::Boolean, 0}, TypFall{"SHORT", FeldTyp::Integer, 0},
                      TypFall{"SMALLINT", FeldTyp::Integer, 0}, TypFall{"INTEGER16", FeldTyp::Integer, 0},
                      TypFall{"INTEGER", FeldTyp::Long, 0}, TypFall{"LONG", FeldTyp::Long, 0},
                      TypFall{"DOUBLE", FeldTyp::Double, 0}, TypFall{"REAL", FeldTyp::Double, 0},
                      TypFall{"BLOB", FeldTyp::Binaer, 0}, TypFall{"BINARY", FeldTyp::Binaer, 0},
                      TypFall{"", FeldTyp::Unbekannt, 0}, TypFall{"GEOMETRY", FeldTyp::Unbekannt, 0}),
    [](const auto& info) { return Testname(info.param.deklaration); });

}  // namespace
