#pragma once

#include <Qt>

#include "payments/core/Zahlungsbefehl.h"

// What a key does in the payment form (key preview of the form, and the browse grid's own keys).
struct Tastenaktion {
  Zahlungsbefehl befehl = Zahlungsbefehl::Keiner;
  bool verbraucht = false;  // the key does not reach the control that has the focus
};

struct FormularTastenKontext {
  bool eingabeModus = false;
  bool fokusImZeilengitter = false;  // the line grid has the focus: Esc belongs to the grid
};

// Form-level keys: Esc, F1, Ctrl/Alt+F2, F3, F6, F9 and Ctrl/Alt with N, S, L, I, P, K.
// Shift never matters; the letters without Ctrl/Alt and F2 without them reach the control.
Tastenaktion FormularTaste(int taste, Qt::KeyboardModifiers modifikatoren, const FormularTastenKontext& kontext);

struct BrowseGitterKontext {
  bool imFilterbalken = false;       // the cursor stands in the filter bar
  bool filterbalkenSichtbar = false; // search mode on
};

// Keys of the browse grid: Enter on a row starts "Ändern" once and is consumed; Del (on release)
// deletes the current payment while search mode is off.
Tastenaktion BrowseGitterTasteGedrueckt(int taste, const BrowseGitterKontext& kontext);
Tastenaktion BrowseGitterTasteLosgelassen(int taste, const BrowseGitterKontext& kontext);
