// The editor's search window: what it lets be searched, what it remembers
// from one search to the next, and how its fields type.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "editor/uFormEditorSearch.h"
#include "foundation/KezProgramFolder.h"
#include "language/uGreek.h"
#include "viewer/keyboard/uSystemKeyboard.h"
#include "viewer/uData.h"
#include "viewer/uHelpWindow.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace {
std::string Utf8(const std::u16string& text) { return QString::fromStdU16String(text).toStdString(); }

// Keys as a US keyboard sends them: the shifted signs come with Shift.
void Type(QWidget* edit, const char* keys) {
  for (const char* k = keys; *k; ++k) {
    const bool shifted = std::string_view(")(|+:\"<>?~{}_!@#$%^&*").find(*k) != std::string_view::npos ||
                         (*k >= 'A' && *k <= 'Z');
    const int key = (*k >= 'a' && *k <= 'z') ? Qt::Key_A + (*k - 'a') : QKeySequence(QString(QChar(*k)))[0].key();
    QTest::keyClick(edit, Qt::Key(key), shifted ? Qt::ShiftModifier : Qt::NoModifier);
  }
}

// The Greek of the data folder's tables, an owner window, and the remembered
// settings as at program start.
class EditorSearchTest : public testing::Test {
protected:
  void SetUp() override {
    FPrevious = ProgramFolder();
    SetProgramFolder(std::string(KODRA_DATA) + "/");
    EditorSearchSettings() = {};
    FOwner.resize(800, 600);
    FOwner.show();
  }
  void TearDown() override {
    SystemKeyboard().Report(true);
    EditorSearchSettings() = {};
    SetProgramFolder(FPrevious);
  }

  // A dialog shown without a modal loop, as the editor's exec() would show it.
  struct TDialog {
    TDialog(QWidget* owner, const TKodraLanguage* language) : Form(owner, language) {
      Form.show();
      QApplication::processEvents();
    }
    template <class T>
    T* Part(const char* name) {
      T* part = Form.findChild<T*>(name);
      EXPECT_TRUE(part) << name;
      return part;
    }
    TFormEditorSearch Form;
    TKezUnicodeRichEdit* Search = Part<TKezUnicodeRichEdit>("edSearch");
    TKezUnicodeRichEdit* Replace = Part<TKezUnicodeRichEdit>("edReplace");
    QAction* SearchAction = Part<QAction>("actSearch");
    QAction* LanguageAction = Part<QAction>("actLanguage");
  };

  std::string FPrevious;
  TGreek FGreek;
  QWidget FOwner;
};
}  // namespace

TEST_F(EditorSearchTest, SearchNeedsATextAndAPart) {
  struct TCase {
    const char* Name;
    std::u16string Text;
    uint8_t Parts;
    bool Enabled;
  };
  const TCase cases[] = {
      {"empty text", u"", kSearchHeader | kSearchArticles, false},
      {"no part", u"λόγος", 0, false},
      {"one part", u"λόγος", kSearchMarks, true},
      {"every part", u"lex", kSearchHeader | kSearchMarks | kSearchAuthors | kSearchArticles, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EditorSearchSettings() = {c.Text, u"", c.Parts, smFromBeginning, false};
    TDialog d(&FOwner, &FGreek);
    EXPECT_EQ(d.SearchAction->isEnabled(), c.Enabled);
    // Enter without a search to do leaves the window open.
    QTest::keyClick(d.Search, Qt::Key_Return);
    EXPECT_EQ(d.Form.isVisible(), !c.Enabled);
    EXPECT_EQ(d.Form.result(), c.Enabled ? QDialog::Accepted : QDialog::Rejected);
  }
  // The first search of a run searches the articles: Enter on a typed word works.
  EditorSearchSettings() = {};
  {
    TDialog first(&FOwner, &FGreek);
    EXPECT_TRUE(first.Part<QCheckBox>("chbArticles")->isChecked());
    first.Search->SetText(u"λόγος");
    EXPECT_TRUE(first.SearchAction->isEnabled());
  }
  // Edits follow at once: the last part unticked, or the text cleared.
  EditorSearchSettings() = {u"λόγος", u"", kSearchAuthors, smFromBeginning, false};
  TDialog d(&FOwner, &FGreek);
  ASSERT_TRUE(d.SearchAction->isEnabled());
  d.Part<QCheckBox>("chbAuthors")->click();
  EXPECT_FALSE(d.SearchAction->isEnabled());
  d.Part<QCheckBox>("chbHeader")->click();
  EXPECT_TRUE(d.SearchAction->isEnabled());
  QTest::keyClick(d.Search, Qt::Key_Delete);  // the whole text is selected on opening
  EXPECT_EQ(d.Form.SearchText(), u"");
  EXPECT_FALSE(d.SearchAction->isEnabled());
}

TEST_F(EditorSearchTest, ReopeningShowsThePreviousSearch) {
  {
    TDialog first(&FOwner, &FGreek);
    EXPECT_EQ(first.Search->Text(), u"");
    EXPECT_TRUE(first.Part<QRadioButton>("rbFromBegin")->isChecked());
    first.Search->SetText(u"ἄνθρωπος");
    first.Replace->SetText(u"ἀνήρ");
    EXPECT_TRUE(first.Part<QCheckBox>("chbArticles")->isChecked());  // the articles, to begin with
    first.Part<QCheckBox>("chbMarks")->click();
    first.Part<QRadioButton>("rbCurrentOnly")->click();
    first.Part<QCheckBox>("chbWholeWord")->click();
    EXPECT_EQ(EditorSearchSettings().SearchText, u"");  // remembered only on Search
    QTest::keyClick(first.Search, Qt::Key_Return);
    EXPECT_EQ(first.Form.result(), QDialog::Accepted);
    EXPECT_EQ(first.Form.Parts(), kSearchMarks | kSearchArticles);
    EXPECT_EQ(first.Form.Mode(), smCurrentArticle);
  }
  TDialog second(&FOwner, &FGreek);
  EXPECT_EQ(Utf8(second.Search->Text()), "ἄνθρωπος");
  EXPECT_EQ(second.Search->SelectionLength(), second.Search->TextLength());
  EXPECT_EQ(Utf8(second.Replace->Text()), "ἀνήρ");
  const std::pair<const char*, bool> checks[] = {{"chbHeader", false},  {"chbMarks", true},
                                                 {"chbAuthors", false}, {"chbArticles", true},
                                                 {"chbWholeWord", true}};
  for (const auto& [name, checked] : checks) EXPECT_EQ(second.Part<QCheckBox>(name)->isChecked(), checked) << name;
  const std::pair<const char*, bool> radios[] = {
      {"rbFromBegin", false}, {"rbFromCurrent", false}, {"rbCurrentOnly", true}};
  for (const auto& [name, checked] : radios) EXPECT_EQ(second.Part<QRadioButton>(name)->isChecked(), checked) << name;
  EXPECT_EQ(Utf8(second.Form.SearchText()), "ἄνθρωπος");
  EXPECT_EQ(Utf8(second.Form.ReplaceText()), "ἀνήρ");
  EXPECT_EQ(second.Form.Parts(), kSearchMarks | kSearchArticles);
  EXPECT_EQ(second.Form.Mode(), smCurrentArticle);
  EXPECT_TRUE(second.Form.WholeWord());
  EXPECT_TRUE(second.SearchAction->isEnabled());
}

TEST_F(EditorSearchTest, CancelKeepsTheRememberedSettings) {
  EditorSearchSettings() = {u"lex", u"rex", kSearchHeader, smFromCurrent, false};
  TDialog d(&FOwner, &FGreek);
  d.Search->SetText(u"λόγος");
  d.Replace->SetText(u"");
  d.Part<QCheckBox>("chbAuthors")->click();
  d.Part<QRadioButton>("rbFromBegin")->click();
  d.Part<QCheckBox>("chbWholeWord")->click();
  QTest::keyClick(d.Search, Qt::Key_Escape);
  EXPECT_FALSE(d.Form.isVisible());
  EXPECT_EQ(d.Form.result(), QDialog::Rejected);
  const TEditorSearchSettings& kept = EditorSearchSettings();
  EXPECT_EQ(kept.SearchText, u"lex");
  EXPECT_EQ(kept.ReplaceText, u"rex");
  EXPECT_EQ(kept.Parts, kSearchHeader);
  EXPECT_EQ(kept.Mode, smFromCurrent);
  EXPECT_FALSE(kept.WholeWord);
}

TEST_F(EditorSearchTest, LanguageInputStartsOnForTextInTheLanguagesLetters) {
  struct TCase {
    std::u16string Text;
    bool InputOn;
  };
  const TCase cases[] = {{u"λ\u1F79γος \u1F04νθρωπος", true}, {u"λ\u1F79γος 2", false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(Utf8(c.Text));
    EditorSearchSettings() = {c.Text, u"", kSearchArticles, smFromBeginning, false};
    TDialog d(&FOwner, &FGreek);
    EXPECT_EQ(d.Form.InputOn(), c.InputOn);
    EXPECT_EQ(d.LanguageAction->isChecked(), c.InputOn);
    for (TKezUnicodeRichEdit* edit : {d.Search, d.Replace})
      EXPECT_EQ(edit->LanguageInput(), c.InputOn ? &FGreek : nullptr);
    // The button switches both fields.
    d.LanguageAction->trigger();
    EXPECT_EQ(d.Form.InputOn(), !c.InputOn);
    for (TKezUnicodeRichEdit* edit : {d.Search, d.Replace})
      EXPECT_EQ(edit->LanguageInput(), !c.InputOn ? &FGreek : nullptr);
  }
}

TEST_F(EditorSearchTest, LatinKeysTypeGreekWhileInputIsOn) {
  TDialog d(&FOwner, &FGreek);
  ASSERT_TRUE(d.Form.InputOn());  // nothing remembered yet: the empty text is no other language's
  Type(d.Search, "lo/goj");
  EXPECT_EQ(Utf8(d.Search->Text()), Utf8(u"λ\u1F79γος"));
  EXPECT_EQ(Utf8(d.Form.SearchText()), Utf8(u"λ\u1F79γος"));
  Type(d.Replace, "a)nh/r");
  EXPECT_EQ(Utf8(d.Form.ReplaceText()), Utf8(u"\u1F00ν\u1F75ρ"));
  // Switched off, the keys type themselves.
  d.LanguageAction->trigger();
  Type(d.Replace, "s");
  EXPECT_EQ(Utf8(d.Form.ReplaceText()), Utf8(u"\u1F00ν\u1F75ρs"));
  // A switch of the system layout to another script switches the input
  // off too, and the switch back to a Latin layout on again.
  d.LanguageAction->trigger();
  ASSERT_TRUE(d.Form.InputOn());
  SystemKeyboard().Report(false);
  EXPECT_FALSE(d.Form.InputOn());
  EXPECT_FALSE(d.LanguageAction->isChecked());
  EXPECT_EQ(d.Search->LanguageInput(), nullptr);
  EXPECT_EQ(d.Replace->LanguageInput(), nullptr);
  SystemKeyboard().Report(true);
  EXPECT_TRUE(d.Form.InputOn());
  EXPECT_TRUE(d.LanguageAction->isChecked());
  EXPECT_EQ(d.Search->LanguageInput(), &FGreek);
}

TEST_F(EditorSearchTest, MakeUpNamesEveryControlAndOpensItsHelp) {
  TDialog d(&FOwner, &FGreek);
  EXPECT_EQ(d.Form.windowTitle(), "Kodra. Search");
  EXPECT_LE((d.Form.frameGeometry().center() - FOwner.frameGeometry().center()).manhattanLength(), 2);
  EXPECT_NEAR(d.Form.width(), TFormEditorSearch::kWidth, 20);
  EXPECT_NEAR(d.Form.height(), TFormEditorSearch::kHeight, 20);
  EXPECT_EQ(d.Search->font().pixelSize(), 21);
  EXPECT_FALSE(d.Search->MultiLine());
  EXPECT_FALSE(d.Replace->MultiLine());

  EXPECT_EQ(d.LanguageAction->text(), "Ancient Greek");
  EXPECT_EQ(d.LanguageAction->shortcut(), QKeySequence("Ctrl+L"));
  EXPECT_EQ(d.SearchAction->text(), "&Search");
  EXPECT_TRUE(d.SearchAction->shortcuts().contains(QKeySequence(Qt::Key_Return)));

  // Every named part, and the tool bar's buttons, tell a screen reader what they are.
  for (QWidget* part : d.Form.findChildren<QWidget*>()) {
    if (part->objectName().isEmpty() || part->objectName().startsWith("qt_")) continue;
    EXPECT_FALSE(part->accessibleName().isEmpty()) << part->objectName().toStdString();
  }
  auto* toolBar = d.Part<QToolBar>("ToolBar");
  for (const char* name : {"actLanguage", "actSearch", "actHelp"}) {
    QWidget* button = toolBar->widgetForAction(d.Part<QAction>(name));
    ASSERT_TRUE(button) << name;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    ASSERT_TRUE(accessible) << name;
    EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << name;
  }
  for (const char* name : {"lblSearchFor", "lblReplaceWith"}) EXPECT_TRUE(d.Part<QLabel>(name)->buddy()) << name;

  QString opened;
  GlobalData().SetTopicOpener([&](QWidget*, const QString& topic) { opened = topic; });
  d.Part<QAction>("actHelp")->trigger();
  GlobalData().SetTopicOpener([](QWidget* parent, const QString& topic) {
    if (topic == "index") OpenHelpContents(parent);
    else OpenHelpTopic(parent, topic);
  });
  EXPECT_EQ(opened, "editorsearch");
}
