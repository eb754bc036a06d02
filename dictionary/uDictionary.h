#pragma once
// The dictionary set of one language: the compiled dictionaries named in the
// language folder's dictionaries.cfg, merged into one keyword list in the
// language's keyword order, their abbreviations, the current keyword, and the
// full-text search over their articles.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/uBinaryDictionary.h"
#include "dictionary/uMergePlaces.h"
#include "dictionary/uMergedKeywords.h"
#include "foundation/KezHashTable.h"
#include "foundation/KezSortedList.h"
#include "language/uLanguage.h"

class TArticleWriter;
class TKeywordOrderCache;
class TOptions;

// Search-word modes.
enum TDictionarySearchMode : uint8_t { smWord = 0, smAny = 1, smFragment = 2, smPrefix = 3, smSuffix = 4, smInfix = 5 };

struct TDictionarySearchWord {
  std::u16string Pattern;  // folded; "?" stands for any one unit
  TDictionarySearchMode Mode = smWord;
  bool KeepDiacritics = false;
};

// A hit: its selection in the rendered article; further hits in the same
// article may be chained behind it.
class TSearchResultBase {
public:
  TSearchResultBase(int32_t position, int32_t length) : Position(position), Length(length) {}
  virtual ~TSearchResultBase() = default;
  int32_t Position;
  int32_t Length;
  std::unique_ptr<TSearchResultBase> Next;
};

class TSearchResult : public TSearchResultBase {
public:
  TSearchResult(int32_t keywordIndex, int32_t position, int32_t length, std::u16string context)
      : TSearchResultBase(position, length), KeywordIndex(keywordIndex), Context(std::move(context)) {}
  int32_t KeywordIndex;
  std::u16string Context;
};

using TSearchResultList = std::vector<std::unique_ptr<TSearchResult>>;

// Parses a search text into at most four search words.
std::vector<TDictionarySearchWord> ParseSearchText(std::u16string_view text, const TKodraLanguage& language);

// A configured dictionary that could not be read, and why.
struct TDictionaryLoadFailure {
  std::string Name;      // as dictionaries.cfg names it
  std::string FileName;  // the file tried, or the name's file in the folder
  std::string Reason;
};

// The names of a dictionaries.cfg text, one a line (CR LF, CR or LF), in
// order; empty lines name nothing and are left out, and so is everything
// after the first kMaxConfiguredDictionaries names.
constexpr size_t kMaxConfiguredDictionaries = 256;
std::vector<std::string> ParseDictionaryConfiguration(std::string_view text);
// The folder's file "<name>.kdb", whatever the letter case of its name, as
// file names are found on Windows; then the shipped folder's; the exact name
// in the folder when neither has it.
std::string FindDictionaryFile(const std::string& folder, const std::string& shippedFolder, const std::string& name);
// Reads the folder's dictionaries.cfg, or the shipped folder's when the
// folder has none (a user's own configuration wins over the shipped one).
// unreadable: when a configuration is there but cannot be read, its file
// and why (the shipped one is then not read in its place).
bool ReadLayeredConfiguration(const std::string& folder, const std::string& shippedFolder,
                              std::vector<std::string>& names, TDictionaryLoadFailure* unreadable = nullptr);

// Reads a dictionaries.cfg (at most 64 KB; a configuration is a few short
// lines). False, with no names, when it is missing (why empty), or when it
// is not a plain file or cannot be read (why says so).
bool ReadDictionaryConfiguration(const std::string& fileName, std::vector<std::string>& names,
                                 std::string* why = nullptr);
// Writes the names, one a line ended by CR LF, through a temporary file that
// replaces the old one only when complete. Raises ESystemError.
void WriteDictionaryConfiguration(const std::string& fileName, const std::vector<std::string>& names);

// An article shown for a form: an entry of the lemma that the form's article
// names, which is not itself a form dictionary's.
struct TLemmaArticle {
  const TKeywordEntry* Entry;
  int32_t LemmaIndex;  // the lemma's keyword index
  const char16_t* Form;  // the form's keyword
};

class TDictionary {
public:
  // folder: the language folder (with or without a trailing separator);
  // by default the user's folder of the language, with the shipped folder
  // behind it (the same folder in a portable copy).
  explicit TDictionary(TKodraLanguage* language, std::string folder = {}, const TOptions* options = nullptr);
  ~TDictionary();
  TDictionary(const TDictionary&) = delete;
  TDictionary& operator=(const TDictionary&) = delete;

  // Brings the set in line with dictionaries.cfg. A dictionary that fails to
  // load stays configured (it may be half-copied or briefly unreadable) and
  // is listed in LoadFailures. The file is rewritten, atomically, only when
  // "main" had to be added, and never when the set is read-only.
  void LoadDictionaries(bool rebuild);
  const std::vector<TDictionaryLoadFailure>& LoadFailures() const { return FLoadFailures; }
  // The files of loaded dictionaries that are no longer what was loaded
  // (rewritten in place, replaced or gone), each marked to be read again by
  // the next LoadDictionaries.
  std::vector<std::string> MarkChangedForReload();
  // A read-only set never writes dictionaries.cfg (the command-line tool's
  // reading commands).
  void SetReadOnly(bool readOnly) { FReadOnly = readOnly; }
  int DictionaryCount() const { return int(FDictionaries.size()); }
  TBinaryDictionary* GetDictionary(int index) const;
  const std::string& DictionaryName(int index) const { return FDictionaries[size_t(index)].Name; }
  int32_t KeywordCount() const { return FKeywords.Count(); }
  // The item, the first item for an index out of range, or none for an empty list.
  const TKeywordEntry* GetEntry(int32_t index) const;
  std::u16string_view GetKeywordText(int32_t index) const;

  void SetCurrent(int32_t index, int32_t selectionStart = 0, int32_t selectionLength = 0);
  int32_t CurrentIndex() const { return FCurrentIndex; }
  int32_t SelectionStart() const { return FSelectionStart; }
  int32_t SelectionLength() const { return FSelectionLength; }
  // The keyword the reader means by the text (composed and normalised first)
  // becomes current; says how the two compare.
  TKeywordMatch LocateKeyword(std::u16string_view text);
  const char16_t* FindAbbreviation(const char16_t* text) const;
  void AddReloadName(const std::string& fileName);
  void ClearReloadNames() { FReloadNames.clear(); }
  // The article (or articles) of the current keyword, then those of its case
  // twins and of the lemmas its form articles name; the caller begins and
  // ends the writer's document.
  void RenderArticle(TArticleWriter& writer);
  // The articles of the lemmas that the form dictionaries' articles of the
  // keyword name, lemma by lemma in the order named; the keyword's own
  // articles and its case twins' are not among them.
  std::vector<TLemmaArticle> LemmaArticles(int32_t index) const;
  // The articles of the keywords that differ from the keyword only in case
  // (liber for Liber, Liber for liber), in list order; Form names the twin.
  std::vector<TLemmaArticle> CaseTwinArticles(int32_t index) const;
  // One article of the chain: its dictionary's caption, then its body.
  void RenderEntry(const TKeywordEntry& entry, TArticleWriter& writer) const;

  // Full-text search.
  bool StartSearch(std::u16string_view text, int32_t startIndex);
  bool SearchNext();
  bool SearchAll(std::u16string_view text, TSearchResultList& results);
  bool SearchActive() const { return !FSearchWords.empty(); }
  const std::vector<TDictionarySearchWord>& SearchWords() const { return FSearchWords; }
  // The context line of the last hit.
  const std::u16string& SearchContext() const { return FSearchContext; }
  // A single word that must begin with a given letter is sought by that
  // letter rather than word by word; the results are the same. Off only to
  // compare the two.
  void SetLetterScan(bool on) { FLetterScan = on; }
  // The base dictionary's articles that are alone at their keywords are
  // scanned straight from their records, and only a hit's keyword is
  // unscrambled, rather than entries being made for every keyword; the
  // results are the same. Off only to compare the two.
  void SetRecordScan(bool on) { FRecordScan = on; }
  // Dictionaries in keyword order are merged in one pass rather than
  // keyword by keyword, and the largest is read only where the merge and
  // the reader reach it; the keyword list is the same. Off only to compare
  // the two.
  void SetOrderedMerge(bool on) { FOrderedMerge = on; }

  TKodraLanguage* Language() const { return FLanguage; }
  // The folder written to (dictionaries.cfg), whose files win.
  const std::string& Folder() const { return FFolder; }
  // Where dictionaries and dictionaries.cfg are found when the folder has
  // none of that name: the shipped dictionaries of an installed copy.
  const std::string& ShippedFolder() const { return FShippedFolder; }
  void SetShippedFolder(std::string folder);
  // Where the verdicts on the dictionaries' keyword order are remembered
  // (by default the user's cache folder's file).
  void SetOrderCacheFile(std::string fileName);
  // The smaller dictionaries' places are remembered only in a base of this
  // many keywords or more: in a smaller one the search costs less than the
  // file. Lowered only to test the remembered places.
  void SetRememberedPlacesFrom(int32_t keywords) { FRememberedPlacesFrom = keywords; }

private:
  struct TLoaded {
    std::string Name;
    std::unique_ptr<TBinaryDictionary> Dictionary;
  };
  struct TScanHit {
    size_t Start, End;  // body units of the selection
    size_t Separator;   // where the last matched word ended
  };
  // An article as the scan sees it: its keyword is unscrambled, into the
  // search's text, only when the scan asks for it.
  struct TScanned {
    const TBinaryDictionary* Dictionary;
    uint32_t Article;
    const char16_t* Keyword;  // null until asked for
    std::u16string* Text;
    const char16_t* GetKeyword() {
      if (!Keyword) {
        Dictionary->ReadKeyword(int32_t(Article), *Text);
        Keyword = Text->c_str();
      }
      return Keyword;
    }
  };

  void BuildKeywordList();
  TKeywordOrderCache& OrderCache();
  std::string OrderCacheFileName() const;
  uint64_t MergeIdentity(const std::vector<TBinaryDictionary*>& members, const TBinaryDictionary* base) const;
  std::string PlacesFile() const;
  TMergeLayout MergeOthers(const std::vector<TBinaryDictionary*>& members, TBinaryDictionary* base, size_t total);

  void MergeDictionary(TKezSortedList& list, TBinaryDictionary& dictionary, TKeywordEntry*& storage);
  bool MergeOrderedDictionary(TKezSortedList& list, TBinaryDictionary& dictionary, TKeywordEntry*& storage);
  void AddAbbreviations(const TBinaryDictionary& dictionary);
  std::vector<std::string> ReadConfiguration(TDictionaryLoadFailure* unreadable = nullptr) const;
  void WriteConfiguration(const std::vector<std::string>& names) const;
  const TOptions& Opts() const;

  // Search internals.
  bool SearchStep();
  bool SearchArticle(const TKeywordEntry* entry, TBinaryDictionary& dictionary, uint32_t article);
  void PrepareFilter();
  bool MayHold(TScanned& article, const uint8_t* codes);
  bool ScanBody(TScanned& article, std::u16string_view body, size_t from, TScanHit& hit) const;
  bool ScanForFirstLetter(std::u16string_view body, size_t from, TScanHit& hit) const;
  bool LetterScanApplies() const;
  const uint8_t* LetterStops() const;
  bool MayHoldLetterAtWordStart(const TBinaryDictionary& dictionary, uint32_t article, const uint8_t* codes) const;
  bool MatchWord(const TDictionarySearchWord& word, std::u16string_view text, size_t& fragmentStart,
                 size_t& fragmentEnd) const;
  const char16_t* FoldTable(bool keepDiacritics) const;
  const char16_t* SecondFoldTable(bool keepDiacritics) const;
  int32_t RenderedPosition(const TKeywordEntry& entry, std::u16string_view body, size_t unit) const;
  std::u16string ContextLine(const TKeywordEntry& entry, std::u16string_view body, size_t start, size_t end) const;

  TKodraLanguage* FLanguage;
  std::string FFolder;
  std::string FShippedFolder;
  const TOptions* FOptions;
  std::vector<TLoaded> FDictionaries;
  TMergedKeywords FKeywords;
  // The entries of the dictionaries merged into the base. Every one is
  // written before it is read: left uninitialised, so that many of them
  // cost no clearing pass.
  TKezPWideCharHashTable FAbbreviations{313};
  int32_t FCurrentIndex = 0;
  int32_t FSelectionStart = 0, FSelectionLength = 0;
  std::vector<std::string> FReloadNames;
  std::vector<TDictionaryLoadFailure> FLoadFailures;
  bool FReadOnly = false;
  std::string FOrderCacheFile;
  int32_t FRememberedPlacesFrom = 50000;
  std::unique_ptr<TKeywordOrderCache> FOrderCache;

  std::vector<TDictionarySearchWord> FSearchWords;
  int32_t FSearchEnd = 0, FSearchIndex = 0;
  const TKeywordEntry* FSearchEntry = nullptr;
  size_t FSearchOffset = 0;
  // The entry of a hit in an article scanned from its record, and its
  // keyword; the keyword is read here while the article is scanned.
  TKeywordEntry FSearchOwnEntry{};
  std::u16string FSearchKeyword;
  std::u16string FSearchContext;
  mutable std::vector<char16_t> FFoldTables[2];
  mutable std::vector<char16_t> FSecondFolds[2];  // empty when nothing folds to two units
  // A body can hold a hit only if it holds every letter of the search
  // words: the letters as bits, and the bits of each dictionary's codes.
  bool FFilter = false;
  uint64_t FRequiredLetters = 0;
  uint32_t FFilterChecked = 0, FFilterPassed = 0;
  bool FLetterScan = true;
  bool FRecordScan = true;
  bool FOrderedMerge = true;
  mutable std::vector<uint8_t> FLetterStops;  // per unit: what stops the letter scan
  mutable char16_t FLetterStopsFor = 0;
  mutable bool FLetterStopsKeep = false, FLetterStopsInComment = false;
  // Per dictionary and code: the letter stop of its unit, whether it is a
  // word's or an in-word sign (made with FLetterStops).
  struct TCodeStops {
    const TBinaryDictionary* Dictionary;
    std::vector<uint8_t> Kinds;
    std::string LetterBytes;  // the bytes a letter's code starts with
  };
  mutable std::vector<TCodeStops> FCodeStops;
  std::vector<std::pair<const TBinaryDictionary*, std::vector<uint64_t>>> FCodeLetters;
};
