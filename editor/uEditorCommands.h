#pragma once
// The editor's commands: merging a file, converting a note file and
// accepting the text pane are handed to the command process and come back
// to the editor window as its own messages, after the handler that asked
// for them has returned.
#include <string>

#include "viewer/uCommands.h"

class TCommandMerge : public TCommand {
public:
  TCommandMerge() : TCommand("merge") {}
  void Issue(QObject* window, uint32_t message, std::string fileName) {
    FileName = std::move(fileName);
    TCommand::Issue(window, message);
  }
  std::string FileName;
};

class TCommandConvert : public TCommand {
public:
  TCommandConvert() : TCommand("convert") {}
  void Issue(QObject* window, uint32_t message, std::string noteFile, std::string target) {
    NoteFile = std::move(noteFile);
    Target = std::move(target);
    TCommand::Issue(window, message);
  }
  std::string NoteFile;
  std::string Target;
};

class TCommandAccept : public TCommand {
public:
  TCommandAccept() : TCommand("accept") {}
};
