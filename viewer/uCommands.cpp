#include "viewer/uCommands.h"

#include <QCoreApplication>
#include <atomic>

#include "viewer/thread/uVornErrors.h"

namespace {
std::atomic<TCommandProcess*> gCommandProcess{nullptr};
std::atomic<int> gInFlight{0};
}  // namespace

TCommandEvent::~TCommandEvent() { --gInFlight; }

int CommandsInFlight() { return gInFlight.load(); }

QEvent::Type TCommandEvent::EventType() {
  static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
  return type;
}

void TCommand::Issue(QObject* window, uint32_t message) {
  FWindow = window;
  FMessage = message;
  PostCommand(*this);
}

void TCommand::Post() {
  // Posting is safe from any thread; a window already gone takes nothing.
  if (QObject* window = FWindow.data()) QCoreApplication::postEvent(window, new TCommandEvent(*this, FMessage));
  else --gInFlight;
}

void TCommandSearch::Issue(QObject* window, uint32_t message, int32_t startIndex, std::u16string text) {
  StartIndex = startIndex;
  Text = std::move(text);
  TCommand::Issue(window, message);
}

void TCommandSearchAll::Issue(QObject* window, uint32_t message, std::u16string text) {
  Text = std::move(text);
  TCommand::Issue(window, message);
}

TCommand* TCommandManager::Find(const std::string& name) const {
  const auto found = FCommands.find(name);
  return found == FCommands.end() ? nullptr : found->second.get();
}

TCommand* TCommandManager::Add(std::unique_ptr<TCommand> command) {
  const std::string name = command->Name();
  return FCommands.emplace(name, std::move(command)).first->second.get();
}

TCommandManager& CommandManager() {
  static TCommandManager manager;
  return manager;
}

bool TCommandProcess::Put(TCommand& command) {
  bool wasEmpty;
  {
    std::lock_guard<std::mutex> lock(FSlotLock);
    wasEmpty = FSlot == nullptr;
    FSlot = &command;
  }
  FEvent.SetState(true);
  return wasEmpty;
}

void TCommandProcess::Execute() {
  while (!TerminateRequested()) {
    try {
      WaitFor(FEvent, -1);
      TCommand* command;
      {
        std::lock_guard<std::mutex> lock(FSlotLock);
        command = std::exchange(FSlot, nullptr);
      }
      if (command) command->Execute();
    } catch (const std::exception&) {
      // A time-out or a failed command: the loop goes on until termination.
    }
  }
  std::lock_guard<std::mutex> lock(FSlotLock);
  if (std::exchange(FSlot, nullptr)) --gInFlight;  // never to be posted
}

void SetCommandProcess(TCommandProcess* process) { gCommandProcess = process; }

void PostCommand(TCommand& command) {
  ++gInFlight;
  if (TCommandProcess* process = gCommandProcess.load()) {
    if (!process->Put(command)) --gInFlight;  // it replaced one that had not run: one event for both
  } else {
    command.Post();
  }
}
