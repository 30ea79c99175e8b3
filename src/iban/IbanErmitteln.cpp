#include "iban/IbanErmitteln.h"

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
  if (w.BLZ.size() != 8) {
    w.Hinweis = IbanHinweis::BlzNichtAchtstellig;
  } else if (zeile == nullptr) {
    w.Hinweis = IbanHinweis::BlzNichtImBestand;
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
