// The main window at work: taking words from the search field, locating
// them, showing articles, the keyword list and the article view.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "foundation/KezLocale.h"
#include "foundation/KezText.h"
#include "widgets/KezListBox.h"
#include "options/uOptions.h"
#include <QHeaderView>
#include "render/uRichEditWriter.h"
#include "widgets/KezUnicodeRichEdit.h"
#include "viewer/uFormKodra3.h"
#include "viewer/uKindMark.h"
#include "viewer/uData.h"
#include "viewer/uStatusLine.h"

namespace {
// A double click, Enter or Space opens the selected row of a list.
bool OpensRow(const QEvent& event) {
  if (event.type() == QEvent::MouseButtonDblClick) return true;
  if (event.type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent&>(event).key();
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

}  // namespace

// The page shown before the first article, in the interface language.
void TFormKodra3::WriteFirstPage() {
  FFirstPageShown = true;
  TArticleWriter& writer = *FWriter;
  writer.BeginDocument();
  writer.OpenCaption();
  writer.WriteText(u"Kodra");
  writer.CloseStyle();
  writer.EndParagraph();
  writer.OpenHeader();
  writer.WriteText(Tr("FirstPageTitle", "A dictionary of Ancient Greek and Latin").toStdU16String());
  writer.CloseStyle();
  writer.EndParagraph();
  writer.WriteText(Tr("FirstPageText",
                      "Type a word in the search field; Greek letters come from the Latin keys. Enter shows the "
                      "article; a word that is not found is said so, and Enter again shows the nearest keyword.")
                       .toStdU16String());
  writer.EndParagraph();
  writer.EndDocument();
}

void TFormKodra3::Post(const char* member) { QMetaObject::invokeMethod(this, member, Qt::QueuedConnection); }

void TFormKodra3::PostLocate(bool show, bool showIfExact) {
  QMetaObject::invokeMethod(this, "Locate", Qt::QueuedConnection, Q_ARG(bool, show), Q_ARG(bool, showIfExact));
}

void TFormKodra3::PostReload(int mode) {
  FReloadPending = true;
  QMetaObject::invokeMethod(this, "Reload", Qt::QueuedConnection, Q_ARG(int, mode));
}

void TFormKodra3::ShowArticle() { Post("DoShowArticle"); }

void TFormKodra3::BusyStart() {
  FBusy = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  UpdateActions();
  FStatus->ShowText(skProcessing, "SProcessing", "Processing...");
  QApplication::processEvents();
}

void TFormKodra3::BusyEnd(int kind, const QString& text, const std::string& identifier) {
  QApplication::restoreOverrideCursor();
  FBusy = false;
  FStatus->ShowMessage(TStatusKind(kind), text, identifier);
  UpdateActions();
  // Errors are told as the options ask: a message box, or the error sound,
  // and the error's help pop-up.
  if (kind == skError) GlobalData().ReportError(this, identifier, text);
  QApplication::processEvents();
}

void TFormKodra3::BusyEnd(int kind, std::function<QString()> text, const std::string& identifier) {
  QApplication::restoreOverrideCursor();
  FBusy = false;
  FStatus->ShowMessage(TStatusKind(kind), text, identifier);
  UpdateActions();
  if (kind == skError) GlobalData().ReportError(this, identifier, text());
  QApplication::processEvents();
}

std::function<QString()> TFormKodra3::LoadProblems(QString pending) const {
  return [failed = FDictionary->LoadFailures(), tables = FLanguage->UnreadableTypingTables(), pending] {
    QString problems;
    auto add = [&problems](const QString& problem) { problems += (problems.isEmpty() ? "" : "; ") + problem; };
    // A dictionary that could not be read is named, with the reason.
    for (const TDictionaryLoadFailure& failure : failed)
      add(QString::fromStdString(
          FormatMessage(Locale().Text("SDicNotLoaded", "Cannot read %s: %s"), {failure.FileName, failure.Reason})));
    // So is a typing table that is there but cannot be read: typing composes nothing.
    for (const std::string& table : tables)
      add(QString::fromStdString(
          FormatMessage(Locale().Text("STableUnread", "%s; typing goes without it"), {table})));
    if (!pending.isEmpty()) add(pending);
    return problems;
  };
}

void TFormKodra3::Reload(int mode) {
  FReloadPending = false;
  if (mode == kFirstPage) {
    WriteFirstPage();
    PostReload(2);
    return;
  }
  BusyStart();
  try {
    FHistory.Clear();
    FDictionary->LoadDictionaries(true);
    FDictionary->ClearReloadNames();  // read again once
    lstKeywords->SetCount(FDictionary->KeywordCount());
    if (FDictionary->CurrentIndex() >= 0) lstKeywords->SelectIndex(FDictionary->CurrentIndex());
    ApplySettings();
    if (FDictionary->DictionaryCount() > 0 && FDictionary->KeywordCount() > 0) {
      if (mode != 2) ShowArticle();
      // The settings file's warning, once, with any dictionary that failed.
      const std::function<QString()> problems = LoadProblems(std::exchange(FPendingWarning, QString()));
      if (problems().isEmpty())
        BusyEnd(skInformation, [dictionaries = FDictionary->DictionaryCount(), keywords = FDictionary->KeywordCount()] {
          return Tr("SDicLoadedCount", "Active dictionaries count: ").trimmed() + " " + QString::number(dictionaries) +
                 Tr("SEntLoadedCount", ", entries count: ").trimmed() + " " + QString::number(keywords);
        });
      else
        BusyEnd(skWarning, problems, FDictionary->LoadFailures().empty() ? std::string() : "SDicNotLoaded");
      if (mode == 1) {
        if (!FCurrentWord.empty()) PostLocate(true, false);
        else TakeWord(true, true);
      } else if (mode == 2 && FPendingWord.empty() && !edSearch->Text().empty()) {
        // The search text kept from the last time: the list and the article follow it.
        TakeWord(true, true);
      }
      if (!FPendingWord.empty()) {
        edSearch->SetText(u"");
        InsertWordIntoSearch(FPendingWord);
        FPendingWord.clear();
      } else if (std::exchange(FPendingSelection, false)) {
        CatchSelection();  // the caught word replaces the kept search text
      }
    } else {
      BusyEnd(skError, [problems = LoadProblems({})] {
        const QString why = problems();
        return Tr("SNoDicLoaded", "No active dictionaries") + (why.isEmpty() ? "" : ". " + why);
      }, "SNoDicLoaded");
    }
  } catch (const THelpedException& e) {
    BusyEnd(skError, QString::fromStdString(e.Message), e.HelpKeyword);
  } catch (const std::exception& e) {
    BusyEnd(skError, QString::fromUtf8(e.what()));
  }
  SwitchLanguageInput(true);
}

void TFormKodra3::DoShowArticle() {
  FShownIndex = FDictionary->CurrentIndex();
  if (FShownIndex < 0) return;
  // A word beyond the last keyword names no article: nothing to remember.
  if (FSuppressHistory) FSuppressHistory = false;
  else if (FShownIndex < FDictionary->KeywordCount()) FHistory.Add(FShownIndex);
  FFirstPageShown = false;
  FWriter->SetArticleMode(true);
  FWriter->BeginDocument();
  try {
    FDictionary->RenderArticle(*FWriter);
  } catch (...) {
    FWriter->EndDocument();
    throw;
  }
  FWriter->EndDocument();
  // Every hit of the opened result's article, marked as the selection is.
  QList<QTextEdit::ExtraSelection> marks;
  if (FHighlightAllResult >= 0 && size_t(FHighlightAllResult) < FResults.size() &&
      FResults[size_t(FHighlightAllResult)]->Next) {
    for (const TSearchResultBase* hit = FResults[size_t(FHighlightAllResult)].get(); hit; hit = hit->Next.get()) {
      QTextEdit::ExtraSelection mark;
      mark.cursor = QTextCursor(edText->document());
      mark.cursor.setPosition(hit->Position);
      mark.cursor.setPosition(hit->Position + hit->Length, QTextCursor::KeepAnchor);
      mark.format.setBackground(palette().highlight());
      mark.format.setForeground(palette().highlightedText());
      marks.append(mark);
    }
  }
  edText->setExtraSelections(marks);
  FHighlightAllResult = -1;
  const int32_t start = FDictionary->SelectionStart();
  edText->SetSelection(start, start + FDictionary->SelectionLength());
  UpdateActions();
}

// The selection; else the caret's line, or the line before it, or the one
// after it, whichever first holds more than a single blank.
std::u16string TFormKodra3::SearchText() const {
  int32_t start, end;
  edSearch->GetSelection(start, end);
  if (end > start) return edSearch->TextRange(start, end);
  const std::u16string text = edSearch->Text();
  if (text.empty()) return {};
  std::vector<std::u16string> lines(1);
  size_t caretLine = 0;
  const size_t caret = size_t(edSearch->CaretPosition());
  for (size_t i = 0; i < text.size(); ++i) {
    if (i == caret) caretLine = lines.size() - 1;
    if (text[i] == u'\n') lines.emplace_back();
    else lines.back() += text[i];
  }
  if (caret >= text.size()) caretLine = lines.size() - 1;
  auto usable = [&](size_t line) { return line < lines.size() && !lines[line].empty() && lines[line] != u" "; };
  if (usable(caretLine)) return lines[caretLine];
  if (caret > 0 && caretLine > 0 && usable(caretLine - 1)) return lines[caretLine - 1];
  if (usable(caretLine + 1)) return lines[caretLine + 1];
  return {};
}

void TFormKodra3::Search(const QString& text, int startIndex) {
  BusyStart();
  try {
    const bool found = text.isEmpty() ? FDictionary->SearchNext()
                                      : FDictionary->StartSearch(text.toStdU16String(), startIndex);
    if (found) {
      lstKeywords->SelectCentered(FDictionary->CurrentIndex());
      DoShowArticle();
      edText->setFocus();
      BusyEnd(skInformation, [] { return Tr("SSearchOk", "Successful search"); });
    } else {
      BusyEnd(skWarning, [] { return Tr("SSearchFalse", "String not found"); });
    }
  } catch (const THelpedException& e) {
    BusyEnd(skError, QString::fromStdString(e.Message), e.HelpKeyword);
  } catch (const std::exception& e) {
    BusyEnd(skError, QString::fromUtf8(e.what()));
  }
}

void TFormKodra3::SearchAll(const QString& text) {
  BusyStart();
  try {
    FResults.clear();
    const bool found = FDictionary->SearchAll(text.toStdU16String(), FResults);
    lstSearchResults->SetCount(int32_t(FResults.size()));
    ShowResultsPanel(found);
    if (found)
      BusyEnd(skInformation, [count = FResults.size()] {
        return Tr("SSearchAllOk", "Successful search") + " " + QString::number(count);
      });
    else
      BusyEnd(skWarning, [] { return Tr("SSearchFalse", "String not found"); });
  } catch (const THelpedException& e) {
    BusyEnd(skError, QString::fromStdString(e.Message), e.HelpKeyword);
  } catch (const std::exception& e) {
    BusyEnd(skError, QString::fromUtf8(e.what()));
  }
}

void TFormKodra3::OpenResult() {
  const int32_t row = lstSearchResults->ItemIndex();
  if (row < 0 || size_t(row) >= FResults.size()) return;
  const TSearchResult& result = *FResults[size_t(row)];
  lstKeywords->SelectCentered(result.KeywordIndex);
  FDictionary->SetCurrent(result.KeywordIndex, result.Position, result.Length);
  const auto& search = Options().FullTextSearch();
  if (search.ShowKind() == skFirst && search.HighlightAll()) FHighlightAllResult = row;
  ShowArticle();
  edText->setFocus();
}

void TFormKodra3::DrawResult(QPainter& canvas, int32_t index, const QRect& rect) {
  if (index < 0 || size_t(index) >= FResults.size()) return;
  const TSearchResult& result = *FResults[size_t(index)];
  const int section = hcSearchResults->sectionSize(0);
  QString keyword = QString::fromStdU16String(std::u16string(FDictionary->GetKeywordText(result.KeywordIndex)));
  keyword.replace(QChar('_'), QChar(' '));
  canvas.save();
  canvas.setClipRect(QRect(rect.x() + 2, rect.y(), section - 12, rect.height()));
  canvas.drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, keyword);
  canvas.restore();
  canvas.save();
  canvas.setPen(index == lstSearchResults->ItemIndex() ? palette().highlight().color() : palette().button().color());
  canvas.drawLine(rect.x() + section - 4, rect.top(), rect.x() + section - 4, rect.bottom());
  canvas.restore();
  if (result.Context.empty()) return;
  int x = rect.x() + section;
  if (result.Next) {  // a mark for further hits in the same article
    canvas.save();
    canvas.setBrush(canvas.pen().color());
    canvas.drawEllipse(QRect(x, rect.y() + (rect.height() - 9) / 2, 9, 9));
    canvas.restore();
  }
  x += 13;
  canvas.drawText(QRect(x, rect.y(), rect.right() - x, rect.height()), Qt::AlignVCenter | Qt::AlignLeft,
                  QString::fromStdU16String(result.Context));
}

void TFormKodra3::OpenKeyword() {
  const int32_t index = lstKeywords->ItemIndex();
  if (index < 0 || index >= FDictionary->KeywordCount()) return;
  FDictionary->SetCurrent(index);
  ShowArticle();
}

bool TFormKodra3::IsLanguageWordChar(char16_t c) const {
  // Combining accents belong to the letter before them, an elision mark to
  // the elided word.
  return FLanguage ? FLanguage->IsLetter(c) || FLanguage->IsKeywordChar(c) || IsCombiningMark(c) ||
                         FLanguage->IsElisionMark(c)
                   : IsWordChar(c);
}

std::u16string TFormKodra3::TrimWord(std::u16string word) const {
  while (!word.empty() && !IsLanguageWordChar(word.back())) word.pop_back();
  // An elision mark ends a word; before one it is an opening quote.
  size_t first = 0;
  while (first < word.size() &&
         (!IsLanguageWordChar(word[first]) || (FLanguage && FLanguage->IsElisionMark(word[first]))))
    ++first;
  word.erase(0, first);
  std::erase_if(word, [](char16_t c) { return c == u'(' || c == u')' || c == u'-'; });
  return word;
}

void TFormKodra3::TakeWord(bool fromField, bool show) {
  if (fromField) {
    FCurrentWord.clear();
    int32_t start, end;
    edSearch->GetSelection(start, end);
    if (end > start) {
      FCurrentWord = TrimWord(edSearch->TextRange(start, end));
    } else {
      const std::u16string text = edSearch->Text();
      if (text.empty()) return;
      const int32_t length = int32_t(text.size());
      // 1-based, as the caret stands before the character at p.
      int32_t p = std::clamp(edSearch->CaretPosition() + 1, 1, length);
      if (!IsLanguageWordChar(text[size_t(p - 1)])) p = std::max(1, p - 1);
      while (p > 0) {
        if (IsLanguageWordChar(text[size_t(p - 1)])) {
          --p;
        } else {
          ++p;
          break;
        }
      }
      p = std::max(p, 1);
      for (size_t i = size_t(p - 1); i < text.size() && IsLanguageWordChar(text[i]); ++i) FCurrentWord += text[i];
      FCurrentWord = TrimWord(FCurrentWord);
    }
  }
  if (FCurrentWord.empty()) return;
  PostLocate(show, !show);
}

void TFormKodra3::Locate(bool show, bool showIfExact) {
  if (FReloadPending) return;  // the reload looks the word up when it is done
  // A dictionary file copied over since it was read is read again, and the
  // reader told, before anything of it is shown.
  if (const std::vector<std::string> changed = FDictionary->MarkChangedForReload(); !changed.empty()) {
    for (const std::string& file : changed)
      FPendingWarning += (FPendingWarning.isEmpty() ? "" : "; ") +
                         QString::fromStdString(FormatMessage(
                             Locale().Text("SDicReread", "%s changed on disk and was read again"), {file}));
    PostReload(1);
    return;
  }
  const bool enterAgain = std::exchange(FEnterAgain, false);
  const int32_t previous = FDictionary->CurrentIndex();
  const TKeywordMatch match = FDictionary->LocateKeyword(FCurrentWord);
  const int32_t index = FDictionary->CurrentIndex();
  if (index < 0 || FDictionary->KeywordCount() == 0) {
    FDictionary->SetCurrent(previous);
    return;
  }
  lstKeywords->SelectCentered(std::min(index, FDictionary->KeywordCount() - 1));
  if (match != kmNone) {
    // A word with the keyword's letters, another spelling or a form of it
    // shows its article at once, whatever its accents.
    FMissedWord.clear();
    if (FStatus->HelpKeyword() == "SWordNotFound") FStatus->ClearMessage();  // said of another word
    if (show || showIfExact) ShowArticle();
    return;
  }
  if (!show) return;
  // The list stands on the nearest keyword for the reader to look around;
  // Enter again on the same word opens that keyword's article.
  if (enterAgain && FMissedWord == FCurrentWord && index < FDictionary->KeywordCount()) {
    FMissedWord.clear();
    ShowArticle();
    return;
  }
  FMissedWord = FCurrentWord;
  ReportNotFound(index);
}

// No other word's article stands in the view as if it were the word's.
void TFormKodra3::ReportNotFound(int32_t nearest) {
  FShownIndex = -1;
  FFirstPageShown = false;
  FWriter->SetArticleMode(true);
  FWriter->BeginDocument();
  FWriter->EndDocument();
  const int32_t last = FDictionary->KeywordCount() - 1;
  std::u16string keyword(FDictionary->GetKeywordText(std::min(nearest, last)));
  std::replace(keyword.begin(), keyword.end(), u'_', u' ');
  FStatus->ShowMessage(skWarning, TStatusLine::TTextMaker([word = ToUtf8(FCurrentWord), nearest = ToUtf8(keyword)] {
                         return QString::fromStdString(FormatMessage(
                             Locale().Text("SWordNotFound", "\u201C%s\u201D not found; nearest keyword: %s"),
                             {word, nearest}));
                       }),
                       "SWordNotFound");
  UpdateActions();
}

void TFormKodra3::InsertWordIntoSearch(const std::u16string& text) {
  if (text.empty()) return;
  FInserting = true;
  // Accents given as combining marks are composed, and letters with tonos (as
  // other programs write them) become the keyword forms.
  std::u16string word = CleanText(text);
  word = FLanguage ? FLanguage->PrepareWord(word) : ComposedText(word);
  InsertWord(*edSearch, word);
  TakeWord(true, true);
  FInserting = false;
  if (!edSearch->hasFocus()) edSearch->setFocus();
}

void TFormKodra3::SearchFieldKeyDown(QKeyEvent& event, bool& handled) {
  if (event.matches(QKeySequence::Paste)) {
    // The same paste as the tool bar's: cleaned, inserted and looked up.
    handled = true;
    FClipboardHasText = TGlobalData::ClipboardHasText();
    UpdateActions();
    Action("actEditPaste")->trigger();
    return;
  }
  const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
  if (enter) {
    if (event.modifiers() & Qt::ControlModifier) {
      // A line break: plain Enter is Go to, and a search text may hold lines.
      edSearch->ReplaceSelection(u"\r");
      handled = true;
      return;
    }
    handled = true;
    if (FBusy) return;
    FEnterAgain = !FMissedWord.empty();
    TakeWord(true, true);
    return;
  }
  if (FLanguageInput.On()) return;  // the field types through the language itself
  // A layout of another script types its own letters; the built-in Russian
  // keys serve a Latin layout.
  if (!FLanguageInput.LatinLayout()) return;
  uint16_t key;
  TShiftState shift;
  if (!VirtualKeyOf(event, key, shift)) return;
  if (shift & (ssCtrl | ssAlt)) return;
  if (const char16_t c = KeyToRussian(key, shift)) {
    InsertUnicodeText(*edSearch, std::u16string(1, c));
    handled = true;
  }
}

void TFormKodra3::DrawKeyword(QPainter& canvas, int32_t index, const QRect& rect) {
  const TKeywordEntry* entry = FDictionary ? FDictionary->GetEntry(index) : nullptr;
  if (!entry) return;
  // The kind of the first dictionary, filled when more dictionaries hold the keyword.
  DrawKindMark(canvas, entry->Dictionary->Kind(), rect, entry->Next != nullptr);
  QString keyword = QString::fromStdU16String(entry->Keyword);
  keyword.replace(QChar('_'), QChar(' '));
  canvas.drawText(rect.adjusted(16, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, keyword);
}

void TFormKodra3::ArticleDoubleClicked() {
  int32_t start, end;
  edText->GetSelection(start, end);
  FCurrentWord = TrimWord(edText->TextRange(start, end));
  if (!FCurrentWord.empty()) PostLocate(false, true);
}

void TFormKodra3::ShowAbbreviationAt(const QPoint& point) {
  const int32_t position = edText->CharFromPos(point);
  const std::u16string text = edText->Text();
  if (position < 0 || size_t(position) >= text.size() || !IsWordChar(text[size_t(position)])) {
    FStatus->ClearHint();
    return;
  }
  size_t first = size_t(position), last = size_t(position) + 1;
  while (first > 0 && IsWordChar(text[first - 1])) --first;
  while (last < text.size() && IsWordChar(text[last])) ++last;
  std::u16string word = text.substr(first, last - first);
  const char16_t* explanation = FDictionary->FindAbbreviation(word.c_str());
  if (!explanation && !word.empty() && word.back() == u'.') {
    word.pop_back();
    explanation = FDictionary->FindAbbreviation(word.c_str());
  }
  if (explanation)
    FStatus->ShowHint(QString::fromStdU16String(word) + ": " + QString::fromStdU16String(explanation));
  else
    FStatus->ClearHint();
}

bool TFormKodra3::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edText->viewport()) {
    if (event->type() == QEvent::MouseMove && FDictionary)
      ShowAbbreviationAt(static_cast<QMouseEvent*>(event)->pos());
    else if (event->type() == QEvent::MouseButtonDblClick)
      Post("ArticleDoubleClicked");  // after the control has selected the word
  } else if (watched == edSearch->viewport()) {
    // A double-clicked word of the search text is gone to, as Enter does,
    // once the field has selected it.
    if (event->type() == QEvent::MouseButtonDblClick)
      QMetaObject::invokeMethod(this, [this] { TakeWord(true, true); }, Qt::QueuedConnection);
  } else if (watched == lstSearchResults || watched == lstSearchResults->viewport()) {
    if (OpensRow(*event)) {
      Post("OpenResult");
      return true;
    }
  } else if (watched == lstKeywords || watched == lstKeywords->viewport()) {
    if (OpensRow(*event)) {
      Post("OpenKeyword");
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}
