#pragma once
// The questions the dictionary editor asks its user: confirmations and file
// dialogs. They go through one replaceable set, so that tests can answer
// them without a modal window waiting for a click.
#include <QString>
#include <functional>
#include <string>

class QWidget;

struct TEditorPrompts {
  // QMessageBox::Yes, No or Cancel.
  std::function<int(QWidget* parent, const QString& question)> AskYesNoCancel;
  std::function<bool(QWidget* parent, const QString& question)> AskYesNo;
  // An open (save false) or save dialog; fileName proposes a file and
  // receives the chosen one. False when cancelled.
  std::function<bool(QWidget* parent, bool save, std::string& fileName, const std::string& initialDir,
                     const QString& title, const QString& extension)>
      ChooseFile;
};

// The prompts in use: the program's message boxes and file dialogs unless
// replaced.
TEditorPrompts& EditorPrompts();
// Puts the program's own prompts back.
void ResetEditorPrompts();
