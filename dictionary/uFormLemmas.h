#pragma once
// The lemmas a form dictionary's article names. Each line of such an article
// analyses the form for one lemma and ends with it: "3 sg. perf. ind. act.
// от sum", "gen. sg. of ἀγαθός".
#include <string>
#include <string_view>
#include <vector>

class TKodraLanguage;

// The lemmas in the order of their lines, each once: on every line (body
// unit 15 ends one) the letters that follow its last "от" or "of",
// normalised as a typed word is.
std::vector<std::u16string> FormArticleLemmas(std::u16string_view body, const TKodraLanguage& language);
