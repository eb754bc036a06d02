// The font table editor: cells clicked into the selected character's
// sequences, saved to the language folder, and the ask-to-save rule.
#include <QAction>
#include <QMessageBox>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "editor/uEditorPrompts.h"
#include "editor/uFontEditor.h"
#include "foundation/KezProgramFolder.h"
#include "language/uFontTableModel.h"
#include "language/uLanguage.h"
#include "options/uOptions.h"
#include "viewer/uData.h"

namespace fs = std::filesystem;

TEST(FontEditor, ClickedCodesAreSavedAndChangesAreNeverDroppedUnasked) {
  QTemporaryDir home;
  const fs::path folder = fs::path(home.path().toStdString());
  fs::create_directory(folder / "ancientgreek");
  const std::string previous = ProgramFolder();
  SetProgramFolder(folder.string());
  int asked = 0;
  int answer = QMessageBox::Cancel;
  EditorPrompts().AskYesNoCancel = [&](QWidget*, const QString&) {
    ++asked;
    return answer;
  };
  {
    TFormFontEditor form(nullptr, FindLanguage("ancientgreek"));
    form.show();
    form.SetFontName("DejaVu Sans");
    EXPECT_EQ(form.FontName(), "dejavu sans");
    EXPECT_TRUE(form.windowTitle().startsWith("dejavu sans - "));
    form.Select(0);
    const char16_t first = form.Model().Character(0);
    form.ClickCode(0x3B);
    form.ClickCode(0x41);
    char line[16];
    std::snprintf(line, sizeof line, "1F,41=%04X", unsigned(first));
    EXPECT_EQ(form.TableLine().toStdString(), line);
    form.UpdateActions();
    EXPECT_TRUE(form.Action("actEditAdd")->isEnabled());
    // Closing with changes asks; Cancel keeps the window and the changes.
    form.reject();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(form.Model().Modified());
    answer = QMessageBox::Yes;
    form.reject();
    EXPECT_FALSE(form.Model().Modified());
  }
  std::ifstream in(folder / "ancientgreek" / "dejavu sans.fnt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str().substr(0, 5), "#00\r\n");
  EXPECT_NE(text.str().find("1F,41="), std::string::npos);
  {
    // Opened again, the table comes back.
    TFormFontEditor form(nullptr, FindLanguage("ancientgreek"));
    form.SetFontName("DejaVu Sans");
    EXPECT_EQ(form.Model().Assignment(0), "\x1F" "A");
    EXPECT_FALSE(form.Model().Modified());
  }
  ResetEditorPrompts();
  SetProgramFolder(previous);
}

namespace {
// A language folder of its own; questions answered from one answer.
class FontEditorTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FHome.isValid());
    fs::create_directory(Folder());
    FPrevious = ProgramFolder();
    SetProgramFolder(FHome.path().toStdString());
    EditorPrompts().AskYesNoCancel = [this](QWidget*, const QString&) {
      ++FAsked;
      return FAnswer;
    };
  }
  void TearDown() override {
    ResetEditorPrompts();
    SetProgramFolder(FPrevious);
  }
  fs::path Folder() const { return fs::path(FHome.path().toStdString()) / "ancientgreek"; }

  QTemporaryDir FHome;
  std::string FPrevious;
  int FAsked = 0;
  int FAnswer = QMessageBox::Cancel;
};
}  // namespace

TEST_F(FontEditorTest, NoDropsTheChangesAndClosesWithoutWriting) {
  TFormFontEditor form(nullptr, FindLanguage("ancientgreek"));
  form.show();
  form.SetFontName("DejaVu Sans");
  form.ClickCode(0x61);
  FAnswer = QMessageBox::No;
  form.reject();
  EXPECT_EQ(FAsked, 1);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.Model().Modified());
  EXPECT_TRUE(form.FontName().empty());
  EXPECT_TRUE(form.Model().Assignment(0).empty());
  EXPECT_FALSE(fs::exists(Folder() / "dejavu sans.fnt"));
}

TEST_F(FontEditorTest, ClicksStopAtTheLimitAndAlternatesAreAddedOnce) {
  TFormFontEditor form(nullptr, FindLanguage("ancientgreek"));
  form.SetFontName("DejaVu Sans");
  form.Select(1);
  QAction* add = form.Action("actEditAdd");
  EXPECT_FALSE(add->isEnabled());  // nothing to follow yet
  form.ClickCode(0x61);
  ASSERT_TRUE(add->isEnabled());
  add->trigger();
  EXPECT_FALSE(add->isEnabled());  // already ends in ";"
  EXPECT_EQ(form.TableLine().left(3), "61=");  // the open alternative is not written
  for (int i = 0; i < 40; ++i) form.ClickCode(0x62);
  EXPECT_EQ(form.Model().Assignment(1).size(), TFontTableModel::kAssignmentLimit);
  form.Action("actEditDelete")->trigger();
  EXPECT_EQ(form.Model().Assignment(1).size(), TFontTableModel::kAssignmentLimit - 1);
  // The ASCII view changes how codes look, not what they are.
  form.Action("actViewASCII")->trigger();
  EXPECT_EQ(form.Model().Assignment(1).substr(0, 3), "a;b");
}

TEST_F(FontEditorTest, ATableThatCannotBeReadIsReportedAndLeavesNoFont) {
  fs::create_directory(Folder() / "broken.fnt");  // there, but no file to read
  const bool box = Options().BoxOnError(), beep = Options().BeepOnError(), help = Options().HelpOnError();
  Options().SetBoxOnError(false);
  Options().SetBeepOnError(true);
  Options().SetHelpOnError(false);
  int reported = 0;
  GlobalData().SetErrorSound([&] { ++reported; });
  {
    TFormFontEditor form(nullptr, FindLanguage("ancientgreek"));
    form.SetFontName("Broken");
    EXPECT_EQ(reported, 1);
    EXPECT_TRUE(form.FontName().empty());
    EXPECT_FALSE(form.Action("actFileSave")->isEnabled());
  }
  GlobalData().SetErrorSound(nullptr);
  Options().SetBoxOnError(box);
  Options().SetBeepOnError(beep);
  Options().SetHelpOnError(help);
}
