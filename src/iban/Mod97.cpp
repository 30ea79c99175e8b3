#include "iban/Mod97.h"

namespace {

QString OhneLeerzeichen(QStringView text) {
  QString ergebnis;
  ergebnis.reserve(text.size());
  for (const QChar c : text)
    if (c != QLatin1Char(' ')) ergebnis.append(c);
  return ergebnis;
}

}  // namespace

int Mod97Rest(QStringView ziffern) {
  int rest = 0;
  for (const QChar c : ziffern) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
    rest = (rest * 10 + (c.unicode() - u'0')) % 97;
  }
  return rest;
}

QString Mod97(QStringView bankleitzahl, QStringView kontoNr) {
  const QString konto = OhneLeerzeichen(kontoNr);
  const QString bank = OhneLeerzeichen(bankleitzahl);
  const QString bban = bank + (QStringLiteral("0000000000") + konto).right(10);
  const int rest = Mod97Rest(QString(bban + QStringLiteral("131400")));
  if (rest < 0) return {};
  const int pruefziffern = 98 - rest;
  return QStringLiteral("DE") + QString::number(pruefziffern).rightJustified(2, QLatin1Char('0')) + bban;
}
