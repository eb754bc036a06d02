// The help window and the help pop-up, on help folders of the tests' own and
// on the help that the build lays out beside the program.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "foundation/KezLocale.h"
#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"
#include "viewer/uHelpPopup.h"
#include "viewer/uHelpWindow.h"

namespace fs = std::filesystem;

namespace {
// A program folder whose help has an English contents page and commands page,
// a Russian commands page only, and pop-up texts in both languages.
class HelpTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FHome.isValid());
    FPreviousFolder = ProgramFolder();
    FPreviousLocale = Options().LocaleName();
    SetProgramFolder(FHome.path().toStdString());
    Write("help/style.css", "h1 { color: #7a2318; }\n");
    Write("help/index.html", Page("style.css", "Contents", "<p>Start <a href=\"kodracommands.html\">here</a>.</p>"));
    Write("help/kodracommands.html",
          Page("style.css", "Commands",
               "<p>Menus and shortcuts. <a href=\"index.html\">Contents</a></p><p>Catch a word with the hot key.</p>"));
    Write("help/ru/kodracommands.html", Page("../style.css", "Команды", "<p>Меню и сочетания клавиш.</p>"));
    Write("help/popups.txt", ".topic 1001\nInterface language.\n");
    Write("help/ru/popups.txt", ".topic 1001\nЯзык интерфейса.\n");
    Write("help/errors.txt", ".topic 2023\nNot a dictionary.\n");
  }
  void TearDown() override {
    delete CurrentHelpWindow();
    if (CurrentHelpPopup()) CurrentHelpPopup()->close();
    Settle();
    Options().SetLocaleName(FPreviousLocale);
    SetProgramFolder(FPreviousFolder);
  }
  static std::string Page(const char* css, const char* title, const char* body) {
    return std::string("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>") + title +
           "</title><link rel=\"stylesheet\" type=\"text/css\" href=\"" + css + "\"></head><body><h1>" + title +
           "</h1>" + body + "</body></html>";
  }
  void Write(const std::string& name, const std::string& text) const {
    const fs::path path = fs::path(FHome.path().toStdString()) / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  std::string Help(const std::string& name) const { return (fs::path(FHome.path().toStdString()) / "help" / name).string(); }
  // Runs the queued handlers and deletes what was closed.
  static void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  static std::string Shown(THelpWindow* window) { return window->Browser()->toPlainText().toStdString(); }

  QTemporaryDir FHome;
  std::string FPreviousFolder, FPreviousLocale;
};
}  // namespace

TEST_F(HelpTest, TopicOpensItsPageAndLinksLeadOn) {
  Options().SetLocaleName("English");
  QWidget owner;
  owner.show();
  THelpWindow* window = OpenHelpTopic(&owner, "kodracommands");
  Settle();
  ASSERT_TRUE(window->isVisible());
  EXPECT_EQ(window->PageFile().toStdString(), Help("kodracommands.html"));
  EXPECT_NE(Shown(window).find("Menus and shortcuts."), std::string::npos);
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Commands – Kodra Help"));
  // The heading takes its colour from the page's stylesheet.
  QTextCursor heading(window->Browser()->document());
  heading.movePosition(QTextCursor::NextCharacter);
  EXPECT_EQ(heading.charFormat().foreground().color(), QColor(0x7A, 0x23, 0x18));
  EXPECT_EQ(window->parentWidget(), &owner);
  // The link to the contents, reached with the keyboard as a reader may.
  window->Browser()->setFocus();
  QTest::keyClick(window->Browser(), Qt::Key_Tab);
  QTest::keyClick(window->Browser(), Qt::Key_Return);
  Settle();
  EXPECT_EQ(window->PageFile().toStdString(), Help("index.html"));
  EXPECT_TRUE(window->Action("actHelpBack")->isEnabled());
  window->Action("actHelpBack")->trigger();
  EXPECT_EQ(window->PageFile().toStdString(), Help("kodracommands.html"));
  window->Action("actHelpForward")->trigger();
  EXPECT_EQ(window->PageFile().toStdString(), Help("index.html"));
  // One window serves every topic, also when another window asks.
  QWidget other;
  other.show();
  EXPECT_EQ(OpenHelpTopic(&other, "kodracommands"), window);
  EXPECT_EQ(window->parentWidget(), &other);
  EXPECT_EQ(window->PageFile().toStdString(), Help("kodracommands.html"));
  window->Action("actHelpHome")->trigger();
  EXPECT_EQ(window->PageFile().toStdString(), Help("index.html"));
  EXPECT_EQ(OpenHelpContents(&other), window);
  delete window;  // before its owner goes
}

// The window says the page and then the help's name, once; the contents
// page is the help itself.
TEST(HelpWindowTitle, PageThenTheHelpsNameOnce) {
  const struct {
    const char* lng;
    const char* page;
    const char* title;
  } cases[] = {
      {"", "", "Kodra Help"},
      {"", "Kodra Help", "Kodra Help"},
      {"", "Kodra Help – Kodra Help", "Kodra Help"},
      {"", "Commands", "Commands – Kodra Help"},
      {"", "Commands – Kodra Help", "Commands – Kodra Help"},
      {"HelpCaption=Справка Kodra\n", "Справка Kodra – Справка Kodra", "Справка Kodra"},
      {"HelpCaption=Справка Kodra\n", "Статья – Справка Kodra", "Статья – Справка Kodra"},
      {"HelpCaption=Справка Kodra\n", "The article – Kodra Help", "The article – Справка Kodra"},
  };
  for (const auto& c : cases) {
    Locale().LoadFromText(c.lng);
    EXPECT_EQ(HelpWindowTitle(QString::fromUtf8(c.page)).toStdString(), c.title) << c.page;
  }
  Locale().Clear();
}

// Beside the owner where the screen has room, else over its middle; never
// off the screen.
TEST(HelpWindowPlace, BesideTheOwnerWhereItFits) {
  const QRect screen(0, 0, 1280, 900);
  const struct {
    QRect owner;
    QSize size;
    QPoint place;
  } cases[] = {
      {{10, 20, 500, 400}, {600, 500}, {518, 20}},     // to the right
      {{700, 50, 500, 400}, {600, 500}, {92, 50}},     // to the left
      {{300, 100, 756, 531}, {780, 620}, {287, 55}},   // neither: centred over it
      {{0, 0, 1280, 900}, {780, 620}, {249, 139}},     // over a window that fills the screen
      {{1000, 700, 200, 150}, {600, 500}, {392, 400}}, // to the left, kept on the screen
      {{10, 10, 100, 100}, {1400, 1000}, {0, 0}},      // larger than the screen: its corner on it
  };
  for (const auto& c : cases)
    EXPECT_EQ(HelpWindowPlace(c.owner, c.size, screen), c.place)
        << c.owner.x() << "," << c.owner.y() << " " << c.size.width() << "x" << c.size.height();
}

// A proper window for screen readers, named as its title says; the first
// time beside the window that asked, later where the reader left it.
TEST_F(HelpTest, WindowOpensBesideItsOwnerAndKeepsItsPlace) {
  Options().SetLocaleName("English");
  QSettings("Prask", "Kodra3").remove("HelpWindow");
  QWidget owner;
  owner.setGeometry(10, 30, 300, 200);
  owner.show();
  THelpWindow* window = OpenHelpTopic(&owner, "index");
  Settle();
  const QRect free = owner.screen()->availableGeometry();
  EXPECT_LE(window->width(), free.width() / 2);
  EXPECT_EQ(window->pos(), HelpWindowPlace(owner.frameGeometry(), window->size(), free));
  EXPECT_GT(window->x(), owner.frameGeometry().right());  // beside it, not over it
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::Window);
  EXPECT_EQ(accessible->text(QAccessible::Name), window->windowTitle());
  EXPECT_EQ(window->windowTitle(), "Contents – Kodra Help");
  EXPECT_TRUE(window->isWindow());

  window->setGeometry(123, 77, 350, 260);
  window->close();
  delete window;
  QWidget other;
  other.setGeometry(400, 300, 200, 100);
  other.show();
  window = OpenHelpTopic(&other, "kodracommands");
  Settle();
  EXPECT_EQ(window->geometry(), QRect(123, 77, 350, 260));
  delete window;
}

TEST_F(HelpTest, RussianPageWhenTranslatedEnglishOtherwise) {
  struct {
    const char* locale;
    const char* topic;
    bool found;
    std::string file;
    const char* text;
  } cases[] = {
      {"Russian", "kodracommands", true, Help("ru/kodracommands.html"), "Меню и сочетания клавиш."},
      {"Russian", "index", true, Help("index.html"), "Start here."},
      {"English", "kodracommands", true, Help("kodracommands.html"), "Menus and shortcuts."},
      {"", "kodracommands", true, Help("kodracommands.html"), "Menus and shortcuts."},
      {"Russian", "latin", false, "", "not installed"},
  };
  for (const auto& c : cases) {
    Options().SetLocaleName(c.locale);
    THelpWindow* window = OpenHelpTopic(nullptr, "index");
    EXPECT_EQ(window->OpenTopic(c.topic), c.found) << c.locale << " " << c.topic;
    Settle();
    if (c.found) {
      EXPECT_EQ(window->PageFile().toStdString(), c.file) << c.locale << " " << c.topic;
    }
    EXPECT_NE(Shown(window).find(c.text), std::string::npos) << c.locale << " " << c.topic << ": " << Shown(window);
  }
}

TEST_F(HelpTest, FindFieldFindsTextInThePage) {
  THelpWindow* window = OpenHelpTopic(nullptr, "kodracommands");
  Settle();
  QLineEdit* find = window->FindField();
  find->setFocus();
  QTest::keyClicks(find, "hot");  // found as it is typed
  EXPECT_EQ(window->Browser()->textCursor().selectedText(), "hot");
  EXPECT_TRUE(window->findChild<QLabel*>("lblFind")->text().isEmpty());
  find->setText("Contents");
  EXPECT_TRUE(window->FindText());
  EXPECT_EQ(window->Browser()->textCursor().selectedText(), "Contents");
  EXPECT_TRUE(window->FindText());  // round the end to the first one again
  EXPECT_EQ(window->Browser()->textCursor().selectedText(), "Contents");
  find->setText("absent words");
  EXPECT_FALSE(window->FindText());
  EXPECT_FALSE(window->findChild<QLabel*>("lblFind")->text().isEmpty());
  // Every control can be found by its name and read by its accessible name.
  EXPECT_FALSE(window->accessibleName().isEmpty());
  for (const char* name : {"tbHelp", "btnHelpBack", "btnHelpForward", "btnHelpHome", "edFind", "btnFindPrevious",
                           "btnFindNext", "lblFind", "edPage"}) {
    const QWidget* control = window->findChild<QWidget*>(name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_FALSE(control->accessibleName().isEmpty()) << name;
  }
}

TEST_F(HelpTest, PopupShowsTheTextOnPaleYellowAndClosesOnAKey) {
  QFont font("DejaVu Sans");
  font.setPointSize(11);
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  THelpPopup* popup = ShowHelpPopup("Interface language.\nSecond line.", screen.center(), font);
  ASSERT_NE(popup, nullptr);
  Settle();
  EXPECT_TRUE(popup->isVisible());
  EXPECT_EQ(popup, CurrentHelpPopup());
  EXPECT_EQ(popup->Text(), "Interface language.\nSecond line.");
  EXPECT_EQ(popup->findChild<QLabel*>("lblText")->font().pointSize(), 11);
  EXPECT_EQ(popup->layout()->contentsMargins(), QMargins(8, 4, 8, 6));
  EXPECT_EQ(THelpPopup::Background(), QColor(0xFF, 0xFF, 0xB0));
  EXPECT_EQ(popup->palette().color(QPalette::Window), QColor("#ffffb0"));
  // Drawn: the ground inside the frame is that colour, the frame is black.
  const QImage image = popup->grab().toImage();
  EXPECT_EQ(QColor(image.pixel(3, 2)), QColor(0xFF, 0xFF, 0xB0));
  EXPECT_EQ(QColor(image.pixel(image.width() - 4, image.height() - 3)), QColor(0xFF, 0xFF, 0xB0));
  EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(Qt::black));
  // Its top edge centred on the position.
  EXPECT_EQ(popup->geometry().top(), screen.center().y());
  EXPECT_LE(std::abs(popup->geometry().center().x() - screen.center().x()), 1);
  QTest::keyClick(popup, Qt::Key_Escape);
  Settle();
  EXPECT_EQ(CurrentHelpPopup(), nullptr);  // closed and gone
  // An empty text shows nothing.
  EXPECT_EQ(ShowHelpPopup("  \n", screen.center(), font), nullptr);
}

TEST_F(HelpTest, PopupStaysOnTheScreenAndClosesOnAClick) {
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  const QString text = QString("A rather long line of help text that has to be wrapped. ").repeated(8);
  for (const QPoint& corner : {screen.bottomRight(), screen.topLeft() - QPoint(50, 50), screen.topRight()}) {
    THelpPopup* popup = ShowHelpPopup(text, corner, QFont());
    ASSERT_NE(popup, nullptr);
    Settle();
    EXPECT_TRUE(screen.contains(popup->geometry())) << corner.x() << "," << corner.y();
    EXPECT_LE(popup->width(), screen.width() / 2);
    EXPECT_GT(popup->height(), 2 * popup->fontMetrics().height());  // wrapped
  }
  THelpPopup* popup = CurrentHelpPopup();
  ASSERT_NE(popup, nullptr);
  QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(5, 5));
  Settle();
  EXPECT_EQ(CurrentHelpPopup(), nullptr);
}

TEST_F(HelpTest, PopupOfAModalWindowBelongsToIt) {
  QDialog dialog;
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.show();
  Settle();
  ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
  THelpPopup* popup = ShowHelpPopup("Interface language.", dialog.geometry().center(), QFont());
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->parentWidget(), &dialog);
  EXPECT_TRUE(popup->isWindow());
  // The next text takes the place of this one.
  THelpPopup* next = ShowHelpPopup("Hot key.", dialog.geometry().center(), QFont());
  Settle();
  ASSERT_EQ(CurrentHelpPopup(), next);
  EXPECT_EQ(next->parentWidget(), &dialog);
  EXPECT_EQ(next->Text(), "Hot key.");
  EXPECT_TRUE(next->isVisible());
  EXPECT_EQ(dialog.findChildren<THelpPopup*>().size(), 1);
  next->close();
  Settle();
}

TEST_F(HelpTest, TopicTextsOfTheInterfaceLanguage) {
  struct { const char* locale; int32_t topic; QString popup; } cases[] = {
      {"English", 1001, "Interface language."},
      {"Russian", 1001, "Язык интерфейса."},
      {"Russian", 1002, ""},
  };
  for (const auto& c : cases) {
    Options().SetLocaleName(c.locale);
    EXPECT_EQ(HelpPopupText(c.topic), c.popup) << c.locale << " " << c.topic;
  }
  // errors.txt has no Russian file here: the English one serves.
  EXPECT_EQ(ErrorPopupText(2023), "Not a dictionary.");
  QWidget form;
  form.setGeometry(100, 100, 300, 300);
  form.show();
  Settle();
  THelpPopup* popup = ShowErrorPopup(&form, "scorruptfile");
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->Text(), "Not a dictionary.");
  const QRect frame = form.frameGeometry();
  EXPECT_EQ(popup->geometry().top(), frame.top() + frame.height() * 2 / 3);
  EXPECT_EQ(ShowErrorPopup(&form, "SNoSuchError"), nullptr);
  EXPECT_EQ(ShowErrorPopup(&form, "SNoDicLoaded"), nullptr);  // a topic the file lacks
  popup = ShowHelpTopicPopup(1001);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->Text(), "Язык интерфейса.");
  popup->close();
}

// The help beside the program, as the build lays it out.
TEST(HelpLaidOut, EveryTopicOpensInBothLanguages) {
  const std::string previousFolder = ProgramFolder(), previousLocale = Options().LocaleName();
  SetProgramFolder(KODRA_BIN_DIR);
  for (const char* locale : {"English", "Russian"}) {
    Options().SetLocaleName(locale);
    if (std::string(locale) == "Russian") Locale().Load(KODRA_SOURCE_DIR "/locale/Russian.lng");
    else Locale().Clear();
    for (const char* topic : {"index", "kodracommands", "kodraentryfield", "kodradicentry", "status",
                              "kodrakeywordlist", "ancientgreek", "latin", "options", "dicmanager", "editor",
                              "editorsearch", "fonteditor"}) {
      THelpWindow* window = OpenHelpTopic(nullptr, topic);
      EXPECT_TRUE(window->OpenTopic(topic)) << locale << " " << topic;
      EXPECT_EQ(fs::path(window->PageFile().toStdString()).parent_path().filename() == "ru",
                std::string(locale) == "Russian") << topic;
      EXPECT_FALSE(window->windowTitle().isEmpty());
      // The help's name once, and alone on the contents page.
      const QString help = std::string(locale) == "Russian" ? QString::fromUtf8("Справка Kodra") : "Kodra Help";
      EXPECT_EQ(window->windowTitle().count(help), 1) << topic << ": " << window->windowTitle().toStdString();
      if (std::string(topic) == "index") {
        EXPECT_EQ(window->windowTitle(), help);
      }
    }
    EXPECT_FALSE(HelpPopupText(1001).isEmpty()) << locale;
    EXPECT_FALSE(ErrorPopupText(2025).isEmpty()) << locale;
  }
  EXPECT_TRUE(HelpPopupText(1001).startsWith(QString::fromUtf8("Язык")));
  delete CurrentHelpWindow();
  Locale().Clear();
  Options().SetLocaleName(previousLocale);
  SetProgramFolder(previousFolder);
}
