#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "platform/db/Datenbank.h"

// The headless driver sepa-lauf: optionally fills a new database with open payments of one kind,
// then runs selection, pre-check and the SEPA run through the same core as the window.
//
//   sepa-lauf --db DATEI [--erzeugen N] [--seed S] [--feindlich] --art 0|1|2 [--aufteilen]
//             --ziel ORDNER --referenz R [--dateiformat FORMAT] [--kontrollliste DATEI.pdf] [--zeiten]
//             [--abbrechen-bei SCHRITT[:DATEI]] [--verfaelschen DATEI]
//   sepa-lauf --db DATEI --nur-oeffnen [--ziel ORDNER]
//   sepa-lauf --db DATEI --reaktivieren
//
// The database is opened as the program opens it (checks, migration) and what an interrupted run left is
// finished first ("Fertiggestellt: PATH" / "Fehlt: PATH"); --nur-oeffnen stops there (with --erzeugen and
// --art: after the payments are made). Then prints "Weggelassen: " and the row of the list "Weggelassene
// Zahlungen" (tab-separated, with every reason) per order the pre-check left out, "Datei: PATH" per file
// written, "Zahlungen: N" and "Fehlerhaft: N"; returns 0 on success, 1 on a refused or failed run (also a file
// the bank's schemas refuse), 2 on wrong arguments. --dateiformat chooses the setting "Dateiformat" for this
// run (pain.001.001.09 or pain.001.001.03, or their pain.008 names; default: the stored setting); the older one
// from 01.12.2026 on prints "Warnung: " and the window's warning on `fehler` and is written all the same. --zeiten
// adds timings on `fehler`, and how long checking the files written against the schemas takes alone. --kontrollliste writes the control list of exactly the orders of this run as PDF
// through the print driver and the report "Zahlungsliste" ("Kontrollliste: PATH"); it needs a
// QGuiApplication. --abbrechen-bei kills the process with SIGKILL at a step of the run (vor-den-dateien,
// nach-den-dateien, nach-der-markierung, nach-dem-umbenennen:N with N the file's index from 0,
// nach-dem-aufraeumen): the kill tests. --verfaelschen spoils the stream of file N (from 0) as it is written,
// so that the schema check must refuse it. --reaktivieren reopens every done order of the sender through the
// selective reactivation, without finishing an interrupted run first ("Reaktiviert: N"; 1 when refused).
int SepaLaufTreiber(const QStringList& argumente, QTextStream& aus, QTextStream& fehler);

// Fills the database (from the shipped schema, sender `absenderNr` present) with `anzahl` open
// payments of kind `art` (0 credit transfers, 1 core, 2 B2B direct debits; all four sequences), each
// with 1-5 lines, valid IBANs and BICs. `feindlich` adds umlauts, "&", "<", quotes, over-long texts
// and invalid values. Sets the sender's name, account, creditor identifier and reference.
DbFehler SepaTestdatenErzeugen(Datenbank& db, int absenderNr, int anzahl, int art, quint32 seed, bool feindlich,
                               const QString& referenz);
