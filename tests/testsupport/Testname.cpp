#include "testsupport/Testname.h"

namespace {

QString Umlaut(QChar c) {
  switch (c.unicode()) {
    case u'ä': return QStringLiteral("ae");
    case u'ö': return QStringLiteral("oe");
    case u'ü': return QStringLiteral("ue");
    case u'Ä': return QStringLiteral("Ae");
    case u'Ö': return QStringLiteral("Oe");
    case u'Ü': return QStringLiteral("Ue");
    case u'ß': return QStringLiteral("ss");
    default: return {};
  }
}

QString Teil(const QString& text) {
  QString n;
  bool gross = false;
  for (const QChar c : text) {
    if (const QString u = Umlaut(c); !u.isEmpty()) {
      n += u;
      continue;
    }
    if (c.unicode() < 128 && c.isLetterOrNumber()) {
      n += gross ? c.toUpper() : c;
      gross = false;
    } else if (c.isSpace()) {
      gross = !n.isEmpty();
    }
  }
  return n;
}

}  // namespace

std::string Testname(const QStringList& teile) {
  QStringList n;
  for (const QString& t : teile) {
    const QString teil = Teil(t);
    n << (teil.isEmpty() ? QStringLiteral("leer") : teil);
  }
  if (n.isEmpty()) n << QStringLiteral("leer");
  return n.join(QLatin1Char('_')).toStdString();
}

std::string TestnameBuchstabiert(const QString& text) {
  QString n;
  for (const QChar c : text) {
    if (c.unicode() < 128 && c.isLetterOrNumber()) {
      n += c;
      continue;
    }
    if (const QString u = Umlaut(c); !u.isEmpty()) {
      n += u;
      continue;
    }
    switch (c.unicode()) {
      case u'.': n += QStringLiteral("Punkt"); break;
      case u',': n += QStringLiteral("Komma"); break;
      case u'-': n += QStringLiteral("Minus"); break;
      case u'+': n += QStringLiteral("Plus"); break;
      case u' ': n += QStringLiteral("Blank"); break;
      case u'\t': n += QStringLiteral("Tab"); break;
      case u'\'': n += QStringLiteral("Apostroph"); break;
      case u'"': n += QStringLiteral("Anfuehrung"); break;
      case u'%': n += QStringLiteral("Prozent"); break;
      case u'_': n += QStringLiteral("Unterstrich"); break;
      case u'*': n += QStringLiteral("Stern"); break;
      case u'?': n += QStringLiteral("Frage"); break;
      case u';': n += QStringLiteral("Semikolon"); break;
      case u':': n += QStringLiteral("Doppelpunkt"); break;
      case u'/': n += QStringLiteral("Schraeg"); break;
      case u'(': n += QStringLiteral("Auf"); break;
      case u')': n += QStringLiteral("Zu"); break;
      case u'=': n += QStringLiteral("Gleich"); break;
      case u'#': n += QStringLiteral("Raute"); break;
      case u'\\': n += QStringLiteral("Backslash"); break;
      default: n += QStringLiteral("U%1").arg(c.unicode(), 4, 16, QLatin1Char('0')); break;
    }
  }
  return n.isEmpty() ? std::string("leer") : n.toStdString();
}
