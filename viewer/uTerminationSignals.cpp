#include "viewer/uTerminationSignals.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#ifndef _WIN32
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The handler only writes a byte; the event loop reads it (the self-pipe idiom).
int gSignalSockets[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(gSignalSockets[0], &byte, 1);
}
}  // namespace

void CloseOnTerminationSignals(QWidget* window) {
  if (gSignalSockets[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalSockets) != 0) return;
  auto* notifier = new QSocketNotifier(gSignalSockets[1], QSocketNotifier::Read, qApp);
  QPointer<QWidget> target(window);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp, [target] {
    char byte;
    [[maybe_unused]] const ssize_t read = ::read(gSignalSockets[1], &byte, 1);
    // A window that refuses (an author who stays to save) keeps the program running.
    if (!target || target->close()) QApplication::quit();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}
#else
void CloseOnTerminationSignals(QWidget*) {}  // Windows ends programs through their windows
#endif
