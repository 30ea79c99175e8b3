#include "common/Optionsschalter.h"

#include "platform/settings/Registrierung.h"

namespace {
const QString& Abschnitt() {
  static const QString s = QStringLiteral("Window State");
  return s;
}
}  // namespace

const std::vector<Optionsschalter::Eintrag>& Optionsschalter::Eintraege() {
  using O = Optionsschalter;
  static const std::vector<Eintrag> eintraege = {
      {"SmartfillName", &O::SmartfillName, true},
      {"SmartfillBank", &O::SmartfillBank, true},
      {"AutoSpeichernBank", &O::AutoSpeichernBank, false},
      {"AutoSpeichernAdressen", &O::AutoSpeichernAdressen, false},
      {"NeuMitSuchliste", &O::NeuMitSuchliste, true},
      {"ArbeitsfensterKleineSymbole", &O::ArbeitsfensterKleineSymbole, true},
      {"ArbeitsfensterOhneText", &O::ArbeitsfensterOhneText, false},
      {"AlleFensterProportionaleSchrift", &O::AlleFensterProportionaleSchrift, false},
      {"TabellenOhneZebramuster", &O::TabellenOhneZebramuster, false},
      {"OPSelektionMitMinus", &O::OPSelektionMitMinus, false},
      {"IBANmitBlockEingeben", &O::IBANmitBlockEingeben, true},
      {"SEPAmitArchivSpeichern", &O::SEPAmitArchivSpeichern, false},
      {"AutoVerwRgDatumKurzFormat", &O::AutoVerwRgDatumKurzFormat, true},
      {"SepaDateinamemitAbsenderBemerkung", &O::SepaDateinamemitAbsenderBemerkung, false},
      {"ImportAutoVerwendungJeAbsender", &O::ImportAutoVerwendungJeAbsender, false},
  };
  return eintraege;
}

Optionsschalter Optionsschalter::AusRegistrierung() {
  Optionsschalter o;
  Registrierung& reg = Registrierung::Instanz();
  for (const Eintrag& e : Eintraege()) {
    const QString wert = reg.Lesen(Abschnitt(), QLatin1String(e.schluessel),
                                   e.vorgabe ? QStringLiteral("1") : QStringLiteral("0"));
    o.*e.schalter = wert.trimmed() == QLatin1String("1");
  }
  return o;
}

void Optionsschalter::InRegistrierungSchreiben() const {
  Registrierung& reg = Registrierung::Instanz();
  for (const Eintrag& e : Eintraege())
    reg.Schreiben(Abschnitt(), QLatin1String(e.schluessel), this->*e.schalter ? QStringLiteral("1") : QStringLiteral("0"));
}
