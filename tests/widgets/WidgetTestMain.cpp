// One QApplication for all widget tests. Test discovery runs this binary
// without the tests' environment, hence the platform default here too.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "viewer/uData.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Window placement and the like go to a settings folder of the run's own.
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
  QApplication application(argc, argv);
  // As the program does at start: the build puts the font beside this binary,
  // in the program folder.
  RegisterSpecialFont();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
