#include "dictionary/uBinaryDictionaryHeader.h"

#include "dictionary/uKeyStream.h"
#include "foundation/KezFiles.h"
#include "language/uLanguage.h"

namespace {
constexpr int32_t kHeaderBufferSize = 4096;

// One scrambled string, unit by unit from the first key word, up to its
// zero; false at the file's end.
bool ReadScrambled(IKezInFile& file, std::u16string& text) {
  const uint32_t* const key = KeyWords();
  text.clear();
  for (int k = 0;;) {
    const uint16_t unit = uint16_t(file.ReadWord() ^ (key[k] & 0xFFFF));
    if (file.Error()) return false;
    if (++k == kKeyWordCount) k = 0;
    if (unit == 0) return true;
    text += char16_t(unit);
  }
}
}  // namespace

bool ReadHeader(const std::string& fileName, TBinaryDictionaryHeader& header) {
  try {
    const std::shared_ptr<IKezInFile> file = NewKezInFile();
    file->Open(fileName, kHeaderBufferSize, true);
    const uint32_t signature = uint32_t(file->ReadInteger());
    const uint32_t version = uint32_t(file->ReadInteger());
    if (file->Error() || signature != kKdbSignature || version != kKdbVersion) return false;
    std::u16string strings[4];
    for (std::u16string& text : strings)
      if (!ReadScrambled(*file, text)) return false;
    header.Caption = std::move(strings[0]);
    header.Comment = std::move(strings[1]);
    header.Kind = DictionaryKindOf(strings[2]);
    std::string id;
    for (char16_t c : strings[3]) id += c < 0x80 ? char(c) : '?';
    header.Language = FindLanguage(id);
    return true;
  } catch (...) {
    return false;
  }
}
