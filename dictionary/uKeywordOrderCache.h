#pragma once
// Whether a dictionary file's keywords ascend in a language's order, checked
// once per file and remembered by the file's identity (its size,
// modification time and a hash of its header, its tail and pages sampled
// between), so that a start never reads a whole large dictionary. A file
// that changes is checked again. The verdicts live in one small file of the
// user's cache folder; a cache that cannot be read or written only costs the
// check.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TBinaryDictionary;
class TKodraLanguage;

// A hash of a file's size, modification time, header, tail and pages
// sampled between them.
uint64_t SampledFileIdentity(const uint8_t* image, int32_t size, int64_t modifiedTime);
// The identity of a loaded dictionary's file for a purpose (a verdict that
// depends on the file alone, or on a language's order).
uint64_t FileIdentity(const TBinaryDictionary& dictionary, std::string_view purpose);
uint64_t KeywordOrderIdentity(const TBinaryDictionary& dictionary, const TKodraLanguage& language);

// The verdicts of a cache file's text, one "<identity in hex> <0|1>" a line;
// lines of any other shape are skipped.
std::vector<std::pair<uint64_t, bool>> ParseKeywordOrderVerdicts(std::string_view text);

// "keyword-order.cache" in the user's cache folder.
std::string DefaultKeywordOrderCacheFile();

class TKeywordOrderCache {
public:
  // fileName: the cache file; by default "keyword-order.cache" in the user's cache folder.
  explicit TKeywordOrderCache(std::string fileName = {});
  std::optional<bool> Verdict(uint64_t identity) const;
  // Remembers the verdict and writes the file (the newest verdicts, a few
  // hundred at most); a failure to write is ignored.
  void Remember(uint64_t identity, bool ascending);
  const std::string& FileName() const { return FFileName; }

private:
  std::string FFileName;
  std::vector<std::pair<uint64_t, bool>> FVerdicts;  // oldest first
};

// The dictionary's keywords ascend in the language's order: the remembered
// verdict, or the check, remembered.
bool KeywordsAscendRemembered(const TBinaryDictionary& dictionary, const TKodraLanguage& language,
                              TKeywordOrderCache& cache);
