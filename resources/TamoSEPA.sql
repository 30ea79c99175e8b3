-- Tamo-SEPA database schema. The declared types carry what the program reads back:
-- TEXT(n) = text of size n, CURRENCY = integer ten-thousandths, DATE = ISO text,
-- BOOLEAN = 0/1, MEMO = long text. Text columns compare with the collation TAMO
-- (case-insensitive, umlauts included), which the program registers on every connection.

PRAGMA user_version = 1;

CREATE TABLE Zahlungen (
  ZahlungNr         INTEGER PRIMARY KEY AUTOINCREMENT,
  AbsenderNr        INTEGER,
  Art               TEXT(1) COLLATE TAMO,
  OPKontoNr         TEXT(10) COLLATE TAMO,
  Name              TEXT(70) COLLATE TAMO,
  Bank              TEXT(60) COLLATE TAMO,
  BIC               TEXT(11) COLLATE TAMO,
  IBAN              TEXT(34) COLLATE TAMO,
  Verwendungszweck1 TEXT(27) COLLATE TAMO,
  BLZ               TEXT(8) COLLATE TAMO,
  KontoNr           TEXT(10) COLLATE TAMO,
  ZahlungGesamt     CURRENCY,
  "Fällig"          DATE,
  "Textschlüssel"   TEXT(4) COLLATE TAMO,
  MandatReferenz    TEXT(35) COLLATE TAMO,
  MandatDatum       DATE,
  MandatSequenz     INTEGER,
  EinzelReferenz    TEXT(35) COLLATE TAMO,
  Erledigt          BOOLEAN NOT NULL DEFAULT 0,
  ErledigtDatum     DATE,
  Buchungsdatum     DATE,
  Fehler            BOOLEAN NOT NULL DEFAULT 0,
  BuchImport        BOOLEAN NOT NULL DEFAULT 0,
  "Währung"         BOOLEAN NOT NULL DEFAULT 0
);
CREATE INDEX Zahlungen_Auswahl ON Zahlungen (AbsenderNr, Art, Erledigt, ZahlungNr);
CREATE INDEX Zahlungen_OPKontoNr ON Zahlungen (OPKontoNr);
CREATE INDEX Zahlungen_MandatReferenz ON Zahlungen (MandatReferenz);

CREATE TABLE Verwendungszweck (
  LfdNr            INTEGER PRIMARY KEY AUTOINCREMENT,
  ZahlungNr        INTEGER REFERENCES Zahlungen (ZahlungNr) ON DELETE CASCADE,
  ZeilenNr         INTEGER,
  Verwendungszweck TEXT(27) COLLATE TAMO,
  OPVorgangNr      TEXT(20) COLLATE TAMO,
  Vorgangsdatum    DATE,
  OPBetrag         CURRENCY,
  SkontoBetrag     CURRENCY,
  ZahlungsBetrag   CURRENCY,
  OPVorgangsArt    TEXT(2) COLLATE TAMO
);
CREATE INDEX Verwendungszweck_ZahlungNr ON Verwendungszweck (ZahlungNr, ZeilenNr);

CREATE TABLE Adressen (
  OPKontoNr             TEXT(10) COLLATE TAMO NOT NULL PRIMARY KEY,
  Suchname              TEXT(30) COLLATE TAMO,
  Name                  TEXT(70) COLLATE TAMO,
  Bank                  TEXT(60) COLLATE TAMO,
  BIC                   TEXT(11) COLLATE TAMO,
  IBAN                  TEXT(34) COLLATE TAMO,
  BLZ                   TEXT(8) COLLATE TAMO,
  KontoNr               TEXT(10) COLLATE TAMO,
  MandatReferenz        TEXT(35) COLLATE TAMO,
  MandatDatum           DATE,
  MandatSequenz         TEXT(50) COLLATE TAMO,
  IBANKonvertierHinweis TEXT(120) COLLATE TAMO,
  IBANKonvertierNr      INTEGER
);
CREATE INDEX Adressen_Suchname ON Adressen (Suchname);
CREATE INDEX Adressen_Name ON Adressen (Name);

CREATE TABLE Absender (
  AbsenderNr              INTEGER PRIMARY KEY,
  Suchname                TEXT(30) COLLATE TAMO,
  Name                    TEXT(70) COLLATE TAMO,
  Bank                    TEXT(60) COLLATE TAMO,
  BIC                     TEXT(11) COLLATE TAMO,
  IBAN                    TEXT(34) COLLATE TAMO,
  "GläubigerID"           TEXT(35) COLLATE TAMO,
  ReferenzNr              TEXT(35) COLLATE TAMO,
  Bemerkung               TEXT(50) COLLATE TAMO,
  AdressenFormat          INTEGER NOT NULL DEFAULT 0,
  AdressenVerbindung      TEXT(255) COLLATE TAMO,
  AdressenQuelltabelle    TEXT(64) COLLATE TAMO,
  AdressenSuchfeld        TEXT(64) COLLATE TAMO,
  AdressenSuchliste       TEXT(255) COLLATE TAMO,
  AdressenSortierfeld     TEXT(64) COLLATE TAMO,
  AdressenTransportfelder TEXT(255) COLLATE TAMO
);

-- Message ids of the SEPA files written for a sender: a reference is never sent twice.
CREATE TABLE GesendeteReferenzen (AbsenderNr INTEGER NOT NULL REFERENCES Absender(AbsenderNr) ON DELETE CASCADE, Referenz TEXT(35) NOT NULL, Erstellt DATE, PRIMARY KEY (AbsenderNr, Referenz));

CREATE TABLE Bankverbindung (
  BLZ  TEXT(8) COLLATE TAMO,
  BIC  TEXT(11) COLLATE TAMO,
  Bank TEXT(60) COLLATE TAMO
);
CREATE INDEX Bankverbindung_BLZ ON Bankverbindung (BLZ);
CREATE INDEX Bankverbindung_BIC ON Bankverbindung (BIC);

CREATE TABLE Einstellungen (
  einstellung TEXT(60) COLLATE TAMO NOT NULL PRIMARY KEY,
  Wert        TEXT(255) COLLATE TAMO,
  memowert    MEMO
);

-- The program starts with one sender.
INSERT INTO Absender (AbsenderNr, Name) VALUES (1, '');
