#include "source/uSourceArticleOrder.h"

#include <algorithm>

#include "language/uLanguage.h"

// Unequal prefixes order their keywords as the language's comparison does,
// so that the first half of them, then the comparison, is the order of the
// whole prefixes, then the comparison, that reading sorts by.
int TSourceArticleOrder::Compare(uint64_t highA, const char16_t* a, uint64_t highB, const char16_t* b) const {
  if (highA != highB) return highA < highB ? -1 : 1;
  return FLanguage.CompareKeywordText(a, b);
}

bool TSourceArticleOrder::Keep(std::u16string_view keyword) {
  if (keyword.size() >= kBlockUnits) return false;
  if (FBlockUsed + keyword.size() + 1 > kBlockUnits) {
    if (FBlocks.size() == size_t(1) << (32 - kBlockBits)) return false;
    FBlocks.push_back(std::unique_ptr<char16_t[]>(new char16_t[kBlockUnits]));
    FBlockUsed = 0;
  }
  char16_t* stored = FBlocks.back().get() + FBlockUsed;
  std::copy(keyword.begin(), keyword.end(), stored);
  stored[keyword.size()] = 0;
  FEntries.push_back({FLanguage.KeywordPrefix(stored).High, uint32_t((FBlocks.size() - 1) << kBlockBits) | FBlockUsed,
                      uint32_t(FEntries.size())});
  FBlockUsed += uint32_t(keyword.size() + 1);
  return true;
}

bool TSourceArticleOrder::KeepEarlier() {
  const uint32_t last = Count() - 1;
  for (uint32_t i = 0; i < last; ++i) {
    std::u16string_view keyword;
    if (!FReader(FStarts[i], FStarts[i + 1], keyword) || !Keep(keyword)) return false;
  }
  return true;
}

bool TSourceArticleOrder::Add(std::u16string_view keyword, uint32_t start) {
  if (keyword.size() >= kBlockUnits) return false;
  FPrevious.swap(FLast);
  FLast.assign(keyword);
  const uint64_t previousHigh = FLastHigh;
  FLastHigh = FLanguage.KeywordPrefix(FLast.c_str()).High;
  FStarts.push_back(start);
  if (FStarts.size() > 1) {
    const int order = Compare(previousHigh, FPrevious.c_str(), FLastHigh, FLast.c_str());
    if (order == 0) return false;
    if (order > 0 && FInFileOrder) {
      FInFileOrder = false;
      if (!KeepEarlier()) return false;
    }
  }
  return FInFileOrder || Keep(keyword);
}

// Sorts by the first halves of the prefixes alone, then each run of equal
// ones by the second halves, computed once per keyword, and the comparison.
bool TSourceArticleOrder::Sort() {
  if (!FInFileOrder) {
    std::sort(FEntries.begin(), FEntries.end(), [](const TEntry& a, const TEntry& b) { return a.High < b.High; });
    struct TTied {
      uint64_t Low;
      TEntry Entry;
    };
    std::vector<TTied> tied;
    for (size_t first = 0, last; first < FEntries.size(); first = last) {
      for (last = first + 1; last < FEntries.size() && FEntries[last].High == FEntries[first].High;) ++last;
      if (last - first == 1) continue;
      tied.clear();
      for (size_t i = first; i < last; ++i)
        tied.push_back({FLanguage.KeywordPrefix(KeywordOf(FEntries[i])).Low, FEntries[i]});
      auto order = [this](const TTied& a, const TTied& b) {
        if (a.Low != b.Low) return a.Low < b.Low ? -1 : 1;
        return FLanguage.CompareKeywordText(KeywordOf(a.Entry), KeywordOf(b.Entry));
      };
      std::sort(tied.begin(), tied.end(), [&](const TTied& a, const TTied& b) { return order(a, b) < 0; });
      for (size_t i = 0; i < tied.size(); ++i) {
        if (i > 0 && order(tied[i - 1], tied[i]) == 0) return false;
        FEntries[first + i] = tied[i].Entry;
      }
    }
    FOrder.reserve(FEntries.size());
    for (const TEntry& entry : FEntries) FOrder.push_back(entry.Index);
  }
  std::vector<TEntry>().swap(FEntries);
  std::vector<std::unique_ptr<char16_t[]>>().swap(FBlocks);
  return true;
}
