#pragma once

class QApplication;

// The program's start: Programmstart, then the main window with its work windows, then the event loop.
class Main {
 public:
  static int Ausfuehren(QApplication& anwendung);
};
