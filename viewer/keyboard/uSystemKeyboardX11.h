#pragma once
// The keyboard layout on X11: the XKB group the server has selected, and of
// each group of the keymap whether its letter keys type Latin letters. The
// toolkit's connection already hears the XKB state and keymap events; the
// watch reads them as they pass.
#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <vector>

class TSystemKeyboard;
struct xcb_connection_t;

class TSystemKeyboardX11 : public QAbstractNativeEventFilter {
public:
  TSystemKeyboardX11(xcb_connection_t* connection, uint8_t firstXkbEvent, int32_t device, TSystemKeyboard& target);

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  // Reads the keymap and the group again and reports the layout.
  void Refresh();

private:
  void ReadKeymap();
  void Report();

  xcb_connection_t* FConnection;
  uint8_t FFirstEvent;
  int32_t FDevice;
  TSystemKeyboard& FTarget;
  std::vector<bool> FLatinGroups;  // by group: its letters are Latin
  int FGroup = 0;
  bool FKeymapPending = false;
};

// Starts the X11 watch for the process's layout when the program runs on
// an X server with the XKB extension; false otherwise.
bool WatchX11Keyboard(TSystemKeyboard& target);
