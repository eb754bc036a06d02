// The main window: components, actions, menus, settings and languages.
#include "viewer/uFormKodra3.h"
#include "viewer/hotkey/uHotKey.h"
#include "viewer/keyboard/uKeyShortcuts.h"
#include "viewer/uHintOptions.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMessageBox>
#include <QSettings>
#include <QHeaderView>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>

#include "editor/uCharMap.h"
#include "editor/uFormKodraEditor.h"
#include "foundation/KezLocale.h"
#include "foundation/KezProgramFolder.h"
#include "foundation/KezSafeFile.h"
#include "widgets/KezListBox.h"
#include "language/uCommon.h"
#include "options/uOptions.h"
#include "options/uSavedSearch.h"
#include "render/uRichEditWriter.h"
#include "source/uSourceDictionary.h"
#include "widgets/KezUnicodeRichEdit.h"
#include "viewer/thread/uVornErrors.h"
#include "viewer/thread/uVornTheater.h"
#include "viewer/uClipboardConversion.h"
#include "viewer/uCommands.h"
#include "viewer/uData.h"
#include "viewer/uFormDictionariesManager.h"
#include "viewer/uFormParts.h"
#include "viewer/uOptionsForm.h"
#include "viewer/uIcons.h"
#include "viewer/uStatusLine.h"
#include "viewer/uToolkitTranslation.h"


const char* LanguageIdOfIndex(int index) { return index == 1 ? "latin" : "ancientgreek"; }

TFormKodra3::TFormKodra3(QWidget* parent) : QMainWindow(parent) {
  setObjectName("FormKodra3");
  setWindowTitle("Kodra");
  setMinimumSize(300, 300);
  resize(756, 531);
  // The processes of the window: the command process passes commands on.
  FTheater = std::make_unique<TVornTheater>();
  SetCommandProcess(FTheater->Launch<TCommandProcess>());
  FHotKey = CreateHotKey(this);
  InstallKeyShortcuts();
  connect(FHotKey.get(), &THotKey::Activated, this, &TFormKodra3::HotKeyPressed);
  SetVornErrorBox([](void*, const std::string& text, const std::string& caption) {
    // Called on the failing process's thread: the box opens on the window thread.
    QMetaObject::invokeMethod(qApp, [text, caption] {
      QMessageBox::critical(QApplication::activeWindow(), QString::fromStdString(caption), QString::fromStdString(text));
    }, Qt::QueuedConnection);
  });
  // The interface language first: parts made from here on carry its texts
  // from the start (screen readers keep some names as they first read them).
  GlobalData().Prepare();
  InstallHintOptions();
  const QString localeProblem = LoadInterfaceLanguage();
  CreateComponents();
  CreateActions();
  CreateMenus();
  {
    QSettings settings("Prask", "Kodra3");
    FLanguageIndex = std::clamp(settings.value("MainWindow/LastLanguage", 0).toInt(), 0, 1);
  }
  ApplyLocale();
  FBaseCaption = windowTitle();
  // A settings file that could not be read is said once, when the first
  // dictionaries have loaded and the status bar is free.
  if (const TOptionsLoadResult loaded = TakeOptionsLoadResult(); loaded.Failed)
    FPendingWarning = loaded.Kept ? Tr("SOptionsFileKept", loaded.Message().c_str())
                                  : Tr("SOptionsFileUnread", loaded.Message().c_str());
  // So is an interface language file that gave no texts.
  if (!localeProblem.isEmpty()) FPendingWarning += (FPendingWarning.isEmpty() ? "" : "; ") + localeProblem;
  // And a folder where the settings or the search text cannot be kept (a
  // read-only program folder): said now, not found out as losses later.
  if (const QString unwritable = UnwritableSettingsFolder(); !unwritable.isEmpty())
    FPendingWarning += (FPendingWarning.isEmpty() ? "" : "; ") + unwritable;
  FWriter = std::make_unique<TRtfRichEditWriter>(*edText, nullptr, Options());
  ChooseLanguage(FLanguageIndex, false);
  ApplySettings();
  pnlSearchResults->hide();
  ApplyFonts();
  RestorePlacement();
  UpdateCaption();
  const bool latin = std::filesystem::exists(ProgramFolder() + "latin" + kPathDelimiter + "main.kdb");
  Action("actDictionaryLatinRussian")->setVisible(latin);
  // The clipboard is asked when it changes, not at every update of the actions.
  auto clipboardChanged = [this] { FClipboardHasText = TGlobalData::ClipboardHasText(); };
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, clipboardChanged);
  clipboardChanged();
  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, this, [this] { UpdateActions(); });
  idle->start(250);
  FActionsUpdater = KeepActionsCurrent(*this, [this] { UpdateActions(); });
}

TFormKodra3::~TFormKodra3() {
  FEditor.reset();
  FHotKey.reset();
  EndProcesses();
}

// The command process sleeps on its event: told to terminate, it ends
// within a round.
void TFormKodra3::EndProcesses() {
  if (!FTheater) return;
  SetCommandProcess(nullptr);
  while (!FTheater->AllFinished()) {
    QCoreApplication::processEvents();
    QThread::msleep(1);
  }
  FTheater.reset();
}

bool TFormKodra3::event(QEvent* event) {
  if (event->type() == TCommandEvent::EventType()) {
    RunCommand(static_cast<TCommandEvent&>(*event));
    return true;
  }
  // A hot key another program held may be free now that the reader is back.
  if (event->type() == QEvent::WindowActivate && FHotKey && Options().HotKey() != 0 && !FHotKey->Grabbed() &&
      !FHotKey->DesktopChoosesKey())
    FHotKey->Register(Options().HotKey());
  return QMainWindow::event(event);
}

void TFormKodra3::RunCommand(TCommandEvent& command) {
  switch (command.Message) {
    case kCopyMessage:
      if (edText->hasFocus()) edText->copy();
      else edSearch->copy();
      break;
    case kPasteMessage: {
      const std::unique_ptr<QMimeData> caught = std::move(static_cast<TCommandPaste&>(command.Command).Source);
      const QMimeData* source = caught ? caught.get() : QApplication::clipboard()->mimeData();
      BusyStart();
      try {
        // A clipboard too large for a word is refused before anything changes.
        InsertWordIntoSearch(PasteConverted(*FLanguage, 0, source));
        BusyEnd(skNone, QString());
      } catch (const THelpedException& e) {
        BusyEnd(skError, QString::fromStdString(e.Message), e.HelpKeyword);
      } catch (const std::exception& e) {
        BusyEnd(skError, QString::fromUtf8(e.what()));
      }
      break;
    }
    case kSearchMessage: {
      const auto& search = static_cast<const TCommandSearch&>(command.Command);
      Search(QString::fromStdU16String(search.Text), search.StartIndex);
      break;
    }
    case kSearchAllMessage:
      SearchAll(QString::fromStdU16String(static_cast<const TCommandSearchAll&>(command.Command).Text));
      break;
  }
}

QAction* TFormKodra3::Action(const char* name) const { return findChild<QAction*>(name); }

void TFormKodra3::CreateComponents() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  spText = new QSplitter(Qt::Horizontal, central);
  spText->setObjectName("spText");
  spText->setChildrenCollapsible(false);
  layout->addWidget(spText);

  spSearch = new QSplitter(Qt::Vertical, spText);
  spSearch->setObjectName("spSearch");
  spSearch->setChildrenCollapsible(false);
  pnlSearch = spSearch;
  edSearch = new TKezUnicodeRichEdit(spSearch);
  edSearch->setObjectName("edSearch");
  edSearch->setMinimumHeight(20);
  edSearch->SetScrollBars(sbVertical);
  edSearch->setAcceptRichText(false);
  lstKeywords = new TKezListBox(spSearch);
  lstKeywords->setObjectName("lstKeywords");
  lstKeywords->SetMinItemHeight(18);
  lstKeywords->SetHideSelection(false);
  spSearch->setSizes({73, 400});
  spSearch->setStretchFactor(1, 1);

  spSearchResults = new QSplitter(Qt::Vertical, spText);
  spSearchResults->setObjectName("spSearchResults");
  spSearchResults->setChildrenCollapsible(false);
  pnlText = spSearchResults;
  edText = new TKezUnicodeRichEdit(spSearchResults);
  edText->setObjectName("edText");
  edText->setReadOnly(true);
  edText->SetUndoLimit(0);
  edText->SetWordBreakRule(TKezUnicodeRichEdit::BlankWordBreak);
  edText->viewport()->setMouseTracking(true);
  edText->viewport()->installEventFilter(this);
  edSearch->viewport()->installEventFilter(this);
  pnlSearchResults = new QWidget(spSearchResults);
  pnlSearchResults->setObjectName("pnlSearchResults");
  auto* resultsLayout = new QVBoxLayout(pnlSearchResults);
  resultsLayout->setContentsMargins(0, 0, 0, 0);
  resultsLayout->setSpacing(0);
  auto* header = new QStandardItemModel(0, 2, pnlSearchResults);
  hcSearchResults = new QHeaderView(Qt::Horizontal, pnlSearchResults);
  hcSearchResults->setObjectName("hcSearchResults");
  hcSearchResults->setModel(header);
  hcSearchResults->setSectionsClickable(false);
  hcSearchResults->setFixedHeight(hcSearchResults->fontMetrics().height() + 4);
  hcSearchResults->setMinimumSectionSize(50);
  hcSearchResults->setMaximumSectionSize(1024);
  hcSearchResults->resizeSection(0, 138);
  hcSearchResults->resizeSection(1, 1024);
  header->setHorizontalHeaderLabels({QString(), QString()});
  lstSearchResults = new TKezListBox(pnlSearchResults);
  lstSearchResults->setObjectName("lstSearchResults");
  lstSearchResults->SetMinItemHeight(18);
  lstSearchResults->SetHideSelection(false);
  lstSearchResults->SetOnDrawItem([this](TKezCustomListBox&, QPainter& canvas, int32_t index, const QRect& rect) {
    DrawResult(canvas, index, rect);
  });
  lstSearchResults->installEventFilter(this);
  lstSearchResults->viewport()->installEventFilter(this);
  connect(hcSearchResults, &QHeaderView::sectionResized, lstSearchResults, [this] { lstSearchResults->Invalidate(); });
  resultsLayout->addWidget(hcSearchResults);
  resultsLayout->addWidget(lstSearchResults);
  spText->addWidget(spSearch);
  spText->addWidget(spSearchResults);
  spText->setSizes({193, 563});
  spText->setStretchFactor(1, 1);
  setCentralWidget(central);

  FStatus = new TStatusLine(this);
  setStatusBar(FStatus);

  // What screen readers call the parts, and the rows they read.
  InstallListBoxAccessibility();
  lstKeywords->SetOnGetItemText([this](const TKezCustomListBox&, int32_t index) {
    return FDictionary ? QString::fromStdU16String(std::u16string(FDictionary->GetKeywordText(index))) : QString();
  });
  lstSearchResults->SetOnGetItemText([this](const TKezCustomListBox&, int32_t index) {
    if (index < 0 || size_t(index) >= FResults.size() || !FDictionary) return QString();
    const TSearchResult& result = *FResults[size_t(index)];
    return QString::fromStdU16String(std::u16string(FDictionary->GetKeywordText(result.KeywordIndex))) + ": " +
           QString::fromStdU16String(result.Context);
  });

  lstKeywords->SetOnDrawItem([this](TKezCustomListBox&, QPainter& canvas, int32_t index, const QRect& rect) {
    DrawKeyword(canvas, index, rect);
  });
  lstKeywords->installEventFilter(this);
  lstKeywords->viewport()->installEventFilter(this);
  edSearch->SetOnChange([this](TKezUnicodeRichEdit&) {
    if (!FInserting) TakeWord(true, false);
  });
  edSearch->SetOnKeyDown([this](TKezUnicodeRichEdit&, QKeyEvent& event, bool& handled) {
    SearchFieldKeyDown(event, handled);
  });
  // The language input steps aside while the system types another script.
  connect(&SystemKeyboard(), &TSystemKeyboard::Changed, this, [this](bool latin) {
    FLanguageInput.FollowLayout(latin);
    ApplyLanguageInput();
  });
}

void TFormKodra3::CreateActions() {
  static constexpr TActionDefinition kDefinitions[] = {
      {"actDictionaryAncientGreekRussian", "&Ancient Greek - Russian", "", ""},
      {"actDictionaryLatinRussian", "&Latin - Russian", "", ""},
      {"actDictionaryManager", "&Manager", "Dictionary manager", ""},
      {"actExit", "E&xit", "", ""},
      {"actEditLanguage", "&Language", "Language", "Ctrl+L"},
      {"actEditCharMap", "Char &map", "Char map", "Ctrl+M"},
      {"actEditUndo", "&Undo", "Undo", "Ctrl+Z"},
      {"actEditCut", "Cu&t", "Cut", "Ctrl+X"},
      {"actEditCopy", "&Copy", "Copy", "Ctrl+C"},
      {"actEditPaste", "&Paste", "Paste", "Ctrl+V"},
      {"actEditDelete", "&Delete", "Delete", ""},
      {"actEditSelectAll", "&Select all", "Select all", "Ctrl+A"},
      {"actEditClear", "Clea&r", "Clear", "Ctrl+Del"},
      {"actSearchGoto", "&Go to", "Go to dictionary entry", ""},
      {"actSearchBack", "&Back", "Back", "F2"},
      {"actSearchForward", "&Forward", "Forward", "Ctrl+F2"},
      {"actSearchUp", "&Up", "Up", "Ctrl+Shift+Up"},
      {"actSearchDown", "&Down", "Down", "Ctrl+Shift+Down"},
      {"actSearchStart", "&Search", "Search", "Ctrl+F"},
      {"actSearchStartCurrent", "Search from current &article", "Search from current article",
       "Ctrl+Alt+F"},
      {"actSearchNext", "&Next", "Next", "F3"},
      {"actSearchAll", "Search &all", "Search all", "Ctrl+Shift+F"},
      {"actSearchResults", "Search &results", "Search results", "Ctrl+F3"},
      {"actViewMeanings", "&Meanings", "Meanings", "F4"},
      {"actViewOnTop", "On &Top", "On top", "Ctrl+T"},
      {"actServiceEditor", "&Editor...", "Editor", "F6"},
      {"actServiceOptions", "&Options...", "Options", ""},
      {"actHelpContents", "&Contents", "Contents", "F1"},
      {"actHelpHomePage", "&Home page", "Home page", ""},
      {"actHelpAboutDictionary", "About dictionary", "About dictionary", ""},
      {"actHelpAbout", "&About...", "About", ""},
      {"actHelpOnCommands", "&Help", "Help on commands", ""},
      {"actHelpOnEntryField", "&Help", "Help on entry field", ""},
      {"actHelpOnDicEntry", "&Help", "Help on dictionary entry", ""},
      {"actHelpOnStatus", "&Help", "Help on status bar", ""},
      {"actHelpOnList", "&Help", "Help on keyword list", ""},
      {"actHelpOnError", "&Last error", "Help on last error", ""},
  };
  ::CreateActions(*this, kDefinitions);
  for (const char* name : {"actSearchResults", "actViewMeanings", "actViewOnTop", "actEditLanguage"})
    Action(name)->setCheckable(true);
  // Enter goes to the entry from the search field (its key handler): the
  // menus show it, but it is bound only to the window itself, which never
  // has the focus, so Enter keeps its meaning everywhere else.
  Action("actSearchGoto")->setShortcut(QKeySequence(Qt::Key_Enter));
  Action("actSearchGoto")->setShortcutContext(Qt::WidgetShortcut);
  FLanguageGroup = new QActionGroup(this);
  for (const char* name : {"actDictionaryAncientGreekRussian", "actDictionaryLatinRussian"}) {
    Action(name)->setCheckable(true);
    FLanguageGroup->addAction(Action(name));
  }
  auto on = [this](const char* name, auto handler) { connect(Action(name), &QAction::triggered, this, handler); };
  on("actDictionaryAncientGreekRussian", [this] { SelectLanguage(0); });
  on("actDictionaryLatinRussian", [this] { SelectLanguage(1); });
  on("actExit", [this] { close(); });
  on("actEditLanguage", [this] {
    FLanguageInput.Choose(!FLanguageInput.On());
    ApplyLanguageInput();
  });
  on("actEditUndo", [this] { FStatus->ClearMessage(); edSearch->undo(); });
  on("actEditCut", [this] { FStatus->ClearMessage(); edSearch->cut(); });
  on("actEditCopy", [this] { CommandManager().Get<TCommandCopy>("copy").Issue(this, kCopyMessage); });
  on("actEditPaste", [this] { PasteFrom(nullptr); });
  on("actEditDelete", [this] { FStatus->ClearMessage(); edSearch->DeleteSelection(); });
  on("actEditSelectAll", [this] {
    FStatus->ClearMessage();
    if (edText->hasFocus()) edText->selectAll(); else edSearch->selectAll();
  });
  on("actEditClear", [this] {
    FStatus->ClearMessage();
    edSearch->selectAll();
    edSearch->DeleteSelection();
  });
  on("actSearchGoto", [this] { TakeWord(true, true); });
  on("actSearchBack", [this] {
    const int32_t index = FHistory.Back();
    if (index >= 0 && index < FDictionary->KeywordCount()) {
      FDictionary->SetCurrent(index);
      lstKeywords->SelectCentered(index);
      ShowArticle();
    }
  });
  on("actSearchForward", [this] {
    const int32_t index = FHistory.Forward();
    if (index >= 0 && index < FDictionary->KeywordCount()) {
      FDictionary->SetCurrent(index);
      lstKeywords->SelectCentered(index);
      ShowArticle();
    }
  });
  for (const auto& [name, step] : {std::pair{"actSearchUp", -1}, std::pair{"actSearchDown", 1}}) {
    const int delta = step;
    on(name, [this, delta] {
      const int32_t index = FDictionary->CurrentIndex() + delta;
      if (index < 0 || index >= FDictionary->KeywordCount()) return;
      FSuppressHistory = true;
      FDictionary->SetCurrent(index);
      lstKeywords->SelectCentered(index);
      ShowArticle();
    });
  }
  auto search = [this](int32_t startIndex, std::u16string text) {
    CommandManager().Get<TCommandSearch>("search").Issue(this, kSearchMessage, startIndex, std::move(text));
  };
  on("actSearchStart", [this, search] {
    FStatus->ClearMessage();
    if (std::u16string text = SearchText(); !text.empty()) search(0, std::move(text));
  });
  on("actSearchStartCurrent", [this, search] {
    FStatus->ClearMessage();
    if (std::u16string text = SearchText(); !text.empty()) search(FDictionary->CurrentIndex(), std::move(text));
  });
  on("actSearchNext", [this, search] {
    FStatus->ClearMessage();
    search(0, std::u16string());
  });
  on("actSearchAll", [this] {
    FStatus->ClearMessage();
    if (std::u16string text = SearchText(); !text.empty())
      CommandManager().Get<TCommandSearchAll>("searchall").Issue(this, kSearchAllMessage, std::move(text));
  });
  on("actSearchResults", [this] { ShowResultsPanel(Action("actSearchResults")->isChecked()); });
  on("actHelpAbout", [this] {
    ShowAboutBox(this);
  });
  on("actViewMeanings", [this] {
    edText->SetWordWrap(!Action("actViewMeanings")->isChecked());
    ShowArticle();
  });
  on("actViewOnTop", [this] {
    // Changing the flag re-creates the window: it keeps its place and size,
    // and the actions are brought up to date at once.
    const QByteArray geometry = saveGeometry();
    setWindowFlag(Qt::WindowStaysOnTopHint, Action("actViewOnTop")->isChecked());
    restoreGeometry(geometry);
    show();
    UpdateActions();
  });
  on("actServiceEditor", [this] { OpenEditor(); });
  on("actServiceOptions", [this] { ShowOptions(); });
  on("actDictionaryManager", [this] { ShowDictionariesManager(this); });
  on("actEditCharMap", [this] {
    // The composed text is looked up as a caught word.
    TFormCharMap form(this, FLanguage);
    if (form.exec() == QDialog::Accepted && !form.Text().empty()) InsertWordIntoSearch(form.Text());
  });
  on("actHelpContents", [this] { GlobalData().HelpContents(this); });
  on("actHelpHomePage", [] { GlobalData().HomePage(); });
  on("actHelpAboutDictionary", [this] { GlobalData().HelpTopic(this, LanguageIdOfIndex(FLanguageIndex)); });
  for (const auto& [name, topic] : {std::pair{"actHelpOnCommands", "kodracommands"},
                                     std::pair{"actHelpOnEntryField", "kodraentryfield"},
                                     std::pair{"actHelpOnDicEntry", "kodradicentry"},
                                     std::pair{"actHelpOnStatus", "status"},
                                     std::pair{"actHelpOnList", "kodrakeywordlist"}}) {
    const QString page = topic;
    on(name, [this, page] { GlobalData().HelpTopic(this, page); });
  }
  on("actHelpOnError", [this] { GlobalData().ErrorPopup(this, FStatus->HelpKeyword()); });
}

void TFormKodra3::CreateMenus() {
  QMenuBar* bar = menuBar();
  auto menu = [&](const char* key, const char* english) {
    QMenu* created = bar->addMenu(english);
    FMainMenus.push_back({created, key, english});
    return created;
  };
  AddActions(*menu("MainMenuDictionary", "&Dictionary"), *this,
             {"actDictionaryAncientGreekRussian", "actDictionaryLatinRussian", "", "actDictionaryManager", "",
              "actExit"});
  AddActions(*menu("MainMenuEdit", "&Edit"), *this,
             {"actEditLanguage", "actEditCharMap", "", "actEditUndo", "actEditCut", "actEditCopy", "actEditPaste", "",
              "actEditDelete", "actEditSelectAll", "actEditClear"});
  AddActions(*menu("MainMenuSearch", "&Search"), *this,
             {"actSearchGoto", "actSearchBack", "actSearchForward", "actSearchUp", "actSearchDown", "",
              "actSearchStart", "actSearchStartCurrent", "actSearchNext", "", "actSearchAll", "actSearchResults"});
  AddActions(*menu("MainMenuView", "&View"), *this, {"actViewMeanings", "actViewOnTop"});
  AddActions(*menu("MainMenuService", "Servi&ce"), *this, {"actServiceEditor", "", "actServiceOptions"});
  AddActions(*bar->addMenu("&?"), *this,
             {"actHelpContents", "", "actHelpHomePage", "", "actHelpAboutDictionary", "actHelpAbout"});
  AttachPopupMenu(*this, "MenuSearch", *edSearch,
                  {"actEditUndo", "actEditCut", "actEditCopy", "actEditPaste", "", "actEditDelete",
                   "actEditSelectAll", "actEditClear", "", "actSearchGoto", "actSearchStart", "actSearchNext", "",
                   "actServiceOptions", "actHelpOnEntryField"});
  AttachPopupMenu(*this, "MenuText", *edText,
                  {"actEditCopy", "", "actViewMeanings", "actSearchBack", "actSearchForward", "", "actServiceEditor",
                   "", "actServiceOptions", "actHelpOnDicEntry"});
  AttachPopupMenu(*this, "MenuStatus", *FStatus, {"actServiceOptions", "actHelpOnStatus", "actHelpOnError"});
  AttachPopupMenu(*this, "MenuList", *lstKeywords, {"actServiceOptions", "actHelpOnList"});

  ToolBar = addToolBar(Tr("MainAccessibleToolBar", "Tool bar"));
  ToolBar->setObjectName("ToolBar");
  ToolBar->setMovable(false);
  AddActions(*ToolBar, *this,
             {"actEditLanguage", "actEditCharMap", "", "actEditUndo", "actEditCut", "actEditCopy", "actEditPaste", "",
              "actSearchGoto", "actSearchBack", "actSearchForward", "actSearchUp", "actSearchDown", "",
              "actSearchStart", "actSearchStartCurrent", "actSearchNext", "actSearchAll", "actSearchResults", "",
              "actViewMeanings", "actViewOnTop", "", "actServiceEditor"});
  AttachPopupMenu(*this, "MenuToolBar", *ToolBar, {"actServiceOptions", "actHelpOnCommands"});
}

// The interface language's texts for the window, its menus and its parts.
void TFormKodra3::ApplyLocale() {
  for (const TMainMenu& menu : FMainMenus) menu.Menu->setTitle(Tr(menu.Key, menu.English));
  GlobalData().LocalizeForm(this, "Main");
  NameParts();
  ToolBar->setWindowTitle(ToolBar->accessibleName());
}

void TFormKodra3::UpdateActions() {
  const bool idle = !FBusy;
  const bool loaded = FDictionary && FDictionary->DictionaryCount() > 0;
  const int32_t current = FDictionary ? FDictionary->CurrentIndex() : -1;
  const int32_t count = FDictionary ? FDictionary->KeywordCount() : 0;
  const bool searchActive = edSearch->hasFocus();
  const bool searchSelection = edSearch->textCursor().hasSelection();
  auto enable = [this](const char* name, bool enabled) { Action(name)->setEnabled(enabled); };
  for (const char* name : {"actEditLanguage", "actViewMeanings", "actViewOnTop", "actSearchResults"})
    enable(name, idle);
  // The windows these open are not part of the program yet.
  enable("actDictionaryManager", idle);
  enable("actEditCharMap", idle);
  enable("actServiceEditor", idle);
  enable("actServiceOptions", idle);
  enable("actHelpOnError", FStatus->Kind() == skError && !FStatus->HelpKeyword().empty());
  enable("actEditUndo", idle && searchActive && edSearch->CanUndo());
  enable("actEditCut", idle && searchActive && searchSelection);
  enable("actEditDelete", idle && searchActive && searchSelection);
  enable("actEditCopy", idle && ((searchActive && searchSelection) ||
                                 (edText->hasFocus() && edText->textCursor().hasSelection())));
  enable("actEditPaste", idle && FClipboardHasText);
  enable("actEditSelectAll", idle && (searchActive || edText->hasFocus()));
  enable("actSearchGoto", idle && !edSearch->Text().empty() && loaded);
  enable("actSearchBack", FHistory.CanBack());
  enable("actSearchForward", FHistory.CanForward());
  enable("actSearchUp", current > 0);
  enable("actSearchDown", count > 0 && current < count - 1);
  // A search text is searched for wherever the focus is: after Ctrl+F the
  // article has it, and Ctrl+Shift+F must still search.
  const bool canSearch = idle && (searchSelection || !edSearch->Text().empty());
  for (const char* name : {"actSearchStart", "actSearchStartCurrent", "actSearchAll"}) enable(name, canSearch);
  enable("actSearchNext", idle && FDictionary && FDictionary->SearchActive());
  Action("actEditLanguage")->setChecked(FLanguageInput.On());
}

void TFormKodra3::ShowResultsPanel(bool show) {
  pnlSearchResults->setVisible(show);
  Action("actSearchResults")->setChecked(show);
  if (show && spSearchResults->sizes().value(1) < 40) spSearchResults->setSizes({std::max(100, height() - 200), 84});
}

void TFormKodra3::NameParts() {
  const std::pair<QWidget*, std::pair<const char*, const char*>> parts[] = {
      {edSearch, {"MainAccessibleSearchField", "Search field"}},
      {lstKeywords, {"MainAccessibleKeywordList", "Keyword list"}},
      {edText, {"MainAccessibleArticle", "Article"}},
      {pnlSearchResults, {"MainAccessibleResultsPanel", "Search results"}},
      {hcSearchResults, {"MainAccessibleResultsHeader", "Search results header"}},
      {lstSearchResults, {"MainAccessibleResultList", "Search results list"}},
      {ToolBar, {"MainAccessibleToolBar", "Tool bar"}},
      {FStatus, {"MainAccessibleStatusBar", "Status bar"}},
      {spSearch, {"MainAccessibleSearchPanel", "Search panel"}},
      {spText, {"MainAccessibleSplitter", "Search panel and article"}},
      {spSearchResults, {"MainAccessibleTextPanel", "Article and search results"}},
  };
  for (const auto& [part, name] : parts) part->setAccessibleName(Tr(name.first, name.second));
}

void TFormKodra3::ApplySettings() {
  // A changed hot key takes effect at once: the old one is given up.
  if (FHotKey && Options().HotKey() != FHotKey->Registered()) FHotKey->Register(Options().HotKey());
  FStatus->SetHintDelay(Options().StatusDelay() * 1000);
  hcSearchResults->model()->setHeaderData(0, Qt::Horizontal, QString::fromStdString(Locale().Text("SSearchResults", "Search results")));
}

void TFormKodra3::ApplyFonts() {
  edSearch->setFont(OptionFont(Options().SearchFont()));
  lstKeywords->setFont(OptionFont(Options().ListFont()));
  {
    const TFontChoice choice = Options().FullTextFontChoice();
    QFont font(QString::fromStdString(choice.FaceName));
    if (choice.Size > 0) font.setPointSize(choice.Size);
    lstSearchResults->setFont(font);
  }
  edText->setFont(OptionFont(Options().ArticleFont()));
  FStatus->setFont(OptionFont(Options().StatusFont()));
  if (FShown) ShowArticle();
}

void TFormKodra3::UpdateCaption() {
  QAction* checked = FLanguageGroup->checkedAction();
  if (!checked) {
    setWindowTitle(FBaseCaption);
    return;
  }
  QString caption = checked->text();
  caption.remove(caption.indexOf('&'), caption.contains('&') ? 1 : 0);
  setWindowTitle(caption + ". " + FBaseCaption);
}

void TFormKodra3::SwitchLanguageInput(bool on) {
  FLanguageInput.Reset(on);
  ApplyLanguageInput();
}

void TFormKodra3::ApplyLanguageInput() {
  const bool on = FLanguageInput.On();
  edSearch->SetLanguageInput(on ? FLanguage : nullptr);
  Action("actEditLanguage")->setChecked(on);
  // The language's own letter while it types, the plain mark when off.
  Action("actEditLanguage")->setIcon(ActionIcon("actEditLanguage", !on ? "off" : FLanguageIndex == 1 ? "latin" : "greek"));
}

std::string TFormKodra3::DictionaryFolder() const { return GlobalData().DictionaryFolder(); }

void TFormKodra3::ChooseLanguage(int index, bool switching) {
  FLanguageIndex = index;
  Action(index == 1 ? "actDictionaryLatinRussian" : "actDictionaryAncientGreekRussian")->setChecked(true);
  const char* id = LanguageIdOfIndex(index);
  SetDefaultLanguageId(id);
  FDictionary.reset();
  FHistory.Clear();
  FLanguage = FindLanguage(id);
  FWriter->SetLanguage(FLanguage);
  FResults.clear();
  if (lstSearchResults) lstSearchResults->SetCount(0);
  FDictionary = std::make_unique<TDictionary>(FLanguage, DictionaryFolder());
  FDictionary->SetShippedFolder(GlobalData().ShippedDictionaryFolder());
  FShownIndex = FDictionary->CurrentIndex();
  lstKeywords->SetCount(0);
  if (switching) {
    LoadSearchField();
    PostReload(0);
  }
  UpdateCaption();
  SwitchLanguageInput(true);
}

void TFormKodra3::SelectLanguage(int index) {
  if (index == FLanguageIndex && FDictionary) {
    Action(index == 1 ? "actDictionaryLatinRussian" : "actDictionaryAncientGreekRussian")->setChecked(true);
    return;
  }
  SaveSearchField();
  ChooseLanguage(index, true);
}

void TFormKodra3::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (FShown) return;
  FShown = true;
  LoadSearchField();
  PostReload(kFirstPage);
  if (!FPendingEdit.empty())
    QMetaObject::invokeMethod(this, [this] { OpenEditor(std::exchange(FPendingEdit, std::string())); },
                              Qt::QueuedConnection);
}

void TFormKodra3::closeEvent(QCloseEvent* event) {
  // The editor goes first: its author may still want to save, or stay.
  if (FEditor && FEditor->isVisible() && !FEditor->close()) {
    event->ignore();
    return;
  }
  SavePlacement();
  BusyStart();
  SaveSearchField();
  BusyEnd(skNone, QString());
  if (FHotKey) FHotKey->Unregister();
  EndProcesses();
  event->accept();
}

void TFormKodra3::RestorePlacement() {
  QSettings settings("Prask", "Kodra3");
  settings.beginGroup("MainWindow");
  if (settings.contains("Position")) restoreGeometry(settings.value("Position").toByteArray());
  const int searchHeight = settings.value("SearchHeight", 73).toInt();
  const int searchWidth = settings.value("SearchWidth", 193).toInt();
  spSearch->setSizes({searchHeight, std::max(100, height() - searchHeight)});
  spText->setSizes({searchWidth, std::max(100, width() - searchWidth)});
}

void TFormKodra3::SavePlacement() {
  QSettings settings("Prask", "Kodra3");
  settings.beginGroup("MainWindow");
  settings.setValue("Position", saveGeometry());
  settings.setValue("SearchHeight", edSearch->height());
  settings.setValue("SearchWidth", spSearch->width());
  settings.setValue("LastLanguage", FLanguageIndex);
}

// The search field's text lives in the language folder ("saves.dat"). Errors
// are ignored: it is a convenience.
void TFormKodra3::SaveSearchField() {
  try {
    WriteSavedSearch(DictionaryFolder() + "saves.dat", edSearch->Text());
  } catch (const std::exception&) {
  }
}

void TFormKodra3::LoadSearchField() {
  FInserting = true;
  edSearch->SetText(u"");
  if (const std::u16string text = ReadSavedSearch(DictionaryFolder() + "saves.dat"); !text.empty())
    InsertUnicodeText(*edSearch, text);
  FInserting = false;
}

void TFormKodra3::OpenEditor(const std::string& fileName) {
  if (!FEditor) {
    FEditor = std::make_unique<TFormKodraEditor>();
    FEditor->SetOnCompiled([this](const std::string& sourceName) { EditorCompiled(sourceName); });
    FEditor->SetOnDictionariesManager([this](QWidget* parent) { return ShowDictionariesManager(parent); });
    FEditor->SetOnOptionsChanged([this](bool localeChanged) {
      if (localeChanged) InterfaceLanguageChanged();
      else OptionsChanged();
    });
  }
  if (!FEditor->isVisible() && FDictionary) FDictionary->ClearReloadNames();
  // The article being read goes to the clipboard as a keyword line: pasted
  // into the editor's search box, it finds the article there.
  if (fileName.empty() && FDictionary && FShownIndex >= 0 && FShownIndex < FDictionary->KeywordCount()) {
    try {
      CopyToClipboard(u"#" + std::u16string(FDictionary->GetKeywordText(FShownIndex)));
    } catch (const std::exception&) {
      // A convenience: the editor opens all the same.
    }
  }
  FEditor->show();
  FEditor->raise();
  FEditor->activateWindow();
  if (!fileName.empty()) FEditor->OpenFile(fileName);
}

void TFormKodra3::EditorCompiled(const std::string& sourceName) {
  // The article the author was editing is the one to see.
  std::u16string keyword = FEditor ? FEditor->CurrentKeyword() : std::u16string();
  std::replace(keyword.begin(), keyword.end(), u'_', u' ');
  if (!keyword.empty()) SetPendingWord(keyword);
  const TKodraLanguage* language = FEditor ? FEditor->Language() : nullptr;
  const int index = language && language->GetId() == LanguageIdOfIndex(1) ? 1 : 0;
  if (index != FLanguageIndex) {
    SelectLanguage(index);  // reads the other language's dictionaries, the new one among them
    return;
  }
  FDictionary->AddReloadName(CompiledFileName(sourceName));
  PostReload(1);
}

// What the options window adds to the hot key's explanation: why the key
// does nothing, when it does nothing.
QString TFormKodra3::HotKeyNote() const {
  return FHotKey && Options().HotKey() != 0 && !FHotKey->Grabbed()
             ? Tr("SHotKeyNotTaken",
                  "The key could not be taken: another program holds it, or the desktop lets no program take "
                  "keys. It does nothing now.")
             : QString();
}

void TFormKodra3::ShowOptions() {
  TFormOptions form(this);
  form.SetHotKeyNote([this] { return HotKeyNote(); });
  Options().SetNotifiers([this] { InterfaceLanguageChanged(); }, [this] { OptionsChanged(); });
  form.exec();
  Options().ClearNotifiers();
  ApplySettings();
}

// The first folder of those that keep the settings and the search text
// that cannot be written now, as a sentence; empty when all can.
QString TFormKodra3::UnwritableSettingsFolder() const {
  std::vector<std::string> files;
  if (!Options().FileName().empty()) files.push_back(Options().FileName());
  files.push_back(DictionaryFolder() + "saves.dat");
  for (const std::string& file : files) {
    std::string reason;
    if (CanWriteBeside(file, &reason))
      continue;
    const std::string folder = std::filesystem::path(file).parent_path().string();
    return QString::fromStdString(FormatMessage(
        Tr("SSettingsUnsaved", "Settings and the search text cannot be kept: %s cannot be written (%s)").toStdString(),
        {folder, reason}));
  }
  return {};
}

// Reads the interface language file the options name (none: English). A
// file that gives no texts leaves the interface in English, and the reader is
// told why rather than left to guess; the text is empty when all went well.
QString TFormKodra3::LoadInterfaceLanguage() {
  // English is built in: it has no file.
  const QString name = QString::fromStdString(Options().LocaleName());
  if (name.isEmpty() || name.compare("English", Qt::CaseInsensitive) == 0) {
    Locale().Clear();
    ApplyToolkitTranslation("English");
    return {};
  }
  const std::string file = ProgramFolder() + Options().LocaleName() + ".lng";
  const std::string reason = Locale().Load(file);
  // The toolkit's buttons and dialogs speak the same language.
  ApplyToolkitTranslation(reason.empty() ? name : QString("English"));
  if (reason.empty()) return {};
  return QString::fromStdString(FormatMessage(
      "The interface language file %s %s; the interface is in English", {file, reason}));
}

// The interface language file named by the options, read again; the window
// and the editor take its texts.
void TFormKodra3::InterfaceLanguageChanged() {
  const QString problem = LoadInterfaceLanguage();
  FStatus->Retranslate();
  if (!problem.isEmpty()) FStatus->ShowMessage(skWarning, problem);
  ApplyLocale();
  ApplySettings();
  UpdateCaption();
  if (FFirstPageShown) WriteFirstPage();
  if (FEditor) FEditor->InterfaceLanguageChanged();
}

void TFormKodra3::OptionsChanged() {
  ApplySettings();
  ApplyFonts();
  if (FEditor) FEditor->OptionsChanged();
}

bool TFormKodra3::ShowDictionariesManager(QWidget* parent) {
  TFormDictionariesManager form(parent, FLanguage, DictionaryFolder(), GlobalData().ShippedDictionaryFolder());
  if (form.exec() != QDialog::Accepted || !form.Modified()) return false;
  // The set is read again as the configuration now says.
  FDictionary->ClearReloadNames();
  PostReload(1);
  return true;
}
