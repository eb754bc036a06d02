#include "viewer/thread/uVornChannel.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <typeinfo>

#include "viewer/thread/uVornErrors.h"

TVornProcessChannel::~TVornProcessChannel() {
  std::unique_lock lock(FSendersLock);
  FChanged.wait(lock, [&] { return FSendersInside == 0; });
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
  aSender->FReply.Reset();
  const bool mayReceive = MayReceive();
  {
    std::lock_guard lock(FSendersLock);
    // Asked again under the lock: a termination from here on finds the
    // sender in the list and wakes it.
    if (FOwner.TerminateRequested()) throw EVornProcessWasTerminated();
    aSender->FDelivered = false;
    aSender->FDelivering = false;
    aSender->FLeaving = false;
    FSenders.push_back(aSender);
    ++FSendersInside;
    if (mayReceive) FDataWaiting.Set();
  }

  int woken = kVornWaitTimeout;
  std::optional<EVornWaitFailed> failure;
  try {
    woken = VornWaitAny({&aSender->FReply, &aSender->FTermination}, timeout);
  } catch (const EVornWaitFailed& error) {
    failure = error;
  }
  bool delivered;
  {
    std::unique_lock lock(FSendersLock);
    aSender->FLeaving = true;
    std::erase(FSenders, aSender);
    // A delivery in progress completes first: the entry may still use the data.
    FChanged.wait(lock, [&] { return !aSender->FDelivering; });
    delivered = aSender->FDelivered;
    --FSendersInside;
    FChanged.notify_all();
  }

  if (delivered) return;
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
    FSenders.pop_front();
    sender->FDelivering = true;
  }
  try {
    FEntry(sender->FSentData);
  } catch (...) {
    // Not delivered: a sender still waiting stays at the head of the queue.
    std::lock_guard lock(FSendersLock);
    sender->FDelivering = false;
    if (!sender->FLeaving) {
      FSenders.push_front(sender);
      if (FOwner.TerminateRequested()) sender->FReply.Set();  // the wake-up it missed meanwhile
    }
    FChanged.notify_all();
    throw;
  }
  // Once the lock is released the sender may be gone.
  std::lock_guard lock(FSendersLock);
  sender->FDelivering = false;
  sender->FDelivered = true;
  sender->FReply.Set();
  FChanged.notify_all();
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
