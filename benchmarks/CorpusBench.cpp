// Benchmarks on real dictionaries: the largest Greek and Latin corpus files,
// compiled on the fly, and a synthetic dictionary of 200,000 articles made
// from the Greek ones.
//   kodra_benchmarks --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "dictionary/uDictionary.h"
#include "dictionary/uWorkloads.h"
#include "options/uOptions.h"
#include "render/KezDocumentSink.h"
#include "render/uRichEditWriter.h"
#include "source/uSourceDictionary.h"

namespace fs = std::filesystem;

namespace {
struct TCorpus {
  std::string Name;
  std::string LanguageId;
  std::string MainSource;   // .kds
  std::string FormSource;   // .kds or empty
  std::u16string Absent;    // a word that occurs nowhere
  std::u16string Common;    // a word that occurs often
  std::string Folder;       // compiled language folder
  uint64_t SourceBytes = 0;
  uint64_t CompiledBytes = 0;
};

fs::path gRoot;
std::vector<TCorpus> gCorpora;
TOptions gOptions;

void WriteUtf16(const std::string& path, const std::u16string& text) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(text.data()), std::streamsize(text.size() * 2));
}

// 200,000 articles: the Greek keywords with letter suffixes, the bodies of
// the Greek corpora cycled (whole lines, about 200 units each).
std::string MakeSynthetic(const std::string& corpora) {
  std::vector<std::u16string> keywords, bodies;
  for (const char* file : {"lsj-partial.kds", "greek-russian-nt.kds"}) {
    TSourceDictionary source(FindLanguage("ancientgreek"));
    source.LoadFromFile(corpora + "/" + file);
    for (int32_t i = 0; i < source.ArticleCount(); ++i) {
      keywords.emplace_back(source.Keyword(i));
      const std::u16string_view text = source.ArticleText(i);
      size_t end = 0;
      while (end < text.size() && end < 200) {
        const size_t next = text.find(u"\r\n", end);
        end = next == std::u16string_view::npos ? text.size() : next + 2;
      }
      bodies.emplace_back(text.substr(0, end));
    }
  }
  std::u16string text =
      u"<header>\r\ncaption=Synthetic\r\ncomment=200000 articles\r\nkind=main\r\nlanguage=ancientgreek\r\n</header>\r\n";
  const std::u16string letters = u"αβγδεζηθικλμνξοπρστυφχψω";
  for (size_t i = 0; i < 200000; ++i) {
    std::u16string keyword = keywords[i % keywords.size()];
    for (size_t round = i / keywords.size(); round > 0; round /= letters.size())
      keyword += letters[round % letters.size()];
    text += u"#" + keyword + u"\r\n" + bodies[(i * 7919) % bodies.size()] + u"\r\n";
  }
  const std::string path = (gRoot / "synthetic.kds").string();
  WriteUtf16(path, text);
  return path;
}

void Compile(const std::string& source, const std::string& target) {
  TSourceDictionary dictionary(FindLanguage("ancientgreek"));
  dictionary.LoadFromFile(source);
  dictionary.Compile(target);
}

void Prepare(const std::string& corpora) {
  char pattern[] = "/tmp/kodra-bench-XXXXXX";
  gRoot = mkdtemp(pattern);
  gOptions.FullTextSearch().SetMaxSearch(TOptionsFullTextSearch::MaxSearchLimit);
  gCorpora = {
      {"greek-lsj", "ancientgreek", corpora + "/lsj-partial.kds", corpora + "/greek-forms.kds", u"ζζζζζ", u"καί", {}, 0, 0},
      {"latin", "latin", corpora + "/latin-doederlein.kds", "", u"qqqqq", u"et", {}, 0, 0},
      {"synthetic-200k", "ancientgreek", MakeSynthetic(corpora), corpora + "/greek-forms.kds", u"ζζζζζ", u"καί", {}, 0, 0},
  };
  for (auto& corpus : gCorpora) {
    corpus.Folder = (gRoot / corpus.Name).string();
    fs::create_directories(corpus.Folder);
    corpus.SourceBytes = fs::file_size(corpus.MainSource);
    Compile(corpus.MainSource, corpus.Folder + "/main.kdb");
    std::ofstream configuration(corpus.Folder + "/dictionaries.cfg", std::ios::binary);
    configuration << "main\r\n";
    if (!corpus.FormSource.empty()) {
      Compile(corpus.FormSource, corpus.Folder + "/forms.kdb");
      configuration << "forms\r\n";
    }
    for (const auto& entry : fs::directory_iterator(corpus.Folder))
      if (entry.path().extension() == ".kdb") corpus.CompiledBytes += entry.file_size();
  }
}

std::unique_ptr<TDictionary> Open(const TCorpus& corpus) {
  auto dictionary = std::make_unique<TDictionary>(FindLanguage(corpus.LanguageId), corpus.Folder, &gOptions);
  dictionary->LoadDictionaries(true);
  return dictionary;
}

void BM_Compile(benchmark::State& state, const TCorpus* corpus) {
  const std::string target = (gRoot / (corpus->Name + "-compiled.kdb")).string();
  int32_t articles = 0;
  for (auto _ : state) {
    TSourceDictionary dictionary(FindLanguage(corpus->LanguageId));
    dictionary.LoadFromFile(corpus->MainSource);
    dictionary.Compile(target);
    articles = dictionary.ArticleCount();
  }
  state.SetBytesProcessed(int64_t(state.iterations() * corpus->SourceBytes));
  state.counters["articles/s"] = benchmark::Counter(double(articles), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_LoadAndMerge(benchmark::State& state, const TCorpus* corpus) {
  for (auto _ : state) benchmark::DoNotOptimize(Open(*corpus));
  state.SetBytesProcessed(int64_t(state.iterations() * corpus->CompiledBytes));
  // Inverted rates of a value scaled by 1e-9 read as nanoseconds per byte.
  state.counters["ns/byte"] = benchmark::Counter(double(corpus->CompiledBytes) * 1e-9,
                                                 benchmark::Counter::kIsIterationInvariantRate |
                                                     benchmark::Counter::kInvert);
}

// Typing each sampled keyword letter by letter; asTyped: as readers type
// them (no accents or capitals, Latin j and u), so that lookup respells them.
void TypeSample(benchmark::State& state, const TCorpus* corpus, bool asTyped) {
  auto dictionary = Open(*corpus);
  auto words = SampleKeywords(*dictionary, 1000);
  if (asTyped) words = TypedAsReaders(*dictionary->Language(), words);
  uint64_t keystrokes = 0;
  for (auto _ : state) keystrokes += TypeWords(*dictionary, words);
  state.SetItemsProcessed(int64_t(keystrokes));
  state.counters["us/keystroke"] = benchmark::Counter(double(keystrokes) / double(state.iterations()) * 1e-6,
                                                      benchmark::Counter::kIsIterationInvariantRate |
                                                          benchmark::Counter::kInvert);
  state.counters["keywords"] = double(dictionary->KeywordCount());
}

void BM_Keystroke(benchmark::State& state, const TCorpus* corpus) { TypeSample(state, corpus, false); }
void BM_KeystrokeAsTyped(benchmark::State& state, const TCorpus* corpus) { TypeSample(state, corpus, true); }

void BM_RenderRtf(benchmark::State& state, const TCorpus* corpus) {
  auto dictionary = Open(*corpus);
  const auto indexes = SampleIndexes(*dictionary, 1000, 17);
  TKezDocumentSink sink;
  TRtfRichEditWriter writer(sink, dictionary->Language(), gOptions);
  for (auto _ : state) RenderKeywords(*dictionary, indexes, writer);
  state.SetItemsProcessed(int64_t(state.iterations() * indexes.size()));
}

void BM_DecodeOnly(benchmark::State& state, const TCorpus* corpus) {
  auto dictionary = Open(*corpus);
  uint64_t units = 0;
  for (auto _ : state) units += DecodeAllBodies(*dictionary);
  state.counters["units/s"] = benchmark::Counter(double(units), benchmark::Counter::kIsRate);
}

void BM_FullScan(benchmark::State& state, const TCorpus* corpus) {
  auto dictionary = Open(*corpus);
  const uint64_t units = DecodeAllBodies(*dictionary);
  for (auto _ : state)
    if (dictionary->StartSearch(corpus->Absent, 0)) state.SkipWithError("the absent word was found");
  state.counters["units/s"] = benchmark::Counter(double(units), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_SearchAll(benchmark::State& state, const TCorpus* corpus) {
  auto dictionary = Open(*corpus);
  size_t results = 0;
  for (auto _ : state) {
    TSearchResultList list;
    dictionary->SearchAll(corpus->Common, list);
    results = list.size();
  }
  state.counters["results"] = double(results);
}

// The process's anonymous memory in bytes (0 where /proc does not tell).
double AnonymousBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("RssAnon:", 0) == 0) return std::stod(line.substr(8)) * 1024;
  return 0;
}

// The first search after the set is opened, as a reader meets it: nothing is
// left from an earlier pass. Each run opens the set afresh outside the
// timing; "anon" is the most anonymous memory a search added.
void SearchFirst(benchmark::State& state, const TCorpus* corpus, bool all) {
  size_t results = 0;
  double anon = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto dictionary = Open(*corpus);
#if defined(__GLIBC__)
    malloc_trim(0);  // what earlier runs freed would hide what this one takes
#endif
    const double before = AnonymousBytes();
    state.ResumeTiming();
    if (all) {
      TSearchResultList list;
      dictionary->SearchAll(corpus->Common, list);
      results = list.size();
    } else if (dictionary->StartSearch(corpus->Absent, 0)) {
      state.SkipWithError("the absent word was found");
    }
    state.PauseTiming();
    anon = std::max(anon, AnonymousBytes() - before);
    dictionary.reset();
    state.ResumeTiming();
  }
  if (all) state.counters["results"] = double(results);
  state.counters["anon"] = benchmark::Counter(anon, benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
}

void BM_FullScanFirst(benchmark::State& state, const TCorpus* corpus) { SearchFirst(state, corpus, false); }
void BM_SearchAllFirst(benchmark::State& state, const TCorpus* corpus) { SearchFirst(state, corpus, true); }
// The synthetic dictionaries of scripts/make_synthetic.py (a million forms in
// random order; a main dictionary of about 200 MB), when they have been made.
struct TSynthetic {
  std::string Folder;            // where make_synthetic.py wrote them
  std::string FormsRandom, FormsOrdered;  // sources
  std::string Homes;             // program folders: lsj, lsj-forms, big
};
TSynthetic gSynthetic;
TCorpus gBig;  // the big main dictionary, for the searches

bool PrepareSynthetic(const std::string& folder) {
  if (!fs::exists(folder + "/forms-random.kds") || !fs::exists(folder + "/main-big.kds")) return false;
  gSynthetic.Folder = folder;
  gSynthetic.FormsRandom = folder + "/forms-random.kds";
  gSynthetic.FormsOrdered = (gRoot / "forms-ordered.kds").string();
  gSynthetic.Homes = (gRoot / "homes").string();
  // The same articles in keyword order: saving writes them so.
  TSourceDictionary forms(FindLanguage("ancientgreek"));
  forms.LoadFromFile(gSynthetic.FormsRandom);
  forms.SetFileName(gSynthetic.FormsOrdered);
  forms.SaveToFile();
  const std::string lsj = gCorpora[0].Folder + "/main.kdb";
  for (const char* home : {"lsj", "lsj-forms", "big"}) {
    const fs::path language = fs::path(gSynthetic.Homes) / home / "ancientgreek";
    fs::create_directories(language);
    std::ofstream configuration(language / "dictionaries.cfg", std::ios::binary);
    configuration << "main\r\n";
    if (std::string(home) == "big") {
      Compile(folder + "/main-big.kds", (language / "main.kdb").string());
      gBig = {"big", "ancientgreek", folder + "/main-big.kds", "", u"ζζζζζ", u"καί", language.string(), 0, 0};
      continue;
    }
    fs::copy_file(lsj, language / "main.kdb");
    if (std::string(home) == "lsj-forms") {
      forms.Compile((language / "forms.kdb").string());
      configuration << "forms\r\n";
    }
  }
  return true;
}

void BM_CompileForms(benchmark::State& state, bool ordered) {
  const std::string source = ordered ? gSynthetic.FormsOrdered : gSynthetic.FormsRandom;
  const std::string target = (gRoot / "forms-compiled.kdb").string();
  for (auto _ : state) {
    TSourceDictionary dictionary(FindLanguage("ancientgreek"));
    dictionary.LoadFromFile(source);
    dictionary.Verify();
    dictionary.Compile(target);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(source)));
}

// What a reader waits for at start: the set loaded and merged, the first
// word located and its article rendered.
void BM_StartAndLookup(benchmark::State& state, const char* home) {
  const std::string folder = (fs::path(gSynthetic.Homes) / home / "ancientgreek").string();
  TKezDocumentSink sink;
  for (auto _ : state) {
    TDictionary dictionary(FindLanguage("ancientgreek"), folder, &gOptions);
    dictionary.LoadDictionaries(true);
    dictionary.LocateKeyword(u"λογος");
    TRtfRichEditWriter writer(sink, dictionary.Language(), gOptions);
    writer.BeginDocument();
    dictionary.RenderArticle(writer);
    writer.EndDocument();
  }
}
}  // namespace

int main(int argc, char** argv) {
  const char* corpora = std::getenv("KODRA_CORPORA");
  const std::string folder = corpora ? corpora : KODRA_CORPORA;
  if (!fs::exists(folder + "/lsj-partial.kds")) {
    std::cerr << "kodra_benchmarks: no corpus folder at " << folder << " (set KODRA_CORPORA)\n";
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  Prepare(folder);
  for (const auto& corpus : gCorpora) {
    const TCorpus* c = &corpus;
    benchmark::RegisterBenchmark(("Compile/" + c->Name).c_str(), BM_Compile, c)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("LoadAndMerge/" + c->Name).c_str(), BM_LoadAndMerge, c)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Keystroke/" + c->Name).c_str(), BM_Keystroke, c)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("KeystrokeAsTyped/" + c->Name).c_str(), BM_KeystrokeAsTyped, c)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("RenderRtf1000/" + c->Name).c_str(), BM_RenderRtf, c)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("DecodeOnly/" + c->Name).c_str(), BM_DecodeOnly, c)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("FullScan/" + c->Name).c_str(), BM_FullScan, c)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("SearchAll/" + c->Name).c_str(), BM_SearchAll, c)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("FullScanFirst/" + c->Name).c_str(), BM_FullScanFirst, c)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("SearchAllFirst/" + c->Name).c_str(), BM_SearchAllFirst, c)
        ->Unit(benchmark::kMillisecond);
  }
  const char* synthetic = std::getenv("KODRA_SYNTHETIC");
  if (PrepareSynthetic(synthetic ? synthetic : KODRA_SYNTHETIC)) {
    benchmark::RegisterBenchmark("CompileForms/random", BM_CompileForms, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("CompileForms/ordered", BM_CompileForms, true)->Unit(benchmark::kMillisecond);
    for (const char* home : {"lsj", "lsj-forms", "big"})
      benchmark::RegisterBenchmark((std::string("StartAndLookup/") + home).c_str(), BM_StartAndLookup, home)
          ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FullScan/big", BM_FullScan, &gBig)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SearchAll/big", BM_SearchAll, &gBig)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FullScanFirst/big", BM_FullScanFirst, &gBig)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SearchAllFirst/big", BM_SearchAllFirst, &gBig)->Unit(benchmark::kMillisecond);
  } else {
    std::cerr << "kodra_benchmarks: no synthetic dictionaries (run scripts/make_synthetic.py)\n";
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(gRoot);
  return 0;
}
