#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "ZahlungsTestDatenbank.h"
#include "payments/core/SkontoLauf.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "platform/db/Recordset.h"
#include "platform/db/Wertumwandlung.h"

namespace {

std::optional<Waehrung> C(int64_t cent) { return Waehrung::AusCent(cent); }

SkontoVorgabe Prozent(int64_t hundertstel) {
  SkontoVorgabe v;
  v.prozent = Waehrung::AusCent(hundertstel);
  return v;
}

ZahlungenFilter Liste() {
  ZahlungenFilter f;
  f.absenderNr = 1;
  return f;
}

// Two listed payments of sender 1 (three lines), one payment done, one of another sender.
class SkontoLaufTest : public ::testing::Test {
 protected:
  void SetUp() override {
    a = t.ZahlungAnlegen(Zahlung(QStringLiteral("Anton"), 130000));
    a1 = t.ZeileAnlegen(a, 1, QStringLiteral("RG 1"), C(100000));
    a2 = t.ZeileAnlegen(a, 2, QStringLiteral("RG 2"), C(30000));
    b = t.ZahlungAnlegen(Zahlung(QStringLiteral("Berta"), 1050));
    b1 = t.ZeileAnlegen(b, 1, QStringLiteral("RG 3"), C(1050));
    ZahlungsTestDatenbank::Zahlung erledigt = Zahlung(QStringLiteral("Erledigt"), 5000);
    erledigt.erledigt = true;
    e = t.ZahlungAnlegen(erledigt);
    e1 = t.ZeileAnlegen(e, 1, QStringLiteral("RG 4"), C(5000));
    ZahlungsTestDatenbank::Zahlung fremd = Zahlung(QStringLiteral("Fremd"), 7000);
    fremd.absenderNr = 2;
    t.ZeileAnlegen(t.ZahlungAnlegen(fremd), 1, QStringLiteral("RG 5"), C(7000));
  }
  static ZahlungsTestDatenbank::Zahlung Zahlung(const QString& name, int64_t cent) {
    ZahlungsTestDatenbank::Zahlung z;
    z.name = name;
    z.gesamt = Waehrung::AusCent(cent);
    return z;
  }
  ZeilenBetraege Zeile(qint64 lfdNr) {
    ZeilenBetraege z;
    t.Db().Abfragen("SELECT OPBetrag, SkontoBetrag, ZahlungsBetrag FROM Verwendungszweck WHERE LfdNr = ?", {lfdNr},
                    [&](const ::Zeile& r) {
                      z = {WaehrungAusWert(r.Wert(0)), WaehrungAusWert(r.Wert(1)), WaehrungAusWert(r.Wert(2))};
                      return false;
                    });
    return z;
  }
  Waehrung Gesamt(qint64 zahlungNr) {
    return Waehrung::AusRoh(t.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {zahlungNr}).toLongLong());
  }
  Waehrung Zeilensumme(qint64 zahlungNr) {
    return Waehrung::AusRoh(
        t.Wert("SELECT COALESCE(SUM(ZahlungsBetrag), 0) FROM Verwendungszweck WHERE ZahlungNr = ?", {zahlungNr}).toLongLong());
  }
  // Another workstation sets a line to an amount without discount.
  void Anderswo(qint64 lfdNr, int64_t cent) {
    const QVariant w = QVariant::fromValue(*C(cent));
    ASSERT_TRUE(t.Db()
                    .Ausfuehren("UPDATE Verwendungszweck SET OPBetrag = ?, SkontoBetrag = NULL, ZahlungsBetrag = ? "
                                "WHERE LfdNr = ?",
                                {w, w, lfdNr})
                    .Ok());
  }
  void GesamtGleichZeilen() {
    for (qint64 nr : {a, b}) EXPECT_EQ(Gesamt(nr), Zeilensumme(nr)) << "Zahlung " << nr;
  }

  ZahlungsTestDatenbank t;
  qint64 a = 0, a1 = 0, a2 = 0, b = 0, b1 = 0, e = 0, e1 = 0;
};

}  // namespace

TEST_F(SkontoLaufTest, AbfrageZeigtDieZeilenDerGelistetenZahlungen) {
  ZahlungenFilter f = Liste();
  DbFehler fehler;
  auto rs = Recordset::Oeffnen(t.Db(), SkontoAbfrage(ZahlungenBedingung(f)), RecordsetTyp::Dynaset, fehler);
  ASSERT_TRUE(rs) << fehler.Beschreibung.toStdString();
  QList<qint64> zeilen;
  for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) zeilen << rs->Ganzzahl(QStringLiteral("LfdNr"));
  EXPECT_EQ(zeilen, (QList<qint64>{a1, a2, b1}));
  EXPECT_EQ(rs->SchluesselAn(2).toLongLong(), b1);
  rs->MoveFirst();
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Anton"));
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), a);

  // The filter bar's condition names the columns of Zahlungen unqualified; the lines' own
  // ZahlungNr and Verwendungszweck never get in its way.
  f.suchfilter = Bedingung("Name LIKE ? AND ZahlungNr > 0", {QStringLiteral("Ber%")});
  rs = Recordset::Oeffnen(t.Db(), SkontoAbfrage(ZahlungenBedingung(f)), RecordsetTyp::Dynaset, fehler);
  ASSERT_TRUE(rs) << fehler.Beschreibung.toStdString();
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("LfdNr")), b1);

  SkontoSummen s;
  ASSERT_TRUE(SkontoSummenErmitteln(t.Db(), ZahlungenBedingung(Liste()), s).Ok());
  EXPECT_EQ(s.opBetrag, *C(131050));
  EXPECT_EQ(s.zahlungsBetrag, *C(131050));
  EXPECT_EQ(s.skontoBetrag, Waehrung());
}

TEST_F(SkontoLaufTest, LaufeUndZuruecksetzenHaltenDieGesamtbetraege) {
  SkontoSitzung sitzung;
  // Marked in this order: the last line first.
  SkontoErgebnis r = sitzung.Abziehen(t.Db(), {b1, a1}, Prozent(200));
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.bearbeitet, 2);
  EXPECT_EQ(r.uebergangen, 0);
  EXPECT_EQ(Zeile(a1), (ZeilenBetraege{C(100000), C(2000), C(98000)}));
  EXPECT_EQ(Zeile(a2), (ZeilenBetraege{C(30000), std::nullopt, C(30000)}));
  EXPECT_EQ(Zeile(b1), (ZeilenBetraege{C(1050), C(21), C(1029)}));
  EXPECT_EQ(Gesamt(a), *C(128000));
  GesamtGleichZeilen();
  EXPECT_TRUE(sitzung.Geaendert());
  EXPECT_EQ(t.Db().TransaktionsTiefe(), 0);

  // A second run rounds the first payment; the reset brings back the amounts before the first run.
  SkontoVorgabe rundung;
  rundung.skonto = false;
  rundung.vorkomma = 3;
  r = sitzung.Abziehen(t.Db(), {a1, a2}, rundung);
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(Zeile(a1), (ZeilenBetraege{C(100000), std::nullopt, C(100000)}));
  EXPECT_EQ(Zeile(a2), (ZeilenBetraege{C(30000), std::nullopt, C(30000)}));
  GesamtGleichZeilen();
  EXPECT_EQ(sitzung.ZeilenAnzahl(), 3);

  r = sitzung.Zuruecksetzen(t.Db());
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.bearbeitet, 3);
  EXPECT_EQ(Zeile(a1), (ZeilenBetraege{C(100000), std::nullopt, C(100000)}));
  EXPECT_EQ(Zeile(b1), (ZeilenBetraege{C(1050), std::nullopt, C(1050)}));
  EXPECT_EQ(Gesamt(a), *C(130000));
  EXPECT_EQ(Gesamt(b), *C(1050));
  GesamtGleichZeilen();
  EXPECT_FALSE(sitzung.Geaendert());
}

TEST_F(SkontoLaufTest, ZahlungGesamtFolgtAuchEinerFalschenSummeVorher) {
  // A total that did not match its lines before is the sum of its lines after a run.
  t.Db().Ausfuehren("UPDATE Zahlungen SET ZahlungGesamt = 1 WHERE ZahlungNr = ?", {a});
  SkontoSitzung sitzung;
  ASSERT_TRUE(sitzung.Abziehen(t.Db(), {a2}, Prozent(0)).Ok());
  EXPECT_EQ(Gesamt(a), *C(130000));
}

TEST_F(SkontoLaufTest, FehlschlagenderLaufAendertNichts) {
  SkontoSitzung sitzung;
  // The total of the second payment fails after both lines were written: all or nothing.
  t.Db().SetzeStoerung([](const QString& sql) {
    return sql.startsWith(QLatin1String("UPDATE Zahlungen SET ZahlungGesamt")) ? DbFehler{13, QStringLiteral("voll")}
                                                                               : DbFehler{};
  });
  const SkontoErgebnis r = sitzung.Abziehen(t.Db(), {a1, b1}, Prozent(300));
  t.Db().SetzeStoerung({});
  ASSERT_FALSE(r.Ok());
  EXPECT_EQ(r.fehler.Nummer, 13);
  EXPECT_EQ(Zeile(a1), (ZeilenBetraege{C(100000), std::nullopt, C(100000)}));
  EXPECT_EQ(Zeile(b1), (ZeilenBetraege{C(1050), std::nullopt, C(1050)}));
  EXPECT_EQ(Gesamt(a), *C(130000));
  EXPECT_FALSE(sitzung.Geaendert());
  EXPECT_EQ(t.Db().TransaktionsTiefe(), 0);
  EXPECT_EQ(SkontoLaufFehlertext(r.fehler),
            QStringLiteral("Fehler beim Speichern der Daten!\r\rNr: 13\rBeschreibung: voll\r\r"
                           "Der Abzug wurde nicht vorgenommen; alle Beträge sind unverändert."));

  // A failing line write likewise.
  t.Db().SetzeStoerung([](const QString& sql) {
    return sql.startsWith(QLatin1String("UPDATE Verwendungszweck")) ? DbFehler{5, QStringLiteral("gesperrt")} : DbFehler{};
  });
  EXPECT_FALSE(sitzung.Abziehen(t.Db(), {a1}, Prozent(300)).Ok());
  t.Db().SetzeStoerung({});
  EXPECT_EQ(Zeile(a1), (ZeilenBetraege{C(100000), std::nullopt, C(100000)}));
}

TEST_F(SkontoLaufTest, FehlschlagendesZuruecksetzenBleibtWiederholbar) {
  SkontoSitzung sitzung;
  ASSERT_TRUE(sitzung.Abziehen(t.Db(), {a1, a2}, Prozent(200)).Ok());
  t.Db().SetzeStoerung([](const QString& sql) {
    return sql.startsWith(QLatin1String("UPDATE Zahlungen")) ? DbFehler{5, QStringLiteral("gesperrt")} : DbFehler{};
  });
  const SkontoErgebnis r = sitzung.Zuruecksetzen(t.Db());
  t.Db().SetzeStoerung({});
  ASSERT_FALSE(r.Ok());
  EXPECT_TRUE(SkontoZuruecksetzenFehlertext(r.fehler).startsWith(QStringLiteral("Fehler beim Zurücksetzen der Änderungen!")));
  EXPECT_EQ(Zeile(a1), (ZeilenBetraege{C(100000), C(2000), C(98000)}));
  GesamtGleichZeilen();
  ASSERT_TRUE(sitzung.Geaendert());
  ASSERT_TRUE(sitzung.Zuruecksetzen(t.Db()).Ok());
  EXPECT_EQ(Zeile(a1), (ZeilenBetraege{C(100000), std::nullopt, C(100000)}));
  EXPECT_EQ(Zeile(a2), (ZeilenBetraege{C(30000), std::nullopt, C(30000)}));
  GesamtGleichZeilen();
}

TEST_F(SkontoLaufTest, ErledigteOderGeloeschteZahlungenBleibenUnberuehrt) {
  SkontoSitzung sitzung;
  // The dialog still shows a line whose payment went into a SEPA file meanwhile, and one deleted.
  t.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 1 WHERE ZahlungNr = ?", {b});
  SkontoErgebnis r = sitzung.Abziehen(t.Db(), {a1, b1, e1, 999}, Prozent(200));
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.bearbeitet, 1);
  EXPECT_EQ(r.uebergangen, 3);
  EXPECT_EQ(Zeile(b1), (ZeilenBetraege{C(1050), std::nullopt, C(1050)}));
  EXPECT_EQ(Zeile(e1), (ZeilenBetraege{C(5000), std::nullopt, C(5000)}));
  EXPECT_EQ(Gesamt(b), *C(1050));
  EXPECT_EQ(SkontoUebergangenText(r, false),
            QStringLiteral("3 Zeile(n) wurde(n) nicht geändert, weil ihre Zahlung inzwischen erledigt oder gelöscht ist."));

  // Done after the run: its lines are not reset either; the others are.
  ASSERT_TRUE(sitzung.Abziehen(t.Db(), {a2}, Prozent(200)).Ok());
  t.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 1 WHERE ZahlungNr = ?", {a});
  r = sitzung.Zuruecksetzen(t.Db());
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.uebergangen, 2);
  EXPECT_EQ(Zeile(a1), (ZeilenBetraege{C(100000), C(2000), C(98000)}));
  EXPECT_FALSE(SkontoUebergangenText(r, true).isEmpty());
  EXPECT_TRUE(SkontoUebergangenText(SkontoErgebnis{}, true).isEmpty());
}

TEST_F(SkontoLaufTest, AnAndererStelleGeaenderteZeilenGehoerenDemAnderen) {
  SkontoSitzung sitzung;
  ASSERT_TRUE(sitzung.Abziehen(t.Db(), {a1, a2}, Prozent(200)).Ok());
  // A second workstation changes line a2 while the dialog is open.
  Anderswo(a2, 40000);
  SkontoErgebnis r = sitzung.Zuruecksetzen(t.Db());
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.bearbeitet, 1);
  EXPECT_EQ(r.uebergangen, 1);
  EXPECT_EQ(Zeile(a1), (ZeilenBetraege{C(100000), std::nullopt, C(100000)}));
  EXPECT_EQ(Zeile(a2), (ZeilenBetraege{C(40000), std::nullopt, C(40000)}));
  GesamtGleichZeilen();

  // Changed elsewhere between two runs: the reset goes back to the other's amounts, not further.
  ASSERT_TRUE(sitzung.Abziehen(t.Db(), {b1}, Prozent(200)).Ok());
  Anderswo(b1, 2000);
  ASSERT_TRUE(sitzung.Abziehen(t.Db(), {b1}, Prozent(500)).Ok());
  EXPECT_EQ(Zeile(b1), (ZeilenBetraege{C(2000), C(100), C(1900)}));
  ASSERT_TRUE(sitzung.Zuruecksetzen(t.Db()).Ok());
  EXPECT_EQ(Zeile(b1), (ZeilenBetraege{C(2000), std::nullopt, C(2000)}));
  GesamtGleichZeilen();
}

TEST(SkontoLaufDatei, KeineSperreZwischenDenLaeufenUndNachDemWiederoeffnenGespeichert) {
  QTemporaryDir ordner;
  const QString datei = ordner.filePath(QStringLiteral("TamoSEPA.db"));
  qint64 zahlung = 0;
  qint64 zeile = 0;
  {
    ZahlungsTestDatenbank t(datei);
    Datenbank* db = &t.Db();
    ZahlungsTestDatenbank::Zahlung z;
    z.name = QStringLiteral("Anton");
    z.gesamt = C(100000);
    zahlung = t.ZahlungAnlegen(z);
    zeile = t.ZeileAnlegen(zahlung, 1, QStringLiteral("RG"), C(100000));

    SkontoSitzung sitzung;
    ASSERT_TRUE(sitzung.Abziehen(*db, {zeile}, Prozent(200)).Ok());
    // While the dialog waits, a second workstation can write (the SEPA run, another user).
    DbFehler f;
    auto zweite = Datenbank::Oeffnen(datei, f);
    ASSERT_TRUE(zweite) << f.Beschreibung.toStdString();
    Transaktion andere(*zweite);
    ASSERT_TRUE(andere.Fehler().Ok()) << andere.Fehler().Beschreibung.toStdString();
    ASSERT_TRUE(zweite->Ausfuehren("UPDATE Zahlungen SET Fehler = 1 WHERE ZahlungNr = ?", {zahlung}).Ok());
    ASSERT_TRUE(andere.Commit().Ok());
    // Closing the dialog keeps the run: nothing more is written.
  }
  DbFehler f;
  auto db = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(db);
  EXPECT_EQ(db->Wert("SELECT ZahlungsBetrag FROM Verwendungszweck WHERE LfdNr = ?", {zeile}, f)->toLongLong(),
            C(98000)->Roh());
  EXPECT_EQ(db->Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {zahlung}, f)->toLongLong(), C(98000)->Roh());

  // A reset after reopening (a new dialog) has nothing to undo: the runs of a closed dialog stay.
  SkontoSitzung neu;
  EXPECT_FALSE(neu.Geaendert());
  ASSERT_TRUE(neu.Zuruecksetzen(*db).Ok());
  EXPECT_EQ(db->Wert("SELECT ZahlungsBetrag FROM Verwendungszweck WHERE LfdNr = ?", {zeile}, f)->toLongLong(),
            C(98000)->Roh());
}

// A run whose result the bank could not pay (a line or a total outside ±999.999.999,99), or whose
// settings lie outside the dialog's ranges, is refused as a whole; just inside, it runs.
namespace {

struct GrenzFall {
  const char* name;
  std::vector<int64_t> zeilenCent;  // the lines of one payment; the run takes the first
  SkontoVorgabe vorgabe;
  bool abgelehnt;
  int64_t ersteZeileDanachCent;     // ZahlungsBetrag of the first line after the run
};

SkontoVorgabe Rundung(int vorkomma, int nachkomma) {
  SkontoVorgabe v;
  v.skonto = false;
  v.vorkomma = vorkomma;
  v.nachkomma = nachkomma;
  return v;
}

void PrintTo(const GrenzFall& fall, std::ostream* os) { *os << fall.name; }

constexpr int64_t Hoechst = 99999999999;  // 999.999.999,99 in cent

class SkontoLaufGrenzen : public ::testing::TestWithParam<GrenzFall> {};

}  // namespace

TEST_P(SkontoLaufGrenzen, AusserhalbDesBetragsrahmensWirdNichtsGeschrieben) {
  const GrenzFall& fall = GetParam();
  ZahlungsTestDatenbank t;
  ZahlungsTestDatenbank::Zahlung z;
  z.name = QStringLiteral("Grenz GmbH");
  int64_t summe = 0;
  for (int64_t c : fall.zeilenCent) summe += c;
  z.gesamt = Waehrung::AusCent(summe);
  const qint64 nr = t.ZahlungAnlegen(z);
  QList<qint64> zeilen;
  for (size_t i = 0; i < fall.zeilenCent.size(); ++i)
    zeilen << t.ZeileAnlegen(nr, int(i) + 1, QStringLiteral("RG %1").arg(i + 1), C(fall.zeilenCent[i]));

  SkontoSitzung sitzung;
  const SkontoErgebnis r = sitzung.Abziehen(t.Db(), {zeilen.first()}, fall.vorgabe);
  EXPECT_TRUE(r.fehler.Ok());
  EXPECT_EQ(r.abgelehnt.isEmpty(), !fall.abgelehnt) << r.abgelehnt.toStdString();
  EXPECT_EQ(r.Ok(), !fall.abgelehnt);
  EXPECT_EQ(sitzung.Geaendert(), !fall.abgelehnt);
  EXPECT_EQ(t.Db().TransaktionsTiefe(), 0);
  EXPECT_EQ(t.Wert("SELECT ZahlungsBetrag FROM Verwendungszweck WHERE LfdNr = ?", {zeilen.first()}).toLongLong(),
            C(fall.ersteZeileDanachCent)->Roh());
  const qint64 gesamt = t.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong();
  const qint64 zeilensumme =
      t.Wert("SELECT SUM(ZahlungsBetrag) FROM Verwendungszweck WHERE ZahlungNr = ?", {nr}).toLongLong();
  EXPECT_EQ(gesamt, zeilensumme);
  if (fall.abgelehnt) {
    EXPECT_TRUE(r.abgelehnt.contains(QStringLiteral("±999.999.999,99")) ||
                r.abgelehnt.contains(QStringLiteral("-99,99 bis 99,99")) ||
                r.abgelehnt.contains(QStringLiteral("Stellenzahl")))
        << r.abgelehnt.toStdString();
    EXPECT_TRUE(r.abgelehnt.endsWith(QStringLiteral("alle Beträge sind unverändert.")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, SkontoLaufGrenzen,
    ::testing::Values(
        // -99,99 % on the largest amount would pay nearly twice the range.
        GrenzFall{"NegativerSatzUeberDenRahmen", {Hoechst}, Prozent(-9999), true, Hoechst},
        GrenzFall{"NegativerSatzKnappImRahmen", {50000000000}, Prozent(-9999), false, 99995000000},
        // Rounding up at the top of the range.
        GrenzFall{"VorkommaRundetUeberDenRahmen", {Hoechst}, Rundung(9, 0), true, Hoechst},
        GrenzFall{"VorkommaBleibtImRahmen", {99999999949}, Rundung(9, 0), false, 99999999949},
        GrenzFall{"NachkommaRundetUeberDenRahmen", {99999999996}, Rundung(0, 1), true, 99999999996},
        GrenzFall{"NachkommaRundetAbImRahmen", {99999999949}, Rundung(0, 1), false, 99999999900},
        // Each line within, but the payment's total not.
        GrenzFall{"SummeUeberDenRahmen", {50000000000, 49900000000}, Prozent(-100), true, 50000000000},
        GrenzFall{"SummeKnappImRahmen", {50000000000, 49900000000}, Prozent(-10), false, 50050000000},
        // Settings the dialog's fields never give.
        GrenzFall{"SatzUeberHundert", {100000}, Prozent(15000), true, 100000},
        GrenzFall{"SatzAnDerGrenze", {100000}, Prozent(9999), false, 10},
        GrenzFall{"SatzUnterDerGrenze", {100000}, Prozent(-10000), true, 100000},
        GrenzFall{"VorkommaZuGross", {100000}, Rundung(19, 0), true, 100000}),
    [](const auto& info) { return std::string(info.param.name); });

// Credit notes keep their amounts while the invoices of the same payment are discounted: a total that
// ends at 0,00 or below is named after the run (no file pays it), one just above is not.
TEST(SkontoLaufGutschrift, GesamtbetragNullOderWenigerWirdGenannt) {
  struct Fall {
    const char* name;
    int64_t gutschriftCent;
    int ohneBetrag;
  };
  for (const Fall& fall : {Fall{"bleibt positiv", -97999, 0}, Fall{"wird null", -98000, 1}, Fall{"wird negativ", -99000, 1}}) {
    SCOPED_TRACE(fall.name);
    ZahlungsTestDatenbank t;
    ZahlungsTestDatenbank::Zahlung z;
    z.name = QStringLiteral("Gut & Schrift");
    z.gesamt = Waehrung::AusCent(100000 + fall.gutschriftCent);
    const qint64 nr = t.ZahlungAnlegen(z);
    const qint64 rechnung = t.ZeileAnlegen(nr, 1, QStringLiteral("RG 1"), C(100000));
    const qint64 gutschrift = t.ZeileAnlegen(nr, 2, QStringLiteral("GS 2"), C(fall.gutschriftCent));
    SkontoSitzung sitzung;
    const SkontoErgebnis r = sitzung.Abziehen(t.Db(), {rechnung, gutschrift}, Prozent(200));
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.bearbeitet, 2);
    EXPECT_EQ(r.ohneBetrag, fall.ohneBetrag);
    EXPECT_EQ(SkontoOhneBetragText(r).isEmpty(), fall.ohneBetrag == 0);
    EXPECT_EQ(t.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(),
              C(98000 + fall.gutschriftCent)->Roh());
    // The reset names nothing.
    EXPECT_EQ(sitzung.Zuruecksetzen(t.Db()).ohneBetrag, 0);
  }
}

// The reset brings back what was there before the dialog, a total outside the range included, and
// every other payment of the reset still gets the sum of its lines.
TEST(SkontoLaufGutschrift, ZuruecksetzenSchreibtAlleGesamtbetraege) {
  ZahlungsTestDatenbank t;
  QList<qint64> zahlungen;
  QList<qint64> zeilen;
  for (int i = 0; i < 4; ++i) {
    ZahlungsTestDatenbank::Zahlung z;
    z.name = QStringLiteral("Zahlung %1").arg(i);
    const int64_t cent = i == 1 ? 60000000000 : 10000;  // the second: two lines, 1,2 Mrd. in total
    zahlungen << t.ZahlungAnlegen(z);
    zeilen << t.ZeileAnlegen(zahlungen.last(), 1, QStringLiteral("RG %1").arg(i), C(cent));
    if (i == 1) zeilen << t.ZeileAnlegen(zahlungen.last(), 2, QStringLiteral("RG 1b"), C(cent));
  }
  SkontoSitzung sitzung;
  ASSERT_TRUE(sitzung.Abziehen(t.Db(), zeilen, Prozent(5000)).Ok());
  const SkontoErgebnis r = sitzung.Zuruecksetzen(t.Db());
  ASSERT_TRUE(r.Ok()) << r.abgelehnt.toStdString();
  EXPECT_EQ(r.bearbeitet, 5);
  for (qint64 nr : zahlungen)
    EXPECT_EQ(t.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(),
              t.Wert("SELECT SUM(ZahlungsBetrag) FROM Verwendungszweck WHERE ZahlungNr = ?", {nr}).toLongLong())
        << "Zahlung " << nr;
}

// Two workstations run the same discount on the same line, one after the other or each twice: the
// discount is taken from the open item once, never from what the other left to pay.
TEST(SkontoLaufDatei, ZweiArbeitsplaetzeZiehenDenSkontoNurEinmalAb) {
  QTemporaryDir ordner;
  const QString datei = ordner.filePath(QStringLiteral("TamoSEPA.db"));
  ZahlungsTestDatenbank t(datei);
  ZahlungsTestDatenbank::Zahlung z;
  z.name = QStringLiteral("Anton");
  z.gesamt = C(100000);
  const qint64 zahlung = t.ZahlungAnlegen(z);
  // One line without open item (typed as the paid amount only), one with.
  const qint64 ohneOP = t.ZeileAnlegen(zahlung, 1, QStringLiteral("RG 1"), C(50000));
  ASSERT_TRUE(t.Db().Ausfuehren("UPDATE Verwendungszweck SET OPBetrag = NULL WHERE LfdNr = ?", {ohneOP}).Ok());
  const qint64 mitOP = t.ZeileAnlegen(zahlung, 2, QStringLiteral("RG 2"), C(50000));
  DbFehler f;
  auto zweite = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(zweite) << f.Beschreibung.toStdString();

  SkontoSitzung hier;
  SkontoSitzung dort;
  ASSERT_TRUE(hier.Abziehen(t.Db(), {ohneOP, mitOP}, Prozent(200)).Ok());
  ASSERT_TRUE(dort.Abziehen(*zweite, {mitOP, ohneOP}, Prozent(200)).Ok());
  ASSERT_TRUE(hier.Abziehen(t.Db(), {ohneOP, mitOP}, Prozent(200)).Ok());
  for (qint64 lfdNr : {ohneOP, mitOP}) {
    SCOPED_TRACE(lfdNr);
    EXPECT_EQ(t.Wert("SELECT OPBetrag FROM Verwendungszweck WHERE LfdNr = ?", {lfdNr}).toLongLong(), C(50000)->Roh());
    EXPECT_EQ(t.Wert("SELECT SkontoBetrag FROM Verwendungszweck WHERE LfdNr = ?", {lfdNr}).toLongLong(), C(1000)->Roh());
    EXPECT_EQ(t.Wert("SELECT ZahlungsBetrag FROM Verwendungszweck WHERE LfdNr = ?", {lfdNr}).toLongLong(),
              C(49000)->Roh());
  }
  EXPECT_EQ(t.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {zahlung}).toLongLong(), C(98000)->Roh());
}
