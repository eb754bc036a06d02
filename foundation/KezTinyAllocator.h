#pragma once
// A pool of small blocks that are never freed one by one, only all at once.
// Requests are served back to back without rounding; callers that need
// alignment ask for sizes that are multiples of it.
#include <cstddef>
#include <cstdint>
#include <string_view>

class TKezTinyAllocator {
public:
  explicit TKezTinyAllocator(int32_t blockSize = 4096);
  virtual ~TKezTinyAllocator();
  TKezTinyAllocator(const TKezTinyAllocator&) = delete;
  TKezTinyAllocator& operator=(const TKezTinyAllocator&) = delete;

  virtual void Clear();
  virtual void* Alloc(int32_t n);
  virtual char* NewStr(const char* text);
  virtual char* NewStr(std::string_view text);
  virtual char16_t* NewStr(const char16_t* text);

  int32_t BlockSize() const { return FBlockSize; }
  int32_t LargeThreshold() const { return FLargeThreshold; }

private:
  // Each block and each large allocation starts with a link to the previous one.
  struct Link { Link* Previous; };
  static constexpr int32_t kLinkSize = sizeof(Link);

  int32_t FBlockSize;
  int32_t FLargeThreshold;
  Link* FBlockList = nullptr;
  uint8_t* FBlockEnd = nullptr;
  uint8_t* FPosition = nullptr;
  Link* FLargeList = nullptr;
};
