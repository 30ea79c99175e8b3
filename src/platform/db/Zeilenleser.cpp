#include "platform/db/Zeilenleser.h"

#include "platform/db/Datenbank.h"
#include "platform/db/Wertumwandlung.h"

namespace {

int Ziffer(char c) { return c >= '0' && c <= '9' ? c - '0' : -1; }

// "yyyy-mm-dd" at the start of `t`; nullopt when it is not there (the caller then parses as DatumAusWert).
std::optional<QDate> IsoDatumAmAnfang(QByteArrayView t) {
  if (t.size() < 10 || t[4] != '-' || t[7] != '-') return std::nullopt;
  int teile[8];
  static constexpr int stellen[8] = {0, 1, 2, 3, 5, 6, 8, 9};
  for (int i = 0; i < 8; ++i)
    if ((teile[i] = Ziffer(t[stellen[i]])) < 0) return std::nullopt;
  return QDate(teile[0] * 1000 + teile[1] * 100 + teile[2] * 10 + teile[3], teile[4] * 10 + teile[5],
               teile[6] * 10 + teile[7]);
}

}  // namespace

Zeilenleser::Zeilenleser(Datenbank& db, const SqlText& sql, const QVariantList& parameter) {
  QString rest;
  if ((m_fehler = m_anweisung.Wiederverwenden(db, sql.Text(), &rest))) return;
  if (m_anweisung.Leer() || !rest.trimmed().isEmpty()) {
    m_fehler = {SQLITE_MISUSE, QStringLiteral("Eine Abfrage muss genau eine Anweisung sein")};
    return;
  }
  m_fehler = m_anweisung.Binden(parameter);
}

bool Zeilenleser::Naechste() {
  if (m_fehler || m_ende || m_anweisung.Leer()) return false;
  // A finished statement would start again at the next step.
  m_ende = !m_anweisung.Schritt(m_fehler);
  return !m_ende;
}

// One call of the statement per value (each locks the connection); the value's own functions do not.
sqlite3_value* Zeilenleser::Spalte(int spalte) const { return sqlite3_column_value(m_anweisung.Handle(), spalte); }

bool Zeilenleser::IstNull(int spalte) const { return sqlite3_value_type(Spalte(spalte)) == SQLITE_NULL; }

qint64 Zeilenleser::Ganzzahl(int spalte) const {
  sqlite3_value* v = Spalte(spalte);
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return sqlite3_value_int64(v);
    case SQLITE_NULL: return 0;
    default: return Wert(spalte).toLongLong();
  }
}

QString Zeilenleser::Text(int spalte) const {
  sqlite3_value* v = Spalte(spalte);
  switch (sqlite3_value_type(v)) {
    case SQLITE_TEXT:
      return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    case SQLITE_NULL: return {};
    default: return TextAusWert(Wert(spalte));
  }
}

QByteArrayView Zeilenleser::Utf8(int spalte) {
  sqlite3_value* v = Spalte(spalte);
  switch (sqlite3_value_type(v)) {
    case SQLITE_TEXT: return {reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v)};
    case SQLITE_BLOB: return {static_cast<const char*>(sqlite3_value_blob(v)), sqlite3_value_bytes(v)};
    case SQLITE_NULL: return {};
    default:
      if (m_umgewandelt.size() <= size_t(spalte)) m_umgewandelt.resize(size_t(spalte) + 1);
      m_umgewandelt[size_t(spalte)] = TextAusWert(Wert(spalte)).toUtf8();
      return m_umgewandelt[size_t(spalte)];
  }
}

std::optional<Waehrung> Zeilenleser::Betrag(int spalte) const {
  sqlite3_value* v = Spalte(spalte);
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return Waehrung::AusRoh(sqlite3_value_int64(v));
    case SQLITE_NULL: return std::nullopt;
    default: return WaehrungAusWert(Wert(spalte));
  }
}

std::optional<QDate> Zeilenleser::Datum(int spalte) const {
  sqlite3_value* v = Spalte(spalte);
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return std::nullopt;
    case SQLITE_TEXT: {
      const QByteArrayView t(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
      if (const std::optional<QDate> d = IsoDatumAmAnfang(t)) return d->isValid() ? d : std::nullopt;
      return DatumAusWert(Wert(spalte));
    }
    default: return DatumAusWert(Wert(spalte));
  }
}

QVariant Zeilenleser::Wert(int spalte) const { return SpaltenWert(m_anweisung.Handle(), spalte); }
