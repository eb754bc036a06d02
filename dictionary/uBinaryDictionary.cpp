#include "dictionary/uBinaryDictionary.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "dictionary/uKeyStream.h"
#include "dictionary/uKeywordOrderCache.h"
#include "foundation/KezAssert.h"
#include "foundation/KezFiles.h"
#include "foundation/KezMappedRegions.h"
#include "foundation/KezSystemError.h"
#include "language/uLanguage.h"

static_assert(std::endian::native == std::endian::little, "the image is read in place as little-endian");

namespace {
[[noreturn]] void RaiseCorrupt() { RaiseHelpedError("SCorruptFile", "Corrupt or inappropriate dictionary file"); }

constexpr char16_t kLowLine = 0x005F;
constexpr char16_t kNoBreakSpace = 0x00A0;

// Appends the scrambled string at from onto text, its terminator included,
// and returns the offset just past the terminator; 0 when none comes before
// limit (the units up to limit are appended all the same). Every string
// starts from the first key word.
template <class TText>
uint32_t AppendUnscrambled(const uint8_t* image, uint32_t from, uint32_t limit, TText& text) {
  const uint32_t* const key = KeyWords();
  int k = 0;
  for (uint32_t position = from; position + 2 <= limit; position += 2) {
    uint16_t unit;
    std::memcpy(&unit, image + position, 2);
    unit = uint16_t(unit ^ (key[k] & 0xFFFF));
    if (++k == kKeyWordCount) k = 0;
    text.push_back(char16_t(unit));
    if (unit == 0) return position + 2;
  }
  return 0;
}

// A file's size and modification time (nanoseconds), as loading keeps them.
bool FileState(const std::string& fileName, int64_t& size, int64_t& time) {
#ifndef _WIN32
  struct stat status;
  if (stat(fileName.c_str(), &status) != 0) return false;
  size = int64_t(status.st_size);
  time = int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
#else
  std::error_code error;
  size = int64_t(std::filesystem::file_size(fileName, error));
  if (error) return false;
  time = int64_t(std::filesystem::last_write_time(fileName, error).time_since_epoch().count());
  if (error) return false;
#endif
  return true;
}

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

void TBinaryDictionary::ReleasePages() {
  FPages.Reset(0);
  FBodyOffsets.reset();
}

void TBinaryDictionary::Release() {
  ReleasePages();
  FArticleCount = 0;
#ifndef _WIN32
  if (FMapping) {
    UnregisterMappedRegion(FMapping);
    munmap(FMapping, FMappingSize);
  }
#endif
  FMapping = nullptr;
  FMappingSize = 0;
  FOwnedImage.reset();
  FImage = nullptr;
  FImageSize = 0;
  FContentIdentity.store(0, std::memory_order_relaxed);
}

bool TBinaryDictionary::ChangedOnDisk() const {
  if (FMapping && MappedRegionFaulted(FMapping)) return true;
  int64_t size = 0, time = 0;
  return !FileState(FFileName, size, time) || size != FImageSize || time != FModifiedTime;
}

uint64_t TBinaryDictionary::ContentIdentity() const {
  uint64_t identity = FContentIdentity.load(std::memory_order_relaxed);
  if (identity == 0) {
    identity = SampledFileIdentity(FImage, FImageSize, FModifiedTime) | 1;  // never 0
    FContentIdentity.store(identity, std::memory_order_relaxed);
  }
  return identity;
}

void TBinaryDictionary::LoadFromFile(const std::string& fileName, TKeywordOrderCache* cache) {
  Release();
  FFileName = fileName;
  FRecordsCache = cache;
  try {
    ReadImage();
    ParseImage();
  } catch (...) {
    FRecordsCache = nullptr;
    Release();
    throw;
  }
  FRecordsCache = nullptr;
}

void TBinaryDictionary::ReadImage() {
#ifndef _WIN32
  // Mapped: only the pages that the tables, the looked-up keywords and the
  // read bodies lie in are ever read, and they stay shared with the file cache.
  // Opened without blocking: a FIFO in the file's place must not hang the start.
  const int descriptor = open(FFileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) RaiseSystemError(errno, FFileName);
  struct stat status;
  if (fstat(descriptor, &status) != 0) {
    const int error = errno;
    close(descriptor);
    RaiseSystemError(error, FFileName);
  }
  if (S_ISREG(status.st_mode)) {
    FModifiedTime = int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    if (status.st_size < off_t(kKdbMinimumSize)) {
      close(descriptor);
      RaiseCorrupt();
    }
    if (status.st_size > std::numeric_limits<int32_t>::max()) {
      close(descriptor);
      RaiseHelpedError("SFileTooLong", "Not enough memory. File too long");
    }
    void* mapping = mmap(nullptr, size_t(status.st_size), PROT_READ, MAP_PRIVATE, descriptor, 0);
    close(descriptor);
    if (mapping != MAP_FAILED) {
      FMapping = mapping;
      FMappingSize = size_t(status.st_size);
      RegisterMappedRegion(mapping, FMappingSize);
      FImage = static_cast<const uint8_t*>(mapping);
      FImageSize = int32_t(status.st_size);
      return;
    }
  } else {
    close(descriptor);
    RaiseHelpedError("SNotAFile", "%s is not a file", {FFileName});
  }
#endif
  // Where the file cannot be mapped it is read whole.
  int64_t ignoredSize = 0;
  FileState(FFileName, ignoredSize, FModifiedTime);
  TReadOutcome outcome;
  std::FILE* file = OpenRegularFile(FFileName, outcome);
  if (!file && outcome.Result == TReadResult::NotAFile) RaiseHelpedError("SNotAFile", "%s is not a file", {FFileName});
  if (!file) RaiseSystemError(outcome.Error, FFileName);
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

uint32_t TBinaryDictionary::UnscrambleString(uint32_t offset, uint32_t limit) {
  if (offset % 2 != 0) RaiseCorrupt();
  if (const uint32_t end = AppendUnscrambled(FImage, offset, limit, FText)) return end;
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
  // Abbreviations average a few units; the estimate only spares regrowing.
  FText.reserve(size_t(pairCount) * 24 + 64);

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

  std::vector<uint32_t> abbreviations;
  UnscrambleTable(pairTable, int32_t(pairCount), abbreviations);
  FAbbreviationCount = int32_t(pairCount);
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
  // An article record holds at least a keyword's terminator and a body's
  // end byte; whether the keyword ends before the next record is seen when
  // it is first read.
  FArticleTable = articleTable;
  FArticleCount = int32_t(articleCount);
  // Checked once per state of a file when a cache remembers the verdict: a
  // large dictionary's table is a pass over megabytes.
  const bool remembered = FRecordsCache && FArticleCount >= kRememberedRecordsFrom;
  const uint64_t identity = remembered ? FileIdentity(*this, "records") : 0;
  if (!remembered || FRecordsCache->Verdict(identity) != true) {
    for (int32_t i = 0; i < FArticleCount; ++i) {
      const uint32_t record = RecordOf(i);
      if (record < recordsFloor || record >= FRecordsEnd || record % 2 != 0) RaiseCorrupt();
      recordsFloor = record + 3;
    }
    if (remembered) FRecordsCache->Remember(identity, true);
  }
  try {
    FPages.Reset(size_t((FArticleCount + kPageSize - 1) >> kPageShift));
  } catch (const std::bad_alloc&) {
    RaiseHelpedError("SFileTooLong", "Not enough memory. File too long");
  }
  FBodyOffsets.reset(static_cast<uint32_t*>(std::calloc(size_t(FArticleCount) + 1, sizeof(uint32_t))));
  if (!FBodyOffsets) RaiseHelpedError("SFileTooLong", "Not enough memory. File too long");
  FCaption = FText.data() + header[0];
  FComment = FText.data() + header[1];
  FKind = DictionaryKindOf(FText.data() + header[2]);
  FLanguageId = FText.data() + header[3];
}

uint32_t TBinaryDictionary::RecordOf(int32_t index) const {
  uint32_t value;
  std::memcpy(&value, FImage + FArticleTable + 4 * size_t(index), 4);
  // Checked at load; a file rewritten in place since may say anything, and
  // no read may leave the records for it.
  return std::min(value ^ KeyWords()[index % kKeyWordCount], FRecordsEnd);
}

uint32_t TBinaryDictionary::RecordLimit(int32_t index) const {
  return index + 1 < FArticleCount ? RecordOf(index + 1) : FRecordsEnd;
}

void TBinaryDictionary::UnscrambleKeyword(uint32_t record, uint32_t limit, std::vector<char16_t>& text) const {
  if (!AppendUnscrambled(FImage, record, limit, text)) text.push_back(0);
}

const TBinaryDictionary::TKeywordPage& TBinaryDictionary::FillPage(int32_t page) const {
  std::lock_guard<std::mutex> lock(FPageLock);
  if (const TKeywordPage* filled = FPages.Load(size_t(page))) return *filled;
  auto fresh = std::make_unique<TKeywordPage>();
  const int32_t first = page << kPageShift;
  const int32_t end = std::min(FArticleCount, first + kPageSize);
  fresh->Text.reserve(size_t(end - first) * 12);
  uint32_t offsets[kPageSize];
  uint32_t record = RecordOf(first);
  for (int32_t i = first; i < end; ++i) {
#if defined(__GNUC__)
    // The keywords lie one a record, far apart in a large dictionary.
    if (i + 4 < end) __builtin_prefetch(FImage + RecordOf(i + 4));
#endif
    const uint32_t limit = RecordLimit(i);
    offsets[i - first] = uint32_t(fresh->Text.size());
    UnscrambleKeyword(record, limit, fresh->Text);
    record = limit;
  }
  // The text has stopped growing: the keywords can point into it.
  for (int32_t i = first; i < end; ++i) fresh->Keyword[i - first] = fresh->Text.data() + offsets[i - first];
  FPages.Fill(size_t(page), fresh.get());
  return *fresh.release();
}

void TBinaryDictionary::ReadKeyword(int32_t index, std::u16string& into) const {
  KEZ_ASSERT(index >= 0 && index < FArticleCount, "uBinaryDictionary");
  into.clear();
  if (AppendUnscrambled(FImage, RecordOf(index), RecordLimit(index), into)) into.pop_back();  // the terminator
}

bool TBinaryDictionary::KeywordsAscend(const TKodraLanguage& language) const {
#if defined(MADV_POPULATE_READ)
  // The pass reads every record: their pages are mapped in one call rather
  // than one fault at a time (a hint; older systems ignore it).
  if (FMapping && FArticleCount > 0) {
    const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    const uintptr_t first = uintptr_t(FImage + RecordOf(0)) & ~(page - 1);
    madvise(reinterpret_cast<void*>(first), uintptr_t(FImage + FRecordsEnd) - first, MADV_POPULATE_READ);
  }
#endif
  uint32_t previous = FArticleCount ? RecordOf(0) : 0;
  for (int32_t i = 1; i < FArticleCount; ++i) {
    const uint32_t record = RecordOf(i);
#if defined(__GNUC__)
    if (i + 16 < FArticleCount) __builtin_prefetch(FImage + RecordOf(i + 16));
#endif
    // A keyword may hold units up to the next record; one without a
    // terminator there ends there.
    if (CompareScrambled(FImage + previous, (record - previous) / 2, FImage + record, (RecordLimit(i) - record) / 2,
                         language) >= 0)
      return false;
    previous = record;
  }
  return true;
}

TScrambledKeyword::TScrambledKeyword(std::u16string_view keyword) {
  const uint32_t* const key = KeyWords();
  FUnits.resize(keyword.size() + 1);
  for (size_t n = 0; n <= keyword.size(); ++n) {
    const uint16_t unit = n < keyword.size() ? uint16_t(keyword[n]) : 0;
    FUnits[n] = uint16_t(unit ^ key[n % kKeyWordCount]);
  }
}

int TBinaryDictionary::CompareKeyword(int32_t index, const TScrambledKeyword& keyword,
                                      const TKodraLanguage& language) const {
  KEZ_ASSERT(index >= 0 && index < FArticleCount, "uBinaryDictionary");
  const uint32_t record = RecordOf(index);
  return CompareScrambled(FImage + record, (RecordLimit(index) - record) / 2,
                          reinterpret_cast<const uint8_t*>(keyword.Units()), keyword.Count(), language);
}

int CompareScrambled(const uint8_t* a, size_t aUnits, const uint8_t* b, size_t bUnits,
                     const TKodraLanguage& language) {
  static const std::array<uint16_t, kKeyWordCount> kKey = [] {
    std::array<uint16_t, kKeyWordCount> key{};
    for (int k = 0; k < kKeyWordCount; ++k) key[size_t(k)] = uint16_t(KeyWord(k));
    return key;
  }();
  // Equal scrambled units are equal units: the common beginning is
  // skipped without unscrambling it.
  const size_t common = std::min(aUnits, bUnits);
  size_t k = 0;
  for (size_t position = 0; k < common; ++k) {
    uint16_t first, second;
    std::memcpy(&first, a + 2 * k, 2);
    std::memcpy(&second, b + 2 * k, 2);
    if (first != second) break;
    if (first == kKey[position]) return 0;  // both ended
    if (++position == kKeyWordCount) position = 0;
  }
  // The rest as CompareKeywordText compares: the first letter that differs
  // decides, else the first difference of case or diacritics.
  auto unitAt = [](const uint8_t* text, size_t count, size_t n) -> char16_t {
    if (n >= count) return 0;
    uint16_t unit;
    std::memcpy(&unit, text + 2 * n, 2);
    return char16_t(unit ^ kKey[n % kKeyWordCount]);
  };
  int full = 0;
  for (size_t n = k, m = k;; ++n, ++m) {
    char16_t first = unitAt(a, aUnits, n), second = unitAt(b, bUnits, m);
    while (IsIgnorable(first)) first = unitAt(a, aUnits, ++n);
    while (IsIgnorable(second)) second = unitAt(b, bUnits, ++m);
    if (first == 0) return second == 0 ? full : -1;
    if (second == 0) return 1;
    const uint32_t weight = language.KeywordWeight(first), otherWeight = language.KeywordWeight(second);
    if ((weight >> 8) != (otherWeight >> 8)) return (weight >> 8) < (otherWeight >> 8) ? -1 : 1;
    if (full == 0 && weight != otherWeight) full = weight < otherWeight ? -1 : 1;
  }
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
  std::atomic_ref<uint32_t> known(FBodyOffsets[size_t(index)]);
  if (const uint32_t body = known.load(std::memory_order_relaxed)) return FImage + body;
  const uint32_t body = BodyOffset(index);
  known.store(body, std::memory_order_relaxed);
  return FImage + body;
}

const uint8_t* TBinaryDictionary::FindBodyCodes(int32_t index) const {
  KEZ_ASSERT(index >= 0 && index < FArticleCount, "uBinaryDictionary");
  return FImage + BodyOffset(index);
}

uint32_t TBinaryDictionary::BodyOffset(int32_t index) const {
  // The body follows the keyword's terminator, found in the scrambled text:
  // scans over every body need no keyword pages. A cut keyword's body is
  // empty: it starts at the end of the records.
  // The key's units, with the first three again after the last, so that
  // four units of the key are read in one piece wherever they start.
  static const std::array<uint16_t, kKeyWordCount + 3> kKey = [] {
    std::array<uint16_t, kKeyWordCount + 3> key{};
    for (int k = 0; k < kKeyWordCount + 3; ++k) key[size_t(k)] = uint16_t(KeyWord(k % kKeyWordCount));
    return key;
  }();
  const uint32_t record = RecordOf(index);
  const uint32_t limit = RecordLimit(index);
  uint32_t position = record, k = 0;
  // Four units at a time: the terminator is the first unit that equals the key's.
  for (; position + 8 <= limit; position += 8) {
    uint64_t units, key;
    std::memcpy(&units, FImage + position, 8);
    std::memcpy(&key, &kKey[k], 8);
    const uint64_t x = units ^ key;
    // The lowest flag marks the first zero unit exactly; those above it may be false.
    if (const uint64_t zero = (x - 0x0001000100010001u) & ~x & 0x8000800080008000u)
      return position + 2 * uint32_t(std::countr_zero(zero) / 16) + 2;
    k += 4;
    if (k >= uint32_t(kKeyWordCount)) k -= kKeyWordCount;
  }
  for (; position + 2 <= limit; position += 2) {
    uint16_t unit;
    std::memcpy(&unit, FImage + position, 2);
    if (unit == kKey[k]) return position + 2;
    if (++k == uint32_t(kKeyWordCount)) k = 0;
  }
  return FRecordsEnd;
}

const char16_t* TBinaryDictionary::DecodeBody(const uint8_t* codes) {
  // The units are written through locals, which stay in registers: a store
  // through the buffer's own fields would have them read back every unit.
  const char16_t* const table = FCharTable;
  char16_t* out = FBody.data();
  size_t n = 0, room = FBody.size();
  ForEachCodeAt(codes, [&](uint32_t code) {
    if (n + 2 > room) {  // a unit and the terminator
      FBody.resize(std::max<size_t>(room * 2, 4096));
      out = FBody.data();
      room = FBody.size();
    }
    out[n++] = table[code];
  });
  if (n + 1 > room) {
    FBody.resize(std::max<size_t>(room * 2, 4096));
    out = FBody.data();
  }
  out[n] = 0;
  FBodyLength = n;
  return out;
}

int32_t TBinaryDictionary::KeywordPagesMade() const {
  std::lock_guard<std::mutex> lock(FPageLock);
  return int32_t(FPages.FilledCount());
}
