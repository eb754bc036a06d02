// The copy of the foreground program's selection on Windows: WM_COPY to its
// focused control, else Ctrl+C typed through the input queue.
#include "viewer/hotkey/uForeignCopy.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <iterator>

#include "viewer/uData.h"

namespace {

// The control with the keyboard focus in the foreground window's thread.
HWND ForegroundFocus() {
  HWND foreground = GetForegroundWindow();
  if (!foreground) return nullptr;
  const DWORD thread = GetWindowThreadProcessId(foreground, nullptr);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(thread, &info) && info.hwndFocus) return info.hwndFocus;
  // A thread that does not tell it tells a thread sharing its input state.
  const DWORD own = GetCurrentThreadId();
  HWND focus = nullptr;
  if (thread != own && AttachThreadInput(own, thread, TRUE)) {
    focus = GetFocus();
    AttachThreadInput(own, thread, FALSE);
  }
  return focus;
}

bool KeyDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

class TWindowsForeignCopy : public TForeignCopySystem {
public:
  uint32_t ClipboardSequence() override { return uint32_t(GetClipboardSequenceNumber()); }

  bool SendCopyMessage() override {
    HWND focus = ForegroundFocus();
    if (!focus) return false;
    // A program that hangs must not hang the dictionary.
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(focus, WM_COPY, 0, 0, SMTO_ABORTIFHUNG, 200, &answer);
    return true;
  }

  QString ForegroundClass() override {
    wchar_t name[256] = {};
    HWND foreground = GetForegroundWindow();
    const int length = foreground ? GetClassNameW(foreground, name, int(std::size(name))) : 0;
    return QString::fromWCharArray(name, length);
  }

  THeldModifiers HeldModifiers() override {
    return {KeyDown(VK_CONTROL), KeyDown(VK_SHIFT), KeyDown(VK_MENU), KeyDown(VK_LWIN) || KeyDown(VK_RWIN)};
  }

  void SendKeyStrokes(const std::vector<TKeyStroke>& strokes) override {
    std::vector<INPUT> inputs(strokes.size());
    for (size_t i = 0; i < strokes.size(); ++i) {
      inputs[i].type = INPUT_KEYBOARD;
      inputs[i].ki.wVk = strokes[i].VirtualKey;
      inputs[i].ki.dwFlags = strokes[i].Up ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(UINT(inputs.size()), inputs.data(), int(sizeof(INPUT)));
  }

  void Wait(int milliseconds) override { TGlobalData::Wait(milliseconds); }
};

}  // namespace

std::unique_ptr<TForeignCopySystem> CreateForeignCopySystem() { return std::make_unique<TWindowsForeignCopy>(); }
#endif
