#pragma once
// The articles of a source file in the order the compiled dictionary lists
// them, kept compactly while the file is read once: each article's keyword
// (in large blocks of units), the first half of its keyword's prefix and its
// place in the file. The order is the one reading a source builds: keyword
// prefixes first, then the language's comparison of the keywords.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TKodraLanguage;

class TSourceArticleOrder {
public:
  explicit TSourceArticleOrder(const TKodraLanguage& language) : FLanguage(language) {}

  // Adds the file's next article, starting at unit start. False when its
  // keyword compares equal to the one before it (reading would join the
  // two articles) or is too long to keep.
  bool Add(std::u16string_view keyword, uint32_t start);
  // The unit after the last article.
  void SetEnd(uint32_t end) { FEnd = end; }
  uint32_t Count() const { return uint32_t(FEntries.size()); }
  // Whether every article so far comes after the one before it in the file.
  bool InFileOrder() const { return FInFileOrder; }
  // Whether the article at place a of the file comes before the one at b
  // (before Sort).
  bool Before(uint32_t a, uint32_t b) const { return Compare(FEntries[a], FEntries[b]) < 0; }
  // Puts the articles in order; false when two keywords compare equal.
  bool Sort();

  // The article of the given rank in the order (after Sort): its place in
  // the file, its keyword and its units' range in the file.
  uint32_t FileIndex(uint32_t rank) const { return FEntries[rank].Index; }
  std::u16string_view Keyword(uint32_t rank) const { return KeywordOf(FEntries[rank]); }
  uint32_t Start(uint32_t rank) const { return FStarts[FEntries[rank].Index]; }
  uint32_t End(uint32_t rank) const {
    const uint32_t next = FEntries[rank].Index + 1;
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
  int Compare(const TEntry& a, const TEntry& b) const;

  const TKodraLanguage& FLanguage;
  std::vector<TEntry> FEntries;
  std::vector<uint32_t> FStarts;  // by place in the file
  uint32_t FEnd = 0;
  std::vector<std::unique_ptr<char16_t[]>> FBlocks;
  uint32_t FBlockUsed = kBlockUnits;
  bool FInFileOrder = true;
};
