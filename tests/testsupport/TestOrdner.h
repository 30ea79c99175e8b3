#pragma once

#include <QString>
#include <QTemporaryDir>

// A temporary folder for one test; removed with the object.
class TestOrdner {
 public:
  TestOrdner();
  QString Pfad() const { return m_dir.path(); }
  // Full path of a file inside the folder.
  QString Datei(const QString& name) const;
  // The shared folder beside the clone (bank-code files, schemas); empty when absent.
  static QString SharedOrdner();

 private:
  QTemporaryDir m_dir;
};
