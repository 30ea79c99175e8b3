#pragma once

#include <QString>

// Numbered hints of the IBAN conversion, written to IBANKonvertierHinweis. Codes 1-10: no IBAN formed;
// 101-104: IBAN formed, please check.
enum class IbanHinweis {
  Keiner = 0,
  OhneBerechnung = 1,
  BlzGesperrt = 2,
  BlzNichtImBestand = 3,
  BlzOhneIbanErmittlung = 4,
  BlzNichtAchtstellig = 5,
  BerechnungNichtMoeglich = 6,
  GesperrteKontenkreise = 7,
  NurAchtstelligeKonten = 8,
  KontoNrUngueltig = 9,
  RegelNichtUnterstuetzt = 10,
  OhneNeuberechnungPruefziffer = 101,
  UnicreditBlzUmsetzung = 102,
  NachfolgeBlz = 103,
  AndereIbanErsetzt = 104,   // followed by the IBAN that was stored
};

// The hint's text; the texts ending in ": " are followed by the six-character rule id (104: by the IBAN
// stored before). Empty for Keiner.
QString IbanHinweisText(IbanHinweis hinweis, const QString& regelId);

// True for the hints that carry the rule id.
bool IbanHinweisMitRegelId(IbanHinweis hinweis);

// True for the hints that stand for "no IBAN formed" (1-10).
inline bool IbanHinweisOhneIban(IbanHinweis hinweis) {
  return hinweis != IbanHinweis::Keiner && static_cast<int>(hinweis) < 100;
}
