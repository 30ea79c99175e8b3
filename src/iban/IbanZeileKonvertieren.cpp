#include "iban/IbanZeileKonvertieren.h"

#include "iban/BankleitzahlTabelle.h"
#include "iban/IbanErmitteln.h"

QString IbanZeileKonvertieren(QStringView zeile, const BankleitzahlTabelle& tabelle) {
  if (zeile.endsWith(QLatin1Char('\r'))) zeile.chop(1);
  const qsizetype trenner = zeile.indexOf(QLatin1Char(';'));
  const QString blz = (trenner < 0 ? zeile : zeile.left(trenner)).toString();
  const QString konto = trenner < 0 ? QString() : zeile.mid(trenner + 1).toString();
  const IbanErgebnis e = IbanErmitteln(blz, konto, tabelle);
  const QChar s = QLatin1Char(';');
  return blz + s + konto + s + e.IBAN.value_or(QString()) + s + e.BIC.value_or(QString()) + s + e.HinweisText;
}
