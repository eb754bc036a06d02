#pragma once
// A program folder of one test holding the "ancientgreek" language folder
// with the tables a test writes or copies from the bundled data. The program
// folder is set to it for the test's lifetime.
#include <filesystem>
#include <string>

#include "TestFiles.h"
#include "foundation/KezProgramFolder.h"

class TTablesFolder {
public:
  TTablesFolder() : FPrevious(ProgramFolder()) {
    std::filesystem::create_directory(FHome.Root() / "ancientgreek");
    SetProgramFolder(FHome.Root().string());
  }
  ~TTablesFolder() { SetProgramFolder(FPrevious); }
  TTablesFolder(const TTablesFolder&) = delete;
  TTablesFolder& operator=(const TTablesFolder&) = delete;

  void Write(const std::string& name, const std::string& text) { FHome.Write("ancientgreek/" + name, text); }
  std::string Path(const std::string& name) const { return FHome.Path("ancientgreek/" + name); }
  void CopyBundled(const std::string& name) {
    std::filesystem::copy_file(std::filesystem::path(KODRA_DATA) / "ancientgreek" / name,
                               FHome.Root() / "ancientgreek" / name);
  }

private:
  TTempDir FHome;
  std::string FPrevious;
};
