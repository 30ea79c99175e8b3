// The payment form at 100,000 open credit transfers: opening the window (browse query, total,
// first payment with its lines), moving through 1,000 payments (lines loaded each time) and saving
// 1,000 payments through "Ändern" and "Speichern", and steering to a payment by its number.
#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "payments/FormularZahlung.h"
#include "platform/db/Datenbank.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/MeldungsRekorder.h"

namespace {

constexpr int Zahlungen = 100000;

bool DatenbankAnlegen() {
  auto db = Datenbank::InSpeicher();
  QFile f(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
  if (!f.open(QIODevice::ReadOnly) || db->SkriptAusfuehren(QString::fromUtf8(f.readAll()))) return false;
  if (db->BeginTrans()) return false;
  for (int i = 1; i <= Zahlungen; ++i) {
    const QVariant betrag = QVariant::fromValue(Waehrung::AusCent(1000 + i % 5000));
    if (db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art, Name, Bank, BIC, IBAN, Verwendungszweck1, ZahlungGesamt, "
                       "\"Fällig\") VALUES (1, 'G', ?, 'Testbank', 'COBADEFFXXX', 'DE89370400440532013000', ?, ?, "
                       "'2024-03-28')",
                       {QStringLiteral("Empfänger %1").arg(i), QStringLiteral("RG %1").arg(i), betrag}))
      return false;
    const qint64 nr = db->LetzteEinfuegeNr();
    if (db->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPBetrag, ZahlungsBetrag) "
                       "VALUES (?, 1, ?, ?, ?)",
                       {nr, QStringLiteral("RG %1").arg(i), betrag, betrag}))
      return false;
  }
  if (db->CommitTrans()) return false;
  Zustand().DatenbankUebernehmen(std::move(db), nullptr, AdressQuellenInfo::Intern());
  Zustand().AktuelleAbsenderNrSetzen(1);
  Optionsschalter o;
  o.NeuMitSuchliste = false;
  Zustand().OptionenSetzen(o);
  return true;
}

std::unique_ptr<FormularZahlung> Oeffnen() {
  auto f = std::make_unique<FormularZahlung>();
  f->resize(1000, 700);
  f->show();
  QApplication::processEvents();
  return f;
}

void FensterOeffnen(benchmark::State& state) {
  for (auto _ : state) {
    auto f = Oeffnen();
    benchmark::DoNotOptimize(f->AnzahlZahlungen());
    if (f->AnzahlZahlungen() != Zahlungen) state.SkipWithError("falsche Anzahl");
  }
}
BENCHMARK(FensterOeffnen)->Unit(benchmark::kMillisecond)->Iterations(3);

void Blaettern1000(benchmark::State& state) {
  auto f = Oeffnen();
  DatenGitter* g = f->Browsegitter();
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) g->SetzeAktuelleZelle(i * 97 % Zahlungen, 0);
    benchmark::DoNotOptimize(f->AktuelleZahlungNr());
  }
}
BENCHMARK(Blaettern1000)->Unit(benchmark::kMillisecond)->Iterations(3);

void Speichern1000(benchmark::State& state) {
  auto f = Oeffnen();
  MeldungsRekorder meldungen;
  DatenGitter* g = f->Browsegitter();
  int runde = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      g->SetzeAktuelleZelle(i, 0);
      f->Befehl(QStringLiteral("Ändern"));
      f->Maske(0)->WertSetzen(QStringLiteral("Geändert %1 %2").arg(runde).arg(i));
      f->Befehl(QStringLiteral("Neu"));  // "Speichern<F9>"
    }
    ++runde;
  }
  if (meldungen.Anzahl() > 0) state.SkipWithError(qPrintable(meldungen.Letzter().text));
}
BENCHMARK(Speichern1000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Steering to a payment by its number (after a save, a cancel, an import): the last listed one and
// back to the first, as a newly stored payment sits at the end of the list.
void Ansteuern(benchmark::State& state) {
  auto f = Oeffnen();
  for (auto _ : state) {
    if (!f->ZahlungAnsteuern(Zahlungen) || f->AktuelleZahlungNr() != Zahlungen) state.SkipWithError("letzte nicht gefunden");
    if (!f->ZahlungAnsteuern(1) || f->AktuelleZahlungNr() != 1) state.SkipWithError("erste nicht gefunden");
  }
}
BENCHMARK(Ansteuern)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir heim;
  qputenv("TAMOSEPA_EINSTELLUNGEN", QFile::encodeName(heim.filePath(QStringLiteral("einstellungen.ini"))));
  qputenv("TAMOSEPA_PROGRAMMVERZEICHNIS", QFile::encodeName(heim.filePath(QStringLiteral("programm"))));
  QApplication app(argc, argv);
  Uhr::Festhalten(QDateTime(QDate(2024, 3, 12), QTime(10, 0)));
  if (!DatenbankAnlegen()) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Zustand().DatenbankSchliessen();
  return 0;
}
