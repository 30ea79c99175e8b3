#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// A BIC as the program stores and writes it: blanks removed, capitals. Form: 4 letters bank code,
// 2 letters country, 2 letters/digits location, optional 3 letters/digits branch; the branch "XXX"
// is the same as none. Whether an empty BIC is allowed is the order's rule (Auftragspruefung).
class Bic {
 public:
  enum class Fehler {
    Keiner,
    Fehlt,     // empty
    Laenge,    // not 8 or 11 characters
    Bankcode,  // characters 1-4 not letters
    Land,      // characters 5-6 not a country code
    Ort,       // characters 7-8 not a location code
    Filiale    // characters 9-11 not letters/digits
  };

  Bic() = default;
  explicit Bic(QStringView eingabe);

  const QString& Text() const { return m_text; }
  // Text() of a value stored as UTF-8 bytes, appended to `ziel` as UTF-8 (no QString for the usual ASCII).
  static void TextAnhaengen(QByteArrayView gespeichert, QByteArray& ziel);
  QString Land() const { return m_text.mid(4, 2); }
  bool IstLeer() const { return m_text.isEmpty(); }

  Fehler Pruefen() const;
  bool Gueltig() const { return Pruefen() == Fehler::Keiner; }

  // The eight-character form when the branch is "XXX", else the text: what two BICs are compared by.
  QString Vergleichsform() const;
  bool operator==(const Bic& andere) const { return Vergleichsform() == andere.Vergleichsform(); }

  // The German message of a fault; empty for Keiner.
  static QString Meldung(Fehler fehler);

 private:
  QString m_text;
};
