#include <QApplication>

#include "common/Prozessstart.h"
#include "shell/Main.h"

int main(int argc, char** argv) {
  ProzessEinrichten();
  QApplication anwendung(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tamo-SEPA"));
  return Main::Ausfuehren(anwendung);
}
