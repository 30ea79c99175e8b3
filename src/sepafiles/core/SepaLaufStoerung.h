#pragma once

#include <QString>

#include <functional>

// Fault injection for tests: each callback runs before the real step and fails it by returning an
// error number other than 0 (with `beschreibung` set when wanted). Database statements fail through
// Datenbank::SetzeStoerung.
struct SepaLaufStoerung {
  std::function<int(const QString& pfad, QString& beschreibung)> Schreiben;       // a temporary file
  std::function<int(const QString& von, const QString& nach, QString& beschreibung)> Umbenennen;
  std::function<int(const QString& pfad, QString& beschreibung)> Archivieren;     // an archive copy
  // The marking step: the orders are read and every file is complete, nothing is marked yet (a test
  // may also change the database from another connection here and return 0).
  std::function<int(QString& beschreibung)> Markieren;
};
