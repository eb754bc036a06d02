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
