#include "dictionary/uDictionaryInstall.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
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
  const std::string folder = UserLanguageFolder(languageId, true);
  const std::string installed = folder + fs::path(compiledFile).filename().string();
  {
    // Copied in blocks: a compiled dictionary may run to hundreds of megabytes.
    std::FILE* source = OpenRegularFileOrRaise(compiledFile);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(source, &std::fclose);
    TKezSafeFile file;
    file.Open(installed);
    std::vector<char> block(size_t(1) << 20);
    for (size_t read; (read = std::fread(block.data(), 1, block.size(), source)) > 0;) file.Write(block.data(), read);
    if (std::ferror(source)) RaiseSystemError(EIO, compiledFile);
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
