#pragma once

#include <QString>
#include <QStringList>

#include "platform/report/core/Reportengine.h"

// What a print came to: the print driver shows nothing itself, its caller reports the failures.
struct Druckergebnis {
  // Codes of the driver beyond the engine's.
  static constexpr int Datenfehler = -1000;     // the rows could not be read ("Fehler bei der Datenermittlung!")
  static constexpr int Sortierfehler = -1001;   // the report chose a sort order that was not offered
  static constexpr int Kopierfehler = -1002;    // a report file chosen outside the program folder could not be copied in

  // Report::Ok when the report went out, Report::Abgebrochen when the user cancelled, the designer's
  // answer for a designer request, else the failure's code.
  int code = Report::Ok;
  // The failures in the order they arose, each a message of its own (lines joined with "\r"); the
  // first names the cause. Empty for Report::Ok and Report::Abgebrochen.
  QStringList meldungen;
  // The PDF file written (full path): for the silent PDF target, or the one chosen in the output
  // settings; else empty.
  QString datei;

  bool Ok() const { return code == Report::Ok; }
};
