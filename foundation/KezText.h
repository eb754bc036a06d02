#pragma once
// Conversions at the edges of the system: wide text is UTF-16 everywhere
// inside, 8-bit text (file names, settings, terminals) is UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);
std::u16string FromAscii(std::string_view text);
// Appends one code point (up to U+10FFFF) in UTF-8, and in UTF-16.
void AppendUtf8(std::string& out, uint32_t codePoint);
void AppendUtf16(std::u16string& out, uint32_t codePoint);
// Strict UTF-8: no overlong forms, surrogates, code points past U+10FFFF,
// stray continuation bytes or sequences cut short.
bool IsValidUtf8(std::string_view text);
// A text for a message: one longer than maxBytes keeps its start and its end
// with "…" between, cut at characters' starts, so that a 100 kB file name
// does not fill the screen.
std::string ShortenedForMessage(std::string_view text, size_t maxBytes = 240);

// ASCII letters lowered; other bytes kept (identifiers, file names, settings keys).
std::string AsciiLowered(std::string_view text);
// Equality of two 8-bit texts without regard to the case of ASCII letters.
bool SameIdent(std::string_view a, std::string_view b);
