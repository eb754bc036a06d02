#include "language/uGreek.h"

#include <vector>

#include "language/uKeyboardGrid.h"
#include "language/uKeywordSearch.h"

namespace {
#include "language/uGreekTables.inc"

constexpr char16_t kRange0First = 0x0390, kRange0Last = 0x03CF;
constexpr char16_t kRange1First = 0x1F00;  // to U+1FFF

template <typename T, size_t N0, size_t N1>
T TableValue(const T (&range0)[N0], const T (&range1)[N1], char16_t c, T fallback) {
  if (c >= kRange0First && c <= kRange0Last) return range0[c - kRange0First];
  if (c >= kRange1First) return size_t(c - kRange1First) < N1 ? range1[c - kRange1First] : fallback;
  return fallback;
}

// The letter without accents, breathings or case; 0 for anything else.
char16_t PlainLetter(char16_t c) {
  if (!(TGreek::CharFlags(c) & cfLetter)) return 0;
  const char16_t folded = TableValue(kGreekFoldPlain0, kGreekFoldPlain1, c, char16_t(0));
  return folded ? folded : c;
}

// A grave stands on the last syllable of a word inside a sentence; the
// dictionaries write the word with its acute.
char16_t AcuteOfGrave(char16_t c) {
  if (c == 0x0300) return 0x0301;
  if (c >= 0x1F70 && c <= 0x1F7C && c % 2 == 0) return char16_t(c + 1);  // ὰ ὲ ὴ ὶ ὸ ὺ ὼ
  if ((c >= 0x1F00 && c < 0x1F70) || (c >= 0x1F80 && c < 0x1FB0)) {
    const unsigned low = c & 0x7;  // with a breathing: 2, 3 grave, 4, 5 acute
    return low == 2 || low == 3 ? char16_t(c + 2) : c;
  }
  switch (c) {
    case 0x1FB2: return 0x1FB4;
    case 0x1FBA: return 0x1FBB;
    case 0x1FC2: return 0x1FC4;
    case 0x1FC8: return 0x1FC9;
    case 0x1FCA: return 0x1FCB;
    case 0x1FD2: return 0x1FD3;
    case 0x1FDA: return 0x1FDB;
    case 0x1FE2: return 0x1FE3;
    case 0x1FEA: return 0x1FEB;
    case 0x1FF2: return 0x1FF4;
    case 0x1FF8: return 0x1FF9;
    case 0x1FFA: return 0x1FFB;
    default: return c;
  }
}

// What texts write after an elided word: apostrophes, the koronis and the
// smooth breathing standing alone or combined with the last consonant.
bool IsElisionMark(char16_t c) {
  switch (c) {
    case u'\'': case 0x2019: case 0x2018: case 0x02BC: case 0x1FBD: case 0x1FBF: case 0x0313: case 0x0343:
      return true;
    default:
      return false;
  }
}

struct TGreekTraits {
  static uint32_t Weight(char16_t c) { return TGreek::CharWeight(c); }
  static bool SpellOut(std::u16string&) { return false; }
  static bool Prefer(std::u16string& word) {
    bool changed = false;
    for (char16_t& c : word)
      if (const char16_t acute = AcuteOfGrave(c); acute != c) {
        c = acute;
        changed = true;
      }
    return changed;
  }
  // An elided word (δ', ἀλλ', καθ', παῤ): as written, then with each vowel
  // restored, a consonant roughened before a rough breathing made smooth
  // again (θ φ χ for τ π κ). A movable ν: εἶπε for εἶπεν and back.
  static std::vector<std::u16string> Variants(std::u16string_view typed) {
    std::vector<std::u16string> variants;
    std::u16string word(typed);
    bool marked = false;
    while (!word.empty() && IsElisionMark(word.back())) {
      word.pop_back();
      marked = true;
    }
    if (!word.empty() && word.back() == 0x1FE4) {  // ῤ: ρ with the elision's breathing
      word.back() = u'ρ';
      marked = true;
    }
    if (word.empty()) return variants;
    if (marked) variants.push_back(word);
    const char16_t last = PlainLetter(word.back());
    const bool vowel = std::u16string_view(u"αεηιουω").find(last) != std::u16string_view::npos;
    // Unmarked, only a lone consonant is taken for an elided word (δ, τ, γ,
    // μ): a longer one is as likely the beginning of a word being typed.
    // The form dictionary keys the elided forms texts hold without the mark.
    if (last && !vowel && (marked || word.size() == 1)) {
      std::u16string stem = word;
      const std::u16string_view smooth = last == u'θ' ? u"τ" : last == u'φ' ? u"π" : last == u'χ' ? u"κ" : u"";
      // καθ' is κατά far more often than καθά: the smooth consonant first.
      if (!smooth.empty()) stem.back() = smooth[0];
      for (int pass = 0; pass < (smooth.empty() ? 1 : 2); ++pass) {
        if (pass == 1) stem.back() = word.back();
        for (const char16_t restored : std::u16string_view(u"εαοι")) variants.push_back(stem + restored);
      }
    }
    if (marked && last == u'ι') variants.push_back(word + u'α');  // δι' for διά
    if (last == u'ν' && word.size() > 2) {
      const char16_t before = PlainLetter(word[word.size() - 2]);
      if (before == u'ε' || before == u'ι') variants.push_back(word.substr(0, word.size() - 1));
    } else if (last == u'ε' || last == u'ι') {
      variants.push_back(word + u'ν');
    }
    return variants;
  }
  // The s key types σ: at the end of a word readers mean ς.
  static std::u16string_view Respellings(std::u16string_view word, size_t i) {
    const bool sigma = word[i] == u'σ' || word[i] == u'Σ';
    const bool last = i + 1 == word.size() || !(TGreek::CharFlags(word[i + 1]) & cfLetter);
    return sigma && last ? std::u16string_view(u"ς") : std::u16string_view();
  }
};
using TOrder = TKeywordOrder<TGreekTraits>;

std::vector<char16_t> SmallGrid() {
  TKeyboardGridBuilder g(25);
  g.Range(0x03B1, 0x03C9).EndRow();
  g.Add(0x1F70).Add(0x1F71).Add(0x1FB6).Range(0x1F00, 0x1F07).Add(0x1FB3).Add(0x1FB2).Add(0x1FB4).Add(0x1FB7)
      .Range(0x1F80, 0x1F87).Add(0x1FB0).Add(0x1FB1).EndRow();
  g.Add(0x1F74).Add(0x1F75).Add(0x1FC6).Range(0x1F20, 0x1F27).Add(0x1FC3).Add(0x1FC2).Add(0x1FC4).Add(0x1FC7)
      .Range(0x1F90, 0x1F97).EndRow();
  g.Add(0x1F76).Add(0x1F77).Add(0x1FD6).Range(0x1F30, 0x1F37).Add(0x1FD0).Add(0x1FD1).Add(0x03CA).Add(0x1FD2)
      .Add(0x1FD3).Add(0x1FD7).EndRow();
  g.Add(0x1F7A).Add(0x1F7B).Add(0x1FE6).Range(0x1F50, 0x1F57).Add(0x1FE0).Add(0x1FE1).Add(0x03CB).Add(0x1FE2)
      .Add(0x1FE3).Add(0x1FE7).EndRow();
  g.Add(0x1F7C).Add(0x1F7D).Add(0x1FF6).Range(0x1F60, 0x1F67).Add(0x1FF3).Add(0x1FF2).Add(0x1FF4).Add(0x1FF7)
      .Range(0x1FA0, 0x1FA7).EndRow();
  g.Add(0x1F72).Add(0x1F73).Range(0x1F10, 0x1F15).Empty().Add(0x1F78).Add(0x1F79).Range(0x1F40, 0x1F45).Empty()
      .Add(0x1FE4).Add(0x1FE5).Empty().Add(0x0387).Add(0x1FBD).EndRow();
  return g.Build();
}

std::vector<char16_t> CapitalGrid() {
  TKeyboardGridBuilder g(25);
  g.Range(0x0391, 0x03A1).Range(0x03A3, 0x03A9).EndRow();
  g.Add(0x1FBA).Add(0x1FBB).Range(0x1F08, 0x1F0F).EndRow();
  g.Add(0x1FCA).Add(0x1FCB).Range(0x1F28, 0x1F2F).EndRow();
  g.Add(0x1FDA).Add(0x1FDB).Range(0x1F38, 0x1F3F).EndRow();
  g.Add(0x1FEA).Add(0x1FEB).Add(0x1F59).Add(0x1F5B).Add(0x1F5D).Add(0x1F5F).EndRow();
  g.Add(0x1FFA).Add(0x1FFB).Range(0x1F68, 0x1F6F).EndRow();
  g.Add(0x1FC8).Add(0x1FC9).Range(0x1F18, 0x1F1D).Empty().Add(0x1FF8).Add(0x1FF9).Range(0x1F48, 0x1F4D).Empty()
      .Add(0x1FEC).EndRow();
  return g.Build();
}
}  // namespace

uint32_t TGreek::CharFlags(char16_t c) { return TableValue(kGreekFlags0, kGreekFlags1, c, 0u); }
uint32_t TGreek::CharWeight(char16_t c) { return TableValue(kGreekWeight0, kGreekWeight1, c, uint32_t(c)); }
int TGreek::PrimaryCompare(char16_t a, char16_t b) { return TOrder::Primary(a, b); }
int TGreek::FullCompare(char16_t a, char16_t b) { return TOrder::Full(a, b); }
int TGreek::CompareKeywordPrimary(const void* context, const void* item, const void* key) {
  return TOrder::ComparePrimary(context, item, key);
}
int TGreek::CompareKeywordFull(const void* context, const void* item, const void* key) {
  return TOrder::CompareFull(context, item, key);
}

int TGreek::CharCount() const { return int(std::size(kGreekCharList)); }

char16_t TGreek::CharAt(int index) const {
  return index >= 0 && index < CharCount() ? kGreekCharList[index] : 0;
}

char16_t TGreek::NormalizeChar(char16_t c) const {
  return c >= 0x0370 && c <= 0x03CF ? kGreekNormalisation[c - 0x0370] : c;
}

char16_t TGreek::FoldChar(char16_t c, bool keepDiacritics) const {
  // Final sigma is the same letter in another place, not a diacritic: a
  // search word typed with σ at its end finds the word written with ς.
  if (c == u'ς') return u'σ';
  const char16_t folded = keepDiacritics ? TableValue(kGreekFoldKept0, kGreekFoldKept1, c, char16_t(0))
                                         : TableValue(kGreekFoldPlain0, kGreekFoldPlain1, c, char16_t(0));
  return folded ? folded : TKodraLanguage::FoldChar(c, keepDiacritics);
}

int TGreek::CompareKeywordText(const char16_t* a, const char16_t* b) const {
  return TOrder::CompareText(a, b);
}

TKeywordPrefix TGreek::KeywordPrefix(const char16_t* keyword) const { return TOrder::Prefix(keyword); }

bool TGreek::FindKeyword(const TKeywordSequence& list, const char16_t* key, int32_t& index) const {
  return TOrder::FindKeyword(list, key, index);
}

bool TGreek::FindFirstKeyword(const TKeywordSequence& list, const char16_t* key, int32_t& index) const {
  return TOrder::FindFirstKeyword(list, key, index, &TOrder::FullOf);
}

bool TGreek::IsElisionMark(char16_t c) const { return ::IsElisionMark(c); }

TKeywordLocation TGreek::LocateWord(const TKeywordSequence& list, const char16_t* word) const {
  return TOrder::Locate(list, word, &TOrder::FullOf);
}

std::vector<int32_t> TGreek::CaseTwins(const TKeywordSequence& list, int32_t index) const {
  return TOrder::CaseTwins(list, index);
}

const char16_t* TGreek::GetKeyboardGrid(bool capitals, int& columns, int& rows) const {
  static const std::vector<char16_t> small = SmallGrid();
  static const std::vector<char16_t> capital = CapitalGrid();
  columns = 25;
  rows = 7;
  return capitals ? capital.data() : small.data();
}
