// The shared services of the windows: localising a window, error reports
// and their help pop-ups, the interface-language names.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRawFont>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "foundation/KezLocale.h"
#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"
#include "viewer/uData.h"

TEST(GlobalData, LocalizeFormSetsEachPartByItsClass) {
  Locale().LoadFromText(
      "TestCaption=Окно\n"
      "TestGo=Искать|Искать слово\n"        // caption and hint
      "TestBar=|Whole\n"                    // a bar first: both get the whole value
      "TestFile=&Файл\n"
      "TestBox=Рамка\n"
      "TestCase=Регистр|Различать регистр\n"
      "TestOne=Один\n"
      "TestOk=Да|не подсказка\n"            // a button takes no hint: the whole value
      "TestTool=Подсказка\n"
      "TestName=Имя\n"
      "TestPage=Страница\n"
      "TestMissing =never\n");               // a blank before "=": no entry
  QWidget form;
  form.setWindowTitle("Window");
  auto add = [&](auto* part, const char* name) {
    part->setObjectName(name);
    return part;
  };
  QAction* go = add(new QAction("Go", &form), "actGo");
  QAction* bar = add(new QAction("Bar", &form), "mnuBar");
  QAction* missing = add(new QAction("Missing", &form), "actMissing");
  auto* layout = new QVBoxLayout(&form);
  QMenu* menu = add(new QMenu("File", &form), "mnuFile");
  QGroupBox* box = add(new QGroupBox("Box", &form), "gbBox");
  QCheckBox* check = add(new QCheckBox("Case", &form), "chkCase");
  QRadioButton* radio = add(new QRadioButton("One", &form), "rbOne");
  QPushButton* button = add(new QPushButton("OK", &form), "btnOk");
  QToolButton* tool = add(new QToolButton(&form), "btnTool");
  QLabel* label = add(new QLabel("Name", &form), "lblName");
  auto* tabs = new QTabWidget(&form);
  QWidget* page = add(new QWidget, "tsPage");
  tabs->addTab(page, "Page");
  for (QWidget* w : std::initializer_list<QWidget*>{box, check, radio, button, tool, label, tabs}) layout->addWidget(w);

  TGlobalData::LocalizeForm(&form, "Test");
  EXPECT_EQ(form.windowTitle(), "Окно");
  EXPECT_EQ(go->text(), "Искать");
  EXPECT_EQ(go->toolTip(), "Искать слово");
  EXPECT_EQ(bar->text(), "|Whole");
  EXPECT_EQ(bar->toolTip(), "|Whole");
  EXPECT_EQ(missing->text(), "Missing");
  EXPECT_EQ(menu->title(), "&Файл");
  EXPECT_EQ(menu->accessibleName(), "Файл");
  EXPECT_EQ(box->title(), " Рамка ");
  EXPECT_EQ(check->text(), "Регистр");
  EXPECT_EQ(check->toolTip(), "Различать регистр");
  EXPECT_EQ(radio->text(), "Один");
  EXPECT_EQ(button->text(), "Да|не подсказка");
  EXPECT_EQ(tool->toolTip(), "Подсказка");
  EXPECT_TRUE(tool->text().isEmpty());
  EXPECT_EQ(label->text(), "Имя");
  EXPECT_EQ(tabs->tabText(0), "Страница");
  Locale().Clear();
}

// The build draws KodraSp.ttf into the program folder; the test program
// registers it at start as the window does.
TEST(GlobalData, SpecialCharactersFontIsRegistered) {
  const std::string file = ProgramFolder() + "KodraSp.ttf";
  if (!QFileInfo::exists(QString::fromStdString(file))) GTEST_SKIP() << file << " was not built";
  ASSERT_EQ(RegisterSpecialFont(), "KodraSp");
  EXPECT_EQ(RegisterSpecialFont(), "KodraSp");  // once only
  const QFont font("KodraSp", 40);
  EXPECT_EQ(QFontInfo(font).family(), "KodraSp");
  const QFontMetrics metrics(font);
  QList<QRect> shapes;
  for (char32_t c : {U'\uF000', U'\uF001', U'\uF002', U'\uF010'}) {
    // At its own code point and at its font position, the same glyph.
    const char32_t position = c - 0xF000 + 0xC0;
    EXPECT_TRUE(metrics.inFontUcs4(c)) << std::hex << uint32_t(c);
    EXPECT_TRUE(metrics.inFontUcs4(position)) << std::hex << uint32_t(position);
    const QRect shape = metrics.boundingRect(QChar(char16_t(c)));
    EXPECT_FALSE(shape.isEmpty()) << std::hex << uint32_t(c);
    EXPECT_EQ(metrics.boundingRect(QChar(char16_t(position))), shape) << std::hex << uint32_t(c);
    EXPECT_FALSE(shapes.contains(shape)) << std::hex << uint32_t(c);
    shapes << shape;
  }
  // The numeral sign stands high, the lower one reaches below the baseline.
  EXPECT_LT(shapes[0].bottom(), 0);
  EXPECT_GT(shapes[1].bottom(), 0);
  // The font itself has those glyphs only (the metrics may fall back on others).
  const QRawFont raw = QRawFont::fromFont(font);
  EXPECT_EQ(raw.familyName(), "KodraSp");
  for (char32_t c : {U'\uF000', U'\u00C0', U'\uF002', U'\u00D0'}) EXPECT_TRUE(raw.supportsCharacter(c)) << uint32_t(c);
  for (char32_t c : {U'\uF003', U'\u00C3', U'\u00BF', U'\u0374'}) EXPECT_FALSE(raw.supportsCharacter(c)) << uint32_t(c);
}

TEST(GlobalData, InterfaceLanguagesAreNamedWithOneCapital) {
  const std::pair<const char*, const char*> cases[] = {
      {"russian.lng", "Russian"}, {"RUSSIAN.LNG", "Russian"}, {"eNgLiSh.lng", "English"}, {"x.lng", "X"}};
  for (const auto& [file, name] : cases) EXPECT_EQ(InterfaceLanguageName(file), name) << file;
}

// A message box, the error sound or nothing, as the options say; with
// HelpOnError the error's pop-up 300 ms later, a newer error replacing it.
TEST(GlobalData, ReportErrorFollowsTheOptions) {
  struct TCase {
    bool box, beep, help;
    bool boxShown, beeped;
    int popup;  // the topic shown, 0 none
  } cases[] = {
      {true, true, false, true, false, 0},
      {false, true, false, false, true, 0},
      {false, false, true, false, false, 2023},
      {true, false, true, true, false, 2023},
  };
  TGlobalData data;
  QWidget form;
  form.setGeometry(100, 100, 400, 300);
  for (const TCase& c : cases) {
    Options().SetBoxOnError(c.box);
    Options().SetBeepOnError(c.beep);
    Options().SetHelpOnError(c.help);
    bool beeped = false, boxShown = false;
    int popup = 0;
    QString popupFile;
    data.SetErrorSound([&] { beeped = true; });
    data.SetPopupShower([&](const QString& file, int topic, QPoint) {
      popup = topic;
      popupFile = file;
    });
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        boxShown = qobject_cast<QMessageBox*>(modal) && modal->windowTitle() == "Kodra";
        modal->close();
      }
    });
    closer.start(20);
    data.ReportError(&form, "SNoDicLoaded", "first");
    data.ReportError(&form, "SCorruptFile", "second");  // replaces the pending pop-up
    if (!c.box) QTest::qWait(60);
    EXPECT_EQ(boxShown, c.boxShown);
    EXPECT_EQ(beeped, c.beeped);
    EXPECT_EQ(data.ErrorPending(), c.help);
    QTest::qWait(400);
    EXPECT_EQ(popup, c.popup);
    if (c.popup) {
      EXPECT_EQ(popupFile, "errors.txt");
    }
  }
  // An identifier without a pop-up shows none.
  int popup = 0;
  data.SetPopupShower([&](const QString&, int topic, QPoint) { popup = topic; });
  data.ErrorPopup(&form, "SNoSuchMessage");
  EXPECT_EQ(popup, 0);
  data.ErrorPopup(&form, "snodicloaded");  // letter case ignored
  EXPECT_EQ(popup, 2024);
  Options().LoadFirstRunDefaults();
}
