// The editor window: its parts, its state, and the machinery its actions
// share (busy and status, the posted messages, acceptance of the pane).
#include "editor/uFormKodraEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QSettings>
#include <QSplitter>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <filesystem>

#include "editor/uEditorCommands.h"
#include "editor/uNoteConverter.h"
#include "foundation/KezLocale.h"
#include "foundation/KezProgramFolder.h"
#include "language/uCommon.h"
#include "options/uOptions.h"
#include "render/uRichEditWriter.h"
#include "source/uEditorWords.h"
#include "source/uRecoveryCopy.h"
#include "source/uSourceColoring.h"
#include "source/uSourceDictionary.h"
#include "viewer/keyboard/uKeyShortcuts.h"
#include "viewer/uData.h"
#include "viewer/uFormParts.h"
#include "viewer/uIcons.h"
#include "viewer/uKindMark.h"
#include "viewer/uHintOptions.h"
#include "viewer/uStatusLine.h"
#include "widgets/KezListBox.h"
#include "widgets/KezUnicodeRichEdit.h"


// The last dictionary edited while the program runs; across runs it is kept
// in the settings (RememberLastDictionary), where ReopenLast finds it.
std::string& TFormKodraEditor::LastDictionary() {
  static std::string path;
  return path;
}

void TFormKodraEditor::RememberLastDictionary() {
  TGlobalData::OpenSettings("Editor")->setValue("LastDictionary", QString::fromStdString(LastDictionary()));
}

// The search box's text, kept while the program runs.
static std::u16string& LastSearchText() {
  static std::u16string text;
  return text;
}

TFormKodraEditor::TFormKodraEditor(QWidget* parent) : QMainWindow(parent) {
  InstallKeyShortcuts();
  setObjectName("FormKodraEditor");
  setAttribute(Qt::WA_DeleteOnClose, false);
  setWindowTitle("Kodra. Dictionaries editor");
  setMinimumSize(300, 200);
  resize(675, 362);
  FLanguage = FindLanguage(DefaultLanguageId());
  FDictionary = std::make_unique<TSourceDictionary>(FLanguage);
  CreateComponents();
  CreateActions();
  CreateMenus();
  FWriter = std::make_unique<TRtfRichEditWriter>(*edText, FLanguage, Options());
  FWriter->SetArticleMode(false);
  FConverter = std::make_unique<TNoteConverter>(ProgramFolder());
  ApplyLocale();
  SetLanguage(FLanguage);
  ApplyFonts();
  ApplyHints();
  RestorePlacement();
  UpdateCaption();
  // Unsaved work goes beside the file now and then, for a crash.
  FRecoveryTimer = new QTimer(this);
  FRecoveryTimer->setInterval(kRecoveryIntervalSeconds * 1000);
  connect(FRecoveryTimer, &QTimer::timeout, this, &TFormKodraEditor::WriteRecovery);
  FRecoveryTimer->start();
  // The clipboard is asked when it changes, not at every update of the actions.
  auto clipboardChanged = [this] { FClipboardHasText = TGlobalData::ClipboardHasText(); };
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, clipboardChanged);
  clipboardChanged();
  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, this, [this] { UpdateActions(); });
  idle->start(250);
  FActionsUpdater = KeepActionsCurrent(*this, [this] { UpdateActions(); });
  UpdateActions();
}

TFormKodraEditor::~TFormKodraEditor() = default;

QAction* TFormKodraEditor::Action(const char* name) const { return findChild<QAction*>(name); }

void TFormKodraEditor::CreateComponents() {
  spText = new QSplitter(Qt::Horizontal, this);
  spText->setObjectName("spText");
  spText->setChildrenCollapsible(false);
  setCentralWidget(spText);

  pnlSearch = new QSplitter(Qt::Vertical, spText);
  pnlSearch->setObjectName("pnlSearch");
  pnlSearch->setChildrenCollapsible(false);
  edSearch = new TKezUnicodeRichEdit(pnlSearch);
  edSearch->setObjectName("edSearch");
  edSearch->setAcceptRichText(false);
  edSearch->SetMultiLine(false);
  edSearch->SetWordWrap(false);
  edSearch->SetScrollBars(sbNone);
  edSearch->setMinimumHeight(20);
  lstKeywords = new TKezListBox(pnlSearch);
  lstKeywords->setObjectName("lstKeywords");
  lstKeywords->SetMinItemHeight(18);
  lstKeywords->SetHideSelection(false);
  pnlSearch->setSizes({37, 300});
  pnlSearch->setStretchFactor(1, 1);

  edText = new TKezUnicodeRichEdit(spText);
  edText->setObjectName("edText");
  edText->setAcceptRichText(false);
  edText->SetScrollBars(sbBoth);
  edText->SetHideSelection(false);
  spText->addWidget(pnlSearch);
  spText->addWidget(edText);
  spText->setStretchFactor(1, 1);

  InstallHintOptions();
  FStatus = new TStatusLine(this);
  FStatus->setObjectName("StatusBar");
  setStatusBar(FStatus);

  lstKeywords->SetOnDrawItem([this](TKezCustomListBox&, QPainter& canvas, int32_t index, const QRect& rect) {
    DrawKeyword(canvas, index, rect);
  });
  lstKeywords->SetOnGetItemText([this](const TKezCustomListBox&, int32_t index) {
    if (index < 0 || index >= FDictionary->ArticleCount()) return QString();
    QString keyword = QString::fromStdU16String(std::u16string(FDictionary->Keyword(index)));
    return keyword.replace(QChar('_'), QChar(' '));
  });
  InstallListBoxAccessibility();
  lstKeywords->installEventFilter(this);
  lstKeywords->viewport()->installEventFilter(this);
  edSearch->viewport()->installEventFilter(this);
  edSearch->installEventFilter(this);
  edText->installEventFilter(this);
  edSearch->SetOnChange([this](TKezUnicodeRichEdit&) {
    // The list follows the typing; the article shows once the word is a keyword.
    if (!FInsertingSearch) PostGoTo(false, true);
  });
  for (TKezUnicodeRichEdit* edit : {edSearch, edText}) {
    edit->SetOnKeyDown([this](TKezUnicodeRichEdit& sender, QKeyEvent& event, bool& handled) {
      KeyDown(sender, event, handled);
    });
  }
  // The language input steps aside while the system types another script.
  connect(&SystemKeyboard(), &TSystemKeyboard::Changed, this, [this](bool latin) {
    FInput.FollowLayout(latin);
    ApplyInput();
  });
}

bool TFormKodraEditor::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && (watched == edSearch || watched == edText)) {
    FActiveEdit = static_cast<TKezUnicodeRichEdit*>(watched);
    return QMainWindow::eventFilter(watched, event);
  }
  if (watched == lstKeywords || watched == lstKeywords->viewport()) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        QMetaObject::invokeMethod(this, "ChooseFromList", Qt::QueuedConnection);
        return true;
      }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
      QMetaObject::invokeMethod(this, "ChooseFromList", Qt::QueuedConnection);
      return true;
    }
  } else if (watched == edSearch->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    QMetaObject::invokeMethod(this, [this] { PostGoTo(true, true); }, Qt::QueuedConnection);
  }
  return QMainWindow::eventFilter(watched, event);
}

void TFormKodraEditor::KeyDown(TKezUnicodeRichEdit& edit, QKeyEvent& event, bool& handled) {
  // Paste goes through the language's conversion, whatever the key.
  if (event.matches(QKeySequence::Paste)) {
    handled = true;
    if (&edit == edSearch) PasteIntoSearchBox();
    else if (!edText->isReadOnly()) PasteIntoTextPane();
    return;
  }
  if (&edit == edSearch && (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
      !(event.modifiers() & Qt::ControlModifier)) {
    handled = true;
    PostGoTo(true, true);
  }
}

void TFormKodraEditor::DrawKeyword(QPainter& canvas, int32_t index, const QRect& rect) {
  if (index < 0 || index >= FDictionary->ArticleCount()) return;
  DrawKindMark(canvas, FDictionary->Kind(), rect, false);
  QString keyword = QString::fromStdU16String(std::u16string(FDictionary->Keyword(index)));
  keyword.replace(QChar('_'), QChar(' '));
  canvas.drawText(rect.adjusted(16, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, keyword);
}

// The interface language's texts: the window's own section, the menus'
// titles, and the caption taken as the base of the file's caption.
void TFormKodraEditor::ApplyLocale() {
  setWindowTitle("Kodra. Dictionaries editor");
  for (const TMainMenu& menu : FMainMenus) menu.Menu->setTitle(Tr(menu.Key, menu.English));
  GlobalData().LocalizeForm(this, "Editor");
  FBaseCaption = windowTitle();
  NameParts();
  ToolBar->setWindowTitle(ToolBar->accessibleName());
  if (FLanguage) SetLanguage(FLanguage);
  UpdateCaption();
}

void TFormKodraEditor::NameParts() {
  const std::pair<QWidget*, std::pair<const char*, const char*>> parts[] = {
      {edSearch, {"EditorAccessibleSearchBox", "Search box"}},
      {lstKeywords, {"EditorAccessibleKeywordList", "Keyword list"}},
      {edText, {"EditorAccessibleText", "Dictionary text"}},
      {ToolBar, {"EditorAccessibleToolBar", "Tool bar"}},
      {FStatus, {"EditorAccessibleStatusBar", "Status bar"}},
      {pnlSearch, {"EditorAccessibleSearchPanel", "Search panel"}},
      {spText, {"EditorAccessibleSplitter", "Keywords and text"}},
  };
  for (const auto& [part, name] : parts) part->setAccessibleName(Tr(name.first, name.second));
}

void TFormKodraEditor::ApplyFonts() {
  edSearch->setFont(OptionFont(Options().SearchFont()));
  lstKeywords->setFont(OptionFont(Options().ListFont()));
  edText->setFont(OptionFont(FPreview ? Options().ArticleFont() : Options().EditorFont()));
  FStatus->setFont(OptionFont(Options().StatusFont()));
}

void TFormKodraEditor::ApplyHints() {
  FStatus->SetHintDelay(Options().StatusDelay() * 1000);
  // Whether hints show is decided when they would (uHintOptions); every
  // action has its status hint to show.
  for (QAction* action : findChildren<QAction*>())
    if (action->statusTip().isEmpty()) action->setStatusTip(action->toolTip());
}

void TFormKodraEditor::UpdateCaption() {
  const std::string& name = FDictionary->FileName();
  if (name.empty()) {
    setWindowTitle(FBaseCaption);
    return;
  }
  const QString file = QString::fromStdString(std::filesystem::path(name).filename().string());
  setWindowTitle(QString("%1 - %2").arg(file, FBaseCaption));
}

// The window follows the dictionary's language: the writer, the typing and
// the Language action's caption.
void TFormKodraEditor::SetLanguage(TKodraLanguage* language) {
  FLanguage = language;
  if (FWriter) FWriter->SetLanguage(language);
  QAction* action = Action("actEditLanguage");
  const QString name = QString::fromStdString(language->GetName());
  action->setText(name);
  action->setToolTip(name);
  action->setStatusTip(name);
  SwitchInput(true);
}

void TFormKodraEditor::SwitchInput(bool on) {
  FInput.Reset(on);
  ApplyInput();
}

void TFormKodraEditor::ApplyInput() {
  const bool on = FInput.On();
  edSearch->SetLanguageInput(on ? FLanguage : nullptr);
  edText->SetLanguageInput(on && !FPreview ? FLanguage : nullptr);
  QAction* action = Action("actEditLanguage");
  action->setChecked(on);
  const bool latin = FLanguage && FLanguage->GetId() == "latin";
  action->setIcon(ActionIcon("actEditLanguage", !on ? "off" : latin ? "latin" : "greek"));
}

void TFormKodraEditor::RestorePlacement() {
  QSettings settings("Prask", "Kodra3");
  settings.beginGroup("EditorWindow");
  if (settings.contains("Position")) restoreGeometry(settings.value("Position").toByteArray());
  const int minimum = 50;
  const int width = std::clamp(settings.value("SearchWidth", 209).toInt(), minimum,
                               std::max(minimum, this->width() - minimum));
  spText->setSizes({width, std::max(minimum, this->width() - width)});
}

void TFormKodraEditor::SavePlacement() {
  QSettings settings("Prask", "Kodra3");
  settings.beginGroup("EditorWindow");
  settings.setValue("Position", saveGeometry());
  settings.setValue("SearchWidth", pnlSearch->width());
}

void TFormKodraEditor::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (FShown) return;
  FShown = true;
  QMetaObject::invokeMethod(this, "ReopenLast", Qt::QueuedConnection);
}

void TFormKodraEditor::ReopenLast() {
  if (!FDictionary->IsEmpty() || !FDictionary->FileName().empty()) {
    PostRefresh();
    return;  // opened from outside before it was shown
  }
  ResetPanes();
  if (LastDictionary().empty())
    LastDictionary() = TGlobalData::OpenSettings("Editor")->value("LastDictionary").toString().toStdString();
  const std::string& last = LastDictionary();
  if (!last.empty() && std::filesystem::exists(std::filesystem::path(last))) {
    FDictionary->Clear();
    FDictionary->SetFileName(last);
    Load();
  } else {
    PostRefresh();
  }
}

void TFormKodraEditor::closeEvent(QCloseEvent* event) {
  if (FBusy) {
    event->ignore();
    return;
  }
  LastSearchText() = edSearch->Text();
  if (FPreview) SetPreview(false);
  if (!FDictionary->IsEmpty() || FDictionary->Modified()) {
    if (!AcceptPending() || !CloseDictionary()) {
      event->ignore();
      return;
    }
  }
  SavePlacement();
  RememberLastDictionary();
  FShown = false;
  event->accept();
}

// Busy and status.

void TFormKodraEditor::BusyStart() {
  FBusy = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  UpdateActions();
  FStatus->ShowText(skProcessing, "SProcessing", "Processing...");
}

void TFormKodraEditor::BusyEnd(int kind, const QString& text, const std::string& identifier) {
  QApplication::restoreOverrideCursor();
  FBusy = false;
  FStatus->ShowMessage(TStatusKind(kind), text, identifier);
  UpdateActions();
  // The error's message box or sound comes once the operation has shown
  // where the error is, and never inside it.
  if (kind == skError)
    QTimer::singleShot(0, this, [this, identifier, text] { GlobalData().ReportError(this, identifier, text); });
}

bool TFormKodraEditor::RunBusy(const std::function<void()>& operation, const QString& success) {
  BusyStart();
  try {
    operation();
  } catch (const THelpedException& e) {
    BusyEnd(skError, QString::fromStdString(e.Message), e.HelpKeyword);
    return false;
  } catch (const std::exception& e) {
    BusyEnd(skError, QString::fromUtf8(e.what()));
    return false;
  }
  BusyEnd(skInformation, success);
  return true;
}

void TFormKodraEditor::Aborted() { FStatus->ShowText(skWarning, "SActionAborted", "Aborted action"); }

// Posted messages and commands.

void TFormKodraEditor::PostRefresh() { QMetaObject::invokeMethod(this, "Refresh", Qt::QueuedConnection); }

void TFormKodraEditor::PostGoTo(bool show, bool showIfExact) {
  QMetaObject::invokeMethod(this, "GoTo", Qt::QueuedConnection, Q_ARG(bool, show), Q_ARG(bool, showIfExact));
}

bool TFormKodraEditor::event(QEvent* event) {
  if (event->type() == TCommandEvent::EventType()) {
    RunCommand(static_cast<TCommandEvent&>(*event));
    return true;
  }
  return QMainWindow::event(event);
}

void TFormKodraEditor::RunCommand(TCommandEvent& command) {
  switch (command.Message) {
    case kMergeMessage:
      DoMerge(static_cast<TCommandMerge&>(command.Command).FileName);
      break;
    case kConvertMessage: {
      const auto& convert = static_cast<TCommandConvert&>(command.Command);
      DoConvert(convert.NoteFile, convert.Target);
      break;
    }
    case kAcceptMessage:
      DoAccept();
      break;
  }
}

// Accepting the pane: the accept command brings the work back as a message;
// the asking action waits for it, keeping the window alive, a little over
// two seconds at most.
bool TFormKodraEditor::AcceptPending() {
  if (FBusy || FPreview || FAccepting) return false;
  if (!edText->Modified()) return true;
  FAcceptResult = 0;
  FAccepting = true;
  CommandManager().Get<TCommandAccept>("accept").Issue(this, kAcceptMessage);
  QElapsedTimer waited;
  waited.start();
  while (FAcceptResult == 0 && waited.elapsed() < kAcceptWaitMilliseconds) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (FAcceptResult == 0) QThread::msleep(10);
  }
  FAccepting = false;
  const bool accepted = FAcceptResult == 1;
  if (FEditedPart == spArticles && lstKeywords->ItemIndex() == FEditedItem &&
      Options().EditorColors().Coloring() && accepted)
    Refresh();
  return accepted;
}

void TFormKodraEditor::DoAccept() {
  BusyStart();
  try {
    FDictionary->SetPartText(SourceTextOfPane(edText->Text()), FEditedPart, FEditedItem);
    edText->SetModified(false);
    if (FEditedPart == spArticles) FEditedItem = FDictionary->CurrentItem();
    UpdateList();
    BusyEnd(skInformation, Tr("SAccepted", "Changes of current article (section) accepted"));
    FAcceptResult = 1;
  } catch (const THelpedException& e) {
    BusyEnd(skError, QString::fromStdString(e.Message), e.HelpKeyword);
    FAcceptResult = 2;
  } catch (const std::exception& e) {
    BusyEnd(skError, QString::fromUtf8(e.what()));
    FAcceptResult = 2;
  }
}

// Shows the dictionary's current item in its editing form (or as the
// reader will see it, in preview), with the dictionary's selection.
void TFormKodraEditor::Refresh() {
  FEditedPart = FDictionary->CurrentPart();
  FEditedItem = FDictionary->CurrentItem();
  std::u16string source;
  FWriter->SetArticleMode(FPreview);
  FWriter->BeginDocument();
  try {
    if (FPreview) {
      FDictionary->PreviewCurrent(*FWriter);
    } else {
      source = std::u16string(FDictionary->GetCurrentText());
      WriteSourceText(*FWriter, source, Options().EditorColors().Coloring());
    }
  } catch (const std::exception& e) {
    FStatus->ShowMessage(skError, QString::fromUtf8(e.what()));
  }
  FWriter->EndDocument();
  edText->SetModified(false);
  if (FEditedPart == spArticles && FEditedItem >= 0 && FEditedItem < lstKeywords->Count())
    lstKeywords->SelectCentered(FEditedItem);
  const int32_t start = PanePosition(source, FDictionary->SelectionStart());
  const int32_t end = PanePosition(source, FDictionary->SelectionStart() + FDictionary->SelectionLength());
  edText->SetSelection(start, end);
  edText->SetUndoLimit(FPreview ? 0 : 100);
  edText->ensureCursorVisible();
  UpdateActions();
}

void TFormKodraEditor::UpdateList() {
  lstKeywords->SetCount(FDictionary->ArticleCount());
  if (FDictionary->CurrentPart() == spArticles && FDictionary->CurrentItem() >= 0 &&
      FDictionary->CurrentItem() < FDictionary->ArticleCount())
    lstKeywords->SelectCentered(FDictionary->CurrentItem());
  lstKeywords->Invalidate();
}

// Go to: the word of the search box, located among the keywords; the
// article shows when asked, or when its keyword is the word exactly.
void TFormKodraEditor::GoTo(bool show, bool showIfExact) {
  if (FBusy) return;
  int32_t start, end;
  edSearch->GetSelection(start, end);
  const std::u16string word = GoToWord(*FLanguage, edSearch->Text(), start, end, edSearch->CaretPosition());
  if (word.empty() || FDictionary->ArticleCount() == 0) return;
  if (!FPreview && !AcceptPending()) return;
  const int part = FDictionary->CurrentPart();
  const int32_t item = FDictionary->CurrentItem();
  const int32_t selectionStart = FDictionary->SelectionStart(), selectionLength = FDictionary->SelectionLength();
  const TKeywordMatch match = FDictionary->Locate(word.c_str());
  if (FDictionary->CurrentItem() < 0 || FDictionary->CurrentItem() >= FDictionary->ArticleCount()) {
    // Past the last keyword: no article, and the place stays as it was.
    FDictionary->SetLocation(part, item, selectionStart, selectionLength);
    return;
  }
  lstKeywords->SelectCentered(FDictionary->CurrentItem());
  // A word with the keyword's letters, another spelling or a form of it
  // shows its article at once, as in the viewer.
  if (show || (showIfExact && match != kmNone)) Refresh();
}

void TFormKodraEditor::ChooseFromList() {
  if (FBusy) return;
  const int32_t index = lstKeywords->ItemIndex();
  if (index < 0 || index >= FDictionary->ArticleCount()) return;
  if (!FPreview && !AcceptPending()) return;
  FDictionary->SetLocation(spArticles, index, 0, 0);
  Refresh();
}

void TFormKodraEditor::ResetPanes() {
  FInsertingSearch = true;
  edSearch->SetText(LastSearchText());
  FInsertingSearch = false;
  edText->SetText(u"");
  lstKeywords->SetCount(0);
  SwitchInput(true);
}

void TFormKodraEditor::InterfaceLanguageChanged() {
  FStatus->Retranslate();
  ApplyLocale();
  ApplyHints();
}

void TFormKodraEditor::OptionsChanged() {
  ApplyFonts();
  ApplyHints();
  if (!FBusy && !edText->Modified()) Refresh();  // colours and styles; never over unaccepted text
}
