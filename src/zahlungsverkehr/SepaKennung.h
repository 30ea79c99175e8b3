#pragma once

#include <QString>
#include <QStringView>

// An identifier of a SEPA file as the bank reads it (MsgId, PmtInfId, EndToEndId, MndtId): 1 to 35
// characters of A-Z a-z 0-9 + ? / - : ( ) . , ' and blank, no blank at either end, no "/" at either
// end and no "//" inside. The schemas let the last three pass; German banks reject or flag them.
class SepaKennung {
 public:
  static constexpr int MaxLaenge = 35;

  enum class Fehler {
    Keiner,
    Leer,                   // empty
    ZuLang,                 // more than 35 characters
    Zeichen,                // a character outside the set (umlauts, ß, &, # ...)
    Leerzeichen,            // a blank at the start or the end
    Schraegstrich,          // "/" at the start or the end
    DoppelterSchraegstrich  // "//" inside
  };

  SepaKennung() = default;
  // Taken exactly as given: a blank at either end is a fault, not trimmed away.
  explicit SepaKennung(QStringView text) : m_text(text.toString()) {}

  const QString& Text() const { return m_text; }
  Fehler Pruefen() const;
  bool Gueltig() const { return Pruefen() == Fehler::Keiner; }

  // Whether a character belongs to the identifiers' set.
  static bool ImZeichensatz(QChar zeichen);
  // The German message of a fault for the named field, e.g. Meldung(f, "Die Referenz-Angabe").
  static QString Meldung(Fehler fehler, const QString& bezeichnung);

 private:
  QString m_text;
};
