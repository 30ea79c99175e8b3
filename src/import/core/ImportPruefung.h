#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "platform/db/Datenbank.h"
#include "platform/db/Waehrung.h"

// A field of an imported payment that can be faulty.
enum class ImportFeld { Name, Iban, Bic, MandatReferenz, MandatDatum, MandatSequenz, Textschluessel, Verwendungszweck, Betrag };

// An imported payment with the values it will be stored with.
struct ImportZahlung {
  QString art;                        // "G" credit transfer, "L" direct debit
  QString name;
  QString bank;
  QString iban;                       // as stored: without blanks, upper-case
  QString bic;
  QString mandatReferenz;             // direct debits
  std::optional<QDate> mandatDatum;
  int mandatSequenz = 0;
  QString textschluessel;             // empty = none
  QStringList zeilentexte;            // the remittance lines in order
  Waehrung gesamt;                    // ZahlungGesamt
};

// The sizes of the fields the import writes (the schema's TEXT(n)).
struct ImportFeldgroessen {
  int name = 70;
  int bank = 60;
  int iban = 34;
  int bic = 11;
  int mandatReferenz = 35;
  int textschluessel = 4;
  int opKontoNr = 10;
  int zeile = 27;                     // Verwendungszweck.Verwendungszweck
  static ImportFeldgroessen Lesen(Datenbank& db);
};

// The validity of an imported payment: every faulty field, each once, in the order name, IBAN,
// BIC, mandate reference, mandate date, mandate sequence, purpose code, remittance lines, amount.
// The one place the import judges a payment: it follows the payment form's rules for name, BIC,
// IBAN, lines, amount and mandate data; a value longer than its field is faulty (never cut); the
// purpose code is empty or one of the kind's list; a direct debit's sequence is 1 to 4 or 11 to 14.
QList<ImportFeld> ImportZahlungPruefen(const ImportZahlung& zahlung, const ImportFeldgroessen& groessen,
                                       const QDate& heute);
