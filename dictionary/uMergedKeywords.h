#pragma once
// The keyword list of a dictionary set: the articles of one large
// dictionary (the base) in its own order, with the chains of the others
// merged in among them as a layout says (see uMergePlaces.h). Entries and
// keywords are made only when asked for, a page at a time, so that a set
// opens without visiting its keywords, whatever their number.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dictionary/uBinaryDictionary.h"
#include "dictionary/uMergePlaces.h"
#include "foundation/KezLazySlots.h"
#include "language/uKeywordSequence.h"

class TKodraLanguage;

// One article of a loaded dictionary; entries with equal keywords from later
// dictionaries are chained behind the first.
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
  // base (in keyword order; may be null) with the others' chains where the
  // layout puts them. members: the set's dictionaries in the order their
  // articles chain, as the layout numbers them; the base's article joins a
  // chain at its place in that order.
  void Build(TBinaryDictionary* base, TMergeLayout layout, const std::vector<TBinaryDictionary*>& members);

  // The layout of the others' chains (heads: in keyword order, each with its
  // chain; their keywords made) in the base: each head's place is searched
  // in the base as the file stores it.
  static TMergeLayout Layout(const TBinaryDictionary* base, const std::vector<TKeywordEntry*>& heads,
                             const std::vector<TBinaryDictionary*>& members, const TKodraLanguage& language);

  int32_t Count() const override { return FCount; }
  const char16_t* Keyword(int32_t index) const override {
    const uint32_t slot = Slot(index);
    return slot & kOther ? Chain(slot & ~kOther)->Keyword : FBase->GetKeyword(int32_t(slot));
  }
  // Valid until Clear. Safe to call from several threads.
  const TKeywordEntry* Entry(int32_t index) const {
    const uint32_t slot = Slot(index);
    if (slot & kOther) return Chain(slot & ~kOther);
    if (const TKeywordEntry* joined = JoinedChain(slot)) return joined;
    if (const TKeywordEntry* page = FBasePages.Load(slot >> kPageShift)) return &page[slot & (kPageSize - 1)];
    return BaseEntry(slot);
  }
  // The base and its article at index when no other dictionary has that
  // keyword, else null: a pass over the articles reaches them without
  // making entries.
  TBinaryDictionary* LoneBaseArticle(int32_t index, uint32_t& article) const {
    const uint32_t slot = Slot(index);
    if (slot & kOther || JoinedIndex(slot) >= 0) return nullptr;
    article = slot;
    return FBase;
  }

private:
  static constexpr uint32_t kOther = 0x80000000u;
  static constexpr int kPageShift = 5;
  static constexpr int32_t kPageSize = 1 << kPageShift;
  // The entries of kPageSize neighbouring chains.
  struct TChainPage {
    const TKeywordEntry* Heads[kPageSize];
    std::unique_ptr<TKeywordEntry[]> Entries;
  };

  // The base's article at a list index, or kOther and the number of a lone
  // chain: the lone chains' list indexes are sorted, and the base's
  // articles fill the list between them.
  uint32_t Slot(int32_t index) const {
    const auto& alone = FLayout.AloneIndexes;
    if (alone.empty()) return uint32_t(index);
    const auto after = std::upper_bound(alone.begin(), alone.end(), uint32_t(index));
    const size_t before = size_t(after - alone.begin());
    if (before > 0 && alone[before - 1] == uint32_t(index)) return kOther | uint32_t(before - 1);
    return uint32_t(index) - uint32_t(before);
  }
  // Which joined chain the base article is in, or -1.
  int32_t JoinedIndex(uint32_t article) const {
    const auto& joined = FLayout.JoinedArticles;
    const auto at = std::lower_bound(joined.begin(), joined.end(), article);
    return at != joined.end() && *at == article ? int32_t(at - joined.begin()) : -1;
  }
  const TKeywordEntry* JoinedChain(uint32_t article) const {
    const int32_t joined = JoinedIndex(article);
    return joined < 0 ? nullptr : Chain(uint32_t(FLayout.AloneIndexes.size()) + uint32_t(joined));
  }
  // The head of chain c, with its keywords.
  const TKeywordEntry* Chain(uint32_t chain) const {
    if (const TChainPage* page = FChainPages.Load(chain >> kPageShift)) return page->Heads[chain & (kPageSize - 1)];
    return MakeChainPage(chain >> kPageShift).Heads[chain & (kPageSize - 1)];
  }
  const TChainPage& MakeChainPage(uint32_t page) const;
  const TKeywordEntry* BaseEntry(uint32_t article) const;

  TBinaryDictionary* FBase = nullptr;
  int32_t FCount = 0;
  TMergeLayout FLayout;
  std::vector<TBinaryDictionary*> FMembers;
  size_t FBaseRank = 0;  // the base's place in FMembers
  mutable TKezLazySlots<TKeywordEntry, std::default_delete<TKeywordEntry[]>> FBasePages;
  mutable TKezLazySlots<TChainPage> FChainPages;
  mutable std::mutex FPageLock;  // taken only to make a page
};
