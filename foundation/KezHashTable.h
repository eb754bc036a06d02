#pragma once
// Chained hash tables mapping a key pointer to a value pointer. Keys and
// values are not copied; nodes come from a tiny allocator and are freed all
// at once. Adding a key that is present keeps the first value.
#include <cstdint>
#include <functional>
#include <type_traits>

#include "foundation/KezTinyAllocator.h"

struct TKezHashNode {
  const void* Key;
  void* Value;
  TKezHashNode* Next;
};

class TKezHashTableBase {
public:
  explicit TKezHashTableBase(int32_t bucketCount);
  TKezHashTableBase(int32_t bucketCount, int32_t poolBlockSize);
  virtual ~TKezHashTableBase();
  TKezHashTableBase(const TKezHashTableBase&) = delete;
  TKezHashTableBase& operator=(const TKezHashTableBase&) = delete;

  virtual uint32_t Hash(const void* key) const = 0;
  virtual bool SameKey(const void* a, const void* b) const = 0;

  void SetSize(int32_t n);
  void Clear();
  TKezHashNode* Find(const void* key, int32_t& bucket) const;
  bool Add(const void* key, void* value);
  void AddAt(const void* key, void* value, int32_t bucket);
  void* Lookup(const void* key) const;
  void ForEach(const std::function<void(TKezHashNode&)>& callback) const;

  int32_t BucketCount() const { return FBucketCount; }

private:
  TKezTinyAllocator FPool;
  TKezHashNode** FBuckets = nullptr;
  int32_t FBucketCount = 0;
};

// The ELF hash over bytes or 16-bit units; the result is below 0x10000000.
template <typename Unit>
uint32_t ElfHash(const Unit* text) {
  uint32_t h = 0;
  for (; *text; ++text) {
    h = (h << 4) + static_cast<uint32_t>(static_cast<std::make_unsigned_t<Unit>>(*text));
    const uint32_t top = h & 0xF0000000u;
    if (top) h = (h & 0x0FFFFFFFu) ^ (top >> 24);
  }
  return h;
}

// Keys are zero-terminated 8-bit texts.
class TKezPCharHashTable : public TKezHashTableBase {
public:
  using TKezHashTableBase::TKezHashTableBase;
  uint32_t Hash(const void* key) const override;
  bool SameKey(const void* a, const void* b) const override;
};

// Keys are zero-terminated UTF-16 texts, compared unit by unit.
class TKezPWideCharHashTable : public TKezHashTableBase {
public:
  using TKezHashTableBase::TKezHashTableBase;
  uint32_t Hash(const void* key) const override;
  bool SameKey(const void* a, const void* b) const override;
};
