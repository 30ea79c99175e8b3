#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <optional>

#include "platform/db/FeldTyp.h"
#include "platform/ui/GitterSpalte.h"

// Display and edit texts of grid cells, German: dates dd.MM.yyyy, numbers "1.234,56",
// number format texts of the old run time ("###,##0.00;-###,##0.00; ;").
class GitterFormatierung {
 public:
  // Display text of a value for a column's type and format.
  static QString Anzeige(const QVariant& wert, FeldTyp typ, GitterFormat format, const QString& muster = {});
  // Text shown in the cell editor (numbers without thousands separators).
  static QString Bearbeitung(const QVariant& wert, FeldTyp typ, GitterEditor editor);

  // Applies a number format text to an exact amount given in ten-thousandths; nullopt = Null.
  static QString MusterAnwenden(std::optional<int64_t> zehntausendstel, const QString& muster);
  // The widest text a column of amounts has to show: the largest amount of the money range, negative, in
  // the column's format. Rows are read lazily, so their own widest amount is not known beforehand.
  static QString GroessterBetrag(GitterFormat format, const QString& muster = {});
  // German number with thousands separators and `stellen` decimals, half away from zero.
  static QString Zahl(int64_t zehntausendstel, int stellen, bool tausender);

  // Reading values back: a number in ten-thousandths (Waehrung, integers, doubles, numeric text).
  static std::optional<int64_t> AlsZehntausendstel(const QVariant& wert, FeldTyp typ);
  static std::optional<QDate> AlsDatum(const QVariant& wert);
  // Parses a typed German number into the value a column of `typ` stores (Waehrung, qint64, double).
  // Empty text gives a null QVariant; invalid text gives nullopt.
  static std::optional<QVariant> ZahlLesen(const QString& text, FeldTyp typ);
};
