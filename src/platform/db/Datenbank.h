#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/db/DbFehler.h"
#include "platform/db/FeldTyp.h"
#include "platform/db/SqlText.h"

struct sqlite3;
struct sqlite3_stmt;

// Table definition: fields in order with category and size.
struct TabellenDefinition {
  QString name;
  std::vector<FeldDefinition> felder;
  const FeldDefinition* Feld(const QString& name) const;  // case-insensitive; nullptr when missing
  // Text size of a field (0 when unknown or not text); input fields use it as their limit.
  int Groesse(const QString& feld) const;
};

// One result row of Datenbank::Abfragen: values by position and by (case-insensitive) name.
class Zeile {
 public:
  Zeile(const QStringList* namen, const QVariantList* werte) : m_namen(namen), m_werte(werte) {}
  int Anzahl() const { return static_cast<int>(m_werte->size()); }
  const QVariant& Wert(int i) const { return m_werte->at(i); }
  QVariant Wert(const QString& name) const;
  const QStringList& Namen() const { return *m_namen; }
 private:
  const QStringList* m_namen;
  const QVariantList* m_werte;
};

// What this connection knows of the data's state: rows it changed and events (transactions, rollbacks,
// schema changes) that may change rows without counting them. Equal states mean no row changed in between.
struct Datenstand {
  qint64 aenderungen = 0;
  quint64 ereignisse = 0;
  bool operator==(const Datenstand& o) const { return aenderungen == o.aenderungen && ereignisse == o.ereignisse; }
};

// A reading of what changed the data: commits of other connections (PRAGMA data_version) and rows this
// connection changed (also rows rolled back). Equal readings: no row changed in between.
struct Datenversion {
  qint64 fremde = 0;
  qint64 eigene = 0;
  bool operator==(const Datenversion&) const = default;
};

// Text order of the collation "TAMO" (case ignored incl. umlauts, code point order) for sorting in
// memory as the database sorts: <0, 0, >0.
int TextVergleichen(const QString& a, const QString& b);

// The open SQLite database of a run (the DAO database replacement). Values only ever travel as
// bound parameters: QString, qint64/int, double, bool (0/1), QDate (ISO), QDateTime
// ("yyyy-MM-dd HH:mm:ss"), Waehrung (ten-thousandths), null QVariant (NULL), QByteArray (blob).
class Datenbank {
 public:
  ~Datenbank();
  Datenbank(const Datenbank&) = delete;
  Datenbank& operator=(const Datenbank&) = delete;

  // Opens (or with `anlegen` creates) the file; foreign keys on, our collation "TAMO" (case-insensitive
  // incl. umlauts) and a LIKE that ignores case incl. umlauts, both for query texts only. The journal mode
  // stays as the file has it (JournalSetzen once the file is known to be ours).
  static std::unique_ptr<Datenbank> Oeffnen(const QString& datei, DbFehler& fehler, bool anlegen = false);
  // An in-memory database (tests).
  static std::unique_ptr<Datenbank> InSpeicher();
  // Opens another program's file only for reading: nothing in it is changed, not even its journal mode.
  static std::unique_ptr<Datenbank> OeffnenNurLesen(const QString& datei, DbFehler& fehler);

  // How long a statement waits for another connection's lock before it fails as busy (ms); for
  // connections opened afterwards.
  static void WartezeitSetzen(int ms);

  // WAL (local disks) or the rollback journal (network drives, whose shared memory does not cross machines).
  DbFehler JournalSetzen(bool wal);
  QString JournalModus();   // "wal", "delete", ...
  // A consistent copy of the whole database into `ziel`, made through SQLite under a temporary name, synced and
  // renamed over an older copy: a crash leaves the old copy or the new one whole, never neither.
  DbFehler Sichern(const QString& ziel);
  // Tests: called with "kopiert" (the copy is synced under its temporary name) and "ersetzt" (renamed into
  // place, before the folder is synced) — a crash test ends the process there.
  static void SicherungsschrittSetzen(std::function<void(const char* schritt)> beobachter);

  const QString& Datei() const { return m_datei; }
  sqlite3* Handle() const { return m_db; }

  // Runs one or more statements; `geaendert` receives the rows changed by the last one.
  DbFehler Ausfuehren(const SqlText& sql, const QVariantList& parameter = {}, int* geaendert = nullptr);
  // Runs a script of several statements without parameters (the schema file).
  DbFehler SkriptAusfuehren(const QString& skript);
  // Runs a query and calls `zeile` for every row; stop early by returning false.
  DbFehler Abfragen(const SqlText& sql, const QVariantList& parameter,
                    const std::function<bool(const Zeile&)>& zeile);
  // First column of the first row (nullopt when there is none).
  std::optional<QVariant> Wert(const SqlText& sql, const QVariantList& parameter, DbFehler& fehler);
  qint64 LetzteEinfuegeNr() const;

  // Transactions. Nested BeginTrans calls become savepoints, so a window may open one inside a run.
  DbFehler BeginTrans();
  DbFehler CommitTrans();
  DbFehler Rollback();
  int TransaktionsTiefe() const { return m_tiefe; }
  DbFehler Sicherungspunkt(const QString& name);
  DbFehler SicherungspunktFreigeben(const QString& name);
  DbFehler ZurueckZuSicherungspunkt(const QString& name);

  // Linked databases: ATTACH as `alias`; DETACH.
  DbFehler Anhaengen(const QString& datei, const QString& alias);
  DbFehler Abhaengen(const QString& alias);
  QStringList AngehaengteAliase() const;

  // Table definitions (tables and views of main, temp and attached schemas).
  bool TabelleVorhanden(const QString& name);
  std::optional<TabellenDefinition> Tabelle(const QString& name, DbFehler* fehler = nullptr);
  // Text size of `tabelle.feld` (cached per open database); 0 when unknown.
  int FeldGroesse(const QString& tabelle, const QString& feld);

  DbFehler Komprimieren();
  // The current SQLite error of this connection.
  DbFehler LetzterFehler() const;

  // Test seam: a callback that may fail a statement before it runs (fault injection).
  using Stoerung = std::function<DbFehler(const QString& sql)>;
  void SetzeStoerung(Stoerung s) { m_stoerung = std::move(s); }
  const Stoerung& StoerungFunktion() const { return m_stoerung; }

  // The data's state, only while this connection holds its own write transaction (BeginTrans outside any
  // transaction): then no other connection can change a row. nullopt otherwise.
  std::optional<Datenstand> AktuellerDatenstand() const;

  // The data's version now (see Datenversion); nullopt with `fehler` set when it cannot be read.
  std::optional<Datenversion> DatenversionLesen(DbFehler& fehler);

  // A deterministic SQL function of one text argument, for query texts of this connection only (the file
  // never names it): Null for an argument that is no text and where `funktion` gives nullopt.
  using Textfunktion = std::function<std::optional<QString>(const QString& text)>;
  DbFehler TextfunktionRegistrieren(const QString& name, Textfunktion funktion);

  // Prepared statements kept for reuse, per SQL text (least recently used ones are finalised first).
  int GespeicherteAnweisungen() const;
  void AnweisungenVerwerfen();   // finalises every kept statement (schema changes, close)

 private:
  friend class Anweisung;
  struct AnweisungsSpeicher;
  Datenbank();
  // Anweisung borrows a kept statement (nullptr when none) and gives it back reset and unbound.
  sqlite3_stmt* AnweisungAusleihen(const QByteArray& sql);
  void AnweisungZurueckgeben(const QByteArray& sql, sqlite3_stmt* stmt, quint64 schemaStand);
  quint64 SchemaStand() const { return m_schemaStand; }
  void SchemaGeaendert();
  struct Fundort {
    QString schema;   // "main", "temp" or an alias
    QString tabelle;  // name as stored
    bool istSicht = false;
  };
  std::optional<Fundort> TabelleFinden(const QString& name, DbFehler& fehler);
  void TiefeAbgleichen();

  sqlite3* m_db = nullptr;
  QString m_datei;
  int m_tiefe = 0;
  Stoerung m_stoerung;
  std::vector<TabellenDefinition> m_defCache;
  std::vector<QString> m_defSchluessel;   // folded lookup names of m_defCache
  std::vector<QString> m_ebenen;          // per transaction level: savepoint name, empty for BEGIN
  std::unique_ptr<AnweisungsSpeicher> m_anweisungen;
  quint64 m_schemaStand = 0;              // counts schema changes; statements of an older state are not kept
  quint64 m_ereignisse = 0;               // see Datenstand
  bool m_eigeneSchreibtransaktion = false;  // BEGIN IMMEDIATE of BeginTrans still open
  static int BeiCommit(void* db);
  static void BeiRollback(void* db);
};

// The form in which the program's collation TAMO compares a text (each character case-folded): two texts
// are equal under COLLATE TAMO exactly when their forms are equal. For sets of keys held in memory.
QString TamoVergleichsform(const QString& text);

// Binds QVariant values to a prepared statement (shared by Datenbank and Recordset).
struct sqlite3_stmt;
DbFehler ParameterBinden(sqlite3* db, sqlite3_stmt* stmt, const QVariantList& parameter);
QVariant SpaltenWert(sqlite3_stmt* stmt, int spalte);
// The same for a value of SQLite's (a function's argument).
struct sqlite3_value;
QVariant SqlWert(sqlite3_value* wert);

// Every connection has the aggregate tamo_summe(betrag [, abziehen]) for query text (never in the file's
// declarations): the exact total of the amounts, each read as the program reads a CURRENCY value
// (WaehrungAusWert: an integer in ten-thousandths, a REAL or a text with a point in euros; Null and what
// reads as no amount count 0), subtracted where `abziehen` is true. Its result is an integer in
// ten-thousandths, 0 without rows, and Null when the total leaves the int64: a sum that cannot be
// formed never fails the query that lists the rows.

// RAII transaction: rolls back in its destructor unless committed.
class Transaktion {
 public:
  explicit Transaktion(Datenbank& db);
  ~Transaktion();
  Transaktion(const Transaktion&) = delete;
  Transaktion& operator=(const Transaktion&) = delete;
  const DbFehler& Fehler() const { return m_fehler; }   // failure of BEGIN
  DbFehler Commit();
 private:
  Datenbank& m_db;
  DbFehler m_fehler;
  bool m_offen = false;
};

// The workspace `Arbeitsbereich` of the open database: the DAO-style names for its transactions.
class Arbeitsbereich {
 public:
  explicit Arbeitsbereich(Datenbank* db = nullptr) : m_db(db) {}
  void SetzeDatenbank(Datenbank* db) { m_db = db; }
  DbFehler BeginTrans() { return m_db->BeginTrans(); }
  DbFehler CommitTrans() { return m_db->CommitTrans(); }
  DbFehler Rollback() { return m_db->Rollback(); }
 private:
  Datenbank* m_db;
};
