#pragma once
// A source dictionary in memory: header, marks, authors and articles, read
// from and saved to the tagged text format, verified with the first error
// located in its part, item and position, edited one section or article at a
// time, and searched.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <string_view>

#include "foundation/KezBuffer.h"
#include "foundation/KezHeap.h"
#include "foundation/KezSortedList.h"
#include "language/uCommon.h"
#include "language/uLanguage.h"
#include "source/uSourceArticleText.h"

class TSourceDictionary;
class TSourceDictionaryReader;
class TSourceDictionaryWriter;
class TSourceDictionaryCompileData;
class TArticleWriter;

// An attribute (name, value) or an article (keyword, text); both strings live
// in the dictionary's string heap.
struct TSourceRecord {
  const char16_t* Name;
  const char16_t* Value;
};

enum TSourcePart : uint8_t { spHeader = 0, spMarks = 1, spAuthors = 2, spArticles = 3 };

class TSourceDictionaryPartBase {
public:
  TSourceDictionaryPartBase(TSourceDictionary& dictionary, int index, std::u16string startTag,
                            std::u16string endTag);
  virtual ~TSourceDictionaryPartBase() = default;

  virtual std::u16string_view GetText(int32_t item);
  virtual void ReadFrom(TSourceDictionaryReader& reader);
  virtual void WriteTo(TSourceDictionaryWriter& writer);
  virtual void Check();
  virtual void CompileTo(TSourceDictionaryCompileData& data);
  virtual void SetText(char16_t* text, size_t length, int32_t item);
  virtual bool FindNext(std::u16string_view text, bool wholeWord, int32_t& position, int32_t& item);
  virtual TKeywordMatch Locate(const char16_t* keyword) {
    (void)keyword;
    return kmNone;
  }
  virtual void Preview(int32_t item, TArticleWriter& writer) { (void)item; (void)writer; }

  int32_t Count() const { return FRecords.Count(); }
  const TSourceRecord& Record(int32_t index) const { return *static_cast<TSourceRecord*>(FRecords.Items(index)); }
  std::u16string_view Value(std::u16string_view name) const;
  bool FindName(std::u16string_view name, int32_t& index) const;
  void AddAttribute(std::u16string_view name, std::u16string_view value);
  virtual void Clear();
  bool IsEmpty() const { return FRecords.Count() == 0; }
  // Where FindNext resumes: from item on, each offset -1 meaning from the string's start.
  void ResetSearch(int32_t item);

protected:
  TSourceRecord* NewRecord(std::u16string_view name, std::u16string_view value);
  // Joins a repeated record's new value to it: the stored value, separator,
  // "{{", the new value, "}}", separator. While reading, the additions are
  // gathered and stored once at the end, so that many repeats of one
  // keyword cost time and memory linear in their text.
  void MergeInto(TSourceRecord& record, std::u16string_view added, std::u16string_view separator);
  // Whether the record's value, with what reading has gathered, is the text.
  bool HasValue(const TSourceRecord& record, std::u16string_view text) const;
  // Reading gathers merges between these two; the end stores them.
  class TMergeBatch {
  public:
    explicit TMergeBatch(TSourceDictionaryPartBase& part) : FPart(part) { ++FPart.FMergeDepth; }
    ~TMergeBatch();
    TMergeBatch(const TMergeBatch&) = delete;
    TMergeBatch& operator=(const TMergeBatch&) = delete;
    // Stores the gathered values (may raise when memory runs out).
    void Finish();

  private:
    TSourceDictionaryPartBase& FPart;
    bool FFinished = false;
  };
  void ReadAttributeLine(char16_t* line);
  int32_t LineStart(int32_t attribute) const;
  void CheckAttributes();
  [[noreturn]] void Fail(int32_t item, int32_t start, int32_t length, const char* id, const char* message);

  TSourceDictionary& FDictionary;
  int FIndex;
  TKezSortedList FRecords;
  std::u16string FStartTag, FEndTag;
  TKezWideCharBuffer FTextBuffer{8192};
  std::unordered_map<TSourceRecord*, std::u16string> FPendingMerges;
  int FMergeDepth = 0;
  int32_t FSearchItem = 0, FSearchNameOffset = -1, FSearchValueOffset = -1;
};

class TSourceDictionaryPartHeader : public TSourceDictionaryPartBase {
public:
  explicit TSourceDictionaryPartHeader(TSourceDictionary& dictionary);
  std::u16string_view GetText(int32_t item) override;
  void ReadFrom(TSourceDictionaryReader& reader) override;
  void Check() override;
  void CompileTo(TSourceDictionaryCompileData& data) override;
  void SetText(char16_t* text, size_t length, int32_t item) override;
  // An empty header gets caption, comment, kind "note" and the default language.
  void FillDefaults();

private:
  void ApplyLanguageAndKind();
};

class TSourceDictionaryPartArticles : public TSourceDictionaryPartBase {
public:
  explicit TSourceDictionaryPartArticles(TSourceDictionary& dictionary);
  std::u16string_view GetText(int32_t item) override;
  void ReadFrom(TSourceDictionaryReader& reader) override;
  void WriteTo(TSourceDictionaryWriter& writer) override;
  void Check() override;
  void CompileTo(TSourceDictionaryCompileData& data) override;
  void SetText(char16_t* text, size_t length, int32_t item) override;
  bool FindNext(std::u16string_view text, bool wholeWord, int32_t& position, int32_t& item) override;
  TKeywordMatch Locate(const char16_t* keyword) override;
  void Preview(int32_t item, TArticleWriter& writer) override;
  void Clear() override;
  // The records of a source read out of keyword order lie scattered in
  // memory: walks over all of them ask for the records ahead of time.
  void FetchAhead(int32_t index) const {
#if defined(__GNUC__)
    if (index + 16 < Count()) __builtin_prefetch(FRecords.Items(index + 16));
    if (index + 8 < Count()) {
      const TSourceRecord& record = Record(index + 8);
      __builtin_prefetch(record.Name);
      __builtin_prefetch(record.Value);
    }
#else
    (void)index;
#endif
  }

  int32_t LastInserted() const { return FLastInserted; }

private:
  // Reads the article whose "#" line is next, and the ones after it.
  void ReadArticles(TSourceDictionaryReader& reader);
  std::u16string_view CollectText(TSourceDictionaryReader& reader);
  void AddArticle(std::u16string_view keyword, std::u16string_view text);
  void CheckArticle(int32_t index);

  int32_t FLastInserted = -1;
  TSourceArticleText FCollected;
};

// Search start modes.
enum TSourceSearchMode { smFromBeginning = 0, smFromCurrent = 1, smCurrentArticle = 2 };

// The compiled file's name for a source file: its extension replaced by ".kdb".
std::string CompiledFileName(const std::string& sourceName);

class TSourceDictionary {
public:
  explicit TSourceDictionary(TKodraLanguage* language);
  ~TSourceDictionary();
  TSourceDictionary(const TSourceDictionary&) = delete;
  TSourceDictionary& operator=(const TSourceDictionary&) = delete;

  void Clear();
  // Loads (or merges) a file; a failed load leaves the dictionary empty, a
  // failed merge keeps what was merged up to the failure.
  void LoadFromFile(const std::string& fileName, bool merge = false);
  void MergeFromFile(const std::string& fileName) { LoadFromFile(fileName, true); }
  // Loads a text in the file's format, as LoadFromFile loads a file's units
  // (the text is split into lines in place); a failed load leaves the
  // dictionary empty.
  void LoadFromText(std::u16string& text);
  // Writes the saved layout to the dictionary's file name; the old file stays
  // intact when saving fails, and the dictionary stays modified.
  void SaveToFile();
  // Writes the same text to another file; the dictionary's own file, name
  // and modified state stay as they are.
  void SaveCopyTo(const std::string& fileName) const;
  void Verify();
  // Compiles into targetName, by default the source's name with the extension
  // ".kdb". The target is replaced only when the compilation succeeds.
  void Compile(const std::string& targetName = {});

  bool IsEmpty() const;
  int32_t ArticleCount() const { return FArticles->Count(); }
  std::u16string_view Keyword(int32_t index) const;
  std::u16string_view ArticleText(int32_t index) const;

  void SetFileName(const std::string& name);
  const std::string& FileName() const { return FFileName; }
  void SetLanguage(std::u16string_view id);
  TKodraLanguage* Language() const { return FLanguage; }
  void SetKind(TDictionaryKind kind) { FKind = kind; }
  TDictionaryKind Kind() const { return FKind; }
  bool Modified() const { return FModified; }
  void SetModified() { FModified = true; }

  void SetLocation(int part, int32_t item, int32_t start, int32_t length);
  void ResetLocation() { SetLocation(spArticles, -1, 0, 0); }
  void ClearSelection() { FSelectionStart = FSelectionLength = 0; }
  int CurrentPart() const { return FCurrentPart; }
  int32_t CurrentItem() const { return FCurrentItem; }
  int32_t SelectionStart() const { return FSelectionStart; }
  int32_t SelectionLength() const { return FSelectionLength; }

  std::u16string_view GetCurrentText();
  void SetPartText(std::u16string_view text, int part, int32_t item);
  std::u16string_view Caption() const;
  // Places the dictionary on the article a typed word means, as the viewer
  // looks it up; how the word matched its keyword (kmNone: the nearest).
  TKeywordMatch Locate(const char16_t* keyword);
  void PreviewCurrent(TArticleWriter& writer);

  // parts: bit k set for part k.
  bool StartSearch(std::u16string_view text, uint8_t parts, bool wholeWord, TSourceSearchMode mode);
  bool SearchNext();
  bool SearchFound() const { return FSearchFound; }

  TSourceDictionaryPartBase& Part(int index) { return *FParts[index]; }
  const TSourceDictionaryPartBase& Part(int index) const { return *FParts[index]; }
  TKezHeap& StringHeap() { return FStringHeap; }
  TKezHeap& RecordHeap() { return FRecordHeap; }

private:
  void ReadFrom(TSourceDictionaryReader& reader);
  void WriteFile(const std::string& fileName) const;
  bool SearchFrom(int part);

  TKodraLanguage* FLanguage;
  TDictionaryKind FKind = dkOther;
  std::string FFileName;
  bool FModified = false;
  int FCurrentPart = spHeader;
  int32_t FCurrentItem = -1;
  int32_t FSelectionStart = 0, FSelectionLength = 0;
  bool FSearchFound = false;
  std::u16string FSearchText;
  uint8_t FSearchParts = 0;
  bool FSearchWholeWord = false;
  int FSearchPart = 0;
  int32_t FSearchItem = 0;
  int32_t FSearchLimit = -1;
  int32_t FSearchPosition = 0;
  TKezHeap FStringHeap{1024 * 1024, false, 2};
  TKezHeap FRecordHeap{0, false, 8};  // records hold two pointers
  TKezWideCharBuffer FWorkBuffer{8192};
  TSourceDictionaryPartBase* FParts[4];
  TSourceDictionaryPartArticles* FArticles;
};
