// The toolkit's own texts follow the interface language: its translation
// where installed, the standard buttons from the language file where not,
// and English again when the interface is.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "foundation/KezLocale.h"
#include "viewer/uToolkitTranslation.h"

namespace {
void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

struct TButtonText {
  QDialogButtonBox::StandardButton Button;
  const char* English;
  const char* Russian;
};
constexpr TButtonText kButtons[] = {
    {QDialogButtonBox::Ok, "OK", "ОК"},          {QDialogButtonBox::Cancel, "Cancel", "Отмена"},
    {QDialogButtonBox::Yes, "&Yes", "&Да"},      {QDialogButtonBox::No, "&No", "&Нет"},
    {QDialogButtonBox::Help, "Help", "Справка"}, {QDialogButtonBox::Close, "Close", "Закрыть"},
    {QDialogButtonBox::Save, "Save", "Сохранить"}, {QDialogButtonBox::Open, "Open", "Открыть"},
};

class ToolkitTranslationTest : public testing::Test {
protected:
  void SetUp() override {
    ApplyToolkitTranslation("English");
    ASSERT_EQ(Locale().Load(KODRA_SOURCE_DIR "/locale/Russian.lng"), "");
  }
  void TearDown() override {
    Locale().Clear();
    ApplyToolkitTranslation("English");
  }
  static QDialogButtonBox::StandardButtons All() {
    QDialogButtonBox::StandardButtons all;
    for (const TButtonText& button : kButtons) all |= button.Button;
    return all;
  }
};
}  // namespace

TEST(ToolkitLanguageCode, NamesTheToolkitsLanguage) {
  const std::pair<const char*, const char*> cases[] = {
      {"Russian", "ru"}, {"russian", "ru"}, {"German", "de"}, {"English", ""}, {"", ""}, {"Nowhere", ""}};
  for (const auto& [language, code] : cases) EXPECT_EQ(ToolkitLanguageCode(language), code) << language;
}

// Without the toolkit's translation the standard buttons take their names
// from the language file, and give them back when the interface is English.
TEST_F(ToolkitTranslationTest, StandardButtonsWhereTheToolkitHasNoTranslation) {
  QTemporaryDir empty;
  ASSERT_TRUE(empty.isValid());
  QDialogButtonBox box(All());
  QFileDialog open;
  open.setOption(QFileDialog::DontUseNativeDialog);
  open.setAcceptMode(QFileDialog::AcceptOpen);
  const auto* accept = open.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
  ASSERT_NE(accept, nullptr);
  const QString english = accept->text();
  EXPECT_FALSE(ApplyToolkitTranslation("Russian", empty.path()));
  Settle();
  for (const TButtonText& button : kButtons)
    EXPECT_EQ(box.button(button.Button)->text(), QString::fromUtf8(button.Russian)) << button.English;
  EXPECT_EQ(QString(accept->text()).remove('&'), QString::fromUtf8("Открыть"));

  ApplyToolkitTranslation("English");
  Settle();
  for (const TButtonText& button : kButtons)
    EXPECT_EQ(box.button(button.Button)->text(), button.English) << button.English;
  EXPECT_EQ(QString(accept->text()).remove('&'), QString(english).remove('&'));
  // A file dialog made in Russian names its button so from the start.
  ApplyToolkitTranslation("Russian", empty.path());
  QFileDialog save;
  save.setOption(QFileDialog::DontUseNativeDialog);
  save.setAcceptMode(QFileDialog::AcceptSave);
  EXPECT_EQ(save.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->text(), QString::fromUtf8("&Сохранить"));
}

// Where it is installed the toolkit's own translation speaks for all its
// texts, the file dialog's labels too.
TEST_F(ToolkitTranslationTest, TheToolkitsTranslationWhereInstalled) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFileInfo::exists(QDir(folder).filePath("qtbase_ru.qm")))
    GTEST_SKIP() << "the toolkit's Russian translation is not installed in " << folder.toStdString();
  EXPECT_TRUE(ApplyToolkitTranslation("Russian"));
  Settle();
  QDialogButtonBox box(QDialogButtonBox::Cancel);
  EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("Отмена"));
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
  ApplyToolkitTranslation("English");
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
}
