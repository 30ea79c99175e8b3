#include "common/Bic.h"

#include "iban/Kennungsform.h"

Bic::Bic(QStringView eingabe) : m_text(Kennungsform::Kompakt(eingabe)) {}

Bic::Fehler Bic::Pruefen() const {
  if (m_text.isEmpty()) return Fehler::Fehlt;
  switch (Kennungsform::BicFormPruefen(m_text)) {
    case Kennungsform::BicForm::Gueltig: return Fehler::Keiner;
    case Kennungsform::BicForm::Laenge: return Fehler::Laenge;
    case Kennungsform::BicForm::Bankcode: return Fehler::Bankcode;
    case Kennungsform::BicForm::Land: return Fehler::Land;
    case Kennungsform::BicForm::Ort: return Fehler::Ort;
    case Kennungsform::BicForm::Filiale: return Fehler::Filiale;
  }
  return Fehler::Laenge;
}

QString Bic::Vergleichsform() const {
  if (m_text.size() == 11 && m_text.endsWith(QLatin1String("XXX"))) return m_text.left(8);
  return m_text;
}

QString Bic::Meldung(Fehler fehler) {
  switch (fehler) {
    case Fehler::Keiner: return {};
    case Fehler::Fehlt: return QStringLiteral("Die BIC fehlt noch.");
    case Fehler::Laenge: return QStringLiteral("Die BIC muss 8 oder 11 Zeichen lang sein.");
    case Fehler::Bankcode: return QStringLiteral("Die BIC muss mit 4 Buchstaben (Bankcode) beginnen.");
    case Fehler::Land: return QStringLiteral("Die Zeichen 5 und 6 der BIC sind kein gültiger Ländercode.");
    case Fehler::Ort: return QStringLiteral("Die Zeichen 7 und 8 der BIC sind kein gültiger Ortscode.");
    case Fehler::Filiale:
      return QStringLiteral("Die Zeichen 9 bis 11 der BIC (Filiale) dürfen nur\rBuchstaben und Ziffern sein.");
  }
  return {};
}
