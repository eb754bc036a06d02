#pragma once
// The reader of compiled dictionaries (.kdb). The file is mapped read-only
// (read into memory where it cannot be mapped) and never written. Loading
// checks the header, the tables and where every record lies, and unscrambles
// the header and the abbreviations; keywords are unscrambled only when first
// asked for, a page of neighbours at a time, so that a dictionary of a
// million keywords opens without reading them. A body is decoded from the
// mapped codes through the character table into a reused buffer. A compiler
// replaces a dictionary by renaming a new file over it, which leaves the
// mapped one as it was.
#include <atomic>
#include <cstdlib>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/KezAssert.h"
#include "foundation/KezLazySlots.h"
#include "language/uCommon.h"

class TKeywordOrderCache;
class TKodraLanguage;

// A keyword scrambled as compiled dictionaries store theirs, with its
// terminator: compared with a dictionary's keywords without unscrambling them.
class TScrambledKeyword {
public:
  explicit TScrambledKeyword(std::u16string_view keyword);
  const uint16_t* Units() const { return FUnits.data(); }
  size_t Count() const { return FUnits.size(); }

private:
  std::vector<uint16_t> FUnits;
};

// Two scrambled keywords of aUnits and bUnits units at most (a keyword ends
// at its terminator or there), compared as CompareKeywordText compares them.
int CompareScrambled(const uint8_t* a, size_t aUnits, const uint8_t* b, size_t bUnits,
                     const TKodraLanguage& language);

class TBinaryDictionary {
public:
  TBinaryDictionary();
  ~TBinaryDictionary();
  TBinaryDictionary(const TBinaryDictionary&) = delete;
  TBinaryDictionary& operator=(const TBinaryDictionary&) = delete;

  // Maps and checks the file. Raises THelpedException (SCorruptFile,
  // SFileTooLong, SCantReadFile) or ESystemError.
  // cache: where the verdict on the records' bounds is remembered, so that
  // a large file's table is checked once per state of the file.
  void LoadFromFile(const std::string& fileName, TKeywordOrderCache* cache = nullptr);

  // Valid while the object lives. Safe to call from several threads. A
  // keyword that runs into the next record (only in a damaged file) is cut
  // there, and its article has an empty body.
  const char16_t* GetKeyword(int32_t index) const {
    KEZ_ASSERT(index >= 0 && index < FArticleCount, "uBinaryDictionary");
    const TKeywordPage* page = FPages.Load(size_t(index >> kPageShift));
    if (!page) page = &FillPage(index >> kPageShift);
    return page->Keyword[index & (kPageSize - 1)];
  }
  // The keyword unscrambled into a buffer of the caller's, for passes over
  // every keyword that need not keep them.
  void ReadKeyword(int32_t index, std::u16string& into) const;
  // Whether every keyword sorts after the one before it in the language's
  // keyword order. Neighbours are compared from their first difference,
  // which shows in the scrambled text as well, so that little is unscrambled.
  bool KeywordsAscend(const TKodraLanguage& language) const;
  // The keyword at index against another, as CompareKeywordText compares.
  int CompareKeyword(int32_t index, const TScrambledKeyword& keyword, const TKodraLanguage& language) const;
  const char16_t* GetAbbreviation(int32_t index) const;
  const char16_t* GetExplanation(int32_t index) const;
  // Decodes the body; valid until the next GetArticle or DecodeBody on this object.
  const char16_t* GetArticle(int32_t index) { return DecodeBody(BodyCodes(index)); }
  // Decodes the body whose codes start there (from BodyCodes or FindBodyCodes).
  const char16_t* DecodeBody(const uint8_t* codes);
  std::u16string_view LastArticle() const { return {FBody.data(), FBodyLength}; }
  // The coded body of an article, for scans that only need to know which
  // characters it holds: codes run from the first byte to a zero byte or to
  // the end of the records, whichever comes first. Where it starts is kept
  // for the next call.
  const uint8_t* BodyCodes(int32_t index) const;
  // The same, found again from the record every time: a pass over every body
  // keeps nothing per article, whatever the dictionary's size.
  const uint8_t* FindBodyCodes(int32_t index) const;
  // Where the article's record ends: its body's codes lie before it.
  const uint8_t* RecordEnd(int32_t index) const { return FImage + RecordLimit(index); }
  const char16_t* CharTable() const { return FCharTable; }
  // Calls f(code) for each code of the article's body, up to its end byte,
  // the first code not below the character count, or the end of the records.
  template <class F>
  void ForEachCode(int32_t index, F&& f) const {
    ForEachCodeAt(BodyCodes(index), f);
  }
  // Whether f(code) holds for a code of the body whose codes start there
  // (from BodyCodes or FindBodyCodes), walked as ForEachCode walks them and
  // stopping at the first that does.
  template <class F>
  bool AnyCodeAt(const uint8_t* codes, F&& f) const {
    const uint8_t* p = codes;
    const uint8_t* const end = FImage + FRecordsEnd;
    const uint32_t charCount = uint32_t(FCharCount);
    while (p < end) {
      uint32_t code = *p++;
      if (code == 0) break;
      if (code <= 30) {
        if (p >= end) break;
        code = (31 - code) * 256 + *p++;
      }
      if (code >= charCount) break;
      if (f(code)) return true;
    }
    return false;
  }
  // ForEachCode for the codes of BodyCodes or FindBodyCodes.
  template <class F>
  void ForEachCodeAt(const uint8_t* codes, F&& f) const {
    AnyCodeAt(codes, [&](uint32_t code) {
      f(code);
      return false;
    });
  }

  const std::string& FileName() const { return FFileName; }
  // Whether the file is no longer the one loaded: rewritten in place (a
  // read found it shorter), replaced or gone. Looks at the file each time.
  bool ChangedOnDisk() const;
  // The identity of the file's state (see FileIdentity), made once per load.
  uint64_t ContentIdentity() const;
  // The file's modification time when it was read, in nanoseconds.
  int64_t ModifiedTime() const { return FModifiedTime; }
  const char16_t* Caption() const { return FCaption; }
  const char16_t* Comment() const { return FComment; }
  const char16_t* LanguageId() const { return FLanguageId; }
  TDictionaryKind Kind() const { return FKind; }
  uint32_t Version() const { return FVersion; }
  int32_t ImageSize() const { return FImageSize; }
  // The file's bytes as read (mapped or in memory), ImageSize long.
  const uint8_t* Image() const { return FImage; }
  int32_t CharCount() const { return FCharCount; }
  int32_t AbbreviationCount() const { return FAbbreviationCount; }
  int32_t ArticleCount() const { return FArticleCount; }
  // How many pages of keywords have been unscrambled so far: passes that
  // should need none can show that they made none.
  int32_t KeywordPagesMade() const;

private:
  // The keywords of kPageSize neighbouring articles, unscrambled together.
  static constexpr int kPageShift = 5;
  static constexpr int32_t kPageSize = 1 << kPageShift;
  struct TKeywordPage {
    const char16_t* Keyword[kPageSize];  // in Text
    std::vector<char16_t> Text;
  };

  void ReadImage();
  void ParseImage();
  void Release();
  // Unscrambles the string at offset onto the end of FText and returns the
  // offset just past its terminator, which must come before limit.
  uint32_t UnscrambleString(uint32_t offset, uint32_t limit);
  void UnscrambleTable(uint32_t offset, int32_t count, std::vector<uint32_t>& table);
  uint32_t TrailerNumber(int32_t distanceFromEnd) const;
  // Where article index's record starts, and where the next one does.
  uint32_t RecordOf(int32_t index) const;
  uint32_t RecordLimit(int32_t index) const;
  // Where the body starts: just past the keyword's terminator, or at the end
  // of the records when the keyword is cut.
  uint32_t BodyOffset(int32_t index) const;
  // Unscrambles the keyword of the record onto text, terminated, cut at
  // limit when no terminator comes before it.
  void UnscrambleKeyword(uint32_t record, uint32_t limit, std::vector<char16_t>& text) const;
  const TKeywordPage& FillPage(int32_t page) const;
  void ReleasePages();

  std::string FFileName;
  const uint8_t* FImage = nullptr;  // the mapped file, or FOwnedImage
  void* FMapping = nullptr;
  size_t FMappingSize = 0;
  std::unique_ptr<uint8_t[]> FOwnedImage;
  int32_t FImageSize = 0;
  int64_t FModifiedTime = 0;
  mutable std::atomic<uint64_t> FContentIdentity{0};  // 0 until made
  TKeywordOrderCache* FRecordsCache = nullptr;  // during LoadFromFile only
  static constexpr int32_t kRememberedRecordsFrom = 50000;
  std::vector<char16_t> FText;  // the header and abbreviation strings, each terminated
  std::vector<uint32_t> FAbbreviationText;  // per abbreviation: it, then its explanation, in FText
  uint32_t FArticleTable = 0;   // the scrambled record offsets of the articles
  mutable TKezLazySlots<TKeywordPage> FPages;
  // Per article, where its body starts once it has been looked for (0 until
  // then: no body starts at the signature). Zero pages cost nothing until
  // written, so a dictionary that is never scanned never pays for them.
  struct TFreeDeleter {
    void operator()(void* block) const { std::free(block); }
  };
  mutable std::unique_ptr<uint32_t[], TFreeDeleter> FBodyOffsets;
  mutable std::mutex FPageLock;  // taken only to fill a page
  uint32_t FVersion = 0;
  const char16_t* FCaption = u"";
  const char16_t* FComment = u"";
  const char16_t* FLanguageId = u"";
  TDictionaryKind FKind = dkOther;
  const char16_t* FCharTable = nullptr;
  int32_t FCharCount = 0;
  int32_t FAbbreviationCount = 0;
  int32_t FArticleCount = 0;
  uint32_t FRecordsEnd = 0;  // bodies never reach past the first table
  // The last body decoded, terminated, with room to spare.
  std::vector<char16_t> FBody;
  size_t FBodyLength = 0;
};
