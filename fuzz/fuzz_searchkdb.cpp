// Bytes in, written as the main dictionary of a language folder and
// (re)loaded into the dictionary set of each language; then searched, word by word and
// all at once (from the records and keyword by keyword, which must agree),
// every hit's article rendered, and keywords located. A corrupt
// file is simply not loaded.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "dictionary/uDictionary.h"
#include "options/uOptions.h"
#include "render/uPlainTextWriter.h"

namespace {
void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void Render(TDictionary& dictionary, const TOptions& options) {
  TPlainTextWriter writer(options, false);
  writer.BeginDocument();
  dictionary.RenderArticle(writer);
  writer.EndDocument();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    const std::string name = "/dev/shm/kodra-fuzz-searchkdb-" + std::to_string(getpid());
    std::filesystem::create_directories(name);
    return name;
  }();
  static TOptions options;
  static const bool configured = [] {
    options.FullTextSearch().SetMaxSearch(5);
    options.FullTextSearch().SetShowKind(skFirst);
    return true;
  }();
  (void)configured;
  FILE* file = std::fopen((folder + "/main.kdb").c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  static const char16_t* const patterns[] = {u"a", u"*a*", u"&α", u"λόγος te", u"!x", u"?ο* * ~", u"*ς"};
  // One set per language for the whole run, reloaded as the window reloads
  // a changed dictionary: the language's fold tables are built once.
  static TDictionary* const sets[] = {new TDictionary(FindLanguage("ancientgreek"), folder, &options),
                                      new TDictionary(FindLanguage("latin"), folder, &options)};
  for (TDictionary* set : sets) {
    TDictionary& dictionary = *set;
    dictionary.AddReloadName("main.kdb");
    dictionary.LoadDictionaries(true);
    if (dictionary.DictionaryCount() == 0) continue;
    const int32_t count = dictionary.KeywordCount();
    for (const char16_t* pattern : patterns) {
      int hits = 0;
      for (bool hit = dictionary.StartSearch(pattern, count / 2); hit && hits < 3; hit = dictionary.SearchNext()) {
        ++hits;
        Check(dictionary.CurrentIndex() >= 0 && dictionary.CurrentIndex() < count);
        Check(dictionary.SelectionStart() >= 0 && dictionary.SelectionLength() >= 0);
        Render(dictionary, options);
      }
      TSearchResultList results;
      dictionary.SearchAll(pattern, results);
      Check(results.size() <= 5);
      for (const auto& result : results) Check(result->KeywordIndex >= 0 && result->KeywordIndex < count);
      // Scanning from the records finds what the keyword-by-keyword walk finds, damaged files included.
      dictionary.SetRecordScan(false);
      TSearchResultList walked;
      dictionary.SearchAll(pattern, walked);
      dictionary.SetRecordScan(true);
      Check(walked.size() == results.size());
      for (size_t r = 0; r < results.size() && r < walked.size(); ++r) {
        const TSearchResultBase *a = results[r].get(), *b = walked[r].get();
        Check(results[r]->KeywordIndex == walked[r]->KeywordIndex && results[r]->Context == walked[r]->Context);
        for (; a && b; a = a->Next.get(), b = b->Next.get()) Check(a->Position == b->Position && a->Length == b->Length);
        Check(!a && !b);
      }
    }
    for (std::u16string_view word : {std::u16string_view(u"λόγος"), std::u16string_view(u"amo"),
                                     dictionary.GetKeywordText(count / 2)}) {
      dictionary.LocateKeyword(word);
      Check(dictionary.CurrentIndex() >= 0 && dictionary.CurrentIndex() <= count);
      Render(dictionary, options);
    }
  }
  return 0;
}
