#pragma once
// A dictionary compiled outside the folders the viewer reads is not active
// until it is installed: copied into the user's language folder and named
// in that folder's dictionaries.cfg.
#include <string>

// Whether the viewer reads compiled files from the file's folder: the
// language's user folder or its shipped folder.
bool IsInLanguageFolder(const std::string& compiledFile, const std::string& languageId);

// Copies the compiled file into the language's user folder (made when
// missing) under its own name, replacing a file of that name safely, and
// adds the name to the folder's dictionaries.cfg (which starts from the
// shipped one) when it is not there; a configuration that cannot be read is
// left alone. Returns the installed file's path;
// raises ESystemError when a file cannot be written (nothing half written).
std::string InstallCompiledDictionary(const std::string& compiledFile, const std::string& languageId);
