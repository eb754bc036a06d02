#pragma once
// The check of one article that verification makes, for callers that hold
// the article outside a dictionary.
#include <cstdint>
#include <string_view>

class TKodraLanguage;

// The first fault of an article: its message and the range it selects in
// the article's editing form ("#", the keyword, CR LF, then the text).
struct TSourceFault {
  const char* Id = nullptr;
  const char* Message = nullptr;
  int32_t Start = 0, Length = 0;
  explicit operator bool() const { return Id != nullptr; }
};

// The article's first fault as verification finds it; none for a sound
// article. The text is zero-terminated.
TSourceFault FindArticleFault(const TKodraLanguage& language, std::u16string_view keyword, const char16_t* text);
