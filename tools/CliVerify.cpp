// kodra-cli verify: checks a source dictionary and points at the first error.
#include <algorithm>
#include <iostream>

#include "foundation/KezFiles.h"
#include "foundation/KezText.h"
#include "source/uSourceFilePosition.h"
#include "tools/CliCommands.h"
#include "tools/CliJson.h"
#include "tools/CliOptions.h"
#include "tools/CliSource.h"

namespace {
const char* kPartNames[] = {"header", "marks", "authors", "articles"};

// A line of a source can be a whole article of many thousand characters:
// the report shows the part around the error.
constexpr size_t kExcerptHalf = 120;

struct TLineExcerpt {
  std::u16string Text;
  size_t Caret;  // the error's column within Text, from 0
};

TLineExcerpt ExcerptAround(std::u16string_view line, size_t column) {
  column = std::min(column, line.size());
  if (line.size() <= 2 * kExcerptHalf) return {std::u16string(line), column};
  size_t first = column > kExcerptHalf ? column - kExcerptHalf : 0;
  const size_t last = std::min(line.size(), first + 2 * kExcerptHalf);
  first = last - 2 * kExcerptHalf;
  TLineExcerpt excerpt{std::u16string(line.substr(first, last - first)), column - first};
  if (first > 0) {
    excerpt.Text.insert(0, u"...");
    excerpt.Caret += 3;
  }
  if (last < line.size()) excerpt.Text += u"...";
  return excerpt;
}

std::u16string ReadUtf16File(const std::string& fileName) {
  std::string data;
  ReadSmallFile(fileName, size_t(1) << 31, data);  // what verify has just read: none if it went
  std::u16string text(data.size() / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = char16_t(uint8_t(data[2 * i]) | (uint8_t(data[2 * i + 1]) << 8));
  return text;
}
// The 1-based line of a text, line breaks as the source reader counts them.
std::u16string LineOfText(std::u16string_view text, int32_t line) {
  const std::vector<std::u16string_view> lines = SplitSourceLines(text);
  std::u16string result(line >= 1 && size_t(line) <= lines.size() ? lines[size_t(line - 1)] : std::u16string_view());
  for (char16_t& c : result)
    if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFEFF) c = u'?';  // what the terminal cannot show
  return result;
}
}  // namespace

TVerifyReport LoadAndVerify(const std::string& fileName, TSourceDictionary& dictionary) {
  TVerifyReport report;
  try {
    dictionary.LoadFromFile(fileName);
  } catch (const THelpedException& e) {
    report.Identifier = e.HelpKeyword;
    report.Message = e.Message;
    if (e.Line > 0) {  // a fault of the file's lines: point at the line
      report.Line = e.Line;
      report.Column = 1;
      report.LineText = LineOfText(ReadUtf16File(fileName), e.Line);
    }
    return report;
  }
  dictionary.SetFileName(fileName);
  try {
    dictionary.Verify();
    report.Ok = true;
    return report;
  } catch (const THelpedException& e) {
    report.Identifier = e.HelpKeyword;
    report.Message = e.Message;
  }
  report.Part = dictionary.CurrentPart();
  report.Item = dictionary.CurrentItem();
  report.SelectionStart = dictionary.SelectionStart();
  report.SelectionLength = dictionary.SelectionLength();
  if (report.Part == spArticles) report.Keyword = dictionary.Keyword(report.Item);
  const TSourceFilePosition position =
      LocateInSourceFile(ReadUtf16File(fileName), dictionary, report.Part, report.Item, report.SelectionStart);
  if (position.Found) {
    report.Line = position.Line;
    report.Column = position.Column;
    report.LineText = position.LineText;
  }
  return report;
}

void PrintVerifyReport(const std::string& fileName, const TSourceDictionary& dictionary, const TVerifyReport& report,
                       bool json) {
  const int32_t marks = dictionary.Part(spMarks).Count(), authors = dictionary.Part(spAuthors).Count();
  if (json) {
    TJsonWriter writer(std::cout);
    writer.BeginObject().Field("file", fileName).Field("ok", report.Ok);
    if (report.Ok) {
      writer.Field("articles", dictionary.ArticleCount()).Field("marks", marks).Field("authors", authors);
    } else {
      writer.Field("identifier", report.Identifier).Field("message", report.Message);
      if (report.Part >= 0) {
        writer.Field("part", kPartNames[report.Part]).Field("item", report.Item);
        writer.Key("keyword");
        if (report.Part == spArticles) writer.Value(std::u16string_view(report.Keyword)); else writer.Null();
        writer.Field("selectionStart", report.SelectionStart).Field("selectionLength", report.SelectionLength);
      }
      if (report.Line > 0) writer.Field("line", report.Line).Field("column", report.Column);
    }
    writer.EndObject();
    std::cout << '\n';
    return;
  }
  if (report.Ok) {
    std::cout << "OK: " << dictionary.ArticleCount() << " articles, " << marks << " marks, " << authors
              << " authors\n";
    return;
  }
  std::cout << fileName;
  if (report.Line > 0) std::cout << ':' << report.Line << ':' << report.Column;
  // The message's identifier is for programs (--json), not for the reader.
  std::cout << ": " << report.Message << '\n';
  if (report.Part >= 0 && report.Item >= 0) {
    std::cout << "  in the " << kPartNames[report.Part];
    if (report.Part == spArticles) std::cout << ", article \"" << ToUtf8(report.Keyword) << "\"";
    std::cout << " (item " << report.Item << ", selection " << report.SelectionStart << "+"
              << report.SelectionLength << ")\n";
  }
  if (report.Line > 0) {
    const TLineExcerpt excerpt = ExcerptAround(report.LineText, size_t(report.Column - 1));
    const size_t room = excerpt.Text.size() - excerpt.Caret;
    const size_t marked = std::min(size_t(std::max(report.SelectionLength, 1)), room);
    std::cout << "  " << ToUtf8(excerpt.Text) << "\n  " << std::string(excerpt.Caret, ' ') << '^'
              << std::string(marked > 1 ? marked - 1 : 0, '~') << '\n';
  }
}

int RunVerify(const std::vector<std::string>& args) {
  const TCliArguments parsed = ParseCliArguments(args, {"--json"}, {});
  if (parsed.Positional.size() != 1) {
    std::cerr << "kodra-cli: expected one source file\n";
    return 2;
  }
  TSourceDictionary dictionary(FindLanguage(DefaultLanguageId()));
  const TVerifyReport report = LoadAndVerify(parsed.Positional[0], dictionary);
  PrintVerifyReport(parsed.Positional[0], dictionary, report, parsed.Has("--json"));
  return report.Ok ? 0 : 1;
}
