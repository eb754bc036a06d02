#pragma once
// A rendezvous: other processes hand data to the channel's owner and wait
// until the owner has taken it.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

#include "viewer/thread/uVornHandle.h"
#include "viewer/thread/uVornProcess.h"

class TVornProcessChannel {
public:
  // Waits until the senders still inside Send have left.
  ~TVornProcessChannel();
  TVornProcessChannel(const TVornProcessChannel&) = delete;
  TVornProcessChannel& operator=(const TVornProcessChannel&) = delete;

  TVornProcess& Owner() const { return FOwner; }

  // Hands aData (when null, aSender itself) to the owner and waits up to
  // timeout milliseconds until the owner's entry has run with it. Raises
  // EVornProcessWasTerminated when the owner was told to terminate, before
  // or during the wait, EVornPrematureTermination when aSender was,
  // EVornTimeout and EVornWaitFailed.
  void Send(TVornProcess* aSender, void* aData, int timeout);
  // Delivers to the entry the data of the first waiting sender; false when
  // none waits or the guard forbids receipt. An entry that throws passes
  // its exception on and leaves the sender waiting first in line.
  bool TryReceive();
  // Owner only: delivers one sender's data, waiting up to timeout
  // milliseconds for one (kVornInfinite: no limit). Raises EVornTimeout, or
  // EVornPrematureTermination when the owner is told to terminate.
  void Receive(int timeout);

  // Senders waiting to be received.
  size_t WaitingSenders();

private:
  friend class TVornProcess;
  TVornProcessChannel(TVornProcess& owner, TVornChannelGuard guard, TVornChannelEntry entry)
      : FOwner(owner), FGuard(std::move(guard)), FEntry(std::move(entry)) {}
  bool MayReceive() const { return !FGuard || FGuard(); }
  // The owner's termination: every waiting sender wakes and gives up.
  void WakeSenders();

  TVornProcess& FOwner;
  const TVornChannelGuard FGuard;
  const TVornChannelEntry FEntry;
  std::mutex FSendersLock;
  std::condition_variable FChanged;    // a delivery ended or a sender left
  std::deque<TVornProcess*> FSenders;  // waiting to be received
  int FSendersInside = 0;              // in Send: waiting, being delivered or leaving
  TVornHandle FDataWaiting{true};  // set while senders wait and the guard allows
};
