// Bytes in as the text of the keyword-order cache: only well-formed lines
// become verdicts, at most a few hundred of them.
#include <cstdint>
#include <string_view>

#include "dictionary/uKeywordOrderCache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto verdicts = ParseKeywordOrderVerdicts(std::string_view(reinterpret_cast<const char*>(data), size));
  if (verdicts.size() > 256 || verdicts.size() > size / 18 + 1) __builtin_trap();
  return 0;
}
