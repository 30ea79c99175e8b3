#pragma once

#include <sqlite3.h>

#include <QString>
#include <QVariantList>

#include "platform/db/DbFehler.h"

class Datenbank;

// Internal: one prepared statement, finalised with the object. Preparing honours the database's
// fault-injection seam.
class Anweisung {
 public:
  Anweisung() = default;
  ~Anweisung();
  Anweisung(const Anweisung&) = delete;
  Anweisung& operator=(const Anweisung&) = delete;
  Anweisung(Anweisung&& o) noexcept : m_stmt(o.m_stmt) { o.m_stmt = nullptr; }
  Anweisung& operator=(Anweisung&& o) noexcept;

  // Prepares the first statement of `sql`; `rest` (optional) receives the unparsed remainder.
  DbFehler Vorbereiten(Datenbank& db, const QString& sql, QString* rest = nullptr);
  DbFehler Binden(const QVariantList& parameter);
  // SQLITE_ROW -> true (row available), SQLITE_DONE -> false; failures into `fehler`.
  bool Schritt(DbFehler& fehler);
  DbFehler Zuruecksetzen();

  sqlite3_stmt* Handle() const { return m_stmt; }
  bool Leer() const { return m_stmt == nullptr; }

 private:
  sqlite3_stmt* m_stmt = nullptr;
  sqlite3* m_db = nullptr;
};

// Error of the connection in our form.
DbFehler SqliteFehler(sqlite3* db);
DbFehler SqliteFehler(sqlite3* db, int code);
