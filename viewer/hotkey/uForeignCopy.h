#pragma once
// Copying the selection of the program in front, where the system keeps no
// selection of its own that we could read (Windows): at the hot key the
// focused control of the foreground window is asked to copy (WM_COPY); a
// control that ignores it gets Ctrl+C typed to it. The clipboard's sequence
// number tells whether either copied. The word is then taken from the
// clipboard, and what the clipboard held before is put back.
//
// The decisions live here, portable and tested; the system calls behind
// TForeignCopySystem are the platform's.
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

class QMimeData;

// One synthesised key stroke: a Windows virtual key going down or up.
struct TKeyStroke {
  uint16_t VirtualKey;
  bool Up;
  bool operator==(const TKeyStroke&) const = default;
};

// The modifiers the user still holds from the hot key.
struct THeldModifiers {
  bool Ctrl = false, Shift = false, Alt = false, Win = false;
};

// The strokes of Ctrl+C while the user holds the hot key's modifiers: Ctrl
// goes down first (so that letting Alt go opens no menu), Shift, Alt and
// the Windows key are let go (the program would see Ctrl+Shift+C or
// Ctrl+Alt+C), then C; Ctrl is let go again only if we pressed it.
std::vector<TKeyStroke> CopyKeyStrokes(const THeldModifiers& held);

class TForeignCopySystem {
public:
  virtual ~TForeignCopySystem() = default;
  // Changes with every change of the clipboard.
  virtual uint32_t ClipboardSequence() = 0;
  // Sends the copy message to the focused control of the foreground
  // window; false when there is none to send it to.
  virtual bool SendCopyMessage() = 0;
  // The window class of the foreground window.
  virtual QString ForegroundClass() = 0;
  virtual THeldModifiers HeldModifiers() = 0;
  virtual void SendKeyStrokes(const std::vector<TKeyStroke>& strokes) = 0;
  // Waits while the window's events go on.
  virtual void Wait(int milliseconds) = 0;
};

// False for the windows of terminals, where Ctrl+C interrupts the program
// that runs in them rather than copy.
bool KeysMayCopy(const QString& windowClass);

enum TForeignCopyResult : uint8_t {
  fcNothing,  // the clipboard did not change: the program had nothing to copy
  fcMessage,  // the copy message copied
  fcKeys,     // Ctrl+C copied
};

// Asks for the copy and waits up to waitMilliseconds for each way to show
// on the clipboard.
TForeignCopyResult CopyForeignSelection(TForeignCopySystem& system, int waitMilliseconds = 400);

// A copy of what the clipboard offers that can be put back as it was:
// text in any form and raw clipboard formats. Null when the offer holds
// something else (an image, files), which a copy would lose.
std::unique_ptr<QMimeData> RestorableCopy(const QMimeData* offer);

// Whether the clipboard's earlier content is put back after the word is
// taken: only when the copy changed it, the earlier content could be kept
// whole, and nothing reads the clipboard later (a lookup that waits for the
// dictionaries to load does).
bool ShouldRestoreClipboard(TForeignCopyResult copied, bool kept, bool readLater);

// The platform's copy, or null where the selection is read otherwise.
std::unique_ptr<TForeignCopySystem> CreateForeignCopySystem();
