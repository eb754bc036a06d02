#include "source/uSourceColoring.h"

#include "render/uRtfReader.h"
#include "render/uArticleWriter.h"

namespace {

bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

// Where the run that starts at position ends, and its kind.
TSourceRun NextRun(std::u16string_view text, size_t position) {
  const size_t length = text.size();
  const char16_t c = text[position];
  auto run = [position](size_t end, TSourceRunKind kind) {
    return TSourceRun{int32_t(position), int32_t(end - position), kind};
  };
  if (IsRussianLetter(c)) {
    size_t end = position + 1;
    while (end < length && IsRussianLetter(text[end])) ++end;
    return run(end, srRussian);
  }
  if (c == u'<') {
    for (size_t end = position + 1; end < length && !IsLineEnd(text[end]); ++end)
      if (text[end] == u'>') return run(end + 1, srTag);
    return run(position + 1, srPlain);
  }
  if (c == u'#') return run(position + 1, srTag);
  if ((c == u'{' || c == u'}') && position + 1 < length && text[position + 1] == c) return run(position + 2, srTag);
  return run(position + 1, srPlain);
}

// Plain text, its special characters in their own font.
void WritePlain(TArticleWriter& writer, std::u16string_view text) {
  for (char16_t c : text) {
    if (c >= kSpecialCharFirst) writer.WriteSpecialChar(c);
    else writer.WriteChar(c);
  }
}

void WriteRun(TArticleWriter& writer, std::u16string_view text, TSourceRunKind kind) {
  switch (kind) {
    case srRussian: writer.WriteTranslationText(text); break;
    case srTag: writer.WriteTagText(text); break;
    default: WritePlain(writer, text); break;
  }
}

}  // namespace

std::vector<TSourceRun> SourceColorRuns(std::u16string_view text) {
  std::vector<TSourceRun> runs;
  for (size_t position = 0; position < text.size();) {
    const TSourceRun next = NextRun(text, position);
    // Neighbouring plain characters make one run.
    if (!runs.empty() && runs.back().Kind == next.Kind && next.Kind == srPlain)
      runs.back().Length += next.Length;
    else
      runs.push_back(next);
    position += size_t(next.Length);
  }
  return runs;
}

void WriteSourceText(TArticleWriter& writer, std::u16string_view text, bool coloring) {
  size_t position = 0;
  while (position <= text.size()) {
    size_t end = position;
    while (end < text.size() && !IsLineEnd(text[end])) ++end;
    const std::u16string_view line = text.substr(position, end - position);
    if (coloring) {
      for (const TSourceRun& run : SourceColorRuns(line))
        WriteRun(writer, line.substr(size_t(run.Start), size_t(run.Length)), run.Kind);
    } else {
      WritePlain(writer, line);
    }
    if (end >= text.size()) break;
    writer.EndParagraph();
    // CR LF is one line end.
    position = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
  }
}
