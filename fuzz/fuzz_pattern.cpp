// Bytes in as UTF-16 units, parsed as a full-text search pattern in both
// languages: at most four words, none empty, and no "any word" first or last.
#include <cstdint>
#include <string>

#include "dictionary/uDictionary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text += char16_t(data[i] | (data[i + 1] << 8));
  static TKodraLanguage* const languages[] = {FindLanguage("ancientgreek"), FindLanguage("latin")};
  for (TKodraLanguage* language : languages) {
    const std::vector<TDictionarySearchWord> words = ParseSearchText(text, *language);
    if (words.size() > 4) __builtin_trap();
    if (!words.empty() && (words.front().Mode == smAny || words.back().Mode == smAny)) __builtin_trap();
    for (const TDictionarySearchWord& word : words)
      if (word.Pattern.empty() || word.Mode > smInfix) __builtin_trap();
  }
  return 0;
}
