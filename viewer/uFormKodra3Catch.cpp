// The main window's catching of words from other programs: words handed
// over by a later start of the program and the selection the hot key takes.
#include <QApplication>
#include <QClipboard>

#include "viewer/uFormKodra3.h"

void TFormKodra3::ComeForward() {
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void TFormKodra3::CatchWord(const std::u16string& word) {
  ComeForward();
  if (word.empty()) return;
  if (FDictionary && !FBusy) InsertWordIntoSearch(word);
  else SetPendingWord(word);
}

void TFormKodra3::CatchSelection() {
  if (FBusy) return;
  QClipboard* clipboard = QApplication::clipboard();
  QString text;
  if (clipboard->supportsSelection()) text = clipboard->text(QClipboard::Selection);
  if (text.trimmed().isEmpty()) text = clipboard->text(QClipboard::Clipboard);
  CatchWord(text.toStdU16String());
}
