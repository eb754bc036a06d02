#pragma once
// The articles of a source file in the order the compiled dictionary lists
// them, found while the file is read once. A file in that order already
// (saved sources and generated ones are) costs only each article's place in
// the file. From the first article out of order on, every article's keyword
// is kept compactly (in large blocks of units) with the first half of its
// prefix, the keywords before it read back from the file, for a sort; once
// sorted, only the places stay. The order is the one reading a source
// builds: keyword prefixes first, then the language's comparison.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TKodraLanguage;

class TSourceArticleOrder {
public:
  // Reads back the keyword of the article in the units [start, end) of the
  // file; the view lasts until the next call. False when it cannot.
  using TKeywordReader = std::function<bool(uint32_t start, uint32_t end, std::u16string_view& keyword)>;

  TSourceArticleOrder(const TKodraLanguage& language, TKeywordReader reader)
      : FLanguage(language), FReader(std::move(reader)) {}

  // Adds the file's next article, starting at unit start. False when its
  // keyword compares equal to the one before it (reading would join the
  // two articles), is too long to keep, or the keywords before it cannot be
  // read back.
  bool Add(std::u16string_view keyword, uint32_t start);
  // The unit after the last article.
  void SetEnd(uint32_t end) { FEnd = end; }
  uint32_t Count() const { return uint32_t(FStarts.size()); }
  // Whether every article so far comes after the one before it in the file.
  bool InFileOrder() const { return FInFileOrder; }
  // Whether the article at place a of the file comes before the one at b
  // (out of order, before Sort).
  bool Before(uint32_t a, uint32_t b) const { return Compare(FEntries[a], FEntries[b]) < 0; }
  // Puts the articles in order, keeping only their places from then on.
  // False when two keywords compare equal.
  bool Sort();

  // The article of the given rank in the order (after Sort): its place in
  // the file and its units' range in the file.
  uint32_t FileIndex(uint32_t rank) const { return FInFileOrder ? rank : FOrder[rank]; }
  uint32_t Start(uint32_t rank) const { return FStarts[FileIndex(rank)]; }
  uint32_t End(uint32_t rank) const {
    const uint32_t next = FileIndex(rank) + 1;
    return next < FStarts.size() ? FStarts[next] : FEnd;
  }

private:
  struct TEntry {
    uint64_t High;     // the first eight letters of the keyword's prefix
    uint32_t Keyword;  // block and offset of the keyword's units
    uint32_t Index;    // the article's place in the file
  };
  static constexpr int kBlockBits = 20;
  static constexpr uint32_t kBlockUnits = 1u << kBlockBits;

  const char16_t* KeywordOf(const TEntry& entry) const {
    return FBlocks[entry.Keyword >> kBlockBits].get() + (entry.Keyword & (kBlockUnits - 1));
  }
  int Compare(uint64_t highA, const char16_t* a, uint64_t highB, const char16_t* b) const;
  int Compare(const TEntry& a, const TEntry& b) const {
    return Compare(a.High, KeywordOf(a), b.High, KeywordOf(b));
  }
  // Keeps the next article's keyword; false when it is too long.
  bool Keep(std::u16string_view keyword);
  // Keeps the keywords of the articles before the last one added.
  bool KeepEarlier();

  const TKodraLanguage& FLanguage;
  TKeywordReader FReader;
  std::vector<uint32_t> FStarts;  // by place in the file
  uint32_t FEnd = 0;
  bool FInFileOrder = true;
  std::u16string FLast, FPrevious;  // the keywords added last and before it
  uint64_t FLastHigh = 0;
  // Out of order: the articles until Sort, then their places by rank.
  std::vector<TEntry> FEntries;
  std::vector<std::unique_ptr<char16_t[]>> FBlocks;
  uint32_t FBlockUsed = kBlockUnits;
  std::vector<uint32_t> FOrder;
};
