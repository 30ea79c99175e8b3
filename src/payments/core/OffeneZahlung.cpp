#include "payments/core/OffeneZahlung.h"

DbFehler ZahlungOffenPruefen(Datenbank& db, qint64 zahlungNr) {
  Q_ASSERT(db.TransaktionsTiefe() > 0);
  DbFehler f;
  const std::optional<QVariant> erledigt =
      db.Wert("SELECT Erledigt FROM Zahlungen WHERE ZahlungNr = ?", {QVariant(zahlungNr)}, f);
  if (f) return f;
  if (erledigt && erledigt->toInt() != 0)
    return {DbFehlerNr::KeineTreffer, QStringLiteral("Die Zahlung ist inzwischen erledigt und wird nicht geändert.")};
  return {};
}
