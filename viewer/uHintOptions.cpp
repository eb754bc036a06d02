#include "viewer/uHintOptions.h"

#include <QApplication>
#include <QEvent>

#include "options/uOptions.h"

namespace {
class THintOptionsFilter : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::ToolTip: return !Options().ShowPopupHint();
      case QEvent::StatusTip: return !Options().ShowStatusHint();
      default: return QObject::eventFilter(watched, event);
    }
  }
};
}  // namespace

void InstallHintOptions() {
  static THintOptionsFilter* filter = nullptr;
  if (filter || !qApp) return;
  filter = new THintOptionsFilter(qApp);
  qApp->installEventFilter(filter);
}
