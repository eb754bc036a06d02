#pragma once
// The dictionary editor: one source dictionary at a time, its keyword list
// on the left and one section or article in its editing form on the right.
// The window opens, saves, verifies, compiles, merges and converts, searches
// and replaces; every operation says its outcome in the status bar. What the
// text pane holds reaches the dictionary only when it is accepted, and every
// action that works on the dictionary accepts first.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/uFormEditorSearch.h"
#include "viewer/keyboard/uSystemKeyboard.h"

class QAction;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;
class TCommandEvent;
class TKezListBox;
class TKezUnicodeRichEdit;
class TKodraLanguage;
class TNoteConverter;
class TRtfRichEditWriter;
class TSourceDictionary;
class TStatusLine;

class TFormKodraEditor : public QMainWindow {
  Q_OBJECT
public:
  // The messages the window posts to itself and the commands bring back.
  static constexpr uint32_t kUserMessage = 0x400;
  static constexpr uint32_t kMergeMessage = kUserMessage + 5028;
  static constexpr uint32_t kConvertMessage = kUserMessage + 5029;
  static constexpr uint32_t kAcceptMessage = kUserMessage + 5030;
  // How long an action waits for the text pane's acceptance.
  static constexpr int kAcceptWaitMilliseconds = 2600;

  explicit TFormKodraEditor(QWidget* parent = nullptr);
  ~TFormKodraEditor() override;

  // Opens a file from outside (the command line): a file that does not
  // exist starts a new empty dictionary of that name, written only when the
  // user saves. False when the user kept the open dictionary.
  bool OpenFile(const std::string& fileName);
  // Called with the source file's name after each successful compilation.
  void SetOnCompiled(std::function<void(const std::string& sourceName)> handler) { FOnCompiled = std::move(handler); }
  bool DictionariesChanged() const { return FDictionariesChanged; }
  // The options window opened from here tells its changes through this (the
  // main window follows them); without it the editor follows them alone.
  void SetOnOptionsChanged(std::function<void(bool localeChanged)> handler) {
    FOnOptionsChanged = std::move(handler);
  }
  // Shows the dictionaries manager; true when the active set changed.
  void SetOnDictionariesManager(std::function<bool(QWidget* parent)> handler) {
    FOnDictionariesManager = std::move(handler);
  }
  // What an option change asks of the window.
  void InterfaceLanguageChanged();
  void OptionsChanged();

  // The steps the actions take, for the main window and tests.
  bool AcceptPending();
  bool Save();
  bool CloseDictionary();
  bool Verify();
  bool Compile();
  // Runs a search confirmed in the search window.
  void StartSearch(const TEditorSearchSettings& settings);
  // Enables and ticks the actions as the window's state says; the window
  // does it whenever it is idle.
  void UpdateActions();
  // Writes the recovery copy now, as the timer does.
  void WriteRecovery();

  TSourceDictionary& Dictionary() const { return *FDictionary; }
  TKodraLanguage* Language() const { return FLanguage; }
  TKezUnicodeRichEdit* SearchBox() const { return edSearch; }
  TKezUnicodeRichEdit* TextPane() const { return edText; }
  TKezListBox* KeywordList() const { return lstKeywords; }
  TStatusLine* Status() const { return FStatus; }
  QAction* Action(const char* name) const;
  bool Busy() const { return FBusy; }
  bool InPreview() const { return FPreview; }
  bool InputOn() const { return FInput.On(); }
  int EditedPart() const { return FEditedPart; }
  int32_t EditedItem() const { return FEditedItem; }
  const std::u16string& ReplaceText() const { return FReplaceText; }
  // The keyword of the article shown, or empty.
  std::u16string CurrentKeyword() const;

  // The dictionary open in the editor last, reopened when it opens again
  // while the program runs.
  static std::string& LastDictionary();
  static void RememberLastDictionary();

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // Messages the window posts to itself.
  Q_INVOKABLE void ReopenLast();
  Q_INVOKABLE void Refresh();
  Q_INVOKABLE void GoTo(bool show, bool showIfExact);
  Q_INVOKABLE void ChooseFromList();
  void PostRefresh();
  void PostGoTo(bool show, bool showIfExact);
  void RunCommand(TCommandEvent& command);
  void DoMerge(const std::string& fileName);
  void DoConvert(const std::string& noteFile, const std::string& target);
  void DoAccept();

  // Building (uFormKodraEditorActions.cpp).
  void CreateComponents();
  void CreateActions();
  void CreateMenus();
  void NameParts();

  // State and appearance.
  void ApplyLocale();
  void ApplyFonts();
  void ApplyHints();
  void UpdateCaption();
  void SetLanguage(TKodraLanguage* language);
  // The window's own switch of the language input (a new dictionary, new
  // panes): on only while the system's layout is Latin.
  void SwitchInput(bool on);
  void ApplyInput();
  void RestorePlacement();
  void SavePlacement();

  // Busy and status.
  void BusyStart();
  void BusyEnd(int kind, const QString& text, const std::string& identifier = {});
  // Runs an operation busy; its errors end it with their message.
  bool OfferInstall(const std::string& compiled, const std::string& languageId);
  bool RunBusy(const std::function<void()>& operation, const QString& success);
  void Aborted();

  // Files (uFormKodraEditorFile.cpp).
  void ResetPanes();
  void Load();
  bool SaveAs();
  void New();
  void Open();
  void Merge();
  void Convert();
  void UpdateList();
  bool OfferRecoveryCopy();

  // Text (uFormKodraEditorText.cpp).
  void SetPreview(bool on);
  void Move(int delta);
  void ShowPart(int part);
  void AddArticle();
  void InsertTag(const char16_t* opening, const char16_t* closing);
  void InsertKeywordLine();
  void InsertSpecialChar(char16_t unit);
  void PasteIntoSearchBox();
  void PasteIntoTextPane();
  void Search();
  void SearchNext();
  void Replace();
  void ReportSearch(bool found);
  TKezUnicodeRichEdit* ActiveEdit() const;
  void KeyDown(TKezUnicodeRichEdit& edit, QKeyEvent& event, bool& handled);
  void DrawKeyword(QPainter& canvas, int32_t index, const QRect& rect);

  // Components, named as the window's localisation knows them.
  QToolBar* ToolBar = nullptr;
  QSplitter* pnlSearch = nullptr;
  TKezUnicodeRichEdit* edSearch = nullptr;
  TKezListBox* lstKeywords = nullptr;
  QSplitter* spText = nullptr;
  TKezUnicodeRichEdit* edText = nullptr;
  TStatusLine* FStatus = nullptr;
  QMenu* mnuSpecialChar = nullptr;
  struct TMainMenu {
    QMenu* Menu;
    const char* Key;
    const char* English;
  };
  std::vector<TMainMenu> FMainMenus;

  TKodraLanguage* FLanguage = nullptr;
  std::unique_ptr<TSourceDictionary> FDictionary;
  std::unique_ptr<TRtfRichEditWriter> FWriter;
  std::unique_ptr<TNoteConverter> FConverter;
  QTimer* FRecoveryTimer = nullptr;
  QString FBaseCaption;
  TLanguageInputState FInput{SystemKeyboard().Latin()};
  int FEditedPart = 0;
  int32_t FEditedItem = 0;
  bool FBusy = false;
  bool FPreview = false;
  int FAcceptResult = 0;
  bool FAccepting = false;
  std::u16string FReplaceText;
  bool FDictionariesChanged = false;
  bool FShown = false;
  bool FInsertingSearch = false;
  bool FClipboardHasText = false;
  TKezUnicodeRichEdit* FActiveEdit = nullptr;
  std::function<void(const std::string&)> FOnCompiled;
  std::function<void(bool)> FOnOptionsChanged;
  std::function<bool(QWidget*)> FOnDictionariesManager;
  // Last, so that it goes first: it calls into the window.
  std::unique_ptr<QObject> FActionsUpdater;
};
