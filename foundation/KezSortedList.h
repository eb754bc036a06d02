#pragma once
// A list of item pointers kept in an order that only the caller knows, and
// the binary searches over it with a caller-supplied comparison.
#include <cstddef>
#include <cstdint>
#include <vector>

class TKezSortedList {
public:
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  void* Items(int32_t index) const { return FItems[size_t(index)]; }
  void SetItem(int32_t index, void* item) { FItems[size_t(index)] = item; }
  void Insert(int32_t index, void* item) { FItems.insert(FItems.begin() + index, item); }
  int32_t Add(void* item) { FItems.push_back(item); return Count() - 1; }
  void Delete(int32_t index) { FItems.erase(FItems.begin() + index); }
  void Clear() { FItems.clear(); }
  int32_t Capacity() const { return static_cast<int32_t>(FItems.capacity()); }
  void SetCapacity(int32_t capacity) { FItems.reserve(size_t(capacity)); }
  void* const* Data() const { return FItems.data(); }
  // Takes over a whole list of items at once (already in the caller's order).
  void Assign(std::vector<void*>&& items) { FItems = std::move(items); }

private:
  std::vector<void*> FItems;
};

// The binary searches by position: compare(position) is negative, 0 or
// positive as the item there sorts before, equal to or after the key.
//
// Between low and high inclusive. On a hit, index is the first equal item
// met (not necessarily the lowest); otherwise the insertion position.
template <class Compare>
bool SearchRangeAt(int32_t low, int32_t& index, int32_t high, Compare&& compare) {
  bool found = false;
  while (low <= high) {
    const int32_t mid = int32_t((uint32_t(low) + uint32_t(high)) / 2);
    const int r = compare(mid);
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
// The lowest equal item of count, or the insertion position when none is equal.
template <class Compare>
bool SearchFirstAt(int32_t count, int32_t& index, Compare&& compare) {
  int32_t low = 0, high = count - 1;
  bool found = false;
  while (low <= high) {
    const int32_t mid = int32_t((uint32_t(low) + uint32_t(high)) / 2);
    const int r = compare(mid);
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
// The highest equal item between low and high inclusive, or -1 when none is equal.
template <class Compare>
void SearchLastAt(int32_t low, int32_t high, int32_t& index, Compare&& compare) {
  index = -1;
  while (low <= high) {
    const int32_t mid = int32_t((uint32_t(low) + uint32_t(high)) / 2);
    const int r = compare(mid);
    if (r > 0) {
      high = mid - 1;
    } else {
      if (r == 0) index = mid;
      low = mid + 1;
    }
  }
}

// Negative when the item sorts before the key, 0 when equal, positive after.
using TKezCompareFunc = int (*)(const void* context, const void* item, const void* key);

// Binary search between low and high inclusive. On a hit, index is the first
// equal item met (not necessarily the lowest); otherwise the insertion position.
bool SearchRange(const TKezSortedList& list, const void* key, int32_t low, int32_t& index, int32_t high,
                 TKezCompareFunc compare, const void* context = nullptr);
bool Search(const TKezSortedList& list, const void* key, int32_t& index, TKezCompareFunc compare,
            const void* context = nullptr);
// The lowest equal item, or the insertion position when none is equal.
bool SearchFirst(const TKezSortedList& list, const void* key, int32_t& index, TKezCompareFunc compare,
                 const void* context = nullptr);
// The highest equal item from low on, or -1 when none is equal.
void SearchLast(const TKezSortedList& list, const void* key, int32_t low, int32_t& index,
                TKezCompareFunc compare, const void* context = nullptr);
