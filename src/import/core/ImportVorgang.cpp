#include "import/core/ImportVorgang.h"

#include "payments/core/OPAbfrage.h"
#include "platform/db/Recordset.h"
#include "platform/db/Wertumwandlung.h"

OffenerPosten OffenerPostenAusZeile(const Recordset& daten, int zeile) {
  return OffenerPostenLesen([&](const QString& spalte) {
    const int i = daten.SpaltenIndex(spalte);
    return i < 0 ? QVariant() : daten.WertAn(zeile, i);
  });
}

std::vector<ImportVorgang> ImportVorgaengeLesen(const Recordset& daten, const std::function<bool(int zeile)>& gewaehlt) {
  std::vector<ImportVorgang> vorgaenge;
  const int suchname = daten.SpaltenIndex(QStringLiteral("Suchname"));
  for (int zeile = 0; zeile < daten.RecordCount(); ++zeile) {
    if (gewaehlt && !gewaehlt(zeile)) continue;
    ImportVorgang v;
    v.posten = OffenerPostenAusZeile(daten, zeile);
    if (suchname >= 0) v.suchname = TextAusWert(daten.WertAn(zeile, suchname));
    vorgaenge.push_back(std::move(v));
  }
  return vorgaenge;
}
