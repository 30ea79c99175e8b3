#include "testsupport/TestOrdner.h"

#include <QDir>

TestOrdner::TestOrdner() = default;

QString TestOrdner::Datei(const QString& name) const { return m_dir.filePath(name); }

QString TestOrdner::SharedOrdner() {
  const QString ordner = qEnvironmentVariable("TAMO_SHARED_DIR");
  return (!ordner.isEmpty() && QDir(ordner).exists()) ? QDir(ordner).absolutePath() : QString();
}
