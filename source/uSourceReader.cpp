#include "source/uSourceReader.h"

#include <cerrno>
#include <cstdio>
#include <limits>
#include <new>

#include "foundation/KezSystemError.h"
#include "language/uCommon.h"

void CheckSourceUnits(std::u16string_view text) {
  size_t line = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0x20 || c == u'\t') continue;
    if (c == u'\r' || c == u'\n') {
      const char16_t pair = c == u'\r' ? u'\n' : u'\r';
      if (i + 1 < text.size() && text[i + 1] == pair) ++i;
      ++line;
      continue;
    }
    char code[8];
    std::snprintf(code, sizeof code, "%04X", unsigned(c));
    RaiseHelpedError("SControlChar", "Invalid character U+%s in line %s", {code, std::to_string(line)});
  }
}

void TSourceDictionaryReader::Open(const std::string& fileName) {
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) RaiseSystemError(errno, fileName);
  struct TCloser {
    std::FILE* File;
    ~TCloser() { std::fclose(File); }
  } closer{file};
  if (std::fseek(file, 0, SEEK_END) != 0) RaiseSystemError(errno, fileName);
  const long size = std::ftell(file);
  if (size < 0) RaiseSystemError(errno, fileName);
  std::rewind(file);
  if (size % 2 != 0) RaiseHelpedError("SCorruptFile", "Corrupt or inappropriate dictionary file");
  const size_t units = size_t(size) / 2;
  if (units >= std::numeric_limits<int32_t>::max()) RaiseHelpedError("SFileTooLong", "Not enough memory. File too long");
  try {
    FImage.reset(new char16_t[units + 1]);
  } catch (const std::bad_alloc&) {
    RaiseHelpedError("SFileTooLong", "Not enough memory. File too long");
  }
  if (units > 0) {
    const size_t read = std::fread(FImage.get(), 2, units, file);
    if (read < units) {
      if (std::ferror(file)) RaiseSystemError(errno ? errno : EIO, fileName);
      RaiseHelpedError("SCantReadFile", "The system cannot read from the specified file");
    }
  }
  FImage[units] = 0;
  CheckSourceUnits(std::u16string_view(FImage.get(), units));
  FNext = FImage.get();
  FLine = nullptr;
  FPushedBack = false;
}

void TSourceDictionaryReader::OpenText(char16_t* text, size_t length) {
  CheckSourceUnits(std::u16string_view(text, length));
  FImage.reset();
  FNext = text;
  FLine = nullptr;
  FPushedBack = false;
}

char16_t* TSourceDictionaryReader::NextLine() {
  if (FPushedBack) {
    FPushedBack = false;
    return FLine;
  }
  char16_t* const start = FNext;
  char16_t* p = start;
  while (*p >= 0x20 || *p == u'\t') ++p;
  if (*p == 0) {
    FNext = p;
    FLine = p == start ? nullptr : start;
    return FLine;
  }
  const char16_t lineBreak = *p;
  *p++ = 0;
  if ((lineBreak == u'\r' && *p == u'\n') || (lineBreak == u'\n' && *p == u'\r')) ++p;
  FNext = p;
  FLine = start;
  return FLine;
}
