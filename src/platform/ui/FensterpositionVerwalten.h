#pragma once

#include <QMargins>
#include <QString>

class QWidget;

// Stores (wiederherstellen false) or restores (true) a window's "State", "Top", "Left", "Height" and
// "Width" in the settings section `abschnitt`. Restoring takes each stored value that is a number;
// when no position or size is stored and prozent > 0 the window gets screen height x prozent / 100
// and screen width x prozent / 120 (/ 150 when breit), centred. State: "0" normal, "1" minimised,
// "2" maximised; a minimised window comes back normal. Whatever is restored fits the screen the window
// opens on: a size stored on a larger screen shrinks to its free area (the window frame included), and a
// place partly or wholly outside it moves onto it.
void FensterpositionVerwalten(bool wiederherstellen, const QString& abschnitt, QWidget* fenster, int prozent = 70,
                              bool breit = false);

// The window system's frame around a window's client area (title bar, borders): the window's own once it
// is shown, else that of another shown window (the main window), else none (no window manager).
QMargins FensterRahmen(const QWidget* fenster);
