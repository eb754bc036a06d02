#include "dictionary/uBinaryDictionary.h"

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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
TBinaryDictionary::~TBinaryDictionary() { Release(); }

void TBinaryDictionary::Release() {
#ifndef _WIN32
  if (FMapping) munmap(FMapping, FMappingSize);
#endif
  FMapping = nullptr;
  FMappingSize = 0;
  FOwnedImage.reset();
  FImage = nullptr;
  FImageSize = 0;
}

void TBinaryDictionary::LoadFromFile(const std::string& fileName) {
  Release();
  FFileName = fileName;
  try {
    ReadImage();
    ParseImage();
  } catch (...) {
    Release();
    throw;
  }
}

void TBinaryDictionary::ReadImage() {
#ifndef _WIN32
  // Mapped: only the pages the strings and the looked-up bodies lie in are
  // ever read, and they stay shared with the file cache.
  const int descriptor = open(FFileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) RaiseSystemError(errno, FFileName);
  struct stat status;
  if (fstat(descriptor, &status) != 0) {
    const int error = errno;
    close(descriptor);
    RaiseSystemError(error, FFileName);
  }
  if (S_ISREG(status.st_mode)) {
    if (status.st_size < off_t(kKdbMinimumSize)) {
      close(descriptor);
      RaiseCorrupt();
    }
    if (status.st_size > std::numeric_limits<int32_t>::max()) {
      close(descriptor);
      RaiseHelpedError("SFileTooLong", "Not enough memory. File too long");
    }
#ifdef MAP_POPULATE
    // Every page that holds a keyword is read at start anyway: in one call.
    constexpr int kPopulate = MAP_POPULATE;
#else
    constexpr int kPopulate = 0;
#endif
    void* mapping = mmap(nullptr, size_t(status.st_size), PROT_READ, MAP_PRIVATE | kPopulate, descriptor, 0);
    close(descriptor);
    if (mapping != MAP_FAILED) {
      FMapping = mapping;
      FMappingSize = size_t(status.st_size);
      FImage = static_cast<const uint8_t*>(mapping);
      FImageSize = int32_t(status.st_size);
      return;
    }
  } else {
    close(descriptor);
    RaiseHelpedError("SCorruptFile", "Corrupt or inappropriate dictionary file");
  }
#endif
  // Where the file cannot be mapped it is read whole.
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
    FOwnedImage.reset(new uint8_t[size_t(size)]);
  } catch (const std::bad_alloc&) {
    RaiseHelpedError("SFileTooLong", "Not enough memory. File too long");
  }
  const size_t read = std::fread(FOwnedImage.get(), 1, size_t(size), file);
  if (read < size_t(size)) {
    if (std::ferror(file)) RaiseSystemError(errno ? errno : EIO, FFileName);
    RaiseHelpedError("SCantReadFile", "The system cannot read from the specified file");
  }
  FImage = FOwnedImage.get();
  FImageSize = static_cast<int32_t>(size);
}

uint32_t TBinaryDictionary::TrailerNumber(int32_t distanceFromEnd) const {
  uint32_t value;
  std::memcpy(&value, FImage + FImageSize - distanceFromEnd, 4);
  return value;
}

// Every string starts from the first key word; the loop keeps its own
// position in the key stream (the shared one is left as it is).
uint32_t TBinaryDictionary::UnscrambleString(uint32_t offset, uint32_t limit) {
  if (offset % 2 != 0) RaiseCorrupt();
  const uint32_t* const key = KeyWords();
  int k = 0;
  for (uint32_t position = offset; position + 2 <= limit; position += 2) {
    uint16_t unit;
    std::memcpy(&unit, FImage + position, 2);
    unit = uint16_t(unit ^ (key[k] & 0xFFFF));
    if (++k == kKeyWordCount) k = 0;
    FText.push_back(char16_t(unit));
    if (unit == 0) return position + 2;
  }
  RaiseCorrupt();
}

void TBinaryDictionary::UnscrambleTable(uint32_t offset, int32_t count, std::vector<uint32_t>& table) {
  table.resize(size_t(count));
  if (count == 0) return;
  std::memcpy(table.data(), FImage + offset, size_t(count) * 4);
  KeyStreamReset();
  for (uint32_t& entry : table) entry ^= KeyStreamNext();
}

void TBinaryDictionary::ParseImage() {
  const uint8_t* const image = FImage;
  uint32_t signature, version;
  std::memcpy(&signature, image, 4);
  std::memcpy(&version, image + 4, 4);
  if (signature != kKdbSignature || version != kKdbVersion) RaiseCorrupt();
  FVersion = version;

  const uint32_t size = uint32_t(FImageSize);
  const uint32_t trailerStart = size - kKdbTrailerSize;
  if (TrailerNumber(4) != kKdbTrailerSignature) RaiseCorrupt();

  const uint32_t charCount = TrailerNumber(8) ^ kKdbTrailerMask;
  const uint32_t charTable = TrailerNumber(12) ^ kKdbTrailerMask;
  const uint32_t articleCount = TrailerNumber(16) ^ kKdbTrailerMask;
  const uint32_t articleTable = TrailerNumber(20) ^ kKdbTrailerMask;
  const uint32_t pairCount = TrailerNumber(24) ^ kKdbTrailerMask;
  const uint32_t pairTable = TrailerNumber(28) ^ kKdbTrailerMask;
  // Counts are bounded by the size first so that no sum overflows.
  if (charCount > size || articleCount > size || pairCount > size) RaiseCorrupt();

  FText.clear();
  // Keywords average a few units; the estimate only spares regrowing.
  FText.reserve(size_t(articleCount + pairCount) * 12 + 64);

  // The header: caption, comment, kind, language identifier.
  uint32_t position = 8;
  size_t header[4];
  for (auto& text : header) {
    text = FText.size();
    position = UnscrambleString(position, trailerStart);
  }
  const uint32_t headerEnd = position;

  // The tables follow the records in the order abbreviations, articles,
  // characters, each wholly inside the image. An empty table may carry any
  // offset.
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

  std::vector<uint32_t> abbreviations, articles;
  UnscrambleTable(pairTable, int32_t(pairCount), abbreviations);
  UnscrambleTable(articleTable, int32_t(articleCount), articles);
  FAbbreviationCount = int32_t(pairCount);
  FArticleCount = int32_t(articleCount);
  FCharTable = charCount ? reinterpret_cast<const char16_t*>(image + charTable) : nullptr;
  FCharCount = int32_t(charCount);

  // Records lie between the header and the first table, one after the
  // other, in table order; anything else would let strings overlap.
  uint32_t recordsFloor = headerEnd;
  FAbbreviationText.resize(pairCount);
  for (int32_t i = 0; i < FAbbreviationCount; ++i) {
    const uint32_t record = abbreviations[size_t(i)];
    if (record < recordsFloor || record >= FRecordsEnd) RaiseCorrupt();
    FAbbreviationText[size_t(i)] = uint32_t(FText.size());
    const uint32_t explanation = UnscrambleString(record, FRecordsEnd);
    recordsFloor = UnscrambleString(explanation, FRecordsEnd);
    for (size_t k = FAbbreviationText[size_t(i)]; k < FText.size(); ++k)
      if (FText[k] == kLowLine) FText[k] = kNoBreakSpace;
  }
  FKeywordText.resize(articleCount);
  FBodyOffsets.resize(articleCount);
  for (int32_t i = 0; i < FArticleCount; ++i) {
#if defined(__GNUC__)
    // The keywords lie one a record, far apart in a large dictionary.
    if (i + 8 < FArticleCount && articles[size_t(i) + 8] < uint32_t(FImageSize))
      __builtin_prefetch(FImage + articles[size_t(i) + 8]);
#endif
    const uint32_t record = articles[size_t(i)];
    if (record < recordsFloor || record >= FRecordsEnd) RaiseCorrupt();
    FKeywordText[size_t(i)] = uint32_t(FText.size());
    FBodyOffsets[size_t(i)] = UnscrambleString(record, FRecordsEnd);
    // The body ends with at least its zero byte.
    recordsFloor = FBodyOffsets[size_t(i)] + 1;
  }
  FCaption = FText.data() + header[0];
  FComment = FText.data() + header[1];
  FKind = DictionaryKindOf(FText.data() + header[2]);
  FLanguageId = FText.data() + header[3];
}

const char16_t* TBinaryDictionary::GetKeyword(int32_t index) const {
  KEZ_ASSERT(index >= 0 && index < FArticleCount, "uBinaryDictionary");
  return FText.data() + FKeywordText[size_t(index)];
}

const char16_t* TBinaryDictionary::GetAbbreviation(int32_t index) const {
  KEZ_ASSERT(index >= 0 && index < FAbbreviationCount, "uBinaryDictionary");
  return FText.data() + FAbbreviationText[size_t(index)];
}

const char16_t* TBinaryDictionary::GetExplanation(int32_t index) const {
  const char16_t* abbreviation = GetAbbreviation(index);
  return abbreviation + std::char_traits<char16_t>::length(abbreviation) + 1;
}

const uint8_t* TBinaryDictionary::BodyCodes(int32_t index) const {
  KEZ_ASSERT(index >= 0 && index < FArticleCount, "uBinaryDictionary");
  return FImage + FBodyOffsets[size_t(index)];
}

const char16_t* TBinaryDictionary::GetArticle(int32_t index) {
  FBody.Clear();
  ForEachCode(index, [this](uint32_t code) { FBody.AppendChar(FCharTable[code]); });
  return FBody.AsText();
}
