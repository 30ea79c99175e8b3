#pragma once

class QFont;
class QWidget;

// Puts the program font's name and size on the window and every control in it; each control keeps
// its own weight and style (bold captions stay bold).
void ProgrammschriftSetzen(QWidget* fenster, const QFont& schrift);
