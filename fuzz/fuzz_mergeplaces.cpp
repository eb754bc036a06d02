// Bytes in as a remembered merge layout: whatever is accepted names only
// articles of the set's dictionaries, all of them, in chains, at places
// each possible after the one before it.
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
    size_t total = 0, chains = 0;
    for (const uint32_t count : counts) total += count;
    if (layout.Articles.size() != total || layout.Members.size() != total) __builtin_trap();
    for (size_t i = 0; i < total; ++i) {
      const uint8_t member = layout.Members[i] & ~TMergeLayout::kChainStart;
      if (member >= counts.size() || layout.Articles[i] >= counts[member]) __builtin_trap();
      chains += (layout.Members[i] & TMergeLayout::kChainStart) != 0;
    }
    if (chains != layout.Places.size() || (total > 0 && !(layout.Members[0] & TMergeLayout::kChainStart)))
      __builtin_trap();
    uint64_t next = 0;
    for (const uint32_t place : layout.Places) {
      if ((place >> 1) < next || (place >> 1) > baseCount) __builtin_trap();
      next = (place >> 1) + (place & 1);
    }
  } else if (!layout.Places.empty() || !layout.Articles.empty()) {
    __builtin_trap();
  }
  return 0;
}
