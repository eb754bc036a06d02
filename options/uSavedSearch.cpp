#include "options/uSavedSearch.h"

#include "foundation/KezFiles.h"
#include "foundation/KezSafeFile.h"

namespace {
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// C0 and C1 controls and DEL: a field that shows them confuses lookup and search.
bool IsUnwantedControl(char16_t c) {
  if (c == u'\t' || c == u'\r' || c == u'\n') return false;
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// The length of text's first at most limit units that does not end between the
// units of a surrogate pair.
size_t WholePrefix(std::u16string_view text, size_t limit) {
  if (text.size() <= limit) return text.size();
  return limit > 0 && IsHighSurrogate(text[limit - 1]) && IsLowSurrogate(text[limit]) ? limit - 1 : limit;
}
}  // namespace

std::u16string ParseSavedSearch(std::string_view bytes) {
  std::u16string text;
  const size_t count = bytes.size() / 2;
  auto unitAt = [&](size_t i) {
    return char16_t(uint8_t(bytes[2 * i]) | (uint16_t(uint8_t(bytes[2 * i + 1])) << 8));
  };
  for (size_t i = 0; i < count && text.size() < kSavedSearchMaxUnits; ++i) {
    const char16_t c = unitAt(i);
    if (i == 0 && c == 0xFEFF) continue;
    if (IsHighSurrogate(c)) {
      if (i + 1 < count && IsLowSurrogate(unitAt(i + 1))) {
        if (text.size() + 2 > kSavedSearchMaxUnits) break;
        text += c;
        text += unitAt(++i);
      }
      continue;
    }
    if (IsLowSurrogate(c) || IsUnwantedControl(c)) continue;
    text += c;
  }
  return text;
}

std::u16string ReadSavedSearch(const std::string& path) {
  std::string bytes;
  if (!ReadSmallFile(path, size_t(kSavedSearchMaxFileSize), bytes)) return {};
  return ParseSavedSearch(bytes);
}

void WriteSavedSearch(const std::string& path, std::u16string_view text) {
  text = text.substr(0, WholePrefix(text, kSavedSearchMaxUnits));
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes += char(c & 0xFF);
    bytes += char(c >> 8);
  }
  TKezSafeFile file;
  file.Open(path);
  file.Write(bytes.data(), bytes.size());
  file.Commit();
}
