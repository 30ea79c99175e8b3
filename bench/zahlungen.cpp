// Payment form core over 100,000 open credit transfers of one sender (file database, WAL).
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

#include "payments/core/Verwendungszweckzeilen.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "payments/core/ZahlungSpeichern.h"
#include "platform/db/Recordset.h"

namespace {

constexpr int kZahlungen = 100000;

struct Bestand {
  QTemporaryDir ordner;
  std::unique_ptr<Datenbank> db;

  Bestand() {
    QFile schema(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
    if (!schema.open(QIODevice::ReadOnly)) std::abort();
    DbFehler f;
    db = Datenbank::Oeffnen(ordner.filePath(QStringLiteral("TamoSEPA.db")), f, true);
    if (!db || db->SkriptAusfuehren(QString::fromUtf8(schema.readAll()))) std::abort();
    Transaktion t(*db);
    for (int i = 1; i <= kZahlungen; ++i) {
      db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art, Name, IBAN, BIC, ZahlungGesamt, Verwendungszweck1) "
                     "VALUES (1, 'G', ?, 'DE89370400440532013000', 'COBADEFFXXX', ?, 'Rechnung')",
                     {QVariant(QStringLiteral("Empfänger %1").arg(i)), QVariant::fromValue(Waehrung::AusCent(1000 + i))});
      const qint64 nr = db->LetzteEinfuegeNr();
      for (int z = 1; z <= 1 + i % 3; ++z)
        db->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPBetrag, ZahlungsBetrag) "
                       "VALUES (?, ?, 'Zeile', 10000, 10000)",
                       {QVariant(nr), QVariant(z)});
    }
    if (t.Commit()) std::abort();
  }
};

Bestand& Daten() {
  static Bestand b;
  return b;
}

ZahlungenFilter Filter() {
  ZahlungenFilter f;
  f.absenderNr = 1;
  return f;
}

// Opening the form: the browse query as a dynaset, the first screenful of rows, and the total.
void FormularOeffnen(benchmark::State& state) {
  Datenbank& db = *Daten().db;
  for (auto _ : state) {
    DbFehler f;
    auto rs = Recordset::Oeffnen(db, ZahlungenAbfrageErstellen(Filter()), RecordsetTyp::Dynaset, f);
    if (!rs) state.SkipWithError("Abfrage");
    for (int i = 0; i < 50 && !rs->Eof(); ++i, rs->MoveNext()) benchmark::DoNotOptimize(rs->Text(QStringLiteral("Name")));
    ZahlungenSumme s;
    GesamtsummeErmitteln(db, Filter(), s);
    if (s.anzahl != kZahlungen) state.SkipWithError("Anzahl");
  }
}
BENCHMARK(FormularOeffnen)->Unit(benchmark::kMillisecond);

// Moving through 1,000 payments: lines loaded and summed each time.
void TausendZahlungenBlaettern(benchmark::State& state) {
  Datenbank& db = *Daten().db;
  for (auto _ : state) {
    for (qint64 nr = 5000; nr < 6000; ++nr) {
      std::vector<Verwendungszweckzeile> zeilen;
      ZeilenLaden(db, nr, false, zeilen);
      ZeilenSummen s;
      ZeilenSummieren(db, nr, false, s);
      benchmark::DoNotOptimize(s.zahlungsBetrag);
    }
  }
}
BENCHMARK(TausendZahlungenBlaettern)->Unit(benchmark::kMillisecond);

// Saving 1,000 payments through every check (single-field display, line 1 rewritten).
void TausendZahlungenSpeichern(benchmark::State& state) {
  Datenbank& db = *Daten().db;
  SpeicherKontext k;
  k.absenderNr = 1;
  k.heute = QDate(2024, 6, 1);
  for (auto _ : state) {
    for (qint64 nr = 20000; nr < 21000; ++nr) {
      ZahlungEingabe e;
      e.name = QStringLiteral("Müller GmbH");
      e.bic = QStringLiteral("COBADEFFXXX");
      e.iban = QStringLiteral("DE89 3704 0044 0532 0130 00");
      e.verwendungszweck1 = QStringLiteral("Rechnung 4711");
      e.betrag = Waehrung::AusCent(12345);
      if (!ZahlungSpeichern(db, nr, e, k).Ok()) state.SkipWithError("Speichern");
    }
  }
}
BENCHMARK(TausendZahlungenSpeichern)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
