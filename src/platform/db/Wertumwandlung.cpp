#include "platform/db/Wertumwandlung.h"

QString TextAusWert(const QVariant& wert) {
  return (!wert.isValid() || wert.isNull()) ? QString() : wert.toString();
}

std::optional<QDate> DatumAusWert(const QVariant& wert) {
  if (!wert.isValid() || wert.isNull()) return std::nullopt;
  if (wert.metaType() == QMetaType::fromType<QDate>()) {
    const QDate d = wert.toDate();
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
  }
  const QDate d = QDate::fromString(wert.toString().trimmed().left(10), Qt::ISODate);
  if (!d.isValid()) return std::nullopt;
  return d;
}

std::optional<Waehrung> WaehrungAusWert(const QVariant& wert) {
  if (!wert.isValid() || wert.isNull()) return std::nullopt;
  if (wert.metaType() == QMetaType::fromType<Waehrung>()) return wert.value<Waehrung>();
  if (wert.metaType() == QMetaType::fromType<double>()) {
    // A REAL amount of a linked file: through its decimal text, never by double arithmetic.
    return Waehrung::ParseInvariant(QString::number(wert.toDouble(), 'f', 4));
  }
  bool ok = false;
  const qint64 roh = wert.toLongLong(&ok);
  if (ok) return Waehrung::AusRoh(roh);
  return Waehrung::ParseInvariant(wert.toString());
}
