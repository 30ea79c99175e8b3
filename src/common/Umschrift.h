#pragma once

#include <QString>

// A text carried over into the payment character set (Zahlungszeichensatz): what the set holds stays as it
// is; other letters are transliterated, combining marks folded into their letter, blanks of every kind become
// a blank, signs with a usual ASCII form get it (dashes, €, ½ ...) and the others (emoji, quotes, "#") drop
// out. Letters and digits without a Latin form (Chinese, Arabic, ...) drop out as well, and are named: the
// text then no longer says what it said.
struct Zahlungstext {
  QString text;
  bool geaendert = false;   // text differs from what came in
  QString ohneUmschrift;    // the letters and digits that dropped out, each once, in the order met
  bool Verlustfrei() const { return ohneUmschrift.isEmpty(); }
};

Zahlungstext ZahlungstextUmschreiben(const QString& text);
