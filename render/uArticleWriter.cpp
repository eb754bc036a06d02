#include "render/uArticleWriter.h"

#include "options/uOptions.h"

void TArticleWriter::WriteText(std::u16string_view text) {
  for (char16_t c : text) WriteChar(c);
}

int32_t TArticleWriter::ExpandedKeywordLength(std::u16string_view keyword) const {
  return AbbreviationShownLength(keyword, FOptions);
}
