-- Tamo-SEPA database schema, version 4. The declared types carry what the program reads back:
-- TEXT(n) = text of size n, CURRENCY = integer ten-thousandths, DATE = ISO text,
-- BOOLEAN = 0/1, MEMO = long text.
-- The file is a plain SQLite file: the standard sqlite3 shell can check, query and dump it. Text columns
-- and their indexes use SQLite's own NOCASE (case-insensitive for A-Z), so keys compare without regard
-- to case in every tool; where umlauts must compare without regard to case too (names, search texts),
-- the program names its own collation TAMO in the query, never in the file.

PRAGMA application_id = 1414743376;  -- "TSEP"
PRAGMA user_version = 4;

CREATE TABLE Zahlungen (
  ZahlungNr         INTEGER PRIMARY KEY AUTOINCREMENT,
  AbsenderNr        INTEGER,
  Art               TEXT(1) COLLATE NOCASE,
  OPKontoNr         TEXT(10) COLLATE NOCASE,
  Name              TEXT(70) COLLATE NOCASE,
  Bank              TEXT(60) COLLATE NOCASE,
  BIC               TEXT(11) COLLATE NOCASE,
  IBAN              TEXT(34) COLLATE NOCASE,
  Verwendungszweck1 TEXT(27) COLLATE NOCASE,
  BLZ               TEXT(8) COLLATE NOCASE,
  KontoNr           TEXT(10) COLLATE NOCASE,
  ZahlungGesamt     CURRENCY,
  "Fällig"          DATE,
  "Textschlüssel"   TEXT(4) COLLATE NOCASE,
  MandatReferenz    TEXT(35) COLLATE NOCASE,
  MandatDatum       DATE,
  MandatSequenz     INTEGER,
  EinzelReferenz    TEXT(35) COLLATE NOCASE,
  Erledigt          BOOLEAN NOT NULL DEFAULT 0,
  ErledigtDatum     DATE,
  Buchungsdatum     DATE,
  Fehler            BOOLEAN NOT NULL DEFAULT 0,
  BuchImport        BOOLEAN NOT NULL DEFAULT 0,
  "Währung"         BOOLEAN NOT NULL DEFAULT 0
);
CREATE INDEX Zahlungen_Auswahl ON Zahlungen (AbsenderNr, Art, ZahlungNr);
-- The open orders alone (what the payment form and the SEPA selection read): a SEPA run that marks its orders
-- done takes them out of this index instead of moving each one within the index above.
CREATE INDEX Zahlungen_Offen ON Zahlungen (AbsenderNr, Art, ZahlungNr) WHERE Erledigt = 0;
CREATE INDEX Zahlungen_OPKontoNr ON Zahlungen (OPKontoNr);
CREATE INDEX Zahlungen_MandatReferenz ON Zahlungen (MandatReferenz);
-- The done direct debits by sender and mandate: the earlier collections of a selection's mandates, looked up
-- mandate by mandate (one that has none costs a look into this index, not a read of the sender's history).
CREATE INDEX Zahlungen_Mandate ON Zahlungen (AbsenderNr, MandatReferenz) WHERE Erledigt = 1 AND Art = 'L';

CREATE TABLE Verwendungszweck (
  LfdNr            INTEGER PRIMARY KEY AUTOINCREMENT,
  ZahlungNr        INTEGER REFERENCES Zahlungen (ZahlungNr) ON DELETE CASCADE,
  ZeilenNr         INTEGER,
  Verwendungszweck TEXT(27) COLLATE NOCASE,
  OPVorgangNr      TEXT(20) COLLATE NOCASE,
  Vorgangsdatum    DATE,
  OPBetrag         CURRENCY,
  SkontoBetrag     CURRENCY,
  ZahlungsBetrag   CURRENCY,
  OPVorgangsArt    TEXT(2) COLLATE NOCASE
);
CREATE INDEX Verwendungszweck_ZahlungNr ON Verwendungszweck (ZahlungNr, ZeilenNr);

CREATE TABLE Adressen (
  OPKontoNr             TEXT(10) COLLATE NOCASE NOT NULL PRIMARY KEY,
  Suchname              TEXT(30) COLLATE NOCASE,
  Name                  TEXT(70) COLLATE NOCASE,
  Bank                  TEXT(60) COLLATE NOCASE,
  BIC                   TEXT(11) COLLATE NOCASE,
  IBAN                  TEXT(34) COLLATE NOCASE,
  BLZ                   TEXT(8) COLLATE NOCASE,
  KontoNr               TEXT(10) COLLATE NOCASE,
  MandatReferenz        TEXT(35) COLLATE NOCASE,
  MandatDatum           DATE,
  MandatSequenz         TEXT(50) COLLATE NOCASE,
  IBANKonvertierHinweis TEXT(120) COLLATE NOCASE,
  IBANKonvertierNr      INTEGER
);
CREATE INDEX Adressen_Suchname ON Adressen (Suchname);
CREATE INDEX Adressen_Name ON Adressen (Name);

CREATE TABLE Absender (
  AbsenderNr              INTEGER PRIMARY KEY,
  Suchname                TEXT(30) COLLATE NOCASE,
  Name                    TEXT(70) COLLATE NOCASE,
  Bank                    TEXT(60) COLLATE NOCASE,
  BIC                     TEXT(11) COLLATE NOCASE,
  IBAN                    TEXT(34) COLLATE NOCASE,
  "GläubigerID"           TEXT(35) COLLATE NOCASE,
  ReferenzNr              TEXT(35) COLLATE NOCASE,
  Bemerkung               TEXT(50) COLLATE NOCASE,
  AdressenFormat          INTEGER NOT NULL DEFAULT 0,
  AdressenVerbindung      TEXT(255) COLLATE NOCASE,
  AdressenQuelltabelle    TEXT(64) COLLATE NOCASE,
  AdressenSuchfeld        TEXT(64) COLLATE NOCASE,
  AdressenSuchliste       TEXT(255) COLLATE NOCASE,
  AdressenSortierfeld     TEXT(64) COLLATE NOCASE,
  AdressenTransportfelder TEXT(255) COLLATE NOCASE
);

-- Message ids of the SEPA files written from a sender account: the bank refuses an id it has had from the
-- account before, whichever sender record sent it. IBAN as stored (capitals, no blanks); the rows outlive the
-- sender, whose number is kept for information only.
CREATE TABLE GesendeteReferenzen (IBAN TEXT(34) NOT NULL, Referenz TEXT(35) NOT NULL, AbsenderNr INTEGER, Erstellt DATE, PRIMARY KEY (IBAN, Referenz));

CREATE TABLE Bankverbindung (
  BLZ  TEXT(8) COLLATE NOCASE,
  BIC  TEXT(11) COLLATE NOCASE,
  Bank TEXT(60) COLLATE NOCASE
);
CREATE INDEX Bankverbindung_BLZ ON Bankverbindung (BLZ);
CREATE INDEX Bankverbindung_BIC ON Bankverbindung (BIC);

CREATE TABLE Einstellungen (
  einstellung TEXT(60) COLLATE NOCASE NOT NULL PRIMARY KEY,
  Wert        TEXT(255) COLLATE NOCASE,
  memowert    MEMO
);

-- The files of a SEPA run between the marks of its orders and their final names. The run notes its folder
-- ('B') before its first temporary file; the transaction that marks the orders adds a row per file to
-- rename ('U': temporary and final name, size, checksum, the orders in it), per stale split file to delete
-- ('L') and per archive copy ('K'); the rows go once every file is in place. What a crash leaves here,
-- the next opening finishes.
CREATE TABLE SepaLaufDateien (
  Nr         INTEGER PRIMARY KEY AUTOINCREMENT,
  Lauf       TEXT(16) NOT NULL,
  Art        TEXT(1) NOT NULL,
  Ordner     TEXT(255),
  Temporaer  TEXT(255),
  Ziel       TEXT(255),
  Groesse    INTEGER,
  Pruefsumme TEXT(64),
  Zahlungen  MEMO
);
CREATE INDEX SepaLaufDateien_Lauf ON SepaLaufDateien (Lauf);

-- The program starts with one sender.
INSERT INTO Absender (AbsenderNr, Name) VALUES (1, '');
