// A word of a real text reaches its lemma: through a form dictionary, without
// its enclitic, with or without a movable ν, elided; the form's article is
// followed by its lemmas' articles; a word that reaches nothing is not found.
#include <gtest/gtest.h>

#include "DictionaryTestUtil.h"
#include "dictionary/uFormLemmas.h"
#include "foundation/KezText.h"

namespace {
const std::u16string kLatinMain = SourceHeader(u"Latin", u"main", u"latin") +
    u"#edo\r\nесть, кушать\r\n"
    u"#fulcimentum\r\nопора\r\n"
    u"#neque\r\nи не\r\n"
    u"#populus\r\nнарод\r\n"
    u"#sum\r\nбыть\r\n"
    u"#video\r\nвидеть\r\n";
const std::u16string kLatinForms = SourceHeader(u"Forms", u"form", u"latin") +
    u"<mark>\r\nsg.=единственное число\r\n</mark>\r\n"
    u"#est\r\n3 <m>sg.</m> praes. ind. от sum\r\n3 <m>sg.</m> praes. ind. от edo\r\n"
    u"#fuit\r\n3 <m>sg.</m> perf. ind. act. от sum\r\n"
    u"#vides\r\n2 <m>sg.</m> praes. ind. act. от video\r\n";

const std::u16string kGreekMain = SourceHeader(u"Greek", u"main", u"ancientgreek") +
    u"#\u1F00λλ\u1F71\r\nно\r\n"
    u"#δ\u1F73\r\nже, а\r\n"
    u"#\u1F10π\u1F77\r\nна\r\n"
    u"#κατ\u1F71\r\nвниз\r\n"
    u"#λ\u1F73γω\r\nговорить\r\n"
    u"#λ\u1F79γος\r\nслово\r\n";
const std::u16string kGreekForms = SourceHeader(u"Forms", u"form", u"ancientgreek") +
    u"#ε\u1F36πεν\r\n3 sg. aor. ind. act. от λ\u1F73γω\r\n"
    u"#λ\u1F79γοι\r\nnom. pl. от λ\u1F79γος\r\n";

struct TLookupCase {
  std::u16string typed;
  std::u16string keyword;
  TKeywordMatch match;
};

void ExpectLookups(TDictionary& d, const std::vector<TLookupCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.typed));
    EXPECT_EQ(d.LocateKeyword(c.typed), c.match);
    EXPECT_EQ(d.GetKeywordText(d.CurrentIndex()), c.keyword);
  }
}

class FormLookup : public testing::Test {
protected:
  void Load(const char* language, const std::u16string& main, const std::u16string& forms) {
    FFolder.Add("main", main);
    FFolder.Add("forms", forms);
    FFolder.Configure("main\r\nforms\r\n");
    FDictionary = std::make_unique<TDictionary>(FindLanguage(language), FFolder.Path());
    FDictionary->LoadDictionaries(true);
  }
  std::u16string ShownFor(std::u16string_view typed) {
    FDictionary->LocateKeyword(typed);
    return ShownText(*FDictionary);
  }
  TLanguageFolder FFolder;
  std::unique_ptr<TDictionary> FDictionary;
};
}  // namespace

TEST_F(FormLookup, LatinWordsOfATextReachTheirKeywords) {
  Load("latin", kLatinMain, kLatinForms);
  ExpectLookups(*FDictionary, {
      {u"fuit", u"fuit", kmExact},             // a form
      {u"Fuit", u"fuit", kmLetters},           // at the start of a sentence
      {u"populusque", u"populus", kmLetters},  // -que
      {u"videsne", u"vides", kmLetters},       // -ne, then the form
      {u"sumve", u"sum", kmLetters},           // -ve
      {u"neque", u"neque", kmExact},           // a whole word before its enclitic
      {u"que", u"sum", kmNone},                // an enclitic alone is no word here
      {u"-ve", u"video", kmNone},               // typed as grammars write it: without the hyphen
      {u"fuisse", u"fuit", kmNone},            // the nearest keyword, not found
  });
}

TEST_F(FormLookup, GreekWordsOfATextReachTheirKeywords) {
  Load("ancientgreek", kGreekMain, kGreekForms);
  ExpectLookups(*FDictionary, {
      {u"ε\u1F36πεν", u"ε\u1F36πεν", kmExact},
      {u"ε\u1F36πε", u"ε\u1F36πεν", kmLetters},        // without the movable ν
      {u"λ\u1F79γοιν", u"λ\u1F79γοι", kmLetters},      // with a ν it never has
      {u"δ\u1F72", u"δ\u1F73", kmExact},                // grave for acute
      {u"\u1F00λλ\u1F70", u"\u1F00λλ\u1F71", kmExact},  // a grave after a breathing
      {u"δ'", u"δ\u1F73", kmLetters},                   // elided, with an apostrophe
      {u"δ\u2019", u"δ\u1F73", kmLetters},
      {u"δ\u0313", u"δ\u1F73", kmLetters},              // the treebank's combining comma
      {u"δ", u"δ\u1F73", kmLetters},                    // a lone consonant: elided without a mark
      {u"\u1F00λλ", u"\u1F00λλ\u1F71", kmNone},         // longer: a beginning being typed, unless a form
      {u"\u1F00λλ\u2019", u"\u1F00λλ\u1F71", kmLetters}, // with the mark: elided
      {u"\u1F10π\u1FBD", u"\u1F10π\u1F77", kmLetters},  // with a koronis
      {u"καθ'", u"κατ\u1F71", kmLetters},               // the rough consonant made smooth
      {u"λογοξ", u"λ\u1F79γος", kmNone},                // not found: the nearest keyword
  });
}

TEST_F(FormLookup, AFormShowsItsLemmasArticlesAfterItsOwn) {
  Load("latin", kLatinMain, kLatinForms);
  const std::u16string shown = ShownFor(u"est");
  const size_t form = shown.find(u"praes. ind. от sum"), sum = shown.find(u"быть"), edo = shown.find(u"кушать");
  ASSERT_NE(form, std::u16string::npos) << ToUtf8(shown);
  ASSERT_NE(sum, std::u16string::npos) << ToUtf8(shown);
  ASSERT_NE(edo, std::u16string::npos) << ToUtf8(shown);
  EXPECT_LT(form, sum);
  EXPECT_LT(sum, edo);  // in the order the form's article names them
  // The keyword list stays on the form.
  EXPECT_EQ(FDictionary->GetKeywordText(FDictionary->CurrentIndex()), u"est");
  const auto lemmas = FDictionary->LemmaArticles(FDictionary->CurrentIndex());
  ASSERT_EQ(lemmas.size(), 2u);
  EXPECT_EQ(std::u16string(lemmas[0].Form), u"est");
  EXPECT_EQ(FDictionary->GetKeywordText(lemmas[0].LemmaIndex), u"sum");
  EXPECT_EQ(FDictionary->GetKeywordText(lemmas[1].LemmaIndex), u"edo");
  // A lemma's own keyword shows no lemma articles.
  EXPECT_TRUE(ShownFor(u"sum").find(u"кушать") == std::u16string::npos);
}

TEST_F(FormLookup, AnElidedOrShortenedFormShowsItsLemma) {
  Load("ancientgreek", kGreekMain, kGreekForms);
  const std::u16string shown = ShownFor(u"ε\u1F36πε");
  EXPECT_NE(shown.find(u"от λ\u1F73γω"), std::u16string::npos) << ToUtf8(shown);
  EXPECT_NE(shown.find(u"говорить"), std::u16string::npos) << ToUtf8(shown);
}

TEST(FormArticleLemmas, TheLastWordAfterOtOrOfOnEachLine) {
  const TKodraLanguage& greek = *FindLanguage("ancientgreek");
  const TKodraLanguage& latin = *FindLanguage("latin");
  const struct {
    const TKodraLanguage& language;
    std::u16string body;
    std::vector<std::u16string> lemmas;
  } cases[] = {
      {latin, u"3 \x03sg.\x04 perf. от sum", {u"sum"}},
      {latin, u"3 sg. от sum\x0F" u"3 sg. от edo\x0F" u"x от sum", {u"sum", u"edo"}},
      {greek, u"\x03gen. sg.\x04 of ἀγαθοποι\u03CCς", {u"ἀγαθοποι\u1F79ς"}},  // tonos read as oxia
      {latin, u"от a_priori.", {u"a_priori"}},
      {latin, u"поворот sum", {}},  // "от" ending a word names nothing
      {latin, u"от ", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.body));
    EXPECT_EQ(FormArticleLemmas(c.body, c.language), c.lemmas);
  }
}
