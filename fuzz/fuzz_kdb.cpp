// Bytes in, load as a compiled dictionary, walk every accessor.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "dictionary/uBinaryDictionary.h"

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
  for (int32_t i = 0; i < dictionary.ArticleCount(); ++i)
    total += std::char_traits<char16_t>::length(dictionary.GetKeyword(i)) +
             std::char_traits<char16_t>::length(dictionary.GetArticle(i));
  return total == size_t(-1);
}
