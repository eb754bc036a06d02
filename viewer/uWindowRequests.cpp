#include "viewer/uWindowRequests.h"

#include "viewer/instance/uInstanceMessage.h"
#include "viewer/uFormKodra3.h"
#include "viewer/uSingleInstance.h"

void SetStartRequest(TFormKodra3& window, const TInstanceRequest& request) {
  switch (request.Kind) {
    case TInstanceRequestKind::LookUpWord:
      window.SetPendingWord(request.Word);
      break;
    case TInstanceRequestKind::LookUpSelection:
      window.SetPendingSelection();
      break;
    case TInstanceRequestKind::EditFile:
      window.SetPendingEdit(QString::fromStdU16String(request.Word).toStdString());
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
  QObject::connect(
      &instance, &TSingleInstance::EditRequested, &window,
      [&window](const QString& fileName) { window.OpenEditor(fileName.toStdString()); }, Qt::QueuedConnection);
  QObject::connect(&instance, &TSingleInstance::ForwardRequested, &window, &TFormKodra3::ComeForward,
                   Qt::QueuedConnection);
}
