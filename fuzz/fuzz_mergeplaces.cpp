// Bytes in as a remembered merge layout: whatever is accepted names only
// articles of the set's dictionaries, all of them, in chains of one article
// at least, at places possible in the large dictionary.
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "dictionary/uMergePlaces.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 16) return 0;
  uint64_t identity;
  uint32_t baseCount;
  std::memcpy(&identity, data, 8);
  std::memcpy(&baseCount, data + 8, 4);
  // Up to four dictionaries of up to 63 articles each.
  std::vector<uint32_t> counts;
  for (size_t k = 0; k < 4; ++k) counts.push_back(data[12 + k] & 63u);
  const std::string_view bytes(reinterpret_cast<const char*>(data + 16), size - 16);
  TMergeLayout layout;
  if (ParseMergeLayout(bytes, identity, counts, baseCount, layout)) {
    size_t total = 0;
    for (const uint32_t count : counts) total += count;
    if (layout.Articles.size() != total || layout.Members.size() != total) __builtin_trap();
    for (size_t i = 0; i < total; ++i)
      if (layout.Members[i] >= counts.size() || layout.Articles[i] >= counts[layout.Members[i]]) __builtin_trap();
    if (layout.ChainStarts.size() != layout.ChainCount() + 1 || layout.ChainStarts.back() != total) __builtin_trap();
    for (size_t c = 0; c < layout.ChainCount(); ++c)
      if (layout.ChainStarts[c] >= layout.ChainStarts[c + 1]) __builtin_trap();
    for (size_t j = 0; j < layout.AloneIndexes.size(); ++j)
      if (layout.AloneIndexes[j] - j > baseCount || (j > 0 && layout.AloneIndexes[j] <= layout.AloneIndexes[j - 1]))
        __builtin_trap();
    for (const uint32_t article : layout.JoinedArticles)
      if (article >= baseCount) __builtin_trap();
  } else if (!layout.ChainStarts.empty() || !layout.Articles.empty()) {
    __builtin_trap();
  }
  return 0;
}
