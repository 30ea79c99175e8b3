#pragma once

#include <QDate>
#include <QString>

#include <optional>

// A date as the user types it, one rule for every date field, grid cell, filter cell and input
// box: day, month and year with points ("15.01.2026", "15.1.26") or without ("15012026",
// "150126"); a two-digit year is one of 2000 to 2099 (the program's dates are SEPA dates).
// Blanks around it are ignored. nullopt for any other text and for a day that does not exist
// ("31.02.2026").
std::optional<QDate> DatumAusEingabe(const QString& text);
