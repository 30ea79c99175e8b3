#include "payments/core/Zahlungswerte.h"

std::optional<Waehrung> WaehrungAusWert(const QVariant& wert) {
  if (!wert.isValid() || wert.isNull()) return std::nullopt;
  if (wert.canConvert<Waehrung>() && wert.metaType() == QMetaType::fromType<Waehrung>()) return wert.value<Waehrung>();
  if (wert.metaType() == QMetaType::fromType<double>()) {
    // A REAL amount of a linked file: through its decimal text, never by double arithmetic.
    return Waehrung::ParseInvariant(QString::number(wert.toDouble(), 'f', 4));
  }
  bool ok = false;
  const qint64 roh = wert.toLongLong(&ok);
  if (ok) return Waehrung::AusRoh(roh);
  return Waehrung::ParseInvariant(wert.toString());
}

std::optional<QDate> DatumAusWert(const QVariant& wert) {
  if (!wert.isValid() || wert.isNull()) return std::nullopt;
  if (wert.metaType() == QMetaType::fromType<QDate>()) {
    const QDate d = wert.toDate();
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
  }
  const QString t = wert.toString().trimmed();
  const QDate d = QDate::fromString(t.left(10), Qt::ISODate);
  if (!d.isValid()) return std::nullopt;
  return d;
}

QVariant WertAusWaehrung(const std::optional<Waehrung>& betrag) {
  if (!betrag) return {};
  return QVariant::fromValue(*betrag);
}

QVariant WertAusDatum(const std::optional<QDate>& datum) {
  if (!datum || !datum->isValid()) return {};
  return QVariant(*datum);
}

QVariant WertAusText(const QString& text) {
  if (text.isEmpty()) return {};
  return QVariant(text);
}
