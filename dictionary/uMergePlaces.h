#pragma once
// How the articles of a set's smaller dictionaries stand in the merged
// keyword list: found once by searching the large dictionary, then
// remembered in the user's cache folder for that set of files (their
// identities, in order), so that a start neither reads their keywords nor
// searches the large dictionary again.
//
// The smaller dictionaries' articles form chains in keyword order (a chain:
// the articles of one keyword, in the set's order). Each chain has a place:
// the index of the first keyword of the large dictionary not ordered before
// the chain's, shifted left by one, with bit 0 set when the two are equal.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TMergeLayout {
  static constexpr uint8_t kChainStart = 0x80;
  std::vector<uint32_t> Places;    // per chain
  std::vector<uint32_t> Articles;  // per article, chain after chain
  std::vector<uint8_t> Members;    // per article: its dictionary's index in the set, kChainStart on a chain's first

  void Clear() {
    Places.clear();
    Articles.clear();
    Members.clear();
  }
};

// The layout of a cache file's bytes when it is for the identity and fits
// the set: memberCounts gives each dictionary's article count (0 for the
// large one, whose articles are not in the layout), every article named
// lies in its dictionary, there are as many as the counts add up to, and
// every place is possible after the one before it in a large dictionary of
// baseCount keywords. False otherwise, with the layout empty (it is then
// found again).
bool ParseMergeLayout(std::string_view bytes, uint64_t identity, const std::vector<uint32_t>& memberCounts,
                      uint32_t baseCount, TMergeLayout& layout);
bool ReadMergeLayout(const std::string& fileName, uint64_t identity, const std::vector<uint32_t>& memberCounts,
                     uint32_t baseCount, TMergeLayout& layout);
// Replaces the file; a failure to write is ignored.
void WriteMergeLayout(const std::string& fileName, uint64_t identity, const TMergeLayout& layout);
