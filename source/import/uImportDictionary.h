#pragma once
// Importers: dictionaries in outside formats (DSL, XDXF, TEI) become source
// dictionaries. Each format has its parser; they all write through one
// writer that makes keywords, escapes texts, keeps the tags nested as the
// verifier demands and joins repeated headwords.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

enum class TImportFormat : uint8_t { Dsl, Xdxf, Tei };

// "dsl", "xdxf" or "tei" (any case); false for anything else.
bool ParseImportFormat(std::string_view name, TImportFormat& format);

struct TImportOptions {
  TImportFormat Format = TImportFormat::Dsl;
  std::string LanguageId = "ancientgreek";
  std::string Kind = "main";  // main, form, user or other
  std::u16string Caption;     // empty: the input's own title
  std::string SourceName;     // the input's file name, for the comment
};

// Something of the input that did not become part of the dictionary.
struct TImportSkip {
  int32_t Line = 0;  // 1-based line of the input
  std::string What;
  std::string Reason;
};

struct TImportReport {
  int32_t Entries = 0;     // entries (cards, articles) read from the input
  int32_t Headwords = 0;   // headwords that became keywords
  int32_t Articles = 0;    // articles written
  int32_t References = 0;  // of them, "see" articles for the further headwords of an entry
  int32_t Merged = 0;      // headwords joined to an article of an equal keyword
  int32_t Marks = 0, Authors = 0;
  int32_t Replaced = 0;         // characters replaced by U+FFFD
  int32_t FirstReplacedLine = 0;
  std::vector<TImportSkip> Skipped;
  std::map<std::string, int32_t> UnmappedTags;  // by tag name, how often
};

// Called every 10,000 entries with the number read so far.
using TImportProgress = std::function<void(int32_t entries)>;

// The text of a source dictionary (UTF-16 with CR LF, in the saved layout)
// made from the bytes of an input file. Never raises for bad input: what
// cannot be read is reported and skipped.
std::u16string ImportToSource(std::string_view input, const TImportOptions& options, TImportReport& report,
                              const TImportProgress& progress = {});

// Reads the input file, imports it, and writes the source dictionary to the
// target through a temporary file that is verified by the source verifier
// before it replaces the target. Raises THelpedException when the target is
// the input or the result does not verify, ESystemError for file failures.
// The largest input an import reads: the input, its text and the source
// are held in memory at once.
constexpr size_t kMaxImportInputBytes = size_t(1) << 30;

void ImportDictionaryFile(const std::string& inputName, const std::string& targetName, const TImportOptions& options,
                          TImportReport& report, const TImportProgress& progress = {});

// The default target: the input's name with the extension ".kds".
std::string ImportTargetName(const std::string& inputName);
