#include "viewer/thread/uVornHandle.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <system_error>

#include "viewer/thread/uVornErrors.h"

// One thread's wait on one or more handles. Lock order: a handle's lock, then
// a waiter's; a waiter never takes a handle's lock while holding its own.
struct TVornHandle::TWaiter {
  std::mutex Lock;
  std::condition_variable Woken;
  bool Changed = false;  // a handle was set or pulsed since the waiter last looked
  int Pulsed = -1;       // the index of a handle whose pulse released this waiter
};

void TVornHandle::Set() {
  std::lock_guard lock(FLock);
  FSignalled = true;
  for (auto& [waiter, index] : FWaiters) {
    std::lock_guard waiterLock(waiter->Lock);
    waiter->Changed = true;
    waiter->Woken.notify_one();
  }
}

void TVornHandle::Reset() {
  std::lock_guard lock(FLock);
  FSignalled = false;
}

void TVornHandle::Pulse() {
  std::lock_guard lock(FLock);
  FSignalled = false;
  for (auto& [waiter, index] : FWaiters) {
    std::lock_guard waiterLock(waiter->Lock);
    if (waiter->Pulsed >= 0) continue;  // already released by another pulse
    waiter->Pulsed = index;
    waiter->Changed = true;
    waiter->Woken.notify_one();
    if (!FManualReset) break;
  }
}

bool TVornHandle::TryAcquire() {
  std::lock_guard lock(FLock);
  if (!FSignalled) return false;
  if (!FManualReset) FSignalled = false;
  return true;
}

void TVornHandle::Attach(TWaiter& waiter, int index) {
  std::lock_guard lock(FLock);
  FWaiters.emplace_back(&waiter, index);
}

void TVornHandle::Detach(TWaiter& waiter) {
  std::lock_guard lock(FLock);
  std::erase_if(FWaiters, [&](const auto& entry) { return entry.first == &waiter; });
}

int VornWaitAny(std::initializer_list<TVornHandle*> handles, int timeout) {
  using Clock = std::chrono::steady_clock;
  try {
    TVornHandle::TWaiter waiter;
    // Detached before the waiter goes: after Detach no handle touches it.
    struct TDetach {
      std::initializer_list<TVornHandle*> Handles;
      TVornHandle::TWaiter& Waiter;
      ~TDetach() {
        for (TVornHandle* handle : Handles) handle->Detach(Waiter);
      }
    } detach{handles, waiter};
    int index = 0;
    for (TVornHandle* handle : handles) handle->Attach(waiter, index++);

    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout, 0));
    for (bool expired = false;;) {
      {
        std::lock_guard lock(waiter.Lock);
        if (waiter.Pulsed >= 0) return waiter.Pulsed;
        waiter.Changed = false;
      }
      // A change after this look sets Changed again, so the wait below sees it.
      index = 0;
      for (TVornHandle* handle : handles) {
        if (handle->TryAcquire()) return index;
        ++index;
      }
      if (expired) return kVornWaitTimeout;
      std::unique_lock lock(waiter.Lock);
      const auto changed = [&] { return waiter.Changed; };
      if (timeout < 0)
        waiter.Woken.wait(lock, changed);
      else if (!waiter.Woken.wait_until(lock, deadline, changed))
        expired = true;  // one more look, then the time-out
    }
  } catch (const std::system_error& error) {
    throw EVornWaitFailed(error.code().message());
  }
}
