// A source gives the same dictionary whatever the order of its articles:
// saved and compiled byte for byte as the same articles in keyword order.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "SourceTestUtil.h"

namespace {
struct TArticle {
  std::u16string Keyword, Text;  // the text with its line breaks
};

std::u16string SourceText(const std::vector<TArticle>& articles) {
  std::u16string text =
      u"<header>\r\ncaption=c\r\ncomment=c\r\nkind=main\r\nlanguage=ancientgreek\r\n</header>\r\n";
  for (const auto& a : articles) text += u"#" + a.Keyword + u"\r\n" + a.Text;
  return text;
}

// The articles of a real glossary (or a made-up list without it), with
// repeated keywords: some with other texts, some with the same, some
// spelled with a low line that the keyword order does not see.
std::vector<TArticle> Articles() {
  std::vector<TArticle> articles;
  const std::filesystem::path corpus = std::filesystem::path(KODRA_CORPORA) / "greek-russian-nt.kds";
  if (std::filesystem::exists(corpus)) {
    TSourceDictionary source(FindLanguage("ancientgreek"));
    source.LoadFromFile(corpus.string());
    for (int32_t i = 0; i < source.ArticleCount(); ++i)
      articles.push_back({std::u16string(source.Keyword(i)), std::u16string(source.ArticleText(i))});
  } else {
    const std::u16string letters = u"αβγδεζηθικλμνξοπρστυφχψω";
    for (int i = 0; i < 3000; ++i) {
      std::u16string keyword;
      for (int n = i * 7919 % 3001; n > 0 || keyword.empty(); n /= 24) keyword += letters[size_t(n % 24)];
      articles.push_back({keyword, u"text " + keyword + u"\r\n"});
    }
  }
  const size_t count = articles.size();
  for (size_t i = 0; i < count; i += 7) articles.push_back({articles[i].Keyword, u"again\r\n"});
  for (size_t i = 3; i < count; i += 11) articles.push_back(articles[i]);
  for (size_t i = 5; i < count; i += 13)
    articles.push_back({articles[i].Keyword.substr(0, 1) + u"_" + articles[i].Keyword.substr(1), u"low line\r\n"});
  return articles;
}
}  // namespace

TEST(SourceOrder, ShuffledArticlesMakeTheSameDictionary) {
  const TKodraLanguage& greek = *FindLanguage("ancientgreek");
  const std::vector<TArticle> articles = Articles();
  std::vector<TArticle> ordered = articles;
  std::stable_sort(ordered.begin(), ordered.end(), [&](const TArticle& a, const TArticle& b) {
    return greek.CompareKeywordText(a.Keyword.c_str(), b.Keyword.c_str()) < 0;
  });
  // Shuffled, but articles of one keyword keep their order among themselves,
  // which decides how they are joined.
  std::vector<TArticle> shuffled = articles;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(5));
  std::map<std::u16string, std::vector<std::u16string>> texts;  // by keyword without low lines, in order
  auto plain = [](std::u16string k) { std::erase(k, u'_'); return k; };
  for (const auto& a : articles) texts[plain(a.Keyword)].push_back(a.Keyword + u'\n' + a.Text);
  std::map<std::u16string, size_t> taken;
  for (auto& a : shuffled) {
    const std::u16string key = plain(a.Keyword);
    const std::u16string& next = texts[key][taken[key]++];
    const size_t split = next.find(u'\n');
    a = {next.substr(0, split), next.substr(split + 1)};
  }
  ASSERT_NE(SourceText(shuffled), SourceText(ordered));

  TTempDir dir;
  std::vector<std::vector<uint8_t>> saved, compiled;
  for (const auto* list : {&ordered, &shuffled}) {
    const std::string name = list == &ordered ? "ordered" : "shuffled";
    TSourceDictionary d(FindLanguage("ancientgreek"));
    d.LoadFromFile(dir.Write(name + ".kds", Utf16Bytes(SourceText(*list))));
    d.SetFileName(dir.Path(name + "-saved.kds"));
    d.SaveToFile();
    d.Compile(dir.Path(name + ".kdb"));
    saved.push_back(ReadBytes(dir.Path(name + "-saved.kds")));
    compiled.push_back(ReadBytes(dir.Path(name + ".kdb")));
  }
  EXPECT_EQ(saved[0], saved[1]);
  EXPECT_EQ(compiled[0], compiled[1]);
  // And the records are the ones adding the articles one at a time made:
  // every keyword once, in keyword order, the repeats joined in their order.
  TSourceDictionary d(FindLanguage("ancientgreek"));
  d.LoadFromFile(dir.Path("shuffled.kds"));
  for (int32_t i = 1; i < d.ArticleCount(); ++i)
    ASSERT_LT(greek.CompareKeywordText(std::u16string(d.Keyword(i - 1)).c_str(), std::u16string(d.Keyword(i)).c_str()), 0);
  EXPECT_EQ(d.ArticleCount(), int32_t(texts.size()));
  // The same as an editor adding the shuffled articles one at a time.
  TSourceDictionary edited(FindLanguage("ancientgreek"));
  for (const auto& a : shuffled) {
    std::u16string text = u"#" + a.Keyword + u"\r\n" + a.Text;
    edited.Part(spArticles).SetText(text.data(), text.size(), -1);
  }
  ASSERT_EQ(edited.ArticleCount(), d.ArticleCount());
  for (int32_t i = 0; i < d.ArticleCount(); ++i) {
    ASSERT_EQ(edited.Keyword(i), d.Keyword(i)) << i;
    ASSERT_EQ(edited.ArticleText(i), d.ArticleText(i)) << i;
  }
}

// Reading articles into a dictionary that already holds some (a second file
// merged in) joins equal keywords to the stored records, stored text first.
TEST(SourceOrder, MergedFileJoinsStoredRecords) {
  TTempDir dir;
  TSourceDictionary d(FindLanguage("latin"));
  d.LoadFromFile(dir.Write("a.kds", Utf16Bytes(u"#b\r\none\r\n#d\r\nfour\r\n")));
  d.MergeFromFile(dir.Write("b.kds", Utf16Bytes(u"#d\r\nfive\r\n#a\r\nzero\r\n#b\r\none\r\n#c\r\nthree\r\n")));
  ASSERT_EQ(d.ArticleCount(), 4);
  const std::u16string expected[][2] = {
      {u"a", u"zero\r\n"}, {u"b", u"one\r\n"}, {u"c", u"three\r\n"}, {u"d", u"four\r\n\r\n{{five\r\n}}\r\n"}};
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(d.Keyword(i), expected[i][0]);
    EXPECT_EQ(d.ArticleText(i), expected[i][1]);
  }
}
