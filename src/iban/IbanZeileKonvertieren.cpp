#include "iban/IbanZeileKonvertieren.h"

#include "iban/BankleitzahlTabelle.h"
#include "iban/IbanErmitteln.h"

QString IbanZeileKonvertieren(QStringView zeile, const BankleitzahlTabelle& tabelle) {
  if (zeile.endsWith(QLatin1Char('\r'))) zeile.chop(1);
  const qsizetype trenner = zeile.indexOf(QLatin1Char(';'));
  const QString blz = (trenner < 0 ? zeile : zeile.left(trenner)).toString();
  const QString konto = trenner < 0 ? QString() : zeile.mid(trenner + 1).toString();
  const IbanErgebnis e = IbanErmitteln(blz, konto, tabelle);
  // The input is echoed without control characters (a NUL byte would end the line for the next tool).
  const auto sichtbar = [](QString text) {
    for (QChar& c : text)
      if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = QChar(0xFFFD);
    return text;
  };
  const QChar s = QLatin1Char(';');
  return sichtbar(blz) + s + sichtbar(konto) + s + e.IBAN.value_or(QString()) + s + e.BIC.value_or(QString()) + s +
         e.HinweisText;
}
