#include "viewer/thread/uVornChannel.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <typeinfo>

#include "viewer/thread/uVornErrors.h"

TVornProcessChannel::~TVornProcessChannel() {
  std::unique_lock lock(FSendersLock);
  FSenderLeft.wait(lock, [&] { return FSenders.empty(); });
}

size_t TVornProcessChannel::WaitingSenders() {
  std::lock_guard lock(FSendersLock);
  return FSenders.size();
}

void TVornProcessChannel::WakeSenders() {
  std::lock_guard lock(FSendersLock);
  for (TVornProcess* sender : FSenders) sender->FReply.Set();
}

void TVornProcessChannel::Send(TVornProcess* aSender, void* aData, int timeout) {
  if (!aSender) throw EVornInvalidArgument(VornClassName(typeid(*this)), "Send", "aSender");
  if (FOwner.TerminateRequested()) throw EVornProcessWasTerminated();
  aSender->FSentData = aData ? aData : aSender;
  aSender->FDelivered = false;
  aSender->FReply.Reset();
  const bool mayReceive = MayReceive();
  {
    std::lock_guard lock(FSendersLock);
    // Asked again under the lock: a termination from here on finds the
    // sender in the list and wakes it.
    if (FOwner.TerminateRequested()) throw EVornProcessWasTerminated();
    FSenders.push_back(aSender);
    if (mayReceive) FDataWaiting.Set();
  }

  int woken = kVornWaitTimeout;
  std::optional<EVornWaitFailed> failure;
  try {
    woken = VornWaitAny({&aSender->FReply, &aSender->FTermination}, timeout);
  } catch (const EVornWaitFailed& error) {
    failure = error;
  }
  {
    std::lock_guard lock(FSendersLock);
    std::erase(FSenders, aSender);
    FSenderLeft.notify_all();
  }
  // A delivery in progress holds the sender's latch: let it complete.
  aSender->FLatch.Lock();
  aSender->FLatch.Unlock();

  if (aSender->FDelivered) return;
  if (failure) throw *failure;
  if (woken == kVornWaitTimeout) throw EVornTimeout();
  if (woken == 1) throw EVornPrematureTermination();
  // Nothing but the owner's termination sets the reply without a delivery.
  throw EVornProcessWasTerminated();
}

bool TVornProcessChannel::TryReceive() {
  if (!MayReceive()) return false;
  TVornProcess* sender;
  {
    std::lock_guard lock(FSendersLock);
    if (FSenders.empty()) return false;
    sender = FSenders.front();
    // Taken under the list's lock, so the sender cannot leave meanwhile.
    sender->FLatch.Lock();
  }
  // An entry that throws leaves the sender waiting, its latch released.
  std::unique_lock delivery(sender->FLatch, std::adopt_lock);
  FEntry(sender->FSentData);
  {
    std::lock_guard lock(FSendersLock);
    std::erase(FSenders, sender);
    FSenderLeft.notify_all();
  }
  sender->FDelivered = true;
  // Replied before the latch is released: once it is, the sender may be gone.
  sender->FReply.Set();
  return true;
}

void TVornProcessChannel::Receive(int timeout) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  for (;;) {
    if (TryReceive()) return;
    const bool mayReceive = MayReceive();
    {
      std::lock_guard lock(FSendersLock);
      if (mayReceive && !FSenders.empty())
        FDataWaiting.Set();
      else
        FDataWaiting.Reset();
    }
    int remaining = kVornInfinite;
    if (timeout >= 0) {
      const auto spent =
          std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
      remaining = static_cast<int>(std::max<long long>(1, timeout - spent));
    }
    switch (VornWaitAny({&FDataWaiting, &FOwner.FTermination}, remaining)) {
      case 0:
        break;
      case 1:
        throw EVornPrematureTermination();
      default:
        throw EVornTimeout();
    }
  }
}
