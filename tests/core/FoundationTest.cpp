#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

#include "foundation/KezAssert.h"
#include "foundation/KezBuffer.h"
#include "foundation/KezHeap.h"
#include "foundation/KezText.h"
#include "foundation/KezTinyAllocator.h"

TEST(KezBuffer, GrowStepIsRoundedToWholePages) {
  struct { uint32_t initial; uint32_t expected; } cases[] = {{0, 4096}, {4096, 4096}, {4097, 8192}};
  for (auto c : cases) {
    TKezBuffer buffer(c.initial, false);
    EXPECT_EQ(buffer.GrowStep(), c.expected) << c.initial;
    EXPECT_EQ(buffer.Capacity(), c.expected) << c.initial;
  }
}

TEST(KezBuffer, GrowthAddsStepOrDoubles) {
  const std::string big(5000, 'x');
  TKezBuffer plain(0, false);
  plain.AppendAnsi(big);
  EXPECT_EQ(plain.Capacity(), 12288u);  // 4096 + 5000 rounded to 8192

  TKezBuffer doubling(0, true);
  doubling.AppendAnsi(big);
  EXPECT_EQ(doubling.Capacity(), 12288u);  // the increment is not smaller than the capacity

  TKezBuffer full(8192, true);
  full.AppendAnsi(std::string(8192, 'y'));
  EXPECT_EQ(full.Capacity(), 8192u);
  full.AppendAnsi(std::string(100, 'z'));
  EXPECT_EQ(full.Capacity(), 16384u);
  EXPECT_EQ(full.Size(), 8292u);
  EXPECT_EQ(full.Data()[8191], 'y');
  EXPECT_EQ(full.Data()[8192], 'z');
}

TEST(KezBuffer, AppendsAndTerminatesOnDemand) {
  TKezCharBuffer buffer;
  buffer.AppendPChar("ab");
  buffer.AppendByte('c');
  buffer.AppendWord(0x6564);  // little-endian: d, e
  EXPECT_STREQ(buffer.AsPChar(), "abcde");
  EXPECT_EQ(buffer.Size(), 5u);
  buffer.SetCapacity(0);
  EXPECT_EQ(buffer.Size(), 0u);
  EXPECT_EQ(buffer.Capacity(), 4096u);
}

TEST(KezWideCharBuffer, CountsUnitsAndTerminates) {
  TKezWideCharBuffer buffer;
  EXPECT_EQ(std::u16string_view(buffer.AsText()), u"");
  EXPECT_EQ(buffer.Size(), 0u);
  buffer.AppendChar(u'λ');
  buffer.AppendText(u"όγ");
  buffer.AppendPWideChar(u"ος");
  EXPECT_EQ(buffer.Size(), 5u);
  EXPECT_EQ(std::u16string_view(buffer.AsText()), u"λόγος");
  EXPECT_EQ(buffer.Size(), 5u);
}

TEST(KezTinyAllocator, ServesSmallRequestsBackToBackAndLargeOnesApart) {
  TKezTinyAllocator pool(100);
  EXPECT_EQ(pool.BlockSize(), 1024);
  EXPECT_EQ(pool.LargeThreshold(), 128);
  auto* first = static_cast<uint8_t*>(pool.Alloc(128));
  auto* second = static_cast<uint8_t*>(pool.Alloc(3));
  EXPECT_EQ(second, first + 128);                 // from the block, no rounding
  auto* large = static_cast<uint8_t*>(pool.Alloc(129));
  auto* third = static_cast<uint8_t*>(pool.Alloc(1));
  EXPECT_EQ(third, second + 3);                   // the large request did not touch the block
  EXPECT_NE(large, third);
  EXPECT_EQ(large[128], 0);                       // zero-filled
  EXPECT_THROW(pool.Alloc(0), EAssertionFailed);
  EXPECT_STREQ(pool.NewStr("abc"), "abc");
  EXPECT_EQ(std::u16string_view(pool.NewStr(u"αβγ")), u"αβγ");
}

TEST(KezTinyAllocator, OpensNewBlockWhenCurrentIsFull) {
  TKezTinyAllocator pool(1024);
  uint8_t* previous = nullptr;
  int blocksSeen = 0;
  for (int i = 0; i < 100; ++i) {
    auto* p = static_cast<uint8_t*>(pool.Alloc(100));
    if (previous && p != previous + 100) ++blocksSeen;
    previous = p;
  }
  EXPECT_GE(blocksSeen, 9);  // about ten allocations fit in a block
  pool.Clear();
  EXPECT_NE(pool.Alloc(8), nullptr);
}

TEST(KezHeap, RoundsAllocationsToAlignment) {
  TKezHeap heap(0, false, 4);
  auto* a = static_cast<uint8_t*>(heap.Alloc(1));
  auto* b = static_cast<uint8_t*>(heap.Alloc(5));
  auto* c = static_cast<uint8_t*>(heap.Alloc(1));
  EXPECT_EQ(b - a, 4);
  EXPECT_EQ(c - b, 8);
  heap.SetAlignment(3);
  EXPECT_EQ(heap.Alignment(), 1u);
  EXPECT_THROW(heap.Alloc(0), EAssertionFailed);
}

TEST(KezHeap, MovesPositionWhenAlignmentRises) {
  TKezHeap heap(0, false, 1);
  auto* a = static_cast<uint8_t*>(heap.Alloc(1));
  heap.SetAlignment(8);
  auto* b = static_cast<uint8_t*>(heap.Alloc(1));
  EXPECT_EQ(b - a, 8);  // regions are page-aligned, so the first byte was at a multiple of 8
}

TEST(KezHeap, RegionSizes) {
  TKezHeap heap(64 * 1024, false, 1);
  heap.Alloc(100000);
  EXPECT_EQ(heap.Total(), 128u * 1024);

  TKezHeap doubling(64 * 1024, true, 1);
  while (doubling.Total() < 1024 * 1024) doubling.Alloc(60000);
  const uint64_t before = doubling.Total();
  const size_t regions = doubling.RegionCount();
  while (doubling.RegionCount() == regions) doubling.Alloc(60000);
  EXPECT_GE(doubling.Total() - before, before);  // the new region is at least all earlier ones together

  TKezHeap rounded(70000, false, 1);
  EXPECT_EQ(rounded.BlockSize(), 128u * 1024);
}

TEST(KezHeap, CopiesStrings) {
  TKezHeap heap(0, false, 2);
  EXPECT_STREQ(heap.NewStr("abc"), "abc");
  EXPECT_STREQ(heap.NewStr(std::string_view("abcdef", 2)), "ab");
  EXPECT_EQ(std::u16string_view(heap.NewStr(u"ἄνθρωπος")), u"ἄνθρωπος");
  const int data[2] = {7, 9};
  EXPECT_EQ(std::memcmp(heap.AllocCopy(sizeof data, data), data, sizeof data), 0);
  heap.Clear();
  EXPECT_EQ(heap.Total(), 0u);
}

TEST(KezText, Utf8RoundTrip) {
  const std::u16string samples[] = {u"", u"abc", u"ἄνθρωπος", u"слово", u"\U0001F600", u"\uF012"};
  for (const auto& sample : samples) EXPECT_EQ(FromUtf8(ToUtf8(sample)), sample);
  EXPECT_EQ(FromUtf8("\xC3"), u"\uFFFD");  // a truncated sequence
  EXPECT_EQ(ToUtf8(u"\xD800"), "\xEF\xBF\xBD");
}

TEST(KezText, StrictUtf8TellsEveryFaultyForm) {
  struct {
    const char* name;
    std::string_view bytes;
    bool valid;
  } cases[] = {
      {"empty", "", true},
      {"ASCII and a NUL", std::string_view("a\0b", 3), true},
      {"two, three and four bytes", "\xCE\xBB\xE1\xBC\x84\xF0\x9F\x98\x80", true},
      {"the last code point", "\xF4\x8F\xBF\xBF", true},
      {"the last before the surrogates", "\xED\x9F\xBF", true},
      {"overlong two bytes", "\xC0\xAF", false},
      {"overlong C1", "\xC1\xBF", false},
      {"overlong three bytes", "\xE0\x9F\xBF", false},
      {"overlong four bytes", "\xF0\x8F\xBF\xBF", false},
      {"a surrogate", "\xED\xA0\x80", false},
      {"past U+10FFFF", "\xF4\x90\x80\x80", false},
      {"lead byte F5", "\xF5\x80\x80\x80", false},
      {"a stray continuation", "a\x80", false},
      {"cut short at the end", "a\xE1\xBC", false},
      {"cut short by ASCII", "\xE1\xBC" "a", false},
      {"0xFF", "\xFF", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.name;
}

// A text for a message keeps its start and end around "…" when too long, and
// never cuts a character in two.
TEST(KezText, ShortenedForMessageKeepsBothEndsAndWholeCharacters) {
  const struct {
    std::string text;
    size_t max;
    std::string shortened;
  } cases[] = {
      {"short", 10, "short"},
      {"abcdefghij", 10, "abcdefghij"},
      {"abcdefghijk", 4, "ab\u2026jk"},
      {"\u03b1\u03b2\u03b3\u03b4\u03b5", 5, "\u03b1\u2026\u03b5"},  // two bytes a letter: no half letters
  };
  for (const auto& c : cases) EXPECT_EQ(ShortenedForMessage(c.text, c.max), c.shortened) << c.text;
}
