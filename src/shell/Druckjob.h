#pragma once

// The print job of the report engine lives as long as the main window: opened at the end of its
// loading, closed as the first step of the shut-down. The printing layer plugs its job in here;
// until then the main window runs without one.
class Druckjob {
 public:
  virtual ~Druckjob() = default;
  virtual void Oeffnen() = 0;
  virtual void Schliessen() = 0;
};
