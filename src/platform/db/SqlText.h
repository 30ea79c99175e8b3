#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <cstddef>
#include <cstdint>

// SQL text that can only come from the program itself: string literals, validated identifiers and
// integers. Values typed, stored or imported never become SQL text; they travel as parameters.
class SqlText {
 public:
  SqlText() = default;
  // Only literals (char arrays known at compile time) convert implicitly.
  template <std::size_t N>
  SqlText(const char (&literal)[N]) : m_text(QString::fromUtf8(literal, N - 1)) {}  // NOLINT(google-explicit-constructor)

  // A table or column name, checked (letters incl. umlauts, digits, "_", optionally "table.column")
  // and quoted. An invalid name yields an SQL text that fails to prepare (never an injection).
  static SqlText Bezeichner(const QString& name);
  // True when `name` would be accepted by Bezeichner.
  static bool IstGueltigerBezeichner(const QString& name);
  static SqlText Zahl(int64_t wert);

  SqlText operator+(const SqlText& o) const { SqlText s; s.m_text = m_text + o.m_text; return s; }
  SqlText& operator+=(const SqlText& o) { m_text += o.m_text; return *this; }
  static SqlText Verbinden(const QList<SqlText>& teile, const SqlText& trenner);

  const QString& Text() const { return m_text; }
  bool IstLeer() const { return m_text.isEmpty(); }

 private:
  QString m_text;
};

// A structured WHERE condition: an SQL fragment from program text plus its bound parameters.
// Windows pass these to each other instead of SQL text.
struct Bedingung {
  SqlText sql;            // e.g. "Zahlungen.AbsenderNr = ? AND Art = ?"; empty = no condition
  QVariantList parameter; // values for the "?" in order

  Bedingung() = default;
  Bedingung(SqlText s, QVariantList p = {}) : sql(std::move(s)), parameter(std::move(p)) {}  // NOLINT

  bool IstLeer() const { return sql.IstLeer(); }
  // "(a) AND (b)"; an empty side is left out.
  Bedingung Und(const Bedingung& andere) const;
  static Bedingung AlleUnd(const QList<Bedingung>& teile);
  // " WHERE (...)" or empty.
  SqlText AlsWhere() const;
  // "spalte IN (SELECT value FROM json_each(?))", the numbers bound as one JSON array: one statement for
  // any number of keys (no list of placeholders), searched by key once per number.
  static Bedingung InNummern(const SqlText& spalte, const QList<qint64>& nummern);
};

// "[1,2,3]".
QString NummernAlsJson(const QList<qint64>& nummern);

// Escapes a user's text for LIKE ... ESCAPE '\': %, _ and \ become literal.
QString LikeMaskieren(const QString& text);
// Turns a filter text with the user's wildcards * and ? into a LIKE pattern (everything else
// literal); a trailing % is appended when `praefix` is set.
QString LikeMusterAusFilter(const QString& text, bool praefix = true);
