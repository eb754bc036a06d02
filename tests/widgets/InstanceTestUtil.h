#pragma once
// Requests handed to a TSingleInstance of the test process itself: sent
// from another thread, as a later start would send them, while this thread
// serves them.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <future>
#include <utility>

#include "viewer/uSingleInstance.h"

// A socket and lock of the test's own, apart from a kodra the user runs.
inline TInstanceAddress TestInstanceAddress(const QTemporaryDir& dir) {
  return {dir.filePath("kodra"), dir.filePath("kodra.lock")};
}

// Runs the work on another thread and this thread's events until it is done.
template <typename TWork>
auto Served(TWork work) {
  auto result = std::async(std::launch::async, std::move(work));
  while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
    QCoreApplication::processEvents();
    QThread::msleep(1);
  }
  return result.get();
}

inline TInstanceDelivery DeliverServed(const QString& server, const TInstanceRequest& request) {
  return Served([&] { return DeliverInstanceRequest(server, request); });
}
