#include "dictionary/uMergedKeywords.h"

#include <algorithm>
#include <string>

#include "language/uLanguage.h"

void TMergedKeywords::Clear() {
  for (size_t p = 0; p < FPageCount; ++p) delete[] FPages[p].load();
  FPages.reset();
  FPageCount = 0;
  FBase = nullptr;
  FCount = 0;
  FSlots.clear();
  FSlots.shrink_to_fit();
  FHeads.clear();
  FJoined.clear();
  FJoinedText.clear();
}

TKeywordEntry* TMergedKeywords::JoinChain(TKeywordEntry* head, uint32_t article,
                                          const std::vector<const TBinaryDictionary*>& order) {
  auto rank = [&](const TBinaryDictionary* d) { return std::find(order.begin(), order.end(), d) - order.begin(); };
  // The keyword is unscrambled into FJoinedText rather than through the
  // base's pages, which would unscramble its neighbours too; the pointer is
  // set once the text has stopped growing.
  TKeywordEntry& joined = FJoined.emplace_back(TKeywordEntry{nullptr, FBase, article, nullptr});
  FBase->ReadKeyword(int32_t(article), FScratch);
  FJoinedText.insert(FJoinedText.end(), FScratch.c_str(), FScratch.c_str() + FScratch.size() + 1);
  const auto baseRank = rank(FBase);
  TKeywordEntry** link = &head;
  while (*link && rank((*link)->Dictionary) < baseRank) link = &(*link)->Next;
  joined.Next = *link;
  *link = &joined;
  return head;
}

void TMergedKeywords::Build(TBinaryDictionary* base, std::vector<TKeywordEntry*> others,
                            const TKodraLanguage& language, const std::vector<const TBinaryDictionary*>& order) {
  Clear();
  FBase = base;
  const int32_t baseCount = base ? base->ArticleCount() : 0;
  FPageCount = size_t((baseCount + kPageSize - 1) >> kPageShift);
  FPages.reset(new std::atomic<TKeywordEntry*>[FPageCount]());
  if (others.empty()) {
    FCount = baseCount;
    return;
  }
  FSlots.reserve(size_t(baseCount) + others.size());
  FHeads.reserve(others.size());
  // The base's keywords are compared as the file stores them: most are
  // never wanted again.
  int32_t next = 0;
  for (TKeywordEntry* head : others) {
    const TScrambledKeyword keyword(head->Keyword);
    auto compare = [&](int32_t article, const char16_t*) { return base->CompareKeyword(article, keyword, language); };
    // The first base keyword not before the head's: galloping from the last
    // one, since the others are usually far apart in a large base.
    int32_t low = next, high = next, step = 1;
    while (high < baseCount && compare(high, head->Keyword) < 0) {
      low = high + 1;
      high = next + step;
      step *= 2;
    }
    high = std::min(high, baseCount);
    while (low < high) {
      const int32_t middle = low + (high - low) / 2;
      if (compare(middle, head->Keyword) < 0) low = middle + 1;
      else high = middle;
    }
    for (; next < low; ++next) FSlots.push_back(uint32_t(next));
    if (low < baseCount && compare(low, head->Keyword) == 0) {
      head = JoinChain(head, uint32_t(low), order);
      ++next;
    }
    FSlots.push_back(kOther | uint32_t(FHeads.size()));
    FHeads.push_back(head);
  }
  for (; next < baseCount; ++next) FSlots.push_back(uint32_t(next));
  FCount = int32_t(FSlots.size());
  const char16_t* text = FJoinedText.data();
  for (TKeywordEntry& joined : FJoined) {
    joined.Keyword = text;
    text += std::char_traits<char16_t>::length(text) + 1;
  }
}

const TKeywordEntry* TMergedKeywords::BaseEntry(uint32_t article) const {
  auto& slot = FPages[article >> kPageShift];
  TKeywordEntry* page = slot.load(std::memory_order_acquire);
  if (!page) {
    std::lock_guard<std::mutex> lock(FPageLock);
    page = slot.load(std::memory_order_relaxed);
    if (!page) {
      const uint32_t first = article & ~uint32_t(kPageSize - 1);
      const uint32_t end = std::min<uint32_t>(uint32_t(FBase->ArticleCount()), first + kPageSize);
      page = new TKeywordEntry[kPageSize];
      for (uint32_t i = first; i < end; ++i)
        page[i - first] = TKeywordEntry{FBase->GetKeyword(int32_t(i)), FBase, i, nullptr};
      slot.store(page, std::memory_order_release);
    }
  }
  return &page[article & (kPageSize - 1)];
}
