// The icons of the main and the editor windows' actions: one for every
// action, drawn at tool bar sizes, each its own picture but for the few that
// share one, readable on light and dark windows, and the desktop's icon theme
// only when asked for.
//
// To look at the whole set: KODRA_ICON_SHEET=/tmp/kodra-icons.png
// kodra_widget_tests --gtest_filter=ActionIcons.ReadableOnLightAndDarkWindows
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPalette>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "viewer/uIcons.h"

namespace {
const char* const kActions[] = {
    "actDictionaryManager", "actEditLanguage", "actEditCharMap", "actEditUndo", "actEditCut", "actEditCopy",
    "actEditPaste", "actEditDelete", "actEditSelectAll", "actEditClear", "actSearchGoto", "actSearchBack",
    "actSearchForward", "actSearchUp", "actSearchDown", "actSearchStart", "actSearchStartCurrent", "actSearchNext",
    "actSearchAll", "actSearchResults", "actViewMeanings", "actViewOnTop", "actServiceEditor", "actServiceOptions",
    "actHelpContents", "actHelpHomePage", "actHelpAboutDictionary", "actHelpAbout", "actHelpOnError", "actExit",
    "actHelpOnCommands", "actHelpOnEntryField", "actHelpOnDicEntry", "actHelpOnStatus", "actHelpOnList",
    // The dictionary editor's window.
    "actFileNew", "actFileOpen", "actFileSave", "actFileSaveAs", "actFileVerify", "actFileCompile", "actFileMerge",
    "actFileConvert", "actFileManager", "actFileExit", "actEditNew", "actEditAccept", "actEditSpecialChar0301",
    "actEditSpecialChar2014", "actEditSpecialChar2026", "actEditSpecialCharF002", "actEditSpecialCharF010",
    "actSearchReplace", "actViewHeader", "actViewMarks", "actViewAuthors", "actViewPreview", "actTagKeyword",
    "actTagHeader", "actTagMark", "actTagAuthor", "actTagEnumeration", "actTagComment", "actTagExample",
    "actTagException", "actServiceFontEdit"};
// The actions that show one picture between them; every other picture is its
// action's own.
const std::vector<std::vector<QString>> kSharedPictures = {
    {"actHelpOnCommands", "actHelpOnEntryField", "actHelpOnDicEntry", "actHelpOnStatus", "actHelpOnList"},
    {"actDictionaryManager", "actFileManager"},
    {"actExit", "actFileExit"},
};

bool SharePicture(const QString& a, const QString& b) {
  auto holds = [](const std::vector<QString>& group, const QString& name) {
    return std::find(group.begin(), group.end(), name) != group.end();
  };
  for (const std::vector<QString>& group : kSharedPictures)
    if (holds(group, a) && holds(group, b)) return true;
  return false;
}

// Every picture of the set: an action and one of its states.
std::vector<std::pair<QString, QString>> Pictures() {
  std::vector<std::pair<QString, QString>> pictures;
  for (const char* action : kActions)
    for (const QString& state : ActionIconStates(action)) pictures.emplace_back(action, state);
  return pictures;
}

QImage Draw(const QIcon& icon, int size, QIcon::Mode mode = QIcon::Normal, QIcon::State state = QIcon::Off) {
  return icon.pixmap(QSize(size, size), 1.0, mode, state).toImage().convertToFormat(QImage::Format_ARGB32);
}

int CoveredPixels(const QImage& image) {
  int covered = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) covered += qAlpha(image.pixel(x, y)) >= 128;
  return covered;
}

double Luminance(QColor colour) {
  auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

double Contrast(QColor a, QColor b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette WindowPalette(QColor window, QColor text) {
  QPalette palette(window);
  palette.setColor(QPalette::Window, window);
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::ButtonText, text);
  return palette;
}

struct TPaletteRestorer {
  QPalette Saved = QApplication::palette();
  ~TPaletteRestorer() { QApplication::setPalette(Saved); }
};
}  // namespace

TEST(ActionIcons, EveryActionHasAPictureAtToolBarSizes) {
  QStringList expected;
  for (const char* action : kActions) expected.append(action);
  QStringList names = ActionIconNames();
  names.sort();
  expected.sort();
  EXPECT_EQ(names, expected);

  for (const auto& [action, state] : Pictures()) {
    SCOPED_TRACE((action + " " + state).toStdString());
    const QIcon icon = ActionIcon(action, state);
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 24}) {
      const QImage image = Draw(icon, size);
      ASSERT_EQ(image.size(), QSize(size, size));
      // Lines a reader can see, yet no blot filling the square.
      EXPECT_GE(CoveredPixels(image), size * size / 20) << size;
      EXPECT_LE(CoveredPixels(image), size * size * 2 / 3) << size;
      EXPECT_NE(Draw(icon, size, QIcon::Disabled), image) << size;
    }
  }
  for (const char* action : kActions) EXPECT_FALSE(ActionIcon(action).isNull()) << action;
}

TEST(ActionIcons, UnknownNamesAndStatesHaveNone) {
  EXPECT_TRUE(ActionIcon("actNoSuchAction").isNull());
  EXPECT_TRUE(ActionIcon("").isNull());
  EXPECT_TRUE(ActionIcon("actEditUndo", "on").isNull());
  EXPECT_TRUE(ActionIcon("actViewOnTop", "greek").isNull());
  EXPECT_TRUE(ActionIcon("actEditLanguage", "").isNull());
  EXPECT_TRUE(ActionIconStates("actNoSuchAction").isEmpty());
}

TEST(ActionIcons, EachActionHasItsOwnPictureButTheSharedOnes) {
  std::vector<QImage> seen;
  std::vector<QString> owners;
  for (const auto& [action, state] : Pictures()) {
    const QString owner = action + (state.isEmpty() ? QString() : " " + state);
    const QImage image = Draw(ActionIcon(action, state), 24);
    for (size_t i = 0; i < seen.size(); ++i) {
      if (SharePicture(owner, owners[i]))
        EXPECT_EQ(image, seen[i]) << owner.toStdString() << " and " << owners[i].toStdString();
      else
        EXPECT_NE(image, seen[i]) << owner.toStdString() << " looks like " << owners[i].toStdString();
    }
    seen.push_back(image);
    owners.push_back(owner);
  }

  // Undo and Back were once the same arrow: not any more, at either size.
  for (int size : {16, 24})
    EXPECT_NE(Draw(ActionIcon("actEditUndo"), size), Draw(ActionIcon("actSearchBack"), size)) << size;
}

TEST(ActionIcons, StatesAreTheirOwnPicturesAndTheToggleCarriesThem) {
  EXPECT_EQ(ActionIconStates("actEditLanguage"), (QStringList{"off", "greek", "latin"}));
  EXPECT_EQ(ActionIconStates("actViewOnTop"), (QStringList{"off", "on"}));
  EXPECT_EQ(ActionIconStates("actEditUndo"), QStringList{""});
  for (int size : {16, 24}) {
    const QImage greek = Draw(ActionIcon("actEditLanguage", "greek"), size);
    const QImage latin = Draw(ActionIcon("actEditLanguage", "latin"), size);
    const QImage off = Draw(ActionIcon("actEditLanguage", "off"), size);
    EXPECT_NE(greek, latin);
    EXPECT_NE(greek, off);
    EXPECT_NE(latin, off);
    const QIcon language = ActionIcon("actEditLanguage");
    EXPECT_EQ(Draw(language, size, QIcon::Normal, QIcon::Off), off);
    EXPECT_EQ(Draw(language, size, QIcon::Normal, QIcon::On), greek);

    const QImage onTop = Draw(ActionIcon("actViewOnTop", "on"), size);
    const QImage notOnTop = Draw(ActionIcon("actViewOnTop", "off"), size);
    EXPECT_NE(onTop, notOnTop);
    const QIcon toggle = ActionIcon("actViewOnTop");
    EXPECT_EQ(Draw(toggle, size, QIcon::Normal, QIcon::Off), notOnTop);
    EXPECT_EQ(Draw(toggle, size, QIcon::Normal, QIcon::On), onTop);
  }
}

TEST(ActionIcons, ReadableOnLightAndDarkWindows) {
  TPaletteRestorer restorer;
  const std::vector<std::pair<QString, QString>> pictures = Pictures();
  const QPalette palettes[] = {WindowPalette(QColor("#f3f3f3"), QColor("#1e1e1e")),
                               WindowPalette(QColor("#262626"), QColor("#e8e8e8"))};

  // A sheet of the whole set on either window colour: each picture at 24 and
  // at 16 pixels, three times enlarged, then as they are.
  const int cellWidth = 176, cellHeight = 96, columns = 5;
  const int rows = int(pictures.size() + columns - 1) / columns;
  QImage sheet(columns * cellWidth, 2 * rows * cellHeight, QImage::Format_ARGB32);
  QPainter sheetPainter(&sheet);

  for (int p = 0; p < 2; ++p) {
    const QPalette& palette = palettes[p];
    QApplication::setPalette(palette);
    const QColor window = palette.color(QPalette::Window);
    sheetPainter.fillRect(0, p * rows * cellHeight, sheet.width(), rows * cellHeight, window);
    for (size_t i = 0; i < pictures.size(); ++i) {
      const auto& [action, state] = pictures[i];
      const QString name = action + (state.isEmpty() ? QString() : " " + state);
      const QIcon icon = ActionIcon(action, state);
      const QPoint cell(int(i % columns) * cellWidth, (p * rows + int(i / columns)) * cellHeight);
      for (int size : {16, 24}) {
        const QImage image = Draw(icon, size);
        // The colours the lines are drawn in stand out from the window as
        // text should (4.5:1); the edges' smoothing aside.
        int lines = 0, readable = 0;
        for (int y = 0; y < size; ++y)
          for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 128) continue;
            ++lines;
            readable += Contrast(QColor(qRed(pixel), qGreen(pixel), qBlue(pixel)), window) >= 4.5;
          }
        EXPECT_GE(readable, lines * 95 / 100)
            << name.toStdString() << " at " << size << " on " << window.name().toStdString();

        const int enlarged = 3 * size;
        sheetPainter.drawImage(QRect(cell + QPoint(size == 24 ? 4 : 80, 4), QSize(enlarged, enlarged)), image);
        sheetPainter.drawImage(cell + QPoint(size == 24 ? 136 : 140, size == 24 ? 8 : 44), image);
      }
      sheetPainter.setPen(palette.color(QPalette::WindowText));
      QFont font = sheetPainter.font();
      font.setPixelSize(10);
      sheetPainter.setFont(font);
      sheetPainter.drawText(QRect(cell + QPoint(4, 78), QSize(cellWidth - 8, 16)), Qt::AlignLeft, name.mid(3));
    }
  }
  sheetPainter.end();
  const QString sheetFile = qEnvironmentVariable("KODRA_ICON_SHEET");
  if (!sheetFile.isEmpty()) {
    EXPECT_TRUE(sheet.save(sheetFile)) << sheetFile.toStdString();
  }
}

TEST(ActionIcons, TheDesktopThemeOnlyWhenAsked) {
  // A theme of one icon, edit-undo.
  QTemporaryDir themes;
  ASSERT_TRUE(QDir(themes.path()).mkpath("kodra-test/24x24/actions"));
  {
    QFile index(themes.path() + "/kodra-test/index.theme");
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=kodra-test\nDirectories=24x24/actions\n\n"
                "[24x24/actions]\nSize=24\nContext=Actions\nType=Fixed\n");
  }
  QImage square(24, 24, QImage::Format_ARGB32);
  square.fill(Qt::magenta);
  ASSERT_TRUE(square.save(themes.path() + "/kodra-test/24x24/actions/edit-undo.png"));
  const QStringList savedPaths = QIcon::themeSearchPaths();
  const QString savedTheme = QIcon::themeName();
  QIcon::setThemeSearchPaths({themes.path()});
  QIcon::setThemeName("kodra-test");

  const QImage bundledUndo = Draw(ActionIcon("actEditUndo"), 24);
  EXPECT_FALSE(PreferThemeIcons());
  EXPECT_NE(bundledUndo.pixel(12, 12), QColor(Qt::magenta).rgba());

  SetPreferThemeIcons(true);
  EXPECT_TRUE(PreferThemeIcons());
  const QIcon themed = ActionIcon("actEditUndo");
  EXPECT_EQ(themed.name(), "edit-undo");
  EXPECT_EQ(Draw(themed, 24).pixel(12, 12), QColor(Qt::magenta).rgba());
  // What the theme lacks, and what has no theme name, stays bundled.
  EXPECT_EQ(Draw(ActionIcon("actEditCut"), 24), Draw(ActionIcon("actEditCut", ""), 24));
  EXPECT_FALSE(ActionIcon("actEditCut").isNull());
  EXPECT_FALSE(ActionIcon("actSearchAll").isNull());
  EXPECT_TRUE(ActionIcon("actSearchAll").name().isEmpty());
  EXPECT_TRUE(ActionIcon("actEditCut").name().isEmpty());

  SetPreferThemeIcons(false);
  EXPECT_EQ(Draw(ActionIcon("actEditUndo"), 24), bundledUndo);
  QIcon::setThemeName(savedTheme);
  QIcon::setThemeSearchPaths(savedPaths);
}
