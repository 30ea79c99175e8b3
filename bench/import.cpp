// Open-item import over a linked file of the accounting program: 2,000 customers with five open
// items each (10,000 items), the program's database holding 100,000 earlier payments of other
// accounts (the duplicate check searches them). File databases in WAL mode, as the program runs.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "common/Dateifunktionen.h"
#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "import/core/ImportLauf.h"
#include "import/core/ImportSelektion.h"
#include "testsupport/Geschwisterdatenbank.h"

namespace {

constexpr int kKonten = 2000;
constexpr int kPostenJeKonto = 5;
constexpr int kFruehereZahlungen = 100000;

struct Bestand {
  QTemporaryDir ordner;

  Bestand() {
    const QString geschwister = ordner.filePath(QStringLiteral("Livra.db"));
    Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
    for (int k = 0; k < kKonten; ++k) {
      const QString konto = QString::number(10000 + k);
      g.Adresse({.konto = konto, .suchname = QStringLiteral("KUNDE %1").arg(k), .name = QStringLiteral("Kunde %1").arg(k),
                 .bank = QStringLiteral("Sparkasse"), .bic = QStringLiteral("COLSDE33XXX"),
                 .iban = QStringLiteral("DE89370400440532013000"), .mandatReferenz = QStringLiteral("M-") + konto,
                 .mandatDatum = QDate(2023, 5, 1), .mandatSequenz = QStringLiteral("5-Mehrfach-Einzug Automatisch (Basis)"),
                 .skonto1 = 2, .kundenNr = QStringLiteral("KD-%1").arg(k)});
      for (int p = 0; p < kPostenJeKonto; ++p)
        g.Posten({.konto = konto, .nr = QStringLiteral("RE-%1-%2").arg(k).arg(p), .vom = QDate(2024, 2, 1 + p),
                  .faellig = QDate(2024, 3, 1 + p), .betrag = Waehrung::AusEuro(100 + p), .rest = Waehrung::AusEuro(100 + p),
                  .buchungsliste = QStringLiteral("B%1").arg(p)});
    }
    if (g.Schreiben(geschwister)) std::abort();

    const QString datei = ordner.filePath(DatenbankDateiname);
    if (DatenbankAnlegen(datei, QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"))) std::abort();
    {
      DbFehler f;
      auto db = Datenbank::Oeffnen(datei, f);
      if (!db) std::abort();
      Transaktion t(*db);
      db->Ausfuehren("UPDATE Absender SET AdressenFormat = 1, AdressenVerbindung = ? WHERE AbsenderNr = 1", {geschwister});
      for (int i = 0; i < kFruehereZahlungen; ++i) {
        db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art, OPKontoNr, Name, ZahlungGesamt, MandatReferenz, "
                       "MandatSequenz, Erledigt) VALUES (1, 'L', ?, 'Früher', 10000, ?, 3, 1)",
                       {QString::number(50000 + i % 20000), QStringLiteral("M-%1").arg(i)});
        db->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPVorgangNr, ZahlungsBetrag) "
                       "VALUES (?, 1, 'Alt', ?, 10000)",
                       {db->LetzteEinfuegeNr(), QStringLiteral("RE-%1").arg(i)});
      }
      if (t.Commit()) std::abort();
    }
    Zustand().DatenVerzeichnisSetzen(BackslashAnhaengen(QDir::toNativeSeparators(ordner.path())));
    Zustand().AktuelleAbsenderNrSetzen(1);
    if (!DatenbankOeffnen().Ok() || !Zustand().AdressQuelle().OPVerknuepft) std::abort();
  }
};

Bestand& Daten() {
  static Bestand b;
  return b;
}

// Nothing asked: no earlier item is a duplicate and every address is complete.
class OhneFragen : public ImportFrager {
 public:
  bool DubletteUebernehmen(const QString&) override { return true; }
  QString PflichtfeldAbfragen(const QString&) override { return {}; }
};

// The window's selection of all 10,000 items and reading them for the run.
void Selektion(benchmark::State& state) {
  Daten();
  Datenbank& db = *Zustand().Datenbank();
  for (auto _ : state) {
    ImportSelektionsErgebnis e = ImportSelektion::Selektieren(db, Zustand().AdressQuelle(), ImportAuswahl{});
    if (!e.daten || e.daten->RecordCount() != kKonten * kPostenJeKonto) state.SkipWithError("Selektion");
    benchmark::DoNotOptimize(ImportVorgaengeLesen(*e.daten).size());
  }
  state.SetItemsProcessed(state.iterations() * kKonten * kPostenJeKonto);
}
BENCHMARK(Selektion)->Unit(benchmark::kMillisecond);

// The run: 10,000 items with duplicate check, discount, automatic sequence and customer-number
// line become 2,000 payments, one transaction each.
void Import(benchmark::State& state) {
  Daten();
  Datenbank& db = *Zustand().Datenbank();
  ImportSelektionsErgebnis e = ImportSelektion::Selektieren(db, Zustand().AdressQuelle(), ImportAuswahl{});
  const std::vector<ImportVorgang> vorgaenge = ImportVorgaengeLesen(*e.daten);
  ImportLaufOptionen o;
  o.quelle = Zustand().AdressQuelle();
  o.formularZahlart = Zahlart::BasisLastschrift;
  o.vorlage = ZeilenvorlagenVorgabe();
  for (auto _ : state) {
    OhneFragen frager;
    const ImportErgebnis ergebnis = ImportAusfuehren(db, vorgaenge, o, frager);
    if (ergebnis.zahlungen != kKonten || ergebnis.importiert != kKonten * kPostenJeKonto) state.SkipWithError("Lauf");
    state.PauseTiming();
    db.Ausfuehren("DELETE FROM Zahlungen WHERE Name <> 'Früher'");
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kKonten * kPostenJeKonto);
}
BENCHMARK(Import)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
