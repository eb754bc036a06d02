// The Russian interface language covers every text the program shows: the
// parts of every window (the keys their localisation looks up) and every
// message key the sources name.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "BundledProgramFolder.h"
#include "editor/uCharMap.h"
#include "editor/uFontEditor.h"
#include "editor/uFormKodraEditor.h"
#include "viewer/uFormDictionariesManager.h"
#include "foundation/KezLocale.h"
#include "foundation/KezProgramFolder.h"
#include "language/uLanguage.h"
#include "options/uOptions.h"
#include "viewer/uData.h"
#include "viewer/uFormKodra3.h"
#include "viewer/uHelpWindow.h"
#include "viewer/uProgress.h"
#include "viewer/uToolkitTranslation.h"

namespace fs = std::filesystem;

namespace {
// The keys LocalizeForm looks up for a window's named parts.
void AddPartKeys(const QWidget& form, const std::string& prefix, std::set<std::string>& keys) {
  keys.insert(prefix + "Caption");
  // Parts are localised when their names carry the type prefix of their
  // kind; other names (pop-up menus, the status bar's panels) are not texts.
  auto add = [&](const QString& name, const char* type) {
    if (name.startsWith(type) && name.size() > int(strlen(type))) keys.insert(prefix + name.mid(int(strlen(type))).toStdString());
  };
  for (const QAction* action : form.findChildren<QAction*>())
    if (!action->isSeparator()) {
      add(action->objectName(), "act");
      add(action->objectName(), "mnu");
    }
  for (const QWidget* part : form.findChildren<QWidget*>()) {
    const QString name = part->objectName();
    if (qobject_cast<const QMenu*>(part)) add(name, "mnu");
    else if (qobject_cast<const QCheckBox*>(part)) add(name, "chk");
    else if (qobject_cast<const QPushButton*>(part) || qobject_cast<const QToolButton*>(part)) add(name, "btn");
    else if (qobject_cast<const QLabel*>(part)) add(name, "lbl");
    else if (qobject_cast<const QGroupBox*>(part)) add(name, "gb");
    else if (qobject_cast<const QRadioButton*>(part)) add(name, "rb");
  }
}

// The message keys named in the sources: Tr("Key", ...), Text("Key", ...),
// ShowText(kind, "Key", ...) and the identifiers of raised errors.
void AddSourceKeys(std::set<std::string>& keys) {
  const std::regex named(R"re((?:\bTr|\bText|RaiseHelpedError|RaiseHelpedErrorAt\([^,()]*,|ShowText\([^,()]*,|THelpedException)\(?\s*"([A-Za-z][A-Za-z0-9]*)")re");
  // Tables of actions {"actName", "Key", ...}, of keys and their English
  // texts {"Key", "Text"}, and keys chosen by a switch (someKey = "Key").
  const std::regex tabled(R"re(\{"act[A-Za-z0-9]+",\s*"([A-Z][A-Za-z0-9]*)")re");
  const std::regex paired(R"re(\{"([A-Z][A-Za-z0-9]+)",\s*"[^"]*"\})re");
  const std::regex chosen(R"re(Key = "([A-Z][A-Za-z0-9]+)")re");
  for (const char* folder : {"viewer", "editor", "widgets", "options", "language", "source", "dictionary", "foundation", "render"})
    for (const auto& file : fs::recursive_directory_iterator(fs::path(KODRA_SOURCE_DIR) / folder)) {
      if (file.path().extension() != ".cpp" && file.path().extension() != ".h") continue;
      std::ifstream in(file.path());
      std::stringstream text;
      text << in.rdbuf();
      const std::string source = text.str();
      for (const std::regex* pattern : {&named, &tabled, &paired, &chosen})
        for (std::sregex_iterator it(source.begin(), source.end(), *pattern), end; it != end; ++it)
          keys.insert((*it)[1]);
    }
  for (const TErrorIndexRow& row : ErrorIndexRows()) keys.insert(row.Identifier);
}

// The options rows and their named values: the window that shows them
// builds its keys from these names.
void AddOptionKeys(std::set<std::string>& keys) {
  keys.insert("OptionsCaption");
  for (const char* row :
       {"LocaleName", "HotKey", "AbbrExpansion", "DefFontName", "SearchFont", "ListFont", "ArticleFont", "StatusFont",
        "EditorFont", "PopupHelpFont", "CaptionTag", "HeaderTag", "MarkTag", "AuthorTag", "EnumTag", "CommentTag",
        "ExampleTag", "EditorColors", "FullTextSearch", "ErrorsAndHints", "FontName", "FontSize", "RelSize", "Color",
        "Bold", "Italic", "Underline", "Coloring", "TagColor", "RussianColor", "SearchInComment", "MaxSearch",
        "ShowKind", "HighlightAll", "BeepOnError", "BoxOnError", "HelpOnError", "ShowPopupHint", "ShowStatusHint",
        "StatusDelay"})
    keys.insert(std::string("Option") + row);
  for (const char* colour : {"Black", "Maroon", "Green", "Olive", "Navy", "Purple", "Teal", "Gray", "Silver", "Red",
                             "Lime", "Yellow", "Blue", "Fuchsia", "Aqua", "White", "None"})
    keys.insert(std::string("OptionColor") + colour);
  for (const char* mode : {"FirstLetter", "AllWord", "LowerIndex"}) keys.insert(std::string("OptionAbbrExpansion") + mode);
  for (const char* kind : {"All", "First"}) keys.insert(std::string("OptionResultKind") + kind);
}
}  // namespace

TEST(RussianLanguage, CoversEveryKey) {
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  const std::string previous = ProgramFolder();
  UseBundledProgramFolder(home.path());
  std::set<std::string> keys;
  {
    TFormKodra3 window;
    AddPartKeys(window, "Main", keys);
    TFormProgress progress;
    AddPartKeys(progress, "Progress", keys);
    TFormKodraEditor editor;
    AddPartKeys(editor, "Editor", keys);
    TFormDictionariesManager manager(nullptr, FindLanguage("ancientgreek"), home.path().toStdString() + "/ancientgreek");
    AddPartKeys(manager, "DicManager", keys);
    TFormFontEditor fontEditor(nullptr, FindLanguage("ancientgreek"));
    AddPartKeys(fontEditor, "ImpFont", keys);
    TFormCharMap charMap(nullptr, FindLanguage("ancientgreek"));
    AddPartKeys(charMap, "Chars", keys);
  }
  SetProgramFolder(previous);
  AddSourceKeys(keys);
  AddOptionKeys(keys);
  ASSERT_GT(keys.size(), size_t(90));

  TKezLocale russian;
  russian.Load(std::string(KODRA_SOURCE_DIR) + "/locale/Russian.lng");
  std::string missing;
  for (const std::string& key : keys) {
    std::string value;
    if (!russian.Find(key, value)) missing += key + "\n";
  }
  EXPECT_EQ(missing, "") << "Russian.lng lacks these keys";
}

// A key given twice keeps its first text only: the second meaning would be
// shown the first one's words.
TEST(RussianLanguage, NoKeyIsGivenTwice) {
  std::ifstream file(std::string(KODRA_SOURCE_DIR) + "/locale/Russian.lng", std::ios::binary);
  std::map<std::string, int> lines;
  std::string repeated;
  int number = 0;
  for (std::string line; std::getline(file, line);) {
    ++number;
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0 || line[0] == ' ' || line[0] == '\t') continue;
    const auto [at, added] = lines.emplace(line.substr(0, equals), number);
    if (!added) repeated += at->first + " (lines " + std::to_string(at->second) + ", " + std::to_string(number) + ")\n";
  }
  EXPECT_GT(lines.size(), size_t(90));
  EXPECT_EQ(repeated, "");
}

// Each menu of a window's menu bar has an access key of its own, in either
// language: Alt and the letter opens that menu and no other.
TEST(RussianLanguage, MenuBarAccessKeysAreDistinct) {
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  fs::copy_file(fs::path(KODRA_SOURCE_DIR) / "locale" / "Russian.lng",
                fs::path(home.path().toStdString()) / "Russian.lng");
  const std::string previous = ProgramFolder();
  UseBundledProgramFolder(home.path());
  for (const char* language : {"English", "Russian"}) {
    Options().SetLocaleName(language);
    if (std::string(language) == "Russian") Locale().Load(home.path().toStdString() + "/Russian.lng");
    else Locale().Clear();
    TFormKodra3 window;
    TFormKodraEditor editor;
    TFormFontEditor fontEditor(nullptr, FindLanguage("ancientgreek"));
    for (const QWidget* form : std::initializer_list<const QWidget*>{&window, &editor, &fontEditor})
      for (const QMenuBar* bar : form->findChildren<QMenuBar*>()) {
        std::map<QChar, QString> keys;
        for (const QAction* menu : bar->actions()) {
          const QString title = menu->text();
          const qsizetype at = title.indexOf('&');
          ASSERT_GE(at, 0) << language << " " << form->objectName().toStdString() << ": " << title.toStdString();
          const QChar key = title.at(at + 1).toLower();
          const auto [was, added] = keys.emplace(key, title);
          EXPECT_TRUE(added) << language << " " << form->objectName().toStdString() << ": " << title.toStdString()
                             << " and " << was->second.toStdString();
        }
        EXPECT_GE(keys.size(), size_t(4)) << form->objectName().toStdString();
      }
  }
  Options().SetLocaleName("English");
  Locale().Clear();
  ApplyToolkitTranslation("English");
  SetProgramFolder(previous);
}
