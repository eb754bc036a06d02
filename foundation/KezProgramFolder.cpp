#include "foundation/KezProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#ifndef KODRA_INSTALLED_DATA
#define KODRA_INSTALLED_DATA "../share/kodra"
#endif

namespace fs = std::filesystem;

namespace {
// The current folder for an empty one.
std::string WithDelimiter(std::string folder) {
  return folder.empty() ? std::string(1, '.') + kPathDelimiter : WithPathDelimiter(std::move(folder));
}

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// A folder of a language's dictionaries: it has a dictionaries.cfg or a compiled dictionary.
bool IsLanguageFolder(const fs::path& folder) {
  std::error_code error;
  if (fs::is_regular_file(folder / "dictionaries.cfg", error)) return true;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (it->path().extension() == ".kdb") return true;
  return false;
}

// A portable copy's folder holds its settings or a language folder.
bool IsPortableFolder(const fs::path& folder) {
  std::error_code error;
  if (fs::exists(folder / "kodra3.ini", error)) return true;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (it->is_directory(error) && IsLanguageFolder(it->path())) return true;
  return false;
}

TProgramFolders Portable(const std::string& folder) {
  const std::string f = WithDelimiter(folder);
  return {f, f, f, false, f};
}

// The XDG base directory: the variable when it is an absolute path, else HOME's default.
std::string BaseFolder(const std::string& variable, const std::string& home, const char* fallback) {
  if (!variable.empty() && fs::path(variable).is_absolute()) return variable;
  if (!home.empty()) return (fs::path(home) / fallback).string();
  return {};
}

// The environment of this process: KODRA_HOME, the user's folders, HOME,
// the executable's folder, and the data folder this build installs.
TFolderEnvironment ProcessFolderEnvironment() {
  TFolderEnvironment environment;
#ifdef _WIN32
  wchar_t executable[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, executable, MAX_PATH);
  environment.ExecutableFolder =
      length > 0 && length < MAX_PATH ? fs::path(std::wstring(executable, length)).parent_path().string() : ".";
  // The folder the toolkit reports there for both configuration and
  // application data, so that the window and the command-line tool agree.
  environment.ConfigHome = Variable("LOCALAPPDATA");
  environment.DataHome = Variable("LOCALAPPDATA");
  environment.CacheHome = Variable("LOCALAPPDATA");
#else
  std::error_code error;
  const auto executable = fs::read_symlink("/proc/self/exe", error);
  environment.ExecutableFolder = error ? "." : executable.parent_path().string();
  environment.ConfigHome = Variable("XDG_CONFIG_HOME");
  environment.DataHome = Variable("XDG_DATA_HOME");
  environment.CacheHome = Variable("XDG_CACHE_HOME");
#endif
  environment.KodraHome = Variable("KODRA_HOME");
  environment.InstalledData = KODRA_INSTALLED_DATA;
  environment.Home = Variable("HOME");
#ifndef _WIN32
  if (environment.Home.empty())
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) environment.Home = user->pw_dir;
#endif
  return environment;
}

// Resolved on first use, unless the program set them before.
std::optional<TProgramFolders>& StoredFolders() {
  static std::optional<TProgramFolders> folders;
  return folders;
}

TProgramFolders& Folders() {
  if (!StoredFolders()) StoredFolders() = ResolveProgramFolders(ProcessFolderEnvironment());
  return *StoredFolders();
}
}  // namespace

std::string WithPathDelimiter(std::string folder) {
  if (!folder.empty() && folder.back() != '/' && folder.back() != kPathDelimiter) folder += kPathDelimiter;
  return folder;
}

TProgramFolders ResolveProgramFolders(const TFolderEnvironment& environment) {
  if (!environment.KodraHome.empty()) return Portable(environment.KodraHome);
  const fs::path executable(environment.ExecutableFolder.empty() ? "." : environment.ExecutableFolder);
  if (IsPortableFolder(executable) || environment.InstalledData.empty()) return Portable(executable.string());
  std::error_code error;
  const fs::path shipped = (executable / environment.InstalledData).lexically_normal();
  if (!fs::is_directory(shipped, error)) return Portable(executable.string());
  const std::string config = BaseFolder(environment.ConfigHome, environment.Home, ".config");
  const std::string data = BaseFolder(environment.DataHome, environment.Home, ".local/share");
  // Without a home the user's files go to the temporary folder, never under the prefix.
  const fs::path fallback = fs::temp_directory_path(error) / "kodra";
  const fs::path configFolder = config.empty() ? fallback / "config" : fs::path(config) / "kodra";
  const fs::path dataFolder = data.empty() ? fallback / "data" : fs::path(data) / "kodra";
  const std::string cache = BaseFolder(environment.CacheHome, environment.Home, ".cache");
  const fs::path cacheFolder = cache.empty() ? fallback / "cache" : fs::path(cache) / "kodra";
  return {WithDelimiter(shipped.string()), WithDelimiter(configFolder.string()), WithDelimiter(dataFolder.string()),
          true, WithDelimiter(cacheFolder.string())};
}

const std::string& ProgramFolder() { return Folders().Program; }
const std::string& UserConfigFolder() { return Folders().Config; }
const std::string& UserDataFolder() { return Folders().Data; }
bool IsInstalledCopy() { return Folders().Installed; }
const std::string& UserCacheFolder() { return Folders().Cache.empty() ? Folders().Config : Folders().Cache; }

void SetProgramFolder(const std::string& folder) { StoredFolders() = Portable(folder); }

void SetProgramFolders(const TProgramFolders& folders) {
  StoredFolders() = TProgramFolders{WithDelimiter(folders.Program), WithPathDelimiter(folders.Config),
                                 WithPathDelimiter(folders.Data), folders.Installed,
                                 WithPathDelimiter(folders.Cache)};
}

std::string ShippedLanguageFolder(const std::string& languageId) {
  return ProgramFolder() + languageId + kPathDelimiter;
}

std::string UserLanguageFolder(const std::string& languageId, bool create) {
  const std::string folder = UserDataFolder() + languageId + kPathDelimiter;
  if (create) {
    std::error_code error;
    fs::create_directories(folder, error);  // a failure shows when the file is written
  }
  return folder;
}

std::string LanguageFileToRead(const std::string& languageId, const std::string& fileName) {
  const std::string user = UserLanguageFolder(languageId) + fileName;
  std::error_code error;
  if (IsInstalledCopy() && fs::exists(user, error)) return user;
  return ShippedLanguageFolder(languageId) + fileName;
}
