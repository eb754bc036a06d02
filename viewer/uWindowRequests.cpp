#include "viewer/uWindowRequests.h"

#include <QApplication>
#include <QClipboard>

#include "viewer/instance/uInstanceMessage.h"
#include "viewer/uFormKodra3.h"
#include "viewer/uSingleInstance.h"

namespace {
// What the user has selected in another program: the primary selection,
// else what was copied last.
std::u16string SelectedText() {
  QClipboard* clipboard = QApplication::clipboard();
  QString text;
  if (clipboard->supportsSelection()) text = clipboard->text(QClipboard::Selection);
  if (text.trimmed().isEmpty()) text = clipboard->text(QClipboard::Clipboard);
  return text.toStdU16String();
}
}  // namespace

void SetStartRequest(TFormKodra3& window, const TInstanceRequest& request) {
  switch (request.Kind) {
    case TInstanceRequestKind::LookUpWord:
      window.SetPendingWord(request.Word);
      break;
    case TInstanceRequestKind::LookUpSelection:
      window.SetPendingWord(SelectedText());
      break;
    case TInstanceRequestKind::ComeForward:
      break;
  }
}

void ConnectRequests(TSingleInstance& instance, TFormKodra3& window) {
  QObject::connect(
      &instance, &TSingleInstance::WordRequested, &window,
      [&window](const QString& word) { window.CatchWord(word.toStdU16String()); }, Qt::QueuedConnection);
  QObject::connect(&instance, &TSingleInstance::SelectionRequested, &window, &TFormKodra3::CatchSelection,
                   Qt::QueuedConnection);
  QObject::connect(&instance, &TSingleInstance::ForwardRequested, &window, &TFormKodra3::ComeForward,
                   Qt::QueuedConnection);
}
