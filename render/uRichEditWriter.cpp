#include "render/uRichEditWriter.h"

#include <algorithm>
#include <charconv>

#include "foundation/KezText.h"
#include "language/uCommon.h"
#include "render/uRtfReader.h"

namespace {
constexpr std::string_view kLineEnd = "\r\n";
constexpr int32_t kEnumerationStyle = 5, kTagStyle = 8, kTranslationStyle = 9;
// Sizes outside this range make no sense to a rich-edit control (\fs counts half-points).
constexpr int32_t kMinSize = 1, kMaxSize = 1638;
}  // namespace

TRtfRichEditWriter::TRtfRichEditWriter(TKezAbstractRichEdit& target, const TKodraLanguage* language,
                                       const TOptions& options)
    : TArticleWriter(options), FTarget(target) {
  SetLanguage(language);
}

void TRtfRichEditWriter::Write(std::string_view controlWord, int32_t number) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, number);
  FOutput.AppendAnsi(controlWord);
  FOutput.Append(digits, uint32_t(result.ptr - digits));
}

void TRtfRichEditWriter::BuildStyles() {
  const TOptionsFont& font = ArticleMode() ? FOptions.ArticleFont() : FOptions.EditorFont();
  FFaceName = font.UseDefault() ? FOptions.DefFontName() : font.FontName();
  // A size out of range (a hand-edited settings file) is read as the nearest one allowed.
  FBaseSize = std::clamp(font.FontSize(), kMinFontSize, kMaxFontSize);

  std::array<TColor, 10> colors{};
  colors[0] = clWindowText;
  FStyles[0] = {FBaseSize, 0, false, false, false};
  const TOptionsTag* tags[7] = {&FOptions.CaptionTag(), &FOptions.HeaderTag(),  &FOptions.MarkTag(),
                                &FOptions.AuthorTag(),  &FOptions.EnumTag(),    &FOptions.CommentTag(),
                                &FOptions.ExampleTag()};
  for (int32_t i = 0; i < 7; ++i) {
    const TOptionsTag& tag = *tags[i];
    const int32_t size = std::clamp(FBaseSize * tag.RelSize() / 100, kMinSize, kMaxSize);
    FStyles[i + 1] = {size, 0, tag.Bold(), tag.Italic(), tag.Underline()};
    colors[i + 1] = tag.DefColor() ? clWindowText : tag.Color();
  }
  FStyles[kTagStyle] = {FBaseSize, 0, false, false, false};
  colors[kTagStyle] = FOptions.EditorColors().TagColor();
  FStyles[kTranslationStyle] = {FBaseSize, 0, false, false, false};
  colors[kTranslationStyle] = FOptions.EditorColors().RussianColor();

  // Equal values share one entry; a system colour and an explicit colour
  // that look alike stay apart, since the system one follows the theme.
  FColorCount = 0;
  for (size_t style = 0; style < colors.size(); ++style) {
    const auto end = FColors.begin() + FColorCount;
    const auto found = std::find(FColors.begin(), end, colors[style]);
    if (found == end) FColors[size_t(FColorCount++)] = colors[style];
    FStyles[style].ColorIndex = int32_t(found - FColors.begin());
  }
}

void TRtfRichEditWriter::AppendFaceName() {
  // Characters that would end or break the font entry are escaped, and
  // anything beyond ASCII goes as \u, so the document stays 7-bit.
  for (char16_t c : FromUtf8(FFaceName)) {
    if (c == u'\\' || c == u'{' || c == u'}') {
      FOutput.AppendByte('\\');
      FOutput.AppendByte(uint8_t(c));
    } else if (c == u';') {
      Write("\\'3b");
    } else if (c >= 0x20 && c < 0x7F) {
      FOutput.AppendByte(uint8_t(c));
    } else {
      Write("\\u", int32_t(c));
      FOutput.AppendByte('?');
    }
  }
}

void TRtfRichEditWriter::ResetParagraph() {
  Write("\\pard\\f0");
  Write("\\fs", 2 * FBaseSize);
  Write("\\cf0");
  FCurrent = FStyles[0];
  FOpenCount = 0;
}

void TRtfRichEditWriter::BeginDocument() {
  FOutput.Clear();
  FOpenCount = 0;
  BuildStyles();
  Write("{\\rtf1\\ansi\\deff0");
  Write(kLineEnd);
  Write("{\\fonttbl");
  Write("{\\f0\\fnil\\fcharset0 ");
  AppendFaceName();
  Write(";}");
  Write("{\\f1\\fnil\\fcharset0 ");
  Write(kSpecialFontFace);
  Write(";}");
  Write("}");
  Write(kLineEnd);
  Write("{\\colortbl ");
  for (int32_t i = 0; i < FColorCount; ++i) {
    const uint32_t rgb = ColorToRGB(FColors[size_t(i)]);
    Write("\\red", int32_t(rgb & 0xFF));
    Write("\\green", int32_t((rgb >> 8) & 0xFF));
    Write("\\blue", int32_t((rgb >> 16) & 0xFF));
    Write(";");
  }
  Write("}");
  Write(kLineEnd);
  Write("\\ud\\uc1");
  ResetParagraph();
}

void TRtfRichEditWriter::EndDocument() {
  Write(kLineEnd);
  Write("\\f0");
  Write("\\fs", 2 * FCurrent.Size);
  Write("\\cf0");
  Write(kLineEnd);
  Write("}");
  Write(kLineEnd);
  FTarget.LoadRtf(FOutput.View());
}

void TRtfRichEditWriter::SwitchTo(const TAttributes& to) {
  if (to.Size != FCurrent.Size) Write("\\fs", 2 * to.Size);
  if (to.ColorIndex != FCurrent.ColorIndex) Write("\\cf", to.ColorIndex);
  if (to.Bold != FCurrent.Bold) Write(to.Bold ? "\\b" : "\\b0");
  if (to.Italic != FCurrent.Italic) Write(to.Italic ? "\\i" : "\\i0");
  if (to.Underline != FCurrent.Underline) Write(to.Underline ? "\\ul" : "\\ulnone");
  FCurrent = to;
}

void TRtfRichEditWriter::OpenStyle(int32_t style) {
  if (FOpenCount == MaxOpenStyles) RaiseHelpedError("SInvalidTagEmbedding", "Invalid embedding of tags");
  FOpen[size_t(FOpenCount++)] = FCurrent;
  SwitchTo(FStyles[size_t(style)]);
}

void TRtfRichEditWriter::CloseStyle() {
  if (FOpenCount == 0) RaiseHelpedError("SAbsentStartTag", "Matched start tag is absent");
  SwitchTo(FOpen[size_t(--FOpenCount)]);
}

void TRtfRichEditWriter::OpenEnumeration(int32_t level) {
  if (level < 1 || level > 3) level = 1;
  const int32_t width = 40 * FBaseSize;  // twips
  Write("\\fi", -width);
  Write("\\li", level * width);
  Write("\\tx", level * width);
  OpenStyle(kEnumerationStyle);
}

void TRtfRichEditWriter::WriteChar(char16_t c) {
  if (ArticleMode() && c == u'_') c = 0x00A0;
  Write("\\u", int32_t(c));
  FOutput.AppendByte('?');
}

void TRtfRichEditWriter::WriteSpecialChar(char16_t c) {
  // By the font position, 61248 below the character, as rich-edit controls
  // and word processors that know only 8-bit fonts find the glyph; ReadRtf
  // gives the character back.
  Write("\\f1");
  Write("\\u", int32_t(c) - (kSpecialCharFirst - kSpecialFontFirstPosition));
  Write("?\\f0");
}

void TRtfRichEditWriter::WriteKeyword(std::u16string_view keyword) {
  if (keyword.empty()) return;
  switch (FOptions.AbbrExpansion()) {
    case aeDefault:
      WriteChar(keyword[0]);
      WriteChar(u'.');
      break;
    case aeFull:
      WriteText(keyword);
      break;
    case aeSub:
      WriteChar(keyword[0]);
      Write("\\sub");
      WriteText(keyword.substr(1));
      Write("\\nosupersub");
      break;
  }
}

void TRtfRichEditWriter::EndParagraph() {
  Write("\\par");
  Write(kLineEnd);
  ResetParagraph();
}

void TRtfRichEditWriter::WriteColored(int32_t colorIndex, std::u16string_view text) {
  if (colorIndex == FCurrent.ColorIndex) {
    WriteText(text);
    return;
  }
  Write("\\cf", colorIndex);
  WriteText(text);
  Write("\\cf", FCurrent.ColorIndex);
}

void TRtfRichEditWriter::WriteTagText(std::u16string_view text) { WriteColored(FStyles[kTagStyle].ColorIndex, text); }

void TRtfRichEditWriter::WriteTranslationText(std::u16string_view text) {
  WriteColored(FStyles[kTranslationStyle].ColorIndex, text);
}
