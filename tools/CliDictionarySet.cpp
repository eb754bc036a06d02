#include "tools/CliDictionarySet.h"

#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "foundation/KezFiles.h"
#include "foundation/KezProgramFolder.h"
#include "language/uLanguage.h"
#include "options/uOptionsIni.h"

namespace {
// The user's kodra3.ini (the program folder's in a portable copy), read without ever writing it; the
// first-run settings when there is none or it cannot be read.
std::unique_ptr<TOptions> ReadSettings() {
  auto options = std::make_unique<TOptions>();
  const std::string path = UserConfigFolder() + kOptionsFileName;
  std::string content;
  if (ReadSmallFile(path, kOptionsFileLimit, content)) {
    try {
      ReadOptionsText(content, *options);
      return options;
    } catch (const std::exception&) {
      options = std::make_unique<TOptions>();
    }
  }
  options->LoadFirstRunDefaults();  // no file name: nothing is saved
  return options;
}
}  // namespace

TCliDictionarySet OpenDictionarySet(const TCliArguments& arguments) {
  if (const std::string home = arguments.Value("--home"); !home.empty()) SetProgramFolder(home);
  const std::string languageId = arguments.Value("--lang", "ancientgreek");
  TKodraLanguage* language = FindLanguage(languageId);
  if (!language) throw std::runtime_error("unknown language " + languageId);
  TCliDictionarySet set;
  set.Settings = ReadSettings();
  set.Dictionary = std::make_unique<TDictionary>(language, std::string(), set.Settings.get());
  set.Dictionary->SetReadOnly(true);  // reading commands leave dictionaries.cfg as it is
  set.Dictionary->LoadDictionaries(true);
  for (const TDictionaryLoadFailure& failure : set.Dictionary->LoadFailures())
    std::cerr << "kodra-cli: cannot read " << failure.FileName << ": " << failure.Reason << '\n';
  if (set.Dictionary->KeywordCount() == 0)
    throw std::runtime_error("No active dictionaries in " + set.Dictionary->Folder());
  return set;
}
