#pragma once

#include <QString>
#include <QStringView>

#include "zahlungsverkehr/SepaKennung.h"

// A mandate reference as stored and written into MndtId: trimmed, and then an identifier by the
// rules of SepaKennung. It is written unconverted: the debtor signed exactly this text.
class MandatReferenz {
 public:
  using Fehler = SepaKennung::Fehler;  // Leer: the reference is missing

  MandatReferenz() = default;
  explicit MandatReferenz(QStringView eingabe) : m_text(eingabe.trimmed().toString()) {}

  const QString& Text() const { return m_text; }
  bool IstLeer() const { return m_text.isEmpty(); }
  Fehler Pruefen() const { return SepaKennung(m_text).Pruefen(); }
  bool Gueltig() const { return Pruefen() == Fehler::Keiner; }

  // The German message of a fault ("Die Mandat-Referenz ..."); empty for Keiner.
  static QString Meldung(Fehler fehler);

 private:
  QString m_text;
};
