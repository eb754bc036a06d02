// Bytes in, read as saves.dat: the text has no unit the field cannot show,
// stays within its limit, and reads back unchanged once written.
#include <cstdint>
#include <string>
#include <string_view>

#include "options/uSavedSearch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string text = ParseSavedSearch(std::string_view(reinterpret_cast<const char*>(data), size));
  if (text.size() > kSavedSearchMaxUnits) __builtin_trap();
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if ((c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || (c >= 0x7F && c <= 0x9F)) __builtin_trap();
    const bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
    const bool lowNext = i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    const bool highBefore = i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF;
    if ((high && !lowNext) || (low && !highBefore)) __builtin_trap();
  }
  std::string bytes;
  for (char16_t c : text) {
    bytes += char(c & 0xFF);
    bytes += char(c >> 8);
  }
  // Only a leading U+FEFF is taken for a byte-order mark on reading again.
  const std::u16string expected = !text.empty() && text[0] == 0xFEFF ? text.substr(1) : text;
  if (ParseSavedSearch(bytes) != expected) __builtin_trap();
  return 0;
}
