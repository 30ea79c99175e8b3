#pragma once

#include <QList>
#include <QString>

// What can go wrong when the report engine puts a report out, and which result code of the old
// engine each failure gives to the print driver (which turns the code into its message).
enum class Ausgabefehler {
  DateiFehlt,            // the report file does not exist
  DateiUnlesbar,         // the report file cannot be read
  DateiFormat,           // the report file is no list report of ours or holds a wrong entry
  FalscherProjekttyp,    // a label or card project was asked for
  UnbekannterName,       // the report names a field or variable the print does not define
  KeinDrucker,           // no printer is set up on this machine
  DruckerStart,          // the printer (or its spool file) cannot be opened
  DruckerSeite,          // the printer refused a further page
  DruckerEnde,           // the printer failed at the end of the job
  PdfOhneName,           // PDF output without a file name
  PdfStart,              // the PDF file cannot be created (folder missing, no permission)
  PdfSchreiben,          // the PDF file could not be completed or put in place
};

// The result code of a failure (Report::KeinProjekt, Report::DateiDefekt, ...).
int Ergebniscode(Ausgabefehler fehler);
// All failures in the order of the table (tests walk it row by row).
const QList<Ausgabefehler>& AlleAusgabefehler();
