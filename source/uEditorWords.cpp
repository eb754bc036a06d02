#include "source/uEditorWords.h"

#include <algorithm>

#include "language/uLanguage.h"

std::u16string GoToWord(const TKodraLanguage& language, std::u16string_view text, int32_t selectionStart,
                        int32_t selectionEnd, int32_t caret) {
  const int32_t length = int32_t(text.size());
  selectionStart = std::clamp(selectionStart, 0, length);
  selectionEnd = std::clamp(selectionEnd, 0, length);
  if (selectionStart > selectionEnd) std::swap(selectionStart, selectionEnd);
  std::u16string_view word;
  if (selectionStart < selectionEnd) {
    word = text.substr(size_t(selectionStart), size_t(selectionEnd - selectionStart));
  } else {
    int32_t start = std::clamp(caret, 0, length), end = start;
    while (start > 0 && language.IsLetter(text[size_t(start - 1)])) --start;
    while (end < length && language.IsLetter(text[size_t(end)])) ++end;
    word = text.substr(size_t(start), size_t(end - start));
  }
  while (!word.empty() && !language.IsLetter(word.front())) word.remove_prefix(1);
  while (!word.empty() && !language.IsLetter(word.back())) word.remove_suffix(1);
  std::u16string result;
  for (char16_t c : word)
    if (c != u'(' && c != u')' && c != u'-') result += c;
  return result;
}

std::u16string KeywordLine(const TKodraLanguage& language, std::u16string_view selected) {
  std::u16string line = u"#";
  for (char16_t c : selected) {
    const char16_t folded = language.FoldChar(c, true);
    if (folded != 0 && language.IsKeywordChar(folded)) line += folded;
  }
  return line + u"\r\n";
}

int32_t LineStartBefore(std::u16string_view text, int32_t caret) {
  for (int32_t position = std::min(caret, int32_t(text.size())); position > 0; --position)
    if (text[size_t(position - 1)] < 0x20) return position;
  return 0;
}

std::u16string CleanSearchBoxText(std::u16string_view text) {
  std::u16string result;
  bool inBlanks = false, started = false;
  for (char16_t c : text) {
    if (c <= 0x20) {
      if (!inBlanks && started) result += u' ';
      inBlanks = true;
      continue;
    }
    inBlanks = false;
    started = true;
    const bool dropped = (c >= 0x21 && c <= 0x40) || (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E);
    if (!dropped) result += c;
  }
  return result;
}

int32_t PanePosition(std::u16string_view sourceText, int32_t offset) {
  const int32_t length = int32_t(sourceText.size());
  offset = std::clamp(offset, 0, length);
  int32_t position = offset;
  for (int32_t i = 0; i + 1 < offset; ++i)
    if (sourceText[size_t(i)] == u'\r' && sourceText[size_t(i + 1)] == u'\n') --position;
  return position;
}

std::u16string SourceTextOfPane(std::u16string_view paneText) {
  std::u16string result;
  result.reserve(paneText.size() + paneText.size() / 16);
  for (size_t i = 0; i < paneText.size(); ++i) {
    const char16_t c = paneText[i];
    if (c == u'\r' || c == u'\n' || c == 0x000B || c == 0x2028 || c == 0x2029) {
      if (c == u'\r' && i + 1 < paneText.size() && paneText[i + 1] == u'\n') ++i;
      result += u"\r\n";
    } else {
      result += c;
    }
  }
  return result;
}
