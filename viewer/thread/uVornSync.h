#pragma once
// Latches and the objects a process can wait on.
#include <mutex>

#include "viewer/thread/uVornHandle.h"

class TVornProcess;

// A critical section: the thread holding it may take it again. lock and
// unlock let the standard lock guards hold it.
class TVornLatch {
public:
  TVornLatch() = default;
  TVornLatch(const TVornLatch&) = delete;
  TVornLatch& operator=(const TVornLatch&) = delete;

  void Lock() { FMutex.lock(); }
  void Unlock() { FMutex.unlock(); }
  void lock() { Lock(); }
  void unlock() { Unlock(); }

private:
  std::recursive_mutex FMutex;
};

// Something a process waits on together with its own termination.
class TVornSignal {
public:
  virtual ~TVornSignal() = default;
  TVornSignal(const TVornSignal&) = delete;
  TVornSignal& operator=(const TVornSignal&) = delete;

  // Waits up to timeout milliseconds (kVornInfinite: no limit) for this
  // signal or for process being told to terminate. Raises
  // EVornPrematureTermination for the termination, EVornTimeout when the
  // time ran out and EVornWaitFailed when the wait failed.
  void Wait(TVornProcess& process, int timeout);

protected:
  TVornSignal(bool manualReset, bool initiallySignalled) : FHandle(manualReset, initiallySignalled) {}
  // Runs after a wait that this signal ended.
  virtual void AfterWait() {}

  TVornHandle FHandle;
};

// An event: auto-reset ones release one waiter per setting, manual-reset
// ones stay signalled until reset. (Events have no names: the standard
// library has nothing shared between programs.)
class TVornEvent : public TVornSignal {
public:
  explicit TVornEvent(bool manualReset, bool initiallySignalled = false)
      : TVornSignal(manualReset, initiallySignalled) {}

  void SetState(bool signalled) { signalled ? FHandle.Set() : FHandle.Reset(); }
  // Releases the processes waiting now and leaves the event not signalled.
  void Pulse() { FHandle.Pulse(); }
};
