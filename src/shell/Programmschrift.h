#pragma once

#include <QFont>

// The program font (`ProgrammSchrift`): name and size in "Window State" ("ProgrammSchrift",
// "ProgrammSchriftGröße"). It becomes the application font, so every window and control takes it
// (QApplication::font() is the program font for ProgrammschriftSetzen).
class Programmschrift {
 public:
  // The stored font, or the application's default when none is stored.
  static QFont Lesen();
  // Makes the stored font the application font (start-up).
  static void Anwenden();
  // Stores the font and makes it the application font.
  static void Speichern(const QFont& schrift);
};
