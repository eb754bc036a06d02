// Catching the selection of the program in front where the hot key must ask
// it to copy: the order of the attempts, the keys typed, and when the
// clipboard's earlier content comes back. A stand-in system plays the
// programs.
#include <QMimeData>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer/hotkey/uForeignCopy.h"

namespace {

// A foreground program that copies on the message, on Ctrl+C, on both or on
// neither, the clipboard's number moving when it copies.
class TStandIn : public TForeignCopySystem {
public:
  bool HasFocus = true, CopiesOnMessage = false, CopiesOnKeys = false;
  int KeysCopyAfter = 0;  // milliseconds the program takes to answer Ctrl+C
  QString WindowClass = "Edit";
  THeldModifiers Held;

  uint32_t Sequence = 7;
  std::vector<std::string> Calls;
  std::vector<TKeyStroke> Typed;
  int Waited = 0, KeysAt = -1;

  uint32_t ClipboardSequence() override {
    if (KeysAt >= 0 && Waited - KeysAt >= KeysCopyAfter) {
      KeysAt = -1;
      ++Sequence;
    }
    return Sequence;
  }
  bool SendCopyMessage() override {
    Calls.push_back("message");
    if (!HasFocus) return false;
    if (CopiesOnMessage) ++Sequence;
    return true;
  }
  QString ForegroundClass() override { return WindowClass; }
  THeldModifiers HeldModifiers() override { return Held; }
  void SendKeyStrokes(const std::vector<TKeyStroke>& strokes) override {
    Calls.push_back("keys");
    Typed = strokes;
    if (CopiesOnKeys) KeysAt = Waited;
  }
  void Wait(int milliseconds) override { Waited += milliseconds; }
};

}  // namespace

TEST(ForeignCopy, TheMessageFirstThenCtrlCAndNothingWhenNeitherCopies) {
  struct TCase {
    const char* Name;
    bool HasFocus, OnMessage, OnKeys;
    int KeysAfter;
    const char* Class;
    TForeignCopyResult Result;
    std::vector<std::string> Calls;
  };
  const TCase cases[] = {
      {"an edit control", true, true, false, 0, "Edit", fcMessage, {"message"}},
      {"a control deaf to the message", true, false, true, 0, "Chrome_WidgetWin_1", fcKeys, {"message", "keys"}},
      {"a slow one", true, false, true, 250, "Chrome_WidgetWin_1", fcKeys, {"message", "keys"}},
      {"too slow", true, false, true, 2000, "Chrome_WidgetWin_1", fcNothing, {"message", "keys"}},
      {"no focused control", false, false, true, 0, "Chrome_WidgetWin_1", fcKeys, {"message", "keys"}},
      {"nothing selected", true, false, false, 0, "Edit", fcNothing, {"message", "keys"}},
      // Ctrl+C in a terminal interrupts its program: only the message goes.
      {"a console", true, false, true, 0, "ConsoleWindowClass", fcNothing, {"message"}},
  };
  for (const TCase& c : cases) {
    TStandIn program;
    program.HasFocus = c.HasFocus;
    program.CopiesOnMessage = c.OnMessage;
    program.CopiesOnKeys = c.OnKeys;
    program.KeysCopyAfter = c.KeysAfter;
    program.WindowClass = c.Class;
    EXPECT_EQ(CopyForeignSelection(program, 400), c.Result) << c.Name;
    EXPECT_EQ(program.Calls, c.Calls) << c.Name;
    EXPECT_LE(program.Waited, 400 + 100 + 10) << c.Name;  // a short wait, whatever the program does
  }
}

TEST(ForeignCopy, CtrlCIsTypedWithoutTheModifiersTheHotKeyLeavesHeld) {
  constexpr uint16_t ctrl = 0x11, shift = 0x10, alt = 0x12, c = 0x43;
  struct TCase {
    const char* Name;
    THeldModifiers Held;
    std::vector<TKeyStroke> Strokes;
  };
  const TCase cases[] = {
      {"nothing held", {}, {{ctrl, false}, {c, false}, {c, true}, {ctrl, true}}},
      {"Ctrl held (Ctrl+F11)", {true, false, false, false}, {{c, false}, {c, true}}},
      {"Ctrl and Shift held", {true, true, false, false}, {{shift, true}, {c, false}, {c, true}}},
      // Ctrl goes down before Alt is let go, so that no menu opens.
      {"Alt held", {false, false, true, false}, {{ctrl, false}, {alt, true}, {c, false}, {c, true}, {ctrl, true}}},
      {"Win held", {true, false, false, true}, {{0x5B, true}, {0x5C, true}, {c, false}, {c, true}}},
  };
  for (const TCase& k : cases) EXPECT_EQ(CopyKeyStrokes(k.Held), k.Strokes) << k.Name;
}

TEST(ForeignCopy, TheEarlierClipboardComesBackOnlyWhenItCanBeKeptWhole) {
  QMimeData text;
  text.setText("earlier");
  text.setData("text/rtf", "{\\rtf1 earlier}");
  text.setData("application/x-qt-windows-mime;value=\"Rich Text Format\"", "{\\rtf1 earlier}");
  const std::unique_ptr<QMimeData> kept = RestorableCopy(&text);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->formats(), text.formats());
  EXPECT_EQ(kept->text(), "earlier");
  EXPECT_EQ(kept->data("text/rtf"), "{\\rtf1 earlier}");

  QMimeData picture;
  picture.setText("caption");
  picture.setData("application/x-qt-image", "PNG");
  EXPECT_EQ(RestorableCopy(&picture), nullptr);  // putting back the caption alone would lose the picture

  const std::unique_ptr<QMimeData> empty = RestorableCopy(nullptr);
  ASSERT_NE(empty, nullptr);  // an empty clipboard is put back by clearing it
  EXPECT_TRUE(empty->formats().isEmpty());

  struct TCase {
    TForeignCopyResult Copied;
    bool Kept, ReadLater, Restore;
  };
  const TCase cases[] = {
      {fcMessage, true, false, true},  {fcKeys, true, false, true},
      {fcNothing, true, false, false},  // nothing copied: the clipboard is as it was
      {fcKeys, false, false, false},    // not kept whole: the copied word stays
      {fcMessage, true, true, false},   // read when the dictionaries have loaded
  };
  for (const TCase& c : cases)
    EXPECT_EQ(ShouldRestoreClipboard(c.Copied, c.Kept, c.ReadLater), c.Restore)
        << int(c.Copied) << c.Kept << c.ReadLater;
}

TEST(ForeignCopy, TerminalsAreNotSentCtrlC) {
  for (const char* terminal : {"ConsoleWindowClass", "CASCADIA_HOSTING_WINDOW_CLASS", "mintty", "PuTTY"})
    EXPECT_FALSE(KeysMayCopy(terminal)) << terminal;
  for (const char* other : {"Edit", "RichEdit20W", "Chrome_WidgetWin_1", "OpusApp", ""})
    EXPECT_TRUE(KeysMayCopy(other)) << other;
}
