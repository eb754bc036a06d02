#pragma once
// Keyword searches shared by the languages. Traits supplies Weight(c); the
// list's items begin with a pointer to their zero-terminated keyword.
#include "foundation/KezSortedList.h"
#include "language/uLanguage.h"

template <class Traits>
struct TKeywordOrder {
  static int Primary(char16_t a, char16_t b) {
    return int(Traits::Weight(a) & ~0xFFu) - int(Traits::Weight(b) & ~0xFFu);
  }
  static int Full(char16_t a, char16_t b) { return int(Traits::Weight(a)) - int(Traits::Weight(b)); }

  static const char16_t* KeywordOf(const void* item) { return *static_cast<const char16_t* const*>(item); }
  static int ComparePrimary(const void*, const void* item, const void* key) {
    return CompareKeywords(KeywordOf(item), static_cast<const char16_t*>(key), &Primary, &IsIgnorable);
  }
  static int CompareFull(const void*, const void* item, const void* key) {
    return CompareKeywords(KeywordOf(item), static_cast<const char16_t*>(key), &Full, &IsIgnorable);
  }

  // The position of the key in the list's full order: the lowest item equal
  // to it, or where it would be inserted. A search by letters alone first
  // (then by case and diacritics among the keywords with the same letters)
  // would miss words: a capital can sort a word before a small-letter word
  // whose later letters are smaller (Ἀβαρις before ἀάατος), so the list is
  // not in letter order. One search in the full order gives the same
  // positions wherever that narrowing works and never misses.
  static bool FindKeyword(const TKezSortedList& list, const char16_t* key, int32_t& index) {
    return SearchFirst(list, key, index, &CompareFull);
  }

  // FindKeyword, then back over the items before it that compare equal under
  // the given comparison.
  static bool FindFirstKeyword(const TKezSortedList& list, const char16_t* key, int32_t& index,
                               TKezCompareFunc stepBack) {
    const bool found = FindKeyword(list, key, index);
    if (index >= 0 && index < list.Count())
      while (index > 0 && stepBack(nullptr, list.Items(index - 1), key) == 0) --index;
    return found;
  }
};
