#include "platform/db/Anweisung.h"

#include "platform/db/Datenbank.h"

DbFehler SqliteFehler(sqlite3* db) {
  DbFehler f;
  f.Nummer = db ? sqlite3_extended_errcode(db) : SQLITE_MISUSE;
  f.Beschreibung = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("Keine Datenbank geöffnet");
  if (f.Nummer == 0) f.Nummer = SQLITE_ERROR;
  return f;
}

DbFehler SqliteFehler(sqlite3* db, int code) {
  DbFehler f = SqliteFehler(db);
  // errcode of the connection may lag behind a code returned directly (e.g. from sqlite3_step in some paths)
  if ((f.Nummer & 0xff) != (code & 0xff)) {
    f.Nummer = code;
    f.Beschreibung = QString::fromUtf8(sqlite3_errstr(code));
  }
  return f;
}

Anweisung::~Anweisung() { sqlite3_finalize(m_stmt); }

Anweisung& Anweisung::operator=(Anweisung&& o) noexcept {
  if (this != &o) {
    sqlite3_finalize(m_stmt);
    m_stmt = o.m_stmt;
    m_db = o.m_db;
    o.m_stmt = nullptr;
  }
  return *this;
}

DbFehler Anweisung::Vorbereiten(Datenbank& db, const QString& sql, QString* rest) {
  sqlite3_finalize(m_stmt);
  m_stmt = nullptr;
  m_db = db.Handle();
  if (!m_db) return {SQLITE_MISUSE, QStringLiteral("Keine Datenbank geöffnet")};
  if (db.StoerungFunktion()) {
    DbFehler f = db.StoerungFunktion()(sql);
    if (f) return f;
  }
  const QByteArray utf8 = sql.toUtf8();
  const char* ende = nullptr;
  const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), static_cast<int>(utf8.size()), &m_stmt, &ende);
  if (rc != SQLITE_OK) {
    DbFehler f = SqliteFehler(m_db, rc);
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    return f;
  }
  if (rest) *rest = ende ? QString::fromUtf8(ende, static_cast<int>(utf8.constData() + utf8.size() - ende)) : QString();
  return {};
}

DbFehler Anweisung::Binden(const QVariantList& parameter) { return ParameterBinden(m_db, m_stmt, parameter); }

bool Anweisung::Schritt(DbFehler& fehler) {
  const int rc = sqlite3_step(m_stmt);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) fehler = SqliteFehler(m_db, rc);
  return false;
}

DbFehler Anweisung::Zuruecksetzen() {
  sqlite3_reset(m_stmt);
  sqlite3_clear_bindings(m_stmt);
  return {};
}
