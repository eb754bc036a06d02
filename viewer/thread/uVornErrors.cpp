#include "viewer/thread/uVornErrors.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <system_error>

#if __has_include(<cxxabi.h>)
#include <cxxabi.h>
#define KODRA_HAVE_CXXABI 1
#endif

namespace {
// The program's texts of this library, kept together as one would keep
// string resources.
constexpr const char* SCreationFail = "Fail of creation of the VornObject.\r\n";
constexpr const char* SPrematureTermination = "Premature termination";
constexpr const char* SProcessWasTerminated = "The VornProcess already was terminated";
constexpr const char* STimeout = "Timeout";
constexpr const char* SWaitFailed = "Wait failed";
constexpr const char* SInvalidArgument = "Invalid argument";
constexpr const char* SUnhandledException = "Unhandled VornProcess exception";
constexpr const char* SLineBreak = "\r\n";
constexpr const char* SSystemMessageGap = ".\r\n";

std::mutex& ErrorBoxLock() {
  static std::mutex lock;
  return lock;
}

TVornErrorBox& ErrorBox() {
  static TVornErrorBox box;
  return box;
}

std::string ExecutableStem() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : executable.stem().string();
}
}  // namespace

EVornObjectCreationFail::EVornObjectCreationFail(const std::string& systemMessage)
    : std::runtime_error(std::string(SCreationFail) + SSystemMessageGap + systemMessage) {}

EVornPrematureTermination::EVornPrematureTermination() : std::runtime_error(SPrematureTermination) {}

EVornProcessWasTerminated::EVornProcessWasTerminated() : std::runtime_error(SProcessWasTerminated) {}

EVornTimeout::EVornTimeout() : std::runtime_error(STimeout) {}

EVornWaitFailed::EVornWaitFailed(const std::string& systemMessage)
    : std::runtime_error(std::string(SWaitFailed) + SSystemMessageGap + systemMessage) {}

EVornInvalidArgument::EVornInvalidArgument(const std::string& className, const std::string& method,
                                           const std::string& argument)
    : std::runtime_error("Class: " + className + SLineBreak + "Method: " + method + SLineBreak +
                         SInvalidArgument + ": " + argument) {}

std::string VornClassName(const std::type_info& type) {
#ifdef KODRA_HAVE_CXXABI
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  if (status == 0 && demangled) return demangled.get();
#endif
  std::string name = type.name();
  for (const char* prefix : {"class ", "struct "})
    if (name.rfind(prefix, 0) == 0) return name.substr(std::char_traits<char>::length(prefix));
  return name;
}

std::string VornErrorCaption() {
  std::string name = ExecutableStem();
  for (size_t i = 1; i < name.size(); ++i)
    name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
  return name + ". " + SUnhandledException;
}

void SetVornErrorBox(TVornErrorBox box) {
  std::lock_guard lock(ErrorBoxLock());
  ErrorBox() = std::move(box);
}

void ShowVornErrorBox(void* ownerWindow, const std::string& text) {
  TVornErrorBox box;
  {
    std::lock_guard lock(ErrorBoxLock());
    box = ErrorBox();
  }
  const std::string caption = VornErrorCaption();
  if (box)
    box(ownerWindow, text, caption);
  else
    std::cerr << caption << ": " << text << std::endl;
}
