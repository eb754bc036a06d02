// kodra-cli compile: verify a source dictionary, then compile it.
#include <chrono>
#include <filesystem>
#include <iomanip>
#include <iostream>

#include "source/uSourceCompiler.h"
#include "source/uSourceDictionary.h"
#include "source/uSourceStreamCompiler.h"
#include "tools/CliCommands.h"
#include "tools/CliJson.h"
#include "tools/CliOptions.h"
#include "tools/CliSource.h"

namespace {
// A sound source compiles without being held in memory; false leaves it to
// the in-memory path.
bool CompileStreaming(const std::string& source, const std::string& target, int32_t& articles,
                      int32_t& abbreviations) {
  TSourceStreamCompiler compiler(FindLanguage(DefaultLanguageId()));
  if (!compiler.Compile(source, target)) return false;
  articles = compiler.ArticleCount();
  abbreviations = compiler.AbbreviationCount();
  return true;
}
}  // namespace

int RunCompile(const std::vector<std::string>& args) {
  const TCliArguments parsed = ParseCliArguments(args, {"--json"}, {"-o", "--output"});
  if (parsed.Positional.size() != 1) {
    std::cerr << "kodra-cli: expected one source file\n";
    return 2;
  }
  const std::string source = parsed.Positional[0];
  const std::string target = parsed.Value("-o", parsed.Value("--output", CompiledFileName(source)));
  const bool json = parsed.Has("--json");
  CheckCompileTarget(source, target);
  const auto started = std::chrono::steady_clock::now();
  int32_t articles = 0, abbreviations = 0;
  if (!CompileStreaming(source, target, articles, abbreviations)) {
    // Faulty sources are loaded whole, for the first error at its place.
    TSourceDictionary dictionary(FindLanguage(DefaultLanguageId()));
    const TVerifyReport report = LoadAndVerify(source, dictionary);
    if (!report.Ok) {
      PrintVerifyReport(source, dictionary, report, json);
      return 1;
    }
    dictionary.Compile(target);
    articles = dictionary.ArticleCount();
    abbreviations = dictionary.Part(spMarks).Count() + dictionary.Part(spAuthors).Count();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const auto bytes = int64_t(std::filesystem::file_size(target));
  if (json) {
    TJsonWriter writer(std::cout);
    writer.BeginObject()
        .Field("file", source)
        .Field("ok", true)
        .Field("output", target)
        .Field("articles", articles)
        .Field("abbreviations", abbreviations)
        .Field("bytes", bytes)
        .Field("milliseconds", int64_t(seconds * 1000 + 0.5))
        .EndObject();
    std::cout << '\n';
  } else {
    std::cout << "Compiled " << articles << " articles and " << abbreviations
              << " abbreviations into " << target << " (" << bytes << " bytes) in " << std::fixed
              << std::setprecision(3) << seconds << " s\n";
  }
  return 0;
}
