#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// A child process of a test that talks in lines on stdin/stdout (the program or a driver run for real,
// so that it can be killed with SIGKILL).
class Kindprozess {
 public:
  // Starts `programm` with `argumente`; `umgebung` entries "NAME=wert" are added to the test's environment.
  Kindprozess(const QString& programm, const QStringList& argumente, const QStringList& umgebung = {});
  ~Kindprozess();

  bool Laeuft() const { return m_prozess.state() == QProcess::Running; }
  qint64 Pid() const { return m_prozess.processId(); }
  // The next line of stdout (without the line break); empty with `ok` false after the timeout or the end.
  QString Zeile(int ms = 20000, bool* ok = nullptr);
  void Senden(const QString& zeile);
  // SIGKILL and wait for the end.
  void Toeten();
  // Waits for a normal end; the exit code, -1 on timeout or crash.
  int Ende(int ms = 30000);
  QString Fehlerausgabe();

 private:
  QProcess m_prozess;
  QByteArray m_puffer;
};

// The process (other than this one) holding a POSIX lock on any byte of `datei`, 0 when none.
// SQLite keeps such locks on the open database (and its -shm) for as long as a connection uses it.
pid_t SperrendeProzess(const QString& datei);
