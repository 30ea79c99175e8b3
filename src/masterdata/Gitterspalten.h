#pragma once

class DatenGitter;


// Column widths of the master-data grids beyond what the grid works out by itself.
class Gitterspalten {
 public:
  // The grid sizes a column by the average character width; bank codes, BIC, IBAN and account
  // numbers are capitals and digits, which are wider, and came out cut off ("DEUTDEF…").
  // Widens those columns to fit a full code.
  static void CodesVerbreitern(DatenGitter& gitter);
  // Widens the visible columns in proportion when together they are narrower than the grid (the
  // three bank-code columns otherwise leave a blank strip beside them). Call once the grid is laid out.
  static void BreiteFuellen(DatenGitter& gitter);
  // The address grid: number, names, BIC, IBAN and the mandate columns first, each as wide as the
  // addresses in view need; where the grid is too narrow for them, the names and the sequence give way
  // down to their captions, so that IBAN and the mandate data show without scrolling. The rest (bank,
  // old account data, conversion notes) follows. Call once the grid is laid out.
  static void AdressenAnordnen(DatenGitter& gitter);
};
