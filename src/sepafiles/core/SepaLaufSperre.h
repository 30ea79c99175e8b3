#pragma once

#include <QString>

class Datenbank;

// The lock that one SEPA run at a time holds on its database (a file beside it, locked by the system
// and given up when the process ends, however it ends). A database in memory needs none.
class SepaLaufSperre {
 public:
  explicit SepaLaufSperre(const Datenbank& db);
  ~SepaLaufSperre();
  SepaLaufSperre(const SepaLaufSperre&) = delete;
  SepaLaufSperre& operator=(const SepaLaufSperre&) = delete;
  bool Erhalten() const { return m_erhalten; }
  static QString Datei(const Datenbank& db);
  // True while a process (this one included) holds the lock of `db`; asks without taking it, so that a run
  // starting meanwhile is not refused.
  static bool Belegt(const Datenbank& db);
  static QString BelegtMeldung();

 private:
  int m_fd = -1;
  bool m_erhalten = false;
};
