#include "dictionary/uMergePlaces.h"

#include <cstring>

#include "foundation/KezFiles.h"
#include "foundation/KezSafeFile.h"

namespace {
constexpr char kSignature[8] = {'K', 'o', 'd', 'r', 'a', 'M', 'P', '1'};
constexpr size_t kHeaderSize = sizeof kSignature + 8 + 4;
constexpr size_t kMaxPlaces = 1u << 24;

template <class T>
T ReadLittleEndian(const char* bytes) {
  T value = 0;
  for (size_t i = sizeof(T); i-- > 0;) value = T(value << 8 | T(uint8_t(bytes[i])));
  return value;
}

template <class T>
void AppendLittleEndian(std::string& bytes, T value) {
  for (size_t i = 0; i < sizeof(T); ++i) bytes += char(uint8_t(value >> (8 * i)));
}
}  // namespace

bool ParseMergePlaces(std::string_view bytes, uint64_t identity, size_t expected, uint32_t baseCount,
                      std::vector<uint32_t>& places) {
  places.clear();
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0) return false;
  if (ReadLittleEndian<uint64_t>(bytes.data() + 8) != identity) return false;
  const uint32_t count = ReadLittleEndian<uint32_t>(bytes.data() + 16);
  if (count != expected || count > kMaxPlaces || bytes.size() != kHeaderSize + size_t(count) * 4) return false;
  places.reserve(count);
  uint64_t next = 0;  // the first large keyword the next place may name
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t place = ReadLittleEndian<uint32_t>(bytes.data() + kHeaderSize + size_t(i) * 4);
    const uint64_t first = place >> 1;
    const bool equal = place & 1;
    if (first < next || first > baseCount || (equal && first == baseCount)) {
      places.clear();
      return false;
    }
    next = equal ? first + 1 : first;
    places.push_back(place);
  }
  return true;
}

bool ReadMergePlaces(const std::string& fileName, uint64_t identity, size_t expected, uint32_t baseCount,
                     std::vector<uint32_t>& places) {
  std::string bytes;
  return ReadSmallFile(fileName, kHeaderSize + kMaxPlaces * 4, bytes) &&
         ParseMergePlaces(bytes, identity, expected, baseCount, places);
}

void WriteMergePlaces(const std::string& fileName, uint64_t identity, const std::vector<uint32_t>& places) {
  if (places.size() > kMaxPlaces) return;
  std::string bytes(kSignature, sizeof kSignature);
  AppendLittleEndian(bytes, identity);
  AppendLittleEndian(bytes, uint32_t(places.size()));
  for (const uint32_t place : places) AppendLittleEndian(bytes, place);
  // Unwritable: the places are found again next time.
  TryWriteFileSafely(fileName, bytes);
}
