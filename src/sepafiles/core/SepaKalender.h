#pragma once

#include <QDate>

#include <optional>

// Bank days of the SEPA files: no Saturdays, Sundays and TARGET2 closing days
// (1 January, Good Friday, Easter Monday, 1 May, 25 and 26 December).
namespace SepaKalender {

QDate Ostersonntag(int jahr);
bool IstTarget2Schliesstag(const QDate& tag);
bool IstBankarbeitstag(const QDate& tag);

// Requested execution date of credit transfers: the given date (a date before `heute` counts as `heute`),
// or the day after `heute` when none is given; a Saturday moves to the Monday (+2), a Sunday to the Monday (+1); then on to the next
// bank day.
QDate Ausfuehrungsdatum(const std::optional<QDate>& gewuenscht, const QDate& heute);

// The schemes take a collection at most this many calendar days before it falls due.
inline constexpr int HoechsteVorlauftage = 14;

// Collection date of direct debits: `heute` plus the lead days (below 1 counts as 1); a weekend
// day moves on by two days, then on to the next bank day; where that passes `heute` + 14 days, the last
// bank day before; never before the bank day after the first bank day from `heute` on (the bank's one day
// of lead).
QDate Einzugsdatum(int vorlauftage, const QDate& heute);

}  // namespace SepaKalender
