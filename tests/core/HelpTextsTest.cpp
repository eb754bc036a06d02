// Pop-up help texts: the topic file format, the files of the interface
// language and the topics of the error messages.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestFiles.h"
#include "foundation/KezProgramFolder.h"
#include "viewer/help/uHelpTexts.h"

using namespace std::string_literals;

namespace {
std::string Folder(const TTempDir& dir) { return dir.Root().string() + kPathDelimiter; }

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}
}  // namespace

TEST(HelpTexts, TopicsAndTheirLines) {
  struct {
    const char* name;
    std::string text;
    THelpTexts expected;
  } cases[] = {
      {"LF lines", ".topic 1001\nFirst line.\nSecond line.\n.topic 1002\nOther.\n",
       {{1001, u"First line.\nSecond line."}, {1002, u"Other."}}},
      {"CR LF and lone CR", ".topic 1\r\nA\r\nB\r.topic 2\rC\r\n", {{1, u"A\nB"}, {2, u"C"}}},
      {"byte-order mark and lines before the first topic",
       "\xEF\xBB\xBFPop-up texts of the options.\n\n.topic 7\nSeven", {{7, u"Seven"}}},
      {"no topic at all", "just some text\nand more\n", {}},
      {"empty text", "", {}},
      {"first of two topics stays", ".topic 5\nfirst\n.topic 5\nsecond\n", {{5, u"first"}}},
      {"a topic without text leaves the number to a later one", ".topic 5\n\n   \n.topic 5\nlater\n",
       {{5, u"later"}}},
      {"empty lines at the ends dropped, inner runs become one",
       ".topic 3\n\n\nOne.\n\n\n\nTwo.\n\n", {{3, u"One.\n\nTwo."}}},
      {"blanks at line ends dropped, tabs and leading blanks inside kept",
       ".topic 3\n  indented \t \nkey\tvalue\n", {{3, u"  indented\nkey\tvalue"}}},
      {"topic lines: any case, blanks around, leading zeros",
       "  .TOPIC\t0042  \nforty-two\n.Topic 1\none\n", {{42, u"forty-two"}, {1, u"one"}}},
      {"a topic line without a number skips its lines",
       ".topic 1\none\n.topic IDH_X\nlost\n.topics 2\nlost too\n.topic\nlost\n.topic 3x\nlost\n.topic 3\nthree\n",
       {{1, u"one"}, {3, u"three"}}},
      {"numbers of ten digits are no topic numbers", ".topic 1234567890\nlost\n.topic 999999999\nbig\n",
       {{999999999, u"big"}}},
      {"controls and stray byte-order marks dropped, bad UTF-8 replaced",
       ".topic 9\nA\x01" "B\x7F\xEF\xBB\xBF" "C\xFF" "D\xC2\x85" "E\xED\xA0\x80" "F\0G\n"s,
       {{9, u"ABC\uFFFDDE\uFFFDFG"}}},
      {"text in UTF-8", ".topic 2001\nСлияние словаря с самим собой невозможно: λόγος.\n",
       {{2001, u"Слияние словаря с самим собой невозможно: λόγος."}}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseHelpTexts(c.text), c.expected) << c.name;
}

TEST(HelpTexts, InputIsReadUpToTheLimit) {
  const std::string text = ".topic 1\n" + std::string(kHelpTextsLimit, 'x') + "\n.topic 2\nbeyond\n";
  const THelpTexts texts = ParseHelpTexts(text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts.at(1).size(), kHelpTextsLimit - 9);

  TTempDir dir;
  const std::string path = dir.Write("popups.txt", std::string(".topic 1\nsmall\n"));
  THelpTexts loaded;
  ASSERT_TRUE(LoadHelpTexts(path, loaded));
  EXPECT_EQ(loaded, (THelpTexts{{1, u"small"}}));
  std::filesystem::resize_file(path, kHelpTextsLimit + 1);
  EXPECT_FALSE(LoadHelpTexts(path, loaded));
  EXPECT_TRUE(loaded.empty());
  EXPECT_FALSE(LoadHelpTexts(dir.Path("absent.txt"), loaded));
  EXPECT_FALSE(LoadHelpTexts(dir.Root().string(), loaded));  // a folder is no file
}

TEST(HelpTexts, TranslationFolderOfTheInterfaceLanguage) {
  struct { const char* localeName; const char* folder; } cases[] = {
      {"Russian", "ru"}, {"russian", "ru"}, {"RUSSIAN", "ru"},
      {"English", ""},   {"", ""},         {"Russ", ""}, {"Russian ", ""}, {"German", ""},
  };
  for (auto c : cases) EXPECT_EQ(HelpLanguageFolder(c.localeName), c.folder) << c.localeName;
}

TEST(HelpTexts, RussianFileWhenTranslatedElseEnglish) {
  TTempDir dir;
  const std::filesystem::path help = dir.Root() / "help";
  WriteFile(help / "popups.txt", ".topic 1\nEnglish\n");
  WriteFile(help / "ru" / "popups.txt", ".topic 1\nРусский\n");
  WriteFile(help / "status.html", "<html></html>");
  std::filesystem::create_directories(help / "ru" / "latin.html");  // a folder, not a page
  const std::string english = (help / "popups.txt").string();
  const std::string russian = (help / "ru" / "popups.txt").string();
  struct { const char* localeName; const char* name; std::string expected; } cases[] = {
      {"Russian", "popups.txt", russian},
      {"English", "popups.txt", english},
      {"", "popups.txt", english},
      {"Russian", "status.html", (help / "status.html").string()},  // not translated
      {"Russian", "latin.html", (help / "latin.html").string()},
      {"Russian", "absent.html", (help / "absent.html").string()},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LocalizedHelpFile(Folder(dir), c.localeName, c.name), c.expected) << c.localeName << " " << c.name;
}

TEST(HelpTexts, ErrorIdentifiersHaveTheirTopics) {
  struct { const char* identifier; int32_t topic; } cases[] = {
      {"SErrMerge", 2001},     {"SClipTooLong", 2003},      {"SAbsentFinalSectionTag", 2006},
      {"SCorruptFile", 2023},  {"scorruptfile", 2023},      {"SNoDicLoaded", 2024},
      {"SAbsentFinalTag", 2025}, {"SException", 2018},      {"SProcessing", 0},
      {"", 0},                 {"SCorruptFil", 0},          {"SCorruptFileX", 0},
  };
  for (auto c : cases) EXPECT_EQ(ErrorHelpTopic(c.identifier), c.topic) << c.identifier;
}
