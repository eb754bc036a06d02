// Bytes in as a remembered file of merge places: whatever is accepted is as
// many places as asked, each possible after the one before it.
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "dictionary/uMergePlaces.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 12) return 0;
  uint64_t identity;
  uint32_t baseCount;
  std::memcpy(&identity, data, 8);
  std::memcpy(&baseCount, data + 8, 4);
  const std::string_view bytes(reinterpret_cast<const char*>(data + 12), size - 12);
  std::vector<uint32_t> places;
  const size_t expected = (size - 12) >= 20 ? (size - 12 - 20) / 4 : 0;
  if (ParseMergePlaces(bytes, identity, expected, baseCount, places)) {
    if (places.size() != expected) __builtin_trap();
    uint64_t next = 0;
    for (const uint32_t place : places) {
      if ((place >> 1) < next || (place >> 1) > baseCount) __builtin_trap();
      next = (place >> 1) + (place & 1);
    }
  } else if (!places.empty()) {
    __builtin_trap();
  }
  return 0;
}
