// Bytes in, load as a compiled dictionary, walk every accessor. The
// comparisons made on the scrambled keywords must agree with the ones made
// on the unscrambled keywords.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "dictionary/uBinaryDictionary.h"
#include "language/uLanguage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/kodra-fuzz-kdb-" + std::to_string(getpid()) + ".kdb";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  TBinaryDictionary dictionary;
  try {
    dictionary.LoadFromFile(path);
  } catch (const std::exception&) {
    return 0;
  }
  size_t total = std::char_traits<char16_t>::length(dictionary.Caption()) +
                 std::char_traits<char16_t>::length(dictionary.Comment()) +
                 std::char_traits<char16_t>::length(dictionary.LanguageId());
  for (int32_t i = 0; i < dictionary.AbbreviationCount(); ++i)
    total += std::char_traits<char16_t>::length(dictionary.GetAbbreviation(i)) +
             std::char_traits<char16_t>::length(dictionary.GetExplanation(i));
  const TKodraLanguage& language = *FindLanguage(size % 2 ? "ancientgreek" : "latin");
  auto sign = [](int r) { return (r > 0) - (r < 0); };
  bool ascending = true;
  std::u16string read;
  for (int32_t i = 0; i < dictionary.ArticleCount(); ++i) {
    const char16_t* keyword = dictionary.GetKeyword(i);
    dictionary.ReadKeyword(i, read);
    if (read != keyword) __builtin_trap();
    if (dictionary.CompareKeyword(i, TScrambledKeyword(keyword), language) != 0) __builtin_trap();
    if (i > 0) {
      const int order = language.CompareKeywordText(dictionary.GetKeyword(i - 1), keyword);
      if (sign(dictionary.CompareKeyword(i - 1, TScrambledKeyword(keyword), language)) != sign(order)) __builtin_trap();
      ascending = ascending && order < 0;
    }
    total += std::char_traits<char16_t>::length(keyword) + std::char_traits<char16_t>::length(dictionary.GetArticle(i));
  }
  if (dictionary.KeywordsAscend(language) != ascending) __builtin_trap();
  return total == size_t(-1);
}
