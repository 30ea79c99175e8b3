#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

#include "platform/db/Waehrung.h"

// Reading stored values back as typed values: CURRENCY comes as an integer of ten-thousandths,
// DATE as ISO text ("yyyy-MM-dd", with or without a time). Null (or an invalid variant) gives
// no value, or the empty text.
QString TextAusWert(const QVariant& wert);
std::optional<QDate> DatumAusWert(const QVariant& wert);
std::optional<Waehrung> WaehrungAusWert(const QVariant& wert);
