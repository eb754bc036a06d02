// The progress window: its make-up, the bar's steps, and Cancel as the next
// step's answer.
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer/uProgress.h"

namespace {
struct TProgressFixture {
  TProgressFixture() {
    form.SetLocalizer([this](QWidget& localized, const char* prefix) {
      EXPECT_EQ(&localized, &form);
      prefixes.push_back(prefix);
      caption->setText("ProgressCaption from the language file");
    });
  }
  ~TProgressFixture() { form.hide(); }

  TFormProgress form;
  QLabel* caption = form.findChild<QLabel*>("lblCaption");
  QProgressBar* bar = form.findChild<QProgressBar*>("ProgressBar");
  QPushButton* cancel = form.findChild<QPushButton*>("btnCancel");
  std::vector<std::string> prefixes;
};
}  // namespace

TEST(FormProgress, StartShowsTheCaptionCentredOnTopWithoutBorderIcons) {
  TProgressFixture f;
  ASSERT_TRUE(f.caption && f.bar && f.cancel);
  f.form.Start("Paste process...");
  EXPECT_TRUE(f.form.isVisible());
  EXPECT_EQ(f.prefixes, std::vector<std::string>{"Progress"});
  EXPECT_EQ(f.caption->text(), "Paste process...");  // the operation's caption wins over the localisation
  EXPECT_TRUE(f.caption->font().bold());
  EXPECT_EQ(f.cancel->text(), "Cancel");
  EXPECT_EQ(f.bar->minimum(), 0);
  EXPECT_EQ(f.bar->maximum(), 100);
  EXPECT_EQ(f.bar->value(), 1);

  EXPECT_EQ(f.form.size(), QSize(337, 114));
  const Qt::WindowFlags flags = f.form.windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint));
  const QPoint desktopCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((f.form.frameGeometry().center() - desktopCentre).manhattanLength(), 1);

  for (QWidget* control : std::initializer_list<QWidget*>{&f.form, f.caption, f.bar, f.cancel})
    EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
}

TEST(FormProgress, StepsMoveTheBarUpToItsMaximum) {
  struct TCase {
    int Maximum;
    int Step;
    std::vector<int> Positions;
  };
  const TCase cases[] = {
      {10000, 1000, {1000, 2000, 3000}},
      {10, 3, {3, 6, 9, 10, 10}},  // a step past the end stops at the maximum
  };
  TProgressFixture f;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Maximum);
    f.form.Start("Paste process...");
    f.form.SetRange(c.Maximum, c.Step);
    EXPECT_EQ(f.bar->maximum(), c.Maximum);
    EXPECT_EQ(f.bar->value(), 0);
    for (const int position : c.Positions) {
      EXPECT_TRUE(f.form.StepIt());
      EXPECT_EQ(f.bar->value(), position);
    }
  }
  f.form.SetRange(5000, 1000);
  f.form.Finish();
  EXPECT_EQ(f.bar->value(), 5000);
  EXPECT_TRUE(f.form.isVisible());  // the caller hides it
}

TEST(FormProgress, CancelMakesTheNextStepFailUntilTheNextStart) {
  TProgressFixture f;
  f.form.Start("Paste process...");
  f.form.SetRange(10000, 1000);
  EXPECT_TRUE(f.form.StepIt());
  QTest::mouseClick(f.cancel, Qt::LeftButton);
  EXPECT_TRUE(f.form.Cancelled());
  EXPECT_FALSE(f.form.StepIt());
  EXPECT_FALSE(f.form.StepIt());
  f.form.Start("Paste process...");
  EXPECT_FALSE(f.form.Cancelled());
  EXPECT_TRUE(f.form.StepIt());
}
