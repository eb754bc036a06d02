#pragma once
// A region allocator for many strings and small records that live and die
// together. Regions are whole multiples of 64 KiB and are released as a whole.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class TKezHeap {
public:
  explicit TKezHeap(uint32_t blockSize = 0, bool doubling = false, uint32_t alignment = 1);
  virtual ~TKezHeap();
  TKezHeap(const TKezHeap&) = delete;
  TKezHeap& operator=(const TKezHeap&) = delete;

  virtual void SetBlockSize(uint32_t n);
  virtual void SetAlignment(uint32_t a);
  virtual void Clear();
  virtual void* Alloc(uint32_t n);
  virtual void* AllocCopy(uint32_t n, const void* source);
  virtual char* NewStr(const char* text);
  virtual char* NewStr(std::string_view text);
  virtual char16_t* NewStr(const char16_t* text);
  virtual char16_t* NewStr(std::u16string_view text);

  uint32_t BlockSize() const { return FBlockSize; }
  uint32_t Alignment() const { return FAlignment; }
  uint32_t Remaining() const { return FRemaining; }
  uint64_t Total() const { return FTotal; }
  size_t RegionCount() const { return FBlocks.size(); }

private:
  static uint32_t RoundToRegion(uint64_t n);
  void NewRegion(uint32_t size);

  std::vector<uint8_t*> FBlocks;
  uint32_t FBlockSize = 0;
  uint32_t FAlignment = 1;
  bool FDoubling;
  uint8_t* FPosition = nullptr;
  uint32_t FRemaining = 0;
  uint64_t FTotal = 0;
};
