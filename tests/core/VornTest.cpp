// The thread library: termination wakes every kind of wait, channels hand
// data over or refuse it, failures end a process without ending the program,
// and a process is never destroyed under its running thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "viewer/thread/uVorn.h"

namespace {

using namespace std::chrono_literals;

// Generous: a loaded machine still ends every wait here in milliseconds.
constexpr auto kPatience = 20s;
constexpr int kLongTimeout = 60000;

bool WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// What a process went through; owned by the test, so it outlives the process.
struct TRecord {
  std::atomic<bool> Entered{false};
  std::atomic<bool> AfterExecute{false};
  std::atomic<bool> PrematureEnd{false};
  std::atomic<bool> Ended{false};  // the last of the process's own steps ran
  std::mutex Lock;
  std::vector<std::string> Errors;

  std::vector<std::string> TakeErrors() {
    std::lock_guard lock(Lock);
    return Errors;
  }
};

class TScriptedProcess : public TVornProcess {
public:
  using TBody = std::function<void(TScriptedProcess&)>;
  TScriptedProcess(TRecord& record, TBody body, TBody onPremature = {})
      : FRecord(record), FBody(std::move(body)), FOnPremature(std::move(onPremature)) {}

protected:
  void Execute() override {
    FRecord.Entered = true;
    FBody(*this);
  }
  void AfterExecute() override {
    FRecord.AfterExecute = true;
    FRecord.Ended = true;
  }
  void OnPrematureTermination() override {
    FRecord.PrematureEnd = true;
    if (FOnPremature) FOnPremature(*this);
    FRecord.Ended = true;
  }
  void OnException(const std::exception& error) override {
    {
      std::lock_guard lock(FRecord.Lock);
      FRecord.Errors.push_back(error.what());
    }
    FRecord.Ended = true;
  }

private:
  TRecord& FRecord;
  TBody FBody;
  TBody FOnPremature;
};

// Never started: its channels serve the test thread as their receiver.
class TIdleProcess : public TVornProcess {
protected:
  void Execute() override {}
};

TVornChannelEntry Ignore() {
  return [](void*) {};
}

// What a sender saw of its Send.
enum TSendOutcome { soPending, soReturned, soTimeout, soPremature, soWasTerminated, soOther };

TScriptedProcess::TBody Sender(TVornProcessChannel& channel, void* data, std::atomic<int>& outcome,
                               int timeout = kLongTimeout) {
  return [&channel, data, &outcome, timeout](TScriptedProcess& self) {
    try {
      channel.Send(&self, data, timeout);
      outcome = soReturned;
    } catch (const EVornTimeout&) {
      outcome = soTimeout;
    } catch (const EVornPrematureTermination&) {
      outcome = soPremature;
    } catch (const EVornProcessWasTerminated&) {
      outcome = soWasTerminated;
    } catch (...) {
      outcome = soOther;
    }
  };
}

}  // namespace

TEST(Vorn, OneRoundOfAllFinishedEndsAProcessAsleepInAnyWait) {
  TVornEvent event(false);
  struct TCase {
    const char* Name;
    std::function<void(TScriptedProcess&, TVornProcessChannel&)> Sleep;
  };
  const TCase cases[] = {
      {"Pause without limit", [](TScriptedProcess& p, TVornProcessChannel&) { p.Pause(kVornInfinite); }},
      {"Pause with a limit", [](TScriptedProcess& p, TVornProcessChannel&) { p.Pause(kLongTimeout); }},
      {"event", [&](TScriptedProcess& p, TVornProcessChannel&) { p.WaitFor(event, kVornInfinite); }},
      {"empty channel", [](TScriptedProcess& p, TVornProcessChannel& c) { p.Receive(c, kVornInfinite); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TRecord record;
    TVornTheater theater;
    TVornProcessChannel* channel = nullptr;
    auto process = std::make_unique<TScriptedProcess>(record, [&](TScriptedProcess& p) { c.Sleep(p, *channel); });
    channel = &process->CreateChannel(nullptr, Ignore());
    theater.Start(std::move(process));
    ASSERT_TRUE(WaitUntil([&] { return record.Entered.load(); }));

    theater.AllFinished();  // the one round: it tells the process to terminate
    EXPECT_TRUE(WaitUntil([&] { return record.Ended.load(); }));
    EXPECT_TRUE(record.PrematureEnd);
    EXPECT_FALSE(record.AfterExecute);
    EXPECT_TRUE(record.TakeErrors().empty());
    EXPECT_TRUE(WaitUntil([&] { return theater.AllFinished(); }));
  }
}

TEST(Vorn, SendRaisesAtOnceWhenTheOwnerWasToldToTerminate) {
  for (const bool whileWaiting : {false, true}) {
    SCOPED_TRACE(whileWaiting ? "told while the sender waits" : "told before the send");
    TRecord ownerRecord;
    TRecord senderRecord;
    TVornTheater theater;
    auto ownerProcess =
        std::make_unique<TScriptedProcess>(ownerRecord, [](TScriptedProcess& p) { p.Pause(kVornInfinite); });
    TVornProcessChannel& channel = ownerProcess->CreateChannel(nullptr, Ignore());
    TVornProcess* owner = theater.Start(std::move(ownerProcess));
    if (!whileWaiting) owner->Terminate();

    std::atomic<int> outcome{soPending};
    theater.Launch<TScriptedProcess>(senderRecord, Sender(channel, nullptr, outcome));
    if (whileWaiting) {
      ASSERT_TRUE(WaitUntil([&] { return channel.WaitingSenders() == 1; }));
      owner->Terminate();
    }
    // Far sooner than the send's own time-out.
    ASSERT_TRUE(WaitUntil([&] { return outcome != soPending; }));
    EXPECT_EQ(outcome, soWasTerminated);
    EXPECT_EQ(channel.WaitingSenders(), 0u);
  }
}

TEST(Vorn, ReceiveWithoutSendersTimesOut) {
  TIdleProcess owner;
  TVornProcessChannel& channel = owner.CreateChannel(nullptr, Ignore());
  EXPECT_FALSE(channel.TryReceive());
  EXPECT_THROW(owner.Receive(channel, 0), EVornTimeout);
  EXPECT_THROW(channel.Receive(1), EVornTimeout);
}

TEST(Vorn, MessagesAndMissingArguments) {
  const std::pair<std::string, std::string> messages[] = {
      {EVornObjectCreationFail("Resource temporarily unavailable").what(),
       "Fail of creation of the VornObject.\r\n.\r\nResource temporarily unavailable"},
      {EVornPrematureTermination().what(), "Premature termination"},
      {EVornProcessWasTerminated().what(), "The VornProcess already was terminated"},
      {EVornTimeout().what(), "Timeout"},
      {EVornWaitFailed("Invalid argument").what(), "Wait failed.\r\nInvalid argument"},
      {EVornInvalidArgument("TVornProcess", "Pause", "aTime").what(),
       "Class: TVornProcess\r\nMethod: Pause\r\nInvalid argument: aTime"},
  };
  for (const auto& [actual, expected] : messages) EXPECT_EQ(actual, expected);

  TIdleProcess process;
  void (*none)(void*) = nullptr;
  for (const TVornChannelEntry& entry : {TVornChannelEntry(), TVornChannelEntry(none)}) {
    try {
      process.CreateChannel(nullptr, entry);
      ADD_FAILURE() << "a channel without an entry";
    } catch (const EVornInvalidArgument& error) {
      const std::string message = error.what();
      EXPECT_EQ(message.rfind("Class: ", 0), 0u) << message;
      EXPECT_NE(message.find("TIdleProcess\r\n"), std::string::npos) << message;
      EXPECT_NE(message.find("\r\nMethod: CreateChannel\r\n"), std::string::npos) << message;
      EXPECT_TRUE(message.ends_with("\r\nInvalid argument: aEntry")) << message;
    }
  }

  TVornProcessChannel& channel = process.CreateChannel(nullptr, Ignore());
  try {
    channel.Send(nullptr, nullptr, 0);
    ADD_FAILURE() << "a send without a sender";
  } catch (const EVornInvalidArgument& error) {
    EXPECT_STREQ(error.what(), "Class: TVornProcessChannel\r\nMethod: Send\r\nInvalid argument: aSender");
  }
}

TEST(Vorn, SendAndReceiveHandTheDataOverAndReleaseTheSender) {
  TRecord ownerRecord;
  TRecord senderRecord;
  std::string text = "λόγος";
  std::vector<void*> received;  // written by the owner's thread only
  std::string receivedText;
  TVornTheater theater;
  TVornProcessChannel* channel = nullptr;
  auto owner = std::make_unique<TScriptedProcess>(ownerRecord, [&](TScriptedProcess& p) {
    p.Receive(*channel, kLongTimeout);
    p.Receive(*channel, kLongTimeout);
  });
  channel = &owner->CreateChannel(nullptr, [&](void* data) {
    received.push_back(data);
    if (data == &text) receivedText = *static_cast<std::string*>(data);
  });
  theater.Start(std::move(owner));
  TVornProcess* sender = theater.Launch<TScriptedProcess>(senderRecord, [&](TScriptedProcess& self) {
    channel->Send(&self, &text, kLongTimeout);
    channel->Send(&self, nullptr, kLongTimeout);  // no data: the sender itself goes
  });

  ASSERT_TRUE(WaitUntil([&] { return senderRecord.Ended && ownerRecord.Ended; }));
  EXPECT_TRUE(senderRecord.AfterExecute);  // both sends returned normally
  EXPECT_TRUE(ownerRecord.AfterExecute);
  EXPECT_TRUE(senderRecord.TakeErrors().empty());
  EXPECT_TRUE(ownerRecord.TakeErrors().empty());
  EXPECT_EQ(received, (std::vector<void*>{&text, sender}));
  EXPECT_EQ(receivedText, "λόγος");
  EXPECT_TRUE(WaitUntil([&] { return theater.AllFinished(); }));
}

TEST(Vorn, AGuardForbiddingReceiptKeepsTheSenderWaiting) {
  std::atomic<bool> open{false};
  int delivered = 0;
  TIdleProcess owner;  // the test's thread receives for it
  TVornProcessChannel& channel = owner.CreateChannel([&] { return open.load(); }, [&](void*) { ++delivered; });
  TRecord senderRecord;
  TVornTheater theater;
  std::atomic<int> outcome{soPending};
  theater.Launch<TScriptedProcess>(senderRecord, Sender(channel, nullptr, outcome));
  ASSERT_TRUE(WaitUntil([&] { return channel.WaitingSenders() == 1; }));

  EXPECT_FALSE(channel.TryReceive());
  EXPECT_THROW(channel.Receive(0), EVornTimeout);
  EXPECT_EQ(delivered, 0);
  EXPECT_EQ(outcome, soPending);

  open = true;
  EXPECT_TRUE(channel.TryReceive());
  EXPECT_EQ(delivered, 1);
  ASSERT_TRUE(WaitUntil([&] { return outcome != soPending; }));
  EXPECT_EQ(outcome, soReturned);
  EXPECT_FALSE(channel.TryReceive());
}

TEST(Vorn, AnEntryThatThrowsLeavesItsSenderWaitingForTheNextReceipt) {
  int calls = 0;
  TIdleProcess owner;
  TVornProcessChannel& channel = owner.CreateChannel(nullptr, [&](void*) {
    if (++calls == 1) throw std::runtime_error("entry failed");
  });
  TRecord senderRecord;
  TVornTheater theater;
  std::atomic<int> outcome{soPending};
  theater.Launch<TScriptedProcess>(senderRecord, Sender(channel, nullptr, outcome));
  ASSERT_TRUE(WaitUntil([&] { return channel.WaitingSenders() == 1; }));

  EXPECT_THROW(channel.TryReceive(), std::runtime_error);
  EXPECT_EQ(channel.WaitingSenders(), 1u);
  EXPECT_EQ(outcome, soPending);
  channel.Receive(kLongTimeout);
  EXPECT_EQ(calls, 2);
  ASSERT_TRUE(WaitUntil([&] { return outcome != soPending; }));
  EXPECT_EQ(outcome, soReturned);
}

TEST(Vorn, WhatEscapesTheBodyGoesToItsHandlerAndTheProcessStillFinishes) {
  struct TCase {
    const char* Name;
    TScriptedProcess::TBody Body;
    TScriptedProcess::TBody OnPremature;
    bool AfterExecute;
    bool PrematureEnd;
    std::vector<std::string> Errors;
  };
  const TCase cases[] = {
      {"normal end", [](TScriptedProcess&) {}, {}, true, false, {}},
      {"standard exception", [](TScriptedProcess&) { throw std::runtime_error("boom"); }, {}, false, false, {"boom"}},
      {"premature termination", [](TScriptedProcess&) { throw EVornPrematureTermination(); }, {}, false, true, {}},
      {"failure while ending prematurely", [](TScriptedProcess& p) { p.Pause(kVornInfinite); },
       [](TScriptedProcess&) { throw std::runtime_error("late"); }, false, true, {"late"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TRecord record;
    TVornTheater theater;
    theater.Launch<TScriptedProcess>(record, c.Body, c.OnPremature);
    theater.WaitAll();
    EXPECT_TRUE(record.Ended);
    EXPECT_EQ(record.AfterExecute, c.AfterExecute);
    EXPECT_EQ(record.PrematureEnd, c.PrematureEnd);
    EXPECT_EQ(record.TakeErrors(), c.Errors);
  }
}

namespace {
class TFailingProcess : public TVornProcess {
public:
  using TVornProcess::TVornProcess;

protected:
  void Execute() override { throw std::runtime_error("no dictionary"); }
};
}  // namespace

TEST(Vorn, TheDefaultHandlerShowsTheErrorBoxOnTheOwnerWindow) {
  struct TShown {
    void* Owner = nullptr;
    std::string Text;
    std::string Caption;
    int Count = 0;
  } shown;
  std::mutex lock;
  SetVornErrorBox([&](void* owner, const std::string& text, const std::string& caption) {
    std::lock_guard guard(lock);
    shown = {owner, text, caption, shown.Count + 1};
  });
  int window = 0;
  {
    TVornTheater theater;
    theater.Launch<TFailingProcess>(&window);
    theater.WaitAll();
  }
  SetVornErrorBox({});
  EXPECT_EQ(shown.Count, 1);
  EXPECT_EQ(shown.Owner, &window);
  EXPECT_EQ(shown.Text, "no dictionary");
  EXPECT_EQ(shown.Caption, "kodra_core_tests. Unhandled VornProcess exception");
}

TEST(Vorn, FreeingARunningProcessEndsAndJoinsItsThread) {
  TRecord record;
  TVornTheater theater;
  TVornProcess* process = theater.Launch<TScriptedProcess>(
      record, [](TScriptedProcess& p) { p.Pause(kVornInfinite); },
      // Slow to end: Free must still return only after this.
      [](TScriptedProcess&) { std::this_thread::sleep_for(50ms); });
  ASSERT_TRUE(WaitUntil([&] { return record.Entered.load(); }));
  theater.Free(process);
  EXPECT_TRUE(record.Ended);
  EXPECT_TRUE(record.PrematureEnd);
  EXPECT_TRUE(theater.AllFinished());  // nothing of it is left to wait for or to free
}

TEST(Vorn, EventsReleaseWaitersAsTheirKindSays) {
  TIdleProcess waiter;  // the test's thread waits in its name
  TVornEvent autoReset(false, true);
  waiter.WaitFor(autoReset, 0);
  EXPECT_THROW(waiter.WaitFor(autoReset, 0), EVornTimeout);  // the wait took the signal

  TVornEvent manualReset(true);
  EXPECT_THROW(waiter.WaitFor(manualReset, 0), EVornTimeout);
  manualReset.SetState(true);
  waiter.WaitFor(manualReset, 0);
  waiter.WaitFor(manualReset, 0);
  manualReset.Pulse();  // nobody waits: it only resets
  EXPECT_THROW(waiter.WaitFor(manualReset, 0), EVornTimeout);

  // A pulse releases a process that waits at that moment.
  TRecord record;
  TVornTheater theater;
  theater.Launch<TScriptedProcess>(record, [&](TScriptedProcess& p) { p.WaitFor(manualReset, kVornInfinite); });
  EXPECT_TRUE(WaitUntil([&] {
    manualReset.Pulse();
    return record.Ended.load();
  }));
  EXPECT_TRUE(record.AfterExecute);
  EXPECT_THROW(waiter.WaitFor(manualReset, 0), EVornTimeout);

  waiter.Terminate();
  EXPECT_THROW(waiter.WaitFor(manualReset, kVornInfinite), EVornPrematureTermination);
  EXPECT_THROW(waiter.Pause(kVornInfinite), EVornPrematureTermination);
}
