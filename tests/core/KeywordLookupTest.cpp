// Lookup lands on the keyword the reader meant: typed without accents or
// capitals, with σ at the end, decomposed, or in the reader's Latin spelling.
#include <gtest/gtest.h>

#include <filesystem>

#include "DictionaryTestUtil.h"
#include "foundation/KezText.h"
#include "language/uGreek.h"

namespace {
const std::u16string kGreek = SourceHeader(u"Greek", u"main", u"ancientgreek") +
    u"#\u1F04νθρωπος\r\nчеловек\r\n"
    u"#λ\u1F79γος\r\nслово\r\n"
    u"#λ\u1F79γχη\r\nкопьё\r\n"
    u"#\u1F44νομα\r\nимя\r\n"
    u"#\u1F08σ\u1F77α\r\nАзия\r\n"
    u"#\u1F08σιαν\u1F79ς\r\nазиец\r\n"
    u"#\u1F38ησο\u1FE6ς\r\nИисус\r\n"
    u"#\u1F31καν\u1F79ς\r\nдостаточный\r\n"
    u"#\u1F1Cρως\r\nЭрот\r\n"
    u"#\u1F14ρως\r\nлюбовь\r\n";

const std::u16string kLatin = SourceHeader(u"Latin", u"main", u"latin") +
    u"#amo\r\nlove\r\n"
    u"#Caesar\r\nCaesar\r\n"
    u"#ius\r\nright\r\n"
    u"#iuvenis\r\nyoung\r\n"
    u"#Liber\r\nBacchus\r\n"
    u"#liber\r\nbook; free\r\n"
    u"#poena\r\npenalty\r\n"
    u"#venio\r\ncome\r\n";

struct TLookupCase {
  std::u16string typed;
  std::u16string keyword;  // empty: beyond the last keyword
  TKeywordMatch match;
};

void ExpectLookups(const std::string& language, const std::u16string& source, const std::vector<TLookupCase>& cases) {
  TLanguageFolder folder;
  folder.Add("main", source);
  TDictionary d(FindLanguage(language), folder.Path());
  d.LoadDictionaries(true);
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.typed));
    EXPECT_EQ(d.LocateKeyword(c.typed), c.match);
    if (c.keyword.empty()) EXPECT_EQ(d.CurrentIndex(), d.KeywordCount());
    else EXPECT_EQ(d.GetKeywordText(d.CurrentIndex()), c.keyword);
  }
}
}  // namespace

TEST(KeywordLookup, GreekAsReadersTypeIt) {
  ExpectLookups("ancientgreek", kGreek, {
      {u"", u"\u1F04νθρωπος", kmNone},                    // the first keyword
      {u"\u1F04νθρωπος", u"\u1F04νθρωπος", kmExact},
      {u"ανθρωπος", u"\u1F04νθρωπος", kmLetters},         // without accents
      {u"λογ", u"λ\u1F79γος", kmNone},                     // the nearest keyword
      {u"ω", u"", kmNone},                                 // beyond the last keyword
      {u"ασια", u"\u1F08σ\u1F77α", kmLetters},            // a capitalised name typed in lowercase
      {u"ιησους", u"\u1F38ησο\u1FE6ς", kmLetters},
      {u"ιησουσ", u"\u1F38ησο\u1FE6ς", kmLetters},        // σ at the end means ς
      {u"λογοσ", u"λ\u1F79γος", kmLetters},
      {u"λ\u1F79γοσ", u"λ\u1F79γος", kmLetters},
      {u"ΛΟΓΟΣ", u"λ\u1F79γος", kmLetters},               // all capitals
      {u"λο\u0301γος", u"λ\u1F79γος", kmExact},            // decomposed: a combining acute
      {u"α\u0313\u0301νθρωπος", u"\u1F04νθρωπος", kmExact},
      {u"λ\u03CCγος", u"λ\u1F79γος", kmExact},             // tonos as other programs write it
      {u"σ", u"", kmNone},                                 // no keyword with σ or ς: beyond the last
      // Keywords that differ in case only: the one cased as typed.
      {u"ερως", u"\u1F14ρως", kmLetters},
      {u"\u1F14ρως", u"\u1F14ρως", kmExact},
      {u"Ερως", u"\u1F1Cρως", kmLetters},
      {u"\u1F1Cρως", u"\u1F1Cρως", kmExact},
  });
}

TEST(KeywordLookup, LatinAsReadersSpellIt) {
  ExpectLookups("latin", kLatin, {
      {u"amo", u"amo", kmExact},
      {u"Amo", u"amo", kmLetters},
      {u"caesar", u"Caesar", kmLetters},
      {u"cæsar", u"Caesar", kmLetters},
      {u"CÆSAR", u"Caesar", kmLetters},
      {u"pœna", u"poena", kmLetters},
      {u"jus", u"ius", kmLetters},
      {u"juvenis", u"iuvenis", kmLetters},
      {u"JUUENIS", u"iuvenis", kmLetters},
      {u"uenio", u"venio", kmLetters},
      {u"iuv", u"iuvenis", kmNone},
      {u"ven", u"venio", kmNone},
      {u"liber", u"liber", kmExact},  // not the god of the same letters before it
      {u"Liber", u"Liber", kmExact},
      {u"LIBER", u"Liber", kmLetters},
      {u"libe", u"Liber", kmNone},
  });
}

// A word that differs from another in case only is shown with it: the
// articles of the keyword landed on, then the other's.
TEST(KeywordLookup, CaseTwinsShowBothArticlesTheTypedCaseFirst) {
  const struct {
    std::string Language;
    std::u16string Source, Typed;
    std::vector<std::string> Shown;  // the articles' texts in the order shown
  } table[] = {
      {"latin", kLatin, u"liber", {"book; free", "Bacchus"}},
      {"latin", kLatin, u"Liber", {"Bacchus", "book; free"}},
      {"ancientgreek", kGreek, u"ερως", {"любовь", "Эрот"}},
      {"ancientgreek", kGreek, u"Ερως", {"Эрот", "любовь"}},
      {"ancientgreek", kGreek, u"ασια", {"Азия"}},  // a name without a twin
  };
  for (const auto& row : table) {
    SCOPED_TRACE(ToUtf8(row.Typed));
    TLanguageFolder folder;
    folder.Add("main", row.Source);
    TDictionary d(FindLanguage(row.Language), folder.Path());
    d.LoadDictionaries(true);
    d.LocateKeyword(row.Typed);
    const std::string shown = ToUtf8(ShownText(d));
    size_t from = 0;
    for (const std::string& article : row.Shown) {
      const size_t at = shown.find(article, from);
      ASSERT_NE(at, std::string::npos) << article << " not after the articles before it in:\n" << shown;
      from = at + article.size();
    }
    EXPECT_EQ(d.CaseTwinArticles(d.CurrentIndex()).size(), row.Shown.size() - 1);
  }
}

// Every capitalised keyword of a real glossary, typed in lowercase without
// accents on the Greek keys (so with σ at the end), lands on its letters.
TEST(KeywordLookup, CapitalisedNamesOfTheGlossaryTypedInLowercase) {
  const std::filesystem::path corpus = std::filesystem::path(KODRA_CORPORA) / "greek-russian-nt.kds";
  if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  const TKodraLanguage& greek = *FindLanguage("ancientgreek");
  TTempDir dir;
  TSourceDictionary source(FindLanguage("ancientgreek"));
  source.LoadFromFile(corpus.string());
  source.Compile(dir.Path("main.kdb"));
  TDictionary d(FindLanguage("ancientgreek"), dir.Root().string());
  d.LoadDictionaries(true);
  ASSERT_GT(d.KeywordCount(), 5000);
  int names = 0;
  std::vector<std::string> missed;
  for (int32_t i = 0; i < d.KeywordCount(); ++i) {
    const std::u16string keyword(d.GetKeywordText(i));
    if (!(TGreek::CharFlags(keyword[0]) & cfCapital)) continue;
    ++names;
    std::u16string typed;
    for (char16_t c : keyword) typed += greek.FoldChar(c, false);
    d.LocateKeyword(typed);
    const int32_t at = d.CurrentIndex();
    if (at >= d.KeywordCount() || TGreek::CompareKeywordPrimary(nullptr, d.GetEntry(at), keyword.c_str()) != 0)
      missed.push_back(ToUtf8(typed) + " -> " + ToUtf8(d.GetKeywordText(at)));
  }
  EXPECT_GT(names, 500);
  EXPECT_TRUE(missed.empty()) << missed.size() << " missed, the first: " << missed.front();
}
