#include "zahlungsverkehr/AuftragLesen.h"

#include "common/Textfunktionen.h"
#include "platform/db/Wertumwandlung.h"

namespace AuftragLesen {

SqlText Spalten() {
  return SqlText("Zahlungen.ZahlungNr, Zahlungen.Name, Zahlungen.IBAN, Zahlungen.BIC, Zahlungen.ZahlungGesamt, "
                 "Zahlungen.\"Textschlüssel\", Zahlungen.EinzelReferenz, Zahlungen.MandatReferenz, Zahlungen.MandatDatum, "
                 "Zahlungen.MandatSequenz, Zahlungen.Verwendungszweck1, Zahlungen.Art, Zahlungen.\"Fällig\"");
}

Zahlungsauftrag AusZeile(const Zeile& z) {
  Zahlungsauftrag a;
  a.ZahlungNr = z.Wert(0).toLongLong();
  a.Name = TextAusWert(z.Wert(NameSpalte));
  a.IBAN = TextAusWert(z.Wert(2));
  a.BIC = TextAusWert(z.Wert(3));
  a.Betrag = WaehrungAusWert(z.Wert(4)).value_or(Waehrung());
  a.Textschluessel = TextAusWert(z.Wert(5));
  a.EinzelReferenz = TextAusWert(z.Wert(6));
  a.MandatReferenz = TextAusWert(z.Wert(7));
  a.MandatDatum = DatumAusWert(z.Wert(8));
  a.MandatSequenz = IstNull(z.Wert(9)) ? 0 : int(z.Wert(9).toLongLong());
  a.Verwendungszweck1 = TextAusWert(z.Wert(Verwendungszweck1Spalte));
  a.Art = TextAusWert(z.Wert(11));
  a.Faellig = DatumAusWert(z.Wert(12));
  return a;
}

}  // namespace AuftragLesen
