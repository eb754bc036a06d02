#pragma once
// Qt key events as the language model reads keys: a Windows virtual-key code
// by the key's position on a US keyboard, and the shift state. On X11 the
// event's scan code decides, so the system's keyboard layout does not matter.
#include <cstdint>

#include "language/uCommon.h"

class QKeyEvent;

struct TVirtualKey {
  uint16_t Code = 0;  // 0 when the key has no virtual-key code of interest
  TShiftState Shift = 0;
};

TVirtualKey VirtualKeyOf(const QKeyEvent& event);
