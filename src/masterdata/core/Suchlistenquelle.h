#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include "common/AdressQuellenInfo.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"

// What the search list shows and hands back, per mode (UI-free):
//   1 the bank table `Bankverbindung`, 2 the addresses of the active address source,
//   3 payments (`Zahlungen` with the caller's filter).
class Suchlistenquelle {
 public:
  enum class Modus { Banken = 1, Adressen = 2, Zahlungen = 3 };

  // The query of a mode, sorted by `sortierfeld` (a column name; empty or invalid = key order).
  static Abfrage AbfrageFuer(Modus modus, const Bedingung& zahlungsfilter, const QString& sortierfeld);

  // The values of the chosen row (the recordset's current row), numbered from 1 (element 0 stays Null):
  //   1: [1] the BIC without any blank, [2] the bank name;
  //   2: [1..7] the source's transport fields (name, bank, BIC, IBAN, mandate reference, mandate date,
  //      mandate sequence), [8] the address number when the source has an address-number field;
  //      a value that is empty after trimming, or whose field is not defined, is Null;
  //   3: [1] the payment's ZahlungNr.
  static QVariantList Rueckwerte(Modus modus, const Recordset& zeile, const AdressQuellenInfo& quelle);

  // The German column caption of a field of the lists (addresses, bank codes, payments, the sibling
  // programs' address tables); the field name itself where it reads well already.
  static QString Spaltentitel(const QString& feld);

  // The registry key under which the list keeps its sort column for the mode.
  static QString SortierSchluessel(Modus modus);
};
