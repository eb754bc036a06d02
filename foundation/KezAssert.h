#pragma once
// Precondition checks. A breach is a programming error, never the result of
// input: it raises EAssertionFailed naming the module, so that the window
// level can still report it instead of the process vanishing.
#include <stdexcept>
#include <string>

class EAssertionFailed : public std::logic_error {
public:
  EAssertionFailed(const std::string& module, const std::string& what)
      : std::logic_error("Assertion failed in " + module + ": " + what), Module(module) {}
  std::string Module;
};

[[noreturn]] void KezAssertFailed(const char* module, const char* condition);

#define KEZ_ASSERT(cond, module) \
  do { if (!(cond)) KezAssertFailed(module, #cond); } while (0)
