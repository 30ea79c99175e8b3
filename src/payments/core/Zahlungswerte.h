#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

#include "platform/db/Waehrung.h"
#include "platform/db/Wertumwandlung.h"

// Conversions from typed values to what is stored (the reverse of Wertumwandlung.h).
QVariant WertAusWaehrung(const std::optional<Waehrung>& betrag);
QVariant WertAusDatum(const std::optional<QDate>& datum);
// Text; an empty text is stored as Null where the field allows it.
QVariant WertAusText(const QString& text);
