#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>

#include "HostileFiles.h"
#include "TablesFolder.h"
#include "TestFiles.h"
#include "MemoryRichEdit.h"
#include "foundation/KezText.h"
#include "language/uGreek.h"
#include "language/uLanguage.h"
#include "language/uTyping.h"

namespace {

// The US key that gives an ASCII character: virtual key and shift state.
std::pair<uint16_t, TShiftState> UsKey(char c) {
  if (c >= 'a' && c <= 'z') return {uint16_t(c - 'a' + 0x41), 0};
  if (c >= 'A' && c <= 'Z') return {uint16_t(c), ssShift};
  if (c >= '0' && c <= '9') return {uint16_t(c), 0};
  const std::string_view shiftedDigits = ")!@#$%^&*(";
  if (size_t at = shiftedDigits.find(c); at != std::string_view::npos) return {uint16_t(0x30 + at), ssShift};
  const std::string_view plain = ";=,-./`[\\]'", shifted = ":+<_>?~{|}\"";
  const uint16_t oem[] = {0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE};
  if (size_t at = plain.find(c); at != std::string_view::npos) return {oem[at], 0};
  if (size_t at = shifted.find(c); at != std::string_view::npos) return {oem[at], ssShift};
  return {0x20, 0};
}

// Presses the keys of an ASCII text into the edit the way a search box does.
void PressKeys(const TKodraLanguage& language, TKezAbstractRichEdit& edit, std::string_view keys) {
  for (char key : keys) {
    const auto [virtualKey, shift] = UsKey(key);
    const char16_t c = language.KeyToChar(virtualKey, shift);
    ASSERT_NE(c, 0) << key;
    language.TypeChar(edit, c);
  }
}

}  // namespace

TEST(Typing, ComposesThroughKeyboardLayoutAndInputMethod) {
  TTablesFolder folder;
  folder.Write("keyboardlayout.tbl", "a=3B1\r\n");
  folder.Write("inputmethod.tbl", "/\r\na=3B1\r\n=\r\na/=1F71\r\n");
  TGreek greek;
  TMemoryRichEdit edit;
  PressKeys(greek, edit, "a/");
  EXPECT_EQ(edit.Text(), u"\u1F71");
  EXPECT_EQ(edit.LastFragment, "{\\rtf1\\ansi\\ud\\uc1\\u8049?}");
  PressKeys(greek, edit, "/b");  // nothing before the caret composes with them
  EXPECT_EQ(edit.Text(), u"\u1F71/b");
}

TEST(Typing, TableLoading) {
  const std::string header = "/\\|\r\na=3B1\r\nb=3B2\r\nxy=99\r\n=\r\n";
  struct {
    const char* name;
    std::string table;
    std::u16string before;
    char16_t typed;
    std::u16string after;
  } cases[] = {
      {"a sequence", header + "a/=1F71\r\n", u"α", u'/', u"\u1F71"},
      {"a key of seven bytes is ignored", header + "aaaaaa/=1F71\r\n", u"αααααα", u'/', u"αααααα/"},
      {"six bytes are enough", header + "aaaaa/=1F71\r\n", u"αααααα", u'/', u"α\u1F71"},
      {"x stands for nothing", header + "x/=1F71\r\n", u"x", u'/', u"x/"},
      {"two-byte keys do not map bytes", header + "xy/=1F71\r\n", u"xy", u'/', u"xy/"},
      {"the first definition wins", header + "a/=1F71\r\na/=1F70\r\n", u"α", u'/', u"\u1F71"},
      {"a tail defined later gets its value", header + "ab/=1F00\r\nb/=1F01\r\n", u"β", u'/', u"\u1F01"},
      {"and still leads on", header + "ab/=1F00\r\nb/=1F01\r\n", u"αβ", u'/', u"\u1F00"},
      {"empty lines of the sequences are skipped", header + "=1F71\r\na|=\r\na/=1F71", u"α", u'/', u"\u1F71"},
      {"the end of the single characters is consumed", "/\r\na=3B1\r\n=\r\n=\r\na/=1F71\r\n", u"α", u'/',
       u"\u1F71"},
      {"a byte of the first line stands for itself", "/a\r\n=\r\na/=1F71\r\n", u"a", u'/', u"\u1F71"},
      {"without the first line's CR", "/\na=3B1\n=\na/=1F71", u"α", u'/', u"\u1F71"},
      {"an empty file", "", u"α", u'/', u"α/"},
  };
  for (const auto& c : cases) {
    TInputMethod method;
    method.Load(c.table);
    TMemoryRichEdit edit;
    edit.SetText(c.before);
    edit.SetSelection(edit.TextLength(), edit.TextLength());
    TypeChar(method, edit, c.typed);
    EXPECT_EQ(ToUtf8(edit.Text()), ToUtf8(c.after)) << c.name;
  }
}

TEST(Typing, LongestKeyWithAValueWins) {
  // "c", "bc" and "abc" compose; "d" and "bd" only lead on to "abd".
  TInputMethod method;
  method.Load("abcd\r\n=\r\nc=43\r\nbc=42\r\nabc=41\r\nabd=44\r\nxabd=58\r\n");
  struct {
    std::u16string before;
    char16_t typed;
    char16_t result;
    int32_t replaced;
  } cases[] = {
      {u"", u'c', u'C', 0},     {u"b", u'c', u'B', 1},     {u"ab", u'c', u'A', 2},
      {u"zab", u'c', u'A', 2},  {u"zb", u'c', u'B', 1},    {u"a", u'c', u'C', 0},
      {u"ab", u'd', u'D', 2},   {u"b", u'd', u'd', 0},    {u"xab", u'd', u'D', 2},  // no key "xabd": x is no key byte
      {u"", u'z', u'z', 0},
  };
  for (const auto& c : cases) {
    const TComposition composition = method.Compose(c.before, c.typed);
    EXPECT_EQ(composition.Result, c.result) << ToUtf8(c.before) << char(c.typed);
    EXPECT_EQ(composition.Replaced, c.replaced) << ToUtf8(c.before) << char(c.typed);
  }
  ASSERT_NE(method.Find(u"bd"), nullptr);
  EXPECT_EQ(method.Find(u"bd")->Value, 0);
  EXPECT_EQ(method.Find(u"bd")->Continues, 1);
  EXPECT_EQ(method.Find(u"ab"), nullptr);  // a head of a key is no key
  EXPECT_EQ(method.Find(u"xabd"), nullptr);
  EXPECT_EQ(method.Find(u"abcdefg"), nullptr);
}

TEST(Typing, ReplacesTheSelectionAndKeepsTheTextAfterTheCaret) {
  TInputMethod method;
  method.Load("/\r\na=3B1\r\n=\r\na/=1F71\r\n");
  TMemoryRichEdit edit;
  edit.SetText(u"xαyz!");
  edit.SetSelection(2, 4);  // "yz"
  TypeChar(method, edit, u'/');
  EXPECT_EQ(edit.Text(), u"x\u1F71!");
  EXPECT_EQ(edit.CaretPosition(), 2);
  // A refused insertion leaves the text as it was.
  edit.MaxLength = 3;
  TypeChar(method, edit, u'q');
  EXPECT_EQ(edit.Text(), u"x\u1F71!");
  EXPECT_EQ(edit.Beeps, 1);
}

TEST(Typing, MissingTableInsertsCharactersAsTheyAre) {
  TTablesFolder folder;
  TGreek greek;
  TMemoryRichEdit edit;
  PressKeys(greek, edit, "a)/");
  EXPECT_EQ(edit.Text(), u"a)/");
  EXPECT_EQ(greek.InputMethod().KeyCount(), 0);
}

TEST(Typing, BundledGreekTables) {
  TTablesFolder folder;
  folder.CopyBundled("keyboardlayout.tbl");
  folder.CopyBundled("inputmethod.tbl");
  TGreek greek;
  struct { const char* keys; std::u16string text; } cases[] = {
      {"a)/", u"\u1F04"},        {"a/)", u"\u1F04"},       {"logos", u"λογοσ"},
      {"logoj", u"λογος"},        {"lo/goj", u"λ\u1F79γος"}, {"v(=|", u"\u1FA7"},
      {"v|=(", u"\u1FA7"},        {"A(", u"\u1F09"},         {"H)|", u"\u1F98"},
      {"i+/", u"\u1FD3"},         {"i/+", u"\u1FD3"},        {"U+", u"\u03AB"},
      {"r(", u"\u1FE5"},          {"e=", u"ε="},             {"a) )", u"\u1F00 )"},
      {"qeo\\s", u"θε\u1F78σ"}, {"ka)ga/", u"κ\u1F00γ\u1F71"}, {"cyfvw", u"ξψφωω"},
      {"anqrwpos", u"ανθρωποσ"}, {"W(", u"\u1F69"},        {"J", u"Σ"},
  };
  for (const auto& c : cases) {
    TMemoryRichEdit edit;
    PressKeys(greek, edit, c.keys);
    EXPECT_EQ(ToUtf8(edit.Text()), ToUtf8(c.text)) << c.keys;
  }
}

// A FIFO, a folder or a device where the typing table belongs is no table:
// the first key is not kept waiting, and every key types itself.
// Whatever stands in a typing table's place, reading it returns at once with
// no table, and the language names the table and why, so that the reader
// can be told why typing composes nothing.
TEST(Typing, NoTableStandsInTheTablesPlace) {
  for (const THostileFile& kind : kHostileFiles) {
    if (!HostileFileApplies(kind)) continue;
    for (const char* name : {"inputmethod.tbl", "keyboardlayout.tbl"}) {
      SCOPED_TRACE(std::string(kind.Kind) + ": " + name);
      TTablesFolder tables;
      kind.Make(tables.Path(name));
      const auto started = std::chrono::steady_clock::now();
      TInputMethod method;
      method.LoadFromFile(tables.Path(name));
      EXPECT_EQ(method.KeyCount(), 0);
      const std::vector<std::string> unreadable = FindLanguage("ancientgreek")->UnreadableTypingTables();
      EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
      const std::string reason = kind.Unreadable ? " cannot be read: " : " is not a file";
      ASSERT_EQ(unreadable.size(), 1u);
      EXPECT_EQ(unreadable[0].rfind(tables.Path(name) + reason, 0), 0u) << unreadable[0];
    }
  }
  TTablesFolder none;  // missing tables are no fault: typing goes without them
  EXPECT_TRUE(FindLanguage("ancientgreek")->UnreadableTypingTables().empty());
}
