// Chooses the hot key of the platform the program runs on.
#include "viewer/hotkey/uHotKey.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#ifdef Q_OS_WIN
#include "viewer/hotkey/uHotKeyWindows.h"
#else
#include <xcb/xcb.h>

#include "viewer/hotkey/uHotKeyPortal.h"
#include "viewer/hotkey/uHotKeyX11.h"
#endif

namespace {

// No way to catch a key: the desktop's own shortcut settings running
// "kodra --lookup-selection" stand in for it.
class THotKeyNone : public THotKey {
public:
  using THotKey::THotKey;
  bool Register(TShortCut shortCut) override {
    FRegistered = shortCut;
    return false;
  }
  void Unregister() override { FRegistered = 0; }
};

#ifndef Q_OS_WIN
// The root window of the display's default screen ("host:display.screen").
uint32_t DefaultRoot(xcb_connection_t* connection) {
  const QByteArray display = qgetenv("DISPLAY");
  const qsizetype dot = display.lastIndexOf('.');
  const int screen = dot > display.lastIndexOf(':') ? display.mid(dot + 1).toInt() : 0;
  xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int index = 0; index < screen && roots.rem > 1; ++index) xcb_screen_next(&roots);
  return roots.data->root;
}
#endif

}  // namespace

std::unique_ptr<THotKey> CreateHotKey([[maybe_unused]] QWidget* window) {
#ifdef Q_OS_WIN
  auto hotKey = std::make_unique<THotKeyWindows>(window);
  QCoreApplication::instance()->installNativeEventFilter(hotKey.get());
  return hotKey;
#else
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  // Other platforms may answer for the interface without an X connection.
  if (xcb_connection_t* connection = x11 ? x11->connection() : nullptr) {
    auto hotKey = std::make_unique<THotKeyX11>(connection, DefaultRoot(connection));
    QCoreApplication::instance()->installNativeEventFilter(hotKey.get());
    return hotKey;
  }
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && THotKeyPortal::Available())
    return std::make_unique<THotKeyPortal>();
  return std::make_unique<THotKeyNone>();
#endif
}
