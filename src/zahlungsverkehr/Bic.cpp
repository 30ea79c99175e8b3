#include "zahlungsverkehr/Bic.h"

#include "iban/Kennungsform.h"

Bic::Bic(QStringView eingabe) : m_text(Kennungsform::Kompakt(eingabe)) {}

void Bic::TextAnhaengen(QByteArrayView gespeichert, QByteArray& ziel) { Kennungsform::KompaktAnhaengen(gespeichert, ziel); }

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
    case Fehler::Laenge: return Kennungsform::BicFormText(Kennungsform::BicForm::Laenge);
    case Fehler::Bankcode: return Kennungsform::BicFormText(Kennungsform::BicForm::Bankcode);
    case Fehler::Land: return Kennungsform::BicFormText(Kennungsform::BicForm::Land);
    case Fehler::Ort: return Kennungsform::BicFormText(Kennungsform::BicForm::Ort);
    case Fehler::Filiale: return Kennungsform::BicFormText(Kennungsform::BicForm::Filiale);
  }
  return {};
}
