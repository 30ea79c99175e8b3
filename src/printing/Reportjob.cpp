#include "printing/Reportjob.h"

#include "platform/report/QtReportengine.h"

namespace {
std::unique_ptr<Reportengine>& Aktuell() {
  static std::unique_ptr<Reportengine> engine;
  return engine;
}
}  // namespace

void Reportjob::Oeffnen() {
  if (!Aktuell()) Aktuell() = std::make_unique<QtReportengine>();
}

void Reportjob::Schliessen() { Aktuell().reset(); }

bool Reportjob::Offen() { return static_cast<bool>(Aktuell()); }

Reportengine& Reportjob::Engine() {
  Oeffnen();
  return *Aktuell();
}

void Reportjob::EngineSetzen(std::unique_ptr<Reportengine> engine) { Aktuell() = std::move(engine); }
