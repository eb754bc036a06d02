#pragma once
// Conversions at the edges of the system: wide text is UTF-16 everywhere
// inside, 8-bit text (file names, settings, terminals) is UTF-8.
#include <string>
#include <string_view>

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);
std::u16string FromAscii(std::string_view text);
