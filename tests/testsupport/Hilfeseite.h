#pragma once

#include <QFileInfo>
#include <QString>
#include <QTest>

#include "common/Programmzustand.h"
#include "platform/ui/HilfeFenster.h"

// F1 as the user presses it, on the widget with the focus: the help page the viewer then shows
// ("100.html"), empty when no viewer came up. The program folder is the source tree's resources,
// and the viewer is closed again.
inline QString HilfeseiteNachF1(QWidget* ziel) {
  Zustand().ProgrammVerzeichnisSetzen(QStringLiteral(TAMO_SOURCE_DIR "/resources/"));
  QTest::keyClick(ziel, Qt::Key_F1);
  HilfeFenster* hilfe = HilfeFenster::Instanz(Zustand().ProgrammVerzeichnis() + QStringLiteral("help"));
  const QString datei = hilfe->isVisible() ? QFileInfo(hilfe->AktuelleDatei()).fileName() : QString();
  hilfe->close();
  return datei;
}
