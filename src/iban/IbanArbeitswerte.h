#pragma once

#include <QString>

#include <optional>

#include "iban/IbanHinweis.h"

class BankleitzahlTabelle;

// The working values of one record while a rule arm runs, and what the arm decides for the record's
// IBAN, BIC and IBANKonvertierHinweis. The record's own BLZ, KontoNr and Bank are never written by an arm.
struct IbanArbeitswerte {
  QString BLZ;                  // working bank code (possibly the successor's, or replaced by the rule)
  QString KontoNr;              // working account number, as stored until a rule rewrites it
  QString RegelId;              // six characters: rule number and version
  QString BIC;                  // working BIC, from the bank-code file until a rule overrides it
  QString Pruefziffernmethode;  // of the bank's account numbers (rule 0005 reads it)
  const BankleitzahlTabelle* Tabelle = nullptr;  // for the rules that look a replaced bank code up

  std::optional<QString> IBAN;  // formed IBAN; none when the arm forms none
  QString FeldBIC;              // the BIC that goes with the IBAN
  IbanHinweis Hinweis = IbanHinweis::Keiner;
};
