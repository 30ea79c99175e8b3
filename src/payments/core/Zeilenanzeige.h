#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How the remittance lines of the current payment are shown (option set SSDBOptSet1,
// setting "AnzeigeVerwendungszweckzeilen").
enum class Zeilenanzeige { Ausblenden = 0, OhneOP = 1, MitOP = 2 };

// Reads the stored setting ("0", "1", "2"); anything else gives the default "2".
Zeilenanzeige ZeilenanzeigeAusText(const QString& text);
QString ZeilenanzeigeAlsText(Zeilenanzeige modus);
QString ZeilenanzeigeBeschriftung(Zeilenanzeige modus);  // "Ausblenden", "Anzeigen ohne OP's", ...

// What a display mode shows: which controls are visible, which line-grid columns (by field),
// their widths in percent of the grid, and the first column the grid scrolls to.
struct ZeilenanzeigeLayout {
  bool gitterSichtbar = false;        // TDBGrid2
  bool einzelfelderSichtbar = true;   // TDBMask1(5) line text and TDBNumber1(0) amount
  bool einzelsummeSichtbar = false;   // TDBNumber1(2) line sum
  QStringList spalten;                // visible columns in column order (data fields)
  QList<double> prozente;             // widths of the visible columns; empty in mode 0 (left as it was)
  QString ersteSpalte;                // first displayed column
  bool nurZeile1 = true;              // the lines query holds line 1 only
};

// `aufAbPfeil`: the setting "AufAbPfeilVerwenden" (changes the widths of mode 2).
ZeilenanzeigeLayout ZeilenanzeigeErmitteln(Zeilenanzeige modus, bool aufAbPfeil);

// Line-grid columns in design order (caption, field), the hidden ones included.
struct ZeilenSpalte {
  QString beschriftung;
  QString feld;
};
QList<ZeilenSpalte> ZeilenSpalten();
