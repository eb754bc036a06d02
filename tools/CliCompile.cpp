// kodra-cli compile: verify a source dictionary, then compile it.
#include <chrono>
#include <filesystem>
#include <iomanip>
#include <iostream>

#include "source/uSourceCompiler.h"
#include "source/uSourceDictionary.h"
#include "tools/CliCommands.h"
#include "tools/CliJson.h"
#include "tools/CliOptions.h"
#include "tools/CliSource.h"

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
  TSourceDictionary dictionary(FindLanguage(DefaultLanguageId()));
  const auto started = std::chrono::steady_clock::now();
  const TVerifyReport report = LoadAndVerify(source, dictionary);
  if (!report.Ok) {
    PrintVerifyReport(source, dictionary, report, json);
    return 1;
  }
  dictionary.Compile(target);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const auto bytes = int64_t(std::filesystem::file_size(target));
  const int32_t abbreviations = dictionary.Part(spMarks).Count() + dictionary.Part(spAuthors).Count();
  if (json) {
    TJsonWriter writer(std::cout);
    writer.BeginObject()
        .Field("file", source)
        .Field("ok", true)
        .Field("output", target)
        .Field("articles", dictionary.ArticleCount())
        .Field("abbreviations", abbreviations)
        .Field("bytes", bytes)
        .Field("milliseconds", int64_t(seconds * 1000 + 0.5))
        .EndObject();
    std::cout << '\n';
  } else {
    std::cout << "Compiled " << dictionary.ArticleCount() << " articles and " << abbreviations
              << " abbreviations into " << target << " (" << bytes << " bytes) in " << std::fixed
              << std::setprecision(3) << seconds << " s\n";
  }
  return 0;
}
