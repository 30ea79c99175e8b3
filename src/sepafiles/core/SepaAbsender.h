#pragma once

#include <QString>

// The active sender's values that go into a SEPA file (table Absender).
struct SepaAbsender {
  QString Name;
  QString IBAN;
  QString BIC;
  QString GlaeubigerID;   // Absender.GläubigerID, direct debits only
  QString Bemerkung;      // file-name prefix when the option asks for it

  bool operator==(const SepaAbsender&) const = default;
};
