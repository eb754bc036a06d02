#pragma once
// Translates a location in a part's editing form (part, item, offset) back to
// the line and column of the source file it was read from, for reports on the
// command line. Sections and articles are found by their tags and keywords;
// the empty lines that reading normalised away are accounted for.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TSourceDictionary;

struct TSourceFilePosition {
  bool Found = false;
  int32_t Line = 0;    // 1-based
  int32_t Column = 0;  // 1-based, in UTF-16 units
  std::u16string LineText;
};

// Lines split as the source reader splits them (CR LF, LF CR, CR or LF).
std::vector<std::u16string_view> SplitSourceLines(std::u16string_view text);

TSourceFilePosition LocateInSourceFile(std::u16string_view fileText, TSourceDictionary& dictionary, int part,
                                       int32_t item, int32_t formOffset);
