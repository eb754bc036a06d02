#include "dictionary/uDictionariesManager.h"

#include <algorithm>
#include <filesystem>

#include "dictionary/uDictionary.h"
#include "foundation/KezFileFinder.h"
#include "foundation/KezProgramFolder.h"
#include "foundation/KezText.h"
#include "language/uLanguage.h"

namespace {
std::string WithoutExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}
}  // namespace

TDictionariesList::TDictionariesList(const TKodraLanguage* language, std::string folder, std::string shippedFolder)
    : FFolder(WithPathDelimiter(std::move(folder))) {
  shippedFolder = shippedFolder.empty() ? FFolder : WithPathDelimiter(std::move(shippedFolder));
  FConfiguration = FFolder + "dictionaries.cfg";
  AddFolder(language, FFolder);
  if (shippedFolder != FFolder) AddFolder(language, shippedFolder);
  std::vector<std::string> lines;
  TDictionaryLoadFailure unreadable;
  if (!ReadLayeredConfiguration(FFolder, shippedFolder, lines, &unreadable)) {
    // None yet: the list as shown is written. One that cannot be read is
    // left as it is unless the reader changes the list.
    FModified = unreadable.FileName.empty();
    return;
  }
  for (const std::string& line : lines) {
    const std::string name = AsciiLowered(WithoutExtension(line));
    const auto found = std::find_if(FItems.begin(), FItems.end(), [&](const auto& item) { return item.Name == name; });
    if (found != FItems.end()) {
      found->Header.Checked = true;
      continue;
    }
    // Configured but not usable now: kept, ticked, and said why.
    const auto unusable =
        std::find_if(FUnusable.begin(), FUnusable.end(), [&](const auto& known) { return known.first == name; });
    TManagedDictionary item{name, {}, unusable != FUnusable.end() ? unusable->second : "the file is missing"};
    item.Header.Checked = true;
    FItems.push_back(std::move(item));
  }
}

void TDictionariesList::AddFolder(const TKodraLanguage* language, const std::string& folder) {
  TKezFileFinder finder(folder, "*.kdb");
  for (TKezFileEntry entry; finder.Next(entry);) {
    if (entry.Directory) continue;
    TManagedDictionary item{AsciiLowered(WithoutExtension(entry.Name)), {}, {}};
    // A dictionary of an earlier folder of the same name wins.
    if (std::any_of(FItems.begin(), FItems.end(), [&](const auto& known) { return known.Name == item.Name; })) continue;
    if (!ReadHeader(folder + entry.Name, item.Header) || !item.Header.Language) {
      FUnusable.emplace_back(item.Name, "the file cannot be read as a dictionary");
      continue;
    }
    if (!language || item.Header.Language->GetId() != language->GetId()) {
      FUnusable.emplace_back(item.Name, "the file is a dictionary of another language");
      continue;
    }
    FItems.push_back(std::move(item));
  }
}

void TDictionariesList::Toggle(int32_t index) {
  if (index < 0 || index >= Count()) return;
  FItems[size_t(index)].Header.Checked = !FItems[size_t(index)].Header.Checked;
  FModified = true;
}

std::vector<std::string> TDictionariesList::CheckedNames() const {
  std::vector<std::string> names;
  for (const TManagedDictionary& item : FItems)
    if (item.Header.Checked) names.push_back(item.Name);
  return names;
}

void TDictionariesList::Save() const {
  std::error_code error;
  std::filesystem::create_directories(FFolder, error);  // a user's folder made on first need
  WriteDictionaryConfiguration(FConfiguration, CheckedNames());
}
