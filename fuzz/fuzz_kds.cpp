// Bytes in, load as a source dictionary, verify, save, load again: no crash,
// no leak, and a dictionary that verified still verifies after the round trip.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "language/uLanguage.h"
#include "source/uSourceDictionary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string input = "/tmp/kodra-fuzz-kds-" + std::to_string(getpid()) + ".kds";
  static const std::string saved = "/tmp/kodra-fuzz-kds-" + std::to_string(getpid()) + "-saved.kds";
  FILE* file = std::fopen(input.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  TSourceDictionary dictionary(FindLanguage("ancientgreek"));
  try {
    dictionary.LoadFromFile(input);
  } catch (const std::exception&) {
    return 0;
  }
  bool verified = true;
  try {
    dictionary.Verify();
  } catch (const THelpedException&) {
    verified = false;
  }
  for (int32_t i = 0; i < dictionary.ArticleCount(); ++i) dictionary.Part(spArticles).GetText(i);
  dictionary.SetFileName(saved);
  dictionary.SaveToFile();

  TSourceDictionary again(FindLanguage("ancientgreek"));
  again.LoadFromFile(saved);
  if (again.ArticleCount() != dictionary.ArticleCount()) std::abort();
  if (verified) again.Verify();  // throws, and so fails the run, if the round trip broke it
  return 0;
}
