#pragma once

#include <QString>
#include <QStringList>

#include <array>

#include "common/Optionsschalter.h"
#include "payments/core/Speicherfeld.h"

// Everything the settings dialog edits, read from and written to the settings store: the option
// flags of "Window State", the copy fields and the payment form's settings of "Formular State".
// The program font and the data folder are applied by the dialog itself (they act at once).
struct Programmoptionen {
  Optionsschalter schalter;
  std::array<bool, 6> kopierfeld{};
  bool neueingabeFortsetzen = true;
  Speicherfeld speicherfeld = Speicherfeld::Keines;
  QStringList autoVerwendungszweck;           // invoice, credit note, down payment
  bool optischeFehlerKontrolle = true;
  bool aufAbPfeilVerwenden = true;
  bool pruefenMitBlzAbgleich = false;

  static Programmoptionen Laden();
  // Writes every value; the texts lose any "\" (it separates them in the store).
  void Speichern() const;

  static const QString& AutoVerwendungszweckVorgabe();
  // German caption of an option flag (registry key), for the dialog.
  static QString Beschriftung(const char* schluessel);
};
