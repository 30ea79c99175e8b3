#pragma once

#include <QColor>

#include <cstdint>

// Colour values as the program's settings and windows name them: red in the lowest byte, then
// green, then blue (255 red, 65535 yellow, 16711680 blue, 16777215 white).
namespace Farben {

inline QColor AusFarbwert(uint32_t wert) {
  return QColor(int(wert & 0xFF), int((wert >> 8) & 0xFF), int((wert >> 16) & 0xFF));
}
inline QColor Rot() { return AusFarbwert(255); }
inline QColor Blau() { return AusFarbwert(16711680); }
inline QColor Gelb() { return AusFarbwert(65535); }
inline QColor Weiss() { return AusFarbwert(16777215); }

}  // namespace Farben
