#pragma once

#include <sqlite3.h>

#include <QString>
#include <QVariantList>

#include "platform/db/DbFehler.h"

class Datenbank;

// Internal: one prepared statement, finalised with the object. Preparing honours the database's
// fault-injection seam. A statement taken with `Wiederverwenden` goes back to the database's statement
// store instead (reset, bindings cleared); such an object must not outlive its Datenbank.
class Anweisung {
 public:
  Anweisung() = default;
  ~Anweisung();
  Anweisung(const Anweisung&) = delete;
  Anweisung& operator=(const Anweisung&) = delete;
  Anweisung(Anweisung&& o) noexcept;
  Anweisung& operator=(Anweisung&& o) noexcept;

  // Prepares the first statement of `sql`; `rest` (optional) receives the unparsed remainder.
  DbFehler Vorbereiten(Datenbank& db, const QString& sql, QString* rest = nullptr);
  // The same, but takes a kept statement of the same text and keeps this one afterwards (single
  // statements only; a text with more statements is prepared as by Vorbereiten).
  DbFehler Wiederverwenden(Datenbank& db, const QString& sql, QString* rest = nullptr);
  DbFehler Binden(const QVariantList& parameter);
  // SQLITE_ROW -> true (row available), SQLITE_DONE -> false; failures into `fehler`.
  bool Schritt(DbFehler& fehler);
  DbFehler Zuruecksetzen();

  sqlite3_stmt* Handle() const { return m_stmt; }
  bool Leer() const { return m_stmt == nullptr; }

 private:
  void Freigeben();
  DbFehler VorbereitenIntern(Datenbank& db, const QString& sql, QString* rest, bool behalten);

  sqlite3_stmt* m_stmt = nullptr;
  sqlite3* m_db = nullptr;
  Datenbank* m_speicher = nullptr;   // set when the statement goes back to the store
  QByteArray m_text;                 // key in the store
  quint64 m_schemaStand = 0;
};

// Error of the connection in our form: the extended result code as the number, a German text that says what
// to do as the description, with SQLite's own text after it.
DbFehler SqliteFehler(sqlite3* db);
DbFehler SqliteFehler(sqlite3* db, int code);
// The same from a result code, SQLite's text and the errno behind an I/O failure (0 when none).
DbFehler SqliteFehlerBeschreiben(int code, const QString& sqliteText, int system);
