// Bytes in, read as RTF, walk the whole document model.
#include <cstdint>
#include <string_view>

#include "render/uRtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TRtfDocument document = ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size));
  size_t total = 0;
  for (const TRtfParagraph& paragraph : document.Paragraphs) {
    total += paragraph.TabStops.size();
    for (const TRtfRun& run : paragraph.Runs) {
      if (run.Text.empty()) __builtin_trap();  // runs always carry text
      total += run.Text.size() + run.Format.FaceName.size();
      // The special characters' face gives characters, never its font positions.
      if (run.Format.FaceName == kSpecialFontFace)
        for (char16_t c : run.Text)
          if (c >= kSpecialFontFirstPosition && c - kSpecialFontFirstPosition < kSpecialCharCount) __builtin_trap();
    }
  }
  TRtfFacedText faced = document.FacedText();
  if (faced.FaceNames.size() != faced.Text.size() || faced.Text != document.PlainText())
    __builtin_trap();
  return total == size_t(-1);
}
