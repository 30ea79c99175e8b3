#include "shell/Main.h"

#include <QApplication>

#include "shell/Arbeitsfenster.h"
#include "shell/Programmschrift.h"
#include "shell/Programmstart.h"
#include "shell/ZOVA10.h"

int Main::Ausfuehren(QApplication& anwendung) {
  Programmstart start;
  if (!start.Ausfuehren()) return 1;
  Programmschrift::Anwenden();

  ZOVA10 hauptfenster;
  ArbeitsfensterAnmelden(hauptfenster);
  hauptfenster.Laden();
  hauptfenster.show();
  return anwendung.exec();
}
