// Speed of the address window's import at 100,000 addresses: the IBAN conversion run over the window's
// recordset of the address table (database file, one transaction; the bank-code file read included), and
// the take-over from a Tamo-Varix file. The whole import in the window: iban-lauf (bench/iban_lauf_messen.sh).
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "IbanAdressen.h"
#include "iban/IBANKonvertieren.h"
#include "masterdata/core/AdressenUebernahme.h"
#include "masterdata/core/IbanRecordsetDatensaetze.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"

namespace {

void BM_IbanLaufMitDatenbank(benchmark::State& state) {
  BankleitzahlTabelle tabelle;
  if (const auto fehler = tabelle.Laden(IbanBenchBlzDatei())) {
    state.SkipWithError(("Bundesbank-Datei fehlt, übersprungen: " + fehler->toStdString()).c_str());
    return;
  }
  QTemporaryDir ordner;
  DbFehler f;
  auto db = IbanBenchSchemaDatenbank(ordner.filePath(QStringLiteral("TamoSEPA.db")), f);
  if (!db || (f = IbanBenchAdressenAnlegen(*db, tabelle, state.range(0), SqlText("Adressen")))) {
    state.SkipWithError(f.Beschreibung.toStdString().c_str());
    return;
  }
  Abfrage a = Abfrage::Tabelle(QStringLiteral("Adressen"));
  a.sortierung = "Suchname, OPKontoNr";
  qint64 mitIban = 0;
  for (auto _ : state) {
    // every round converts addresses that carry no IBAN yet, as after a take-over, over the recordset the
    // window holds open
    state.PauseTiming();
    f = db->Ausfuehren("UPDATE Adressen SET IBAN = NULL, BIC = NULL, Bank = NULL, IBANKonvertierHinweis = NULL");
    auto rs = f ? nullptr : Recordset::Oeffnen(*db, a, RecordsetTyp::Dynaset, f);
    state.ResumeTiming();
    if (!rs) {
      state.SkipWithError(f.Beschreibung.toStdString().c_str());
      return;
    }
    IbanRecordsetDatensaetze daten(*rs);
    const IbanKonvertierErgebnis e = IBANKonvertieren(IbanBenchBlzDatei(), tabelle, daten);
    if (!e.Ok) {
      state.SkipWithError(e.Meldung.toStdString().c_str());
      return;
    }
    mitIban = e.MitIban;
  }
  state.counters["mitIban"] = static_cast<double>(mitIban);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_IbanLaufMitDatenbank)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AdressenUebernahme(benchmark::State& state) {
  BankleitzahlTabelle tabelle;
  if (const auto fehler = tabelle.Laden(IbanBenchBlzDatei())) {
    state.SkipWithError(("Bundesbank-Datei fehlt, übersprungen: " + fehler->toStdString()).c_str());
    return;
  }
  QTemporaryDir ordner;
  const QString quellDatei = ordner.filePath(QStringLiteral("TamoVarix.db"));
  DbFehler f;
  {
    auto quelle = Datenbank::Oeffnen(quellDatei, f, true);
    if (!quelle || (f = quelle->Ausfuehren("PRAGMA journal_mode=DELETE; "
                                           "CREATE TABLE Adressen (OPKontoNr, Suchname, Name, Bank, BLZ, KontoNr)")) ||
        (f = IbanBenchAdressenAnlegen(*quelle, tabelle, state.range(0), SqlText("Adressen")))) {
      state.SkipWithError(f.Beschreibung.toStdString().c_str());
      return;
    }
  }
  qint64 neu = 0;
  int lauf = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto db = IbanBenchSchemaDatenbank(ordner.filePath(QStringLiteral("Ziel%1.db").arg(++lauf)), f);
    state.ResumeTiming();
    if (!db) {
      state.SkipWithError(f.Beschreibung.toStdString().c_str());
      return;
    }
    const AdressenUebernahmeErgebnis e = AdressenUebernahme::Uebernehmen(*db, quellDatei);
    if (!e.Ok) {
      state.SkipWithError(e.Meldung.toStdString().c_str());
      return;
    }
    neu = e.Neu;
  }
  state.counters["neu"] = static_cast<double>(neu);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AdressenUebernahme)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
