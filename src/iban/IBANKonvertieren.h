#pragma once

#include <QString>

#include <functional>
#include <map>

#include "iban/IbanHinweis.h"

class BankleitzahlTabelle;
class IbanDatensaetze;

// Progress of a conversion run: the status texts, in order "BLZ-Bestand der Bundesbank wird eingelesen...",
// "Daten werden konvertiert...", "Bereit", and the number of rows done out of all.
struct IbanKonvertierRueckmeldung {
  std::function<void(const QString& text)> Status;
  std::function<void(qint64 erledigt, qint64 gesamt)> Fortschritt;
};

struct IbanKonvertierErgebnis {
  bool Ok = false;
  QString Meldung;             // when not Ok: what went wrong, for a message box; no address was changed
  qint64 Datensaetze = 0;      // rows converted and saved
  qint64 MitIban = 0;          // rows that received an IBAN
  QString Hinweis;             // records of the bank-code file that were refused (the run went on without them)
  std::map<IbanHinweis, qint64> JeHinweis;  // rows per hint written
  // Rows that already carry an IBAN and no bank code: nothing to convert, left as they are.
  qint64 BereitsUmgestellt = 0;

  // The closing message of a run that went through: how many rows got an IBAN, stayed as they were,
  // and how many carry which hint, by hint number.
  QString Zusammenfassung() const;
};

// Converts BLZ and KontoNr of every row to IBAN and BIC by the Bundesbank's IBAN rules and leaves a numbered
// hint where no IBAN could be formed or the result needs checking. Reads the bank-code file blzDatei into
// tabelle first (the caller empties it afterwards); a file that cannot serve stops the run before any row
// is touched. A row with an IBAN but without a bank code needs no conversion: only a hint of an earlier run is
// cleared (counted as BereitsUmgestellt). All rows are written in one transaction: a row that cannot be saved rolls the whole run back
// and is named in the message. A row without a new IBAN keeps its IBAN and BIC.
IbanKonvertierErgebnis IBANKonvertieren(const QString& blzDatei, BankleitzahlTabelle& tabelle,
                                        IbanDatensaetze& daten, const IbanKonvertierRueckmeldung& rueckmeldung = {});
