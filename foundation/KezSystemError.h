#pragma once
// Failures of the operating system (open, read, write), carrying its message.
#include <stdexcept>
#include <string>

class ESystemError : public std::runtime_error {
public:
  ESystemError(int code, const std::string& message) : std::runtime_error(message), Code(code) {}
  int Code;
};

// Raises ESystemError for errno, naming the file concerned.
[[noreturn]] void RaiseSystemError(int code, const std::string& fileName);
