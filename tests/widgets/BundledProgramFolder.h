#pragma once
// A program folder of its own for a window test: copies of the bundled
// dictionaries, so that the window's saved search texts and settings stay
// inside the test, and errors told in the status bar only, so that no
// message box waits for a click.
#include <QString>
#include <filesystem>

#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"

inline void UseBundledProgramFolder(const QString& folder) {
  for (const char* language : {"ancientgreek", "latin"})
    std::filesystem::copy(std::filesystem::path(KODRA_BIN_DIR) / language,
                          std::filesystem::path(folder.toStdString()) / language,
                          std::filesystem::copy_options::recursive);
  SetProgramFolder(folder.toStdString());
  Options().LoadFirstRunDefaults();
  Options().SetBoxOnError(false);
  Options().SetBeepOnError(false);
}
