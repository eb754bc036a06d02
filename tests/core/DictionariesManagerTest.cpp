// The list of a language folder's compiled dictionaries with what
// dictionaries.cfg makes active, and the header reader it stands on.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "SourceTestUtil.h"
#include "dictionary/uBinaryDictionaryHeader.h"
#include "dictionary/uDictionariesManager.h"
#include "foundation/KezFiles.h"
#include "foundation/KezSystemError.h"

namespace fs = std::filesystem;

namespace {
// Compiles a one-article dictionary of the language and kind into the folder.
std::string Compiled(const TTempDir& dir, const std::string& name, const char16_t* language, const char16_t* kind) {
  TSourceFixture f;
  f.Load(std::u16string(u"<header>\r\ncaption=Caption of ") + std::u16string(name.begin(), name.end()) +
             u"\r\ncomment=Comment\r\nkind=" + kind + u"\r\nlanguage=" + language + u"\r\n</header>\r\n#amo\r\nlove\r\n",
         name + ".kds");
  const std::string target = dir.Path(name + ".kdb");
  f.Dictionary.Compile(target);
  return target;
}

std::string Configuration(const TTempDir& dir) {
  std::string text;
  ReadSmallFile(dir.Path("dictionaries.cfg"), 1 << 20, text);
  return text;
}
}  // namespace

TEST(DictionaryHeader, IsReadFromTheFirstBytesOnly) {
  TTempDir dir;
  const std::string good = Compiled(dir, "main", u"latin", u"main");
  TBinaryDictionaryHeader header;
  ASSERT_TRUE(ReadHeader(good, header));
  EXPECT_EQ(header.Caption, u"Caption of main");
  EXPECT_EQ(header.Comment, u"Comment");
  EXPECT_EQ(header.Kind, dkMain);
  ASSERT_NE(header.Language, nullptr);
  EXPECT_EQ(header.Language->GetId(), "latin");

  std::string bytes;
  ASSERT_TRUE(ReadSmallFile(good, 1 << 20, bytes));
  // The header's four strings end before the 8 + 2 * (16 + 8 + 5 + 6) byte.
  const size_t headerEnd = 8 + 2 * (std::u16string(u"Caption of main").size() + 1 + 8 + 5 + 6);
  auto variant = [&](const std::string& name, std::string content) {
    std::ofstream(dir.Path(name), std::ios::binary) << content;
    return dir.Path(name);
  };
  std::string version1 = bytes;
  version1[4] = 1;
  std::string signature = bytes;
  signature[0] ^= 0x55;
  const struct {
    const char* Name;
    std::string File;
    bool Read;
  } cases[] = {
      {"whole header only", variant("cut-after.kdb", bytes.substr(0, headerEnd)), true},
      {"cut inside the fourth string", variant("cut-in.kdb", bytes.substr(0, headerEnd - 2)), false},
      {"cut in the first string", variant("cut-first.kdb", bytes.substr(0, 12)), false},
      {"version 1", variant("v1.kdb", version1), false},
      {"wrong signature", variant("sig.kdb", signature), false},
      {"empty", variant("empty.kdb", ""), false},
      {"missing", dir.Path("none.kdb"), false},
  };
  for (const auto& c : cases) {
    TBinaryDictionaryHeader read;
    EXPECT_EQ(ReadHeader(c.File, read), c.Read) << c.Name;
  }
}

TEST(DictionariesList, TicksWhatTheConfigurationNamesAndWritesTheChoice) {
  TTempDir dir;
  Compiled(dir, "main", u"latin", u"main");
  Compiled(dir, "user", u"latin", u"user");
  Compiled(dir, "greek", u"ancientgreek", u"main");  // another language: not listed
  const TKodraLanguage* latin = FindLanguage("latin");
  {
    // No configuration: both listed unticked, and the list counts as changed.
    TDictionariesList list(latin, dir.Path(""));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.Modified());
    EXPECT_TRUE(list.CheckedNames().empty());
    list.Save();
    EXPECT_EQ(Configuration(dir), "");
  }
  std::ofstream(dir.Path("dictionaries.cfg"), std::ios::binary) << "Main.kdb\r\nuser\r\n";
  {
    TDictionariesList list(latin, dir.Path(""));
    EXPECT_FALSE(list.Modified());
    EXPECT_EQ(list.CheckedNames().size(), 2u);
    // Unticking main writes the configuration without it.
    for (int32_t i = 0; i < list.Count(); ++i)
      if (list.Item(i).Name == "main") list.Toggle(i);
    EXPECT_TRUE(list.Modified());
    list.Save();
    EXPECT_EQ(Configuration(dir), "user\r\n");
  }
  {
    // A configured dictionary that cannot be used now (gone, half copied, of
    // another language) stays configured, listed with why, and opening the
    // list changes nothing.
    std::ofstream(dir.Path("half.kdb"), std::ios::binary) << "KDB";
    std::ofstream(dir.Path("dictionaries.cfg"), std::ios::binary) << "user\r\ngone\r\nhalf\r\ngreek\r\n";
    TDictionariesList list(latin, dir.Path(""));
    EXPECT_FALSE(list.Modified());
    EXPECT_EQ(list.CheckedNames(), (std::vector<std::string>{"user", "gone", "half", "greek"}));
    const std::pair<const char*, const char*> problems[] = {
        {"main", ""},
        {"user", ""},
        {"gone", "the file is missing"},
        {"half", "the file cannot be read as a dictionary"},
        {"greek", "the file is a dictionary of another language"},
    };
    ASSERT_EQ(list.Count(), 5);
    for (const auto& [name, problem] : problems) {
      const auto& items = list.Items();
      const auto item = std::find_if(items.begin(), items.end(), [&](const auto& i) { return i.Name == name; });
      ASSERT_NE(item, items.end()) << name;
      EXPECT_EQ(item->Problem, problem) << name;
      EXPECT_EQ(item->Header.Checked, name != std::string("main")) << name;
    }
    // Unticking another dictionary writes the others back, the unusable ones too.
    for (int32_t i = 0; i < list.Count(); ++i)
      if (list.Item(i).Name == "user") list.Toggle(i);
    list.Save();
    EXPECT_EQ(Configuration(dir), "gone\r\nhalf\r\ngreek\r\n");
    fs::remove(dir.Path("half.kdb"));
  }
  // A configuration that cannot be read is no change of the list: it is
  // left as it is. Writing over a folder in its place fails and says so.
  fs::remove(dir.Path("dictionaries.cfg"));
  fs::create_directories(dir.Path("dictionaries.cfg/inside"));
  TDictionariesList list(latin, dir.Path(""));
  EXPECT_FALSE(list.Modified());
  EXPECT_TRUE(list.CheckedNames().empty());
  EXPECT_THROW(list.Save(), ESystemError);
  EXPECT_TRUE(fs::is_directory(dir.Path("dictionaries.cfg/inside")));
}
