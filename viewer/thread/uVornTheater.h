#pragma once
// The registry of processes: it starts them, tells them to terminate, and
// frees them once they have finished. The program has one, made by the main
// window; each test may make its own.
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "viewer/thread/uVornProcess.h"
#include "viewer/thread/uVornSync.h"

class TVornTheater : public TVornLatch {
public:
  TVornTheater() = default;
  // WaitAll, without processing anything between rounds.
  ~TVornTheater();

  // Takes the process over and starts its thread. Raises
  // EVornObjectCreationFail (the process is then freed) when no thread can
  // be made. The pointer stays valid until AllFinished or Free frees it.
  TVornProcess* Start(std::unique_ptr<TVornProcess> process);
  template <class TProcess, class... TArgs>
  TProcess* Launch(TArgs&&... args) {
    return static_cast<TProcess*>(Start(std::make_unique<TProcess>(std::forward<TArgs>(args)...)));
  }
  // Frees a process at once: one still running is told to terminate and its
  // thread is joined first.
  void Free(TVornProcess* process);

  void TerminateAll();
  // Tells every running process to terminate; true when none runs any more,
  // having freed the finished ones.
  bool AllFinished();
  // AllFinished until true, calling processMessages (if any) and sleeping
  // 50 ms between rounds.
  void WaitAll(const std::function<void()>& processMessages = {});

private:
  friend class TVornProcess;
  // Both guarded by the theater's latch; the processes are owned.
  std::vector<TVornProcess*> FRunning;
  std::vector<TVornProcess*> FFinished;
};
