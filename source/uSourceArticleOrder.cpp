#include "source/uSourceArticleOrder.h"

#include <algorithm>

#include "language/uLanguage.h"

int TSourceArticleOrder::Compare(const TEntry& a, const TEntry& b) const {
  if (a.High != b.High) return a.High < b.High ? -1 : 1;
  const char16_t* keywordA = KeywordOf(a);
  const char16_t* keywordB = KeywordOf(b);
  // The rest of the prefixes decide as they do in reading.
  const TKeywordPrefix prefixA = FLanguage.KeywordPrefix(keywordA), prefixB = FLanguage.KeywordPrefix(keywordB);
  if (!(prefixA == prefixB)) return prefixA < prefixB ? -1 : 1;
  return FLanguage.CompareKeywordText(keywordA, keywordB);
}

bool TSourceArticleOrder::Add(std::u16string_view keyword, uint32_t start) {
  if (keyword.size() >= kBlockUnits) return false;
  if (FBlockUsed + keyword.size() + 1 > kBlockUnits) {
    if (FBlocks.size() == size_t(1) << (32 - kBlockBits)) return false;
    FBlocks.push_back(std::unique_ptr<char16_t[]>(new char16_t[kBlockUnits]));
    FBlockUsed = 0;
  }
  char16_t* stored = FBlocks.back().get() + FBlockUsed;
  std::copy(keyword.begin(), keyword.end(), stored);
  stored[keyword.size()] = 0;
  const TEntry entry{FLanguage.KeywordPrefix(stored).High, uint32_t((FBlocks.size() - 1) << kBlockBits) | FBlockUsed,
                     uint32_t(FEntries.size())};
  FBlockUsed += uint32_t(keyword.size() + 1);
  if (!FEntries.empty()) {
    const int order = Compare(FEntries.back(), entry);
    if (order == 0) return false;
    if (order > 0) FInFileOrder = false;
  }
  FEntries.push_back(entry);
  FStarts.push_back(start);
  return true;
}

bool TSourceArticleOrder::Sort() {
  if (FInFileOrder) return true;
  std::sort(FEntries.begin(), FEntries.end(), [this](const TEntry& a, const TEntry& b) { return Compare(a, b) < 0; });
  for (size_t i = 1; i < FEntries.size(); ++i)
    if (Compare(FEntries[i - 1], FEntries[i]) == 0) return false;
  return true;
}
