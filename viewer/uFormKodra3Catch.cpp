// The main window's catching of words from other programs: the hot key,
// words handed over by a later start of the program, and pasting.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "viewer/hotkey/uForeignCopy.h"
#include "viewer/hotkey/uHotKey.h"
#include "viewer/hotkey/uWindowActivation.h"
#include "viewer/uCommands.h"
#include "viewer/uData.h"
#include "viewer/uFormKodra3.h"
#include "viewer/uStatusLine.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace {

// A copy of what a program offers: the offer itself may change or vanish
// before the paste command runs.
std::unique_ptr<QMimeData> CopyOf(const QMimeData& offer) {
  auto copy = std::make_unique<QMimeData>();
  for (const QString& format : offer.formats())
    if (format.startsWith(QLatin1String("text/")) || format == QLatin1String("Rich Text Format"))
      copy->setData(format, offer.data(format));
  if (offer.hasText() && !copy->hasText()) copy->setText(offer.text());
  return copy;
}

bool OffersText(const QMimeData* offer) {
  return offer && (offer->hasFormat("text/rtf") || offer->hasFormat("text/richtext") ||
                   !offer->text().trimmed().isEmpty());
}

}  // namespace

void TFormKodra3::ComeForward() { BringToFront(*this); }

void TFormKodra3::CatchWord(const std::u16string& word) {
  ComeForward();
  if (word.empty()) return;
  // Before the dictionaries are loaded, or while they load, the word waits
  // for the load's end.
  if (DictionariesLoaded() && !FBusy) {
    // A word caught from outside replaces the search text.
    edSearch->SetSelection(0, edSearch->TextLength());
    InsertWordIntoSearch(word);
  } else {
    SetPendingWord(word);
  }
}

bool TFormKodra3::DictionariesLoaded() const { return FDictionary && FDictionary->KeywordCount() > 0; }

void TFormKodra3::CatchSelection() {
  // Where the system keeps no selection that we could read, the program in
  // front copies its own to the clipboard first; the clipboard's earlier
  // content comes back once the word is taken from it.
  const std::unique_ptr<TForeignCopySystem> foreign =
      QApplication::activeWindow() ? nullptr : CreateForeignCopySystem();
  std::unique_ptr<QMimeData> earlier;
  TForeignCopyResult copied = fcNothing;
  if (foreign) {
    earlier = RestorableCopy(QApplication::clipboard()->mimeData(QClipboard::Clipboard));
    copied = CopyForeignSelection(*foreign);
  }
  const bool readLater = !DictionariesLoaded();
  if (readLater) {
    // Looked up when the load ends.
    ComeForward();
    FPendingSelection = true;
  } else if (!FBusy) {
    LookUpSelection();
  }
  if (ShouldRestoreClipboard(copied, earlier != nullptr, readLater))
    QApplication::clipboard()->setMimeData(earlier.release(), QClipboard::Clipboard);
}

void TFormKodra3::LookUpSelection() {
  // What the user has selected in the other program is the primary
  // selection; where there is none (or no such thing on this platform), the
  // clipboard is what the user copied last.
  QClipboard* clipboard = QApplication::clipboard();
  const QMimeData* offer = clipboard->supportsSelection() ? clipboard->mimeData(QClipboard::Selection) : nullptr;
  if (!OffersText(offer)) offer = clipboard->mimeData(QClipboard::Clipboard);
  ComeForward();
  if (!OffersText(offer)) return;
  // The caught word replaces the search text, as a word handed over does.
  edSearch->SetSelection(0, edSearch->TextLength());
  PasteFrom(CopyOf(*offer));
}

void TFormKodra3::PasteFrom(std::unique_ptr<QMimeData> source) {
  FStatus->ClearMessage();
  auto& paste = CommandManager().Get<TCommandPaste>("paste");
  paste.Source = std::move(source);
  paste.Issue(this, kPasteMessage);
}

void TFormKodra3::HotKeyPressed() {
  if (FBusy || FInHotKey) return;
  FInHotKey = true;
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  } guard{FInHotKey};
  const bool applicationActive = QApplication::activeWindow() != nullptr;
  FStatus->ClearMessage();
  if (!applicationActive) {
    // The user is in another program: its selection is the word.
    CatchSelection();
  } else if (isActiveWindow() && edText->hasFocus() && edText->HasSelection()) {
    // Inside the window: the word selected in the article is looked up. The
    // actions' states are brought up to date first: the selection may be
    // younger than their last update.
    UpdateActions();
    Action("actEditCopy")->trigger();
    TGlobalData::Wait(100);
    FClipboardHasText = TGlobalData::ClipboardHasText();
    UpdateActions();
    Action("actEditPaste")->trigger();
  }
}
