#pragma once
// What the core asks of a Unicode rich-text edit control. The window layer's
// control implements it; the core renders into it and inserts text through
// it. Positions and lengths count UTF-16 units.
#include <cstdint>
#include <string>
#include <string_view>

class TKezAbstractRichEdit {
public:
  virtual ~TKezAbstractRichEdit() = default;

  // Content.
  virtual std::u16string Text() const = 0;
  virtual void SetText(std::u16string_view text) = 0;
  virtual int32_t TextLength() const = 0;
  virtual char16_t CharAt(int32_t position) const = 0;
  // The range may be given in either order.
  virtual std::u16string TextRange(int32_t start, int32_t end) const = 0;
  // The word containing the position, by the control's word-break rule.
  virtual void WordRange(int32_t position, int32_t& start, int32_t& end) const = 0;

  // Selection; the caret is where typing goes.
  virtual void GetSelection(int32_t& start, int32_t& end) const = 0;
  virtual void SetSelection(int32_t start, int32_t end) = 0;
  virtual int32_t CaretPosition() const = 0;
  int32_t SelectionLength() const;
  bool HasSelection() const { return SelectionLength() > 0; }
  void SelectAll() { SetSelection(0, TextLength()); }

  // Insertion: plain text, or an RTF fragment with \u escapes and "?"
  // fallbacks. An insertion that would pass the maximum length is refused.
  virtual void ReplaceSelection(std::u16string_view text) = 0;
  virtual void ReplaceSelectionRtf(std::string_view fragment) = 0;
  // Replaces the whole content with an RTF document.
  virtual void LoadRtf(std::string_view document) = 0;

  // Face name of the font at the selection.
  virtual std::string SelectionFontName() const = 0;
};

// Replaces the selection with the text as an RTF fragment, so that every
// unit keeps its code point whatever the control's code page.
void InsertUnicodeText(TKezAbstractRichEdit& edit, std::u16string_view text);
// The fragment InsertUnicodeText inserts.
std::string UnicodeTextFragment(std::u16string_view text);

// Inserts a word at the caret so that it stands apart from its neighbours;
// a selection is replaced by the word as it is.
void InsertWord(TKezAbstractRichEdit& edit, std::u16string_view text);
