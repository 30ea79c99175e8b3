// Speed of the IBAN conversion: loading the Bundesbank's file and converting accounts through the
// per-address function (no database).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QRandomGenerator>
#include <QString>

#include <vector>

#include "iban/BankleitzahlTabelle.h"
#include "iban/IbanErmitteln.h"

namespace {

QString BlzDatei() {
  QString ordner = qEnvironmentVariable("TAMO_SHARED_DIR");
  if (ordner.isEmpty()) ordner = QStringLiteral(TAMO_SHARED_DIR_VORGABE);
  return QDir(ordner).filePath(QStringLiteral("data/blz_2015-06-08_extended_174.txt"));
}

void BM_BlzDateiLaden(benchmark::State& state) {
  for (auto _ : state) {
    BankleitzahlTabelle tabelle;
    if (const auto fehler = tabelle.Laden(BlzDatei())) {
      state.SkipWithError(fehler->toLocal8Bit().constData());
      return;
    }
    benchmark::DoNotOptimize(tabelle.Anzahl());
  }
}
BENCHMARK(BM_BlzDateiLaden)->Unit(benchmark::kMillisecond);

// One million accounts spread over every bank of the file, a few with unknown bank codes.
void BM_KontenUmwandeln(benchmark::State& state) {
  BankleitzahlTabelle tabelle;
  if (const auto fehler = tabelle.Laden(BlzDatei())) {
    state.SkipWithError(fehler->toLocal8Bit().constData());
    return;
  }
  const qsizetype anzahl = state.range(0);
  QRandomGenerator zufall(42);
  std::vector<std::pair<QString, QString>> konten;
  konten.reserve(anzahl);
  for (qsizetype i = 0; i < anzahl; ++i) {
    const QString blz = i % 50 == 49 ? QStringLiteral("99999999")
                                     : tabelle.Eintraege()[zufall.bounded(tabelle.Anzahl())].BLZ;
    konten.emplace_back(blz, QString::number(zufall.bounded(Q_INT64_C(1), Q_INT64_C(10000000000))));
  }
  qint64 mitIban = 0;
  for (auto _ : state) {
    mitIban = 0;
    for (const auto& [blz, konto] : konten) {
      const IbanErgebnis e = IbanErmitteln(blz, konto, tabelle);
      mitIban += e.IBAN.has_value();
    }
    benchmark::DoNotOptimize(mitIban);
  }
  state.counters["mitIban"] = static_cast<double>(mitIban);
  state.SetItemsProcessed(state.iterations() * anzahl);
}
BENCHMARK(BM_KontenUmwandeln)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
