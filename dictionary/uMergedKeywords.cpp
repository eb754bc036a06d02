#include "dictionary/uMergedKeywords.h"

#include <algorithm>
#include <string>

#include "language/uLanguage.h"

void TMergedKeywords::Clear() {
  FBasePages.Reset(0);
  FChainPages.Reset(0);
  FBase = nullptr;
  FCount = 0;
  FLayout.Clear();
  FMembers.clear();
}

void TMergedKeywords::Build(TBinaryDictionary* base, TMergeLayout layout,
                            const std::vector<TBinaryDictionary*>& members) {
  Clear();
  FBase = base;
  FLayout = std::move(layout);
  FMembers = members;
  FBaseRank = size_t(std::find(FMembers.begin(), FMembers.end(), base) - FMembers.begin());
  const int32_t baseCount = base ? base->ArticleCount() : 0;
  FBasePages.Reset(size_t((baseCount + kPageSize - 1) >> kPageShift));
  FChainPages.Reset((FLayout.ChainCount() + kPageSize - 1) >> kPageShift);
  FCount = baseCount + int32_t(FLayout.AloneIndexes.size());
}

TMergeLayout TMergedKeywords::Layout(const TBinaryDictionary* base, const std::vector<TKeywordEntry*>& heads,
                                     const std::vector<TBinaryDictionary*>& members, const TKodraLanguage& language) {
  // The base's keywords are compared as the file stores them: most are
  // never wanted again. A head equal to a base keyword joins that keyword's
  // article; the others stand before the first base keyword after them.
  const int32_t baseCount = base ? base->ArticleCount() : 0;
  std::vector<const TKeywordEntry*> alone, joined;
  TMergeLayout layout;
  int32_t next = 0;
  for (const TKeywordEntry* head : heads) {
    int32_t low = next;
    if (base) {
      const TScrambledKeyword keyword(head->Keyword);
      auto compare = [&](int32_t article) { return base->CompareKeyword(article, keyword, language); };
      // The first base keyword not before the head's: galloping from the
      // last one, since the others are usually far apart in a large base.
      int32_t high = next, step = 1;
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
      if (low < baseCount && compare(low) == 0) {
        layout.JoinedArticles.push_back(uint32_t(low));
        joined.push_back(head);
        next = low + 1;
        continue;
      }
    }
    next = low;
    layout.AloneIndexes.push_back(uint32_t(low) + uint32_t(alone.size()));
    alone.push_back(head);
  }
  layout.ChainStarts.push_back(0);
  for (const auto* chains : {&alone, &joined})
    for (const TKeywordEntry* head : *chains) {
      for (const TKeywordEntry* entry = head; entry; entry = entry->Next) {
        const auto member = std::find(members.begin(), members.end(), entry->Dictionary) - members.begin();
        layout.Articles.push_back(entry->ArticleIndex);
        layout.Members.push_back(uint16_t(member));
      }
      layout.ChainStarts.push_back(uint32_t(layout.Articles.size()));
    }
  return layout;
}

const TMergedKeywords::TChainPage& TMergedKeywords::MakeChainPage(uint32_t page) const {
  std::lock_guard<std::mutex> lock(FPageLock);
  if (const TChainPage* made = FChainPages.Load(page)) return *made;
  const uint32_t first = page << kPageShift;
  const uint32_t end = std::min<uint32_t>(uint32_t(FLayout.ChainCount()), first + kPageSize);
  const uint32_t lone = uint32_t(FLayout.AloneIndexes.size());
  // A joined chain has the base's article too.
  const uint32_t articles = FLayout.ChainStarts[end] - FLayout.ChainStarts[first] + (end > lone ? end - std::max(first, lone) : 0);
  auto fresh = std::make_unique<TChainPage>();
  fresh->Entries = std::make_unique<TKeywordEntry[]>(articles);
  TKeywordEntry* entry = fresh->Entries.get();
  for (uint32_t chain = first; chain < end; ++chain) {
    const uint32_t from = FLayout.ChainStarts[chain], to = FLayout.ChainStarts[chain + 1];
    // The base's article takes the keyword of the chain's first article, so
    // that joining reads nothing of the base (they differ at most in "_",
    // which keyword order ignores); it stands in the set's order.
    const char16_t* keyword = FMembers[FLayout.Members[from]]->GetKeyword(int32_t(FLayout.Articles[from]));
    TKeywordEntry* previous = nullptr;
    bool baseDone = chain < lone;
    auto append = [&](TKeywordEntry made) {
      *entry = made;
      if (previous) previous->Next = entry;
      else fresh->Heads[chain - first] = entry;
      previous = entry++;
    };
    for (uint32_t i = from; i < to; ++i) {
      const uint16_t member = FLayout.Members[i];
      if (!baseDone && member >= FBaseRank) {
        append({keyword, FBase, FLayout.JoinedArticles[chain - lone], nullptr});
        baseDone = true;
      }
      TBinaryDictionary* dictionary = FMembers[member];
      append({i == from ? keyword : dictionary->GetKeyword(int32_t(FLayout.Articles[i])), dictionary,
              FLayout.Articles[i], nullptr});
    }
    if (!baseDone) append({keyword, FBase, FLayout.JoinedArticles[chain - lone], nullptr});
  }
  FChainPages.Fill(page, fresh.get());
  return *fresh.release();
}

const TKeywordEntry* TMergedKeywords::BaseEntry(uint32_t article) const {
  const size_t slot = article >> kPageShift;
  std::lock_guard<std::mutex> lock(FPageLock);
  if (const TKeywordEntry* page = FBasePages.Load(slot)) return &page[article & (kPageSize - 1)];
  const uint32_t first = article & ~uint32_t(kPageSize - 1);
  const uint32_t end = std::min<uint32_t>(uint32_t(FBase->ArticleCount()), first + kPageSize);
  auto fresh = std::make_unique<TKeywordEntry[]>(kPageSize);
  for (uint32_t i = first; i < end; ++i) fresh[i - first] = TKeywordEntry{FBase->GetKeyword(int32_t(i)), FBase, i, nullptr};
  FBasePages.Fill(slot, fresh.get());
  return &fresh.release()[article & (kPageSize - 1)];
}
