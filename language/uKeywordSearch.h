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

  // Keyword lists are in letter order, and keywords with the same letters
  // in the order of their case and diacritics: the order that inserting at
  // the positions found here builds. The search narrows to the keywords with
  // the key's letters, then places the key among them, so that a word typed
  // without accents lands on its accented keyword.
  static bool FindKeyword(const TKezSortedList& list, const char16_t* key, int32_t& index) {
    index = -1;
    int32_t first;
    if (!SearchFirst(list, key, first, &ComparePrimary)) {
      index = first;
      return false;
    }
    int32_t last;
    SearchLast(list, key, first, last, &ComparePrimary);
    if (last < first) last = first;  // only on a list out of order
    if (first == last) {
      const int r = CompareFull(nullptr, list.Items(last), key);
      index = r < 0 ? last + 1 : last;
      return r == 0;
    }
    return SearchRange(list, key, first, index, last, &CompareFull);
  }

  // The order of keyword lists: letters first, then case and diacritics.
  static int CompareText(const char16_t* a, const char16_t* b) {
    const int r = CompareKeywords(a, b, &Primary, &IsIgnorable);
    return r != 0 ? r : CompareKeywords(a, b, &Full, &IsIgnorable);
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
