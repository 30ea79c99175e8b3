#pragma once

#include <QString>

#include "platform/db/Systemfehler.h"

// File and path helpers of the shared module. Paths use the native separator; "\" is accepted
// as a separator as well, since stored paths may come from the old program.

// The text after the last separator.
QString DateinameErmitteln(const QString& pfad);
// The folder part up to and including the last separator (or a drive colon); the program folder
// when the path has neither.
QString VerzeichnisErmitteln(const QString& pfad);
// The path with the native separator appended when it does not end in a separator. An empty
// path stays empty (never the root folder by accident).
QString BackslashAnhaengen(const QString& pfad);
// False for an empty path; otherwise true when a file (not a folder) matches. The name may hold
// the wildcards * and ?, and is compared without regard to case when no exact match exists.
bool DateiVorhanden(const QString& pfad);

// A failed file operation: the run-time number and a German description that names the path.
struct DateiFehler {
  int Nummer = 0;
  QString Beschreibung;
  bool Ok() const { return Nummer == 0; }
  explicit operator bool() const { return Nummer != 0; }   // true = failed
};

// The failure `fehlerNr` (errno) of an operation on `pfad`: full disk, file too large, no permission, read-only
// disk, a file where a folder belongs and the rest each with their own text (SystemfehlerBeschreiben).
DateiFehler DateiFehlerAusSystem(int fehlerNr, const QString& pfad);
// A write that stored fewer bytes than it was given (and reported no reason).
DateiFehler UnvollstaendigGeschrieben(const QString& pfad, qint64 geschrieben, qint64 soll);

// Writes `text` as UTF-8 to `datei`, replacing an existing file. The text goes to a temporary file
// in the target folder that is renamed into place (SichereDateien), so a failed write leaves the old file
// intact. Returns 0 or the error number; `beschreibung` receives the error text (DateiFehlerAusSystem).
int TextdateiSchreiben(const QString& text, const QString& datei, QString* beschreibung = nullptr);
