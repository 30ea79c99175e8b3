#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/TestDatenbank.h"
#include "zahlungsverkehr/MandatverlaufLesen.h"

namespace {

class MandatverlaufLesenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ordner.isValid());
    db = SchemaDatenbank(ordner.path());
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->Ausfuehren("INSERT INTO Absender (AbsenderNr, Name) VALUES (2, 'Zwei')").Ok());
  }
  // One order; done with its collection and done day when `buchung` / `erledigt` are given.
  qint64 Auftrag(const char* referenz, int sequenz, std::optional<QDate> buchung, std::optional<QDate> erledigt = {},
                 const char* art = "L", int absender = 1) {
    const bool fertig = buchung || erledigt;
    const DbFehler f = db->Ausfuehren(
        "INSERT INTO Zahlungen (AbsenderNr, Art, MandatReferenz, MandatSequenz, Erledigt, Buchungsdatum, ErledigtDatum) "
        "VALUES (?, ?, ?, ?, ?, ?, ?)",
        {absender, QString::fromUtf8(art), QString::fromUtf8(referenz), sequenz, fertig ? 1 : 0,
         buchung ? QVariant(*buchung) : QVariant(), erledigt ? QVariant(*erledigt) : QVariant()});
    EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
    return db->LetzteEinfuegeNr();
  }
  Mandatverlaeufe Offene() {
    Mandatverlaeufe v;
    const DbFehler f = MandatverlaufLesen::ZuAuftraegen(
        *db, 1, Bedingung("Zahlungen.AbsenderNr = ? AND Zahlungen.Erledigt = 0", {1}), v);
    EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
    return v;
  }

  QTemporaryDir ordner;
  std::unique_ptr<Datenbank> db;
};

// The last done collection counts: by collection date, then by number; without a collection date the day
// it was done.
TEST_F(MandatverlaufLesenTest, DieLetzteErledigteZaehlt) {
  Auftrag("M-1", 4, QDate(2026, 3, 2));
  const qint64 spaeter = Auftrag("m-1", 3, QDate(2026, 4, 2));   // a new first collection after the final one
  Auftrag("M-1", 2, QDate(2026, 1, 2));
  Auftrag("M-1", 3, {});                                       // the open one whose mandate is asked for
  Auftrag("M-2", 3, QDate(2026, 5, 5));
  const qint64 gleicherTag = Auftrag("M-2", 4, QDate(2026, 5, 5));
  const qint64 ohneBuchung = Auftrag("M-3", 1, {}, QDate(2026, 6, 1));
  Auftrag("M-3", 3, {});
  Auftrag("M-2", 3, {});
  const Mandatverlaeufe v = Offene();
  EXPECT_EQ(v.value(QStringLiteral("M-1")), (Mandatverlauf{spaeter, QDate(2026, 4, 2), 3}));
  EXPECT_EQ(v.value(QStringLiteral("M-2")), (Mandatverlauf{gleicherTag, QDate(2026, 5, 5), 4}));
  EXPECT_EQ(v.value(QStringLiteral("M-3")), (Mandatverlauf{ohneBuchung, QDate(2026, 6, 1), 1}));
  EXPECT_EQ(v.size(), 3);
}

// Only the sender's done direct debits of the mandates asked for: not another sender's, not a credit transfer,
// not an open order, not another mandate.
TEST_F(MandatverlaufLesenTest, NurErledigteLastschriftenDesAbsenders) {
  Auftrag("M-1", 3, {});
  Auftrag("M-1", 1, QDate(2026, 1, 2), {}, "L", 2);
  Auftrag("M-1", 1, QDate(2026, 1, 2), {}, "G");
  Auftrag("M-9", 1, QDate(2026, 1, 2));
  EXPECT_TRUE(Offene().isEmpty());
  const qint64 eigene = Auftrag("M-1", 4, QDate(2026, 2, 2));
  EXPECT_EQ(Offene().value(QStringLiteral("M-1")).ZahlungNr, eigene);
}

// The save asks for one mandate, its reference as typed (blanks, case).
TEST_F(MandatverlaufLesenTest, EinzelneReferenzOhneRuecksichtAufSchreibweise) {
  const qint64 nr = Auftrag("Abo-7", 11, QDate(2026, 1, 2));
  Mandatverlaeufe v;
  ASSERT_TRUE(MandatverlaufLesen::ZuReferenz(*db, 1, QStringLiteral("  aBO-7 "), v).Ok());
  EXPECT_EQ(v.value(QStringLiteral("ABO-7")).ZahlungNr, nr);
  ASSERT_TRUE(MandatverlaufLesen::ZuReferenz(*db, 2, QStringLiteral("Abo-7"), v).Ok());
  EXPECT_TRUE(v.isEmpty());
  ASSERT_TRUE(MandatverlaufLesen::ZuReferenz(*db, 1, QStringLiteral("  "), v).Ok());
  EXPECT_TRUE(v.isEmpty());
}

}  // namespace
