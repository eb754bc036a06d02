#pragma once
// A process: a thread running Execute, which can be told to terminate and
// notices it in its waits. Termination is cooperative; no thread is killed.
//
// A process is made in two steps: construct it, then hand it to a theater
// (TVornTheater::Start, or Launch which does both). Its thread starts only
// then, so that Execute never runs on a half-built object. From Start on the
// theater owns the process and frees it once it has finished.
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "viewer/thread/uVornHandle.h"
#include "viewer/thread/uVornSync.h"

class TVornProcessChannel;
class TVornTheater;

// Whether the channel's owner may receive now; none means always.
using TVornChannelGuard = std::function<bool()>;
// Called on the receiving thread with what a sender handed over.
using TVornChannelEntry = std::function<void(void* data)>;

class TVornProcess {
public:
  // ownerWindow: where the default error box goes; opaque here, may be null.
  explicit TVornProcess(void* ownerWindow = nullptr);
  // A thread still running is told to terminate and joined. By then the
  // derived parts are gone, so a process is destroyed through its theater
  // (TVornTheater::Free), which joins first.
  virtual ~TVornProcess();
  TVornProcess(const TVornProcess&) = delete;
  TVornProcess& operator=(const TVornProcess&) = delete;

  // Asks the process to end: wakes its waits (they raise
  // EVornPrematureTermination) and every sender waiting on its channels.
  // Nothing after the first request.
  void Terminate();

  // On the process's thread: 0 yields the processor; otherwise sleeps up to
  // milliseconds (kVornInfinite: until told to terminate) and raises
  // EVornPrematureTermination when termination was requested. Nothing once
  // the process has finished.
  void Pause(int milliseconds);
  void WaitFor(TVornSignal& signal, int timeout) { signal.Wait(*this, timeout); }
  void Receive(TVornProcessChannel& channel, int timeout);

  // A channel through which other processes hand data to this one; it lives
  // as long as the process. An entry must be given (EVornInvalidArgument).
  TVornProcessChannel& CreateChannel(TVornChannelGuard aGuard, TVornChannelEntry aEntry);

  void* OwnerWindow() const { return FOwnerWindow; }
  bool Started() const { return FStarted; }
  bool TerminateRequested() const { return FTerminateRequested; }
  bool Finished() const { return FFinished; }

protected:
  // The body, on the process's own thread.
  virtual void Execute() = 0;
  // After Execute returned normally.
  virtual void AfterExecute() {}
  // After Execute ended with EVornPrematureTermination.
  virtual void OnPrematureTermination() {}
  // Any other standard exception that escaped; by default the error box.
  virtual void OnException(const std::exception& error);

private:
  friend class TVornTheater;
  friend class TVornSignal;
  friend class TVornProcessChannel;

  void Begin(TVornTheater& theater);
  void Run();
  // Leaves the theater's lists, asks for termination and joins the thread.
  void Stop();

  void* const FOwnerWindow;
  TVornTheater* FTheater = nullptr;
  std::thread FThread;
  std::atomic<bool> FStarted{false};
  std::atomic<bool> FTerminateRequested{false};
  std::atomic<bool> FFinished{false};
  TVornHandle FTermination{true};
  TVornHandle FReply{false};  // a receiver took (or the owner's end refused) what this process sent

  std::mutex FChannelsLock;
  std::vector<std::unique_ptr<TVornProcessChannel>> FChannels;

  // The pending send; the flags are guarded by the channel's lock.
  void* FSentData = nullptr;
  bool FDelivered = false;
  bool FDelivering = false;  // a receiver's entry is using the data: the sender may not leave
  bool FLeaving = false;     // the sender stopped waiting
};
