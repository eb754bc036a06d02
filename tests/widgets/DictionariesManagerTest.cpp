// The dictionaries manager on a copy of the bundled Greek folder: toggled
// by key and by mouse, Ok writes the choice, Cancel leaves the file alone,
// and a choice that cannot be written is told, not taken as made.
#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "dictionary/uDictionariesManager.h"
#include "language/uLanguage.h"
#include "viewer/uFormDictionariesManager.h"
#include "widgets/KezListBox.h"

namespace fs = std::filesystem;

namespace {
std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
}  // namespace

TEST(DictionariesManager, KeysAndTheLeftEdgeToggleOkWritesCancelKeeps) {
  QTemporaryDir home;
  const fs::path folder = fs::path(home.path().toStdString()) / "ancientgreek";
  fs::copy(fs::path(KODRA_BIN_DIR) / "ancientgreek", folder, fs::copy_options::recursive);
  const fs::path configuration = folder / "dictionaries.cfg";
  std::ofstream(configuration, std::ios::binary) << "main\r\nforms\r\n";
  const TKodraLanguage* greek = FindLanguage("ancientgreek");
  {
    TFormDictionariesManager form(nullptr, greek, folder.string());
    form.show();
    ASSERT_EQ(form.List().Count(), 3);  // main, forms and the NT glossary, which is not configured here
    TKezListBox& list = *form.ListBox();
    list.setFocus();
    list.SelectIndex(0);
    const bool first = form.List().Item(0).Header.Checked;
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_EQ(form.List().Item(0).Header.Checked, !first);
    // A screen reader hears the row's name, caption and state.
    QAccessibleInterface* rows = QAccessible::queryAccessibleInterface(&list);
    ASSERT_TRUE(rows && rows->childCount() == 3);
    const QString row = rows->child(0)->text(QAccessible::Name);
    EXPECT_TRUE(row.startsWith(QString::fromStdString(form.List().Item(0).Name) + ", ")) << row.toStdString();
    EXPECT_TRUE(row.contains(QString::fromStdU16String(form.List().Item(0).Header.Caption))) << row.toStdString();
    EXPECT_TRUE(row.endsWith(first ? ", unchecked" : ", checked")) << row.toStdString();
    form.reject();
    EXPECT_FALSE(form.Modified());
  }
  EXPECT_EQ(Read(configuration), "main\r\nforms\r\n");
  {
    TFormDictionariesManager form(nullptr, greek, folder.string());
    form.show();
    TKezListBox& list = *form.ListBox();
    int32_t forms = 0;
    while (forms < form.List().Count() && form.List().Item(forms).Name != "forms") ++forms;
    ASSERT_LT(forms, form.List().Count());
    // A click released near the left edge toggles the row under it.
    const int y = list.ItemHeight() * (forms - list.TopIndex()) + list.ItemHeight() / 2;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(20, y));
    EXPECT_FALSE(form.List().Item(forms).Header.Checked);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(120, y));  // on the name: no toggle
    EXPECT_FALSE(form.List().Item(forms).Header.Checked);
    form.accept();
    EXPECT_TRUE(form.Modified());
  }
  EXPECT_EQ(Read(configuration), "main\r\n");
}

// A configured dictionary whose file is half copied when the manager opens:
// Ok with no change writes nothing, and the row says why it is greyed.
TEST(DictionariesManager, OkWithoutAChangeKeepsADictionaryItCannotReadNow) {
  QTemporaryDir home;
  const fs::path folder = fs::path(home.path().toStdString()) / "ancientgreek";
  fs::copy(fs::path(KODRA_BIN_DIR) / "ancientgreek", folder, fs::copy_options::recursive);
  const fs::path configuration = folder / "dictionaries.cfg";
  std::ofstream(configuration, std::ios::binary) << "main\r\nforms\r\n";
  fs::resize_file(folder / "forms.kdb", 10);
  TFormDictionariesManager form(nullptr, FindLanguage("ancientgreek"), folder.string());
  form.show();
  QAccessibleInterface* rows = QAccessible::queryAccessibleInterface(form.ListBox());
  ASSERT_TRUE(rows);
  QString formsRow;
  for (int i = 0; i < rows->childCount(); ++i)
    if (rows->child(i)->text(QAccessible::Name).startsWith("forms, ")) formsRow = rows->child(i)->text(QAccessible::Name);
  EXPECT_EQ(formsRow, "forms, not available: the file cannot be read as a dictionary, checked");
  form.accept();
  EXPECT_FALSE(form.Modified());
  EXPECT_EQ(Read(configuration), "main\r\nforms\r\n");
}

TEST(DictionariesManager, AFailedWriteIsToldAndNothingCountsAsChanged) {
  QTemporaryDir home;
  const fs::path folder = fs::path(home.path().toStdString()) / "ancientgreek";
  fs::copy(fs::path(KODRA_BIN_DIR) / "ancientgreek", folder, fs::copy_options::recursive);
  // A folder where the configuration belongs: unreadable, and no file can replace it.
  fs::remove(folder / "dictionaries.cfg");
  fs::create_directories(folder / "dictionaries.cfg" / "inside");
  TFormDictionariesManager form(nullptr, FindLanguage("ancientgreek"), folder.string());
  form.show();
  // Unreadable is no change; the reader's change is, and cannot be written.
  ASSERT_FALSE(form.List().Modified());
  form.List().Toggle(0);
  ASSERT_TRUE(form.List().Modified());
  QString told;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      told = box->text();
      box->close();
    }
  });
  closer.start(20);
  form.accept();
  EXPECT_TRUE(told.contains(QString::fromStdString((folder / "dictionaries.cfg").string()))) << told.toStdString();
  EXPECT_TRUE(told.contains(QString::fromLocal8Bit(std::strerror(EISDIR)))) << told.toStdString();
  EXPECT_FALSE(form.Modified());
  EXPECT_TRUE(fs::is_directory(folder / "dictionaries.cfg" / "inside"));
}
