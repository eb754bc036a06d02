#pragma once
// The hot key on Windows: the system's own hot-key registration.
#include <QAbstractNativeEventFilter>
#include <QWidget>

#include "viewer/hotkey/uHotKey.h"

struct HWND__;

class THotKeyWindows : public THotKey, public QAbstractNativeEventFilter {
public:
  explicit THotKeyWindows(QWidget* window, QObject* parent = nullptr);
  ~THotKeyWindows() override;

  bool Register(TShortCut shortCut) override;
  void Unregister() override;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
  HWND__* FWindow;
  unsigned short FId = 0;  // the global atom naming the key
};
