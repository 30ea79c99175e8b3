#include "iban/IbanErmitteln.h"

#include <algorithm>

#include "iban/BankleitzahlTabelle.h"
#include "iban/IbanArbeitswerte.h"
#include "iban/IbanRegeln.h"

IbanErgebnis IbanErmitteln(const QString& blz, const QString& kontoNr, const BankleitzahlTabelle& tabelle) {
  IbanArbeitswerte w;
  w.BLZ = blz.trimmed();
  w.KontoNr = kontoNr;
  w.Tabelle = &tabelle;

  const BankleitzahlEintrag* zeile = w.BLZ.size() == 8 ? tabelle.Finden(w.BLZ) : nullptr;
  if (zeile != nullptr && zeile->Aenderungskennzeichen == QLatin1String("D")) {
    // One step only: a successor that is itself deleted is used as it stands.
    if (const BankleitzahlEintrag* nachfolger = tabelle.Finden(zeile->NachfolgeBLZ)) {
      zeile = nachfolger;
      w.BLZ = nachfolger->BLZ;
      w.Hinweis = IbanHinweis::NachfolgeBlz;
    }
  }

  IbanErgebnis ergebnis;
  const bool blzZiffern = std::all_of(w.BLZ.cbegin(), w.BLZ.cend(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
  if (w.BLZ.size() != 8 || !blzZiffern) {
    w.Hinweis = IbanHinweis::BlzNichtAchtstellig;
  } else if (zeile == nullptr) {
    w.Hinweis = IbanHinweis::BlzNichtImBestand;
  } else if (!KontoNrFormGueltig(w.KontoNr)) {
    // Longer numbers or other characters never reach a rule (some would cut them to ten digits).
    ergebnis.Bank = zeile->Kurzname;
    ergebnis.RegelId = zeile->IbanRegel;
    w.Hinweis = IbanHinweis::KontoNrUngueltig;
  } else {
    w.RegelId = zeile->IbanRegel;
    w.BIC = zeile->BIC;
    w.FeldBIC = zeile->BIC;
    w.Pruefziffernmethode = zeile->Pruefziffernmethode;
    ergebnis.Bank = zeile->Kurzname;
    ergebnis.RegelId = zeile->IbanRegel;
    IbanRegelAnwenden(w);
  }

  if (w.IBAN) {
    ergebnis.IBAN = std::move(w.IBAN);
    ergebnis.BIC = std::move(w.FeldBIC);
  }
  ergebnis.Hinweis = w.Hinweis;
  ergebnis.HinweisText = IbanHinweisText(w.Hinweis, w.RegelId);
  return ergebnis;
}
