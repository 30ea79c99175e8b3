#pragma once

#include <QString>

#include <optional>

#include "masterdata/core/Absenderdaten.h"

// The input checks of the sender form (UI-free). IBAN and BIC are compared without blanks and in
// capitals (Normalisieren). Each refusal names the field and ends with
// "Bitte korrigieren/ergänzen Sie die Eingabe.".
class Absenderpruefung {
 public:
  enum class Feld { Name, Bic, Iban, GlaeubigerId, AdressenVerbindung };
  struct Fehler {
    Feld feld;
    QString meldung;
  };

  // Trims every text, removes blanks from IBAN, BIC and creditor id and puts them in capitals.
  static Absenderdaten Normalisieren(const Absenderdaten& daten);
  // The first fault in field order, or nothing when the sender may be stored.
  static std::optional<Fehler> Pruefen(const Absenderdaten& daten);

  static const QString& Schluss();   // "Bitte korrigieren/ergänzen Sie die Eingabe."
};
