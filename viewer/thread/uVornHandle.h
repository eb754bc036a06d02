#pragma once
// The waitable object under the thread library's events: signalled or not,
// manual- or auto-reset, and waitable together with others. The standard
// library waits on one condition at a time; a process must wait on its own
// termination and on one more object at once, so each handle keeps the list
// of threads waiting on it and wakes them all when it changes.
#include <initializer_list>
#include <mutex>
#include <utility>
#include <vector>

// A time-out without limit; any negative number of milliseconds means it.
constexpr int kVornInfinite = -1;
// VornWaitAny's result when the time ran out.
constexpr int kVornWaitTimeout = -1;

class TVornHandle {
public:
  explicit TVornHandle(bool manualReset, bool initiallySignalled = false)
      : FManualReset(manualReset), FSignalled(initiallySignalled) {}
  TVornHandle(const TVornHandle&) = delete;
  TVornHandle& operator=(const TVornHandle&) = delete;

  void Set();
  void Reset();
  // Releases the threads waiting at this moment (one of them when the handle
  // is auto-reset) and leaves the handle not signalled. A thread that is not
  // yet waiting misses the pulse.
  void Pulse();

private:
  struct TWaiter;
  friend int VornWaitAny(std::initializer_list<TVornHandle*> handles, int timeout);
  // Takes the signal: true when signalled, resetting an auto-reset handle.
  bool TryAcquire();
  void Attach(TWaiter& waiter, int index);
  void Detach(TWaiter& waiter);

  std::mutex FLock;
  const bool FManualReset;
  bool FSignalled;
  std::vector<std::pair<TWaiter*, int>> FWaiters;  // with the handle's index in their wait
};

// Waits until one of the handles is signalled, up to timeout milliseconds
// (negative: no limit), and returns its index; when several are, the first
// of them, and only that one is taken. kVornWaitTimeout when the time ran
// out; EVornWaitFailed when the system refused the wait.
int VornWaitAny(std::initializer_list<TVornHandle*> handles, int timeout);
