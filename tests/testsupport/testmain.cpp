// Common main of every test executable: a headless QApplication and GoogleTest.
#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("TAMO_SHARED_DIR")) qputenv("TAMO_SHARED_DIR", TAMO_SHARED_DIR_VORGABE);
  // Settings and program folders of a test never touch the user's own.
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir heim;
  qputenv("TAMOSEPA_EINSTELLUNGEN", QFile::encodeName(heim.filePath(QStringLiteral("einstellungen.ini"))));
  if (qEnvironmentVariableIsEmpty("TAMOSEPA_PROGRAMMVERZEICHNIS"))
    qputenv("TAMOSEPA_PROGRAMMVERZEICHNIS", QFile::encodeName(heim.filePath(QStringLiteral("programm"))));
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tamo-SEPA"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
