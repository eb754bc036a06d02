#include "foundation/KezText.h"

#include <cstdint>

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    uint32_t c;
    size_t extra;
    if (b < 0x80) { c = b; extra = 0; }
    else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; extra = 1; }
    else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; extra = 2; }
    else if ((b & 0xF8) == 0xF0) { c = b & 0x07; extra = 3; }
    else { out += u'\uFFFD'; ++i; continue; }
    if (i + extra >= text.size()) {  // truncated sequence at the end
      out += u'\uFFFD';
      break;
    }
    bool valid = true;
    for (size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) { valid = false; break; }
      c = (c << 6) | (next & 0x3F);
    }
    if (!valid) { out += u'\uFFFD'; ++i; continue; }
    i += extra + 1;
    AppendUtf16(out, c);
  }
  return out;
}

void AppendUtf16(std::u16string& out, uint32_t c) {
  if (c >= 0x10000) {
    c -= 0x10000;
    out += char16_t(0xD800 + (c >> 10));
    out += char16_t(0xDC00 + (c & 0x3FF));
  } else {
    out += char16_t(c);
  }
}

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    // The second byte's range rules out overlong forms, surrogates and
    // code points past U+10FFFF.
    size_t extra;
    unsigned char low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) extra = 1;
    else if (b == 0xE0) { extra = 2; low = 0xA0; }
    else if (b == 0xED) { extra = 2; high = 0x9F; }
    else if (b >= 0xE1 && b <= 0xEF) extra = 2;
    else if (b == 0xF0) { extra = 3; low = 0x90; }
    else if (b >= 0xF1 && b <= 0xF3) extra = 3;
    else if (b == 0xF4) { extra = 3; high = 0x8F; }
    else return false;
    if (text.size() - i <= extra) return false;
    for (size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
    }
    i += extra + 1;
  }
  return true;
}

std::u16string FromAscii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::string AsciiLowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  return lowered;
}

bool SameIdent(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x + 32);
    if (y >= 'A' && y <= 'Z') y = char(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::string ShortenedForMessage(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  auto isContinuation = [&](size_t at) { return at < text.size() && (uint8_t(text[at]) & 0xC0) == 0x80; };
  size_t head = maxBytes / 2, tail = text.size() - maxBytes / 2;
  while (head > 0 && isContinuation(head)) --head;
  while (tail < text.size() && isContinuation(tail)) ++tail;
  return std::string(text.substr(0, head)) + "\u2026" + std::string(text.substr(tail));
}
