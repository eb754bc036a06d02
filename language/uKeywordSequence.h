#pragma once
// Keywords in keyword order, read by index: what the keyword searches of a
// language walk. A sorted list of items that begin with a pointer to their
// keyword is one; a dictionary set's merged keyword list is another, whose
// keywords are only unscrambled when a search reaches them.
#include <cstdint>

#include "foundation/KezSortedList.h"

class TKeywordSequence {
public:
  virtual ~TKeywordSequence() = default;
  virtual int32_t Count() const = 0;
  // The zero-terminated keyword at index (0 <= index < Count()).
  virtual const char16_t* Keyword(int32_t index) const = 0;
};

// A sorted list whose items begin with a pointer to their keyword.
class TSortedListKeywords final : public TKeywordSequence {
public:
  explicit TSortedListKeywords(const TKezSortedList& list) : FList(list) {}
  int32_t Count() const override { return FList.Count(); }
  const char16_t* Keyword(int32_t index) const override {
    return *static_cast<const char16_t* const*>(FList.Items(index));
  }

private:
  const TKezSortedList& FList;
};
