#include "foundation/KezProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {
std::string WithDelimiter(std::string folder) {
  if (folder.empty()) return std::string(1, '.') + kPathDelimiter;
  if (folder.back() != '/' && folder.back() != kPathDelimiter) folder += kPathDelimiter;
  return folder;
}

std::string DefaultFolder() {
  if (const char* home = std::getenv("KODRA_HOME"); home && *home) return WithDelimiter(home);
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return WithDelimiter(executable.parent_path().string());
  return WithDelimiter(".");
}

std::string& Folder() {
  static std::string folder = DefaultFolder();
  return folder;
}
}  // namespace

const std::string& ProgramFolder() { return Folder(); }

void SetProgramFolder(const std::string& folder) { Folder() = WithDelimiter(folder); }
