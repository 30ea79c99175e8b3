#pragma once

#include <QString>

#include <optional>

#include "iban/IbanHinweis.h"

class BankleitzahlTabelle;

// What the conversion decides for one address. IBAN and BIC come together: when no IBAN is formed, both
// are empty and the address keeps its own. Bank is set whenever the bank code was found.
struct IbanErgebnis {
  std::optional<QString> IBAN;
  std::optional<QString> BIC;
  std::optional<QString> Bank;   // the bank's short name from the bank-code file
  IbanHinweis Hinweis = IbanHinweis::Keiner;
  QString HinweisText;           // for IBANKonvertierHinweis; empty clears it
  QString RegelId;               // of the row in use; empty when the bank code was not found
};

// The conversion of one address: bank code and account number as stored (a Null field as empty text).
IbanErgebnis IbanErmitteln(const QString& blz, const QString& kontoNr, const BankleitzahlTabelle& tabelle);
