// The hot key on a real X server: another client owns the primary
// selection, a key press synthesised through the server reaches our grab,
// and the selected word is looked up in the window brought forward.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <xcb/xcb.h>

#include <filesystem>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

#include "X11TestUtil.h"

#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"
#include "viewer/hotkey/uHotKey.h"
#include "viewer/hotkey/uHotKeyX11.h"
#include "viewer/uCommands.h"
#include "viewer/uFormKodra3.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace fs = std::filesystem;

namespace {

// Takes the focus away from every window of ours, as when the user works in
// another program.
void FocusElsewhere() {
  xcb_connection_t* connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
  xcb_set_input_focus(connection, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_CURRENT_TIME);
  xcb_flush(connection);
  WaitFor([] { return QApplication::activeWindow() == nullptr; });
}

class HotKeyX11Test : public TX11WindowTest {
protected:
  void SetUp() override {
    if (!HaveTool("xdotool") || !HaveTool("xclip")) GTEST_SKIP() << "xdotool and xclip are needed";
    OpenWindow();
    if (HasFatalFailure()) return;
  }
  void TearDown() override {
    if (FOwner.state() != QProcess::NotRunning) {
      FOwner.kill();
      FOwner.waitForFinished();
    }
    CloseWindow();
  }
  // Another program selects the text: it owns the primary selection.
  void SelectElsewhere(const QString& text) {
    FOwner.start("xclip", {"-quiet", "-selection", "primary", "-i"});
    ASSERT_TRUE(FOwner.waitForStarted());
    FOwner.write(text.toUtf8());
    FOwner.closeWriteChannel();
    ASSERT_TRUE(WaitFor([&] { return QApplication::clipboard()->text(QClipboard::Selection) == text; }));
  }
  std::u16string CurrentKeyword() const {
    return std::u16string(FWindow->Dictionary()->GetKeywordText(FWindow->Dictionary()->CurrentIndex()));
  }

  QProcess FOwner;
};

TEST_F(HotKeyX11Test, KeyInAnotherProgramLooksUpItsSelection) {
  ASSERT_TRUE(FWindow->HotKey()->Grabbed()) << "Ctrl+F11 could not be grabbed";
  SelectElsewhere(QString::fromUtf8("λόγος"));
  FocusElsewhere();
  PressKeys("ctrl+F11");
  ASSERT_TRUE(WaitFor([this] { return FWindow->SearchField()->Text() == u"λ\u1F79γος"; }))
      << FWindow->SearchField()->toPlainText().toStdString();
  EXPECT_EQ(CurrentKeyword(), u"λ\u1F79γος");
  EXPECT_TRUE(WaitFor([this] { return FWindow->ArticleView()->Text().find(u"слово") != std::u16string::npos; }));
  EXPECT_TRUE(WaitFor([this] { return FWindow->isActiveWindow(); })) << "the window did not come forward";
}

TEST_F(HotKeyX11Test, KeyInTheWindowLooksUpTheArticleSelection) {
  FWindow->activateWindow();
  ASSERT_TRUE(WaitFor([this] { return FWindow->isActiveWindow(); }));
  FWindow->InsertWordIntoSearch(u"\u1F04νθρωπος");
  TKezUnicodeRichEdit* article = FWindow->ArticleView();
  ASSERT_TRUE(WaitFor([article] { return article->Text().find(u"θεο") != std::u16string::npos; }));
  int32_t start = 0, end = 0;
  article->WordRange(int32_t(article->Text().find(u"θεο")), start, end);
  const std::u16string word = article->TextRange(start, end);
  // Nothing selected: the key does nothing.
  article->setFocus();
  PressKeys("ctrl+F11");
  QTest::qWait(200);
  EXPECT_EQ(FWindow->SearchField()->Text(), u"\u1F04νθρωπος");
  article->SetSelection(start, end);
  PressKeys("ctrl+F11");
  // The word joins the search field's text at the caret, and is looked up.
  EXPECT_TRUE(WaitFor([&] { return FWindow->SearchField()->Text().ends_with(u" " + word); }))
      << FWindow->SearchField()->toPlainText().toStdString();
  EXPECT_TRUE(WaitFor([&] { return CurrentKeyword().starts_with(u"θε"); }));
}

TEST_F(HotKeyX11Test, ChangedKeyReplacesTheOldOneAndATakenKeyIsNoError) {
  THotKey& hotKey = *FWindow->HotKey();
  ASSERT_TRUE(hotKey.Register(scCtrl | scShift | 0x4B));  // Ctrl+Shift+K
  SelectElsewhere("amo");
  FocusElsewhere();
  PressKeys("ctrl+F11");  // given up: nothing happens
  QTest::qWait(300);
  EXPECT_TRUE(FWindow->SearchField()->Text().empty());
  PressKeys("ctrl+shift+k");
  EXPECT_TRUE(WaitFor([this] { return FWindow->SearchField()->Text() == u"amo"; }));

  // Another client holds Ctrl+F12: our grab fails quietly.
  xcb_connection_t* other = xcb_connect(nullptr, nullptr);
  ASSERT_EQ(xcb_connection_has_error(other), 0);
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
  THotKeyX11 probe(other, root);
  ASSERT_TRUE(probe.Register(scCtrl | 0x7B));
  EXPECT_FALSE(hotKey.Register(scCtrl | 0x7B));
  EXPECT_EQ(hotKey.Registered(), scCtrl | 0x7B);
  probe.Unregister();
  // The server takes requests of two clients in any order: a round trip on
  // the other connection makes sure its ungrab was done before we ask.
  std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
  EXPECT_TRUE(hotKey.Register(scCtrl | 0x7B));
  xcb_disconnect(other);
}

// A key another program held when it was chosen is taken once the other
// program lets it go and the reader comes back to the window.
TEST_F(HotKeyX11Test, AKeyHeldElsewhereIsTakenWhenTheWindowIsActiveAgain) {
  THotKey& hotKey = *FWindow->HotKey();
  xcb_connection_t* other = xcb_connect(nullptr, nullptr);
  ASSERT_EQ(xcb_connection_has_error(other), 0);
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
  THotKeyX11 probe(other, root);
  ASSERT_TRUE(probe.Register(scCtrl | 0x7B));  // Ctrl+F12
  Options().SetHotKey(scCtrl | 0x7B);
  EXPECT_FALSE(hotKey.Register(scCtrl | 0x7B));
  EXPECT_FALSE(FWindow->HotKeyNote().isEmpty());
  probe.Unregister();
  std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
  FocusElsewhere();
  EXPECT_FALSE(hotKey.Grabbed());
  // Back to the window, as a click on it would bring the reader (no window
  // manager here: the focus is set directly).
  xcb_connection_t* ours = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
  xcb_set_input_focus(ours, XCB_INPUT_FOCUS_POINTER_ROOT, xcb_window_t(FWindow->winId()), XCB_CURRENT_TIME);
  xcb_flush(ours);
  EXPECT_TRUE(WaitFor([&] { return QApplication::activeWindow() == FWindow.get(); }));
  EXPECT_TRUE(WaitFor([&] { return hotKey.Grabbed(); }));
  EXPECT_TRUE(FWindow->HotKeyNote().isEmpty());
  xcb_disconnect(other);
  Options().SetHotKey(0);
}

}  // namespace
