#include "iban/IbanHinweis.h"

bool IbanHinweisMitRegelId(IbanHinweis hinweis) {
  switch (hinweis) {
    case IbanHinweis::OhneBerechnung:
    case IbanHinweis::BerechnungNichtMoeglich:
    case IbanHinweis::GesperrteKontenkreise:
    case IbanHinweis::NurAchtstelligeKonten:
    case IbanHinweis::RegelNichtUnterstuetzt:
      return true;
    default:
      return false;
  }
}

QString IbanHinweisText(IbanHinweis hinweis, const QString& regelId) {
  QString text;
  switch (hinweis) {
    case IbanHinweis::Keiner:
      return {};
    case IbanHinweis::OhneBerechnung:
      text = QStringLiteral("1-Konto ohne IBAN-Berechnung, IBAN-Regel: ");
      break;
    case IbanHinweis::BlzGesperrt:
      text = QStringLiteral("2-BLZ ist für eine IBAN-Berechnung gesperrt. Bitte eine neue Konto-Nr erfragen.");
      break;
    case IbanHinweis::BlzNichtImBestand:
      text = QStringLiteral("3-BLZ ist nicht im Bundesbank-Bestand");
      break;
    case IbanHinweis::BlzOhneIbanErmittlung:
      text = QStringLiteral("4-BLZ ohne IBAN-Ermittlung");
      break;
    case IbanHinweis::BlzNichtAchtstellig:
      text = QStringLiteral("5-BLZ ist nicht 8-stellig");
      break;
    case IbanHinweis::BerechnungNichtMoeglich:
      text = QStringLiteral("6-IBAN-Berechnung nicht möglich, IBAN-Regel: ");
      break;
    case IbanHinweis::GesperrteKontenkreise:
      text = QStringLiteral("7-IBAN-Berechnung nicht möglich, gesperrte Kontenkreise, IBAN-Regel: ");
      break;
    case IbanHinweis::NurAchtstelligeKonten:
      text = QStringLiteral("8-IBAN-Berechnung nur möglich für 8-stellige Kontonummern, IBAN-Regel: ");
      break;
    case IbanHinweis::KontoNrUngueltig:
      text = QStringLiteral("9-Kontonummer fehlt oder ist ungültig");
      break;
    case IbanHinweis::RegelNichtUnterstuetzt:
      text = QStringLiteral("10-IBAN-Regel wird nicht unterstützt: ");
      break;
    case IbanHinweis::OhneNeuberechnungPruefziffer:
      text = QStringLiteral(
          "101-Umwandlung ohne Neuberechnung der Kontenprüfziffer. Evtl. prüfen beim Kontoinhaber");
      break;
    case IbanHinweis::UnicreditBlzUmsetzung:
      text = QStringLiteral(
          "102-Unicredit-Konten mit BLZ-Umsetzung nach Kontokreisen. Evtl. prüfen beim Kontoinhaber");
      break;
    case IbanHinweis::NachfolgeBlz:
      text = QStringLiteral("103-Die gespeicherte BLZ wurde gelöscht und durch eine Nachfolge-BLZ ersetzt");
      break;
    case IbanHinweis::AndereIbanErsetzt:
      text = QStringLiteral("104-IBAN aus BLZ und Konto-Nr ersetzt die bisherige, nicht passende IBAN: ");
      break;
  }
  if (IbanHinweisMitRegelId(hinweis)) text += regelId;
  return text;
}
