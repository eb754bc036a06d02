// Bytes in, read as a font import table: every line handed on has codes of
// 1F-FF, the first alternative of a line with a usable value is a key with a
// value and its heads lead on, and a key that leads nowhere has no longer key.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "language/uImportFont.h"

namespace {
bool Usable(uint32_t value) { return value != 0 && value <= 0xFFFF && (value < 0xD800 || value > 0xDFFF); }

// The first alternative as a key: up to the first ";", 1F read as ";".
std::u16string FirstKey(std::string_view codes) {
  std::u16string key;
  for (char c : codes.substr(0, codes.find(';'))) key += c == 0x1F ? u';' : char16_t(static_cast<uint8_t>(c));
  return key;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TImportFont font;
  std::u16string checked;  // first keys, each followed by a NUL
  LoadFontTable(text, [&](std::string_view codes, uint32_t value) {
    if (codes.empty()) __builtin_trap();
    for (char c : codes)
      if (static_cast<uint8_t>(c) < 0x1F) __builtin_trap();
    font.AddMapping(codes, value);
    const std::u16string key = FirstKey(codes);
    if (Usable(value) && !key.empty() && key.size() <= size_t(TImportFont::MaxKeyLength)) checked += key + u'\0';
  });
  if (!checked.empty() && !font.HasTable()) __builtin_trap();

  char16_t value = 0;
  bool continues = false;
  for (size_t start = 0; start < checked.size();) {
    const size_t end = checked.find(u'\0', start);
    const std::u16string_view key(checked.data() + start, end - start);
    if (!font.Lookup(key, value, continues) || value == 0) __builtin_trap();
    for (size_t length = 1; length < key.size(); ++length)
      if (!font.Lookup(key.substr(0, length), value, continues) || !continues) __builtin_trap();
    start = end + 1;
  }

  // Sequences of the input's own bytes: a key that does not continue has no longer key.
  if (!font.HasTable()) return 0;
  for (size_t start = 0; start < std::min<size_t>(size, 64); ++start) {
    std::u16string sequence;
    bool leadsOn = true;
    for (size_t at = start; at < size && sequence.size() < size_t(TImportFont::MaxKeyLength) + 1; ++at) {
      sequence += char16_t(data[at]);
      const bool found = font.Lookup(sequence, value, continues);
      if (found && !leadsOn) __builtin_trap();
      if (!found) break;
      leadsOn = continues;
    }
  }
  return 0;
}
