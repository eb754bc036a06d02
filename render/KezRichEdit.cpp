#include "render/KezRichEdit.h"

#include <cstdlib>

#include "foundation/KezBuffer.h"

int32_t TKezAbstractRichEdit::SelectionLength() const {
  int32_t start = 0, end = 0;
  GetSelection(start, end);
  return std::abs(end - start);
}

std::string UnicodeTextFragment(std::u16string_view text) {
  TKezCharBuffer buffer(4096);
  buffer.AppendAnsi("{\\rtf1\\ansi\\ud\\uc1");
  for (char16_t c : text) {
    buffer.AppendAnsi("\\u");
    buffer.AppendAnsi(std::to_string(uint32_t(c)));
    buffer.AppendByte('?');
  }
  buffer.AppendByte('}');
  return std::string(buffer.View());
}

void InsertUnicodeText(TKezAbstractRichEdit& edit, std::u16string_view text) {
  edit.ReplaceSelectionRtf(UnicodeTextFragment(text));
}

void InsertWord(TKezAbstractRichEdit& edit, std::u16string_view text) {
  if (text.empty()) return;
  std::u16string word(text);
  bool stepBack = false;
  const int32_t length = edit.TextLength();
  if (!edit.HasSelection() && length > 0) {
    const int32_t caret = edit.CaretPosition();
    auto solid = [&](int32_t position) { return edit.CharAt(position) > 0x20; };
    if (caret <= 0) {
      if (solid(0)) {
        word += u' ';
        stepBack = true;
      }
    } else if (caret < length) {
      if (solid(caret - 1)) word.insert(word.begin(), u' ');
      if (solid(caret)) {
        word += u' ';
        stepBack = true;
      }
    } else if (solid(length - 1)) {
      word.insert(word.begin(), u' ');
    }
  }
  InsertUnicodeText(edit, word);
  // The caret goes before the appended space, unless the control refused the text.
  if (stepBack && edit.TextLength() > length) {
    const int32_t caret = edit.CaretPosition();
    edit.SetSelection(caret - 1, caret - 1);
  }
}
