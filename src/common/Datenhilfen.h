#pragma once

#include <QString>

#include <optional>

#include "platform/db/Datenbank.h"
#include "platform/db/DbFehler.h"

// Settings table `Einstellungen` and other small queries of the shared module. The forms without a
// Datenbank argument work on the program's open database (Programmzustand).

// The trimmed `Wert` (or `memowert`) of the key; `vorgabe` when the row is missing, the value is
// empty or the query fails. A failure is returned through `fehler` when given.
QString EinstellungLesen(Datenbank& db, const QString& schluessel, const QString& vorgabe = {}, bool memo = false,
                         DbFehler* fehler = nullptr);
QString EinstellungLesen(const QString& schluessel, const QString& vorgabe = {}, bool memo = false,
                         DbFehler* fehler = nullptr);

// Writes `Wert` (or `memowert`) of the key, adding the row when it is missing.
DbFehler EinstellungSpeichern(Datenbank& db, const QString& schluessel, const QString& wert, bool memo = false);
DbFehler EinstellungSpeichern(const QString& schluessel, const QString& wert, bool memo = false);

// The message of a query that could not be opened: "Fehler bei der Datenermittlung!", an empty
// line, "Nr: " and "Beschreibung: ", and the statement (when given) as the last line.
QString DatenermittlungsFehlertext(const DbFehler& fehler, const QString& abfrage = {});

// The error of a call that needs the open database while none is open.
DbFehler KeineDatenbankFehler();
