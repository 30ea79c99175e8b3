// Hot paths of the database layer over 100,000 payments: open, Find, Requery, filter, the write path.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QTemporaryDir>

#include <cstdlib>

#include "platform/db/Recordset.h"

namespace {

constexpr int Zeilen = 100000;

struct Bestand {
  QTemporaryDir ordner;
  std::unique_ptr<Datenbank> db;

  Bestand() {
    DbFehler f;
    db = Datenbank::Oeffnen(ordner.filePath(QStringLiteral("TamoSEPA.db")), f, true);
    if (!db) std::abort();
    const DbFehler schema = db->SkriptAusfuehren(QStringLiteral(R"(
      CREATE TABLE Zahlungen (
        ZahlungNr INTEGER PRIMARY KEY AUTOINCREMENT,
        AbsenderNr INTEGER NOT NULL,
        Art TEXT(1),
        Name TEXT(70) COLLATE NOCASE,
        IBAN TEXT(34),
        BIC TEXT(11),
        Verwendungszweck1 TEXT(27),
        ZahlungGesamt CURRENCY,
        "Fällig" DATE,
        Erledigt BOOLEAN NOT NULL DEFAULT 0);
      CREATE INDEX ZahlungenAbsender ON Zahlungen (AbsenderNr, Art, Erledigt);
      CREATE INDEX ZahlungenName ON Zahlungen (Name);)"));
    if (schema) std::abort();
    Transaktion t(*db);
    const QStringList namen = {QStringLiteral("Müller"), QStringLiteral("Bäcker"), QStringLiteral("Schulz"),
                               QStringLiteral("Öztürk"), QStringLiteral("Zander")};
    for (int i = 0; i < Zeilen; ++i) {
      const DbFehler e = db->Ausfuehren(
          "INSERT INTO Zahlungen (AbsenderNr, Art, Name, IBAN, BIC, Verwendungszweck1, ZahlungGesamt, \"Fällig\", "
          "Erledigt) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
          {1, i % 3 == 0 ? QStringLiteral("E") : QStringLiteral("L"),
           QStringLiteral("%1 %2").arg(namen[i % namen.size()]).arg(i), QStringLiteral("DE02120300000000202051"),
           QStringLiteral("BYLADEM1001"), QStringLiteral("Rechnung %1").arg(i),
           QVariant::fromValue(Waehrung::AusCent(1000 + i)), QDate(2024, 1, 1).addDays(i % 365), i % 7 == 0});
      if (e) std::abort();
    }
    if (t.Commit()) std::abort();
  }
};

Bestand& Daten() {
  static Bestand b;
  return b;
}

Abfrage Alle(bool nachName) {
  Abfrage a;
  a.quelle = "Zahlungen";
  a.bedingung = Bedingung("AbsenderNr = ?", {1});
  // As the program's file: NOCASE in the file, the program's collation in the query.
  if (nachName) a.sortierung = "Name COLLATE TAMO, ZahlungNr";
  return a;
}

void DynasetOeffnenErste50(benchmark::State& state) {
  Datenbank& db = *Daten().db;
  for (auto _ : state) {
    DbFehler f;
    auto rs = Recordset::Oeffnen(db, Alle(state.range(0) != 0), RecordsetTyp::Dynaset, f);
    if (!rs) state.SkipWithError("Oeffnen");
    qint64 summe = 0;
    for (int i = 0; i < 50 && !rs->EOF(); ++i, rs->MoveNext()) {
      summe += rs->Ganzzahl(QStringLiteral("ZahlungNr"));
      benchmark::DoNotOptimize(rs->Text(QStringLiteral("Name")));
      benchmark::DoNotOptimize(rs->Betrag(QStringLiteral("ZahlungGesamt")));
    }
    benchmark::DoNotOptimize(summe);
    state.counters["Datensaetze"] = rs->RecordCount();
  }
}
BENCHMARK(DynasetOeffnenErste50)->Arg(0)->Arg(1)->ArgName("nachName")->Unit(benchmark::kMillisecond);

// FindFirst for a row near the end; range(0): 1 = page cache dropped before each search (cold).
void FindFirstNaheEnde(benchmark::State& state) {
  Datenbank& db = *Daten().db;
  DbFehler f;
  auto rs = Recordset::Oeffnen(db, Alle(false), RecordsetTyp::Dynaset, f);
  if (!rs) {
    state.SkipWithError("Oeffnen");
    return;
  }
  const QString gesucht = QStringLiteral("Zander %1").arg(Zeilen - 6);
  for (auto _ : state) {
    if (state.range(0)) rs->CacheVerwerfen();
    rs->FindFirst([&](const Recordset& r) { return r.Text(QStringLiteral("Name")) == gesucht; });
    if (rs->NoMatch()) state.SkipWithError("nicht gefunden");
  }
}
BENCHMARK(FindFirstNaheEnde)->Arg(1)->Arg(0)->ArgName("kalt")->Unit(benchmark::kMillisecond);

void RequeryAlle(benchmark::State& state) {
  Datenbank& db = *Daten().db;
  DbFehler f;
  auto rs = Recordset::Oeffnen(db, Alle(state.range(0) != 0), RecordsetTyp::Dynaset, f);
  if (!rs) {
    state.SkipWithError("Oeffnen");
    return;
  }
  for (auto _ : state) {
    if (rs->Requery()) state.SkipWithError("Requery");
    benchmark::DoNotOptimize(rs->Text(QStringLiteral("Name")));
  }
}
BENCHMARK(RequeryAlle)->Arg(0)->Arg(1)->ArgName("nachName")->Unit(benchmark::kMillisecond);

// The filter bar's prefix search (LIKE ignoring case incl. umlauts) as a dynaset condition.
void FilterPraefixUmlaut(benchmark::State& state) {
  Datenbank& db = *Daten().db;
  for (auto _ : state) {
    Abfrage a = Alle(false);
    a.bedingung = a.bedingung.Und(Bedingung("Name LIKE ? ESCAPE '\\'", {LikeMusterAusFilter(QStringLiteral("öZT"))}));
    DbFehler f;
    auto rs = Recordset::Oeffnen(db, a, RecordsetTyp::Dynaset, f);
    if (!rs || rs->RecordCount() != Zeilen / 5) state.SkipWithError("Filter");
  }
}
BENCHMARK(FilterPraefixUmlaut)->Unit(benchmark::kMillisecond);

// The write path of a run over a recordset: Edit, two fields, Update per row inside one transaction
// (undone afterwards so that every iteration finds the same rows).
void EditUpdateImLauf(benchmark::State& state) {
  Datenbank& db = *Daten().db;
  DbFehler f;
  auto rs = Recordset::Oeffnen(db, Alle(false), RecordsetTyp::Dynaset, f);
  if (!rs) {
    state.SkipWithError("Oeffnen");
    return;
  }
  const int zeilen = static_cast<int>(state.range(0));
  for (auto _ : state) {
    if (db.BeginTrans()) state.SkipWithError("BeginTrans");
    rs->MoveFirst();
    for (int i = 0; i < zeilen && !rs->EOF(); ++i, rs->MoveNext()) {
      if (rs->Edit() || rs->Setzen(QStringLiteral("BIC"), QStringLiteral("COBADEFFXXX")) ||
          rs->Setzen(QStringLiteral("Verwendungszweck1"), rs->Text(QStringLiteral("Name"))) || rs->Update()) {
        state.SkipWithError("Update");
        break;
      }
    }
    if (db.Rollback()) state.SkipWithError("Rollback");
    state.PauseTiming();
    rs->CacheVerwerfen();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * zeilen);
}
BENCHMARK(EditUpdateImLauf)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
