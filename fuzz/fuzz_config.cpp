// Bytes in as a language folder's dictionaries.cfg: parse it, then load the
// set it names from a folder holding a main and a form dictionary (the
// names may be anything: other files, paths, the same file in other cases).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "dictionary/uDictionary.h"
#include "options/uOptions.h"
#include "source/uSourceDictionary.h"

namespace {
std::string Folder() {
  static const std::string folder = [] {
    const std::string path = "/dev/shm/kodra-fuzz-config-" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(path);
    // Two small dictionaries compiled once.
    const std::u16string sources[] = {
        u"<header>\r\ncaption=M\r\ncomment=c\r\nkind=main\r\nlanguage=latin\r\n</header>\r\n#amo\r\nlove\r\n#te\r\nyou\r\n",
        u"<header>\r\ncaption=F\r\ncomment=c\r\nkind=form\r\nlanguage=latin\r\n</header>\r\n#amas\r\namo\r\n"};
    const char* names[] = {"main", "Forms"};
    for (int i = 0; i < 2; ++i) {
      const std::string source = path + names[i] + ".kds";
      if (FILE* file = std::fopen(source.c_str(), "wb")) {
        std::fwrite(sources[i].data(), 2, sources[i].size(), file);
        std::fclose(file);
      }
      TSourceDictionary dictionary(FindLanguage("latin"));
      dictionary.LoadFromFile(source);
      dictionary.Compile(path + names[i] + ".kdb");
    }
    return path;
  }();
  return folder;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> names = ParseDictionaryConfiguration(text);
  if (names.size() > kMaxConfiguredDictionaries) __builtin_trap();
  const std::string folder = Folder();
  if (FILE* file = std::fopen((folder + "dictionaries.cfg").c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  static TOptions options;
  TDictionary set(FindLanguage("latin"), folder, &options);
  set.SetReadOnly(true);  // the file stays as the fuzzer wrote it
  set.LoadDictionaries(true);
  set.LocateKeyword(u"amas");
  if (set.KeywordCount() > 3) __builtin_trap();
  return 0;
}
