#pragma once

#include <QString>

// A failure reported by the address rows of a conversion run: number and description, for the program's
// "Nr: " / "Beschreibung: " messages. Nummer 0 = success.
struct IbanDatensatzFehler {
  int Nummer = 0;
  QString Beschreibung;

  bool Ok() const { return Nummer == 0; }
};

// The fields of an address that the conversion reads or writes.
enum class IbanFeld { BLZ, KontoNr, IBAN, BIC, Bank, IBANKonvertierHinweis };

// The address rows a conversion run walks through. The address window adapts its recordset to it; the run
// itself knows no database. The run calls TransaktionBeginnen once before the first write and either
// TransaktionBestaetigen or TransaktionVerwerfen at the end.
class IbanDatensaetze {
 public:
  virtual ~IbanDatensaetze() = default;

  // Number of rows, for the progress display.
  virtual qint64 Anzahl() = 0;
  // Moves to the first row; false when there is none.
  virtual bool Erster() = 0;
  // Moves to the next row; false past the last one.
  virtual bool Naechster() = 0;
  // Why Erster or Naechster returned false before the last row (the rows could not be read); Ok when
  // the walk went through.
  virtual IbanDatensatzFehler LeseFehler() = 0;
  // The current row's address number, for messages.
  virtual QString AdressNr() = 0;

  // A Null field reads as empty text.
  virtual QString Lesen(IbanFeld feld) = 0;
  // Puts the current row into editing when it is not yet.
  virtual IbanDatensatzFehler Schreiben(IbanFeld feld, const QString& wert) = 0;
  // Saves the current row.
  virtual IbanDatensatzFehler Speichern() = 0;

  virtual IbanDatensatzFehler TransaktionBeginnen() = 0;
  virtual IbanDatensatzFehler TransaktionBestaetigen() = 0;
  virtual void TransaktionVerwerfen() = 0;
};
