// Bytes in as UTF-16 units: read as a form dictionary's article body, whose
// lemmas are taken out, and as a word typed or caught from a text, located
// in both languages among a few keywords with its other spellings, elided
// vowels and enclitics. Every lemma is non-empty and named once; every
// location stays within the list.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "dictionary/uFormLemmas.h"
#include "language/uLanguage.h"

namespace {
class TKeywords final : public TKeywordSequence {
public:
  explicit TKeywords(std::vector<std::u16string> keywords) : FKeywords(std::move(keywords)) {}
  int32_t Count() const override { return int32_t(FKeywords.size()); }
  const char16_t* Keyword(int32_t index) const override { return FKeywords[size_t(index)].c_str(); }

private:
  std::vector<std::u16string> FKeywords;
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text += char16_t(data[i] | (data[i + 1] << 8));
  static TKodraLanguage* const greek = FindLanguage("ancientgreek");
  static TKodraLanguage* const latin = FindLanguage("latin");
  static const TKeywords greekKeywords({u"ἀλλά", u"δέ", u"εἶπεν", u"κατά", u"λέγω", u"λόγος"});
  static const TKeywords latinKeywords({u"edo", u"est", u"fuit", u"populus", u"sum", u"vides"});
  for (TKodraLanguage* language : {greek, latin}) {
    const std::vector<std::u16string> lemmas = FormArticleLemmas(text, *language);
    for (size_t i = 0; i < lemmas.size(); ++i) {
      Check(!lemmas[i].empty());
      Check(std::find(lemmas.begin() + long(i) + 1, lemmas.end(), lemmas[i]) == lemmas.end());
    }
    const TKeywords& keywords = language == greek ? greekKeywords : latinKeywords;
    const std::u16string word = language->PrepareWord(text.substr(0, 64));
    const TKeywordLocation at = language->LocateWord(keywords, word.c_str());
    Check(at.Index >= 0 && at.Index <= keywords.Count());
    Check(at.Match == kmNone || at.Index < keywords.Count());
  }
  return 0;
}
