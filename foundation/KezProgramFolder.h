#pragma once
// Where the program's files are. A portable copy keeps everything in one
// folder: KODRA_HOME when that is set, else the executable's folder when it
// holds kodra3.ini or a language folder. An installed copy reads its shipped
// files (dictionaries, tables, help, interface languages, fonts) from the
// data folder it was installed with and writes only to the user's folders:
// kodra3.ini in the configuration folder, each language's user files
// (dictionaries.cfg, saves.dat, user dictionaries, font tables) in the data
// folder. Nothing is ever written under the installation prefix.
#include <string>

#ifdef _WIN32
constexpr char kPathDelimiter = '\\';
#else
constexpr char kPathDelimiter = '/';
#endif

// The folder with a trailing path separator; an empty one stays empty.
std::string WithPathDelimiter(std::string folder);

struct TProgramFolders {
  std::string Program;  // shipped files, read only when installed
  std::string Config;   // kodra3.ini
  std::string Data;     // <language>/ folders of the user's files
  bool Installed = false;
  std::string Cache;    // what the program may forget and compute again; Config when empty
};

// What the folders are decided from; empty strings stand for unset variables.
struct TFolderEnvironment {
  std::string ExecutableFolder;
  std::string KodraHome;          // KODRA_HOME
  std::string InstalledData;      // the data folder relative to the executable's, e.g. "../share/kodra"
  std::string ConfigHome;         // XDG_CONFIG_HOME, or the platform's configuration folder
  std::string DataHome;           // XDG_DATA_HOME, or the platform's application-data folder
  std::string Home;               // HOME, for the XDG defaults
  std::string CacheHome;          // XDG_CACHE_HOME, or the platform's local application-data folder
};

// The folders for an environment, each with a trailing path separator.
TProgramFolders ResolveProgramFolders(const TFolderEnvironment& environment);

// The shipped files' folder, with a trailing path separator.
const std::string& ProgramFolder();
// The user's configuration folder (kodra3.ini) and data folder.
const std::string& UserConfigFolder();
const std::string& UserDataFolder();
// The user's cache folder: what the program remembers to save work and may
// lose at any time (the portable folder in a portable copy).
const std::string& UserCacheFolder();
bool IsInstalledCopy();
// A portable copy in this folder: every role is this folder.
void SetProgramFolder(const std::string& folder);
void SetProgramFolders(const TProgramFolders& folders);

// A language's shipped folder and its user folder (the same in a portable
// copy), with a trailing path separator. The user folder is created when
// asked for with create set; the result is the same either way.
std::string ShippedLanguageFolder(const std::string& languageId);
std::string UserLanguageFolder(const std::string& languageId, bool create = false);
// A language file to read: the user's copy when there is one, else the shipped one.
std::string LanguageFileToRead(const std::string& languageId, const std::string& fileName);
