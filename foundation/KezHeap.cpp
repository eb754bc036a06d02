#include "foundation/KezHeap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/KezAssert.h"

namespace {
constexpr uint64_t kRegion = 64 * 1024;
constexpr size_t kPageAlignment = 4096;
}  // namespace

uint32_t TKezHeap::RoundToRegion(uint64_t n) {
  if (n <= kRegion) return kRegion;
  const uint64_t rounded = (n + kRegion - 1) / kRegion * kRegion;
  if (rounded > UINT32_MAX) throw std::bad_alloc();
  return static_cast<uint32_t>(rounded);
}

TKezHeap::TKezHeap(uint32_t blockSize, bool doubling, uint32_t alignment) : FDoubling(doubling) {
  SetBlockSize(blockSize);
  SetAlignment(alignment);
}

TKezHeap::~TKezHeap() { Clear(); }

void TKezHeap::SetBlockSize(uint32_t n) { FBlockSize = RoundToRegion(n); }

void TKezHeap::SetAlignment(uint32_t a) {
  if (a != 2 && a != 4 && a != 8) a = 1;
  if (a != FAlignment && FPosition && a != 1) {
    const auto address = reinterpret_cast<uintptr_t>(FPosition);
    const uint32_t skip = static_cast<uint32_t>((a - address % a) % a);
    const uint32_t moved = std::min(skip, FRemaining);
    FPosition += moved;
    FRemaining -= moved;
  }
  FAlignment = a;
}

void TKezHeap::Clear() {
  for (uint8_t* block : FBlocks) std::free(block);
  FBlocks.clear();
  FPosition = nullptr;
  FRemaining = 0;
  FTotal = 0;
}

void TKezHeap::NewRegion(uint32_t size) {
  uint64_t regionSize = RoundToRegion(size);
  regionSize = std::max<uint64_t>(regionSize, FDoubling ? FTotal : FBlockSize);
  if (regionSize > UINT32_MAX) throw std::bad_alloc();
  void* block = std::aligned_alloc(kPageAlignment, regionSize);
  if (!block) throw std::bad_alloc();
  FBlocks.push_back(static_cast<uint8_t*>(block));
  FTotal += regionSize;
  FPosition = static_cast<uint8_t*>(block);
  FRemaining = static_cast<uint32_t>(regionSize);
}

void* TKezHeap::Alloc(uint32_t n) {
  KEZ_ASSERT(n != 0, "KezHeap");
  const uint64_t rounded = (uint64_t(n) + FAlignment - 1) / FAlignment * FAlignment;
  if (rounded > FRemaining) NewRegion(static_cast<uint32_t>(std::min<uint64_t>(rounded, UINT32_MAX)));
  void* result = FPosition;
  FPosition += rounded;
  FRemaining -= static_cast<uint32_t>(rounded);
  return result;
}

void* TKezHeap::AllocCopy(uint32_t n, const void* source) {
  void* result = Alloc(n);
  std::memcpy(result, source, n);
  return result;
}

char* TKezHeap::NewStr(const char* text) { return NewStr(std::string_view(text)); }

char* TKezHeap::NewStr(std::string_view text) {
  auto* copy = static_cast<char*>(Alloc(static_cast<uint32_t>(text.size() + 1)));
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = 0;
  return copy;
}

char16_t* TKezHeap::NewStr(const char16_t* text) { return NewStr(std::u16string_view(text)); }

char16_t* TKezHeap::NewStr(std::u16string_view text) {
  auto* copy = static_cast<char16_t*>(Alloc(static_cast<uint32_t>(2 * text.size() + 2)));
  std::memcpy(copy, text.data(), 2 * text.size());
  copy[text.size()] = 0;
  return copy;
}
