#pragma once

#include <QString>

// The payment form's toolbar commands, by button key (Toolbar1), plus the form-level actions
// that keys trigger without a button.
enum class Zahlungsbefehl {
  Keiner,
  Neu,         // "Neu": new payment; in entry mode save
  Aendern,     // "Ändern"
  Kopieren,    // "Kopieren"
  Loeschen,    // "Löschen"
  Suchen,      // "Suchen"
  Import,      // "Import"
  Skonto,      // "Skonto"
  Pruefen,     // "Prüfen"
  Schliessen,  // "Schliessen": close; in entry mode cancel
  Hilfe,       // F1
  Rechner,     // Ctrl/Alt+F2
  Faelligkeit  // F6: due-date limit
};

// Button key of a toolbar command ("Neu", "Ändern", ...); empty for the key-only actions.
QString Schaltflaechenschluessel(Zahlungsbefehl befehl);
// The command of a button key (compared exactly, case included); Keiner for any other key.
Zahlungsbefehl BefehlAusSchluessel(const QString& schluessel);
