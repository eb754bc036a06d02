#include "dictionary/uDictionariesManager.h"

#include <algorithm>

#include "dictionary/uDictionary.h"
#include "foundation/KezFileFinder.h"
#include "foundation/KezText.h"
#include "language/uLanguage.h"

namespace {
std::string WithoutExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}
}  // namespace

TDictionariesList::TDictionariesList(const TKodraLanguage* language, std::string folder) : FFolder(std::move(folder)) {
  if (!FFolder.empty() && FFolder.back() != '/' && FFolder.back() != '\\') FFolder += '/';
  FConfiguration = FFolder + "dictionaries.cfg";
  TKezFileFinder finder(FFolder, "*.kdb");
  for (TKezFileEntry entry; finder.Next(entry);) {
    if (entry.Directory) continue;
    TManagedDictionary item{AsciiLowered(WithoutExtension(entry.Name)), {}};
    if (!ReadHeader(FFolder + entry.Name, item.Header) || !item.Header.Language || !language ||
        item.Header.Language->GetId() != language->GetId())
      continue;
    FItems.push_back(std::move(item));
  }
  std::vector<std::string> lines;
  if (!ReadDictionaryConfiguration(FConfiguration, lines)) {
    FModified = true;
    return;
  }
  for (const std::string& line : lines) {
    const std::string name = AsciiLowered(WithoutExtension(line));
    const auto found = std::find_if(FItems.begin(), FItems.end(), [&](const auto& item) { return item.Name == name; });
    if (found == FItems.end()) FModified = true;  // written again without it
    else found->Header.Checked = true;
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

void TDictionariesList::Save() const { WriteDictionaryConfiguration(FConfiguration, CheckedNames()); }
