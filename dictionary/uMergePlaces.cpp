#include "dictionary/uMergePlaces.h"

#include <cstring>

#include "foundation/KezFiles.h"
#include "foundation/KezSafeFile.h"

namespace {
constexpr char kSignature[8] = {'K', 'o', 'd', 'r', 'a', 'M', 'P', '2'};
constexpr size_t kHeaderSize = sizeof kSignature + 8 + 4 + 4;
constexpr size_t kMaxArticles = 1u << 24;
constexpr size_t kMaxFileSize = kHeaderSize + kMaxArticles * 9;

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

bool PlacesPossible(const std::vector<uint32_t>& places, uint32_t baseCount) {
  uint64_t next = 0;  // the first large keyword the next place may name
  for (const uint32_t place : places) {
    const uint64_t first = place >> 1;
    const bool equal = place & 1;
    if (first < next || first > baseCount || (equal && first == baseCount)) return false;
    next = equal ? first + 1 : first;
  }
  return true;
}

bool ArticlesFit(const TMergeLayout& layout, const std::vector<uint32_t>& memberCounts) {
  uint64_t expected = 0;
  for (const uint32_t count : memberCounts) expected += count;
  if (layout.Articles.size() != expected) return false;
  size_t chains = 0;
  for (size_t i = 0; i < layout.Articles.size(); ++i) {
    const uint8_t member = layout.Members[i] & ~TMergeLayout::kChainStart;
    if (member >= memberCounts.size() || layout.Articles[i] >= memberCounts[member]) return false;
    if (layout.Members[i] & TMergeLayout::kChainStart) ++chains;
    else if (i == 0) return false;  // every article belongs to a chain
  }
  return chains == layout.Places.size();
}
}  // namespace

bool ParseMergeLayout(std::string_view bytes, uint64_t identity, const std::vector<uint32_t>& memberCounts,
                      uint32_t baseCount, TMergeLayout& layout) {
  layout.Clear();
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0) return false;
  if (ReadLittleEndian<uint64_t>(bytes.data() + 8) != identity) return false;
  const uint32_t chains = ReadLittleEndian<uint32_t>(bytes.data() + 16);
  const uint32_t articles = ReadLittleEndian<uint32_t>(bytes.data() + 20);
  if (articles > kMaxArticles || chains > articles ||
      bytes.size() != kHeaderSize + size_t(chains) * 4 + size_t(articles) * 5)
    return false;
  const char* at = bytes.data() + kHeaderSize;
  layout.Places.reserve(chains);
  for (uint32_t i = 0; i < chains; ++i, at += 4) layout.Places.push_back(ReadLittleEndian<uint32_t>(at));
  layout.Articles.reserve(articles);
  for (uint32_t i = 0; i < articles; ++i, at += 4) layout.Articles.push_back(ReadLittleEndian<uint32_t>(at));
  layout.Members.assign(reinterpret_cast<const uint8_t*>(at), reinterpret_cast<const uint8_t*>(at) + articles);
  if (PlacesPossible(layout.Places, baseCount) && ArticlesFit(layout, memberCounts)) return true;
  layout.Clear();
  return false;
}

bool ReadMergeLayout(const std::string& fileName, uint64_t identity, const std::vector<uint32_t>& memberCounts,
                     uint32_t baseCount, TMergeLayout& layout) {
  std::string bytes;
  layout.Clear();
  return ReadSmallFile(fileName, kMaxFileSize, bytes) &&
         ParseMergeLayout(bytes, identity, memberCounts, baseCount, layout);
}

void WriteMergeLayout(const std::string& fileName, uint64_t identity, const TMergeLayout& layout) {
  if (layout.Articles.size() > kMaxArticles || layout.Members.size() != layout.Articles.size()) return;
  std::string bytes(kSignature, sizeof kSignature);
  bytes.reserve(kHeaderSize + layout.Places.size() * 4 + layout.Articles.size() * 5);
  AppendLittleEndian(bytes, identity);
  AppendLittleEndian(bytes, uint32_t(layout.Places.size()));
  AppendLittleEndian(bytes, uint32_t(layout.Articles.size()));
  for (const uint32_t place : layout.Places) AppendLittleEndian(bytes, place);
  for (const uint32_t article : layout.Articles) AppendLittleEndian(bytes, article);
  bytes.append(reinterpret_cast<const char*>(layout.Members.data()), layout.Members.size());
  // Unwritable: the layout is found again next time.
  TryWriteFileSafely(fileName, bytes);
}
