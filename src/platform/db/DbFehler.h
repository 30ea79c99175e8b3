#pragma once

#include <QString>

// A database failure: the SQLite extended result code and its description, for the program's
// "Nr: " / "Beschreibung: " messages. A default-constructed value means success.
struct DbFehler {
  int Nummer = 0;
  QString Beschreibung;

  bool Ok() const { return Nummer == 0; }
  explicit operator bool() const { return Nummer != 0; }  // true = failed

  static DbFehler Erfolg() { return {}; }
  // Text "Nr: <n>" CR "Beschreibung: <text>" used under an action message.
  QString Meldungstext() const;
};

// Program-side failure numbers (outside SQLite's range) for conditions our layer detects.
namespace DbFehlerNr {
constexpr int KeinAktuellerDatensatz = 3021;   // no current record (BOF/EOF or deleted)
constexpr int KeinBearbeitungsmodus = 3020;    // Update without Edit/AddNew
constexpr int NichtAktualisierbar = 3027;      // the column or recordset cannot be updated
constexpr int DatensatzGeloescht = 3167;       // record was deleted
constexpr int UnbekanntesFeld = 3265;          // no field of that name
constexpr int KeineTreffer = 3022;             // update hit no row where exactly one was required
constexpr int DateiFehler = 75;                // path/file access error
constexpr int UngueltigerBezeichner = 3125;    // not a valid name
constexpr int FeldZuKlein = 3163;              // a text longer than its field
constexpr int InzwischenGeaendert = 3197;      // another user changed the data since it was read
}  // namespace DbFehlerNr
