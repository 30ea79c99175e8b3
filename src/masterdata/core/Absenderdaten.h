#pragma once

#include <QString>

// One sender account as the sender form edits it.
struct Absenderdaten {
  int nr = 0;                 // AbsenderNr; 0 for a sender not yet stored
  QString suchname;
  QString name;
  QString bank;
  QString bic;
  QString iban;
  QString glaeubigerId;
  QString referenzNr;
  QString bemerkung;
  int adressenFormat = 0;     // 0 internal, 1 accounting program, 2 order program
  QString adressenVerbindung; // the sibling program's database file (formats 1 and 2)
};
