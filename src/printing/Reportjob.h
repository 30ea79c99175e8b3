#pragma once

#include <memory>

class Reportengine;

// The report engine of the program run: the main window opens the job when it has loaded and
// closes it as the first step of the shut-down; the windows print with it in between. A window
// printing without the main window (tests) gets an engine when it first asks for one. The headless
// tools print with an engine without windows of their own (PdfReportengine).
class Reportjob {
 public:
  static void Oeffnen();
  static void Schliessen();
  static bool Offen();
  static Reportengine& Engine();
  // Puts another engine in place (tests: the recording engine); nullptr closes the job.
  static void EngineSetzen(std::unique_ptr<Reportengine> engine);
};
