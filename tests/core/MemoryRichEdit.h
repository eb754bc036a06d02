#pragma once
// A rich-edit control in memory: plain text with a selection, taking RTF by
// decoding its \u escapes and ignoring everything else.
#include <algorithm>
#include <string>

#include "render/KezRichEdit.h"

inline std::u16string DecodeUnicodeEscapes(std::string_view rtf) {
  std::u16string text;
  for (size_t i = 0; i + 2 < rtf.size(); ++i) {
    if (rtf[i] != '\\' || rtf[i + 1] != 'u') continue;
    size_t j = i + 2;
    const bool negative = rtf[j] == '-';
    if (negative) ++j;
    if (j >= rtf.size() || rtf[j] < '0' || rtf[j] > '9') continue;
    long value = 0;
    while (j < rtf.size() && rtf[j] >= '0' && rtf[j] <= '9') value = value * 10 + (rtf[j++] - '0');
    text += char16_t(negative ? -value : value);
    if (j < rtf.size() && rtf[j] == '?') ++j;
    i = j - 1;
  }
  return text;
}

class TMemoryRichEdit : public TKezAbstractRichEdit {
public:
  std::u16string Text() const override { return FText; }
  void SetText(std::u16string_view text) override {
    FText = text;
    FStart = FEnd = 0;
  }
  int32_t TextLength() const override { return int32_t(FText.size()); }
  char16_t CharAt(int32_t position) const override { return FText.at(size_t(position)); }
  std::u16string TextRange(int32_t start, int32_t end) const override {
    if (start > end) std::swap(start, end);
    return FText.substr(size_t(start), size_t(end - start));
  }
  void WordRange(int32_t position, int32_t& start, int32_t& end) const override {
    start = end = position;
    while (start > 0 && FText[size_t(start - 1)] > 0x20) --start;
    while (end < TextLength() && FText[size_t(end)] > 0x20) ++end;
  }
  void GetSelection(int32_t& start, int32_t& end) const override {
    start = FStart;
    end = FEnd;
  }
  void SetSelection(int32_t start, int32_t end) override {
    FStart = std::clamp(start, 0, TextLength());
    FEnd = std::clamp(end, 0, TextLength());
  }
  int32_t CaretPosition() const override { return FEnd; }
  void ReplaceSelection(std::u16string_view text) override {
    const int32_t start = std::min(FStart, FEnd), end = std::max(FStart, FEnd);
    if (MaxLength >= 0 && TextLength() - (end - start) + int32_t(text.size()) > MaxLength) {
      ++Beeps;
      return;
    }
    FText.replace(size_t(start), size_t(end - start), text);
    FStart = FEnd = start + int32_t(text.size());
  }
  void ReplaceSelectionRtf(std::string_view fragment) override {
    LastFragment = fragment;
    ReplaceSelection(DecodeUnicodeEscapes(fragment));
  }
  void LoadRtf(std::string_view document) override {
    Document = document;
    FText = DecodeUnicodeEscapes(document);
    FStart = FEnd = 0;
  }
  std::string SelectionFontName() const override { return "Tahoma"; }

  int32_t MaxLength = -1;  // none
  int32_t Beeps = 0;
  std::string LastFragment;
  std::string Document;

private:
  std::u16string FText;
  int32_t FStart = 0, FEnd = 0;
};
