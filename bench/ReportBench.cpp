// The shipped payment list printed to PDF over a file database: 10,000 and 100,000 remittance lines
// (a third of the orders with one, two and three lines), with the columns a payment print adds, through
// the print driver and the engine without windows (groups kept together, sums carried forward).
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

#include "platform/db/Recordset.h"
#include "platform/report/core/PdfReportengine.h"
#include "printing/core/ReportDrucken.h"
#include "sepafiles/core/Zahlungssumme.h"
#include "sepafiles/druck/Zahlungslistendaten.h"

namespace {

struct Bestand {
  QTemporaryDir ordner;
  std::unique_ptr<Datenbank> db;
  std::unique_ptr<Recordset> absender;

  explicit Bestand(int zeilen) {
    QFile schema(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
    if (!schema.open(QIODevice::ReadOnly)) std::abort();
    DbFehler f;
    db = Datenbank::Oeffnen(ordner.filePath(QStringLiteral("TamoSEPA.db")), f, true);
    if (!db || db->SkriptAusfuehren(QString::fromUtf8(schema.readAll()))) std::abort();
    db->Ausfuehren("UPDATE Absender SET Name = 'Tamo Handel GmbH', IBAN = 'DE89370400440532013000' WHERE AbsenderNr = 1");
    Transaktion t(*db);
    int geschrieben = 0;
    for (int i = 1; geschrieben < zeilen; ++i) {
      const int anzahl = std::min(1 + i % 3, zeilen - geschrieben);
      db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art, Name, IBAN, BIC, ZahlungGesamt, \"Fällig\", EinzelReferenz) "
                     "VALUES (1, 'G', ?, 'DE89370400440532013000', 'COBADEFFXXX', ?, '2025-04-01', ?)",
                     {QVariant(QStringLiteral("Empfänger %1 Müller & Söhne").arg(i)),
                      QVariant::fromValue(Waehrung::AusCent(qint64(anzahl) * (1000 + i))), QStringLiteral("E2E-%1").arg(i)});
      const qint64 nr = db->LetzteEinfuegeNr();
      for (int z = 1; z <= anzahl; ++z)
        db->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, ZahlungsBetrag) "
                       "VALUES (?, ?, ?, ?)",
                       {QVariant(nr), QVariant(z), QStringLiteral("Rechnung %1-%2").arg(i).arg(z),
                        QVariant::fromValue(Waehrung::AusCent(1000 + i))});
      geschrieben += anzahl;
    }
    if (t.Commit()) std::abort();
    absender = Recordset::Oeffnen(*db, Abfrage::Tabelle(QStringLiteral("Absender")), RecordsetTyp::Tabelle, f);
  }
};

void ZahlungslisteAlsPdf(benchmark::State& state) {
  Bestand bestand(int(state.range(0)));
  const QString pdf = bestand.ordner.filePath(QStringLiteral("Zahlungsliste.pdf"));
  for (auto _ : state) {
    Abfrage a;
    a.quelle = SqlText("Zahlungen INNER JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr");
    a.sortierung = SqlText("Art, Zahlungen.ZahlungNr, Verwendungszweck.LfdNr");
    DbFehler f;
    std::unique_ptr<Recordset> rs = Recordset::Oeffnen(*bestand.db, a, RecordsetTyp::Dynaset, f);
    if (!rs) std::abort();
    Zahlungslistendaten daten(std::make_unique<RecordsetReportdaten>(*rs));
    Druckanfrage anfrage;
    anfrage.ReportDatei = QStringLiteral(TAMO_SOURCE_DIR "/resources/Zahlungsliste.LST");
    anfrage.DruckZiel = Report::ZielPdf;
    anfrage.PdfDateiname = QFileInfo(pdf).fileName();
    anfrage.PdfPfad = QFileInfo(pdf).absolutePath();
    PdfReportengine engine;
    const Waehrung summe = VorzeichenSumme(*bestand.db, a.bedingung, f).value_or(Waehrung());
    const Druckformular formular{.titel = QStringLiteral("Zahlungsliste"),
                                 .absenderDaten = bestand.absender.get(),
                                 .absenderNr = 1,
                                 .reportDatum = QDate(2025, 3, 14)};
    const Druckergebnis r = ReportDrucken(
        daten, anfrage, ZahlungslistenVariablen(QStringLiteral("Alle"), QStringLiteral("Alle"), summe), formular, engine);
    if (!r.Ok()) std::abort();
    state.counters["Seiten"] = double(engine.Dokument().seiten.size());
  }
  state.counters["KiB"] = double(QFileInfo(pdf).size()) / 1024.0;
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ZahlungslisteAlsPdf)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
