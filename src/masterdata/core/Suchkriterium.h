#pragma once

#include <QString>
#include <QVariant>

// A criterion on which a list is positioned: field name and value, compared like the old
// engine's "=" (text without regard to case). Never SQL text.
struct Suchkriterium {
  QString feld;
  QVariant wert;
  bool IstLeer() const { return feld.trimmed().isEmpty(); }
  // True when the value fits `vorhanden` (texts trimmed and without regard to case).
  bool Passt(const QVariant& vorhanden) const;
};
