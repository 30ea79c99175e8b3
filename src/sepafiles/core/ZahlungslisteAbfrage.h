#pragma once

#include <QDate>

#include <optional>

#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"

// What the payment list shows: the sender's orders one row per remittance line, narrowed by kind,
// status, the filter bar and the due-date limit.
struct ZahlungslisteFilter {
  int absenderNr = 0;                // AktuelleAbsenderNr
  int zahlartIndex = 2;              // 0 credit transfers, 1 direct debits, 2 all
  int statusartIndex = 2;            // 0 done, 1 open, 2 all
  Bedingung suchfilter;              // filter bar; empty = none
  std::optional<QDate> faelligBis;   // due-date limit (inclusive); nullopt = none
};

Bedingung ZahlungslisteBedingung(const ZahlungslisteFilter& filter);
// SELECT * over orders and lines, ordered by Art, ZahlungNr, LfdNr; a row is keyed by its line.
Abfrage ZahlungslisteAbfrage(const ZahlungslisteFilter& filter);
