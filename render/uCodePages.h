#pragma once
// 8-bit text of RTF documents: the code page of a Windows font character set
// and the decoding of bytes through a code page. Single-byte pages come from
// tables built in; other pages (the East Asian double-byte ones, UTF-8) go
// through ICU when the build has it, otherwise they decode as Windows-1252.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Not a real code page: the bytes of a symbol font stand for themselves.
constexpr int32_t cpSymbol = 42;

// The upper half (bytes 0x80-0xFF) of a built-in single-byte code page, or
// nullptr when there is no table for it.
const char16_t* SingleByteCodePage(int32_t codePage);

// The code page of a font character set (\fcharset), 0 when the character
// set names none (1, default) or is unknown; cpSymbol for 2.
int32_t CodePageOfCharset(int32_t charset);

// Keeps the ICU converters it opened, so that one decoder serves a whole
// document without opening a converter per byte.
class TCodePageDecoder {
public:
  TCodePageDecoder();
  ~TCodePageDecoder();
  TCodePageDecoder(const TCodePageDecoder&) = delete;
  TCodePageDecoder& operator=(const TCodePageDecoder&) = delete;

  // True when bytes of the code page must be decoded as a sequence (a lead
  // byte and its trail byte); false when each byte decodes on its own.
  bool NeedsSequence(int32_t codePage);
  // One byte of a single-byte code page (anything unknown counts as 1252).
  char16_t DecodeByte(int32_t codePage, uint8_t byte) const;
  // Appends the decoded bytes to out; invalid sequences give U+FFFD.
  void Decode(int32_t codePage, std::string_view bytes, std::u16string& out);

private:
  struct TConverters;
  std::unique_ptr<TConverters> FConverters;
};
