// The editor's actions, menus and tool bar, and when each is enabled.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QToolBar>

#include "editor/uCharMap.h"
#include "editor/uFontEditor.h"
#include "editor/uFormKodraEditor.h"
#include "render/KezRichEdit.h"
#include "editor/uNoteConverter.h"
#include "source/uSourceDictionary.h"
#include "viewer/uData.h"
#include "options/uOptions.h"
#include "viewer/uFormDictionariesManager.h"
#include "viewer/uFormParts.h"
#include "viewer/uOptionsForm.h"
#include "viewer/uStatusLine.h"
#include "widgets/KezListBox.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace {
constexpr TActionDefinition kActions[] = {
    {"actFileNew", "&New", "New dictionary", ""},
    {"actFileOpen", "&Open...", "Open dictionary", ""},
    {"actFileSave", "&Save", "Save dictionary", "Ctrl+S"},
    {"actFileSaveAs", "Save &As...", "Save dictionary as", ""},
    {"actFileVerify", "&Verify", "Verify dictionary", "F6"},
    {"actFileCompile", "&Compile", "Compile dictionary", "Ctrl+F6"},
    {"actFileMerge", "&Merge...", "Merge with dictionary", ""},
    {"actFileConvert", "Conver&t...", "Convert note file", ""},
    {"actFileManager", "&Dictionaries...", "Dictionaries manager", ""},
    {"actFileExit", "E&xit", "Close editor", ""},
    {"actEditLanguage", "&Language", "Language", "Ctrl+L"},
    {"actEditCharMap", "Char &map", "Char map", "Ctrl+M"},
    // The special characters show as their images; the caption is what a
    // screen reader says of them.
    {"actEditSpecialChar0301", "Acute accent", "Acute accent", "Ctrl+'"},
    {"actEditSpecialChar2014", "Dash —", "Dash —", "Ctrl+-"},
    {"actEditSpecialChar2026", "Ellipsis …", "Ellipsis …", "Ctrl+."},
    {"actEditSpecialCharF002", "Arc above", "Arc above", "Ctrl+Alt+="},
    {"actEditSpecialCharF010", "Dot in circle", "Dot in circle", "Ctrl+Alt+-"},
    {"actEditUndo", "&Undo", "Undo", "Ctrl+Z"},
    {"actEditCut", "Cu&t", "Cut", "Ctrl+X"},
    {"actEditCopy", "&Copy", "Copy", "Ctrl+C"},
    {"actEditPaste", "&Paste", "Paste", "Ctrl+V"},
    {"actEditDelete", "&Delete", "Delete", ""},
    {"actEditSelectAll", "&Select all", "Select all", "Ctrl+A"},
    {"actEditNew", "&Add article", "Add article", "Ins"},
    {"actEditAccept", "&Accept", "Accept changes", "F5"},
    {"actSearchGoto", "&Go to", "Go to dictionary entry", "Ctrl+Return"},
    {"actSearchUp", "&Up", "Previous article", "Ctrl+Shift+Up"},
    {"actSearchDown", "&Down", "Next article", "Ctrl+Shift+Down"},
    {"actSearchStart", "&Search...", "Search", "Ctrl+F"},
    {"actSearchNext", "&Next", "Search next", "F3"},
    {"actSearchReplace", "&Replace", "Replace", "Ctrl+R"},
    {"actViewHeader", "&Header", "Dictionary header", ""},
    {"actViewMarks", "&Marks", "Marks", ""},
    {"actViewAuthors", "&Authors", "Authors", ""},
    {"actViewPreview", "&Preview", "Preview", "F7"},
    {"actViewMeanings", "&Meanings", "Meanings", "F4"},
    {"actTagKeyword", "&Keyword", "Keyword line", "Ctrl+Shift+K"},
    {"actTagHeader", "&Header", "Header tag", "Ctrl+Shift+H"},
    {"actTagMark", "&Mark", "Mark tag", "Ctrl+Shift+M"},
    {"actTagAuthor", "&Author", "Author tag", "Ctrl+Shift+A"},
    {"actTagEnumeration", "E&numeration", "Enumeration tag", "Ctrl+Shift+N"},
    {"actTagComment", "&Comment", "Comment tag", "Ctrl+Shift+C"},
    {"actTagExample", "&Example", "Example tag", "Ctrl+Shift+E"},
    {"actTagException", "E&xception", "Exception block", "Ctrl+Shift+X"},
    {"actServiceFontEdit", "&Font edit...", "Font table editor", ""},
    {"actServiceOptions", "&Options...", "Options", ""},
    {"actHelpContents", "&Contents", "Contents", "F1"},
    {"actHelpOnCommands", "&Help", "Help on commands", ""},
    {"actHelpOnEntryField", "&Help", "Help on entry field", ""},
    {"actHelpOnDicEntry", "&Help", "Help on dictionary entry", ""},
    {"actHelpOnStatus", "&Help", "Help on status bar", ""},
    {"actHelpOnList", "&Help", "Help on keyword list", ""},
    {"actHelpOnError", "&Last error", "Help on last error", ""},
    {"actHelpAbout", "&About...", "About", ""},
};

// The special characters and the unit each inserts.
constexpr std::pair<const char*, char16_t> kSpecialChars[] = {
    {"actEditSpecialChar0301", 0x0301}, {"actEditSpecialChar2014", 0x2014}, {"actEditSpecialChar2026", 0x2026},
    {"actEditSpecialCharF002", 0xF002}, {"actEditSpecialCharF010", 0xF010},
};

struct TTagDefinition {
  const char* Name;
  const char16_t* Opening;
  const char16_t* Closing;
};
constexpr TTagDefinition kTags[] = {
    {"actTagHeader", u"<h>", u"</h>"},     {"actTagMark", u"<m>", u"</m>"},   {"actTagAuthor", u"<a>", u"</a>"},
    {"actTagEnumeration", u"<n>", u"</n>"}, {"actTagComment", u"<c>", u"</c>"}, {"actTagExample", u"<e>", u"</e>"},
    {"actTagException", u"{{", u"}}"},
};
}  // namespace

void TFormKodraEditor::CreateActions() {
  ::CreateActions(*this, kActions);
  for (const char* name : {"actEditLanguage", "actViewHeader", "actViewMarks", "actViewAuthors", "actViewPreview",
                           "actViewMeanings"})
    Action(name)->setCheckable(true);

  auto on = [this](const char* name, auto handler) { connect(Action(name), &QAction::triggered, this, handler); };
  // Actions that work on the dictionary, move in it or open another window
  // accept the pane's edits first, and do nothing more when that fails.
  auto accepting = [this](const char* name, std::function<void()> handler) {
    connect(Action(name), &QAction::triggered, this, [this, handler] {
      if (AcceptPending()) handler();
    });
  };
  auto acceptingUnlessPreview = [this](const char* name, std::function<void()> handler) {
    connect(Action(name), &QAction::triggered, this, [this, handler] {
      if (FPreview || AcceptPending()) handler();
    });
  };
  accepting("actFileNew", [this] { New(); });
  accepting("actFileOpen", [this] { Open(); });
  on("actFileSave", [this] { Save(); });
  accepting("actFileSaveAs", [this] { SaveAs(); });
  on("actFileVerify", [this] { Verify(); });
  on("actFileCompile", [this] { Compile(); });
  accepting("actFileMerge", [this] { Merge(); });
  accepting("actFileConvert", [this] { Convert(); });
  on("actFileExit", [this] { close(); });
  accepting("actFileManager", [this] {
    bool changed = false;
    if (FOnDictionariesManager) {
      changed = FOnDictionariesManager(this);
    } else {
      TFormDictionariesManager form(this, FLanguage, GlobalData().DictionaryFolder(),
                                    GlobalData().ShippedDictionaryFolder());
      changed = form.exec() == QDialog::Accepted && form.Modified();
    }
    if (changed) FDictionariesChanged = true;
  });
  on("actEditLanguage", [this] {
    FInput.Choose(!FInput.On());
    ApplyInput();
  });
  for (const auto& [name, unit] : kSpecialChars) {
    const char16_t inserted = unit;
    on(name, [this, inserted] { InsertSpecialChar(inserted); });
  }
  on("actEditCharMap", [this] {
    // The text goes in at the caret of the edit the user was working in.
    const bool intoSearch = ActiveEdit() == edSearch;
    TFormCharMap form(this, FLanguage);
    if (form.exec() != QDialog::Accepted || form.Text().empty()) return;
    if (intoSearch) InsertWord(*edSearch, form.Text());
    else if (!edText->isReadOnly()) InsertUnicodeText(*edText, form.Text());
  });
  on("actEditUndo", [this] {
    if (TKezUnicodeRichEdit* edit = ActiveEdit()) {
      edit->undo();
      // Undone to the shown text: nothing left to accept.
      if (edit == edText && !edText->CanUndo()) edText->SetModified(false);
    }
  });
  on("actEditCut", [this] {
    if (TKezUnicodeRichEdit* edit = ActiveEdit()) edit->cut();
  });
  on("actEditCopy", [this] {
    if (TKezUnicodeRichEdit* edit = ActiveEdit()) edit->copy();
  });
  on("actEditPaste", [this] {
    if (ActiveEdit() == edSearch) PasteIntoSearchBox();
    else PasteIntoTextPane();
  });
  on("actEditDelete", [this] {
    if (TKezUnicodeRichEdit* edit = ActiveEdit()) edit->DeleteSelection();
  });
  on("actEditSelectAll", [this] {
    if (TKezUnicodeRichEdit* edit = ActiveEdit()) edit->selectAll();
  });
  on("actEditNew", [this] { AddArticle(); });
  on("actEditAccept", [this] { AcceptPending(); });
  acceptingUnlessPreview("actSearchGoto", [this] { PostGoTo(true, true); });
  acceptingUnlessPreview("actSearchUp", [this] { Move(-1); });
  acceptingUnlessPreview("actSearchDown", [this] { Move(1); });
  accepting("actSearchStart", [this] { Search(); });
  accepting("actSearchNext", [this] { SearchNext(); });
  on("actSearchReplace", [this] { Replace(); });
  for (const auto& [name, part] : {std::pair{"actViewHeader", int(spHeader)}, std::pair{"actViewMarks", int(spMarks)},
                                   std::pair{"actViewAuthors", int(spAuthors)}}) {
    const int shown = part;
    connect(Action(name), &QAction::triggered, this, [this, shown] {
      if (AcceptPending()) ShowPart(shown);
      UpdateActions();
    });
  }
  on("actViewPreview", [this] { SetPreview(Action("actViewPreview")->isChecked()); });
  connect(Action("actViewMeanings"), &QAction::triggered, this, [this] {
    if (!FPreview && !AcceptPending()) {
      Action("actViewMeanings")->setChecked(!Action("actViewMeanings")->isChecked());
      return;
    }
    edText->SetWordWrap(!Action("actViewMeanings")->isChecked());
    Refresh();
  });
  on("actTagKeyword", [this] { InsertKeywordLine(); });
  for (const TTagDefinition& tag : kTags) {
    const TTagDefinition definition = tag;
    on(tag.Name, [this, definition] { InsertTag(definition.Opening, definition.Closing); });
  }
  accepting("actServiceFontEdit", [this] {
    TFormFontEditor form(this, FLanguage);
    form.exec();
  });
  accepting("actServiceOptions", [this] {
    TFormOptions form(this);
    auto changed = [this](bool locale) {
      if (FOnOptionsChanged) FOnOptionsChanged(locale);
      else if (locale) InterfaceLanguageChanged();
      else OptionsChanged();
    };
    Options().SetNotifiers([changed] { changed(true); }, [changed] { changed(false); });
    form.exec();
    Options().ClearNotifiers();
    ApplyHints();
  });
  accepting("actHelpContents", [this] { GlobalData().HelpTopic(this, "editor"); });
  for (const auto& [name, topic] : {std::pair{"actHelpOnCommands", "editorcommands"},
                                     std::pair{"actHelpOnEntryField", "editorentryfield"},
                                     std::pair{"actHelpOnDicEntry", "editordicentry"},
                                     std::pair{"actHelpOnStatus", "status"},
                                     std::pair{"actHelpOnList", "editorkeywordlist"}}) {
    const QString page = topic;
    accepting(name, [this, page] { GlobalData().HelpTopic(this, page); });
  }
  accepting("actHelpOnError", [this] { GlobalData().ErrorPopup(this, FStatus->HelpKeyword()); });
  accepting("actHelpAbout", [this] {
    ShowAboutBox(this);
  });
}

void TFormKodraEditor::CreateMenus() {
  QMenuBar* bar = menuBar();
  auto menu = [&](const char* key, const char* english) {
    QMenu* created = bar->addMenu(english);
    FMainMenus.push_back({created, key, english});
    return created;
  };
  AddActions(*menu("EditorMenuFile", "&File"), *this,
             {"actFileNew", "actFileOpen", "actFileSave", "actFileSaveAs", "", "actFileVerify", "actFileCompile", "",
              "actFileMerge", "actFileConvert", "", "actFileManager", "", "actFileExit"});
  QMenu* edit = menu("EditorMenuEdit", "&Edit");
  AddActions(*edit, *this, {"actEditLanguage", "actEditCharMap"});
  mnuSpecialChar = edit->addMenu("Special c&haracter");
  mnuSpecialChar->setObjectName("mnuSpecialChar");
  for (const auto& [name, unit] : kSpecialChars) mnuSpecialChar->addAction(Action(name));
  AddActions(*edit, *this,
             {"", "actEditUndo", "actEditCut", "actEditCopy", "actEditPaste", "actEditDelete", "actEditSelectAll", "",
              "actEditNew", "actEditAccept"});
  AddActions(*menu("EditorMenuSearch", "&Search"), *this,
             {"actSearchGoto", "actSearchUp", "actSearchDown", "", "actSearchStart", "actSearchNext",
              "actSearchReplace"});
  AddActions(*menu("EditorMenuView", "&View"), *this,
             {"actViewHeader", "actViewMarks", "actViewAuthors", "", "actViewPreview", "actViewMeanings"});
  AddActions(*menu("EditorMenuTag", "&Tag"), *this,
             {"actTagKeyword", "", "actTagHeader", "actTagMark", "actTagAuthor", "actTagEnumeration", "actTagComment",
              "actTagExample", "", "actTagException"});
  AddActions(*menu("EditorMenuService", "Servi&ce"), *this, {"actServiceFontEdit", "", "actServiceOptions"});
  AddActions(*menu("EditorMenuHelp", "&?"), *this, {"actHelpContents", "", "actHelpAbout"});

  ToolBar = addToolBar("Tool bar");
  ToolBar->setObjectName("ToolBar");
  ToolBar->setMovable(false);
  AddActions(*ToolBar, *this,
             {"actFileSave", "actFileVerify", "actFileCompile", "", "actEditLanguage", "actEditCharMap", "",
              "actEditUndo", "actEditCut", "actEditCopy", "actEditPaste", "", "actEditNew", "actEditAccept", "",
              "actSearchGoto", "actSearchUp", "actSearchDown", "", "actSearchStart", "actSearchNext",
              "actSearchReplace", "", "actViewPreview", "actViewMeanings", "", "actTagKeyword", "actTagHeader",
              "actTagMark", "actTagAuthor", "actTagEnumeration", "actTagComment", "actTagExample"});
  // The parts' own menus, in place of the toolkit's.
  AttachPopupMenu(*this, "MenuToolBar", *ToolBar, {"actServiceOptions", "actHelpOnCommands"});
  AttachPopupMenu(*this, "MenuSearch", *edSearch,
                  {"actEditUndo", "", "actEditCut", "actEditCopy", "actEditPaste", "actEditDelete", "",
                   "actEditSelectAll", "", "actServiceOptions", "actHelpOnEntryField"});
  AttachPopupMenu(*this, "MenuText", *edText,
                  {"actEditUndo", "", "actEditCut", "actEditCopy", "actEditPaste", "", "actEditNew", "actEditAccept",
                   "actViewPreview", "", "actServiceOptions", "actHelpOnDicEntry"});
  AttachPopupMenu(*this, "MenuStatus", *FStatus, {"actServiceOptions", "actHelpOnStatus", "actHelpOnError"});
  AttachPopupMenu(*this, "MenuList", *lstKeywords, {"actServiceOptions", "actHelpOnList"});
  // A menu shows the actions as they stand when it opens.
  for (QMenu* created : findChildren<QMenu*>())
    connect(created, &QMenu::aboutToShow, this, &TFormKodraEditor::UpdateActions);
}

// The edit the user works in: the one that had the focus last, also while a
// menu or the tool bar has taken it for a moment.
TKezUnicodeRichEdit* TFormKodraEditor::ActiveEdit() const { return FActiveEdit; }

void TFormKodraEditor::UpdateActions() {
  if (!ToolBar) return;
  const bool editingAllowed = !FBusy && !FPreview;
  const bool dictionaryOpen = editingAllowed && !FDictionary->IsEmpty();
  const bool textChanged = editingAllowed && edText->Modified();
  TKezUnicodeRichEdit* active = ActiveEdit();
  const bool tagPossible = editingAllowed && active == edText && edText->textCursor().hasSelection();
  const bool articles = FDictionary->CurrentPart() == spArticles;
  const int32_t item = FDictionary->CurrentItem();
  const int32_t count = FDictionary->ArticleCount();
  const bool found = dictionaryOpen && FDictionary->SearchFound();
  auto enable = [this](const char* name, bool enabled) { Action(name)->setEnabled(enabled); };

  enable("actFileNew", dictionaryOpen);
  enable("actFileOpen", editingAllowed);
  enable("actFileSave", dictionaryOpen && (FDictionary->Modified() || textChanged));
  for (const char* name : {"actFileSaveAs", "actFileVerify", "actFileCompile", "actFileMerge", "actSearchStart"})
    enable(name, dictionaryOpen);
  enable("actFileConvert", editingAllowed && FConverter && FConverter->Available());
  // The windows these open are not part of the program yet.
  enable("actServiceFontEdit", editingAllowed);
  enable("actFileManager", editingAllowed);
  enable("actEditCharMap", editingAllowed);
  enable("actServiceOptions", editingAllowed);
  for (const char* name : {"actFileExit", "actEditLanguage", "actEditNew", "actHelpContents", "actHelpAbout"})
    enable(name, editingAllowed);
  for (const auto& [name, unit] : kSpecialChars) enable(name, editingAllowed);
  const bool selection = active && active->textCursor().hasSelection();
  const bool editable = editingAllowed && active;
  enable("actEditUndo", editable && active->CanUndo());
  enable("actEditCut", editable && selection);
  enable("actEditDelete", editable && selection);
  enable("actEditCopy", !FBusy && selection);
  enable("actEditPaste", editable && FClipboardHasText);
  enable("actEditSelectAll", editable && active->TextLength() > 0);
  enable("actEditAccept", textChanged);
  enable("actSearchGoto", !FBusy && articles && count > 0 && !edSearch->Text().empty());
  enable("actSearchUp", !FBusy && articles && item > 0);
  enable("actSearchDown", !FBusy && articles && item + 1 < count);
  enable("actSearchNext", found);
  enable("actSearchReplace", found && edText->textCursor().hasSelection() && !FReplaceText.empty());
  const std::pair<const char*, int> views[] = {{"actViewHeader", spHeader}, {"actViewMarks", spMarks},
                                               {"actViewAuthors", spAuthors}};
  for (const auto& [name, part] : views) {
    enable(name, editingAllowed);
    Action(name)->setChecked(FDictionary->CurrentPart() == part);
  }
  enable("actViewPreview", !FBusy && articles);
  Action("actViewPreview")->setChecked(FPreview);
  enable("actViewMeanings", !FBusy);
  enable("actTagKeyword", tagPossible);
  for (const TTagDefinition& tag : kTags) enable(tag.Name, tagPossible);
  enable("actHelpOnError", FStatus->Kind() == skError && !FStatus->HelpKeyword().empty());
  Action("actEditLanguage")->setChecked(FInput.On());
}
