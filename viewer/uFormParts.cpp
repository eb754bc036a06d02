#include "viewer/uFormParts.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QTextEdit>

#include "options/uOptions.h"
#include "viewer/uData.h"
#include "viewer/uFormAbout.h"
#include "viewer/uIcons.h"

void CreateActions(QWidget& form, std::span<const TActionDefinition> definitions) {
  for (const TActionDefinition& definition : definitions) {
    auto* action = new QAction(QString::fromUtf8(definition.Caption), &form);
    action->setObjectName(definition.Name);
    action->setToolTip(QString::fromUtf8(definition.Hint));
    action->setStatusTip(QString::fromUtf8(definition.Hint));
    if (*definition.Shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(definition.Shortcut)));
    action->setIcon(ActionIcon(definition.Name));
    form.addAction(action);
  }
}

void AddActions(QWidget& target, const QWidget& form, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (*name) {
      target.addAction(form.findChild<QAction*>(name));
    } else {
      auto* separator = new QAction(&target);
      separator->setSeparator(true);
      target.addAction(separator);
    }
  }
}

QMenu* AttachPopupMenu(QWidget& form, const char* name, QWidget& part, std::initializer_list<const char*> names) {
  auto* menu = new QMenu(&form);
  menu->setObjectName(name);
  AddActions(*menu, form, names);
  part.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&part, &QWidget::customContextMenuRequested, menu,
                   [menu, &part](const QPoint& at) { menu->popup(part.mapToGlobal(at)); });
  return menu;
}

namespace {
class TActionsUpdater : public QObject {
public:
  TActionsUpdater(QWidget& window, std::function<void()> update)
      : FWindow(window), FUpdate(std::move(update)) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ShortcutOverride)
      if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window() == &FWindow) FUpdate();
    return false;
  }

private:
  QWidget& FWindow;
  std::function<void()> FUpdate;
};
}  // namespace

std::unique_ptr<QObject> KeepActionsCurrent(QWidget& window, std::function<void()> update) {
  auto updater = std::make_unique<TActionsUpdater>(window, update);
  qApp->installEventFilter(updater.get());
  QObject::connect(qApp, &QApplication::focusChanged, updater.get(), [update] { update(); });
  for (QTextEdit* edit : window.findChildren<QTextEdit*>()) {
    QObject::connect(edit, &QTextEdit::textChanged, updater.get(), [update] { update(); });
    QObject::connect(edit, &QTextEdit::selectionChanged, updater.get(), [update] { update(); });
  }
  return updater;
}

QFont OptionFont(const TOptionsFont& font) {
  const TFontChoice choice = Options().FontChoice(font);
  QFont result(QString::fromStdString(choice.FaceName));
  if (choice.Size > 0) result.setPointSize(choice.Size);
  return result;
}

void ShowAboutBox(QWidget* parent) {
  TFormAbout box(parent);
  box.exec();
}
