#include "viewer/thread/uVornProcess.h"

#include <algorithm>
#include <system_error>
#include <typeinfo>

#include "foundation/KezAssert.h"
#include "viewer/thread/uVornChannel.h"
#include "viewer/thread/uVornErrors.h"
#include "viewer/thread/uVornTheater.h"

TVornProcess::TVornProcess(void* ownerWindow) : FOwnerWindow(ownerWindow) {}

TVornProcess::~TVornProcess() { Stop(); }

void TVornProcess::Begin(TVornTheater& theater) {
  KEZ_ASSERT(!FStarted, "uVornProcess");
  FTheater = &theater;
  {
    std::lock_guard lock(theater);
    theater.FRunning.push_back(this);
  }
  FStarted = true;
  try {
    FThread = std::thread([this] { Run(); });
  } catch (const std::system_error& error) {
    {
      std::lock_guard lock(theater);
      std::erase(theater.FRunning, this);
    }
    FStarted = false;
    FTheater = nullptr;
    throw EVornObjectCreationFail(error.code().message());
  }
}

void TVornProcess::Run() {
  try {
    Execute();
    Terminate();
    AfterExecute();
  } catch (const EVornPrematureTermination&) {
    Terminate();
    try {
      OnPrematureTermination();
    } catch (const std::exception& error) {
      OnException(error);
    }
  } catch (const std::exception& error) {
    Terminate();
    OnException(error);
  }
  // Exceptions of other types are not caught: they end the program, as any
  // exception escaping a thread does.

  // A process freed while running has left the lists already; Stop joins it.
  std::lock_guard lock(*FTheater);
  const auto running = std::find(FTheater->FRunning.begin(), FTheater->FRunning.end(), this);
  if (running != FTheater->FRunning.end()) {
    FTheater->FRunning.erase(running);
    FTheater->FFinished.push_back(this);
  }
  FFinished = true;
}

void TVornProcess::Stop() {
  if (FTheater) {
    std::lock_guard lock(*FTheater);
    std::erase(FTheater->FRunning, this);
    std::erase(FTheater->FFinished, this);
  }
  Terminate();
  if (FThread.joinable()) FThread.join();
}

void TVornProcess::Terminate() {
  if (FTerminateRequested.exchange(true)) return;
  FTermination.Set();
  std::lock_guard lock(FChannelsLock);
  for (const auto& channel : FChannels) channel->WakeSenders();
}

void TVornProcess::Pause(int milliseconds) {
  if (FFinished) return;
  if (milliseconds == 0) {
    std::this_thread::yield();
    return;
  }
  VornWaitAny({&FTermination}, milliseconds);
  if (FTerminateRequested) throw EVornPrematureTermination();
}

void TVornProcess::Receive(TVornProcessChannel& channel, int timeout) { channel.Receive(timeout); }

TVornProcessChannel& TVornProcess::CreateChannel(TVornChannelGuard aGuard, TVornChannelEntry aEntry) {
  if (!aEntry) throw EVornInvalidArgument(VornClassName(typeid(*this)), "CreateChannel", "aEntry");
  std::unique_ptr<TVornProcessChannel> channel(
      new TVornProcessChannel(*this, std::move(aGuard), std::move(aEntry)));
  std::lock_guard lock(FChannelsLock);
  FChannels.push_back(std::move(channel));
  return *FChannels.back();
}

void TVornProcess::OnException(const std::exception& error) { ShowVornErrorBox(FOwnerWindow, error.what()); }
