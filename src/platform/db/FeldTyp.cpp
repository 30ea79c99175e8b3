#include "platform/db/FeldTyp.h"

DeklarierterTyp TypAusDeklaration(const QString& deklaration) {
  const QString d = deklaration.trimmed().toUpper();
  DeklarierterTyp t;
  if (d.isEmpty()) return t;
  QString basis = d;
  int groesse = -1;
  const qsizetype klammer = d.indexOf(QLatin1Char('('));
  if (klammer >= 0) {
    basis = d.left(klammer).trimmed();
    const qsizetype zu = d.indexOf(QLatin1Char(')'), klammer);
    if (zu > klammer) {
      bool ok = false;
      // "(n)" or "(p,s)": the first number is the size
      const int n = d.mid(klammer + 1, zu - klammer - 1).section(QLatin1Char(','), 0, 0).trimmed().toInt(&ok);
      if (ok && n > 0) groesse = n;
    }
  }
  // "UNSIGNED BIG INT" and the like: the first word names the type
  const QString wort = basis.section(QLatin1Char(' '), 0, 0);
  auto ist = [&](std::initializer_list<const char*> namen) {
    for (const char* n : namen)
      if (wort == QLatin1String(n)) return true;
    return false;
  };
  if (ist({"TEXT", "VARCHAR", "CHAR", "NVARCHAR", "NCHAR", "CHARACTER", "STRING"})) {
    t.typ = FeldTyp::Text;
    t.groesse = groesse > 0 ? groesse : 255;
  } else if (ist({"MEMO", "LONGTEXT", "CLOB", "NTEXT"})) {
    t.typ = FeldTyp::Memo;
  } else if (ist({"CURRENCY", "MONEY"})) {
    t.typ = FeldTyp::Waehrung;
  } else if (ist({"DATE", "DATETIME", "TIMESTAMP", "TIME"})) {
    t.typ = FeldTyp::Datum;
  } else if (ist({"BOOLEAN", "BOOL", "BIT", "YESNO", "LOGICAL"})) {
    t.typ = FeldTyp::Boolean;
  } else if (ist({"SHORT", "SMALLINT", "INTEGER16", "TINYINT", "BYTE", "INT2"})) {
    t.typ = FeldTyp::Integer;
  } else if (ist({"INTEGER", "INT", "LONG", "BIGINT", "COUNTER", "INT8", "MEDIUMINT"})) {
    t.typ = FeldTyp::Long;
  } else if (ist({"DOUBLE", "REAL", "FLOAT", "SINGLE", "NUMERIC", "DECIMAL"})) {
    t.typ = FeldTyp::Double;
  } else if (ist({"BLOB", "BINARY", "VARBINARY", "LONGBINARY", "IMAGE"})) {
    t.typ = FeldTyp::Binaer;
  }
  return t;
}

Kennungsfeld KennungsfeldVon(const QString& feldname) {
  const QStringView name = QStringView(feldname).mid(feldname.lastIndexOf(QLatin1Char('.')) + 1);
  if (name.endsWith(QLatin1String("IBAN"), Qt::CaseInsensitive)) return Kennungsfeld::Iban;
  if (name.endsWith(QLatin1String("BIC"), Qt::CaseInsensitive)) return Kennungsfeld::Bic;
  return Kennungsfeld::Keines;
}
