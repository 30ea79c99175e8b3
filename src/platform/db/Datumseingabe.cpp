#include "platform/db/Datumseingabe.h"

#include <QRegularExpression>

std::optional<QDate> DatumAusEingabe(const QString& text) {
  static const QRegularExpression mitPunkten(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{2}|\\d{4})$"));
  static const QRegularExpression ohnePunkte(QStringLiteral("^(\\d{2})(\\d{2})(\\d{2}|\\d{4})$"));
  const QString t = text.trimmed();
  QRegularExpressionMatch m = mitPunkten.match(t);
  if (!m.hasMatch()) m = ohnePunkte.match(t);
  if (!m.hasMatch()) return std::nullopt;
  int jahr = m.captured(3).toInt();
  if (m.capturedLength(3) == 2) jahr += 2000;
  const QDate d(jahr, m.captured(2).toInt(), m.captured(1).toInt());
  if (!d.isValid()) return std::nullopt;
  return d;
}
