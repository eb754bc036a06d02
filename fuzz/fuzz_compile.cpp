// Bytes in, loaded as a source dictionary; one that verifies is compiled, and
// what the compiler writes must load and say what the source says: header,
// keywords, bodies and abbreviations. A compilation may refuse with a clear
// error, and then leaves no file. The compiler that reads the file article by
// article takes no source that loading or verification rejects, and writes
// the same bytes for one it takes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "dictionary/uBinaryDictionary.h"
#include "foundation/KezFiles.h"
#include "language/uLanguage.h"
#include "source/uCompiledBody.h"
#include "source/uSourceDictionary.h"
#include "source/uSourceStreamCompiler.h"

namespace {
std::u16string NoBreak(std::u16string_view text) {
  std::u16string result(text);
  for (char16_t& c : result)
    if (c == u'_') c = 0x00A0;
  return result;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string base = "/dev/shm/kodra-fuzz-compile-" + std::to_string(getpid());
  static const std::string input = base + ".kds", target = base + ".kdb", streamTarget = base + ".stream.kdb";
  FILE* file = std::fopen(input.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::remove(target.c_str());
  std::remove(streamTarget.c_str());

  bool streamed = false, streamRefused = false;
  try {
    TSourceStreamCompiler streaming(FindLanguage("ancientgreek"), {7, 64, 3});
    streamed = streaming.Compile(input, streamTarget);
  } catch (const THelpedException&) {
    streamRefused = true;
  }
  Check(streamed == std::filesystem::exists(streamTarget));

  TSourceDictionary source(FindLanguage("ancientgreek"));
  try {
    source.LoadFromFile(input);
    source.Verify();
  } catch (const std::exception&) {
    Check(!streamed && !streamRefused);
    return 0;
  }
  try {
    source.Compile(target);
  } catch (const THelpedException&) {
    Check(!std::filesystem::exists(target) && !std::filesystem::exists(target + ".compiling"));
    Check(!streamed);
    return 0;
  }
  Check(!streamRefused);
  if (streamed) {
    std::string compiledBytes, streamedBytes;
    Check(ReadSmallFile(target, size_t(1) << 30, compiledBytes));
    Check(ReadSmallFile(streamTarget, size_t(1) << 30, streamedBytes));
    Check(compiledBytes == streamedBytes);
  }

  TBinaryDictionary compiled;
  compiled.LoadFromFile(target);  // a failure escapes and is reported
  Check(std::u16string_view(compiled.Caption()) == source.Caption());
  Check(std::u16string_view(compiled.LanguageId()) == source.Part(spHeader).Value(u"language"));
  Check(compiled.Kind() == source.Kind());
  Check(compiled.ArticleCount() == source.ArticleCount());
  for (int32_t i = 0; i < source.ArticleCount(); ++i) {
    Check(std::u16string_view(compiled.GetKeyword(i)) == source.Keyword(i));
    const std::u16string text(source.ArticleText(i));
    Check(std::u16string_view(compiled.GetArticle(i)) == CompiledBodyText(text.c_str()));
  }
  const int32_t marks = source.Part(spMarks).Count(), authors = source.Part(spAuthors).Count();
  Check(compiled.AbbreviationCount() == marks + authors);
  for (int32_t i = 0; i < marks + authors; ++i) {
    const TSourceRecord& record =
        i < marks ? source.Part(spMarks).Record(i) : source.Part(spAuthors).Record(i - marks);
    Check(std::u16string_view(compiled.GetAbbreviation(i)) == NoBreak(record.Name));
    Check(std::u16string_view(compiled.GetExplanation(i)) == NoBreak(record.Value));
  }
  return 0;
}
