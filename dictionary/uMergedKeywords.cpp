#include "dictionary/uMergedKeywords.h"

#include <algorithm>
#include <string>

#include "language/uLanguage.h"

void TMergedKeywords::Clear() {
  FPages.Reset(0);
  FBase = nullptr;
  FCount = 0;
  FHeadIndexes.clear();
  FHeads.clear();
  FJoinedArticles.clear();
  FJoinedHeads.clear();
  FJoined.clear();
}

TKeywordEntry* TMergedKeywords::JoinChain(TKeywordEntry* head, uint32_t article,
                                          const std::vector<const TBinaryDictionary*>& order) {
  auto rank = [&](const TBinaryDictionary* d) { return std::find(order.begin(), order.end(), d) - order.begin(); };
  // The keywords are equal: the base's article takes the head's text, so that
  // joining reads nothing of the base (they differ at most in "_", which
  // keyword order ignores). A head not yet resolved passes it on when it is.
  TKeywordEntry& joined = FJoined.emplace_back(TKeywordEntry{head->Keyword, FBase, article, nullptr});
  const auto baseRank = rank(FBase);
  TKeywordEntry** link = &head;
  while (*link && rank((*link)->Dictionary) < baseRank) link = &(*link)->Next;
  joined.Next = *link;
  *link = &joined;
  return head;
}

void TMergedKeywords::Build(TBinaryDictionary* base, std::vector<TKeywordEntry*> others,
                            const TKodraLanguage& language, const std::vector<const TBinaryDictionary*>& order,
                            std::vector<uint32_t>& places) {
  Clear();
  FBase = base;
  const int32_t baseCount = base ? base->ArticleCount() : 0;
  FPages.Reset(size_t((baseCount + kPageSize - 1) >> kPageShift));
  if (others.empty()) {
    FCount = baseCount;
    return;
  }
  // Room for every head either way: what is never written is never touched.
  FHeads.reserve(others.size());
  FHeadIndexes.reserve(others.size());
  FJoinedArticles.reserve(others.size());
  FJoinedHeads.reserve(others.size());
  // The base's keywords are compared as the file stores them: most are
  // never wanted again. A head equal to a base keyword takes that keyword's
  // place in the list; the others stand before the first base keyword
  // after them.
  const bool known = places.size() == others.size();
  if (!known) places.clear();
  int32_t next = 0;
  for (size_t h = 0; h < others.size(); ++h) {
    TKeywordEntry* head = others[h];
    if (known) {
      const int32_t first = int32_t(places[h] >> 1);
      if (places[h] & 1) {
        FJoinedArticles.push_back(uint32_t(first));
        FJoinedHeads.push_back(JoinChain(head, uint32_t(first), order));
      } else {
        FHeadIndexes.push_back(first + int32_t(FHeads.size()));
        FHeads.push_back(head);
      }
      continue;
    }
    const TScrambledKeyword keyword(head->Keyword);
    auto compare = [&](int32_t article) { return base->CompareKeyword(article, keyword, language); };
    // The first base keyword not before the head's: galloping from the last
    // one, since the others are usually far apart in a large base.
    int32_t low = next, high = next, step = 1;
    while (high < baseCount && compare(high) < 0) {
      low = high + 1;
      high = next + step;
      step *= 2;
    }
    high = std::min(high, baseCount);
    while (low < high) {
      const int32_t middle = low + (high - low) / 2;
      if (compare(middle) < 0) low = middle + 1;
      else high = middle;
    }
    next = low;
    if (low < baseCount && compare(low) == 0) {
      places.push_back(uint32_t(low) << 1 | 1);
      FJoinedArticles.push_back(uint32_t(low));
      FJoinedHeads.push_back(JoinChain(head, uint32_t(low), order));
      ++next;
      continue;
    }
    places.push_back(uint32_t(low) << 1);
    FHeadIndexes.push_back(low + int32_t(FHeads.size()));
    FHeads.push_back(head);
  }
  FCount = baseCount + int32_t(FHeads.size());
}

namespace {
std::mutex gResolveLock;  // taken only to unscramble a chain's keywords
}  // namespace

const TKeywordEntry* TMergedKeywords::ResolveChain(TKeywordEntry* head) const {
  std::lock_guard<std::mutex> lock(gResolveLock);
  std::atomic_ref<const char16_t*> keyword(head->Keyword);
  if (keyword.load(std::memory_order_relaxed)) return head;
  // A base article in the chain has the keyword of the chain's first other
  // article (see JoinChain); the others have their own.
  const TKeywordEntry* first = head;
  while (first->Dictionary == FBase && first->Next) first = first->Next;
  const char16_t* text = first->Dictionary->GetKeyword(int32_t(first->ArticleIndex));
  auto own = [&](const TKeywordEntry* entry) {
    return entry == first || entry->Dictionary == FBase ? text : entry->Dictionary->GetKeyword(int32_t(entry->ArticleIndex));
  };
  for (TKeywordEntry* entry = head->Next; entry; entry = entry->Next)
    if (!entry->Keyword) entry->Keyword = own(entry);
  keyword.store(own(head), std::memory_order_release);
  return head;
}

const TKeywordEntry* TMergedKeywords::BaseEntry(uint32_t article) const {
  const size_t slot = article >> kPageShift;
  TKeywordEntry* page = FPages.Load(slot);
  if (!page) {
    std::lock_guard<std::mutex> lock(FPageLock);
    page = FPages.Load(slot);
    if (!page) {
      const uint32_t first = article & ~uint32_t(kPageSize - 1);
      const uint32_t end = std::min<uint32_t>(uint32_t(FBase->ArticleCount()), first + kPageSize);
      auto fresh = std::make_unique<TKeywordEntry[]>(kPageSize);
      for (uint32_t i = first; i < end; ++i)
        fresh[i - first] = TKeywordEntry{FBase->GetKeyword(int32_t(i)), FBase, i, nullptr};
      FPages.Fill(slot, fresh.get());
      page = fresh.release();
    }
  }
  return &page[article & (kPageSize - 1)];
}
