#pragma once

#include <QString>

// Run-time error numbers of file access, for the "Nr: " of a message.
namespace DateiFehlerNr {
constexpr int DateiNichtGefunden = 53;
constexpr int EinAusgabeFehler = 57;
constexpr int DateiVorhanden = 58;
constexpr int DatentraegerVoll = 61;
constexpr int KeineBerechtigung = 70;
constexpr int ZugriffsFehler = 75;
constexpr int PfadNichtGefunden = 76;
}  // namespace DateiFehlerNr

// A failure of the operating system (errno) in the user's words: the run-time number for "Nr: " and a
// German text naming the path (when one is given) and, where the user can do something about it, what.
// The one home of these texts: file writes, the database and the PDF output all use it.
struct Systemfehler {
  int nummer = 0;
  QString text;
};
Systemfehler SystemfehlerBeschreiben(int fehlerNr, const QString& pfad);
