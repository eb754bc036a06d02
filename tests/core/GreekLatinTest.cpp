#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "foundation/KezAssert.h"
#include "foundation/KezText.h"
#include "language/uGreek.h"
#include "language/uLatin.h"

namespace {
struct TItem {
  const char16_t* Keyword;
};

// A keyword list in the language's keyword-list order.
class TKeywordList {
public:
  TKeywordList(std::vector<std::u16string> words, const TKodraLanguage& language) : FWords(std::move(words)) {
    std::stable_sort(FWords.begin(), FWords.end(), [&](const std::u16string& a, const std::u16string& b) {
      return language.CompareKeywordText(a.c_str(), b.c_str()) < 0;
    });
    for (const auto& word : FWords) FItems.push_back(TItem{word.c_str()});
    for (auto& item : FItems) FList.Add(&item);
  }
  const TKezSortedList& List() const { return FList; }
  const std::u16string& Word(size_t i) const { return FWords[i]; }
  size_t Size() const { return FWords.size(); }

private:
  std::vector<std::u16string> FWords;
  std::vector<TItem> FItems;
  TKezSortedList FList;
};

int Sign(int v) { return (v > 0) - (v < 0); }
}  // namespace

TEST(Greek, WeightsFromCharacterNames) {
  struct { char16_t c; uint32_t weight; uint32_t flags; } cases[] = {
      {0x1F84, 0x025A, 0x112}, {0x1FDB, 0x0A04, 0x111}, {0x1FE4, 0x1236, 0x112}, {0x1FEC, 0x1207, 0x111},
      {0x1FBD, 0x010E, 0x104}, {0x0391, 0x0200, 0x101}, {0x03C2, 0x1330, 0x102}, {0x03C3, 0x1430, 0x102},
      {0x03AA, 0x0A10, 0x111}, {0x03CB, 0x1640, 0x112}, {0x1FB0, 0x0231, 0x012}, {0x1FB9, 0x0202, 0x011},
      {0x1FBC, 0x0220, 0x111}, {0x1FB7, 0x0255, 0x112}, {0x1F8F, 0x022D, 0x111}, {0x1FD3, 0x0A44, 0x112},
      {0x03AC, 0, 0},          {0x03CF, 0, 0},          {0x1FBE, 0, 0},          {u'a', u'a', 0},
      {0x0436, 0x0436, 0},     {0x0386, 0x0386, 0},
  };
  for (auto c : cases) {
    EXPECT_EQ(TGreek::CharWeight(c.c), c.weight) << std::hex << int(c.c);
    EXPECT_EQ(TGreek::CharFlags(c.c), c.flags) << std::hex << int(c.c);
  }
}

TEST(Greek, CharacterListAndInvariants) {
  TGreek greek;
  ASSERT_EQ(greek.CharCount(), 272);
  EXPECT_EQ(greek.CharAt(0), 0x0387);
  EXPECT_EQ(greek.CharAt(1), 0x0391);
  EXPECT_EQ(greek.CharAt(271), 0x1FFC);
  EXPECT_EQ(greek.CharAt(272), 0);
  EXPECT_EQ(greek.CharAt(-1), 0);
  for (int i = 1; i < greek.CharCount(); ++i) {
    const char16_t c = greek.CharAt(i);
    ASSERT_GT(c, greek.CharAt(i - 1));
    const uint32_t weight = TGreek::CharWeight(c);
    if (c == 0x1FBD) continue;  // the koronis is a sign, not a letter of the alphabet
    // Every letter folds to the plain small letter of its number.
    // Final sigma folds to σ: it is the same letter.
    const char16_t plain = c == u'ς' ? u'σ' : char16_t(0x03B1 + (weight >> 8) - 2);
    EXPECT_EQ(greek.FoldChar(c, false), plain) << std::hex << int(c);
    EXPECT_EQ(greek.FoldChar(c, true), c == u'ς' ? u'σ' : c) << std::hex << int(c);
    // Capitals sort before every small form of the same letter.
    const bool capital = TGreek::CharFlags(c) & cfCapital;
    EXPECT_EQ((weight & 0xFF) < 0x30, capital) << std::hex << int(c);
    // Only vrachy and macron letters are kept out of keywords.
    const bool lengthMark = (weight & 0xFF) % 0x30 == 1 || (weight & 0xFF) % 0x30 == 2;
    EXPECT_EQ(greek.IsKeywordChar(c), !lengthMark) << std::hex << int(c);
    EXPECT_TRUE(greek.IsLetter(c));
  }
  EXPECT_FALSE(greek.IsKeywordChar(0x1FB1));
  EXPECT_TRUE(greek.IsLetter(0x1FB1));
}

TEST(Latin, CharacterListAndTables) {
  TLatin latin;
  ASSERT_EQ(latin.CharCount(), 84);
  EXPECT_EQ(latin.CharAt(52), 0x0101);
  EXPECT_EQ(latin.CharAt(83), 0x0178);
  EXPECT_EQ(latin.CharAt(84), 0);
  EXPECT_EQ(TLatin::CharWeight(u'A'), 0x0200u);
  EXPECT_EQ(TLatin::CharWeight(u'z'), 0x1B30u);
  EXPECT_EQ(TLatin::CharWeight(0x0178), 0x1A10u);  // Ÿ
  EXPECT_EQ(TLatin::CharWeight(0x0101), 0x0232u);  // ā
  EXPECT_EQ(TLatin::CharWeight(0x014F), 0x1031u);  // ŏ
  EXPECT_EQ(TLatin::CharWeight(u'['), 0u);
  EXPECT_FALSE(latin.IsKeywordChar(0x0101));
  EXPECT_TRUE(latin.IsLetter(0x0101));
  EXPECT_EQ(latin.NormalizeChar(0x0374), 0x0374);
}

TEST(Languages, Folding) {
  TGreek greek;
  TLatin latin;
  struct { const TKodraLanguage* language; char16_t c; bool keep; char16_t expected; } cases[] = {
      {&greek, 0x1F85, false, 0x03B1}, {&greek, 0x1F85, true, 0x1F85}, {&greek, 0x03AC, true, 0x1F71},
      {&greek, 0x03AC, false, 0x03B1}, {&greek, 0x0390, true, 0x1FD3}, {&greek, 0x03B0, false, 0x03C5},
      {&greek, 0x0416, false, 0x0436}, {&greek, 0x0401, false, 0x0435}, {&greek, 0x0401, true, 0x0401},
      {&greek, 0x1F0C, false, 0x03B1}, {&greek, 0x0391, false, 0x03B1}, {&greek, 0x03AA, false, 0x03B9},
      {&greek, 0x03C2, false, 0x03C3}, {&greek, 0x1FE5, false, 0x03C1}, {&greek, 0x1FBD, false, 0x1FBD},
      {&greek, u'A', false, u'a'},     {&latin, 0x00C4, false, u'a'},   {&latin, 0x00E4, false, u'a'},
      {&latin, 0x0100, false, u'a'},   {&latin, u'A', false, u'a'},     {&latin, 0x00C4, true, 0x00C4},
      {&latin, u'A', true, u'A'},      {&latin, 0x0451, false, 0x0435}, {&latin, 0x00C9, false, 0x00E9},
      {&latin, u'Æ', false, u'a'},     {&latin, u'œ', false, u'o'},     {&latin, u'æ', true, u'æ'},
  };
  for (auto c : cases)
    EXPECT_EQ(c.language->FoldChar(c.c, c.keep), c.expected)
        << c.language->GetId() << " " << std::hex << int(c.c) << " " << c.keep;
  EXPECT_EQ(latin.FoldSecond(u'æ', false), u'e');
  EXPECT_EQ(latin.FoldSecond(u'Œ', false), u'e');
  EXPECT_EQ(latin.FoldSecond(u'æ', true), 0);
  EXPECT_EQ(latin.FoldSecond(u'a', false), 0);
  EXPECT_EQ(greek.FoldSecond(u'ς', false), 0);
  EXPECT_EQ(greek.NormalizeChar(0x0374), 0xF000);
  EXPECT_EQ(greek.NormalizeChar(0x0375), 0xF001);
  EXPECT_EQ(greek.NormalizeChar(0x038F), 0x1FFB);
}

TEST(Languages, KeywordComparison) {
  using Compare = int (*)(char16_t, char16_t);
  struct { const char16_t* a; const char16_t* b; Compare compare; int sign; } cases[] = {
      {u"ἄνθρωπος", u"ἀνθρωπος", TGreek::PrimaryCompare, 0},
      {u"ἄνθρωπος", u"ἀνθρωπος", TGreek::FullCompare, 1},
      {u"Ἄνθρωπος", u"ἄνθρωπος", TGreek::FullCompare, -1},
      {u"a_b", u"ab", TGreek::FullCompare, 0},
      {u"a_b", u"ab", TLatin::PrimaryCompare, 0},
      {u"___", u"", TLatin::FullCompare, 0},
      {u"λογος", u"λογοσ", TGreek::PrimaryCompare, -1},
      {u"λογ", u"λογος", TGreek::PrimaryCompare, -1},
      {u"Roma", u"roma", TLatin::PrimaryCompare, 0},
      {u"Roma", u"roma", TLatin::FullCompare, -1},
      {u"1", u"α", TGreek::PrimaryCompare, -1},
      {u"1", u"!", TGreek::PrimaryCompare, 0},
  };
  for (auto c : cases)
    EXPECT_EQ(Sign(CompareKeywords(c.a, c.b, c.compare, IsIgnorable)), c.sign)
        << std::string(reinterpret_cast<const char*>(c.a), 0);
}

TEST(Languages, FindKeywordEdgeCases) {
  TGreek greek;
  TLatin latin;
  struct {
    const TKodraLanguage* language;
    std::vector<std::u16string> words;
    std::u16string key;
    bool found;
    int32_t index, firstIndex;
  } cases[] = {
      {&latin, {u"Roma", u"roma"}, u"roma", true, 1, 0},
      {&greek, {u"Ἄνθρωπος", u"ἄνθρωπος"}, u"ἄνθρωπος", true, 1, 1},
      {&greek, {u"Ἄνθρωπος", u"ἄνθρωπος"}, u"ανθρωπος", false, 1, 1},
      // Letters first: ἀάατος stands before Ἀβαρις although capitals come first.
      {&greek, {u"\u1F08βαρις", u"\u1F00\u1F71ατος"}, u"\u1F00\u1F71ατος", true, 0, 0},
      {&greek, {u"\u1F08βαρις", u"\u1F00\u1F71ατος"}, u"\u1F08βαρις", true, 1, 1},
      // Typed without accents, a word lands on its accented keyword.
      {&greek, {u"α\u1F50γ\u1F71ζω", u"\u1F04νθρωπος", u"\u1F08νθρωπος"}, u"ανθρωπος", false, 1, 1},
      {&greek, {u"ab", u"a_b", u"ac"}, u"a_b", true, 1, 0},  // the first equal item met; then back to the lowest
      {&greek, {u"ἄνθρωπος", u"λόγος"}, u"ἀνθρωπος", false, 0, 0},
      {&greek, {u"ἄνθρωπος", u"λόγος"}, u"βίος", false, 1, 1},
      {&greek, {u"ἄνθρωπος", u"λόγος"}, u"ωμος", false, 2, 2},
      {&latin, {u"amo", u"amor"}, u"am", false, 0, 0},
      {&latin, {}, u"amo", false, 0, 0},
  };
  for (const auto& c : cases) {
    TKeywordList list(c.words, *c.language);
    int32_t index;
    EXPECT_EQ(c.language->FindKeyword(TSortedListKeywords(list.List()), c.key.c_str(), index), c.found);
    EXPECT_EQ(index, c.index) << ToUtf8(c.key);
    EXPECT_EQ(c.language->FindFirstKeyword(TSortedListKeywords(list.List()), c.key.c_str(), index), c.found);
    EXPECT_EQ(index, c.firstIndex);
  }
}

// On random sorted lists the searches agree with a linear reference built from
// the same comparisons.
TEST(Languages, FindKeywordAgreesWithLinearReference) {
  struct TCase {
    const TKodraLanguage* language;
    int (*full)(const void*, const void*, const void*);
    int (*primary)(const void*, const void*, const void*);
    std::u16string alphabet;
    bool stepBackByFull;
  };
  TGreek greek;
  TLatin latin;
  const TCase languages[] = {
      {&greek, TGreek::CompareKeywordFull, TGreek::CompareKeywordPrimary,
       u"αΑἀἄἌάᾶβγλοόὀςσΣωὠῶᾠ_", true},
      {&latin, TLatin::CompareKeywordFull, TLatin::CompareKeywordPrimary, u"aAāäbBmMoōrR_", false},
  };
  std::mt19937 random(12345);
  for (const auto& lang : languages) {
    auto word = [&](int maxLength) {
      std::u16string w;
      const int length = int(random() % maxLength);
      for (int i = 0; i < length; ++i) w += lang.alphabet[random() % lang.alphabet.size()];
      return w;
    };
    for (int round = 0; round < 200; ++round) {
      std::vector<std::u16string> words;
      const int count = int(random() % 40);
      for (int i = 0; i < count; ++i) words.push_back(word(4));
      TKeywordList list(words, *lang.language);
      for (int probe = 0; probe < 20; ++probe) {
        const std::u16string key = probe % 2 && list.Size() ? list.Word(random() % list.Size()) : word(4);
        auto compare = [&](auto fn, size_t i) {
          TItem item{list.Word(i).c_str()};
          return fn(nullptr, &item, key.c_str());
        };
        // Reference: found when some item is fully equal; the index of the
        // first item not below the key in the list's order otherwise.
        bool expectedFound = false;
        size_t firstNotBelow = list.Size();
        for (size_t i = 0; i < list.Size(); ++i) {
          if (compare(lang.full, i) == 0) expectedFound = true;
          if (firstNotBelow == list.Size() && lang.language->CompareKeywordText(list.Word(i).c_str(), key.c_str()) >= 0)
            firstNotBelow = i;
        }
        int32_t index;
        const bool found = lang.language->FindKeyword(TSortedListKeywords(list.List()), key.c_str(), index);
        ASSERT_EQ(found, expectedFound);
        if (found) {
          ASSERT_EQ(compare(lang.full, size_t(index)), 0);
        } else {
          ASSERT_EQ(size_t(index), firstNotBelow);
        }
        const bool firstFound = lang.language->FindFirstKeyword(TSortedListKeywords(list.List()), key.c_str(), index);
        ASSERT_EQ(firstFound, expectedFound);
        if (index >= 0 && size_t(index) < list.Size()) {
          // Nothing just before the index compares equal under the step-back comparison...
          const auto stepBack = lang.stepBackByFull ? lang.full : lang.primary;
          if (index > 0) {
            ASSERT_NE(compare(stepBack, size_t(index - 1)), 0);
          }
          // ...and for Latin it lands on the first item with the same letters.
          if (!lang.stepBackByFull && compare(lang.primary, size_t(index)) == 0) {
            size_t firstPrimary = 0;
            while (compare(lang.primary, firstPrimary) != 0) ++firstPrimary;
            ASSERT_EQ(size_t(index), firstPrimary);
          }
        }
      }
    }
  }
}

TEST(Languages, KeyboardGrids) {
  TGreek greek;
  TLatin latin;
  int columns, rows;
  const char16_t* small = greek.GetKeyboardGrid(false, columns, rows);
  EXPECT_EQ(columns, 25);
  EXPECT_EQ(rows, 7);
  EXPECT_EQ(small[0], 0x03B1);
  EXPECT_EQ(small[24], 0x03C9);
  EXPECT_EQ(small[25 + 24], 0x1FB1);
  EXPECT_EQ(small[6 * 25 + 21], 0x0387);
  EXPECT_EQ(small[6 * 25 + 22], 0x1FBD);
  const char16_t* capital = greek.GetKeyboardGrid(true, columns, rows);
  EXPECT_EQ(capital[23], 0x03A9);
  EXPECT_EQ(capital[24], 0);
  EXPECT_EQ(capital[6 * 25 + 18], 0x1FEC);
  const char16_t* latinSmall = latin.GetKeyboardGrid(false, columns, rows);
  EXPECT_EQ(columns, 16);
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(latinSmall[12], u'm');
  EXPECT_EQ(latinSmall[13], 0);
  EXPECT_EQ(latinSmall[16], u'n');
  EXPECT_EQ(latinSmall[47], 0x00FF);
  EXPECT_EQ(latin.GetKeyboardGrid(true, columns, rows)[47], 0x0178);
}
