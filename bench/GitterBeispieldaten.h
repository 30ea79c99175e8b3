#pragma once
// Generated payment rows for the grid gallery and the grid benchmark (not part of the program).

#include <memory>

#include "platform/db/Datenbank.h"

// An in-memory database with `zeilen` payments in "Zahlungen" and 40 open items in "Vorgaenge".
inline std::unique_ptr<Datenbank> GitterBeispieldaten(int zeilen) {
  auto db = Datenbank::InSpeicher();
  DbFehler f = db->SkriptAusfuehren(QStringLiteral(
      "CREATE TABLE Zahlungen (ZahlungNr INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT(70), Art TEXT(1),"
      " IBAN TEXT(34), Verwendungszweck TEXT(140), OPVorgangNr TEXT(20), ZahlungsBetrag CURRENCY, Faellig DATE);"
      "CREATE TABLE Vorgaenge (VorgangsNr TEXT(20) PRIMARY KEY, Art TEXT(2), Vom DATE, Rest CURRENCY);"));
  if (f) qFatal("Schema: %s", qUtf8Printable(f.Beschreibung));
  // Every value is made by SQL from the row number: program text only, no outside values.
  f = db->Ausfuehren(SqlText(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
      "INSERT INTO Zahlungen (Name, Art, IBAN, Verwendungszweck, OPVorgangNr, ZahlungsBetrag, Faellig) "
      "SELECT CASE i % 9 WHEN 0 THEN 'Müller GmbH' WHEN 1 THEN 'MÜLLER & Söhne KG' WHEN 2 THEN 'Schäfer Baustoffe' "
      "WHEN 3 THEN 'Öztürk Handel' WHEN 4 THEN 'Bäckerei Groß' WHEN 5 THEN 'Meier, Hans' WHEN 6 THEN 'Weiß Elektro' "
      "WHEN 7 THEN 'Zander Logistik' ELSE 'Ärztehaus Süd' END || ' ' || (i % 1000), "
      "CASE WHEN i % 3 = 0 THEN 'G' ELSE 'L' END, "
      "'DE' || substr('0000000000' || ((i * 7919) % 100), -2) || '3704004405' || substr('0000000000' || i, -10), "
      "'RG ' || (100000 + i) || ' vom ' || strftime('%d.%m.%Y', '2024-01-01', '+' || (i % 365) || ' days'), "
      "CAST(100000 + i AS TEXT), ((i * 7349) % 500000) * 100 + 5000, "
      "date('2024-01-01', '+' || (i % 400) || ' days') FROM n"),
      {zeilen});
  if (f) qFatal("Zahlungen: %s", qUtf8Printable(f.Beschreibung));
  f = db->Ausfuehren(SqlText(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40) "
      "INSERT INTO Vorgaenge (VorgangsNr, Art, Vom, Rest) "
      "SELECT CAST(100000 + i AS TEXT), CASE WHEN i % 5 = 0 THEN 'KG' ELSE 'KR' END, "
      "date('2024-01-01', '+' || (i * 3) || ' days'), ((i * 1931) % 90000) * 100 + 10000 FROM n"));
  if (f) qFatal("Vorgaenge: %s", qUtf8Printable(f.Beschreibung));
  return db;
}
