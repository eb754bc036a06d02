#include "dictionary/uMergePlaces.h"

#include <cstring>

#include "foundation/KezFiles.h"
#include "foundation/KezSafeFile.h"

namespace {
constexpr char kSignature[8] = {'K', 'o', 'd', 'r', 'a', 'M', 'P', '3'};
constexpr size_t kHeaderSize = sizeof kSignature + 8 + 4 * 3;
constexpr size_t kMaxArticles = 1u << 24;
constexpr size_t kMaxFileSize = kHeaderSize + kMaxArticles * 18 + 4;

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

void ReadNumbers(const char*& at, size_t count, std::vector<uint32_t>& numbers) {
  numbers.reserve(count);
  for (size_t i = 0; i < count; ++i, at += 4) numbers.push_back(ReadLittleEndian<uint32_t>(at));
}

bool Ascending(const std::vector<uint32_t>& numbers) {
  for (size_t i = 1; i < numbers.size(); ++i)
    if (numbers[i] <= numbers[i - 1]) return false;
  return true;
}

bool Fits(const TMergeLayout& layout, const std::vector<uint32_t>& memberCounts, uint32_t baseCount) {
  // A lone chain's place is its list index less the lone chains before it.
  if (!Ascending(layout.AloneIndexes) || !Ascending(layout.JoinedArticles) || !Ascending(layout.ChainStarts))
    return false;
  for (size_t j = 0; j < layout.AloneIndexes.size(); ++j)
    if (layout.AloneIndexes[j] < j || layout.AloneIndexes[j] - j > baseCount) return false;
  if (!layout.JoinedArticles.empty() && layout.JoinedArticles.back() >= baseCount) return false;
  if (layout.ChainStarts.size() != layout.ChainCount() + 1 || layout.ChainStarts.front() != 0 ||
      layout.ChainStarts.back() != layout.Articles.size())
    return false;
  uint64_t expected = 0;
  for (const uint32_t count : memberCounts) expected += count;
  if (layout.Articles.size() != expected) return false;
  for (size_t i = 0; i < layout.Articles.size(); ++i)
    if (layout.Members[i] >= memberCounts.size() || layout.Articles[i] >= memberCounts[layout.Members[i]]) return false;
  return true;
}
}  // namespace

bool ParseMergeLayout(std::string_view bytes, uint64_t identity, const std::vector<uint32_t>& memberCounts,
                      uint32_t baseCount, TMergeLayout& layout) {
  layout.Clear();
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0) return false;
  if (ReadLittleEndian<uint64_t>(bytes.data() + 8) != identity) return false;
  const uint32_t alone = ReadLittleEndian<uint32_t>(bytes.data() + 16);
  const uint32_t joined = ReadLittleEndian<uint32_t>(bytes.data() + 20);
  const uint32_t articles = ReadLittleEndian<uint32_t>(bytes.data() + 24);
  if (articles > kMaxArticles || alone > articles || joined > articles - alone ||
      bytes.size() != kHeaderSize + (size_t(alone) + joined) * 8 + 4 + size_t(articles) * 6)
    return false;
  const char* at = bytes.data() + kHeaderSize;
  ReadNumbers(at, alone, layout.AloneIndexes);
  ReadNumbers(at, joined, layout.JoinedArticles);
  ReadNumbers(at, size_t(alone) + joined + 1, layout.ChainStarts);
  ReadNumbers(at, articles, layout.Articles);
  layout.Members.reserve(articles);
  for (uint32_t i = 0; i < articles; ++i, at += 2) layout.Members.push_back(ReadLittleEndian<uint16_t>(at));
  if (Fits(layout, memberCounts, baseCount)) return true;
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
  if (layout.Articles.size() > kMaxArticles || layout.Members.size() != layout.Articles.size() ||
      layout.ChainStarts.size() != layout.ChainCount() + 1)
    return;
  std::string bytes(kSignature, sizeof kSignature);
  AppendLittleEndian(bytes, identity);
  AppendLittleEndian(bytes, uint32_t(layout.AloneIndexes.size()));
  AppendLittleEndian(bytes, uint32_t(layout.JoinedArticles.size()));
  AppendLittleEndian(bytes, uint32_t(layout.Articles.size()));
  for (const auto* numbers : {&layout.AloneIndexes, &layout.JoinedArticles, &layout.ChainStarts, &layout.Articles})
    for (const uint32_t number : *numbers) AppendLittleEndian(bytes, number);
  for (const uint16_t member : layout.Members) AppendLittleEndian(bytes, member);
  // Unwritable: the layout is found again next time.
  TryWriteFileSafely(fileName, bytes);
}
