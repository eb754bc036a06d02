#include "render/uArticleWriter.h"

#include "options/uOptions.h"

void TArticleWriter::WriteText(std::u16string_view text) {
  for (char16_t c : text) WriteChar(c);
}

int32_t TArticleWriter::ExpandedKeywordLength(std::u16string_view keyword) const {
  return AbbreviationShownLength(keyword, FOptions);
}

bool IsTagUnit(char16_t unit) { return unit >= 1 && unit <= 14; }

void TArticleWriter::WriteTagUnit(char16_t unit) {
  switch (unit) {
    case 1: OpenHeader(); break;
    case 3: OpenMark(); break;
    case 5: OpenAuthor(); break;
    case 7: case 8: case 9: OpenEnumeration(unit - 6); break;
    case 11: OpenComment(); break;
    case 13: OpenExample(); break;
    default: CloseStyle(); break;
  }
}
