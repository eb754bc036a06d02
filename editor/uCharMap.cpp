#include "editor/uCharMap.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/uCharMapPads.h"
#include "language/uCommon.h"
#include "language/uLanguage.h"
#include "options/uOptions.h"
#include "render/KezRichEdit.h"
#include "viewer/uClipboardConversion.h"
#include "viewer/uData.h"
#include "viewer/uFormParts.h"
#include "viewer/uIcons.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace {
constexpr TActionDefinition kActions[] = {
    {"actUndo", "&Undo", "Undo", "Ctrl+Z"},
    {"actCut", "Cu&t", "Cut", "Ctrl+X"},
    {"actCopy", "&Copy", "Copy", "Ctrl+C"},
    {"actPaste", "&Paste", "Paste", "Ctrl+V"},
    {"actDelete", "&Delete", "Delete", "Ctrl+Del"},
    {"actApply", "&Apply", "Apply", ""},
};

// The actions share the icons of the editor's actions of the same kind.
constexpr std::pair<const char*, const char*> kIcons[] = {
    {"actUndo", "actEditUndo"},   {"actCut", "actEditCut"},       {"actCopy", "actEditCopy"},
    {"actPaste", "actEditPaste"}, {"actDelete", "actEditDelete"}, {"actApply", "actEditAccept"},
};

const char* const kSettingsGroup = "CharMapWindow";

bool IsEnter(const QKeyEvent& event) { return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter; }

// The Shift state a key event leaves: the platforms differ in whether a
// Shift key's own event counts it.
bool ShiftAfter(const QKeyEvent& event) {
  if (event.key() == Qt::Key_Shift) return event.type() == QEvent::KeyPress;
  return event.modifiers().testFlag(Qt::ShiftModifier);
}

QFont FaceAt(const QFont& font, int points) {
  QFont result(font);
  result.setPointSize(points);
  return result;
}
}  // namespace

TFormCharMap::TFormCharMap(QWidget* parent, const TKodraLanguage* language)
    : QDialog(parent),
      FLanguage(language ? language : FindLanguage(DefaultLanguageId())),
      ToolBar(new QToolBar(this)),
      Edit(new TKezUnicodeRichEdit(this)),
      PageControl(new QTabWidget(this)),
      tsKeyboard(new QWidget),
      tsCharMap(new QWidget),
      pbKeyboard(new TCharMapKeyboard(tsKeyboard, *FLanguage)),
      pbCharMap(new TCharMapTable(tsCharMap, *FLanguage)),
      StatusBar(new QStatusBar(this)),
      lblStatus(new QLabel(this)) {
  InstallCharMapAccessibility();
  setObjectName("FormCharMap");
  setWindowTitle("Characters");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setSizeGripEnabled(false);
  CreateActions();
  CreateControls();
  GlobalData().LocalizeForm(this, "Chars");
  NameParts();
  lblStatus->setText(Tr("SShiftView", "Press Shift key for uppercase letters view"));
  lblStatus->setAccessibleName(lblStatus->text());
  resize(660, 440);
  RestoreLayout();
  FClipboardHasText = TGlobalData::ClipboardHasText();
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
    FClipboardHasText = TGlobalData::ClipboardHasText();
    UpdateActions();
  });
  UpdateActions();
  Edit->setFocus();
}

TFormCharMap::~TFormCharMap() = default;

std::u16string TFormCharMap::Text() const { return Edit->Text(); }

void TFormCharMap::CreateActions() {
  ::CreateActions(*this, kActions);
  for (const auto& [name, icon] : kIcons) findChild<QAction*>(name)->setIcon(ActionIcon(icon));
  auto on = [this](const char* name, auto handler) { connect(findChild<QAction*>(name), &QAction::triggered, this, handler); };
  on("actUndo", [this] { Edit->undo(); });
  on("actCut", [this] { Edit->cut(); });
  on("actCopy", [this] { Edit->copy(); });
  on("actPaste", [this] { Paste(); });
  on("actDelete", [this] { Edit->DeleteSelection(); });
  on("actApply", [this] { PostApply(); });
  // The edit line takes its own keys first; these serve the rest of the window.
  for (QAction* action : actions()) action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  QAction* apply = findChild<QAction*>("actApply");
  apply->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});

  ToolBar->setObjectName("ToolBar");
  ToolBar->setMovable(false);
  ToolBar->setFocusPolicy(Qt::NoFocus);
  AddActions(*ToolBar, *this, {"actUndo", "actCut", "actCopy", "actPaste", "actDelete", "", "actApply"});
  // Apply ends the window's work: it says so in words.
  if (auto* button = qobject_cast<QToolButton*>(ToolBar->widgetForAction(apply)))
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  for (QToolButton* button : ToolBar->findChildren<QToolButton*>()) button->setFocusPolicy(Qt::NoFocus);
}

void TFormCharMap::CreateControls() {
  Edit->setObjectName("Edit");
  Edit->setFont(OptionFont(Options().SearchFont()));
  Edit->setAcceptRichText(false);
  Edit->SetMultiLine(false);
  Edit->SetWordWrap(false);
  Edit->SetScrollBars(sbNone);
  Edit->SetHideSelection(false);
  Edit->setTabChangesFocus(true);
  Edit->setFixedHeight(Edit->fontMetrics().height() +
                       2 * (Edit->frameWidth() + int(Edit->document()->documentMargin())));
  Edit->SetLanguageInput(FLanguage);
  Edit->installEventFilter(this);
  Edit->SetOnKeyDown([this](TKezUnicodeRichEdit& edit, QKeyEvent& event, bool& handled) {
    if (IsEnter(event) && !(event.modifiers() & ~Qt::KeypadModifier)) {
      handled = true;
      PostApply();
    } else if (event.matches(QKeySequence::Paste)) {
      // Pasted text goes through the language's conversion.
      handled = true;
      Paste();
    } else if (event.key() == Qt::Key_Delete && event.modifiers() == Qt::ControlModifier &&
               edit.textCursor().hasSelection()) {
      handled = true;
      edit.DeleteSelection();
    }
  });
  Edit->SetOnChange([this](TKezUnicodeRichEdit&) { UpdateActions(); });
  Edit->SetOnSelectionChange([this](TKezUnicodeRichEdit&) { UpdateActions(); });
  AttachPopupMenu(*this, "MenuEdit", *Edit, {"actUndo", "", "actCut", "actCopy", "actPaste", "actDelete"});

  // The pads show the face of the search font, large enough to tell the
  // accents apart.
  const QFont face = Edit->font();
  pbKeyboard->setObjectName("pbKeyboard");
  pbKeyboard->setFont(FaceAt(face, 14));
  pbCharMap->setObjectName("pbCharMap");
  pbCharMap->setFont(FaceAt(face, 20));
  for (TCharMapPad* pad : {static_cast<TCharMapPad*>(pbKeyboard), static_cast<TCharMapPad*>(pbCharMap)})
    pad->SetOnPick([this](char16_t c) { Insert(c); });

  tsKeyboard->setObjectName("tsKeyboard");
  tsCharMap->setObjectName("tsCharMap");
  for (auto [page, pad] : {std::pair<QWidget*, QWidget*>{tsKeyboard, pbKeyboard}, {tsCharMap, pbCharMap}}) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pad);
  }
  PageControl->setObjectName("PageControl");
  PageControl->setFocusPolicy(Qt::NoFocus);
  PageControl->addTab(tsKeyboard, "Keyboard layout");
  PageControl->addTab(tsCharMap, "Characters table");
  PageControl->tabBar()->setFocusPolicy(Qt::NoFocus);

  StatusBar->setObjectName("StatusBar");
  StatusBar->setSizeGripEnabled(true);
  lblStatus->setObjectName("StatusText");
  StatusBar->addWidget(lblStatus, 1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->setMenuBar(ToolBar);
  auto* editPanel = new QVBoxLayout;
  editPanel->setContentsMargins(4, 0, 4, 0);
  editPanel->addWidget(Edit);
  layout->addLayout(editPanel);
  layout->addWidget(PageControl, 1);
  layout->addWidget(StatusBar);
}

void TFormCharMap::NameParts() {
  const std::pair<QWidget*, std::pair<const char*, const char*>> parts[] = {
      {Edit, {"CharsAccessibleEdit", "Text"}},
      {ToolBar, {"CharsAccessibleToolBar", "Tool bar"}},
      {PageControl, {"CharsAccessiblePages", "Pages"}},
      {pbKeyboard, {"CharsAccessibleKeyboard", "Keyboard"}},
      {pbCharMap, {"CharsAccessibleTable", "Letters"}},
      {StatusBar, {"CharsAccessibleStatusBar", "Status bar"}},
  };
  for (const auto& [part, name] : parts) part->setAccessibleName(Tr(name.first, name.second));
  setAccessibleName(windowTitle());
  ToolBar->setWindowTitle(ToolBar->accessibleName());
}

void TFormCharMap::RestoreLayout() {
  const auto settings = TGlobalData::OpenSettings(kSettingsGroup);
  if (settings->contains("Position")) restoreGeometry(settings->value("Position").toByteArray());
  const int page = settings->value("Page", 0).toInt();
  if (page >= 0 && page < PageControl->count()) PageControl->setCurrentIndex(page);
}

void TFormCharMap::SaveLayout() {
  if (FLayoutSaved) return;
  FLayoutSaved = true;
  const auto settings = TGlobalData::OpenSettings(kSettingsGroup);
  settings->setValue("Position", saveGeometry());
  settings->setValue("Page", PageControl->currentIndex());
}

// However the window closes, its layout is remembered.
void TFormCharMap::done(int result) {
  SaveLayout();
  QDialog::done(result);
}

bool TFormCharMap::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease))
    SetCapitals(ShiftAfter(*static_cast<QKeyEvent*>(event)));
  return QDialog::eventFilter(watched, event);
}

void TFormCharMap::SetCapitals(bool capitals) {
  pbKeyboard->SetCapitals(capitals);
  pbCharMap->SetCapitals(capitals);
}

void TFormCharMap::Insert(char16_t c) {
  InsertUnicodeText(*Edit, std::u16string_view(&c, 1));
  Edit->ensureCursorVisible();
}

void TFormCharMap::Paste() {
  try {
    InsertUnicodeText(*Edit, PasteConverted(*FLanguage, 0));
    Edit->ensureCursorVisible();
  } catch (const THelpedException& e) {
    GlobalData().ReportError(this, e.HelpKeyword, QString::fromStdString(e.Message));
  } catch (const std::exception& e) {
    GlobalData().ReportError(this, {}, QString::fromUtf8(e.what()));
  }
}

void TFormCharMap::UpdateActions() {
  const bool selection = Edit->textCursor().hasSelection();
  auto enable = [this](const char* name, bool enabled) { findChild<QAction*>(name)->setEnabled(enabled); };
  enable("actUndo", Edit->CanUndo());
  enable("actCut", selection);
  enable("actCopy", selection);
  enable("actPaste", FClipboardHasText);
  enable("actDelete", selection);
  enable("actApply", Edit->TextLength() > 0);
}

// Closing waits until the key or click that asked for it is done with.
void TFormCharMap::PostApply() {
  QMetaObject::invokeMethod(this, [this] { accept(); }, Qt::QueuedConnection);
}
