// The tests that need a real X server: run under a virtual display
// (xvfb-run), on the toolkit's X11 platform.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    std::printf("No X display: the X11 tests are skipped.\n");
    return 0;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
