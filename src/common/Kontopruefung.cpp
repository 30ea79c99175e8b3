#include "common/Kontopruefung.h"

#include <QRegularExpression>

#include "common/Textfunktionen.h"

namespace Kontopruefung {
namespace {

// Remainder modulo 97 of the digit string of `text`, letters counting A = 10 ... Z = 35.
// Returns -1 for any other character.
int Rest97(const QString& text) {
  int rest = 0;
  for (const QChar z : text) {
    const char16_t c = z.unicode();
    if (c >= u'0' && c <= u'9') {
      rest = (rest * 10 + (c - u'0')) % 97;
    } else if (c >= u'A' && c <= u'Z') {
      rest = (rest * 100 + (c - u'A' + 10)) % 97;
    } else {
      return -1;
    }
  }
  return rest;
}

QString Normiert(const QString& text) { return text.trimmed().toUpper(); }

}  // namespace

bool IbanFormatGueltig(const QString& iban) {
  static const QRegularExpression muster(QStringLiteral("^[A-Z]{2}[0-9]{2}[A-Z0-9]{11,30}$"));
  return muster.match(Normiert(iban)).hasMatch();
}

bool IbanPruefzifferGueltig(const QString& iban) {
  const QString text = Normiert(iban);
  if (text.size() < 5) return false;
  return Rest97(text.mid(4) + text.left(4)) == 1;
}

bool IbanGueltig(const QString& iban) { return IbanFormatGueltig(iban) && IbanPruefzifferGueltig(iban); }

bool BicGueltig(const QString& bic) {
  static const QRegularExpression muster(QStringLiteral("^[A-Z]{4}[A-Z]{2}[A-Z2-9][A-NP-Z0-9]([A-Z0-9]{3})?$"));
  return muster.match(Normiert(bic)).hasMatch();
}

bool GlaeubigerIdGueltig(const QString& glaeubigerId) {
  static const QRegularExpression muster(QStringLiteral("^([A-Z]{2})([0-9]{2})[A-Z0-9]{3}([A-Z0-9]{1,28})$"));
  const QString text = Normiert(glaeubigerId);
  const QRegularExpressionMatch treffer = muster.match(text);
  if (!treffer.hasMatch()) return false;
  const QString land = treffer.captured(1);
  if (land == QLatin1String("DE") && text.size() != 18) return false;
  const int rest = Rest97(treffer.captured(3) + land + QStringLiteral("00"));
  return rest >= 0 && 98 - rest == treffer.captured(2).toInt();
}

QString Kompakt(const QString& text) {
  QString t = text;
  t.remove(QLatin1Char(' '));
  return t.trimmed().toUpper();
}

QString BicMeldung(const QString& bic) {
  const QString b = Kompakt(bic);
  if (b.size() != 8 && b.size() != 11) return QStringLiteral("Die BIC muss 8 oder 11 Zeichen lang sein.");
  if (!BicGueltig(b)) return QStringLiteral("Die BIC ist ungültig.");
  return {};
}

QString IbanMeldung(const QString& iban) {
  const QString i = Kompakt(iban);
  QString meldung;
  if (!IbanLaengePruefen(i, meldung)) return meldung;
  if (!IbanFormatGueltig(i)) return QStringLiteral("Die IBAN enthält ungültige Zeichen.");
  if (!IbanPruefzifferGueltig(i)) return QStringLiteral("Die Prüfziffer der IBAN ist falsch.");
  return {};
}

}  // namespace Kontopruefung
