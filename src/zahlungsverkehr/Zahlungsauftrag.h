#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

#include "platform/db/Waehrung.h"

// One remittance line of an order (table Verwendungszweck).
struct Auftragszeile {
  QString Text;      // Verwendungszweck
  Waehrung Betrag;   // ZahlungsBetrag; Null counts as 0

  bool operator==(const Auftragszeile&) const = default;
};

// One payment order as the rules see it: the fields of Zahlungen that go to the bank, with its
// remittance lines in line order. Null texts are empty, a Null amount is 0. The payment form's save
// builds it from the fields, the SEPA pre-check and the run read it from the database, the import
// from the open items.
struct Zahlungsauftrag {
  qint64 ZahlungNr = 0;
  QString Art;                       // "G" credit transfer, "L" direct debit
  QString Name;
  QString IBAN;
  QString BIC;
  Waehrung Betrag;                   // ZahlungGesamt
  std::optional<QDate> Faellig;
  QString Textschluessel;            // SEPA purpose code
  QString EinzelReferenz;            // end-to-end reference
  QString MandatReferenz;
  std::optional<QDate> MandatDatum;
  int MandatSequenz = 0;             // 1-4 core, 11-14 business-to-business; 0 none
  QString Verwendungszweck1;
  // In line order; empty: Verwendungszweck1 is the remittance text.
  QList<Auftragszeile> Zeilen;

  bool operator==(const Zahlungsauftrag&) const = default;
  bool IstLastschrift() const { return Art == QLatin1String("L"); }
  // Sum of the lines' amounts.
  Waehrung Zeilensumme() const {
    Waehrung summe;
    for (const Auftragszeile& z : Zeilen) summe += z.Betrag;
    return summe;
  }
};
