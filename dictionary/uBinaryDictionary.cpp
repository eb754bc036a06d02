#include "dictionary/uBinaryDictionary.h"

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

#include "dictionary/uKeyStream.h"
#include "foundation/KezAssert.h"
#include "foundation/KezSystemError.h"

static_assert(std::endian::native == std::endian::little, "the image is read in place as little-endian");

namespace {
[[noreturn]] void RaiseCorrupt() { RaiseHelpedError("SCorruptFile", "Corrupt or inappropriate dictionary file"); }

constexpr char16_t kLowLine = 0x005F;
constexpr char16_t kNoBreakSpace = 0x00A0;

class TFileCloser {
public:
  explicit TFileCloser(std::FILE* file) : FFile(file) {}
  ~TFileCloser() { std::fclose(FFile); }
private:
  std::FILE* FFile;
};
}  // namespace

TBinaryDictionary::TBinaryDictionary() = default;
TBinaryDictionary::~TBinaryDictionary() = default;

void TBinaryDictionary::LoadFromFile(const std::string& fileName) {
  FFileName = fileName;
  ReadImage();
  ParseImage();
}

void TBinaryDictionary::ReadImage() {
  std::FILE* file = std::fopen(FFileName.c_str(), "rb");
  if (!file) RaiseSystemError(errno, FFileName);
  TFileCloser closer(file);
  if (std::fseek(file, 0, SEEK_END) != 0) RaiseSystemError(errno, FFileName);
  const long size = std::ftell(file);
  if (size < 0) RaiseSystemError(errno, FFileName);
  if (std::fseek(file, 0, SEEK_SET) != 0) RaiseSystemError(errno, FFileName);
  if (size < long(kKdbMinimumSize)) RaiseCorrupt();
  if (size > std::numeric_limits<int32_t>::max())
    RaiseHelpedError("SFileTooLong", "Not enough memory. File too long");
  try {
    FImage.reset(new uint8_t[size_t(size)]);
  } catch (const std::bad_alloc&) {
    RaiseHelpedError("SFileTooLong", "Not enough memory. File too long");
  }
  FImageSize = static_cast<int32_t>(size);
  const size_t read = std::fread(FImage.get(), 1, size_t(size), file);
  if (read < size_t(size)) {
    if (std::ferror(file)) RaiseSystemError(errno ? errno : EIO, FFileName);
    RaiseHelpedError("SCantReadFile", "The system cannot read from the specified file");
  }
}

uint32_t TBinaryDictionary::TrailerNumber(int32_t distanceFromEnd) const {
  uint32_t value;
  std::memcpy(&value, FImage.get() + FImageSize - distanceFromEnd, 4);
  return value;
}

// Unscrambles the string at offset in place and returns the offset just past
// its terminator. The string must be terminated before limit.
uint32_t TBinaryDictionary::UnscrambleString(uint32_t offset, uint32_t limit) {
  if (offset % 2 != 0) RaiseCorrupt();
  KeyStreamReset();
  auto* unit = reinterpret_cast<char16_t*>(FImage.get() + offset);
  for (uint32_t position = offset; position + 2 <= limit; position += 2, ++unit) {
    *unit = char16_t(*unit ^ (KeyStreamNext() & 0xFFFF));
    if (*unit == 0) return position + 2;
  }
  RaiseCorrupt();
}

void TBinaryDictionary::UnscrambleTable(uint32_t offset, int32_t count) {
  if (count == 0) return;
  KeyStreamReset();
  auto* entry = reinterpret_cast<uint32_t*>(FImage.get() + offset);
  for (int32_t i = 0; i < count; ++i) entry[i] ^= KeyStreamNext();
}

void TBinaryDictionary::ParseImage() {
  uint8_t* const image = FImage.get();
  uint32_t signature, version;
  std::memcpy(&signature, image, 4);
  std::memcpy(&version, image + 4, 4);
  if (signature != kKdbSignature || version != kKdbVersion) RaiseCorrupt();
  FVersion = version;

  const uint32_t size = uint32_t(FImageSize);
  const uint32_t trailerStart = size - kKdbTrailerSize;
  if (TrailerNumber(4) != kKdbTrailerSignature) RaiseCorrupt();

  // The header: caption, comment, kind, language identifier.
  uint32_t position = 8;
  const char16_t* header[4];
  for (auto& text : header) {
    text = reinterpret_cast<const char16_t*>(image + position);
    position = UnscrambleString(position, trailerStart);
  }
  const uint32_t headerEnd = position;
  FCaption = header[0];
  FComment = header[1];
  FKind = DictionaryKindOf(header[2]);
  FLanguageId = header[3];

  const uint32_t charCount = TrailerNumber(8) ^ kKdbTrailerMask;
  const uint32_t charTable = TrailerNumber(12) ^ kKdbTrailerMask;
  const uint32_t articleCount = TrailerNumber(16) ^ kKdbTrailerMask;
  const uint32_t articleTable = TrailerNumber(20) ^ kKdbTrailerMask;
  const uint32_t pairCount = TrailerNumber(24) ^ kKdbTrailerMask;
  const uint32_t pairTable = TrailerNumber(28) ^ kKdbTrailerMask;

  // The tables follow the records in the order abbreviations, articles,
  // characters, each wholly inside the image. An empty table may carry any
  // offset. Counts are bounded by the size first so that no sum overflows.
  if (charCount > size || articleCount > size || pairCount > size) RaiseCorrupt();
  struct TTable { uint32_t offset, count, unitSize; };
  const TTable tables[] = {{pairTable, pairCount, 4}, {articleTable, articleCount, 4}, {charTable, charCount, 2}};
  uint32_t floor = headerEnd;
  FRecordsEnd = trailerStart;
  for (const TTable& table : tables) {
    if (table.count == 0) continue;
    const uint64_t end = uint64_t(table.offset) + uint64_t(table.count) * table.unitSize;
    if (table.offset < floor || table.offset % table.unitSize != 0 || end > trailerStart) RaiseCorrupt();
    if (FRecordsEnd == trailerStart) FRecordsEnd = table.offset;
    floor = uint32_t(end);
  }

  UnscrambleTable(pairTable, int32_t(pairCount));
  UnscrambleTable(articleTable, int32_t(articleCount));
  if (pairCount) FAbbreviationTable = reinterpret_cast<const uint32_t*>(image + pairTable);
  FAbbreviationCount = int32_t(pairCount);
  if (articleCount) FArticleTable = reinterpret_cast<const uint32_t*>(image + articleTable);
  FArticleCount = int32_t(articleCount);
  if (charCount) FCharTable = reinterpret_cast<const char16_t*>(image + charTable);
  FCharCount = int32_t(charCount);

  // Records lie between the header and the first table, one after the
  // other, in table order; anything else would let strings overlap.
  uint32_t recordsFloor = headerEnd;
  for (int32_t i = 0; i < FAbbreviationCount; ++i) {
    const uint32_t record = FAbbreviationTable[i];
    if (record < recordsFloor || record >= FRecordsEnd) RaiseCorrupt();
    const uint32_t explanation = UnscrambleString(record, FRecordsEnd);
    recordsFloor = UnscrambleString(explanation, FRecordsEnd);
    for (uint32_t p = record; p + 2 <= recordsFloor; p += 2) {
      auto* unit = reinterpret_cast<char16_t*>(image + p);
      if (*unit == kLowLine) *unit = kNoBreakSpace;
    }
  }
  for (int32_t i = 0; i < FArticleCount; ++i) {
    const uint32_t record = FArticleTable[i];
    if (record < recordsFloor || record >= FRecordsEnd) RaiseCorrupt();
    // The body ends with at least its zero byte.
    recordsFloor = UnscrambleString(record, FRecordsEnd) + 1;
  }
}

const char16_t* TBinaryDictionary::GetKeyword(int32_t index) const {
  KEZ_ASSERT(index >= 0 && index < FArticleCount, "uBinaryDictionary");
  return reinterpret_cast<const char16_t*>(FImage.get() + FArticleTable[index]);
}

const char16_t* TBinaryDictionary::GetAbbreviation(int32_t index) const {
  KEZ_ASSERT(index >= 0 && index < FAbbreviationCount, "uBinaryDictionary");
  return reinterpret_cast<const char16_t*>(FImage.get() + FAbbreviationTable[index]);
}

const char16_t* TBinaryDictionary::GetExplanation(int32_t index) const {
  const char16_t* abbreviation = GetAbbreviation(index);
  return abbreviation + std::char_traits<char16_t>::length(abbreviation) + 1;
}

const uint8_t* TBinaryDictionary::BodyCodes(int32_t index) const {
  const char16_t* keyword = GetKeyword(index);
  return reinterpret_cast<const uint8_t*>(keyword + std::char_traits<char16_t>::length(keyword) + 1);
}

const char16_t* TBinaryDictionary::GetArticle(int32_t index) {
  FBody.Clear();
  ForEachCode(index, [this](uint32_t code) { FBody.AppendChar(FCharTable[code]); });
  return FBody.AsText();
}
