// The payment list and the selective window at 100,000 payments with 1 to 5 remittance lines each
// (300,000 lines; credit transfers and direct debits, half of them done): the list up to its first
// painted rows, a filter-bar requery up to the repainted rows (a name prefix, an amount as shown),
// a change of the status option, and reactivating 10,000 done orders in one action.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

#include "MalZaehler.h"
#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/FilterLeiste.h"
#include "platform/ui/MeldungsRekorder.h"
#include "platform/ui/OptionsGruppe.h"
#include "sepafiles/FormularSelektiv.h"
#include "sepafiles/Zahlungsliste.h"
#include "sepafiles/core/Selektivbearbeitung.h"

namespace {

constexpr int Zahlungen = 100000;

// Every value is made by SQL from the row number. Orders 1..10,000 are done on a day of March 2024,
// the rest alternate open and done in 2023.
void DatenbankAnlegen() {
  auto db = Datenbank::InSpeicher();
  QFile f(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
  if (!f.open(QIODevice::ReadOnly) || db->SkriptAusfuehren(QString::fromUtf8(f.readAll()))) qFatal("Schema");
  DbFehler fehler = db->Ausfuehren(SqlText(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
      "INSERT INTO Zahlungen (AbsenderNr, Art, Name, Bank, BIC, IBAN, Verwendungszweck1, ZahlungGesamt, \"Fällig\", "
      "MandatReferenz, MandatDatum, MandatSequenz, Erledigt, ErledigtDatum, Buchungsdatum) "
      "SELECT 1, CASE WHEN i % 3 = 0 THEN 'L' ELSE 'G' END, "
      "CASE i % 6 WHEN 0 THEN 'Müller GmbH' WHEN 1 THEN 'Schäfer Baustoffe' WHEN 2 THEN 'Öztürk Handel' "
      "WHEN 3 THEN 'Bäckerei Groß' WHEN 4 THEN 'Meier, Hans' ELSE 'Weiß Elektro' END || ' ' || (i % 1000), "
      "'Testbank', 'COBADEFFXXX', 'DE89370400440532013000', 'RG ' || i, 0, "
      "date('2024-01-01', '+' || (i % 365) || ' days'), "
      "CASE WHEN i % 3 = 0 THEN 'M-' || i END, CASE WHEN i % 3 = 0 THEN '2023-01-01' END, "
      "CASE WHEN i % 3 = 0 THEN 2 + (i % 2) END, "
      "CASE WHEN i <= 10000 OR i % 2 = 0 THEN 1 ELSE 0 END, "
      "CASE WHEN i <= 10000 THEN date('2024-03-01', '+' || (i % 28) || ' days') "
      "WHEN i % 2 = 0 THEN date('2023-01-01', '+' || (i % 300) || ' days') END, "
      "CASE WHEN i <= 10000 OR i % 2 = 0 THEN '2023-12-31' END FROM n"),
      {Zahlungen});
  if (fehler) qFatal("Zahlungen: %s", qUtf8Printable(fehler.Beschreibung));
  fehler = db->Ausfuehren(SqlText(
      "WITH k(z) AS (VALUES (1), (2), (3), (4), (5)) "
      "INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPVorgangNr, OPBetrag, ZahlungsBetrag) "
      "SELECT ZahlungNr, z, 'RG ' || ZahlungNr || '/' || z, CAST(100000 + ZahlungNr AS TEXT), "
      "((ZahlungNr * 7349 + z) % 500000) * 100 + 5000, ((ZahlungNr * 7349 + z) % 500000) * 100 + 5000 "
      "FROM Zahlungen, k WHERE z <= ZahlungNr % 5 + 1"));
  if (fehler) qFatal("Zeilen: %s", qUtf8Printable(fehler.Beschreibung));
  fehler = db->Ausfuehren("UPDATE Zahlungen SET ZahlungGesamt = (SELECT SUM(ZahlungsBetrag) FROM Verwendungszweck v "
                          "WHERE v.ZahlungNr = Zahlungen.ZahlungNr)");
  if (fehler) qFatal("Summen: %s", qUtf8Printable(fehler.Beschreibung));
  Zustand().DatenbankUebernehmen(std::move(db), nullptr, AdressQuellenInfo::Intern());
  Zustand().AktuelleAbsenderNrSetzen(1);
}

std::unique_ptr<Zahlungsliste> ListeZeigen() {
  auto f = std::make_unique<Zahlungsliste>();
  f->resize(1100, 700);
  MalZaehler zaehler;
  f->TDBGrid1()->Ansicht()->viewport()->installEventFilter(&zaehler);
  f->show();
  while (zaehler.bilder == 0) QApplication::processEvents();
  f->TDBGrid1()->Ansicht()->viewport()->removeEventFilter(&zaehler);
  return f;
}

void ListeErstesBild(benchmark::State& state) {
  for (auto _ : state) {
    auto f = ListeZeigen();
    if (f->TDBGrid1()->ZeilenAnzahl() != 300000) state.SkipWithError("falsche Zeilenzahl");
    state.PauseTiming();
    f->close();
    f.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(ListeErstesBild)->Unit(benchmark::kMillisecond)->Iterations(5);

// One filter cell typed: the posted event's requery (query, total) and the repainted rows.
void Filtern(benchmark::State& state, const char* feld, const QStringList& texte) {
  auto f = ListeZeigen();
  f->Befehl(QStringLiteral("Suchen"));
  DatenGitter* g = f->TDBGrid1();
  const int spalte = g->SpaltenIndex(QString::fromUtf8(feld));
  int i = 0;
  for (auto _ : state) {
    g->SetzeFilterText(spalte, texte.at(i++ % texte.size()));
    if (!g->FilterAnwenden()) state.SkipWithError("Filter fehlgeschlagen");
    g->Ansicht()->viewport()->repaint();
    benchmark::DoNotOptimize(f->Summe());
  }
}
void FilterNamePraefix(benchmark::State& state) {
  Filtern(state, "Name", {QStringLiteral("mü"), QStringLiteral("Schä"), QStringLiteral("bäckerei g")});
}
BENCHMARK(FilterNamePraefix)->Unit(benchmark::kMillisecond)->Iterations(6);
void FilterBetragWieAngezeigt(benchmark::State& state) {
  Filtern(state, "ZahlungsBetrag", {QStringLiteral("1.2"), QStringLiteral("4.99"), QStringLiteral("50,")});
}
BENCHMARK(FilterBetragWieAngezeigt)->Unit(benchmark::kMillisecond)->Iterations(6);

void StatusWechseln(benchmark::State& state) {
  auto f = ListeZeigen();
  int i = 0;
  for (auto _ : state) {
    f->StatusArt()->Option(i++ % 3)->click();
    f->TDBGrid1()->Ansicht()->viewport()->repaint();
    benchmark::DoNotOptimize(f->Summe());
  }
}
BENCHMARK(StatusWechseln)->Unit(benchmark::kMillisecond)->Iterations(6);

// The selective window by criteria: the done orders of March 2024 (10,000).
SelektivKriterien Maerz() {
  SelektivKriterien k;
  k.absenderNr = 1;
  k.erledigtVon = QDate(2024, 3, 1);
  k.erledigtBis = QDate(2024, 3, 31);
  return k;
}

void Reaktivieren10000(benchmark::State& state) {
  Datenbank& db = *Zustand().Datenbank();
  for (auto _ : state) {
    SelektivBestand bestand;
    if (Selektivbearbeitung::BestandLesen(db, Maerz(), bestand) || bestand.Anzahl() != 10000)
      state.SkipWithError("Bestand");
    if (Selektivbearbeitung::Ausfuehren(db, Maerz(), SelektivAktion::Reaktivieren, bestand))
      state.SkipWithError("Aktion fehlgeschlagen");
    state.PauseTiming();
    if (db.Ausfuehren("UPDATE Zahlungen SET Erledigt = 1, ErledigtDatum = date('2024-03-01', '+' || (ZahlungNr % 28) "
                      "|| ' days'), Buchungsdatum = '2023-12-31' WHERE ZahlungNr <= 10000"))
      state.SkipWithError("Zurücksetzen");
    state.ResumeTiming();
  }
}
BENCHMARK(Reaktivieren10000)->Unit(benchmark::kMillisecond)->Iterations(5);

// The selective window opened on every order of the sender (100,000), up to its shown rows.
void SelektivAlleOeffnen(benchmark::State& state) {
  SaveSetting(QStringLiteral("Formular Selektiv"), QStringLiteral("AktuelleSelektionsart"), QStringLiteral("1"));
  for (auto _ : state) {
    auto f = std::make_unique<FormularSelektiv>();
    f->show();
    QApplication::processEvents();
    if (f->TDBGrid1()->ZeilenAnzahl() != Zahlungen) state.SkipWithError("falsche Anzahl");
    state.PauseTiming();
    f->reject();
    f.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(SelektivAlleOeffnen)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The settings of this run stay out of the user's file.
  QTemporaryDir ordner;
  Registrierung::Instanz().DateiSetzen(ordner.filePath(QStringLiteral("einstellungen.ini")));
  MeldungsRekorder meldungen;
  Uhr::Festhalten(QDateTime(QDate(2024, 3, 13), QTime(9, 0)));
  DatenbankAnlegen();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Zustand().DatenbankSchliessen();
  return 0;
}
