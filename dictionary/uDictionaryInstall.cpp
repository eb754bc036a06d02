#include "dictionary/uDictionaryInstall.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "dictionary/uDictionary.h"
#include "foundation/KezFiles.h"
#include "foundation/KezProgramFolder.h"
#include "foundation/KezSafeFile.h"
#include "foundation/KezSystemError.h"
#include "foundation/KezText.h"

namespace fs = std::filesystem;

namespace {
// A compiled dictionary is at most as large as the format's 32-bit offsets allow.
constexpr size_t kMaxCompiledBytes = size_t(1) << 31;

std::string FolderOf(const std::string& file) {
  const std::string parent = fs::path(file).parent_path().string();
  return parent.empty() ? std::string(".") : parent;
}
}  // namespace

bool IsInLanguageFolder(const std::string& compiledFile, const std::string& languageId) {
  const std::string folder = FolderOf(compiledFile);
  for (const std::string& readFrom : {UserLanguageFolder(languageId), ShippedLanguageFolder(languageId)})
    if (SameFile(folder, readFrom)) return true;
  return false;
}

std::string InstallCompiledDictionary(const std::string& compiledFile, const std::string& languageId) {
  std::string bytes;
  const TReadOutcome outcome = ReadBoundedFile(compiledFile, kMaxCompiledBytes, bytes);
  if (outcome.Result != TReadResult::Read)
    RaiseSystemError(outcome.Error ? outcome.Error : EINVAL, compiledFile);
  const std::string folder = UserLanguageFolder(languageId, true);
  const std::string installed = folder + fs::path(compiledFile).filename().string();
  {
    TKezSafeFile file;
    file.Open(installed);
    file.Write(bytes.data(), bytes.size());
    file.Commit();
  }
  std::vector<std::string> names;
  TDictionaryLoadFailure unreadable;
  if (!ReadLayeredConfiguration(folder, ShippedLanguageFolder(languageId), names, &unreadable)) {
    // A configuration that cannot be read is left as it is; none yet is
    // the main dictionary alone, as the set reads it.
    if (!unreadable.FileName.empty()) return installed;
    names = {"main"};
  }
  const std::string name = AsciiLowered(fs::path(compiledFile).stem().string());
  const bool listed = std::any_of(names.begin(), names.end(), [&](const std::string& known) {
    return AsciiLowered(fs::path(known).stem().string()) == name;
  });
  if (!listed) {
    names.push_back(name);
    WriteDictionaryConfiguration(folder + "dictionaries.cfg", names);
  }
  return installed;
}
