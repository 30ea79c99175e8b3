#include "printing/Druckjob.h"

#include "platform/report/QtReportengine.h"

namespace {
std::unique_ptr<Reportengine>& Aktuell() {
  static std::unique_ptr<Reportengine> engine;
  return engine;
}
}  // namespace

void Druckjob::Oeffnen() {
  if (!Aktuell()) Aktuell() = std::make_unique<QtReportengine>();
}

void Druckjob::Schliessen() { Aktuell().reset(); }

bool Druckjob::Offen() { return static_cast<bool>(Aktuell()); }

Reportengine& Druckjob::Engine() {
  Oeffnen();
  return *Aktuell();
}

void Druckjob::EngineSetzen(std::unique_ptr<Reportengine> engine) { Aktuell() = std::move(engine); }
