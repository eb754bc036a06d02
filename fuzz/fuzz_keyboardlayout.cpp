// Bytes in, read as a keyboard-layout table: the space key stays itself (it
// tells a loaded layout) and no key types half of a surrogate pair.
#include <cstdint>
#include <string_view>

#include "language/uLanguage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TKeyboardLayout layout;
  ParseKeyboardLayout(std::string_view(reinterpret_cast<const char*>(data), size), layout);
  if (layout[0] != u' ') __builtin_trap();
  for (char16_t c : layout)
    if (c >= 0xD800 && c <= 0xDFFF) __builtin_trap();
  return 0;
}
