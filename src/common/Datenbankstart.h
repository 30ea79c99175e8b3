#pragma once

#include <QString>

#include "platform/db/DbFehler.h"

// Start-up of the data side: program folder (seeded at the first start), data folder, and the
// opening of the database with the active sender's linked sibling tables. Results go into
// Programmzustand.

inline const QString DatenbankDateiname = QStringLiteral("TamoSEPA.db");
inline const QString SchemaDateiname = QStringLiteral("TamoSEPA.sql");

// What a start step reports: a failure (with the text for the user) and/or a note to show once.
struct StartErgebnis {
  DbFehler fehler;
  QString meldung;   // text for the user when `fehler` is set
  QString hinweis;   // a note to show once (e.g. a migrated file) or a problem that does not stop the program
  bool warnung = false;   // the note names a problem (a sibling file missing): shown with the warning icon
  bool Ok() const { return fehler.Ok(); }
};

// The program folder: TAMOSEPA_PROGRAMMVERZEICHNIS, else the per-user data location; ends in the separator.
QString ProgrammverzeichnisErmitteln();
// The shipped resources (schema, help, reports, INI): beside the executable, in its share folder,
// or in the source tree; empty when none is found. TAMOSEPA_RESSOURCEN overrides.
QString RessourcenVerzeichnis();

// The text of the shipped schema file; empty when it is not found.
QString SchemaSkript();

// Creates a database file from a schema script. Built under a temporary name and renamed, so an
// interrupted run leaves no half-made database behind. Refused while a journal of a lost file is beside it.
DbFehler DatenbankAnlegen(const QString& datei, const QString& schemaDatei);

// Copies the shipped files into a new (missing or empty) program folder. Existing files are never replaced.
StartErgebnis ProgrammverzeichnisEinrichten(const QString& programmVerzeichnis, const QString& ressourcen);

// Copies every shipped report file (*.LST) that the program folder lacks, letter case ignored; replaces
// only an earlier shipped version the user never changed. Returns the note for the user when a copy
// failed, else empty.
QString ReportdateienErgaenzen(const QString& programmVerzeichnis, const QString& ressourcen);
// Whether `inhalt` is an earlier shipped version of the report `name`, which ReportdateienErgaenzen
// replaces by the current one (a report the user changed is never replaced).
bool FruehererMitgelieferterReport(const QString& name, const QByteArray& inhalt);

// The file a sender's `AdressenVerbindung` names: a path without its folder lies in the data folder.
QString VerbindungsPfad(const QString& verbindung);
// The canonical path of the sibling file a sender with these values links, so that two spellings of one
// file compare equal; empty when the format links none or the file is not found.
QString VerknuepfteDatei(int adressenFormat, const QString& verbindung);

// Why `ordner` cannot be the data folder by its form, empty when it can: a folder without its full path
// would be found from the working folder of each start, another one each time.
QString DatenordnerPfadMangel(const QString& ordner);

// Sets ProgrammVerzeichnis and DatenVerzeichnis ("Window State": "Datenlaufwerk", then
// "InstallDir", then the program folder), seeding the program folder at the first start (later starts
// add the shipped report files it lacks) and
// creating the empty database in the program folder when it is the data folder and has none.
// When the database is missing in a data folder set by the registry, fails with a message naming it.
StartErgebnis OrdnerEinrichten();

// Opens TamoSEPA.db of the data folder carefully (DatenbankOeffnung: checks, migration, journal; closing an
// open one first), positions AbsenderDaten on
// AktuelleAbsenderNr (or on the first sender when that one no longer exists), fills AdressQuelle and
// links the sender's sibling tables. A sibling file that is missing or unusable leaves the internal
// address source in place; its note comes back once per run and file in `hinweis`.
StartErgebnis DatenbankOeffnen();
