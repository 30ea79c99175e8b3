#include "shell/Rechenausdruck.h"

#include <QRegularExpression>

#include <cmath>

namespace {

// Recursive descent over the text; the first fault stops the evaluation.
class Leser {
 public:
  explicit Leser(const QString& text) : m_text(text) {}

  Rechenausdruck::Ergebnis Lesen() {
    Rechenausdruck::Ergebnis e;
    Leerraum();
    if (m_pos >= m_text.size()) {
      e.fehler = QStringLiteral("Bitte geben Sie einen Rechenausdruck ein.");
      return e;
    }
    const double wert = Summe();
    if (m_fehler.isEmpty() && m_pos < m_text.size()) {
      if (m_text.at(m_pos) == QLatin1Char(')'))
        Fehler(QStringLiteral("Zu einer schließenden Klammer fehlt die öffnende Klammer."));
      else
        Fehler(QStringLiteral("Hier wird ein Rechenzeichen erwartet."));
    }
    if (m_fehler.isEmpty() && !std::isfinite(wert)) Fehler(QStringLiteral("Das Ergebnis ist zu groß."));
    if (!m_fehler.isEmpty()) {
      e.fehler = m_fehler;
      e.position = m_fehlerPos;
      return e;
    }
    e.wert = wert == 0.0 ? 0.0 : wert;  // no "-0"
    return e;
  }

 private:
  double Summe() {
    double links = Produkt();
    while (m_fehler.isEmpty()) {
      const QChar z = Zeichen();
      if (z == QLatin1Char('+')) {
        ++m_pos;
        links += Produkt();
      } else if (IstMinus(z)) {
        ++m_pos;
        links -= Produkt();
      } else {
        break;
      }
    }
    return links;
  }

  double Produkt() {
    double links = Vorzeichen();
    while (m_fehler.isEmpty()) {
      const QChar z = Zeichen();
      if (z == QLatin1Char('*') || z == QChar(0x00D7) || z == QChar(0x00B7)) {
        ++m_pos;
        links *= Vorzeichen();
      } else if (z == QLatin1Char('/') || z == QChar(0x00F7) || z == QLatin1Char(':')) {
        const int stelle = m_pos;
        ++m_pos;
        const double rechts = Vorzeichen();
        if (!m_fehler.isEmpty()) break;
        if (rechts == 0.0) {
          m_pos = stelle;
          Fehler(QStringLiteral("Division durch Null ist nicht möglich."));
          break;
        }
        links /= rechts;
      } else {
        break;
      }
    }
    return links;
  }

  double Vorzeichen() {
    const QChar z = Zeichen();
    if (z == QLatin1Char('+')) {
      ++m_pos;
      return Vorzeichen();
    }
    if (IstMinus(z)) {
      ++m_pos;
      return -Vorzeichen();
    }
    return Grundwert();
  }

  double Grundwert() {
    const QChar z = Zeichen();
    if (m_pos >= m_text.size()) {
      Fehler(QStringLiteral("Der Rechenausdruck ist unvollständig."));
      return 0;
    }
    if (z == QLatin1Char('(')) {
      const int auf = m_pos;
      ++m_pos;
      const double wert = Summe();
      if (!m_fehler.isEmpty()) return 0;
      if (Zeichen() != QLatin1Char(')')) {
        if (m_pos >= m_text.size()) {
          m_pos = auf;
          Fehler(QStringLiteral("Es fehlt eine schließende Klammer."));
        } else {
          Fehler(QStringLiteral("Hier wird ein Rechenzeichen erwartet."));
        }
        return 0;
      }
      ++m_pos;
      return wert;
    }
    if (z.isDigit() || z == QLatin1Char(',') || z == QLatin1Char('.')) return Zahl();
    if (z == QLatin1Char(')')) {
      Fehler(QStringLiteral("Der Rechenausdruck ist unvollständig."));
      return 0;
    }
    Fehler(QStringLiteral("Das Zeichen \u201E%1\u201C ist im Rechenausdruck nicht erlaubt.").arg(z));
    return 0;
  }

  double Zahl() {
    const int anfang = m_pos;
    while (m_pos < m_text.size()) {
      const QChar z = m_text.at(m_pos);
      if (!(z.isDigit() || z == QLatin1Char(',') || z == QLatin1Char('.'))) break;
      ++m_pos;
    }
    const QString roh = m_text.mid(anfang, m_pos - anfang);
    const std::optional<double> wert = ZahlLesen(roh);
    if (!wert) {
      m_pos = anfang;
      Fehler(QStringLiteral("Die Zahl \u201E%1\u201C ist ungültig.").arg(roh));
      return 0;
    }
    Leerraum();
    return *wert;
  }

  static std::optional<double> ZahlLesen(const QString& roh) {
    static const QRegularExpression gruppiert(QStringLiteral("^\\d{1,3}(\\.\\d{3})+$"));
    static const QRegularExpression ziffern(QStringLiteral("^\\d*$"));
    QString ganz = roh;
    QString bruch;
    const int komma = roh.indexOf(QLatin1Char(','));
    if (komma >= 0) {
      ganz = roh.left(komma);
      bruch = roh.mid(komma + 1);
      if (!ziffern.match(bruch).hasMatch()) return std::nullopt;  // second comma or a dot behind it
      if (gruppiert.match(ganz).hasMatch()) ganz.remove(QLatin1Char('.'));
      if (!ziffern.match(ganz).hasMatch()) return std::nullopt;
    } else if (gruppiert.match(roh).hasMatch()) {
      ganz = roh;
      ganz.remove(QLatin1Char('.'));
    } else {
      const int punkt = roh.indexOf(QLatin1Char('.'));
      if (punkt >= 0) {
        ganz = roh.left(punkt);
        bruch = roh.mid(punkt + 1);
        if (!ziffern.match(bruch).hasMatch()) return std::nullopt;
      }
      if (!ziffern.match(ganz).hasMatch()) return std::nullopt;
    }
    if (ganz.isEmpty() && bruch.isEmpty()) return std::nullopt;
    bool ok = false;
    const double wert = QString(ganz + QLatin1Char('.') + bruch + QLatin1Char('0')).toDouble(&ok);
    if (!ok) return std::nullopt;
    return wert;
  }

  static bool IstMinus(QChar z) { return z == QLatin1Char('-') || z == QChar(0x2212) || z == QChar(0x2013); }

  QChar Zeichen() {
    Leerraum();
    return m_pos < m_text.size() ? m_text.at(m_pos) : QChar();
  }

  void Leerraum() {
    while (m_pos < m_text.size() && m_text.at(m_pos).isSpace()) ++m_pos;
  }

  void Fehler(const QString& text) {
    if (!m_fehler.isEmpty()) return;
    m_fehler = text;
    m_fehlerPos = m_pos;
  }

  const QString& m_text;
  int m_pos = 0;
  QString m_fehler;
  int m_fehlerPos = -1;
};

}  // namespace

Rechenausdruck::Ergebnis Rechenausdruck::Auswerten(const QString& ausdruck) {
  return Leser(ausdruck).Lesen();
}

QString Rechenausdruck::ZahlText(double wert) {
  QString text = QString::number(wert, 'f', 10);
  if (text.contains(QLatin1Char('.'))) {
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  }
  if (text == QLatin1String("-0")) text = QStringLiteral("0");
  text.replace(QLatin1Char('.'), QLatin1Char(','));
  return text;
}
