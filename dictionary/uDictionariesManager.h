#pragma once
// Which compiled dictionaries of a language folder are active: every
// dictionary of the language found there, ticked when dictionaries.cfg
// names it. The dictionaries manager window shows and changes this list;
// closing it with Ok writes the ticked names back.
#include <string>
#include <vector>

#include "dictionary/uBinaryDictionaryHeader.h"

class TKodraLanguage;

struct TManagedDictionary {
  std::string Name;  // the file's name without extension, lower case
  TBinaryDictionaryHeader Header;
  // Why a configured dictionary cannot be used now (its file is missing, is
  // no dictionary of this language, cannot be read); empty for a usable one.
  // It stays configured: a file half copied or briefly gone is not dropped
  // for good because the manager was opened meanwhile.
  std::string Problem;
};

class TDictionariesList {
public:
  // Lists the folder's "*.kdb" files of the language and ticks those that
  // dictionaries.cfg names; a name whose file cannot be used is listed
  // after them, ticked, with its problem. Only a missing configuration marks
  // the list modified (the list as shown is written). The shipped
  // folder's dictionaries and configuration stand behind the folder's own
  // (a file of the folder wins); the configuration is written to the folder.
  TDictionariesList(const TKodraLanguage* language, std::string folder, std::string shippedFolder = {});

  const std::vector<TManagedDictionary>& Items() const { return FItems; }
  int32_t Count() const { return int32_t(FItems.size()); }
  const TManagedDictionary& Item(int32_t index) const { return FItems[size_t(index)]; }
  void Toggle(int32_t index);
  bool Modified() const { return FModified; }
  void SetModified(bool modified) { FModified = modified; }
  // The ticked names in list order, as they are written.
  std::vector<std::string> CheckedNames() const;
  // Writes dictionaries.cfg safely (the old file stays when writing fails,
  // and the failure is raised).
  void Save() const;
  const std::string& ConfigurationFile() const { return FConfiguration; }

private:
  std::vector<TManagedDictionary> FItems;
  // Names of the folders' files that are no dictionary of the language, with why.
  std::vector<std::pair<std::string, std::string>> FUnusable;
  void AddFolder(const TKodraLanguage* language, const std::string& folder);

  std::string FFolder;
  std::string FConfiguration;
  bool FModified = false;
};
