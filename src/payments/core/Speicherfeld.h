#pragma once

#include <QString>

#include <array>

// "Speicherfeld" (registry section "Formular State"): which Enter of the payment form saves the
// payment. Stored as its number; the settings dialog offers the captions below.
enum class Speicherfeld {
  Keines = 0,                   // Enter moves on; in the line grid it is the grid's
  Betragsfeld = 1,              // Enter (with or without Shift) in the amount field
  OPBetragZeile = 2,            // Enter in column OPBetrag of a stored line or a line being typed
  ZahlungsbetragZeile = 3,      // Enter in column ZahlungsBetrag of a stored line or a line being typed
  OPBetragNeueZeile = 4,        // Enter in column OPBetrag of the empty new row
  ZahlungsbetragNeueZeile = 5,  // Enter in column ZahlungsBetrag of the empty new row
};

// Every value in stored order.
const std::array<Speicherfeld, 6>& AlleSpeicherfelder();
// The stored text: a number 0 to 5 (blanks around it allowed); anything else is Keines.
Speicherfeld SpeicherfeldAusText(const QString& text);
QString SpeicherfeldAlsText(Speicherfeld feld);
// The caption the settings dialog shows.
QString SpeicherfeldBeschriftung(Speicherfeld feld);

// Whether Enter in a column of the line grid saves the payment: `feld` is the column's data field,
// `neueZeile` the empty new row (nothing typed into it yet).
bool EnterSpeichertImZeilengitter(Speicherfeld speicherfeld, const QString& feld, bool neueZeile);
