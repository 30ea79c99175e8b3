#pragma once

#include <QDate>
#include <QList>

#include "zahlungsverkehr/Auftragspruefung.h"
#include "zahlungsverkehr/Zahlungsauftrag.h"
#include "platform/db/Datenbank.h"

// The sizes of the fields the import writes (the schema's TEXT(n)).
struct ImportFeldgroessen {
  int name = 70;
  int bank = 60;
  int opKontoNr = 10;
  int iban = 34;
  int bic = 11;
  int mandatReferenz = 35;
  int textschluessel = 4;
  int verwendungszweck1 = 27;
  int zeile = 27;                     // Verwendungszweck.Verwendungszweck
  int opVorgangNr = 20;
  int opVorgangsArt = 2;
  static ImportFeldgroessen Lesen(Datenbank& db);
};

// The faulty fields of an imported payment, each once, in the order of the payment form's checks.
// The order's rules are the shared ones (Auftragspruefung; they bound IBAN, BIC, mandate reference,
// purpose code and the lengths of name and lines, never cut); the import adds a remittance line after
// the first that the character filter left empty.
QList<Auftragsfeld> ImportZahlungPruefen(const Zahlungsauftrag& zahlung, const ImportFeldgroessen& groessen,
                                         const QDate& heute);
