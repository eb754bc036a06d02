#pragma once
// The keyword list of a dictionary set: the articles of one large
// dictionary (the base) in its own order, with the keywords of the others
// merged in among them. The base's keywords and entries are made only when
// asked for, a page at a time, so that a set with a million keywords opens
// without visiting them; the others are few and made in full, though their
// keywords may be left to be unscrambled when their chain is first asked for.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dictionary/uBinaryDictionary.h"
#include "foundation/KezLazySlots.h"
#include "language/uKeywordSequence.h"

class TKodraLanguage;

// One article of a loaded dictionary; entries with equal keywords from later
// dictionaries are chained behind the first. The list hands out entries with
// their keywords; inside it, a chain's keywords may still be null.
struct TKeywordEntry {
  const char16_t* Keyword;
  TBinaryDictionary* Dictionary;
  uint32_t ArticleIndex;
  TKeywordEntry* Next;
};

class TMergedKeywords final : public TKeywordSequence {
public:
  TMergedKeywords() = default;
  ~TMergedKeywords() override { Clear(); }
  TMergedKeywords(const TMergedKeywords&) = delete;
  TMergedKeywords& operator=(const TMergedKeywords&) = delete;

  void Clear();
  // others: the heads of the other dictionaries' chains, in keyword order,
  // their keywords null when places are known and they are not yet wanted.
  // base (in keyword order; may be null) is merged with them in one pass;
  // where a keyword is in both, the base's article joins the chain at its
  // place in order, the set's dictionary order.
  // places: where the others stand in the base (see uMergePlaces.h), when
  // known; otherwise they are found by searching the base and left there.
  void Build(TBinaryDictionary* base, std::vector<TKeywordEntry*> others, const TKodraLanguage& language,
             const std::vector<const TBinaryDictionary*>& order, std::vector<uint32_t>& places);

  int32_t Count() const override { return FCount; }
  const char16_t* Keyword(int32_t index) const override {
    const uint32_t slot = Slot(index);
    return slot & kOther ? Resolved(FHeads[slot & ~kOther])->Keyword : FBase->GetKeyword(int32_t(slot));
  }
  // Valid until Clear. Safe to call from several threads.
  const TKeywordEntry* Entry(int32_t index) const {
    const uint32_t slot = Slot(index);
    if (slot & kOther) return Resolved(FHeads[slot & ~kOther]);
    if (TKeywordEntry* joined = JoinedChain(slot)) return Resolved(joined);
    if (const TKeywordEntry* page = FPages.Load(slot >> kPageShift))
      return &page[slot & (kPageSize - 1)];
    return BaseEntry(slot);
  }
  // The base and its article at index when no other dictionary has that
  // keyword, else null: a pass over the articles reaches them without
  // making entries.
  TBinaryDictionary* LoneBaseArticle(int32_t index, uint32_t& article) const {
    const uint32_t slot = Slot(index);
    if (slot & kOther || JoinedChain(slot)) return nullptr;
    article = slot;
    return FBase;
  }

private:
  static constexpr uint32_t kOther = 0x80000000u;
  static constexpr int kPageShift = 5;
  static constexpr int32_t kPageSize = 1 << kPageShift;

  // The base's article at a list index, or kOther and the index of a head
  // of its own: the heads' list indexes are few and sorted, and the base's
  // articles fill the list between them.
  uint32_t Slot(int32_t index) const {
    if (FHeadIndexes.empty()) return uint32_t(index);
    const auto after = std::upper_bound(FHeadIndexes.begin(), FHeadIndexes.end(), index);
    const size_t before = size_t(after - FHeadIndexes.begin());
    if (before > 0 && FHeadIndexes[before - 1] == index) return kOther | uint32_t(before - 1);
    return uint32_t(index) - uint32_t(before);
  }
  // The head with its chain's keywords.
  const TKeywordEntry* Resolved(TKeywordEntry* head) const {
    if (std::atomic_ref<const char16_t*>(head->Keyword).load(std::memory_order_acquire)) return head;
    return ResolveChain(head);
  }
  const TKeywordEntry* ResolveChain(TKeywordEntry* head) const;
  // The chain of another dictionary's head that a base article joined.
  TKeywordEntry* JoinedChain(uint32_t article) const {
    const auto at = std::lower_bound(FJoinedArticles.begin(), FJoinedArticles.end(), article);
    return at != FJoinedArticles.end() && *at == article ? FJoinedHeads[size_t(at - FJoinedArticles.begin())] : nullptr;
  }
  const TKeywordEntry* BaseEntry(uint32_t article) const;
  TKeywordEntry* JoinChain(TKeywordEntry* head, uint32_t article, const std::vector<const TBinaryDictionary*>& order);

  TBinaryDictionary* FBase = nullptr;
  int32_t FCount = 0;
  // The heads that stand in the list on their own (FHeads) and their list
  // indexes, ascending; the base's articles that joined a head's chain and
  // the chains' heads, by article.
  std::vector<int32_t> FHeadIndexes;
  std::vector<TKeywordEntry*> FHeads;
  std::vector<uint32_t> FJoinedArticles;
  std::vector<TKeywordEntry*> FJoinedHeads;
  std::deque<TKeywordEntry> FJoined;  // base articles in a chain with others
  mutable TKezLazySlots<TKeywordEntry, std::default_delete<TKeywordEntry[]>> FPages;  // the base's entries
  mutable std::mutex FPageLock;  // taken only to fill a page
};
