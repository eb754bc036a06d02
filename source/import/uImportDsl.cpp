// DSL: headers "#NAME" and the like, then cards: one or more headword lines
// and a body of indented lines with bracketed mark-up; "@" lines in a body
// begin sub-entries, which become articles of their own.
#include <algorithm>
#include <string>
#include <vector>

#include "foundation/KezText.h"
#include "source/import/uImportWriter.h"

namespace {
bool IsIndent(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && IsIndent(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsIndent(text.back())) text.remove_suffix(1);
  return text;
}

// The line with its "{{comments}}" removed.
std::u16string WithoutComments(std::u16string_view line) {
  std::u16string result;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == u'\\' && i + 1 < line.size()) {
      result += line[i];
      result += line[++i];
      continue;
    }
    if (line[i] == u'{' && i + 1 < line.size() && line[i + 1] == u'{') {
      const size_t end = line.find(u"}}", i + 2);
      if (end == std::u16string_view::npos) break;
      i = end + 1;
      continue;
    }
    result += line[i];
  }
  return result;
}

// A bold run that numbers a sense: "1.", "2)", "IV.", "a)".
bool IsSenseLabel(std::u16string_view label) {
  label = Trimmed(label);
  if (label.empty() || label.size() > 6) return false;
  const char16_t last = label.back();
  const std::u16string_view body = last == u'.' || last == u')' ? label.substr(0, label.size() - 1) : label;
  if (body.empty()) return false;
  const bool digits = std::all_of(body.begin(), body.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
  if (digits) return true;
  if (body == label) return false;  // letters need their "." or ")"
  const bool roman = std::all_of(body.begin(), body.end(), [](char16_t c) {
    return std::u16string_view(u"IVXLCivxlc").find(c) != std::u16string_view::npos;
  });
  const bool letter = body.size() == 1 && ((body[0] >= u'a' && body[0] <= u'z') || (body[0] >= 0x0430 && body[0] <= 0x044F));
  return roman || letter;
}

// A plain word that opens a line as a sense number: "1.", "2)", "IV.", "а)".
// Stricter than a bold label: "c." or "v." opening a line are abbreviations.
bool IsPlainSenseLabel(std::u16string_view word) {
  if (word.size() < 2 || !IsSenseLabel(word)) return false;
  const char16_t last = word.back();
  const std::u16string_view body = word.substr(0, word.size() - 1);
  const bool digits = std::all_of(body.begin(), body.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
  const bool upperRoman = std::all_of(body.begin(), body.end(), [](char16_t c) {
    return std::u16string_view(u"IVXLC").find(c) != std::u16string_view::npos;
  });
  return digits || (upperRoman && last == u'.') || (body.size() == 1 && last == u')');
}

// The next place of a text where a needle stands, remembered between the
// searches of one pass: each search starts at or after the one before, so
// that a line of many openings without their ends is read once, not once
// per opening.
class TNextNeedle {
public:
  TNextNeedle(std::u16string_view text, std::u16string_view needle) : FText(text), FNeedle(needle) {}
  size_t From(size_t from) {
    if (!FKnown || (FAt != std::u16string_view::npos && FAt < from)) {
      FAt = FText.find(FNeedle, from);
      FKnown = true;
    }
    return FAt;
  }

private:
  std::u16string_view FText, FNeedle;
  size_t FAt = 0;
  bool FKnown = false;
};

struct THeadword {
  std::u16string Shown, Key;
};

// A headword line: "{...}" parts are shown but not indexed, "(...)" parts
// are optional and left out of the keyword, backslashes escape.
THeadword ReadHeadword(std::u16string_view line) {
  THeadword headword;
  int braces = 0, parentheses = 0;
  TNextNeedle closing(line, u"]");
  for (size_t i = 0; i < line.size(); ++i) {
    char16_t c = line[i];
    if (c == u'\\' && i + 1 < line.size()) {
      c = line[++i];
    } else if (c == u'{') {
      ++braces;
      continue;
    } else if (c == u'}') {
      if (braces > 0) --braces;
      continue;
    } else if (c == u'[' && braces > 0) {  // formatting inside an unsorted part
      const size_t end = closing.From(i);
      if (end != std::u16string_view::npos) {
        i = end;
        continue;
      }
    } else if (c == u'(') {
      ++parentheses;
    } else if (c == u')') {
      if (parentheses > 0) --parentheses;
      headword.Shown += c;
      continue;
    }
    headword.Shown += c;
    if (braces == 0 && parentheses == 0) headword.Key += c;
  }
  headword.Shown = std::u16string(Trimmed(headword.Shown));
  return headword;
}

class TDslReader {
public:
  TDslReader(std::u16string_view text, TImportWriter& writer) : FWriter(writer), FText(writer) { Split(text); }
  void Run();

private:
  struct TLine {
    std::u16string Text;
    int32_t Number;
  };
  struct TCard {
    std::vector<THeadword> Headwords;
    std::vector<TLine> Body;
    int32_t Line = 0;
  };
  void Split(std::u16string_view text);
  void Header(std::u16string_view line);
  void FlushCard();
  void WriteEntry(const TCard& card);
  void BodyLine(const TLine& line);
  void Tag(std::u16string_view tag, std::u16string_view line, size_t& i, bool lineStart);
  void Close(std::u16string_view name);

  TImportWriter& FWriter;
  TImportText FText;
  std::vector<TLine> FLines;
  TCard FCard;
  int FIndent = 1;
  std::vector<std::pair<std::u16string, size_t>> FOpen;  // DSL tag and the text depth before it
};

void TDslReader::Split(std::u16string_view text) {
  int32_t number = 1;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u'\r' && text[i] != u'\n') continue;
    FLines.push_back({WithoutComments(text.substr(start, i - start)), number++});
    if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
}

void TDslReader::Header(std::u16string_view line) {
  const size_t space = line.find_first_of(u" \t");
  const std::u16string_view name = line.substr(0, space);
  std::u16string_view value = space == std::u16string_view::npos ? std::u16string_view() : Trimmed(line.substr(space));
  if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') value = value.substr(1, value.size() - 2);
  if (name == u"#NAME") {
    FWriter.SetCaption(value);
  } else if (name == u"#INCLUDE") {
    FWriter.Skip("header #INCLUDE", "included files are not read");
  }
}

void TDslReader::Run() {
  bool inHeader = true;
  for (const TLine& line : FLines) {
    FWriter.SetLine(line.Number);
    std::u16string_view text = line.Text;
    if (!text.empty() && text.front() == 0xFEFF) text.remove_prefix(1);
    if (Trimmed(text).empty()) continue;
    if (inHeader && text.front() == u'#') {
      Header(text);
      continue;
    }
    inHeader = false;
    if (IsIndent(text.front())) {
      if (FCard.Headwords.empty()) {
        FWriter.Skip("body line", "no headword comes before it");
        continue;
      }
      FCard.Body.push_back(line);
      continue;
    }
    if (!FCard.Body.empty()) FlushCard();
    if (FCard.Headwords.empty()) FCard.Line = line.Number;
    FCard.Headwords.push_back(ReadHeadword(text));
  }
  FlushCard();
}

void TDslReader::FlushCard() {
  if (FCard.Headwords.empty()) return;
  // "@ headword" lines split the body into the card's own lines and sub-entries.
  TCard main{FCard.Headwords, {}, FCard.Line};
  std::vector<TCard> subEntries;
  bool inSub = false;
  for (TLine& line : FCard.Body) {
    const std::u16string_view trimmed = Trimmed(line.Text);
    if (!trimmed.empty() && trimmed.front() == u'@') {
      const std::u16string_view name = Trimmed(trimmed.substr(1));
      inSub = !name.empty();
      if (inSub) subEntries.push_back({{ReadHeadword(name)}, {}, line.Number});
      continue;
    }
    (inSub ? subEntries.back() : main).Body.push_back(std::move(line));
  }
  WriteEntry(main);
  for (const TCard& sub : subEntries) WriteEntry(sub);
  FCard = TCard();
}

void TDslReader::WriteEntry(const TCard& card) {
  FWriter.CountEntry();
  std::vector<std::u16string> shown, keys;
  std::u16string heading;
  for (const THeadword& headword : card.Headwords) {
    if (!heading.empty()) heading += u"; ";
    heading += headword.Shown;
    shown.push_back(headword.Shown);
    keys.push_back(headword.Key);
  }
  FWriter.SetLine(card.Line);
  FText.Push(isHeader);
  FText.Text(heading);
  FText.Pop();
  FText.LineBreak();
  for (const TLine& line : card.Body) BodyLine(line);
  FOpen.clear();
  FWriter.SetLine(card.Line);
  FWriter.AddEntry(shown, FText.Take(), keys);
}

void TDslReader::Close(std::u16string_view name) {
  for (size_t k = FOpen.size(); k-- > 0;) {
    if (FOpen[k].first != name) continue;
    while (FText.Depth() > FOpen[k].second) FText.Pop();
    FOpen.resize(k);
    return;
  }
}

void TDslReader::BodyLine(const TLine& line) {
  FWriter.SetLine(line.Number);
  const std::u16string_view text = line.Text;
  std::u16string run;
  bool lineStart = true;
  TNextNeedle tagEnd(text, u"]"), referenceEnd(text, u">>");
  auto flush = [&] {
    if (run.empty()) return;
    if (!FOpen.empty() && FOpen.back().first == u"p") FText.AbbreviationText(run); else FText.Text(run);
    run.clear();
  };
  FIndent = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\\' && i + 1 < text.size()) {
      run += text[++i];
      lineStart = false;
      continue;
    }
    if (c == u'[') {
      const size_t end = tagEnd.From(i);
      if (end != std::u16string_view::npos) {
        flush();
        const std::u16string_view tag = text.substr(i + 1, end - i - 1);
        i = end;
        Tag(tag, text, i, lineStart);
        if (!(tag.size() == 2 && tag[0] == u'm')) lineStart = false;
        continue;
      }
    }
    if (c == u'<' && i + 1 < text.size() && text[i + 1] == u'<') {
      const size_t end = referenceEnd.From(i + 2);
      if (end != std::u16string_view::npos) {  // a reference: its text stays
        run += text.substr(i + 2, end - i - 2);
        i = end + 1;
        lineStart = false;
        continue;
      }
    }
    if (c == u'~' || (c == u'^' && i + 1 < text.size() && text[i + 1] == u'~')) {
      flush();
      FText.Keyword();
      if (c == u'^') ++i;
      lineStart = false;
      continue;
    }
    if (lineStart && !IsIndent(c)) {
      size_t end = i;
      while (end < text.size() && !IsIndent(text[end]) && text[end] != u'[') ++end;
      if (end < text.size() && IsIndent(text[end]) && IsPlainSenseLabel(text.substr(i, end - i))) {
        flush();
        FText.Enumeration(std::max(FIndent, 1), std::u16string(text.substr(i, end - i)));
        i = end - 1;  // the space after the number stays, as after a bold one
        lineStart = false;
        continue;
      }
    }
    if (!IsIndent(c)) lineStart = false;
    run += c;
  }
  flush();
  FText.LineBreak();
}

void TDslReader::Tag(std::u16string_view tag, std::u16string_view line, size_t& i, bool lineStart) {
  const bool closing = !tag.empty() && tag.front() == u'/';
  if (closing) tag.remove_prefix(1);
  const size_t space = tag.find(u' ');
  const std::u16string name(tag.substr(0, space));
  if (name.size() == 2 && name[0] == u'm' && name[1] >= u'0' && name[1] <= u'9') {
    if (!closing) FIndent = name[1] - u'0';
    return;
  }
  if (name == u"m") return;  // "[/m]"
  if (closing) {
    Close(name);
    return;
  }
  if (name == u"s" || name == u"video") {
    const std::u16string end = u"[/" + name + u"]";
    const size_t stop = line.find(end, i + 1);
    const std::u16string_view file = line.substr(i + 1, stop == std::u16string_view::npos ? std::u16string_view::npos : stop - i - 1);
    FWriter.Skip("media [" + ToUtf8(name) + "] \"" + ToUtf8(file) + "\"", "sound, pictures and video are not imported");
    i = stop == std::u16string_view::npos ? line.size() : stop + end.size() - 1;
    return;
  }
  if (name == u"b" && lineStart) {
    const size_t stop = line.find(u"[/b]", i + 1);
    if (stop != std::u16string_view::npos && IsSenseLabel(line.substr(i + 1, stop - i - 1))) {
      FText.Enumeration(std::max(FIndent, 1), Trimmed(line.substr(i + 1, stop - i - 1)));
      i = stop + 3;
      return;
    }
  }
  TImportStyle style = isPlain;
  if (name == u"p") {
    style = isMark;
  } else if (name == u"ex") {
    style = isExample;
  } else if (name == u"com") {
    style = isComment;
  } else {
    static const std::u16string_view kPlain[] = {u"b",   u"i",    u"u",   u"c",    u"trn", u"trn1", u"!trs", u"*",
                                                 u"lang", u"ref", u"url", u"sup", u"sub", u"'",    u"t",    u"br"};
    if (std::find(std::begin(kPlain), std::end(kPlain), name) == std::end(kPlain)) FWriter.Unmapped("[" + ToUtf8(name) + "]");
  }
  FOpen.emplace_back(name, FText.Depth());
  FText.Push(style);
}
}  // namespace

void ImportDsl(std::u16string_view text, TImportWriter& writer) {
  TDslReader reader(text, writer);
  reader.Run();
}
