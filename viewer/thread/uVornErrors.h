#pragma once
// The exceptions of the thread library and the error box through which a
// process reports what escaped its body.
#include <functional>
#include <stdexcept>
#include <string>
#include <typeinfo>

// An event, a latch or a thread could not be created.
class EVornObjectCreationFail : public std::runtime_error {
public:
  explicit EVornObjectCreationFail(const std::string& systemMessage);
};

// The waiting process was told to terminate.
class EVornPrematureTermination : public std::runtime_error {
public:
  EVornPrematureTermination();
};

// The owner of a channel was told to terminate, so nothing sent reaches it.
class EVornProcessWasTerminated : public std::runtime_error {
public:
  EVornProcessWasTerminated();
};

class EVornTimeout : public std::runtime_error {
public:
  EVornTimeout();
};

class EVornWaitFailed : public std::runtime_error {
public:
  explicit EVornWaitFailed(const std::string& systemMessage);
};

class EVornInvalidArgument : public std::runtime_error {
public:
  EVornInvalidArgument(const std::string& className, const std::string& method,
                       const std::string& argument);
};

// The name of a class as messages show it (demangled where the compiler mangles).
std::string VornClassName(const std::type_info& type);

// "<executable name>. Unhandled VornProcess exception": the executable's file
// name without extension, every letter after the first in lower case.
std::string VornErrorCaption();

// Shows an error box on the owner window (null: none). It is called on the
// failing process's thread, so a box of a window toolkit must hand the text
// to the window thread. The default writes caption and text to stderr.
using TVornErrorBox =
    std::function<void(void* ownerWindow, const std::string& text, const std::string& caption)>;

// Process-wide; an empty function restores the default.
void SetVornErrorBox(TVornErrorBox box);
void ShowVornErrorBox(void* ownerWindow, const std::string& text);
