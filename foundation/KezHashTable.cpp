#include "foundation/KezHashTable.h"

#include <algorithm>
#include <cstring>
#include <string_view>

TKezHashTableBase::TKezHashTableBase(int32_t bucketCount)
    : TKezHashTableBase(bucketCount, static_cast<int32_t>(sizeof(TKezHashNode)) * std::max(bucketCount, 7)) {}

TKezHashTableBase::TKezHashTableBase(int32_t bucketCount, int32_t poolBlockSize) : FPool(poolBlockSize) {
  SetSize(bucketCount);
}

TKezHashTableBase::~TKezHashTableBase() { delete[] FBuckets; }

void TKezHashTableBase::SetSize(int32_t n) {
  const int32_t count = std::max(n, 7);
  if (count != FBucketCount) {
    delete[] FBuckets;
    FBuckets = new TKezHashNode*[count];
    FBucketCount = count;
  }
  Clear();
}

void TKezHashTableBase::Clear() {
  std::fill(FBuckets, FBuckets + FBucketCount, nullptr);
  FPool.Clear();
}

TKezHashNode* TKezHashTableBase::Find(const void* key, int32_t& bucket) const {
  bucket = static_cast<int32_t>(Hash(key) % static_cast<uint32_t>(FBucketCount));
  for (TKezHashNode* node = FBuckets[bucket]; node; node = node->Next)
    if (SameKey(node->Key, key)) return node;
  return nullptr;
}

bool TKezHashTableBase::Add(const void* key, void* value) {
  int32_t bucket;
  if (Find(key, bucket)) return false;
  AddAt(key, value, bucket);
  return true;
}

void TKezHashTableBase::AddAt(const void* key, void* value, int32_t bucket) {
  auto* node = static_cast<TKezHashNode*>(FPool.Alloc(sizeof(TKezHashNode)));
  *node = TKezHashNode{key, value, FBuckets[bucket]};
  FBuckets[bucket] = node;
}

void* TKezHashTableBase::Lookup(const void* key) const {
  int32_t bucket;
  TKezHashNode* node = Find(key, bucket);
  return node ? node->Value : nullptr;
}

void TKezHashTableBase::ForEach(const std::function<void(TKezHashNode&)>& callback) const {
  for (int32_t i = 0; i < FBucketCount; ++i)
    for (TKezHashNode* node = FBuckets[i]; node; node = node->Next) callback(*node);
}

uint32_t TKezPCharHashTable::Hash(const void* key) const {
  return ElfHash(static_cast<const unsigned char*>(key));
}

bool TKezPCharHashTable::SameKey(const void* a, const void* b) const {
  return std::strcmp(static_cast<const char*>(a), static_cast<const char*>(b)) == 0;
}

uint32_t TKezPWideCharHashTable::Hash(const void* key) const {
  return ElfHash(static_cast<const char16_t*>(key));
}

bool TKezPWideCharHashTable::SameKey(const void* a, const void* b) const {
  return std::u16string_view(static_cast<const char16_t*>(a)) ==
         std::u16string_view(static_cast<const char16_t*>(b));
}
