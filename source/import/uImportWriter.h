#pragma once
// The part of the importers that every format shares: the article text
// builder and the writer of the source dictionary.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "language/uLanguage.h"
#include "source/import/uImportDictionary.h"

class TImportWriter;

// The styles a parser asks for; the text builder turns them into tags.
enum TImportStyle : uint8_t { isHeader, isMark, isAuthor, isEnum, isComment, isExample, isPlain };

// One article's text. Parsers push and pop styles as the input nests them;
// tags are written only around text, only where the verifier allows them
// (a style that may not stand inside the open ones is left out), and are
// closed at every line end and opened again on the next line.
class TImportText {
public:
  explicit TImportText(TImportWriter& writer) : FWriter(writer) {}

  void Push(TImportStyle style) { FWanted.push_back(style); }
  void Pop() {
    if (!FWanted.empty()) FWanted.pop_back();
  }
  size_t Depth() const { return FWanted.size(); }
  // Text as the input has it: runs of white space become one space, and
  // metacharacters and characters the format cannot hold are dealt with.
  void Text(std::u16string_view text);
  // Text in a mark or author: its spaces become no-break spaces, as the
  // abbreviation is written in the marks section with "_".
  void AbbreviationText(std::u16string_view text);
  // The article's keyword ("~").
  void Keyword();
  // A space unless the line is empty or one is due anyway.
  void Space() { FSpace = true; }
  void LineBreak();
  // A numbered sense on a line of its own; the level is brought within the
  // verifier's rule (at most one above the level before, from 1 to 3).
  void Enumeration(int level, std::u16string_view label);
  bool LineEmpty() const { return FLineStart == FText.size(); }
  // The last unit written (0 when the line is empty).
  char16_t Last() const { return LineEmpty() ? 0 : FText.back(); }
  std::u16string Take();

private:
  void Settle();  // opens and closes tags to match the wanted styles
  void PutChar(char16_t c);
  void CloseAll();

  TImportWriter& FWriter;
  std::u16string FText;
  size_t FLineStart = 0;
  std::vector<TImportStyle> FWanted;
  std::vector<TImportStyle> FOpen;
  bool FSpace = false;
  int FLevel = 1;
};

// The numbered label of a sense: 0 gives "1", 26 "27"; letters and roman
// numerals for the styles parsers meet.
std::u16string SenseLabel(int index, int level);

class TImportWriter {
public:
  TImportWriter(const TImportOptions& options, TImportReport& report, const TImportProgress& progress);

  TKodraLanguage& Language() const { return *FLanguage; }
  // The input line that reports refer to.
  void SetLine(int32_t line) { FLine = line; }
  int32_t Line() const { return FLine; }

  void SetCaption(std::u16string_view caption);
  void SetComment(std::u16string_view comment);
  // An abbreviation of the marks or authors section; names keep their spaces
  // here, the writer turns them into "_".
  void AddMark(std::u16string_view name, std::u16string_view value) { AddAbbreviation(FMarks, name, value, "mark"); }
  void AddAuthor(std::u16string_view name, std::u16string_view value) {
    AddAbbreviation(FAuthors, name, value, "author");
  }

  // The keyword of a headword, or empty with the reason.
  std::u16string MakeKeyword(std::u16string_view headword, std::string& reason) const;
  // An entry: its headwords (as shown; the first carries the text, the
  // others get a reference to it) and the text. Keywords are made from
  // keywordForms where given (same length as headwords), else from the
  // headwords themselves.
  void AddEntry(const std::vector<std::u16string>& headwords, std::u16string text,
                const std::vector<std::u16string>& keywordForms = {});

  void Skip(std::string what, std::string reason);
  void Unmapped(std::string_view tag);
  void Replaced();
  // Counts an entry and reports progress.
  void CountEntry();

  // The whole source text in the saved layout.
  std::u16string Finish();

private:
  struct TArticle {
    std::u16string Keyword, Text;
  };
  struct TAbbreviation {
    std::u16string Name, Value;
  };
  void AddArticle(const std::u16string& keyword, std::u16string text);
  void AddAbbreviation(std::vector<TAbbreviation>& list, std::u16string_view name, std::u16string_view value,
                       const char* what);
  void WriteSection(std::u16string& out, const char* tag, const std::vector<TAbbreviation>& list) const;

  const TImportOptions& FOptions;
  TImportReport& FReport;
  const TImportProgress& FProgress;
  TKodraLanguage* FLanguage;
  int32_t FLine = 0;
  std::u16string FCaption, FComment;
  std::vector<TAbbreviation> FMarks, FAuthors;
  std::unordered_map<std::u16string, size_t> FAbbreviationIndex;  // section letter + name
  std::vector<TArticle> FArticles;
  std::unordered_map<std::u16string, size_t> FArticleIndex;  // keyword without "_"
};

// Input bytes as UTF-16: UTF-16 (LE or BE) with a byte-order mark, or
// without one when the zero bytes say so, else UTF-8 (with or without a
// mark; malformed sequences become U+FFFD, counted by the writer).
std::u16string DecodeInput(std::string_view bytes, TImportWriter& writer);

// The parsers.
void ImportDsl(std::u16string_view text, TImportWriter& writer);
void ImportXdxf(std::u16string_view text, TImportWriter& writer);
void ImportTei(std::u16string_view text, TImportWriter& writer);

// An element of an XML format and the style its text takes.
struct TElementStyle {
  std::u16string_view Name;
  TImportStyle Style;
};
// The element's style by the table; an element the table lacks stays plain
// and is reported as a tag that could not be mapped.
TImportStyle MappedElementStyle(std::span<const TElementStyle> table, std::u16string_view name, TImportWriter& writer);
