#pragma once
// Runs the window's queued handlers, and the commands that come back from
// the command process, until none is left (10 s at most).
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include "viewer/uCommands.h"

inline void SettleEvents() {
  QElapsedTimer waited;
  waited.start();
  do {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    if (CommandsInFlight() > 0) QThread::msleep(1);
  } while (CommandsInFlight() > 0 && waited.elapsed() < 10000);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}
