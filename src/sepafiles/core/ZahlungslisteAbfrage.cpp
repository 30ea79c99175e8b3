#include "sepafiles/core/ZahlungslisteAbfrage.h"

#include "payments/core/ZahlungenAbfrage.h"
#include "sepafiles/core/Zahlungssumme.h"

Bedingung ZahlungslisteBedingung(const ZahlungslisteFilter& filter) {
  QList<Bedingung> teile;
  teile << Bedingung("Zahlungen.AbsenderNr = ?", {filter.absenderNr});
  if (filter.zahlartIndex == 0) teile << Bedingung("Zahlungen.Art = ?", {QStringLiteral("G")});
  if (filter.zahlartIndex == 1) teile << Bedingung("Zahlungen.Art = ?", {QStringLiteral("L")});
  if (filter.statusartIndex == 0) teile << Bedingung("Zahlungen.Erledigt <> 0");
  if (filter.statusartIndex == 1) teile << Bedingung("Zahlungen.Erledigt = 0");
  teile << filter.suchfilter;
  teile << FaelligBisBedingung(filter.faelligBis);
  return Bedingung::AlleUnd(teile);
}

Abfrage ZahlungslisteAbfrage(const ZahlungslisteFilter& filter) {
  Abfrage a;
  a.spalten = "*";
  a.quelle = ZahlungenMitZeilen();
  a.bedingung = ZahlungslisteBedingung(filter);
  a.sortierung = "Zahlungen.Art, Zahlungen.ZahlungNr, Verwendungszweck.LfdNr";
  a.schluessel = "Verwendungszweck.LfdNr";
  a.haupttabelle = QStringLiteral("Verwendungszweck");
  return a;
}
