#include "dictionary/uFormLemmas.h"

#include <algorithm>

#include "language/uLanguage.h"

namespace {
constexpr char16_t kLineBreak = 15;

bool IsTagUnit(char16_t c) { return c >= 1 && c < kLineBreak; }

// The text of a line without its tag units: what the reader sees.
std::u16string VisibleText(std::u16string_view line) {
  std::u16string text;
  for (const char16_t c : line)
    if (!IsTagUnit(c)) text += c;
  return text;
}

// Where the word after the line's last "от" or "of" (standing as words) starts.
size_t LemmaStart(std::u16string_view line) {
  for (size_t at = line.size(); at-- > 0;) {
    const std::u16string_view rest = line.substr(at);
    if (!(rest.starts_with(u"от ") || rest.starts_with(u"of "))) continue;
    if (at > 0 && line[at - 1] != u' ') continue;
    size_t start = at + 3;
    while (start < line.size() && line[start] == u' ') ++start;
    return start;
  }
  return std::u16string_view::npos;
}
}  // namespace

std::vector<std::u16string> FormArticleLemmas(std::u16string_view body, const TKodraLanguage& language) {
  std::vector<std::u16string> lemmas;
  while (!body.empty()) {
    const size_t end = std::min(body.find(kLineBreak), body.size());
    // As a lemma typed into the search field: composed, tonos read as oxia.
    const std::u16string line = language.PrepareWord(VisibleText(body.substr(0, end)));
    body.remove_prefix(std::min(end + 1, body.size()));
    const size_t start = LemmaStart(line);
    if (start == std::u16string_view::npos) continue;
    size_t stop = start;
    while (stop < line.size() &&
           (line[stop] == u'_' || language.IsKeywordChar(line[stop]) || language.IsLetter(line[stop])))
      ++stop;
    std::u16string lemma = line.substr(start, stop - start);
    if (!lemma.empty() && std::find(lemmas.begin(), lemmas.end(), lemma) == lemmas.end())
      lemmas.push_back(std::move(lemma));
  }
  return lemmas;
}
