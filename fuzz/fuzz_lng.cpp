// Bytes in, read as an interface-language file into one reused translator,
// then looked up: keys of the program, the text's own first keys and aliases.
// A key that is found has a value; any key found means a non-empty table.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/KezLocale.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TKezLocale locale;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  locale.LoadFromText(text);
  std::string keys[8] = {"SProcessing", "SCorruptFile", "", "@", "=", "MainAboutText"};
  // The text's first line up to "=", and what follows the first "@".
  keys[6] = std::string(text.substr(0, std::min(text.find('='), size_t(64))));
  if (const size_t at = text.find('@'); at != std::string_view::npos) keys[7] = std::string(text.substr(at, 64));
  for (const std::string& key : keys) {
    std::string value;
    if (locale.Find(key, value) && (value.empty() || locale.Empty())) __builtin_trap();
    if (locale.Text(key, "fallback").empty()) __builtin_trap();
  }
  return 0;
}
