// The help as shipped: a page in English and in Russian for every topic the
// windows open, pop-up texts for every topic number of the options and of the
// error messages, and links that lead somewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "foundation/KezText.h"
#include "viewer/help/uHelpTexts.h"

namespace fs = std::filesystem;

namespace {
const fs::path kHelp = fs::path(KODRA_DATA).parent_path() / "help";

// The topics the windows open by name: the viewer's help actions, "About
// dictionary" (the language identifiers), the dictionaries manager, the
// options window, the editor and its windows, the character map.
const char* const kTopics[] = {
    "index",          "kodracommands",    "kodraentryfield",  "kodradicentry",  "status",
    "kodrakeywordlist", "ancientgreek",   "latin",            "dicmanager",     "options",
    "editor",         "editorcommands",   "editorentryfield", "editordicentry", "editorkeywordlist",
    "editorsearch",   "fonteditor",       "charmap",          "sourceformat",
};

// The pop-up topics of the options window's rows.
const int32_t kOptionTopics[] = {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012,
                                 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021, 1022, 1023, 1024,
                                 1027, 1030, 1031, 1032, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041,
                                 1042, 1043, 1044};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<int32_t> Topics(const THelpTexts& texts) {
  std::set<int32_t> topics;
  for (const auto& [topic, text] : texts) topics.insert(topic);
  return topics;
}

std::set<std::string> Pages(const fs::path& folder) {
  std::set<std::string> pages;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".html") pages.insert(entry.path().stem().string());
  return pages;
}
}  // namespace

TEST(HelpContent, EveryTopicHasItsPageInBothLanguages) {
  for (const char* topic : kTopics) {
    EXPECT_TRUE(fs::is_regular_file(kHelp / (std::string(topic) + ".html"))) << topic;
    EXPECT_TRUE(fs::is_regular_file(kHelp / "ru" / (std::string(topic) + ".html"))) << topic;
  }
  EXPECT_EQ(Pages(kHelp), Pages(kHelp / "ru"));
  EXPECT_EQ(Pages(kHelp).size(), std::size(kTopics));
}

TEST(HelpContent, PopupTextsCoverEveryTopicNumber) {
  std::set<int32_t> errors;
  for (int32_t topic = kFirstErrorTopic; topic <= kLastErrorTopic; ++topic) errors.insert(topic);
  const std::set<int32_t> options(std::begin(kOptionTopics), std::end(kOptionTopics));
  struct { fs::path file; const std::set<int32_t>& topics; } cases[] = {
      {kHelp / "popups.txt", options},
      {kHelp / "ru" / "popups.txt", options},
      {kHelp / "errors.txt", errors},
      {kHelp / "ru" / "errors.txt", errors},
  };
  for (const auto& c : cases) {
    THelpTexts texts;
    ASSERT_TRUE(LoadHelpTexts(c.file.string(), texts)) << c.file;
    EXPECT_EQ(Topics(texts), c.topics) << c.file;
    // Read as written: no character was lost to cleaning.
    for (const auto& [topic, text] : texts) EXPECT_EQ(text.find(u'\uFFFD'), std::u16string::npos) << topic;
  }
}

TEST(HelpContent, PagesAreUtf8WithTitleStylesheetAndLinksThatLead) {
  const std::regex link(R"re(href="([^"#]*)(#([^"]*))?")re");
  for (const fs::path& folder : {kHelp, kHelp / "ru"}) {
    const bool russian = folder != kHelp;
    for (const std::string& page : Pages(folder)) {
      const fs::path path = folder / (page + ".html");
      const std::string text = ReadText(path);
      EXPECT_EQ(ToUtf8(FromUtf8(text)), text) << path << " is not clean UTF-8";
      EXPECT_NE(text.find("<meta charset=\"utf-8\">"), std::string::npos) << path;
      EXPECT_NE(text.find("<title>"), std::string::npos) << path;
      EXPECT_NE(text.find(russian ? "href=\"../style.css\"" : "href=\"style.css\""), std::string::npos) << path;
      for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
        const std::string target = (*it)[1], anchor = (*it)[3];
        if (target.find(':') != std::string::npos) continue;  // a web address
        const fs::path file = target.empty() ? path : folder / target;
        ASSERT_TRUE(fs::is_regular_file(file)) << path << " links to " << target;
        if (!anchor.empty()) {
          EXPECT_NE(ReadText(file).find("id=\"" + anchor + "\""), std::string::npos)
              << path << " links to " << target << "#" << anchor;
        }
      }
    }
  }
}

// The help names the dictionary menu's items as the menu does, in each
// language: a reader looks for the words the help gives.
TEST(HelpContent, TheDictionaryMenusItemsAreNamedAsTheMenuNamesThem) {
  const std::string texts = ReadText(fs::path(KODRA_DATA).parent_path() / "locale" / "Russian.lng");
  const struct {
    const char* Key;
    const char* Page;
  } items[] = {{"MainDictionaryAncientGreekRussian", "ancientgreek"}, {"MainDictionaryLatinRussian", "latin"}};
  for (const auto& item : items) {
    const std::regex line("(^|\n)" + std::string(item.Key) + "=([^\r\n|]*)");
    std::smatch found;
    ASSERT_TRUE(std::regex_search(texts, found, line)) << item.Key;
    std::string caption = found[2];
    caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
    for (const char* page : {"index", "kodracommands", item.Page})
      EXPECT_NE(ReadText(kHelp / "ru" / (std::string(page) + ".html")).find(caption), std::string::npos)
          << caption << " in ru/" << page << ".html";
  }
  // Nor does it give the items another name.
  for (const char* page : {"index", "kodracommands", "ancientgreek", "latin"})
    for (const char* other : {"Древнегреческо-русский", "Латинско-русский"})
      EXPECT_EQ(ReadText(kHelp / "ru" / (std::string(page) + ".html")).find(other), std::string::npos)
          << other << " in ru/" << page << ".html";
}
