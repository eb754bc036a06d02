#pragma once
// Conversions at the edges of the system: wide text is UTF-16 everywhere
// inside, 8-bit text (file names, settings, terminals) is UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);
std::u16string FromAscii(std::string_view text);
// Appends one code point (up to U+10FFFF) in UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);
