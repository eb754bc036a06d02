#include "viewer/uKeyCodes.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace {
// Virtual-key codes by Linux input scan code (X11 key codes are 8 higher).
uint16_t VirtualKeyOfScanCode(uint32_t scan) {
  static const uint16_t kTable[] = {
      /*0*/ 0, 0, '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 0xBD, 0xBB, 0, 0,
      /*16*/ 'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', 0xDB, 0xDD, 0, 0, 'A', 'S',
      /*32*/ 'D', 'F', 'G', 'H', 'J', 'K', 'L', 0xBA, 0xDE, 0xC0, 0, 0xDC, 'Z', 'X', 'C', 'V',
      /*48*/ 'B', 'N', 'M', 0xBC, 0xBE, 0xBF, 0, 0x6A, 0, 0x20, 0, 0, 0, 0, 0, 0,
      /*64*/ 0, 0, 0, 0, 0, 0, 0, 0x67, 0x68, 0x69, 0x6D, 0x64, 0x65, 0x66, 0x6B, 0x61,
      /*80*/ 0x62, 0x63, 0x60, 0x6E, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      /*96*/ 0, 0, 0x6F,
  };
  return scan < std::size(kTable) ? kTable[scan] : 0;
}

// From the key Qt reports: letters and digits, and the US punctuation with
// or without Shift.
uint16_t VirtualKeyOfQtKey(int key, bool keypad) {
  if (keypad) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return uint16_t(0x60 + key - Qt::Key_0);
    switch (key) {
      case Qt::Key_Asterisk: return 0x6A;
      case Qt::Key_Plus: return 0x6B;
      case Qt::Key_Minus: return 0x6D;
      case Qt::Key_Period: return 0x6E;
      case Qt::Key_Slash: return 0x6F;
      default: break;
    }
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return uint16_t(key);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return uint16_t(key);
  switch (key) {
    case Qt::Key_Space: return 0x20;
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Semicolon: case Qt::Key_Colon: return 0xBA;
    case Qt::Key_Equal: case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma: case Qt::Key_Less: return 0xBC;
    case Qt::Key_Minus: case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Period: case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Slash: case Qt::Key_Question: return 0xBF;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 0xC0;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 0xDB;
    case Qt::Key_Backslash: case Qt::Key_Bar: return 0xDC;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 0xDD;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 0xDE;
    default: return 0;
  }
}
}  // namespace

TVirtualKey VirtualKeyOf(const QKeyEvent& event) {
  TVirtualKey result;
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  if (modifiers & Qt::ShiftModifier) result.Shift |= ssShift;
  if (modifiers & Qt::ControlModifier) result.Shift |= ssCtrl;
  if (modifiers & Qt::AltModifier) result.Shift |= ssAlt;
#ifdef _WIN32
  result.Code = uint16_t(event.nativeVirtualKey());
  if (result.Code) return result;
#endif
  if (event.nativeScanCode() > 8 && QGuiApplication::platformName() == QLatin1String("xcb")) {
    result.Code = VirtualKeyOfScanCode(event.nativeScanCode() - 8);
    if (result.Code) return result;
  }
  result.Code = VirtualKeyOfQtKey(event.key(), modifiers & Qt::KeypadModifier);
  return result;
}
