#include <gtest/gtest.h>

#include "foundation/KezHashTable.h"

TEST(KezHashTable, FirstValueOfKeyWins) {
  TKezPCharHashTable table(3);
  EXPECT_EQ(table.BucketCount(), 7);
  char first[] = "first", second[] = "second";
  EXPECT_TRUE(table.Add("abc", first));
  EXPECT_FALSE(table.Add("abc", second));
  EXPECT_EQ(table.Lookup("abc"), first);
  EXPECT_EQ(table.Lookup("abd"), nullptr);
  table.Clear();
  EXPECT_EQ(table.Lookup("abc"), nullptr);
}

TEST(KezHashTable, ElfHash) {
  EXPECT_EQ(ElfHash(reinterpret_cast<const unsigned char*>("abc")), 0x6783u);
  EXPECT_EQ(ElfHash(u"abc"), 0x6783u);
  TKezPCharHashTable table(4077);
  int32_t bucket = -1;
  table.Find("abc", bucket);
  EXPECT_EQ(bucket, int32_t(0x6783 % 4077));
  // Long keys fold the top bits back in and stay below 0x10000000.
  EXPECT_LT(ElfHash(reinterpret_cast<const unsigned char*>("a rather long key of many bytes")), 0x10000000u);
}

TEST(KezHashTable, WideKeysCompareExactly) {
  TKezPWideCharHashTable table(101);
  int values[3] = {1, 2, 3};
  EXPECT_TRUE(table.Add(u"λόγος", &values[0]));
  EXPECT_TRUE(table.Add(u"λογος", &values[1]));
  EXPECT_TRUE(table.Add(u"Λόγος", &values[2]));
  EXPECT_EQ(table.Lookup(u"λογος"), &values[1]);
  int count = 0;
  table.ForEach([&](TKezHashNode&) { ++count; });
  EXPECT_EQ(count, 3);
}
