// sepa-lauf: the SEPA run without the window (see SepaLaufTreiber.h).
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

#include "SepaLaufTreiber.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Tamo-SEPA"));
  QTextStream aus(stdout);
  QTextStream fehler(stderr);
  const int rc = SepaLaufTreiber(app.arguments().mid(1), aus, fehler);
  aus.flush();
  fehler.flush();
  return rc;
}
