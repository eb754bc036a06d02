#pragma once
// The program folder: kodra3.ini, the *.lng files, help/ and one folder per
// language. It is KODRA_HOME when that is set, else the executable's folder,
// unless the program sets it explicitly.
#include <string>

// With a trailing path separator.
const std::string& ProgramFolder();
void SetProgramFolder(const std::string& folder);

#ifdef _WIN32
constexpr char kPathDelimiter = '\\';
#else
constexpr char kPathDelimiter = '/';
#endif
