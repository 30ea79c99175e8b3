#pragma once

// A control with a list or calendar that drops down (date fields, combos, grid cells with a
// drop-down). The windows open and close it by a direct call where the old program sent F4 or Alt+Down.
class Aufklappbar {
 public:
  virtual ~Aufklappbar() = default;
  virtual void AufklappenOeffnen() = 0;
  virtual void AufklappenSchliessen() = 0;
  virtual bool IstAufgeklappt() const = 0;
};
