#pragma once

#include <QString>
#include <QStringView>

// A creditor identifier (Gläubiger-ID) as stored: blanks removed, capitals. Country, two check
// digits, three characters business code (not part of the check), national identifier; the check
// digits by ISO 7064 MOD 97-10 over the national identifier and the country.
class GlaeubigerId {
 public:
  enum class Fehler {
    Keiner,
    Fehlt,       // empty
    Aufbau,      // not country, two digits, three letters/digits, 1 to 28 letters/digits
    Land,        // not a country of the SEPA list
    Laenge,      // a German one has 18 characters
    Pruefziffer  // check digits wrong
  };

  GlaeubigerId() = default;
  explicit GlaeubigerId(QStringView eingabe);

  const QString& Text() const { return m_text; }
  QString Land() const { return m_text.left(2); }
  bool IstLeer() const { return m_text.isEmpty(); }

  Fehler Pruefen() const;
  bool Gueltig() const { return Pruefen() == Fehler::Keiner; }

  // The German message of a fault; empty for Keiner.
  static QString Meldung(Fehler fehler);

 private:
  QString m_text;
};
