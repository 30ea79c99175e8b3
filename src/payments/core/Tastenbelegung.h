#pragma once

#include <Qt>

#include <QString>

#include "payments/core/Speicherfeld.h"
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

// --- Keys of the line grid -------------------------------------------------------------------

// The grid's two working styles: selecting whole lines, and typing into cells.
enum class ZeilengitterStil { Zeilenauswahl, Zellbearbeitung, Anderer };

struct ZeilengitterTastenKontext {
  Qt::KeyboardModifiers modifikatoren;
  bool imFilter = false;         // typed into a filter bar
  bool imEditor = false;         // the key went to an open cell editor
  bool editorOffen = false;      // a cell editor is open (the key may have come from the grid itself)
  bool listeOffen = false;       // the open-item list is open: its keys are its own
  bool eingabeModus = false;
  ZeilengitterStil stil = ZeilengitterStil::Anderer;
  int zeile = -1;                // current row; -1 none
  int spalte = -1;               // current column; -1 none
  QString feld;                  // data field of the current column
  bool zellTextLeer = true;      // the current cell shows no text
  bool neueZeile = false;        // the current row is the grid's new row
  bool zeileAusstehend = false;  // the current line holds typed values not yet stored
  bool ersteSpalte = false;      // the current column is the first one shown
  bool letzteSpalte = false;     // the current column is the last one shown
  int zeilenAnzahl = 0;          // stored lines of the payment (the new row not counted)
  bool wertEditor = false;       // the column edits a number or a date
  bool aufAbPfeil = false;       // "AufAbPfeilVerwenden"
  int ausgewaehlt = 0;           // lines selected
  bool neueZeilenErlaubt = false;
  Speicherfeld speicherfeld = Speicherfeld::Keines;
};

enum class ZeilengitterAktion {
  Keine,               // the grid acts on the key itself
  ZelleOeffnenAnfang,  // Left on a filled cell: edit it, caret at the start
  ZelleOeffnenEnde,    // Right on a filled cell: edit it, caret after the text
  ZeileVerwerfen,      // Esc: drop the typed values of the line
  Zeilenauswahl,       // Esc: from typing back to selecting lines
  Schliessen,          // Esc while selecting: command "Schliessen" (cancel the entry)
  Zellbearbeitung,     // Enter while selecting: start typing at the item number (or the text)
  Speichern,           // Enter by "Speicherfeld": store the line, then command "Neu" (save)
  WieTab,              // Enter or Tab on the last column of the empty new row: on to the next field
  WieUmschaltTab,      // Shift+Tab on the first cell: back to the field before the lines
  ZelleWeiter,         // Enter or Tab: the typed value into the line, on to the next column
  ZelleZurueck,        // Shift+Tab: back to the column before
  ZeileWeiter,         // Enter or Tab on the last column: store the line, on to the next line's first
                       // column (the new row, while the payment has fewer than five lines)
  ZeileAbschliessen,   // the same on the fifth line: store it and go on to the next field
  ZeileRunter,         // Down on a line being typed: store it, on to the row below in the same column
  ZeileZurueck,        // Shift+Tab on the first column: to the line above, last column
  WertAendern,         // Up/Down in a number or date editor: one unit or one day on or back
  MarkierteLoeschen,   // Del: delete the selected lines together, or the current line
  WertVonOben,         // F6: the value of the same column in the line above
};

ZeilengitterAktion ZeilengitterTaste(int taste, const ZeilengitterTastenKontext& kontext);
