// Full-text search over the decoded article bodies: up to four wildcard
// words in sequence, matched with the language's folding, reported as a
// selection in the rendered article with a context line.
#include <algorithm>

#include "dictionary/uDictionary.h"
#include "language/uCommon.h"
#include "options/uOptions.h"

namespace {
constexpr size_t kMaxWords = 4;
constexpr size_t kContextLength = 79;

bool IsEnumerationUnit(char16_t c) { return c >= 7 && c <= 10; }

bool MakeSearchWord(std::u16string_view piece, bool hasPrevious, const TKodraLanguage& language,
                    TDictionarySearchWord& word) {
  size_t k = 0;
  bool keep = false, fragment = false;
  for (; k < piece.size() && (piece[k] == u'!' || piece[k] == u'&'); ++k)
    (piece[k] == u'!' ? keep : fragment) = true;
  std::u16string rest;
  size_t wildcards = 0;
  for (char16_t c : piece.substr(k)) {
    if (!IsPatternChar(c) || (fragment && c == u'*')) continue;
    if (!fragment && (c == u'*' || c == u'?')) ++wildcards;
    rest += c;
  }
  if (rest.empty()) return false;
  if (wildcards == rest.size()) {
    if (!hasPrevious) return false;
    word = TDictionarySearchWord{u"*", smAny, keep};
    return true;
  }
  TDictionarySearchMode mode = fragment ? smFragment : smWord;
  if (wildcards && rest.size() >= 2) {
    if (rest.compare(0, 2, u"?*") == 0 || rest.compare(0, 2, u"*?") == 0) {
      rest.replace(0, 2, u"?");
      mode = smSuffix;
    } else if (rest[0] == u'*') {
      rest.erase(0, 1);
      mode = smSuffix;
    }
    const size_t n = rest.size();
    bool trailing = false;
    if (n >= 2 && (rest.compare(n - 2, 2, u"?*") == 0 || rest.compare(n - 2, 2, u"*?") == 0)) {
      rest.replace(n - 2, 2, u"?");
      trailing = true;
    } else if (n >= 1 && rest.back() == u'*') {
      rest.pop_back();
      trailing = true;
    }
    if (trailing) mode = mode == smSuffix ? smInfix : smPrefix;
  }
  word = TDictionarySearchWord{u"", mode, keep};
  for (char16_t c : rest) {
    if (c == u'*') continue;
    word.Pattern += c == u'?' ? c : language.FoldChar(c, keep);
  }
  return !word.Pattern.empty();
}

bool PatternUnitMatches(char16_t pattern, char16_t folded) { return pattern == u'?' || pattern == folded; }
}  // namespace

std::vector<TDictionarySearchWord> ParseSearchText(std::u16string_view text, const TKodraLanguage& language) {
  std::vector<TDictionarySearchWord> words;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == u' ' || text[i] == u'\r') {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && text[end] != u' ' && text[end] != u'\r') ++end;
    TDictionarySearchWord word;
    if (words.size() < kMaxWords && MakeSearchWord(text.substr(i, end - i), !words.empty(), language, word))
      words.push_back(std::move(word));
    i = end;
  }
  while (!words.empty() && words.back().Mode == smAny) words.pop_back();
  return words;
}

// Matches one word of the text (in-word signs skipped) against a search word.
// For fragment and infix words the occurrence's units are reported.
bool TDictionary::MatchWord(const TDictionarySearchWord& word, std::u16string_view text, size_t& fragmentStart,
                            size_t& fragmentEnd) const {
  if (word.Mode == smAny) return true;
  // Fold the word once; remember where each folded unit stood.
  thread_local std::u16string folded;
  thread_local std::vector<size_t> origin;
  folded.clear();
  origin.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsInWordSign(text[i])) continue;
    folded += FLanguage->FoldChar(text[i], word.KeepDiacritics);
    origin.push_back(i);
  }
  const std::u16string& pattern = word.Pattern;
  const size_t m = folded.size(), k = pattern.size();
  if (m == 0 || k == 0 || m < k) return false;
  auto matchesAt = [&](size_t at) {
    for (size_t j = 0; j < k; ++j)
      if (!PatternUnitMatches(pattern[j], folded[at + j])) return false;
    return true;
  };
  switch (word.Mode) {
    case smWord: return m == k && matchesAt(0);
    case smPrefix: return matchesAt(0);
    case smSuffix: return matchesAt(m - k);
    default:
      for (size_t at = 0; at + k <= m; ++at) {
        if (matchesAt(at)) {
          fragmentStart = origin[at];
          fragmentEnd = origin[at + k - 1] + 1;
          return true;
        }
      }
      return false;
  }
}

bool TDictionary::ScanBody(const TKeywordEntry& entry, std::u16string_view body, size_t from, TScanHit& hit) const {
  const bool inComment = Opts().FullTextSearch().SearchInComment();
  const size_t count = FSearchWords.size();
  enum { stOutside, stInside, stSkipped } state = stOutside;
  int depth = 0;
  size_t n = 0, wordStart = 0, sequenceStart = 0, fragmentStart = 0, fragmentEnd = 0;
  for (size_t p = from;; ++p) {
    const char16_t c = p < body.size() ? body[p] : 0;
    if (c == 3 || c == 5 || (c == 11 && !inComment)) {
      ++depth;
      state = stSkipped;
      continue;
    }
    if (c == 4 || c == 6 || (c == 12 && !inComment)) {
      if (depth > 0 && --depth == 0) {
        state = stOutside;
        n = 0;
      }
      continue;
    }
    if (depth > 0 && c != 0) continue;
    const bool separator = c == 0 || IsSeparator(c);
    if (state != stInside) {
      if (c == 0) return false;
      if (!separator) {
        wordStart = p;
        if (n == 0) sequenceStart = p;
        state = stInside;
      }
      continue;
    }
    if (!separator) continue;
    // A word ends here: match it against the next search word.
    state = stOutside;
    std::u16string_view text = body.substr(wordStart, p - wordStart);
    const bool placeholder = count >= 2 && (text[0] == u'~' || (text.size() > 1 && text[0] == u'(' && text[1] == u'~'));
    if (placeholder) text = entry.Keyword;
    size_t start = 0, end = 0;
    if (MatchWord(FSearchWords[n], text, start, end)) {
      if (n == 0) {
        fragmentStart = wordStart + start;
        fragmentEnd = wordStart + end;
      }
      if (++n == count) {
        if (count == 1 && FSearchWords[0].Mode == smFragment) {
          hit = TScanHit{fragmentStart, fragmentEnd, p};
        } else {
          size_t first = sequenceStart, last = p;
          while (first < last && IsInWordSign(body[first])) ++first;
          while (last > first && IsInWordSign(body[last - 1])) --last;
          hit = TScanHit{first, last, p};
        }
        return true;
      }
    } else {
      n = 0;
    }
    if (c == 0) return false;
  }
}

int32_t TDictionary::RenderedPosition(const TKeywordEntry& entry, std::u16string_view body, size_t unit) const {
  auto renderedLength = [&](const TKeywordEntry& e, std::u16string_view units) {
    int32_t length = 0;
    for (char16_t c : units) {
      if (c == u'~') length += AbbreviationShownLength(e.Keyword, Opts());
      else if (c == 15 || c >= 0x20) ++length;
    }
    return length;
  };
  int32_t position = 0;
  for (auto* e = static_cast<const TKeywordEntry*>(FKeywords.Items(FSearchIndex)); e != &entry; e = e->Next) {
    const std::u16string_view caption(e->Dictionary->Caption());
    const std::u16string_view other(e->Dictionary->GetArticle(int32_t(e->ArticleIndex)));
    position += int32_t(caption.size()) + 1 + renderedLength(*e, other) + 1;
  }
  return position + int32_t(std::char_traits<char16_t>::length(entry.Dictionary->Caption())) + 1 +
         renderedLength(entry, body.substr(0, unit));
}

std::u16string TDictionary::ContextLine(const TKeywordEntry& entry, std::u16string_view body, size_t start,
                                        size_t end) const {
  size_t s = start;
  for (int k = 0; k < 10 && s > 0 && !IsEnumerationUnit(body[s - 1]); ++k) --s;
  while (s > 0 && body[s - 1] != u' ' && !IsEnumerationUnit(body[s - 1])) --s;
  if (s < body.size() && (body[s] == u' ' || body[s] == u'(')) ++s;
  size_t e = end;
  for (int k = 0; k < 10 && e < body.size() && !IsEnumerationUnit(body[e]) && body[e] != 15; ++k) ++e;
  while (e < body.size() && body[e] != u' ' && !IsEnumerationUnit(body[e]) && body[e] != 15) ++e;
  if (e > s && IsEnumerationUnit(body[e - 1])) --e;
  if (e > s && body[e - 1] == 15) --e;
  if (e > s && body[e - 1] == u' ') --e;
  if (e > s && (body[e - 1] == u')' || body[e - 1] == u',' || body[e - 1] == u';' || body[e - 1] == u':')) --e;
  std::u16string context;
  for (size_t i = s; i < e && context.size() < kContextLength; ++i) {
    const char16_t c = body[i];
    if (c < 0x20 || c >= 0xF000) continue;
    if (c == u'~') {
      if (entry.Keyword[0]) context += entry.Keyword[0];
      if (context.size() < kContextLength) context += u'.';
    } else {
      context += c == u'_' ? u' ' : c;
    }
  }
  return context;
}

bool TDictionary::SearchStep() {
  while (FSearchIndex < FSearchEnd) {
    if (!FSearchEntry) FSearchEntry = static_cast<const TKeywordEntry*>(FKeywords.Items(FSearchIndex));
    const TKeywordEntry& entry = *FSearchEntry;
    // Rendering positions may decode other bodies of the same dictionary: keep a copy of this one.
    const std::u16string_view decoded(entry.Dictionary->GetArticle(int32_t(entry.ArticleIndex)));
    TScanHit hit;
    if (FSearchOffset <= decoded.size() && ScanBody(entry, decoded, FSearchOffset, hit)) {
      const std::u16string body(decoded);
      FSearchOffset = hit.Separator + 1;
      const int32_t start = RenderedPosition(entry, body, hit.Start);
      const int32_t end = RenderedPosition(entry, body, hit.End);
      FSearchContext = ContextLine(entry, body, hit.Start, hit.End);
      SetCurrent(FSearchIndex, start, end - start);
      return true;
    }
    FSearchEntry = entry.Next;
    FSearchOffset = 0;
    if (!FSearchEntry) ++FSearchIndex;
  }
  FSearchWords.clear();
  return false;
}

bool TDictionary::StartSearch(std::u16string_view text, int32_t startIndex) {
  FSearchWords.clear();
  if (text.empty() || FKeywords.Count() == 0) return false;
  FSearchWords = ParseSearchText(text, *FLanguage);
  if (FSearchWords.empty()) return false;
  FSearchEnd = FKeywords.Count();
  FSearchIndex = std::clamp(startIndex, 0, FSearchEnd - 1);
  FSearchEntry = nullptr;
  FSearchOffset = 0;
  return SearchStep();
}

bool TDictionary::SearchNext() { return SearchActive() && SearchStep(); }

bool TDictionary::SearchAll(std::u16string_view text, TSearchResultList& results) {
  const auto& options = Opts().FullTextSearch();
  const size_t limit = size_t(std::max(options.MaxSearch(), 1));
  for (bool hit = StartSearch(text, 0); hit && results.size() < limit; hit = SearchNext()) {
    if (options.ShowKind() == skFirst && !results.empty() && results.back()->KeywordIndex == FCurrentIndex) {
      TSearchResultBase* tail = results.back().get();
      while (tail->Next) tail = tail->Next.get();
      tail->Next = std::make_unique<TSearchResultBase>(FSelectionStart, FSelectionLength);
    } else {
      results.push_back(std::make_unique<TSearchResult>(FCurrentIndex, FSelectionStart, FSelectionLength, FSearchContext));
    }
  }
  return !results.empty();
}
