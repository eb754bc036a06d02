#pragma once
// An article's text as reading stores it, built from the file's lines: every
// line ends with CR LF, the empty lines before the first line and after the
// last are dropped, and a run of empty lines between two lines is kept as
// one. The line breaks of a file are CR LF, LF CR, CR or LF.
#include <cstddef>
#include <string>
#include <string_view>

class TSourceArticleText {
public:
  void Clear() {
    FText.clear();
    FAnyLine = FEmptyBetween = false;
  }
  void AddLine(std::u16string_view line) {
    if (line.empty()) {
      FEmptyBetween = FAnyLine;
      return;
    }
    if (FEmptyBetween) FText += u"\r\n";
    FEmptyBetween = false;
    FText.append(line).append(u"\r\n");
    FAnyLine = true;
  }
  const std::u16string& Text() const { return FText; }

private:
  std::u16string FText;
  bool FAnyLine = false, FEmptyBetween = false;
};

// The length of the line break at text[at], a CR or LF: one unit, or two when
// the other of the pair follows.
inline size_t LineBreakLength(std::u16string_view text, size_t at) {
  const char16_t pair = text[at] == u'\r' ? u'\n' : u'\r';
  return at + 1 < text.size() && text[at + 1] == pair ? 2 : 1;
}

// The keyword of an article as the file holds it, from its "#" line on.
std::u16string_view ArticleKeyword(std::u16string_view units);
// Reads an article as the file holds it, from its "#" line up to the next
// article's: returns the keyword (a view into the units) and puts the text
// into text.
std::u16string_view ReadArticleUnits(std::u16string_view units, TSourceArticleText& text);
