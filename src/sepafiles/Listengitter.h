#pragma once

#include "platform/ui/GitterSpalte.h"

#include <initializer_list>
#include <span>

class DatenGitter;

// A column of a list grid as the window designs it: field, caption (empty = the field name without
// its table), width in pixels (0 = hidden), format.
struct Spaltenentwurf {
  const char* feld;
  const char* titel;
  int breite;
  GitterFormat format = GitterFormat::Allgemein;
};

// A grid that lists rows and changes none: the designed columns (amounts right-aligned), the
// highlighted row, scroll tips, the columns keeping their share of the width.
void ListengitterEinrichten(DatenGitter& gitter, std::span<const Spaltenentwurf> spalten);
inline void ListengitterEinrichten(DatenGitter& gitter, std::initializer_list<Spaltenentwurf> spalten) {
  ListengitterEinrichten(gitter, std::span<const Spaltenentwurf>(spalten.begin(), spalten.size()));
}
