#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A temporary folder for one test; removed with the object.
class TestOrdner {
 public:
  TestOrdner();
  QString Pfad() const { return m_dir.path(); }
  // Full path of a file inside the folder.
  QString Datei(const QString& name) const;
  // The names of the files in the folder (hidden ones too), sorted.
  QStringList Dateien() const;
  // The shared folder beside the clone (bank-code files, schemas); empty when absent.
  static QString SharedOrdner();

  // A file's bytes (empty when it cannot be read); a file written with `inhalt` (replaced).
  static QByteArray Lesen(const QString& pfad);
  static void Schreiben(const QString& pfad, const QByteArray& inhalt);

 private:
  QTemporaryDir m_dir;
};

// While it lives, files of this process may not grow beyond `bytes` (RLIMIT_FSIZE; the signal is ignored,
// so a write stores what fits and then fails): a full disk for real.
class Dateigroessengrenze {
 public:
  explicit Dateigroessengrenze(long long bytes);
  ~Dateigroessengrenze();
  Dateigroessengrenze(const Dateigroessengrenze&) = delete;
  Dateigroessengrenze& operator=(const Dateigroessengrenze&) = delete;

 private:
  long long m_vorher = 0;
  void (*m_handler)(int) = nullptr;
};
