#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The steps of a run between which it may be interrupted (kill tests stop the process there).
enum class SepaLaufSchritt {
  VorDenDateien,       // the run is noted, no temporary file yet
  NachDenDateien,      // every file complete under its temporary name, nothing marked
  NachDerMarkierung,   // marks, reference and pending renames committed
  NachDemUmbenennen,   // one file in place (the callback gets its index)
  NachDemAufraeumen,   // folder synced, pending records cleared
};

// Fault injection for tests: each callback runs before the real step and fails it by returning an
// error number other than 0 (with `beschreibung` set when wanted). Database statements fail through
// Datenbank::SetzeStoerung, system calls through SichereDateien::StoerungSetzen.
struct SepaLaufStoerung {
  std::function<int(const QString& pfad, QString& beschreibung)> Schreiben;       // a temporary file
  std::function<int(const QString& von, const QString& nach, QString& beschreibung)> Umbenennen;
  std::function<int(const QString& pfad, QString& beschreibung)> Archivieren;     // an archive copy
  // The marking step: the orders are read and every file is complete, nothing is marked yet (a test
  // may also change the database from another connection here and return 0).
  std::function<int(QString& beschreibung)> Markieren;
  std::function<void(SepaLaufSchritt schritt, int datei)> Schritt;                // reached a step
  // Changes the bytes of file `datei` (its index) as they are written: a file the schemas must refuse. Called
  // on the writing thread with each block.
  std::function<void(int datei, QByteArray& block)> Verfaelschen;
};
