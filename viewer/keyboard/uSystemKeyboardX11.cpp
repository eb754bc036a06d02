// The X11 keyboard watch. A group's letters are read from the keymap (the
// unshifted symbol of each letter key of the main block), so that any
// layout is judged by what it types, whatever it is called.
#include "viewer/keyboard/uSystemKeyboardX11.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <xcb/xcb.h>
// The XKB header names a field "explicit".
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "viewer/keyboard/uSystemKeyboard.h"

namespace {

// The letter keys of the main block (X keycodes of the evdev driver): q to
// p, a to l, z to m.
constexpr uint32_t kLetterKeys[] = {24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 38, 39, 40,
                                    41, 42, 43, 44, 45, 46, 52, 53, 54, 55, 56, 57, 58};

}  // namespace

TSystemKeyboardX11::TSystemKeyboardX11(xcb_connection_t* connection, uint8_t firstXkbEvent, int32_t device,
                                       TSystemKeyboard& target)
    : FConnection(connection), FFirstEvent(firstXkbEvent), FDevice(device), FTarget(target) {}

void TSystemKeyboardX11::Refresh() {
  ReadKeymap();
  const xcb_xkb_get_state_cookie_t cookie = xcb_xkb_get_state(FConnection, uint16_t(FDevice));
  if (xcb_xkb_get_state_reply_t* state = xcb_xkb_get_state_reply(FConnection, cookie, nullptr)) {
    FGroup = state->group;
    std::free(state);
  }
  Report();
}

void TSystemKeyboardX11::ReadKeymap() {
  FLatinGroups.clear();
  std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
      xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES), &xkb_context_unref);
  if (!context) return;
  std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(
      xkb_x11_keymap_new_from_device(context.get(), FConnection, FDevice, XKB_KEYMAP_COMPILE_NO_FLAGS),
      &xkb_keymap_unref);
  if (!keymap) return;
  const xkb_layout_index_t layouts = xkb_keymap_num_layouts(keymap.get());
  for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
    std::u32string letters;
    for (const uint32_t key : kLetterKeys) {
      const xkb_keysym_t* symbols = nullptr;
      if (xkb_keymap_key_get_syms_by_level(keymap.get(), key, layout, 0, &symbols) > 0)
        if (const uint32_t c = xkb_keysym_to_utf32(symbols[0])) letters += char32_t(c);
    }
    FLatinGroups.push_back(IsLatinScript(letters));
  }
}

void TSystemKeyboardX11::Report() {
  // A group past the keymap's (or an unreadable keymap) types as Latin.
  const bool latin = FGroup < 0 || size_t(FGroup) >= FLatinGroups.size() || FLatinGroups[size_t(FGroup)];
  FTarget.Report(latin);
}

bool TSystemKeyboardX11::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != FFirstEvent) return false;
  // All XKB events share one code; the second byte tells them apart.
  switch (reinterpret_cast<const uint8_t*>(event)[1]) {
    case XCB_XKB_STATE_NOTIFY: {
      const auto* state = reinterpret_cast<const xcb_xkb_state_notify_event_t*>(event);
      if (state->deviceID != FDevice || state->group == FGroup) break;
      FGroup = state->group;
      Report();
      break;
    }
    case XCB_XKB_NEW_KEYBOARD_NOTIFY:
    case XCB_XKB_MAP_NOTIFY:
      // A new keymap comes as several events: read it once they have passed.
      if (!FKeymapPending) {
        FKeymapPending = true;
        QTimer::singleShot(0, &FTarget, [this] {
          FKeymapPending = false;
          Refresh();
        });
      }
      break;
    default:
      break;
  }
  return false;  // the toolkit keeps its own keyboard state from the same events
}

bool WatchX11Keyboard(TSystemKeyboard& target) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return false;
  uint8_t firstEvent = 0;
  if (!xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                   XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &firstEvent, nullptr))
    return false;
  const int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
  if (device < 0) return false;
  // Lives as long as the layout it reports to, which lives as long as the application.
  auto* watch = new TSystemKeyboardX11(connection, firstEvent, device, target);
  QCoreApplication::instance()->installNativeEventFilter(watch);
  QObject::connect(&target, &QObject::destroyed, [watch] {
    if (QCoreApplication* application = QCoreApplication::instance()) application->removeNativeEventFilter(watch);
    delete watch;
  });
  watch->Refresh();
  return true;
}
