#include "zahlungsverkehr/SepaKennung.h"

bool SepaKennung::ImZeichensatz(QChar c) {
  if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
      (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
    return true;
  switch (c.unicode()) {
    case u'+': case u'?': case u'/': case u'-': case u':': case u'(': case u')': case u'.': case u',': case u'\'':
    case u' ':
      return true;
    default:
      return false;
  }
}

SepaKennung::Fehler SepaKennung::Pruefen() const {
  const QString& t = m_text;
  if (t.isEmpty()) return Fehler::Leer;
  if (t.size() > MaxLaenge) return Fehler::ZuLang;
  for (const QChar c : t)
    if (!ImZeichensatz(c)) return Fehler::Zeichen;
  if (t.front() == QLatin1Char(' ') || t.back() == QLatin1Char(' ')) return Fehler::Leerzeichen;
  if (t.front() == QLatin1Char('/') || t.back() == QLatin1Char('/')) return Fehler::Schraegstrich;
  if (t.contains(QLatin1String("//"))) return Fehler::DoppelterSchraegstrich;
  return Fehler::Keiner;
}

QString SepaKennung::Meldung(Fehler fehler, const QString& bezeichnung) {
  switch (fehler) {
    case Fehler::Keiner: return {};
    case Fehler::Leer: return bezeichnung + QStringLiteral(" fehlt noch.");
    case Fehler::ZuLang: return bezeichnung + QStringLiteral(" darf höchstens 35 Zeichen lang sein.");
    case Fehler::Zeichen:
      return bezeichnung + QStringLiteral(" enthält nicht erlaubte Zeichen.\r"
                                          "(Erlaubt sind A-Z, a-z, 0-9, das Leerzeichen "
                                          "und + ? / - : ( ) . , ')");
    case Fehler::Leerzeichen:
      return bezeichnung + QStringLiteral(" darf nicht mit einem Leerzeichen beginnen oder enden.");
    case Fehler::Schraegstrich: return bezeichnung + QStringLiteral(" darf nicht mit \"/\" beginnen oder enden.");
    case Fehler::DoppelterSchraegstrich: return bezeichnung + QStringLiteral(" darf kein \"//\" enthalten.");
  }
  return {};
}
