#pragma once
// The optional converter of note files into source dictionaries: a shared
// library named "convert" that only the program's folder may provide,
// exporting Convert(note file, target) that returns an empty text on
// success and an error description otherwise. Without it, there is no
// conversion to offer.
#include <QLibrary>
#include <string>

class TNoteConverter {
public:
  // Looks for the library in the folder (the program's folder).
  explicit TNoteConverter(const std::string& folder);
  TNoteConverter(const TNoteConverter&) = delete;
  TNoteConverter& operator=(const TNoteConverter&) = delete;

  bool Available() const { return FConvert != nullptr; }
  // Empty on success, else the converter's own description of the failure.
  std::string Convert(const std::string& noteFile, const std::string& target) const;

private:
  using TConvertFunction = const char* (*)(const char* noteFile, const char* target);
  QLibrary FLibrary;
  TConvertFunction FConvert = nullptr;
};

// Where a note file's dictionary goes: the language's folder under the
// program's folder, the note's name with the extension ".kds".
std::string ConvertedDictionaryName(const std::string& programFolder, const std::string& languageId,
                                    const std::string& noteFile);
