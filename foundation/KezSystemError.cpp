#include "foundation/KezSystemError.h"

#include <cstring>

#include "foundation/KezText.h"

void RaiseSystemError(int code, const std::string& fileName) {
  std::string message = std::strerror(code);
  if (!fileName.empty()) message += ": " + ShortenedForMessage(fileName);
  throw ESystemError(code, message);
}
