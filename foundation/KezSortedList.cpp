#include "foundation/KezSortedList.h"

#include "foundation/KezAssert.h"

bool SearchRange(const TKezSortedList& list, const void* key, int32_t low, int32_t& index, int32_t high,
                 TKezCompareFunc compare, const void* context) {
  KEZ_ASSERT(compare != nullptr, "KezSortedList");
  return SearchRangeAt(low, index, high, [&](int32_t at) { return compare(context, list.Items(at), key); });
}

bool Search(const TKezSortedList& list, const void* key, int32_t& index, TKezCompareFunc compare,
            const void* context) {
  return SearchRange(list, key, 0, index, list.Count() - 1, compare, context);
}

bool SearchFirst(const TKezSortedList& list, const void* key, int32_t& index, TKezCompareFunc compare,
                 const void* context) {
  KEZ_ASSERT(compare != nullptr, "KezSortedList");
  return SearchFirstAt(list.Count(), index, [&](int32_t at) { return compare(context, list.Items(at), key); });
}

void SearchLast(const TKezSortedList& list, const void* key, int32_t low, int32_t& index, TKezCompareFunc compare,
                const void* context) {
  KEZ_ASSERT(compare != nullptr, "KezSortedList");
  SearchLastAt(low, list.Count() - 1, index, [&](int32_t at) { return compare(context, list.Items(at), key); });
}
