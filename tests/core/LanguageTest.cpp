#include <gtest/gtest.h>

#include "TestFiles.h"
#include "foundation/KezProgramFolder.h"
#include "language/uGreek.h"
#include "language/uLanguage.h"
#include "language/uLatin.h"

TEST(LanguageRegistry, FindsBuiltInLanguagesWithoutRegardToCase) {
  TKodraLanguage* greek = FindLanguage("AncientGreek");
  ASSERT_NE(greek, nullptr);
  EXPECT_EQ(greek->GetId(), "ancientgreek");
  EXPECT_EQ(greek->GetName(), "Ancient Greek");
  ASSERT_NE(FindLanguage("LATIN"), nullptr);
  EXPECT_EQ(FindLanguage("latin")->GetName(), "Latin");
  EXPECT_FALSE(LanguageExists("sanskrit"));
  RegisterLanguage(std::make_unique<TLatin>());  // a duplicate identifier is ignored
  EXPECT_EQ(FindLanguage("latin"), FindLanguage("Latin"));
}

TEST(Language, KeyValueLines) {
  using namespace std::string_literals;
  const std::string text = "a=61\r\n\r\nb=\nno equals here\nc=63\0d=64"s;
  std::string_view key, value;
  size_t cursor = 0;
  std::vector<std::pair<std::string, std::string>> lines;
  while (ReadKeyValueLine(text, cursor, key, value)) lines.emplace_back(key, value);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"a", "61"}, {"b", ""}, {"no equals here\nc", "63"}, {"\0d"s, "64"}};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(ReadHex("03b1"), 0x03B1u);
  EXPECT_EQ(ReadHex("1F00xyz"), 0x1F00u);
  EXPECT_EQ(ReadHex("zz"), 0u);
}

TEST(Language, UsKeyboardAndLayout) {
  TTempDir home;
  std::filesystem::create_directory(home.Root() / "ancientgreek");
  home.Write("ancientgreek/keyboardlayout.tbl", std::string("a=3b1\r\nA=391\r\n=41\r\nw=3c9 trailing\r\n"));
  const std::string previous = ProgramFolder();
  SetProgramFolder(home.Root().string());
  TGreek greek;  // a fresh object, so the layout is read from this folder
  EXPECT_EQ(greek.GetPath("main.kdb"), home.Path("ancientgreek/main.kdb"));
  EXPECT_EQ(greek.GetFontTablePath("Times"), home.Path("ancientgreek/Times.fnt"));
  struct { uint16_t key; TShiftState shift; char16_t expected; } cases[] = {
      {0x41, 0, u'α'},        {0x41, ssShift, u'Α'},  {0x57, 0, u'ω'},
      {0x41, ssCtrl, 0},      {0x41, ssAlt | ssShift, 0}, {0x42, 0, u'b'},  // identity where the file says nothing
      {0x31, ssShift, u'!'},  {0x32, ssShift, u'@'},  {0x62, 0, u'2'},
      {0xDE, ssShift, u'"'},  {0xC0, 0, u'`'},        {0x70, 0, 0},
  };
  for (auto c : cases) EXPECT_EQ(greek.KeyToChar(c.key, c.shift), c.expected) << std::hex << c.key;
  EXPECT_EQ(greek.LayoutChar(0x7F), 0);
  TLatin latin;  // no file: the identity
  EXPECT_EQ(latin.KeyToChar(0x41, 0), u'a');
  SetProgramFolder(previous);
}

TEST(Language, TextPredicates) {
  TGreek greek;
  EXPECT_TRUE(greek.IsKeywordText(u""));
  EXPECT_TRUE(greek.IsKeywordText(u"ἄνθρωπος_τις"));
  EXPECT_FALSE(greek.IsKeywordText(u"ἄνθρωπος τις"));
  EXPECT_FALSE(greek.IsKeywordText(u"ᾱ"));
  EXPECT_TRUE(greek.IsLanguageText(u"ᾱ (λ\u1F79γος), -."));
  EXPECT_FALSE(greek.IsLanguageText(u"λ\u03CCγος"));  // tonos letters are normalised first
  EXPECT_FALSE(greek.IsLanguageText(u"λόγος!"));
  std::u16string text = u"\u0374ά";
  greek.NormalizeText(text);
  EXPECT_EQ(text, u"\uF000\u1F71");
}
