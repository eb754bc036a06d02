#include "dictionary/uDictionary.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "dictionary/uFormLemmas.h"
#include "dictionary/uKeywordOrderCache.h"
#include "dictionary/uMergePlaces.h"
#include "foundation/KezFiles.h"
#include "foundation/KezProgramFolder.h"
#include "foundation/KezSafeFile.h"
#include "foundation/KezText.h"
#include "language/uCommon.h"
#include "options/uOptions.h"
#include "render/uArticleWriter.h"

namespace {
bool ContainsIgnoringCase(const std::vector<std::string>& names, const std::string& name) {
  const std::string lowered = AsciiLowered(name);
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return AsciiLowered(n) == lowered; });
}

}  // namespace

TDictionary::TDictionary(TKodraLanguage* language, std::string folder, const TOptions* options)
    : FLanguage(language), FFolder(std::move(folder)), FOptions(options) {
  if (FFolder.empty()) {
    FFolder = UserLanguageFolder(language->GetId());
    FShippedFolder = ShippedLanguageFolder(language->GetId());
  }
  FFolder = WithPathDelimiter(std::move(FFolder));
  if (FShippedFolder.empty()) FShippedFolder = FFolder;
}

void TDictionary::SetShippedFolder(std::string folder) {
  FShippedFolder = folder.empty() ? FFolder : WithPathDelimiter(std::move(folder));
}

TDictionary::~TDictionary() {
  FReloadNames.clear();
  FKeywords.Clear();
  FDictionaries.clear();
}

const TOptions& TDictionary::Opts() const { return FOptions ? *FOptions : Options(); }

TBinaryDictionary* TDictionary::GetDictionary(int index) const {
  return index >= 0 && index < DictionaryCount() ? FDictionaries[size_t(index)].Dictionary.get() : nullptr;
}

std::vector<std::string> ParseDictionaryConfiguration(std::string_view text) {
  std::vector<std::string> names;
  for (size_t start = 0; start < text.size() && names.size() < kMaxConfiguredDictionaries;) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    if (end > start) names.emplace_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return names;
}

namespace {
// A configuration is a few short lines: more than this is not one.
constexpr size_t kMaxConfigurationBytes = 64 * 1024;

// A name of the configuration that can only stand for a file of the folder.
bool IsPlainName(const std::string& name) {
  return name.find_first_of(std::string("/\\:\0", 4)) == std::string::npos && name != "." && name != "..";
}

// The folder's file "<name>.kdb", whatever the letter case of its name;
// empty when there is none.
std::string DictionaryFileIn(const std::string& folder, const std::string& name) {
  const std::string exact = folder + name + ".kdb";
  std::error_code error;
  if (std::filesystem::exists(exact, error)) return exact;
  const std::string wanted = AsciiLowered(name + ".kdb");
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (AsciiLowered(it->path().filename().string()) == wanted) return it->path().string();
  return {};
}
}  // namespace

std::string FindDictionaryFile(const std::string& folder, const std::string& shippedFolder, const std::string& name) {
  if (std::string found = DictionaryFileIn(folder, name); !found.empty()) return found;
  if (shippedFolder != folder)
    if (std::string found = DictionaryFileIn(shippedFolder, name); !found.empty()) return found;
  return folder + name + ".kdb";
}

bool ReadLayeredConfiguration(const std::string& folder, const std::string& shippedFolder,
                              std::vector<std::string>& names, TDictionaryLoadFailure* unreadable) {
  for (int layer = 0; layer < 2; ++layer) {
    if (layer == 1 && shippedFolder == folder) break;
    const std::string fileName = (layer == 0 ? folder : shippedFolder) + "dictionaries.cfg";
    std::string why;
    if (ReadDictionaryConfiguration(fileName, names, &why)) return true;
    if (!why.empty()) {
      if (unreadable) *unreadable = {"dictionaries.cfg", fileName, why};
      return false;
    }
  }
  return false;
}

bool ReadDictionaryConfiguration(const std::string& fileName, std::vector<std::string>& names, std::string* why) {
  names.clear();
  std::string text;
  const TReadOutcome outcome = ReadBoundedFile(fileName, kMaxConfigurationBytes, text);
  std::string reason;
  switch (outcome.Result) {
    case TReadResult::Read:
      names = ParseDictionaryConfiguration(text);
      return true;
    case TReadResult::NotAFile: reason = "it is not a file"; break;
    case TReadResult::TooLarge: reason = "it is too large for a list of dictionaries"; break;
    case TReadResult::CannotOpen:
      if (IsMissing(outcome)) return false;  // none: not an error
      [[fallthrough]];
    case TReadResult::Failed: reason = "it cannot be read: " + std::system_category().message(outcome.Error); break;
  }
  if (why) *why = reason;
  return false;
}

void WriteDictionaryConfiguration(const std::string& fileName, const std::vector<std::string>& names) {
  std::string text;
  for (const auto& name : names) text += name + "\r\n";
  TKezSafeFile file;
  file.Open(fileName);
  file.Write(text.data(), text.size());
  file.Commit();
}

std::vector<std::string> TDictionary::ReadConfiguration(TDictionaryLoadFailure* unreadable) const {
  std::vector<std::string> names;
  ReadLayeredConfiguration(FFolder, FShippedFolder, names, unreadable);
  return names;
}

void TDictionary::WriteConfiguration(const std::vector<std::string>& names) const {
  if (FReadOnly) return;
  try {
    std::error_code error;
    std::filesystem::create_directories(FFolder, error);  // a user's folder made on first need
    WriteDictionaryConfiguration(FFolder + "dictionaries.cfg", names);
  } catch (const std::exception&) {
    // The set works from the configuration in memory; the old file stays.
  }
}

void TDictionary::LoadDictionaries(bool rebuild) {
  TDictionaryLoadFailure unreadable;
  std::vector<std::string> names = ReadConfiguration(&unreadable);
  FLoadFailures.clear();
  bool save = false;
  if (!unreadable.FileName.empty()) {
    // Cannot read is not empty: the file stays as it is, the main
    // dictionary serves meanwhile, and the reader is told.
    FLoadFailures.push_back(unreadable);
    names = {"main"};
  } else if (std::find(names.begin(), names.end(), "main") == names.end()) {
    names.insert(names.begin(), "main");
    save = rebuild = true;
  }
  // Release what is no longer configured, and everything from the end back to
  // the earliest dictionary that has to be read again.
  for (size_t i = FDictionaries.size(); i-- > 0;) {
    const std::string& name = FDictionaries[i].Name;
    bool release = name != "main" && !ContainsIgnoringCase(names, name);
    if (!release)
      for (size_t k = 0; k < FDictionaries.size() && !release; ++k)
        release = ContainsIgnoringCase(FReloadNames, FDictionaries[k].Name);
    if (release) {
      FKeywords.Clear();  // it points into the images about to go
      FDictionaries.erase(FDictionaries.begin() + long(i));
      rebuild = true;
    }
  }
  try {
    for (size_t i = names.size(); i-- > 0;) {
      const std::string name = names[i];
      const bool loaded = std::any_of(FDictionaries.begin(), FDictionaries.end(),
                                      [&](const TLoaded& d) { return AsciiLowered(d.Name) == AsciiLowered(name); });
      if (loaded) continue;
      if (!IsPlainName(name)) {
        FLoadFailures.insert(FLoadFailures.begin(), {name, name, "not the name of a dictionary file"});
        continue;
      }
      const std::string fileName = FindDictionaryFile(FFolder, FShippedFolder, name);
      auto dictionary = std::make_unique<TBinaryDictionary>();
      try {
        dictionary->LoadFromFile(fileName, &OrderCache());
        // The main dictionary gives the list its order: one whose keywords
        // do not ascend (bytes flipped on a disk or in a copy) would garble
        // the list, and is refused. Checked once per state of the file.
        if (dictionary->Kind() == dkMain && !KeywordsAscendRemembered(*dictionary, *FLanguage, OrderCache()))
          RaiseHelpedError("SCorruptFile", "Corrupt or inappropriate dictionary file");
        FDictionaries.insert(FDictionaries.begin(), TLoaded{name, std::move(dictionary)});
        rebuild = true;
      } catch (const std::exception& e) {
        // The reason without the file's name, which the failure names already.
        std::string reason = e.what();
        if (const std::string named = ": " + fileName; reason.ends_with(named)) reason.resize(reason.size() - named.size());
        FLoadFailures.insert(FLoadFailures.begin(), {name, fileName, reason});
      }
    }
  } catch (...) {
    BuildKeywordList();
    throw;
  }
  if (rebuild) BuildKeywordList();
  if (save) WriteConfiguration(names);
}

void TDictionary::SetOrderCacheFile(std::string fileName) {
  FOrderCacheFile = std::move(fileName);
  FOrderCache.reset();
}

std::string TDictionary::OrderCacheFileName() const {
  return FOrderCacheFile.empty() ? DefaultKeywordOrderCacheFile() : FOrderCacheFile;
}

TKeywordOrderCache& TDictionary::OrderCache() {
  if (!FOrderCache) FOrderCache = std::make_unique<TKeywordOrderCache>(OrderCacheFileName());
  return *FOrderCache;
}

void TDictionary::BuildKeywordList() {
  FSelectionStart = FSelectionLength = 0;
  FSearchWords.clear();
  FKeywords.Clear();
  FAbbreviations.Clear();
  if (FDictionaries.empty()) {
    FCurrentIndex = -1;
    return;
  }
  FCurrentIndex = 0;
  std::stable_sort(FDictionaries.begin(), FDictionaries.end(), [](const TLoaded& a, const TLoaded& b) {
    if (a.Dictionary->Kind() != b.Dictionary->Kind()) return a.Dictionary->Kind() < b.Dictionary->Kind();
    return a.Dictionary->ArticleCount() > b.Dictionary->ArticleCount();
  });
  // Without a readable main dictionary (gone, half copied) the others are
  // still read: the first of them leads the chains in its place.
  TBinaryDictionary& main = *FDictionaries.front().Dictionary;
  const bool hasMain = main.Kind() == dkMain;
  // The set's dictionaries in the order their articles chain: the main
  // one, then the others that are not main dictionaries.
  std::vector<TBinaryDictionary*> members{&main};
  for (size_t i = 1; i < FDictionaries.size(); ++i)
    if (FDictionaries[i].Dictionary->Kind() != dkMain) members.push_back(FDictionaries[i].Dictionary.get());
  // The largest dictionary is the base that the others merge into, read
  // only where the merge and the reader reach it. Only the main one is
  // taken in its stored order unchecked, as it always has been.
  TBinaryDictionary* base = nullptr;
  if (FOrderedMerge) {
    base = hasMain ? &main : nullptr;
    TBinaryDictionary* largest = *std::max_element(members.begin(), members.end(), [](auto* a, auto* b) {
      return a->ArticleCount() < b->ArticleCount();
    });
    if (largest != base && KeywordsAscendRemembered(*largest, *FLanguage, OrderCache())) base = largest;
  }
  std::vector<uint32_t> memberCounts;  // what a layout holds of each member
  size_t total = 0;
  for (TBinaryDictionary* member : members) {
    memberCounts.push_back(member == base ? 0u : uint32_t(member->ArticleCount()));
    total += memberCounts.back();
  }
  for (TBinaryDictionary* member : members) AddAbbreviations(*member);
  // How the others stand in a large base is remembered for this set of
  // files: merging them would read all their keywords and much of the base
  // at every start.
  const bool remember = base && total > 0 && base->ArticleCount() >= FRememberedPlacesFrom;
  uint64_t identity = 0;
  TMergeLayout layout;
  if (remember) {
    identity = MergeIdentity(members, base);
    ReadMergeLayout(PlacesFile(), identity, memberCounts, uint32_t(base->ArticleCount()), layout);
  }
  if (layout.Articles.size() != total) {
    layout = MergeOthers(members, base, total);
    if (remember) WriteMergeLayout(PlacesFile(), identity, layout);
  }
  FKeywords.Build(base, std::move(layout), members);
}

// The others merged keyword by keyword (or a dictionary at a time where its
// keywords ascend) and placed in the base.
TMergeLayout TDictionary::MergeOthers(const std::vector<TBinaryDictionary*>& members, TBinaryDictionary* base,
                                      size_t total) {
  std::unique_ptr<TKeywordEntry[]> entries(new TKeywordEntry[total]);
  TKezSortedList others;
  others.SetCapacity(int32_t(total));
  TKeywordEntry* storage = entries.get();
  TBinaryDictionary& main = *members.front();
  for (TBinaryDictionary* member : members) {
    if (member == base) continue;
    if (member == &main) {
      for (int32_t i = 0; i < main.ArticleCount(); ++i, ++storage) {
        *storage = TKeywordEntry{main.GetKeyword(i), &main, uint32_t(i), nullptr};
        others.Add(storage);
      }
    } else {
      MergeDictionary(others, *member, storage);
    }
  }
  std::vector<TKeywordEntry*> heads(size_t(others.Count()));
  for (int32_t i = 0; i < others.Count(); ++i) heads[size_t(i)] = static_cast<TKeywordEntry*>(others.Items(i));
  return TMergedKeywords::Layout(base, heads, members, *FLanguage);
}

uint64_t TDictionary::MergeIdentity(const std::vector<TBinaryDictionary*>& members,
                                    const TBinaryDictionary* base) const {
  uint64_t identity = 0x9E3779B97F4A7C15ull;
  for (const TBinaryDictionary* member : members)
    identity = (identity ^ KeywordOrderIdentity(*member, *FLanguage)) * 0x100000001B3ull + (member == base);
  return identity;
}

std::string TDictionary::PlacesFile() const {
  const std::filesystem::path orderCache(OrderCacheFileName());
  return (orderCache.parent_path() / ("merge-places-" + FLanguage->GetId() + ".cache")).string();
}

// A dictionary in keyword order (as the compiler writes them) merges with
// the list in one pass; the order is checked on the way in.
bool TDictionary::MergeOrderedDictionary(TKezSortedList& list, TBinaryDictionary& dictionary,
                                         TKeywordEntry*& storage) {
  if (!KeywordsAscendRemembered(dictionary, *FLanguage, OrderCache())) return false;
  const int32_t count = dictionary.ArticleCount();
  std::vector<void*> merged;
  merged.reserve(size_t(list.Count()) + size_t(count));
  int32_t next = 0;
  for (int32_t i = 0; i < count; ++i, ++storage) {
    TKeywordEntry* entry = storage;
    *entry = TKeywordEntry{dictionary.GetKeyword(i), &dictionary, uint32_t(i), nullptr};
    int order = -1;
    while (next < list.Count() &&
           (order = FLanguage->CompareKeywordText(static_cast<TKeywordEntry*>(list.Items(next))->Keyword,
                                                  entry->Keyword)) < 0)
      merged.push_back(list.Items(next++));
    if (next < list.Count() && order == 0) {
      auto* item = static_cast<TKeywordEntry*>(list.Items(next));
      while (item->Next) item = item->Next;
      item->Next = entry;
    } else {
      merged.push_back(entry);
    }
  }
  for (; next < list.Count(); ++next) merged.push_back(list.Items(next));
  list.Assign(std::move(merged));
  return true;
}

// Chains the articles whose keywords the list holds and inserts the others at
// their places. Insertions are gathered and merged in one pass, so that a
// large second dictionary does not shift the whole list once per keyword.
void TDictionary::MergeDictionary(TKezSortedList& list, TBinaryDictionary& dictionary, TKeywordEntry*& storage) {
  if (FOrderedMerge && MergeOrderedDictionary(list, dictionary, storage)) return;
  struct TPending {
    int32_t Index;
    TKeywordEntry* Entry;
  };
  std::vector<TPending> pending;
  for (int32_t i = 0; i < dictionary.ArticleCount(); ++i, ++storage) {
    TKeywordEntry* entry = storage;
    *entry = TKeywordEntry{dictionary.GetKeyword(i), &dictionary, uint32_t(i), nullptr};
    int32_t index;
    if (FLanguage->FindKeyword(TSortedListKeywords(list), entry->Keyword, index)) {
      auto* item = static_cast<TKeywordEntry*>(list.Items(index));
      while (item->Next) item = item->Next;
      item->Next = entry;
    } else {
      pending.push_back({index, entry});
    }
  }
  if (pending.empty()) return;
  // In keyword order within each gap, equal keywords chained to the first.
  std::stable_sort(pending.begin(), pending.end(), [&](const TPending& a, const TPending& b) {
    if (a.Index != b.Index) return a.Index < b.Index;
    return FLanguage->CompareKeywordText(a.Entry->Keyword, b.Entry->Keyword) < 0;
  });
  std::vector<void*> merged;
  merged.reserve(size_t(list.Count()) + pending.size());
  size_t next = 0;
  for (int32_t index = 0; index <= list.Count(); ++index) {
    TKeywordEntry* lastNew = nullptr;
    for (; next < pending.size() && pending[next].Index == index; ++next) {
      TKeywordEntry* entry = pending[next].Entry;
      if (lastNew && FLanguage->CompareKeywordText(lastNew->Keyword, entry->Keyword) == 0) {
        TKeywordEntry* tail = lastNew;
        while (tail->Next) tail = tail->Next;
        tail->Next = entry;
      } else {
        merged.push_back(entry);
        lastNew = entry;
      }
    }
    if (index < list.Count()) merged.push_back(list.Items(index));
  }
  list.Clear();
  list.SetCapacity(int32_t(merged.size()));
  for (void* item : merged) list.Add(item);
}

void TDictionary::AddAbbreviations(const TBinaryDictionary& dictionary) {
  for (int32_t i = 0; i < dictionary.AbbreviationCount(); ++i)
    FAbbreviations.Add(dictionary.GetAbbreviation(i), const_cast<char16_t*>(dictionary.GetExplanation(i)));
}

const TKeywordEntry* TDictionary::GetEntry(int32_t index) const {
  if (FKeywords.Count() == 0) return nullptr;
  if (index < 0 || index >= FKeywords.Count()) index = 0;
  return FKeywords.Entry(index);
}

std::u16string_view TDictionary::GetKeywordText(int32_t index) const {
  const TKeywordEntry* entry = GetEntry(index);
  return entry ? std::u16string_view(entry->Keyword) : std::u16string_view();
}

void TDictionary::SetCurrent(int32_t index, int32_t selectionStart, int32_t selectionLength) {
  FCurrentIndex = index;
  FSelectionStart = selectionStart;
  FSelectionLength = selectionLength;
}

TKeywordMatch TDictionary::LocateKeyword(std::u16string_view text) {
  const std::u16string word = FLanguage->LookupWord(text);
  const TKeywordLocation location = FLanguage->LocateWord(FKeywords, word.c_str());
  SetCurrent(location.Index, 0, 0);
  return location.Match;
}

const char16_t* TDictionary::FindAbbreviation(const char16_t* text) const {
  return static_cast<const char16_t*>(FAbbreviations.Lookup(text));
}

std::vector<std::string> TDictionary::MarkChangedForReload() {
  std::vector<std::string> changed;
  for (const TLoaded& loaded : FDictionaries)
    if (loaded.Dictionary->ChangedOnDisk()) {
      changed.push_back(loaded.Dictionary->FileName());
      AddReloadName(loaded.Dictionary->FileName());
    }
  return changed;
}

void TDictionary::AddReloadName(const std::string& fileName) {
  const std::string name = AsciiLowered(std::filesystem::path(fileName).stem().string());
  const auto at = std::lower_bound(FReloadNames.begin(), FReloadNames.end(), name);
  if (at == FReloadNames.end() || *at != name) FReloadNames.insert(at, name);
}

void TDictionary::RenderArticle(TArticleWriter& writer) {
  if (FCurrentIndex < 0 || FCurrentIndex >= FKeywords.Count()) return;
  for (auto* entry = FKeywords.Entry(FCurrentIndex); entry; entry = entry->Next) {
    RenderEntry(*entry, writer);
    if (entry->Next) writer.EndParagraph();
  }
  // The word that differs in case only is another word the reader may mean.
  for (const TLemmaArticle& twin : CaseTwinArticles(FCurrentIndex)) {
    writer.EndParagraph();
    RenderEntry(*twin.Entry, writer);
  }
  // A form's meaning at once: the articles of the lemmas its article names.
  for (const TLemmaArticle& lemma : LemmaArticles(FCurrentIndex)) {
    writer.EndParagraph();
    RenderEntry(*lemma.Entry, writer);
  }
}

std::vector<TLemmaArticle> TDictionary::LemmaArticles(int32_t index) const {
  std::vector<TLemmaArticle> articles;
  if (index < 0 || index >= FKeywords.Count()) return articles;
  // The keyword's case twins are shown with it already.
  std::vector<int32_t> shown = FLanguage->CaseTwins(FKeywords, index);
  shown.push_back(index);
  for (const TKeywordEntry* form = FKeywords.Entry(index); form; form = form->Next) {
    if (form->Dictionary->Kind() != dkForm) continue;
    const std::u16string body(form->Dictionary->GetArticle(int32_t(form->ArticleIndex)));
    for (const std::u16string& lemma : FormArticleLemmas(body, *FLanguage)) {
      // The lemma as keyed, else the keyword with its letters.
      int32_t at;
      if (!FLanguage->FindKeyword(FKeywords, lemma.c_str(), at)) {
        const TKeywordLocation located = FLanguage->LocateWord(FKeywords, lemma.c_str());
        if (located.Match == kmNone) continue;
        at = located.Index;
      }
      if (at < 0 || at >= FKeywords.Count() || std::find(shown.begin(), shown.end(), at) != shown.end()) continue;
      shown.push_back(at);
      for (const TKeywordEntry* entry = FKeywords.Entry(at); entry; entry = entry->Next)
        if (entry->Dictionary->Kind() != dkForm) articles.push_back({entry, at, form->Keyword});
    }
  }
  return articles;
}

std::vector<TLemmaArticle> TDictionary::CaseTwinArticles(int32_t index) const {
  std::vector<TLemmaArticle> articles;
  for (const int32_t twin : FLanguage->CaseTwins(FKeywords, index))
    for (const TKeywordEntry* entry = FKeywords.Entry(twin); entry; entry = entry->Next)
      articles.push_back({entry, twin, FKeywords.Keyword(twin)});
  return articles;
}

void TDictionary::RenderEntry(const TKeywordEntry& entry, TArticleWriter& writer) const {
  const char16_t* body = entry.Dictionary->GetArticle(int32_t(entry.ArticleIndex));
  writer.OpenCaption();
  writer.WriteText(entry.Dictionary->Caption());
  writer.CloseStyle();
  writer.EndParagraph();
  bool tabNext = false;
  for (const char16_t* p = body; *p; ++p) {
    switch (const char16_t c = *p) {
      case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 11: case 12: case 13: case 14:
        writer.WriteTagUnit(c);
        break;
      case 10:
        writer.WriteTagUnit(c);
        tabNext = true;
        break;
      case 15: writer.EndParagraph(); break;
      case u' ':
        writer.WriteChar(tabNext ? u'\t' : u' ');
        tabNext = false;
        break;
      case u'~': writer.WriteKeyword(entry.Keyword); break;
      default:
        if (c >= 0xF000) writer.WriteSpecialChar(c);
        else writer.WriteChar(c);
    }
  }
}
