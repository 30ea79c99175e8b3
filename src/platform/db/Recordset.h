#pragma once

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/db/Datenbank.h"
#include "platform/db/DbFehler.h"
#include "platform/db/FeldTyp.h"
#include "platform/db/SqlText.h"
#include "platform/db/Waehrung.h"

// <cstdio> defines EOF as a macro, which would turn Recordset::EOF() into "(-1)()". Include it once here
// and drop the macro so that every later inclusion (guarded) keeps it away; use std::char_traits<char>::eof().
#include <cstdio>
#ifdef EOF
#undef EOF
#endif

// What a recordset selects, in parts, so that the layer can build its keyset and page queries.
// Every part is program text (SqlText); values are parameters of the condition.
struct Abfrage {
  SqlText spalten = "*";     // select list
  SqlText quelle;            // FROM part: a table, a view or joins ("Zahlungen INNER JOIN ...")
  Bedingung bedingung;       // WHERE
  SqlText sortierung;        // ORDER BY part, without the words; empty = key order
  // Expression that identifies a result row (unique per row). Default: "<first table>.rowid".
  // For a view (linked tables) give its key column, e.g. "OPKontoNr".
  SqlText schluessel;
  // Table into which AddNew inserts and whose rows Delete removes. Default: the first table of `quelle`.
  QString haupttabelle;
  // Types of computed result columns by name, which declare none ("Rest2" of a signed amount: Waehrung).
  QList<QPair<QString, FeldTyp>> ausdrucksTypen;

  // A whole table, optionally in key order of `sortierung`.
  static Abfrage Tabelle(const QString& name);
};

enum class RecordsetTyp {
  Tabelle,   // one table; Seek on the primary key
  Dynaset,   // keyset: the keys are read at open, row values lazily and current; sees others' changes
  Snapshot   // read-only copy of the rows at open
};

enum class EditModus { Keiner, Bearbeiten, Neu };

// One column of a recordset, DAO-style.
struct SpaltenInfo {
  QString name;            // as DAO names it: unique name, or "Tabelle.Feld" when a join repeats it
  QString feld;            // the column's own name as selected
  FeldTyp typ = FeldTyp::Unbekannt;
  int groesse = 0;         // text size of the source field
  QString quellTabelle;    // base table of the column (through views), empty for expressions
  QString quellFeld;       // base field
  QString quellDatenbank;  // "main", "temp" or an attached alias
  bool aktualisierbar = false;
};

// The recordset of the old engine over SQLite: current record, moves, BOF/EOF, exact count,
// bookmarks, Find with a predicate, Seek, Edit/AddNew/Update/CancelUpdate/Delete, Requery, Clone.
// Rows added or changed through it stay in it until Requery.
class Recordset {
 public:
  // Opens a recordset; on failure returns nullptr and fills `fehler`.
  static std::unique_ptr<Recordset> Oeffnen(Datenbank& db, const Abfrage& abfrage, RecordsetTyp typ, DbFehler& fehler);
  ~Recordset();

  Datenbank& DB() const { return *m_db; }
  const Abfrage& AbfrageTeile() const { return m_abfrage; }
  RecordsetTyp Typ() const { return m_typ; }

  // Columns.
  int SpaltenAnzahl() const;
  const SpaltenInfo& Spalte(int i) const;
  int SpaltenIndex(const QString& name) const;  // case-insensitive; accepts "Tabelle.Feld"; -1 when missing

  // Position and moves.
  int RecordCount() const;            // exact
  bool BOF() const;
  bool EOF() const;
  bool Eof() const { return EOF(); }  // same, under a name no macro can take
  int AbsolutePosition() const;       // 0-based, -1 at BOF/EOF
  void SetAbsolutePosition(int pos);
  void MoveFirst();
  void MoveLast();
  void MoveNext();
  void MovePrevious();
  void Move(int zeilen);

  // Bookmark = the row's key; LastModified = key of the row last added or changed through this recordset.
  QVariant Bookmark() const;
  bool SetBookmark(const QVariant& lesezeichen);   // false when the key is not in the recordset
  QVariant LastModified() const;

  // Find by predicate over the current row's values; NoMatch tells the result.
  using Praedikat = std::function<bool(const Recordset&)>;
  void FindFirst(const Praedikat& p);
  void FindNext(const Praedikat& p);
  void FindPrevious(const Praedikat& p);
  void FindLast(const Praedikat& p);
  // Keeps the rows the predicate accepts (each evaluated as the current row), in memory: the query is
  // not run again and the kept rows keep their bookmarks. Clones share the result; bind a grid only
  // afterwards. The position goes to the first row. A failed read of rows is returned and nothing is
  // dropped.
  DbFehler ZeilenFiltern(const Praedikat& behalten);
  // Seek on the primary key of a table-type recordset (equality).
  void Seek(const QVariant& schluessel);
  bool NoMatch() const { return m_keinTreffer; }

  // Field values of the current row (during Edit/AddNew: the edit buffer).
  QVariant Feld(int spalte) const;
  QVariant Feld(const QString& name) const;
  bool IstNull(const QString& name) const { return Feld(name).isNull(); }
  QString Text(const QString& name) const;                      // Null -> ""
  std::optional<Waehrung> Betrag(const QString& name) const;    // CURRENCY
  std::optional<QDate> Datum(const QString& name) const;        // DATE
  bool Wahr(const QString& name) const;                         // BOOLEAN
  qint64 Ganzzahl(const QString& name) const;                   // Null -> 0

  // Value at any row without moving (model adapter, scroll tips). Row 0-based.
  QVariant WertAn(int zeile, int spalte) const;
  QVariant SchluesselAn(int zeile) const;
  int ZeileVonSchluessel(const QVariant& schluessel) const;     // -1 when missing

  // Editing.
  DbFehler Edit();
  DbFehler AddNew();
  DbFehler Setzen(const QString& name, const QVariant& wert);   // Waehrung, QDate, bool accepted
  DbFehler Update();       // writes the buffer to the base tables; stays in edit mode on failure
  void CancelUpdate();
  DbFehler Delete();       // deletes the current row in the main table
  EditModus EditMode() const { return m_modus; }

  // Reads the keys again (new query run); the position goes to the first row.
  DbFehler Requery();
  // Replaces the condition and sort and requeries (filter bars).
  DbFehler Requery(const Bedingung& neueBedingung, const SqlText& neueSortierung);
  // Independent current record over the same rows.
  std::unique_ptr<Recordset> Clone() const;
  // Up to `anzahl` rows from the current one (moves past them), row-major.
  std::vector<QVariantList> GetRows(int anzahl);

  // Rows of the keyset were changed outside; drop cached values (forces a fresh read).
  void CacheVerwerfen();
  // One row was changed outside (its key stays): only its values are read again.
  DbFehler ZeileNeuLesen(int zeile);
  // Failure of the last lazy read of rows (page) or of the last Seek; Ok when none.
  DbFehler LetzterFehler() const;

 private:
  friend class Massenaenderung;
  Recordset() = default;
  struct Daten;
  struct Metadaten;
  // Where a Massenaenderung reads and writes the columns `spalten`: the one base table whose rows the key
  // identifies, when every column comes straight from it.
  struct Zeilenquelle {
    SqlText tabelle;                  // "db"."table"
    SqlText schluessel;               // its column that holds the recordset's key; "rowid" when that is the key
    std::vector<SqlText> felder;      // base fields of `spalten`, quoted
  };
  DbFehler ZeilenquelleFuer(const std::vector<int>& spalten, Zeilenquelle& quelle) const;
  int AktuelleZeile() const;                 // valid row index of the current record, or -1
  void Positionieren(int pos);
  // Edit and Delete: the current row (cancels an open edit), or why there is none to change.
  DbFehler AenderbareZeile(int& zeile);
  // Walks from row `start` by `schritt` (+1 or -1) to the first row the predicate accepts.
  void Suchen(const Praedikat& p, int start, int schritt);
  const QVariantList* WerteAn(int zeile) const;
  quint64 Epoche() const;                    // current cache epoch (see Daten)
  bool ZeileAktuell(int zeile) const;        // cached values of the row are known to be current
  DbFehler SchluesselLesen(Daten& ziel) const;
  std::shared_ptr<Daten> d;     // column info, keyset and page cache (shared by clones)
  Datenbank* m_db = nullptr;
  Abfrage m_abfrage;
  RecordsetTyp m_typ = RecordsetTyp::Dynaset;
  mutable int m_pos = -1;       // -1 BOF, RecordCount() EOF
  bool m_bof = true;
  bool m_eof = true;
  bool m_keinTreffer = false;
  EditModus m_modus = EditModus::Keiner;
  QVariantList m_puffer;        // edit buffer
  std::vector<bool> m_geaendert;
  QVariant m_letzteAenderung;
  mutable bool m_aktGeloescht = false;   // current record deleted: m_pos is the row after it
  mutable quint64 m_version = 0;          // keyset version m_pos refers to
  QVariant m_aktSchluessel;               // key of the current record (relocation after deletions)
  QVariantList m_original;                // values at Edit (WHERE of the updates)
  // The last few names looked up: loops over rows ask for the same fields again and again.
  struct Namenstreffer {
    QString name;
    int spalte = -1;
  };
  mutable Namenstreffer m_namen[4];
  mutable int m_naechsterName = 0;
};
