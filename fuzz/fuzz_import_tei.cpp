// The TEI importer on any bytes.
#include "ImportFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzImport(data, size, TImportFormat::Tei, "ancientgreek", "tei");
}
