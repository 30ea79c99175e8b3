#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

#include "platform/db/DbFehler.h"

class Recordset;

// Changes fields of every row of a recordset in one pass, without the recordset's per-row work (edit
// buffer, savepoint, re-read and cache per row): one read of the base table, one prepared UPDATE by row
// id per row whose values really change, every text checked against its field's size. For runs over
// all rows of a window (the IBAN conversion). The caller holds the write transaction around the pass.
//
// Rows come in the table's order, only those of the recordset's keyset; rows of the keyset that are
// gone from the table come last, marked deleted. Abschliessen drops the recordset's cached values
// once, so that it shows what was written; its keys and order stay (a sort by a changed field needs
// the caller's requery).
class Massenaenderung {
 public:
  // `felder`: names as the recordset names its columns; each must come straight from the one table
  // whose rows the recordset's key identifies.
  static std::unique_ptr<Massenaenderung> Oeffnen(Recordset& rs, const QStringList& felder, DbFehler& fehler);
  ~Massenaenderung();
  Massenaenderung(const Massenaenderung&) = delete;
  Massenaenderung& operator=(const Massenaenderung&) = delete;

  // Moves to the next row; false after the last one or when reading failed (see Fehler).
  bool Naechste();
  // The current row's position in the recordset, -1 when there is none.
  int Zeile() const { return m_zeile; }
  bool Geloescht() const { return m_geloescht; }
  // Field i of the current row as the recordset's Text() shows it (Null: empty text).
  QString Text(int feld) const;

  // Writes the given fields of the current row (nullopt: leave as it is). Only the fields whose stored
  // value differs (another text, Null or a number) go into its UPDATE; a row where none differs is not
  // written. Fails for a deleted row and for a text longer than its field, before anything is written.
  DbFehler Schreiben(const std::vector<std::optional<QString>>& werte);
  // Rows written so far.
  qint64 Geschrieben() const { return m_geschrieben; }

  // Why the read stopped early; Ok when it reached the end.
  const DbFehler& Fehler() const { return m_fehler; }
  // Ends the read and drops the recordset's cached values. Call it before the transaction ends.
  void Abschliessen();

 private:
  struct Daten;
  explicit Massenaenderung(Recordset& rs);

  Recordset& m_rs;
  std::unique_ptr<Daten> d;
  int m_zeile = -1;
  bool m_geloescht = false;
  qint64 m_geschrieben = 0;
  DbFehler m_fehler;
};
