#include <QApplication>

#include "shell/Main.h"

int main(int argc, char** argv) {
  QApplication anwendung(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tamo-SEPA"));
  return Main::Ausfuehren(anwendung);
}
