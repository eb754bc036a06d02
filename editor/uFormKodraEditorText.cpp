// The editor's work on the text pane: moving between items, preview, the
// tag and special-character insertions, pasting, and search and replace.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <cstdio>

#include "editor/uFormKodraEditor.h"
#include "foundation/KezLocale.h"
#include "language/uCommon.h"
#include "render/uRichEditWriter.h"
#include "render/uRtfReader.h"
#include "source/uEditorWords.h"
#include "source/uSourceDictionary.h"
#include "viewer/uClipboardConversion.h"
#include "viewer/uData.h"
#include "viewer/uStatusLine.h"
#include "widgets/KezListBox.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace {
// The longest text the search box takes from the clipboard.
constexpr int32_t kSearchBoxPasteLimit = 64;
}  // namespace

void TFormKodraEditor::SetPreview(bool on) {
  if (on == FPreview) return;
  if (on && !AcceptPending()) {
    Action("actViewPreview")->setChecked(false);
    return;
  }
  FPreview = on;
  edText->setReadOnly(on);
  edText->SetModified(false);
  if (on) FStatus->ShowText(skInformation, "SPreview", "Preview mode on");
  else FStatus->ClearMessage();
  edText->SetSelection(0, 0);
  FDictionary->ClearSelection();
  ApplyInput();
  ApplyFonts();
  Refresh();
}

void TFormKodraEditor::Move(int delta) {
  if (FDictionary->CurrentPart() != spArticles) return;
  const int32_t item = FDictionary->CurrentItem() + delta;
  if (item < 0 || item >= FDictionary->ArticleCount()) return;
  FDictionary->SetLocation(spArticles, item, 0, 0);
  Refresh();
}

void TFormKodraEditor::ShowPart(int part) {
  FDictionary->SetLocation(part, 0, 0, 0);
  Refresh();
}

// An empty pane for a new article: the next accept adds what is typed.
void TFormKodraEditor::AddArticle() {
  FDictionary->ResetLocation();
  edText->SetText(u"");
  edText->SetModified(true);
  edText->setFocus();
  FEditedPart = spArticles;
  FEditedItem = -1;
  UpdateActions();
}

void TFormKodraEditor::InsertTag(const char16_t* opening, const char16_t* closing) {
  int32_t start, end;
  edText->GetSelection(start, end);
  const std::u16string selected = edText->TextRange(start, end);
  edText->ReplaceSelection(std::u16string(opening) + selected + closing);
}

// "#" and the selection made into a keyword, on a line of its own before
// the caret's line.
void TFormKodraEditor::InsertKeywordLine() {
  int32_t start, end;
  edText->GetSelection(start, end);
  const std::u16string line = KeywordLine(*FLanguage, edText->TextRange(start, end));
  const int32_t at = LineStartBefore(edText->Text(), edText->CaretPosition());
  edText->SetSelection(at, at);
  edText->ReplaceSelection(line);
}

// Characters of the special font go in as their hex form, as the source
// format writes them.
void TFormKodraEditor::InsertSpecialChar(char16_t unit) {
  if (unit < kSpecialCharFirst) {
    edText->ReplaceSelection(std::u16string(1, unit));
    return;
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "$%04X", unsigned(unit));
  edText->ReplaceSelection(std::u16string(hex, hex + 5));
}

void TFormKodraEditor::PasteIntoSearchBox() {
  try {
    const std::u16string text = CleanSearchBoxText(PasteConverted(*FLanguage, kSearchBoxPasteLimit));
    edSearch->SetText(text);
    edSearch->SetSelection(int32_t(text.size()), int32_t(text.size()));
    PostGoTo(false, true);
  } catch (const THelpedException& e) {
    FStatus->ShowMessage(skError, QString::fromStdString(e.Message), e.HelpKeyword);
  } catch (const std::exception& e) {
    FStatus->ShowMessage(skError, QString::fromUtf8(e.what()));
  }
}

void TFormKodraEditor::PasteIntoTextPane() {
  if (edText->isReadOnly()) return;
  try {
    edText->ReplaceSelection(PasteConverted(*FLanguage, 0));
  } catch (const THelpedException& e) {
    FStatus->ShowMessage(skError, QString::fromStdString(e.Message), e.HelpKeyword);
  } catch (const std::exception& e) {
    FStatus->ShowMessage(skError, QString::fromUtf8(e.what()));
  }
}

// Search: the search window collects what to look for; the search starts
// once it is confirmed.
void TFormKodraEditor::Search() {
  TFormEditorSearch dialog(this, FLanguage);
  if (dialog.exec() != QDialog::Accepted || dialog.SearchText().empty()) {
    Aborted();
    return;
  }
  StartSearch({dialog.SearchText(), dialog.ReplaceText(), dialog.Parts(), dialog.Mode(), dialog.WholeWord()});
}

void TFormKodraEditor::StartSearch(const TEditorSearchSettings& settings) {
  if (settings.SearchText.empty()) {
    Aborted();
    return;
  }
  FReplaceText = settings.ReplaceText;
  BusyStart();
  bool found = false;
  try {
    found = FDictionary->StartSearch(settings.SearchText, settings.Parts, settings.WholeWord, settings.Mode);
  } catch (const std::exception& e) {
    BusyEnd(skError, QString::fromUtf8(e.what()));
    return;
  }
  BusyEnd(skNone, QString());
  ReportSearch(found);
}

void TFormKodraEditor::SearchNext() {
  BusyStart();
  bool found = false;
  try {
    found = FDictionary->SearchNext();
  } catch (const std::exception& e) {
    BusyEnd(skError, QString::fromUtf8(e.what()));
    return;
  }
  BusyEnd(skNone, QString());
  ReportSearch(found);
}

void TFormKodraEditor::ReportSearch(bool found) {
  if (!found) {
    FStatus->ShowText(skWarning, "SSearchFalse", "String not found");
    UpdateActions();
    return;
  }
  edText->setFocus();
  Refresh();
  FStatus->ShowText(skInformation, "SSearchOk", "Successful search");
}

// The replacement goes into the pane; it reaches the dictionary when the
// pane is accepted (Next accepts before it searches on).
void TFormKodraEditor::Replace() {
  if (FReplaceText.empty() || !edText->textCursor().hasSelection() || FPreview) return;
  edText->ReplaceSelection(FReplaceText);
  FStatus->ShowText(skInformation, "SReplaceOk", "Replace OK");
  UpdateActions();
}

std::u16string TFormKodraEditor::CurrentKeyword() const {
  if (FEditedPart != spArticles || FEditedItem < 0 || FEditedItem >= FDictionary->ArticleCount()) return {};
  return std::u16string(FDictionary->Keyword(FEditedItem));
}
