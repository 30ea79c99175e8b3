#pragma once

#include <QString>

// One bank of the Bundesbank's bank-code file (the bank's own record, not its branches).
struct BankleitzahlEintrag {
  QString BLZ;                 // positions 1-8
  QString Kurzname;            // positions 108-134, trimmed
  QString BIC;                 // positions 140-150, trimmed; empty when the bank has none
  QString Pruefziffernmethode; // positions 151-152
  QString NachfolgeBLZ;        // positions 161-168; empty when "00000000"
  QString IbanRegel;           // positions 169-174: rule number and version, e.g. "000503"
  QString Aenderungskennzeichen; // position 159, only kept together with a successor ("D" = deleted)
};
