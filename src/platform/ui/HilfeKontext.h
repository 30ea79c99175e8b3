#pragma once

// Context numbers of the help topics (resources/help/<Nummer>.html); 0 is the contents.
namespace HilfeKontext {

constexpr int Inhalt = 0;              // main window
constexpr int Zahlungen = 100;         // FormularZahlung
constexpr int FaelligAbfrage = 110;    // FälligAbfrage
constexpr int Skonto = 120;            // SkontoForm
constexpr int SepaDatei = 200;         // FormularDTADisk
constexpr int Zahlungsliste = 210;
constexpr int Selektiv = 220;          // FormularSelektiv
constexpr int Adressen = 300;          // FormAdressen
constexpr int Absender = 310;          // FormularAbsender
constexpr int Suchliste = 320;         // SuchlisteF4
constexpr int Einstellungen = 400;     // Optionen
constexpr int Rechner = 410;           // Rechner
constexpr int Import = 830;            // ImportForm
constexpr int Drucken = 850;           // DruckLL
constexpr int Designer = 860;          // ReportDesigner

}  // namespace HilfeKontext
