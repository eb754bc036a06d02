#pragma once
// The rendering calls into which callers translate article mark-up: open a
// style, write characters, close the style, end the paragraph. One article
// can go to rich text for a window or to plain text for a terminal through
// the same calls.
#include <cstdint>
#include <string_view>

class TKodraLanguage;
class TOptions;

// The tag units of an article body (1 to 14: header, mark, author, the
// three enumeration levels and the closing units, comment, example).
bool IsTagUnit(char16_t unit);

class TArticleWriter {
public:
  explicit TArticleWriter(const TOptions& options) : FOptions(options) {}
  virtual ~TArticleWriter() = default;
  TArticleWriter(const TArticleWriter&) = delete;
  TArticleWriter& operator=(const TArticleWriter&) = delete;

  // The language of the text; not owned. The output does not depend on it.
  const TKodraLanguage* Language() const { return FLanguage; }
  void SetLanguage(const TKodraLanguage* language) { FLanguage = language; }
  // True when an article is rendered for reading, false for source text in
  // the editor. Set before BeginDocument.
  bool ArticleMode() const { return FArticleMode; }
  void SetArticleMode(bool value) { FArticleMode = value; }

  // Callers end every begun document, also after an error, so that what was
  // written up to it is shown.
  virtual void BeginDocument() = 0;
  virtual void EndDocument() = 0;

  virtual void OpenCaption() = 0;
  virtual void OpenHeader() = 0;
  virtual void OpenMark() = 0;
  virtual void OpenAuthor() = 0;
  // Level 1 to 3; anything else counts as 1. The caller writes a tab
  // between the item's label and its text.
  virtual void OpenEnumeration(int32_t level) = 0;
  virtual void OpenComment() = 0;
  virtual void OpenExample() = 0;
  virtual void CloseStyle() = 0;

  virtual void WriteChar(char16_t c) = 0;
  virtual void WriteText(std::u16string_view text);
  // A glyph of the special-character font (U+F000 and above).
  virtual void WriteSpecialChar(char16_t c) = 0;
  // The article's own keyword where the text holds "~", shown as the
  // options' AbbrExpansion says.
  virtual void WriteKeyword(std::u16string_view keyword) = 0;
  virtual void EndParagraph() = 0;
  // Opens the style of a tag unit, or closes the open one for a closing unit.
  void WriteTagUnit(char16_t unit);

  // Source text in the editor's tag and translation colours.
  virtual void WriteTagText(std::u16string_view text) { WriteText(text); }
  virtual void WriteTranslationText(std::u16string_view text) { WriteText(text); }

  // How many characters WriteKeyword shows; the full-text search places its
  // highlights by it.
  virtual int32_t ExpandedKeywordLength(std::u16string_view keyword) const;

protected:
  const TOptions& FOptions;

private:
  const TKodraLanguage* FLanguage = nullptr;
  bool FArticleMode = true;
};
