// Bytes in, read as an input-method table, then typed as keys: every typed
// character replaces at most the key's other units before the caret.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "language/uTyping.h"
#include "tests/core/MemoryRichEdit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TInputMethod method;
  method.Load(text);
  // The table's own bytes as typed characters; high bytes as Greek letters,
  // which a table of Greek letters composes.
  TMemoryRichEdit edit;
  for (size_t i = 0; i < std::min<size_t>(size, 256); ++i) {
    const uint8_t b = data[i];
    const char16_t c = b < 0x80 ? char16_t(b) : char16_t(0x0391 + (b & 0x3F));
    const int32_t before = edit.TextLength();
    const int32_t caret = edit.CaretPosition();
    const TComposition composition = method.Compose(edit.TextRange(std::max(caret - 6, 0), caret), c);
    if (composition.Replaced < 0 || composition.Replaced >= TInputMethod::MaxKeyLength ||
        composition.Replaced > caret)
      __builtin_trap();
    TypeChar(method, edit, c);
    if (edit.TextLength() != before + 1 - composition.Replaced) __builtin_trap();
  }
  return 0;
}
