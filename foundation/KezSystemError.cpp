#include "foundation/KezSystemError.h"

#include <cstring>

void RaiseSystemError(int code, const std::string& fileName) {
  std::string message = std::strerror(code);
  if (!fileName.empty()) message += ": " + fileName;
  throw ESystemError(code, message);
}
