#pragma once

#include <QString>

// Type categories of the old engine, read back from the declared column types.
enum class FeldTyp { Text, Memo, Integer, Long, Waehrung, Double, Datum, Boolean, Binaer, Unbekannt };

// Maps a declared type ("TEXT(70)", "CURRENCY", "DATE", "BOOLEAN", "INTEGER", "LONG", "MEMO", ...)
// to its category and size (text size; 0 where none).
struct DeklarierterTyp {
  FeldTyp typ = FeldTyp::Unbekannt;
  int groesse = 0;
};
DeklarierterTyp TypAusDeklaration(const QString& deklaration);

// One field of a table definition.
struct FeldDefinition {
  QString name;
  FeldTyp typ = FeldTyp::Unbekannt;
  int groesse = 0;        // text size from TEXT(n); 0 for other types
  bool pflicht = false;   // NOT NULL
  bool primaerschluessel = false;
  bool zaehler = false;   // INTEGER PRIMARY KEY AUTOINCREMENT
};

// Fields of codes read character by character, told by the field's name: its last part (after a point)
// ends with "IBAN" or "BIC" in any letter case (IBAN, BankIBAN, Absender.IBAN, BIC, BankBIC). Grids and
// printouts show such values whole or not at all.
enum class Kennungsfeld { Keines, Iban, Bic };
Kennungsfeld KennungsfeldVon(const QString& feldname);
