#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <optional>
#include <vector>

#include "platform/db/Anweisung.h"
#include "platform/db/DbFehler.h"
#include "platform/db/SqlText.h"
#include "platform/db/Waehrung.h"

class Datenbank;

// Reads the rows of one query in turn, each column typed as the caller needs it, without a QVariant per
// value: for passes over many rows (the SEPA selection reads 100,000 orders with their lines). Several
// readers may run side by side on one connection (a merge of two sorted queries). A value converts as
// through the row's QVariant and Wertumwandlung (TextAusWert, WaehrungAusWert, DatumAusWert), only faster
// for the storage class a column normally has.
class Zeilenleser {
 public:
  Zeilenleser(Datenbank& db, const SqlText& sql, const QVariantList& parameter = {});
  Zeilenleser(const Zeilenleser&) = delete;
  Zeilenleser& operator=(const Zeilenleser&) = delete;

  // The next row; false after the last one or on a failure (Fehler).
  bool Naechste();
  const DbFehler& Fehler() const { return m_fehler; }

  bool IstNull(int spalte) const;
  // As QVariant::toLongLong of the value (Null: 0).
  qint64 Ganzzahl(int spalte) const;
  // The value as text (Null: empty).
  QString Text(int spalte) const;
  // The same as UTF-8 bytes without a copy for text and blob values; valid until the next row.
  QByteArrayView Utf8(int spalte);
  std::optional<Waehrung> Betrag(int spalte) const;
  std::optional<QDate> Datum(int spalte) const;
  QVariant Wert(int spalte) const;

 private:
  sqlite3_value* Spalte(int spalte) const;

  Anweisung m_anweisung;
  DbFehler m_fehler;
  bool m_ende = false;
  std::vector<QByteArray> m_umgewandelt;   // per column: Utf8 of a number
};
