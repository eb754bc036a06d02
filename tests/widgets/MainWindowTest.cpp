// The viewer window on the bundled dictionaries, driven as a reader drives it.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QThread>
#include <QTest>
#include <QTextCursor>
#include <QStatusBar>
#include <QHelpEvent>
#include <QToolBar>
#include <QToolTip>
#include <QToolButton>
#include <QTemporaryDir>
#include <filesystem>
#include <sys/stat.h>
#include <fstream>
#include <gtest/gtest.h>

#include "BundledProgramFolder.h"
#include "SettleEvents.h"

#include "InstanceTestUtil.h"
#include "editor/uFormKodraEditor.h"
#include "foundation/KezProgramFolder.h"
#include "foundation/KezText.h"
#include "widgets/KezListBox.h"
#include "options/uOptions.h"
#include "options/uSavedSearch.h"
#include "widgets/KezUnicodeRichEdit.h"
#include "source/uSourceDictionary.h"
#include "viewer/thread/uVornTheater.h"
#include "viewer/keyboard/uSystemKeyboard.h"
#include "viewer/uCommands.h"
#include "viewer/uData.h"
#include "viewer/uFormAbout.h"
#include "viewer/uFormKodra3.h"
#include "viewer/uHelpWindow.h"
#include "viewer/uStatusLine.h"
#include "viewer/uWindowRequests.h"

namespace fs = std::filesystem;

namespace {
// A program folder of its own with copies of the bundled dictionaries, so
// that the window's saved search texts stay inside the test.
class MainWindowTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FHome.isValid());
    FPrevious = ProgramFolder();
    UseBundledProgramFolder(FHome.path());
    FWindow = std::make_unique<TFormKodra3>();
    FWindow->show();
    Settle();
    ASSERT_GT(FWindow->Dictionary()->KeywordCount(), 0);
  }
  void TearDown() override {
    FWindow.reset();
    SystemKeyboard().Report(true);
    SetProgramFolder(FPrevious);
  }
  static void Settle() { SettleEvents(); }
  std::u16string CurrentKeyword() const {
    return std::u16string(FWindow->Dictionary()->GetKeywordText(FWindow->Dictionary()->CurrentIndex()));
  }
  std::u16string Shown() const { return FWindow->ArticleView()->Text(); }
  // Keys as a US keyboard sends them: the shifted signs come with Shift.
  void Type(const char* keys) {
    FWindow->SearchField()->setFocus();
    for (const char* k = keys; *k; ++k) {
      const QString text{QChar(*k)};
      const bool shifted = std::string_view(")(|+:\"<>?~{}_!@#$%^&*").find(*k) != std::string_view::npos ||
                           (*k >= 'A' && *k <= 'Z');
      const int key = (*k >= 'a' && *k <= 'z') ? Qt::Key_A + (*k - 'a') : QKeySequence(text)[0].key();
      QTest::keyClick(FWindow->SearchField(), Qt::Key(key), shifted ? Qt::ShiftModifier : Qt::NoModifier);
    }
    Settle();
  }
  void Clear() {
    FWindow->Action("actEditClear")->trigger();
    Settle();
  }

  QTemporaryDir FHome;
  std::string FPrevious;
  std::unique_ptr<TFormKodra3> FWindow;
};
}  // namespace

TEST_F(MainWindowTest, TypingShowsTheKeywordOfTheTypedLetters) {
  const std::u16string firstPage = Shown();
  Type("anqrw");  // a beginning only: the list follows, the article waits
  EXPECT_EQ(CurrentKeyword().substr(1, 4), u"νθρω");
  EXPECT_EQ(FWindow->KeywordList()->ItemIndex(), FWindow->Dictionary()->CurrentIndex());
  EXPECT_EQ(Shown(), firstPage);
  Type("pos");  // ανθρωποσ: the keyword's letters, typed without accents and with σ at the end
  EXPECT_EQ(FWindow->SearchField()->Text(), u"ανθρωποσ");
  EXPECT_EQ(CurrentKeyword(), u"\u1F04νθρωπος");
  EXPECT_NE(Shown().find(u"человек"), std::u16string::npos);
  EXPECT_EQ(FWindow->History().Items().size(), 1u);
  // Enter on a word beyond the last keyword shows nothing and records nothing.
  Clear();
  Type("vvvvv");
  QTest::keyClick(FWindow->SearchField(), Qt::Key_Return);
  Settle();
  EXPECT_EQ(FWindow->Dictionary()->CurrentIndex(), FWindow->Dictionary()->KeywordCount());
  for (int32_t index : FWindow->History().Items()) EXPECT_LT(index, FWindow->Dictionary()->KeywordCount());
}

// A word that reaches no keyword is said to be missing, and no other word's
// article stands in its place; Enter again opens the nearest keyword. A form
// shows its lemma's article after its own.
TEST_F(MainWindowTest, AMissingWordIsSaidAndAFormShowsItsLemma) {
  FWindow->InsertWordIntoSearch(u"λογοξ");  // as the hot key or a later start delivers it
  Settle();
  EXPECT_EQ(FWindow->Status()->Kind(), skWarning);
  EXPECT_TRUE(FWindow->Status()->Text().contains(QString::fromUtf16(u"λογοξ")) &&
              FWindow->Status()->Text().contains("not found"))
      << FWindow->Status()->Text().toStdString();
  EXPECT_TRUE(Shown().empty()) << ToUtf8(Shown());
  const std::u16string nearest = CurrentKeyword();
  EXPECT_EQ(FWindow->KeywordList()->ItemIndex(), FWindow->Dictionary()->CurrentIndex());
  EXPECT_TRUE(FWindow->History().Items().empty() ||
              FWindow->History().Items().back() != FWindow->Dictionary()->CurrentIndex());
  // The same word delivered again (a later start, the hot key) is still missing.
  FWindow->InsertWordIntoSearch(u"λογοξ");
  Settle();
  EXPECT_TRUE(Shown().empty()) << ToUtf8(Shown());
  QTest::keyClick(FWindow->SearchField(), Qt::Key_Return);
  Settle();
  EXPECT_EQ(CurrentKeyword(), nearest);
  EXPECT_FALSE(Shown().empty());  // Enter again: the nearest keyword's article

  Clear();
  FWindow->InsertWordIntoSearch(u"ε\u1F36πεν");
  Settle();
  EXPECT_NE(FWindow->Status()->Kind(), skWarning);  // the other word's message is gone
  const std::u16string shown = Shown();
  const size_t form = shown.find(u"от λ\u1F73γω"), meaning = shown.find(u"говорить");
  EXPECT_NE(form, std::u16string::npos) << ToUtf8(shown);
  EXPECT_NE(meaning, std::u16string::npos) << ToUtf8(shown);
  EXPECT_LT(form, meaning);
}

TEST_F(MainWindowTest, KeysComposeAccentedLettersAndFindTheKeyword) {
  Type("a)/nqrwpoj");  // a ) / composes ἄ; j is the final sigma
  EXPECT_EQ(FWindow->SearchField()->Text(), u"\u1F04νθρωπος");
  EXPECT_EQ(CurrentKeyword(), u"\u1F04νθρωπος");
  EXPECT_NE(Shown().find(u"человек"), std::u16string::npos);  // an exact keyword shows at once
  // With the language input off, the keys type Russian whatever the system layout.
  Clear();
  FWindow->Action("actEditLanguage")->trigger();
  EXPECT_FALSE(FWindow->LanguageInput());
  Type("ckjdj");
  EXPECT_EQ(FWindow->SearchField()->Text(), u"слово");
}

TEST_F(MainWindowTest, LanguageInputStepsAsideWhileTheSystemLayoutTypesAnotherScript) {
  QAction* language = FWindow->Action("actEditLanguage");
  auto expectInput = [&](bool on) {
    EXPECT_EQ(FWindow->LanguageInput(), on);
    EXPECT_EQ(language->isChecked(), on);
    EXPECT_EQ(FWindow->SearchField()->LanguageInput() != nullptr, on);
  };
  ASSERT_TRUE(FWindow->LanguageInput());
  SystemKeyboard().Report(false);
  expectInput(false);
  // The system's layout types: the keys pass as it gives them (Latin here,
  // where the test's platform has no other), not through the Russian table.
  Type("ckjdj");
  EXPECT_EQ(FWindow->SearchField()->Text(), u"ckjdj");
  Clear();
  SystemKeyboard().Report(true);
  expectInput(true);
  Type("lo/goj");
  EXPECT_EQ(FWindow->SearchField()->Text(), u"λ\u1F79γος");
  Clear();
  // Switched off by the reader, it stays off across the layouts.
  language->trigger();
  SystemKeyboard().Report(false);
  SystemKeyboard().Report(true);
  expectInput(false);
  // A change of language switches it on, but not under a Russian layout:
  // there it waits for the Latin one.
  SystemKeyboard().Report(false);
  FWindow->SelectLanguage(1);
  Settle();
  expectInput(false);
  SystemKeyboard().Report(true);
  expectInput(true);
  // The reader's own switch counts under any layout.
  SystemKeyboard().Report(false);
  language->trigger();
  expectInput(true);
}

TEST_F(MainWindowTest, InsertedWordsAreCleanedAndNormalised) {
  // As pasted from another program: tonos letters, brackets and a comma.
  FWindow->InsertWordIntoSearch(u"(λ\u03CCγος),");
  Settle();
  EXPECT_EQ(FWindow->SearchField()->Text(), u"λ\u1F79γος");
  EXPECT_EQ(CurrentKeyword(), u"λ\u1F79γος");
  EXPECT_NE(Shown().find(u"слово"), std::u16string::npos);
  // As a PDF copy delivers it: the accent as a combining mark after its letter.
  Clear();
  FWindow->InsertWordIntoSearch(u"\u1F00νθρω\u0301πος");
  Settle();
  EXPECT_EQ(FWindow->SearchField()->Text(), u"\u1F00νθρ\u1F7Dπος");
  EXPECT_EQ(CurrentKeyword(), u"\u1F04νθρωπος");
  EXPECT_NE(Shown().find(u"человек"), std::u16string::npos);
}

TEST_F(MainWindowTest, ExactKeywordShowsAtOnceAndUpDownSkipTheHistory) {
  FWindow->SelectLanguage(1);
  Settle();
  const std::vector<int32_t> reloaded = FWindow->History().Items();  // the reload shows the first article
  Type("amo");
  EXPECT_EQ(CurrentKeyword(), u"amo");
  EXPECT_NE(Shown().find(u"любить"), std::u16string::npos);
  const int32_t amo = FWindow->Dictionary()->CurrentIndex();
  auto history = [&](std::vector<int32_t> items) {
    items.insert(items.begin(), reloaded.begin(), reloaded.end());
    return items;
  };
  EXPECT_EQ(FWindow->History().Items(), history({amo}));
  FWindow->Action("actSearchDown")->trigger();
  Settle();
  FWindow->Action("actSearchDown")->trigger();
  Settle();
  EXPECT_EQ(FWindow->Dictionary()->CurrentIndex(), amo + 2);
  EXPECT_EQ(FWindow->History().Items(), history({amo}));  // Up and Down add nothing
  // Opening a keyword from the list adds it.
  FWindow->KeywordList()->SelectIndex(amo + 5);
  FWindow->KeywordList()->setFocus();
  QTest::keyClick(FWindow->KeywordList(), Qt::Key_Return);
  Settle();
  EXPECT_EQ(FWindow->History().Items(), history({amo, amo + 5}));
  FWindow->Action("actSearchBack")->trigger();
  Settle();
  EXPECT_EQ(FWindow->Dictionary()->CurrentIndex(), amo);
  FWindow->Action("actSearchForward")->trigger();
  Settle();
  EXPECT_EQ(FWindow->Dictionary()->CurrentIndex(), amo + 5);
}

TEST_F(MainWindowTest, LanguageSwitchKeepsEachSearchText) {
  Type("logoj");
  EXPECT_EQ(FWindow->SearchField()->Text(), u"λογος");
  FWindow->SelectLanguage(1);
  Settle();
  EXPECT_EQ(FWindow->SearchField()->Text(), u"");
  EXPECT_FALSE(FWindow->Action("actDictionaryAncientGreekRussian")->isChecked());
  Type("homo");
  FWindow->SelectLanguage(0);
  Settle();
  EXPECT_EQ(FWindow->SearchField()->Text(), u"λογος");
  FWindow->SelectLanguage(1);
  Settle();
  EXPECT_EQ(FWindow->SearchField()->Text(), u"homo");
}

TEST_F(MainWindowTest, AbbreviationUnderTheMouseShowsItsExplanation) {
  // A Latin dictionary whose abbreviations are written with and without a full stop.
  FWindow.reset();
  const std::u16string source =
      u"<header>\r\ncaption=Abbr\r\ncomment=c\r\nkind=main\r\nlanguage=latin\r\n</header>\r\n"
      u"<mark>\r\nm.=masculinum\r\n</mark>\r\n<author>\r\nCato=Cato Maior\r\n</author>\r\n"
      u"#amo\r\n<m>m.</m> dixit <a>Cato.</a> bene\r\n";
  const fs::path latin = fs::path(FHome.path().toStdString()) / "latin";
  {
    std::ofstream file(latin / "abbr.kds", std::ios::binary);
    file.write(reinterpret_cast<const char*>(source.data()), std::streamsize(source.size() * 2));
  }
  TSourceDictionary dictionary(FindLanguage("latin"));
  dictionary.LoadFromFile((latin / "abbr.kds").string());
  dictionary.Compile((latin / "main.kdb").string());
  FWindow = std::make_unique<TFormKodra3>();
  FWindow->show();
  Settle();
  FWindow->SelectLanguage(1);
  Settle();
  Type("amo");
  TKezUnicodeRichEdit& view = *FWindow->ArticleView();
  const std::u16string text = Shown();
  struct { std::u16string word; QString hint; } cases[] = {
      {u"m.", "m.: masculinum"},
      {u"Cato.", "Cato: Cato Maior"},
      {u"dixit", ""},
  };
  for (const auto& c : cases) {
    const size_t at = text.find(c.word);
    ASSERT_NE(at, std::u16string::npos);
    FWindow->Status()->ClearMessage();  // a fresh message would keep the hint away
    QTextCursor cursor(view.document());
    cursor.setPosition(int(at + 1));
    const QPoint point = view.cursorRect(cursor).center();
    QMouseEvent move(QEvent::MouseMove, point, view.viewport()->mapToGlobal(point), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
    EXPECT_EQ(FWindow->Status()->Text(), c.hint);
  }
}

TEST_F(MainWindowTest, NoDictionariesIsReported) {
  FWindow.reset();
  fs::remove_all(fs::path(FHome.path().toStdString()) / "ancientgreek");
  FWindow = std::make_unique<TFormKodra3>();
  FWindow->show();
  Settle();
  EXPECT_EQ(FWindow->Dictionary()->KeywordCount(), 0);
  EXPECT_EQ(FWindow->Status()->Kind(), skError);
  EXPECT_TRUE(FWindow->Status()->Text().startsWith("No active dictionaries")) << FWindow->Status()->Text().toStdString();
}

TEST_F(MainWindowTest, ADictionaryThatCannotBeReadIsNamed) {
  FWindow.reset();
  const fs::path folder = fs::path(FHome.path().toStdString()) / "ancientgreek";
  std::ofstream(folder / "forms.kdb", std::ios::binary | std::ios::trunc) << "half-copied";
  const auto configuration = fs::last_write_time(folder / "dictionaries.cfg");
  FWindow = std::make_unique<TFormKodra3>();
  FWindow->show();
  Settle();
  EXPECT_GT(FWindow->Dictionary()->KeywordCount(), 0);
  EXPECT_EQ(FWindow->Status()->Kind(), skWarning);
  const std::string text = FWindow->Status()->Text().toStdString();
  EXPECT_NE(text.find("forms.kdb"), std::string::npos) << text;
  EXPECT_NE(text.find("Corrupt or inappropriate dictionary file"), std::string::npos) << text;
  EXPECT_EQ(fs::last_write_time(folder / "dictionaries.cfg"), configuration);  // it still names forms
}

TEST_F(MainWindowTest, SearchAllListsResultsThatOpenWithTheHitSelected) {
  FWindow->SelectLanguage(1);
  Settle();
  FWindow->SearchField()->setFocus();
  FWindow->SearchField()->SetText(u"человек");
  Settle();
  FWindow->Action("actSearchAll")->setEnabled(true);
  FWindow->Action("actSearchAll")->trigger();
  Settle();
  ASSERT_GT(FWindow->Results().size(), 1u);
  EXPECT_TRUE(FWindow->Action("actSearchResults")->isChecked());
  EXPECT_EQ(FWindow->ResultList()->Count(), int32_t(FWindow->Results().size()));
  FWindow->ResultList()->SelectIndex(1);
  FWindow->ResultList()->setFocus();
  QTest::keyClick(FWindow->ResultList(), Qt::Key_Return);
  Settle();
  const TSearchResult& result = *FWindow->Results()[1];
  EXPECT_EQ(FWindow->Dictionary()->CurrentIndex(), result.KeywordIndex);
  int32_t start, end;
  FWindow->ArticleView()->GetSelection(start, end);
  EXPECT_EQ(FWindow->ArticleView()->TextRange(start, end), u"человек");  // the hit, as the article shows it
  // Nothing found: the panel goes and Search results is unchecked.
  Clear();
  FWindow->SearchField()->SetText(u"qqqq");
  Settle();
  FWindow->Action("actSearchAll")->setEnabled(true);
  FWindow->Action("actSearchAll")->trigger();
  Settle();
  EXPECT_FALSE(FWindow->Action("actSearchResults")->isChecked());
  EXPECT_EQ(FWindow->Status()->Text(), "String not found");
}

TEST_F(MainWindowTest, UnreadableSettingsAreReportedOnceInTheStatusBar) {
  FWindow.reset();  // it holds the options that LoadOptions replaces
  const fs::path home = FHome.path().toStdString();
  std::ofstream(home / "kodra3.ini", std::ios::binary) << "object TOptions\r\n  Bogus = 1\r\nend\r\n";
  LoadOptions(home.string());
  FWindow = std::make_unique<TFormKodra3>();
  FWindow->show();
  Settle();
  EXPECT_EQ(FWindow->Status()->Kind(), skWarning);
  EXPECT_EQ(FWindow->Status()->Text(),
            "The settings file could not be read and was kept as kodra3.ini.bad; defaults are in use");
  EXPECT_TRUE(fs::exists(home / "kodra3.ini.bad"));
  // Once: the next load, and the next window, say what they always say.
  FWindow->SelectLanguage(1);
  Settle();
  EXPECT_EQ(FWindow->Status()->Kind(), skInformation);
  FWindow = std::make_unique<TFormKodra3>();
  FWindow->show();
  Settle();
  EXPECT_EQ(FWindow->Status()->Kind(), skInformation);
  Options().SetFileName({});  // the folder goes with the test
}

// An interface language file that gives no texts leaves English, and says so
// once, whatever is wrong with it.
TEST_F(MainWindowTest, AnInterfaceLanguageThatCannotBeReadIsNamedOnce) {
  const fs::path home = FHome.path().toStdString();
  fs::create_directory(home / "Folder.lng");
  std::ofstream(home / "Binary.lng", std::ios::binary) << "\x01\x02 \xff";
  struct { const char* name; const char* reason; } cases[] = {
      {"Absent", "Absent.lng is missing"},
      {"Folder", "Folder.lng is not a file"},
      {"Binary", "Binary.lng holds no interface texts"},
      {"English", nullptr},  // built in: no file, nothing to say
  };
  for (const auto& c : cases) {
    FWindow.reset();
    Options().SetLocaleName(c.name);
    FWindow = std::make_unique<TFormKodra3>();
    FWindow->show();
    Settle();
    EXPECT_EQ(FWindow->Status()->Kind(), c.reason ? skWarning : skInformation) << c.name;
    EXPECT_TRUE(!c.reason || (FWindow->Status()->Text().contains(c.reason) &&
                              FWindow->Status()->Text().endsWith("the interface is in English")))
        << FWindow->Status()->Text().toStdString();
    EXPECT_EQ(FWindow->windowTitle(), "Ancient Greek - Russian. Kodra");
    FWindow->SelectLanguage(1);
    Settle();
    EXPECT_EQ(FWindow->Status()->Kind(), skInformation) << c.name;
    FWindow->SelectLanguage(0);
    Settle();
  }
  Options().SetLocaleName({});
}

// A typing table that is there but cannot be read: the window still types,
// composes nothing, and says which table and why.
TEST_F(MainWindowTest, AnUnreadableTypingTableIsNamed) {
  FWindow.reset();
  const fs::path table = fs::path(FHome.path().toStdString()) / "ancientgreek" / "inputmethod.tbl";
  fs::remove(table);
  ASSERT_EQ(mkfifo(table.c_str(), 0600), 0);
  FindLanguage("ancientgreek")->ResetInputMethod();
  FWindow = std::make_unique<TFormKodra3>();
  FWindow->show();
  Settle();
  EXPECT_EQ(FWindow->Status()->Kind(), skWarning);
  EXPECT_TRUE(FWindow->Status()->Text().contains("inputmethod.tbl is not a file; typing goes without it"))
      << FWindow->Status()->Text().toStdString();
  Type("logos");
  EXPECT_EQ(FWindow->SearchField()->Text(), u"λογοσ");
  fs::remove(table);
  FindLanguage("ancientgreek")->ResetInputMethod();
}

// Settings that cannot be kept are said at the start, once, not found out
// as losses later.
TEST_F(MainWindowTest, AFolderWhereSettingsCannotBeWrittenIsNamedAtTheStart) {
  FWindow.reset();
  const fs::path home = FHome.path().toStdString();
  std::ofstream(home / "plain") << "a file where a folder should be";
  const std::string previous = Options().FileName();
  Options().SetFileName((home / "plain" / "kodra3.ini").string());
  FWindow = std::make_unique<TFormKodra3>();
  FWindow->show();
  Settle();
  EXPECT_EQ(FWindow->Status()->Kind(), skWarning);
  EXPECT_TRUE(FWindow->Status()->Text().contains("Settings and the search text cannot be kept: " +
                                                 QString::fromStdString((home / "plain").string()) +
                                                 " cannot be written (Not a directory)"))
      << FWindow->Status()->Text().toStdString();
  FWindow->SelectLanguage(1);
  Settle();
  EXPECT_EQ(FWindow->Status()->Kind(), skInformation);
  Options().SetFileName(previous);
}

// "Pop-up hints" and "Status bar hints" hold back the tool bar buttons'
// hints of the window and of the editor, at once when changed.
TEST_F(MainWindowTest, HintOptionsGovernBothWindowsAtOnce) {
  FWindow->Action("actServiceEditor")->trigger();
  Settle();
  ASSERT_NE(FWindow->Editor(), nullptr);
  QMainWindow* windows[] = {FWindow.get(), FWindow->Editor()};
  for (QMainWindow* window : windows) {
    auto* bar = window->findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    QAction* action = nullptr;
    for (QAction* candidate : bar->actions())
      if (!candidate->isSeparator() && !candidate->toolTip().isEmpty()) action = action ? action : candidate;
    ASSERT_NE(action, nullptr);
    QWidget* button = bar->widgetForAction(action);
    for (const bool on : {false, true, false}) {
      SCOPED_TRACE(window->objectName().toStdString() + (on ? " on" : " off"));
      Options().SetShowPopupHint(on);
      Options().SetShowStatusHint(on);
      QToolTip::hideText();  // it fades: wait until it is gone
      QElapsedTimer waited;
      waited.start();
      while (QToolTip::isVisible() && waited.elapsed() < 2000) QTest::qWait(10);
      window->statusBar()->clearMessage();
      QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
      QApplication::sendEvent(button, &help);
      EXPECT_EQ(QToolTip::isVisible(), on);
      action->showStatusText(button);
      EXPECT_EQ(window->statusBar()->currentMessage(), on ? action->statusTip() : QString());
      EXPECT_FALSE(action->statusTip().isEmpty());
    }
  }
  QToolTip::hideText();
  Options().SetShowPopupHint(true);
  Options().SetShowStatusHint(true);
}

// In the search field a double-click goes to the word as Go to does, and
// Ctrl+Enter breaks the line of a search text.
TEST_F(MainWindowTest, DoubleClickGoesToTheWordAndCtrlEnterBreaksTheLine) {
  Clear();
  TKezUnicodeRichEdit& field = *FWindow->SearchField();
  field.SetText(u"λογ");  // no keyword: typing shows no article
  Settle();
  const std::u16string before = Shown();
  QTextCursor at(field.document());
  at.setPosition(1);
  QTest::mouseDClick(field.viewport(), Qt::LeftButton, {}, field.cursorRect(at).center());
  Settle();
  const std::u16string clicked = Shown();
  EXPECT_NE(clicked, before);
  Clear();
  field.SetText(u"λογ");
  Settle();
  FWindow->Action("actSearchGoto")->setEnabled(true);
  FWindow->Action("actSearchGoto")->trigger();
  Settle();
  EXPECT_EQ(Shown(), clicked);

  Clear();
  Type("a");
  QTest::keyClick(&field, Qt::Key_Return, Qt::ControlModifier);
  Type("b");
  EXPECT_EQ(field.Text(), u"α\nβ");
}

// A shortcut pressed right after typing is taken: the actions follow the
// text at once. After Ctrl+F has moved to the article, Ctrl+Shift+F still
// searches.
TEST_F(MainWindowTest, SearchShortcutsWorkRightAfterTypingAndAfterASearch) {
  Clear();
  ASSERT_FALSE(FWindow->Action("actSearchStart")->isEnabled());
  TKezUnicodeRichEdit& field = *FWindow->SearchField();
  field.setFocus();
  QTest::keyClicks(&field, "qqqq");  // no idle update between the keys and the shortcut
  QTest::keyClick(&field, Qt::Key_F, Qt::ControlModifier);
  Settle();
  EXPECT_EQ(FWindow->Status()->Text(), "String not found");

  FWindow->SelectLanguage(1);
  Settle();
  field.setFocus();
  field.SetText(u"человек");
  Settle();
  QTest::keyClick(&field, Qt::Key_F, Qt::ControlModifier);
  Settle();
  ASSERT_TRUE(FWindow->ArticleView()->hasFocus());  // the hit is shown there
  QTest::keyClick(FWindow->ArticleView(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  Settle();
  EXPECT_TRUE(FWindow->Action("actSearchResults")->isChecked());
}

TEST_F(MainWindowTest, DamagedSavedSearchTextIsCleanedOnLoading) {
  FWindow.reset();
  // λόγος with a control unit, a lone surrogate and an odd byte among its units.
  const char bytes[] = "\xBB\x03\x01\x00\xCC\x03\x00\xD8\xB3\x03\xBF\x03\xC2\x03" "x";
  std::ofstream(fs::path(FHome.path().toStdString()) / "ancientgreek" / "saves.dat", std::ios::binary)
      .write(bytes, sizeof bytes - 1);
  FWindow = std::make_unique<TFormKodra3>();
  FWindow->show();
  Settle();
  EXPECT_EQ(FWindow->SearchField()->Text(), u"λόγος");
}

// The caption names the language once; Ctrl+V in the search field pastes as
// the tool bar does (cleaned, inserted, looked up); the parts open the
// program's own menus.
TEST_F(MainWindowTest, CaptionPasteAndPopupMenus) {
  EXPECT_EQ(FWindow->windowTitle(), "Ancient Greek - Russian. Kodra");
  QApplication::clipboard()->setText("[λόγος],");
  Settle();
  FWindow->SearchField()->setFocus();
  QTest::keyClick(FWindow->SearchField(), Qt::Key_V, Qt::ControlModifier);
  Settle();
  // Brackets and the comma gone, the tonos letter in the keywords' form.
  EXPECT_EQ(FWindow->SearchField()->Text(), u"λ\u1F79γος");
  EXPECT_EQ(CurrentKeyword(), u"λ\u1F79γος");
  const std::pair<const char*, std::vector<const char*>> menus[] = {
      {"MenuToolBar", {"actServiceOptions", "actHelpOnCommands"}},
      {"MenuSearch", {"actEditUndo", "actEditCut", "actEditCopy", "actEditPaste", "actEditDelete", "actEditSelectAll",
                      "actEditClear", "actSearchGoto", "actSearchStart", "actSearchNext", "actServiceOptions",
                      "actHelpOnEntryField"}},
      {"MenuText", {"actEditCopy", "actViewMeanings", "actSearchBack", "actSearchForward", "actServiceEditor",
                    "actServiceOptions", "actHelpOnDicEntry"}},
      {"MenuStatus", {"actServiceOptions", "actHelpOnStatus", "actHelpOnError"}},
      {"MenuList", {"actServiceOptions", "actHelpOnList"}},
  };
  for (const auto& [name, actions] : menus) {
    const QMenu* menu = FWindow->findChild<QMenu*>(name);
    ASSERT_NE(menu, nullptr) << name;
    std::vector<std::string> names;
    for (const QAction* action : menu->actions())
      if (!action->isSeparator()) names.push_back(action->objectName().toStdString());
    EXPECT_EQ(names, std::vector<std::string>(actions.begin(), actions.end())) << name;
  }
}

// What later starts of the program hand over: a word is looked up, the
// other program's selection is caught as the hot key catches it, and a
// plain start brings the window back from the task bar.
TEST_F(MainWindowTest, RequestsOfLaterStartsReachTheWindow) {
  QTemporaryDir dir;
  TSingleInstance instance(TestInstanceAddress(dir));
  ASSERT_EQ(instance.Start({}), TSingleInstance::Listening);
  ConnectRequests(instance, *FWindow);
  const QString server = TestInstanceAddress(dir).Server;

  ASSERT_EQ(DeliverServed(server, {TInstanceRequestKind::LookUpWord, u"ἄνθρωπος"}), TInstanceDelivery::Accepted);
  Settle();
  EXPECT_EQ(FWindow->SearchField()->Text(), u"\u1F04νθρωπος");
  EXPECT_EQ(CurrentKeyword(), u"\u1F04νθρωπος");
  EXPECT_NE(Shown().find(u"человек"), std::u16string::npos);

  // A caught word replaces the search text.
  QApplication::clipboard()->setText("[λόγος],");
  ASSERT_EQ(DeliverServed(server, {TInstanceRequestKind::LookUpSelection, {}}), TInstanceDelivery::Accepted);
  Settle();
  EXPECT_EQ(FWindow->SearchField()->Text(), u"λ\u1F79γος");
  EXPECT_EQ(CurrentKeyword(), u"λ\u1F79γος");
  QApplication::clipboard()->clear();

  FWindow->showMinimized();
  Settle();
  ASSERT_EQ(DeliverServed(server, {TInstanceRequestKind::ComeForward, {}}), TInstanceDelivery::Accepted);
  Settle();
  EXPECT_FALSE(FWindow->isMinimized());
  EXPECT_EQ(FWindow->SearchField()->Text(), u"λ\u1F79γος");  // nothing looked up
}

// What the program's own command line asks is looked up once the
// dictionaries are loaded, in place of the search text kept from the last
// time; a plain start keeps that text.
TEST_F(MainWindowTest, StartRequestsAreLookedUpOnceTheDictionariesAreLoaded) {
  const std::string saves = FHome.filePath("ancientgreek/saves.dat").toStdString();
  QApplication::clipboard()->setText("[λόγος],");
  const struct {
    const char* name;
    TInstanceRequest request;
    std::u16string field;
  } cases[] = {
      {"words", {TInstanceRequestKind::LookUpWord, u"ἄνθρωπος"}, u"\u1F04νθρωπος"},
      {"selection", {TInstanceRequestKind::LookUpSelection, {}}, u"λ\u1F79γος"},
      {"plain start", {TInstanceRequestKind::ComeForward, {}}, u"amo"},
  };
  for (const auto& c : cases) {
    FWindow.reset();
    WriteSavedSearch(saves, u"amo");
    FWindow = std::make_unique<TFormKodra3>();
    SetStartRequest(*FWindow, c.request);
    FWindow->show();
    Settle();
    EXPECT_EQ(FWindow->SearchField()->Text(), c.field) << c.name;
  }
  QApplication::clipboard()->clear();
}

// Two commands issued before the command process wakes run once: the later.
TEST(Commands, TwoRequestsBeforeTheProcessWakesRunOnce) {
  struct TCounting : QObject {
    std::vector<std::u16string> Texts;
    bool event(QEvent* e) override {
      if (e->type() != TCommandEvent::EventType()) return QObject::event(e);
      Texts.push_back(static_cast<TCommandSearch&>(static_cast<TCommandEvent*>(e)->Command).Text);
      return true;
    }
  } window;
  TVornTheater theater;
  auto process = std::make_unique<TCommandProcess>();
  TCommandProcess* sleeping = process.get();
  SetCommandProcess(sleeping);
  TCommandSearch search;
  search.Issue(&window, 1, 0, u"first");
  search.Issue(&window, 1, 0, u"second");
  theater.Start(std::move(process));  // it wakes only now
  QElapsedTimer waited;
  waited.start();
  while (CommandsInFlight() > 0 && waited.elapsed() < 10000) QApplication::processEvents();
  EXPECT_EQ(window.Texts, std::vector<std::u16string>{u"second"});
  SetCommandProcess(nullptr);
  // Told to terminate, the process sleeping on its event ends in one round.
  EXPECT_TRUE(theater.AllFinished() || (QThread::msleep(100), theater.AllFinished()));
}

// A clipboard far too large for a word is refused before anything changes.
TEST_F(MainWindowTest, PastedLegacyGreekIsConvertedAndLookedUp) {
  // Greek typed in the Symbol font by an old word processor.
  auto* data = new QMimeData;
  data->setData("text/rtf", R"({\rtf1\ansi{\fonttbl{\f0 Times New Roman;}{\f1\fcharset2 Symbol;}}\f1 anqrwpos})");
  QApplication::clipboard()->setMimeData(data);
  Settle();
  FWindow->SearchField()->setFocus();
  QTest::keyClick(FWindow->SearchField(), Qt::Key_V, Qt::ControlModifier);
  Settle();
  EXPECT_EQ(FWindow->SearchField()->Text(), u"ανθρωποσ");
  EXPECT_EQ(CurrentKeyword(), u"\u1F04νθρωπος");
  QApplication::clipboard()->clear();
}

TEST_F(MainWindowTest, OverlongClipboardIsRefused) {
  Type("logos");
  const std::u16string before = FWindow->SearchField()->Text();
  QApplication::clipboard()->setText(QString(600000, QChar(u'α')));
  Settle();
  FWindow->SearchField()->setFocus();
  QTest::keyClick(FWindow->SearchField(), Qt::Key_V, Qt::ControlModifier);
  Settle();
  EXPECT_EQ(FWindow->SearchField()->Text(), before);
  EXPECT_EQ(FWindow->Status()->Kind(), skError);
  EXPECT_EQ(FWindow->Status()->HelpKeyword(), "SClipTooLong");
  QApplication::clipboard()->clear();
}

// Screen readers see the keyword list's rows, its current row and the
// names of the parts.
TEST_F(MainWindowTest, ListsShowTheirRowsToScreenReaders) {
  Type("logos");
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(FWindow->KeywordList());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->role(), QAccessible::List);
  EXPECT_EQ(list->text(QAccessible::Name), "Keyword list");
  EXPECT_EQ(list->childCount(), FWindow->Dictionary()->KeywordCount());
  const int current = FWindow->Dictionary()->CurrentIndex();
  QAccessibleInterface* row = list->child(current);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->role(), QAccessible::ListItem);
  EXPECT_EQ(row->text(QAccessible::Name).toStdU16String(), CurrentKeyword());
  EXPECT_TRUE(row->state().selected);
  EXPECT_EQ(list->indexOfChild(row), current);
  EXPECT_EQ(list->text(QAccessible::Value).toStdU16String(), CurrentKeyword());
  EXPECT_EQ(list->child(current), row);  // made once
  EXPECT_EQ(QAccessible::queryAccessibleInterface(FWindow->SearchField())->text(QAccessible::Name), "Search field");
  // The tool bar's button for tools a narrow window hides is named too.
  const auto* more = FWindow->findChild<QToolButton*>("qt_toolbar_ext_button");
  ASSERT_NE(more, nullptr);
  EXPECT_EQ(more->accessibleName(), "More tools");
}

// F6 opens the editor; an article compiled there shows in the window at once.
TEST_F(MainWindowTest, AnArticleCompiledInTheEditorShowsAtOnce) {
  const fs::path source = fs::path(FHome.path().toStdString()) / "ancientgreek" / "main.kds";
  fs::copy_file(fs::path(KODRA_DATA) / "ancientgreek" / "main.kds", source);
  FWindow->InsertWordIntoSearch(u"λ\u1F79γος");
  Settle();
  FWindow->Action("actServiceEditor")->trigger();
  Settle();
  // The article being read goes with it, as a keyword line on the clipboard.
  EXPECT_EQ(QApplication::clipboard()->text().toStdU16String(), u"#λ\u1F79γος");
  TFormKodraEditor* editor = FWindow->Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->isVisible());
  ASSERT_TRUE(editor->OpenFile(source.string()));
  Settle();
  editor->SearchBox()->setFocus();
  editor->UpdateActions();
  editor->Action("actEditPaste")->trigger();
  Settle();
  EXPECT_EQ(editor->SearchBox()->Text(), u"λ\u1F79γος");
  ASSERT_EQ(editor->CurrentKeyword(), u"λ\u1F79γος");
  TKezUnicodeRichEdit& pane = *editor->TextPane();
  pane.setFocus();
  pane.selectAll();
  pane.ReplaceSelection(u"#λ\u1F79γος\r\nслово, речь (новая редакция)\r\n");
  editor->UpdateActions();
  editor->Action("actFileCompile")->trigger();
  Settle();
  EXPECT_EQ(editor->Status()->Text(), "The dictionary compiled");
  EXPECT_EQ(CurrentKeyword(), u"λ\u1F79γος");
  EXPECT_NE(Shown().find(u"новая редакция"), std::u16string::npos);
  // Closing the main window closes the editor first.
  FWindow->close();
  EXPECT_FALSE(editor->isVisible());
}

// A dictionary copied over in place while the window reads it: the next word
// finds the set read again and the window says which file changed.
TEST_F(MainWindowTest, ADictionaryCopiedOverInPlaceIsReadAgainAndNamed) {
  const fs::path folder = fs::path(FHome.path().toStdString()) / "ancientgreek";
  const std::string glossary = (folder / "ntglossary.kdb").string();
  {
    std::ifstream other((folder / "main.kdb").string(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(other)), std::istreambuf_iterator<char>());
    std::ofstream over(glossary, std::ios::binary | std::ios::trunc);  // the same file, not a new one
    over << bytes;
  }
  Type("logos");
  EXPECT_TRUE(FWindow->Status()->Text().contains("ntglossary.kdb") &&
              FWindow->Status()->Text().contains("changed on disk"))
      << FWindow->Status()->Text().toStdString();
  EXPECT_FALSE(Shown().empty());
  EXPECT_TRUE(FWindow->Dictionary()->MarkChangedForReload().empty());
}

// Home page opens the program's web page in the browser, as the help says;
// Contents opens the help.
TEST_F(MainWindowTest, HomePageOpensTheWebPageAndContentsTheHelp) {
  QList<QUrl> opened;
  QStringList topics;
  GlobalData().SetUrlOpener([&](const QUrl& url) {
    opened << url;
    return true;
  });
  GlobalData().SetTopicOpener([&](QWidget*, const QString& topic) { topics << topic; });
  FWindow->Action("actHelpHomePage")->trigger();
  FWindow->Action("actHelpContents")->trigger();
  GlobalData().SetUrlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); });
  GlobalData().SetTopicOpener([](QWidget* parent, const QString& topic) {
    if (topic == "index") OpenHelpContents(parent);
    else OpenHelpTopic(parent, topic);
  });
  EXPECT_EQ(opened, QList<QUrl>{QUrl(HomePageAddress())});
  EXPECT_EQ(topics, QStringList{"index"});
}
