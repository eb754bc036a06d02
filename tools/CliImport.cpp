// kodra-cli import: a dictionary in DSL, XDXF or TEI becomes a source dictionary.
#include <chrono>
#include <iomanip>
#include <iostream>
#include <map>
#include <stdexcept>

#include "foundation/KezText.h"
#include "language/uLanguage.h"
#include "source/import/uImportDictionary.h"
#include "tools/CliCommands.h"
#include "tools/CliOptions.h"

namespace {
// Skipped items beyond this many are counted, not listed.
constexpr size_t kListedSkips = 200;

void PrintReport(const TImportReport& report, const std::string& target, double seconds) {
  std::cout << "Imported " << report.Entries << " entries into " << target << " in " << std::fixed
            << std::setprecision(3) << seconds << " s\n"
            << "  articles written: " << report.Articles << " (" << report.References
            << " of them references to an entry's first headword)\n"
            << "  headwords merged: " << report.Merged << '\n'
            << "  marks: " << report.Marks << ", authors: " << report.Authors << '\n';
  if (report.Replaced > 0)
    std::cout << "  characters replaced by U+FFFD (outside the Basic Multilingual Plane, controls, malformed): "
              << report.Replaced << ", the first at line " << report.FirstReplacedLine << '\n';
  std::cout << "  items skipped: " << report.Skipped.size() << '\n';
  for (size_t i = 0; i < report.Skipped.size() && i < kListedSkips; ++i) {
    const TImportSkip& skip = report.Skipped[i];
    std::cout << "    line " << skip.Line << ": " << skip.What << ": " << skip.Reason << '\n';
  }
  if (report.Skipped.size() > kListedSkips)
    std::cout << "    ... and " << report.Skipped.size() - kListedSkips << " more\n";
  if (report.Skipped.size() > 1) {
    // The reason without the detail in parentheses.
    std::map<std::string, int32_t> byReason;
    for (const TImportSkip& skip : report.Skipped) ++byReason[skip.Reason.substr(0, skip.Reason.find(" ("))];
    std::cout << "  skipped, by reason:\n";
    for (const auto& [reason, count] : byReason) std::cout << "    " << count << ": " << reason << '\n';
  }
  if (!report.UnmappedTags.empty()) {
    std::cout << "  tags not mapped (their text kept):\n";
    for (const auto& [tag, count] : report.UnmappedTags) std::cout << "    " << tag << ": " << count << '\n';
  }
}
}  // namespace

int RunImport(const std::vector<std::string>& args) {
  const TCliArguments parsed =
      ParseCliArguments(args, {}, {"--from", "--language", "--kind", "--caption", "-o", "--output"});
  if (parsed.Positional.size() != 1) {
    std::cerr << "kodra-cli: expected one input file\n";
    return 2;
  }
  TImportOptions options;
  if (!ParseImportFormat(parsed.Value("--from"), options.Format))
    throw std::invalid_argument("--from takes dsl, xdxf or tei");
  options.LanguageId = parsed.Value("--language");
  if (options.LanguageId.empty() || !LanguageExists(options.LanguageId))
    throw std::invalid_argument("--language takes ancientgreek or latin");
  options.LanguageId = FindLanguage(options.LanguageId)->GetId();
  options.Kind = parsed.Value("--kind", "main");
  if (options.Kind != "main" && options.Kind != "form" && options.Kind != "user" && options.Kind != "other")
    throw std::invalid_argument("--kind takes main, form, user or other");
  options.Caption = FromUtf8(parsed.Value("--caption"));
  const std::string input = parsed.Positional[0];
  options.SourceName = input;
  const std::string target = parsed.Value("-o", parsed.Value("--output", ImportTargetName(input)));

  TImportReport report;
  const auto started = std::chrono::steady_clock::now();
  ImportDictionaryFile(input, target, options, report,
                       [](int32_t entries) { std::cerr << "  " << entries << " entries read\n"; });
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  PrintReport(report, target, seconds);
  return 0;
}
