#include "payments/core/Zahlungswerte.h"

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
