// Pasting from other programs: text typed in a legacy 8-bit Greek font comes
// out as Greek letters, a clipboard too large for a word is refused before
// anything changes, and a long conversion can be cancelled.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

#include "foundation/KezProgramFolder.h"
#include "language/uCommon.h"
#include "language/uLanguage.h"
#include "viewer/uClipboardConversion.h"
#include "viewer/uData.h"
#include "viewer/uProgress.h"

namespace fs = std::filesystem;

namespace {

// A program folder with the shipped Greek tables.
class PasteConversionTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FHome.isValid());
    fs::create_directories(fs::path(FHome.path().toStdString()) / "ancientgreek");
    fs::copy(fs::path(KODRA_BIN_DIR) / "ancientgreek" / "symbol.fnt",
             fs::path(FHome.path().toStdString()) / "ancientgreek" / "symbol.fnt");
    FPrevious = ProgramFolder();
    SetProgramFolder(FHome.path().toStdString());
    FGreek = FindLanguage("ancientgreek");
    ASSERT_NE(FGreek, nullptr);
  }
  void TearDown() override {
    FGreek->DropFontTable("Symbol");
    SetProgramFolder(FPrevious);
  }
  static QMimeData* Rtf(const std::string& rtf) {
    auto* data = new QMimeData;
    data->setData("text/rtf", QByteArray::fromStdString(rtf));
    return data;
  }

  QTemporaryDir FHome;
  std::string FPrevious;
  TKodraLanguage* FGreek = nullptr;
};

TEST_F(PasteConversionTest, SymbolFontRunsBecomeGreekLetters) {
  struct {
    const char* rtf;
    std::u16string text;
  } cases[] = {
      // A Symbol run inside Times New Roman text.
      {R"({\rtf1\ansi{\fonttbl{\f0 Times New Roman;}{\f1\fcharset2 Symbol;}}\f0 see {\f1 logos} here})",
       u"see λογοσ here"},
      // Capitals, and the Symbol font written as private-use characters.
      {R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1 Symbol;}}\f1 QEOS \u61537?\u61538?})", u"ΘΕΟΣ αβ"},
      // Fonts without a table pass through; tonos letters become oxia letters.
      {R"({\rtf1\ansi{\fonttbl{\f0 Times New Roman;}}\f0 abc \u972?})", u"abc \u1F79"},
  };
  for (const auto& c : cases) {
    QApplication::clipboard()->setMimeData(Rtf(c.rtf));
    EXPECT_EQ(PasteConverted(*FGreek, 0), c.text) << c.rtf;
  }
  // Plain text has no fonts: only the language's normalisation applies.
  QApplication::clipboard()->setText(QString::fromUtf8("λόγος"));
  EXPECT_EQ(PasteConverted(*FGreek, 0), u"λ\u1F79γος");
  // A limit takes the first units.
  EXPECT_EQ(PasteConverted(*FGreek, 3), u"λ\u1F79γ");
}

TEST_F(PasteConversionTest, ClipboardOfTheLimitIsAcceptedOneByteMoreIsRefused) {
  const std::string head = R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0 )";
  for (const int size : {1000010, 1000011}) {
    std::string rtf = head + std::string(size_t(size) - head.size() - 1, 'a') + "}";
    ASSERT_EQ(int(rtf.size()), size);
    QApplication::clipboard()->setMimeData(Rtf(rtf));
    try {
      const std::u16string text = PasteConverted(*FGreek, 64);
      EXPECT_EQ(size, 1000010);
      EXPECT_EQ(text, std::u16string(64, u'a'));
    } catch (const THelpedException& e) {
      EXPECT_EQ(size, 1000011);
      EXPECT_EQ(e.HelpKeyword, "SClipTooLong");
    }
  }
  QApplication::clipboard()->clear();
}

TEST_F(PasteConversionTest, CancelKeepsWhatWasConverted) {
  // 30,000 units are 60,002 bytes: enough for the progress window.
  QApplication::clipboard()->setText(QString(30000, QChar(u'α')));
  TFormProgress& progress = GlobalData().Progress();
  bool shown = false;
  // Pressed while the first steps run their events.
  QTimer::singleShot(0, [&] {
    shown = progress.isVisible();
    progress.findChild<QPushButton*>("btnCancel")->click();
  });
  const std::u16string text = PasteConverted(*FGreek, 0);
  EXPECT_TRUE(shown);
  EXPECT_FALSE(progress.isVisible());
  EXPECT_GE(text.size(), 1000u);
  EXPECT_LT(text.size(), 30000u);
  EXPECT_EQ(text, std::u16string(text.size(), u'α'));
  QApplication::clipboard()->clear();
}

TEST_F(PasteConversionTest, CopiedTextKeepsEveryCharacter) {
  const std::u16string text = u"ἄνθρωπος \uF000 ъ";
  CopyToClipboard(text);
  const QMimeData* data = QApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(data->hasFormat("text/rtf"));
  EXPECT_EQ(data->text().toStdU16String(), text);
  EXPECT_EQ(PasteConverted(*FGreek, 0), text);
}

}  // namespace
