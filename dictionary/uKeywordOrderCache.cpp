#include "dictionary/uKeywordOrderCache.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "dictionary/uBinaryDictionary.h"
#include "foundation/KezFiles.h"
#include "foundation/KezProgramFolder.h"
#include "foundation/KezSafeFile.h"
#include "language/uLanguage.h"

namespace {
constexpr size_t kMaxVerdicts = 256;
constexpr size_t kMaxCacheSize = 64 * 1024;
constexpr int32_t kSampleSize = 4096;
constexpr int kSamples = 8;

// A multiply-and-rotate hash eight bytes at a time: enough to tell one
// file's state from another's, and fast enough to run at every start.
class THash {
public:
  void Add(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
      uint64_t word;
      std::memcpy(&word, bytes + i, 8);
      Mix(word);
    }
    uint64_t tail = size;
    for (; i < size; ++i) tail = tail << 8 | bytes[i];
    Mix(tail);
  }
  template <class T>
  void AddValue(const T& value) {
    Add(&value, sizeof value);
  }
  uint64_t Value() const { return FValue ^ (FValue >> 31); }

private:
  void Mix(uint64_t word) { FValue = std::rotl((FValue ^ word) * 0x9E3779B97F4A7C15ull, 27) * 0xC2B2AE3D27D4EB4Full; }
  uint64_t FValue = 0xCBF29CE484222325ull;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

uint64_t KeywordOrderIdentity(const TBinaryDictionary& dictionary, const TKodraLanguage& language) {
  return FileIdentity(dictionary, language.GetId());
}

uint64_t SampledFileIdentity(const uint8_t* image, int32_t size, int64_t modifiedTime) {
  THash hash;
  hash.AddValue(size);
  hash.AddValue(modifiedTime);
  // The header and the tables at the end, and pages spread between them.
  const int32_t sample = std::min(size, kSampleSize);
  hash.Add(image, size_t(sample));
  hash.Add(image + size - sample, size_t(sample));
  for (int k = 1; k < kSamples; ++k) {
    const int32_t at = int32_t(int64_t(size - sample) * k / kSamples);
    hash.Add(image + at, size_t(sample));
  }
  return hash.Value();
}

uint64_t FileIdentity(const TBinaryDictionary& dictionary, std::string_view purpose) {
  THash hash;
  hash.Add(purpose.data(), purpose.size());
  hash.AddValue(dictionary.ContentIdentity());
  return hash.Value();
}

std::vector<std::pair<uint64_t, bool>> ParseKeywordOrderVerdicts(std::string_view text) {
  std::vector<std::pair<uint64_t, bool>> verdicts;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    // 16 hexadecimal digits, a space, the verdict.
    if (line.size() != 18 || line[16] != ' ' || (line[17] != '0' && line[17] != '1')) continue;
    uint64_t identity = 0;
    bool valid = true;
    for (size_t i = 0; i < 16 && valid; ++i) {
      const int digit = HexDigit(line[i]);
      valid = digit >= 0;
      identity = identity << 4 | uint64_t(digit < 0 ? 0 : digit);
    }
    if (valid) verdicts.emplace_back(identity, line[17] == '1');
  }
  if (verdicts.size() > kMaxVerdicts) verdicts.erase(verdicts.begin(), verdicts.end() - long(kMaxVerdicts));
  return verdicts;
}

std::string DefaultKeywordOrderCacheFile() { return UserCacheFolder() + "keyword-order.cache"; }

TKeywordOrderCache::TKeywordOrderCache(std::string fileName)
    : FFileName(fileName.empty() ? DefaultKeywordOrderCacheFile() : std::move(fileName)) {
  std::string text;
  if (ReadSmallFile(FFileName, kMaxCacheSize, text)) FVerdicts = ParseKeywordOrderVerdicts(text);
}

std::optional<bool> TKeywordOrderCache::Verdict(uint64_t identity) const {
  for (auto it = FVerdicts.rbegin(); it != FVerdicts.rend(); ++it)
    if (it->first == identity) return it->second;
  return std::nullopt;
}

void TKeywordOrderCache::Remember(uint64_t identity, bool ascending) {
  std::erase_if(FVerdicts, [identity](const auto& verdict) { return verdict.first == identity; });
  FVerdicts.emplace_back(identity, ascending);
  if (FVerdicts.size() > kMaxVerdicts) FVerdicts.erase(FVerdicts.begin());
  std::string text;
  char line[32];
  for (const auto& [id, verdict] : FVerdicts) {
    std::snprintf(line, sizeof line, "%016llx %c\n", static_cast<unsigned long long>(id), verdict ? '1' : '0');
    text += line;
  }
  // Unwritable (a read-only folder, a full disk): the check is made again next time.
  TryWriteFileSafely(FFileName, text);
}

bool KeywordsAscendRemembered(const TBinaryDictionary& dictionary, const TKodraLanguage& language,
                              TKeywordOrderCache& cache) {
  const uint64_t identity = KeywordOrderIdentity(dictionary, language);
  if (const std::optional<bool> known = cache.Verdict(identity)) return *known;
  const bool ascending = dictionary.KeywordsAscend(language);
  cache.Remember(identity, ascending);
  return ascending;
}
