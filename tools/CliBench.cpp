// kodra-cli bench: what this machine does with the installed dictionaries.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iomanip>
#include <iostream>

#include "dictionary/uWorkloads.h"
#include "render/KezDocumentSink.h"
#include "render/uRichEditWriter.h"
#include "tools/CliCommands.h"
#include "tools/CliDictionarySet.h"

namespace {
using TClock = std::chrono::steady_clock;

// The median of several runs of an operation, in seconds.
template <class F>
double MedianSeconds(int runs, F&& operation) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = TClock::now();
    operation();
    times.push_back(std::chrono::duration<double>(TClock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void Row(const std::string& name, double value, const std::string& unit, const std::string& note = {}) {
  std::cout << "  " << std::left << std::setw(34) << name << std::right << std::setw(12) << std::fixed
            << std::setprecision(value < 10 ? 3 : 1) << value << ' ' << std::left << std::setw(10) << unit << note
            << '\n';
}
}  // namespace

int RunBench(const std::vector<std::string>& args) {
  const TCliArguments parsed = ParseCliArguments(args, {}, {"--home", "--lang", "--runs"});
  const int runs = parsed.IntegerValue("--runs", 5, 1, 1000);
  TCliDictionarySet set = OpenDictionarySet(parsed);
  TDictionary& d = *set.Dictionary;
  uint64_t bytes = 0;
  for (int i = 0; i < d.DictionaryCount(); ++i)
    bytes += std::filesystem::file_size(d.GetDictionary(i)->FileName());

  const double load = MedianSeconds(runs, [&] {
    TDictionary fresh(d.Language(), d.Folder(), set.Settings.get());
    fresh.LoadDictionaries(true);
  });
  const auto words = SampleKeywords(d, 1000);
  uint64_t keystrokes = 0;
  const double typing = MedianSeconds(runs, [&] { keystrokes = TypeWords(d, words); });
  const auto readers = TypedAsReaders(*d.Language(), words);
  uint64_t readerKeystrokes = 0;
  const double readerTyping = MedianSeconds(runs, [&] { readerKeystrokes = TypeWords(d, readers); });
  const auto indexes = SampleIndexes(d, 1000, 17);
  TKezDocumentSink sink;
  TRtfRichEditWriter writer(sink, d.Language(), *set.Settings);
  const double render = MedianSeconds(runs, [&] { RenderKeywords(d, indexes, writer); });
  uint64_t units = 0;
  const double decode = MedianSeconds(runs, [&] { units = DecodeAllBodies(d); });
  const double scan = MedianSeconds(runs, [&] { d.StartSearch(u"qqqqqzzzzz", 0); });

  std::cout << "Dictionaries in " << d.Folder() << ": " << d.DictionaryCount() << " files, " << bytes << " bytes, "
            << d.KeywordCount() << " keywords, " << units << " body units (median of " << runs << " runs)\n";
  Row("load and merge", load * 1e3, "ms", "(" + std::to_string(load * 1e9 / double(std::max<uint64_t>(bytes, 1))).substr(0, 5) + " ns/byte)");
  Row("keystroke (locate a typed prefix)", typing * 1e6 / double(std::max<uint64_t>(keystrokes, 1)), "us");
  Row("keystroke, typed as readers type", readerTyping * 1e6 / double(std::max<uint64_t>(readerKeystrokes, 1)), "us");
  Row("render an article to RTF", render * 1e6 / double(std::max<size_t>(indexes.size(), 1)), "us");
  Row("decode every body (reference)", decode * 1e3, "ms");
  Row("full-text scan, no hit", scan * 1e3, "ms",
      "(" + std::to_string(scan / std::max(decode, 1e-9)).substr(0, 4) + "x the reference)");
  return 0;
}
