#include "platform/db/Anweisung.h"

#include <cerrno>

#include "platform/db/Datenbank.h"
#include "platform/db/Systemfehler.h"

namespace {

// A busy database in German: the lock belongs to another workstation (the wait for it has run out).
QString BelegtBeschreibung() {
  return QStringLiteral("Die Datenbank wird gerade an einem anderen Arbeitsplatz benutzt und ist gesperrt. "
                        "Bitte versuchen Sie es in einigen Sekunden noch einmal.");
}

QString VollBeschreibung() {
  return QStringLiteral("Die Datenbank oder der Datenträger ist voll. Bitte schaffen Sie Platz auf dem Datenträger "
                        "des Datenordners und versuchen Sie es dann noch einmal.");
}

QString SchreibschutzBeschreibung() {
  return QStringLiteral("Die Datenbank kann nicht geändert werden: Die Datei, ihr Ordner oder der Datenträger ist "
                        "schreibgeschützt, oder Sie haben keine Schreibberechtigung. Bitte lassen Sie sich die "
                        "Schreibberechtigung für den Datenordner geben und starten Sie das Programm dann neu.");
}

// SQLite's failure `code` in the user's words, saying what to do; `system` is the errno behind a failed
// read or write (for a file-size limit, a full disk or a missing permission). Only a failure that may pass
// (another workstation's lock, a disk or network that comes back) asks to try again.
QString DeutscheBeschreibung(int code, const QString& sqliteText, int system) {
  switch (code & 0xff) {
    case SQLITE_BUSY:
      return BelegtBeschreibung();
    case SQLITE_FULL:
      return VollBeschreibung();
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
      switch (system) {
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
          return VollBeschreibung();
        case EFBIG:
          return QStringLiteral("Die Datenbankdatei ist zu groß für den Datenträger: Die erlaubte Dateigröße ist "
                                "erreicht (eine Grenze des Dateisystems oder des Benutzerkontos). Bitte lassen Sie "
                                "die Grenze aufheben oder legen Sie den Datenordner auf einen anderen Datenträger.");
        case EACCES:
        case EPERM:
        case EROFS:
          return SchreibschutzBeschreibung();
        default:
          break;
      }
      if ((code & 0xff) == SQLITE_CANTOPEN)
        return QStringLiteral("Die Datenbankdatei kann nicht geöffnet werden. Bitte prüfen Sie, ob der Datenordner "
                              "erreichbar ist und Sie darin schreiben dürfen.");
      return QStringLiteral("Die Datenbankdatei konnte nicht gelesen oder geschrieben werden (Ein-/Ausgabefehler). "
                            "Bitte prüfen Sie den Datenträger (bei einem Netzlaufwerk die Verbindung) und versuchen "
                            "Sie es dann noch einmal.");
    case SQLITE_CORRUPT:
      return QStringLiteral("Die Datenbankdatei ist beschädigt. Bitte arbeiten Sie nicht weiter mit ihr, sondern "
                            "spielen Sie eine Datensicherung zurück oder wenden Sie sich an Ihren Betreuer.");
    case SQLITE_NOTADB:
      return QStringLiteral("Die Datei ist keine Datenbank oder so beschädigt, dass sie nicht gelesen werden kann. "
                            "Bitte prüfen Sie, ob die richtige Datei gewählt ist, oder spielen Sie eine "
                            "Datensicherung zurück.");
    case SQLITE_READONLY:
      return SchreibschutzBeschreibung();
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return QStringLiteral("Keine Berechtigung für den Zugriff auf die Datenbank. Bitte lassen Sie sich die "
                            "Berechtigung für den Datenordner geben.");
    case SQLITE_NOMEM:
      return QStringLiteral("Nicht genügend Arbeitsspeicher. Bitte schließen Sie andere Programme und versuchen Sie "
                            "es dann noch einmal.");
    case SQLITE_LOCKED:
    case SQLITE_PROTOCOL:
      return QStringLiteral("Die Datenbank ist gerade durch einen anderen Vorgang gesperrt. Bitte versuchen Sie es "
                            "noch einmal.");
    case SQLITE_SCHEMA:
      return QStringLiteral("Der Aufbau der Datenbank wurde inzwischen geändert. Bitte versuchen Sie es noch einmal.");
    case SQLITE_CONSTRAINT:
      return QStringLiteral("Die Änderung verstößt gegen eine Regel der Datenbank (zum Beispiel einen doppelten oder "
                            "fehlenden Schlüssel) und wurde nicht gespeichert. Bitte prüfen Sie die Eingabe und versuchen Sie es dann noch einmal.");
    case SQLITE_TOOBIG:
      return QStringLiteral("Ein Wert ist zu groß für die Datenbank und wurde nicht gespeichert. Bitte kürzen Sie ihn.");
    case SQLITE_INTERRUPT:
    case SQLITE_ABORT:
      return QStringLiteral("Der Vorgang wurde abgebrochen; es wurde nichts geändert. Bitte versuchen Sie es noch "
                            "einmal.");
    default:
      // A plain error fails the same way on the same file again: no advice to try again. A table or field
      // missing (a view of a linked file over a table dropped there, a file of another layout) is named.
      if (sqliteText.startsWith(QLatin1String("no such table")) || sqliteText.startsWith(QLatin1String("no such column")))
        return QStringLiteral("Der Aufbau der Datenbank ist fehlerhaft oder passt nicht zu diesem Programm: Eine "
                              "Tabelle oder ein Feld fehlt. Bitte prüfen Sie, ob die richtige Datei gewählt ist, oder "
                              "lassen Sie die Datei in dem Programm, zu dem sie gehört, prüfen und reparieren.");
      return QStringLiteral("Die Datenbank hat den Vorgang mit einem Fehler abgelehnt. Bitte wenden Sie sich mit "
                            "dieser Meldung an Ihren Betreuer.");
  }
}

// The errno behind the connection's last failed read or write. SQLite keeps one of its own for some
// failures only (none for a commit's failed write to the write-ahead log, say), so the files' own record
// of their last failed call is asked when it is empty: the main file's, then its journal's or log's.
int SystemFehlerNr(sqlite3* db) {
  int nr = sqlite3_system_errno(db);
  if (nr == 0) sqlite3_file_control(db, "main", SQLITE_FCNTL_LAST_ERRNO, &nr);
  sqlite3_file* journal = nullptr;
  // An in-memory journal has no file controls.
  if (nr == 0 && sqlite3_file_control(db, "main", SQLITE_FCNTL_JOURNAL_POINTER, &journal) == SQLITE_OK && journal &&
      journal->pMethods && journal->pMethods->xFileControl)
    journal->pMethods->xFileControl(journal, SQLITE_FCNTL_LAST_ERRNO, &nr);
  return nr;
}

}  // namespace

DbFehler SqliteFehlerBeschreiben(int code, const QString& sqliteText, int system) {
  DbFehler f;
  f.Nummer = code == 0 ? SQLITE_ERROR : code;
  // A trigger's RAISE carries the text its author wrote for the user.
  if (f.Nummer == SQLITE_CONSTRAINT_TRIGGER && !sqliteText.isEmpty()) {
    f.Beschreibung = sqliteText;
    return f;
  }
  f.Beschreibung = DeutscheBeschreibung(f.Nummer, sqliteText, system);
  // The engine's own words stay for whoever looks into it, after the German text (the busy text is complete).
  if ((f.Nummer & 0xff) != SQLITE_BUSY && !sqliteText.isEmpty())
    f.Beschreibung += QStringLiteral("\r(SQLite: ") + sqliteText + QLatin1Char(')');
  return f;
}

DbFehler SqliteFehler(sqlite3* db) {
  if (!db) return {SQLITE_MISUSE, QStringLiteral("Keine Datenbank geöffnet")};
  return SqliteFehlerBeschreiben(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)), SystemFehlerNr(db));
}

DbFehler SqliteFehler(sqlite3* db, int code) {
  // errcode of the connection may lag behind a code returned directly (e.g. from sqlite3_step in some paths)
  if (db && (sqlite3_extended_errcode(db) & 0xff) == (code & 0xff)) return SqliteFehler(db);
  return SqliteFehlerBeschreiben(code, QString::fromUtf8(sqlite3_errstr(code)), db ? SystemFehlerNr(db) : 0);
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
