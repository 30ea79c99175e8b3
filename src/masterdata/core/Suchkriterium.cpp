#include "masterdata/core/Suchkriterium.h"

bool Suchkriterium::Passt(const QVariant& vorhanden) const {
  if (vorhanden.isNull() || !vorhanden.isValid()) return wert.isNull() || !wert.isValid();
  if (wert.isNull() || !wert.isValid()) return false;
  return QString::compare(vorhanden.toString().trimmed(), wert.toString().trimmed(), Qt::CaseInsensitive) == 0;
}
