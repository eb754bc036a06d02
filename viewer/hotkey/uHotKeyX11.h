#pragma once
// The hot key on X11: the key combination is grabbed on the root window, so
// the server sends it to us whichever program has the focus.
#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <vector>

#include "viewer/hotkey/uHotKey.h"

struct xcb_connection_t;

class THotKeyX11 : public THotKey, public QAbstractNativeEventFilter {
public:
  explicit THotKeyX11(xcb_connection_t* connection, uint32_t rootWindow, QObject* parent = nullptr);
  ~THotKeyX11() override;

  bool Register(TShortCut shortCut) override;
  void Unregister() override;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
  bool Grab();
  void Ungrab();
  uint16_t NumLockMask() const;
  std::vector<uint8_t> KeycodesOf(const std::vector<uint32_t>& keysyms) const;

  xcb_connection_t* FConnection;
  uint32_t FRoot;
  uint16_t FModifiers = 0;            // the combination's own modifiers
  std::vector<uint8_t> FKeycodes;     // grabbed keycodes
  std::vector<uint16_t> FLockMasks;   // Lock and NumLock combinations grabbed with them
};

// The X keysyms that a virtual key stands for: the main key and, where one
// exists, its twin on the numeric keypad. Empty for keys we do not know.
std::vector<uint32_t> KeysymsOfVirtualKey(uint16_t virtualKey);
