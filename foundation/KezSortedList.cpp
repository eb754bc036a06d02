#include "foundation/KezSortedList.h"

#include "foundation/KezAssert.h"

bool SearchRange(const TKezSortedList& list, const void* key, int32_t low, int32_t& index, int32_t high,
                 TKezCompareFunc compare, const void* context) {
  KEZ_ASSERT(compare != nullptr, "KezSortedList");
  bool found = false;
  while (low <= high) {
    const int32_t mid = int32_t((uint32_t(low) + uint32_t(high)) / 2);
    const int r = compare(context, list.Items(mid), key);
    if (r < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
      if (r == 0) {
        found = true;
        low = mid;
      }
    }
  }
  index = low;
  return found;
}

bool Search(const TKezSortedList& list, const void* key, int32_t& index, TKezCompareFunc compare,
            const void* context) {
  return SearchRange(list, key, 0, index, list.Count() - 1, compare, context);
}

bool SearchFirst(const TKezSortedList& list, const void* key, int32_t& index, TKezCompareFunc compare,
                 const void* context) {
  KEZ_ASSERT(compare != nullptr, "KezSortedList");
  int32_t low = 0, high = list.Count() - 1;
  bool found = false;
  while (low <= high) {
    const int32_t mid = int32_t((uint32_t(low) + uint32_t(high)) / 2);
    const int r = compare(context, list.Items(mid), key);
    if (r < 0) {
      low = mid + 1;
    } else {
      if (r == 0) found = true;
      high = mid - 1;
    }
  }
  index = low;
  return found;
}

void SearchLast(const TKezSortedList& list, const void* key, int32_t low, int32_t& index, TKezCompareFunc compare,
                const void* context) {
  KEZ_ASSERT(compare != nullptr, "KezSortedList");
  int32_t high = list.Count() - 1;
  index = -1;
  while (low <= high) {
    const int32_t mid = int32_t((uint32_t(low) + uint32_t(high)) / 2);
    const int r = compare(context, list.Items(mid), key);
    if (r > 0) {
      high = mid - 1;
    } else {
      if (r == 0) index = mid;
      low = mid + 1;
    }
  }
}
