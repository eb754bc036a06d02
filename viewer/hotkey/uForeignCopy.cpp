#include "viewer/hotkey/uForeignCopy.h"

#include <QMimeData>

namespace {

constexpr uint16_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkLeftWin = 0x5B, kVkRightWin = 0x5C,
                   kVkC = 0x43;
constexpr int kPollMilliseconds = 10;

bool WaitForChange(TForeignCopySystem& system, uint32_t before, int waitMilliseconds) {
  for (int waited = 0;; waited += kPollMilliseconds) {
    if (system.ClipboardSequence() != before) return true;
    if (waited >= waitMilliseconds) return false;
    system.Wait(kPollMilliseconds);
  }
}

// Formats that come back as they went: text of every kind, and the raw
// clipboard formats the toolkit names by their system name.
bool Restorable(const QString& format) {
  return format.startsWith(QLatin1String("text/")) ||
         format.startsWith(QLatin1String("application/x-qt-windows-mime;")) ||
         format == QLatin1String("Rich Text Format");
}

}  // namespace

bool KeysMayCopy(const QString& windowClass) {
  static const QStringList terminals = {
      "ConsoleWindowClass",             // the system's console
      "CASCADIA_HOSTING_WINDOW_CLASS",  // its terminal
      "mintty", "PuTTY", "VirtualConsoleClass",
  };
  return !terminals.contains(windowClass, Qt::CaseInsensitive);
}

std::vector<TKeyStroke> CopyKeyStrokes(const THeldModifiers& held) {
  std::vector<TKeyStroke> strokes;
  if (!held.Ctrl) strokes.push_back({kVkControl, false});
  if (held.Shift) strokes.push_back({kVkShift, true});
  if (held.Alt) strokes.push_back({kVkMenu, true});
  if (held.Win) {
    strokes.push_back({kVkLeftWin, true});
    strokes.push_back({kVkRightWin, true});
  }
  strokes.push_back({kVkC, false});
  strokes.push_back({kVkC, true});
  if (!held.Ctrl) strokes.push_back({kVkControl, true});
  return strokes;
}

TForeignCopyResult CopyForeignSelection(TForeignCopySystem& system, int waitMilliseconds) {
  const uint32_t before = system.ClipboardSequence();
  // The message is answered before SendMessage returns; a program that
  // copies on it has done so by now, or very soon after.
  if (system.SendCopyMessage() && WaitForChange(system, before, waitMilliseconds / 4)) return fcMessage;
  if (!KeysMayCopy(system.ForegroundClass())) return fcNothing;
  system.SendKeyStrokes(CopyKeyStrokes(system.HeldModifiers()));
  return WaitForChange(system, before, waitMilliseconds) ? fcKeys : fcNothing;
}

std::unique_ptr<QMimeData> RestorableCopy(const QMimeData* offer) {
  auto copy = std::make_unique<QMimeData>();
  if (!offer) return copy;  // nothing there: putting back is clearing
  for (const QString& format : offer->formats()) {
    if (!Restorable(format)) return nullptr;
    copy->setData(format, offer->data(format));
  }
  return copy;
}

bool ShouldRestoreClipboard(TForeignCopyResult copied, bool kept, bool readLater) {
  return copied != fcNothing && kept && !readLater;
}

#ifndef Q_OS_WIN
std::unique_ptr<TForeignCopySystem> CreateForeignCopySystem() { return nullptr; }
#endif
