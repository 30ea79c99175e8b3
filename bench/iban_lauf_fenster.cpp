// The address window's "Import" at scale, as the bookkeeper starts it: the window open over the
// address table, nothing new to take over (an empty Tamo-Varix file), then the IBAN conversion over
// all of the window's addresses and the reload of its grid. Headless (offscreen); messages are
// answered and printed.
//
//   iban-lauf --db DATEI --erzeugen N      fills a new database with N addresses without IBAN
//   iban-lauf --db DATEI [--zeiten]        the import in the window over a copy of DATEI's addresses
//
// Prints "Adressen: N" and "Mit IBAN: N"; --zeiten adds the time of the import and of one reload of
// the grid alone on standard error. Returns 0 on success, 1 on failure, 2 on wrong arguments.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

#include "IbanAdressen.h"
#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "masterdata/AdressenImport.h"
#include "masterdata/FormAdressen.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/MeldungsRekorder.h"

namespace {

// Processor time of this process: on a loaded machine the wall-clock time also counts the waits.
qint64 ProzessorMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<qint64>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

int Erzeugen(const QString& datei, qint64 anzahl) {
  BankleitzahlTabelle tabelle;
  if (const auto fehler = tabelle.Laden(IbanBenchBlzDatei())) {
    std::fprintf(stderr, "%s\n", qPrintable(*fehler));
    return 1;
  }
  QFile::remove(datei);
  DbFehler f;
  auto db = IbanBenchSchemaDatenbank(datei, f);
  if (db) f = IbanBenchAdressenAnlegen(*db, tabelle, anzahl, SqlText("Adressen"));
  if (f) {
    std::fprintf(stderr, "Datenbank: %s\n", qPrintable(f.Beschreibung));
    return 1;
  }
  return 0;
}

qint64 Zaehlen(const SqlText& sql) {
  DbFehler f;
  return Zustand().Datenbank()->Wert(sql, {}, f).value_or(QVariant()).toLongLong();
}

}  // namespace

int main(int argc, char** argv) {
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir heim;
  qputenv("TAMOSEPA_EINSTELLUNGEN", QFile::encodeName(heim.filePath(QStringLiteral("einstellungen.ini"))));
  const QString programm = heim.filePath(QStringLiteral("programm"));
  qputenv("TAMOSEPA_PROGRAMMVERZEICHNIS", QFile::encodeName(programm));
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  QString quelle;
  qint64 erzeugen = -1;
  bool zeiten = false;
  const QStringList arg = app.arguments().mid(1);
  for (qsizetype i = 0; i < arg.size(); ++i) {
    if (arg[i] == QLatin1String("--db") && i + 1 < arg.size()) quelle = arg[++i];
    else if (arg[i] == QLatin1String("--erzeugen") && i + 1 < arg.size()) erzeugen = arg[++i].toLongLong();
    else if (arg[i] == QLatin1String("--zeiten")) zeiten = true;
    else quelle.clear(), i = arg.size();
  }
  if (quelle.isEmpty()) {
    std::fprintf(stderr, "Aufruf: iban-lauf --db DATEI [--erzeugen N] [--zeiten]\n");
    return 2;
  }
  if (erzeugen >= 0) return Erzeugen(quelle, erzeugen);

  // the program's folders: the database copied into a data folder, the bank-code file in the program folder
  const QString daten = heim.filePath(QStringLiteral("daten"));
  QDir().mkpath(daten);
  QDir().mkpath(programm);
  if (!QFile::copy(quelle, QDir(daten).filePath(DatenbankDateiname)) ||
      !QFile::copy(IbanBenchBlzDatei(), QDir(programm).filePath(BankleitzahlTabelle::DateiName()))) {
    std::fprintf(stderr, "Datenbank oder Bundesbank-Datei nicht kopierbar\n");
    return 1;
  }
  Zustand().ProgrammVerzeichnisSetzen(programm + QDir::separator());
  Zustand().DatenVerzeichnisSetzen(daten);
  if (const StartErgebnis e = DatenbankOeffnen(); !e.Ok()) {
    std::fprintf(stderr, "%s\n", qPrintable(e.meldung));
    return 1;
  }
  // Tamo-Varix without new addresses
  const QString varix = heim.filePath(QStringLiteral("TamoVarix.db"));
  {
    DbFehler f;
    auto v = Datenbank::Oeffnen(varix, f, true);
    if (!v || (f = v->Ausfuehren("CREATE TABLE Adressen (OPKontoNr, Suchname, Name, Bank, BLZ, KontoNr)"))) {
      std::fprintf(stderr, "Tamo-Varix-Datei: %s\n", qPrintable(f.Beschreibung));
      return 1;
    }
  }
  AdressenImport::Anmelden();
  AdressenImport::DateiAuswahlSetzen([varix](QWidget*, const QString&) { return varix; });

  MeldungsRekorder meldungen;
  FormAdressen fenster(FormAdressen::Modus::Adressen);
  fenster.resize(1000, 600);
  fenster.show();
  QApplication::processEvents();

  QElapsedTimer uhr;
  uhr.start();
  fenster.Gitter()->FilterAnwenden();
  const qint64 neuladen = uhr.elapsed();
  uhr.restart();
  const qint64 prozessor = ProzessorMs();
  const bool ok = AdressenImport::Ausfuehren(fenster);
  const qint64 import = uhr.elapsed();
  const qint64 importProzessor = ProzessorMs() - prozessor;
  QApplication::processEvents();

  for (const MeldungsRekorder::Eintrag& e : meldungen.Eintraege())
    std::printf("Meldung: %s\n", qPrintable(QString(e.text).replace(QLatin1Char('\r'), QLatin1Char(' '))));
  std::printf("Adressen: %lld\nMit IBAN: %lld\n", Zaehlen("SELECT count(*) FROM Adressen"),
              Zaehlen("SELECT count(*) FROM Adressen WHERE IBAN IS NOT NULL"));
  if (zeiten) {
    std::fprintf(stderr, "Zeit Neuladen des Gitters allein: %lld ms\n", neuladen);
    std::fprintf(stderr, "Zeit Import im Fenster (Übernahme, IBAN-Konvertierung, Neuladen): %lld ms (Prozessorzeit %lld ms)\n",
                 import, importProzessor);
  }
  AdressenImport::DateiAuswahlSetzen({});
  return ok ? 0 : 1;
}
