#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

#include "platform/db/SqlText.h"
#include "platform/ui/MeldungsRekorder.h"
#include "testsupport/TestOrdner.h"

// A run of the program in temporary folders: own settings file, program folder, a data folder with
// a database made from the shipped schema, the program state reset, and the message recorder.
// Unexpected message boxes fail the test.
class Stammdatenumgebung {
 public:
  Stammdatenumgebung();
  ~Stammdatenumgebung();

  // Creates TamoSEPA.db in a sub-folder `name` from the schema (with optional extra statements).
  QString Datenordner(const QString& name, const char* skript = nullptr);
  // Makes `ordner` the data folder and opens its database (DatenbankOeffnen); fails the test on error.
  void Oeffnen(const QString& ordner);
  // A sibling database of the accounting program (address format 1) with two accounts.
  QString Buchhaltungsdatei();

  // Rows of a query on the open database as "a|b" texts.
  QStringList Zeilen(const SqlText& sql, const QVariantList& parameter = {}) const;

  TestOrdner& Ordner() { return m_ordner; }
  MeldungsRekorder& Rekorder() { return *m_rekorder; }

 private:
  TestOrdner m_ordner;
  QString m_vorherReg;
  QByteArray m_vorherProgramm;
  std::unique_ptr<MeldungsRekorder> m_rekorder;
};
