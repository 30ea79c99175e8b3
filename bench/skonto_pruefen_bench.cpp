// The payment form's "Skonto" and "Prüfen" at 100,000 open credit transfers of one sender, each
// with one remittance line, on a database file (WAL, as at a workstation):
//   - a discount run over 10,000 marked lines in the dialog (the run's transaction, the grid read
//     again with its 10,000 marks, the footers) and its reset;
//   - the same run in the core alone, and a run over all 100,000 listed lines;
//   - opening the dialog over the 100,000 payments (rows, marks of the start payment, footers);
//   - the check of "Prüfen" over the 100,000 listed payments: with nothing to store (all faultless
//     and marked so), with every payment stored (every name cleaned, every payment faulty; stores in
//     transactions of 1,000), and with the comparison against 20,000 bank BICs; and the command in
//     the window with its result box and the restricted list.
#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

#include "common/Programmzustand.h"
#include "payments/FormularZahlung.h"
#include "payments/SkontoForm.h"
#include "payments/core/Pruefmodus.h"
#include "payments/core/SkontoLauf.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "platform/db/Datenbank.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/MeldungsRekorder.h"
#include "platform/ui/ZahlFeld.h"

namespace {

constexpr int Zahlungen = 100000;
constexpr int Zeilen = 10000;

struct Bestand {
  QTemporaryDir ordner;
  MeldungsRekorder meldungen;
  bool ok = false;

  Bestand() {
    QFile schema(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
    DbFehler f;
    auto db = Datenbank::Oeffnen(ordner.filePath(QStringLiteral("TamoSEPA.db")), f, true);
    if (!db || !schema.open(QIODevice::ReadOnly) || db->SkriptAusfuehren(QString::fromUtf8(schema.readAll()))) return;
    {
      Transaktion t(*db);
      for (int i = 1; i <= Zahlungen; ++i) {
        const QVariant betrag = QVariant::fromValue(Waehrung::AusCent(1000 + i % 5000));
        db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art, Name, Bank, BIC, IBAN, Verwendungszweck1, ZahlungGesamt) "
                       "VALUES (1, 'G', ?, 'Testbank', 'COBADEFFXXX', 'DE89370400440532013000', ?, ?)",
                       {QStringLiteral("Empfänger %1").arg(i), QStringLiteral("RG %1").arg(i), betrag});
        const qint64 nr = db->LetzteEinfuegeNr();
        db->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPBetrag, ZahlungsBetrag) "
                       "VALUES (?, 1, ?, ?, ?)",
                       {nr, QStringLiteral("RG %1").arg(i), betrag, betrag});
      }
      if (t.Commit()) return;
    }
    Zustand().DatenbankUebernehmen(std::move(db), nullptr, AdressQuellenInfo::Intern());
    Zustand().AktuelleAbsenderNrSetzen(1);
    ok = true;
  }
};

Bestand& Daten() {
  static Bestand b;
  return b;
}

Bedingung Liste() {
  ZahlungenFilter f;
  f.absenderNr = 1;
  return ZahlungenBedingung(f);
}

QList<qint64> ErsteZeilen(int anzahl) {
  QList<qint64> l;
  for (int i = 1; i <= anzahl; ++i) l << i;
  return l;
}

SkontoVorgabe ZweiProzent() {
  SkontoVorgabe v;
  v.prozent = Waehrung::AusCent(200);
  return v;
}

std::unique_ptr<SkontoForm> DialogOeffnen() {
  auto d = std::make_unique<SkontoForm>();
  d->Daten(Liste(), 1, QApplication::font());
  d->resize(900, 600);
  d->show();
  QApplication::processEvents();
  return d;
}

void SkontoDialogOeffnen(benchmark::State& state) {
  if (!Daten().ok) state.SkipWithError("Bestand");
  for (auto _ : state) {
    auto d = DialogOeffnen();
    if (d->Gitter()->ZeilenAnzahl() != Zahlungen) state.SkipWithError("Zeilen");
  }
}
BENCHMARK(SkontoDialogOeffnen)->Unit(benchmark::kMillisecond)->Iterations(3);

// "Abzug vornehmen" on 10,000 marked lines (arg 0), or "Änderungen zurücksetzen" after it (arg 1);
// the other step runs untimed.
void SkontoImDialog10000MarkierteZeilen(benchmark::State& state) {
  if (!Daten().ok) state.SkipWithError("Bestand");
  const bool zuruecksetzen = state.range(0) == 1;
  auto d = DialogOeffnen();
  d->Gitter()->MarkenLeeren();
  for (int z = 0; z < Zeilen; ++z) d->Gitter()->MarkeSetzen(z);
  d->SkontoProzent()->WertSetzen(Waehrung::AusCent(200));
  for (auto _ : state) {
    if (zuruecksetzen) state.PauseTiming();
    d->AbzugVornehmen();
    if (d->Sitzung().ZeilenAnzahl() != Zeilen || d->Gitter()->MarkenAnzahl() != Zeilen) state.SkipWithError("Lauf");
    if (zuruecksetzen) state.ResumeTiming();
    else state.PauseTiming();
    d->Zuruecksetzen();
    if (d->Sitzung().Geaendert()) state.SkipWithError("Zuruecksetzen");
    if (!zuruecksetzen) state.ResumeTiming();
  }
}
BENCHMARK(SkontoImDialog10000MarkierteZeilen)->ArgName("zuruecksetzen")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// The core alone: one transaction over the first n lines (read, compute, write, n totals).
void SkontoKern(benchmark::State& state) {
  if (!Daten().ok) state.SkipWithError("Bestand");
  Datenbank& db = *Zustand().Datenbank();
  const QList<qint64> zeilen = ErsteZeilen(int(state.range(0)));
  for (auto _ : state) {
    SkontoSitzung s;
    if (!s.Abziehen(db, zeilen, ZweiProzent()).Ok()) state.SkipWithError("Lauf");
    state.PauseTiming();
    s.Zuruecksetzen(db);
    state.ResumeTiming();
  }
}
BENCHMARK(SkontoKern)->ArgName("zeilen")->Arg(Zeilen)->Arg(Zahlungen)->Unit(benchmark::kMillisecond)->Iterations(3);

// --- Prüfen ------------------------------------------------------------------------------------

const QDate Heute(2024, 3, 10);

// All payments faultless and stored so: the check reads, judges and writes nothing.
void PruefenNichtsZuSpeichern(benchmark::State& state) {
  if (!Daten().ok) state.SkipWithError("Bestand");
  Datenbank& db = *Zustand().Datenbank();
  ZahlungenPruefen(db, Liste(), false, Heute);
  for (auto _ : state) {
    const PruefmodusErgebnis e = ZahlungenPruefen(db, Liste(), false, Heute);
    if (e.geprueft != Zahlungen || e.fehlerhaft != 0) state.SkipWithError("Ergebnis");
  }
}
BENCHMARK(PruefenNichtsZuSpeichern)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every name carries a character outside the set and every IBAN is wrong: 100,000 payments are
// cleaned, judged faulty and stored. The names are put back between the iterations.
void PruefenAllesSpeichern(benchmark::State& state) {
  if (!Daten().ok) state.SkipWithError("Bestand");
  Datenbank& db = *Zustand().Datenbank();
  for (auto _ : state) {
    state.PauseTiming();
    db.Ausfuehren("UPDATE Zahlungen SET Name = Name || '!', IBAN = 'DE89370400440532013001', Fehler = 0");
    state.ResumeTiming();
    const PruefmodusErgebnis e = ZahlungenPruefen(db, Liste(), false, Heute);
    if (e.geprueft != Zahlungen || e.fehlerhaft != Zahlungen || e.korrekturen != Zahlungen) state.SkipWithError("Ergebnis");
  }
  db.Ausfuehren("UPDATE Zahlungen SET IBAN = 'DE89370400440532013000', Fehler = 0");
}
BENCHMARK(PruefenAllesSpeichern)->Unit(benchmark::kMillisecond)->Iterations(3);

void PruefenMitBicAbgleich(benchmark::State& state) {
  if (!Daten().ok) state.SkipWithError("Bestand");
  Datenbank& db = *Zustand().Datenbank();
  static bool banken = false;
  if (!banken) {
    Transaktion t(db);
    for (int i = 0; i < 20000; ++i)
      db.Ausfuehren("INSERT INTO Bankverbindung (BLZ, BIC, Bank) VALUES (?, ?, 'Bank')",
                    {QString::number(10000000 + i), QStringLiteral("BANK%1XX").arg(i % 100, 2, 10, QLatin1Char('0'))});
    db.Ausfuehren("INSERT INTO Bankverbindung (BLZ, BIC, Bank) VALUES ('37040044', 'cobadeff', 'Commerzbank')");
    t.Commit();
    banken = true;
  }
  for (auto _ : state) {
    const PruefmodusErgebnis e = ZahlungenPruefen(db, Liste(), true, Heute);
    if (e.geprueft != Zahlungen || e.falscheBic != 0) state.SkipWithError("Ergebnis");
  }
}
BENCHMARK(PruefenMitBicAbgleich)->Unit(benchmark::kMillisecond)->Iterations(3);

// "Prüfen" in the window with every payment faulty: the check, the result box, the list of the
// faulty payments; then "Prüfen" again back to the full list.
void PruefenImFenster(benchmark::State& state) {
  if (!Daten().ok) state.SkipWithError("Bestand");
  Datenbank& db = *Zustand().Datenbank();
  auto f = std::make_unique<FormularZahlung>();
  f->resize(1000, 700);
  f->show();
  QApplication::processEvents();
  for (auto _ : state) {
    state.PauseTiming();
    db.Ausfuehren("UPDATE Zahlungen SET IBAN = 'DE89370400440532013001', Fehler = 0");
    state.ResumeTiming();
    f->Befehl(QStringLiteral("Prüfen"));
    if (f->AnzahlZahlungen() != Zahlungen || !f->ZustandDerMaske().NurFehlerhafte()) state.SkipWithError("Liste");
    f->Befehl(QStringLiteral("Prüfen"));
  }
  db.Ausfuehren("UPDATE Zahlungen SET IBAN = 'DE89370400440532013000', Fehler = 0");
}
BENCHMARK(PruefenImFenster)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The dialogs' settings go to a file of the run, never to the user's.
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir heim;
  qputenv("TAMOSEPA_EINSTELLUNGEN", QFile::encodeName(heim.filePath(QStringLiteral("einstellungen.ini"))));
  qputenv("TAMOSEPA_PROGRAMMVERZEICHNIS", QFile::encodeName(heim.filePath(QStringLiteral("programm"))));
  QApplication app(argc, argv);
  ::benchmark::Initialize(&argc, argv);
  ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  Zustand().DatenbankSchliessen();
  return 0;
}
