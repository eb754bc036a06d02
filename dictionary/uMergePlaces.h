#pragma once
// How the articles of a set's smaller dictionaries stand in the merged
// keyword list: found once by searching the large dictionary (the base),
// then remembered in the user's cache folder for that set of files (their
// identities, in order), so that a start neither reads their keywords nor
// searches the base again.
//
// The smaller dictionaries' articles form chains (the articles of one
// keyword, in the set's order). A chain either stands alone in the list,
// before the first base keyword ordered after it, or joins the base
// article of its keyword.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TMergeLayout {
  // The list index of each chain that stands alone, ascending; and the base
  // article each other chain joins, ascending.
  std::vector<uint32_t> AloneIndexes, JoinedArticles;
  // Chain c (the lone ones first, then the joined ones, each in list order)
  // holds the articles from ChainStarts[c] up to ChainStarts[c + 1].
  std::vector<uint32_t> ChainStarts;
  // Per article: its index in its dictionary, and its dictionary's index in the set.
  std::vector<uint32_t> Articles;
  std::vector<uint16_t> Members;

  size_t ChainCount() const { return AloneIndexes.size() + JoinedArticles.size(); }
  void Clear() { *this = TMergeLayout(); }
};

// The layout of a cache file's bytes when it is for the identity and fits
// the set: memberCounts gives each dictionary's article count (0 for the
// base, whose articles are not in the layout), every article named lies in
// its dictionary, there are as many as the counts add up to, each chain
// holds one at least, and every chain's place is possible in a base of
// baseCount keywords. False otherwise, with the layout empty (it is then
// found again).
bool ParseMergeLayout(std::string_view bytes, uint64_t identity, const std::vector<uint32_t>& memberCounts,
                      uint32_t baseCount, TMergeLayout& layout);
bool ReadMergeLayout(const std::string& fileName, uint64_t identity, const std::vector<uint32_t>& memberCounts,
                     uint32_t baseCount, TMergeLayout& layout);
// Replaces the file; a failure to write is ignored.
void WriteMergeLayout(const std::string& fileName, uint64_t identity, const TMergeLayout& layout);
