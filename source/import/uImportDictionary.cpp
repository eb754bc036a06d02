#include "source/import/uImportDictionary.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "foundation/KezFiles.h"
#include "foundation/KezSafeFile.h"
#include "foundation/KezSystemError.h"
#include "foundation/KezText.h"
#include "language/uCommon.h"
#include "source/import/uImportWriter.h"
#include "source/uSourceDictionary.h"

bool ParseImportFormat(std::string_view name, TImportFormat& format) {
  const std::string lowered = AsciiLowered(name);
  if (lowered == "dsl") format = TImportFormat::Dsl;
  else if (lowered == "xdxf") format = TImportFormat::Xdxf;
  else if (lowered == "tei") format = TImportFormat::Tei;
  else return false;
  return true;
}

std::u16string ImportToSource(std::string_view input, const TImportOptions& options, TImportReport& report,
                              const TImportProgress& progress) {
  TImportWriter writer(options, report, progress);
  {
    const std::u16string text = DecodeInput(input, writer);
    switch (options.Format) {
      case TImportFormat::Dsl: ImportDsl(text, writer); break;
      case TImportFormat::Xdxf: ImportXdxf(text, writer); break;
      case TImportFormat::Tei: ImportTei(text, writer); break;
    }
  }
  return writer.Finish();
}

std::string ImportTargetName(const std::string& inputName) {
  std::filesystem::path path(inputName);
  path.replace_extension(".kds");
  return path.string();
}

namespace {
std::string ReadImportInput(const std::string& fileName) {
  std::string bytes;
  const TReadOutcome outcome = ReadBoundedFile(fileName, kMaxImportInputBytes, bytes);
  switch (outcome.Result) {
    case TReadResult::Read: break;
    case TReadResult::NotAFile: RaiseHelpedError("SNotAFile", "%s is not a file", {fileName});
    case TReadResult::TooLarge:
      RaiseHelpedError("SImportTooLarge", "%s is larger than the %s that an import reads",
                       {fileName, std::to_string(kMaxImportInputBytes >> 20) + " MB"});
    case TReadResult::CannotOpen:
    case TReadResult::Failed: RaiseSystemError(outcome.Error ? outcome.Error : EIO, fileName);
  }
  return bytes;
}
}  // namespace

void ImportDictionaryFile(const std::string& inputName, const std::string& targetName, const TImportOptions& options,
                          TImportReport& report, const TImportProgress& progress) {
  if (SameFile(inputName, targetName))
    RaiseHelpedError("SImportOverInput", "The imported dictionary would replace its input: choose another name");
  std::u16string source;
  {
    const std::string input = ReadImportInput(inputName);
    source = ImportToSource(input, options, report, progress);
  }
  // A file that gave nothing is not a dictionary of that format: nothing is written.
  if (report.Articles == 0)
    RaiseHelpedError("SImportEmpty", "No entry was found in %s: is it a dictionary of that format?", {inputName});
  std::string bytes(source.size() * 2, '\0');
  for (size_t i = 0; i < source.size(); ++i) {
    bytes[2 * i] = char(source[i] & 0xFF);
    bytes[2 * i + 1] = char(source[i] >> 8);
  }
  source = std::u16string();
  TKezSafeFile file;
  file.Open(targetName);
  file.Write(bytes.data(), bytes.size());
  bytes = std::string();
  if (std::fflush(file.Stream()) != 0) RaiseSystemError(errno, file.TemporaryName());
  // The written file must pass the verifier before it takes the target's place.
  TSourceDictionary dictionary(FindLanguage(options.LanguageId));
  try {
    dictionary.LoadFromFile(file.TemporaryName());
    dictionary.Verify();
  } catch (const THelpedException& e) {
    std::string where;
    if (dictionary.CurrentPart() == spArticles && dictionary.CurrentItem() >= 0)
      where = " in the article \"" + ToUtf8(dictionary.Keyword(dictionary.CurrentItem())) + "\"";
    RaiseHelpedError("SImportNotVerified", "The imported dictionary does not verify: %s%s (%s)",
                     {e.Message, where, e.HelpKeyword});
  }
  if (dictionary.ArticleCount() != report.Articles)
    RaiseHelpedError("SImportNotVerified", "The imported dictionary does not verify: %s%s (%s)",
                     {"it holds " + std::to_string(dictionary.ArticleCount()) + " articles instead of " +
                          std::to_string(report.Articles),
                      "", "SImportCount"});
  file.Commit();
}
