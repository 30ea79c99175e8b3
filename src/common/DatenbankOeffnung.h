#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "platform/db/Datenbank.h"

// The careful opening of TamoSEPA.db. Before anything is written it checks the file (not empty, writable,
// an SQLite file, ours by its application id, a version this program knows, the expected tables, a quick
// integrity check); a file that fails stays untouched and the message names it. An older file of ours is
// copied to "<file>.v<n>.bak" (an existing copy is kept: then "<file>.v<n>.<k>.bak") and then migrated in one
// transaction. Then the journal: WAL on a local disk,
// the rollback journal on a network drive.
class DatenbankOeffnung {
 public:
  static constexpr int Version = 4;                    // PRAGMA user_version of the files this program writes
  static constexpr int AnwendungsKennung = 1414743376;   // PRAGMA application_id "TSEP"

  struct Ergebnis {
    std::unique_ptr<Datenbank> db;   // null when the file was refused
    DbFehler fehler;
    QString meldung;                 // the refusal for the user (German, names the file)
    QString hinweis;                 // something done on the way (a migration), to be shown once
    bool Ok() const { return db != nullptr; }
  };

  // `schemaSkript`: the text of the schema file (needed only when the file has to be migrated).
  static Ergebnis Oeffnen(const QString& datei, const QString& schemaSkript);

  // The tables every file of `version` has.
  static QStringList Tabellen(int version);
  // Migrates an open file of an older version to the schema of `schemaSkript` in one transaction: every
  // table is rebuilt with its new declaration, every row and value (rowids and counters included) kept, but
  // for the one spelling of Zahlungen.Art ("g", "l" or with blanks becomes "G" or "L"; any other stays, and
  // the order rules refuse it) and the sent message ids of a file before version 4, which are given their
  // sender's account (IBAN) instead of the sender record alone.
  static DbFehler Migrieren(Datenbank& db, const QString& schemaSkript);
  // "<file>.v1.bak" for version 1.
  static QString SicherungsDatei(const QString& datei, int version);
};
