#pragma once
// The system-wide hot key that catches a word from another program. One
// interface, one implementation per platform: an X11 key grab, the Windows
// hot-key registration, or the desktop portal's global shortcut on Wayland.
// Where none applies the hot key does nothing; readers then bind
// "kodra --lookup-selection" in their desktop's shortcut settings.
#include <QObject>
#include <memory>

#include "options/uOptions.h"

class QWidget;

class THotKey : public QObject {
  Q_OBJECT
public:
  using QObject::QObject;
  ~THotKey() override = default;

  // Takes the key combination (virtual key in the low byte, scShift,
  // scCtrl, scAlt), giving up the one held before; 0 gives it up only. True
  // when the system accepted it; a key taken by another program is not an
  // error, the hot key then simply does nothing.
  virtual bool Register(TShortCut shortCut) = 0;
  virtual void Unregister() = 0;
  TShortCut Registered() const { return FRegistered; }
  bool Grabbed() const { return FGrabbed; }
  // Where the shortcut is chosen by the desktop rather than by us.
  virtual bool DesktopChoosesKey() const { return false; }

signals:
  // The key was pressed, whichever program was in front.
  void Activated();

protected:
  TShortCut FRegistered = 0;
  bool FGrabbed = false;
};

// The implementation for the platform the program runs on; the window's
// native handle is what Windows registers the key for.
std::unique_ptr<THotKey> CreateHotKey(QWidget* window);
