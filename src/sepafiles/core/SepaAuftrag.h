#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

#include "platform/db/Waehrung.h"

// One open payment order as the SEPA run reads it from Zahlungen and Verwendungszweck.
// Null texts arrive as empty strings, a Null amount as 0.
struct SepaAuftrag {
  qint64 ZahlungNr = 0;
  QString Name;
  QString IBAN;
  QString BIC;
  Waehrung Betrag;                 // ZahlungGesamt
  QString Textschluessel;          // SEPA purpose code
  QString EinzelReferenz;          // end-to-end reference
  QString MandatReferenz;
  std::optional<QDate> MandatDatum;
  int MandatSequenz = 0;           // 1-4 core, 11-14 B2B
  QString Verwendungszweck1;
  QStringList Zeilen;              // remittance lines in LfdNr order; empty = use Verwendungszweck1

  bool operator==(const SepaAuftrag&) const = default;
};
