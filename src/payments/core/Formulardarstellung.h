#pragma once

#include <QList>
#include <QString>

#include "payments/core/Zahlungsbefehl.h"
#include "payments/core/ZahlungsformularZustand.h"

// One toolbar button as the mode shows it.
struct Schaltflaeche {
  Zahlungsbefehl befehl = Zahlungsbefehl::Keiner;
  QString schluessel;     // button key ("Neu", "Ändern", ...)
  QString beschriftung;   // caption (empty with ArbeitsfensterOhneText)
  QString bild;           // picture key of the main window's picture lists
  QString tooltip;
  bool sichtbar = true;
  bool aktiviert = true;
};

struct DarstellungsOptionen {
  bool ohneText = false;        // ArbeitsfensterOhneText
  bool opVerknuepft = false;    // AdressQuelle.OPVerknuepft (the import window or, without, why not)
};

// Everything the mode switch (EingabeModusAnzeigen, SchaltflaechenSetzen, GesamtsummeAnzeigen)
// applies to the window, computed from the state.
struct Formulardarstellung {
  QList<Schaltflaeche> schaltflaechen;  // toolbar order; a separator stands before "Schliessen"
  QString fenstertitel;                 // "Zahlungen erfassen", with the due-date limit when one is set
  QString navigatorBeschriftung;        // "Blättern", "Neueingabe", "Ändern"
  bool eingabeModus = false;
  bool rahmenAktiv = true;              // kind selector and line-display frames, browse grid
  bool eingabefelderAktiv = false;      // payee fields, purpose code, due date, amount
  bool mandatfelderAktiv = false;       // sequence options, mandate reference, mandate date
  bool zeilengitterBearbeitbar = false; // add, delete, change in the line grid
  QString gesamtsummeBeschriftung;      // "Gesamtsumme Gutschriften", "Gesamtsumme Basis-Lastschriften", ...
  bool farbeBlau = false;               // totals of direct debits blue, of credit transfers red

  const Schaltflaeche* Suchen(Zahlungsbefehl befehl) const;
  // A click or a shortcut runs a command only when its button is visible and enabled.
  bool Ausfuehrbar(Zahlungsbefehl befehl) const;
};

// `anzahlZahlungen`: rows of the browse query.
Formulardarstellung FormulardarstellungErmitteln(const ZahlungsformularZustand& zustand, int anzahlZahlungen,
                                                 const DarstellungsOptionen& optionen);

// Tool tip of the record navigator for the area under the mouse (0..8); nullopt = unchanged.
std::optional<QString> NavigatorTooltip(int bereich);

// Why "Import" takes nothing over while the active sender has no linked open items, and where to link them.
QString ImportOhneVerknuepfungMeldung();
