#pragma once

// The print job of the report engine lives as long as the main window: opened at the end of its
// loading, closed as the first step of the shut-down. The shell plugs the printing layer's job in
// here (Main); a main window without one (tests) prints through a job opened on first use.
class Druckjob {
 public:
  virtual ~Druckjob() = default;
  virtual void Oeffnen() = 0;
  virtual void Schliessen() = 0;
};
