#pragma once
// What the tests on a real X server share: waiting for the window's
// events, and keys sent through the server.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "../widgets/BundledProgramFolder.h"
#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"
#include "viewer/uCommands.h"
#include "viewer/uFormKodra3.h"

inline bool HaveTool(const char* name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

// Runs events until the condition holds or ten seconds pass.
inline bool WaitFor(const std::function<bool()>& condition) {
  QElapsedTimer waited;
  waited.start();
  while (!condition() && waited.elapsed() < 10000) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    if (CommandsInFlight() == 0) QThread::msleep(5);
  }
  return condition();
}

// What xdotool sends goes through the server as real key presses; keys
// are separated by blanks.
inline void PressKeys(const char* keys) {
  QProcess::execute("xdotool", QStringList{"key", "--clearmodifiers"} + QString::fromUtf8(keys).split(' '));
}

// The main window on a program folder of its own that holds the bundled
// dictionaries, its first dictionaries loaded.
class TX11WindowTest : public testing::Test {
protected:
  void OpenWindow() {
    ASSERT_TRUE(FHome.isValid());
    FPrevious = ProgramFolder();
    UseBundledProgramFolder(FHome.path());
    FWindow = std::make_unique<TFormKodra3>();
    FWindow->show();
    ASSERT_TRUE(WaitFor([this] { return FWindow->Dictionary() && FWindow->Dictionary()->KeywordCount() > 0; }));
  }
  void CloseWindow() {
    FWindow.reset();
    if (!FPrevious.empty()) SetProgramFolder(FPrevious);
  }

  QTemporaryDir FHome;
  std::string FPrevious;
  std::unique_ptr<TFormKodra3> FWindow;
};
