#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Whether a window shows its amounts, IBANs and BICs whole. Every cell of a list or grid in view is
// painted through its own delegate onto a device that records the text drawn and where; a value cell
// passes when the text drawn is the cell's whole value and lies inside the cell. Fields, labels and
// grid footers are measured with their own font against the room they give the text.
struct Ganzwertbefund {
  int geprueft = 0;      // values found and checked
  QStringList maengel;   // one line per value shown shortened, as "###", wrapped or beyond its cell
  QStringList ganz;      // the values seen whole
};

// A field showing "###": a defect, or (a total beyond what the field is made for) whole when its tooltip
// holds the whole value.
enum class Rauten { Mangel, MitWertImTipp };

Ganzwertbefund GanzwertePruefen(QWidget& fenster, Rauten rauten = Rauten::Mangel);

// A text that is an amount ("-999.999.999,99"), an IBAN (with or without blanks) or a BIC.
bool IstGanzwert(const QString& text);
