#pragma once
// The viewer: a search field, the keyword list of the current language's
// dictionaries, the article of the current keyword and the search results.
// Slow work runs in handlers queued to the window itself, so that the status
// bar can say "Processing..." before it starts.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dictionary/uArticleHistory.h"
#include "dictionary/uDictionary.h"
#include "viewer/keyboard/uSystemKeyboard.h"

class QAction;
class QActionGroup;
class QHeaderView;
class QMenu;
class QSplitter;
class QToolBar;
class QWidget;
class TKezListBox;
class TKezUnicodeRichEdit;
class TRtfRichEditWriter;
class TStatusLine;
class TVornTheater;
class TCommandProcess;
class THotKey;
class QMimeData;
class TFormKodraEditor;

class TFormKodra3 : public QMainWindow {
  Q_OBJECT
public:
  // The reload message's first-page marker.
  static constexpr int kFirstPage = 53;
  // The messages the commands post back.
  static constexpr uint32_t kCopyMessage = 0x1409;
  static constexpr uint32_t kPasteMessage = 0x140A;
  static constexpr uint32_t kSearchMessage = 0x140B;
  static constexpr uint32_t kSearchAllMessage = 0x140C;

  explicit TFormKodra3(QWidget* parent = nullptr);
  ~TFormKodra3() override;

  // For other windows and tests.
  TDictionary* Dictionary() const { return FDictionary.get(); }
  const TArticleHistory& History() const { return FHistory; }
  int LanguageIndex() const { return FLanguageIndex; }
  bool Busy() const { return FBusy; }
  bool LanguageInput() const { return FLanguageInput.On(); }
  int32_t ShownIndex() const { return FShownIndex; }
  TKezUnicodeRichEdit* SearchField() const { return edSearch; }
  TKezUnicodeRichEdit* ArticleView() const { return edText; }
  TKezListBox* KeywordList() const { return lstKeywords; }
  TStatusLine* Status() const { return FStatus; }
  TKezListBox* ResultList() const { return lstSearchResults; }
  const TSearchResultList& Results() const { return FResults; }
  QAction* Action(const char* name) const;

  void ShowArticle();
  void InsertWordIntoSearch(const std::u16string& text);
  void SelectLanguage(int index);
  // A word to look up once the dictionaries are loaded (from the command line).
  void SetPendingWord(std::u16string word) { FPendingWord = std::move(word); }
  // The other program's selection to catch as the hot key does once the
  // dictionaries are loaded (kodra --lookup-selection); it takes the place
  // of the search text kept from the last time.
  void SetPendingSelection() { FPendingSelection = true; }
  // A word handed over by a later start of the program: the window comes
  // forward and looks it up (at once, or once the dictionaries are loaded).
  void CatchWord(const std::u16string& word);
  // Looks up what the user has selected in another program, as the hot key
  // does: the primary selection, else the clipboard.
  void CatchSelection();
  // Brings the window forward, restored from the task bar.
  void ComeForward();
  // The system-wide key that catches a word; what it does depends on which
  // program is in front.
  void HotKeyPressed();
  THotKey* HotKey() const { return FHotKey.get(); }
  QString HotKeyNote() const;
  // Opens the dictionary editor, with a file when one is given
  // ("kodra --edit FILE").
  void OpenEditor(const std::string& fileName = {});
  // The file to open in the editor once the window is shown.
  void SetPendingEdit(std::string fileName) { FPendingEdit = std::move(fileName); }
  TFormKodraEditor* Editor() const { return FEditor.get(); }
  // Opens the dictionaries manager; true when the active set changed (the
  // window then reads its dictionaries again).
  bool ShowDictionariesManager(QWidget* parent);
  // Opens the options window; changes take effect while it is open.
  void ShowOptions();
  // What an option change asks of the window (and of the editor).
  void InterfaceLanguageChanged();
  void OptionsChanged();

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // Posted messages: they run after the handler that posts them returns.
  Q_INVOKABLE void Reload(int mode);
  Q_INVOKABLE void DoShowArticle();
  Q_INVOKABLE void OpenKeyword();
  Q_INVOKABLE void Locate(bool show, bool showIfExact);
  Q_INVOKABLE void ArticleDoubleClicked();
  Q_INVOKABLE void Search(const QString& text, int startIndex);
  Q_INVOKABLE void SearchAll(const QString& text);
  Q_INVOKABLE void OpenResult();
  std::u16string SearchText() const;
  void ShowResultsPanel(bool show);
  void RunCommand(class TCommandEvent& command);
  bool DictionariesLoaded() const;
  // Issues the paste command on a copy of what another program offered
  // (null: the clipboard as it is when the command runs).
  void PasteFrom(std::unique_ptr<QMimeData> source);
  void EndProcesses();
  // A dictionary the editor compiled is read again, and its edited article shown.
  void EditorCompiled(const std::string& sourceName);
  void DrawResult(QPainter& canvas, int32_t index, const QRect& rect);
  void Post(const char* member);
  void PostLocate(bool show, bool showIfExact);
  void ReportNotFound(int32_t nearest);
  void WriteFirstPage();
  void PostReload(int mode);

  void CreateComponents();
  void CreateActions();
  void CreateMenus();
  void UpdateActions();
  void ApplySettings();
  void NameParts();
  void ApplyLocale();
  void ApplyFonts();
  void UpdateCaption();
  // The window's own switch of the language input (a change of language, a
  // reload): on only while the system's layout is Latin.
  void SwitchLanguageInput(bool on);
  void ApplyLanguageInput();
  // Takes the selection (or the clipboard) into the search field and looks it up.
  void LookUpSelection();
  void ChooseLanguage(int index, bool switching);

  void BusyStart();
  void BusyEnd(int kind, const QString& text, const std::string& identifier = {});
  // With a message made again when the interface language changes.
  void BusyEnd(int kind, std::function<QString()> text, const std::string& identifier = {});
  // Why dictionaries or tables could not be read, and a warning kept for the
  // first load, in the interface language.
  std::function<QString()> LoadProblems(QString pending) const;
  QString LoadInterfaceLanguage();
  QString UnwritableSettingsFolder() const;
  void TakeWord(bool fromField, bool show);
  std::u16string TrimWord(std::u16string word) const;
  bool IsLanguageWordChar(char16_t c) const;
  void ShowAbbreviationAt(const QPoint& point);
  void SearchFieldKeyDown(QKeyEvent& event, bool& handled);
  void DrawKeyword(QPainter& canvas, int32_t index, const QRect& rect);

  void LoadSearchField();
  void SaveSearchField();
  void RestorePlacement();
  void SavePlacement();
  std::string DictionaryFolder() const;

  // Components, named as the window's localisation knows them.
  QToolBar* ToolBar = nullptr;
  QWidget* pnlSearch = nullptr;
  TKezUnicodeRichEdit* edSearch = nullptr;
  QSplitter* spSearch = nullptr;
  TKezListBox* lstKeywords = nullptr;
  QSplitter* spText = nullptr;
  QWidget* pnlText = nullptr;
  TKezUnicodeRichEdit* edText = nullptr;
  QSplitter* spSearchResults = nullptr;
  QWidget* pnlSearchResults = nullptr;
  QHeaderView* hcSearchResults = nullptr;
  TKezListBox* lstSearchResults = nullptr;
  TStatusLine* FStatus = nullptr;
  QActionGroup* FLanguageGroup = nullptr;
  struct TMainMenu {
    QMenu* Menu;
    const char* Key;
    const char* English;
  };
  std::vector<TMainMenu> FMainMenus;

  std::unique_ptr<TVornTheater> FTheater;
  std::unique_ptr<THotKey> FHotKey;
  std::unique_ptr<TFormKodraEditor> FEditor;
  std::string FPendingEdit;
  bool FInHotKey = false;  // the hot key's handling does not run inside itself
  std::unique_ptr<TDictionary> FDictionary;
  TKodraLanguage* FLanguage = nullptr;
  std::unique_ptr<TRtfRichEditWriter> FWriter;
  TArticleHistory FHistory;
  int FLanguageIndex = 0;
  bool FBusy = false;
  TLanguageInputState FLanguageInput{SystemKeyboard().Latin()};
  std::u16string FCurrentWord;
  std::u16string FMissedWord;  // the last word reported not found
  bool FEnterAgain = false;    // Enter in the search field, which may open the nearest keyword
  int32_t FShownIndex = -1;
  bool FFirstPageShown = false;  // the first page stands in the article view
  bool FSuppressHistory = false;
  bool FInserting = false;
  bool FShown = false;
  bool FClipboardHasText = false;
  QString FBaseCaption;
  std::u16string FPendingWord;
  bool FPendingSelection = false;
  QString FPendingWarning;  // shown once in the status bar after a load
  bool FReloadPending = false;  // a Reload is posted: lookups wait for it
  TSearchResultList FResults;
  int32_t FHighlightAllResult = -1;
  // Last, so that it goes first: it calls into the window.
  std::unique_ptr<QObject> FActionsUpdater;
};

// The program folder's language folder for an index: 0 Ancient Greek, 1 Latin.
const char* LanguageIdOfIndex(int index);
