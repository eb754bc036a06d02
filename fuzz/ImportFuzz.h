#pragma once
// Bytes in, import, load the source text and verify: whatever the input,
// the importer's output must verify and hold the articles it reports.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "language/uLanguage.h"
#include "source/import/uImportDictionary.h"
#include "source/uSourceDictionary.h"

inline int FuzzImport(const uint8_t* data, size_t size, TImportFormat format, const char* language, const char* name) {
  TImportOptions options;
  options.Format = format;
  options.LanguageId = language;
  TImportReport report;
  const std::u16string source =
      ImportToSource(std::string_view(reinterpret_cast<const char*>(data), size), options, report);
  static const std::string path = "/dev/shm/kodra-fuzz-" + std::string(name) + "-" + std::to_string(getpid()) + ".kds";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(source.data(), 2, source.size(), file);
  std::fclose(file);
  TSourceDictionary dictionary(FindLanguage(language));
  dictionary.LoadFromFile(path);  // raises, and so fails the run, on a file the reader refuses
  dictionary.Verify();            // likewise on a dictionary that does not verify
  if (dictionary.ArticleCount() != report.Articles) std::abort();
  return 0;
}
