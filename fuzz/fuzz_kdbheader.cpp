// Bytes in, read as the header of a compiled dictionary, as the
// dictionaries manager does for every file of a folder.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "dictionary/uBinaryDictionaryHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/kodra-fuzz-kdbheader-" + std::to_string(getpid()) + ".kdb";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  TBinaryDictionaryHeader header;
  if (ReadHeader(path, header)) {
    volatile size_t total = header.Caption.size() + header.Comment.size();
    (void)total;
  }
  return 0;
}
