#include "viewer/keyboard/uSystemKeyboard.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QLocale>
#include <QPointer>

#ifndef Q_OS_WIN
#include "viewer/keyboard/uSystemKeyboardX11.h"
#endif

void TSystemKeyboard::Report(bool latin) {
  if (latin == FLatin) return;
  FLatin = latin;
  emit Changed(latin);
}

bool IsLatinScript(std::u32string_view letters) {
  size_t latin = 0, other = 0;
  for (const char32_t c : letters) {
    if (!QChar::isLetter(c)) continue;
    if (QChar::script(c) == QChar::Script_Latin) ++latin;
    else ++other;
  }
  return latin >= other;
}

bool IsLatinScript(const QLocale& locale) {
  // The C locale names no language: it is the Latin keyboard's.
  return locale.language() == QLocale::C || locale.script() == QLocale::LatinScript;
}

namespace {

// Where the platform has no keyboard of its own to ask, the input method
// tells the language of the layout and each change of it.
void WatchInputMethod(TSystemKeyboard& layout) {
  QInputMethod* method = QGuiApplication::inputMethod();
  auto read = [&layout, method] { layout.Report(IsLatinScript(method->locale())); };
  QObject::connect(method, &QInputMethod::localeChanged, &layout, read);
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
  // There it is the layout's language from the start; elsewhere it may be
  // only the system's language until the layout changes.
  read();
#endif
}

}  // namespace

TSystemKeyboard& SystemKeyboard() {
  static QPointer<TSystemKeyboard> layout;  // goes with the application
  if (!layout) {
    layout = new TSystemKeyboard(QCoreApplication::instance());
#ifndef Q_OS_WIN
    if (!WatchX11Keyboard(*layout))
#endif
      WatchInputMethod(*layout);
  }
  return *layout;
}
