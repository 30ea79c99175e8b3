// Speed of the address window's import at 100,000 addresses: the IBAN conversion run over a recordset of
// the address table (database file, one transaction), and the take-over from a Tamo-Varix file.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QTemporaryDir>

#include <memory>

#include "iban/BankleitzahlTabelle.h"
#include "iban/IBANKonvertieren.h"
#include "masterdata/core/AdressenUebernahme.h"
#include "masterdata/core/IbanRecordsetDatensaetze.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"

namespace {

QString BlzDatei() {
  QString ordner = qEnvironmentVariable("TAMO_SHARED_DIR");
  if (ordner.isEmpty()) ordner = QStringLiteral(TAMO_SHARED_DIR_VORGABE);
  return QDir(ordner).filePath(QStringLiteral("data/blz_2015-06-08_extended_174.txt"));
}

std::unique_ptr<Datenbank> SchemaDatenbank(const QString& datei, DbFehler& f) {
  auto db = Datenbank::Oeffnen(datei, f, true);
  if (!db) return nullptr;
  QFile schema(QStringLiteral(TAMO_SCHEMA_DATEI));
  if (!schema.open(QIODevice::ReadOnly)) {
    f = {75, QStringLiteral("Schema fehlt")};
    return nullptr;
  }
  f = db->SkriptAusfuehren(QString::fromUtf8(schema.readAll()));
  return f ? nullptr : std::move(db);
}

// n addresses over every bank of the file, every 50th with an unknown bank code.
DbFehler AdressenAnlegen(Datenbank& db, const BankleitzahlTabelle& tabelle, qint64 n, const SqlText& ziel) {
  QRandomGenerator zufall(42);
  Transaktion t(db);
  if (t.Fehler()) return t.Fehler();
  for (qint64 i = 0; i < n; ++i) {
    const QString blz = i % 50 == 49 ? QStringLiteral("99999999")
                                     : tabelle.Eintraege()[zufall.bounded(tabelle.Anzahl())].BLZ;
    const QString konto = QString::number(zufall.bounded(Q_INT64_C(1), Q_INT64_C(10000000000)));
    if (DbFehler f = db.Ausfuehren(SqlText("INSERT INTO ") + ziel +
                                       SqlText(" (OPKontoNr, Suchname, Name, BLZ, KontoNr) VALUES (?, ?, ?, ?, ?)"),
                                   {QStringLiteral("K%1").arg(i, 7, 10, QLatin1Char('0')), QStringLiteral("Such %1").arg(i),
                                    QStringLiteral("Adresse %1").arg(i), blz, konto}))
      return f;
  }
  return t.Commit();
}

void BM_IbanLaufMitDatenbank(benchmark::State& state) {
  BankleitzahlTabelle tabelle;
  if (const auto fehler = tabelle.Laden(BlzDatei())) {
    state.SkipWithError(("Bundesbank-Datei fehlt, übersprungen: " + fehler->toStdString()).c_str());
    return;
  }
  QTemporaryDir ordner;
  DbFehler f;
  auto db = SchemaDatenbank(ordner.filePath(QStringLiteral("TamoSEPA.db")), f);
  if (!db || (f = AdressenAnlegen(*db, tabelle, state.range(0), SqlText("Adressen")))) {
    state.SkipWithError(f.Beschreibung.toStdString().c_str());
    return;
  }
  Abfrage a = Abfrage::Tabelle(QStringLiteral("Adressen"));
  a.sortierung = "Suchname, OPKontoNr";
  qint64 mitIban = 0;
  for (auto _ : state) {
    // every round converts addresses that carry no IBAN yet, as after a take-over
    state.PauseTiming();
    f = db->Ausfuehren("UPDATE Adressen SET IBAN = NULL, BIC = NULL, Bank = NULL, IBANKonvertierHinweis = NULL");
    state.ResumeTiming();
    if (f) {
      state.SkipWithError(f.Beschreibung.toStdString().c_str());
      return;
    }
    auto rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Dynaset, f);
    if (!rs) {
      state.SkipWithError(f.Beschreibung.toStdString().c_str());
      return;
    }
    IbanRecordsetDatensaetze daten(*rs);
    const IbanKonvertierErgebnis e = IBANKonvertieren(BlzDatei(), tabelle, daten);
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
  if (const auto fehler = tabelle.Laden(BlzDatei())) {
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
        (f = AdressenAnlegen(*quelle, tabelle, state.range(0), SqlText("Adressen")))) {
      state.SkipWithError(f.Beschreibung.toStdString().c_str());
      return;
    }
  }
  qint64 neu = 0;
  int lauf = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto db = SchemaDatenbank(ordner.filePath(QStringLiteral("Ziel%1.db").arg(++lauf)), f);
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
