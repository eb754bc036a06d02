#include "render/uRtfWriter.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "foundation/KezText.h"

namespace {

class TRtfDocumentWriter {
public:
  explicit TRtfDocumentWriter(const TRtfDocument& document) : FDocument(document) {}
  std::string Write();

private:
  void CollectTables();
  void WriteTables();
  void WriteParagraph(const TRtfParagraph& paragraph);
  void SwitchTo(const TRtfCharFormat& format);
  void WriteText(std::u16string_view text);
  void Control(std::string_view word);
  void Control(std::string_view word, int32_t number);
  void Literal(char c);
  int32_t FontIndex(const std::string& face) const;
  int32_t ColorIndex(uint32_t color) const;

  const TRtfDocument& FDocument;
  std::string FOut;
  std::vector<std::string> FFaces;   // font n is FFaces[n]; font FFaces.size() is in no table
  std::vector<uint32_t> FColors;     // colour n + 1 is FColors[n]; colour 0 is the automatic one
  TRtfCharFormat FCurrent;
  bool FDelimit = false;  // the last thing written was a control word
};

std::string TRtfDocumentWriter::Write() {
  CollectTables();
  // The reader starts in font 0 (\deff0) with its default size and colour.
  FCurrent = TRtfCharFormat{};
  FCurrent.FaceName = FFaces.empty() ? std::string() : FFaces.front();
  FOut = "{\\rtf1\\ansi\\deff0\\uc1";
  WriteTables();
  const auto& paragraphs = FDocument.Paragraphs;
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    if (i) {
      Control("\\par");
      FOut += "\r\n";
      FDelimit = false;
    }
    WriteParagraph(paragraphs[i]);
  }
  // The reader drops an empty paragraph after the last \par, so an empty
  // last paragraph needs one of its own.
  if (!paragraphs.empty() && paragraphs.back().Runs.empty()) Control("\\par");
  FOut += "}\r\n";
  return std::move(FOut);
}

void TRtfDocumentWriter::CollectTables() {
  for (const TRtfParagraph& paragraph : FDocument.Paragraphs)
    for (const TRtfRun& run : paragraph.Runs) {
      const TRtfCharFormat& format = run.Format;
      if (!format.FaceName.empty() && std::find(FFaces.begin(), FFaces.end(), format.FaceName) == FFaces.end())
        FFaces.push_back(format.FaceName);
      if (format.Color != clRtfAuto && std::find(FColors.begin(), FColors.end(), format.Color) == FColors.end())
        FColors.push_back(format.Color);
    }
}

void TRtfDocumentWriter::WriteTables() {
  FOut += "\r\n{\\fonttbl";
  for (size_t n = 0; n < FFaces.size(); ++n) {
    FOut += "{";
    Control("\\f", int32_t(n));
    Control("\\fnil");
    Control("\\fcharset", 0);
    // ';' ends a name however it is written, and braces and backslashes
    // would end the entry.
    for (char16_t c : FromUtf8(FFaces[n])) {
      if (c == u';') continue;
      WriteText(std::u16string_view(&c, 1));
    }
    FOut += ";}";
    FDelimit = false;
  }
  FOut += "}\r\n{\\colortbl ;";
  for (uint32_t color : FColors) {
    Control("\\red", int32_t(color & 0xFF));
    Control("\\green", int32_t(color >> 8 & 0xFF));
    Control("\\blue", int32_t(color >> 16 & 0xFF));
    FOut += ";";
    FDelimit = false;
  }
  FOut += "}\r\n";
}

void TRtfDocumentWriter::WriteParagraph(const TRtfParagraph& paragraph) {
  Control("\\pard");
  if (paragraph.FirstIndent) Control("\\fi", paragraph.FirstIndent);
  if (paragraph.LeftIndent) Control("\\li", paragraph.LeftIndent);
  for (int32_t stop : paragraph.TabStops) Control("\\tx", stop);
  for (const TRtfRun& run : paragraph.Runs) {
    SwitchTo(run.Format);
    WriteText(run.Text);
  }
}

void TRtfDocumentWriter::SwitchTo(const TRtfCharFormat& format) {
  if (format.FaceName != FCurrent.FaceName) Control("\\f", FontIndex(format.FaceName));
  if (format.HalfPoints != FCurrent.HalfPoints) Control("\\fs", format.HalfPoints);
  if (format.Color != FCurrent.Color) Control("\\cf", ColorIndex(format.Color));
  if (format.Bold != FCurrent.Bold) Control(format.Bold ? "\\b" : "\\b0");
  if (format.Italic != FCurrent.Italic) Control(format.Italic ? "\\i" : "\\i0");
  if (format.Underline != FCurrent.Underline) Control(format.Underline ? "\\ul" : "\\ulnone");
  if (format.Position != FCurrent.Position)
    Control(format.Position == vpSubscript ? "\\sub" : format.Position == vpSuperscript ? "\\super" : "\\nosupersub");
  FCurrent = format;
}

void TRtfDocumentWriter::WriteText(std::u16string_view text) {
  for (char16_t c : text) {
    if (c == u'\\' || c == u'{' || c == u'}') {
      FOut += '\\';
      FOut += char(c);
      FDelimit = false;
    } else if (c == u'\t') {
      Control("\\tab");
    } else if (c == 0x000B) {
      Control("\\line");
    } else if (c >= 0x20 && c < 0x7F) {
      Literal(char(c));
    } else if (c != 0) {
      // Units above 0x7FFF go as negative numbers, as readers expect.
      Control("\\u", c > 0x7FFF ? int32_t(c) - 0x10000 : int32_t(c));
      FOut += '?';
      FDelimit = false;
    }
  }
}

void TRtfDocumentWriter::Control(std::string_view word) {
  FOut += word;
  FDelimit = true;
}

void TRtfDocumentWriter::Control(std::string_view word, int32_t number) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, number);
  FOut += word;
  FOut.append(digits, result.ptr);
  FDelimit = true;
}

void TRtfDocumentWriter::Literal(char c) {
  if (FDelimit) FOut += ' ';  // ends the control word; the reader eats it
  FOut += c;
  FDelimit = false;
}

int32_t TRtfDocumentWriter::FontIndex(const std::string& face) const {
  if (face.empty()) return int32_t(FFaces.size());
  return int32_t(std::find(FFaces.begin(), FFaces.end(), face) - FFaces.begin());
}

int32_t TRtfDocumentWriter::ColorIndex(uint32_t color) const {
  if (color == clRtfAuto) return 0;
  return int32_t(std::find(FColors.begin(), FColors.end(), color) - FColors.begin()) + 1;
}

}  // namespace

std::string WriteRtf(const TRtfDocument& document) { return TRtfDocumentWriter(document).Write(); }
