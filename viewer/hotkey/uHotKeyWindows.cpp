// The Windows hot key: registered for the main window under a global atom,
// arriving as WM_HOTKEY in the application's native event filter.
#include "viewer/hotkey/uHotKeyWindows.h"

#include <windows.h>

THotKeyWindows::THotKeyWindows(QWidget* window, QObject* parent)
    : THotKey(parent), FWindow(reinterpret_cast<HWND>(window->winId())) {
  FId = GlobalAddAtomW(L"HotKeySearchKodraByPrask");
}

THotKeyWindows::~THotKeyWindows() {
  Unregister();
  if (FId != 0) GlobalDeleteAtom(FId);
}

bool THotKeyWindows::Register(TShortCut shortCut) {
  Unregister();
  FRegistered = shortCut;
  if (shortCut == 0 || FId == 0) return false;
  UINT modifiers = 0;
  if (shortCut & scCtrl) modifiers |= MOD_CONTROL;
  if (shortCut & scShift) modifiers |= MOD_SHIFT;
  if (shortCut & scAlt) modifiers |= MOD_ALT;
  FGrabbed = RegisterHotKey(FWindow, FId, modifiers, shortCut & 0xFF) != 0;
  return FGrabbed;
}

void THotKeyWindows::Unregister() {
  if (FGrabbed) UnregisterHotKey(FWindow, FId);
  FRegistered = 0;
  FGrabbed = false;
}

bool THotKeyWindows::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "windows_generic_MSG") return false;
  const MSG* msg = static_cast<const MSG*>(message);
  if (msg->message != WM_HOTKEY || int(msg->wParam) != FId || !FGrabbed) return false;
  emit Activated();
  return true;
}
