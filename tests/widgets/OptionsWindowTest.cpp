// The options window on the main window: changes take effect while it is
// open, the interface language switches both ways, and closing saves.
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <QTreeWidgetItem>
#include <QStyledItemDelegate>
#include <functional>
#include <filesystem>
#include <gtest/gtest.h>

#include "BundledProgramFolder.h"
#include "SettleEvents.h"
#include "foundation/KezLocale.h"
#include "viewer/hotkey/uHotKey.h"
#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"
#include "viewer/uFormKodra3.h"
#include "viewer/uOptionsForm.h"
#include "viewer/uStatusLine.h"
#include "viewer/uToolkitTranslation.h"
#include "widgets/KezObjectInspectorGrid.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace fs = std::filesystem;

namespace {
class OptionsWindowTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FHome.isValid());
    const fs::path home = FHome.path().toStdString();
    fs::copy_file(fs::path(KODRA_SOURCE_DIR) / "locale" / "Russian.lng", home / "Russian.lng");
    FPrevious = ProgramFolder();
    UseBundledProgramFolder(FHome.path());
    Options().SetLocaleName("English");
    Locale().Clear();
    Options().SetFileName((home / "kodra3.ini").string());
    FWindow = std::make_unique<TFormKodra3>();
    FWindow->show();
    SettleEvents();
    Options().SetNotifiers([this] { FWindow->InterfaceLanguageChanged(); }, [this] { FWindow->OptionsChanged(); });
    FForm = std::make_unique<TFormOptions>(FWindow.get());
    FForm->show();
    SettleEvents();
  }
  void TearDown() override {
    FForm.reset();
    Options().ClearNotifiers();
    FWindow.reset();
    Options().SetLocaleName("English");
    Locale().Clear();
    ApplyToolkitTranslation("English");
    Options().SetFileName("");
    SetProgramFolder(FPrevious);
  }
  // Sets a row as the user does, by its text.
  void Set(const std::string& path, const QString& text) {
    const int row = FForm->RowOfPath(path);
    ASSERT_GE(row, 0) << path;
    FForm->Grid()->SetCurrentRow(row);
    FForm->Grid()->OnSetText(row, text);
    FForm->Grid()->RefreshValues();
    SettleEvents();
  }
  QString Shown(const std::string& path) const {
    return FForm->Grid()->RowItem(FForm->RowOfPath(path))->text(1);
  }

  QTemporaryDir FHome;
  std::string FPrevious;
  std::unique_ptr<TFormKodra3> FWindow;
  std::unique_ptr<TFormOptions> FForm;
};
}  // namespace

TEST_F(OptionsWindowTest, AnArticleFontChangeShowsAtOnce) {
  Set("ArticleFont.FontName", "DejaVu Serif");
  Set("ArticleFont.FontSize", "17");
  EXPECT_EQ(Shown("ArticleFont.FontName"), "DejaVu Serif");
  const QFont font = FWindow->ArticleView()->font();
  EXPECT_EQ(font.family(), "DejaVu Serif");
  EXPECT_EQ(font.pointSize(), 17);
}

TEST_F(OptionsWindowTest, TheInterfaceLanguageSwitchesBothWays) {
  QAction* undo = FWindow->Action("actEditUndo");
  ASSERT_EQ(undo->text(), "&Undo");
  Set("LocaleName", "Russian");
  EXPECT_EQ(FForm->windowTitle().toStdString(), Locale().Text("OptionsCaption", "?"));
  EXPECT_EQ(undo->text(), "&Отменить");
  EXPECT_EQ(FWindow->menuBar()->actions().front()->text(), "&Словарь");
  const int row = FForm->RowOfPath("StatusDelay");
  EXPECT_EQ(FForm->Grid()->RowItem(row)->text(0), "Задержка подсказки");
  EXPECT_EQ(FForm->HintCaption().toStdString(), Locale().Text("OptionLocaleName", "?").substr(0, Locale().Text("OptionLocaleName", "?").find('|')));
  // Back to the built-in language: the built-in texts come back.
  Set("LocaleName", "English");
  EXPECT_EQ(undo->text(), "&Undo");
  EXPECT_EQ(FWindow->menuBar()->actions().front()->text(), "&Dictionary");
  EXPECT_EQ(FForm->Grid()->RowItem(row)->text(0), "Hint delay");
}

// The window's caption follows the language both ways, and each language
// is listed and shown by its own name while the settings keep its file's.
TEST_F(OptionsWindowTest, CaptionAndLanguageNamesFollowTheLanguage) {
  EXPECT_EQ(FForm->windowTitle(), "Options");
  const int row = FForm->RowOfPath("LocaleName");
  QStringList listed;
  for (const auto& entry : FForm->Grid()->OnGetList(row)) listed << entry.Name;
  EXPECT_EQ(listed, (QStringList{"English", QString::fromUtf8("Русский")}));
  EXPECT_EQ(Shown("LocaleName"), "English");
  Set("LocaleName", QString::fromUtf8("Русский"));
  EXPECT_EQ(Options().LocaleName(), "Russian");
  EXPECT_EQ(Shown("LocaleName"), QString::fromUtf8("Русский"));
  EXPECT_EQ(FForm->windowTitle(), QString::fromUtf8("Настройки"));
  Set("LocaleName", "English");
  EXPECT_EQ(Options().LocaleName(), "English");
  EXPECT_EQ(FForm->windowTitle(), "Options");
}

// A live switch of the language says the status bar's message, and the name
// of its kind, in the new language; and back again.
TEST_F(OptionsWindowTest, TheStatusBarFollowsTheLanguage) {
  TStatusLine& status = *FWindow->Status();
  const auto* kind = status.findChild<QLabel*>("StatusKind");
  ASSERT_NE(kind, nullptr);
  const struct {
    std::function<void()> cause;
    const char* english;
    const char* russian;
    const char* kindEnglish;
    const char* kindRussian;
  } cases[] = {
      {[] {}, "Active dictionaries count: ", "Активных словарей: ", "Information", "Сообщение"},
      {[this] { FWindow->InsertWordIntoSearch(u"λογοξ"); }, "\u201Cλογοξ\u201D not found; nearest keyword: ",
       "«λογοξ» не найдено; ближайшее слово: ", "Warning", "Предупреждение"},
  };
  for (const auto& c : cases) {
    c.cause();
    SettleEvents();
    SCOPED_TRACE(c.english);
    EXPECT_TRUE(status.Text().startsWith(QString::fromUtf8(c.english))) << status.Text().toStdString();
    EXPECT_EQ(kind->accessibleName(), c.kindEnglish);
    Set("LocaleName", "Russian");
    EXPECT_TRUE(status.Text().startsWith(QString::fromUtf8(c.russian))) << status.Text().toStdString();
    EXPECT_EQ(kind->accessibleName(), QString::fromUtf8(c.kindRussian));
    Set("LocaleName", "English");
    EXPECT_TRUE(status.Text().startsWith(QString::fromUtf8(c.english))) << status.Text().toStdString();
    EXPECT_EQ(kind->accessibleName(), c.kindEnglish);
  }
}

// Every caption shows whole beside its value, in either language and with
// the font of a desktop that sets large letters: the column, and where need
// be the window, grows to the longest caption.
TEST_F(OptionsWindowTest, CaptionsShowWhole) {
  const QFont usual = QApplication::font();
  for (const int points : {0, 13}) {
    QFont font = usual;
    if (points > 0) font.setPointSize(points);
    QApplication::setFont(font);
    Set("LocaleName", "English");
    FForm = std::make_unique<TFormOptions>(FWindow.get());
    FForm->show();
    SettleEvents();
    TKezObjectInspectorGrid& grid = *FForm->Grid();
    for (const char* language : {"English", "Russian"}) {
      Set("LocaleName", language);
      SettleEvents();
      for (int row = 0; row < grid.RowCount(); ++row) {
        const QTreeWidgetItem* item = grid.RowItem(row);
        int level = 0;
        for (const QTreeWidgetItem* up = item->parent(); up; up = up->parent()) ++level;
        const int needed =
            grid.indentation() * (level + 1) + QFontMetrics(item->font(0)).horizontalAdvance(item->text(0));
        EXPECT_LT(needed, grid.Divider()) << points << " pt, " << language << ": " << item->text(0).toStdString();
      }
      EXPECT_LE(grid.Divider(), grid.viewport()->width() * 2 / 3) << points << " pt, " << language;  // values keep room
    }
  }
  QApplication::setFont(usual);
}

// The page shown before the first article speaks the interface language,
// and follows a change of it.
TEST_F(OptionsWindowTest, TheFirstPageFollowsTheLanguage) {
  auto shown = [this] { return QString::fromStdU16String(FWindow->ArticleView()->Text()); };
  ASSERT_TRUE(shown().contains("Type a word in the search field")) << shown().toStdString();
  Set("LocaleName", "Russian");
  EXPECT_TRUE(shown().contains(QString::fromUtf8("Наберите слово в поле поиска"))) << shown().toStdString();
  EXPECT_TRUE(shown().contains(QString::fromUtf8("Словарь древнегреческого и латинского языков")));
  Set("LocaleName", "English");
  EXPECT_TRUE(shown().contains("Type a word in the search field")) << shown().toStdString();
  // Once an article is shown the page is gone, and a change leaves the article.
  FWindow->InsertWordIntoSearch(u"λόγος");
  SettleEvents();
  const QString article = shown();
  ASSERT_FALSE(article.contains("Type a word"));
  Set("LocaleName", "Russian");
  EXPECT_EQ(shown(), article);
}

TEST_F(OptionsWindowTest, BadValuesAreExplainedAndKept) {
  Set("StatusDelay", "soon");
  EXPECT_TRUE(FForm->HintIsError());
  EXPECT_EQ(FForm->HintCaption(), "Hint delay");
  EXPECT_NE(FForm->HintText().indexOf("soon"), -1);
  EXPECT_EQ(Shown("StatusDelay"), QString::number(Options().StatusDelay()));
  // An explanation of the hot key tells when the key could not be taken.
  FForm->SetHotKeyNote([] { return QString("held elsewhere"); });
  FForm->Grid()->SetCurrentRow(FForm->RowOfPath("LocaleName"));
  FForm->Grid()->SetCurrentRow(FForm->RowOfPath("HotKey"));
  EXPECT_FALSE(FForm->HintIsError());
  EXPECT_TRUE(FForm->HintText().endsWith("held elsewhere"));
  // A value too long to show is cut.
  EXPECT_EQ(TKezObjectInspectorGrid::ShownValue(QString(250, 'x')), QString(200, 'x') + "...");
}

// Opening a drop-down whose value it does not list, and leaving it, keeps
// the value: a colour of its own, an interface language without its file.
TEST_F(OptionsWindowTest, LeavingAListThatLacksTheValueKeepsIt) {
  Options().EditorColors().SetRussianColor(TColor(0x123456));
  Options().SetLocaleName("Latvian");
  FForm->Grid()->RefreshValues();
  struct { const char* path; std::function<bool()> kept; } cases[] = {
      {"EditorColors.RussianColor", [] { return Options().EditorColors().RussianColor() == TColor(0x123456); }},
      {"LocaleName", [] { return Options().LocaleName() == "Latvian"; }},
  };
  TKezObjectInspectorGrid& grid = *FForm->Grid();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const int row = FForm->RowOfPath(c.path);
    ASSERT_GE(row, 0);
    QTreeWidgetItem* item = grid.RowItem(row);
    for (QTreeWidgetItem* up = item->parent(); up; up = up->parent()) up->setExpanded(true);
    grid.SetCurrentRow(row);
    const QModelIndex cell = grid.currentIndex().siblingAtColumn(1);
    const QString before = Shown(c.path);
    QWidget* editor = grid.itemDelegate()->createEditor(grid.viewport(), QStyleOptionViewItem(), cell);
    ASSERT_NE(editor, nullptr);
    grid.itemDelegate()->setEditorData(editor, cell);
    grid.itemDelegate()->setModelData(editor, grid.model(), cell);
    delete editor;
    EXPECT_TRUE(c.kept());
    EXPECT_EQ(Shown(c.path), before);
  }
  Options().SetLocaleName("English");
}

// A new hot key is taken while the window is open, and a key that could
// not be taken is said at once, in full.
TEST_F(OptionsWindowTest, ANewHotKeyIsTakenAndItsNoteShownAtOnce) {
  FForm->SetHotKeyNote([this] { return FWindow->HotKeyNote(); });
  const TShortCut before = Options().HotKey();
  Set("HotKey", "Ctrl+Alt+K");
  ASSERT_NE(Options().HotKey(), before);
  EXPECT_EQ(FWindow->HotKey()->Registered(), Options().HotKey());
  // Offscreen no key can be taken: the note says so now.
  EXPECT_TRUE(FForm->HintText().endsWith(FWindow->HotKeyNote())) << FForm->HintText().toStdString();
  auto* text = FForm->findChild<QLabel*>("HintText");
  ASSERT_NE(text, nullptr);
  SettleEvents();
  EXPECT_GE(text->height(), text->heightForWidth(text->width()));
}

// Font sizes are bounded: one out of range is explained and not taken.
TEST_F(OptionsWindowTest, FontSizesOutOfRangeAreRefused) {
  const int32_t before = Options().ArticleFont().FontSize();
  struct { const char* text; bool taken; } cases[] = {
      {"0", false}, {"-5", false}, {"5", false}, {"73", false}, {"500", false}, {"99999", false},
      {"6", true}, {"72", true}, {"14", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Options().ArticleFont().SetFontSize(before);
    Set("ArticleFont.FontSize", c.text);
    EXPECT_EQ(FForm->HintIsError(), !c.taken);
    EXPECT_EQ(Options().ArticleFont().FontSize(), c.taken ? std::stoi(c.text) : before);
    if (!c.taken) {
      EXPECT_NE(FForm->HintText().indexOf("from 6 to 72"), -1) << FForm->HintText().toStdString();
    }
  }
  // A size out of range in a hand-edited settings file is read as the nearest allowed.
  Options().ArticleFont().SetFontSize(99999);
  EXPECT_EQ(Options().FontChoice(Options().ArticleFont()).Size, 72);
  Options().ArticleFont().SetFontSize(before);
}

TEST_F(OptionsWindowTest, ClosingSavesTheSettingsEvenUnchanged) {
  const fs::path file = Options().FileName();
  fs::remove(file);
  FForm->close();
  EXPECT_TRUE(fs::exists(file));
}

TEST_F(OptionsWindowTest, KeysOpenGroupsToggleBoxesAndAskForHelp) {
  TKezObjectInspectorGrid& grid = *FForm->Grid();
  grid.setFocus();
  const int group = FForm->RowOfPath("ErrorsAndHints");
  const int beep = FForm->RowOfPath("BeepOnError");
  grid.SetCurrentRow(group);
  EXPECT_FALSE(grid.RowItem(group)->isExpanded());
  for (const Qt::Key key : {Qt::Key_Plus, Qt::Key_Equal, Qt::Key_Right}) {
    grid.RowItem(group)->setExpanded(false);
    QTest::keyClick(&grid, key);
    EXPECT_TRUE(grid.RowItem(group)->isExpanded()) << key;
  }
  QTest::keyClick(&grid, Qt::Key_Minus);
  EXPECT_FALSE(grid.RowItem(group)->isExpanded());
  // The group's rows change the options themselves.
  grid.RowItem(group)->setExpanded(true);
  grid.SetCurrentRow(beep);
  const bool before = Options().BeepOnError();
  QTest::keyClick(&grid, Qt::Key_Space);
  EXPECT_EQ(Options().BeepOnError(), !before);
  int asked = -1;
  grid.OnHelp = [&](int row) { asked = row; };
  QTest::keyClick(&grid, Qt::Key_F1);
  EXPECT_EQ(asked, beep);
}
