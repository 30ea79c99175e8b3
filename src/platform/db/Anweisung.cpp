#include "platform/db/Anweisung.h"

#include "platform/db/Datenbank.h"

namespace {

// A busy database in German: the lock belongs to another workstation (the wait for it has run out).
QString BelegtBeschreibung() {
  return QStringLiteral("Die Datenbank wird gerade an einem anderen Arbeitsplatz benutzt und ist gesperrt. "
                        "Bitte versuchen Sie es in einigen Sekunden noch einmal.");
}

}  // namespace

DbFehler SqliteFehler(sqlite3* db) {
  DbFehler f;
  f.Nummer = db ? sqlite3_extended_errcode(db) : SQLITE_MISUSE;
  f.Beschreibung = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("Keine Datenbank geöffnet");
  if (f.Nummer == 0) f.Nummer = SQLITE_ERROR;
  if ((f.Nummer & 0xff) == SQLITE_BUSY) f.Beschreibung = BelegtBeschreibung();
  return f;
}

DbFehler SqliteFehler(sqlite3* db, int code) {
  DbFehler f = SqliteFehler(db);
  // errcode of the connection may lag behind a code returned directly (e.g. from sqlite3_step in some paths)
  if ((f.Nummer & 0xff) != (code & 0xff)) {
    f.Nummer = code;
    f.Beschreibung = QString::fromUtf8(sqlite3_errstr(code));
  }
  if ((f.Nummer & 0xff) == SQLITE_BUSY) f.Beschreibung = BelegtBeschreibung();
  return f;
}

Anweisung::~Anweisung() { Freigeben(); }

void Anweisung::Freigeben() {
  if (m_stmt && m_speicher) m_speicher->AnweisungZurueckgeben(m_text, m_stmt, m_schemaStand);
  else sqlite3_finalize(m_stmt);
  m_stmt = nullptr;
  m_speicher = nullptr;
  m_text.clear();
}

Anweisung::Anweisung(Anweisung&& o) noexcept
    : m_stmt(o.m_stmt), m_db(o.m_db), m_speicher(o.m_speicher), m_text(std::move(o.m_text)),
      m_schemaStand(o.m_schemaStand) {
  o.m_stmt = nullptr;
  o.m_speicher = nullptr;
}

Anweisung& Anweisung::operator=(Anweisung&& o) noexcept {
  if (this != &o) {
    Freigeben();
    m_stmt = o.m_stmt;
    m_db = o.m_db;
    m_speicher = o.m_speicher;
    m_text = std::move(o.m_text);
    m_schemaStand = o.m_schemaStand;
    o.m_stmt = nullptr;
    o.m_speicher = nullptr;
  }
  return *this;
}

DbFehler Anweisung::Vorbereiten(Datenbank& db, const QString& sql, QString* rest) {
  return VorbereitenIntern(db, sql, rest, false);
}

DbFehler Anweisung::Wiederverwenden(Datenbank& db, const QString& sql, QString* rest) {
  return VorbereitenIntern(db, sql, rest, true);
}

namespace {
// Only blanks and separators after the statement: the text is one statement and may be kept.
bool NurTrenner(const char* p, const char* ende) {
  for (; p < ende; ++p)
    if (*p != ' ' && *p != '\t' && *p != '\n' && *p != '\r' && *p != ';') return false;
  return true;
}
}  // namespace

DbFehler Anweisung::VorbereitenIntern(Datenbank& db, const QString& sql, QString* rest, bool behalten) {
  Freigeben();
  m_db = db.Handle();
  if (!m_db) return {SQLITE_MISUSE, QStringLiteral("Keine Datenbank geöffnet")};
  if (db.StoerungFunktion()) {
    DbFehler f = db.StoerungFunktion()(sql);
    if (f) return f;
  }
  QByteArray utf8 = sql.toUtf8();
  if (behalten) {
    if (sqlite3_stmt* s = db.AnweisungAusleihen(utf8)) {
      m_stmt = s;
      m_speicher = &db;
      m_schemaStand = db.SchemaStand();
      m_text = std::move(utf8);
      if (rest) rest->clear();
      return {};
    }
  }
  const char* ende = nullptr;
  const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), static_cast<int>(utf8.size()),
                                    behalten ? SQLITE_PREPARE_PERSISTENT : 0, &m_stmt, &ende);
  if (rc != SQLITE_OK) {
    DbFehler f = SqliteFehler(m_db, rc);
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    return f;
  }
  const char* textEnde = utf8.constData() + utf8.size();
  if (rest) *rest = ende ? QString::fromUtf8(ende, static_cast<int>(textEnde - ende)) : QString();
  if (behalten && m_stmt && (!ende || NurTrenner(ende, textEnde))) {
    m_speicher = &db;
    m_schemaStand = db.SchemaStand();
    m_text = std::move(utf8);
  }
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
