#include "foundation/KezBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
constexpr uint32_t kPage = 4096;
}

uint32_t TKezBuffer::RoundToPage(uint32_t n) {
  if (n < kPage) return kPage;
  return (n + kPage - 1) / kPage * kPage;
}

TKezBuffer::TKezBuffer(uint32_t initialSize, bool doubling)
    : FGrowStep(RoundToPage(initialSize)), FDoubling(doubling) {
  Reallocate(FGrowStep);
}

TKezBuffer::~TKezBuffer() { std::free(FData); }

void TKezBuffer::Reallocate(uint32_t capacity) {
  void* block = std::realloc(FData, capacity);
  if (!block) throw std::bad_alloc();
  FData = static_cast<uint8_t*>(block);
  FCapacity = capacity;
}

void TKezBuffer::SetCapacity(uint32_t n) {
  const uint32_t capacity = RoundToPage(n);
  if (n == 0) FLength = 0;
  if (capacity == FCapacity) return;
  Reallocate(capacity);
  if (FLength > FCapacity) FLength = FCapacity;
}

void TKezBuffer::Grow(uint32_t needed) {
  const uint32_t increment = needed >= FGrowStep ? RoundToPage(needed) : FGrowStep;
  const uint64_t wanted = (FDoubling && increment < FCapacity) ? uint64_t(FCapacity) * 2
                                                                : uint64_t(FCapacity) + increment;
  if (wanted > UINT32_MAX) throw std::bad_alloc();
  Reallocate(static_cast<uint32_t>(wanted));
}

void TKezBuffer::Append(const void* data, uint32_t byteCount) {
  if (byteCount == 0) return;
  if (FCapacity - FLength < byteCount) Grow(byteCount);
  std::memcpy(FData + FLength, data, byteCount);
  FLength += byteCount;
}

void TKezBuffer::AppendWord(uint16_t w) {
  const uint8_t bytes[2] = {uint8_t(w & 0xFF), uint8_t(w >> 8)};
  Append(bytes, 2);
}

void TKezBuffer::AppendPChar(const char* text) {
  Append(text, static_cast<uint32_t>(std::strlen(text)));
}

const char* TKezBuffer::AsPChar() {
  AppendByte(0);
  --FLength;
  return reinterpret_cast<const char*>(FData);
}

void TKezWideCharBuffer::AppendPWideChar(const char16_t* text) {
  AppendText(std::u16string_view(text));
}

const char16_t* TKezWideCharBuffer::AsText() {
  AppendChar(0);
  FLength -= 2;
  return reinterpret_cast<const char16_t*>(FData);
}
