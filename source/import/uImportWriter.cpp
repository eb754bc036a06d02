// The importers' shared writer: keywords, escaped article texts with tags
// nested as the verifier demands, repeated headwords joined, the sections.
#include "source/import/uImportWriter.h"

#include <algorithm>
#include <stdexcept>

#include <unicode/uchar.h>
#include <unicode/unorm2.h>

#include "foundation/KezText.h"
#include "language/uCommon.h"
#include "source/uSourceTags.h"

namespace {
// The styles are the tag slots, so that the verifier's nesting rule applies as it stands.
static_assert(int(isHeader) == tHeader && int(isMark) == tMark && int(isAuthor) == tAuthor &&
              int(isEnum) == tEnum && int(isComment) == tComment && int(isExample) == tExample);
constexpr const char16_t* kTagLetters = kSourceTagLetters;
constexpr unsigned Bit(int style) { return SourceTagBit(style); }
constexpr const unsigned* kForbiddenInside = kSourceTagForbiddenInside;
constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kNoBreakSpace = 0x00A0;
constexpr char16_t kWordJoiner = 0x2060;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v'; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A unit that no source text may hold: controls, surrogates, the byte-order
// mark and the non-characters at the end of the plane.
bool IsUnfit(char16_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFEFF || c >= 0xFFFE;
}

bool IsNameChar(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' ||
         c == u'.' || c == u'_' || c == kNoBreakSpace || (c >= 0x00C0 && !(c >= 0x2000 && c <= 0x2FFF));
}

std::u16string Decomposed(char16_t c) {
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
  UChar out[16];
  const UChar in[1] = {c};
  if (U_FAILURE(status)) return std::u16string(1, c);
  const int32_t length = unorm2_normalize(nfd, in, 1, out, 16, &status);
  if (U_FAILURE(status) || length <= 0) return std::u16string(1, c);
  return std::u16string(reinterpret_cast<const char16_t*>(out), size_t(length));
}

// Runs of blanks become one space, none at either end; units a section
// cannot hold become spaces; the exception braces are kept apart.
std::u16string AttributeText(std::u16string_view text) {
  std::u16string result;
  bool space = false;
  for (char16_t c : text) {
    if (IsBlank(c) || IsUnfit(c)) {
      space = !result.empty();
      continue;
    }
    if (space) result += u' ';
    space = false;
    if ((c == u'{' || c == u'}') && !result.empty() && result.back() == c) result += kWordJoiner;
    result += c;
  }
  return result;
}

std::string Quoted(std::u16string_view text) {
  std::u16string shown(text.substr(0, 80));
  for (char16_t& c : shown)
    if (IsUnfit(c)) c = u'?';
  return "\"" + ToUtf8(shown) + (text.size() > 80 ? "...\"" : "\"");
}
}  // namespace

// ---------------------------------------------------------------- text

void TImportText::PutChar(char16_t c) {
  if (LineEmpty() && c == u'#') FText += u' ';  // a line starting with "#" would start an article
  switch (c) {
    case u'<':
    case u'\\':
    case u'$':
    case u'~':
      FText += u'\\';
      break;
    case u'{':
    case u'}':
      if (!LineEmpty() && FText.back() == c) FText += kWordJoiner;
      break;
    default:
      break;
  }
  FText += c;
}

void TImportText::Settle() {
  std::vector<TImportStyle> wanted;
  unsigned set = 0;
  for (TImportStyle style : FWanted) {
    if (style == isPlain || style == isEnum) continue;
    if ((set & Bit(style)) || (set & kForbiddenInside[style])) continue;
    wanted.push_back(style);
    set |= Bit(style);
  }
  size_t common = 0;
  while (common < wanted.size() && common < FOpen.size() && wanted[common] == FOpen[common]) ++common;
  while (FOpen.size() > common) {
    FText += u"</";
    FText += kTagLetters[FOpen.back()];
    FText += u'>';
    FOpen.pop_back();
  }
  if (FSpace && !LineEmpty() && FText.back() != u' ') FText += u' ';
  FSpace = false;
  for (size_t i = common; i < wanted.size(); ++i) {
    FText += u'<';
    FText += kTagLetters[wanted[i]];
    FText += u'>';
    FOpen.push_back(wanted[i]);
  }
}

void TImportText::Text(std::u16string_view text) {
  bool settled = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (IsBlank(c)) {
      FSpace = true;
      settled = false;
      continue;
    }
    if (!settled) {
      Settle();
      settled = true;
    }
    if (IsUnfit(c)) {
      // A character beyond the first plane is one replacement, not two.
      if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
      FWriter.Replaced();
      c = kReplacement;
    }
    PutChar(c);
  }
}

void TImportText::AbbreviationText(std::u16string_view text) {
  std::u16string joined;
  bool space = false;
  for (char16_t c : text) {
    if (IsBlank(c)) {
      space = !joined.empty();
      continue;
    }
    if (space) joined += kNoBreakSpace;
    space = false;
    joined += c;
  }
  if (IsBlank(text.empty() ? u'x' : text.front())) FSpace = true;
  Text(joined);
  if (IsBlank(text.empty() ? u'x' : text.back())) FSpace = true;
}

void TImportText::Keyword() {
  Settle();
  FText += u'~';
}

void TImportText::CloseAll() {
  while (!FOpen.empty()) {
    FText += u"</";
    FText += kTagLetters[FOpen.back()];
    FText += u'>';
    FOpen.pop_back();
  }
}

void TImportText::LineBreak() {
  CloseAll();
  while (!LineEmpty() && FText.back() == u' ') FText.pop_back();
  if (!LineEmpty()) {
    FText += u"\r\n";
    FLineStart = FText.size();
  }
  FSpace = false;
}

void TImportText::Enumeration(int level, std::u16string_view label) {
  LineBreak();
  level = std::clamp(std::min(level, FLevel + 1), 1, 3);
  FLevel = level;
  FText += u"<n";
  if (level > 1) FText += char16_t(u'0' + level);
  FText += u'>';
  bool space = false;
  for (char16_t c : label) {
    if (IsBlank(c)) {
      space = true;
      continue;
    }
    if (space && FText.back() != u'>') FText += u' ';
    space = false;
    if (IsUnfit(c)) {
      FWriter.Replaced();
      c = kReplacement;
    }
    PutChar(c);
  }
  FText += u"</n>";
  FSpace = true;
}

std::u16string TImportText::Take() {
  LineBreak();
  std::u16string text = std::move(FText);
  FText.clear();
  FLineStart = 0;
  FWanted.clear();
  FOpen.clear();
  FSpace = false;
  FLevel = 1;
  return text;
}

std::u16string SenseLabel(int index, int level) {
  const std::u16string number = FromAscii(std::to_string(index + 1));
  if (level == 2) {
    if (index < 26) return std::u16string(1, char16_t(u'a' + index)) + u")";
    return number + u")";
  }
  if (level >= 3) return number + u")";
  return number + u".";
}

// ---------------------------------------------------------------- writer

TImportWriter::TImportWriter(const TImportOptions& options, TImportReport& report, const TImportProgress& progress)
    : FOptions(options), FReport(report), FProgress(progress), FLanguage(FindLanguage(options.LanguageId)) {
  if (!FLanguage) throw std::invalid_argument("unknown language \"" + options.LanguageId + "\"");
}

void TImportWriter::SetCaption(std::u16string_view caption) {
  if (FCaption.empty()) FCaption = AttributeText(caption);
}

void TImportWriter::SetComment(std::u16string_view comment) {
  if (FComment.empty()) FComment = AttributeText(comment);
}

void TImportWriter::Skip(std::string what, std::string reason) {
  FReport.Skipped.push_back({FLine, std::move(what), std::move(reason)});
}

void TImportWriter::Unmapped(std::string_view tag) { ++FReport.UnmappedTags[std::string(tag)]; }

void TImportWriter::Replaced() {
  ++FReport.Replaced;
  if (FReport.FirstReplacedLine == 0) FReport.FirstReplacedLine = FLine;
}

void TImportWriter::CountEntry() {
  ++FReport.Entries;
  if (FProgress && FReport.Entries % 10000 == 0) FProgress(FReport.Entries);
}

std::u16string TImportWriter::MakeKeyword(std::u16string_view headword, std::string& reason) const {
  std::u16string word = FLanguage->PrepareWord(headword);
  std::u16string keyword;
  bool space = false;
  for (size_t i = 0; i < word.size(); ++i) {
    const char16_t c = word[i];
    if (IsBlank(c) || c == kNoBreakSpace || c == u'_') {
      space = !keyword.empty();
      continue;
    }
    char16_t kept = 0;
    if (FLanguage->IsKeywordChar(c)) {
      kept = c;
    } else {
      // A letter with a mark the language's keywords do not write (a Greek
      // breve or macron) keeps the marks it can: try the letter with fewer
      // of its marks, most marks first.
      const std::u16string parts = Decomposed(c);
      const size_t marks = parts.size() - 1;
      if (marks > 0 && marks < 8) {
        int bestCount = -1;
        for (unsigned subset = 0; subset < (1u << marks); ++subset) {
          const int count = __builtin_popcount(subset);
          if (count <= bestCount) continue;
          std::u16string candidate(1, parts[0]);
          for (size_t m = 0; m < marks; ++m)
            if (subset & (1u << m)) candidate += parts[m + 1];
          const std::u16string composed = FLanguage->PrepareWord(candidate);
          if (composed.size() == 1 && FLanguage->IsKeywordChar(composed[0])) {
            kept = composed[0];
            bestCount = count;
          }
        }
      }
      if (!kept) {
        if (IsHighSurrogate(c) || IsLowSurrogate(c) || u_isalpha(c)) {
          reason = "it holds a letter that is no keyword letter of " + FLanguage->GetName() + " (" +
                   Quoted(std::u16string_view(&word[i], IsHighSurrogate(c) && i + 1 < word.size() ? 2 : 1)) + ")";
          return {};
        }
        continue;  // punctuation, digits, marks: not part of keywords
      }
    }
    if (space) keyword += u'_';
    space = false;
    keyword += kept;
  }
  if (keyword.empty()) reason = "it holds no keyword letter of " + FLanguage->GetName();
  return keyword;
}

void TImportWriter::AddEntry(const std::vector<std::u16string>& headwords, std::u16string text,
                             const std::vector<std::u16string>& keywordForms) {
  if (headwords.empty()) {
    Skip("entry", "it has no headword");
    return;
  }
  std::u16string firstKeyword, firstShown;
  for (size_t i = 0; i < headwords.size(); ++i) {
    std::string reason;
    const std::u16string& form = i < keywordForms.size() ? keywordForms[i] : headwords[i];
    const std::u16string keyword = MakeKeyword(form, reason);
    if (keyword.empty()) {
      Skip("headword " + Quoted(headwords[i]), reason);
      continue;
    }
    ++FReport.Headwords;
    if (firstKeyword.empty()) {
      firstKeyword = keyword;
      firstShown = headwords[i];
      AddArticle(keyword, std::move(text));
      continue;
    }
    std::u16string bare = keyword, firstBare = firstKeyword;
    std::erase(bare, u'_');
    std::erase(firstBare, u'_');
    if (bare == firstBare) {  // the same keyword written another way
      ++FReport.Merged;
      continue;
    }
    TImportText reference(*this);
    reference.Push(isHeader);
    reference.Text(headwords[i]);
    reference.Pop();
    reference.Space();
    reference.Push(isComment);
    reference.Text(u"see");
    reference.Pop();
    reference.Space();
    reference.Text(firstShown);
    ++FReport.References;
    AddArticle(keyword, reference.Take());
  }
  if (firstKeyword.empty() && headwords.size() > 1) Skip("entry", "none of its headwords can become a keyword");
}

void TImportWriter::AddArticle(const std::u16string& keyword, std::u16string text) {
  std::u16string bare = keyword;
  std::erase(bare, u'_');
  const auto [at, added] = FArticleIndex.try_emplace(std::move(bare), FArticles.size());
  if (added) {
    FArticles.push_back({keyword, std::move(text)});
    return;
  }
  ++FReport.Merged;
  TArticle& article = FArticles[at->second];
  if (text.empty() || article.Text == text) return;
  if (!article.Text.empty()) article.Text += u"\r\n";
  article.Text += text;
}

void TImportWriter::AddAbbreviation(std::vector<TAbbreviation>& list, std::u16string_view name,
                                    std::u16string_view value, const char* what) {
  std::u16string joined = AttributeText(name);
  for (char16_t& c : joined)
    if (c == u' ' || c == kNoBreakSpace) c = u'_';
  const std::u16string explanation = AttributeText(value);
  if (joined.empty()) {
    Skip(std::string(what) + " abbreviation", "it has no name");
    return;
  }
  if (!std::all_of(joined.begin(), joined.end(), IsNameChar)) {
    Skip(std::string(what) + " abbreviation " + Quoted(joined), "a name may hold only letters, digits, \"-\", \".\" and \"_\"");
    return;
  }
  if (explanation.empty()) {
    Skip(std::string(what) + " abbreviation " + Quoted(joined), "it has no explanation");
    return;
  }
  const std::u16string key = (&list == &FMarks ? u"m" : u"a") + joined;
  const auto [at, added] = FAbbreviationIndex.try_emplace(key, list.size());
  if (!added) {
    if (list[at->second].Value != explanation)
      Skip(std::string(what) + " abbreviation " + Quoted(joined), "it is explained twice; the first explanation is kept");
    return;
  }
  list.push_back({std::move(joined), explanation});
}

void TImportWriter::WriteSection(std::u16string& out, const char* tag, const std::vector<TAbbreviation>& list) const {
  if (list.empty()) return;
  const std::u16string name = FromAscii(tag);
  out += u"<" + name + u">\r\n";
  for (const TAbbreviation& abbreviation : list) out += abbreviation.Name + u"=" + abbreviation.Value + u"\r\n";
  out += u"</" + name + u">\r\n\r\n";
}

std::u16string TImportWriter::Finish() {
  std::u16string caption = AttributeText(FOptions.Caption);
  if (caption.empty()) caption = FCaption;
  std::string sourceName = FOptions.SourceName;
  if (const size_t slash = sourceName.find_last_of('/'); slash != std::string::npos) sourceName.erase(0, slash + 1);
  if (caption.empty()) caption = AttributeText(FromUtf8(sourceName));
  if (caption.empty()) caption = u"Imported dictionary";
  const char* formatName = FOptions.Format == TImportFormat::Dsl ? "DSL" : FOptions.Format == TImportFormat::Xdxf ? "XDXF" : "TEI";
  std::u16string comment = FComment;
  const std::u16string origin =
      AttributeText(FromUtf8("Imported from " + (sourceName.empty() ? std::string("a") : sourceName) + " (" + formatName + ")"));
  comment = comment.empty() ? origin : comment + u" " + origin + u".";
  std::u16string out;
  out += u"<header>\r\ncaption=" + caption + u"\r\ncomment=" + comment + u"\r\nkind=" + FromUtf8(FOptions.Kind) +
         u"\r\nlanguage=" + FromUtf8(FLanguage->GetId()) + u"\r\n</header>\r\n\r\n";
  WriteSection(out, "mark", FMarks);
  WriteSection(out, "author", FAuthors);
  for (size_t i = 0; i < FArticles.size(); ++i) {
    if (i > 0) out += u"\r\n";
    out += u"#" + FArticles[i].Keyword + u"\r\n";
    out += FArticles[i].Text;
  }
  FReport.Articles = int32_t(FArticles.size());
  FReport.Marks = int32_t(FMarks.size());
  FReport.Authors = int32_t(FAuthors.size());
  return out;
}

// ---------------------------------------------------------------- input

std::u16string DecodeInput(std::string_view bytes, TImportWriter& writer) {
  auto unit = [&](size_t at, bool little) {
    return little ? char16_t(uint8_t(bytes[at]) | (uint8_t(bytes[at + 1]) << 8))
                  : char16_t((uint8_t(bytes[at]) << 8) | uint8_t(bytes[at + 1]));
  };
  auto utf16 = [&](size_t start, bool little) {
    std::u16string text;
    text.reserve((bytes.size() - start) / 2);
    for (size_t at = start; at + 1 < bytes.size(); at += 2) text += unit(at, little);
    if ((bytes.size() - start) % 2) {
      writer.Replaced();
      text += kReplacement;
    }
    return text;
  };
  if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xFE) return utf16(2, true);
  if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFE && uint8_t(bytes[1]) == 0xFF) return utf16(2, false);
  size_t start = 0;
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    start = 3;
  } else if (bytes.size() >= 2) {
    // Text of any script in UTF-16 has zero high bytes in most of its
    // ASCII (line ends, spaces, markup); UTF-8 text has no zero bytes.
    size_t evenZeros = 0, oddZeros = 0;
    const size_t sample = std::min(bytes.size() & ~size_t(1), size_t(4096));
    for (size_t at = 0; at < sample; ++at)
      if (bytes[at] == 0) ++(at % 2 ? oddZeros : evenZeros);
    if (oddZeros * 4 > sample / 2 && evenZeros < oddZeros / 4) return utf16(0, true);
    if (evenZeros * 4 > sample / 2 && oddZeros < evenZeros / 4) return utf16(0, false);
  }
  std::u16string text;
  text.reserve(bytes.size() - start);
  int32_t line = 1;
  for (size_t at = start; at < bytes.size();) {
    const uint8_t lead = uint8_t(bytes[at]);
    if (lead < 0x80) {
      if (lead == '\n') ++line;
      text += char16_t(lead);
      ++at;
      continue;
    }
    size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? (lead < 0xF0 ? 3 : 0) : lead >= 0xC2 ? 2 : 0;
    uint32_t code = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = length > 0 && at + length <= bytes.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const uint8_t next = uint8_t(bytes[at + k]);
      if ((next & 0xC0) != 0x80) valid = false;
      code = (code << 6) | (next & 0x3F);
    }
    if (valid && ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
                  (length == 4 && (code < 0x10000 || code > 0x10FFFF))))
      valid = false;
    if (!valid) {
      writer.SetLine(line);
      writer.Replaced();
      text += kReplacement;
      ++at;
      while (at < bytes.size() && (uint8_t(bytes[at]) & 0xC0) == 0x80) ++at;
      continue;
    }
    AppendUtf16(text, code);
    at += length;
  }
  writer.SetLine(0);
  return text;
}

TImportStyle MappedElementStyle(std::span<const TElementStyle> table, std::u16string_view name, TImportWriter& writer) {
  for (const TElementStyle& entry : table)
    if (entry.Name == name) return entry.Style;
  writer.Unmapped("<" + ToUtf8(name) + ">");
  return isPlain;
}
