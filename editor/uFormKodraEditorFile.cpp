// The editor's work on files: open, close, save, verify, compile, merge,
// convert, and the recovery copy of unsaved work.
#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <filesystem>

#include "editor/uEditorCommands.h"
#include "editor/uEditorPrompts.h"
#include "editor/uFormKodraEditor.h"
#include "editor/uNoteConverter.h"
#include "dictionary/uDictionaryInstall.h"
#include "foundation/KezLocale.h"
#include "foundation/KezProgramFolder.h"
#include "language/uCommon.h"
#include "source/uRecoveryCopy.h"
#include "source/uSourceCompiler.h"
#include "source/uSourceDictionary.h"
#include "viewer/uData.h"
#include "viewer/uStatusLine.h"
#include "widgets/KezListBox.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace fs = std::filesystem;

namespace {
QString DictionaryFileTitle() { return Tr("SDicFile", "Dictionary file"); }

bool SamePath(const std::string& a, const std::string& b) {
  std::error_code error;
  const fs::path left = fs::absolute(fs::path(a), error).lexically_normal();
  const fs::path right = fs::absolute(fs::path(b), error).lexically_normal();
  return QString::fromStdString(left.string()).compare(QString::fromStdString(right.string()), Qt::CaseInsensitive) ==
         0;
}
}  // namespace

// Reads the dictionary's own file (the caller has cleared it and named it).
void TFormKodraEditor::Load() {
  ResetPanes();
  const std::string fileName = FDictionary->FileName();
  const bool loaded = RunBusy([&] { FDictionary->LoadFromFile(fileName); }, Tr("SDicLoaded", "The dictionary loaded"));
  // A failed load leaves the dictionary empty and without a name: what the
  // author types next must never be saved over the file that could not be
  // read. The status bar names the failure.
  if (loaded) OfferRecoveryCopy();
  else FDictionary->SetFileName(std::string());
  if (FDictionary->Language() != FLanguage) SetLanguage(FDictionary->Language());
  SwitchInput(true);
  LastDictionary() = fileName;
  RememberLastDictionary();  // kept even if the program does not end well
  UpdateList();
  UpdateCaption();
  Refresh();
}

// Work written beside the file and newer than it was never saved: the
// author may take it back. It comes in as unsaved changes.
bool TFormKodraEditor::OfferRecoveryCopy() {
  const std::string fileName = FDictionary->FileName();
  if (fileName.empty() || !HasRecoveryCopy(fileName)) return false;
  const QString question =
      Tr("SRecoveryFound", "Unsaved changes of this dictionary were kept in %s. Restore them?")
          .replace("%s", QString::fromStdString(RecoveryCopyName(fileName)));
  if (!EditorPrompts().AskYesNo(this, question)) return false;
  const bool restored = RunBusy(
      [&] {
        FDictionary->Clear();
        FDictionary->LoadFromFile(RecoveryCopyName(fileName));
      },
      Tr("SRecoveryRestored", "Unsaved changes restored"));
  FDictionary->SetFileName(fileName);
  std::error_code error;
  if (restored) FDictionary->SetModified();
  else if (FDictionary->IsEmpty() && fs::exists(fs::path(fileName), error)) RunBusy([&] { FDictionary->LoadFromFile(fileName); }, Tr("SDicLoaded", "The dictionary loaded"));
  return restored;
}

bool TFormKodraEditor::OpenFile(const std::string& fileName) {
  if (FPreview) SetPreview(false);
  if (!AcceptPending() || !CloseDictionary()) return false;
  const std::string absolute = QDir::toNativeSeparators(QDir::current().absoluteFilePath(QString::fromStdString(fileName))).toStdString();
  FDictionary->Clear();
  FDictionary->SetFileName(absolute);
  std::error_code error;
  if (fs::exists(fs::path(absolute), error)) {
    Load();
  } else {
    // A new dictionary of that name: written when the author saves. Work
    // on it that was never saved may wait in its recovery copy.
    ResetPanes();
    LastDictionary() = absolute;
    const bool restored = OfferRecoveryCopy();
    UpdateList();
    UpdateCaption();
    Refresh();
    if (!restored) FStatus->ShowText(skInformation, "SDicCreated", "New empty dictionary created");
  }
  return true;
}

// Closes the open dictionary; asks to save changes first. False when the
// author cancelled or saving failed: the dictionary stays open.
bool TFormKodraEditor::CloseDictionary() {
  if (!FDictionary->FileName().empty()) LastDictionary() = FDictionary->FileName();
  if (!AcceptPending()) return false;
  if (FDictionary->Modified()) {
    switch (EditorPrompts().AskYesNoCancel(
        this, Tr("SDicChanged", "Dictionary text modified. Save changes to file?"))) {
      case QMessageBox::Yes:
        if (!Save()) return false;
        break;
      case QMessageBox::No:
        break;
      default:
        Aborted();
        return false;
    }
  }
  const std::string fileName = FDictionary->FileName();
  RunBusy(
      [&] {
        ResetPanes();
        FDictionary->Clear();
      },
      Tr("SDicClosed", "The dictionary closed"));
  // Changes the author chose not to keep leave no copy to offer later.
  if (!fileName.empty()) RemoveRecoveryCopy(fileName);
  UpdateCaption();
  UpdateList();
  return true;
}

void TFormKodraEditor::New() {
  if (!CloseDictionary()) return;
  ResetPanes();
  Refresh();
  FStatus->ShowText(skInformation, "SDicCreated", "New empty dictionary created");
}

void TFormKodraEditor::Open() {
  if (!CloseDictionary()) return;
  std::string fileName = LastDictionary();
  if (!EditorPrompts().ChooseFile(this, false, fileName, std::string(), DictionaryFileTitle(), "kds")) {
    Aborted();
    return;
  }
  FDictionary->Clear();
  FDictionary->SetFileName(fileName);
  Load();
}

bool TFormKodraEditor::Save() {
  if (!AcceptPending()) return false;
  if (!FDictionary->Modified()) return true;
  if (FDictionary->FileName().empty()) {
    std::string fileName;
    if (!EditorPrompts().ChooseFile(this, true, fileName, GlobalData().DictionaryFolder(), DictionaryFileTitle(),
                                    "kds")) {
      Aborted();
      return false;
    }
    FDictionary->SetFileName(fileName);
    UpdateCaption();
  }
  // A failed save keeps the text and the old file; the status says why.
  const std::string fileName = FDictionary->FileName();
  if (!RunBusy([&] { FDictionary->SaveToFile(); }, Tr("SDicSaved", "The dictionary saved"))) return false;
  RemoveRecoveryCopy(fileName);
  LastDictionary() = fileName;
  return true;
}

bool TFormKodraEditor::SaveAs() {
  std::string fileName = FDictionary->FileName();
  if (!EditorPrompts().ChooseFile(this, true, fileName, std::string(), DictionaryFileTitle(), "kds")) {
    Aborted();
    return false;
  }
  std::error_code error;
  if (fs::exists(fs::path(fileName), error) && !SamePath(fileName, FDictionary->FileName()) &&
      !EditorPrompts().AskYesNo(this, Tr("SFileExists", "File already exist. Do you want to replace them?"))) {
    Aborted();
    return false;
  }
  FDictionary->SetFileName(fileName);
  FDictionary->SetModified();
  UpdateCaption();
  return Save();
}

bool TFormKodraEditor::Verify() {
  if (!AcceptPending()) return false;
  if (RunBusy([&] { FDictionary->Verify(); }, Tr("SDicVerified", "The dictionary verified. OK"))) return true;
  // The item of the error, with the faulty range selected.
  edText->setFocus();
  Refresh();
  return false;
}

bool TFormKodraEditor::Compile() {
  if (!Save() || !Verify()) return false;
  const std::string source = FDictionary->FileName();
  if (!RunBusy([&] { FDictionary->Compile(); }, Tr("SDicCompiled", "The dictionary compiled"))) return false;
  const std::string compiled = CompiledFileName(source);
  const std::string languageId = FDictionary->Language() ? FDictionary->Language()->GetId() : std::string();
  if (!languageId.empty() && !IsInLanguageFolder(compiled, languageId) && !OfferInstall(compiled, languageId))
    return true;  // compiled, but not where the program reads dictionaries: said so
  FDictionariesChanged = true;
  if (FOnCompiled) FOnCompiled(source);
  return true;
}

// A dictionary compiled beside a source outside the language's folders is
// not read by the viewer: say where it went, and offer to install it into
// the user's language folder. True when it was installed.
bool TFormKodraEditor::OfferInstall(const std::string& compiled, const std::string& languageId) {
  const std::string folder = UserLanguageFolder(languageId);
  const QString question = QString::fromStdString(FormatMessage(
      Tr("SDicCompiledAside", "The dictionary was compiled into %s. It is not active: the program reads dictionaries "
                              "from %s. Install it there and read it now?")
          .toStdString(),
      {compiled, folder}));
  if (!EditorPrompts().AskYesNo(this, question)) {
    FStatus->ShowMessage(skWarning, QString::fromStdString(FormatMessage(
                                        Tr("SDicNotActive", "Compiled into %s; not active").toStdString(), {compiled})));
    return false;
  }
  std::string installed;
  if (!RunBusy([&] { installed = InstallCompiledDictionary(compiled, languageId); },
               Tr("SDicInstalled", "The dictionary compiled and installed")))
    return false;
  return true;
}

void TFormKodraEditor::Merge() {
  if (FDictionary->FileName().empty() && !Save()) return;
  std::string fileName;
  if (!EditorPrompts().ChooseFile(this, false, fileName, std::string(), DictionaryFileTitle(), "kds")) {
    Aborted();
    return;
  }
  if (SamePath(fileName, FDictionary->FileName())) {
    BusyStart();
    BusyEnd(skError, Tr("SErrMerge", "Unsuccessful attempt of merge with oneself"), "SErrMerge");
    return;
  }
  const QString question =
      Tr("SAckMerge", "Are you sure to merge file") + "\n" + QString::fromStdString(fileName) + "?";
  if (!EditorPrompts().AskYesNo(this, question)) {
    Aborted();
    return;
  }
  CommandManager().Get<TCommandMerge>("merge").Issue(this, kMergeMessage, fileName);
}

void TFormKodraEditor::DoMerge(const std::string& fileName) {
  RunBusy([&] { FDictionary->MergeFromFile(fileName); }, Tr("SDicMerged", "Dictionaries merged"));
  UpdateList();
  Refresh();
}

void TFormKodraEditor::Convert() {
  if (!FConverter || !FConverter->Available()) return;
  if (!CloseDictionary()) return;
  std::string noteFile;
  std::error_code error;
  if (!EditorPrompts().ChooseFile(this, false, noteFile, ProgramFolder(), Tr("SNoteFile", "Note file"), "not") ||
      !fs::exists(fs::path(noteFile), error)) {
    Aborted();
    return;
  }
  UserLanguageFolder(DefaultLanguageId(), true);  // the converted dictionary goes to the user's folder
  const std::string target = ConvertedDictionaryName(UserDataFolder(), DefaultLanguageId(), noteFile);
  if (fs::exists(fs::path(target), error) &&
      !EditorPrompts().AskYesNo(this, Tr("SFileExists", "File already exist. Do you want to replace them?") + "\n" +
                                          QString::fromStdString(target) + "?")) {
    Aborted();
    return;
  }
  CommandManager().Get<TCommandConvert>("convert").Issue(this, kConvertMessage, noteFile, target);
}

void TFormKodraEditor::DoConvert(const std::string& noteFile, const std::string& target) {
  BusyStart();
  const std::string failure = FConverter->Convert(noteFile, target);
  if (!failure.empty()) {
    BusyEnd(skError, QString::fromLocal8Bit(failure.c_str()) + ". " +
                         Tr("SConvertError", "Can't convert specified note file"),
            "SConvertError");
    return;
  }
  BusyEnd(skInformation, Tr("SNoteConverted", "Note file converted. OK"));
  FDictionary->Clear();
  FDictionary->SetFileName(target);
  Load();
}

// While changes stay unsaved, the dictionary goes beside its file now and
// then; the file itself is touched only by Save.
void TFormKodraEditor::WriteRecovery() {
  if (FBusy || !FDictionary->Modified() || FDictionary->FileName().empty()) return;
  try {
    WriteRecoveryCopy(*FDictionary);
  } catch (const std::exception& e) {
    FStatus->ShowMessage(skWarning, Tr("SRecoveryFailed", "Cannot keep a recovery copy: %s")
                                        .replace("%s", QString::fromUtf8(e.what())));
  }
}
