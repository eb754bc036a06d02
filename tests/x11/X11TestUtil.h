#pragma once
// What the tests on a real X server share: waiting for the window's
// events, and keys sent through the server.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <functional>

#include "viewer/uCommands.h"

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
