#pragma once
// The reader of compiled dictionaries (.kdb). The file is mapped read-only
// (read into memory where it cannot be mapped) and never written: its
// strings are unscrambled in one tight pass into a compact text of their
// own, so that keywords and abbreviations are pointers into that text, and a
// body is decoded from the mapped codes through the character table into a
// reused buffer. A compiler replaces a dictionary by renaming a new file over
// it, which leaves the mapped one as it was.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/KezBuffer.h"
#include "language/uCommon.h"

class TBinaryDictionary {
public:
  TBinaryDictionary();
  ~TBinaryDictionary();
  TBinaryDictionary(const TBinaryDictionary&) = delete;
  TBinaryDictionary& operator=(const TBinaryDictionary&) = delete;

  // Reads, checks and unscrambles the file. Raises THelpedException
  // (SCorruptFile, SFileTooLong, SCantReadFile) or ESystemError.
  void LoadFromFile(const std::string& fileName);

  // Valid while the object lives.
  const char16_t* GetKeyword(int32_t index) const;
  const char16_t* GetAbbreviation(int32_t index) const;
  const char16_t* GetExplanation(int32_t index) const;
  // Decodes the body; valid until the next GetArticle on this object.
  const char16_t* GetArticle(int32_t index);
  std::u16string_view LastArticle() const { return FBody.View(); }
  // The coded body of an article, for scans that only need to know which
  // characters it holds: codes run from the first byte to a zero byte or
  // to CodesEnd, whichever comes first.
  const uint8_t* BodyCodes(int32_t index) const;
  const char16_t* CharTable() const { return FCharTable; }
  // Calls f(code) for each code of the article's body, up to its end byte,
  // the first code not below the character count, or the end of the records.
  template <class F>
  void ForEachCode(int32_t index, F&& f) const {
    const uint8_t* p = BodyCodes(index);
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
      f(code);
    }
  }

  const std::string& FileName() const { return FFileName; }
  const char16_t* Caption() const { return FCaption; }
  const char16_t* Comment() const { return FComment; }
  const char16_t* LanguageId() const { return FLanguageId; }
  TDictionaryKind Kind() const { return FKind; }
  uint32_t Version() const { return FVersion; }
  int32_t ImageSize() const { return FImageSize; }
  int32_t CharCount() const { return FCharCount; }
  int32_t AbbreviationCount() const { return FAbbreviationCount; }
  int32_t ArticleCount() const { return FArticleCount; }

private:
  void ReadImage();
  void ParseImage();
  void Release();
  // Unscrambles the string at offset onto the end of FText and returns the
  // offset just past its terminator, which must come before limit.
  uint32_t UnscrambleString(uint32_t offset, uint32_t limit);
  void UnscrambleTable(uint32_t offset, int32_t count, std::vector<uint32_t>& table);
  uint32_t TrailerNumber(int32_t distanceFromEnd) const;

  std::string FFileName;
  const uint8_t* FImage = nullptr;  // the mapped file, or FOwnedImage
  void* FMapping = nullptr;
  size_t FMappingSize = 0;
  std::unique_ptr<uint8_t[]> FOwnedImage;
  int32_t FImageSize = 0;
  std::vector<char16_t> FText;           // the unscrambled strings, each terminated
  std::vector<uint32_t> FKeywordText;    // per article: its keyword in FText
  std::vector<uint32_t> FBodyOffsets;    // per article: its codes in the image
  std::vector<uint32_t> FAbbreviationText;  // per abbreviation: it, then its explanation, in FText
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
  TKezWideCharBuffer FBody{4096, false};
};
