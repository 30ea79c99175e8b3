#pragma once

#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstdint>

#include <ostream>

#include "iban/BankleitzahlTabelle.h"

// Readable values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

// Independent of Mod97: ISO 7064 MOD 97-10 over the rearranged IBAN, letters as numbers, in chunks.
inline bool IbanPruefzifferOk(const QString& iban) {
  if (iban.size() < 5) return false;
  const QString umgestellt = iban.mid(4) + iban.left(4);
  QString ziffern;
  for (const QChar c : umgestellt) {
    if (c.isDigit()) ziffern += c;
    else if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ziffern += QString::number(c.unicode() - u'A' + 10);
    else return false;
  }
  std::uint64_t rest = 0;
  for (qsizetype i = 0; i < ziffern.size(); i += 9) {
    const QString stueck = ziffern.mid(i, 9);
    rest = (rest * static_cast<std::uint64_t>(std::pow(10, stueck.size())) + stueck.toULongLong()) % 97;
  }
  return rest == 1;
}

// The German IBAN over an eight-digit bank code and an account of up to ten digits, found by trying the
// check digits 02 to 98 (00, 01 and 99 are never issued) against the check above.
inline QString ErwarteteIban(const QString& blz, const QString& konto) {
  const QString bban = blz + konto.rightJustified(10, QLatin1Char('0'));
  for (int p = 2; p <= 98; ++p) {
    const QString iban = QStringLiteral("DE") + QString::number(p).rightJustified(2, QLatin1Char('0')) + bban;
    if (IbanPruefzifferOk(iban)) return iban;
  }
  return {};
}

// One line of the Bundesbank's extended file (174 characters, ISO-8859-1), fields at their positions.
struct BlzZeile {
  QByteArray BLZ = "10000000";
  char Merkmal = '1';
  QByteArray Name = "Testbank";        // positions 10-67
  QByteArray Kurzname = "Testbank";    // positions 108-134
  QByteArray BIC = "TESTDEFFXXX";      // positions 140-150
  QByteArray Methode = "00";           // positions 151-152
  char Aenderung = 'U';                // position 159
  QByteArray Nachfolger = "00000000";  // positions 161-168
  QByteArray Regel = "000000";         // positions 169-174

  QByteArray Text() const {
    QByteArray z(174, ' ');
    const auto setzen = [&z](int pos, const QByteArray& wert) { z.replace(pos - 1, wert.size(), wert); };
    setzen(1, BLZ);
    z[8] = Merkmal;
    setzen(10, Name);
    setzen(68, "10000");
    setzen(73, "Berlin");
    setzen(108, Kurzname);
    setzen(140, BIC);
    setzen(151, Methode);
    setzen(153, "000001");
    z[158] = Aenderung;
    z[159] = '0';
    setzen(161, Nachfolger);
    setzen(169, Regel);
    return z;
  }
};

// A table row built in code.
inline BankleitzahlEintrag Bank(const char* blz, const char* regel, const char* bic = "TESTDEFFXXX",
                                const char* methode = "00", const char* kurzname = "Testbank") {
  BankleitzahlEintrag e;
  e.BLZ = QString::fromLatin1(blz);
  e.IbanRegel = QString::fromLatin1(regel);
  e.BIC = QString::fromLatin1(bic);
  e.Pruefziffernmethode = QString::fromLatin1(methode);
  e.Kurzname = QString::fromUtf8(kurzname);
  return e;
}
