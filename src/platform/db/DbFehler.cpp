#include "platform/db/DbFehler.h"

#include <sqlite3.h>

QString DbFehler::Meldungstext() const {
  return QStringLiteral("Nr: ") + QString::number(Nummer) + QLatin1Char('\r') + QStringLiteral("Beschreibung: ") +
         Beschreibung;
}
