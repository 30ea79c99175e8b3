// sepa-lauf: the SEPA run without the window (see SepaLaufTreiber.h).
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

#include "SepaLaufTreiber.h"
#include "common/Prozessstart.h"

int main(int argc, char** argv) {
  ProzessEinrichten();
  // The control list is laid out with fonts: a GUI application, on no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QGuiApplication::setApplicationName(QStringLiteral("Tamo-SEPA"));
  QTextStream aus(stdout);
  QTextStream fehler(stderr);
  const int rc = SepaLaufTreiber(app.arguments().mid(1), aus, fehler);
  aus.flush();
  fehler.flush();
  return rc;
}
