#pragma once

#include "masterdata/core/Absenderdaten.h"

// A sender that passes every check; tests change one field of it.
inline Absenderdaten GuterAbsender() {
  Absenderdaten d;
  d.suchname = QStringLiteral("FIRMA");
  d.name = QStringLiteral("Muster GmbH");
  d.bank = QStringLiteral("Commerzbank");
  d.bic = QStringLiteral("COBADEFFXXX");
  d.iban = QStringLiteral("DE89 3704 0044 0532 0130 00");
  d.glaeubigerId = QStringLiteral("DE98ZZZ09999999999");
  d.referenzNr = QStringLiteral("00001");
  return d;
}
