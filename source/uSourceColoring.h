#pragma once
// The editor shows a source text as the author types it, with its mark-up
// picked out: Russian translations in one colour, tags and the article
// markers ("#", "{{", "}}") in another.
#include <cstdint>
#include <string_view>
#include <vector>

class TArticleWriter;

enum TSourceRunKind : uint8_t { srPlain = 0, srRussian = 1, srTag = 2 };

struct TSourceRun {
  int32_t Start = 0;
  int32_t Length = 0;
  TSourceRunKind Kind = srPlain;
  bool operator==(const TSourceRun&) const = default;
};

// The Cyrillic letters that count as Russian text.
inline bool IsRussianLetter(char16_t c) { return (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451; }

// The text cut into runs of one kind, covering it whole. A tag runs from
// "<" to the next ">" on the same line; a "<" without one is plain, and so
// is a lone "{" or "}".
std::vector<TSourceRun> SourceColorRuns(std::u16string_view text);

// Writes a source text through the writer, one paragraph per line (lines
// end at CR LF, CR or LF), coloured by SourceColorRuns when asked. Special
// characters go to the special-character font.
void WriteSourceText(TArticleWriter& writer, std::u16string_view text, bool coloring);
