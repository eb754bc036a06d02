#include <gtest/gtest.h>

#include <vector>

#include "TablesFolder.h"
#include "foundation/KezText.h"
#include "language/uGreek.h"
#include "language/uImportFont.h"

using namespace std::literals;

namespace {

// One lookup and what it should find.
struct TExpectedKey {
  std::u16string Key;
  bool Found;
  char16_t Value = 0;
  bool Continues = false;
};

uint32_t LoadInto(TImportFont& font, std::string_view text) {
  return LoadFontTable(text, [&font](std::string_view codes, uint32_t value) { font.AddMapping(codes, value); });
}

std::string Describe(std::u16string_view key) {
  std::string out;
  for (char16_t unit : key) out += " " + std::to_string(unsigned(unit));
  return out;
}

}  // namespace

TEST(ImportFont, ParseHexStopsOnTheFirstOtherCharacter) {
  struct {
    std::string text;
    size_t from;
    uint32_t value;
    size_t cursor;
  } cases[] = {
      {"3b1=", 0, 0x3B1, 3},         {"x1Fz", 1, 0x1F, 3},       {"aBcDeF", 0, 0xABCDEF, 6},
      {"zz", 0, 0, 0},               {"", 0, 0, 0},             {"41", 2, 0, 2},
      {"FFFFFFFF1", 0, 0xFFFFFFF1, 9},  // 32 bits, wrapping
      {"0g", 0, 0, 1},                  // a zero digit still moves the cursor
  };
  for (const auto& c : cases) {
    size_t cursor = c.from;
    EXPECT_EQ(ParseHex(c.text, cursor), c.value) << c.text;
    EXPECT_EQ(cursor, c.cursor) << c.text;
  }
}

TEST(ImportFont, TableLines) {
  struct {
    const char* name;
    std::string text;
    uint32_t charset;
    bool hasTable;
    std::vector<TExpectedKey> keys;
  } cases[] = {
      {"only a character set", "#A1", 0xA1, false, {}},
      {"no character set line", "41=03B1", 0, true, {{u"A", true, u'α'}}},
      {"a character set and a mapping", "#02\r\n41=03B1\r\n", 2, true, {{u"A", true, u'α'}}},
      {"alternatives with a head",
       "41,42;43=03B1",
       0,
       true,
       {{u"AB", true, u'α'}, {u"C", true, u'α'}, {u"A", true, 0, true}, {u"B", false}, {u"ABC", false}}},
      {"1F stands for the semicolon", "1F=037E", 0, true, {{u";", true, u'\u037E'}, {u"\x1F", false}}},
      {"1F inside a sequence", "41,1F=037E", 0, true, {{u"A;", true, u'\u037E'}}},
      {"a code below 1F makes a comment", "10=0041", 0, false, {}},
      {"a line beginning with = is a comment", "=41=03B1\r\n42=03B2", 0, true,
       {{u"A", false}, {u"B", true, u'β'}}},
      {"no code in 1F-FF first: a comment", "alpha=03B1\r\nxy=03B1\r\n==03B1", 0, false, {}},
      {"the first definition wins", "41=03B1\r\n41=03B2", 0, true, {{u"A", true, u'α'}}},
      {"a head defined later gets its value and still leads on",
       "41,42=03B1\r\n41=03B2",
       0,
       true,
       {{u"A", true, u'β', true}, {u"AB", true, u'α'}}},
      {"seven codes: ignored with the alternatives after them",
       "41,42,43,44,45,46,47;43=03B1",
       0,
       true,
       {{u"C", false}, {u"A", false}, {u"ABCDEF", false}}},
      {"six codes are enough",
       "41,42,43,44,45,46=03B1",
       0,
       true,
       {{u"ABCDEF", true, u'α'}, {u"ABCDE", true, 0, true}}},
      {"alternatives before a long one count",
       "43;41,42,43,44,45,46,47;44=03B1",
       0,
       true,
       {{u"C", true, u'α'}, {u"D", false}}},
      {"an empty alternative at the end is ignored", "41;=03B1", 0, true, {{u"A", true, u'α'}}},
      {"a code above FF ends the codes before =", "41,100=03B1", 0, true, {{u"A", true, u'α'}}},
      {"a code list that ends without = is ignored", "41,10 =03B1\r\n41 =03B1", 0, false, {}},
      {"lower-case digits and text after the value", "6c=3bb lambda", 0, true, {{u"l", true, u'λ'}}},
      {"values that are no BMP character are ignored",
       "41=0\r\n42=10000\r\n43=D800\r\n44=DFFF\r\n45=3B5",
       0,
       true,
       {{u"A", false}, {u"B", false}, {u"C", false}, {u"D", false}, {u"E", true, u'ε'}}},
      {"only ignored values: no table", "41=0\r\n42=\r\n", 0, false, {}},
      {"any run of CR and LF ends a line", "\n\r41=03B1\r\r\n\n42=03B2", 0, true,
       {{u"A", true, u'α'}, {u"B", true, u'β'}}},
      {"a character set line after the first is a comment", "41=03B1\r\n#A1\r\n", 0, true, {{u"A", true, u'α'}}},
      {"empty text", "", 0, false, {}},
  };
  for (const auto& c : cases) {
    TImportFont font;
    EXPECT_EQ(LoadInto(font, c.text), c.charset) << c.name;
    EXPECT_EQ(font.HasTable(), c.hasTable) << c.name;
    for (const TExpectedKey& key : c.keys) {
      char16_t value = 0xFFFF;
      bool continues = !key.Continues;
      ASSERT_EQ(font.Lookup(key.Key, value, continues), key.Found) << c.name << ":" << Describe(key.Key);
      if (!key.Found) continue;
      EXPECT_EQ(value, key.Value) << c.name << ":" << Describe(key.Key);
      EXPECT_EQ(continues, key.Continues) << c.name << ":" << Describe(key.Key);
    }
  }
}

TEST(ImportFont, LookupWithoutATableGivesTheFirstUnit) {
  TImportFont font;
  char16_t value = 0;
  bool continues = true;
  EXPECT_TRUE(font.Lookup(u"ab", value, continues));
  EXPECT_EQ(value, u'a');
  EXPECT_FALSE(continues);
  EXPECT_TRUE(font.Lookup(u"", value, continues));
  EXPECT_EQ(value, 0);
}

TEST(ImportFont, KeysThatCannotBeInATable) {
  TImportFont font;
  font.AddMapping(std::string("A\0", 2) + ";B", 0x3B1);  // a NUL cannot be part of a key
  char16_t value = 0;
  bool continues = false;
  EXPECT_TRUE(font.Lookup(u"B", value, continues));
  for (std::u16string_view key : {u"A"sv, u"A\0"sv, u"B\0"sv, u"\u0142"sv, u"BBBBBBB"sv, u""sv})
    EXPECT_FALSE(font.Lookup(key, value, continues)) << Describe(key);
}

TEST(ImportFont, FileOfAFaceInTheLanguageFolder) {
  TTablesFolder folder;
  folder.Write("greekkeys.fnt", "#A1\r\n61=03B1\r\n");
  TGreek greek;
  std::vector<std::pair<std::string, uint32_t>> mappings;
  const TFontTableSink sink = [&](std::string_view codes, uint32_t value) { mappings.emplace_back(codes, value); };
  EXPECT_EQ(LoadFontTable(greek, "GreekKeys", sink), 0xA1u);  // the file name is lower case
  EXPECT_EQ(mappings, (std::vector<std::pair<std::string, uint32_t>>{{"a", 0x3B1}}));
  mappings.clear();
  for (const char* face : {"Times New Roman", "", "../ancientgreek/greekkeys", "x/greekkeys", "x\\greekkeys"})
    EXPECT_EQ(LoadFontTable(greek, face, sink), 0u) << face;
  EXPECT_EQ(LoadFontTableFile(greek.GetPath("missing.fnt"), sink), 0u);
  EXPECT_TRUE(mappings.empty());
}

TEST(ImportFont, LanguageKeepsTablesUntilDropped) {
  TTablesFolder folder;
  folder.Write("greekkeys.fnt", "61=03B1\r\n");
  TGreek greek;
  const TImportFont& font = greek.ImportFont("GreekKeys");
  EXPECT_EQ(&greek.ImportFont("GREEKKEYS"), &font);
  char16_t value = 0;
  bool continues = false;
  ASSERT_TRUE(font.Lookup(u"a", value, continues));
  EXPECT_EQ(value, u'α');

  folder.Write("greekkeys.fnt", "61=03B2\r\n");
  ASSERT_TRUE(greek.ImportFont("greekkeys").Lookup(u"a", value, continues));
  EXPECT_EQ(value, u'α');  // read once
  greek.DropFontTable("greekKeys");
  ASSERT_TRUE(greek.ImportFont("greekkeys").Lookup(u"a", value, continues));
  EXPECT_EQ(value, u'β');

  EXPECT_FALSE(greek.ImportFont("Times New Roman").HasTable());
  greek.DropFontTable("never used");  // nothing to drop
}
