#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// An IBAN as the program stores and writes it: blanks removed, capitals. Every window, the SEPA
// pre-check and the writer judge an IBAN through Pruefen and nothing else.
class Iban {
 public:
  // What is wrong, in the order in which it is found (and the payment form reports it).
  enum class Fehler {
    Keiner,
    Fehlt,            // empty
    ZuKurz,           // fewer than 15 characters
    UnbekanntesLand,  // not a country of the SEPA country list
    FalscheLaenge,    // not the length the IBAN registry gives the country
    Zeichen,          // not two letters, two digits, then letters and digits
    Kontoaufbau,      // the account part (BBAN) is not of the form the IBAN registry gives the country
    Pruefziffer       // ISO 7064 MOD 97-10 fails
  };

  // One country of the SEPA scheme with its own IBAN country code (IBAN registry); territories that
  // use the IBANs of FR, GB, FI or PT need no entry. `ewr`: a member of the European Economic Area.
  struct SepaLand {
    QString code;
    int laenge = 0;
    bool ewr = true;
    QString aufbau;   // the account part as the registry writes it: "8n10n" (n digits, a letters, c either)
  };

  Iban() = default;
  // As typed or stored: blanks anywhere, small letters.
  explicit Iban(QStringView eingabe);

  // The electronic form ("DE89370400440532013000").
  const QString& Text() const { return m_text; }
  // Text() of a value stored as UTF-8 bytes, appended to `ziel` as UTF-8 (no QString for the usual ASCII).
  static void TextAnhaengen(QByteArrayView gespeichert, QByteArray& ziel);
  // The paper form in blocks of four ("DE89 3704 0044 0532 0130 00").
  QString Bloecke() const;
  QString Land() const { return m_text.left(2); }
  bool IstLeer() const { return m_text.isEmpty(); }

  Fehler Pruefen() const;
  bool Gueltig() const { return Pruefen() == Fehler::Keiner; }
  // A country of the SEPA list outside the EEA (CH, GB, MC, SM, VA, AD, ...; GB covers JE, GG, IM):
  // credit transfers and direct debits to it need the BIC.
  bool BicPflicht() const;

  // The German message of a fault (the payment form's texts); empty for Keiner.
  static QString Meldung(Fehler fehler);
  // The message of this IBAN's fault, naming its country's account form where that is what is wrong.
  QString Meldung() const;
  // An account form in words: "4a10n" gives "4 Buchstaben, 10 Ziffern".
  static QString KontoaufbauText(const QString& aufbau);
  // The SEPA country list entry of a country code (capitals); nullopt for any other code.
  static std::optional<SepaLand> SepaLandSuchen(QStringView code);

 private:
  QString m_text;
};
