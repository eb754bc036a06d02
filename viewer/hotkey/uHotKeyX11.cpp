// The X11 hot key: a passive grab of the key on the root window for every
// combination of Caps Lock and Num Lock, so that the key works whatever
// state those are in. Grabs are made again when the keyboard mapping
// changes, because keycodes and the Num Lock modifier may have moved.
#include "viewer/hotkey/uHotKeyX11.h"

#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

template <typename T>
using TXcbReply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
TXcbReply<T> Reply(T* reply) {
  return TXcbReply<T>(reply, &std::free);
}

// The modifiers of a combination as X masks.
uint16_t XModifiersOf(TShortCut shortCut) {
  uint16_t mask = 0;
  if (shortCut & scCtrl) mask |= XCB_MOD_MASK_CONTROL;
  if (shortCut & scShift) mask |= XCB_MOD_MASK_SHIFT;
  if (shortCut & scAlt) mask |= XCB_MOD_MASK_1;
  return mask;
}

}  // namespace

std::vector<uint32_t> KeysymsOfVirtualKey(uint16_t virtualKey) {
  const uint32_t key = virtualKey;
  if (key >= 0x41 && key <= 0x5A) return {XK_a + (key - 0x41)};
  if (key >= 0x30 && key <= 0x39) return {XK_0 + (key - 0x30)};
  if (key >= 0x60 && key <= 0x69) return {XK_KP_0 + (key - 0x60)};
  if (key >= 0x70 && key <= 0x87) return {XK_F1 + (key - 0x70)};
  switch (key) {
    // The keypad sends these with Num Lock off: both keys are meant.
    case 0x2D: return {XK_Insert, XK_KP_Insert};
    case 0x2E: return {XK_Delete, XK_KP_Delete};
    case 0x23: return {XK_End, XK_KP_End};
    case 0x24: return {XK_Home, XK_KP_Home};
    case 0x21: return {XK_Prior, XK_KP_Prior};
    case 0x22: return {XK_Next, XK_KP_Next};
    case 0x25: return {XK_Left, XK_KP_Left};
    case 0x26: return {XK_Up, XK_KP_Up};
    case 0x27: return {XK_Right, XK_KP_Right};
    case 0x28: return {XK_Down, XK_KP_Down};
    case 0x0C: return {XK_Clear, XK_KP_Begin};
    case 0x6A: return {XK_KP_Multiply};
    case 0x6B: return {XK_KP_Add};
    case 0x6D: return {XK_KP_Subtract};
    case 0x6E: return {XK_KP_Decimal};
    case 0x6F: return {XK_KP_Divide};
    case 0x08: return {XK_BackSpace};
    case 0x09: return {XK_Tab};
    case 0x0D: return {XK_Return, XK_KP_Enter};
    case 0x13: return {XK_Pause};
    case 0x1B: return {XK_Escape};
    case 0x20: return {XK_space};
    case 0x91: return {XK_Scroll_Lock};
    case 0xBA: return {XK_semicolon};
    case 0xBB: return {XK_equal};
    case 0xBC: return {XK_comma};
    case 0xBD: return {XK_minus};
    case 0xBE: return {XK_period};
    case 0xBF: return {XK_slash};
    case 0xC0: return {XK_grave};
    case 0xDB: return {XK_bracketleft};
    case 0xDC: return {XK_backslash};
    case 0xDD: return {XK_bracketright};
    case 0xDE: return {XK_apostrophe};
    default: return {};
  }
}

THotKeyX11::THotKeyX11(xcb_connection_t* connection, uint32_t rootWindow, QObject* parent)
    : THotKey(parent), FConnection(connection), FRoot(rootWindow) {}

THotKeyX11::~THotKeyX11() { Unregister(); }

bool THotKeyX11::Register(TShortCut shortCut) {
  Unregister();
  FRegistered = shortCut;
  if (shortCut == 0) return false;
  FGrabbed = Grab();
  return FGrabbed;
}

void THotKeyX11::Unregister() {
  Ungrab();
  FRegistered = 0;
  FGrabbed = false;
}

bool THotKeyX11::Grab() {
  FModifiers = XModifiersOf(FRegistered);
  FKeycodes = KeycodesOf(KeysymsOfVirtualKey(uint16_t(FRegistered & 0xFF)));
  const uint16_t numLock = NumLockMask();
  FLockMasks = {0, XCB_MOD_MASK_LOCK};
  if (numLock != 0) FLockMasks.insert(FLockMasks.end(), {numLock, uint16_t(numLock | XCB_MOD_MASK_LOCK)});
  bool all = !FKeycodes.empty();
  for (const uint8_t keycode : FKeycodes)
    for (const uint16_t lock : FLockMasks) {
      const xcb_void_cookie_t cookie = xcb_grab_key_checked(FConnection, 1, FRoot, uint16_t(FModifiers | lock), keycode,
                                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
      // Another program holding the combination answers BadAccess: the key
      // then does nothing, which is no error of ours to report.
      if (xcb_generic_error_t* error = xcb_request_check(FConnection, cookie)) {
        all = false;
        std::free(error);
      }
    }
  xcb_flush(FConnection);
  if (!FKeycodes.empty() && !all) Ungrab();
  return all;
}

void THotKeyX11::Ungrab() {
  for (const uint8_t keycode : FKeycodes)
    for (const uint16_t lock : FLockMasks) xcb_ungrab_key(FConnection, keycode, FRoot, uint16_t(FModifiers | lock));
  if (!FKeycodes.empty()) xcb_flush(FConnection);
  FKeycodes.clear();
  FLockMasks.clear();
}

// Num Lock is whichever modifier the mapping gives the Num_Lock keysym; it
// is Mod2 on most systems, but nothing guarantees it.
uint16_t THotKeyX11::NumLockMask() const {
  const std::vector<uint8_t> numLockKeys = KeycodesOf({XK_Num_Lock});
  if (numLockKeys.empty()) return 0;
  auto reply = Reply(xcb_get_modifier_mapping_reply(FConnection, xcb_get_modifier_mapping(FConnection), nullptr));
  if (!reply) return 0;
  const xcb_keycode_t* keys = xcb_get_modifier_mapping_keycodes(reply.get());
  const int perModifier = reply->keycodes_per_modifier;
  for (int modifier = 0; modifier < 8; ++modifier)
    for (int k = 0; k < perModifier; ++k) {
      const xcb_keycode_t keycode = keys[modifier * perModifier + k];
      if (keycode != 0 && std::find(numLockKeys.begin(), numLockKeys.end(), keycode) != numLockKeys.end())
        return uint16_t(1u << modifier);
    }
  return 0;
}

std::vector<uint8_t> THotKeyX11::KeycodesOf(const std::vector<uint32_t>& keysyms) const {
  std::vector<uint8_t> keycodes;
  if (keysyms.empty()) return keycodes;
  const xcb_setup_t* setup = xcb_get_setup(FConnection);
  const uint8_t first = setup->min_keycode;
  const int count = int(setup->max_keycode) - int(first) + 1;
  auto reply = Reply(xcb_get_keyboard_mapping_reply(
      FConnection, xcb_get_keyboard_mapping(FConnection, first, uint8_t(count)), nullptr));
  if (!reply) return keycodes;
  const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(reply.get());
  const int perKeycode = reply->keysyms_per_keycode;
  const int length = xcb_get_keyboard_mapping_keysyms_length(reply.get());
  for (int index = 0; index < count && (index + 1) * perKeycode <= length; ++index)
    for (int column = 0; column < perKeycode; ++column)
      if (std::find(keysyms.begin(), keysyms.end(), symbols[index * perKeycode + column]) != keysyms.end()) {
        const uint8_t keycode = uint8_t(first + index);
        if (std::find(keycodes.begin(), keycodes.end(), keycode) == keycodes.end()) keycodes.push_back(keycode);
        break;
      }
  return keycodes;
}

bool THotKeyX11::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t" || FRegistered == 0) return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  switch (event->response_type & ~0x80) {
    case XCB_KEY_PRESS: {
      const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
      if (press->event != FRoot) return false;
      const uint16_t held = press->state & (XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_1);
      if (held != FModifiers || std::find(FKeycodes.begin(), FKeycodes.end(), press->detail) == FKeycodes.end())
        return false;
      emit Activated();
      return true;
    }
    case XCB_KEY_RELEASE:
      return reinterpret_cast<const xcb_key_release_event_t*>(event)->event == FRoot;
    case XCB_MAPPING_NOTIFY: {
      // Keycodes or modifiers moved: grab anew. The toolkit sees the event too.
      const auto* mapping = reinterpret_cast<const xcb_mapping_notify_event_t*>(event);
      if (mapping->request != XCB_MAPPING_POINTER && FRegistered != 0) {
        Ungrab();
        FGrabbed = Grab();
      }
      return false;
    }
    default:
      return false;
  }
}
