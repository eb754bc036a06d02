#pragma once
// Growable byte buffers into which text is appended piece by piece.
// Growth is in whole 4096-byte pages; contents are not terminated until
// AsPChar/AsText asks for it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class TKezBuffer {
public:
  explicit TKezBuffer(uint32_t initialSize = 0, bool doubling = false);
  virtual ~TKezBuffer();
  TKezBuffer(const TKezBuffer&) = delete;
  TKezBuffer& operator=(const TKezBuffer&) = delete;

  void Clear() { FLength = 0; }
  void SetCapacity(uint32_t n);
  virtual uint32_t Size() const { return FLength; }

  void Append(const void* data, uint32_t byteCount);
  void AppendByte(uint8_t b) { Append(&b, 1); }
  void AppendWord(uint16_t w);
  void AppendAnsi(std::string_view text) { Append(text.data(), static_cast<uint32_t>(text.size())); }
  void AppendPChar(const char* text);
  const char* AsPChar();

  uint32_t Capacity() const { return FCapacity; }
  uint32_t GrowStep() const { return FGrowStep; }
  uint32_t ByteLength() const { return FLength; }
  const uint8_t* Data() const { return FData; }

protected:
  void Grow(uint32_t needed);
  static uint32_t RoundToPage(uint32_t n);
  void Reallocate(uint32_t capacity);

  uint32_t FGrowStep;
  bool FDoubling;
  uint32_t FCapacity = 0;
  uint8_t* FData = nullptr;
  uint32_t FLength = 0;
};

// The buffer in which 8-bit text such as RTF is built.
class TKezCharBuffer : public TKezBuffer {
public:
  using TKezBuffer::TKezBuffer;
  std::string_view View() const { return {reinterpret_cast<const char*>(FData), FLength}; }
};

// The same buffer seen as UTF-16 units; Size counts units.
class TKezWideCharBuffer : public TKezBuffer {
public:
  using TKezBuffer::TKezBuffer;
  uint32_t Size() const override { return FLength / 2; }
  // Inline: bodies and documents are built one unit at a time.
  void AppendChar(char16_t c) {
    if (FCapacity - FLength >= 2) {
      std::memcpy(FData + FLength, &c, 2);
      FLength += 2;
    } else {
      Append(&c, 2);
    }
  }
  void AppendText(std::u16string_view text) { Append(text.data(), static_cast<uint32_t>(text.size() * 2)); }
  void AppendPWideChar(const char16_t* text);
  const char16_t* AsText();
  // The same text, for callers that split it in place.
  char16_t* AsMutableText() { AsText(); return reinterpret_cast<char16_t*>(FData); }
  std::u16string_view View() const { return {reinterpret_cast<const char16_t*>(FData), FLength / 2}; }
};
