#pragma once
// Commands: the main window does not copy, paste or search from the handler
// of the menu, key or hot key that asks for it. It fills a named command and
// hands it to the command process, which wakes and posts the command back to
// the window; the window runs it from its event loop, after the asking
// handler has returned and "Processing..." has been painted. One slot: two
// requests made before the process wakes run once, the later one.
#include <QEvent>
#include <QMimeData>
#include <QPointer>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "viewer/thread/uVornProcess.h"
#include "viewer/thread/uVornSync.h"

class QMimeData;
class QObject;
class TCommand;

// The event a command posts to its window.
class TCommandEvent : public QEvent {
public:
  static QEvent::Type EventType();
  TCommandEvent(TCommand& command, uint32_t message) : QEvent(EventType()), Command(command), Message(message) {}
  ~TCommandEvent() override;
  TCommand& Command;
  const uint32_t Message;
};

class TCommand {
public:
  explicit TCommand(std::string name) : FName(std::move(name)) {}
  virtual ~TCommand() = default;
  TCommand(const TCommand&) = delete;
  TCommand& operator=(const TCommand&) = delete;

  const std::string& Name() const { return FName; }
  QObject* Window() const { return FWindow; }
  uint32_t Message() const { return FMessage; }
  // Stores where the command goes, then hands it to the command process.
  void Issue(QObject* window, uint32_t message);
  // On the command process's thread: posts the command to its window.
  virtual void Execute() { Post(); }
  void Post();

private:
  std::string FName;
  QPointer<QObject> FWindow;
  uint32_t FMessage = 0;
};

class TCommandCopy : public TCommand {
public:
  TCommandCopy() : TCommand("copy") {}
};

class TCommandPaste : public TCommand {
public:
  TCommandPaste() : TCommand("paste") {}
  // What to paste instead of the clipboard (another program's selection
  // caught by the hot key); null for the clipboard. Set and taken on the
  // window's thread.
  std::unique_ptr<QMimeData> Source;
};

class TCommandSearch : public TCommand {
public:
  TCommandSearch() : TCommand("search") {}
  // An empty text continues the last search.
  void Issue(QObject* window, uint32_t message, int32_t startIndex, std::u16string text);
  std::u16string Text;
  int32_t StartIndex = 0;
};

class TCommandSearchAll : public TCommand {
public:
  TCommandSearchAll() : TCommand("searchall") {}
  void Issue(QObject* window, uint32_t message, std::u16string text);
  std::u16string Text;
};

// The commands by name; it owns them.
class TCommandManager {
public:
  TCommand* Find(const std::string& name) const;
  // A second command of the same name is not taken (and is freed).
  TCommand* Add(std::unique_ptr<TCommand> command);
  // The command of that name, made and added when there is none yet.
  template <class T>
  T& Get(const std::string& name) {
    if (TCommand* found = Find(name)) return static_cast<T&>(*found);
    return static_cast<T&>(*Add(std::make_unique<T>()));
  }

private:
  std::map<std::string, std::unique_ptr<TCommand>> FCommands;
};

TCommandManager& CommandManager();

// The process that passes commands on: it sleeps on its event until a command
// is put into its slot, then executes it.
class TCommandProcess : public TVornProcess {
public:
  TCommandProcess() : FEvent(false) {}
  // Puts the command into the slot (replacing one not yet taken) and wakes
  // the process.
  // Says whether the slot was empty.
  bool Put(TCommand& command);

protected:
  void Execute() override;

private:
  TVornEvent FEvent;
  std::mutex FSlotLock;
  TCommand* FSlot = nullptr;
};

// The program's command process; commands are posted at once while there is none.
void SetCommandProcess(TCommandProcess* process);
void PostCommand(TCommand& command);
// Commands handed on whose event has not yet been handled (or dropped): a
// test waits for none.
int CommandsInFlight();
