// Bytes in as the clipboard's rich text, out through the Greek font tables:
// the conversion that a paste runs, with a legacy font's table in place.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "foundation/KezProgramFolder.h"
#include "language/uLanguage.h"
#include "language/uPasteConversion.h"
#include "render/uRtfReader.h"

namespace {

// A program folder whose Greek folder has a table for the face "Legacy"
// with single bytes, sequences and heads that lead nowhere.
const TKodraLanguage& Greek() {
  static const TKodraLanguage* greek = [] {
    char pattern[] = "/tmp/kodra-fuzz-paste-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    const std::string languageFolder = folder + "/ancientgreek";
    std::filesystem::create_directories(languageFolder);
    std::ofstream(languageFolder + "/legacy.fnt", std::ios::binary)
        << "#A1\r\n61=03B1\r\n61,2F=1F71\r\n61,29,2F=1F04\r\n71,72,73=03B8\r\n1F=037E\r\n";
    SetProgramFolder(folder);
    return FindLanguage("ancientgreek");
  }();
  return *greek;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TKodraLanguage& greek = Greek();
  TRtfTextSource source(ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size)));
  const int32_t length = source.Length();
  int32_t steps = 0;
  const std::u16string text = ConvertPastedText(greek, source, 0, [&steps] { return ++steps < 3; });
  // Every character read gives at most one; nothing is invented.
  if (int32_t(text.size()) > length) __builtin_trap();
  return 0;
}
