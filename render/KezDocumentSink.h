#pragma once
// A rich-edit target that only keeps the document it is given: for rendering
// to RTF without a window (the command line, benchmarks).
#include <string>

#include "render/KezRichEdit.h"

class TKezDocumentSink : public TKezAbstractRichEdit {
public:
  std::u16string Text() const override { return {}; }
  void SetText(std::u16string_view) override {}
  int32_t TextLength() const override { return 0; }
  char16_t CharAt(int32_t) const override { return 0; }
  std::u16string TextRange(int32_t, int32_t) const override { return {}; }
  void WordRange(int32_t position, int32_t& start, int32_t& end) const override { start = end = position; }
  void GetSelection(int32_t& start, int32_t& end) const override { start = end = 0; }
  void SetSelection(int32_t, int32_t) override {}
  int32_t CaretPosition() const override { return 0; }
  void ReplaceSelection(std::u16string_view) override {}
  void ReplaceSelectionRtf(std::string_view) override {}
  void LoadRtf(std::string_view document) override { Document = document; }
  std::string SelectionFontName() const override { return {}; }

  std::string Document;
};
