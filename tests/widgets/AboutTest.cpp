// The About box and the program's web page: what the program says of
// itself, and that its addresses open through the desktop.
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>
#include <gtest/gtest.h>

#include "foundation/KezLocale.h"
#include "viewer/uData.h"
#include "viewer/uFormAbout.h"

namespace {
QString LabelText(const QWidget& box, const char* name) {
  const auto* label = box.findChild<QLabel*>(name);
  return label ? label->text() : QString("(no %1)").arg(name);
}

// What the opener was asked to open, instead of a browser.
class AboutTest : public testing::Test {
protected:
  void SetUp() override {
    GlobalData().SetUrlOpener([this](const QUrl& url) {
      FOpened << url;
      return true;
    });
  }
  void TearDown() override {
    GlobalData().SetUrlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); });
    Locale().Clear();
  }
  QList<QUrl> FOpened;
};
}  // namespace

// The web page is the one the package's metadata gives.
TEST_F(AboutTest, TheWebPageIsTheProjectsAndOpensInTheBrowser) {
  QFile metainfo(KODRA_SOURCE_DIR "/desktop/org.prask.Kodra.metainfo.xml");
  ASSERT_TRUE(metainfo.open(QIODevice::ReadOnly));
  const QRegularExpressionMatch homepage =
      QRegularExpression(R"re(<url type="homepage">([^<]+)</url>)re").match(QString::fromUtf8(metainfo.readAll()));
  ASSERT_TRUE(homepage.hasMatch());
  EXPECT_EQ(HomePageAddress(), homepage.captured(1));
  EXPECT_TRUE(HomePageAddress().startsWith("https://"));
  EXPECT_TRUE(GlobalData().HomePage());
  EXPECT_EQ(FOpened, QList<QUrl>{QUrl(HomePageAddress())});
}

// Name, version, makers, the program's licence and the data's, the mail and
// web addresses, each opening through the desktop.
TEST_F(AboutTest, SaysVersionMakersLicencesAndAddresses) {
  TFormAbout box;
  EXPECT_EQ(box.windowTitle(), "About Kodra");
  EXPECT_EQ(LabelText(box, "lblName"), "Kodra");
  EXPECT_EQ(LabelText(box, "lblVersion"), "Version " KODRA_VERSION);
  EXPECT_EQ(ProgramVersion(), KODRA_VERSION);
  EXPECT_TRUE(LabelText(box, "lblAuthors").contains("Kodra developers"));
  EXPECT_TRUE(LabelText(box, "lblLicence").contains("GPL-3.0-or-later"));
  for (const char* licence : {"Public Domain Mark 1.0", "GNU GPL v3", "GPL-2.0-or-later", "CC BY-SA 3.0 US"})
    EXPECT_TRUE(LabelText(box, "lblDataLicences").contains(licence)) << licence;
  EXPECT_TRUE(LabelText(box, "lblWeb").contains(HomePageAddress()));
  EXPECT_TRUE(LabelText(box, "lblEmail").contains(ContactAddress()));
  EXPECT_TRUE(ContactAddress().contains('@'));
  ASSERT_NE(box.findChild<QLabel*>("lblPicture"), nullptr);
  EXPECT_FALSE(box.findChild<QLabel*>("lblPicture")->pixmap().isNull());

  box.findChild<QPushButton*>("btnWeb")->click();
  emit box.findChild<QLabel*>("lblEmail")->linkActivated("mailto:" + ContactAddress());
  emit box.findChild<QLabel*>("lblWeb")->linkActivated(HomePageAddress());
  EXPECT_EQ(FOpened, (QList<QUrl>{QUrl(HomePageAddress()), QUrl("mailto:" + ContactAddress()), QUrl(HomePageAddress())}));
}

// In Russian: the texts come from the interface language.
TEST_F(AboutTest, RussianTextsComeFromTheInterfaceLanguage) {
  ASSERT_EQ(Locale().Load(KODRA_SOURCE_DIR "/locale/Russian.lng"), "");
  TFormAbout box;
  EXPECT_EQ(box.windowTitle(), QString::fromUtf8("О программе Kodra"));
  EXPECT_TRUE(LabelText(box, "lblVersion").startsWith(QString::fromUtf8("Версия ")));
  EXPECT_TRUE(LabelText(box, "lblVersion").endsWith(KODRA_VERSION));
  EXPECT_TRUE(LabelText(box, "lblLicence").contains("GPL-3.0-or-later"));
  EXPECT_TRUE(LabelText(box, "lblDataLicences").contains("CC BY-SA 3.0 US"));
  EXPECT_TRUE(LabelText(box, "lblWeb").contains(HomePageAddress()));
}
