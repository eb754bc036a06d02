#pragma once
// Writes a source dictionary file: UTF-16 units in pieces of any length,
// buffered and written out in blocks, without a byte-order mark. The file
// replaces the target only when Close succeeds.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/KezSafeFile.h"

class TSourceDictionaryWriter {
public:
  static constexpr int32_t kCapacity = 4096;

  TSourceDictionaryWriter() = default;
  // A writer destroyed without Close leaves the target as it was.
  ~TSourceDictionaryWriter() = default;

  void Open(const std::string& fileName);
  void Write(std::u16string_view text);
  void Write(const char16_t* text) { Write(std::u16string_view(text)); }
  void Close();

private:
  void Flush();

  TKezSafeFile FFile;
  std::array<char16_t, kCapacity> FBuffer{};
  int32_t FCount = 0;
};
