#include <gtest/gtest.h>

#include "foundation/KezAssert.h"
#include "foundation/KezSortedList.h"

namespace {
int CompareInts(const void*, const void* item, const void* key) {
  return *static_cast<const int*>(item) - *static_cast<const int*>(key);
}
}  // namespace

TEST(KezSortedList, BinarySearches) {
  int values[] = {10, 20, 20, 30};
  TKezSortedList list;
  for (int& v : values) list.Add(&v);
  struct { int key; bool found; int32_t search, first, last; } cases[] = {
      {20, true, 1, 1, 2},
      {25, false, 3, 3, -1},
      {5, false, 0, 0, -1},
      {35, false, 4, 4, -1},
      {10, true, 0, 0, 0},
      {30, true, 3, 3, 3},
  };
  for (auto c : cases) {
    int32_t index;
    EXPECT_EQ(Search(list, &c.key, index, CompareInts), c.found) << c.key;
    EXPECT_EQ(index, c.search) << c.key;
    EXPECT_EQ(SearchFirst(list, &c.key, index, CompareInts), c.found) << c.key;
    EXPECT_EQ(index, c.first) << c.key;
    SearchLast(list, &c.key, 0, index, CompareInts);
    EXPECT_EQ(index, c.last) << c.key;
  }
  int32_t index;
  const int key = 20;
  EXPECT_THROW(Search(list, &key, index, nullptr), EAssertionFailed);
}
