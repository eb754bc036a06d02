#pragma once
// How an article's source text becomes the units of its compiled body: tags
// become the units 1 to 14, a line end the unit 15, hex characters their
// special-font unit, escapes their character; line feeds, tabs and other
// control units vanish, and a run of spaces keeps only its last space.
#include <string>
#include <string_view>

namespace compiled_body {
inline bool IsHex(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}
inline unsigned HexValue(char16_t c) {
  return c <= u'9' ? unsigned(c - u'0') : (c >= u'a' ? unsigned(c - u'a' + 10) : unsigned(c - u'A' + 10));
}
// The unit of the tag starting at text (which begins with "<"), and its
// length; 0 when it is no tag.
inline char16_t TagUnit(const char16_t* text, int& length) {
  static constexpr char16_t kLetters[] = u"hmance";
  static constexpr char16_t kOpen[] = {1, 3, 5, 7, 11, 13};
  static constexpr char16_t kClose[] = {2, 4, 6, 10, 12, 14};
  const bool closing = text[1] == u'/';
  const char16_t letter = text[closing ? 2 : 1];
  int slot = -1;
  for (int i = 0; i < 6 && letter; ++i)
    if (kLetters[i] == letter) slot = i;
  if (slot < 0) return 0;
  if (closing) {
    if (text[3] != u'>') return 0;
    length = 4;
    return kClose[slot];
  }
  if (slot == 3 && text[2] >= u'1' && text[2] <= u'3') {
    if (text[3] != u'>') return 0;
    length = 4;
    return char16_t(7 + (text[2] - u'1'));
  }
  if (text[2] != u'>') return 0;
  length = 3;
  return kOpen[slot];
}
}  // namespace compiled_body

// Calls emit(unit) for every unit of the compiled body of a zero-terminated text.
template <class Emit>
void ForEachCompiledUnit(const char16_t* text, Emit&& emit) {
  using namespace compiled_body;
  for (const char16_t* p = text; *p;) {
    const char16_t c = *p;
    if (c == u'\r') {
      emit(char16_t(15));
      ++p;
    } else if (c < 0x20) {
      ++p;
    } else if (c == u' ') {
      if (p[1] != u' ') emit(u' ');
      ++p;
    } else if (c == u'<') {
      int length = 0;
      const char16_t unit = TagUnit(p, length);
      if (unit) {
        emit(unit);
        p += length;
      } else {
        emit(c);
        ++p;
      }
    } else if (c == u'$' && IsHex(p[1]) && IsHex(p[2]) && IsHex(p[3]) && IsHex(p[4])) {
      const unsigned value = HexValue(p[1]) << 12 | HexValue(p[2]) << 8 | HexValue(p[3]) << 4 | HexValue(p[4]);
      emit(char16_t(value < 0xF000 ? 0xF000 : value));
      p += 5;
    } else if (c == u'\\' && p[1]) {
      emit(p[1]);
      p += 2;
    } else if (c == u'\\') {
      ++p;
    } else {
      emit(c);
      ++p;
    }
  }
}

inline std::u16string CompiledBodyText(const char16_t* text) {
  std::u16string body;
  ForEachCompiledUnit(text, [&](char16_t unit) { body += unit; });
  return body;
}
