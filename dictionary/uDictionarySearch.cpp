// Full-text search over the decoded article bodies: up to four wildcard
// words in sequence, matched with the language's folding, reported as a
// selection in the rendered article with a context line.
#include <algorithm>
#include <cstring>

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
    if (const char16_t second = c == u'?' ? 0 : language.FoldSecond(c, keep)) word.Pattern += second;
  }
  return !word.Pattern.empty();
}

bool PatternUnitMatches(char16_t pattern, char16_t folded) { return pattern == u'?' || pattern == folded; }
}  // namespace

std::vector<TDictionarySearchWord> ParseSearchText(std::u16string_view typed, const TKodraLanguage& language) {
  const std::u16string composed = language.PrepareWord(typed);
  const std::u16string_view text = composed;
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

// The language's folding of every unit, computed once per dictionary set so
// that the scan folds with a table look-up.
const char16_t* TDictionary::FoldTable(bool keepDiacritics) const {
  const int mode = keepDiacritics ? 1 : 0;
  std::vector<char16_t>& table = FFoldTables[mode];
  if (table.empty()) {
    table.resize(0x10000);
    std::vector<char16_t> seconds(0x10000, 0);
    bool any = false;
    for (uint32_t c = 0; c < 0x10000; ++c) {
      table[c] = FLanguage->FoldChar(char16_t(c), keepDiacritics);
      any |= (seconds[c] = FLanguage->FoldSecond(char16_t(c), keepDiacritics)) != 0;
    }
    if (any) FSecondFolds[mode] = std::move(seconds);
  }
  return table.data();
}

// The second units of the characters that fold to two, or none when the
// language has no such character.
const char16_t* TDictionary::SecondFoldTable(bool keepDiacritics) const {
  FoldTable(keepDiacritics);
  const std::vector<char16_t>& table = FSecondFolds[keepDiacritics ? 1 : 0];
  return table.empty() ? nullptr : table.data();
}

// Matches one word of the text (in-word signs skipped) against a search word.
// For fragment and infix words the occurrence's units are reported.
bool TDictionary::MatchWord(const TDictionarySearchWord& word, std::u16string_view text, size_t& fragmentStart,
                            size_t& fragmentEnd) const {
  if (word.Mode == smAny) return true;
  const char16_t* fold = FoldTable(word.KeepDiacritics);
  const char16_t* second = SecondFoldTable(word.KeepDiacritics);
  const std::u16string& pattern = word.Pattern;
  const size_t k = pattern.size();
  // Most words fail on their length or their first letter: test those before anything else.
  if (text.size() * (second ? 2 : 1) < k || k == 0) return false;
  if ((word.Mode == smWord || word.Mode == smPrefix) && pattern[0] != u'?' && !IsInWordSign(text[0]) &&
      fold[text[0]] != pattern[0])
    return false;
  size_t m = 0;
  bool twofold = false;
  for (char16_t c : text) {
    m += !IsInWordSign(c);
    if (second && second[c]) {
      ++m;
      twofold = true;
    }
  }
  if (m < k || (word.Mode == smWord && m != k)) return false;
  switch (twofold ? smInfix : word.Mode) {
    case smWord:
    case smPrefix: {
      size_t j = 0;
      for (size_t i = 0; j < k; ++i) {
        if (IsInWordSign(text[i])) continue;
        if (!PatternUnitMatches(pattern[j], fold[text[i]])) return false;
        ++j;
      }
      return true;
    }
    case smSuffix: {
      size_t j = k;
      for (size_t i = text.size(); j > 0; --i) {
        if (IsInWordSign(text[i - 1])) continue;
        if (!PatternUnitMatches(pattern[j - 1], fold[text[i - 1]])) return false;
        --j;
      }
      return true;
    }
    default:
      break;
  }
  // Anywhere inside the word: fold it once, remembering where each unit stood.
  thread_local std::u16string folded;
  thread_local std::vector<size_t> origin;
  folded.clear();
  origin.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsInWordSign(text[i])) continue;
    folded += fold[text[i]];
    origin.push_back(i);
    if (second && second[text[i]]) {
      folded += second[text[i]];
      origin.push_back(i);
    }
  }
  // A word with a character that folds to two units is compared here in
  // every mode, on its folded units.
  size_t from = 0, to = m - k;
  if (word.Mode == smWord || word.Mode == smPrefix) to = 0;
  else if (word.Mode == smSuffix) from = m - k;
  for (size_t at = from; at <= to; ++at) {
    size_t j = 0;
    while (j < k && PatternUnitMatches(pattern[j], folded[at + j])) ++j;
    if (j == k) {
      fragmentStart = origin[at];
      fragmentEnd = origin[at + k - 1] + 1;
      return true;
    }
  }
  return false;
}

namespace {
// What a body unit means to the scan.
enum TUnitClass : uint8_t { ucWord, ucSeparator, ucRegionOpen, ucRegionClose, ucEnd };

// The class of every unit, one table a unit, so that the scan decides each
// unit with one look-up; comments are skipped regions unless the search
// looks into them.
struct TUnitClasses {
  std::vector<uint8_t> Table[2];
  TUnitClasses() {
    for (int inComment = 0; inComment < 2; ++inComment) {
      Table[inComment].resize(0x10000);
      for (uint32_t c = 0; c < 0x10000; ++c) {
        uint8_t k = IsSeparator(char16_t(c)) ? ucSeparator : ucWord;
        if (c == 0) k = ucEnd;
        else if (c == 3 || c == 5 || (c == 11 && !inComment)) k = ucRegionOpen;
        else if (c == 4 || c == 6 || (c == 12 && !inComment)) k = ucRegionClose;
        Table[inComment][c] = k;
      }
    }
  }
};

inline uint8_t ClassOf(const uint8_t* table, char16_t c) { return table[c]; }

const uint8_t* UnitClassTable(bool inComment) {
  static const TUnitClasses classes;
  return classes.Table[inComment ? 1 : 0].data();
}
}  // namespace

// One search word that must begin with a given letter (a whole word or a
// prefix): instead of ending every word, the scan looks for the letter and
// looks closer only where it starts a word outside the skipped regions.
namespace {
// What stops the letter scan: the end, region boundaries and the letter.
enum : uint8_t { kGo = 0, kEnd, kOpen, kClose, kLetter };
}  // namespace

const uint8_t* TDictionary::LetterStops() const {
  const bool inComment = Opts().FullTextSearch().SearchInComment();
  const TDictionarySearchWord& word = FSearchWords[0];
  const char16_t letter = word.Pattern[0];
  if (FLetterStops.empty() || FLetterStopsFor != letter || FLetterStopsKeep != word.KeepDiacritics ||
      FLetterStopsInComment != inComment) {
    const uint8_t* table = UnitClassTable(inComment);
    const char16_t* fold = FoldTable(word.KeepDiacritics);
    FLetterStops.assign(0x10000, kGo);
    for (uint32_t c = 0; c < 0x10000; ++c) {
      const uint8_t k = ClassOf(table, char16_t(c));
      if (k == ucEnd) FLetterStops[c] = kEnd;
      else if (k == ucRegionOpen) FLetterStops[c] = kOpen;
      else if (k == ucRegionClose) FLetterStops[c] = kClose;
      else if (k == ucWord && fold[c] == letter) FLetterStops[c] = kLetter;
    }
    FLetterStopsFor = letter;
    FLetterStopsKeep = word.KeepDiacritics;
    FLetterStopsInComment = inComment;
    FCodeStops.clear();
  }
  return FLetterStops.data();
}

bool TDictionary::LetterScanApplies() const {
  return FLetterScan && FSearchWords.size() == 1 &&
         (FSearchWords[0].Mode == smWord || FSearchWords[0].Mode == smPrefix) && FSearchWords[0].Pattern[0] != u'?';
}

// The body's codes walked as the letter scan walks its units: whether the
// letter starts a word outside the skipped regions anywhere. Most bodies of
// a one-word search hold it nowhere and are never decoded.
bool TDictionary::MayHoldLetterAtWordStart(const TBinaryDictionary& dictionary, uint32_t article,
                                           const uint8_t* codes) const {
  // Per code: bit 0 and bit 1 say whether a word goes on after it when none
  // did and when one did (in-word signs leave that as it was), the bits
  // above give its letter stop.
  constexpr int kStopShift = 2;
  const uint8_t* stops = LetterStops();
  TCodeStops* found = nullptr;
  for (TCodeStops& codeStops : FCodeStops)
    if (codeStops.Dictionary == &dictionary) found = &codeStops;
  if (!found) {
    const uint8_t* table = UnitClassTable(Opts().FullTextSearch().SearchInComment());
    TCodeStops made{&dictionary, std::vector<uint8_t>(size_t(dictionary.CharCount()), uint8_t(kEnd << kStopShift)), {}};
    for (int32_t code = 31; code < dictionary.CharCount(); ++code) {
      const char16_t c = dictionary.CharTable()[code];
      const uint8_t after = IsInWordSign(c) ? 2 : ClassOf(table, c) == ucWord ? 3 : 0;
      made.Kinds[size_t(code)] = uint8_t(stops[c] << kStopShift | after);
      if (stops[c] == kLetter) {
        const char first = char(code < 256 ? code : 31 - (code >> 8));
        if (made.LetterBytes.find(first) == std::string::npos) made.LetterBytes += first;
      }
    }
    found = &FCodeStops.emplace_back(std::move(made));
  }
  // Most bodies hold no byte a letter's code starts with: a look for those
  // bytes (the record's every byte, a few more than the body's) is enough.
  const uint8_t* end = dictionary.RecordEnd(int32_t(article));
  const size_t length = end > codes ? size_t(end - codes) : 0;
  bool any = false;
  for (const char letter : found->LetterBytes)
    if ((any = std::memchr(codes, uint8_t(letter), length) != nullptr)) break;
  if (!any) return false;
  const uint8_t* kind = found->Kinds.data();
  int depth = 0;
  uint32_t afterWord = 0;  // the last unit but in-word signs was of a word
  return dictionary.AnyCodeAt(codes, [&](uint32_t code) {
    const uint32_t k = kind[code];
    const uint32_t stop = k >> kStopShift;
    const uint32_t wasAfterWord = afterWord;
    afterWord = (k >> afterWord) & 1;
    if (stop == kGo) return false;
    if (stop == kLetter) return depth == 0 && !wasAfterWord;
    if (stop == kOpen) ++depth;
    else if (stop == kClose) depth -= depth > 0;
    return stop == kEnd;  // past the scan's reach: let the scan judge
  });
}

bool TDictionary::ScanForFirstLetter(std::u16string_view body, size_t from, TScanHit& hit) const {
  const uint8_t* table = UnitClassTable(Opts().FullTextSearch().SearchInComment());
  const TDictionarySearchWord& word = FSearchWords[0];
  const uint8_t* stops = LetterStops();
  const char16_t* text = body.data();  // terminated by a zero unit
  int depth = 0;
  for (size_t p = from;; ++p) {
    while (stops[text[p]] == kGo) ++p;
    switch (stops[text[p]]) {
      case kEnd: return false;
      case kOpen: ++depth; continue;
      case kClose: if (depth > 0) --depth; continue;
      default: break;
    }
    if (depth > 0) continue;
    // The letter must be the first of its word but for in-word signs.
    size_t start = p;
    while (start > from && IsInWordSign(text[start - 1])) --start;
    if (start > from && ClassOf(table, text[start - 1]) == ucWord) continue;
    size_t end = p;
    uint8_t k;
    while ((k = ClassOf(table, text[end])) == ucWord) ++end;
    if (k != ucRegionOpen) {  // a region right after a word abandons it
      size_t fragmentStart = 0, fragmentEnd = 0;
      if (MatchWord(word, std::u16string_view(text + start, end - start), fragmentStart, fragmentEnd)) {
        size_t first = start, last = end;
        while (first < last && IsInWordSign(text[first])) ++first;
        while (last > first && IsInWordSign(text[last - 1])) --last;
        hit = TScanHit{first, last, end};
        return true;
      }
    }
    p = end - 1;  // the unit that ended the word is looked at next
  }
}

// Scans a zero-terminated body from a unit offset for the search words in
// sequence: words run between separators; mark, author and (unless asked)
// comment regions are skipped and break a sequence.
bool TDictionary::ScanBody(TScanned& article, std::u16string_view body, size_t from, TScanHit& hit) const {
  if (LetterScanApplies()) return ScanForFirstLetter(body, from, hit);
  const uint8_t* table = UnitClassTable(Opts().FullTextSearch().SearchInComment());
  const char16_t* text = body.data();  // terminated by a zero unit
  const size_t count = FSearchWords.size();
  // Folded units a text unit may give, per search word: too short a word
  // cannot hold the pattern and needs no closer look.
  size_t widest[kMaxWords];
  for (size_t w = 0; w < count; ++w) widest[w] = SecondFoldTable(FSearchWords[w].KeepDiacritics) ? 2 : 1;
  size_t n = 0, sequenceStart = 0, fragmentStart = 0, fragmentEnd = 0, firstWordEnd = 0;
  size_t p = from;
  for (;;) {
    uint8_t k;
    while ((k = ClassOf(table, text[p])) == ucSeparator) ++p;
    if (k == ucEnd) return false;
    if (k == ucRegionClose) {  // a close without its opening ends nothing
      ++p;
      continue;
    }
    if (k == ucRegionOpen) {
      for (int depth = 1; depth > 0;) {
        k = ClassOf(table, text[++p]);
        if (k == ucEnd) return false;
        depth += k == ucRegionOpen ? 1 : k == ucRegionClose ? -1 : 0;
      }
      ++p;
      n = 0;
      continue;
    }
    const size_t wordStart = p;
    if (n == 0) sequenceStart = p;
    while ((k = ClassOf(table, text[p])) == ucWord) ++p;
    if (k == ucRegionOpen) continue;  // the word is abandoned; the region follows
    // A word ends here: match it against the next search word.
    std::u16string_view word(text + wordStart, p - wordStart);
    if (count >= 2 && (word[0] == u'~' || (word.size() > 1 && word[0] == u'(' && word[1] == u'~')))
      word = article.GetKeyword();  // the keyword's placeholder stands for the keyword
    size_t start = 0, end = 0;
    const TDictionarySearchWord& searchWord = FSearchWords[n];
    const bool possible = searchWord.Mode == smAny || word.size() * widest[n] >= searchWord.Pattern.size();
    if (possible && MatchWord(searchWord, word, start, end)) {
      if (n == 0) {
        fragmentStart = wordStart + start;
        fragmentEnd = wordStart + end;
        firstWordEnd = p;
      }
      if (++n == count) {
        if (count == 1 && FSearchWords[0].Mode == smFragment) {
          hit = TScanHit{fragmentStart, fragmentEnd, p};
        } else {
          size_t first = sequenceStart, last = p;
          while (first < last && IsInWordSign(text[first])) ++first;
          while (last > first && IsInWordSign(text[last - 1])) --last;
          hit = TScanHit{first, last, p};
        }
        return true;
      }
    } else if (n > 0) {
      // A sequence that breaks off is tried again from its second word
      // ("amo te" in "amo amo te").
      n = 0;
      p = firstWordEnd;
      continue;
    }
    if (k == ucEnd) return false;
    if (k == ucRegionClose) ++p;
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
  // An entry of the search's own stands alone at its keyword.
  const TKeywordEntry* head = &entry == &FSearchOwnEntry ? &entry : FKeywords.Entry(FSearchIndex);
  for (auto* e = head; e != &entry; e = e->Next) {
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

namespace {
uint64_t LetterBit(char16_t folded) { return uint64_t(1) << (folded % 64); }
}  // namespace

void TDictionary::PrepareFilter() {
  FCodeLetters.clear();
  FFilterChecked = FFilterPassed = 0;
  FRequiredLetters = 0;
  // One fold for all words, or no filter.
  const bool keep = FSearchWords[0].KeepDiacritics;
  FFilter = std::all_of(FSearchWords.begin(), FSearchWords.end(),
                        [&](const TDictionarySearchWord& w) { return w.KeepDiacritics == keep; });
  if (!FFilter) return;
  for (const auto& word : FSearchWords)
    if (word.Mode != smAny)
      for (char16_t c : word.Pattern)
        if (c != u'?') FRequiredLetters |= LetterBit(c);
  const char16_t* fold = FoldTable(keep);
  const char16_t* second = SecondFoldTable(keep);
  for (int i = 0; i < DictionaryCount(); ++i) {
    const TBinaryDictionary* d = GetDictionary(i);
    std::vector<uint64_t> bits(size_t(d->CharCount()), 0);
    for (int32_t code = 31; code < d->CharCount(); ++code) {
      const char16_t c = d->CharTable()[code];
      bits[size_t(code)] = LetterBit(fold[c]) | (second && second[c] ? LetterBit(second[c]) : 0);
    }
    FCodeLetters.emplace_back(d, std::move(bits));
  }
}

// Whether the article's body holds every letter of the search words, judged
// from its codes without decoding it.
bool TDictionary::MayHold(TScanned& article, const uint8_t* codes) {
  if (!FFilter || FSearchOffset != 0) return true;
  const std::vector<uint64_t>* bits = nullptr;
  for (const auto& [dictionary, codeBits] : FCodeLetters)
    if (dictionary == article.Dictionary) bits = &codeBits;
  if (!bits) return true;
  uint64_t letters = 0;
  const uint64_t* codeBits = bits->data();
  article.Dictionary->ForEachCodeAt(codes, [&](uint32_t code) { letters |= codeBits[code]; });
  if ((letters & FRequiredLetters) != FRequiredLetters && FSearchWords.size() >= 2) {
    // "~" in the text stands for the keyword: it is read only when the
    // body's own letters fall short.
    const char16_t* fold = FoldTable(FSearchWords[0].KeepDiacritics);
    const char16_t* second = SecondFoldTable(FSearchWords[0].KeepDiacritics);
    for (const char16_t* k = article.GetKeyword(); *k; ++k)
      letters |= LetterBit(fold[*k]) | (second && second[*k] ? LetterBit(second[*k]) : 0);
  }
  const bool may = (letters & FRequiredLetters) == FRequiredLetters;
  // The filter walks a body's codes about as fast as decoding them: when
  // it lets most bodies through (here, more than two in five), it costs
  // more than it saves, and the search goes on without it.
  ++FFilterChecked;
  FFilterPassed += may;
  if (FFilterChecked >= 256 && FFilterPassed * 10 > FFilterChecked * 4) FFilter = false;
  return may;
}

// Scans one article from FSearchOffset; a hit becomes the current keyword
// and selection. entry is null for an article of the base alone at its
// keyword, which gets an entry only if it holds a hit.
bool TDictionary::SearchArticle(const TKeywordEntry* entry, TBinaryDictionary& dictionary, uint32_t article) {
  // The body is found from its record every time: a pass leaves nothing
  // behind per article.
  const uint8_t* codes = dictionary.FindBodyCodes(int32_t(article));
  TScanned scanned{&dictionary, article, entry ? entry->Keyword : nullptr, &FSearchKeyword};
  if (!MayHold(scanned, codes)) return false;
  if (FSearchOffset == 0 && LetterScanApplies() && !MayHoldLetterAtWordStart(dictionary, article, codes)) return false;
  // Rendering positions may decode other bodies of the same dictionary: keep a copy of this one.
  dictionary.DecodeBody(codes);
  const std::u16string_view decoded = dictionary.LastArticle();
  TScanHit hit;
  if (FSearchOffset > decoded.size() || !ScanBody(scanned, decoded, FSearchOffset, hit)) return false;
  if (!entry) {
    FSearchOwnEntry = TKeywordEntry{scanned.GetKeyword(), &dictionary, article, nullptr};
    FSearchEntry = entry = &FSearchOwnEntry;
  }
  const std::u16string body(decoded);
  FSearchOffset = hit.Separator + 1;
  const int32_t start = RenderedPosition(*entry, body, hit.Start);
  const int32_t end = RenderedPosition(*entry, body, hit.End);
  FSearchContext = ContextLine(*entry, body, hit.Start, hit.End);
  SetCurrent(FSearchIndex, start, end - start);
  return true;
}

bool TDictionary::SearchStep() {
  while (FSearchIndex < FSearchEnd) {
    const TKeywordEntry* entry = FSearchEntry;
    TBinaryDictionary* dictionary = nullptr;
    uint32_t article = 0;
    if (!entry && FRecordScan) dictionary = FKeywords.LoneBaseArticle(FSearchIndex, article);
    if (!dictionary) {
      if (!entry) FSearchEntry = entry = FKeywords.Entry(FSearchIndex);
      dictionary = entry->Dictionary;
      article = entry->ArticleIndex;
    }
    if (SearchArticle(entry, *dictionary, article)) return true;
    FSearchEntry = entry ? entry->Next : nullptr;
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
  FCodeStops.clear();  // dictionaries may have been loaded again since
  PrepareFilter();
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
