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

TEST(Language, KeyboardLayoutLines) {
  using namespace std::string_literals;
  struct {
    const char* name;
    std::string text;
    char key;
    char16_t expected;
  } cases[] = {
      {"a letter", "a=3b1\r\n", 'a', u'α'},
      {"leading zeros", "a=00003B1", 'a', u'α'},
      {"text after the digits", "a=3b1 alpha", 'a', u'α'},
      {"the last line wins", "a=3b1\na=3b2\n", 'a', u'β'},
      {"zero: the key types nothing", "a=0", 'a', 0},
      {"beyond FFFF ignored, not wrapped", "a=100000061\nb=103B1", 'a', u'a'},
      {"five digits ignored", "b=103B1", 'b', u'b'},
      {"high surrogate ignored", "a=D83D", 'a', u'a'},
      {"low surrogate ignored", "a=DC00", 'a', u'a'},
      {"no digits ignored", "a=zz", 'a', u'a'},
      {"empty value ignored", "a=\nb=3b2", 'a', u'a'},
      {"the key's first byte counts", "abc=3b1", 'a', u'α'},
      {"a NUL ends the value", "a=3\0" "b1"s, 'a', u'\u0003'},
      {"space cannot be remapped", " =3b1", ' ', u' '},
      {"no key", "=3b1", '!', u'!'},
      {"DEL is no key", "\x7F=3b1", '~', u'~'},
      {"no lines", "", '~', u'~'},
  };
  for (const auto& c : cases) {
    TKeyboardLayout layout;
    layout.fill(0xFFFF);
    ParseKeyboardLayout(c.text, layout);
    EXPECT_EQ(layout[size_t(c.key - 0x20)], c.expected) << c.name;
    EXPECT_EQ(layout[0], u' ') << c.name;  // entry 0 tells a loaded layout
  }
}

TEST(Language, KeyboardLayoutFileBeyondTheLimitIsIgnored) {
  TTempDir home;
  std::filesystem::create_directory(home.Root() / "ancientgreek");
  const std::string path = home.Write("ancientgreek/keyboardlayout.tbl", std::string("a=3b1\r\n"));
  const std::string previous = ProgramFolder();
  SetProgramFolder(home.Root().string());
  std::filesystem::resize_file(path, kKeyboardLayoutFileLimit);
  EXPECT_EQ(TGreek().LayoutChar(u'a'), u'α');
  std::filesystem::resize_file(path, kKeyboardLayoutFileLimit + 1);
  EXPECT_EQ(TGreek().LayoutChar(u'a'), u'a');
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
