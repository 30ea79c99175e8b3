#pragma once

#include <QDate>
#include <QString>

#include <optional>

#include "payments/core/OffeneZahlung.h"
#include "payments/core/Speicherpruefung.h"
#include "platform/db/Datenbank.h"

struct SpeicherKontext {
  int absenderNr = 0;                 // AktuelleAbsenderNr
  Zahlart zahlart = Zahlart::Ueberweisung;
  bool zeilengitterSichtbar = false;  // display mode 1 or 2
  QDate heute;
  std::optional<Zahlungsstand> geladen;  // the row as the form read it; none for a new payment
  std::optional<Zeilenstand> zeilen;     // the lines and total as the form shows them; none for a new payment
};

struct SpeicherErgebnis {
  std::optional<PruefFehler> pruefFehler;  // a check failed: nothing was written
  DbFehler dbFehler;                       // the write failed: nothing was written
  bool veraltet = false;                   // refused: the stored row or lines no longer equal `geladen` or `zeilen`
  std::optional<Zahlungsstand> gespeichert;  // after a save: the row as stored, for the next save to compare
  bool Ok() const { return !pruefFehler && dbFehler.Ok(); }
  // Message box text: the check's text with its ending, or "Fehler beim Speichern der Daten!" with
  // number and description. Empty on success.
  QString Meldungstext() const;
};

// Saves the payment `zahlungNr` (the row "Neu" stored, or the one being changed): every check
// first, and a value longer than its field is refused (never cut); only then, in one transaction, the
// payment row with sender, kind, Währung True, the cleaned texts, IBAN without blanks and BIC upper-case,
// the purpose code upper-case, and in the single-field display line 1 (with more than one line, or with the
// amount line 1 pays already, only line 1's text changes: its open item and discount stay); in the grid
// display the lines are numbered 1..n again. A row of another sender or kind, or one done meanwhile, is never
// overwritten; nor, with `geladen` and `zeilen`, one whose row or lines (line 1 the single field writes, the
// numbers the grid display closes) were changed meanwhile. On return `eingabe` holds the values as they were
// stored (or as cleaned by the checks).
SpeicherErgebnis ZahlungSpeichern(Datenbank& db, qint64 zahlungNr, ZahlungEingabe& eingabe, const SpeicherKontext& kontext);
