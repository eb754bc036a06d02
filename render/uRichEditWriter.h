#pragma once
// Renders an article into one RTF document and loads it into a rich-edit
// control. Every character goes out as a \u escape, so the document is
// 7-bit ASCII whatever the language, and a control word is written only
// when an attribute actually changes.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/KezBuffer.h"
#include "foundation/KezColor.h"
#include "options/uOptions.h"
#include "render/KezRichEdit.h"
#include "render/uArticleWriter.h"

class TRtfRichEditWriter : public TArticleWriter {
public:
  static constexpr int32_t MaxOpenStyles = 9;

  // Neither the target nor the language is owned. Styles are read from the
  // options at every BeginDocument.
  TRtfRichEditWriter(TKezAbstractRichEdit& target, const TKodraLanguage* language,
                     const TOptions& options = Options());

  void BeginDocument() override;
  void EndDocument() override;
  void OpenCaption() override { OpenStyle(1); }
  void OpenHeader() override { OpenStyle(2); }
  void OpenMark() override { OpenStyle(3); }
  void OpenAuthor() override { OpenStyle(4); }
  void OpenEnumeration(int32_t level) override;
  void OpenComment() override { OpenStyle(6); }
  void OpenExample() override { OpenStyle(7); }
  // Raises SAbsentStartTag when nothing is open.
  void CloseStyle() override;
  void WriteChar(char16_t c) override;
  void WriteSpecialChar(char16_t c) override;
  void WriteKeyword(std::u16string_view keyword) override;
  void EndParagraph() override;
  void WriteTagText(std::u16string_view text) override;
  void WriteTranslationText(std::u16string_view text) override;

  // The document as built so far.
  std::string_view Document() const { return FOutput.View(); }

private:
  struct TAttributes {
    int32_t Size = 0;  // points
    int32_t ColorIndex = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
  };

  // Raises SInvalidTagEmbedding when nine styles are open already.
  void OpenStyle(int32_t style);
  void SwitchTo(const TAttributes& attributes);
  void ResetParagraph();
  void WriteColored(int32_t colorIndex, std::u16string_view text);
  void BuildStyles();
  void AppendFaceName();
  void Write(std::string_view text) { FOutput.AppendAnsi(text); }
  void Write(std::string_view controlWord, int32_t number);

  TKezAbstractRichEdit& FTarget;
  std::string FFaceName;
  int32_t FBaseSize = 0;
  std::array<TAttributes, 10> FStyles{};
  std::array<TColor, 10> FColors{};  // the colour table, without repetition
  int32_t FColorCount = 0;
  TAttributes FCurrent;
  std::array<TAttributes, MaxOpenStyles> FOpen{};
  int32_t FOpenCount = 0;
  TKezCharBuffer FOutput{1024};
};
