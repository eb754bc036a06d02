// Bytes in, read as the header of a compiled dictionary, as the
// dictionaries manager does for every file of a folder.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "dictionary/uBinaryDictionaryHeader.h"

namespace {
// One file per process in memory, removed when the run ends.
struct TScratchFile {
  const std::string Path = "/dev/shm/kodra-fuzz-kdbheader-" + std::to_string(getpid()) + ".kdb";
  ~TScratchFile() { std::remove(Path.c_str()); }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TScratchFile scratch;
  FILE* file = std::fopen(scratch.Path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  TBinaryDictionaryHeader header;
  if (ReadHeader(scratch.Path, header)) {
    volatile size_t total = header.Caption.size() + header.Comment.size();
    (void)total;
  }
  return 0;
}
