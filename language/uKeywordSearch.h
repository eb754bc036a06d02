#pragma once
// Keyword searches shared by the languages. Traits supplies Weight(c), and
// for lookup the spellings readers type: Prefer(word) rewrites marks that
// keywords never carry (true when it changed something), SpellOut(word)
// rewrites letters that keywords never hold, Respellings(word, i) the other
// letters unit i may stand for, Variants(word) the other words a word of a
// text may be (without its enclitic, its elided vowel restored). The lists
// are keyword sequences.
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <unicode/uchar.h>

#include "language/uKeywordSequence.h"
#include "language/uLanguage.h"

template <class Traits>
struct TKeywordOrder {
  static int Primary(char16_t a, char16_t b) {
    return int(Traits::Weight(a) & ~0xFFu) - int(Traits::Weight(b) & ~0xFFu);
  }
  static int Full(char16_t a, char16_t b) { return int(Traits::Weight(a)) - int(Traits::Weight(b)); }

  // CompareKeywords with the weights inlined: the sorts, merges and searches
  // of keyword lists spend most of their time here.
  template <bool kPrimary>
  static int CompareBy(const char16_t* a, const char16_t* b) {
    for (;;) {
      while (IsIgnorable(*a)) ++a;
      while (IsIgnorable(*b)) ++b;
      if (*a == 0) return *b == 0 ? 0 : -1;
      if (*b == 0) return 1;
      if (const int r = kPrimary ? Primary(*a, *b) : Full(*a, *b)) return r;
      ++a;
      ++b;
    }
  }

  // A keyword against a key: negative, zero or positive as the keyword
  // sorts before, equal to or after it.
  using TCompare = int (*)(const char16_t* keyword, const void* key);
  static const char16_t* KeywordOf(const void* item) { return *static_cast<const char16_t* const*>(item); }
  static int PrimaryOf(const char16_t* keyword, const void* key) {
    return CompareBy<true>(keyword, static_cast<const char16_t*>(key));
  }
  static int FullOf(const char16_t* keyword, const void* key) {
    return CompareBy<false>(keyword, static_cast<const char16_t*>(key));
  }
  // The same for list items that begin with a pointer to their keyword.
  static int ComparePrimary(const void*, const void* item, const void* key) { return PrimaryOf(KeywordOf(item), key); }
  static int CompareFull(const void*, const void* item, const void* key) { return FullOf(KeywordOf(item), key); }

  // The binary searches of KezSortedList over a keyword sequence.
  static bool SearchRange(const TKeywordSequence& list, const void* key, int32_t low, int32_t& index, int32_t high,
                          TCompare compare) {
    return SearchRangeAt(low, index, high, [&](int32_t at) { return compare(list.Keyword(at), key); });
  }
  static bool SearchFirst(const TKeywordSequence& list, const void* key, int32_t& index, TCompare compare) {
    return SearchFirstAt(list.Count(), index, [&](int32_t at) { return compare(list.Keyword(at), key); });
  }
  static void SearchLast(const TKeywordSequence& list, const void* key, int32_t low, int32_t& index, TCompare compare) {
    SearchLastAt(low, list.Count() - 1, index, [&](int32_t at) { return compare(list.Keyword(at), key); });
  }

  // Keyword lists are in letter order, and keywords with the same letters
  // in the order of their case and diacritics: the order that inserting at
  // the positions found here builds. The search narrows to the keywords with
  // the key's letters, then places the key among them, so that a word typed
  // without accents lands on its accented keyword.
  static bool FindKeyword(const TKeywordSequence& list, const char16_t* key, int32_t& index) {
    index = -1;
    int32_t first;
    if (!SearchFirst(list, key, first, &PrimaryOf)) {
      index = first;
      return false;
    }
    int32_t last;
    SearchLast(list, key, first, last, &PrimaryOf);
    if (last < first) last = first;  // only on a list out of order
    if (first == last) {
      const int r = FullOf(list.Keyword(last), key);
      index = r < 0 ? last + 1 : last;
      return r == 0;
    }
    return SearchRange(list, key, first, index, last, &FullOf);
  }

  // The order of keyword lists: letters first, then case and diacritics.
  static TKeywordPrefix Prefix(const char16_t* keyword) {
    TKeywordPrefix prefix;
    int n = 0;
    for (const char16_t* p = keyword; *p && n < 16; ++p) {
      if (IsIgnorable(*p)) continue;
      // Letters weigh 1 and up (an ended keyword 0); a weight beyond a byte
      // ends the prefix with 255, leaving the decision to the full comparison.
      const uint64_t letter = std::min<uint32_t>((Traits::Weight(*p) >> 8) + 1, 255);
      (n < 8 ? prefix.High : prefix.Low) |= letter << (8 * (7 - n % 8));
      if (letter == 255) break;
      ++n;
    }
    return prefix;
  }

  // One walk: the first difference of letters decides; keywords of the same
  // letters have as many of them, and their first difference in case or
  // diacritics decides.
  static int CompareText(const char16_t* a, const char16_t* b) {
    int full = 0;
    for (;;) {
      while (IsIgnorable(*a)) ++a;
      while (IsIgnorable(*b)) ++b;
      if (*a == 0) return *b == 0 ? full : -1;
      if (*b == 0) return 1;
      if (const int r = Primary(*a, *b)) return r;
      if (full == 0) full = Full(*a, *b);
      ++a;
      ++b;
    }
  }

  static bool SameLetters(const char16_t* keyword, const char16_t* key) { return PrimaryOf(keyword, key) == 0; }

  // Negative, zero or positive as the item's letters, cut to the length of
  // the prefix's, sort before, equal or after them.
  static int ComparePrefix(const char16_t* a, const void* key) {
    const auto& prefix = *static_cast<const std::u16string_view*>(key);
    size_t j = 0;
    for (;;) {
      while (IsIgnorable(*a)) ++a;
      while (j < prefix.size() && IsIgnorable(prefix[j])) ++j;
      if (j == prefix.size()) return 0;
      if (*a == 0) return -1;
      if (const int r = Primary(*a, prefix[j])) return r;
      ++a;
      ++j;
    }
  }
  static bool HasPrefix(const TKeywordSequence& list, std::u16string_view prefix) {
    int32_t index;
    return SearchFirst(list, &prefix, index, &ComparePrefix);
  }

  // The item at the index, or the one before it, when it has the key's letters.
  static bool LandOnLetters(const TKeywordSequence& list, const char16_t* key, int32_t& index) {
    if (index >= 0 && index < list.Count() && SameLetters(list.Keyword(index), key)) return true;
    if (index > 0 && index <= list.Count() && SameLetters(list.Keyword(index - 1), key)) {
      --index;
      return true;
    }
    return false;
  }

  // Tries the other spellings of the word at its ambiguous units from k on,
  // in order (the letter as typed first), following only the prefixes that
  // some keyword has. budget bounds the searches a keystroke may cost.
  static bool Respell(const TKeywordSequence& list, std::u16string& word,
                      const std::vector<std::pair<size_t, std::u16string_view>>& at, size_t k, int& budget) {
    if (k == at.size()) {
      int32_t first;
      return --budget >= 0 && SearchFirst(list, word.c_str(), first, &PrimaryOf);
    }
    const auto [i, others] = at[k];
    const char16_t typed = word[i];
    for (size_t choice = 0; choice <= others.size(); ++choice) {
      word[i] = choice == 0 ? typed : others[choice - 1];
      if (--budget < 0) break;
      if (HasPrefix(list, std::u16string_view(word).substr(0, i + 1)) && Respell(list, word, at, k + 1, budget))
        return true;
    }
    word[i] = typed;
    return false;
  }

  // The keyword a reader means by a word (see TKodraLanguage::LocateWord):
  // the word as typed (Traits::Prefer may first give the spelling keywords
  // use, e.g. acute for grave), then the other words it may stand for
  // (Traits::Variants: without an enclitic, with or without a movable
  // letter, an elided vowel restored), each landing only where a keyword
  // has its letters. A word that reaches no keyword stays on the nearest.
  // Among keywords that differ only in case (Liber, liber) it lands on the
  // one whose case is the typed word's.
  static TKeywordLocation Locate(const TKeywordSequence& list, const char16_t* key, TCompare stepBack) {
    TKeywordLocation at = LocateAnyCase(list, key, stepBack);
    if (at.Match != kmNone) PreferTypedCase(list, key, at.Index);
    return at;
  }

  static bool IsCapital(char16_t c) { return u_tolower(c) != c; }
  static char16_t Small(char16_t c) {
    const UChar32 small = u_tolower(c);
    return small <= 0xFFFF ? char16_t(small) : c;
  }

  // Keywords of the same letters and diacritics, differing in case only:
  // two words to a reader (the god Liber, the adjective liber).
  static bool SameButCase(const char16_t* a, const char16_t* b) {
    for (;;) {
      while (IsIgnorable(*a)) ++a;
      while (IsIgnorable(*b)) ++b;
      if (*a == 0 || *b == 0) return *a == *b;
      if (Full(Small(*a), Small(*b)) != 0) return false;
      ++a;
      ++b;
    }
  }

  // How many of the keyword's letters are capital or small as the typed
  // word's letters in their place are.
  static int CaseAgreement(const char16_t* keyword, const char16_t* typed) {
    int agreement = 0;
    for (;;) {
      while (IsIgnorable(*keyword)) ++keyword;
      while (IsIgnorable(*typed)) ++typed;
      if (*keyword == 0 || *typed == 0) return agreement;
      agreement += IsCapital(*keyword) == IsCapital(*typed);
      ++keyword;
      ++typed;
    }
  }

  // The keywords beside the one at the index that differ from it in case
  // only, in list order. They have its letters, so they stand near it.
  static std::vector<int32_t> CaseTwins(const TKeywordSequence& list, int32_t index) {
    std::vector<int32_t> twins;
    if (index < 0 || index >= list.Count()) return twins;
    const char16_t* keyword = list.Keyword(index);
    int32_t first = index, last = index;
    while (first > 0 && SameLetters(list.Keyword(first - 1), keyword)) --first;
    while (last + 1 < list.Count() && SameLetters(list.Keyword(last + 1), keyword)) ++last;
    for (int32_t i = first; i <= last; ++i)
      if (i != index && SameButCase(list.Keyword(i), keyword)) twins.push_back(i);
    return twins;
  }

  // Moves the index onto the case twin of its keyword that agrees best with
  // the typed word's case; on a tie it stays.
  static void PreferTypedCase(const TKeywordSequence& list, const char16_t* typed, int32_t& index) {
    const std::vector<int32_t> twins = CaseTwins(list, index);
    if (twins.empty()) return;
    int best = CaseAgreement(list.Keyword(index), typed);
    for (const int32_t twin : twins)
      if (const int agreement = CaseAgreement(list.Keyword(twin), typed); agreement > best) {
        best = agreement;
        index = twin;
      }
  }

  static TKeywordLocation LocateAnyCase(const TKeywordSequence& list, const char16_t* key, TCompare stepBack) {
    int budget = kRespellBudget;
    std::u16string word(key);
    if (Traits::Prefer(word)) {
      TKeywordLocation typed;
      if (FindFirstKeyword(list, key, typed.Index, stepBack)) {
        typed.Match = kmExact;
        return typed;
      }
    }
    const TKeywordLocation at = LocateSpelling(list, word.c_str(), stepBack, budget);
    if (at.Match != kmNone) return at;
    for (const std::u16string& variant : Traits::Variants(word)) {
      TKeywordLocation other = LocateSpelling(list, variant.c_str(), stepBack, budget);
      if (other.Match == kmNone) continue;
      other.Match = kmLetters;
      return other;
    }
    return at;
  }

  // One spelling: the keyword itself, one of its letters, or one of the
  // word's other spellings (SpellOut, Respellings).
  static TKeywordLocation LocateSpelling(const TKeywordSequence& list, const char16_t* key, TCompare stepBack,
                                         int& budget) {
    TKeywordLocation at;
    if (FindFirstKeyword(list, key, at.Index, stepBack)) {
      at.Match = kmExact;
      return at;
    }
    if (LandOnLetters(list, key, at.Index)) {
      at.Match = kmLetters;
      return at;
    }
    std::u16string word(key);
    bool changed = Traits::SpellOut(word);
    std::vector<std::pair<size_t, std::u16string_view>> ambiguous;
    for (size_t i = 0; i < word.size() && ambiguous.size() < kMaxRespelled; ++i)
      if (const std::u16string_view others = Traits::Respellings(word, i); !others.empty())
        ambiguous.emplace_back(i, others);
    if (!changed && ambiguous.empty()) return at;
    if (!Respell(list, word, ambiguous, 0, budget)) return at;
    TKeywordLocation respelled;
    FindFirstKeyword(list, word.c_str(), respelled.Index, stepBack);
    LandOnLetters(list, word.c_str(), respelled.Index);
    respelled.Match = kmLetters;
    return respelled;
  }
  static constexpr size_t kMaxRespelled = 12;
  static constexpr int kRespellBudget = 96;

  // FindKeyword, then back over the items before it that compare equal under
  // the given comparison.
  static bool FindFirstKeyword(const TKeywordSequence& list, const char16_t* key, int32_t& index,
                               TCompare stepBack) {
    const bool found = FindKeyword(list, key, index);
    if (index >= 0 && index < list.Count())
      while (index > 0 && stepBack(list.Keyword(index - 1), key) == 0) --index;
    return found;
  }
};
