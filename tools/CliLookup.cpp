// kodra-cli lookup / search: what the viewer shows for a word or a search.
#include <iostream>
#include <limits>
#include <unistd.h>

#include "foundation/KezText.h"
#include "render/KezDocumentSink.h"
#include "render/uPlainTextWriter.h"
#include "render/uRichEditWriter.h"
#include "tools/CliCommands.h"
#include "tools/CliDictionarySet.h"
#include "tools/CliJson.h"

namespace {
std::string ShownKeyword(std::u16string_view keyword) {
  std::u16string shown(keyword);
  for (char16_t& c : shown)
    if (c == u'_') c = u' ';
  return ToUtf8(shown);
}

std::string JoinWords(const std::vector<std::string>& words) {
  std::string text;
  for (const auto& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}
}  // namespace

int RunLookup(const std::vector<std::string>& args) {
  const TCliArguments parsed = ParseCliArguments(args, {"--json", "--rtf"}, {"--home", "--lang"});
  if (parsed.Positional.empty()) {
    std::cerr << "kodra-cli: expected a word\n";
    return 2;
  }
  TCliDictionarySet set = OpenDictionarySet(parsed);
  TDictionary& d = *set.Dictionary;
  // Composed, and letters typed with tonos become the keyword forms with oxia.
  const std::u16string word = d.Language()->PrepareWord(FromUtf8(JoinWords(parsed.Positional)));
  const TKeywordMatch match = d.LocateKeyword(word);
  const bool exact = match == kmExact;
  const int32_t index = d.CurrentIndex();
  const bool shown = index >= 0 && index < d.KeywordCount();
  if (parsed.Has("--rtf")) {
    TKezDocumentSink sink;
    TRtfRichEditWriter writer(sink, d.Language(), *set.Settings);
    writer.BeginDocument();
    d.RenderArticle(writer);
    writer.EndDocument();
    std::cout << sink.Document;
    return shown ? 0 : 1;
  }
  if (parsed.Has("--json")) {
    TJsonWriter json(std::cout);
    json.BeginObject().Field("query", std::u16string_view(word)).Field("index", index).Field("exact", exact);
    json.Field("match", match == kmExact ? "exact" : match == kmLetters ? "letters" : "nearest");
    json.Key("keyword");
    if (shown) json.Value(d.GetKeywordText(index)); else json.Null();
    json.Key("articles").BeginArray();
    for (const TKeywordEntry* entry = shown ? d.GetEntry(index) : nullptr; entry; entry = entry->Next) {
      TPlainTextWriter writer(*set.Settings, false);
      writer.BeginDocument();
      d.RenderEntry(*entry, writer);
      writer.EndDocument();
      json.BeginObject()
          .Field("dictionary", std::u16string_view(entry->Dictionary->Caption()))
          .Field("text", writer.Text())
          .EndObject();
    }
    json.EndArray().EndObject();
    std::cout << '\n';
    return shown ? 0 : 1;
  }
  if (!shown) {
    std::cout << "Beyond the last keyword: nothing to show for \"" << ToUtf8(word) << "\"\n";
    return 1;
  }
  std::cout << ShownKeyword(d.GetKeywordText(index)) << (match == kmNone ? "  (nearest keyword)" : "") << "\n\n";
  TPlainTextWriter writer(*set.Settings, isatty(STDOUT_FILENO));
  writer.BeginDocument();
  d.RenderArticle(writer);
  writer.EndDocument();
  std::cout << writer.Text();
  return 0;
}

int RunSearch(const std::vector<std::string>& args) {
  const TCliArguments parsed = ParseCliArguments(args, {"--json", "--all"}, {"--home", "--lang", "--from"});
  if (parsed.Positional.empty()) {
    std::cerr << "kodra-cli: expected a search pattern\n";
    return 2;
  }
  const int from = parsed.IntegerValue("--from", 0, 0, std::numeric_limits<int32_t>::max());
  TCliDictionarySet set = OpenDictionarySet(parsed);
  TDictionary& d = *set.Dictionary;
  const std::u16string pattern = FromUtf8(JoinWords(parsed.Positional));
  const bool json = parsed.Has("--json");
  TSearchResultList results;
  if (parsed.Has("--all")) {
    d.SearchAll(pattern, results);
  } else if (d.StartSearch(pattern, from)) {
    results.push_back(std::make_unique<TSearchResult>(d.CurrentIndex(), d.SelectionStart(), d.SelectionLength(),
                                                      d.SearchContext()));
  }
  if (json) {
    TJsonWriter writer(std::cout);
    writer.BeginObject().Field("pattern", std::u16string_view(pattern)).Key("results").BeginArray();
    for (const auto& result : results) {
      writer.BeginObject()
          .Field("index", result->KeywordIndex)
          .Field("keyword", d.GetKeywordText(result->KeywordIndex))
          .Field("position", result->Position)
          .Field("length", result->Length)
          .Field("context", std::u16string_view(result->Context));
      writer.Key("more").BeginArray();
      for (const TSearchResultBase* hit = result->Next.get(); hit; hit = hit->Next.get())
        writer.BeginObject().Field("position", hit->Position).Field("length", hit->Length).EndObject();
      writer.EndArray().EndObject();
    }
    writer.EndArray().EndObject();
    std::cout << '\n';
    return results.empty() ? 1 : 0;
  }
  if (results.empty()) {
    std::cout << "String not found\n";
    return 1;
  }
  for (const auto& result : results) {
    if (parsed.Has("--all")) {
      std::cout << ShownKeyword(d.GetKeywordText(result->KeywordIndex)) << '\t' << ToUtf8(result->Context) << '\n';
    } else {
      std::cout << ShownKeyword(d.GetKeywordText(result->KeywordIndex)) << " (keyword " << result->KeywordIndex
                << "), selection " << result->Position << '+' << result->Length << ": " << ToUtf8(result->Context)
                << '\n';
    }
  }
  return 0;
}
