#include "source/uSourceArticleText.h"

namespace {
size_t LineEnd(std::u16string_view units, size_t from) {
  while (from < units.size() && units[from] != u'\r' && units[from] != u'\n') ++from;
  return from;
}
}  // namespace

std::u16string_view ArticleKeyword(std::u16string_view units) {
  const size_t end = LineEnd(units, 0);
  return end > 0 ? units.substr(1, end - 1) : std::u16string_view();  // after the "#"
}

std::u16string_view ReadArticleUnits(std::u16string_view units, TSourceArticleText& text) {
  text.Clear();
  const std::u16string_view keyword = ArticleKeyword(units);
  size_t end = keyword.size() + (units.empty() ? 0 : 1);
  while (end < units.size()) {
    const size_t start = end + LineBreakLength(units, end);
    if (start == units.size()) break;  // the last line ended with its break
    end = LineEnd(units, start);
    text.AddLine(units.substr(start, end - start));
  }
  return keyword;
}
