// The system's keyboard layout on a real X server, set with setxkbmap: the
// search field types Greek on the Latin group and Russian on the Russian
// one, and with a Russian layout alone Ctrl and the keys of C, V, A, L do
// what they do on a Latin keyboard.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <xcb/xcb.h>
// The XKB header names a field "explicit".
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "X11TestUtil.h"
#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"
#include "viewer/keyboard/uSystemKeyboard.h"
#include "viewer/uFormKodra3.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace fs = std::filesystem;

namespace {

xcb_connection_t* Connection() { return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection(); }

bool SetLayouts(const QStringList& arguments) {
  return QProcess::execute("setxkbmap", arguments + QStringList{"-option", ""}) == 0;
}

// Locks the keyboard's group, as the group key of the desktop does.
void LockGroup(uint8_t group) {
  xcb_xkb_latch_lock_state(Connection(), XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, group, 0, 0, 0);
  xcb_flush(Connection());
}

class SystemKeyboardX11Test : public TX11WindowTest {
protected:
  void SetUp() override {
    if (!HaveTool("xdotool") || !HaveTool("setxkbmap")) GTEST_SKIP() << "xdotool and setxkbmap are needed";
    OpenWindow();
    if (HasFatalFailure()) return;
    // No window manager here: the focus is given directly.
    xcb_set_input_focus(Connection(), XCB_INPUT_FOCUS_POINTER_ROOT, xcb_window_t(FWindow->winId()), XCB_CURRENT_TIME);
    xcb_flush(Connection());
    ASSERT_TRUE(WaitFor([this] { return QApplication::activeWindow() == FWindow.get(); }));
    Field().setFocus();
    Field().SetText(u"");
  }
  void TearDown() override {
    CloseWindow();
    if (HaveTool("setxkbmap")) {
      SetLayouts({"-layout", "us"});
      LockGroup(0);
      WaitFor([] { return SystemKeyboard().Latin(); });
    }
  }
  TKezUnicodeRichEdit& Field() const { return *FWindow->SearchField(); }
  bool FieldHolds(std::u16string_view text) const { return Field().Text() == text; }
  bool InputIs(bool on) const {
    return FWindow->LanguageInput() == on && FWindow->Action("actEditLanguage")->isChecked() == on;
  }

};

TEST_F(SystemKeyboardX11Test, TheFieldTypesGreekOnTheLatinGroupAndRussianOnTheRussianOne) {
  ASSERT_TRUE(SetLayouts({"-layout", "us,ru"}));
  LockGroup(0);
  ASSERT_TRUE(WaitFor([this] { return InputIs(true); }));
  PressKeys("l o g o s");
  EXPECT_TRUE(WaitFor([this] { return FieldHolds(u"λογοσ"); })) << Field().toPlainText().toStdString();

  LockGroup(1);
  EXPECT_TRUE(WaitFor([this] { return InputIs(false); })) << "the language input stayed on under Russian";
  Field().SetText(u"");
  PressKeys("Cyrillic_es Cyrillic_el Cyrillic_o Cyrillic_ve Cyrillic_o");
  EXPECT_TRUE(WaitFor([this] { return FieldHolds(u"слово"); })) << Field().toPlainText().toStdString();

  // Back on the Latin group the input is what it was.
  LockGroup(0);
  EXPECT_TRUE(WaitFor([this] { return InputIs(true); }));
  Field().SetText(u"");
  PressKeys("l o g o s");
  EXPECT_TRUE(WaitFor([this] { return FieldHolds(u"λογοσ"); })) << Field().toPlainText().toStdString();
}

TEST_F(SystemKeyboardX11Test, WithARussianLayoutAloneCtrlShortcutsGoByTheKey) {
  ASSERT_TRUE(SetLayouts({"-layout", "ru"}));
  ASSERT_TRUE(WaitFor([this] { return InputIs(false); })) << "a Russian keymap left the language input on";
  PressKeys("Cyrillic_es Cyrillic_el Cyrillic_o Cyrillic_ve Cyrillic_o");
  ASSERT_TRUE(WaitFor([this] { return FieldHolds(u"слово"); })) << Field().toPlainText().toStdString();

  QApplication::clipboard()->clear();
  PressKeys("ctrl+Cyrillic_ef ctrl+Cyrillic_es");  // the keys of A and C: select all, copy
  EXPECT_TRUE(WaitFor([] { return QApplication::clipboard()->text() == QString::fromUtf8("слово"); }))
      << QApplication::clipboard()->text().toStdString();

  Field().SetText(u"");
  PressKeys("ctrl+Cyrillic_em");  // the key of V: paste, which looks the word up
  EXPECT_TRUE(WaitFor([this] { return FieldHolds(u"слово"); })) << Field().toPlainText().toStdString();

  PressKeys("ctrl+Cyrillic_de");  // the key of L: the window's Language action
  EXPECT_TRUE(WaitFor([this] { return InputIs(true); }));
}

}  // namespace
