#include "platform/db/SqlText.h"

namespace {

bool IstNamenszeichen(QChar c) {
  const char16_t u = c.unicode();
  if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_') return true;
  switch (u) {
    case u'ä': case u'ö': case u'ü': case u'Ä': case u'Ö': case u'Ü': case u'ß':
      return true;
    default:
      return false;
  }
}

bool IstGueltigerTeil(QStringView teil) {
  if (teil.isEmpty() || teil.size() > 128) return false;
  for (QChar c : teil)
    if (!IstNamenszeichen(c)) return false;
  return true;
}

}  // namespace

bool SqlText::IstGueltigerBezeichner(const QString& name) {
  const qsizetype punkt = name.indexOf(QLatin1Char('.'));
  if (punkt < 0) return IstGueltigerTeil(name);
  return IstGueltigerTeil(QStringView(name).left(punkt)) && IstGueltigerTeil(QStringView(name).mid(punkt + 1));
}

SqlText SqlText::Bezeichner(const QString& name) {
  SqlText s;
  if (!IstGueltigerBezeichner(name)) {
    // Deliberately unpreparable; the rejected input never reaches the SQL text.
    s.m_text = QStringLiteral(" <ungueltiger Bezeichner> ");
    return s;
  }
  const qsizetype punkt = name.indexOf(QLatin1Char('.'));
  if (punkt < 0) {
    s.m_text = QLatin1Char('"') + name + QLatin1Char('"');
  } else {
    s.m_text = QLatin1Char('"') + name.left(punkt) + QStringLiteral("\".\"") + name.mid(punkt + 1) + QLatin1Char('"');
  }
  return s;
}

SqlText SqlText::Zahl(int64_t wert) {
  SqlText s;
  s.m_text = QString::number(wert);
  return s;
}

SqlText SqlText::Verbinden(const QList<SqlText>& teile, const SqlText& trenner) {
  SqlText s;
  for (qsizetype i = 0; i < teile.size(); ++i) {
    if (i > 0) s.m_text += trenner.m_text;
    s.m_text += teile.at(i).m_text;
  }
  return s;
}

Bedingung Bedingung::Und(const Bedingung& andere) const {
  if (andere.IstLeer()) return *this;
  if (IstLeer()) return andere;
  Bedingung b;
  b.sql = SqlText("(") + sql + SqlText(") AND (") + andere.sql + SqlText(")");
  b.parameter = parameter + andere.parameter;
  return b;
}

Bedingung Bedingung::AlleUnd(const QList<Bedingung>& teile) {
  Bedingung b;
  for (const Bedingung& t : teile) b = b.Und(t);
  return b;
}

SqlText Bedingung::AlsWhere() const {
  if (IstLeer()) return {};
  return SqlText(" WHERE (") + sql + SqlText(")");
}

Bedingung Bedingung::InNummern(const SqlText& spalte, const QList<qint64>& nummern) {
  return Bedingung(spalte + SqlText(" IN (SELECT value FROM json_each(?))"), {NummernAlsJson(nummern)});
}

QString NummernAlsJson(const QList<qint64>& nummern) {
  QByteArray json;
  json.reserve(nummern.size() * 8 + 2);
  json += '[';
  for (qsizetype i = 0; i < nummern.size(); ++i) {
    if (i > 0) json += ',';
    json += QByteArray::number(nummern.at(i));
  }
  json += ']';
  return QString::fromLatin1(json);
}

QString LikeMaskieren(const QString& text) {
  QString ergebnis;
  ergebnis.reserve(text.size() + 4);
  for (QChar c : text) {
    if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_')) ergebnis += QLatin1Char('\\');
    ergebnis += c;
  }
  return ergebnis;
}

QString LikeMusterAusFilter(const QString& text, bool praefix) {
  QString ergebnis;
  ergebnis.reserve(text.size() + 4);
  bool endetMitStern = false;   // a typed % at the end is a literal, so it still needs the wildcard
  for (QChar c : text) {
    endetMitStern = c == QLatin1Char('*');
    if (c == QLatin1Char('*')) {
      ergebnis += QLatin1Char('%');
    } else if (c == QLatin1Char('?')) {
      ergebnis += QLatin1Char('_');
    } else {
      if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_')) ergebnis += QLatin1Char('\\');
      ergebnis += c;
    }
  }
  if (praefix && !endetMitStern) ergebnis += QLatin1Char('%');
  return ergebnis;
}
