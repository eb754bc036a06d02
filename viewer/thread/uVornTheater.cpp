#include "viewer/thread/uVornTheater.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "foundation/KezAssert.h"

TVornTheater::~TVornTheater() { WaitAll(); }

TVornProcess* TVornTheater::Start(std::unique_ptr<TVornProcess> process) {
  KEZ_ASSERT(process, "uVornTheater");
  process->Begin(*this);
  return process.release();
}

void TVornTheater::Free(TVornProcess* process) {
  if (!process) return;
  // Joined before any destructor runs, so Execute never sees a half-destroyed object.
  process->Stop();
  delete process;
}

void TVornTheater::TerminateAll() {
  std::lock_guard lock(*this);
  for (TVornProcess* process : FRunning) process->Terminate();
}

bool TVornTheater::AllFinished() {
  TerminateAll();
  std::vector<TVornProcess*> done;
  bool allFlagged;
  {
    std::lock_guard lock(*this);
    if (!FRunning.empty()) return false;
    const auto unflagged = std::stable_partition(FFinished.begin(), FFinished.end(),
                                                 [](TVornProcess* process) { return !process->Finished(); });
    done.assign(unflagged, FFinished.end());
    FFinished.erase(unflagged, FFinished.end());
    allFlagged = FFinished.empty();
  }
  // Freed outside the latch: their destructors may be long, and Stop takes it.
  for (TVornProcess* process : done) Free(process);
  return allFlagged;
}

void TVornTheater::WaitAll(const std::function<void()>& processMessages) {
  while (!AllFinished()) {
    if (processMessages) processMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}
