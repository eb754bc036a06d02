// Bytes in, read as a pop-up help text file. Every text kept is clean: not
// empty, no control characters but tabs and line breaks, no blanks at line
// ends, no empty line at either end nor two in a row, no lone surrogates, no
// line that reads as a topic line. Written back in the file format, the
// topics read the same. The bytes are also looked up as a message identifier.
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/KezText.h"
#include "viewer/help/uHelpTexts.h"

namespace {
void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

void CheckLine(std::u16string_view line) {
  Check(!line.empty());
  Check(!IsBlank(line.back()));
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  std::u16string start(line.substr(i, 6));
  for (char16_t& c : start)
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
  Check(start != u".topic");
}

void CheckText(const std::u16string& text) {
  Check(!text.empty());
  size_t lineStart = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size()) {
      const char16_t c = text[i];
      Check(c >= 0x20 || c == u'\t' || c == u'\n');
      Check(!(c >= 0x7F && c < 0xA0) && c != 0xFEFF);
      if (c >= 0xD800 && c <= 0xDBFF) {
        Check(i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF);
        ++i;
        continue;
      }
      Check(!(c >= 0xDC00 && c <= 0xDFFF));
      if (c != u'\n') continue;
    }
    const std::u16string_view line(text.data() + lineStart, i - lineStart);
    // One empty line may stand between two text lines.
    if (line.empty()) Check(lineStart > 0 && i < text.size() && text[i + 1] != u'\n');
    else CheckLine(line);
    lineStart = i + 1;
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const THelpTexts texts = ParseHelpTexts(bytes);
  std::string written;
  for (const auto& [topic, text] : texts) {
    Check(topic >= 0 && topic < 1000000000);
    CheckText(text);
    written += ".topic " + std::to_string(topic) + "\r\n" + ToUtf8(text) + "\n";
  }
  if (written.size() <= kHelpTextsLimit) Check(ParseHelpTexts(written) == texts);
  const int32_t error = ErrorHelpTopic(bytes);
  Check(error == 0 || (error >= kFirstErrorTopic && error <= kLastErrorTopic));
  return 0;
}
