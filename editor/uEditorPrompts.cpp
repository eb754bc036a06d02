#include "editor/uEditorPrompts.h"

#include "viewer/uData.h"

namespace {
TEditorPrompts ProgramPrompts() {
  TEditorPrompts prompts;
  prompts.AskYesNoCancel = [](QWidget* parent, const QString& question) {
    return TGlobalData::AskYesNoCancel(parent, question);
  };
  prompts.AskYesNo = [](QWidget* parent, const QString& question) { return TGlobalData::AskYesNo(parent, question); };
  prompts.ChooseFile = [](QWidget* parent, bool save, std::string& fileName, const std::string& initialDir,
                          const QString& title, const QString& extension) {
    return save ? GlobalData().ExecuteSaveDialog(parent, fileName, initialDir, title, extension)
                : GlobalData().ExecuteOpenDialog(parent, fileName, initialDir, title, extension);
  };
  return prompts;
}
}  // namespace

TEditorPrompts& EditorPrompts() {
  static TEditorPrompts prompts = ProgramPrompts();
  return prompts;
}

void ResetEditorPrompts() { EditorPrompts() = ProgramPrompts(); }
