#include <algorithm>
#include <chrono>
#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "DictionaryTestUtil.h"
#include "HostileFiles.h"
#include "KdbBuilder.h"
#include "RecordingWriter.h"
#include "dictionary/uKeywordOrderCache.h"
#include "dictionary/uMergePlaces.h"

namespace {
const std::u16string kMainLatin = SourceHeader(u"Main", u"main", u"latin") +
    u"<mark>\r\nv.=verbum\r\nm.=masculinum\r\n</mark>\r\n"
    u"#amo\r\n<h>amo</h> <m>v.</m> люблю\r\n#amor\r\n<h>amor</h> <m>m.</m> любовь\r\n#tu\r\nты\r\n";
const std::u16string kFormsLatin = SourceHeader(u"Forms", u"form", u"latin") +
    u"<mark>\r\nv.=verbum formae\r\nf.=forma\r\n</mark>\r\n"
    u"#amo\r\n<m>f.</m> 1 sg.\r\n#amas\r\n<m>f.</m> от amo\r\n#te\r\nот tu\r\n";

std::vector<std::u16string> Keywords(const TDictionary& d) {
  std::vector<std::u16string> words;
  for (int32_t i = 0; i < d.KeywordCount(); ++i) words.emplace_back(d.GetKeywordText(i));
  return words;
}
}  // namespace

TEST(Dictionary, MergesMainAndFormDictionaries) {
  TLanguageFolder folder;
  folder.Add("main", kMainLatin);
  folder.Add("forms", kFormsLatin);
  folder.Add("second", SourceHeader(u"Second", u"main", u"latin") + u"#zzz\r\nnever merged\r\n");
  folder.Configure("forms\r\nsecond\r\nmain\r\n");
  TDictionary d(FindLanguage("latin"), folder.Path());
  d.LoadDictionaries(true);
  ASSERT_EQ(d.DictionaryCount(), 3);
  // One item per keyword; the form-only keywords stand at their places; the second main adds nothing.
  EXPECT_EQ(Keywords(d), (std::vector<std::u16string>{u"amas", u"amo", u"amor", u"te", u"tu"}));
  // The main dictionary's abbreviations win.
  EXPECT_EQ(std::u16string_view(d.FindAbbreviation(u"v.")), u"verbum");
  EXPECT_EQ(std::u16string_view(d.FindAbbreviation(u"f.")), u"forma");
  EXPECT_EQ(d.FindAbbreviation(u"f"), nullptr);
  // «amo» shows the main article, a paragraph end, then the form dictionary's caption and article.
  EXPECT_TRUE(d.LocateKeyword(u"amo"));
  TRecordingWriter writer;
  d.RenderArticle(writer);
  EXPECT_EQ(writer.Log, "[cap]Main[/]|[h]amo[/] [m]v.[/] люблю||[cap]Forms[/]|[m]f.[/] 1 sg.|");
  EXPECT_EQ(folder.Configuration(), "forms\r\nsecond\r\nmain\r\n");  // nothing to rewrite
}

// The configuration gains "main" when it lacks it; a dictionary that cannot
// be read stays configured (it may be half-copied) and is reported, and the
// file is rewritten only when "main" had to be added.
TEST(Dictionary, ConfigurationKeepsWhatFailsToLoad) {
  struct TCase {
    const char* configuration;  // nullptr: no file
    const char* saved;          // nullptr: no file
    int dictionaries;
    std::vector<std::string> failed;
  } cases[] = {
      {nullptr, "main\r\n", 1, {}},
      {"", "main\r\n", 1, {}},
      {"forms\r\ncorrupt\r\n", "main\r\nforms\r\ncorrupt\r\n", 2, {"corrupt"}},
      {"main\nabsent\rforms", "main\nabsent\rforms", 2, {"absent"}},
      {"main\r\nFORMS\r\n", "main\r\nFORMS\r\n", 2, {}},  // file names found whatever their case
      {"main\r\n../main\r\n\r\n", "main\r\n../main\r\n\r\n", 1, {"../main"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.configuration ? c.configuration : "none");
    TLanguageFolder folder;
    folder.Add("main", kMainLatin);
    folder.Add("forms", kFormsLatin);
    folder.Dir().Write("corrupt.kdb", std::string("not a dictionary at all, not even 44 bytes long.."));
    if (c.configuration) folder.Configure(c.configuration);
    TDictionary d(FindLanguage("latin"), folder.Path());
    d.LoadDictionaries(true);
    EXPECT_EQ(d.DictionaryCount(), c.dictionaries);
    EXPECT_EQ(folder.Configuration(), c.saved);
    EXPECT_EQ(d.CurrentIndex(), 0);
    std::vector<std::string> failed;
    for (const auto& failure : d.LoadFailures()) {
      failed.push_back(failure.Name);
      EXPECT_FALSE(failure.Reason.empty());
    }
    EXPECT_EQ(failed, c.failed);
  }
  // A read-only set never writes the file, even to add "main".
  TLanguageFolder folder;
  folder.Add("main", kMainLatin);
  TDictionary d(FindLanguage("latin"), folder.Path());
  d.SetReadOnly(true);
  d.LoadDictionaries(true);
  EXPECT_EQ(d.DictionaryCount(), 1);
  EXPECT_FALSE(std::filesystem::exists(folder.Dir().Path("dictionaries.cfg")));
  // A corrupt main dictionary is reported with the file and the reason.
  folder.Dir().Write("main.kdb", std::string(100, 'x'));
  TDictionary corrupt(FindLanguage("latin"), folder.Path());
  corrupt.LoadDictionaries(true);
  ASSERT_EQ(corrupt.LoadFailures().size(), 1u);
  EXPECT_EQ(corrupt.LoadFailures()[0].FileName, folder.Dir().Path("main.kdb"));
  EXPECT_EQ(corrupt.LoadFailures()[0].Reason, "Corrupt or inappropriate dictionary file");
}

TEST(Dictionary, ConfigurationText) {
  EXPECT_EQ(ParseDictionaryConfiguration("main\r\n\r\nforms\rx\n\ny"),
            (std::vector<std::string>{"main", "forms", "x", "y"}));
  EXPECT_EQ(ParseDictionaryConfiguration(std::string(1000, '\n') + "a"), std::vector<std::string>{"a"});
  std::string many;
  for (int i = 0; i < 1000; ++i) many += "d" + std::to_string(i) + "\r\n";
  EXPECT_EQ(ParseDictionaryConfiguration(many).size(), kMaxConfiguredDictionaries);
}

// Without a main dictionary (gone, or of another kind) the others are read
// all the same, and the one missing is named without its path said twice.
TEST(Dictionary, WithoutAMainDictionaryTheOthersAreRead) {
  TLanguageFolder folder;
  folder.Add("main", SourceHeader(u"Not main", u"form", u"latin") + u"#amo\r\nx\r\n");
  TDictionary d(FindLanguage("latin"), folder.Path());
  d.LoadDictionaries(true);
  EXPECT_EQ(d.KeywordCount(), 1);
  EXPECT_EQ(d.CurrentIndex(), 0);
  TLanguageFolder gone;
  gone.Add("forms", kFormsLatin);
  std::ofstream(gone.Path() + "/dictionaries.cfg") << "main\r\nforms\r\n";
  TDictionary withoutMain(FindLanguage("latin"), gone.Path());
  withoutMain.LoadDictionaries(true);
  EXPECT_GT(withoutMain.KeywordCount(), 0);
  ASSERT_EQ(withoutMain.LoadFailures().size(), 1u);
  EXPECT_EQ(withoutMain.LoadFailures()[0].FileName, gone.Path() + "/main.kdb");
  EXPECT_EQ(withoutMain.LoadFailures()[0].Reason, "No such file or directory");
  TLanguageFolder empty;
  TDictionary none(FindLanguage("latin"), empty.Path());
  none.LoadDictionaries(true);
  EXPECT_EQ(none.DictionaryCount(), 0);
  EXPECT_EQ(none.CurrentIndex(), -1);
  EXPECT_EQ(none.GetEntry(0), nullptr);
  EXPECT_EQ(none.GetKeywordText(0), u"");
}

TEST(Dictionary, RendersEnumerationsWithATab) {
  TLanguageFolder folder;
  folder.Add("main", SourceHeader(u"L", u"main", u"latin") + u"#amo\r\n<n>1.</n> text ~ $F012\r\n");
  TDictionary d(FindLanguage("latin"), folder.Path());
  d.LoadDictionaries(true);
  d.SetCurrent(0);
  TRecordingWriter writer;
  d.RenderArticle(writer);
  EXPECT_EQ(writer.Log, "[cap]L[/]|[n1]1.[/]\\ttext {kw:amo} {sp:F012}|");
}

TEST(Dictionary, ReloadNames) {
  TLanguageFolder folder;
  folder.Add("main", kMainLatin);
  folder.Add("forms", kFormsLatin);
  folder.Configure("main\r\nforms\r\n");
  TDictionary d(FindLanguage("latin"), folder.Path());
  d.LoadDictionaries(true);
  EXPECT_EQ(d.KeywordCount(), 5);
  // The form dictionary is rebuilt with one more keyword and read again.
  folder.Add("forms", kFormsLatin + u"#amat\r\nот amo\r\n");
  d.AddReloadName(folder.Dir().Path("Forms.kds"));
  d.LoadDictionaries(false);
  EXPECT_EQ(d.KeywordCount(), 6);
  d.ClearReloadNames();
  folder.Configure("main\r\n");
  d.LoadDictionaries(false);
  EXPECT_EQ(d.KeywordCount(), 3);
}

namespace {
// Every item of the keyword list with its chain: keyword, dictionary, article.
std::vector<std::tuple<std::u16string, std::string, uint32_t>> Chains(const TDictionary& d) {
  std::vector<std::tuple<std::u16string, std::string, uint32_t>> chains;
  for (int32_t i = 0; i < d.KeywordCount(); ++i)
    for (const TKeywordEntry* e = d.GetEntry(i); e; e = e->Next)
      chains.emplace_back(e->Keyword, e->Dictionary->FileName(), e->ArticleIndex + (e == d.GetEntry(i) ? 0 : 1u << 31));
  return chains;
}
}  // namespace

// Merging dictionaries in keyword order in one pass, into the largest one
// read only where the merge reaches it, gives the keyword list and chains of
// the keyword-by-keyword merge: real dictionaries, and a form dictionary made
// from one of them (forms equal to its keywords, forms new), once smaller and
// once larger than the main one.
TEST(Dictionary, OrderedMergeAgreesWithTheKeywordByKeywordMerge) {
  const std::filesystem::path corpora(KODRA_CORPORA);
  if (!std::filesystem::exists(corpora / "greek-russian-nt.kds")) GTEST_SKIP() << "no corpus at " << corpora;
  TTempDir dir;
  TSourceDictionary main(FindLanguage("ancientgreek"));
  main.LoadFromFile((corpora / "greek-russian-nt.kds").string());
  main.Compile(dir.Path("main.kdb"));
  TSourceDictionary forms(FindLanguage("ancientgreek"));
  forms.LoadFromFile((corpora / "greek-forms.kds").string());
  forms.Compile(dir.Path("forms.kdb"));
  dir.Write("dictionaries.cfg", std::string("main\r\nforms\r\nmade\r\n"));
  for (int32_t step : {5, 1}) {
    std::u16string made = SourceHeader(u"Made", u"form", u"ancientgreek");
    for (int32_t i = 0; i < main.ArticleCount(); i += step) {
      const std::u16string keyword(main.Keyword(i));
      made += u"#" + keyword + u"\r\nsame\r\n#" + keyword + u"ν\r\nnew\r\n#" + keyword.substr(0, 2) + u"\r\nshort\r\n";
    }
    const std::string madeSource = dir.Write("made.kds", Utf16Bytes(made));
    TSourceDictionary generated(FindLanguage("ancientgreek"));
    generated.LoadFromFile(madeSource);
    generated.Compile(dir.Path("made.kdb"));
    EXPECT_EQ(generated.ArticleCount() > main.ArticleCount(), step == 1);
    // Keyword by keyword; in one pass; in one pass from the places remembered
    // by the pass before.
    std::vector<std::tuple<std::u16string, std::string, uint32_t>> lists[3];
    for (int way : {0, 1, 2}) {
      TDictionary d(FindLanguage("ancientgreek"), dir.Root().string());
      d.SetOrderedMerge(way > 0);
      d.SetOrderCacheFile(dir.Path("cache/keyword-order.cache"));
      d.SetRememberedPlacesFrom(0);
      d.LoadDictionaries(true);
      ASSERT_EQ(d.DictionaryCount(), 3);
      if (way == 2) {
        // The remembered layout spares reading any keyword of the set.
        for (int k = 0; k < d.DictionaryCount(); ++k) EXPECT_EQ(d.GetDictionary(k)->KeywordPagesMade(), 0) << k;
      }
      lists[way] = Chains(d);
    }
    EXPECT_GT(lists[0].size(), size_t(main.ArticleCount()));
    EXPECT_EQ(lists[0], lists[1]) << "every " << step << "th keyword";
    EXPECT_EQ(lists[0], lists[2]) << "every " << step << "th keyword, the places remembered";
    EXPECT_TRUE(std::filesystem::exists(dir.Path("cache/merge-places-ancientgreek.cache")));
  }
}

namespace {
// A Latin dictionary of the keywords, in the order given, each article "of <keyword>".
void WriteLatinKdb(const TTempDir& dir, const std::string& name, const std::u16string& kind,
                   const std::vector<std::u16string>& keywords) {
  const std::u16string units = u"abcdefghijklmnopqrstuvwxyz ";
  TKdbContent content;
  content.Kind = kind;
  content.Language = u"latin";
  for (const auto& keyword : keywords) content.Articles.emplace_back(keyword, CodeBody(u"of " + keyword, units));
  content.Chars = CharTableFor(units);
  dir.Write(name + ".kdb", TKdbBuilder::Build(content));
}
}  // namespace

// A large dictionary out of keyword order (no compiler writes one) is merged
// keyword by keyword: the list is the same as with the one-pass merge off.
TEST(Dictionary, LargeDictionaryOutOfOrderIsMergedKeywordByKeyword) {
  TTempDir dir;
  auto write = [&](const std::string& name, const std::u16string& kind, const std::vector<std::u16string>& keywords) {
    WriteLatinKdb(dir, name, kind, keywords);
  };
  write("main", u"main", {u"amo", u"puer", u"tu"});
  write("forms", u"form", {u"te", u"puerum", u"amo", u"amas", u"amat", u"tibi"});
  dir.Write("dictionaries.cfg", std::string("main\r\nforms\r\n"));
  std::vector<std::tuple<std::u16string, std::string, uint32_t>> lists[2];
  for (bool ordered : {false, true}) {
    TDictionary d(FindLanguage("latin"), dir.Root().string());
    d.SetOrderedMerge(ordered);
    d.LoadDictionaries(true);
    lists[ordered] = Chains(d);
    EXPECT_EQ(Keywords(d), (std::vector<std::u16string>{u"amas", u"amat", u"amo", u"puer", u"puerum", u"te", u"tibi", u"tu"}));
  }
  EXPECT_EQ(lists[0], lists[1]);
}

// A large dictionary's keyword order is checked once per state of its file:
// the verdict is remembered by the file's identity, a changed file is
// checked again, and a corrupt one is still refused with its message.
TEST(Dictionary, TheKeywordOrderIsCheckedOncePerStateOfTheFile) {
  TTempDir dir;
  auto write = [&](const std::string& name, const std::u16string& kind, const std::vector<std::u16string>& keywords) {
    WriteLatinKdb(dir, name, kind, keywords);
  };
  const std::string cache = dir.Path("cache/keyword-order.cache");
  auto verdicts = [&] {
    std::ifstream in(cache);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(17));
    return lines;
  };
  auto load = [&] {
    auto d = std::make_unique<TDictionary>(FindLanguage("latin"), dir.Root().string());
    d->SetOrderCacheFile(cache);
    d->LoadDictionaries(true);
    return d;
  };
  const std::vector<std::u16string> sorted{u"amas", u"amat", u"amo", u"puer", u"puerum", u"te", u"tibi", u"tu"};
  write("main", u"main", {u"amo", u"puer", u"tu"});
  write("forms", u"form", {u"amas", u"amat", u"amo", u"puerum", u"te", u"tibi"});
  dir.Write("dictionaries.cfg", std::string("main\r\nforms\r\n"));
  // Each file once: the main dictionary (which must ascend) and the forms.
  EXPECT_EQ(Keywords(*load()), sorted);
  EXPECT_EQ(verdicts(), (std::vector<std::string>{"1", "1"}));
  EXPECT_EQ(Keywords(*load()), sorted);
  EXPECT_EQ(verdicts(), (std::vector<std::string>{"1", "1"}));  // remembered, not checked again
  // Rewritten out of order in place: checked again, and merged keyword by keyword.
  write("forms", u"form", {u"te", u"puerum", u"amo", u"amas", u"amat", u"tibi"});
  EXPECT_EQ(Keywords(*load()), sorted);
  EXPECT_EQ(verdicts(), (std::vector<std::string>{"1", "1", "0"}));
  // A corrupt file is refused with its message, whatever was remembered.
  dir.Write("forms.kdb", std::string(64, 'x'));
  const auto d = load();
  ASSERT_EQ(d->LoadFailures().size(), 1u);
  EXPECT_NE(d->LoadFailures()[0].Reason.find("orrupt"), std::string::npos) << d->LoadFailures()[0].Reason;
  EXPECT_EQ(Keywords(*d), (std::vector<std::u16string>{u"amo", u"puer", u"tu"}));
  // A main dictionary whose keywords do not ascend (flipped bytes) is refused
  // as corrupt; the others are still read.
  write("main", u"main", {u"tu", u"amo", u"puer"});
  write("forms", u"form", {u"amas", u"amat", u"amo", u"puerum", u"te", u"tibi"});
  const auto flipped = load();
  ASSERT_EQ(flipped->LoadFailures().size(), 1u);
  EXPECT_EQ(flipped->LoadFailures()[0].Name, "main");
  EXPECT_EQ(flipped->LoadFailures()[0].Reason, "Corrupt or inappropriate dictionary file");
  EXPECT_EQ(Keywords(*flipped), (std::vector<std::u16string>{u"amas", u"amat", u"amo", u"puerum", u"te", u"tibi"}));
}

// The remembered layout of a set serves only that set: a member rewritten
// in place, or another member, gives the list of the files as they are.
TEST(Dictionary, TheMergeLayoutIsFoundAgainWhenTheSetChanges) {
  TTempDir dir;
  auto load = [&] {
    auto d = std::make_unique<TDictionary>(FindLanguage("latin"), dir.Root().string());
    d->SetOrderCacheFile(dir.Path("cache/keyword-order.cache"));
    d->SetRememberedPlacesFrom(0);
    d->LoadDictionaries(true);
    return d;
  };
  WriteLatinKdb(dir, "main", u"main", {u"amo", u"puer", u"tu"});
  WriteLatinKdb(dir, "forms", u"form", {u"amas", u"amat", u"amo", u"puerum", u"te", u"tibi"});
  dir.Write("dictionaries.cfg", std::string("main\r\nforms\r\n"));
  const std::vector<std::u16string> first{u"amas", u"amat", u"amo", u"puer", u"puerum", u"te", u"tibi", u"tu"};
  EXPECT_EQ(Keywords(*load()), first);
  EXPECT_EQ(Keywords(*load()), first);  // from the layout
  WriteLatinKdb(dir, "main", u"main", {u"amo", u"rosa"});
  EXPECT_EQ(Keywords(*load()), (std::vector<std::u16string>{u"amas", u"amat", u"amo", u"puerum", u"rosa", u"te", u"tibi"}));
  WriteLatinKdb(dir, "user", u"user", {u"aqua", u"tibi"});
  dir.Write("dictionaries.cfg", std::string("main\r\nforms\r\nuser\r\n"));
  EXPECT_EQ(Keywords(*load()),
            (std::vector<std::u16string>{u"amas", u"amat", u"amo", u"aqua", u"puerum", u"rosa", u"te", u"tibi"}));
}

// A dictionaries.cfg that is there but cannot be read is not an empty one:
// the set runs on the main dictionary, says which file and why, and writes
// nothing, at once whatever stands in the file's place.
TEST(Dictionary, UnreadableConfigurationIsKeptAndNamed) {
  namespace fs = std::filesystem;

  for (const THostileFile& c : kHostileFiles) {
    SCOPED_TRACE(c.Kind);
    if (!HostileFileApplies(c)) continue;
    TTempDir dir;
    WriteLatinKdb(dir, "main", u"main", {u"amo", u"puer"});
    WriteLatinKdb(dir, "forms", u"form", {u"amas"});
    const std::string configuration = dir.Path("dictionaries.cfg");
    c.Make(configuration);
    const auto status = fs::symlink_status(configuration);
    const auto started = std::chrono::steady_clock::now();
    TDictionary d(FindLanguage("latin"), dir.Root().string());
    d.SetOrderCacheFile(dir.Path("cache/keyword-order.cache"));
    d.LoadDictionaries(true);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    EXPECT_EQ(Keywords(d), (std::vector<std::u16string>{u"amo", u"puer"}));
    ASSERT_EQ(d.LoadFailures().size(), 1u);
    EXPECT_EQ(d.LoadFailures()[0].FileName, configuration);
    const char* reason = c.Unreadable ? "cannot be read" : "not a file";
    EXPECT_NE(d.LoadFailures()[0].Reason.find(reason), std::string::npos) << d.LoadFailures()[0].Reason;
    EXPECT_EQ(fs::symlink_status(configuration).type(), status.type());
    EXPECT_EQ(fs::symlink_status(configuration).permissions(), status.permissions());
  }
}

// A dictionary copied over in place (not renamed over) while it is loaded:
// reading what lay past the file's new end neither crashes nor reads
// outside the file, and the set names the file and reads it again.
TEST(Dictionary, ADictionaryCopiedOverInPlaceIsReadAgain) {
  TTempDir dir;
  std::vector<std::u16string> many;
  for (int i = 0; i < 2000; ++i)
    many.push_back(u"k" + std::u16string(1, char16_t(u'a' + i % 26)) + std::u16string(1, char16_t(u'a' + i / 26 % 26)) +
                   std::u16string(1, char16_t(u'a' + i / 676)));
  std::sort(many.begin(), many.end());
  WriteLatinKdb(dir, "main", u"main", many);
  dir.Write("dictionaries.cfg", std::string("main\r\n"));
  TDictionary d(FindLanguage("latin"), dir.Root().string());
  d.SetOrderCacheFile(dir.Path("cache/keyword-order.cache"));
  d.LoadDictionaries(true);
  ASSERT_EQ(d.KeywordCount(), 2000);
  EXPECT_TRUE(d.MarkChangedForReload().empty());
  WriteLatinKdb(dir, "main", u"main", {u"amo", u"puer"});  // shorter: its old pages are gone
  TBinaryDictionary& old = *d.GetDictionary(0);
  for (int32_t i = 0; i < old.ArticleCount(); ++i) {
    std::u16string keyword;
    old.ReadKeyword(i, keyword);
    old.GetArticle(i);
  }
  EXPECT_TRUE(old.ChangedOnDisk());
  EXPECT_EQ(d.MarkChangedForReload(), std::vector<std::string>{dir.Path("main.kdb")});
  d.LoadDictionaries(true);
  d.ClearReloadNames();
  EXPECT_EQ(Keywords(d), (std::vector<std::u16string>{u"amo", u"puer"}));
  EXPECT_TRUE(d.MarkChangedForReload().empty());
}

TEST(KeywordOrderCache, ReadsOnlyWellFormedLines) {
  const struct {
    std::string text;
    std::vector<std::pair<uint64_t, bool>> verdicts;
  } cases[] = {
      {"00000000000000ff 1\n0123456789abcdef 0\r\n", {{0xff, true}, {0x0123456789abcdefull, false}}},
      {"00000000000000ff 2\n0000000000000g00 1\nff 1\n00000000000000ff 1 \n", {}},
      {"00000000000000AB 1", {{0xab, true}}},  // the last line without its line end
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseKeywordOrderVerdicts(c.text), c.verdicts);
  }
}

// How the smaller dictionaries' articles stand in the large one is read
// back only for the same set of files, with every article of theirs in a
// chain and every chain's place possible.
TEST(MergePlaces, ReadsBackOnlyWhatFitsTheSet) {
  TTempDir dir;
  const std::string file = dir.Path("places.cache");
  // Member 0 has 2 articles, member 1 is the large one (9 keywords), member 2 has 3.
  const std::vector<uint32_t> counts{2, 0, 3};
  TMergeLayout written;
  written.AloneIndexes = {0, 5, 11};  // before base keyword 0, before 4, at the end
  written.JoinedArticles = {3};
  written.ChainStarts = {0, 1, 3, 4, 5};
  written.Articles = {1, 0, 2, 0, 1};
  written.Members = {0, 2, 2, 0, 2};
  WriteMergeLayout(file, 0xABCDu, written);
  TMergeLayout layout;
  EXPECT_TRUE(ReadMergeLayout(file, 0xABCDu, counts, 9, layout));
  EXPECT_EQ(layout.AloneIndexes, written.AloneIndexes);
  EXPECT_EQ(layout.JoinedArticles, written.JoinedArticles);
  EXPECT_EQ(layout.ChainStarts, written.ChainStarts);
  EXPECT_EQ(layout.Articles, written.Articles);
  EXPECT_EQ(layout.Members, written.Members);
  const struct {
    const char* name;
    uint64_t identity;
    std::vector<uint32_t> counts;
    uint32_t baseCount;
  } refused[] = {
      {"another set", 0xABCEu, counts, 9},
      {"another number of articles", 0xABCDu, {2, 0, 4}, 9},
      {"an article beyond its dictionary", 0xABCDu, {1, 0, 4}, 9},
      {"a dictionary beyond the set", 0xABCDu, {5}, 9},
      {"a place beyond the large dictionary", 0xABCDu, counts, 8},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(ReadMergeLayout(file, c.identity, c.counts, c.baseCount, layout));
    EXPECT_TRUE(layout.ChainStarts.empty() && layout.Articles.empty() && layout.Members.empty());
  }
  const struct {
    const char* name;
    void (*spoil)(TMergeLayout&);
  } bad[] = {
      {"lone chains out of order", [](TMergeLayout& l) { l.AloneIndexes = {5, 0, 11}; }},
      {"a joined article beyond the large dictionary", [](TMergeLayout& l) { l.JoinedArticles = {9}; }},
      {"an empty chain", [](TMergeLayout& l) { l.ChainStarts = {0, 1, 1, 4, 5}; }},
      {"an article in no chain", [](TMergeLayout& l) { l.ChainStarts = {0, 1, 3, 4, 4}; }},
  };
  for (const auto& c : bad) {
    SCOPED_TRACE(c.name);
    TMergeLayout wrong = written;
    c.spoil(wrong);
    WriteMergeLayout(file, 1, wrong);
    EXPECT_FALSE(ReadMergeLayout(file, 1, counts, 9, layout));
  }
  EXPECT_FALSE(ReadMergeLayout(dir.Path("none"), 1, counts, 9, layout));
}
