// Building the SEPA documents of a large run, and the pre-check of its orders.
#include <benchmark/benchmark.h>

#include "zahlungsverkehr/Auftragspruefung.h"
#include "sepafiles/core/SepaDokument.h"

namespace {

const QDateTime Zeitpunkt(QDate(2024, 6, 5), QTime(14, 5, 9));

QList<Zahlungsauftrag> Auftraege(int anzahl, bool lastschrift) {
  QList<Zahlungsauftrag> liste;
  liste.reserve(anzahl);
  for (int i = 1; i <= anzahl; ++i) {
    Zahlungsauftrag a;
    a.ZahlungNr = i;
    a.Art = lastschrift ? QStringLiteral("L") : QStringLiteral("G");
    a.Name = QStringLiteral("Müller & Söhne Handelsgesellschaft Nr. %1").arg(i);
    a.IBAN = QStringLiteral("DE89370400440532013000");
    a.BIC = (i % 3) ? QStringLiteral("COBADEFFXXX") : QString();
    a.Betrag = Waehrung::AusCent(100 + i % 100000);
    a.Verwendungszweck1 = QStringLiteral("Rechnung %1").arg(i);
    for (int z = 0; z < 1 + i % 5; ++z)
      a.Zeilen.append({QStringLiteral("RE %1-%2 vom 01.03.24 abzgl. Skonto").arg(i).arg(z), z == 0 ? a.Betrag : Waehrung()});
    a.EinzelReferenz = (i % 2) ? QStringLiteral("E2E-%1").arg(i) : QString();
    a.MandatReferenz = QStringLiteral("M-%1").arg(i);
    a.MandatDatum = QDate(2023, 1, 1);
    a.MandatSequenz = lastschrift ? 1 + i % 4 : 0;
    liste.append(a);
  }
  return liste;
}

SepaAbsender Absender() {
  return SepaAbsender{QStringLiteral("Tamo Handel GmbH"), QStringLiteral("DE89370400440532013000"),
                      QStringLiteral("COBADEFFXXX"), QStringLiteral("DE98ZZZ09999999999"), QString()};
}

void Bauen(benchmark::State& state, SepaArt art, bool aufteilen) {
  const QList<Zahlungsauftrag> auftraege = Auftraege(int(state.range(0)), art != SepaArt::Ueberweisung);
  SepaOptionen o;
  o.Art = art;
  o.AufteilenNachMandatArt = aufteilen;
  o.AutoEinzelReferenz = true;
  o.Zeitpunkt = Zeitpunkt;
  o.Erstellungsdatum = Zeitpunkt.date();
  qint64 bytes = 0;
  for (auto _ : state) {
    const SepaErgebnis e = SepaDokument::Bauen(auftraege, Absender(), o, QStringLiteral("R100"));
    if (!e.Ok()) state.SkipWithError("refused");
    for (const SepaDatei& d : e.Dateien) bytes += d.Inhalt.size();
    benchmark::DoNotOptimize(e);
  }
  state.SetBytesProcessed(bytes);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Ueberweisungen(benchmark::State& s) { Bauen(s, SepaArt::Ueberweisung, false); }
void BM_Lastschriften(benchmark::State& s) { Bauen(s, SepaArt::BasisLastschrift, false); }
void BM_LastschriftenAufgeteilt(benchmark::State& s) { Bauen(s, SepaArt::BasisLastschrift, true); }

void BM_Vorpruefung(benchmark::State& state) {
  const QList<Zahlungsauftrag> auftraege = Auftraege(int(state.range(0)), true);
  for (auto _ : state) {
    int fehlerhaft = 0;
    for (const QList<Befund>& befunde : Auftragspruefung::LaufPruefen(auftraege, Zeitpunkt.date()))
      fehlerhaft += befunde.isEmpty() ? 0 : 1;
    if (fehlerhaft) state.SkipWithError("faulty orders");
    benchmark::DoNotOptimize(fehlerhaft);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_Ueberweisungen)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lastschriften)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LastschriftenAufgeteilt)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Vorpruefung)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
