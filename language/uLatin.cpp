#include "language/uLatin.h"

#include <algorithm>
#include <array>
#include <vector>

#include "language/uKeyboardGrid.h"
#include "language/uKeywordSearch.h"

namespace {
constexpr char16_t kRange0First = 0x0040, kRange0Last = 0x007F;
constexpr char16_t kRange1First = 0x00C0, kRange1Last = 0x017F;

// Vowels with diacritics in the order the character list and keyboard show them.
constexpr char16_t kSmallMarked[16] = {0x0101, 0x0103, 0x00E4, 0x0113, 0x0115, 0x00EB, 0x012B, 0x012D,
                                       0x00EF, 0x014D, 0x014F, 0x00F6, 0x016B, 0x016D, 0x00FC, 0x00FF};
constexpr char16_t kCapitalMarked[16] = {0x0100, 0x0102, 0x00C4, 0x0112, 0x0114, 0x00CB, 0x012A, 0x012C,
                                         0x00CF, 0x014C, 0x014E, 0x00D6, 0x016A, 0x016C, 0x00DC, 0x0178};
// The plain letter and the capital variant code of each of them (macron 2, breve 1, diaeresis 0x10).
constexpr char16_t kMarkedBase[16] = {u'a', u'a', u'a', u'e', u'e', u'e', u'i', u'i',
                                      u'i', u'o', u'o', u'o', u'u', u'u', u'u', u'y'};
constexpr uint32_t kMarkedVariant[16] = {2, 1, 0x10, 2, 1, 0x10, 2, 1, 0x10, 2, 1, 0x10, 2, 1, 0x10, 0x10};

struct TLatinTables {
  static constexpr size_t kSize0 = kRange0Last - kRange0First + 1;
  static constexpr size_t kSize1 = kRange1Last - kRange1First + 1;
  struct TEntry {
    uint32_t Flags = 0, Weight = 0;
    char16_t FoldPlain = 0, FoldKept = 0;
  };
  std::array<TEntry, kSize0 + kSize1> Entries{};
  std::vector<char16_t> CharList;

  TEntry* At(char16_t c) {
    if (c >= kRange0First && c <= kRange0Last) return &Entries[c - kRange0First];
    if (c >= kRange1First && c <= kRange1Last) return &Entries[kSize0 + c - kRange1First];
    return nullptr;
  }
  void Set(char16_t c, uint32_t flags, uint32_t weight, char16_t plain) { *At(c) = {flags, weight, plain, c}; }

  TLatinTables() {
    for (int k = 0; k < 26; ++k) {
      const uint32_t letter = uint32_t(k + 2) * 256;
      Set(char16_t(u'A' + k), cfCapital | cfKeyword, letter, char16_t(u'a' + k));
      Set(char16_t(u'a' + k), cfSmall | cfKeyword, letter + 0x30, char16_t(u'a' + k));
    }
    for (int i = 0; i < 16; ++i) {
      const uint32_t letter = uint32_t(kMarkedBase[i] - u'a' + 2) * 256;
      Set(kCapitalMarked[i], cfCapital | cfDiacritic, letter + kMarkedVariant[i], kMarkedBase[i]);
      Set(kSmallMarked[i], cfSmall | cfDiacritic, letter + kMarkedVariant[i] + 0x30, kMarkedBase[i]);
    }
    for (char16_t c = u'A'; c <= u'Z'; ++c) CharList.push_back(c);
    for (char16_t c = u'a'; c <= u'z'; ++c) CharList.push_back(c);
    CharList.insert(CharList.end(), std::begin(kSmallMarked), std::end(kSmallMarked));
    CharList.insert(CharList.end(), std::begin(kCapitalMarked), std::end(kCapitalMarked));
  }
};

const TLatinTables& Tables() {
  static const TLatinTables tables;
  return tables;
}

const TLatinTables::TEntry* EntryOf(char16_t c) { return const_cast<TLatinTables&>(Tables()).At(c); }

// The ligatures that keywords spell out.
std::u16string_view LigatureLetters(char16_t c) {
  switch (c) {
    case u'æ': return u"ae";
    case u'Æ': return u"Ae";
    case u'œ': return u"oe";
    case u'Œ': return u"Oe";
    default: return {};
  }
}

struct TLatinTraits {
  static uint32_t Weight(char16_t c) { return TLatin::CharWeight(c); }
  static bool SpellOut(std::u16string& word) {
    bool changed = false;
    for (size_t i = 0; i < word.size(); ++i)
      if (const std::u16string_view letters = LigatureLetters(word[i]); !letters.empty()) {
        word.replace(i, 1, letters);
        changed = true;
      }
    return changed;
  }
  static bool Prefer(std::u16string&) { return false; }
  // A word with an enclitic (populusque, videsne, plusve) is the word without it.
  static std::vector<std::u16string> Variants(std::u16string_view word) {
    std::vector<std::u16string> variants;
    for (const std::u16string_view enclitic : {u"que", u"ne", u"ve"}) {
      if (word.size() < enclitic.size() + 2) continue;
      const std::u16string_view tail = word.substr(word.size() - enclitic.size());
      if (std::equal(tail.begin(), tail.end(), enclitic.begin(), [](char16_t a, char16_t b) { return (a | 0x20) == b; }))
        variants.emplace_back(word.substr(0, word.size() - enclitic.size()));
    }
    return variants;
  }
  // i and j, u and v are one letter each in the dictionaries' spelling or the reader's.
  static std::u16string_view Respellings(std::u16string_view word, size_t i) {
    switch (word[i]) {
      case u'i': return u"j";
      case u'j': return u"i";
      case u'I': return u"J";
      case u'J': return u"I";
      case u'u': return u"v";
      case u'v': return u"u";
      case u'U': return u"V";
      case u'V': return u"U";
      default: return {};
    }
  }
};
using TOrder = TKeywordOrder<TLatinTraits>;

std::vector<char16_t> Grid(bool capitals) {
  TKeyboardGridBuilder g(16);
  const char16_t a = capitals ? u'A' : u'a';
  g.Range(a, char16_t(a + 12)).EndRow();
  g.Range(char16_t(a + 13), char16_t(a + 25)).EndRow();
  for (char16_t c : capitals ? kCapitalMarked : kSmallMarked) g.Add(c);
  g.EndRow();
  return g.Build();
}
}  // namespace

uint32_t TLatin::CharFlags(char16_t c) {
  const auto* entry = EntryOf(c);
  return entry ? entry->Flags : 0;
}

uint32_t TLatin::CharWeight(char16_t c) {
  const auto* entry = EntryOf(c);
  return entry ? entry->Weight : c;
}

int TLatin::PrimaryCompare(char16_t a, char16_t b) { return TOrder::Primary(a, b); }
int TLatin::FullCompare(char16_t a, char16_t b) { return TOrder::Full(a, b); }
int TLatin::CompareKeywordPrimary(const void* context, const void* item, const void* key) {
  return TOrder::ComparePrimary(context, item, key);
}
int TLatin::CompareKeywordFull(const void* context, const void* item, const void* key) {
  return TOrder::CompareFull(context, item, key);
}

int TLatin::CharCount() const { return int(Tables().CharList.size()); }

char16_t TLatin::CharAt(int index) const {
  return index >= 0 && index < CharCount() ? Tables().CharList[size_t(index)] : 0;
}

// Without "!" the search sees neither capitals nor ligatures: æ is a, e.
char16_t TLatin::FoldChar(char16_t c, bool keepDiacritics) const {
  if (!keepDiacritics)
    if (const std::u16string_view letters = LigatureLetters(c); !letters.empty()) return char16_t(letters[0] | 0x20);
  const auto* entry = EntryOf(c);
  const char16_t folded = entry ? (keepDiacritics ? entry->FoldKept : entry->FoldPlain) : 0;
  return folded ? folded : TKodraLanguage::FoldChar(c, keepDiacritics);
}

char16_t TLatin::FoldSecond(char16_t c, bool keepDiacritics) const {
  const std::u16string_view letters = keepDiacritics ? std::u16string_view() : LigatureLetters(c);
  return letters.empty() ? 0 : letters[1];
}

int TLatin::CompareKeywordText(const char16_t* a, const char16_t* b) const {
  return TOrder::CompareText(a, b);
}

TKeywordPrefix TLatin::KeywordPrefix(const char16_t* keyword) const { return TOrder::Prefix(keyword); }

bool TLatin::FindKeyword(const TKeywordSequence& list, const char16_t* key, int32_t& index) const {
  return TOrder::FindKeyword(list, key, index);
}

bool TLatin::FindFirstKeyword(const TKeywordSequence& list, const char16_t* key, int32_t& index) const {
  return TOrder::FindFirstKeyword(list, key, index, &TOrder::PrimaryOf);
}

TKeywordLocation TLatin::LocateWord(const TKeywordSequence& list, const char16_t* word) const {
  return TOrder::Locate(list, word, &TOrder::PrimaryOf);
}

std::vector<int32_t> TLatin::CaseTwins(const TKeywordSequence& list, int32_t index) const {
  return TOrder::CaseTwins(list, index);
}

const char16_t* TLatin::GetKeyboardGrid(bool capitals, int& columns, int& rows) const {
  static const std::vector<char16_t> small = Grid(false);
  static const std::vector<char16_t> capital = Grid(true);
  columns = 16;
  rows = 3;
  return capitals ? capital.data() : small.data();
}
