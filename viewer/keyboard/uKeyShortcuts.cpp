#include "viewer/keyboard/uKeyShortcuts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>
#include <string_view>

#include "widgets/KezUnicodeRichEdit.h"

int LatinCommandKey(int key, Qt::KeyboardModifiers modifiers, uint16_t virtualKey) {
  if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) return 0;
  // Latin-1 letters stay what they are (the toolkit matches them as they
  // come); so do keys that are no letter at all (F1, Home, Escape).
  if (key < 0x100 || key >= Qt::Key_Escape) return 0;
  if ((virtualKey >= 0x41 && virtualKey <= 0x5A) || (virtualKey >= 0x30 && virtualKey <= 0x39)) return virtualKey;
  // The punctuation keys, by their unshifted character on a US keyboard.
  static constexpr uint16_t kOemKeys[] = {0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE};
  static constexpr std::string_view kOemCharacters = ";=,-./`[\\]'";
  for (size_t i = 0; i < std::size(kOemKeys); ++i)
    if (virtualKey == kOemKeys[i]) return kOemCharacters[i];
  return 0;
}

bool TKeyShortcuts::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !event->spontaneous()) return false;
  // The press comes to the window first, then to the focused widget: once.
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget != QApplication::focusWidget()) return false;
  const auto* press = static_cast<const QKeyEvent*>(event);
  uint16_t virtualKey = 0;
  TShiftState shift = 0;
  VirtualKeyOf(*press, virtualKey, shift);
  const int latin = LatinCommandKey(press->key(), press->modifiers(), virtualKey);
  if (latin == 0) return false;
  // Sent, not spontaneous: the toolkit offers it as a shortcut first (to
  // the widget, then to the actions) and hands it to the widget otherwise.
  QKeyEvent latinPress(QEvent::KeyPress, latin, press->modifiers(), press->nativeScanCode(),
                       press->nativeVirtualKey(), press->nativeModifiers(), QString(), press->isAutoRepeat(),
                       press->count());
  QCoreApplication::sendEvent(widget, &latinPress);
  return true;
}

void InstallKeyShortcuts() {
  static QPointer<TKeyShortcuts> filter;  // goes with the application
  if (filter || !qApp) return;
  filter = new TKeyShortcuts(qApp);
  qApp->installEventFilter(filter);
}
