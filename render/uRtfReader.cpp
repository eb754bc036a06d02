#include "render/uRtfReader.h"

#include <algorithm>
#include <limits>
#include <map>
#include <unordered_map>

#include "foundation/KezText.h"
#include "render/uCodePages.h"

namespace {

enum TKeyword : uint8_t {
  kwNone,
  // Groups whose content is skipped whole.
  kwSkipDestination,
  kwFontTable, kwColorTable, kwUpr, kwUd,
  // Document.
  kwAnsi, kwMac, kwPc, kwPca, kwAnsiCodePage, kwDefaultFont, kwUnicodeSkip, kwUnicode, kwBin,
  // Font table entries.
  kwCharset, kwFontCodePage,
  // Colour table entries.
  kwRed, kwGreen, kwBlue,
  // Character formatting.
  kwPlain, kwFont, kwFontSize, kwColor, kwBold, kwItalic, kwUnderline, kwUnderlineNone,
  kwUnderlineColor, kwSub, kwSuper, kwNoSuperSub,
  // Paragraphs.
  kwPar, kwPard, kwFirstIndent, kwLeftIndent, kwTabStop, kwRow,
  // Characters.
  kwChar,
};

struct TKeywordInfo {
  TKeyword Keyword;
  char16_t Char = 0;  // for kwChar
};

const std::unordered_map<std::string_view, TKeywordInfo>& Keywords() {
  static const std::unordered_map<std::string_view, TKeywordInfo> keywords = [] {
    std::unordered_map<std::string_view, TKeywordInfo> map{
        {"fonttbl", {kwFontTable}}, {"colortbl", {kwColorTable}}, {"upr", {kwUpr}},
        {"ud", {kwUd}}, {"ansi", {kwAnsi}}, {"mac", {kwMac}}, {"pc", {kwPc}}, {"pca", {kwPca}},
        {"ansicpg", {kwAnsiCodePage}}, {"deff", {kwDefaultFont}}, {"uc", {kwUnicodeSkip}},
        {"u", {kwUnicode}}, {"bin", {kwBin}}, {"fcharset", {kwCharset}},
        {"cpg", {kwFontCodePage}}, {"red", {kwRed}}, {"green", {kwGreen}}, {"blue", {kwBlue}},
        {"plain", {kwPlain}}, {"f", {kwFont}}, {"fs", {kwFontSize}}, {"cf", {kwColor}},
        {"b", {kwBold}}, {"i", {kwItalic}}, {"ulnone", {kwUnderlineNone}},
        {"ulc", {kwUnderlineColor}}, {"sub", {kwSub}}, {"super", {kwSuper}},
        {"nosupersub", {kwNoSuperSub}}, {"par", {kwPar}}, {"pard", {kwPard}},
        {"fi", {kwFirstIndent}}, {"li", {kwLeftIndent}}, {"tx", {kwTabStop}},
        {"row", {kwRow}}, {"nestrow", {kwRow}},
        {"line", {kwChar, 0x000B}}, {"tab", {kwChar, 0x0009}}, {"cell", {kwChar, 0x0009}},
        {"nestcell", {kwChar, 0x0009}}, {"emdash", {kwChar, 0x2014}},
        {"endash", {kwChar, 0x2013}}, {"emspace", {kwChar, 0x2003}},
        {"enspace", {kwChar, 0x2002}}, {"qmspace", {kwChar, 0x2005}},
        {"bullet", {kwChar, 0x2022}}, {"lquote", {kwChar, 0x2018}},
        {"rquote", {kwChar, 0x2019}}, {"ldblquote", {kwChar, 0x201C}},
        {"rdblquote", {kwChar, 0x201D}}, {"zwj", {kwChar, 0x200D}},
        {"zwnj", {kwChar, 0x200C}}, {"ltrmark", {kwChar, 0x200E}},
        {"rtlmark", {kwChar, 0x200F}},
    };
    // Every underline style switches underlining on (\ulc is its colour).
    for (std::string_view name :
         {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
          "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
          "ulwave"})
      map.emplace(name, TKeywordInfo{kwUnderline});
    // Destinations that hold no text of the document (or only a picture of
    // it) and are not always marked with \*.
    for (std::string_view name :
         {"pict", "object", "info", "stylesheet", "header", "headerl", "headerr", "headerf",
          "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "atnid",
          "atnauthor", "atntime", "atnref", "atndate", "atnicn", "fldinst", "xe", "tc", "txe",
          "rxe", "bkmkstart", "bkmkend", "shp", "shpinst", "nonshppict", "template",
          "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator", "filetbl",
          "latentstyles", "themedata", "colorschememapping", "datastore", "xmlnstbl",
          "pgdsctbl", "mmathPr", "pn", "pntxta", "pntxtb", "ftnsep", "ftnsepc", "ftncn",
          "aftnsep", "aftnsepc", "aftncn", "docvar", "userprops", "fchars", "lchars",
          "do", "background", "objdata", "falt", "panose", "fname"})
      map.emplace(name, TKeywordInfo{kwSkipDestination});
    return map;
  }();
  return keywords;
}

enum TDestination : uint8_t {
  dsText,
  dsFontTable,
  dsColorTable,
  dsUpr,  // the 8-bit twin of a {\*\ud} group: its text is not read
};

// Font numbers are any int32 but this one (parameters are clamped to
// ±INT32_MAX): the document's default font, which \deff may name later.
constexpr int32_t DefaultFont = std::numeric_limits<int32_t>::min();

struct TGroupState {
  TDestination Destination = dsText;
  bool DefinesFont = false;  // a \f of the font table was met in this group
  int32_t Font = DefaultFont;
  int32_t HalfPoints = 24;
  int32_t ColorIndex = -1;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  TRtfVerticalPosition Position = vpNormal;
  int32_t UnicodeSkip = 1;
  int32_t FirstIndent = 0;
  int32_t LeftIndent = 0;
  std::vector<int32_t> TabStops;
};

struct TFont {
  std::u16string Name;
  bool NameDone = false;  // after its ';'
  int32_t CodePage = 0;   // 0: the document's
  std::string Face;       // the trimmed name in UTF-8, made when first asked for
  bool FaceMade = false;
};

struct TColor {
  int32_t Red = 0, Green = 0, Blue = 0;
  bool Set = false;
};

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && text.front() <= u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() <= u' ') text.remove_suffix(1);
  return text;
}

bool IsSpecialFontFace(std::string_view face) {
  return face.size() == kSpecialFontFace.size() &&
         std::equal(face.begin(), face.end(), kSpecialFontFace.begin(), [](char a, char b) {
           return (a >= 'A' && a <= 'Z' ? char(a + 32) : a) == (b >= 'A' && b <= 'Z' ? char(b + 32) : b);
         });
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class TRtfReader {
public:
  explicit TRtfReader(std::string_view rtf) : FRtf(rtf) {}
  TRtfDocument Read();

private:
  struct TControl {
    std::string_view Name;  // empty for a control symbol
    char Symbol = 0;
    bool HasParameter = false;
    int32_t Parameter = 0;
  };

  bool AtEnd() const { return FPos >= FRtf.size(); }
  TControl ReadControl();
  void OpenGroup();
  void CloseGroup();
  bool SkipToGroupEnd();
  void SkipRestOfGroup();
  void HandleControl(const TControl& control);
  void HandleKeyword(const TControl& control, const TKeywordInfo& info);
  void SetFault(TRtfError error) {
    if (FDocument.Error == reNone) FDocument.Error = error;
  }

  void AddByte(uint8_t byte);
  void FlushBytes();
  void Emit(char16_t c);
  void EmitUnicode(int32_t value);
  void EndParagraph();
  void FinishLastParagraph();
  void ResolveFormat();
  int32_t CodePageOfFont(int32_t number) const;
  const std::string& FaceOf(int32_t number);

  TGroupState& State() { return FStack.back(); }

  std::string_view FRtf;
  size_t FPos = 0;
  TRtfDocument FDocument;
  std::vector<TGroupState> FStack;
  std::map<int32_t, TFont> FFonts;
  int32_t FDefiningFont = DefaultFont;  // the font-table entry being read, if any
  std::vector<TColor> FColors;
  TColor FColor;  // the colour-table entry being read
  int32_t FCodePage = 1252;
  int32_t FDefaultFont = 0;
  int32_t FSkip = 0;  // fallback characters of the last \u still to skip
  bool FStarred = false;  // a \* opened this group
  TCodePageDecoder FDecoder;
  std::string FBytes;  // 8-bit text of a multi-byte code page awaiting its decoding
  int32_t FBytesCodePage = 0;

  TRtfParagraph FParagraph;
  TRtfCharFormat FFormat;
  int32_t FFormatCodePage = 1252;
  bool FFormatSequence = false;
  bool FFormatSpecial = false;  // the face is the special characters' font
  bool FFormatDirty = true;
  bool FRunOpen = false;  // the last run of FParagraph has FFormat
};

TRtfDocument TRtfReader::Read() {
  while (!AtEnd() && uint8_t(FRtf[FPos]) <= ' ') ++FPos;
  if (FRtf.substr(FPos, 5) != "{\\rtf") {
    FDocument.Error = reNotRtf;
    return std::move(FDocument);
  }
  ++FPos;
  OpenGroup();
  // Nothing after the end of the outermost group counts.
  while (!AtEnd() && !FStack.empty()) {
    char c = FRtf[FPos];
    if (c == '{') {
      ++FPos;
      OpenGroup();
    } else if (c == '}') {
      ++FPos;
      CloseGroup();
    } else if (c == '\\') {
      HandleControl(ReadControl());
    } else {
      ++FPos;
      // Line ends only lay out the RTF text; NUL is never text.
      if (c != '\r' && c != '\n' && c != '\0') AddByte(uint8_t(c));
    }
  }
  FlushBytes();
  if (!FStack.empty()) {
    SetFault(reUnbalanced);
    FinishLastParagraph();
  }
  return std::move(FDocument);
}

TRtfReader::TControl TRtfReader::ReadControl() {
  TControl control;
  ++FPos;  // the backslash
  if (AtEnd()) return control;
  if (!IsLetter(FRtf[FPos])) {
    control.Symbol = FRtf[FPos++];
    return control;
  }
  size_t start = FPos;
  while (!AtEnd() && IsLetter(FRtf[FPos])) ++FPos;
  control.Name = FRtf.substr(start, FPos - start);
  bool negative = false;
  if (FPos + 1 < FRtf.size() && FRtf[FPos] == '-' && IsDigit(FRtf[FPos + 1])) {
    negative = true;
    ++FPos;
  }
  if (!AtEnd() && IsDigit(FRtf[FPos])) {
    // Saturates: callers clamp what they take.
    int64_t value = 0;
    while (!AtEnd() && IsDigit(FRtf[FPos])) {
      value = std::min<int64_t>(value * 10 + (FRtf[FPos] - '0'), int64_t(1) << 32);
      ++FPos;
    }
    if (negative) value = -value;
    control.HasParameter = true;
    control.Parameter = int32_t(std::clamp<int64_t>(value, -std::numeric_limits<int32_t>::max(),
                                                    std::numeric_limits<int32_t>::max()));
  }
  if (!AtEnd() && FRtf[FPos] == ' ') ++FPos;  // the delimiter belongs to the word
  return control;
}

void TRtfReader::OpenGroup() {
  FlushBytes();
  FSkip = 0;
  FStarred = false;
  if (FStack.empty()) {
    FStack.emplace_back();
  } else if (int32_t(FStack.size()) >= RtfMaxDepth) {
    SetFault(reTooDeep);
    if (!SkipToGroupEnd()) return;
  } else {
    FStack.push_back(State());
    State().DefinesFont = false;
  }
  FFormatDirty = true;
}

void TRtfReader::CloseGroup() {
  FlushBytes();
  FSkip = 0;
  FStarred = false;
  if (FStack.empty()) return;
  if (FStack.size() == 1) FinishLastParagraph();
  const TDestination closed = State().Destination;
  const bool definedFont = State().DefinesFont;
  FStack.pop_back();
  if (closed == dsFontTable && FDefiningFont != DefaultFont) {
    // A {\fN ...} entry ends its name even without ';'.
    if (definedFont) FFonts[FDefiningFont].NameDone = true;
    if (FStack.empty() || State().Destination != dsFontTable) FDefiningFont = DefaultFont;
  }
  FFormatDirty = true;
}

// From inside a group to just after its closing brace, minding escaped
// braces and binary data. False when the input ends first.
bool TRtfReader::SkipToGroupEnd() {
  int64_t depth = 1;
  while (!AtEnd()) {
    char c = FRtf[FPos];
    if (c == '{') {
      ++depth;
      ++FPos;
    } else if (c == '}') {
      ++FPos;
      if (--depth == 0) return true;
    } else if (c == '\\') {
      TControl control = ReadControl();
      if (control.Name == "bin" && control.Parameter > 0)
        FPos += std::min<size_t>(size_t(control.Parameter), FRtf.size() - FPos);
    } else {
      ++FPos;
    }
  }
  return false;
}

void TRtfReader::SkipRestOfGroup() {
  FlushBytes();
  if (SkipToGroupEnd()) {
    CloseGroup();
  } else {
    FPos = FRtf.size();
  }
}

void TRtfReader::HandleControl(const TControl& control) {
  if (control.Name.empty()) {
    switch (control.Symbol) {
      case '\'': {
        // Two hex digits or nothing: a lone digit is dropped with the escape.
        int high = FPos < FRtf.size() ? HexValue(FRtf[FPos]) : -1;
        int low = FPos + 1 < FRtf.size() ? HexValue(FRtf[FPos + 1]) : -1;
        if (high >= 0) ++FPos;
        if (high < 0 || low < 0) return;
        ++FPos;
        AddByte(uint8_t(high * 16 + low));
        return;
      }
      case '{': case '}': case '\\':
        AddByte(uint8_t(control.Symbol));
        return;
      case '*':
        FStarred = true;  // for the control word that follows
        return;
      case 0:  // a backslash at the very end
        return;
    }
    FlushBytes();
    if (FSkip > 0) {
      --FSkip;
      return;
    }
    switch (control.Symbol) {
      case '~': Emit(0x00A0); break;
      case '-': Emit(0x00AD); break;
      case '_': Emit(0x2011); break;
      case '\r': case '\n': EndParagraph(); break;
      default: break;  // \| \: and the like have no text
    }
    return;
  }

  FlushBytes();
  const auto& keywords = Keywords();
  auto found = keywords.find(control.Name);
  TKeywordInfo info = found == keywords.end() ? TKeywordInfo{kwNone} : found->second;
  bool starred = FStarred;
  FStarred = false;
  if (starred && info.Keyword != kwUd) {
    // An ignorable destination: we know none but \ud.
    SkipRestOfGroup();
    return;
  }
  if (info.Keyword == kwSkipDestination) {
    SkipRestOfGroup();
    return;
  }
  if (info.Keyword == kwBin) {
    size_t length = control.Parameter > 0 ? size_t(control.Parameter) : 0;
    FPos += std::min(length, FRtf.size() - FPos);
    if (FSkip > 0) --FSkip;
    return;
  }
  if (FSkip > 0) {
    --FSkip;  // a control word stands for one fallback character
    return;
  }
  HandleKeyword(control, info);
}

void TRtfReader::HandleKeyword(const TControl& control, const TKeywordInfo& info) {
  TGroupState& state = State();
  const int32_t parameter = control.Parameter;
  const bool on = !control.HasParameter || parameter != 0;
  if (state.Destination == dsFontTable) {
    switch (info.Keyword) {
      case kwFont:
        state.DefinesFont = true;
        FDefiningFont = parameter;
        FFonts[parameter] = TFont{};
        return;
      case kwCharset:
        if (FDefiningFont != DefaultFont)
          FFonts[FDefiningFont].CodePage = CodePageOfCharset(parameter);
        return;
      case kwFontCodePage:
        if (FDefiningFont != DefaultFont && parameter > 0)
          FFonts[FDefiningFont].CodePage = parameter;
        return;
      default:
        break;
    }
  }
  if (state.Destination == dsColorTable) {
    switch (info.Keyword) {
      case kwRed: FColor.Red = std::clamp(parameter, 0, 255); FColor.Set = true; return;
      case kwGreen: FColor.Green = std::clamp(parameter, 0, 255); FColor.Set = true; return;
      case kwBlue: FColor.Blue = std::clamp(parameter, 0, 255); FColor.Set = true; return;
      default: break;
    }
  }
  switch (info.Keyword) {
    case kwFontTable:
      state.Destination = dsFontTable;
      FDefiningFont = DefaultFont;
      break;
    case kwColorTable:
      state.Destination = dsColorTable;
      FColors.clear();
      FColor = TColor{};
      break;
    case kwUpr: state.Destination = dsUpr; break;
    case kwUd:
      if (state.Destination == dsUpr) state.Destination = dsText;
      break;
    case kwAnsi: FCodePage = 1252; break;
    case kwMac: FCodePage = 10000; break;
    case kwPc: FCodePage = 437; break;
    case kwPca: FCodePage = 850; break;
    case kwAnsiCodePage:
      if (parameter > 0) FCodePage = parameter;
      break;
    case kwDefaultFont:
      if (parameter != DefaultFont) FDefaultFont = parameter;
      break;
    case kwUnicodeSkip: state.UnicodeSkip = std::clamp(parameter, 0, 255); break;
    case kwUnicode:
      EmitUnicode(parameter);
      FSkip = state.UnicodeSkip;
      break;
    case kwPlain:
      state.Font = DefaultFont;
      state.HalfPoints = 24;
      state.ColorIndex = -1;
      state.Bold = state.Italic = state.Underline = false;
      state.Position = vpNormal;
      break;
    case kwFont: state.Font = parameter; break;
    case kwFontSize:
      state.HalfPoints = control.HasParameter && parameter > 0 ? std::min(parameter, 32767) : 24;
      break;
    case kwColor: state.ColorIndex = parameter; break;
    case kwBold: state.Bold = on; break;
    case kwItalic: state.Italic = on; break;
    case kwUnderline: state.Underline = on; break;
    case kwUnderlineNone: state.Underline = false; break;
    case kwSub: state.Position = vpSubscript; break;
    case kwSuper: state.Position = vpSuperscript; break;
    case kwNoSuperSub: state.Position = vpNormal; break;
    case kwPar: case kwRow: EndParagraph(); break;
    case kwPard:
      state.FirstIndent = state.LeftIndent = 0;
      state.TabStops.clear();
      break;
    case kwFirstIndent: state.FirstIndent = parameter; break;
    case kwLeftIndent: state.LeftIndent = parameter; break;
    case kwTabStop:
      if (int32_t(state.TabStops.size()) < RtfMaxTabStops) state.TabStops.push_back(parameter);
      break;
    case kwChar: Emit(info.Char); break;
    default: break;
  }
  // Only the words between \ansi and \nosupersub change what text looks like
  // or how its bytes decode; the others leave the run going.
  if (info.Keyword >= kwAnsi && info.Keyword <= kwNoSuperSub && info.Keyword != kwUnicode &&
      info.Keyword != kwUnicodeSkip && info.Keyword != kwBin)
    FFormatDirty = true;
}

int32_t TRtfReader::CodePageOfFont(int32_t number) const {
  if (number == DefaultFont) number = FDefaultFont;
  auto found = FFonts.find(number);
  int32_t codePage = found == FFonts.end() ? 0 : found->second.CodePage;
  return codePage ? codePage : FCodePage;
}

const std::string& TRtfReader::FaceOf(int32_t number) {
  static const std::string none;
  if (number == DefaultFont) number = FDefaultFont;
  auto found = FFonts.find(number);
  if (found == FFonts.end()) return none;
  TFont& font = found->second;
  if (!font.FaceMade) {
    font.Face = ToUtf8(Trimmed(font.Name));
    font.FaceMade = true;
  }
  return font.Face;
}

void TRtfReader::ResolveFormat() {
  const TGroupState& state = State();
  TRtfCharFormat format;
  format.FaceName = FaceOf(state.Font);
  format.HalfPoints = state.HalfPoints;
  if (state.ColorIndex >= 0 && state.ColorIndex < int32_t(FColors.size()) &&
      FColors[size_t(state.ColorIndex)].Set) {
    const TColor& color = FColors[size_t(state.ColorIndex)];
    format.Color = uint32_t(color.Red) | uint32_t(color.Green) << 8 | uint32_t(color.Blue) << 16;
  }
  format.Bold = state.Bold;
  format.Italic = state.Italic;
  format.Underline = state.Underline;
  format.Position = state.Position;
  FFormat = std::move(format);
  FFormatCodePage = CodePageOfFont(state.Font);
  FFormatSequence = FDecoder.NeedsSequence(FFormatCodePage);
  FFormatSpecial = IsSpecialFontFace(FFormat.FaceName);
  FRunOpen = !FParagraph.Runs.empty() && FParagraph.Runs.back().Format == FFormat;
  FFormatDirty = false;
}

void TRtfReader::AddByte(uint8_t byte) {
  if (FSkip > 0) {
    --FSkip;
    return;
  }
  FStarred = false;
  if (FStack.empty()) return;
  int32_t codePage;
  bool sequence;
  switch (State().Destination) {
    case dsText:
      if (FFormatDirty) ResolveFormat();
      codePage = FFormatCodePage;
      sequence = FFormatSequence;
      break;
    case dsFontTable:
      codePage = CodePageOfFont(FDefiningFont);
      sequence = FDecoder.NeedsSequence(codePage);
      break;
    case dsColorTable:
      if (byte == ';') {
        FColors.push_back(FColor);
        FColor = TColor{};
      }
      return;
    default:
      return;
  }
  if (!sequence) {
    Emit(FDecoder.DecodeByte(codePage, byte));
    return;
  }
  if (!FBytes.empty() && FBytesCodePage != codePage) FlushBytes();
  FBytes.push_back(char(byte));
  FBytesCodePage = codePage;
  if (FBytes.size() >= 65536) FlushBytes();
}

void TRtfReader::FlushBytes() {
  if (FBytes.empty()) return;
  std::u16string decoded;
  FDecoder.Decode(FBytesCodePage, FBytes, decoded);
  FBytes.clear();
  for (char16_t c : decoded) Emit(c);
}

void TRtfReader::EmitUnicode(int32_t value) {
  // Writers put code units above 0x7FFF as negative numbers.
  if (value < 0 && value >= -32768) value += 65536;
  if (value > 0 && value <= 0xFFFF) {
    Emit(char16_t(value));
  } else if (value > 0xFFFF && value <= 0x10FFFF) {
    value -= 0x10000;
    Emit(char16_t(0xD800 + (value >> 10)));
    Emit(char16_t(0xDC00 + (value & 0x3FF)));
  } else if (value != 0) {
    Emit(0xFFFD);
  }
}

void TRtfReader::Emit(char16_t c) {
  if (FStack.empty()) return;
  switch (State().Destination) {
    case dsText:
      if (FFormatDirty) ResolveFormat();
      if (!FRunOpen) {
        FParagraph.Runs.push_back(TRtfRun{{}, FFormat});
        FRunOpen = true;
      }
      if (FFormatSpecial && c >= kSpecialFontFirstPosition && c - kSpecialFontFirstPosition < kSpecialCharCount)
        c = char16_t(kSpecialCharFirst + (c - kSpecialFontFirstPosition));
      FParagraph.Runs.back().Text.push_back(c);
      break;
    case dsFontTable:
      if (FDefiningFont != DefaultFont) {
        TFont& font = FFonts[FDefiningFont];
        if (font.NameDone) break;
        if (c == u';') {
          font.NameDone = true;
        } else {
          font.Name.push_back(c);
          font.FaceMade = false;
        }
      }
      break;
    default:
      break;
  }
}

void TRtfReader::EndParagraph() {
  if (FStack.empty() || State().Destination != dsText) return;
  const TGroupState& state = State();
  FParagraph.FirstIndent = state.FirstIndent;
  FParagraph.LeftIndent = state.LeftIndent;
  FParagraph.TabStops = state.TabStops;
  FDocument.Paragraphs.push_back(std::move(FParagraph));
  FParagraph = TRtfParagraph{};
  FRunOpen = false;
}

// The text after the last \par makes a paragraph of its own when there is any.
void TRtfReader::FinishLastParagraph() {
  if (FParagraph.Runs.empty()) return;
  State().Destination = dsText;
  EndParagraph();
}

}  // namespace

std::u16string TRtfParagraph::Text() const {
  std::u16string text;
  for (const TRtfRun& run : Runs) text += run.Text;
  return text;
}

std::u16string TRtfDocument::PlainText() const {
  std::u16string text;
  for (size_t i = 0; i < Paragraphs.size(); ++i) {
    if (i) text += u'\n';
    for (const TRtfRun& run : Paragraphs[i].Runs) text += run.Text;
  }
  return text;
}

TRtfFacedText TRtfDocument::FacedText() const {
  TRtfFacedText result;
  for (size_t i = 0; i < Paragraphs.size(); ++i) {
    if (i) {
      result.Text += u'\n';
      result.FaceNames.emplace_back();
    }
    for (const TRtfRun& run : Paragraphs[i].Runs) {
      result.Text += run.Text;
      result.FaceNames.insert(result.FaceNames.end(), run.Text.size(),
                              std::string_view(run.Format.FaceName));
    }
  }
  return result;
}

TRtfDocument ReadRtf(std::string_view rtf) { return TRtfReader(rtf).Read(); }
