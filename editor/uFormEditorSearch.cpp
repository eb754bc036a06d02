#include "editor/uFormEditorSearch.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QToolBar>
#include <QVBoxLayout>

#include "language/uLanguage.h"
#include "viewer/uData.h"
#include "viewer/uIcons.h"
#include "widgets/KezUnicodeRichEdit.h"

TEditorSearchSettings& EditorSearchSettings() {
  static TEditorSearchSettings settings;
  return settings;
}

namespace {
// "Caption|Hint" as the interface-language file writes an action's text.
std::pair<QString, QString> CaptionAndHint(const QString& value) {
  const qsizetype bar = value.indexOf(u'|');
  if (bar <= 0) return {value, QString(value).remove(u'&')};
  return {value.left(bar), value.mid(bar + 1)};
}

QString WithoutMnemonic(QString caption) { return caption.remove(u'&'); }

// A text field of one line: what it shows is exactly what is searched for.
void MakeSingleLine(TKezUnicodeRichEdit& edit) {
  edit.setAcceptRichText(false);
  edit.SetMultiLine(false);
  edit.SetWordWrap(false);
  edit.SetScrollBars(sbNone);
  edit.setTabChangesFocus(true);
  edit.setFixedHeight(edit.fontMetrics().height() +
                      2 * (edit.frameWidth() + int(edit.document()->documentMargin())));
}
}  // namespace

TFormEditorSearch::TFormEditorSearch(QWidget* owner, const TKodraLanguage* language)
    : QDialog(owner),
      FLanguage(language),
      ToolBar(new QToolBar(this)),
      lblSearchFor(new QLabel(this)),
      edSearch(new TKezUnicodeRichEdit(this)),
      lblReplaceWith(new QLabel(this)),
      edReplace(new TKezUnicodeRichEdit(this)),
      chbWholeWord(new QCheckBox(this)),
      gbSearchIn(new QGroupBox(this)),
      chbHeader(new QCheckBox(gbSearchIn)),
      chbMarks(new QCheckBox(gbSearchIn)),
      chbAuthors(new QCheckBox(gbSearchIn)),
      chbArticles(new QCheckBox(gbSearchIn)),
      rbFromBegin(new QRadioButton(gbSearchIn)),
      rbFromCurrent(new QRadioButton(gbSearchIn)),
      rbCurrentOnly(new QRadioButton(gbSearchIn)) {
  setObjectName("FormEditorSearch");
  setWindowTitle(Tr("EdSearchCaption", "Kodra. Search"));
  setAccessibleName(windowTitle());
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  const TEditorSearchSettings& remembered = EditorSearchSettings();
  FSearchText = remembered.SearchText;
  FReplaceText = remembered.ReplaceText;
  FParts = remembered.Parts;
  FMode = remembered.Mode;
  FWholeWord = remembered.WholeWord;
  // A search in the dictionary's own letters is most likely typed in them again.
  FInput.Reset(FLanguage && FLanguage->IsLanguageText(FSearchText));

  CreateActions();
  CreateControls();
  GlobalData().LocalizeForm(this, "EdSearch");
  ApplyInput();
  UpdateActions();
  resize(kWidth, kHeight);
}

void TFormEditorSearch::CreateActions() {
  ToolBar->setObjectName("ToolBar");
  ToolBar->setAccessibleName(Tr("EdSearchToolBar", "Tool bar"));
  ToolBar->setMovable(false);

  // The language's own name says what the fields type when input is on.
  const QString name = FLanguage ? QString::fromStdString(FLanguage->GetName()) : QString();
  actLanguage = new QAction(name, this);
  actLanguage->setObjectName("actLanguage");
  actLanguage->setToolTip(name);
  actLanguage->setStatusTip(name);
  actLanguage->setCheckable(true);
  actLanguage->setShortcut(QKeySequence("Ctrl+L"));
  connect(actLanguage, &QAction::triggered, this, [this](bool checked) {
    FInput.Choose(checked);
    ApplyInput();
  });

  const auto [searchCaption, searchHint] = CaptionAndHint(Tr("EdSearchSearch", "&Search|Search"));
  actSearch = new QAction(ActionIcon("actSearchStart"), searchCaption, this);
  actSearch->setObjectName("actSearch");
  actSearch->setToolTip(searchHint);
  actSearch->setStatusTip(searchHint);
  actSearch->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
  connect(actSearch, &QAction::triggered, this, &TFormEditorSearch::actSearchExecute);

  const auto [helpCaption, helpHint] = CaptionAndHint(Tr("EdSearchHelp", "&Help|Help"));
  actHelp = new QAction(ActionIcon("actHelpOnCommands"), helpCaption, this);
  actHelp->setObjectName("actHelp");
  actHelp->setToolTip(helpHint);
  actHelp->setStatusTip(helpHint);
  connect(actHelp, &QAction::triggered, this, [this] { GlobalData().HelpTopic(this, "editorsearch"); });

  for (QAction* action : {actLanguage, actSearch, actHelp}) ToolBar->addAction(action);
}

void TFormEditorSearch::CreateControls() {
  auto label = [](QLabel* lbl, const char* name, const QString& text, QWidget* buddy) {
    lbl->setObjectName(name);
    lbl->setText(text);
    lbl->setAccessibleName(WithoutMnemonic(text));
    lbl->setBuddy(buddy);
  };
  auto button = [](QAbstractButton* btn, const char* name, const QString& text) {
    btn->setObjectName(name);
    btn->setText(text);
    btn->setAccessibleName(WithoutMnemonic(text));
  };

  edSearch->setObjectName("edSearch");
  edSearch->setAccessibleName(Tr("EdSearchSearchField", "Search text"));
  // Large enough to tell accents and breathings apart; Qt substitutes a face
  // of its own where Tahoma is missing.
  QFont large = edSearch->font();
  large.setFamilies({"Tahoma", large.family()});
  large.setPixelSize(21);
  edSearch->setFont(large);
  MakeSingleLine(*edSearch);
  edReplace->setObjectName("edReplace");
  edReplace->setAccessibleName(Tr("EdSearchReplaceField", "Replacement text"));
  MakeSingleLine(*edReplace);
  label(lblSearchFor, "lblSearchFor", Tr("EdSearchSearchFor", "Search:"), edSearch);
  label(lblReplaceWith, "lblReplaceWith", Tr("EdSearchReplaceWith", "Replace:"), edReplace);

  button(chbWholeWord, "chbWholeWord", Tr("EdSearchWholeWord", "&Whole word"));
  gbSearchIn->setObjectName("gbSearchIn");
  const QString searchIn = Tr("EdSearchSearchIn", "Search in");
  gbSearchIn->setTitle(" " + searchIn + " ");
  gbSearchIn->setAccessibleName(WithoutMnemonic(searchIn));
  button(chbHeader, "chbHeader", Tr("EdSearchHeader", "&Header"));
  button(chbMarks, "chbMarks", Tr("EdSearchMarks", "&Marks"));
  button(chbAuthors, "chbAuthors", Tr("EdSearchAuthors", "&Authors"));
  button(chbArticles, "chbArticles", Tr("EdSearchArticles", "&Text"));
  button(rbFromBegin, "rbFromBegin", Tr("EdSearchFromBegin", "All over the &dictionary"));
  button(rbFromCurrent, "rbFromCurrent", Tr("EdSearchFromCurrent", "From &current article"));
  button(rbCurrentOnly, "rbCurrentOnly", Tr("EdSearchCurrentOnly", "In current article &only"));

  // The remembered state first, then the handlers, so that showing it
  // changes nothing.
  chbWholeWord->setChecked(FWholeWord);
  const std::pair<QCheckBox*, uint8_t> parts[] = {
      {chbHeader, kSearchHeader}, {chbMarks, kSearchMarks}, {chbAuthors, kSearchAuthors}, {chbArticles, kSearchArticles}};
  for (const auto& [check, part] : parts) {
    check->setChecked(FParts & part);
    connect(check, &QCheckBox::toggled, this, [this, part](bool on) { SetPart(part, on); });
  }
  const std::pair<QRadioButton*, TSourceSearchMode> modes[] = {
      {rbFromBegin, smFromBeginning}, {rbFromCurrent, smFromCurrent}, {rbCurrentOnly, smCurrentArticle}};
  for (const auto& [radio, mode] : modes) {
    radio->setChecked(FMode == mode);
    connect(radio, &QRadioButton::toggled, this, [this, mode](bool on) {
      if (on) FMode = mode;
    });
  }
  connect(chbWholeWord, &QCheckBox::toggled, this, [this](bool on) { FWholeWord = on; });

  edSearch->SetOnChange([this](TKezUnicodeRichEdit& edit) {
    FSearchText = edit.Text();
    UpdateActions();
  });
  edReplace->SetOnChange([this](TKezUnicodeRichEdit& edit) { FReplaceText = edit.Text(); });
  for (TKezUnicodeRichEdit* edit : {edSearch, edReplace}) edit->installEventFilter(this);
  // The language input steps aside while the system types another script.
  connect(&SystemKeyboard(), &TSystemKeyboard::Changed, this, [this](bool latin) {
    FInput.FollowLayout(latin);
    ApplyInput();
  });

  // Compact, as a small tool window: the group's rows close together.
  auto* group = new QVBoxLayout(gbSearchIn);
  group->setSpacing(0);
  group->setContentsMargins(8, 2, 8, 4);
  for (QWidget* part : std::initializer_list<QWidget*>{chbHeader, chbMarks, chbAuthors, chbArticles}) group->addWidget(part);
  group->addSpacing(6);
  for (QWidget* mode : std::initializer_list<QWidget*>{rbFromBegin, rbFromCurrent, rbCurrentOnly}) group->addWidget(mode);

  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(2);
  layout->setContentsMargins(6, 2, 6, 6);
  layout->setMenuBar(ToolBar);
  layout->addWidget(lblSearchFor);
  layout->addWidget(edSearch);
  layout->addWidget(lblReplaceWith);
  layout->addWidget(edReplace);
  layout->addWidget(chbWholeWord);
  layout->addSpacing(4);
  layout->addWidget(gbSearchIn);
  layout->addStretch();
}

void TFormEditorSearch::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (FFilled) return;
  FFilled = true;
  // Filled only now: the field selects its text for typing over at once.
  const std::u16string search = FSearchText, replace = FReplaceText;
  edReplace->SetText(replace);
  edSearch->SetText(search);
  edSearch->setFocus();
  edSearch->SelectAll();
}

void TFormEditorSearch::keyPressEvent(QKeyEvent* event) {
  // The fields pass Enter on rather than take it as a shortcut.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      !(event->modifiers() & ~Qt::KeypadModifier)) {
    if (actSearch->isEnabled()) actSearch->trigger();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool TFormEditorSearch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn)
    if (auto* edit = qobject_cast<TKezUnicodeRichEdit*>(watched)) edit->SelectAll();
  return QDialog::eventFilter(watched, event);
}

void TFormEditorSearch::ApplyInput() {
  const bool on = FInput.On() && FLanguage;
  const TKodraLanguage* input = on ? FLanguage : nullptr;
  edSearch->SetLanguageInput(input);
  edReplace->SetLanguageInput(input);
  actLanguage->setChecked(on);
  const bool latin = FLanguage && FLanguage->GetId() == "latin";
  actLanguage->setIcon(ActionIcon("actEditLanguage", !on ? "off" : latin ? "latin" : "greek"));
}

void TFormEditorSearch::SetPart(uint8_t part, bool on) {
  FParts = on ? uint8_t(FParts | part) : uint8_t(FParts & ~part);
  UpdateActions();
}

void TFormEditorSearch::UpdateActions() { actSearch->setEnabled(!FSearchText.empty() && FParts != 0); }

void TFormEditorSearch::actSearchExecute() {
  if (!actSearch->isEnabled()) return;
  TEditorSearchSettings& remembered = EditorSearchSettings();
  remembered.SearchText = FSearchText;
  remembered.ReplaceText = FReplaceText;
  remembered.Parts = FParts;
  remembered.Mode = FMode;
  remembered.WholeWord = FWholeWord;
  accept();
}
