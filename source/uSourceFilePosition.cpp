#include "source/uSourceFilePosition.h"

#include "source/uSourceDictionary.h"

std::vector<std::u16string_view> SplitSourceLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  if (!text.empty() && text[0] == 0xFEFF) text.remove_prefix(1);
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c != u'\r' && c != u'\n') continue;
    lines.push_back(text.substr(start, i - start));
    const char16_t pair = c == u'\r' ? u'\n' : u'\r';
    if (i + 1 < text.size() && text[i + 1] == pair) ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

namespace {
constexpr int32_t kNone = -1;

int32_t FirstArticleLine(const std::vector<std::u16string_view>& lines) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (!lines[i].empty() && lines[i][0] == u'#') return int32_t(i);
  return int32_t(lines.size());
}

// The file line of each line of an article's editing form.
std::vector<int32_t> ArticleFormLines(const std::vector<std::u16string_view>& lines, std::u16string_view keyword) {
  std::vector<int32_t> form;
  int32_t at = FirstArticleLine(lines);
  for (; at < int32_t(lines.size()); ++at)
    if (lines[at].size() == keyword.size() + 1 && lines[at][0] == u'#' && lines[at].substr(1) == keyword) break;
  if (at >= int32_t(lines.size())) return form;
  form.push_back(at);
  int32_t firstEmpty = kNone;
  bool anyText = false;
  for (int32_t i = at + 1; i < int32_t(lines.size()) && (lines[i].empty() || lines[i][0] != u'#'); ++i) {
    if (lines[i].empty()) {
      if (anyText && firstEmpty == kNone) firstEmpty = i;
      continue;
    }
    if (firstEmpty != kNone) form.push_back(firstEmpty);
    firstEmpty = kNone;
    form.push_back(i);
    anyText = true;
  }
  return form;
}

// The file line of each line of a section's editing form (start tag,
// attributes in name order, end tag).
std::vector<int32_t> SectionFormLines(const std::vector<std::u16string_view>& lines,
                                      TSourceDictionaryPartBase& part, std::u16string_view startTag,
                                      std::u16string_view endTag) {
  std::vector<int32_t> form;
  const int32_t articles = FirstArticleLine(lines);
  int32_t start = 0;
  while (start < articles && lines[start] != startTag) ++start;
  if (start >= articles) return form;
  form.push_back(start);
  for (int32_t k = 0; k < part.Count(); ++k) {
    const std::u16string_view name(part.Record(k).Name);
    int32_t found = kNone;
    bool inside = false;
    for (int32_t i = 0; i < articles && found == kNone; ++i) {
      if (lines[i] == startTag) inside = true;
      else if (lines[i] == endTag) inside = false;
      else if (inside && lines[i].size() > name.size() && lines[i].substr(0, name.size()) == name &&
               lines[i][name.size()] == u'=')
        found = i;
    }
    form.push_back(found);
  }
  int32_t end = start + 1;
  while (end < articles && lines[end] != endTag) ++end;
  form.push_back(end < articles ? end : kNone);
  return form;
}
}  // namespace

TSourceFilePosition LocateInSourceFile(std::u16string_view fileText, TSourceDictionary& dictionary, int part,
                                       int32_t item, int32_t formOffset) {
  TSourceFilePosition position;
  if (part < spHeader || part > spArticles) return position;
  const std::u16string form(dictionary.Part(part).GetText(item));
  int32_t formLine = 0;
  size_t lineStart = 0;
  for (size_t i = 0; i < form.size() && i < size_t(formOffset); ++i) {
    if (form[i] == u'\n') {
      ++formLine;
      lineStart = i + 1;
    }
  }
  const auto lines = SplitSourceLines(fileText);
  static const std::u16string_view kTags[3][2] = {
      {u"<header>", u"</header>"}, {u"<mark>", u"</mark>"}, {u"<author>", u"</author>"}};
  const std::vector<int32_t> formLines =
      part == spArticles ? ArticleFormLines(lines, dictionary.Keyword(item))
                         : SectionFormLines(lines, dictionary.Part(part), kTags[part][0], kTags[part][1]);
  if (formLine >= int32_t(formLines.size()) || formLines[formLine] == kNone) return position;
  position.Found = true;
  position.Line = formLines[formLine] + 1;
  position.Column = int32_t(size_t(formOffset) - lineStart) + 1;
  position.LineText = lines[formLines[formLine]];
  return position;
}
