// The dictionaries that the build compiles from data/, as a reader meets them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "dictionary/uDictionary.h"
#include "foundation/KezText.h"
#include "language/uLanguage.h"
#include "options/uOptions.h"
#include "render/uPlainTextWriter.h"

namespace fs = std::filesystem;

namespace {
const fs::path kPoliachev = fs::path(KODRA_CORPORA) / "raw" / "poliachev2002-ru-la.txt";

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The definition lines of a headword's entry in the raw Russian–Latin text:
// what follows the headword line up to the empty line, less examples,
// references and sense labels.
std::vector<std::string> DefinitionLines(const std::string& text, const std::string& headword) {
  std::vector<std::string> lines;
  const size_t at = text.find("\n\n" + headword + "\n");
  if (at == std::string::npos) return lines;
  std::istringstream entry(text.substr(at + headword.size() + 3, text.find("\n\n", at + 2) - at - headword.size() - 3));
  for (std::string line; std::getline(entry, line);) {
    const bool label = line.size() > 2 && std::isdigit(static_cast<unsigned char>(line[0])) && line[1] == '.';
    if (!line.empty() && line.rfind("+ ", 0) != 0 && line.rfind("см.", 0) != 0 && !label) lines.push_back(line);
  }
  return lines;
}

// The keywords a reader types for the Latin equivalents of a line: each
// equivalent (between ";") up to its first comma, without what stands in
// brackets and parentheses, the Russian words before it and the neologism
// star, words joined by "_".
std::vector<std::string> TypedEquivalents(const std::string& line) {
  std::vector<std::string> typed;
  std::string current;
  int depth = 0;
  bool afterComma = false;
  auto finish = [&] {
    std::istringstream words(current);
    std::string word, joined;
    while (words >> word) {
      if (joined.empty() && static_cast<unsigned char>(word[0]) >= 0x80) continue;  // Cyrillic
      joined += (joined.empty() ? "" : "_") + word;
    }
    if (!joined.empty()) typed.push_back(joined);
    current.clear();
    afterComma = false;
  };
  for (char c : line) {
    if (c == '(' || c == '[') ++depth;
    else if (c == ')' || c == ']') depth = std::max(0, depth - 1);
    else if (depth == 0 && c == ';') finish();
    else if (depth == 0 && c == ',') afterComma = true;
    else if (depth == 0 && !afterComma && c != '*') current += c;
  }
  finish();
  return typed;
}

// The plain text of the articles from the dictionary with that caption under
// the keyword the word lands on and under its case twins, as the reader
// sees them (liber, книга, then Liber, Вакх).
std::string ArticleFrom(TDictionary& set, const std::string& word, std::u16string_view caption) {
  const std::u16string typed = set.Language()->PrepareWord(FromUtf8(word));
  if (set.LocateKeyword(typed) == kmNone) return {};
  std::vector<const TKeywordEntry*> entries;
  for (const TKeywordEntry* entry = set.GetEntry(set.CurrentIndex()); entry; entry = entry->Next)
    entries.push_back(entry);
  for (const TLemmaArticle& twin : set.CaseTwinArticles(set.CurrentIndex())) entries.push_back(twin.Entry);
  std::string text;
  for (const TKeywordEntry* entry : entries) {
    if (std::u16string_view(entry->Dictionary->Caption()) != caption) continue;
    TPlainTextWriter writer(Options(), false);
    writer.BeginDocument();
    set.RenderEntry(*entry, writer);
    writer.EndDocument();
    text += writer.Text();
  }
  return text;
}
}  // namespace

TEST(BundledDictionaries, LatinEquivalentsLeadBackToTheirRussianWord) {
  if (!fs::exists(kPoliachev)) GTEST_SKIP() << "no raw Russian–Latin dictionary at " << kPoliachev;
  if (!std::getenv("KODRA_CLI")) GTEST_SKIP() << "run through ctest, which names kodra-cli beside the program folder";
  const fs::path latin = fs::path(std::getenv("KODRA_CLI")).parent_path() / "latin";
  TDictionary set(FindLanguage("latin"), latin.string());
  set.SetReadOnly(true);
  set.LoadDictionaries(true);
  ASSERT_TRUE(set.LoadFailures().empty());
  const std::u16string caption = u"Латинско-русский словарь по Поляшеву";
  const std::string raw = ReadText(kPoliachev);

  const std::pair<const char*, size_t> table[] = {
      {"аббат", 1}, {"абажур", 2}, {"август", 1}, {"адрес", 4}, {"вода", 5},  {"дом", 7},
      {"война", 4}, {"говорить", 17}, {"делать", 8}, {"слово", 7}, {"книга", 4}, {"брат", 1},
  };
  for (const auto& [russian, count] : table) {
    std::vector<std::string> equivalents;
    for (const std::string& line : DefinitionLines(raw, russian))
      for (const std::string& word : TypedEquivalents(line)) equivalents.push_back(word);
    EXPECT_EQ(equivalents.size(), count) << russian;
    for (const std::string& word : equivalents) {
      std::string article = ArticleFrom(set, word, caption);
      // An infinitive names its verb as the form dictionaries do, a line a verb: "fari inf. от for".
      const std::string own = article, reference = "inf. от ";
      for (size_t at = own.find(reference); at != std::string::npos; at = own.find(reference, at + 1)) {
        const size_t start = at + reference.size();
        article += ArticleFrom(set, own.substr(start, own.find_first_of(" ,;\n", start) - start), caption);
      }
      EXPECT_NE(article.find(russian), std::string::npos) << word << " does not lead back to " << russian << ":\n"
                                                         << article;
    }
  }
}

// The converted dictionaries are active beside the hand-written main one and
// add their articles under its own (a second dictionary of kind main would
// add nothing, or, being larger, take the main one's place).
TEST(BundledDictionaries, ConvertedDictionariesAddToTheMainOne) {
  if (!std::getenv("KODRA_CLI")) GTEST_SKIP() << "run through ctest, which names kodra-cli beside the program folder";
  const fs::path home = fs::path(std::getenv("KODRA_CLI")).parent_path();
  const struct {
    const char* Language;
    const char* Word;
    std::vector<std::u16string> Captions;
  } table[] = {
      {"latin", "amo", {u"Латинско-русский словарь Кодры", u"Латинско-русский словарь по Поляшеву"}},
      {"latin", "aqua", {u"Латинско-русский словарь Кодры", u"Латинско-русский словарь по Поляшеву"}},
      {"ancientgreek", "λόγος", {u"Греческо-русский словарь Кодры", u"Греческо-русский словарь Нового Завета"}},
      {"ancientgreek", "ἄνθρωπος", {u"Греческо-русский словарь Кодры", u"Греческо-русский словарь Нового Завета"}},
  };
  for (const auto& row : table) {
    TDictionary set(FindLanguage(row.Language), (home / row.Language).string());
    set.SetReadOnly(true);
    set.LoadDictionaries(true);
    EXPECT_TRUE(set.LoadFailures().empty()) << row.Language;
    ASSERT_EQ(set.LocateKeyword(set.Language()->PrepareWord(FromUtf8(row.Word))), kmExact) << row.Word;
    std::vector<std::u16string> captions;
    for (const TKeywordEntry* entry = set.GetEntry(set.CurrentIndex()); entry; entry = entry->Next)
      captions.emplace_back(entry->Dictionary->Caption());
    EXPECT_EQ(captions, row.Captions) << row.Word;
  }
}

// Typed in lowercase, a word that a name shares its letters with lands on the
// word, and the name's article follows; typed capitalised, the other way.
TEST(BundledDictionaries, TheWordTypedInLowercaseComesBeforeTheNameOfItsLetters) {
  if (!std::getenv("KODRA_CLI")) GTEST_SKIP() << "run through ctest, which names kodra-cli beside the program folder";
  TDictionary set(FindLanguage("latin"), (fs::path(std::getenv("KODRA_CLI")).parent_path() / "latin").string());
  set.SetReadOnly(true);
  set.LoadDictionaries(true);
  for (const std::u16string word : {u"liber", u"niger", u"tuus", u"comes"}) {
    std::u16string name = word;
    name[0] = char16_t(name[0] - 0x20);
    for (const auto& [typed, second] : {std::pair{word, name}, std::pair{name, word}}) {
      SCOPED_TRACE(ToUtf8(typed));
      ASSERT_EQ(set.LocateKeyword(typed), kmExact);
      EXPECT_EQ(set.GetKeywordText(set.CurrentIndex()), typed);
      std::vector<std::u16string> twins;
      for (const TLemmaArticle& twin : set.CaseTwinArticles(set.CurrentIndex())) twins.emplace_back(twin.Form);
      ASSERT_FALSE(twins.empty());
      EXPECT_EQ(twins.front(), second);
    }
  }
}

// A form article that names the case twin (cupido: "от Cupido") does not show
// the twin's articles a second time.
TEST(BundledDictionaries, ACaseTwinIsShownOnceThoughAFormNamesIt) {
  if (!std::getenv("KODRA_CLI")) GTEST_SKIP() << "run through ctest, which names kodra-cli beside the program folder";
  TDictionary set(FindLanguage("latin"), (fs::path(std::getenv("KODRA_CLI")).parent_path() / "latin").string());
  set.SetReadOnly(true);
  set.LoadDictionaries(true);
  for (const std::u16string word : {u"cupido", u"venus"}) {
    SCOPED_TRACE(ToUtf8(word));
    ASSERT_NE(set.LocateKeyword(word), kmNone);
    std::vector<const TKeywordEntry*> shown;
    for (const TLemmaArticle& twin : set.CaseTwinArticles(set.CurrentIndex())) shown.push_back(twin.Entry);
    ASSERT_FALSE(shown.empty());
    for (const TLemmaArticle& lemma : set.LemmaArticles(set.CurrentIndex()))
      EXPECT_EQ(std::find(shown.begin(), shown.end(), lemma.Entry), shown.end());
  }
}
