#pragma once

#include <memory>

class Reportengine;

// The report engine of the program run: the main window opens the job when it has loaded and
// closes it as the first step of the shut-down; the print driver uses it in between. A print
// outside the main window (headless tools) gets an engine when it first asks for one.
class Reportjob {
 public:
  static void Oeffnen();
  static void Schliessen();
  static bool Offen();
  static Reportengine& Engine();
  // Puts another engine in place (tests: the recording engine); nullptr closes the job.
  static void EngineSetzen(std::unique_ptr<Reportengine> engine);
};
