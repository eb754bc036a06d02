// What a reader of real texts waits for on the bundled dictionaries: the
// start with the first lookup, with and without the form dictionaries, and
// a keystroke while typing the words of treebank texts as they stand.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <unistd.h>

#include "dictionary/uWorkloads.h"
#include "foundation/KezText.h"
#include "options/uOptions.h"
#include "render/KezDocumentSink.h"
#include "render/uRichEditWriter.h"

namespace fs = std::filesystem;

namespace {
struct TBundled {
  const char* Language;
  const char* Treebank;  // third_party/agldt/ table of its words
  const char16_t* First;  // the word looked up at start
};
const TBundled kBundled[] = {
    {"ancientgreek", "greek-forms.tsv", u"εἶπεν"},
    {"latin", "latin-forms.tsv", u"fuit"},
};

// A language folder holding the bundled dictionaries, all of them or all but
// the form dictionaries, configured in the shipped order.
std::string BundledFolder(const TBundled& bundled, bool withForms) {
  const fs::path shipped = fs::path(KODRA_BIN_DIR) / bundled.Language;
  const fs::path folder = fs::temp_directory_path() / ("kodra-bench-bundled-" + std::to_string(getpid())) /
                          (std::string(bundled.Language) + (withForms ? "" : "-noforms")) / bundled.Language;
  fs::create_directories(folder);
  std::ifstream configured(shipped / "dictionaries.cfg");
  std::ofstream cfg(folder / "dictionaries.cfg", std::ios::binary);
  for (std::string name; std::getline(configured, name);) {
    if (!name.empty() && name.back() == '\r') name.pop_back();
    if (name.empty() || (!withForms && name == "forms")) continue;
    fs::copy_file(shipped / (name + ".kdb"), folder / (name + ".kdb"), fs::copy_options::overwrite_existing);
    cfg << name << "\r\n";
  }
  return folder.string();
}

// The distinct words of the treebank's texts, commonest first.
std::vector<std::u16string> TreebankWords(const TBundled& bundled, size_t count) {
  std::ifstream table(fs::path(KODRA_SOURCE_DIR) / "third_party/agldt" / bundled.Treebank);
  std::map<std::string, long> counts;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    const size_t tab1 = line.find('\t'), tab3 = line.rfind('\t');
    if (tab1 == std::string::npos || tab3 == tab1) continue;
    counts[line.substr(0, tab1)] += std::atol(line.c_str() + tab3 + 1);
  }
  std::vector<std::pair<long, std::string>> byCount;
  for (const auto& [word, n] : counts) byCount.emplace_back(-n, word);
  std::sort(byCount.begin(), byCount.end());
  std::vector<std::u16string> words;
  for (size_t i = 0; i < byCount.size() && words.size() < count; ++i) words.push_back(FromUtf8(byCount[i].second));
  return words;
}

void BM_BundledStartAndLookup(benchmark::State& state, const TBundled* bundled, bool withForms) {
  const std::string folder = BundledFolder(*bundled, withForms);
  TKezDocumentSink sink;
  const TOptions options;
  for (auto _ : state) {
    TDictionary dictionary(FindLanguage(bundled->Language), folder, &options);
    dictionary.SetReadOnly(true);
    dictionary.LoadDictionaries(true);
    dictionary.LocateKeyword(bundled->First);
    TRtfRichEditWriter writer(sink, dictionary.Language(), options);
    writer.BeginDocument();
    dictionary.RenderArticle(writer);
    writer.EndDocument();
  }
  fs::remove_all(fs::path(folder).parent_path());
}

// Every word typed letter by letter, each keystroke located: beginnings of
// words, misses and forms with their enclitics and elisions alike.
void BM_BundledKeystroke(benchmark::State& state, const TBundled* bundled) {
  const std::string folder = BundledFolder(*bundled, true);
  const TOptions options;
  TDictionary dictionary(FindLanguage(bundled->Language), folder, &options);
  dictionary.SetReadOnly(true);
  dictionary.LoadDictionaries(true);
  const std::vector<std::u16string> words = TreebankWords(*bundled, 2000);
  if (words.empty()) {
    state.SkipWithError("no treebank table");
    return;
  }
  uint64_t keystrokes = 0;
  for (auto _ : state) keystrokes += TypeWords(dictionary, words);
  state.SetItemsProcessed(int64_t(keystrokes));
  state.counters["us/keystroke"] = benchmark::Counter(double(keystrokes) / double(state.iterations()) * 1e-6,
                                                      benchmark::Counter::kIsIterationInvariantRate |
                                                          benchmark::Counter::kInvert);
  state.counters["keywords"] = double(dictionary.KeywordCount());
  fs::remove_all(fs::path(folder).parent_path());
}

const bool kRegistered = [] {
  for (const TBundled& bundled : kBundled) {
    if (!fs::exists(fs::path(KODRA_BIN_DIR) / bundled.Language / "main.kdb")) continue;
    const std::string name = bundled.Language;
    benchmark::RegisterBenchmark(("BundledStartAndLookup/" + name + "/all").c_str(), BM_BundledStartAndLookup,
                                 &bundled, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BundledStartAndLookup/" + name + "/without-forms").c_str(),
                                 BM_BundledStartAndLookup, &bundled, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BundledKeystroke/" + name).c_str(), BM_BundledKeystroke, &bundled)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();
}  // namespace
