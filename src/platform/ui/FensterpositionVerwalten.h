#pragma once

#include <QString>

class QWidget;

// Stores (wiederherstellen false) or restores (true) a window's "State", "Top", "Left", "Height" and
// "Width" in the settings section `abschnitt`. Restoring takes each stored value that is a number;
// when no position or size is stored and prozent > 0 the window gets screen height x prozent / 100
// and screen width x prozent / 120 (/ 150 when breit), centred. State: "0" normal, "1" minimised,
// "2" maximised; a minimised window comes back normal, and a window that would lie off every
// screen is centred on its screen.
void FensterpositionVerwalten(bool wiederherstellen, const QString& abschnitt, QWidget* fenster, int prozent = 70,
                              bool breit = false);
