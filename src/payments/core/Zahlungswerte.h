#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

#include "platform/db/Waehrung.h"

// Conversions between stored values (as the database layer returns them) and typed values.
// CURRENCY comes back as an integer of ten-thousandths, DATE as ISO text.
std::optional<Waehrung> WaehrungAusWert(const QVariant& wert);
std::optional<QDate> DatumAusWert(const QVariant& wert);
QVariant WertAusWaehrung(const std::optional<Waehrung>& betrag);
QVariant WertAusDatum(const std::optional<QDate>& datum);
// Text with Null as "".
inline QString TextAusWert(const QVariant& wert) { return wert.isNull() ? QString() : wert.toString(); }
// Text; an empty text is stored as Null where the field allows it.
QVariant WertAusText(const QString& text);
