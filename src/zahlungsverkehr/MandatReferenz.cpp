#include "zahlungsverkehr/MandatReferenz.h"

QString MandatReferenz::Meldung(Fehler fehler) {
  if (fehler == Fehler::Leer) return QStringLiteral("Die Mandat-Referenz muss zwingend angegeben werden!");
  return SepaKennung::Meldung(fehler, QStringLiteral("Die Mandat-Referenz"));
}
