#include "source/uSourceWriter.h"

#include <algorithm>

#include "foundation/KezAssert.h"

void TSourceDictionaryWriter::Open(const std::string& fileName) {
  FCount = 0;
  FFile.Open(fileName);
}

void TSourceDictionaryWriter::Write(std::u16string_view text) {
  while (!text.empty()) {
    if (FCount == kCapacity) Flush();
    const size_t chunk = std::min(text.size(), size_t(kCapacity - FCount));
    std::copy_n(text.data(), chunk, FBuffer.data() + FCount);
    FCount += int32_t(chunk);
    text.remove_prefix(chunk);
  }
}

void TSourceDictionaryWriter::Flush() {
  if (FCount == 0) return;
  // Units go out little-endian, as they are in memory on the platforms we build for.
  FFile.Write(FBuffer.data(), size_t(FCount) * 2);
  FCount = 0;
}

void TSourceDictionaryWriter::Close() {
  if (!FFile.IsOpen()) return;
  Flush();
  FFile.Commit();
}
