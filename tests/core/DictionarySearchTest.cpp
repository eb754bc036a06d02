#include <gtest/gtest.h>

#include "DictionaryTestUtil.h"
#include "foundation/KezText.h"

#include <filesystem>
#include <random>
#include <tuple>

namespace {
const std::u16string kArticles = SourceHeader(u"Lexicon", u"main", u"latin") +
    u"<mark>\r\nv.=verbum\r\n</mark>\r\n"
    u"#a\r\n<h>a</h> amo\r\n"
    u"#b\r\namor\r\n"
    u"#c\r\nao\r\n"
    u"#d\r\n<n>1.</n> amo te\r\n"
    u"#e\r\namo <m>v.</m> te\r\n"
    u"#f\r\namo bene te\r\n"
    u"#g\r\n(a-mo)\r\n"
    u"#h\r\namo <c>nota</c> te\r\n"
    u"#i\r\nwa wb wc wd zz\r\n"
    u"#j\r\n~ amo, amo.\r\n";

struct TShownHit {
  std::u16string Keyword, Selected;
  bool operator==(const TShownHit&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TShownHit& hit) {
  return out << ToUtf8(hit.Keyword) << ":" << ToUtf8(hit.Selected);
}

// Every hit of the text, each with the part of the shown article that it selects.
std::vector<TShownHit> AllHits(TDictionary& d, std::u16string_view text, const TOptions& options) {
  TSearchResultList results;
  d.SearchAll(text, results);
  std::vector<TShownHit> hits;
  for (const auto& result : results) {
    for (const TSearchResultBase* hit = result.get(); hit; hit = hit->Next.get()) {
      d.SetCurrent(result->KeywordIndex);
      const std::u16string shown = ShownText(d, options);
      EXPECT_LE(size_t(hit->Position + hit->Length), shown.size());
      hits.push_back({std::u16string(d.GetKeywordText(result->KeywordIndex)),
                      shown.substr(size_t(hit->Position), size_t(hit->Length))});
    }
  }
  return hits;
}
}  // namespace

TEST(DictionarySearch, PatternsSelectWhatTheArticleShows) {
  TLanguageFolder folder;
  folder.Add("main", kArticles);
  TOptions options;
  options.FullTextSearch().SetMaxSearch(100);
  TDictionary d(FindLanguage("latin"), folder.Path(), &options);
  d.LoadDictionaries(true);
  const std::vector<TShownHit> amo = {{u"a", u"amo"}, {u"d", u"amo"}, {u"e", u"amo"}, {u"f", u"amo"},
                                      {u"g", u"a-mo"}, {u"h", u"amo"}, {u"j", u"amo"}, {u"j", u"amo"}};
  struct TCase {
    std::u16string text;
    std::vector<TShownHit> hits;
  } cases[] = {
      {u"amo", amo},
      {u"* amo", amo},
      {u"amo *", amo},
      {u"amo2", amo},
      {u"a?o", amo},
      {u"amo*", {{u"a", u"amo"}, {u"b", u"amor"}, {u"d", u"amo"}, {u"e", u"amo"}, {u"f", u"amo"},
                 {u"g", u"a-mo"}, {u"h", u"amo"}, {u"j", u"amo"}, {u"j", u"amo"}}},
      {u"*mo", amo},
      {u"*mo*", {{u"a", u"amo"}, {u"b", u"amor"}, {u"d", u"amo"}, {u"e", u"amo"}, {u"f", u"amo"},
                 {u"g", u"a-mo"}, {u"h", u"amo"}, {u"j", u"amo"}, {u"j", u"amo"}}},
      {u"&mo", {{u"a", u"mo"}, {u"b", u"mo"}, {u"d", u"mo"}, {u"e", u"mo"}, {u"f", u"mo"},
                {u"g", u"mo"}, {u"h", u"mo"}, {u"j", u"mo"}, {u"j", u"mo"}}},
      {u"amo te", {{u"d", u"amo te"}}},
      {u"amo * te", {{u"f", u"amo bene te"}}},
      {u"wa wb wc wd we", {{u"i", u"wa wb wc wd"}}},
      {u"j amo", {{u"j", u"j. amo"}}},  // "~" stands for the keyword when two words are sought
      {u"zzz", {}},
      {u"", {}},
      {u"12 ,.", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(AllHits(d, c.text, options), c.hits) << ToUtf8(c.text);
}

TEST(DictionarySearch, CommentsAreSearchedOnlyWhenAsked) {
  TLanguageFolder folder;
  folder.Add("main", kArticles);
  TOptions options;
  options.FullTextSearch().SetSearchInComment(true);
  TDictionary d(FindLanguage("latin"), folder.Path(), &options);
  d.LoadDictionaries(true);
  EXPECT_EQ(AllHits(d, u"nota te", options), (std::vector<TShownHit>{{u"h", u"nota te"}}));
  options.FullTextSearch().SetSearchInComment(false);
  EXPECT_EQ(AllHits(d, u"nota", options), (std::vector<TShownHit>{}));
}

TEST(DictionarySearch, ResultListKindsAndLimits) {
  TLanguageFolder folder;
  folder.Add("main", kArticles);
  TOptions options;
  TDictionary d(FindLanguage("latin"), folder.Path(), &options);
  d.LoadDictionaries(true);
  // Two hits in «j»: one item with a chain, or two items.
  options.FullTextSearch().SetShowKind(skFirst);
  TSearchResultList first;
  ASSERT_TRUE(d.SearchAll(u"amo", first));
  EXPECT_EQ(first.size(), 7u);
  ASSERT_NE(first.back()->Next, nullptr);
  EXPECT_EQ(first.back()->Context, u"j. amo, amo.");
  options.FullTextSearch().SetShowKind(skAll);
  TSearchResultList all;
  d.SearchAll(u"amo", all);
  EXPECT_EQ(all.size(), 8u);
  options.FullTextSearch().SetMaxSearch(1);
  TSearchResultList one;
  d.SearchAll(u"amo", one);
  EXPECT_EQ(one.size(), 1u);
  // From the current (last) keyword only its articles are searched.
  EXPECT_TRUE(d.StartSearch(u"amo", d.KeywordCount() - 1));
  EXPECT_EQ(d.CurrentIndex(), d.KeywordCount() - 1);
  EXPECT_TRUE(d.SearchNext());
  EXPECT_FALSE(d.SearchNext());
  EXPECT_FALSE(d.SearchActive());
  EXPECT_FALSE(d.StartSearch(u"amo", 100) && d.CurrentIndex() != d.KeywordCount() - 1);
}

TEST(DictionarySearch, DiacriticsAndChains) {
  TLanguageFolder folder;
  folder.Add("main", SourceHeader(u"Greek", u"main", u"ancientgreek") +
                         u"#\u1F04νθρωπος\r\nὁ ἄνθρωπος\r\n#λ\u1F79γος\r\nἀνθρωπος καὶ Ἄνθρωπος\r\n");
  folder.Add("forms", SourceHeader(u"Forms", u"form", u"ancientgreek") + u"#λ\u1F79γος\r\n<h>x</h> ἄνθρωπος\r\n");
  folder.Configure("main\r\nforms\r\n");
  TOptions options;
  TDictionary d(FindLanguage("ancientgreek"), folder.Path(), &options);
  d.LoadDictionaries(true);
  EXPECT_EQ(AllHits(d, u"!ἄνθρωπος", options),
            (std::vector<TShownHit>{{u"\u1F04νθρωπος", u"ἄνθρωπος"}, {u"λ\u1F79γος", u"ἄνθρωπος"}}));
  // Without "!" every accented form is found, also in the second article of a chain.
  EXPECT_EQ(AllHits(d, u"ανθρωπος", options),
            (std::vector<TShownHit>{{u"\u1F04νθρωπος", u"ἄνθρωπος"},
                                    {u"λ\u1F79γος", u"ἀνθρωπος"},
                                    {u"λ\u1F79γος", u"Ἄνθρωπος"},
                                    {u"λ\u1F79γος", u"ἄνθρωπος"}}));
}

// Words as readers type them: σ at the end, capitals and ligatures in Latin,
// accents as combining marks; and sequences that begin again after a false start.
TEST(DictionarySearch, ReadersSpellingsAndSequences) {
  TLanguageFolder folder, greekFolder;
  greekFolder.Add("main", SourceHeader(u"Greek", u"main", u"ancientgreek") +
                              u"#\u1F04νθρωπος\r\nὁ λόγος καὶ ΛΟΓΟΣ\r\n#λ\u1F79γος\r\nλόγοι\r\n");
  folder.Add("main", SourceHeader(u"Latin", u"main", u"latin") +
                         u"#a\r\nCæsar amo\r\n#b\r\ncaesar CAESAR\r\n#c\r\namo amo te\r\n#d\r\nte amo amo te\r\n"
                         u"#e\r\npœna\r\n");
  TOptions options;
  options.FullTextSearch().SetMaxSearch(100);
  options.FullTextSearch().SetShowKind(skAll);
  TDictionary latin(FindLanguage("latin"), folder.Path(), &options);
  latin.LoadDictionaries(true);
  struct TCase {
    std::u16string text;
    std::vector<TShownHit> hits;
  } latinCases[] = {
      {u"caesar", {{u"a", u"Cæsar"}, {u"b", u"caesar"}, {u"b", u"CAESAR"}}},
      {u"CÆSAR", {{u"a", u"Cæsar"}, {u"b", u"caesar"}, {u"b", u"CAESAR"}}},
      {u"cae*", {{u"a", u"Cæsar"}, {u"b", u"caesar"}, {u"b", u"CAESAR"}}},
      {u"*esar", {{u"a", u"Cæsar"}, {u"b", u"caesar"}, {u"b", u"CAESAR"}}},
      {u"&es", {{u"a", u"æs"}, {u"b", u"es"}, {u"b", u"ES"}}},
      {u"poena", {{u"e", u"pœna"}}},
      {u"!Cæsar", {{u"a", u"Cæsar"}}},  // "!" keeps capitals and ligatures
      {u"!caesar", {{u"b", u"caesar"}}},
      {u"Amo", {{u"a", u"amo"}, {u"c", u"amo"}, {u"c", u"amo"}, {u"d", u"amo"}, {u"d", u"amo"}}},
      {u"amo te", {{u"c", u"amo te"}, {u"d", u"amo te"}}},  // tried again from the second amo
      {u"amo amo te", {{u"c", u"amo amo te"}, {u"d", u"amo amo te"}}},
  };
  for (const auto& c : latinCases) EXPECT_EQ(AllHits(latin, c.text, options), c.hits) << ToUtf8(c.text);

  TDictionary greek(FindLanguage("ancientgreek"), greekFolder.Path(), &options);
  greek.LoadDictionaries(true);
  const std::vector<TShownHit> logos = {{u"\u1F04νθρωπος", u"λόγος"}, {u"\u1F04νθρωπος", u"ΛΟΓΟΣ"}};
  for (const char16_t* text : {u"λογοσ", u"ΛΟΓΟΣ", u"λογος", u"λο\u0301γοσ"})
    EXPECT_EQ(AllHits(greek, text, options), logos) << ToUtf8(text);
  EXPECT_EQ(AllHits(greek, u"λογ*", options),
            (std::vector<TShownHit>{logos[0], logos[1], {u"λ\u1F79γος", u"λόγοι"}}));
  EXPECT_EQ(AllHits(greek, u"!λόγοσ", options), (std::vector<TShownHit>{logos[0]}));
}

TEST(DictionarySearch, ParsingSearchText) {
  const TKodraLanguage& latin = *FindLanguage("latin");
  struct { std::u16string text; std::vector<std::pair<std::u16string, TDictionarySearchMode>> words; } cases[] = {
      {u"Amo", {{u"amo", smWord}}},
      {u"CÆSAR", {{u"caesar", smWord}}},  // ligatures are their two letters
      {u"amo*", {{u"amo", smPrefix}}},
      {u"*amo", {{u"amo", smSuffix}}},
      {u"*amo*", {{u"amo", smInfix}}},
      {u"?*amo", {{u"?amo", smSuffix}}},
      {u"amo*?", {{u"amo?", smPrefix}}},
      {u"&a*mo", {{u"amo", smFragment}}},
      {u"a*m?o", {{u"am?o", smWord}}},
      {u"* amo * * te *", {{u"amo", smWord}, {u"*", smAny}, {u"*", smAny}, {u"te", smWord}}},
      {u"a b c d e", {{u"a", smWord}, {u"b", smWord}, {u"c", smWord}, {u"d", smWord}}},
      {u"  1  \r ", {}},
  };
  for (const auto& c : cases) {
    const auto words = ParseSearchText(c.text, latin);
    std::vector<std::pair<std::u16string, TDictionarySearchMode>> got;
    for (const auto& w : words) got.emplace_back(w.Pattern, w.Mode);
    EXPECT_EQ(got, c.words) << ToUtf8(c.text);
  }
  EXPECT_TRUE(ParseSearchText(u"!&amo", latin)[0].KeepDiacritics);
  EXPECT_EQ(ParseSearchText(u"!CÆSAR", latin)[0].Pattern, u"CÆSAR");
  // Accents given as combining marks are composed first.
  EXPECT_EQ(ParseSearchText(u"!λο\u0301γος", *FindLanguage("ancientgreek"))[0].Pattern, u"λ\u1F79γοσ");
}

// The search by first letter finds exactly what the word-by-word scan finds.
TEST(DictionarySearch, LetterScanAgreesWithTheWordScan) {
  std::mt19937 random(99);
  const std::u16string pieces[] = {u"amo", u"Amo", u"amor", u"(a-mo)", u"ama", u"mo", u"b", u"ab", u"amo,",
                                   u"<m>amo</m>", u"<a>v. amo</a>", u"<c>amo te</c>", u"<e>amo</e>", u"<h>am</h>",
                                   u"~", u"<n>1</n>", u"-amo", u"ammo", u"a", u"Cæsar", u"caesar"};
  std::u16string source = SourceHeader(u"R", u"main", u"latin");
  for (int a = 0; a < 60; ++a) {
    source += u"#k" + std::u16string(1, char16_t(u'a' + a % 26)) + std::u16string(1, char16_t(u'a' + a / 26)) + u"\r\n";
    for (int w = 0, n = 1 + int(random() % 12); w < n; ++w) {
      source += pieces[random() % std::size(pieces)];
      source += random() % 5 ? u" " : u"\r\n";
    }
    source += u"\r\n";
  }
  TLanguageFolder folder;
  folder.Add("main", source);
  for (bool inComment : {false, true}) {
    TOptions options;
    options.FullTextSearch().SetMaxSearch(TOptionsFullTextSearch::MaxSearchLimit);
    options.FullTextSearch().SetSearchInComment(inComment);
    TDictionary d(FindLanguage("latin"), folder.Path(), &options);
    d.LoadDictionaries(true);
    for (const char16_t* pattern : {u"amo", u"am*", u"a", u"mo", u"amor*", u"!Amo", u"b*", u"caesar", u"cæs*"}) {
      auto hits = [&](bool letterScan) {
        d.SetLetterScan(letterScan);
        TSearchResultList results;
        d.SearchAll(pattern, results);
        std::vector<std::tuple<int32_t, int32_t, int32_t, std::u16string>> list;
        for (const auto& r : results) list.emplace_back(r->KeywordIndex, r->Position, r->Length, r->Context);
        return list;
      };
      const auto byLetter = hits(true);
      EXPECT_EQ(byLetter, hits(false)) << ToUtf8(pattern) << " " << inComment;
      EXPECT_FALSE(byLetter.empty()) << ToUtf8(pattern);
    }
  }
}

namespace {
// Every result of SearchAll with its chained hits, as (keyword index,
// position, length, context); a chained hit has no context.
using THitList = std::vector<std::tuple<int32_t, int32_t, int32_t, std::u16string>>;
THitList Results(TDictionary& d, std::u16string_view pattern) {
  TSearchResultList results;
  d.SearchAll(pattern, results);
  THitList list;
  for (const auto& r : results) {
    list.emplace_back(r->KeywordIndex, r->Position, r->Length, r->Context);
    for (const TSearchResultBase* hit = r->Next.get(); hit; hit = hit->Next.get())
      list.emplace_back(r->KeywordIndex, hit->Position, hit->Length, u"");
  }
  return list;
}

// The hits from a keyword on, one step at a time, as the window finds them.
THitList Steps(TDictionary& d, std::u16string_view pattern, int32_t from) {
  THitList list;
  for (bool hit = d.StartSearch(pattern, from); hit; hit = d.SearchNext())
    list.emplace_back(d.CurrentIndex(), d.SelectionStart(), d.SelectionLength(), d.SearchContext());
  return list;
}
}  // namespace

// The base dictionary's bodies are scanned from their records: a search
// unscrambles none of its keyword pages, whether it finds nothing or finds
// hits in articles alone at their keywords and in chains with another
// dictionary's, and it finds what the keyword-by-keyword walk finds.
TEST(DictionarySearch, RecordScanMakesNoKeywordPages) {
  const std::u16string bodies[] = {u"amo te", u"~ amo", u"nihil", u"<c>amo</c> bene", u"amor (~ amo) te"};
  std::u16string main = SourceHeader(u"Main", u"main", u"latin");
  for (int i = 0; i < 300; ++i) {
    const std::u16string keyword = u"k" + std::u16string(1, char16_t(u'a' + i / 26 % 26)) +
                                   std::u16string(1, char16_t(u'a' + i % 26));
    main += u"#" + keyword + u"\r\n" + bodies[i % std::size(bodies)] + u"\r\n";
  }
  TLanguageFolder folder;
  folder.Add("main", main);
  // Keywords of the main dictionary, which chain with its articles, and new ones.
  folder.Add("forms", SourceHeader(u"Forms", u"form", u"latin") +
                          u"#kab\r\namo\r\n#kcz\r\nte amo\r\n#kda\r\nnihil\r\n#kzz\r\n~ amo\r\n");
  folder.Configure("main\r\nforms\r\n");
  TOptions options;
  options.FullTextSearch().SetMaxSearch(TOptionsFullTextSearch::MaxSearchLimit);
  options.FullTextSearch().SetShowKind(skFirst);
  TDictionary d(FindLanguage("latin"), folder.Path(), &options);
  d.LoadDictionaries(true);
  ASSERT_EQ(d.DictionaryCount(), 2);
  const TBinaryDictionary& base = *d.GetDictionary(0);
  ASSERT_EQ(base.ArticleCount(), 300);
  ASSERT_EQ(base.KeywordPagesMade(), 0);

  const char16_t* const patterns[] = {u"zzz", u"amo", u"amo te", u"kba amo", u"kab amo", u"kzz amo", u"am*", u"&mo"};
  EXPECT_TRUE(Steps(d, u"zzz", 0).empty());
  std::vector<THitList> found, stepped;
  for (const char16_t* pattern : patterns) {
    found.push_back(Results(d, pattern));
    stepped.push_back(Steps(d, pattern, d.KeywordCount() / 2));
  }
  EXPECT_EQ(base.KeywordPagesMade(), 0);
  // "~" stands for the keyword of an article alone at it, of the main
  // dictionary's in a chain, and of the other dictionary's.
  for (size_t p : {3, 4, 5}) EXPECT_EQ(found[p].size(), 1u) << ToUtf8(patterns[p]);

  d.SetRecordScan(false);
  for (size_t p = 0; p < std::size(patterns); ++p) {
    EXPECT_EQ(Results(d, patterns[p]), found[p]) << ToUtf8(patterns[p]);
    EXPECT_EQ(Steps(d, patterns[p], d.KeywordCount() / 2), stepped[p]) << ToUtf8(patterns[p]);
  }
  EXPECT_GT(base.KeywordPagesMade(), 0);  // the walk makes them
}

// On real dictionaries, merged with form dictionaries whose keywords chain
// with the main one's, the scan from the records finds what the walk finds.
TEST(DictionarySearch, RecordScanAgreesWithTheWalkOnTheCorpora) {
  const std::filesystem::path corpora(KODRA_CORPORA);
  if (!std::filesystem::exists(corpora / "greek-russian-nt.kds") ||
      !std::filesystem::exists(corpora / "latin-doederlein.kds"))
    GTEST_SKIP() << "no corpus at " << corpora;
  struct TCase {
    const char* language;
    const char* source;
    std::u16string suffix;  // makes new keywords
    std::vector<std::u16string> patterns;
  } cases[] = {
      {"ancientgreek", "greek-russian-nt.kds", u"ζζ",
       {u"и", u"бог", u"быть", u"бо*", u"*ать", u"&ово", u"!Бог", u"от * к", u"λογος", u"ζζζζζ"}},
      {"latin", "latin-doederlein.kds", u"zz", {u"et", u"am*", u"*tas", u"&ss", u"in * est", u"Cic", u"qqqqq"}},
  };
  for (const TCase& c : cases) {
    TTempDir dir;
    TSourceDictionary main(FindLanguage(c.language));
    main.LoadFromFile((corpora / c.source).string());
    main.Compile(dir.Path("main.kdb"));
    // Every seventh keyword again, with a body that the patterns find, and a new keyword beside it.
    const std::string language = c.language;
    std::u16string made = SourceHeader(u"Made", u"form", std::u16string(language.begin(), language.end()));
    for (int32_t i = 0; i < main.ArticleCount(); i += 7) {
      const std::u16string keyword(main.Keyword(i));
      made += u"#" + keyword + u"\r\nи et ~ бог\r\n#" + keyword + c.suffix + u"\r\nam bo\r\n";
    }
    TSourceDictionary forms(FindLanguage(c.language));
    forms.LoadFromFile(dir.Write("made.kds", Utf16Bytes(made)));
    forms.Compile(dir.Path("made.kdb"));
    dir.Write("dictionaries.cfg", std::string("main\r\nmade\r\n"));
    TOptions options;
    options.FullTextSearch().SetMaxSearch(TOptionsFullTextSearch::MaxSearchLimit);
    TDictionary d(FindLanguage(c.language), dir.Root().string(), &options);
    d.LoadDictionaries(true);
    ASSERT_EQ(d.DictionaryCount(), 2);
    for (const auto& pattern : c.patterns) {
      for (TSearchResultShowKind kind : {skFirst, skAll}) {
        options.FullTextSearch().SetShowKind(kind);
        d.SetRecordScan(true);
        const THitList scanned = Results(d, pattern);
        const THitList steps = Steps(d, pattern, d.KeywordCount() / 3);
        d.SetRecordScan(false);
        EXPECT_EQ(scanned, Results(d, pattern)) << c.source << " " << ToUtf8(pattern);
        EXPECT_EQ(steps, Steps(d, pattern, d.KeywordCount() / 3)) << c.source << " " << ToUtf8(pattern);
      }
    }
  }
}
