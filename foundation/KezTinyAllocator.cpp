#include "foundation/KezTinyAllocator.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/KezAssert.h"

TKezTinyAllocator::TKezTinyAllocator(int32_t blockSize)
    : FBlockSize(std::max<int32_t>(blockSize, 1024)), FLargeThreshold(FBlockSize / 8) {}

TKezTinyAllocator::~TKezTinyAllocator() { Clear(); }

void TKezTinyAllocator::Clear() {
  for (Link* list : {FBlockList, FLargeList}) {
    while (list) {
      Link* previous = list->Previous;
      std::free(list);
      list = previous;
    }
  }
  FBlockList = FLargeList = nullptr;
  FBlockEnd = FPosition = nullptr;
}

void* TKezTinyAllocator::Alloc(int32_t n) {
  KEZ_ASSERT(n > 0, "KezTinyAllocator");
  if (n > FLargeThreshold) {
    auto* large = static_cast<Link*>(std::calloc(1, size_t(n) + kLinkSize));
    if (!large) throw std::bad_alloc();
    large->Previous = FLargeList;
    FLargeList = large;
    return reinterpret_cast<uint8_t*>(large) + kLinkSize;
  }
  if (FBlockEnd - FPosition < n) {
    auto* block = static_cast<Link*>(std::calloc(1, size_t(FBlockSize)));
    if (!block) throw std::bad_alloc();
    block->Previous = FBlockList;
    FBlockList = block;
    FPosition = reinterpret_cast<uint8_t*>(block) + kLinkSize;
    FBlockEnd = reinterpret_cast<uint8_t*>(block) + FBlockSize;
  }
  void* result = FPosition;
  FPosition += n;
  return result;
}

char* TKezTinyAllocator::NewStr(const char* text) { return NewStr(std::string_view(text)); }

char* TKezTinyAllocator::NewStr(std::string_view text) {
  auto* copy = static_cast<char*>(Alloc(static_cast<int32_t>(text.size() + 1)));
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = 0;
  return copy;
}

char16_t* TKezTinyAllocator::NewStr(const char16_t* text) {
  const size_t length = std::u16string_view(text).size();
  auto* copy = static_cast<char16_t*>(Alloc(static_cast<int32_t>(2 * length + 2)));
  std::memcpy(copy, text, 2 * length + 2);
  return copy;
}
