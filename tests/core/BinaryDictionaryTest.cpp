#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "KdbBuilder.h"
#include "TestFiles.h"
#include "dictionary/uBinaryDictionary.h"
#include "language/uLanguage.h"
#include "foundation/KezAssert.h"
#include "foundation/KezSystemError.h"

namespace {
std::string ErrorOfLoading(const std::string& path) {
  TBinaryDictionary dictionary;
  try {
    dictionary.LoadFromFile(path);
  } catch (const THelpedException& e) {
    return e.HelpKeyword;
  }
  return "";
}

const std::u16string kUnits = u"abcλόγος \x01\x02~";

TKdbContent SampleContent() {
  TKdbContent c;
  c.Caption = u"Sample";
  c.Comment = u"for tests";
  c.Kind = u"main";
  c.Language = u"ancientgreek";
  c.Abbreviations = {{u"al.", u"alii_sim."}, {u"cet._al", u"ceteri"}};
  c.Articles = {{u"a_b", CodeBody(u"\x01" u"a_b\x02 abc", kUnits + u"_")},
                {u"λόγος", CodeBody(u"~ λόγος", kUnits + u"_")}};
  c.Chars = CharTableFor(kUnits + u"_");
  return c;
}

void PutU32At(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}
uint32_t GetU32At(const std::vector<uint8_t>& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t(bytes[at + i]) << (8 * i);
  return v;
}
}  // namespace

TEST(BinaryDictionary, MinimalFileLoads) {
  TTempDir dir;
  const auto bytes = TKdbBuilder::Build(TKdbContent{});
  ASSERT_EQ(bytes.size(), 44u);
  TBinaryDictionary dictionary;
  dictionary.LoadFromFile(dir.Write("minimal.kdb", bytes));
  EXPECT_EQ(dictionary.Kind(), dkOther);
  EXPECT_EQ(std::u16string_view(dictionary.Caption()), u"");
  EXPECT_EQ(dictionary.ArticleCount(), 0);
  EXPECT_EQ(dictionary.AbbreviationCount(), 0);
  EXPECT_EQ(dictionary.CharCount(), 0);
  EXPECT_THROW(dictionary.GetKeyword(0), EAssertionFailed);
}

TEST(BinaryDictionary, ShortOrMalformedFilesAreCorrupt) {
  TTempDir dir;
  auto minimal = TKdbBuilder::Build(TKdbContent{});
  TKdbContent versionOne;
  versionOne.Version = 1;
  auto badSignature = minimal;
  badSignature[0] ^= 1;
  auto badTrailer = minimal;
  badTrailer.back() ^= 1;
  const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
      {"empty", {}},
      {"43 bytes", std::vector<uint8_t>(minimal.begin(), minimal.end() - 1)},
      {"version 1", TKdbBuilder::Build(versionOne)},
      {"signature", badSignature},
      {"trailer signature", badTrailer},
  };
  for (const auto& [name, bytes] : cases)
    EXPECT_EQ(ErrorOfLoading(dir.Write("bad.kdb", bytes)), "SCorruptFile") << name;
}

TEST(BinaryDictionary, ReadsHeaderAbbreviationsAndArticles) {
  TTempDir dir;
  TBinaryDictionary dictionary;
  dictionary.LoadFromFile(dir.Write("sample.kdb", TKdbBuilder::Build(SampleContent())));
  EXPECT_EQ(std::u16string_view(dictionary.Caption()), u"Sample");
  EXPECT_EQ(std::u16string_view(dictionary.Comment()), u"for tests");
  EXPECT_EQ(std::u16string_view(dictionary.LanguageId()), u"ancientgreek");
  EXPECT_EQ(dictionary.Kind(), dkMain);
  ASSERT_EQ(dictionary.AbbreviationCount(), 2);
  // Low lines become no-break spaces in abbreviations, never in keywords.
  EXPECT_EQ(std::u16string_view(dictionary.GetAbbreviation(0)), u"al.");
  EXPECT_EQ(std::u16string_view(dictionary.GetExplanation(0)), u"alii\u00A0sim.");
  EXPECT_EQ(std::u16string_view(dictionary.GetAbbreviation(1)), u"cet.\u00A0al");
  ASSERT_EQ(dictionary.ArticleCount(), 2);
  EXPECT_EQ(std::u16string_view(dictionary.GetKeyword(0)), u"a_b");
  EXPECT_EQ(std::u16string_view(dictionary.GetArticle(0)), u"\x01" u"a_b\x02 abc");
  EXPECT_EQ(std::u16string_view(dictionary.GetArticle(1)), u"~ λόγος");
  EXPECT_EQ(dictionary.LastArticle(), u"~ λόγος");
  EXPECT_THROW(dictionary.GetArticle(2), EAssertionFailed);
  EXPECT_THROW(dictionary.GetExplanation(-1), EAssertionFailed);
}

TEST(BinaryDictionary, BodyCodes) {
  std::vector<char16_t> table(7936, u'?');
  table[31] = u'A';
  table[255] = u'B';
  table[257] = u'C';
  table[7935] = u'D';
  struct { std::vector<uint8_t> body; std::u16string text; size_t charCount; } cases[] = {
      {{31}, u"A", table.size()},
      {{255, 30, 1}, u"BC", table.size()},
      {{1, 255, 31}, u"DA", table.size()},
      {{31, 30, 1, 31}, u"A", 257},  // code 257 is not below the count: the body ends there
  };
  TTempDir dir;
  for (const auto& c : cases) {
    TKdbContent content;
    content.Articles = {{u"k", c.body}};
    content.Chars.assign(table.begin(), table.begin() + long(c.charCount));
    TBinaryDictionary dictionary;
    dictionary.LoadFromFile(dir.Write("codes.kdb", TKdbBuilder::Build(content)));
    EXPECT_EQ(std::u16string_view(dictionary.GetArticle(0)), c.text);
  }
}

// A body starts after its keyword's terminator, which is looked for a few
// units at a time: keywords of every length around those steps and around
// the end of the key (once and twice), with units that look like a terminator to a careless
// test (high bits set, one below it).
TEST(BinaryDictionary, BodiesStartAfterKeywordsOfAnyLength) {
  const std::u16string units = u"0123456789";
  const char16_t tricky[] = {u'a', u'\u8000', u'\uFFFF', u'\u0001', u'\u7FFF', u'\u8001'};
  TKdbContent content;
  std::vector<std::u16string> bodies;
  std::vector<size_t> lengths;
  for (size_t around : {6, 246, 2 * 246})
    for (size_t length = around - 5; length <= around + 5; ++length) lengths.push_back(length);
  for (size_t length : lengths) {
    std::u16string keyword;
    for (size_t n = 0; n < length; ++n) keyword += tricky[(n + length) % std::size(tricky)];
    bodies.push_back(std::u16string(1, char16_t(u'0' + length % 10)) + u"12");
    content.Articles.emplace_back(keyword, CodeBody(bodies.back(), units));
  }
  content.Chars = CharTableFor(units);
  TTempDir dir;
  TBinaryDictionary dictionary;
  dictionary.LoadFromFile(dir.Write("lengths.kdb", TKdbBuilder::Build(content)));
  ASSERT_EQ(dictionary.ArticleCount(), int32_t(bodies.size()));
  for (int32_t i = 0; i < dictionary.ArticleCount(); ++i) {
    EXPECT_EQ(std::u16string_view(dictionary.DecodeBody(dictionary.FindBodyCodes(i))), bodies[size_t(i)]) << i;
    EXPECT_EQ(std::u16string_view(dictionary.GetArticle(i)), bodies[size_t(i)]) << i;
    EXPECT_EQ(std::u16string_view(dictionary.GetKeyword(i)), content.Articles[size_t(i)].first) << i;
  }
}

TEST(BinaryDictionary, StringsRestartTheKeyStream) {
  TKdbContent content;
  content.Caption = u"same";
  content.Comment = u"same";
  const auto bytes = TKdbBuilder::Build(content);
  EXPECT_TRUE(std::equal(bytes.begin() + 8, bytes.begin() + 18, bytes.begin() + 18));
  // The empty kind is one unit: the low half of the first key word.
  EXPECT_EQ(bytes[28] | (bytes[29] << 8), int(KeyWord(0) & 0xFFFF));
}

TEST(BinaryDictionary, OutOfRangeTablesAndStringsAreCorrupt) {
  const auto good = TKdbBuilder::Build(SampleContent());
  const size_t end = good.size();
  auto trailer = [&](int distance, uint32_t value) {
    return [=](std::vector<uint8_t>& b) { PutU32At(b, end - distance, value ^ kKdbTrailerMask); };
  };
  const uint32_t pairTable = GetU32At(good, end - 28) ^ kKdbTrailerMask;
  const uint32_t articleTable = GetU32At(good, end - 20) ^ kKdbTrailerMask;
  const std::vector<std::pair<const char*, std::function<void(std::vector<uint8_t>&)>>> cases = {
      {"char count beyond the image", trailer(8, 0x10000)},
      {"char table beyond the image", trailer(12, uint32_t(end))},
      {"article count beyond the image", trailer(16, 0x7FFFFFFF)},
      {"article table overlapping the chars", trailer(20, articleTable + 4)},
      {"abbreviation count too large", trailer(24, 5)},
      {"abbreviation table inside the header", trailer(28, 8)},
      {"unaligned article table", trailer(20, articleTable + 2)},
      {"article record beyond the records",
       [&](std::vector<uint8_t>& b) { PutU32At(b, articleTable, (end - 40) ^ KeyWord(0)); }},
      {"article record at an odd offset",
       [&](std::vector<uint8_t>& b) { PutU32At(b, articleTable, ((GetU32At(good, articleTable) ^ KeyWord(0)) + 1) ^ KeyWord(0)); }},
      {"records out of order",
       [&](std::vector<uint8_t>& b) { PutU32At(b, articleTable + 4, GetU32At(good, articleTable)); }},
      {"abbreviation record before the header end",
       [&](std::vector<uint8_t>& b) { PutU32At(b, pairTable, 8 ^ KeyWord(0)); }},
      {"unterminated header string",
       [&](std::vector<uint8_t>& b) {
         KeyStreamReset();
         for (size_t p = 8; p + 28 < end; p += 2) {
           const uint16_t unit = uint16_t(u'x' ^ (KeyStreamNext() & 0xFFFF));
           b[p] = uint8_t(unit);
           b[p + 1] = uint8_t(unit >> 8);
         }
       }},
  };
  TTempDir dir;
  for (const auto& [name, mutate] : cases) {
    auto bytes = good;
    mutate(bytes);
    EXPECT_EQ(ErrorOfLoading(dir.Write("bad.kdb", bytes)), "SCorruptFile") << name;
  }
}

TEST(BinaryDictionary, MissingFileRaisesSystemError) {
  TTempDir dir;
  TBinaryDictionary dictionary;
  try {
    dictionary.LoadFromFile(dir.Path("absent.kdb"));
    FAIL();
  } catch (const ESystemError& e) {
    EXPECT_NE(std::string(e.what()).find("absent.kdb"), std::string::npos);
  }
}

// The key words are part of the file format: this file, written once and
// committed, must read the same forever, and the writer must still produce it.
TEST(BinaryDictionary, PinnedFixtureStaysReadable) {
  const std::string path = std::string(KODRA_TEST_DATA) + "/pinned.kdb";
  const auto expected = TKdbBuilder::Build(SampleContent());
  if (std::getenv("KODRA_WRITE_FIXTURES")) {
    TTempDir dir;
    std::filesystem::copy_file(dir.Write("pinned.kdb", expected), path,
                               std::filesystem::copy_options::overwrite_existing);
  }
  EXPECT_EQ(ReadBytes(path), expected);
  TBinaryDictionary dictionary;
  dictionary.LoadFromFile(path);
  EXPECT_EQ(std::u16string_view(dictionary.Caption()), u"Sample");
  EXPECT_EQ(std::u16string_view(dictionary.GetExplanation(0)), u"alii\u00A0sim.");
  EXPECT_EQ(std::u16string_view(dictionary.GetKeyword(1)), u"λόγος");
  EXPECT_EQ(std::u16string_view(dictionary.GetArticle(1)), u"~ λόγος");
}

// The file is mapped, not copied: a compile that replaces it (a new file
// renamed over the old one) leaves the loaded dictionary as it was.
TEST(BinaryDictionary, ReplacingTheFileLeavesTheLoadedDictionary) {
  TTempDir dir;
  const std::u16string units = u"abcdefghijklmnopqrstuvwxyz ";
  auto compile = [&](const std::u16string& body) {
    TKdbContent content;
    content.Kind = u"main";
    content.Articles = {{u"amo", CodeBody(body, units)}, {u"te", CodeBody(u"x", units)}};
    content.Chars = CharTableFor(units);
    const auto bytes = TKdbBuilder::Build(content);
    const std::string temporary = dir.Write("next.kdb", bytes);
    std::filesystem::rename(temporary, dir.Path("d.kdb"));
  };
  compile(u"first text");
  TBinaryDictionary loaded;
  loaded.LoadFromFile(dir.Path("d.kdb"));
  compile(u"second and longer text");
  EXPECT_EQ(std::u16string(loaded.GetArticle(0)), u"first text");
  EXPECT_EQ(std::u16string(loaded.GetKeyword(1)), u"te");
  TBinaryDictionary fresh;
  fresh.LoadFromFile(dir.Path("d.kdb"));
  EXPECT_EQ(std::u16string(fresh.GetArticle(0)), u"second and longer text");
}

// A file rewritten in place under a loaded dictionary (a copy over it, not a
// rename) gives whatever its new bytes say, but no read leaves the file.
TEST(BinaryDictionary, RewritingTheFileInPlaceReadsNothingOutsideIt) {
  TTempDir dir;
  const std::u16string units = u"abcdefghijklmnopqrstuvwxyz ";
  TKdbContent content;
  content.Kind = u"main";
  for (int i = 0; i < 200; ++i)
    content.Articles.push_back({u"k" + std::u16string(1, char16_t(u'a' + i % 26)) + std::u16string(1, char16_t(u'a' + i / 26)),
                                CodeBody(u"some text of the article", units)});
  content.Chars = CharTableFor(units);
  const std::string path = dir.Write("d.kdb", TKdbBuilder::Build(content));
  const auto size = std::filesystem::file_size(path);
  for (const uint8_t fill : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x5A)}) {
    SCOPED_TRACE(int(fill));
    TBinaryDictionary loaded;
    loaded.LoadFromFile(path);
    {
      // Everything after the header, the tables included, overwritten.
      std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
      file.seekp(64);
      const std::string bytes(size - 64, char(fill));
      file.write(bytes.data(), std::streamsize(bytes.size()));
    }
    for (int32_t i = 0; i < loaded.ArticleCount(); ++i) {
      std::u16string keyword;
      loaded.ReadKeyword(i, keyword);
      loaded.GetArticle(i);
      loaded.ForEachCode(i, [](uint32_t) {});
    }
    dir.Write("d.kdb", TKdbBuilder::Build(content));
  }
}

// Keywords are unscrambled when first read. One that runs into the next
// record (a damaged file) is cut there with an empty body; its neighbours
// read as they are.
TEST(BinaryDictionary, KeywordRunningIntoTheNextRecordIsCut) {
  const std::u16string units = u"abcdefghijklmnopqrstuvwxyz ";
  TKdbContent content;
  content.Kind = u"main";
  content.Articles = {{u"amo", CodeBody(u"amo text", units)}, {u"te", CodeBody(u"te text", units)}};
  content.Chars = CharTableFor(units);
  auto bytes = TKdbBuilder::Build(content);
  const size_t end = bytes.size();
  const uint32_t articleTable = GetU32At(bytes, end - 20) ^ kKdbTrailerMask;
  const uint32_t record = GetU32At(bytes, articleTable) ^ KeyWord(0);
  // The terminator after «amo» becomes an «x», and so does every byte of its body.
  const uint32_t next = GetU32At(bytes, articleTable + 4) ^ KeyWord(1);
  for (uint32_t position = record + 6, k = 3; position + 2 <= next; position += 2, ++k) {
    const uint16_t unit = uint16_t(u'x' ^ KeyWord(int(k)));
    bytes[position] = uint8_t(unit);
    bytes[position + 1] = uint8_t(unit >> 8);
  }
  TTempDir dir;
  TBinaryDictionary dictionary;
  dictionary.LoadFromFile(dir.Write("cut.kdb", bytes));
  const std::u16string cut(dictionary.GetKeyword(0));
  EXPECT_EQ(cut, u"amo" + std::u16string((next - record - 6) / 2, u'x'));
  EXPECT_EQ(std::u16string(dictionary.GetArticle(0)), u"");
  EXPECT_EQ(std::u16string(dictionary.GetKeyword(1)), u"te");
  EXPECT_EQ(std::u16string(dictionary.GetArticle(1)), u"te text");
  std::u16string read;
  dictionary.ReadKeyword(0, read);
  EXPECT_EQ(read, cut);
}

// Keywords compared as the file stores them, from their first difference,
// order as their text does: letters first, then case and diacritics, with
// the ignorable low line skipped.
TEST(BinaryDictionary, ScrambledKeywordsCompareAsTheirText) {
  const std::vector<std::pair<std::u16string, std::u16string>> pairs = {
      {u"λόγος", u"λόγος"}, {u"λόγος", u"λόγου"}, {u"λογος", u"λόγος"}, {u"Λόγος", u"λόγος"},
      {u"λόγ", u"λόγος"},   {u"λόγος", u"λό_γος"}, {u"λό_γος", u"λόγοι"}, {u"_", u""},
      {u"ἄνθρωπος", u"ἀνθρώπου"}, {u"", u"α"}, {u"ωω", u"ω"},
  };
  const TKodraLanguage& greek = *FindLanguage("ancientgreek");
  const std::u16string units = u"abc";
  TKdbContent content;
  content.Kind = u"main";
  for (const auto& [a, b] : pairs) {
    content.Articles.emplace_back(a, CodeBody(u"a", units));
    content.Articles.emplace_back(b, CodeBody(u"b", units));
  }
  content.Chars = CharTableFor(units);
  TTempDir dir;
  TBinaryDictionary dictionary;
  dictionary.LoadFromFile(dir.Write("pairs.kdb", TKdbBuilder::Build(content)));
  auto sign = [](int r) { return (r > 0) - (r < 0); };
  for (size_t i = 0; i < pairs.size(); ++i) {
    const auto& [a, b] = pairs[i];
    const int expected = sign(greek.CompareKeywordText(a.c_str(), b.c_str()));
    EXPECT_EQ(sign(dictionary.CompareKeyword(int32_t(2 * i), TScrambledKeyword(b), greek)), expected)
        << "pair " << i;
    EXPECT_EQ(sign(dictionary.CompareKeyword(int32_t(2 * i + 1), TScrambledKeyword(a), greek)), -expected) << " pair " << i;
  }
  // In order as a whole only when every neighbour ascends: keywords sorted
  // by their text do, and no longer with two equal ones among them.
  EXPECT_FALSE(dictionary.KeywordsAscend(greek));
  std::vector<std::u16string> keywords = {u"ωω", u"λόγου", u"λογος", u"λόγος", u"α", u"λό_γοι", u"λόγ", u""};
  std::sort(keywords.begin(), keywords.end(),
            [&](const auto& a, const auto& b) { return greek.CompareKeywordText(a.c_str(), b.c_str()) < 0; });
  for (bool withEqual : {false, true}) {
    TKdbContent ordered;
    ordered.Kind = u"main";
    for (const auto& keyword : keywords) {
      ordered.Articles.emplace_back(keyword, CodeBody(u"a", units));
      if (withEqual && keyword == u"λόγος") ordered.Articles.emplace_back(u"λό_γος", CodeBody(u"b", units));
    }
    ordered.Chars = CharTableFor(units);
    dictionary.LoadFromFile(dir.Write("ordered.kdb", TKdbBuilder::Build(ordered)));
    EXPECT_EQ(dictionary.KeywordsAscend(greek), !withEqual);
  }
}
