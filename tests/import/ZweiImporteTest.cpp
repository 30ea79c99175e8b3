// Two workstations import the same open items at the same time, as two real processes, round after
// round: every item ends up in exactly one payment, also when the two import through two senders linked
// to the same sibling file. TAMO_ZWEI_IMPORTE_POSTEN and TAMO_ZWEI_IMPORTE_RUNDEN
// scale it up for longer runs (bench/import_zwei_prozesse.sh).

#include <gtest/gtest.h>

#include <QDir>

#include "common/Datenbankstart.h"
#include "common/DatenbankOeffnung.h"
#include "testsupport/Geschwisterdatenbank.h"
#include "testsupport/Kindprozess.h"
#include "testsupport/TestOrdner.h"

namespace {

int Umgebungszahl(const char* name, int vorgabe) {
  bool ok = false;
  const int n = qEnvironmentVariableIntValue(name, &ok);
  return ok && n > 0 ? n : vorgabe;
}

struct Rundenergebnis {
  int zahlungen = 0, importiert = 0, abgelehnt = 0, inzwischen = 0, fehler = 0;
  QStringList meldungen;
};

// Reads the child's messages up to its "FERTIG" line.
bool Lesen(Kindprozess& k, Rundenergebnis& r) {
  for (;;) {
    bool ok = false;
    const QString zeile = k.Zeile(300000, &ok);
    if (!ok) return false;
    if (zeile.startsWith(QLatin1String("MELDUNG "))) {
      r.meldungen << zeile;
      continue;
    }
    if (!zeile.startsWith(QLatin1String("FERTIG "))) {
      r.meldungen << zeile;
      return false;
    }
    const QStringList w = zeile.split(QLatin1Char(' '));
    if (w.size() != 6) return false;
    r.zahlungen += w[1].toInt();
    r.importiert += w[2].toInt();
    r.abgelehnt += w[3].toInt();
    r.inzwischen += w[4].toInt();
    r.fehler += w[5].toInt();
    return true;
  }
}

// `zweiterAbsender`: the second workstation imports through sender 2, linked to the same file by
// another spelling of its path.
void Gleichzeitig(int posten, int runden, bool zweiterAbsender) {
  constexpr int kJeKonto = 5;
  TestOrdner ordner;
  const QString geschwister = ordner.Datei(QStringLiteral("Livra.db"));
  {
    Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
    for (int k = 0; k < (posten + kJeKonto - 1) / kJeKonto; ++k) {
      const QString konto = QString::number(10000 + k);
      g.Adresse({.konto = konto, .suchname = QStringLiteral("KUNDE %1").arg(k), .name = QStringLiteral("Kunde %1").arg(k),
                 .bic = QStringLiteral("COLSDE33XXX"), .iban = QStringLiteral("DE89370400440532013000"),
                 .mandatReferenz = QStringLiteral("M-") + konto, .mandatDatum = QDate(2023, 5, 1),
                 .mandatSequenz = QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)")});
      for (int p = 0; p < kJeKonto && k * kJeKonto + p < posten; ++p)
        g.Posten({.konto = konto, .nr = QStringLiteral("RE-%1-%2").arg(k).arg(p), .vom = QDate(2024, 2, 1 + p),
                  .faellig = QDate(2024, 3, 1 + p), .betrag = Waehrung::AusEuro(100 + p),
                  .rest = Waehrung::AusEuro(100 + p)});
    }
    ASSERT_TRUE(g.Schreiben(geschwister).Ok());
  }
  const QString datei = ordner.Datei(DatenbankDateiname);
  ASSERT_TRUE(DatenbankAnlegen(datei, QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql")).Ok());
  auto oeffnen = [&datei] {
    DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, {});
    EXPECT_TRUE(e.Ok()) << e.meldung.toStdString();
    return std::move(e.db);
  };
  {
    auto db = oeffnen();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->Ausfuehren("UPDATE Absender SET AdressenFormat = 1, AdressenVerbindung = ? WHERE AbsenderNr = 1",
                               {geschwister})
                    .Ok());
    if (zweiterAbsender)
      ASSERT_TRUE(db->Ausfuehren("INSERT INTO Absender (AbsenderNr, Name, AdressenFormat, AdressenVerbindung) "
                                 "VALUES (2, 'Zweites Konto', 1, 'Livra.db')")
                      .Ok());
  }

  const QStringList umgebung = {QStringLiteral("TAMOSEPA_EINSTELLUNGEN=") + ordner.Datei(QStringLiteral("e.ini"))};
  Kindprozess a(QStringLiteral(TAMO_IMPORT_KIND), {ordner.Pfad()}, umgebung);
  Kindprozess b(QStringLiteral(TAMO_IMPORT_KIND), {ordner.Pfad(), zweiterAbsender ? QStringLiteral("2") : QStringLiteral("1")},
                umgebung);
  int inzwischen = 0;
  for (int runde = 0; runde < runden; ++runde) {
    SCOPED_TRACE(runde);
    {
      auto db = oeffnen();
      ASSERT_TRUE(db);
      ASSERT_TRUE(db->Ausfuehren("DELETE FROM Zahlungen").Ok());
    }
    a.Senden(QStringLiteral("LOS"));
    b.Senden(QStringLiteral("LOS"));
    Rundenergebnis r;
    ASSERT_TRUE(Lesen(a, r)) << r.meldungen.join(QLatin1Char('\n')).toStdString() << a.Fehlerausgabe().toStdString();
    ASSERT_TRUE(Lesen(b, r)) << r.meldungen.join(QLatin1Char('\n')).toStdString() << b.Fehlerausgabe().toStdString();
    for (const QString& m : r.meldungen) {
      EXPECT_TRUE(m.contains(QLatin1String("inzwischen an einem anderen Arbeitsplatz"))) << m.toStdString();
      EXPECT_EQ(m.contains(QLatin1String("mit Absender ")), zweiterAbsender) << m.toStdString();
    }
    inzwischen += r.inzwischen;

    auto db = oeffnen();
    ASSERT_TRUE(db);
    DbFehler f;
    EXPECT_EQ(db->Wert("SELECT count(*) FROM (SELECT 1 FROM Verwendungszweck WHERE OPVorgangNr IS NOT NULL "
                       "GROUP BY OPVorgangNr HAVING count(*) > 1)",
                       {}, f)
                  ->toInt(),
              0)
        << "Posten in zwei Zahlungen";
    EXPECT_EQ(db->Wert("SELECT count(DISTINCT OPVorgangNr) FROM Verwendungszweck", {}, f)->toInt(), posten);
    EXPECT_EQ(r.importiert, posten) << "each item once, by one of the two";
    EXPECT_EQ(r.importiert + r.abgelehnt + r.inzwischen, 2 * posten) << "each item accounted for by each";
    EXPECT_EQ(db->Wert("SELECT count(*) FROM Zahlungen WHERE ZahlungGesamt <> (SELECT coalesce(sum(ZahlungsBetrag), 0) "
                       "FROM Verwendungszweck v WHERE v.ZahlungNr = Zahlungen.ZahlungNr)",
                       {}, f)
                  ->toInt(),
              0)
        << "a payment's total is the sum of its lines";
  }
  a.Senden(QStringLiteral("ENDE"));
  b.Senden(QStringLiteral("ENDE"));
  EXPECT_EQ(a.Ende(), 0);
  EXPECT_EQ(b.Ende(), 0);
  ::testing::Test::RecordProperty("InzwischenUebernommen", inzwischen);
}

TEST(ZweiImporte, KeinPostenInZweiZahlungen) {
  Gleichzeitig(Umgebungszahl("TAMO_ZWEI_IMPORTE_POSTEN", 1000), Umgebungszahl("TAMO_ZWEI_IMPORTE_RUNDEN", 3), false);
}

TEST(ZweiImporte, ZweiAbsenderMitDerselbenDateiZahlenKeinenPostenDoppelt) { Gleichzeitig(300, 2, true); }

}  // namespace
