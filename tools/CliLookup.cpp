// kodra-cli lookup / search: what the viewer shows for a word or a search.
#include <chrono>
#include <functional>
#include <iostream>
#include <limits>
#include <unistd.h>

#include "foundation/KezLocale.h"
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

// Answers each query in turn in one process: the words as given (a quoted
// argument with spaces is one query), "-" standing for the lines of standard
// input, one query a line (CR LF or LF; empty lines are skipped). Each answer
// is flushed, so that a script may write a word and read its answer. The
// status is 0 when every query found something, else 1.
int AnswerEach(TDictionary& dictionary, const std::vector<std::string>& queries,
               const std::function<bool(const std::string&)>& answer) {
  bool all = true;
  // A dictionary file copied over since it was read is read again before
  // the next word; the files are looked at a few times a second at most, so
  // that a batch of words does not pay for it word by word.
  auto lastLook = std::chrono::steady_clock::now();
  auto one = [&](const std::string& query) {
    const auto now = std::chrono::steady_clock::now();
    const bool look = now - lastLook >= std::chrono::milliseconds(200);
    if (look) lastLook = now;
    if (const std::vector<std::string> changed = look ? dictionary.MarkChangedForReload() : std::vector<std::string>();
        !changed.empty()) {
      for (const std::string& file : changed)
        std::cerr << "kodra-cli: " << FormatMessage(Locale().Text("SDicReread", "%s changed on disk and was read again"), {file})
                  << '\n';
      dictionary.LoadDictionaries(true);
      dictionary.ClearReloadNames();
    }
    all = answer(query) && all;
    std::cout.flush();
  };
  for (const std::string& query : queries) {
    if (query != "-") {
      one(query);
      continue;
    }
    for (std::string line; std::getline(std::cin, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) one(line);
    }
  }
  return all ? 0 : 1;
}

// One lookup as the window shows it: the keyword meant and its articles.
bool LookupOne(TCliDictionarySet& set, const TCliArguments& parsed, const std::string& query, bool first) {
  TDictionary& d = *set.Dictionary;
  // Composed, and letters typed with tonos become the keyword forms with oxia.
  const std::u16string word = d.Language()->PrepareWord(FromUtf8(query));
  const TKeywordMatch match = d.LocateKeyword(word);
  const bool exact = match == kmExact;
  const int32_t index = d.CurrentIndex();
  const bool shown = index >= 0 && index < d.KeywordCount();
  const bool found = shown && match != kmNone;
  if (parsed.Has("--rtf")) {
    TKezDocumentSink sink;
    TRtfRichEditWriter writer(sink, d.Language(), *set.Settings);
    writer.BeginDocument();
    d.RenderArticle(writer);
    writer.EndDocument();
    std::cout << sink.Document;
    return found;
  }
  if (parsed.Has("--json")) {
    TJsonWriter json(std::cout);
    json.BeginObject().Field("query", std::u16string_view(word)).Field("index", index).Field("exact", exact);
    json.Field("match", match == kmExact ? "exact" : match == kmLetters ? "letters" : "nearest");
    json.Key("keyword");
    if (shown) json.Value(d.GetKeywordText(index)); else json.Null();
    json.Key("articles").BeginArray();
    auto article = [&](const TKeywordEntry& entry, const char16_t* via, const char16_t* twin = nullptr) {
      TPlainTextWriter writer(*set.Settings, false);
      writer.BeginDocument();
      d.RenderEntry(entry, writer);
      writer.EndDocument();
      json.BeginObject()
          .Field("dictionary", std::u16string_view(entry.Dictionary->Caption()))
          .Field("kind", DictionaryKindName(entry.Dictionary->Kind()))
          .Field("text", writer.Text());
      if (via) json.Field("via", std::u16string_view(via));
      if (twin) json.Field("keyword", std::u16string_view(twin));
      json.EndObject();
    };
    for (const TKeywordEntry* entry = shown ? d.GetEntry(index) : nullptr; entry; entry = entry->Next)
      article(*entry, nullptr);
    if (shown) {
      for (const TLemmaArticle& twin : d.CaseTwinArticles(index)) article(*twin.Entry, nullptr, twin.Form);
      for (const TLemmaArticle& lemma : d.LemmaArticles(index)) article(*lemma.Entry, lemma.Form);
    }
    json.EndArray().EndObject();
    std::cout << '\n';
    return found;
  }
  if (!first) std::cout << '\n';  // an empty line between the answers
  if (!shown) {
    std::cout << "Beyond the last keyword: nothing to show for \"" << ToUtf8(word) << "\"\n";
    return false;
  }
  // A word that reaches no keyword is said to be missing before the nearest
  // keyword's article is shown, so that it is not read as the word's.
  if (!found)
    std::cout << "\"" << ToUtf8(word) << "\" not found; the nearest keyword: " << ShownKeyword(d.GetKeywordText(index))
              << "\n\n";
  std::cout << ShownKeyword(d.GetKeywordText(index)) << (match == kmNone ? "  (nearest keyword)" : "") << "\n\n";
  TPlainTextWriter writer(*set.Settings, isatty(STDOUT_FILENO));
  writer.BeginDocument();
  d.RenderArticle(writer);
  writer.EndDocument();
  std::cout << writer.Text();
  return found;
}

// One full-text search: the first hit from --from, or with --all every result.
bool SearchOne(TDictionary& d, const TCliArguments& parsed, int from, const std::string& query) {
  const std::u16string pattern = FromUtf8(query);
  TSearchResultList results;
  if (parsed.Has("--all")) {
    d.SearchAll(pattern, results);
  } else if (d.StartSearch(pattern, from)) {
    results.push_back(std::make_unique<TSearchResult>(d.CurrentIndex(), d.SelectionStart(), d.SelectionLength(),
                                                      d.SearchContext()));
  }
  if (parsed.Has("--json")) {
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
    return !results.empty();
  }
  if (results.empty()) {
    std::cout << "String not found\n";
    return false;
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
  return true;
}
}  // namespace

int RunLookup(const std::vector<std::string>& args) {
  const TCliArguments parsed = ParseCliArguments(args, {"--json", "--rtf"}, {"--home", "--lang"});
  if (parsed.Positional.empty()) {
    std::cerr << "kodra-cli: expected a word\n";
    return 2;
  }
  TCliDictionarySet set = OpenDictionarySet(parsed);
  bool first = true;
  return AnswerEach(*set.Dictionary, parsed.Positional, [&](const std::string& query) {
    const bool found = LookupOne(set, parsed, query, first);
    first = false;
    return found;
  });
}

int RunSearch(const std::vector<std::string>& args) {
  const TCliArguments parsed = ParseCliArguments(args, {"--json", "--all"}, {"--home", "--lang", "--from"});
  if (parsed.Positional.empty()) {
    std::cerr << "kodra-cli: expected a search pattern\n";
    return 2;
  }
  const int from = parsed.IntegerValue("--from", 0, 0, std::numeric_limits<int32_t>::max());
  TCliDictionarySet set = OpenDictionarySet(parsed);
  return AnswerEach(*set.Dictionary, parsed.Positional,
                    [&](const std::string& query) { return SearchOne(*set.Dictionary, parsed, from, query); });
}
