#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "TestFiles.h"
#include "options/uSavedSearch.h"

namespace {
// UTF-16LE bytes of the units.
std::string Bytes(std::u16string_view units) {
  std::string bytes;
  for (char16_t c : units) {
    bytes += char(c & 0xFF);
    bytes += char(c >> 8);
  }
  return bytes;
}
}  // namespace

TEST(SavedSearch, ParsesUtf16LittleEndianAndDropsWhatTheFieldCannotShow) {
  using namespace std::string_literals;
  using namespace std::string_view_literals;
  struct {
    const char* name;
    std::string bytes;
    std::u16string expected;
  } cases[] = {
      {"empty", "", u""},
      {"one odd byte", "a", u""},
      {"plain", Bytes(u"λόγος amo"), u"λόγος amo"},
      {"odd trailing byte ignored", Bytes(u"amo") + "x", u"amo"},
      {"leading byte-order mark dropped", Bytes(u"\uFEFFamo"), u"amo"},
      {"only the leading mark is one", Bytes(u"a\uFEFFb"), u"a\uFEFFb"},
      {"CR, LF and TAB kept", Bytes(u"a\r\nb\tc"), u"a\r\nb\tc"},
      {"other controls dropped", Bytes(u"a\u0000b\u0001c\u001Fd\u007Fe\u0085f\u009Fg"sv), u"abcdefg"},
      {"pair kept", Bytes(u"a\U0001D400b"), u"a\U0001D400b"},
      {"lone high dropped", Bytes(u"a") + "\x00\xD8"s + Bytes(u"b"), u"ab"},
      {"lone low dropped", Bytes(u"a") + "\x00\xDC"s + Bytes(u"b"), u"ab"},
      {"high at the end dropped", Bytes(u"a") + "\x3D\xD8"s, u"a"},
      {"two highs then a low: the second pairs", "\x3D\xD8\x3D\xD8\x00\xDC"s, u"\U0001F400"},
      {"big-endian reads as other units", "\x00\x61\x00\x62"s, u"\u6100\u6200"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSavedSearch(c.bytes), c.expected) << c.name;
}

TEST(SavedSearch, KeepsAtMostTheLimitAndNeverHalfAPair) {
  const std::u16string many(kSavedSearchMaxUnits + 100, u'x');
  EXPECT_EQ(ParseSavedSearch(Bytes(many)), many.substr(0, kSavedSearchMaxUnits));
  // Dropped units do not count; a pair that would cross the limit is left out whole.
  const std::u16string controls(50, u'\u0001');
  const std::u16string tail = std::u16string(kSavedSearchMaxUnits - 1, u'y') + u"\U0001D400z";
  EXPECT_EQ(ParseSavedSearch(Bytes(controls + tail)), std::u16string(kSavedSearchMaxUnits - 1, u'y'));
}

TEST(SavedSearch, FilesRoundTripAndOddFilesReadEmpty) {
  TTempDir dir;
  const std::string path = dir.Path("saves.dat");
  WriteSavedSearch(path, u"ἄνθρωπος \U0001D400");
  EXPECT_EQ(ReadBytes(path).size(), 22u);  // no byte-order mark, two bytes a unit
  EXPECT_EQ(ReadSavedSearch(path), u"ἄνθρωπος \U0001D400");
  // Only the units the reader keeps are written, the pair at the limit left whole.
  WriteSavedSearch(path, std::u16string(kSavedSearchMaxUnits - 1, u'q') + u"\U0001D400");
  EXPECT_EQ(ReadBytes(path).size(), 2 * (kSavedSearchMaxUnits - 1));
  WriteSavedSearch(path, u"");
  EXPECT_EQ(ReadSavedSearch(path), u"");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1);  // no temporary left

  EXPECT_EQ(ReadSavedSearch(dir.Path("missing.dat")), u"");
  std::filesystem::create_directory(dir.Path("folder.dat"));
  EXPECT_EQ(ReadSavedSearch(dir.Path("folder.dat")), u"");
  ASSERT_EQ(mkfifo(dir.Path("fifo.dat").c_str(), 0600), 0);
  EXPECT_EQ(ReadSavedSearch(dir.Path("fifo.dat")), u"");  // and does not wait for a writer
  const std::string big = dir.Write("big.dat", Bytes(u"abc"));
  std::filesystem::resize_file(big, kSavedSearchMaxFileSize + 1);
  EXPECT_EQ(ReadSavedSearch(big), u"");
  std::filesystem::resize_file(big, kSavedSearchMaxFileSize);
  EXPECT_EQ(ReadSavedSearch(big), u"abc");  // the zero units after it are controls

  // A failed write raises, leaves what was there and no temporary file.
  EXPECT_ANY_THROW(WriteSavedSearch(dir.Path("missing/saves.dat"), u"x"));
  EXPECT_ANY_THROW(WriteSavedSearch(dir.Path("folder.dat"), u"x"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path("folder.dat")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 4);
}
