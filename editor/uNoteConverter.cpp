#include "editor/uNoteConverter.h"

#include <QDir>
#include <filesystem>

#include "foundation/KezProgramFolder.h"

TNoteConverter::TNoteConverter(const std::string& folder) {
  // Only a library in the program's own folder: never one found on the
  // system's search path under the same name.
  FLibrary.setFileName(QDir(QString::fromStdString(folder)).absoluteFilePath("convert"));
  if (FLibrary.load()) FConvert = reinterpret_cast<TConvertFunction>(FLibrary.resolve("Convert"));
}

std::string TNoteConverter::Convert(const std::string& noteFile, const std::string& target) const {
  if (!FConvert) return "No converter";
  const char* result = FConvert(noteFile.c_str(), target.c_str());
  return result ? std::string(result) : std::string();
}

std::string ConvertedDictionaryName(const std::string& programFolder, const std::string& languageId,
                                    const std::string& noteFile) {
  const std::string name = std::filesystem::path(noteFile).filename().replace_extension(".kds").string();
  return WithPathDelimiter(programFolder) + languageId + kPathDelimiter + name;
}
