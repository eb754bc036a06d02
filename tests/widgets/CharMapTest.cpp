// The character window: its keys and cells put letters into the edit line,
// Shift there shows capitals, Enter and Escape close it.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "editor/uCharMap.h"
#include "editor/uCharMapPads.h"
#include "foundation/KezProgramFolder.h"
#include "language/uGreek.h"
#include "language/uLatin.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace {
std::string Utf8(const std::u16string& text) { return QString::fromStdU16String(text).toStdString(); }

constexpr int kKeyQ = 13;  // the first key of the second row

// The languages with the data folder's tables, and the window shown without
// a modal loop, as exec() would show it.
class CharMapTest : public testing::Test {
protected:
  void SetUp() override {
    FPrevious = ProgramFolder();
    SetProgramFolder(std::string(KODRA_DATA) + "/");
  }
  void TearDown() override { SetProgramFolder(FPrevious); }

  struct TWindow {
    explicit TWindow(const TKodraLanguage& language) : Form(nullptr, &language) {
      Form.show();
      QApplication::processEvents();
    }
    template <class T>
    T* Part(const char* name) {
      T* part = Form.findChild<T*>(name);
      EXPECT_TRUE(part) << name;
      return part;
    }
    void Click(TCharMapPad* pad, int item, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
      QTest::mouseClick(pad->viewport(), Qt::LeftButton, modifiers, pad->ItemViewportRect(item).center());
    }
    QString KeyName(int item) {
      QAccessibleInterface* pad = QAccessible::queryAccessibleInterface(Keyboard);
      QAccessibleInterface* key = pad ? pad->child(item) : nullptr;
      return key ? key->text(QAccessible::Name) : QString();
    }
    TFormCharMap Form;
    TKezUnicodeRichEdit* Edit = Part<TKezUnicodeRichEdit>("Edit");
    TCharMapPad* Keyboard = Part<TCharMapPad>("pbKeyboard");
    TCharMapPad* Table = Part<TCharMapPad>("pbCharMap");
  };

  std::string FPrevious;
  TGreek FGreek;
  TLatin FLatin;
};
}  // namespace

TEST(CharMapKeys, FourRowsOfTheUsLayoutAndTheSpaceBar) {
  const auto& keys = CharMapKeys();
  ASSERT_EQ(keys.size(), size_t(48));
  // Top of each row: its keys and the left edge of its first key.
  const std::map<int, std::pair<int, int>> rows = {{5, {13, 5}}, {42, {13, 53}}, {79, {11, 71}}, {116, {10, 90}}};
  std::map<int, int> counted;
  for (size_t i = 0; i + 1 < keys.size(); ++i) {
    const TCharMapKey& key = keys[i];
    ASSERT_TRUE(rows.count(key.Top)) << i;
    const int inRow = counted[key.Top]++;
    EXPECT_EQ(key.Left, rows.at(key.Top).second + 38 * inRow) << i;
    EXPECT_EQ(key.Right - key.Left, 33) << i;
    EXPECT_EQ(key.Bottom - key.Top, 32) << i;
  }
  for (const auto& [top, row] : rows) EXPECT_EQ(counted[top], row.first) << top;
  EXPECT_EQ(keys[0].Key, u'`');
  EXPECT_EQ(keys[0].ShiftKey, u'~');
  EXPECT_EQ(keys[kKeyQ].Key, u'q');
  EXPECT_EQ(keys[kKeyQ].ShiftKey, u'Q');
  EXPECT_EQ(keys[46].Key, u'/');
  EXPECT_EQ(keys[46].ShiftKey, u'?');
  const TCharMapKey& space = keys[47];
  EXPECT_EQ(std::tuple(space.Left, space.Top, space.Right, space.Bottom, space.Key), std::tuple(139, 153, 398, 185, u' '));

  EXPECT_EQ(CharMapKeyAt(53, 42), kKeyQ);
  EXPECT_EQ(CharMapKeyAt(85, 73), kKeyQ);
  EXPECT_EQ(CharMapKeyAt(86, 50), -1);  // right edges are outside
  EXPECT_EQ(CharMapKeyAt(200, 170), 47);
  EXPECT_EQ(CharMapKeyAt(2, 2), -1);
}

TEST_F(CharMapTest, TheKeyQTypesTheLanguagesLetterAndWithShiftItsCapital) {
  struct TCase {
    const TKodraLanguage* Language;
    bool Shift;
    const char* Expected;
  } cases[] = {
      {&FLatin, false, "q"}, {&FLatin, true, "Q"}, {&FGreek, false, "θ"}, {&FGreek, true, "Θ"},
  };
  for (const TCase& c : cases) {
    TWindow window(*c.Language);
    window.Click(window.Keyboard, kKeyQ, c.Shift ? Qt::ShiftModifier : Qt::NoModifier);
    EXPECT_EQ(Utf8(window.Form.Text()), c.Expected) << c.Language->GetId() << " " << c.Shift;
  }
}

TEST_F(CharMapTest, ShiftInTheEditLineShowsCapitalsOnBothPages) {
  TWindow window(FGreek);
  EXPECT_EQ(window.KeyName(kKeyQ), "θ");
  EXPECT_EQ(window.KeyName(47), "Space");
  QTest::keyPress(window.Edit, Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_TRUE(window.Keyboard->Capitals());
  EXPECT_TRUE(window.Table->Capitals());
  EXPECT_EQ(window.KeyName(kKeyQ), "Θ");
  // The table shows the capitals' grid: a click picks what is shown.
  window.Click(window.Table, 0);
  EXPECT_EQ(Utf8(window.Form.Text()), "Α");
  QTest::keyRelease(window.Edit, Qt::Key_Shift, Qt::NoModifier);
  EXPECT_FALSE(window.Keyboard->Capitals());
  EXPECT_EQ(window.KeyName(kKeyQ), "θ");
}

TEST_F(CharMapTest, ScreenReadersReadEveryKeyAndEveryLetterOfTheTable) {
  TWindow window(FLatin);
  QAccessibleInterface* keyboard = QAccessible::queryAccessibleInterface(window.Keyboard);
  ASSERT_TRUE(keyboard);
  EXPECT_EQ(keyboard->childCount(), 48);
  EXPECT_EQ(keyboard->child(kKeyQ)->text(QAccessible::Name), "q");
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(window.Table);
  ASSERT_TRUE(table);
  // a-z and the sixteen letters with marks; the empty cells are not read.
  ASSERT_EQ(table->childCount(), 42);
  EXPECT_EQ(table->child(0)->text(QAccessible::Name), "a");
  EXPECT_EQ(table->child(41)->text(QAccessible::Name), "ÿ");
  // Pressing a row picks it, as a click does.
  table->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(Utf8(window.Form.Text()), "b");
}

TEST_F(CharMapTest, AnEmptyCellInsertsNothing) {
  TWindow window(FLatin);
  window.Click(window.Table, 13);  // after m on the first row
  EXPECT_EQ(Utf8(window.Form.Text()), "");
  window.Click(window.Table, 12);
  EXPECT_EQ(Utf8(window.Form.Text()), "m");
}

TEST_F(CharMapTest, TheEditLineTypesThroughTheInputMethod) {
  TWindow window(FGreek);
  QTest::keyClick(window.Edit, Qt::Key_A);
  QTest::keyClick(window.Edit, Qt::Key_ParenRight, Qt::ShiftModifier);
  QTest::keyClick(window.Edit, Qt::Key_Slash);
  EXPECT_EQ(Utf8(window.Form.Text()), "ἄ");
  // A picked letter goes in at the caret.
  window.Edit->SetSelection(0, 0);
  window.Click(window.Keyboard, kKeyQ);
  EXPECT_EQ(Utf8(window.Form.Text()), "θἄ");
}

TEST_F(CharMapTest, EnterClosesWithOkEvenWhenEmptyAndEscapeCancels) {
  struct TCase {
    Qt::Key Key;
    int Result;
  } cases[] = {{Qt::Key_Return, QDialog::Accepted}, {Qt::Key_Enter, QDialog::Accepted}, {Qt::Key_Escape, QDialog::Rejected}};
  for (const TCase& c : cases) {
    TWindow window(FLatin);
    EXPECT_FALSE(window.Part<QAction>("actApply")->isEnabled());
    QTest::keyClick(window.Edit, c.Key);
    QApplication::processEvents();
    EXPECT_FALSE(window.Form.isVisible()) << c.Key;
    EXPECT_EQ(window.Form.result(), c.Result) << c.Key;
    EXPECT_EQ(Utf8(window.Form.Text()), "");
  }
}

TEST_F(CharMapTest, ApplyNeedsATextAndClosesWithIt) {
  TWindow window(FLatin);
  window.Click(window.Keyboard, kKeyQ);
  QAction* apply = window.Part<QAction>("actApply");
  ASSERT_TRUE(apply->isEnabled());
  apply->trigger();
  QApplication::processEvents();
  EXPECT_EQ(window.Form.result(), QDialog::Accepted);
  EXPECT_EQ(Utf8(window.Form.Text()), "q");
}

TEST_F(CharMapTest, TheNextWindowOpensOnTheLastPage) {
  for (int page : {1, 0}) {
    {
      TWindow window(FLatin);
      window.Part<QTabWidget>("PageControl")->setCurrentIndex(page);
      window.Form.reject();
    }
    TWindow next(FLatin);
    EXPECT_EQ(next.Part<QTabWidget>("PageControl")->currentIndex(), page);
  }
}
